#include "game/script/nG_ProfileFunctions.h"

#include <chrono>
#include <lua.hpp>
#include <string>

#include "engine/core/nE_Debug.h"
#include "engine/core/nE_Mediator.h"
#include "engine/script/nE_ScriptArgs.h"
#include "game/core/nG_Messages.h"
#include "game/state/nG_ProfileHub.h"
#include "pflib/TPlatform.h"

namespace {

nG_ProfileHub* hub() {
    return nG_ProfileHub::current();
}

int pushInteger(lua_State* L, int value) {
    nE_ScriptArgs::done(L);
    lua_pushinteger(L, value);
    return 1;
}

}  // namespace

int nG_ProfileFunctions::GetCurrentProfileId(lua_State* L) {
    return pushInteger(L, hub() ? hub()->currentIndex() : -1);
}

int nG_ProfileFunctions::GetNumProfiles(lua_State* L) {
    return pushInteger(L, hub() ? hub()->count() : 0);
}

int nG_ProfileFunctions::GetProfileNameById(lua_State* L) {
    const std::string name = hub() ? hub()->nameAt(nE_ScriptArgs::integerOr0(L, 1)) : std::string();
    nE_ScriptArgs::done(L);
    lua_pushlstring(L, name.data(), name.size());
    return 1;
}

int nG_ProfileFunctions::AddProfile(lua_State* L) {
    const std::string name = nE_ScriptArgs::stringOr(L, 1, "");
    return pushInteger(L, hub() ? hub()->addProfile(name) : -1);
}

int nG_ProfileFunctions::DeleteProfile(lua_State* L) {
    std::string name;
    if (hub() && nE_ScriptArgs::string(L, 1, name)) hub()->deleteProfile(name);
    return nE_ScriptArgs::done(L);
}

int nG_ProfileFunctions::SetCurrentProfile(lua_State* L) {
    std::string name;
    if (hub() && nE_ScriptArgs::string(L, 1, name)) hub()->selectProfile(name);
    return nE_ScriptArgs::done(L);
}

int nG_ProfileFunctions::SaveProfile(lua_State* L) {
    std::string name;
    bool saved = false;
    if (!nE_ScriptArgs::string(L, 1, name))
        nE_Debug::write("Error in SaveProfile: no arg 1 (profile name)");
    else if (hub())
        saved = hub()->saveProfile(name);
    nE_ScriptArgs::done(L);
    lua_pushboolean(L, saved);
    return 1;
}

int nG_ProfileFunctions::TakeRestoredProfiles(lua_State* L) {
    const std::string names = hub() ? hub()->takeRestored() : std::string();
    nE_ScriptArgs::done(L);
    lua_pushlstring(L, names.data(), names.size());
    return 1;
}

int nG_ProfileFunctions::SetGameMode(lua_State* L) {
    int mode = nE_ScriptArgs::integerOr0(L, 1);
    nE_ScriptArgs::done(L);
    if (hub() && hub()->currentProfile()) {
        hub()->setGameMode(mode);
        nE_Mediator::postToCurrent<MSG_GAME_MODE_CHANGED>(&mode);
    }
    return 0;
}

int nG_ProfileFunctions::GetGameMode(lua_State* L) {
    return pushInteger(L, hub() ? hub()->gameMode() : 0);
}

int nG_ProfileFunctions::IsGameSaveExist(lua_State* L) {
    const int slot = nE_ScriptArgs::integerOr0(L, 1);
    const bool exists = hub() && hub()->hasSlot(slot);
    nE_ScriptArgs::done(L);
    lua_pushboolean(L, exists);
    return 1;
}

int nG_ProfileFunctions::ClearProfileSave(lua_State* L) {
    if (hub()) hub()->clearSlot(nE_ScriptArgs::integerOr0(L, 1));
    return nE_ScriptArgs::done(L);
}

int nG_ProfileFunctions::IsCorruptedProfile(lua_State* L) {
    return pushInteger(L, hub() && hub()->isCorrupted() ? 1 : 0);
}

int nG_ProfileFunctions::GetAchievement(lua_State* L) {
    const std::string name = nE_ScriptArgs::stringOr(L, 1, "");
    nG_ProfileHub* profiles = hub();
    return pushInteger(L, profiles ? profiles->achievementCount(profiles->currentProfile(), name) : 0);
}

int nG_ProfileFunctions::NewGameSeed(lua_State* L) {
    nE_ScriptArgs::done(L);
    const pf::TRunOptions& run = pf::TPlatform::GetRunOptions();
    unsigned seed = run.seed ? run.seed : run.fixedStep ? 1u : 0u;
    if (!seed) {
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        seed = static_cast<unsigned>(std::chrono::duration_cast<std::chrono::microseconds>(now).count() %
                                     2147483646) +
               1;
    }
    lua_pushnumber(L, seed);
    return 1;
}
