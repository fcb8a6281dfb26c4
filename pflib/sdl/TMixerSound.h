// A sound decoded by SDL2_mixer (none when the run is silent).
#pragma once

#include <SDL2/SDL_mixer.h>

#include "pflib/TSound.h"

namespace pf {

class TMixerSound : public TSound, public std::enable_shared_from_this<TMixerSound> {
public:
    explicit TMixerSound(Mix_Chunk* chunk) : chunk_(chunk) {}
    ~TMixerSound() override;
    std::shared_ptr<TSoundInstance> Play(bool looped, int reserved) override;
    Mix_Chunk* Chunk() const { return chunk_; }

private:
    Mix_Chunk* chunk_;
};

}  // namespace pf
