#include "game/script/nG_DesktopFunctions.h"

#include <lua.hpp>
#include <string>

#include "engine/script/nE_ScriptArgs.h"
#include "game/shell/nG_Desktop.h"

int nG_DesktopFunctions::CopyFileToMyDocs(lua_State* L) {
    const std::string path = nE_ScriptArgs::stringOr(L, 1, "");
    nE_ScriptArgs::done(L);
    nG_Desktop::copyToDocuments(path, "CopyFileToMyDocs");
    return 0;
}

int nG_DesktopFunctions::SetWallpaper(lua_State* L) {
    const std::string path = nE_ScriptArgs::stringOr(L, 1, "");
    nE_ScriptArgs::done(L);
    nG_Desktop::setWallpaper(path);
    return 0;
}

int nG_DesktopFunctions::SetScreensaver(lua_State* L) {
    const std::string path = nE_ScriptArgs::stringOr(L, 1, "");
    nE_ScriptArgs::done(L);
    lua_pushinteger(L, nG_Desktop::setScreensaver(path));
    return 1;
}
