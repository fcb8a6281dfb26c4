#include "engine/script/nE_LuaChunk.h"

#include <lua.hpp>

#include "engine/script/nE_LuaCall.h"
#include "engine/script/nE_LuaSandbox.h"

namespace {

// Lua's own traceback shows this many innermost and outermost levels of a deep stack.
const int kHeadLevels = 12;
const int kTailLevels = 10;

void describe(lua_Debug& ar, std::string& out) {
    out += "\n\t";
    out += ar.short_src;
    out += ':';
    if (ar.currentline > 0) out += std::to_string(ar.currentline) + ':';
    out += " in ";
    if (*ar.namewhat != '\0') {
        out += "function '";
        out += ar.name ? ar.name : "?";
        out += '\'';
    } else if (*ar.what == 'm') {
        out += "main chunk";
    } else if (*ar.what == 'C' || *ar.what == 't') {
        out += '?';
    } else {
        out += "function <";
        out += ar.short_src;
        out += ':' + std::to_string(ar.linedefined) + '>';
    }
}

int countLevels(lua_State* L, int from) {
    lua_Debug ar;
    int count = 0;
    while (lua_getstack(L, from + count, &ar)) ++count;
    return count;
}

// The registry key of the table of compiled chunks (source → function, weak values).
char g_chunkCacheKey;

// Pushes the chunk cache of L, creating it on first use.
void pushChunkCache(lua_State* L) {
    lua_pushlightuserdata(L, &g_chunkCacheKey);
    lua_rawget(L, LUA_REGISTRYINDEX);
    if (lua_istable(L, -1)) return;
    lua_pop(L, 1);
    lua_newtable(L);
    // Weak values: a chunk no trigger runs any more goes with the next collection.
    lua_newtable(L);
    lua_pushliteral(L, "v");
    lua_setfield(L, -2, "__mode");
    lua_setmetatable(L, -2);
    lua_pushlightuserdata(L, &g_chunkCacheKey);
    lua_pushvalue(L, -2);
    lua_rawset(L, LUA_REGISTRYINDEX);
}

}  // namespace

std::string nE_LuaChunk::traceback(lua_State* L, int level) {
    std::string out = "stack traceback:";
    const int total = countLevels(L, level);
    lua_Debug ar;
    for (int i = 0; i < total; ++i) {
        if (total > kHeadLevels + kTailLevels && i == kHeadLevels) {
            out += "\n\t...";
            i = total - kTailLevels;
        }
        if (!lua_getstack(L, level + i, &ar)) break;
        lua_getinfo(L, "Snl", &ar);
        describe(ar, out);
    }
    return out;
}

bool nE_LuaChunk::run(lua_State* L, const std::string& code, const std::string& chunkName, std::string& error,
                      std::string& traceback) {
    error.clear();
    traceback.clear();
    const int top = lua_gettop(L);
    if (nE_LuaSandbox::load(L, code.data(), code.size(), chunkName.c_str()) != 0) {
        traceback = nE_LuaChunk::traceback(L, 0);
        error = nE_LuaCall::errorText(L);
        lua_settop(L, top);
        return false;
    }
    const bool ok = nE_LuaCall::call(L, 0, 0, error, traceback);
    lua_settop(L, top);
    return ok;
}

bool nE_LuaChunk::compiles(lua_State* L, const std::string& code, const std::string& chunkName,
                           std::string& error) {
    error.clear();
    const int top = lua_gettop(L);
    const bool ok = nE_LuaSandbox::load(L, code.data(), code.size(), chunkName.c_str()) == 0;
    if (!ok) error = nE_LuaCall::errorText(L);
    lua_settop(L, top);
    return ok;
}

bool nE_LuaChunk::runCached(lua_State* L, const std::string& code, const std::string& chunkName,
                            std::string& error, std::string& traceback) {
    error.clear();
    traceback.clear();
    const int top = lua_gettop(L);
    pushChunkCache(L);
    const int cache = top + 1;
    // The same source under another name compiles to another chunk (its messages name it).
    std::string key = chunkName;
    if (chunkName != code) {
        key += '\0';
        key += code;
    }
    lua_pushlstring(L, key.data(), key.size());
    lua_rawget(L, cache);
    bool ok = true;
    if (!lua_isfunction(L, -1)) {
        lua_pop(L, 1);
        ok = nE_LuaSandbox::load(L, code.data(), code.size(), chunkName.c_str()) == 0;
        if (!ok) {
            traceback = nE_LuaChunk::traceback(L, 0);
        } else {
            lua_pushlstring(L, key.data(), key.size());
            lua_pushvalue(L, -2);
            lua_rawset(L, cache);
        }
    }
    if (ok) {
        // A chunk that changed its own environment last time starts from the globals again, as a fresh
        // compile would.
        lua_pushvalue(L, LUA_GLOBALSINDEX);
        lua_setfenv(L, -2);
        ok = nE_LuaCall::call(L, 0, 0, error, traceback);
    } else {
        error = nE_LuaCall::errorText(L);
    }
    lua_settop(L, top);
    return ok;
}
