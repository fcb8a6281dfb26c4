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

TEST_F(LuaCallTest, ErrorsAndCallsThatRunNothingNameTheModuleFileLine) {
    DebugLines debug;
    const std::string file = "assets/levels/hall.xml";
    folder.write(
        file,
        "<module name=\"hall\"/>\n"
        "<objs><obj name=\"room\">\n"
        "  <obj name=\"knob\" event_mdown=\"turn_knob\"/></obj></objs>\n"
        "<trigs><trig name=\"open_door\"><code>\n"
        "local door = nil\n"
        "door.open()</code></trig>\n"
        "  <trig name=\"same_line\"><code>local x = 1; Deep()</code></trig>\n"
        "  <trig name=\"cdata\"><code><![CDATA[\n"
        "return nil .. 'x']]></code></trig>\n"
        "  <trig name=\"calls\"><code>TrgExecute('nowhere(1)') ModLoad('assets/none')</code></trig>\n"
        "</trigs>\n"
        "<code>\n"
        "function Deep()\n"
        "  error('deep')\n"
        "end\n"
        "error('bad module')</code>");
    nE_Module::bringIn("assets\\levels\\hall", true);
    ASSERT_EQ(2u, debug.lines.size());
    EXPECT_EQ(file + ":16: Module error: assets\\levels\\hall bad module", debug.lines[0]);
    EXPECT_NE(std::string::npos, debug.lines[1].find(file + ":16: in main chunk")) << debug.lines[1];

    using Lines = std::vector<std::string>;
    auto lines = [&](const std::string& call) {
        debug.lines.clear();
        core->triggerHub().executeNow("", call);
        return debug.lines;
    };
    EXPECT_EQ(lines("open_door"),
              (Lines{file + ":6: Trigger error: open_door attempt to index local 'door' (a "
                            "nil value)",
                     "stack traceback:\n\t" + file + ":6: in main chunk"}));
    // An error in a function of the module's code is placed there; the traceback goes back to the call.
    Lines out = lines("same_line");
    ASSERT_EQ(2u, out.size());
    EXPECT_EQ(file + ":14: Trigger error: same_line deep", out[0]);
    EXPECT_NE(std::string::npos,
              out[1].find(file + ":14: in function 'Deep'\n\t" + file + ":7: in main chunk"));
    EXPECT_EQ(0u, lines("cdata").at(0).rfind(file + ":9: Trigger error: cdata attempt to concatenate", 0));
    EXPECT_EQ(lines("calls"),
              (Lines{file + ":10: TrgExecute calls \"nowhere(1)\": no trigger \"nowhere\" is registered",
                     file + ":10: ModLoad(\"assets/none\"): there is no module file \"assets/none.xml\""}));
    // An object's event names the object, its module and key, and the line of its description; once.
    debug.lines.clear();
    for (int i = 0; i < 2; ++i) core->scene().findObject("knob")->queueEvent(0);
    EXPECT_EQ(debug.lines, Lines{file + ":3: object \"knob\" (module assets/levels/hall) event_mdown calls "
                                        "\"turn_knob\": no trigger \"turn_knob\" is registered"});

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
