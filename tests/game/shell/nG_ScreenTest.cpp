// The screen: the switches between menu and game, developer starts, pause on focus loss, the cursors,
// the questions it answers; and the script functions that drive it.
#include "engine/core/nE_AnimLine.h"
#include "engine/core/nE_Factory.h"
#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Scene.h"
#include "engine/media/nE_Cursor.h"
#include "engine/media/nE_ResourceCache.h"
#include "engine/media/nE_SoundHub.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/script/nE_TimerHub.h"
#include "engine/script/nE_TriggerHub.h"
#include "game/core/nG_Game.h"
#include "game/core/nG_Room.h"
#include "game/script/nG_ScriptFunctions.h"
#include "game/shell/nG_Menu.h"
#include "game/shell/nG_Screen.h"
#include "tests/engine/script/ScriptTestFolder.h"
#include "tests/game/state/ProfileTestSupport.h"

namespace {

const char* const kMenu =
    "<module name=\"menu\"/><objs><obj name=\"menu_root\"><obj name=\"menu_thing\"/></obj></objs>"
    "<trigs><trig name=\"ng_startlogo\"><code>started = 'logo'</code></trig>"
    "<trig name=\"ng_startmenu\"><code>started = 'menu'</code></trig>"
    "<trig name=\"ng_toggle_fullscreen\"><code>toggled = ne_params.param_0</code></trig>"
    "<trig name=\"opened\"><code>opened = ne_params.sender</code></trig></trigs>";
const char* const kLevel =
    "<module name=\"level\"/><objs><obj name=\"level_root\"><spr name=\"level_thing\"/>"
    "<room name=\"level_room\"/></obj></objs>"
    "<trigs><trig name=\"ng_function\"><code>functions = (functions or 0) + 1; function_sender = "
    "ne_params.sender</code></trig>"
    "<trig name=\"ng_startlevel\"><code>level = ne_params.param_0; ObjAttach('level_room', 'ng_rooms_hub'); "
    "SwitchRoom('level_room', 0)</code></trig></trigs>";
const char* const kWindow =
    "<module name=\"window\"/><objs><obj name=\"window_root\"><obj name=\"window\"/></obj></objs>";

struct Cursor : nE_Cursor {
    int add(const nE_CursorDesc& desc) override {
        added.push_back(desc);
        return static_cast<int>(added.size()) - 1;
    }
    void select(int index) override { currentIndex = index; }
    std::vector<nE_CursorDesc> added;
};

struct Saves : nE_Listener {
    void onMessage(const nE_Message&) override {
        bool running = false;
        nE_Mediator::current()->post<MSG_IS_GAME_RUNNING>(&running);
        whileRunning.push_back(running);
    }
    std::vector<bool> whileRunning;
};

class ScreenTest : public profiletest::ProfileTest {
protected:
    void SetUp() override {
        ProfileTest::SetUp();
        // The screen answers whether a game runs.
        nE_Mediator::current()->unsubscribe(MSG_IS_GAME_RUNNING, &game);
        nE_ResourceCache::create();
        nE_Factory::registerType("spr", [] { return new nE_Sprite(); });
        nE_Factory::registerType("room", [] { return new nG_Room(); });
        folder.write("assets/menu/module.xml", kMenu);
        folder.write("assets/levels/level/level.xml", kLevel);
        folder.write("assets/window.xml", kWindow);
        nE_Cursor::setCurrent(&cursor);
        hub = std::make_unique<nG_ProfileHub>(false);
        settings = std::make_unique<nG_Settings>(hub.get());
        nG_ProfileHub::setCurrent(hub.get());
        nG_Settings::setCurrent(settings.get());
        nG_ScriptFunctions::registerGameFunctions(L);
        nE_Mediator::current()->subscribe(MSG_SAVE_GAME, &saves);
    }
    void TearDown() override {
        nE_Mediator::current()->unsubscribe(MSG_SAVE_GAME, &saves);
        nE_Core::destroy();
        nE_SoundHub::destroy();
        nG_Settings::setCurrent(nullptr);
        nG_ProfileHub::setCurrent(nullptr);
        nE_Cursor::setCurrent(nullptr);
        nE_ResourceCache::destroy();
        nE_Mediator::current()->subscribe(MSG_IS_GAME_RUNNING, &game);
        ProfileTest::TearDown();
    }
    nG_Screen* makeScreen(bool developer) {
        auto* screen = new nG_Screen(developer);
        nE_Scene& scene = nE_Core::get()->scene();
        scene.attach(scene.root(), screen);
        return screen;
    }
    // One tick as the game's update runs it.
    void tick() {
        nE_Core::get()->triggerHub().runQueue();
        nE_Core::get()->timerHub().update(1.f / 60);
        nE_Core::get()->scene().update(1.f / 60);
    }
    void key(int code) {
        nE_InputEvent event;
        event.type = nE_InputEvent::kKeyDown;
        event.code = code;
        nE_Core::get()->scene().dispatch(event);
    }
    std::vector<std::string> queued() const {
        std::vector<std::string> calls;
        for (const nE_TriggerCall& call : nE_Core::get()->triggerHub().queue())
            calls.push_back(call.trigger->name + "(" + call.params + ") from " + call.sender);
        return calls;
    }

    script_test::GameFolder folder;
    Cursor cursor;
    Saves saves;
    std::unique_ptr<nG_ProfileHub> hub;
    std::unique_ptr<nG_Settings> settings;
};

}  // namespace

TEST_F(ScreenTest, TheProgramOpensOnTheMenuWithTheLogo) {
    nG_Screen* screen = makeScreen(false);
    EXPECT_EQ(nG_Screen::current(), screen);
    ASSERT_EQ(cursor.added.size(), 10u);
    EXPECT_EQ(cursor.added[0].name, "");
    EXPECT_EQ(cursor.added[1].name, "assets/cursors/cursor");
    EXPECT_EQ(cursor.added[1].offsetX, 14);
    EXPECT_EQ(cursor.added[4].offsetY, 23);
    EXPECT_EQ(cursor.added[9].systemCursor, 32646);
    EXPECT_EQ(cursor.currentIndex, 1);
    EXPECT_EQ(eval("CURSOR_NULL + CURSOR_LOUPE + CURSOR_RIGHT"), "11");
    EXPECT_EQ(screen->pendingSwitch, nG_Screen::kMenuWithLogo);

    tick();
    ASSERT_NE(screen->menu, nullptr);
    EXPECT_EQ(screen->game, nullptr);
    EXPECT_EQ(queued(), std::vector<std::string>{"ng_startlogo() from ng_menu"});
    tick();
    EXPECT_EQ(eval("started"), "logo");
    EXPECT_EQ(eval("IsSurveyEdition() + IsMac() * 10 + IsCollectorsEdition() * 100"), "100");
    EXPECT_EQ(eval("IsNoSoundDevice()"), "0");

    // Without a menu module there is still a screen: a notice, and Escape quits.
    folder.write("assets/menu/module.xml", "<module");
    run("SwitchToMenu()");
    tick();
    ASSERT_NE(screen->menu, nullptr);
    EXPECT_NE(screen->menu->notice, nullptr);
    EXPECT_TRUE(logged("nG_Menu: \"assets/menu/module.xml\" could not be read"));
}

TEST_F(ScreenTest, DeveloperStartRunsLevelOneAtOnceAndFunctionKeysOthers) {
    nG_Screen* screen = makeScreen(true);
    tick();
    ASSERT_NE(screen->game, nullptr);
    EXPECT_EQ(screen->menu, nullptr);
    EXPECT_TRUE(queued().empty()) << "the interface takes the first frame, the level the next";
    tick();
    EXPECT_EQ(queued(),
              (std::vector<std::string>{"ng_function() from ng_game", "ng_startlevel(1) from ng_game"}));
    EXPECT_NE(nE_Core::get()->scene().findObject("level_thing"), nullptr) << "the level's objects came in";
    tick();
    EXPECT_EQ(eval("level"), "1");

    key(-96);  // F5
    EXPECT_EQ(screen->gameStart.startCode, "ng_startlevel(5)");
    EXPECT_FALSE(screen->gameStart.continueSave);
    nG_Game* first = screen->game;
    tick();
    tick();
    EXPECT_NE(screen->game, nullptr);
    ASSERT_FALSE(queued().empty());
    EXPECT_EQ(queued().back(), "ng_startlevel(5) from ng_game");
    tick();
    EXPECT_EQ(eval("level"), "5");
    (void)first;
}

TEST_F(ScreenTest, FunctionKeysDoNothingOutsideDeveloperMode) {
    nG_Screen* screen = makeScreen(false);
    tick();
    key(-96);
    EXPECT_EQ(screen->pendingSwitch, nG_Screen::kNone);
    tick();
    EXPECT_EQ(screen->game, nullptr);
}

TEST_F(ScreenTest, LeavingForTheMenuSavesTheGameBeforeItGoes) {
    hub->addProfile("Wren");
    nG_Screen* screen = makeScreen(false);
    tick();
    run("ng_var = nil; SwitchToGame(2, 'assets/levels/level/level', 'ng_startlevel(3)')");
    EXPECT_EQ(screen->gameStart.slot, 2);
    EXPECT_TRUE(screen->gameStart.continueSave);
    tick();
    ASSERT_NE(screen->game, nullptr);
    EXPECT_EQ(screen->menu, nullptr);
    EXPECT_EQ(nE_Core::get()->scene().findObject("menu_thing"), nullptr) << "the menu's parked objects went";
    tick();
    ASSERT_FALSE(queued().empty());
    EXPECT_EQ(queued().front(), "ng_function() from ng_game") << "a slot the profile lacks: the level starts";
    tick();
    EXPECT_EQ(eval("level"), "3");
    run("ng_var.seen = 'hall'");
    int slot = -1;
    float width = 0;
    nE_Mediator::current()->post<MSG_SAVE_SLOT>(&slot);
    nE_Mediator::current()->post<MSG_SCREEN_WIDTH>(&width);
    EXPECT_EQ(slot, 2);
    EXPECT_GT(width, 0.f);

    const size_t savesBefore = saves.whileRunning.size();
    run("SwitchToMenu()");
    tick();
    EXPECT_EQ(saves.whileRunning.size(), savesBefore + 1) << "saved once more on the way out";
    EXPECT_TRUE(saves.whileRunning.back()) << "while the game still ran";
    EXPECT_EQ(screen->game, nullptr);
    ASSERT_NE(screen->menu, nullptr);
    EXPECT_EQ(queued(), std::vector<std::string>{"ng_startmenu() from ng_menu"}) << "no logo this time";
    EXPECT_TRUE(exists("p_Wren.xml")) << "the save reached the profile file";
    ASSERT_TRUE(hub->hasSlot(2));

    // Continuing that slot restores it instead of starting the level.
    run("ng_var = nil; functions = 0; SwitchToGame(2, 'assets/levels/level/level', 'ng_startlevel(1)')");
    tick();
    // The window closing between the interface's frame and the level's writes nothing over the slot.
    screen->saveForClose();
    tick();
    EXPECT_EQ(eval("ng_var.seen"), "hall");
    tick();
    EXPECT_EQ(eval("functions"), "1") << "ng_function runs after the load";
    EXPECT_EQ(eval("function_sender"), "");
    EXPECT_EQ(eval("level"), "3") << "the start code does not run on a continue";
}

TEST_F(ScreenTest, FocusLostTwicePausesOnceAndResumingAppliesTheVolumes) {
    nG_Screen* screen = makeScreen(false);
    tick();
    screen->setPaused(true);
    EXPECT_TRUE(screen->dim->visible && screen->pausedLabel->visible);
    EXPECT_FALSE(screen->menu->active || screen->menu->input) << "everything else is frozen";
    EXPECT_TRUE(nE_Core::get()->timerHub().paused);
    for (int i = 0; i < 12; ++i) tick();
    const float shown = screen->dim->animLines.empty() ? -1 : screen->dim->animLines[0].line->currentTime;
    screen->setPaused(true);
    const float again = screen->dim->animLines.empty() ? -1 : screen->dim->animLines[0].line->currentTime;
    EXPECT_EQ(again, shown) << "a second loss of focus changes nothing";
    for (int i = 0; i < 30; ++i) tick();
    EXPECT_TRUE(screen->dim->visible) << "the overlay stays while paused";

    settings->sfx = 0.3f;
    nE_SoundHub::get()->setGroupVolume("sfx", 1.f);
    screen->setPaused(false);
    EXPECT_FLOAT_EQ(nE_SoundHub::get()->getGroupVolume("sfx"), 0.3f);
    EXPECT_TRUE(screen->menu->active && screen->menu->input);
    EXPECT_FALSE(nE_Core::get()->timerHub().paused);
    tick();
    EXPECT_TRUE(screen->dim->visible) << "the overlay fades out first";
    for (int i = 0; i < 40; ++i) tick();
    EXPECT_FALSE(screen->dim->visible || screen->pausedLabel->visible);
}

TEST_F(ScreenTest, WindowsPositionsAndTheDisplayToggle) {
    nG_Screen* screen = makeScreen(false);
    tick();
    tick();
    run("ShowObjectWindow('assets/window', 'window', 'opened')");
    nE_Object* window = nE_Core::get()->scene().findObject("window");
    ASSERT_NE(window, nullptr) << "brought in from its module";
    EXPECT_EQ(window->parent, screen->menu);
    EXPECT_EQ(window->localState().z, 999999);
    tick();
    EXPECT_EQ(eval("opened"), "window");
    run("ShowObjectWindow('assets/none', 'nothing', 'opened')");

    // With the canvas twice as large, positions come back in canvas units.
    nE_CanvasMapping mapping;
    mapping.scaleX = mapping.scaleY = 2;
    mapping.offsetX = 10;
    screen->applyCanvas(mapping);
    window->editLocalState()->x = 100;
    window->editLocalState()->y = 50;
    cursor.setPosition(210, 100);
    run("p = GetGameCursorPos(); o = GetObjPosByObj('window', 'ng_screen')");
    EXPECT_EQ(eval("p[1] .. ',' .. p[2]"), "100,50");
    EXPECT_EQ(eval("o[1] .. ',' .. o[2]"), "100,50");
    EXPECT_EQ(eval("#GetObjPosByObj('nothing', 'ng_screen')"), "2") << "a missing object gives 0, 0";

    bool ok = true;
    nE_Mediator::current()->post<MSG_FULLSCREEN_CHANGED>(&ok);
    tick();
    EXPECT_EQ(eval("toggled"), "0") << "no engine here: not full screen";
}

TEST_F(ScreenTest, EscapeInTheMenuGoesToTheModuleWhenItListens) {
    nG_Screen* screen = makeScreen(false);
    tick();
    tick();
    ASSERT_NE(screen->menu, nullptr);
    key(nG_Menu::kKeyEscape);
    EXPECT_TRUE(queued().empty()) << "a module without \"ng_menu_escape\" hears nothing";

    std::string listening = kMenu;
    listening.insert(listening.find("</trigs>"),
                     "<trig name=\"ng_menu_escape\"><code>escaped = (escaped or 0) + 1</code></trig>");
    folder.write("assets/menu/module.xml", listening);
    run("SwitchToMenu()");
    tick();
    tick();
    key(nG_Menu::kKeyEscape);
    key('A');  // other keys are not the menu's
    EXPECT_EQ(queued(), std::vector<std::string>{"ng_menu_escape() from ng_menu"});
    tick();
    EXPECT_EQ(eval("escaped"), "1");
}

// What the game keeps pointers to (the scene's tops, the screen, the game, its widgets, the hub, the
// shown room) stays where the game expects it, whichever script function tries to move it; leaving
// for the menu and clearing the rooms hub afterwards then free nothing twice.
TEST_F(ScreenTest, ScriptsCannotMoveWhatTheGameHolds) {
    nG_Screen* screen = makeScreen(true);
    for (int i = 0; i < 3; ++i) tick();
    ASSERT_NE(screen->game, nullptr);
    ASSERT_NE(screen->game->currentRoom, nullptr);
    nE_Scene& scene = nE_Core::get()->scene();
    // Something the rooms hub frees on ClearRoomsHub, to be made anything's new parent.
    run("ObjAttach('level_thing', 'ng_rooms_hub')");
    ASSERT_EQ(scene.findObject("level_thing")->parent, screen->game->roomsHub);

    const char* const held[] = {
        "ne_origin", "ne_storage",   "ng_screen",  "ng_game", "ng_interface", "ng_inventory",
        "ng_level",  "ng_rooms_hub", "level_room", "ng_hint", "ng_game_blur", "ng_inventory_left_btn_dummy"};
    for (const char* name : held) {
        nE_Object* object = scene.findObject(name);
        ASSERT_NE(object, nullptr) << name;
        nE_Object* parent = object->parent;
        const std::string n = std::string("'") + name + "'";
        run("ObjDelete(" + n + "); ObjDetach(" + n + "); ObjAttach(" + n + ", 'level_thing')");
        run("ShowObjectWindow('', " + n + ", ''); AddObjectToInv(" + n + "); CollectHoObject(" + n +
            ", ''); CollectDiaryObject(" + n + ", ''); AddDiaryPage(" + n + ")");
        EXPECT_EQ(object->parent, parent) << name;
    }
    EXPECT_TRUE(logged("ObjDelete: \"ng_game\" is held by the engine; not moved"));
    EXPECT_TRUE(logged("ObjAttach: \"level_room\" is held by the engine; not moved"));
    EXPECT_TRUE(logged("ShowObjectWindow: \"ng_interface\" is held by the engine; not moved"));

    // Content stays movable, also out from under what the game holds.
    run("ObjAttach('level_thing', 'ng_interface'); ObjDetach('level_thing')");
    EXPECT_EQ(scene.findObject("level_thing")->parent, scene.storage());
    run("ObjAttach('level_thing', 'ng_rooms_hub')");

    run("ClearRoomsHub()");
    EXPECT_EQ(scene.findObject("level_thing"), nullptr);
    ASSERT_NE(screen->game, nullptr);
    EXPECT_EQ(screen->game->currentRoom, scene.findObject("level_room"));
    run("SwitchToMenu()");
    tick();
    tick();
    EXPECT_EQ(screen->game, nullptr);
    ASSERT_NE(screen->menu, nullptr);
    EXPECT_EQ(scene.findObject("ng_screen"), screen);
}

// Every name a script gives for a file goes through the one check: an absolute name, one that climbs
// out with "..", and a "user:" name climbing out of the user folder are refused with a line, while a
// name of the game folder (with "." and inner ".." parts folded) works.
TEST_F(ScreenTest, ScriptPathsStayInsideTheGameFolder) {
    folder.write("assets/mod.xml", "<module name=\"mod\"/><code>mods = (mods or 0) + 1</code>");
    folder.write("assets/pic.xml", "<objs><obj name=\"r\"><spr name=\"pic\"/></obj></objs>");
    nG_Screen* screen = makeScreen(false);
    tick();
    tick();
    run("ModLoad('assets/pic')");
    nE_Scene& scene = nE_Core::get()->scene();
    ASSERT_NE(scene.findObject("pic"), nullptr);
    const std::string outside = folder.path();
    const std::string bad[] = {outside + "/assets/mod",
                               "assets/../../" + outside.substr(outside.rfind('/') + 1) + "/x", "../mod",
                               "user:../mod"};
    for (const std::string& path : bad) {
        SCOPED_TRACE(path);
        const std::string q = "[==[" + path + "]==]";
        run("ModLoad(" + q + "); ShowObjectWindow(" + q + ", 'window', 'opened')");
        run("ObjSet('pic', {res = " + q + "}); PlaySfx(" + q + ", 0, ''); SndPlay(" + q + ", 'sfx', '0')");
        EXPECT_TRUE(logged("Module: \"" + path + ".xml\" is not a file of the game folder; refused"));
        for (const char* who : {"res", "PlaySfx", "SndPlay"})
            EXPECT_TRUE(
                logged(std::string(who) + ": \"" + path + "\" is not a file of the game folder; refused"))
                << who;
    }
    EXPECT_EQ(eval("mods"), "nil");
    EXPECT_EQ(scene.findObject("window"), nullptr);
    EXPECT_EQ(scene.findObject("pic")->resourceName, "");

    run("ModLoad('assets/./x/../mod'); ShowObjectWindow('assets/window', 'window', 'opened')");
    run("ObjSet('pic', {res = 'user:pictures/photo'})");
    EXPECT_EQ(eval("mods"), "1");
    EXPECT_NE(scene.findObject("window"), nullptr);
    EXPECT_EQ(scene.findObject("pic")->resourceName, "user:pictures/photo");

    // A level outside the game folder is never read: the screen goes back to the menu.
    run("SwitchToGame(15, [[" + outside + "/assets/levels/level/level]])");
    for (int i = 0; i < 3; ++i) tick();
    EXPECT_EQ(screen->game, nullptr);
    EXPECT_NE(screen->menu, nullptr);
    EXPECT_TRUE(
        logged("Module: \"" + outside + "/assets/levels/level/level.xml\" is not a file of the game folder"));
    run("SwitchToGame(15, 'assets/levels/level/level')");
    tick();
    EXPECT_NE(screen->game, nullptr);
}
