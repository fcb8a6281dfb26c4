#include "game/script/nG_ScreenFunctions.h"

#include <cmath>
#include <lua.hpp>

#include "engine/core/nE_Mediator.h"
#include "engine/core/nE_Object.h"
#include "engine/core/notEngine.h"
#include "engine/media/nE_Cursor.h"
#include "engine/script/nE_ScriptArgs.h"
#include "game/core/nG_Messages.h"
#include "game/shell/nG_Screen.h"
#include "pflib/TSound.h"

namespace {

int pushNumber(lua_State* L, int value) {
    nE_ScriptArgs::done(L);
    lua_pushinteger(L, value);
    return 1;
}

// The point (x, y) given in display pixels, in the space the matrix maps from; false when it maps
// nothing back (a flat matrix).
bool intoSpace(const pf::TMat4& m, float x, float y, float& outX, float& outY) {
    const float det = m.m[0] * m.m[5] - m.m[1] * m.m[4];
    if (det == 0 || !std::isfinite(det)) return false;
    const float dx = x - m.m[12], dy = y - m.m[13];
    outX = (dx * m.m[5] - dy * m.m[4]) / det;
    outY = (dy * m.m[0] - dx * m.m[1]) / det;
    return true;
}

int pushPoint(lua_State* L, float x, float y) {
    nE_ScriptArgs::done(L);
    lua_createtable(L, 2, 0);
    lua_pushnumber(L, x);
    lua_rawseti(L, -2, 1);
    lua_pushnumber(L, y);
    lua_rawseti(L, -2, 2);
    return 1;
}

}  // namespace

int nG_ScreenFunctions::SwitchToGame(lua_State* L) {
    int slot = 0;
    nE_ScriptArgs::integer(L, 1, slot);
    const std::string level = nE_ScriptArgs::stringOr(L, 2, "");
    const std::string script = nE_ScriptArgs::stringOr(L, 3, "");
    if (nG_Screen* screen = nG_Screen::current()) screen->requestStart(true, slot, level, script);
    return nE_ScriptArgs::done(L);
}

int nG_ScreenFunctions::SwitchToMenu(lua_State* L) {
    if (nG_Screen* screen = nG_Screen::current()) screen->requestMenu();
    return nE_ScriptArgs::done(L);
}

int nG_ScreenFunctions::ResumeGame(lua_State* L) {
    if (nG_Screen* screen = nG_Screen::current()) screen->closePauseMenu();
    return nE_ScriptArgs::done(L);
}

int nG_ScreenFunctions::Quit(lua_State* L) {
    if (notEngine* engine = notEngine::instance()) engine->Exit();
    return nE_ScriptArgs::done(L);
}

int nG_ScreenFunctions::ShowObjectWindow(lua_State* L) {
    nG_ObjectWindowRequest request;
    request.path = nE_ScriptArgs::stringOr(L, 1, "");
    request.name = nE_ScriptArgs::stringOr(L, 2, "");
    request.code = nE_ScriptArgs::stringOr(L, 3, "");
    nE_ScriptArgs::done(L);
    nE_Mediator::postToCurrent<MSG_SHOW_OBJECT_WINDOW>(&request);
    return 0;
}

int nG_ScreenFunctions::IsNoSoundDevice(lua_State* L) {
    return pushNumber(L, pf::TSoundManager::GetInstance() ? 0 : 1);
}

int nG_ScreenFunctions::GetObjPosByObj(lua_State* L) {
    nE_Object* object = nE_ScriptArgs::object(L, 1);
    nE_Object* reference = nE_ScriptArgs::object(L, 2);
    float x = 0, y = 0;
    if (object && reference) {
        const pf::TVec2 at = object->worldStateFromTop().transform().Apply(0, 0);
        intoSpace(reference->worldStateFromTop().transform(), at.x, at.y, x, y);
    }
    return pushPoint(L, x, y);
}

int nG_ScreenFunctions::GetGameCursorPos(lua_State* L) {
    const nE_Cursor* cursor = nE_Cursor::current();
    float x = cursor ? cursor->x : 0, y = cursor ? cursor->y : 0;
    if (nG_Screen* screen = nG_Screen::current()) {
        float sx = x, sy = y;
        if (intoSpace(screen->worldStateFromTop().transform(), x, y, sx, sy)) x = sx, y = sy;
    }
    return pushPoint(L, x, y);
}

int nG_ScreenFunctions::IsSurveyEdition(lua_State* L) {
    return pushNumber(L, 0);
}

int nG_ScreenFunctions::IsMac(lua_State* L) {
    return pushNumber(L, 0);
}

int nG_ScreenFunctions::IsCollectorsEdition(lua_State* L) {
    return pushNumber(L, 1);
}
