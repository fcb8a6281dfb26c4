#include "engine/script/nE_TrgFunctions.h"
#include "tests/engine/script/ScriptFunctionsTestSupport.h"
#include "tests/engine/script/ScriptTestFolder.h"
#include "tests/engine/script/ScriptTestSupport.h"

namespace {

using script_test::ScriptFunctionsTest;

class TrgFunctionsTest : public ScriptFunctionsTest {};

TEST_F(TrgFunctionsTest, ExecuteRunsAtOnceAsNeUndefAndRestoresTheCallersParams) {
    trigger("inner", "seen = ne_params.sender .. ':' .. ne_params.param_0");
    trigger("outer", "TrgExecute('inner(' .. ne_params.param_0 .. 'x)') after = ne_params.param_0");
    EXPECT_TRUE(core->triggerHub().executeNow("me", "outer(7)"));
    EXPECT_EQ("ne_undef:7x", eval("seen"));
    EXPECT_EQ("7", eval("after"));
}

TEST_F(TrgFunctionsTest, GetSetAndDeleteWorkOnTheRegistry) {
    trigger("greet", "greeting = 'hello'");
    EXPECT_EQ("greet", eval("TrgGet('greet').name"));
    EXPECT_EQ("greeting = 'hello'", eval("TrgGet('greet').code"));

    run("TrgSet('greet', { code = \"greeting = 'bye'\" })");
    run("TrgExecute('greet')");
    EXPECT_EQ("bye", eval("greeting"));
    run("TrgSet('greet', { other = 1 }) TrgSet('greet', { code = 5 }) TrgSet('nobody', { code = 'x = 1' })");
    EXPECT_EQ("greeting = 'bye'", eval("TrgGet('greet').code"));
    EXPECT_EQ(nullptr, core->triggerHub().find("nobody"));

    run("TrgDelete('greet')");
    EXPECT_EQ(nullptr, core->triggerHub().find("greet"));
    EXPECT_EQ("nil", eval("TrgGet('greet')"));
}

TEST_F(TrgFunctionsTest, TraceWritesTheTextAsItIs) {
    script_test::DebugLines lines;
    testing::internal::CaptureStdout();
    run("DbgTrace('100%s done %d') DbgTrace() DbgTrace({})");
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(1u, lines.lines.size());
    EXPECT_EQ("100%s done %d", lines.lines[0]);
}

TEST_F(TrgFunctionsTest, ModLoadParksObjectsRegistersTriggersAndRunsCode) {
    script_test::GameFolder folder;
    folder.write("levels/hall.xml", R"(<module name="hall"/>
        <objs><obj name="hall_root"><spr name="hall_door" res="missing"/></obj></objs>
        <trigs><trig name="hall_open"><code>opened = true</code></trig></trigs>
        <code>ObjAttach('hall_door', 'ne_origin') loaded_hall = (loaded_hall or 0) + 1</code>)");
    testing::internal::CaptureStdout();
    run("ModLoad('levels\\\\hall')");
    testing::internal::GetCapturedStdout();
    nE_Object* door = scene().findObject("hall_door");
    ASSERT_NE(nullptr, door);
    EXPECT_EQ("spr", door->getTypeName());
    EXPECT_EQ(scene().root(), door->parent);
    EXPECT_NE(nullptr, core->triggerHub().find("hall_open"));
    EXPECT_EQ("1", eval("loaded_hall"));
    EXPECT_EQ((std::vector<std::string>{"levels\\hall"}), core->triggerHub().usedModules());
}

}  // namespace
