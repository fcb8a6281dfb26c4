// Sounds: ".ogg" Vorbis files played as instances with volume, pause and a completion callback.
#pragma once

#include <memory>

#include "pflib/pfTypes.h"

namespace pf {

// Told once per instance, on the main thread, when a non-looped instance has played to its end.
class TSoundCallBack {
public:
    virtual ~TSoundCallBack() = default;
    virtual void OnPlaybackComplete() = 0;
};

class TSoundInstance {
public:
    virtual ~TSoundInstance() = default;
    // Not owned; cleared by passing nullptr.
    virtual void SetCallBack(TSoundCallBack* callback) = 0;
    virtual void SetVolume(float volume) = 0;  // 0..1
    virtual void Kill(int reserved) = 0;       // stops at once, no completion notice
    virtual void Pause(bool pause, int reserved) = 0;
    virtual bool IsPlaying() const = 0;
};

class TSound {
public:
    // name without extension; ".ogg" is appended. Empty handle when missing or undecodable.
    static std::shared_ptr<TSound> Get(const str& name, bool stream);
    // Starts decoding a short sound in the background, for a Get soon after (which then only wraps the
    // samples, or waits for a decode still running). Nothing for a sound already decoded or asked for.
    static void Prefetch(const str& name);
    virtual ~TSound() = default;
    // An instance, or an empty handle when nothing can play (no channel).
    virtual std::shared_ptr<TSoundInstance> Play(bool looped, int reserved) = 0;
};

class TSoundManager {
public:
    static TSoundManager* GetInstance();
    virtual ~TSoundManager() = default;
    virtual void SetVolume(float volume) = 0;  // master volume 0..1
    virtual float GetVolume() const = 0;
    // Delivers pending completion notices (the loop calls this every step).
    virtual void DispatchCompletions() = 0;
};

}  // namespace pf
