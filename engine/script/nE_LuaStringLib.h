// The string functions of Lua 5.1 that can run unbounded inside one library call, rewritten to answer
// to the sandbox's budget: the pattern functions (find, match, gmatch, gsub) count their matching steps
// against it and refuse patterns nested deeper than a fixed limit, so a pattern that backtracks
// exponentially is stopped like an endless loop; rep checks the size of its result against the
// memory a script may still take before building it. Behaviour is otherwise that of Lua 5.1.
#pragma once

struct lua_State;

class nE_LuaStringLib {
public:
    // Replaces those functions in the state's string table (also reached as string methods).
    static void install(lua_State* L);

    // Recursion of the matcher (pattern items that may match in more than one way) at most.
    static constexpr int kMaxMatchDepth = 200;
};
