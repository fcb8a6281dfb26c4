// Script functions of the cursor service: selecting a cursor and reading the pointer position.
#pragma once

struct lua_State;

class nE_CursorFunctions {
public:
    // SetCursor(index): selects that cursor entry.
    static int SetCursor(lua_State* L);
    // CursorPosX() / CursorPosY(): the pointer position in display pixels, fraction dropped; 0 without
    // a cursor service.
    static int CursorPosX(lua_State* L);
    static int CursorPosY(lua_State* L);
};
