#include "engine/media/platform/nE_SoundHub_Pl5.h"

#include "engine/core/nE_Debug.h"
#include "engine/core/nE_ResourceRequester.h"
#include "engine/media/nE_AssetFiles.h"
#include "engine/media/platform/nE_Sound_Pl5.h"
#include "pflib/TFile.h"
#include "pflib/TSound.h"

void nE_SoundHub_Pl5::play(const std::string& name, const std::string& group, bool looped,
                           const std::string& endTrigger, float fadeIn) {
    if (!pf::TFile::Exists(nE_AssetFiles::sound(name))) {
        nE_Debug::writef("nE_SoundHub::Could not find \"%s\" file!\n", name.c_str());
        nE_ResourceRequester::notFound("sound \"" + name + "\"");
        return;
    }
    auto sound = std::make_unique<nE_Sound_Pl5>(name, group, pf::TSound::Get(name, false));
    sound->setVolume(getGroupVolume(group));
    sound->play(looped, endTrigger, fadeIn);
    sounds_.push_back(std::move(sound));
}

void nE_SoundHub_Pl5::pauseAll(bool flag) {
    for (auto& sound : sounds_) sound->setPaused(flag);
    if (flag) return;
    for (auto& sound : sounds_) {
        // Bringing a stopping sound back to full volume would undo the stop.
        if (sound->state == nE_Sound::kFadingOut || sound->state == nE_Sound::kFinished) continue;
        sound->setVolume(getGroupVolume(sound->group));
    }
}

void nE_SoundHub_Pl5::mute(bool flag) {
    if (pf::TSoundManager* manager = pf::TSoundManager::GetInstance()) manager->SetVolume(flag ? 0.f : 1.f);
}

void nE_SoundHub_Pl5::prefetch(const std::string& name) {
    pf::TSound::Prefetch(name);
}
