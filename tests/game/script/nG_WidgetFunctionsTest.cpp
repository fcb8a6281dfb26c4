// The script functions that drive widgets still to come: each posts its message with the payload its
// subscriber will read, reads its arguments by the game's conventions (absent, nil, numbers as text),
// and reads answers back; the sound functions start their sounds in their groups.
#include <map>

#include "engine/media/nE_Sound.h"
#include "engine/media/nE_SoundHub.h"
#include "game/core/nG_Messages.h"
#include "game/script/nG_ScriptFunctions.h"
#include "pflib/recording/TRecordingSound.h"
#include "tests/engine/script/ScriptTestFolder.h"
#include "tests/game/state/ProfileTestSupport.h"

namespace {

// Subscribes to every message it is told about, keeps the last payload of each (copied) and answers
// the queries.
struct Widgets : nE_Listener {
    void onMessage(const nE_Message& message) override {
        ++count[message.number];
        take<MSG_POPUP>(message, popup);
        take<MSG_HIDE_INTERFACE>(message, hide);
        take<MSG_INV_ADD>(message, add);
        take<MSG_TASK_ADD>(message, task);
        take<MSG_TASK_COMPLETE_DATA>(message, data);
        take<MSG_HO_COLLECT>(message, collect);
        take<MSG_DIARY_COLLECT>(message, collect);
        take<MSG_BLACKBAR_SHOW>(message, bar);
        take<MSG_DIALOG_SHOW>(message, dialog);
        take<MSG_TUTORIAL_SHOW>(message, tutorial);
        take<MSG_MINIGAME_START>(message, minigame);
        take<MSG_MINIGAME_SHOW>(message, show);
        take<MSG_ACHIEVEMENT_COMPLETE>(message, achievement);
        take<MSG_INTERFACE_INPUT>(message, flag);
        take<MSG_LOCK_DIARY_CLOSE>(message, flag);
        take<MSG_LOCK_DIARY_BOOK_OPEN>(message, flag);
        if (bool* skipped = message.payload<MSG_TUTORIAL_SKIPPED>()) *skipped = answer;
        if (bool* opened = message.payload<MSG_IS_DIARY_OPENED>()) *opened = answer;
        for (const std::string* name :
             {message.payload<MSG_INV_REMOVE>(), message.payload<MSG_TASK_COMPLETE>(),
              message.payload<MSG_TASK_UNMARK>(), message.payload<MSG_DIARY_ADD_PAGE>(),
              message.payload<MSG_SET_ACTIVE_MAP_ROOM>(), message.payload<MSG_MINIGAME_END>()})
            if (name) text = *name;
    }
    template <unsigned int Message, typename T>
    static void take(const nE_Message& message, T& into) {
        if (const auto* payload = message.payload<Message>()) into = *payload;
    }
    std::map<unsigned int, int> count;
    nG_PopupRequest popup;
    nG_HideInterfaceRequest hide;
    nG_InvAddRequest add;
    nG_TaskAddRequest task;
    nG_TaskCompleteData data;
    nG_CollectRequest collect;
    nG_BlackBarRequest bar;
    nG_DialogRequest dialog;
    nG_TutorialRequest tutorial;
    nG_MinigameStartRequest minigame;
    nG_MinigameShowRequest show;
    nG_AchievementRequest achievement;
    bool flag = false;
    bool answer = false;
    std::string text;
};

const unsigned int kWidgetMessages[] = {MSG_POPUP,           MSG_HIDE_INTERFACE,   MSG_INTERFACE_INPUT,
                                        MSG_INV_ADD,         MSG_INV_REMOVE,       MSG_INV_HIGHLIGHT,
                                        MSG_TASK_ADD,        MSG_TASK_COMPLETE,    MSG_TASK_COMPLETE_DATA,
                                        MSG_TASK_UNMARK,     MSG_HO_COLLECT,       MSG_BLACKBAR_SHOW,
                                        MSG_DIALOG_SHOW,     MSG_TUTORIAL_SHOW,    MSG_TUTORIAL_SKIPPED,
                                        MSG_MINIGAME_START,  MSG_MINIGAME_SHOW,    MSG_MINIGAME_END,
                                        MSG_MINIGAME_CHARGE, MSG_HINT_CHARGE,      MSG_ACHIEVEMENT_COMPLETE,
                                        MSG_DIARY_ADD_PAGE,  MSG_LOCK_DIARY_CLOSE, MSG_LOCK_DIARY_BOOK_OPEN,
                                        MSG_IS_DIARY_OPENED, MSG_DIARY_COLLECT,    MSG_SET_ACTIVE_MAP_ROOM};

class WidgetFunctionsTest : public profiletest::ProfileTest {
protected:
    void SetUp() override {
        ProfileTest::SetUp();
        pf::testing::ResetSounds();
        nG_ScriptFunctions::registerGameFunctions(L);
        for (unsigned int id : kWidgetMessages) nE_Mediator::current()->subscribe(id, &widgets);
    }
    void TearDown() override {
        for (unsigned int id : kWidgetMessages) nE_Mediator::current()->unsubscribe(id, &widgets);
        nE_SoundHub::destroy();
        pf::testing::ResetSounds();
        ProfileTest::TearDown();
    }
    Widgets widgets;
};

TEST_F(WidgetFunctionsTest, EveryWidgetFunctionIsAGlobalEvenBeforeItsWidgetExists) {
    EXPECT_EQ(nG_ScriptFunctions::registeredNames().size(), static_cast<size_t>(nG_ScriptFunctions::kCount));
    for (unsigned int id : kWidgetMessages) nE_Mediator::current()->unsubscribe(id, &widgets);
    run("AddTask('t', 1, 'room', 1); ShowPopup('x'); HighlightInv(); ChargeHint(); ChargeMinigameSkip()");
    EXPECT_EQ(eval("IsDiaryOpened()"), "0") << "no diary: closed";
    EXPECT_EQ(eval("IsTutorialSkipped()"), "false");
    for (unsigned int id : kWidgetMessages) nE_Mediator::current()->subscribe(id, &widgets);
}

TEST_F(WidgetFunctionsTest, InventoryTasksAndPopUpsPostTheirPayloads) {
    run("AddObjectToInv(); AddObjectToInv({}); DelObjectFromInv()");
    EXPECT_EQ(widgets.count[MSG_INV_ADD] + widgets.count[MSG_INV_REMOVE], 0) << "no name, no message";
    run("AddObjectToInv('inv_key', 'gate_key')");
    EXPECT_EQ(widgets.add.item, "inv_key");
    EXPECT_EQ(widgets.add.flyer, "gate_key");
    EXPECT_EQ(widgets.add.code, "") << "absent strings are empty";
    run("AddObjectToInv(7, 8, 9)");
    EXPECT_EQ(widgets.add.item + widgets.add.flyer + widgets.add.code, "789") << "numbers read as text";
    run("DelObjectFromInv('inv_key')");
    EXPECT_EQ(widgets.text, "inv_key");

    run("AddTask('task_watch', 3, 'room_bench')");
    EXPECT_EQ(widgets.task.textId, "task_watch");
    EXPECT_EQ(widgets.task.room, "room_bench");
    EXPECT_EQ(widgets.task.count, 3);
    EXPECT_FALSE(widgets.task.marked) << "absent: unmarked";
    run("AddTask('a', '2', 'r', 1)");
    EXPECT_TRUE(widgets.task.marked);
    EXPECT_EQ(widgets.task.count, 2);
    run("AddTask('a', nil, 'r', 2)");
    EXPECT_FALSE(widgets.task.marked) << "only 1 marks";
    EXPECT_EQ(widgets.task.count, 0) << "nil reads as 0";
    run("CompleteTask('a')");
    EXPECT_EQ(widgets.text, "a");
    run("UnmarkTask('b')");
    EXPECT_EQ(widgets.text, "b");
    run("SetTasksCompleteData('room_bench', 'bench_oilcan', 'inv_oilcan', 'bench_done', 'closed')");
    EXPECT_EQ(widgets.data.room + "|" + widgets.data.dialogObject + "|" + widgets.data.inventoryObject + "|" +
                  widgets.data.completeTrigger + "|" + widgets.data.dialogCloseTrigger,
              "room_bench|bench_oilcan|inv_oilcan|bench_done|closed");
    run("CollectHoObject('ho_cup', 'task_cup')");
    EXPECT_EQ(widgets.collect.object + widgets.collect.second, "ho_cuptask_cup");
    run("HighlightInv()");
    EXPECT_EQ(widgets.count[MSG_INV_HIGHLIGHT], 1);

    run("ShowPopup('gate_locked', 'a', 'b')");
    EXPECT_TRUE(widgets.popup.show);
    EXPECT_EQ(widgets.popup.textId, "gate_locked");
    EXPECT_EQ(widgets.popup.params[1], "b");
    EXPECT_EQ(widgets.popup.params[4], "");
    EXPECT_FALSE(widgets.popup.rawText);
    run("HidePopup()");
    EXPECT_FALSE(widgets.popup.show);
    EXPECT_EQ(widgets.popup.textId, "");

    run("ShowTutorial('tut_2', 470, 330)");
    EXPECT_FALSE(widgets.tutorial.first) << "absent: not the first";
    EXPECT_EQ(widgets.tutorial.arrowX, 0);
    EXPECT_EQ(widgets.tutorial.closeTrigger, "");
    run("ShowTutorial('tut_1', 512, 300, 1, 250, 470, 135.5, 'next')");
    EXPECT_EQ(widgets.tutorial.textId, "tut_1");
    EXPECT_EQ(widgets.tutorial.posY, 300);
    EXPECT_TRUE(widgets.tutorial.first);
    EXPECT_EQ(widgets.tutorial.arrowY, 470);
    EXPECT_FLOAT_EQ(widgets.tutorial.arrowAngle, 135.5f);
    EXPECT_EQ(widgets.tutorial.closeTrigger, "next");
    widgets.answer = true;
    EXPECT_EQ(eval("IsTutorialSkipped()"), "true");
}

TEST_F(WidgetFunctionsTest, InterfaceDiaryMiniGamesAndAchievementsPostTheirPayloads) {
    run("HideInterface(1)");
    EXPECT_TRUE(widgets.hide.hide);
    EXPECT_TRUE(widgets.hide.fade) << "absent: fade";
    run("HideInterface(0, 0)");
    EXPECT_FALSE(widgets.hide.hide || widgets.hide.fade);
    run("HideInterface(true, nil)");
    EXPECT_TRUE(widgets.hide.hide) << "a boolean counts as itself";
    EXPECT_FALSE(widgets.hide.fade) << "nil is given: not 1";
    run("SetInterfaceInputEnable(1)");
    EXPECT_TRUE(widgets.flag);
    run("SetInterfaceInputEnable(5)");
    EXPECT_FALSE(widgets.flag);
    run("ShowBlackBarText('enter_gate')");
    EXPECT_EQ(widgets.bar.text, "enter_gate");
    EXPECT_FLOAT_EQ(widgets.bar.seconds, 0);
    run("ShowBlackBarText('enter_hall', 4.5)");
    EXPECT_FLOAT_EQ(widgets.bar.seconds, 4.5f);
    run("ShowDialog('end_4', 512, 384)");
    EXPECT_EQ(widgets.dialog.text, "end_4");
    EXPECT_EQ(widgets.dialog.x + widgets.dialog.y, 896);
    EXPECT_EQ(widgets.dialog.a + widgets.dialog.b, 0);
    run("ChargeHint()");
    EXPECT_EQ(widgets.count[MSG_HINT_CHARGE], 1);
    run("CompleteAchievement('ach_pages', '', 0, 5)");
    EXPECT_EQ(widgets.achievement.name, "ach_pages");
    EXPECT_FALSE(widgets.achievement.repeatable);
    EXPECT_EQ(widgets.achievement.target, 5);
    run("CompleteAchievement('ach_first_item', 'x', 1)");
    EXPECT_TRUE(widgets.achievement.repeatable);
    EXPECT_EQ(widgets.achievement.target, 0);

    run("AddDiaryPage('diary_page_2')");
    EXPECT_EQ(widgets.text, "diary_page_2");
    run("LockDiaryClose(true)");
    EXPECT_TRUE(widgets.flag);
    run("LockDiaryBookOpen(false)");
    EXPECT_FALSE(widgets.flag);
    EXPECT_EQ(eval("IsDiaryOpened()"), "0");
    widgets.answer = true;
    EXPECT_EQ(eval("IsDiaryOpened()"), "1");
    run("CollectDiaryObject('desk_page', 'page_arrived')");
    EXPECT_EQ(widgets.collect.second, "page_arrived");
    run("SetActiveMapRoom('map_room_hall')");
    EXPECT_EQ(widgets.text, "map_room_hall");

    run("StartMinigame('room_gears', 'skip', 'reset', 'gears_info')");
    EXPECT_EQ(widgets.minigame.room + widgets.minigame.skipTrigger + widgets.minigame.resetTrigger +
                  widgets.minigame.infoDialog,
              "room_gearsskipresetgears_info");
    run("ShowMinigame('room_gears', 1)");
    EXPECT_TRUE(widgets.show.show);
    run("ShowMinigame('room_gears', 0)");
    EXPECT_FALSE(widgets.show.show);
    run("EndMinigame('room_gears'); ChargeMinigameSkip()");
    EXPECT_EQ(widgets.text, "room_gears");
    EXPECT_EQ(widgets.count[MSG_MINIGAME_CHARGE], 1);
}

TEST_F(WidgetFunctionsTest, SoundFunctionsPlayInTheirGroups) {
    script_test::GameFolderAt game;
    const std::string beep = game.data("sounds/beep");
    run("PlaySfx('" + beep + "', 0, ''); PlayEnv('" + beep + "', '1', 'done'); PlaySoundtrack('" + beep +
        "', 1, '', 2); PlayVoice('" + beep + "', 'x', '', -3); PlaySfx()");
    const auto& sounds = nE_SoundHub::get()->sounds();
    ASSERT_EQ(sounds.size(), 4u);
    EXPECT_EQ(sounds[0]->group, "sfx");
    EXPECT_FALSE(sounds[0]->looped);
    EXPECT_EQ(sounds[1]->group, "env");
    EXPECT_TRUE(sounds[1]->looped) << "the loop flag is read as text, then as a number";
    EXPECT_EQ(sounds[1]->endTrigger, "done");
    EXPECT_EQ(sounds[2]->group, "soundtrack");
    EXPECT_EQ(sounds[2]->state, nE_Sound::kFadingIn);
    EXPECT_EQ(sounds[3]->group, "voice");
    EXPECT_FALSE(sounds[3]->looped);
    EXPECT_NE(sounds[3]->state, nE_Sound::kFadingIn) << "a negative fade starts at full volume";
}

}  // namespace
