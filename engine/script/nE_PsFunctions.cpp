#include "engine/script/nE_PsFunctions.h"

#include "engine/objects/nE_ParticleSystem.h"
#include "engine/script/nE_ScriptArgs.h"

namespace {

nE_ParticleSystem* particleSystem(lua_State* L) {
    return dynamic_cast<nE_ParticleSystem*>(nE_ScriptArgs::object(L, 1));
}

}  // namespace

int nE_PsFunctions::PsSetMaskObj(lua_State* L) {
    nE_ParticleSystem* system = particleSystem(L);
    nE_Object* mask = system ? nE_ScriptArgs::object(L, 2) : nullptr;
    if (system && mask) system->setMaskObject(mask);
    return nE_ScriptArgs::done(L);
}

int nE_PsFunctions::PsStart(lua_State* L) {
    if (nE_ParticleSystem* system = particleSystem(L)) system->start();
    return nE_ScriptArgs::done(L);
}

int nE_PsFunctions::PsPause(lua_State* L) {
    if (nE_ParticleSystem* system = particleSystem(L))
        system->setEmitting(nE_ScriptArgs::integerOr0(L, 2) == 1);
    return nE_ScriptArgs::done(L);
}

int nE_PsFunctions::PsStop(lua_State* L) {
    if (nE_ParticleSystem* system = particleSystem(L)) system->stop(nE_ScriptArgs::integerOr0(L, 2) == 1);
    return nE_ScriptArgs::done(L);
}

int nE_PsFunctions::PartSysRestart(lua_State* L) {
    if (nE_ParticleSystem* system = particleSystem(L)) system->restart();
    return nE_ScriptArgs::done(L);
}
