// Loads and runs a piece of Lua source in a protected call, keeping the stack balanced and collecting a
// traceback of a run-time error so authors can find where their script broke.
#pragma once

#include <string>

struct lua_State;

class nE_LuaChunk {
public:
    // Loads `code` as a chunk named `chunkName` and calls it with no arguments. On failure returns false
    // with the Lua error message in `error` and, for run-time errors, the stack traceback in `traceback`
    // (for a chunk that does not load, `traceback` describes the caller's stack).
    static bool run(lua_State* L, const std::string& code, const std::string& chunkName, std::string& error,
                    std::string& traceback);
    // As run, for code that runs again and again (triggers): the compiled chunk is kept in L, weakly, so
    // that it is compiled once rather than on every call. Each call starts in the global environment.
    static bool runCached(lua_State* L, const std::string& code, const std::string& chunkName,
                          std::string& error, std::string& traceback);

    // Whether `code` compiles as a chunk named `chunkName`, without running it; the Lua message in
    // `error` when it does not.
    static bool compiles(lua_State* L, const std::string& code, const std::string& chunkName,
                         std::string& error);

    // A traceback of the Lua stack of L starting at `level`, in the form Lua's own debug library uses.
    static std::string traceback(lua_State* L, int level);
};
