// Sound output through SDL2_mixer. Channel completions arrive on SDL's audio thread; they are
// queued under a mutex and delivered on the main thread by DispatchCompletions, once per
// instance, never for a killed or destroyed one (each channel use has its own generation).
//
// Without an audio device the run is silent: sounds still load (when the file is an Ogg file)
// and play, and a non-looped instance completes at the next dispatch, so end triggers still run.
//
// A streamed sound plays a silent looping chunk on its channel whose effect overwrites the samples
// with the instance's own decoder output; when a non-looped stream has run out, the next dispatch
// halts the channel and the playback completes like a decoded one.
#pragma once

#include <SDL2/SDL_mixer.h>

#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "pflib/TSound.h"
#include "pflib/sdl/TMixerInstance.h"

namespace pf {

class TMixerSound;

class TMixerManager : public TSoundManager {
public:
    static TMixerManager& Get();

    void SetVolume(float volume) override;
    float GetVolume() const override { return master_; }
    void DispatchCompletions() override;

    // Opens the audio device once; false when the run is silent.
    bool Ensure();
    bool IsSilent() { return !Ensure(); }

    std::shared_ptr<TSoundInstance> Play(const std::shared_ptr<TMixerSound>& sound, bool looped);
    void Kill(TMixerInstance& instance);
    void Pause(TMixerInstance& instance, bool pause);
    void SetInstanceVolume(TMixerInstance& instance, float volume);
    // The instance is being destroyed: its channel stops without a notice.
    void Detach(TMixerInstance& instance);
    // Stops everything and closes the device.
    void Shutdown();
    // Number of mixer channels (grows when all are busy).
    int ChannelCount();

private:
    struct Slot {
        std::weak_ptr<TMixerInstance> instance;
        uint64_t generation = 0;
        bool busy = false;
    };

    TMixerManager() = default;
    static void OnChannelFinished(int channel);
    static void FillStream(int channel, void* samples, int bytes, void* stream);
    static void ReleaseStream(int channel, void* stream);
    // Halts the channels whose non-looped streams have run out (their completions follow).
    void HaltEndedStreams();
    int ChannelVolume(float volume) const;
    // Frees the slot when it still belongs to this use; true if it did.
    bool Release(int channel, uint64_t generation);

    std::mutex mutex_;  // guards slots_ and finished_
    std::vector<Slot> slots_;
    std::vector<std::pair<int, uint64_t>> finished_;
    std::vector<std::weak_ptr<TMixerInstance>> silentPending_;
    float master_ = 1.f;
    bool tried_ = false;
    bool open_ = false;
    Mix_Chunk* silence_ = nullptr;  // the carrier of streamed playbacks
};

}  // namespace pf
