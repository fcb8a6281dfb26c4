// Fuzzes the parsing of trigger call strings and the building of "ne_params" from them.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <lua.hpp>
#include <string>

#include "engine/script/nE_CallString.h"
#include "engine/script/nE_TriggerHub.h"

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

struct Fixture {
    Fixture() : lua(luaL_newstate()), hub(lua) {
        luaL_openlibs(lua);
        // The trigger reads every parameter back, so a malformed table would show up as a Lua error.
        hub.registerTrigger(std::make_unique<nE_Trigger>(
            "f", "local n = 0 for k, v in pairs(ne_params) do assert(type(v) == 'string') n = n + 1 end"));
    }
    lua_State* lua;
    nE_TriggerHub hub;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Fixture fixture;
    const std::string text(reinterpret_cast<const char*>(data), size);

    std::string name, params;
    if (nE_CallString::split(text, name, params)) {
        if (name.find('(') != std::string::npos) std::abort();
        const std::vector<std::string> pieces = nE_CallString::pieces(params);
        const size_t commas = static_cast<size_t>(std::count(params.begin(), params.end(), ','));
        if (pieces.size() > commas + 1) std::abort();
        for (const std::string& piece : pieces) {
            if (std::any_of(piece.begin(), piece.end(), isSpace)) std::abort();
        }
    }

    // The same text as a call of the registered trigger, queued and run.
    const int top = lua_gettop(fixture.lua);
    const size_t open = text.find('(');
    const std::string call = "f" + (open == std::string::npos ? std::string() : text.substr(open));
    fixture.hub.executeNow("fuzz", call);
    fixture.hub.queueCall(text, call);
    fixture.hub.runQueue();
    if (lua_gettop(fixture.lua) != top) std::abort();
    // Settle the garbage now, so that what this input allocated is freed within it and the leak check
    // does not fire on every input.
    lua_gc(fixture.lua, LUA_GCCOLLECT, 0);
    return 0;
}
