// Objects' events reach the trigger hub of nE_Core, and a module brought in through the core runs in
// its Lua state; one frame runs the queue, then the timers, then the scene.
#include <gtest/gtest.h>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Object.h"
#include "engine/core/nE_Scene.h"
#include "engine/script/nE_Module.h"
#include "engine/script/nE_TimerHub.h"
#include "engine/script/nE_TriggerHub.h"
#include "tests/engine/script/ScriptTestFolder.h"
#include "tests/engine/script/ScriptTestSupport.h"

namespace {

const char* const kModule =
    "<objs><obj name=\"holder\">"
    "<obj name=\"button\" inputrect_init=\"1\" inputrect_w=\"100\" inputrect_h=\"50\" drag=\"1\" "
    "event_mdown=\"log(down)\" event_menter=\"log(enter)\" event_dragdrop=\"log(drop)\">"
    "<animlines><line type=\"0\" numpoints=\"2\" endtrig=\"log(slid)\"><data val=\"0\"/><data val=\"0\"/>"
    "<data val=\"0.25\"/><data val=\"0\"/></line></animlines></obj>"
    "</obj></objs>"
    "<trigs><trig name=\"log\"><code>events = (events or '') .. ne_params.param_0 .. '@' .. ne_params.sender "
    ".. ' '"
    "</code></trig></trigs>"
    "<code>loaded = true</code>";

class CoreTriggersTest : public ::testing::Test {
protected:
    CoreTriggersTest() {
        nE_Core::destroy();
        core = nE_Core::get();
    }
    ~CoreTriggersTest() override { nE_Core::destroy(); }

    void frame(float dt) {
        core->triggerHub().runQueue();
        core->timerHub().update(dt);
        core->scene().update(dt);
    }
    void send(int type, float x, float y) {
        nE_InputEvent event;
        event.type = type;
        event.code = 3840;
        event.x = x;
        event.y = y;
        core->scene().dispatch(event);
    }
    std::string events() { return script_test::eval(core->lua(), "events"); }

    script_test::GameFolder folder;
    nE_Core* core = nullptr;
};

}  // namespace

TEST_F(CoreTriggersTest, EventsDropsAndLineEndsQueueThroughTheCore) {
    folder.write("scenes/button.xml", kModule);
    nE_Module::bringIn("scenes\\button", true);
    EXPECT_EQ(script_test::eval(core->lua(), "loaded"), "true");
    EXPECT_EQ(core->triggerHub().usedModules(), std::vector<std::string>{"scenes\\button"});
    nE_Scene& scene = core->scene();
    nE_Object* button = scene.findObject("button");
    ASSERT_TRUE(button);
    scene.attach(scene.root(), button);

    send(nE_InputEvent::kPointerMove, 10, 10);
    send(nE_InputEvent::kButtonDown, 10, 10);  // mouse down, then the drag starts
    EXPECT_EQ(core->triggerHub().queue().size(), 2u);
    EXPECT_EQ(events(), "nil");  // nothing runs before the next frame
    frame(0.125f);
    EXPECT_EQ(events(), "enter@button down@button ");
    send(nE_InputEvent::kButtonDown, 10, 10);  // drops
    frame(0.125f);                             // the drop trigger runs, then the drop completes
    frame(0.125f);                             // the line ended in the last frame's scene update
    EXPECT_EQ(events(), "enter@button down@button drop@button slid@button ");
    // The drag cleared the hover link: the next pointer move enters again.
    send(nE_InputEvent::kPointerMove, 20, 20);
    frame(0.125f);
    EXPECT_EQ(events(), "enter@button down@button drop@button slid@button enter@button ");
}

TEST_F(CoreTriggersTest, ATimerOfTheCoreFiresIntoItsTriggerHub) {
    folder.write("timer.xml",
                 "<trigs><trig name=\"log\"><code>events = ne_params.sender</code></trig></trigs>");
    nE_Module::bringIn("timer.xml", false);
    EXPECT_TRUE(core->scene().storage()->children.empty());
    core->timerHub().start("clock", "log", 0.25f);
    frame(0.125f);
    frame(0.125f);
    EXPECT_EQ(events(), "nil");
    frame(0.125f);
    EXPECT_EQ(events(), "clock");
}
