// A module's objects driven by its triggers on timers and by animation lines with end triggers, saved in
// the middle of a run and restored into a fresh world that must end where an uninterrupted run ends.
#include <gtest/gtest.h>
#include <tinyxml2.h>

#include "engine/core/nE_Object.h"
#include "engine/core/nE_Scene.h"
#include "engine/script/nE_Module.h"
#include "engine/script/nE_SLHelper_XML.h"
#include "engine/script/nE_TimerHub.h"
#include "engine/script/nE_TriggerHub.h"
#include "tests/engine/script/ScriptTestFolder.h"
#include "tests/engine/script/ScriptTestSupport.h"

namespace {

// The level: "box" slides along x by an absolute line whose end trigger starts a looped bounce on y;
// the "blink" timer moves "lamp" and restarts itself, "late" moves it once; "lamp" pulses by a
// relative alpha line.
const char* const kModule = R"xml(<module name="demo"/>
<objs><obj name="demo_root">
  <obj name="box" pos_x="10">
    <animlines><line type="0" looped="0" relative="0" endtrig="arrived(box, 100)" numpoints="2" curtime="0">
      <data val="0"/><data val="10"/><data val="1"/><data val="110"/></line></animlines>
  </obj>
  <obj name="lamp" pos_y="4">
    <animlines><line type="8" looped="1" relative="1" endtrig="" numpoints="2" curtime="0">
      <data val="0"/><data val="1"/><data val="0.75"/><data val="0.5"/></line></animlines>
  </obj>
</obj></objs>
<trigs>
  <trig name="tick"><code>Move('lamp', tonumber(ne_params.param_0), 0) Timer('blink', 'tick(3)', 0.5)</code></trig>
  <trig name="arrived"><code>Move('lamp', 0, tonumber(ne_params.param_1))
    Animate(ne_params.param_0, 1, 1, 'bounced', { 0, 0, 0.25, 8, 0.5, 0 })</code></trig>
  <trig name="bounced"><code>Move('lamp', 0.5, 0)</code></trig>
</trigs>
<code>Attach('box', 'ne_origin') Attach('lamp', 'ne_origin') Timer('blink', 'tick(3)', 0.5)
  Timer('late', 'bounced', 1.5) Tag('late', 'scene')</code>
)xml";

// The engine objects, hubs and Lua state of one run, with stand-ins for the object and timer script
// functions that scripts will call.
struct World {
    World() : triggers(lua), timers(&triggers) {
        current = this;
        nE_Scene::setQueueHook(
            [this](const std::string& sender, const std::string& call) { triggers.queueCall(sender, call); });
        lua_register(lua, "Attach", attach);
        lua_register(lua, "Move", move);
        lua_register(lua, "Timer", timer);
        lua_register(lua, "Tag", tag);
        lua_register(lua, "Animate", animate);
    }
    ~World() {
        nE_Scene::setQueueHook({});
        current = nullptr;
    }

    // One tick in the game's order: the queue, the timers, the scene.
    void frame() {
        triggers.runQueue();
        timers.update(0.125f);
        scene.update(0.125f);
    }

    // The save slot: the live objects, the trigger dump, the timer dump.
    std::string save() {
        tinyxml2::XMLDocument doc;
        tinyxml2::XMLElement* slot = doc.NewElement("slot");
        doc.InsertEndChild(slot);
        tinyxml2::XMLElement* origin = doc.NewElement("origin");
        slot->InsertEndChild(origin);
        for (nE_Object* child : scene.root()->children) {
            origin->InsertEndChild(nE_SLHelper_XML::save(*child, doc, true, true));
        }
        triggers.dump(slot);
        timers.dump(slot);
        tinyxml2::XMLPrinter printer;
        doc.Print(&printer);
        return printer.CStr();
    }

    // Restores in the order a saved game does: triggers (bringing the module back), timers, objects.
    void restore(const std::string& text) {
        tinyxml2::XMLDocument doc;
        ASSERT_EQ(doc.Parse(text.c_str()), tinyxml2::XML_SUCCESS);
        tinyxml2::XMLElement* slot = doc.FirstChildElement("slot");
        triggers.restore(slot);
        timers.restore(slot);
        for (tinyxml2::XMLElement* e = slot->FirstChildElement("origin")->FirstChildElement(); e;
             e = e->NextSiblingElement()) {
            scene.attach(scene.root(), nE_SLHelper_XML::build(e).release());
        }
    }

    static nE_Object* object(lua_State* L, int index) {
        const char* name = lua_tostring(L, index);
        return name ? current->scene.findObject(name) : nullptr;
    }
    static int attach(lua_State* L) {
        current->scene.attach(object(L, 2), object(L, 1));
        return 0;
    }
    static int move(lua_State* L) {
        if (nE_Object* o = object(L, 1)) {
            o->editLocalState()->x += static_cast<float>(lua_tonumber(L, 2));
            o->editLocalState()->y += static_cast<float>(lua_tonumber(L, 3));
        }
        return 0;
    }
    static int timer(lua_State* L) {
        const char* name = lua_tostring(L, 1);
        const char* call = lua_tostring(L, 2);
        if (name && call) current->timers.start(name, call, static_cast<float>(lua_tonumber(L, 3)));
        return 0;
    }
    static int tag(lua_State* L) {
        const char* name = lua_tostring(L, 1);
        const char* tagName = lua_tostring(L, 2);
        if (name && tagName) current->timers.addTag(name, tagName);
        return 0;
    }
    static int animate(lua_State* L) {
        std::vector<float> keys;
        for (int i = 1;; ++i) {
            lua_rawgeti(L, 5, i);
            if (!lua_isnumber(L, -1)) break;
            keys.push_back(static_cast<float>(lua_tonumber(L, -1)));
            lua_pop(L, 1);
        }
        lua_pop(L, 1);
        const char* endTrigger = lua_tostring(L, 4);
        nE_Scene::addAnimLine(object(L, 1), static_cast<int>(lua_tointeger(L, 2)), false,
                              lua_tointeger(L, 3) != 0, endTrigger ? endTrigger : "", keys.data(),
                              static_cast<int>(keys.size()));
        return 0;
    }

    static World* current;
    script_test::LuaState lua;
    nE_TriggerHub triggers;
    nE_TimerHub timers;
    nE_Scene scene;
};

World* World::current = nullptr;

const int kSaveFrame = 8;
const int kLastFrame = 14;

}  // namespace

TEST(ModuleScene, SavedInTheMiddleAndRestoredItEndsLikeAnUninterruptedRun) {
    script_test::GameFolder folder;
    folder.write("levels/demo.xml", kModule);

    std::string middle, end;
    {
        World world;
        nE_Module::bringInWithObjects(nE_Module::load("levels/demo"), world.scene, world.triggers);
        ASSERT_EQ(world.scene.root()->children.size(), 2u);
        for (int frame = 1; frame <= kLastFrame; ++frame) {
            world.frame();
            if (frame == kSaveFrame) middle = world.save();
        }
        end = world.save();
        // By the end the box has arrived and bounces; the lamp moved with every tick and bounce.
        nE_Object* box = world.scene.findObject("box");
        nE_Object* lamp = world.scene.findObject("lamp");
        EXPECT_EQ(box->localState().x, 110);
        EXPECT_EQ(lamp->localState().y, 104);
        EXPECT_EQ(lamp->localState().x, 3 * 3 + 0.5f + 0.5f);
    }

    // At frame 8 the box's line has just ended and "blink" has just fired: both calls wait in the queue;
    // "late" is two thirds through.
    EXPECT_EQ(middle,
              R"xml(<slot>
    <origin>
        <obj name="box" pos_x="110"/>
        <obj name="lamp" pos_x="3" pos_y="4">
            <animlines>
                <line type="8" looped="1" relative="1" endtrig="" numpoints="2" curtime="0.25">
                    <data val="0"/>
                    <data val="1"/>
                    <data val="0.75"/>
                    <data val="0.5"/>
                </line>
            </animlines>
        </obj>
    </origin>
    <trg_dump>
        <queue>
            <trig name="tick" params="3" sender="blink"/>
            <trig name="arrived" params="box, 100" sender="box"/>
        </queue>
        <used_modules>
            <module name="levels/demo"/>
        </used_modules>
    </trg_dump>
    <timer_dump>
        <timers>
            <timer name="late" code="bounced" curtime="1" firetime="1.5" playing="1">
                <tags>
                    <scene playing="1"/>
                </tags>
            </timer>
        </timers>
    </timer_dump>
</slot>
)xml");

    // The end state: the box bounces on a looped line, the restarted timer runs with its own clock.
    EXPECT_NE(end.find(R"xml(<line type="1" looped="1" relative="0" endtrig="bounced" numpoints="3")xml"),
              std::string::npos)
        << end;
    EXPECT_NE(
        end.find(R"xml(<timer name="blink" code="tick(3)" curtime="0.25" firetime="0.5" playing="1">)xml"),
        std::string::npos)
        << end;

    World restored;
    restored.restore(middle);
    // The module came back without its objects: its code ran, but the timer dump replaced its timers.
    EXPECT_EQ(restored.scene.storage()->children.size(), 0u);
    ASSERT_EQ(restored.scene.root()->children.size(), 2u);
    ASSERT_EQ(restored.timers.timers().size(), 1u);
    EXPECT_EQ(restored.timers.timers()[0]->name, "late");
    EXPECT_EQ(restored.triggers.queue().size(), 2u);
    for (int frame = kSaveFrame + 1; frame <= kLastFrame; ++frame) restored.frame();
    EXPECT_EQ(restored.save(), end);
}
