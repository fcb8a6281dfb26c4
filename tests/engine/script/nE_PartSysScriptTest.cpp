#include <gtest/gtest.h>

#include <lua.hpp>
#include <string>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_Object.h"
#include "engine/objects/nE_PartSysImpl_Complex.h"
#include "engine/script/nE_LuaSandbox.h"
#include "engine/script/nE_PartSysScript.h"
#include "tests/engine/objects/ParticleTestSupport.h"

namespace {

using particletest::MaskObject;
using particletest::maskTexture;

class PartSysScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (nE_Core::exists()) nE_Core::destroy();
        owner.name = "fx";
        owner.editLocalState()->x = 12;
        system.owner = &owner;
        ASSERT_NE(nullptr, system.script());
        L = system.script()->lua();
    }

    // Runs code in the system's state; false on a Lua error (which is then reported).
    bool run(const std::string& code) { return system.script()->run(slot++, code, "test"); }
    // The value of an expression as a string, through the state's tostring.
    std::string eval(const std::string& expression) {
        if (!run("__result = tostring(" + expression + ")")) return "<error>";
        lua_getfield(L, LUA_GLOBALSINDEX, "__result");
        const char* text = lua_tostring(L, -1);
        const std::string value = text ? text : "?";
        lua_pop(L, 1);
        return value;
    }

    nE_Object owner;
    nE_PartSysImpl_Complex system;
    lua_State* L = nullptr;
    size_t slot = 100;
};

TEST_F(PartSysScriptTest, TheCodeGetsTheLibrariesOfAnEffectAndNothingThatReachesOutside) {
    // The same sandbox as the core's state.
    for (const char* gone : {"io", "dofile", "loadfile", "newproxy", "string.dump", "os.execute", "os.remove",
                             "os.rename", "os.exit", "os.getenv", "os.tmpname", "debug.getinfo",
                             "debug.sethook", "debug.getregistry", "package.loadlib"})
        EXPECT_EQ("nil", eval(gone)) << gone;
    for (const char* kept : {"os.time", "os.clock", "os.date", "debug.traceback", "string.format",
                             "table.insert", "math.floor", "coroutine.wrap", "pcall", "loadstring"})
        EXPECT_EQ("function", eval("type(" + std::string(kept) + ")")) << kept;
    EXPECT_EQ("3", eval("loadstring('return 1 + 2')()"));
    EXPECT_EQ("precompiled chunks are not allowed", eval("select(2, loadstring('\\27Lua'))"));
    // The functions and globals of the effect.
    for (const char* name : {"CreateEmitter", "CreateParticles", "DieAfter", "Random", "Animate", "DeleteMe",
                             "ObjGet", "GetPosFromMask", "SetProperty", "SetIndependent", "GetProperty"})
        EXPECT_EQ("function", eval("type(" + std::string(name) + ")")) << name;
    EXPECT_EQ("0 1 2 3 4 5 6 7 8 9",
              eval("table.concat({ne_pos_x, ne_pos_y, ne_pos_z, ne_scale_x, ne_scale_y, "
                   "ne_angle, ne_alpha, ne_color_r, ne_color_g, ne_color_b}, ' ')"));
    EXPECT_EQ("userdata", eval("type(pointer)"));
    EXPECT_EQ("0 0", eval("ps_state .. ' ' .. ps_dt"));
}

TEST_F(PartSysScriptTest, WrongArgumentsNeverRaiseAndObjectQueriesAnswer) {
    const char* const argumentLists[] = {
        "",         "nil, nil, nil",  "{}, {}, {}",         "true, false, true",
        "'x', 'y'", "0/0, 1/0, -1/0", "-1, {1, 'x', 2}, 3", "1e300, {0/0, 1e300}"};
    for (const char* name : {"CreateEmitter", "CreateParticles", "DieAfter", "Random", "Animate", "DeleteMe",
                             "ObjGet", "GetPosFromMask", "SetProperty", "SetIndependent", "GetProperty"})
        for (const char* args : argumentLists)
            EXPECT_TRUE(run("local r = {" + std::string(name) + "(" + args + ")}"))
                << name << "(" << args << ")";

    EXPECT_EQ("fx 12", eval("ObjGet().name .. ' ' .. ObjGet().pos_x"));
    EXPECT_EQ("0 0", eval("GetPosFromMask().x .. ' ' .. GetPosFromMask().y")) << "no mask";
    EXPECT_EQ("true", eval("Random(5, 5) == 5 and Random(2, 3) >= 2 and Random(2, 3) < 3"));

    // A mask: opaque only in its left half, centred at (100, 200) in the world.
    MaskObject mask(maskTexture(20, 10, [](int x, int) { return x < 10; }));
    mask.name = "mask";
    mask.editLocalState()->x = 100;
    mask.editLocalState()->y = 200;
    system.setMaskObject(&mask);
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(run("local p = GetPosFromMask() __x, __y = p.x, p.y"));
        lua_getfield(L, LUA_GLOBALSINDEX, "__x");
        lua_getfield(L, LUA_GLOBALSINDEX, "__y");
        const double x = lua_tonumber(L, -2), y = lua_tonumber(L, -1);
        lua_pop(L, 2);
        EXPECT_TRUE(x >= 90 && x < 100) << x;
        EXPECT_TRUE(y >= 195 && y < 205) << y;
    }
}

TEST_F(PartSysScriptTest, HostileGlobalsAndHungryCodeStayInsideTheState) {
    // Globals that raise on every access: the engine still sets and reads its own.
    ASSERT_TRUE(
        run("setmetatable(_G, {__newindex = function() error('no') end, __index = function() error('no') "
            "end}) rawset(_G, 'ps_dt', nil)"));
    system.update(0.25f);
    lua_pushliteral(L, "ps_dt");
    lua_rawget(L, LUA_GLOBALSINDEX);
    EXPECT_EQ(0.25, lua_tonumber(L, -1));
    lua_pop(L, 1);
    EXPECT_TRUE(system.emitting);
    lua_pushnil(L);
    lua_setmetatable(L, LUA_GLOBALSINDEX);

    // Memory: the code stops at the cap with a report, and the state can still be closed.
    nE_LuaSandbox::setMemoryCap(L, size_t(32) << 20);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(run("local s = 'x' while true do s = s .. s end"));
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, out.find("Particle error: test not enough memory")) << out;
    EXPECT_TRUE(system.script()->failed());
    EXPECT_FALSE(run("return 1")) << "a failed state runs nothing more";
}

}  // namespace
