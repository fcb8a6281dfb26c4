// The platform's end-of-playback notice for one nE_Sound_Pl5. On the thread that started the sound
// the notice finishes the sound at once; from any other thread it only leaves a mark that the
// sound's next update (on the frame thread) turns into the finish.
#pragma once

#include <atomic>
#include <thread>

#include "pflib/TSound.h"

class nE_Sound_Pl5;

class nE_Sound_Pl5_Callback : public pf::TSoundCallBack {
public:
    explicit nE_Sound_Pl5_Callback(nE_Sound_Pl5* sound) : sound_(sound), owner_(std::this_thread::get_id()) {}

    // May delete this object (the sound lets go of its callback when it finishes): nothing may
    // touch it afterwards.
    void OnPlaybackComplete() override;
    // True once when a notice from another thread is waiting.
    bool takePending() { return pending_.exchange(false); }

private:
    nE_Sound_Pl5* sound_;
    std::thread::id owner_;
    std::atomic<bool> pending_{false};
};
