#include "engine/media/nE_Sound.h"

#include <algorithm>
#include <cmath>

#include "engine/core/nE_Scene.h"

namespace {
// 10 · log10(v) is the level in decibels; 0.2 of platform volume per halving (about 3 dB).
constexpr float kPerDecibel = 0.06643856f;
constexpr float kSilentBelow = 1.f / 32.f;
}  // namespace

float nE_Sound::platformVolume(float v) {
    // Also catches NaN and negative volumes.
    if (!(v > kSilentBelow)) return 0.f;
    const float p = 1.f + 10.f * std::log10(v) * kPerDecibel;
    return std::clamp(p, 0.f, 1.f);
}

void nE_Sound::onFinished() {
    state = kFinished;
    if (!endTrigger.empty()) nE_Scene::queueTrigger("nE_Sound", endTrigger);
}

void nE_Sound::setVolume(float v) {
    targetVolume = volume = v;
    applyVolume(v);
}

void nE_Sound::stop(float fadeOut) {
    // A sound that was asked to stop must not report an end, even if it reaches its end while fading.
    endTrigger.clear();
    // A negative or NaN fade would never reach silence: it ends at once like 0.
    if (fadeOut > 0.f && state != kFinished) {
        state = kFadingOut;
        fadeRate = 1.f / fadeOut;
        return;
    }
    fadeRate = 0.f;
    state = kFinished;
    kill();
}

void nE_Sound::setPaused(bool flag) {
    paused = flag;
}

void nE_Sound::update(float dt) {
    if (paused) return;
    if (state == kFadingIn) {
        volume = std::min(targetVolume, volume + dt * fadeRate);
        applyVolume(volume);
        if (volume == targetVolume) state = kPlaying;
    } else if (state == kFadingOut) {
        volume = std::max(0.f, volume - dt * fadeRate);
        applyVolume(volume);
        if (volume == 0.f) {
            state = kFinished;
            kill();
        }
    }
}
