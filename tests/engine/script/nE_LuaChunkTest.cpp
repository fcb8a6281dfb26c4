// Running Lua chunks, and running them again from the compiled-chunk cache that triggers use.
#include <gtest/gtest.h>

#include "engine/script/nE_LuaChunk.h"
#include "tests/engine/script/ScriptTestSupport.h"

using script_test::eval;

namespace {

struct Result {
    bool ok;
    std::string error, traceback;
};

Result runCached(lua_State* L, const std::string& code, const std::string& name = std::string()) {
    Result r;
    r.ok = nE_LuaChunk::runCached(L, code, name.empty() ? code : name, r.error, r.traceback);
    return r;
}

Result runPlain(lua_State* L, const std::string& code) {
    Result r;
    r.ok = nE_LuaChunk::run(L, code, code, r.error, r.traceback);
    return r;
}

}  // namespace

TEST(LuaChunk, CachedChunksRunAgainAndAgainLikeFreshOnes) {
    script_test::LuaState lua;
    const int top = lua_gettop(lua);
    for (int i = 0; i < 5; ++i) {
        const Result r = runCached(lua, "n = (n or 0) + 1 local k = 1 k = k + n last = k");
        ASSERT_TRUE(r.ok) << r.error;
    }
    EXPECT_EQ(eval(lua, "n"), "5");
    EXPECT_EQ(eval(lua, "last"), "6");
    EXPECT_EQ(lua_gettop(lua), top);

    // A chunk that swaps its own environment starts from the globals again on the next call.
    const std::string sneaky = "seen = (seen or 0) + 1 setfenv(1, { }) inner = true";
    ASSERT_TRUE(runCached(lua, sneaky).ok);
    ASSERT_TRUE(runCached(lua, sneaky).ok);
    EXPECT_EQ(eval(lua, "seen"), "2");
    EXPECT_EQ(eval(lua, "inner"), "nil");

    // Collected chunks are compiled again.
    lua_gc(lua, LUA_GCCOLLECT, 0);
    ASSERT_TRUE(runCached(lua, "n = n + 1").ok);
    EXPECT_EQ(eval(lua, "n"), "6");
}

TEST(LuaChunk, CachedErrorsReadAsUncachedOnesEveryTime) {
    script_test::LuaState lua;
    const int top = lua_gettop(lua);
    for (const char* code : {"x = = 1", "local function deep() error('boom') end deep()", "error({})"}) {
        SCOPED_TRACE(code);
        const Result plain = runPlain(lua, code);
        for (int i = 0; i < 2; ++i) {
            const Result cached = runCached(lua, code);
            EXPECT_FALSE(cached.ok);
            EXPECT_EQ(cached.error, plain.error);
            EXPECT_EQ(cached.traceback.empty(), plain.traceback.empty());
        }
    }
    EXPECT_NE(runCached(lua, "local function deep() error('boom') end deep()").traceback.find("'deep'"),
              std::string::npos);
    EXPECT_EQ(lua_gettop(lua), top);
}

TEST(LuaChunk, TheSameSourceUnderTwoNamesKeepsEachName) {
    script_test::LuaState lua;
    const Result a = runCached(lua, "error('x')", "first");
    const Result b = runCached(lua, "error('x')", "second");
    EXPECT_NE(a.error.find("first"), std::string::npos) << a.error;
    EXPECT_NE(b.error.find("second"), std::string::npos) << b.error;

    // A state of its own has a cache of its own.
    script_test::LuaState other;
    ASSERT_TRUE(runCached(lua, "v = 1").ok);
    ASSERT_TRUE(runCached(other, "v = 1").ok);
    EXPECT_EQ(eval(other, "v"), "1");
}
