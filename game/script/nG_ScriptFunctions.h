// The game's global Lua functions, registered once at start-up right after the engine's. The table fixes
// their order; an entry without a function would be skipped. Each family binds in its own file
// (nG_*Functions).
#pragma once

#include <lua.hpp>
#include <string>
#include <vector>

#include "engine/core/nE_Mediator.h"
#include "engine/script/nE_ScriptArgs.h"

class nG_ScriptFunctions {
public:
    struct Entry {
        const char* name;
        lua_CFunction function;
    };
    static constexpr int kCount = 90;

    // All kCount entries in registration order.
    static const Entry* table();
    // Registers every entry that has a function, in table order, as a global of its name.
    static void registerGameFunctions(lua_State* L);
    // The names registerGameFunctions registers, in the order it registers them.
    static std::vector<std::string> registeredNames();
    // Declares to the content checker's rules what the functions' arguments name (the table of
    // arguments beside the table of functions), for every function in the table: content may be written
    // before its function lands.
    static void declareContent();

    // Shared argument readers of the game functions: a boolean, or a number (true when not 0); false
    // otherwise.
    static bool flag(lua_State* L, int index);
    // Number of arguments passed (nil counts as passed).
    static int passed(lua_State* L) { return lua_gettop(L); }
    // An integer switch: true when the argument reads as the integer 1 (a boolean counts as itself).
    static bool intFlag(lua_State* L, int index);
    // A string argument, or "" when it is missing or not a string.
    static std::string text(lua_State* L, int index) { return nE_ScriptArgs::stringOr(L, index, ""); }
    // The body of a function whose one string argument is the payload of game message Message.
    template <unsigned int Message>
    static int postName(lua_State* L) {
        std::string name = text(L, 1);
        nE_ScriptArgs::done(L);
        nE_Mediator::postToCurrent<Message>(&name);
        return 0;
    }
};
