// The environment content scripts run in: the libraries a game needs and nothing that reaches outside
// it; a budget of Lua instructions and of CPU time per call from the engine, so that an endless loop
// (of Lua or of expensive library calls) is stopped and reported like any other script error; and a
// cap on the memory a state may hold while its scripts run. Every Lua state of the engine (the core's,
// and the private states of scripted particle systems) is made, compiled into and closed this way.
#pragma once

#include <cstddef>
#include <string>

struct lua_State;
typedef int (*lua_CFunction)(lua_State* L);

class nE_LuaSandbox {
public:
    // Generous: several seconds of pure Lua work per trigger, module chunk or timer call.
    static constexpr long kDefaultBudget = 200000000;
    // CPU time one outermost call may take: what stops loops of expensive library calls, which run
    // few instructions.
    static constexpr double kDefaultSeconds = 1.0;
    // Bytes a state may hold while its scripts run, unless the game's settings say otherwise.
    static constexpr size_t kDefaultMemoryCap = size_t(256) << 20;

    struct Options {
        long budget = kDefaultBudget;
        double seconds = kDefaultSeconds;
        // Whether every outermost call starts a fresh budget; otherwise only restartBudget does.
        bool budgetPerCall = true;
        // Who the state works for, read back with owner(L, kind).
        const void* ownerKind = nullptr;
        void* owner = nullptr;
    };

    // A new state with the restricted libraries, the budget hook and the memory cap; none when Lua
    // cannot allocate one. Close it with close().
    static lua_State* newState(long budget = kDefaultBudget);
    static lua_State* newState(const Options& options);
    static void close(lua_State* L);

    // The one way source text becomes a function in a state: a binary (precompiled) chunk is refused,
    // since it bypasses the compiler's checks and can break the VM. Like luaL_loadbuffer: 0 with the
    // function pushed, or an error status with the message pushed.
    static int load(lua_State* L, const char* text, size_t length, const char* chunkName);

    // Pushes `f` as a function scripts may call: while it runs the memory cap is lifted (C++ code must
    // not be interrupted by a Lua error half-way), and a std::bad_alloc it throws becomes a Lua error.
    static void pushFunction(lua_State* L, lua_CFunction f);

    // Instructions and seconds one budget allows.
    static void setBudget(lua_State* L, long instructions);
    static void setSeconds(lua_State* L, double seconds);
    // A fresh budget now (for states whose budget spans several calls).
    static void restartBudget(lua_State* L);

    // The memory cap of L, and the one new states get (the game's "script_memory_mb" setting).
    static void setMemoryCap(lua_State* L, size_t bytes);
    static void setDefaultMemoryCap(size_t bytes);
    static size_t defaultMemoryCap();
    static size_t memoryUsed(lua_State* L);
    // Bytes scripts may still allocate now (unbounded outside their calls).
    static size_t memoryLeft(lua_State* L);

    // The owner given in the options when `kind` matches, else none.
    static void* owner(lua_State* L, const void* kind);

    // Bracket every call from C++ into L (nE_LuaCall does): the outermost one starts a fresh budget.
    // `host` marks work of the engine itself, which the memory cap does not hold. enter returns what
    // leave needs back.
    static int enter(lua_State* L, bool host = false);
    static void leave(lua_State* L, int entered);

    // Whether the current call overran its budget; it stays stopped until the outermost call returns.
    static bool stopped(lua_State* L);
    // Adds `steps` instructions' worth of work done by a library function; raises the stop when the
    // budget or the time is used up. Only from a C function called by a script.
    static void charge(lua_State* L, long steps);

    // Raises "not enough memory" for a library or host function that cannot get what it needs.
    static int raiseOutOfMemory(lua_State* L);

    // The message a stopped script reports, and the one a precompiled chunk gets.
    static const char* const kRunawayMessage;
    static const char* const kPrecompiledMessage;
};
