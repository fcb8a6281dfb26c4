// Script functions for animated sprites; other kinds of object are ignored.
#pragma once

struct lua_State;

class nE_AnmFunctions {
public:
    static int AnmPlay(lua_State* L);
    static int AnmStop(lua_State* L);
    static int AnmPause(lua_State* L);
};
