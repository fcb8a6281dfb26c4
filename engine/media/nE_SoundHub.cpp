#include "engine/media/nE_SoundHub.h"

#include "engine/media/nE_Sound.h"

namespace {
nE_SoundHub* g_hub = nullptr;
nE_SoundHub::Maker g_hubMaker = nullptr;
}  // namespace

void nE_SoundHub::setMaker(Maker maker) {
    g_hubMaker = maker;
}

nE_SoundHub* nE_SoundHub::get() {
    if (!g_hub && g_hubMaker) g_hub = g_hubMaker();
    return g_hub;
}

bool nE_SoundHub::exists() {
    return g_hub != nullptr;
}

void nE_SoundHub::destroy() {
    if (!g_hub) return;
    g_hub->shutdown();
    delete g_hub;
    g_hub = nullptr;
}

nE_SoundHub::~nE_SoundHub() {
    if (g_hub == this) g_hub = nullptr;
}

float& nE_SoundHub::groupVolume(const std::string& group) {
    for (auto& entry : groups_)
        if (entry.first == group) return entry.second;
    groups_.emplace_back(group, 1.f);
    return groups_.back().second;
}

void nE_SoundHub::stop(const std::string& name, float fadeOut) {
    for (auto& sound : sounds_)
        if (sound->name == name) sound->stop(fadeOut);
}

void nE_SoundHub::setGroupVolume(const std::string& group, float volume) {
    groupVolume(group) = volume;
    for (auto& sound : sounds_)
        if (sound->group == group) sound->setVolume(volume);
}

float nE_SoundHub::getGroupVolume(const std::string& group) {
    return groupVolume(group);
}

void nE_SoundHub::stopGroup(const std::string& group) {
    for (auto& sound : sounds_)
        if (sound->group == group) sound->stop(0.f);
}

void nE_SoundHub::stopAll(float fadeOut) {
    for (auto& sound : sounds_) sound->stop(fadeOut);
}

void nE_SoundHub::pause(const std::string& name, bool flag) {
    for (auto& sound : sounds_) {
        if (sound->name == name) {
            sound->setPaused(flag);
            return;
        }
    }
}

void nE_SoundHub::update(float dt) {
    for (size_t i = 0; i < sounds_.size();) {
        sounds_[i]->update(dt);
        if (sounds_[i]->state == nE_Sound::kFinished)
            sounds_.erase(sounds_.begin() + static_cast<std::ptrdiff_t>(i));
        else
            ++i;
    }
}

bool nE_SoundHub::isPlaying(const std::string& name) {
    for (const auto& sound : sounds_)
        if (sound->name == name && sound->state == nE_Sound::kPlaying) return true;
    return false;
}

void nE_SoundHub::shutdown() {
    stopAll(0.f);
    sounds_.clear();
}
