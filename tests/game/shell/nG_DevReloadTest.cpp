// Developer mode's reload: a previewed module and the menu come back from disk when a file changes or
// on Ctrl+R; a running game is left alone.
#include "engine/core/nE_Factory.h"
#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Object.h"
#include "engine/core/nE_Scene.h"
#include "engine/media/nE_ResourceCache.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/script/nE_Module.h"
#include "engine/script/nE_TriggerHub.h"
#include "game/core/nG_Game.h"
#include "game/shell/nG_DevReload.h"
#include "game/shell/nG_RunOptions.h"
#include "game/shell/nG_Screen.h"
#include "tests/engine/script/ScriptTestFolder.h"
#include "tests/engine/script/ScriptTestSupport.h"
#include "tests/game/core/GameTestSupport.h"
#include "tests/game/state/ProfileTestSupport.h"

namespace {

std::string preview(const std::string& object, const std::string& trigger) {
    return "<objs><obj name=\"r\"><spr name=\"" + object + "\"/></obj></objs><trigs><trig name=\"" + trigger +
           "\"/></trigs><code>ObjAttach(\"" + object + "\", \"ne_origin\")</code>";
}

nE_InputEvent key(int type, int code) {
    nE_InputEvent event;
    event.type = type;
    event.code = code;
    return event;
}

class DevReloadTest : public profiletest::ProfileTest {
protected:
    void SetUp() override {
        ProfileTest::SetUp();
        nE_ResourceCache::create();
        nE_Factory::registerType("spr", [] { return new nE_Sprite(); });
    }
    void TearDown() override {
        nG_RunOptions::get().module.clear();
        nE_Core::destroy();
        nE_ResourceCache::destroy();
        ProfileTest::TearDown();
    }
    nE_Object* live(const std::string& name) {
        nE_Object* object = nE_Core::get()->scene().findObject(name);
        return object && nE_Core::get()->scene().isLive(object) ? object : nullptr;
    }
    script_test::GameFolder folder;
};

}  // namespace

TEST_F(DevReloadTest, APreviewComesBackWhenItsFileChangesOrOnControlR) {
    folder.write("assets/prev/scene.xml", preview("one", "first"));
    nG_RunOptions::get().module = "assets/prev/scene";
    nE_Module::bringIn("assets/prev/scene", true);
    ASSERT_NE(live("one"), nullptr);

    nG_DevReload reload;
    reload.update(0.6f);  // the first look only remembers the stamps
    EXPECT_EQ(reload.reloads, 0);
    const std::vector<std::string> watched = nG_DevReload::watchedFiles();
    EXPECT_NE(std::find(watched.begin(), watched.end(), "assets/prev/scene.xml"), watched.end());

    folder.write("assets/prev/scene.xml", preview("second_one", "second"));
    reload.update(0.2f);  // not yet time to look
    EXPECT_EQ(reload.reloads, 0);
    reload.update(0.4f);
    EXPECT_EQ(reload.reloads, 1);
    EXPECT_EQ(live("one"), nullptr);
    EXPECT_NE(live("second_one"), nullptr);
    EXPECT_EQ(nE_Core::get()->triggerHub().find("first"), nullptr);
    EXPECT_NE(nE_Core::get()->triggerHub().find("second"), nullptr);
    reload.update(0.6f);
    EXPECT_EQ(reload.reloads, 1);

    // R alone is a letter; with Control held it reloads, and the key goes no further.
    EXPECT_FALSE(reload.onEvent(key(nE_InputEvent::kKeyDown, 'r')));
    EXPECT_FALSE(reload.onEvent(key(nE_InputEvent::kKeyDown, nG_DevReload::kKeyControl)));
    EXPECT_TRUE(reload.onEvent(key(nE_InputEvent::kKeyDown, 'r')));
    EXPECT_EQ(reload.reloads, 2);
    EXPECT_NE(live("second_one"), nullptr);
    reload.onEvent(key(nE_InputEvent::kKeyUp, nG_DevReload::kKeyControl));
    EXPECT_FALSE(reload.onEvent(key(nE_InputEvent::kKeyDown, 'R')));

    // A file saved half-edited keeps what is shown and says where; saved whole, it reloads.
    script_test::DebugLines debug;
    std::string broken = preview("third", "third");
    broken.erase(broken.find("</obj>"), 6);
    folder.write("assets/prev/scene.xml", broken);
    reload.update(0.6f);
    EXPECT_EQ(reload.reloads, 2);
    EXPECT_NE(live("second_one"), nullptr);
    ASSERT_FALSE(debug.lines.empty());
    EXPECT_EQ(0u, debug.lines[0].rfind("assets/prev/scene.xml:1: Module error: XML is not well-formed", 0))
        << debug.lines[0];
    folder.write("assets/prev/scene.xml", preview("third", "third"));
    reload.update(0.6f);
    EXPECT_EQ(reload.reloads, 3);
    EXPECT_NE(live("third"), nullptr);
}

TEST_F(DevReloadTest, TheMenuIsMadeAfreshAndAGameIsLeftAlone) {
    folder.write("assets/menu/module.xml",
                 "<trigs><trig name=\"ng_startlogo\"/><trig name=\"ng_startmenu\"/></trigs>");
    auto* screen = new nG_Screen(false);
    nE_Scene& scene = nE_Core::get()->scene();
    scene.attach(scene.root(), screen);
    scene.update(1.f / 60);
    ASSERT_NE(screen->menu, nullptr);

    nG_DevReload reload;
    EXPECT_TRUE(reload.reload("test"));
    EXPECT_EQ(screen->pendingSwitch, nG_Screen::kMenu);
    scene.update(1.f / 60);
    ASSERT_NE(screen->menu, nullptr);
    ASSERT_FALSE(nE_Core::get()->triggerHub().queue().empty());
    EXPECT_EQ(nE_Core::get()->triggerHub().queue().back().trigger->name, "ng_startmenu");

    nG_Game game;
    screen->game = &game;
    EXPECT_FALSE(reload.reload("test"));
    screen->game = nullptr;
}

namespace {

class DevReloadRoomTest : public gametest::GameTest {};

}  // namespace

TEST_F(DevReloadRoomTest, TheCurrentRoomComesBackFromItsModuleKeepingWhatScriptsMoved) {
    startLevel();
    lua("log = ''; OpenSubRoom('sub_c', 0, 0, 0, 0)");
    tick(0);
    nG_Room* old = room("room_a");
    ASSERT_EQ(ng->currentRoom, old);
    // A script took one object out of the room and put another into it.
    lua("ObjAttach('a_far', 'objects_hub'); ObjAttach('key', 'room_a')");

    std::string level = gametest::kLevel;
    level.replace(level.find("name=\"a_door\" res=\"dot\" pos_x=\"300\""), 35,
                  "name=\"a_door\" res=\"dot\" pos_x=\"500\"");
    level.replace(level.find("\"open \""), 7, "\"reopen \"");
    folder.write("assets/level.xml", level);

    nG_DevReload reload;
    ASSERT_TRUE(reload.reloadRoom(*ng, "test"));
    nG_Room* fresh = room("room_a");
    ASSERT_NE(fresh, nullptr);
    EXPECT_NE(fresh, old);
    EXPECT_EQ(ng->currentRoom, fresh);
    EXPECT_EQ(ng->currentSubRoom, nullptr) << "the open sub-room closed first";
    EXPECT_TRUE(scene().isLive(fresh));
    EXPECT_EQ(scene().findObject("a_door")->localState().x, 500);
    EXPECT_EQ(scene().findObject("a_far")->parent->name, "objects_hub") << "taken out: stays out";
    EXPECT_EQ(scene().findObject("key")->parent, fresh) << "put in: moves over";
    tick(0);
    EXPECT_NE(eval("log").find("reopen room_a;"), std::string::npos) << eval("log");

    lua("SwitchRoom('room_b', 0)");
    EXPECT_TRUE(reload.reloadRoom(*ng, "test"));
    EXPECT_EQ(ng->currentRoom, room("room_b"));
}
