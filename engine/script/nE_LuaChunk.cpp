#include "engine/script/nE_LuaChunk.h"

#include <cctype>
#include <cstdlib>
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

// The code as compiled: blank lines first, so that Lua numbers its lines as the file does.
std::string placed(const std::string& code, int firstLine) {
    if (firstLine <= 1) return code;
    std::string out(static_cast<size_t>(firstLine - 1), '\n');
    out += code;
    return out;
}

// Lua keeps at most LUA_IDSIZE characters of a chunk's name, so a long file name comes back cut.
std::string unshortened(const std::string& name, const std::string& known) {
    if (known.empty() || name == known) return name;
    if (name.size() < known.size() && known.compare(0, name.size(), name) == 0) return known;
    if (name.compare(0, 3, "...") == 0) {
        const std::string tail = name.substr(3);
        if (tail.size() < known.size() && known.compare(known.size() - tail.size(), tail.size(), tail) == 0)
            return known;
    }
    return name;
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
                      std::string& traceback, int firstLine) {
    error.clear();
    traceback.clear();
    const int top = lua_gettop(L);
    const std::string source = placed(code, firstLine);
    if (nE_LuaSandbox::load(L, source.data(), source.size(), chunkName.c_str()) != 0) {
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
                           std::string& error, int firstLine) {
    error.clear();
    const int top = lua_gettop(L);
    const std::string source = placed(code, firstLine);
    const bool ok = nE_LuaSandbox::load(L, source.data(), source.size(), chunkName.c_str()) == 0;
    if (!ok) error = nE_LuaCall::errorText(L);
    lua_settop(L, top);
    return ok;
}

bool nE_LuaChunk::runCached(lua_State* L, const std::string& code, const std::string& chunkName,
                            std::string& error, std::string& traceback, int firstLine) {
    error.clear();
    traceback.clear();
    const int top = lua_gettop(L);
    pushChunkCache(L);
    const int cache = top + 1;
    // The same source under another name compiles to another chunk (its messages name it).
    std::string key = chunkName;
    if (chunkName != code || firstLine > 1) {
        key += '\0';
        key += code;
    }
    // The same code at another place in its file numbers its lines differently.
    if (firstLine > 1) key += '\0' + std::to_string(firstLine);
    lua_pushlstring(L, key.data(), key.size());
    lua_rawget(L, cache);
    bool ok = true;
    if (!lua_isfunction(L, -1)) {
        lua_pop(L, 1);
        const std::string source = placed(code, firstLine);
        ok = nE_LuaSandbox::load(L, source.data(), source.size(), chunkName.c_str()) == 0;
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

bool nE_LuaChunk::caller(lua_State* L, std::string& file, int& line) {
    lua_Debug ar;
    for (int level = 0; lua_getstack(L, level, &ar); ++level) {
        lua_getinfo(L, "Sl", &ar);
        if (ar.currentline <= 0 || !ar.source) continue;
        file = ar.source;
        if (!file.empty() && (file[0] == '=' || file[0] == '@')) file.erase(0, 1);
        line = ar.currentline;
        return true;
    }
    return false;
}

bool nE_LuaChunk::splitPlace(const std::string& message, const std::string& known, std::string& file,
                             int& line, std::string& text) {
    // The first ":<digits>:" ends the file name; a file name may hold ":" itself.
    for (size_t colon = message.find(':'); colon != std::string::npos; colon = message.find(':', colon + 1)) {
        size_t end = colon + 1;
        while (end < message.size() && std::isdigit(static_cast<unsigned char>(message[end]))) ++end;
        if (end == colon + 1 || end >= message.size() || message[end] != ':' || colon == 0) continue;
        file = unshortened(message.substr(0, colon), known);
        line = std::atoi(message.c_str() + colon + 1);
        size_t from = end + 1;
        if (from < message.size() && message[from] == ' ') ++from;
        text = message.substr(from);
        return true;
    }
    return false;
}

std::string nE_LuaChunk::withLevels(const std::string& traceback) {
    return traceback.find('\n') == std::string::npos ? std::string() : traceback;
}

bool nE_LuaChunk::tracebackPlace(const std::string& traceback, const std::string& known, std::string& file,
                                 int& line) {
    size_t start = traceback.find('\n');
    while (start != std::string::npos) {
        const size_t end = traceback.find('\n', start + 1);
        std::string entry = traceback.substr(start + 1, end == std::string::npos ? end : end - start - 1);
        while (!entry.empty() && (entry[0] == '\t' || entry[0] == ' ')) entry.erase(0, 1);
        std::string text;
        if (entry.compare(0, 1, "[") != 0 && splitPlace(entry, known, file, line, text)) return true;
        start = end;
    }
    return false;
}

void nE_LuaChunk::place(const std::string& error, const std::string& traceback, const std::string& known,
                        std::string& file, int& line, std::string& text) {
    if (splitPlace(error, known, file, line, text)) return;
    text = error;
    if (tracebackPlace(traceback, known, file, line)) return;
    file = known;
    line = 0;
}
