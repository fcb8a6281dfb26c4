// The game object through the scripts: room changes with their autosave, sub-rooms in their frame with
// the blur behind them, blocking, teleporting, ApplyObj, pausing, the saved element "game" and what a
// broken level or slot does.
#include <tinyxml2.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "engine/media/nE_Sound.h"
#include "engine/script/nE_SLHelper_XML.h"
#include "game/core/nG_Messages.h"
#include "game/interface/nG_Cursor.h"
#include "game/interface/nG_Dialog.h"
#include "game/interface/nG_Popup.h"
#include "game/interface/nG_Tutorial.h"
#include "pflib/recording/TRecordingSound.h"
#include "tests/game/core/GameTestSupport.h"

namespace {

using gametest::GameTest;

// Scripts name game files: the test sounds are copied into the game folder.
const std::string kMusic = "sounds/long";
const std::string kBeep = "sounds/beep";

// Records the room-change traffic and what the game asks of the screen: message ids in order, the last
// room change and the last start.
struct Traffic : nE_Listener {
    void onMessage(const nE_Message& message) override {
        ids.push_back(message.number);
        if (const auto* request = message.payload<MSG_CHANGE_ROOM>()) change = *request;
        if (const auto* request = message.payload<MSG_START_GAME>()) start = *request;
    }
    std::vector<unsigned int> ids;
    nG_RoomChangeRequest change;
    nG_GameStart start;
};
constexpr unsigned int kTraffic[] = {MSG_SAVE_GAME, MSG_DIALOG_CLOSE, MSG_CHANGE_ROOM, MSG_START_GAME,
                                     MSG_SWITCH_TO_MENU};

class GameObjectTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        pf::testing::ResetSounds();
        for (const std::string& sound : {kMusic, kBeep}) {
            std::ifstream in(std::string(HALVERN_TEST_DATA) + "/" + sound + ".ogg", std::ios::binary);
            folder.write(sound + ".ogg", std::string(std::istreambuf_iterator<char>(in), {}));
        }
        startLevel();
        tick(0);
        lua("log = ''; HideInterface(0, 0); SetInterfaceInputEnable(1)");
    }
    void TearDown() override {
        for (unsigned int id : kTraffic) nE_Mediator::current()->unsubscribe(id, &traffic);
        GameTest::TearDown();
        pf::testing::ResetSounds();
    }
    void listen() {
        for (unsigned int id : kTraffic) nE_Mediator::current()->subscribe(id, &traffic);
    }
    std::string log() { return eval("log"); }
    // Opens sub_c and waits until it is open.
    void openC() {
        lua("OpenSubRoom('sub_c', 0, 0, 0, 0)");
        tick(0);
        run(0.7f);
    }
    std::string slotText(int slot) {
        const tinyxml2::XMLElement* element = hub->currentProfile()->slot(slot);
        if (!element) return "";
        tinyxml2::XMLPrinter printer(nullptr, true);
        element->Accept(&printer);
        return printer.CStr();
    }

    Traffic traffic;
};

TEST_F(GameObjectTest, SwitchRoomSavesClosesADialogAndAnimatesUnlessToldNotTo) {
    listen();
    lua("SwitchRoom('room_b')");
    EXPECT_EQ(traffic.ids, (std::vector<unsigned int>{MSG_SAVE_GAME, MSG_DIALOG_CLOSE, MSG_CHANGE_ROOM}));
    EXPECT_TRUE(traffic.change.animate) << "one argument animates";
    EXPECT_FALSE(traffic.change.isSubRoom || traffic.change.closeCurrent);
    EXPECT_EQ(room("room_b")->state, nG_Room::kOpening);
    run(0.7f);
    lua("SwitchRoom('room_a', 0)");
    EXPECT_FALSE(traffic.change.animate);
    EXPECT_EQ(room("room_a")->state, nG_Room::kOpen) << "0 switches at once";
    lua("SwitchRoom('room_b', nil)");
    EXPECT_FALSE(traffic.change.animate) << "nil counts as given: at once";
    EXPECT_EQ(room("room_b")->state, nG_Room::kOpen);
    lua("SwitchRoom('room_a', 2)");
    EXPECT_TRUE(traffic.change.animate);
    run(0.7f);

    traffic.ids.clear();
    lua("SwitchRoom(); SwitchRoom({})");
    EXPECT_TRUE(traffic.ids.empty()) << "no name, no messages";
    lua("SwitchRoom('room_nowhere')");
    EXPECT_TRUE(logged("nG_Game: there is no room \"room_nowhere\" to show"));
    EXPECT_EQ(ng->currentRoom, room("room_a")) << "the game goes on in its room";
    lua("SwitchRoom('sub_c')");
    EXPECT_TRUE(logged("there is no room \"sub_c\"")) << "a sub-room is not a room";
}

TEST_F(GameObjectTest, AutosaveNeedsAProfileAndARoom) {
    lua("SwitchRoom('room_b', 0)");
    EXPECT_FALSE(exists("p_Wren.xml")) << "no player: nothing written";
    hub->addProfile("Wren");
    lua("ng_var.flag = 7; SwitchRoom('room_a', 0)");
    ASSERT_TRUE(hub->hasSlot(0)) << "the slot the screen would name (none here: 0)";
    EXPECT_NE(read("p_Wren.xml").find("<current_room><room name=\"room_b\""), std::string::npos)
        << "saved before the change";
}

TEST_F(GameObjectTest, ASubRoomOpensInItsFrameOverTheBlurAndClosesFromTheFrame) {
    nG_Room* a = room("room_a");
    nG_SubRoom* c = sub("sub_c");
    nG_FrameSubroom* frame = ng->interface->frame;
    lua("OpenSubRoom('sub_c', 0, 0, 0, 0)");
    EXPECT_EQ(eval("GetCurrentRoom()"), "sub_c") << "the open sub-room counts as the current room";
    EXPECT_FALSE(a->input || a->active) << "the room behind sleeps";
    EXPECT_FALSE(ng->input) << "no input until the sub-room is open";
    EXPECT_TRUE(frame->visible && frame->input);
    EXPECT_EQ(frame->subRoom, c);
    EXPECT_FLOAT_EQ(frame->frameRect.w, 72);
    EXPECT_TRUE(ng->blurOn && ng->blurSprite->visible);
    ASSERT_NE(ng->blurTexture, nullptr);
    EXPECT_FLOAT_EQ(ng->blurTexture->width, 512) << "the room reduced to half size";

    // The frame ignores clicks while the sub-room zooms in.
    tick(0);
    tick(0.1f);
    send(nE_InputEvent::kButtonDown, 5, 5);
    EXPECT_FALSE(frame->closeRequested);
    EXPECT_FLOAT_EQ(frame->localState().x, c->localState().x) << "the frame follows the zoom";
    EXPECT_FLOAT_EQ(frame->localState().scaleX, c->zoom.scaleX);
    EXPECT_FLOAT_EQ(frame->localState().alpha, c->zoom.alpha);
    tick(0.2f);
    EXPECT_NEAR(ng->blurSprite->localState().alpha, 0.5f, 1e-5);
    tick(0.3f);
    EXPECT_NEAR(ng->blurSprite->localState().alpha, 1.f, 1e-5) << "full strength 0.6 s after opening";
    tick(0);
    EXPECT_EQ(c->state, nG_Room::kOpen);
    EXPECT_TRUE(ng->input);

    // Pointing outside shows the way-down cursor; inside the normal one.
    send(nE_InputEvent::kPointerMove, 5, 5);
    EXPECT_EQ(cursor.kinds.back(), nG_Cursor::kDown);
    send(nE_InputEvent::kPointerMove, 512, 300);
    EXPECT_EQ(cursor.kinds.back(), nG_Cursor::kDefault);
    EXPECT_TRUE(frame->hoverInside);
    send(nE_InputEvent::kButtonDown, 512, 300);
    EXPECT_FALSE(frame->closeRequested) << "a click inside belongs to the sub-room";

    // A click outside closes it, with the blur fading out over 0.6 s.
    send(nE_InputEvent::kButtonDown, 5, 5);
    EXPECT_TRUE(frame->closeRequested);
    tick(0);
    EXPECT_FALSE(frame->closeRequested) << "the game took the request";
    EXPECT_EQ(c->state, nG_Room::kClosing);
    tick(0.3f);
    EXPECT_FALSE(ng->blurOn);
    EXPECT_NEAR(ng->blurSprite->localState().alpha, 0.5f, 1e-5);
    tick(0.3f);
    tick(0);
    EXPECT_EQ(c->state, nG_Room::kClosed);
    EXPECT_EQ(c->parent, ng->roomsHub);
    EXPECT_EQ(ng->currentSubRoom, nullptr);
    EXPECT_FALSE(frame->visible || frame->input);
    EXPECT_TRUE(a->input && a->active);
    EXPECT_FALSE(ng->blurSprite->visible);
    EXPECT_EQ(cursor.kinds.back(), 1);
    EXPECT_EQ(eval("GetCurrentRoom()"), "room_a");
    EXPECT_EQ(log(), "open sub_c;close sub_c;");
}

TEST_F(GameObjectTest, EscapeClosesTheTopmostThingOpenAndInPlayLeavesTheKeyToTheScreen) {
    nG_Interface* in = ng->interface;
    openC();
    lua("ShowDialog('x', 512, 384); ShowPopup('x'); ShowTutorial('x', 512, 300, 0, 0, 0, 0, '')");
    run(0.5f);
    nE_InputEvent escape;
    escape.type = nE_InputEvent::kKeyDown;
    escape.code = nG_Game::kKeyEscape;
    nE_RenderState world;
    // The tip, the rules box, the pop-up, then the close-up: one at each press, each taken by the game.
    EXPECT_TRUE(ng->handleInput(escape, world));
    EXPECT_EQ(in->tutorial->state, nG_Tutorial::kFadingOut);
    EXPECT_NE(in->dialog->state, nG_Dialog::kFadingOut);
    EXPECT_TRUE(ng->handleInput(escape, world));
    EXPECT_EQ(in->dialog->state, nG_Dialog::kFadingOut);
    EXPECT_EQ(in->popup->mode, nG_Popup::kOpen);
    EXPECT_TRUE(ng->handleInput(escape, world));
    EXPECT_EQ(in->popup->mode, nG_Popup::kClosing);
    EXPECT_TRUE(ng->handleInput(escape, world));
    tick(0);
    EXPECT_EQ(sub("sub_c")->state, nG_Room::kClosing);
    run(0.7f);
    EXPECT_EQ(ng->currentSubRoom, nullptr);
    // Nothing open in play: the key goes on (the screen pauses); with the interface hidden it stays.
    EXPECT_FALSE(ng->handleInput(escape, world));
    lua("HideInterface(1, 0)");
    EXPECT_TRUE(ng->handleInput(escape, world));
}

TEST_F(GameObjectTest, ABlockedCloseKeepsTheSubRoomOpenAgainstEveryRequest) {
    nG_SubRoom* c = sub("sub_c");
    openC();
    lua("log = ''; BlockSubRoomClose(1)");
    EXPECT_TRUE(ng->blockSubRoomClose);
    send(nE_InputEvent::kButtonDown, 5, 5);
    tick(0);
    EXPECT_FALSE(ng->interface->frame->closeRequested) << "the request is cleared all the same";
    lua("CloseSubRoom()");
    lua("TeleportFromDiary('room_b')");
    run(0.7f);
    EXPECT_EQ(c->state, nG_Room::kOpen);
    EXPECT_EQ(ng->currentSubRoom, c);
    EXPECT_NE(log().find("go room_b from ng_map seeing sub_c;"), std::string::npos) << log();

    // Unblocked, teleporting closes it at once, before go_room runs.
    lua("log = ''; BlockSubRoomClose(0); TeleportFromDiary('room_b')");
    EXPECT_EQ(c->state, nG_Room::kClosed);
    EXPECT_EQ(c->parent, ng->roomsHub);
    EXPECT_FALSE(ng->blurOn || ng->blurSprite->visible);
    tick(0);
    EXPECT_EQ(log(), "close sub_c;go room_b from ng_map seeing room_a;");
}

TEST_F(GameObjectTest, OneSubRoomAtATime) {
    openC();
    lua("OpenSubRoom('sub_d')");
    EXPECT_TRUE(logged("nG_Game: sub-room \"sub_d\" not opened while \"sub_c\" is open"));
    EXPECT_EQ(ng->currentSubRoom, sub("sub_c"));
    EXPECT_EQ(sub("sub_d")->parent, ng->roomsHub);
    lua("OpenSubRoom('sub_none')");
    EXPECT_TRUE(logged("nG_Game: there is no sub-room \"sub_none\" to open"));
    lua("CloseSubRoom()");
    EXPECT_FALSE(logged("there is no sub-room \"\"")) << "the close's empty name opens nothing, quietly";
}

TEST_F(GameObjectTest, ApplyObjWantsTheTargetInTheRoomShown) {
    EXPECT_EQ(eval("ApplyObj('key', 'a_door')"), "true");
    EXPECT_EQ(eval("ApplyObj('key', 'a_far')"), "false") << "no overlap";
    EXPECT_EQ(eval("ApplyObj('key', 'b_door')"), "false") << "overlapping, but not in the current room";
    EXPECT_EQ(eval("ApplyObj('key', 'nothing')"), "false");
    openC();
    EXPECT_EQ(eval("ApplyObj('key', 'a_door')"), "false") << "the sub-room is what is shown";
}

TEST_F(GameObjectTest, ActivateGamePausesTheLevelTheInterfaceAndStdTimers) {
    lua("TimerStart('t', 'opened(t)', 0.5); TimerAddTag('t', 'std'); ActivateGame(false)");
    EXPECT_FALSE(ng->level->active || ng->interface->active);
    run(1.f);
    EXPECT_EQ(log(), "");
    lua("ActivateGame(true)");
    EXPECT_TRUE(ng->level->active && ng->interface->active);
    run(1.f);
    EXPECT_EQ(log(), "open t;");
}

TEST_F(GameObjectTest, ClearRoomsHubEmptiesItButLeavesTheRoomShown) {
    lua("ClearRoomsHub()");
    EXPECT_TRUE(ng->roomsHub->children.empty());
    EXPECT_EQ(scene().findObject("room_b"), nullptr);
    EXPECT_EQ(ng->currentRoom, room("room_a"));
}

TEST_F(GameObjectTest, SettleFinishesAClosingSubRoomAndParksClosingRooms) {
    openC();
    lua("CloseSubRoom(); SwitchRoom('room_b')");
    EXPECT_EQ(sub("sub_c")->state, nG_Room::kClosing);
    ng->settle();
    EXPECT_EQ(sub("sub_c")->state, nG_Room::kClosed);
    EXPECT_EQ(sub("sub_c")->parent, ng->roomsHub);
    EXPECT_EQ(room("room_a")->parent, ng->roomsHub) << "the room that was closing";
    EXPECT_EQ(room("room_b")->parent, ng->level);
    EXPECT_EQ(ng->currentSubRoom, nullptr);
}

TEST_F(GameObjectTest, ASaveContinuedAndSavedAgainGivesTheSameSlot) {
    hub->addProfile("Wren");
    openC();
    lua("ng_var.where = 'cabinet'; BlockSubRoomClose(1); PlaySoundtrack('" + kMusic +
        "', 1, '', 0);"
        "PlayEnv('" +
        kMusic + "', '1', 'opened(end)'); PlaySfx('" + kBeep + "', 1, ''); PlayVoice('" + kBeep +
        "', 0, '')");
    tick(0);
    ng->settle();
    hub->saveSlot(hub->currentProfile(), 0);
    const std::string first = slotText(0);
    ASSERT_FALSE(first.empty());
    EXPECT_NE(first.find("<sound path=\"" + kMusic + "\" group=\"soundtrack\" loop=\"1\" end_trigger=\"\"/>"),
              std::string::npos);
    EXPECT_NE(first.find("group=\"env\" loop=\"1\" end_trigger=\"opened(end)\""), std::string::npos);
    EXPECT_EQ(first.find("group=\"sfx\""), std::string::npos) << "effects are not saved";
    EXPECT_EQ(first.find("group=\"voice\""), std::string::npos);
    EXPECT_NE(first.find("<game block_subroom_close=\"1\"><sounds>"), std::string::npos);
    EXPECT_NE(first.find("<origin><current_room><room name=\"room_a\""), std::string::npos);
    EXPECT_NE(first.find("<current_subroom><subroom name=\"sub_c\""), std::string::npos);
    EXPECT_NE(
        first.find("<interface hidden=\"0\" diary_btn_locked=\"0\" input=\"1\"><inventory/><tasks><list/>"
                   "<completedata/></tasks><hint state=\"0\" state_timer=\"0\"/><diary "),
        std::string::npos);
    EXPECT_NE(first.find("<tutorial show_tutorial=\"1\"/>"), std::string::npos);
    EXPECT_NE(first.find("<storage><rooms_hub><obj name=\"ng_rooms_hub\">"), std::string::npos);
    EXPECT_NE(first.find("<objects_hub><obj name=\"objects_hub\">"), std::string::npos);
    EXPECT_NE(first.find("<inventory_hub>"), std::string::npos);

    // Quit, continue: the room and the open sub-room come back, the sounds fade in again.
    nE_SoundHub::get()->stopAll(0);
    nE_SoundHub::get()->update(0);
    endGame();
    ng = startGame();
    ng->startLevel(0, true, "assets/level", "ng_startlevel(1)");
    ASSERT_NE(ng->currentRoom, nullptr);
    EXPECT_EQ(ng->currentRoom->name, "room_a");
    ASSERT_NE(ng->currentSubRoom, nullptr);
    EXPECT_EQ(ng->currentSubRoom->state, nG_Room::kOpen) << "already open, no zoom";
    EXPECT_FLOAT_EQ(ng->currentSubRoom->localState().x, 512);
    EXPECT_TRUE(ng->blurOn);
    EXPECT_FLOAT_EQ(ng->blurTime, 0) << "the blur fades in";
    EXPECT_TRUE(ng->blockSubRoomClose);
    EXPECT_EQ(eval("ng_var.where"), "cabinet");
    const auto& sounds = nE_SoundHub::get()->sounds();
    ASSERT_EQ(sounds.size(), 2u);
    EXPECT_EQ(sounds[0]->group, "soundtrack");
    EXPECT_EQ(sounds[0]->state, nE_Sound::kFadingIn) << "a 2 s fade-in";
    EXPECT_EQ(sounds[1]->endTrigger, "opened(end)");
    EXPECT_EQ(cursor.kinds.back(), 1);
    tick(0);
    EXPECT_EQ(eval("functions"), "2") << "ng_function runs after the load";

    hub->saveSlot(hub->currentProfile(), 0);
    EXPECT_EQ(slotText(0), first);
}

TEST_F(GameObjectTest, AFadingSoundAndAStoppedOneAreNotSaved) {
    hub->addProfile("Wren");
    lua("PlaySoundtrack('" + kMusic + "', 1, '', 0); PlayEnv('" + kBeep + "', 1, '', 0)");
    nE_SoundHub::get()->stop(kMusic, 2);
    nE_SoundHub::get()->update(0.1f);
    hub->saveSlot(hub->currentProfile(), 0);
    EXPECT_EQ(slotText(0).find(kMusic), std::string::npos) << "fading out: on its way to silence";
    EXPECT_NE(slotText(0).find(kBeep), std::string::npos);
    nE_SoundHub::get()->stop(kBeep, 0);
    hub->saveSlot(hub->currentProfile(), 0);
    EXPECT_EQ(slotText(0).find(kBeep), std::string::npos);
}

TEST_F(GameObjectTest, ABrokenSlotOrLevelIsReportedAndThePlayerIsNotStranded) {
    hub->addProfile("Wren");
    nG_Profile* profile = hub->currentProfile();
    profile->newSlot(3);
    endGame();
    ng = startGame();
    listen();
    ng->startLevel(3, true, "assets/level", "ng_startlevel(1)");
    EXPECT_TRUE(logged("nG_Game: the save slot has no \"game\" element"));
    EXPECT_TRUE(logged("nG_Game: save slot 3 holds no game to continue; the level starts afresh"));
    EXPECT_EQ(traffic.start.slot, 3) << "the screen is asked for a new game in the slot";
    EXPECT_FALSE(traffic.start.continueSave);

    tinyxml2::XMLElement* slot = profile->newSlot(4);
    slot->InsertNewChildElement("game")
        ->InsertNewChildElement("origin")
        ->InsertNewChildElement("current_room")
        ->InsertNewChildElement("nonsense");
    endGame();
    ng = startGame();
    ng->startLevel(4, true, "assets/level", "");
    EXPECT_TRUE(logged("nG_Game: the saved game has no rooms"));
    EXPECT_TRUE(logged("save slot 4 holds no game"));
    EXPECT_EQ(traffic.start.startCode, "ng_startlevel(1)") << "the level's own start stands in";
    EXPECT_NE(ng->roomsHub, nullptr) << "a hub to go on with";

    endGame();
    ng = startGame();
    ng->startLevel(0, false, "assets/none", "ng_startlevel(1)");
    EXPECT_TRUE(logged("nG_Game: the level \"assets/none\" does not exist"));
    folder.write("assets/broken.xml", "<module");
    ng->startLevel(0, false, "assets/broken", "ng_startlevel(1)");
    EXPECT_TRUE(logged("nG_Game: the level \"assets/broken\" could not be read"));
    EXPECT_EQ(std::count(traffic.ids.begin(), traffic.ids.end(), MSG_SWITCH_TO_MENU), 2)
        << "back to the menu";

    // With nothing to show, the interface and its way to the menu come up after a few seconds.
    EXPECT_TRUE(ng->interface->hidden);
    run(2.9f, 0.1f);
    EXPECT_TRUE(ng->interface->hidden);
    run(0.2f, 0.1f);
    EXPECT_FALSE(ng->interface->hidden);
    EXPECT_TRUE(ng->interface->input && ng->input);
    EXPECT_TRUE(logged("nG_Game: no room is shown"));
}

TEST_F(GameObjectTest, TheInterfaceFadesAndSavesItsFlags) {
    nG_Interface* ui = ng->interface;
    EXPECT_FALSE(ui->hidden);
    lua("HideInterface(1)");
    EXPECT_TRUE(ui->hidden);
    EXPECT_FLOAT_EQ(ui->localState().alpha, 1) << "fades";
    tick(0.125f);
    EXPECT_FLOAT_EQ(ui->localState().alpha, 0.5f);
    tick(0.125f);
    EXPECT_FLOAT_EQ(ui->localState().alpha, 0);
    lua("HideInterface(0, 0); SetInterfaceInputEnable(0); LockDiaryBookOpen(true)");
    EXPECT_FLOAT_EQ(ui->localState().alpha, 1) << "at once";
    EXPECT_FALSE(ui->input);
    EXPECT_TRUE(ui->diaryButtonLocked);

    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* origin = doc.NewElement("origin");
    doc.InsertEndChild(origin);
    lua("HideInterface(1, 0)");
    origin->InsertEndChild(ui->dumpState(doc));
    lua("HideInterface(0, 0); SetInterfaceInputEnable(1); LockDiaryBookOpen(false)");
    ui->restoreState(origin);
    EXPECT_TRUE(ui->hidden);
    EXPECT_FLOAT_EQ(ui->localState().alpha, 0) << "restored hidden at once, without a fade";
    EXPECT_FALSE(ui->input);
    EXPECT_TRUE(ui->diaryButtonLocked);
}

TEST_F(GameObjectTest, AGameModeParticleSystemPlaysOnlyInEasierModes) {
    std::unique_ptr<nE_Object> made(nE_Factory::create("partsys_gm"));
    auto* ps = dynamic_cast<nG_ParticleSystemGm*>(made.get());
    ASSERT_NE(ps, nullptr);
    EXPECT_EQ(ps->getTypeName(), "partsys_gm");
    EXPECT_EQ(ps->gameMode, 2);
    EXPECT_TRUE(ps->playsInCurrentMode()) << "no player: a plain particle system";
    ps->setResourceName("assets/no_such_effect");
    EXPECT_TRUE(logged("Could not find \"assets/no_such_effect\""));
    hub->addProfile("Wren");
    hub->setGameMode(3);
    EXPECT_FALSE(ps->playsInCurrentMode());
    hub->setGameMode(2);
    EXPECT_TRUE(ps->playsInCurrentMode());
    ps->gameMode = 1;
    EXPECT_FALSE(ps->playsInCurrentMode());
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* saved = nE_SLHelper_XML::save(*ps, doc, false, true);
    EXPECT_EQ(saved->IntAttribute("game_mode"), 1);
    ps->resetState();
    EXPECT_EQ(ps->gameMode, 2);
}

}  // namespace
