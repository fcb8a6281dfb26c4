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
    // Keep a copy of the name: the code may replace or delete this very trigger while it runs.
    const std::string ownName = name;
    if (nE_LuaChunk::runCached(L, code, chunkName(), error, traceback)) return;
    // Through the error log, so that developer mode shows it on screen as well. Lua's message already
    // begins with the module file and the trigger.
    nE_ErrorLog::Entry entry;
    entry.message = "Trigger error: " + ownName + " " + error;
    entry.traceback = "Trigger traceback: " + ownName + " " + traceback;
    nE_ErrorLog::report(entry);
}

std::string nE_Trigger::chunkName() const {
    // "=" makes Lua show the rest as it stands instead of quoting the code text.
    return "=" + (source.empty() ? name : source);
}
