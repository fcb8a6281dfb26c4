// Fuzzes the one compile path of scripts with arbitrary bytes (source text, precompiled chunks, broken
// ones): a precompiled chunk is always refused, and what compiles runs in a sandboxed state under a
// small budget without disturbing the stack.
#include <cstdint>
#include <cstdlib>
#include <lua.hpp>
#include <string>

#include "engine/script/nE_LuaChunk.h"
#include "engine/script/nE_LuaSandbox.h"

namespace {

struct Fixture {
    Fixture() : L(nE_LuaSandbox::newState(200000)) {
        nE_LuaSandbox::setSeconds(L, 0.05);
        nE_LuaSandbox::setMemoryCap(L, size_t(16) << 20);
    }
    lua_State* L;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Fixture fixture;
    lua_State* L = fixture.L;
    if (!L) std::abort();
    const std::string code(reinterpret_cast<const char*>(data), size);
    const int top = lua_gettop(L);
    std::string error, traceback;
    const bool ran = nE_LuaChunk::runCached(L, code, "=fuzz", error, traceback);
    if (size > 0 && data[0] == 0x1b && (ran || error != nE_LuaSandbox::kPrecompiledMessage)) std::abort();
    // The compile path itself, as a script's loadstring reaches it.
    const int status = nE_LuaSandbox::load(L, code.data(), code.size(), "=fuzz");
    if (size > 0 && data[0] == 0x1b && status == 0) std::abort();
    lua_settop(L, top);
    if (lua_gettop(L) != top) std::abort();
    // What this input allocated goes within it, so the leak check does not fire on every input.
    lua_gc(L, LUA_GCCOLLECT, 0);
    return 0;
}
