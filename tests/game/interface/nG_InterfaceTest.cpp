// The interface bar in a running game: what it is made of, the hardcore lock, the diary button and its
// lock, the lamps, and a save slot that carries the interface, the inventory and the task list and comes
// back element for element.
#include <tinyxml2.h>

#include "game/interface/nG_InterfButton.h"
#include "tests/game/interface/WidgetTestSupport.h"

namespace {

using widgettest::WidgetTest;

class InterfaceTest : public WidgetTest {
protected:
    // Flights landed, the list up or down.
    void untilSettled() { frames(3); }
    std::string slotText(int slot) {
        const tinyxml2::XMLElement* element = hub->currentProfile()->slot(slot);
        if (!element) return "";
        tinyxml2::XMLPrinter printer(nullptr, true);
        element->Accept(&printer);
        return printer.CStr();
    }
};

// The right ornament mirrors the left; the list and its header wait for a level, and a new game's
// interface is hidden and deaf until the level shows it.
TEST_F(InterfaceTest, TheBarStartsHiddenUntilTheLevelShowsIt) {
    nG_Interface* ui = ng->interface;
    EXPECT_FLOAT_EQ(ui->rightOrnament->localState().scaleX, -1);
    EXPECT_EQ(ui->rightOrnament->name, ui->leftOrnament->name);
    EXPECT_FALSE(ui->tasks->visible || ui->tasksHeader->visible) << "the list and its header start hidden";

    endGame();
    ng = startGame();
    EXPECT_TRUE(ng->interface->hidden);
    EXPECT_FLOAT_EQ(ng->interface->localState().alpha, 0);
    EXPECT_FALSE(ng->interface->input);
}

TEST_F(InterfaceTest, TheLockButtonIsThereOnlyInHardcoreMode) {
    nG_InterfButton* lock = ng->interface->lockButton;
    EXPECT_FALSE(lock->visible || lock->active || lock->input) << "no profile: no hardcore mode";
    hub->addProfile("Wren");
    lua("SetGameMode(2)");
    EXPECT_TRUE(lock->visible && lock->active && lock->input);
    EXPECT_EQ(lock->state, nG_InterfButton::kNormal);
    listen({MSG_DIALOG_SHOW});
    press(984, 680);
    EXPECT_EQ(counter.count(MSG_DIALOG_SHOW), 1) << "touching it explains the lock";
    lua("SetGameMode(1)");
    EXPECT_FALSE(lock->visible || lock->active || lock->input);
    EXPECT_EQ(lock->state, nG_InterfButton::kDisabled);

    // A game started in hardcore mode shows it from the start.
    lua("SetGameMode(2)");
    endGame();
    ng = startGame();
    EXPECT_TRUE(ng->interface->lockButton->visible);
}

TEST_F(InterfaceTest, TheDiaryButtonTogglesTheDiaryUnlessItIsLocked) {
    listen({MSG_DIARY_TOGGLE});
    press(46, 683);
    EXPECT_EQ(counter.count(MSG_DIARY_TOGGLE), 1);
    lua("LockDiaryBookOpen(true)");
    press(46, 683);
    tick(0);
    EXPECT_EQ(counter.count(MSG_DIARY_TOGGLE), 1) << "the diary stays closed";
    EXPECT_EQ(eval("locked"), "1");
    EXPECT_EQ(eval("lockedBy"), "ng_interface");
    lua("LockDiaryBookOpen(false)");
    press(46, 683);
    EXPECT_EQ(counter.count(MSG_DIARY_TOGGLE), 2);

    // Without input the bar takes nothing.
    lua("SetInterfaceInputEnable(0)");
    press(46, 683);
    EXPECT_EQ(counter.count(MSG_DIARY_TOGGLE), 2);
}

TEST_F(InterfaceTest, TheLeftLampGlowsWhileTheDiaryButtonIsPointedAt) {
    nE_AnimSprite* left = ng->interface->leftLampLight;
    nE_AnimSprite* right = ng->interface->rightLampLight;
    EXPECT_FALSE(left->playing);
    pointer(46, 683);
    EXPECT_TRUE(left->playing);
    EXPECT_EQ(left->current()->name, "DoAnim");
    frames(0.5f);
    const int frame = left->localState().frameIndex;
    EXPECT_GT(frame, 0);

    // From the diary button straight onto the bar's pod: the lamp halts where it stands.
    pointer(120, 712);
    EXPECT_FALSE(left->playing);
    EXPECT_EQ(left->currentFunction, -1);
    EXPECT_EQ(cursor.kinds.back(), 1);
    frames(0.5f);
    EXPECT_EQ(left->localState().frameIndex, frame);

    pointer(46, 683);
    EXPECT_TRUE(left->playing);
    pointer(500, 300);
    EXPECT_FALSE(left->playing) << "over the room it goes out too";

    bool on = true;
    post<MSG_RIGHT_LAMP>(&on);
    EXPECT_TRUE(right->playing);
    on = false;
    post<MSG_RIGHT_LAMP>(&on);
    EXPECT_FALSE(right->playing);
}

TEST_F(InterfaceTest, ASaveSlotCarriesTheInterfaceTheInventoryAndTheTasksElementForElement) {
    hub->addProfile("Wren");
    lua("AddObjectToInv('inv_a'); AddObjectToInv('inv_b', 'a_far');"
        "AddTask('task_screw', 3, 'room_a'); AddTask('task_watch', 1, 'room_b', 1);"
        "SetTasksCompleteData('room_a', 'a_door', 'inv_0', 'done', 'closed');"
        "CompleteTask('task_screw'); LockDiaryBookOpen(true)");
    untilSettled();
    ng->settle();
    hub->saveSlot(hub->currentProfile(), 0);
    const std::string first = slotText(0);
    const size_t from = first.find(
        "<interface hidden=\"0\" diary_btn_locked=\"1\" input=\"1\"><inventory><spr name=\"inv_a\"");
    EXPECT_NE(from, std::string::npos) << first;
    EXPECT_NE(first.find("<tasks><list><task id=\"task_screw\" count=\"2\""), std::string::npos);
    EXPECT_NE(first.find("<data room=\"room_a\" dialog_obj_name=\"a_door\""), std::string::npos);

    // Continue: everything is back; saved again, the slot is the same.
    endGame();
    ng = startGame();
    ng->startLevel(0, true, "assets/level", "ng_startlevel(1)");
    ASSERT_EQ(inventory()->items.size(), 2u);
    EXPECT_EQ(inventory()->items[1].object->name, "inv_b");
    ASSERT_EQ(tasks()->groups.count("room_a"), 1u);
    EXPECT_EQ(tasks()->groups["room_a"].tasks[0]->count, 2);
    EXPECT_TRUE(ng->interface->diaryButtonLocked);
    untilSettled();
    ng->settle();
    hub->saveSlot(hub->currentProfile(), 0);
    EXPECT_EQ(slotText(0), first);
}

}  // namespace
