// The environment content scripts run in: the libraries a game needs and nothing that reaches outside
// it, and a budget of Lua instructions per call from the engine so that an endless loop is stopped and
// reported like any other script error. Every Lua state of the engine (the core's, and the private
// states of scripted particle systems) is made this way.
#pragma once

#include <string>

struct lua_State;

class nE_LuaSandbox {
public:
    // Generous: several seconds of pure Lua work per trigger, module chunk or timer call.
    static constexpr long kDefaultBudget = 200000000;

    // A new state with the restricted libraries and the budget hook; none when Lua cannot allocate one.
    static lua_State* newState(long budget = kDefaultBudget);

    // Opens the libraries into L and takes away what scripts must not have: io, os beyond time, clock
    // and date, debug beyond traceback, dofile, loadfile, package.loadlib, require of anything not
    // preloaded, and loading of precompiled chunks. Then installs the budget hook.
    static void restrict(lua_State* L, long budget = kDefaultBudget);

    // Instructions one outermost call may run before it is stopped.
    static void setBudget(lua_State* L, long instructions);

    // Bracket every call from C++ into L (nE_LuaCall does): the outermost one starts a fresh budget.
    static void enter(lua_State* L);
    static void leave(lua_State* L);

    // The message a stopped script reports.
    static const char* const kRunawayMessage;
};
