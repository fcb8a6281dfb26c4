#include "engine/script/nE_Trigger.h"

#include "engine/core/nE_Debug.h"
#include "engine/core/nE_ErrorLog.h"
#include "engine/script/nE_LuaChunk.h"

void nE_Trigger::execute(lua_State* L) {
    if (code.empty()) return;
    if (!L) {
        nE_Debug::writef("Trigger error: %s %s", name.c_str(), "no Lua state");
        return;
    }
    std::string error, traceback;
    // Keep copies: the code may replace or delete this very trigger while it runs.
    const std::string ownName = name;
    const std::string ownFile = file;
    if (nE_LuaChunk::runCached(L, code, chunkName(), error, traceback, firstLine)) return;
    nE_ErrorLog::Entry entry;
    std::string text;
    nE_LuaChunk::place(error, traceback, ownFile, entry.file, entry.line, text);
    if (ownFile.empty() && entry.file == ownName) {
        // A trigger made at run time has no file: its name is no place to point at.
        entry.file.clear();
        entry.line = 0;
        text = error;
    }
    entry.message = "Trigger error: " + ownName + " " + text;
    entry.traceback = nE_LuaChunk::withLevels(traceback);
    nE_ErrorLog::report(entry);
}

std::string nE_Trigger::chunkName() const {
    // "=" makes Lua show the rest as it stands instead of quoting the code text.
    return "=" + (file.empty() ? name : file);
}
