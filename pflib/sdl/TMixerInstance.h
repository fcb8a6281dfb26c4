// One playback of a sound on a mixer channel.
#pragma once

#include <cstdint>
#include <memory>

#include "pflib/TSound.h"

namespace pf {

class TMixerSound;
class TVorbisStream;

class TMixerInstance : public TSoundInstance {
public:
    enum State { kPlaying, kFinished, kKilled };

    TMixerInstance(std::shared_ptr<TMixerSound> sound, bool looped)
        : sound_(std::move(sound)), looped_(looped) {}
    ~TMixerInstance() override;

    void SetCallBack(TSoundCallBack* callback) override { callback_ = callback; }
    void SetVolume(float volume) override;
    void Kill(int reserved) override;
    void Pause(bool pause, int reserved) override;
    bool IsPlaying() const override { return state_ == kPlaying; }

    // Kept by the manager.
    TSoundCallBack* callback_ = nullptr;
    int channel_ = -1;
    uint64_t generation_ = 0;
    float volume_ = 1.f;
    bool paused_ = false;
    State state_ = kPlaying;
    // The decoder of a streamed sound's playback (shared with the channel's effect).
    std::shared_ptr<TVorbisStream> stream_;
    bool Looped() const { return looped_; }

private:
    std::shared_ptr<TMixerSound> sound_;  // the samples must outlive the playback
    bool looped_;
};

}  // namespace pf
