#include "engine/script/nE_LuaChunk.h"

#include <lua.hpp>

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

// Message handler: remembers the traceback in the std::string given as upvalue and passes the message on.
int collectTraceback(lua_State* L) {
    auto* out = static_cast<std::string*>(lua_touserdata(L, lua_upvalueindex(1)));
    if (out) *out = nE_LuaChunk::traceback(L, 1);
    lua_settop(L, 1);
    return 1;
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
    lua_pushlightuserdata(L, &traceback);
    lua_pushcclosure(L, collectTraceback, 1);
    bool ok = luaL_loadbuffer(L, code.data(), code.size(), chunkName.c_str()) == 0;
    if (!ok) traceback = nE_LuaChunk::traceback(L, 0);
    if (ok) ok = lua_pcall(L, 0, LUA_MULTRET, top + 1) == 0;
    if (!ok) {
        const char* message = lua_tostring(L, -1);
        error = message ? message : "(error object is not a string)";
    }
    lua_settop(L, top);
    return ok;
}
