#include "engine/script/nE_LuaSandbox.h"

#include <lua.hpp>

const char* const nE_LuaSandbox::kRunawayMessage = "script stopped: it ran too long (an endless loop?)";

namespace {

// The hook runs every this many instructions; the budget is counted in these steps.
constexpr int kHookPeriod = 1000;

char g_budgetKey;

struct Budget {
    long limit;
    long used;
    int depth;
};

Budget* budgetOf(lua_State* L) {
    lua_pushlightuserdata(L, &g_budgetKey);
    lua_rawget(L, LUA_REGISTRYINDEX);
    auto* budget = static_cast<Budget*>(lua_touserdata(L, -1));
    lua_pop(L, 1);
    return budget;
}

void countHook(lua_State* L, lua_Debug*) {
    Budget* budget = budgetOf(L);
    if (!budget || budget->depth == 0) return;
    const int period = lua_gethookcount(L);
    budget->used += period;
    if (budget->used <= budget->limit) {
        if (period != kHookPeriod) lua_sethook(L, countHook, LUA_MASKCOUNT, kHookPeriod);
        return;
    }
    // From now on every instruction raises again, so a script's own pcall cannot swallow the stop.
    if (period != 1) lua_sethook(L, countHook, LUA_MASKCOUNT, 1);
    // Level 0 is the function the hook interrupted: the message points at the looping line.
    luaL_where(L, 0);
    lua_pushstring(L, nE_LuaSandbox::kRunawayMessage);
    lua_concat(L, 2);
    lua_error(L);
}

void rawSetGlobal(lua_State* L, const char* name) {
    lua_pushstring(L, name);
    lua_insert(L, -2);
    lua_rawset(L, LUA_GLOBALSINDEX);
}

// Loads source text only: precompiled chunks bypass the compiler's checks and can break the VM.
int loadText(lua_State* L, const char* text, size_t length, const char* chunkName) {
    if (length > 0 && text[0] == LUA_SIGNATURE[0]) {
        lua_pushnil(L);
        lua_pushliteral(L, "precompiled chunks are not allowed");
        return 2;
    }
    if (luaL_loadbuffer(L, text, length, chunkName) == 0) return 1;
    lua_pushnil(L);
    lua_insert(L, -2);
    return 2;
}

int safeLoadString(lua_State* L) {
    size_t length = 0;
    const char* text = luaL_checklstring(L, 1, &length);
    const char* chunkName = luaL_optstring(L, 2, text);
    return loadText(L, text, length, chunkName);
}

int safeLoad(lua_State* L) {
    luaL_checktype(L, 1, LUA_TFUNCTION);
    const char* chunkName = luaL_optstring(L, 2, "=(load)");
    lua_settop(L, 2);
    luaL_Buffer buffer;
    luaL_buffinit(L, &buffer);
    for (;;) {
        lua_pushvalue(L, 1);
        lua_call(L, 0, 1);
        if (lua_isnil(L, -1)) {
            lua_pop(L, 1);
            break;
        }
        if (!lua_isstring(L, -1)) return luaL_error(L, "reader function must return a string");
        if (lua_objlen(L, -1) == 0) {
            lua_pop(L, 1);
            break;
        }
        luaL_addvalue(&buffer);
    }
    luaL_pushresult(&buffer);
    size_t length = 0;
    const char* text = lua_tolstring(L, -1, &length);
    return loadText(L, text, length, chunkName);
}

// Replaces the library table `name` by a new one holding only the listed functions of the old one.
void keepOnly(lua_State* L, const char* name, const char* const* keep) {
    lua_pushstring(L, name);
    lua_rawget(L, LUA_GLOBALSINDEX);
    const int old = lua_gettop(L);
    lua_newtable(L);
    if (lua_istable(L, old)) {
        for (const char* const* key = keep; *key; ++key) {
            lua_pushstring(L, *key);
            lua_rawget(L, old);
            lua_setfield(L, -2, *key);
        }
    }
    // require("os") must hand out the same reduced table.
    lua_getfield(L, LUA_REGISTRYINDEX, "_LOADED");
    if (lua_istable(L, -1)) {
        lua_pushvalue(L, -2);
        lua_setfield(L, -2, name);
    }
    lua_pop(L, 1);
    rawSetGlobal(L, name);
    lua_pop(L, 1);
}

int restrictLibraries(lua_State* L) {
    luaL_openlibs(L);

    lua_pushnil(L);
    rawSetGlobal(L, "io");
    lua_getfield(L, LUA_REGISTRYINDEX, "_LOADED");
    if (lua_istable(L, -1)) {
        lua_pushnil(L);
        lua_setfield(L, -2, "io");
    }
    lua_pop(L, 1);

    static const char* const osKeep[] = {"time", "clock", "date", nullptr};
    keepOnly(L, "os", osKeep);
    static const char* const debugKeep[] = {"traceback", nullptr};
    keepOnly(L, "debug", debugKeep);

    lua_pushnil(L);
    rawSetGlobal(L, "dofile");
    lua_pushnil(L);
    rawSetGlobal(L, "loadfile");
    lua_pushcfunction(L, safeLoadString);
    rawSetGlobal(L, "loadstring");
    lua_pushcfunction(L, safeLoad);
    rawSetGlobal(L, "load");

    // require finds only what is preloaded: no search of the file system, no native libraries.
    lua_pushliteral(L, "package");
    lua_rawget(L, LUA_GLOBALSINDEX);
    if (lua_istable(L, -1)) {
        lua_pushnil(L);
        lua_setfield(L, -2, "loadlib");
        lua_pushliteral(L, "");
        lua_setfield(L, -2, "path");
        lua_pushliteral(L, "");
        lua_setfield(L, -2, "cpath");
        lua_getfield(L, -1, "loaders");
        lua_newtable(L);
        if (lua_istable(L, -2)) {
            lua_rawgeti(L, -2, 1);
            lua_rawseti(L, -2, 1);
        }
        lua_setfield(L, -3, "loaders");
        lua_pop(L, 1);
    }
    lua_pop(L, 1);

    lua_pushlightuserdata(L, &g_budgetKey);
    auto* budget = static_cast<Budget*>(lua_newuserdata(L, sizeof(Budget)));
    *budget = Budget{nE_LuaSandbox::kDefaultBudget, 0, 0};
    lua_rawset(L, LUA_REGISTRYINDEX);
    return 0;
}

}  // namespace

lua_State* nE_LuaSandbox::newState(long budget) {
    lua_State* L = luaL_newstate();
    if (L) restrict(L, budget);
    return L;
}

void nE_LuaSandbox::restrict(lua_State* L, long budget) {
    if (!L || lua_cpcall(L, restrictLibraries, nullptr) != 0) {
        if (L) lua_pop(L, 1);
        return;
    }
    setBudget(L, budget);
    lua_sethook(L, countHook, LUA_MASKCOUNT, kHookPeriod);
}

void nE_LuaSandbox::setBudget(lua_State* L, long instructions) {
    if (Budget* budget = L ? budgetOf(L) : nullptr) budget->limit = instructions;
}

void nE_LuaSandbox::enter(lua_State* L) {
    Budget* budget = budgetOf(L);
    if (budget && budget->depth++ == 0) budget->used = 0;
}

void nE_LuaSandbox::leave(lua_State* L) {
    Budget* budget = budgetOf(L);
    if (!budget || budget->depth == 0 || --budget->depth > 0) return;
    budget->used = 0;
    // The stop may have left the hook firing at every instruction.
    lua_sethook(L, countHook, LUA_MASKCOUNT, kHookPeriod);
}
