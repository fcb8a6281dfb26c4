// Every call from C++ into Lua goes through here: protected, with the traceback handler, and counted
// against the state's instruction budget (nE_LuaSandbox). A Lua error becomes a message, never a jump
// across C++ frames and never Lua's panic.
#pragma once

#include <lua.hpp>
#include <string>

class nE_LuaCall {
public:
    // Calls the function that lies below its nargs arguments on top of the stack. On success the
    // nresults results are left on the stack; on failure nothing is, `error` holds the message and
    // `traceback` the Lua stack at the point of the error.
    static bool call(lua_State* L, int nargs, int nresults, std::string& error, std::string& traceback);

    // Runs f in protected mode with `data` as its only argument (a light userdata). For API work that
    // may raise: metamethods, allocation. Nothing is left on the stack.
    static bool protect(lua_State* L, lua_CFunction f, void* data, std::string& error);

    // Pops the value on top of the stack into the global `name`, raw: a metatable on the globals (a
    // module guarding its globals) neither sees nor blocks it.
    static bool setGlobal(lua_State* L, const char* name);

    // The message of the error value on top of the stack (a string, or a note that it was none).
    static std::string errorText(lua_State* L);
};
