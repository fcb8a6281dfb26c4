// Reading the arguments of the engine's script functions. No reader raises a Lua error: an absent or
// wrong-typed argument reads as "not given", and the function then does nothing.
#pragma once

#include <lua.hpp>
#include <string>

class nE_Object;

class nE_ScriptArgs {
public:
    // A string (or a number in its string form) at the index; false when absent or of another type.
    static bool string(lua_State* L, int index, std::string& out);
    // The string at the index, or `fallback` when there is none.
    static std::string stringOr(lua_State* L, int index, const std::string& fallback);
    // A number (or a numeric string) at the index; false otherwise.
    static bool number(lua_State* L, int index, double& out);
    static bool integer(lua_State* L, int index, int& out);
    // The integer at the index, 0 when absent or not a number.
    static int integerOr0(lua_State* L, int index);
    // The object named by the string at the index (live tree first, then storage), or none.
    static nE_Object* object(lua_State* L, int index);
    // Empties the stack: every function leaves only its results.
    static int done(lua_State* L);
};
