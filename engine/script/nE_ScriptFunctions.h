// The engine's 43 global Lua functions, registered once right after nE_Core is created and before the
// game registers its own. The table fixes their order.
#pragma once

#include <lua.hpp>
#include <string>
#include <vector>

class nE_ScriptFunctions {
public:
    struct Entry {
        const char* name;
        lua_CFunction function;
    };
    static constexpr int kCount = 43;

    // All kCount entries in registration order.
    static const Entry* table();
    // Registers every entry, in table order, as a global of its name.
    static void registerEngineFunctions(lua_State* L);
    // The names registerEngineFunctions registers, in the order it registers them.
    static std::vector<std::string> registeredNames();
    // Declares to the content checker's rules what the functions' arguments name (the table of
    // arguments beside the table of functions).
    static void declareContent();
    // Sets one global function, raw (a metatable on the globals cannot interfere).
    static void registerFunction(lua_State* L, const char* name, lua_CFunction function);
};
