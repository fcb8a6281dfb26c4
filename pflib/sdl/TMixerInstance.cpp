#include "pflib/sdl/TMixerInstance.h"

#include "pflib/sdl/TMixerManager.h"

namespace pf {

TMixerInstance::~TMixerInstance() {
    TMixerManager::Get().Detach(*this);
}

void TMixerInstance::SetVolume(float volume) {
    TMixerManager::Get().SetInstanceVolume(*this, volume);
}

void TMixerInstance::Kill(int reserved) {
    (void)reserved;
    TMixerManager::Get().Kill(*this);
}

void TMixerInstance::Pause(bool pause, int reserved) {
    (void)reserved;
    TMixerManager::Get().Pause(*this, pause);
}

}  // namespace pf
