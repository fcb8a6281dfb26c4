// The owner of every started sound: sounds start by name into a named group, each group keeps one
// volume, sounds fade in and out, pause, and report their end through their end trigger. One hub per
// process, created on first use; the platform binding (nE_SoundHub_Pl5) starts the sounds.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

class nE_Sound;

class nE_SoundHub {
public:
    // The process's hub, created by the first call with the maker the platform binding installed at
    // start-up; none without one.
    static nE_SoundHub* get();
    using Maker = nE_SoundHub* (*)();
    static void setMaker(Maker maker);
    static bool exists();
    // Shuts the hub down and deletes it.
    static void destroy();

    nE_SoundHub() = default;
    nE_SoundHub(const nE_SoundHub&) = delete;
    nE_SoundHub& operator=(const nE_SoundHub&) = delete;

    // --- the virtual operations, in their fixed order ---

    virtual ~nE_SoundHub();
    // Starts the sound (name without ".ogg") at its group's volume. A missing file is reported and
    // starts nothing.
    virtual void play(const std::string& name, const std::string& group, bool looped,
                      const std::string& endTrigger, float fadeIn) = 0;
    // Every sound of that name.
    virtual void stop(const std::string& name, float fadeOut);
    // Also sets every sound of the group to the volume at once.
    virtual void setGroupVolume(const std::string& group, float volume);
    // A group not seen before is made with volume 1.
    virtual float getGroupVolume(const std::string& group);
    virtual void stopGroup(const std::string& group);
    virtual void stopAll(float fadeOut);
    // Only the first sound of that name.
    virtual void pause(const std::string& name, bool flag);
    virtual void pauseAll(bool flag) = 0;
    // Advances every sound and deletes the finished ones. Frame thread only.
    virtual void update(float dt);
    // Whether a sound of that name plays at its full volume (not while it fades).
    virtual bool isPlaying(const std::string& name);
    virtual void mute(bool flag) = 0;
    // Stops everything at once and deletes every sound.
    virtual void shutdown();
    // Gets the sound ready in the background for a play soon after; nothing where sounds need no
    // preparing.
    virtual void prefetch(const std::string& name) { (void)name; }

    // Start order. Finished sounds stay listed until the next update.
    const std::vector<std::unique_ptr<nE_Sound>>& sounds() const { return sounds_; }
    const std::vector<std::pair<std::string, float>>& groups() const { return groups_; }

protected:
    float& groupVolume(const std::string& group);

    std::vector<std::pair<std::string, float>> groups_;
    std::vector<std::unique_ptr<nE_Sound>> sounds_;
};
