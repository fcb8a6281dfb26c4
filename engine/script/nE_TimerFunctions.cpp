#include "engine/script/nE_TimerFunctions.h"

#include <string>

#include "engine/core/nE_Core.h"
#include "engine/script/nE_LuaChunk.h"
#include "engine/script/nE_ScriptArgs.h"
#include "engine/script/nE_Timer.h"
#include "engine/script/nE_TimerHub.h"

namespace {

nE_TimerHub* hub() {
    return nE_Core::exists() ? &nE_Core::get()->timerHub() : nullptr;
}

// The two leading string arguments most timer functions take (the second one optional).
bool names(lua_State* L, std::string& first, std::string* second) {
    if (!hub() || !nE_ScriptArgs::string(L, 1, first)) return false;
    return !second || nE_ScriptArgs::string(L, 2, *second);
}

}  // namespace

int nE_TimerFunctions::TimerStart(lua_State* L) {
    std::string name, call;
    double seconds = 0;
    if (names(L, name, &call) && nE_ScriptArgs::number(L, 3, seconds)) {
        nE_Timer* timer = hub()->start(name, call, static_cast<float>(seconds));
        nE_LuaChunk::caller(L, timer->file, timer->line);
    }
    return nE_ScriptArgs::done(L);
}

int nE_TimerFunctions::TimerStop(lua_State* L) {
    std::string name;
    if (names(L, name, nullptr)) hub()->stop(name);
    return nE_ScriptArgs::done(L);
}

int nE_TimerFunctions::TimerStopByTag(lua_State* L) {
    std::string tag;
    if (names(L, tag, nullptr)) hub()->stopByTag(tag);
    return nE_ScriptArgs::done(L);
}

int nE_TimerFunctions::TimerPause(lua_State* L) {
    std::string name;
    int n = 0;
    if (names(L, name, nullptr) && nE_ScriptArgs::integer(L, 2, n)) hub()->pause(name, n);
    return nE_ScriptArgs::done(L);
}

int nE_TimerFunctions::TimerPauseByTag(lua_State* L) {
    std::string tag;
    int n = 0;
    if (names(L, tag, nullptr) && nE_ScriptArgs::integer(L, 2, n)) hub()->pauseByTag(tag, n);
    return nE_ScriptArgs::done(L);
}

int nE_TimerFunctions::TimerGetTime(lua_State* L) {
    std::string name;
    const float elapsed = names(L, name, nullptr) ? hub()->getTime(name) : 0.0f;
    lua_settop(L, 0);
    lua_pushnumber(L, elapsed);
    return 1;
}

int nE_TimerFunctions::TimerAddTag(lua_State* L) {
    std::string name, tag;
    if (names(L, name, &tag)) hub()->addTag(name, tag);
    return nE_ScriptArgs::done(L);
}

int nE_TimerFunctions::TimerRemoveTag(lua_State* L) {
    std::string name, tag;
    if (names(L, name, &tag)) hub()->removeTag(name, tag);
    return nE_ScriptArgs::done(L);
}
