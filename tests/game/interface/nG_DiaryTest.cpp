// The diary, its clipboard and its collector inside a running game: opening and closing (toggled while
// fading either way), pages and page turns, the close lock, the map and its rooms, teleporting from the
// map, objects flying into the diary, the saved state across a continue, and bad input of every kind.
#include <tinyxml2.h>

#include <cmath>
#include <fstream>
#include <map>

#include "engine/objects/nE_AnimSprite.h"
#include "game/interface/nG_Diary.h"
#include "game/interface/nG_DiaryBook.h"
#include "game/interface/nG_DiaryCollector.h"
#include "game/interface/nG_InterfButton.h"
#include "pflib/recording/TRecordingSound.h"
#include "tests/game/core/GameTestSupport.h"

namespace {

using gametest::GameTest;

const char* const kDiaryModule = R"xml(<module name="diary"/>
<objs><obj name="diary_module">
  <obj name="ng_diary_hub">
    <obj name="page_a"><spr name="page_a_pic" res="dot" input="0"/></obj>
    <obj name="page_b"/>
    <obj name="page_c"/>
    <obj name="odd page"/>
    <obj name="ng_diary_map_1">
      <spr name="map1_back" res="dot" input="0"/>
      <anim name="map_a" res="assets/maproom"/>
      <anim name="map_b" res="assets/maproom" pos_x="100" event_mdown="map_go(room_b)"/>
    </obj>
    <obj name="ng_diary_map_2"><anim name="map_far" res="assets/maproom"/></obj>
  </obj>
</obj></objs>
<trigs>
  <trig name="map_go"><code>TeleportFromDiary(ne_params.param_0)</code></trig>
  <trig name="ng_diary_opened"><code>log = (log or "") .. "diary opened by " .. ne_params.sender .. ";"</code></trig>
  <trig name="ng_diarybtnlocked"><code>log = (log or "") .. "locked from " .. ne_params.sender .. ";"</code></trig>
  <trig name="got"><code>log = (log or "") .. "got " .. ne_params.param_0 .. " from " .. ne_params.sender .. ";"</code></trig>
</trigs>)xml";

// Frame 0 is 20 x 10, frame 1 is 30 x 12.
const char* const kMapRoom = R"(<animation frame_texture="maproom_ft">
  <function name="Normal" frametime="100" loop="0"><frame idx="0"/></function>
  <function name="Active" frametime="100" loop="0"><frame idx="1"/></function>
</animation>)";
const char* const kMapRoomFrames = R"(<frametexture>
  <frame texture="sheet" left="0" top="0" widht="20" height="10" x="10" y="5"/>
  <frame texture="sheet" left="0" top="10" widht="30" height="12" x="15" y="6"/>
</frametexture>)";
const char* const kClipboard = R"(<animation frame_texture="clipboard_ft">
  <function name="Open" frametime="100" loop="0"><frame idx="0"/><frame idx="1"/><frame idx="2"/></function>
  <function name="Close" frametime="100" loop="0"><frame idx="2"/><frame idx="1"/><frame idx="0"/></function>
</animation>)";
const char* const kClipboardFrames = R"(<frametexture>
  <frame texture="../sheet" left="0" top="0" widht="8" height="8" x="4" y="4"/>
  <frame texture="../sheet" left="8" top="0" widht="8" height="8" x="4" y="4"/>
  <frame texture="../sheet" left="16" top="0" widht="8" height="8" x="4" y="4"/>
</frametexture>)";

const char* const kSounds[] = {"common_s_diary", "common_s_todiary", "s_common_open_diary",
                               "s_common_flyend_indiary"};

// Counts the flashes asked for.
struct Flashes : nE_Listener {
    void onMessage(const nE_Message&) override { ++count; }
    int count = 0;
};

class DiaryTest : public GameTest {
protected:
    void SetUp() override {
        writeDiary();
        GameTest::SetUp();
        pf::testing::ResetSounds();
        nE_SoundHub::get();
        const std::string game = pf::TPlatform::GetRunOptions().gameDir;
        writeImage(game + "/assets/sheet.png", 32, 32);
        startLevel();
        tick(0);
        lua("log = ''; HideInterface(0, 0); SetInterfaceInputEnable(1)");
        nE_Mediator::current()->subscribe(MSG_DIARY_FLASH, &flashes);
    }
    void TearDown() override {
        nE_Mediator::current()->unsubscribe(MSG_DIARY_FLASH, &flashes);
        GameTest::TearDown();
        pf::testing::ResetSounds();
    }
    // The module and its files, unless a test wants them otherwise.
    virtual void writeDiary() {
        folder.write("assets/diary/module.xml", kDiaryModule);
        folder.write("assets/maproom.xml", kMapRoom);
        folder.write("assets/maproom_ft.xml", kMapRoomFrames);
        folder.write("assets/diary/clipboard.xml", kClipboard);
        folder.write("assets/diary/clipboard_ft.xml", kClipboardFrames);
        std::ifstream beep(std::string(HALVERN_TEST_DATA) + "/sounds/beep.ogg", std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(beep)), std::istreambuf_iterator<char>());
        for (const char* sound : kSounds) folder.write(std::string("assets/audio/") + sound + ".ogg", bytes);
    }

    nG_Diary* diary() { return ng->interface->diary; }
    nG_DiaryBook* book() { return ng->interface->diaryBook; }
    nG_DiaryCollector* collector() { return ng->interface->diaryCollector; }
    std::string log() { return eval("log"); }
    void toggle() { nE_Mediator::current()->post<MSG_DIARY_TOGGLE>(); }
    void click(float x, float y) {
        send(nE_InputEvent::kPointerMove, x, y);
        send(nE_InputEvent::kButtonDown, x, y);
        send(nE_InputEvent::kButtonUp, x, y);
    }
    void openDiary() {
        toggle();
        run(0.35f);
        tick(0);
    }
    // How many times the sound was started since the last ask about it.
    int played(const std::string& sound) {
        const auto& all = pf::testing::PlayedSounds();
        size_t& from = checked[sound];
        int n = 0;
        for (; from < all.size(); ++from)
            if (all[from]->name == "assets/audio/" + sound) ++n;
        return n;
    }
    nE_AnimSprite* anim(const std::string& name) {
        return dynamic_cast<nE_AnimSprite*>(scene().findObject(name));
    }
    nE_Object* object(const std::string& name) { return scene().findObject(name); }

    Flashes flashes;
    std::map<std::string, size_t> checked;
};

TEST_F(DiaryTest, OpensAndClosesWithFadesAndToggledMidFadeTurnsBack) {
    nG_Diary* d = diary();
    ASSERT_NE(d->hub, nullptr);
    EXPECT_EQ(d->hub->name, "ng_diary_hub");
    EXPECT_TRUE(scene().storage()->isAncestorOf(d->hub)) << "the hub waits in the parked tree";
    EXPECT_EQ(d->state, nG_Diary::kClosed);
    EXPECT_FALSE(d->visible || d->input);

    // Closed, the diary lets clicks through to the room.
    lua("ObjSet('a_door', { event_mdown = 'opened' })");
    click(300, 300);
    tick(0);
    EXPECT_EQ(log(), "open a_door;");

    lua("log = ''");
    toggle();
    EXPECT_EQ(d->state, nG_Diary::kOpening);
    EXPECT_TRUE(d->visible && d->input);
    EXPECT_EQ(eval("IsDiaryOpened()"), "1") << "opening counts as open";
    EXPECT_EQ(book()->wanted, nG_DiaryBook::kWantOpen);
    tick(0.15f);
    EXPECT_NEAR(d->localState().alpha, 0.5f, 1e-4);
    toggle();
    EXPECT_EQ(d->state, nG_Diary::kClosing) << "toggled while opening: closes";
    EXPECT_EQ(book()->wanted, nG_DiaryBook::kWantClosed);
    tick(0.15f);
    toggle();
    EXPECT_EQ(d->state, nG_Diary::kOpening) << "toggled while closing: opens again";
    run(0.35f);
    EXPECT_EQ(d->state, nG_Diary::kOpen);
    EXPECT_FLOAT_EQ(d->localState().alpha, 1);
    tick(0);
    EXPECT_EQ(log(), "diary opened by ng_diary;");

    // Open, it takes every click: the room behind it hears nothing.
    lua("log = ''");
    click(300, 300);
    tick(0);
    EXPECT_EQ(log(), "");

    // The quit area along the bottom closes it.
    click(200, 760);
    EXPECT_EQ(d->state, nG_Diary::kClosing);
    run(0.35f);
    EXPECT_EQ(d->state, nG_Diary::kClosed);
    EXPECT_FALSE(d->visible || d->input);
    EXPECT_EQ(eval("IsDiaryOpened()"), "0");
}

TEST_F(DiaryTest, TheBarsDiaryButtonTogglesUnlessLocked) {
    nG_Diary* d = diary();
    click(46, 683);
    EXPECT_EQ(d->state, nG_Diary::kOpening);
    run(0.35f);
    click(46, 683);
    EXPECT_EQ(d->state, nG_Diary::kClosing) << "the button stands above the open diary";
    run(0.35f);
    lua("log = ''; LockDiaryBookOpen(true)");
    click(46, 683);
    tick(0);
    EXPECT_EQ(d->state, nG_Diary::kClosed);
    EXPECT_EQ(log(), "locked from ng_interface;");
}

TEST_F(DiaryTest, PagesAreAddedOnceTurnedWithinBoundsAndNeverLeftHalfTurned) {
    nG_Diary* d = diary();
    lua("AddDiaryPage('nothing'); AddDiaryPage(''); AddDiaryPage('ng_interface'); AddDiaryPage('map_a')");
    EXPECT_TRUE(logged("nG_Diary: there is no page \"nothing\" to add"));
    EXPECT_TRUE(logged("nG_Diary: \"ng_interface\" cannot be a page of the diary"));
    EXPECT_TRUE(logged("nG_Diary: \"map_a\" cannot be a page of the diary"));
    EXPECT_EQ(d->pageCount(), 0);
    EXPECT_FALSE(d->pageNumber->visible) << "an empty book shows no number";
    EXPECT_EQ(flashes.count, 0);

    lua("AddDiaryPage('page_a')");
    nE_Object* a = object("page_a");
    EXPECT_EQ(a->parent, d->pagesRoot);
    EXPECT_FLOAT_EQ(a->localState().x, 512);
    EXPECT_FLOAT_EQ(a->localState().y, 384);
    EXPECT_EQ(played("common_s_todiary"), 1);
    EXPECT_EQ(flashes.count, 1);
    EXPECT_FALSE(collector()->effect->animLines.empty()) << "the button flashes";
    EXPECT_EQ(book()->wanted, nG_DiaryBook::kWantOpen) << "the clipboard opens for a new page";
    EXPECT_EQ(d->state, nG_Diary::kClosed) << "the diary itself stays shut";

    lua("AddDiaryPage('page_b'); AddDiaryPage('page_c')");
    EXPECT_EQ(played("common_s_todiary"), 2);
    lua("AddDiaryPage('page_b')");
    EXPECT_EQ(played("common_s_todiary"), 0) << "a page already in the diary: no sound";
    EXPECT_EQ(flashes.count, 3) << "and no flash";
    EXPECT_EQ(d->pageIndex, 2);
    EXPECT_EQ(a->parent, d->hub);
    EXPECT_EQ(object("page_c")->parent, d->pagesRoot);
    EXPECT_EQ(d->pageNumber->getResourceName(), "assets/diary/page_3");

    openDiary();
    EXPECT_EQ(d->nextButton->state, nG_InterfButton::kDisabled) << "on the last page";
    EXPECT_FLOAT_EQ(d->nextButton->localState().alpha, nG_Diary::kDisabledArrowAlpha) << "and faded";
    EXPECT_FLOAT_EQ(d->prevButton->localState().alpha, 1);
    EXPECT_NE(d->prevButton->state, nG_InterfButton::kDisabled);
    d->turnTo(3);
    d->turnTo(-1);
    EXPECT_EQ(d->state, nG_Diary::kOpen) << "past either end: nothing";
    click(888, 660);
    EXPECT_EQ(d->state, nG_Diary::kOpen) << "the disabled arrow takes no click";

    click(568, 660);
    EXPECT_EQ(d->state, nG_Diary::kTurning);
    EXPECT_EQ(played("common_s_diary"), 1);
    EXPECT_EQ(d->oldPage, object("page_c"));
    EXPECT_EQ(d->newPage, object("page_b"));
    EXPECT_EQ(d->pagesRoot->children.size(), 2u);
    tick(0.1f);
    EXPECT_NEAR(d->oldPage->localState().alpha, 0.5f, 1e-4);
    EXPECT_NEAR(d->newPage->localState().alpha, 0.5f, 1e-4);
    tick(0.1f);
    EXPECT_EQ(d->state, nG_Diary::kOpen);
    EXPECT_EQ(object("page_c")->parent, d->hub);
    EXPECT_EQ(d->pageNumber->getResourceName(), "assets/diary/page_2");
    EXPECT_NE(d->nextButton->state, nG_InterfButton::kDisabled);

    d->turnTo(0);
    run(0.25f);
    EXPECT_EQ(d->prevButton->state, nG_InterfButton::kDisabled) << "on the first page";

    // Closed in the middle of a turn, or given a page, the book keeps one page under its pages.
    d->turnTo(2);
    toggle();
    EXPECT_EQ(d->state, nG_Diary::kClosing);
    ASSERT_EQ(d->pagesRoot->children.size(), 1u);
    EXPECT_EQ(d->pagesRoot->children[0], object("page_c"));
    EXPECT_FLOAT_EQ(object("page_c")->localState().alpha, 1);
    run(0.35f);
    openDiary();
    d->turnTo(1);
    lua("AddDiaryPage('odd page')");
    ASSERT_EQ(d->pagesRoot->children.size(), 1u);
    EXPECT_EQ(d->pagesRoot->children[0]->name, "odd page");
    EXPECT_EQ(d->pageIndex, 3);
    EXPECT_EQ(object("page_b")->parent, d->hub);
}

TEST_F(DiaryTest, WithCloseLockedNeitherTheButtonNorTheQuitAreaShowsOrReacts) {
    nG_Diary* d = diary();
    openDiary();
    lua("LockDiaryClose(1)");
    EXPECT_FALSE(d->closeButton->visible || d->closeButton->input);
    EXPECT_FALSE(d->quitArea->visible || d->quitArea->input);
    toggle();
    click(200, 760);
    click(512, 752);
    run(0.35f);
    EXPECT_EQ(d->state, nG_Diary::kOpen);
    EXPECT_EQ(eval("IsDiaryOpened()"), "1");
    // A teleport from a locked diary travels, and the book stays open.
    lua("log = ''; TeleportFromDiary('room_b')");
    EXPECT_EQ(d->state, nG_Diary::kOpen);

    lua("LockDiaryClose(0)");
    EXPECT_TRUE(d->closeButton->visible && d->closeButton->input);
    EXPECT_TRUE(d->quitArea->visible && d->quitArea->input);
    click(200, 760);
    EXPECT_EQ(d->state, nG_Diary::kClosing);
    run(0.35f);
    lua("LockDiaryClose(1)");
    toggle();
    run(0.35f);
    EXPECT_EQ(d->state, nG_Diary::kOpen) << "a locked diary still opens";
    EXPECT_FALSE(d->quitArea->visible || d->quitArea->input);
}

TEST_F(DiaryTest, MarkingARoomShowsItsMapAndAClickOnItTeleports) {
    nG_Diary* d = diary();
    lua("SetActiveMapRoom('map_b')");
    nE_Object* map1 = object("ng_diary_map_1");
    ASSERT_EQ(d->currentMap, map1);
    EXPECT_EQ(map1->parent, d);
    EXPECT_FLOAT_EQ(map1->localState().z, 1);
    EXPECT_EQ(anim("map_b")->localState().frameIndex, 1);
    EXPECT_FLOAT_EQ(anim("map_b")->inputRect.w, 30) << "the marked frame's rectangle";
    EXPECT_EQ(anim("map_a")->localState().frameIndex, 0);
    EXPECT_FLOAT_EQ(anim("map_a")->inputRect.w, 20);

    lua("SetActiveMapRoom('map_a')");
    EXPECT_EQ(anim("map_a")->localState().frameIndex, 1);
    EXPECT_EQ(anim("map_b")->localState().frameIndex, 0);

    lua("SetActiveMapRoom('map_far')");
    EXPECT_EQ(d->currentMap, object("ng_diary_map_2")) << "a room on another map switches the map";
    EXPECT_EQ(map1->parent, d->hub);
    EXPECT_EQ(anim("map_a")->localState().frameIndex, 0);
    EXPECT_EQ(anim("map_far")->localState().frameIndex, 1);

    lua("SetActiveMapRoom('nowhere'); SetActiveMapRoom('page_a'); SetActiveMapRoom('')");
    EXPECT_TRUE(logged("nG_Diary: there is no map room \"nowhere\""));
    EXPECT_TRUE(logged("nG_Diary: there is no map room \"page_a\""));
    EXPECT_EQ(d->currentMap, object("ng_diary_map_2"));

    // The map room takes the player to its room: the diary closes and go_room runs from "ng_map".
    lua("SetActiveMapRoom('map_b')");
    openDiary();
    lua("log = ''");
    click(100, 2);
    tick(0);
    EXPECT_EQ(d->state, nG_Diary::kClosing);
    tick(0);
    EXPECT_EQ(log(), "go room_b from ng_map seeing room_a;");
}

TEST_F(DiaryTest, AClosingDiaryTakesNoClicksOnItsMapOrArrows) {
    nG_Diary* d = diary();
    lua("SetActiveMapRoom('map_b'); AddDiaryPage('page_a'); AddDiaryPage('page_b')");
    openDiary();
    toggle();
    lua("log = ''");
    click(100, 2);
    click(568, 660);
    run(0.35f);
    EXPECT_EQ(log(), "");
    EXPECT_EQ(d->state, nG_Diary::kClosed);
    EXPECT_EQ(d->pageIndex, 1);
}

TEST_F(DiaryTest, AnObjectFliesToTheDiaryButtonThenItsTriggerRuns) {
    nG_DiaryCollector* c = collector();
    nE_Object* far = object("a_far");
    lua("CollectDiaryObject('a_far', 'got(far)'); CollectDiaryObject('a_far', 'got(twice)')");
    ASSERT_EQ(c->flights.size(), 1u) << "an object flies once";
    EXPECT_EQ(far->parent, c);
    EXPECT_FALSE(far->input);
    const auto& f = c->flights[0];
    EXPECT_FLOAT_EQ(f.x0, 900);
    EXPECT_FLOAT_EQ(f.y0, 700);
    EXPECT_NEAR(f.duration, std::sqrt(854.f * 854 + 17 * 17) / 1000 + 0.9f, 1e-3);
    EXPECT_FLOAT_EQ(f.endScale, 1) << "narrower than 130: its own size";
    tick(0.2f);
    EXPECT_GT(far->localState().scaleX, 1) << "it grows on its way";
    EXPECT_LT(far->localState().x, 900);
    run(1.6f);
    EXPECT_EQ(played("s_common_flyend_indiary"), 1);
    EXPECT_FLOAT_EQ(far->localState().x, 46);
    EXPECT_FLOAT_EQ(far->localState().y, 683);
    EXPECT_FALSE(c->effect->animLines.empty()) << "the arrival flashes";
    lua("log = ''");
    run(0.35f);
    tick(0);
    EXPECT_EQ(log(), "got far from ng_diary_collector;");
    EXPECT_EQ(object("a_far"), nullptr);
    EXPECT_TRUE(c->flights.empty());

    lua("CollectDiaryObject('ghost', 'got(ghost)'); CollectDiaryObject('ng_interface', 'got(ui)')");
    EXPECT_TRUE(logged("nG_DiaryCollector: there is no object \"ghost\" to fly into the diary"));
    EXPECT_TRUE(logged("nG_DiaryCollector: \"ng_interface\" cannot fly into the diary"));
    EXPECT_EQ(ng->interface->parent, ng);
    EXPECT_TRUE(c->flights.empty());
}

TEST_F(DiaryTest, TheClipboardPlaysOpenAndCloseOnlyOnceStill) {
    nG_DiaryBook* b = book();
    nE_AnimSprite* clip = b->clipboard;
    EXPECT_FALSE(clip->input) << "the bar's button under it keeps its clicks";
    bool on = true;
    nE_Mediator::current()->post<MSG_DIARY_BOOK>(&on);
    tick(0.01f);
    EXPECT_EQ(b->state, nG_DiaryBook::kOpening);
    EXPECT_TRUE(clip->playing);
    EXPECT_EQ(played("s_common_open_diary"), 1);
    on = false;
    nE_Mediator::current()->post<MSG_DIARY_BOOK>(&on);
    tick(0.01f);
    EXPECT_EQ(b->state, nG_DiaryBook::kOpening) << "the opening plays to its end first";
    run(0.5f);
    EXPECT_EQ(b->state, nG_DiaryBook::kClosing);
    run(0.5f);
    EXPECT_EQ(b->state, nG_DiaryBook::kClosed);
    EXPECT_EQ(clip->localState().frameIndex, 0);
    EXPECT_EQ(played("s_common_open_diary"), 0);
}

TEST_F(DiaryTest, OpeningDuringARoomFadeLeavesABookThatStillWorks) {
    nG_Diary* d = diary();
    lua("AddDiaryPage('page_a'); AddDiaryPage('page_b'); SwitchRoom('room_b')");
    tick(0.05f);
    EXPECT_EQ(room("room_b")->state, nG_Room::kOpening);
    toggle();
    run(1.0f);
    EXPECT_EQ(ng->currentRoom, room("room_b"));
    EXPECT_EQ(d->state, nG_Diary::kOpen);
    click(568, 660);
    run(0.25f);
    EXPECT_EQ(d->pageIndex, 0);
    // A teleport to a room that does not exist closes the diary and leaves the room as it is.
    lua("log = ''; TeleportFromDiary('room_zz')");
    run(0.35f);
    EXPECT_EQ(d->state, nG_Diary::kClosed);
    EXPECT_EQ(log(), "go room_zz from ng_map seeing room_b;");
    EXPECT_EQ(ng->currentRoom, room("room_b"));
    openDiary();
    EXPECT_EQ(d->state, nG_Diary::kOpen);
}

TEST_F(DiaryTest, TheSavedStateComesBackWithAContinue) {
    hub->addProfile("Wren");
    lua("AddDiaryPage('page_a'); AddDiaryPage('odd page'); AddDiaryPage('page_c'); "
        "SetActiveMapRoom('map_b')");
    lua("SetActiveMapRoom('map_far'); LockDiaryClose(1)");
    diary()->turnTo(1);
    openDiary();
    diary()->turnTo(1);
    run(0.25f);
    lua("CollectDiaryObject('a_far', 'got(far)')");
    tick(0.1f);
    ASSERT_EQ(collector()->flights.size(), 1u);
    ng->settle();
    hub->saveSlot(hub->currentProfile(), 0);
    tinyxml2::XMLPrinter printer(nullptr, true);
    hub->currentProfile()->slot(0)->Accept(&printer);
    const std::string saved = printer.CStr();
    EXPECT_NE(saved.find("<diary pageId=\"1\" close_locked=\"1\" opened=\"1\"><pages><page_a/>"
                         "<entry name=\"odd page\"/><page_c/></pages><maprooms><map_far state=\"2\"/>"
                         "<map_a state=\"0\"/><map_b state=\"0\"/></maprooms></diary>"),
              std::string::npos)
        << saved;
    EXPECT_NE(saved.find("<ng_diary_book state=\"1\"/><diary_collector><flight trigger=\"got(far)\"/>"
                         "</diary_collector></interface>"),
              std::string::npos)
        << "the clipboard last of the widgets, then what still flies";

    played("common_s_todiary");
    endGame();
    ng = startGame();
    lua("log = ''");
    ng->startLevel(0, true, "assets/level", "ng_startlevel(1)");
    nG_Diary* d = diary();
    EXPECT_EQ(d->pages, (std::vector<std::string>{"page_a", "odd page", "page_c"}));
    EXPECT_EQ(d->pageIndex, 1);
    EXPECT_EQ(object("odd page")->parent, d->pagesRoot);
    for (const char* waiting : {"page_a", "page_c"}) {
        EXPECT_EQ(object(waiting)->parent, d->hub) << waiting;
        EXPECT_FALSE(object(waiting)->loaded) << waiting << ": never shown, never loaded";
    }
    EXPECT_EQ(d->state, nG_Diary::kOpen) << "opened at once";
    EXPECT_FLOAT_EQ(d->localState().alpha, 1);
    EXPECT_TRUE(d->closeLocked);
    EXPECT_FALSE(d->quitArea->visible);
    EXPECT_EQ(d->currentMap, object("ng_diary_map_2"));
    EXPECT_EQ(anim("map_far")->localState().frameIndex, 1);
    EXPECT_EQ(book()->state, nG_DiaryBook::kOpen);
    EXPECT_EQ(book()->clipboard->localState().frameIndex, 2) << "the clipboard stands open";
    tick(0);
    tick(0);
    EXPECT_NE(log().find("got far from ng_diary_collector;"), std::string::npos) << log();
    EXPECT_EQ(played("common_s_todiary"), 0) << "pages come back without sounds";
}

TEST_F(DiaryTest, ABrokenSavedDiaryKeepsWhatItCanAndTheBookUsable) {
    tinyxml2::XMLDocument doc;
    doc.Parse(R"(<origin><diary pageId="99" opened="x"><pages><gone/><page_b/><page_b/></pages>
      <maprooms><nowhere state="2"/><map_a state="7"/></maprooms></diary><ng_diary_book/></origin>)");
    ng->interface->restoreState(nullptr);
    diary()->restoreState(doc.RootElement());
    book()->restoreState(doc.RootElement());
    nG_Diary* d = diary();
    EXPECT_TRUE(logged("nG_Diary: there is no page \"gone\" to add"));
    EXPECT_EQ(d->pages, std::vector<std::string>{"page_b"});
    EXPECT_EQ(d->pageIndex, 0) << "clamped to the pages there are";
    EXPECT_EQ(d->state, nG_Diary::kClosed);
    EXPECT_EQ(anim("map_a")->localState().frameIndex, 0);
    EXPECT_EQ(book()->state, nG_DiaryBook::kClosed);
    openDiary();
    EXPECT_EQ(d->state, nG_Diary::kOpen);
}

class MissingDiaryTest : public DiaryTest {
protected:
    void writeDiary() override {}
};

TEST_F(MissingDiaryTest, WithoutItsModuleTheDiaryIsEmptyButWorks) {
    EXPECT_TRUE(logged("nG_Diary: the diary module \"assets/diary/module\" does not exist"));
    nG_Diary* d = diary();
    ASSERT_NE(d->hub, nullptr);
    lua("AddDiaryPage('page_a'); SetActiveMapRoom('map_a')");
    EXPECT_EQ(d->pageCount(), 0);
    openDiary();
    EXPECT_EQ(d->state, nG_Diary::kOpen);
    toggle();
    run(0.35f);
    EXPECT_EQ(d->state, nG_Diary::kClosed);
}

class MalformedDiaryTest : public DiaryTest {
protected:
    void writeDiary() override {
        folder.write("assets/diary/module.xml", "<module name=\"diary\"/><objs><obj");
    }
};

TEST_F(MalformedDiaryTest, AModuleThatCannotBeReadIsReported) {
    EXPECT_TRUE(logged("nG_Diary: the diary module \"assets/diary/module\" could not be read"));
    openDiary();
    EXPECT_EQ(diary()->state, nG_Diary::kOpen);
}

}  // namespace
