// Script functions for triggers (run, read, replace, remove), debug output and loading modules.
#pragma once

struct lua_State;

class nE_TrgFunctions {
public:
    static int TrgExecute(lua_State* L);
    // A table {name, code}; nil when the trigger is not registered.
    static int TrgGet(lua_State* L);
    static int TrgSet(lua_State* L);
    static int TrgDelete(lua_State* L);
    static int DbgTrace(lua_State* L);
    static int ModLoad(lua_State* L);
};
