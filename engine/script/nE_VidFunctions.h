// Script functions for videos; other kinds of object are ignored.
#pragma once

struct lua_State;

class nE_VidFunctions {
public:
    static int VidPlay(lua_State* L);
    static int VidStop(lua_State* L);
    static int VidPause(lua_State* L);
};
