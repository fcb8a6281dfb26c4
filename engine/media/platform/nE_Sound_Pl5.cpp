#include "engine/media/platform/nE_Sound_Pl5.h"

#include "engine/media/platform/nE_Sound_Pl5_Callback.h"
#include "pflib/TSound.h"

nE_Sound_Pl5::nE_Sound_Pl5(const std::string& soundName, const std::string& soundGroup,
                           std::shared_ptr<pf::TSound> platformSound)
    : nE_Sound(soundName, soundGroup), sound_(std::move(platformSound)) {}

nE_Sound_Pl5::~nE_Sound_Pl5() {
    kill();
}

void nE_Sound_Pl5::release() {
    // The instance first, without its callback, so that no notice can reach a deleted callback.
    if (instance_) instance_->SetCallBack(nullptr);
    instance_.reset();
    callback_.reset();
    sound_.reset();
}

void nE_Sound_Pl5::onFinished() {
    nE_Sound::onFinished();
    release();
}

void nE_Sound_Pl5::play(bool loop, const std::string& trigger, float fadeIn) {
    looped = loop;
    if (sound_) {
        instance_ = sound_->Play(loop, 0);
        if (instance_) {
            callback_ = std::make_unique<nE_Sound_Pl5_Callback>(this);
            instance_->SetCallBack(callback_.get());
        }
        endTrigger = trigger;
    }
    // A negative or NaN fade-in would never arrive: it counts as none.
    if (fadeIn > 0.f) {
        state = kFadingIn;
        fadeRate = 1.f / fadeIn;
        volume = 0.f;
    } else {
        state = kPlaying;
        fadeRate = 0.f;
        volume = targetVolume;
    }
    applyVolume(volume);
}

void nE_Sound_Pl5::setPaused(bool flag) {
    nE_Sound::setPaused(flag);
    if (instance_) instance_->Pause(flag, 0);
}

void nE_Sound_Pl5::update(float dt) {
    if (callback_ && callback_->takePending() && state != kFinished) {
        onFinished();
        return;
    }
    nE_Sound::update(dt);
}

void nE_Sound_Pl5::kill() {
    if (instance_) {
        instance_->SetCallBack(nullptr);
        instance_->Kill(0);
    }
    release();
}

void nE_Sound_Pl5::applyVolume(float v) {
    if (instance_) instance_->SetVolume(platformVolume(v));
}
