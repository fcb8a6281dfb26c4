// The Lua boundary: nothing a script does (a guarded global table, a hostile metatable on an argument,
// an error) raises through C++ or ends the process, and errors name the file and trigger they come from.
#include <tinyxml2.h>

#include "engine/script/nE_LuaCall.h"
#include "engine/script/nE_Module.h"
#include "tests/engine/script/ScriptFunctionsTestSupport.h"
#include "tests/engine/script/ScriptTestFolder.h"
#include "tests/engine/script/ScriptTestSupport.h"

namespace {

using script_test::DebugLines;

class LuaCallTest : public script_test::ScriptFunctionsTest {
protected:
    script_test::GameFolder folder;
};

// A module in the style of Lua's strict.lua: reading or writing an undeclared global raises.
const char* const kStrictModule =
    "<trigs><trig name=\"greet\"><code>rawset(_G, 'seen', ne_params.param_0 .. '@' .. ne_params.sender)"
    "</code></trig></trigs>"
    "<code>setmetatable(_G, {__newindex = function(_, k) error('undeclared ' .. k, 2) end,"
    "                        __index = function(_, k) error('undeclared ' .. k, 2) end})</code>";

TEST_F(LuaCallTest, AGuardedGlobalTableNeitherBlocksTriggerParametersNorEndsTheProcess) {
    DebugLines debug;
    folder.write("strict.xml", kStrictModule);
    nE_Module::bringIn("strict", false);
    ASSERT_TRUE(debug.lines.empty()) << debug.lines[0];

    core->triggerHub().queueCall("door", "greet(hello)");
    core->triggerHub().runQueue();
    EXPECT_TRUE(debug.lines.empty()) << debug.lines[0];
    EXPECT_EQ("hello@door", script_test::eval(L, "rawget(_G, 'seen')"));

    // The guard still works for the scripts themselves: their errors are reported, not fatal.
    trigger("sloppy", "undeclared_name = 1");
    core->triggerHub().executeNow("", "sloppy");
    ASSERT_FALSE(debug.lines.empty());
    EXPECT_NE(std::string::npos, debug.lines[0].find("undeclared undeclared_name")) << debug.lines[0];

    // The engine's own globals are set raw as well.
    lua_pushinteger(L, 7);
    EXPECT_TRUE(nE_LuaCall::setGlobal(L, "ng_global"));
    EXPECT_EQ("7", script_test::eval(L, "rawget(_G, 'ng_global')"));
}

TEST_F(LuaCallTest, ScriptFunctionsReadTheirTablesRawAndNeverRunMetamethods) {
    nE_Object* object = add("lamp");
    EXPECT_EQ("", run("calls = 0 "
                      "local hostile = setmetatable({pos_x = 5}, {__index = function(_, k) "
                      "calls = calls + 1 error('no field ' .. k) end}) "
                      "ObjSet('lamp', hostile)"));
    EXPECT_FLOAT_EQ(5, object->localState().x);
    EXPECT_EQ("0", eval("calls"));
    EXPECT_EQ("", run("TrgSet('nothing', setmetatable({}, {__index = error}))"));
}

TEST_F(LuaCallTest, ErrorsNameTheModuleFileAndTriggerTheyComeFrom) {
    DebugLines debug;
    folder.write("assets/levels/hall.xml",
                 "<trigs><trig name=\"open_door\"><code>\nlocal door = nil\ndoor.open()</code></trig></trigs>"
                 "<code>local a = 1\nerror('bad module')</code>");
    nE_Module::bringIn("assets\\levels\\hall", false);
    ASSERT_EQ(1u, debug.lines.size());
    EXPECT_EQ("Module error: assets\\levels\\hall assets/levels/hall.xml:2: bad module", debug.lines[0]);

    debug.lines.clear();
    core->triggerHub().executeNow("", "open_door");
    ASSERT_EQ(2u, debug.lines.size());
    EXPECT_EQ(0u, debug.lines[0].rfind("Trigger error: open_door assets/levels/hall.xml:open_door:3: attempt "
                                       "to index local 'door'",
                                       0))
        << debug.lines[0];
    EXPECT_NE(std::string::npos, debug.lines[1].find("assets/levels/hall.xml:open_door:3: in main chunk"))
        << debug.lines[1];

    // A failing protected call leaves the stack as it found it.
    const int top = lua_gettop(L);
    std::string error, traceback;
    lua_getglobal(L, "error");
    lua_pushliteral(L, "plain");
    EXPECT_FALSE(nE_LuaCall::call(L, 1, 1, error, traceback));
    EXPECT_EQ("plain", error);
    EXPECT_EQ(top, lua_gettop(L));
}

}  // namespace
