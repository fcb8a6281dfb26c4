#include "engine/script/nE_CursorFunctions.h"

#include <lua.hpp>

#include "engine/media/nE_Cursor.h"
#include "engine/script/nE_ScriptArgs.h"

int nE_CursorFunctions::SetCursor(lua_State* L) {
    int index = 0;
    nE_Cursor* cursor = nE_Cursor::current();
    if (cursor && nE_ScriptArgs::integer(L, 1, index)) cursor->select(index);
    return nE_ScriptArgs::done(L);
}

int nE_CursorFunctions::CursorPosX(lua_State* L) {
    const nE_Cursor* cursor = nE_Cursor::current();
    nE_ScriptArgs::done(L);
    lua_pushinteger(L, cursor ? static_cast<lua_Integer>(cursor->x) : 0);
    return 1;
}

int nE_CursorFunctions::CursorPosY(lua_State* L) {
    const nE_Cursor* cursor = nE_Cursor::current();
    nE_ScriptArgs::done(L);
    lua_pushinteger(L, cursor ? static_cast<lua_Integer>(cursor->y) : 0);
    return 1;
}
