#include "engine/script/nE_Trigger.h"

#include "engine/core/nE_Debug.h"
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
    nE_Debug::writef("Trigger error: %s %s", ownName.c_str(), error.c_str());
    nE_Debug::write(("Trigger traceback: " + ownName + " " + traceback).c_str());
}

std::string nE_Trigger::chunkName() const {
    // "=" makes Lua show the rest as it stands instead of quoting the code text.
    return "=" + (source.empty() ? name : source);
}
