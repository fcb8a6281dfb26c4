// A sound for SDL2_mixer: short ones decoded whole once and shared by every play (none when the run
// is silent), long ones streamed, each playback decoding its own way through the file.
#pragma once

#include <SDL2/SDL_mixer.h>

#include <vector>

#include "pflib/TSound.h"

namespace pf {

class TMixerSound : public TSound, public std::enable_shared_from_this<TMixerSound> {
public:
    // A decoded sound (or, with no chunk, a silent one).
    explicit TMixerSound(Mix_Chunk* chunk) : chunk_(chunk) {}
    // A sound decoded ahead: the chunk only points into samples, which the sound keeps.
    TMixerSound(Mix_Chunk* chunk, std::vector<uint8_t>&& samples)
        : chunk_(chunk), samples_(std::move(samples)) {}
    // A streamed sound of the file at path, seconds long.
    TMixerSound(str path, double seconds) : path_(std::move(path)), seconds_(seconds), streamed_(true) {}
    ~TMixerSound() override;
    std::shared_ptr<TSoundInstance> Play(bool looped, int reserved) override;
    Mix_Chunk* Chunk() const { return chunk_; }
    bool Streamed() const { return streamed_; }
    const str& Path() const { return path_; }
    double Seconds() const { return seconds_; }

    // Sounds longer than this many seconds are streamed (default kStreamAbove).
    static constexpr double kStreamAbove = 4.0;
    static void SetStreamAbove(double seconds);
    // Decoded sounds kept for later plays, most recently used first, up to kCacheBytes of samples.
    static constexpr size_t kCacheBytes = 64u << 20;
    static size_t CachedCount();
    // Forgets every kept sound (the device is closing: its samples are in the device's format).
    static void ClearCache();

private:
    Mix_Chunk* chunk_ = nullptr;
    std::vector<uint8_t> samples_;
    str path_;
    double seconds_ = 0;
    bool streamed_ = false;
};

}  // namespace pf
