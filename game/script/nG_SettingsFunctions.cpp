#include "game/script/nG_SettingsFunctions.h"

#include <lua.hpp>

#include "engine/core/notEngine.h"
#include "engine/media/nE_Cursor.h"
#include "engine/script/nE_ScriptArgs.h"
#include "game/script/nG_ScriptFunctions.h"
#include "game/state/nG_Settings.h"
#include "pflib/TPlatform.h"

namespace {

nG_SettingsFunctions::FullScreenHandler g_fullScreen = nullptr;

double numberOr0(lua_State* L, int index) {
    double value = 0;
    nE_ScriptArgs::number(L, index, value);
    return value;
}

}  // namespace

void nG_SettingsFunctions::setFullScreenHandler(FullScreenHandler handler) {
    g_fullScreen = handler;
}

int nG_SettingsFunctions::SaveSettings(lua_State* L) {
    if (nG_Settings* settings = nG_Settings::current()) settings->save();
    return nE_ScriptArgs::done(L);
}

int nG_SettingsFunctions::GetGamma(lua_State* L) {
    const nG_Settings* settings = nG_Settings::current();
    nE_ScriptArgs::done(L);
    lua_pushnumber(L, settings ? settings->gamma : 1.0);
    return 1;
}

int nG_SettingsFunctions::SetGamma(lua_State* L) {
    const float value = static_cast<float>(numberOr0(L, 1));
    if (nG_Settings* settings = nG_Settings::current()) settings->gamma = value;
    if (notEngine* engine = notEngine::instance()) engine->SetGamma(value);
    return nE_ScriptArgs::done(L);
}

int nG_SettingsFunctions::SetFullScreen(lua_State* L) {
    const bool on = nG_ScriptFunctions::flag(L, 1);
    nE_ScriptArgs::done(L);
    lua_pushboolean(L, g_fullScreen ? g_fullScreen(on) : false);
    return 1;
}

int nG_SettingsFunctions::GetFullScreen(lua_State* L) {
    const nG_Settings* settings = nG_Settings::current();
    nE_ScriptArgs::done(L);
    lua_pushboolean(L, settings && settings->fullscreen);
    return 1;
}

int nG_SettingsFunctions::SetSysCursor(lua_State* L) {
    const bool on = nG_ScriptFunctions::flag(L, 1);
    if (nG_Settings* settings = nG_Settings::current()) settings->syscursor = on;
    if (nE_Cursor* cursor = nE_Cursor::current()) cursor->setUseSystem(on);
    return nE_ScriptArgs::done(L);
}

int nG_SettingsFunctions::GetSysCursor(lua_State* L) {
    const nG_Settings* settings = nG_Settings::current();
    nE_ScriptArgs::done(L);
    lua_pushboolean(L, settings && settings->syscursor);
    return 1;
}

int nG_SettingsFunctions::SetSoundVolume(lua_State* L) {
    const std::string group = nE_ScriptArgs::stringOr(L, 1, "");
    const float value = static_cast<float>(numberOr0(L, 2));
    if (nG_Settings* settings = nG_Settings::current()) settings->setVolume(group, value);
    return nE_ScriptArgs::done(L);
}

int nG_SettingsFunctions::GetSoundVolume(lua_State* L) {
    const std::string group = nE_ScriptArgs::stringOr(L, 1, "");
    const nG_Settings* settings = nG_Settings::current();
    nE_ScriptArgs::done(L);
    lua_pushnumber(L, settings ? settings->volume(group) : 0.0);
    return 1;
}

int nG_SettingsFunctions::GetUrl(lua_State* L) {
    const nG_Settings* settings = nG_Settings::current();
    const std::string url = settings ? settings->url : std::string();
    nE_ScriptArgs::done(L);
    lua_pushlstring(L, url.data(), url.size());
    return 1;
}

int nG_SettingsFunctions::OpenBrowser(lua_State* L) {
    std::string url;
    if (nE_ScriptArgs::string(L, 1, url)) pf::TPlatform::OpenBrowser(url);
    return nE_ScriptArgs::done(L);
}
