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
    // `firstLine` is the line of its file the code starts on, so that messages and tracebacks count the
    // file's lines rather than the code's.
    static bool run(lua_State* L, const std::string& code, const std::string& chunkName, std::string& error,
                    std::string& traceback, int firstLine = 1);
    // As run, for code that runs again and again (triggers): the compiled chunk is kept in L, weakly, so
    // that it is compiled once rather than on every call. Each call starts in the global environment.
    static bool runCached(lua_State* L, const std::string& code, const std::string& chunkName,
                          std::string& error, std::string& traceback, int firstLine = 1);

    // Whether `code` compiles as a chunk named `chunkName`, without running it; the Lua message in
    // `error` when it does not.
    static bool compiles(lua_State* L, const std::string& code, const std::string& chunkName,
                         std::string& error, int firstLine = 1);

    // A traceback of the Lua stack of L starting at `level`, in the form Lua's own debug library uses.
    static std::string traceback(lua_State* L, int level);

    // Where the innermost Lua function on the stack of L stands (the code that called a script
    // function): its chunk's name without the "=" or "@" and the current line. False when no Lua
    // function is running.
    static bool caller(lua_State* L, std::string& file, int& line);

    // Splits a Lua message "file:31: text" into file, line and text; false (and nothing changed) when
    // the message names no place. `known` is the file the code came from: a name Lua shortened stands
    // for it again.
    static bool splitPlace(const std::string& message, const std::string& known, std::string& file, int& line,
                           std::string& text);
    // The traceback, or "" when it lists no level (a chunk that did not compile ran nowhere).
    static std::string withLevels(const std::string& traceback);
    // The place of the innermost level of a traceback that names one.
    static bool tracebackPlace(const std::string& traceback, const std::string& known, std::string& file,
                               int& line);
    // The file and line of an error: from its message, else from its traceback, else `known`, line 0.
    // `text` is the message without the place.
    static void place(const std::string& error, const std::string& traceback, const std::string& known,
                      std::string& file, int& line, std::string& text);
};
