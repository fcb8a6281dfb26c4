#include "game/core/nG_ParticleSystemGm.h"

#include "engine/script/nE_SLHelper.h"
#include "game/state/nG_ProfileHub.h"

nG_ParticleSystemGm::nG_ParticleSystemGm() = default;

void nG_ParticleSystemGm::loadProperties(nE_SLHelper& helper) {
    nE_ParticleSystem::loadProperties(helper);
    helper.readInt("game_mode", gameMode);
}

void nG_ParticleSystemGm::saveProperties(nE_SLHelper& helper) {
    nE_ParticleSystem::saveProperties(helper);
    helper.writeInt("game_mode", gameMode);
}

std::string nG_ParticleSystemGm::getTypeName() const {
    return "partsys_gm";
}

void nG_ParticleSystemGm::resetState() {
    nE_ParticleSystem::resetState();
    gameMode = kDefaultGameMode;
}

bool nG_ParticleSystemGm::playsInCurrentMode() const {
    const nG_ProfileHub* hub = nG_ProfileHub::current();
    if (!hub || !hub->currentProfile()) return true;
    return hub->gameMode() <= gameMode;
}

void nG_ParticleSystemGm::update(float dt) {
    if (playsInCurrentMode()) nE_ParticleSystem::update(dt);
}

void nG_ParticleSystemGm::drawSelf(nE_Render* renderer, nE_RenderState& world) {
    if (playsInCurrentMode()) nE_ParticleSystem::drawSelf(renderer, world);
}
