// The sound hub on the platform's sounds and sound manager.
#pragma once

#include "engine/media/nE_SoundHub.h"

class nE_SoundHub_Pl5 : public nE_SoundHub {
public:
    void play(const std::string& name, const std::string& group, bool looped, const std::string& endTrigger,
              float fadeIn) override;
    // Resuming sets every playing sound to its group's volume again (a fade-in ends there); a sound
    // that was being stopped fades on from where it was.
    void pauseAll(bool flag) override;
    // The platform's master volume: 0 when muted, else 1.
    void mute(bool flag) override;
    void prefetch(const std::string& name) override;
};
