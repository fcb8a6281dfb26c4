// One started sound of the sound hub: its group, volume, fade and state. The platform binding
// (nE_Sound_Pl5) owns the platform objects; this base keeps the engine-side bookkeeping.
#pragma once

#include <string>

class nE_Sound {
public:
    enum State { kCreated = 0, kFadingIn = 1, kPlaying = 2, kFadingOut = 3, kFinished = 4 };

    nE_Sound(const std::string& soundName, const std::string& soundGroup)
        : group(soundGroup), name(soundName) {}
    nE_Sound(const nE_Sound&) = delete;
    nE_Sound& operator=(const nE_Sound&) = delete;

    // --- the virtual operations, in their fixed order ---

    virtual ~nE_Sound() = default;
    // Playback reached its end: finished, and the end trigger is queued with sender "nE_Sound".
    virtual void onFinished();
    // Sets both the target and the current volume at once (this cancels a fade-in).
    virtual void setVolume(float v);
    virtual void play(bool loop, const std::string& trigger, float fadeIn) = 0;
    // Fades out over the given seconds, or ends at once for 0. The end trigger never fires after this.
    virtual void stop(float fadeOut);
    virtual void setPaused(bool flag);
    virtual void update(float dt);
    // Stops playback at once and lets go of the platform objects, without a completion.
    virtual void kill() = 0;
    // Hands the linear engine volume to the platform.
    virtual void applyVolume(float v) = 0;

    // The platform volume for a linear engine volume: each halving is 0.2 quieter, and 1/32 and
    // below is silent; the result lies in 0..1.
    static float platformVolume(float v);

    bool looped = false;
    std::string group;
    std::string name;
    std::string endTrigger;
    float targetVolume = 1.f;
    float volume = 1.f;
    float fadeRate = 0.f;
    int state = kCreated;
    bool paused = false;
};
