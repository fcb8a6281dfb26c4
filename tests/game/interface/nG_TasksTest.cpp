// The task list and its header in a running game: counted lines and their colours, tasks shared by two
// rooms, the completion reward that comes once, the list taking the inventory's place in a room with
// tasks and giving it back, the tabs, the questions other widgets ask, the saved element, and bad
// requests.
#include <tinyxml2.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "game/interface/nG_InterfButton.h"
#include "tests/game/interface/WidgetTestSupport.h"

namespace {

using widgettest::WidgetTest;

class TasksTest : public WidgetTest {
protected:
    nG_Task* task(const std::string& room, size_t index) { return tasks()->groups.at(room).tasks.at(index); }
    std::string dump() {
        tinyxml2::XMLDocument doc;
        doc.InsertEndChild(tasks()->dumpState(doc));
        tinyxml2::XMLPrinter printer(nullptr, true);
        doc.Accept(&printer);
        return printer.CStr();
    }
    // The list has come up in the current room (the inventory hid first).
    void untilShown() {
        for (int i = 0; i < 400 && tasks()->slide < 1; ++i) tick(1.f / 64);
    }
};

TEST_F(TasksTest, ACountedTaskShowsItsCountAndGreysOutOnTheLastCompletion) {
    lua("AddTask('task_screw', 3, 'room_b'); AddTask('task_watch', 1, 'room_b', 1)");
    nG_Task* screw = task("room_b", 0);
    EXPECT_EQ(screw->name, "task_screw");
    EXPECT_EQ(screw->text, "task_mul");
    EXPECT_EQ(screw->params[0], "%task_screw%") << "the name by its key, which follows the language";
    EXPECT_EQ(screw->params[1], "3");
    EXPECT_EQ(screw->displayedString(), "Brass screw x 3");
    EXPECT_FLOAT_EQ(screw->localState().red, 1.f) << "gold while open and not marked";
    EXPECT_FLOAT_EQ(screw->localState().blue, 108 / 255.f);
    EXPECT_FLOAT_EQ(task("room_b", 1)->localState().red, 196 / 255.f) << "blue while marked";
    EXPECT_EQ(screw->fontSize, 18);
    EXPECT_FALSE(screw->visible || screw->input);

    lua("CompleteTask('task_screw')");
    EXPECT_EQ(screw->displayedString(), "Brass screw x 2");
    lua("CompleteTask('task_screw')");
    EXPECT_EQ(screw->text, "task_screw") << "one left: the plain text";
    EXPECT_EQ(screw->displayedString(), "Brass screw");
    EXPECT_FALSE(screw->completed);
    lua("CompleteTask('task_screw')");
    EXPECT_TRUE(screw->completed);
    EXPECT_FLOAT_EQ(screw->localState().red, 0.4f);
    EXPECT_FLOAT_EQ(screw->localState().green, 0.4f);
    EXPECT_TRUE(tasks()->effect->visible) << "each completion flashes the line";
    EXPECT_FLOAT_EQ(tasks()->effect->localState().x, screw->localState().x);
    frames(0.3125f);
    EXPECT_NEAR(tasks()->effect->localState().alpha, 1, 0.05f);
    frames(0.375f);
    EXPECT_FALSE(tasks()->effect->visible) << "hidden when its animation has ended";

    lua("UnmarkTask('task_watch')");
    EXPECT_FLOAT_EQ(task("room_b", 1)->localState().red, 1.f);
}

TEST_F(TasksTest, ANameTooWideForItsColumnIsDrawnSmallerDownToTheLeast) {
    strings.entries["task_long"] = "Sanduhrenaufbewahrungsbeh\u00e4lter";
    strings.entries["task_endless"] = std::string(60, 'W');
    lua("AddTask('task_screw', 1, 'room_b'); AddTask('task_long', 1, 'room_b'); "
        "AddTask('task_endless', 1, 'room_b')");
    nG_Task* screw = task("room_b", 0);
    nG_Task* longer = task("room_b", 1);
    EXPECT_EQ(screw->fontSize, nG_Task::kFontSize) << "a short name keeps the list's size";
    EXPECT_LT(longer->fontSize, nG_Task::kFontSize);
    EXPECT_GT(longer->fontSize, nG_Task::kMinFontSize);
    ASSERT_TRUE(longer->textTexture);
    EXPECT_LE(longer->textTexture->width - longer->fontSize / 2 - 2, longer->lineWidth)
        << "drawn within its column";
    EXPECT_EQ(task("room_b", 2)->fontSize, nG_Task::kMinFontSize) << "no smaller than the least size";
    // With more tasks than columns the columns narrow, and the names with them.
    const int before = longer->fontSize;
    for (int i = 0; i < 12; ++i) lua("AddTask('task_" + std::to_string(i) + "', 1, 'room_b')");
    EXPECT_LT(longer->fontSize, before);
}

TEST_F(TasksTest, ATaskInTwoRoomsCountsDownInBothAndTheRewardComesOnce) {
    listen({MSG_HO_DIALOG_SHOW});
    lua("AddTask('task_watch', 1, 'room_b'); AddTask('task_screw', 2, 'room_b'); AddTask('task_watch', 2, "
        "'sub_c');"
        "SetTasksCompleteData('room_b', 'b_thing', 'inv_a', 'done(b)', 'closed')");
    lua("CompleteTask('task_watch')");
    EXPECT_TRUE(task("room_b", 0)->completed);
    EXPECT_EQ(task("sub_c", 0)->count, 1) << "the same task in the other room counts down too";
    EXPECT_EQ(counter.count(MSG_HO_DIALOG_SHOW), 0);

    lua("CompleteTask('task_screw')");
    lua("CompleteTask('task_screw')");
    EXPECT_TRUE(tasks()->groups["room_b"].completed);
    EXPECT_EQ(counter.count(MSG_HO_DIALOG_SHOW), 1);
    EXPECT_EQ(counter.dialog.object, "b_thing");
    EXPECT_EQ(counter.dialog.inventoryObject, "inv_a");
    EXPECT_EQ(counter.dialog.closeTrigger, "closed");
    // Completing a done task again neither rewards nor runs the trigger a second time.
    lua("CompleteTask('task_screw')");
    tick(0);
    EXPECT_EQ(counter.count(MSG_HO_DIALOG_SHOW), 1);
    EXPECT_EQ(eval("done"), "1");
    EXPECT_EQ(eval("doneBy"), "ng_tasks");
    EXPECT_EQ(eval("doneWith"), "b");
    EXPECT_FALSE(tasks()->groups["sub_c"].completed) << "the other room is still open";
}

TEST_F(TasksTest, TheListTakesTheInventorysPlaceInARoomWithTasksAndGivesItBack) {
    listen({MSG_INV_HIDE_ALL, MSG_INV_RETURN, MSG_TASKS_HEADER_SHOW_TASKS});
    lua("AddObjectToInv('inv_a')");
    frames(1.5f);
    for (int i = 0; i < 6; ++i) lua("AddTask('task_" + std::to_string(i) + "', 1, 'room_a')");
    // The fifth task starts the second row.
    EXPECT_FLOAT_EQ(task("room_a", 3)->localState().x, 270);
    EXPECT_FLOAT_EQ(task("room_a", 4)->localState().x, -270);
    EXPECT_FLOAT_EQ(task("room_a", 4)->localState().y, 13);
    EXPECT_FLOAT_EQ(task("room_a", 0)->localState().y, -10);
    EXPECT_FLOAT_EQ(task("room_a", 5)->localState().x, -90);

    tick(1.f / 64);
    EXPECT_EQ(tasks()->mode, nG_Tasks::kWaitingForInventory) << "the inventory hides first";
    EXPECT_EQ(counter.count(MSG_INV_HIDE_ALL), 1);
    EXPECT_EQ(inventory()->mode, nG_Inventory::kHiding);
    frames(0.5f);
    EXPECT_EQ(tasks()->mode, nG_Tasks::kWaitingForInventory);
    untilShown();
    EXPECT_EQ(tasks()->mode, nG_Tasks::kShown);
    EXPECT_EQ(inventory()->mode, nG_Inventory::kHidden);
    EXPECT_TRUE(tasks()->visible);
    EXPECT_TRUE(task("room_a", 0)->visible);
    EXPECT_FLOAT_EQ(tasks()->localState().y, 711);
    EXPECT_FLOAT_EQ(inventory()->localState().y, 711) << "the inventory follows the list";
    EXPECT_FLOAT_EQ(header()->localState().y, 662) << "the header stands 49 above";
    EXPECT_TRUE(header()->visible);
    EXPECT_EQ(counter.count(MSG_TASKS_HEADER_SHOW_TASKS), 1);
    EXPECT_EQ(header()->tasksTab->state, nG_InterfButton::kDisabled) << "the tab shown is the disabled one";
    EXPECT_EQ(header()->inventoryTab->state, nG_InterfButton::kNormal);
    bool active = false;
    post<MSG_TASKS_ACTIVE>(&active);
    EXPECT_TRUE(active);

    // A room without tasks: the list slides down and the inventory comes back.
    lua("SwitchRoom('room_b', 0)");
    frames(0.5f);
    EXPECT_EQ(tasks()->mode, nG_Tasks::kHidden);
    EXPECT_TRUE(tasks()->visible) << "still sliding";
    frames(1);
    EXPECT_FALSE(tasks()->visible);
    EXPECT_FALSE(header()->visible);
    EXPECT_EQ(counter.count(MSG_INV_RETURN), 1);
    frames(1);
    EXPECT_EQ(inventory()->mode, nG_Inventory::kSlidingOut);
    EXPECT_TRUE(inventory()->visible);
    EXPECT_FLOAT_EQ(inventory()->localState().y, 797);
    post<MSG_TASKS_ACTIVE>(&active);
    EXPECT_FALSE(active);

    // Back in the room with its open tasks, and then straight into a sub-room with tasks of its own.
    lua("AddTask('task_c', 1, 'sub_c'); SwitchRoom('room_a', 0)");
    untilShown();
    EXPECT_TRUE(task("room_a", 0)->visible);
    lua("OpenSubRoom('sub_c', 0, 0, 0, 0)");
    frames(1);
    EXPECT_EQ(tasks()->mode, nG_Tasks::kShown);
    EXPECT_TRUE(task("sub_c", 0)->visible) << "the lines of the room shown";
    EXPECT_FALSE(task("room_a", 0)->visible);
    lua("AddTask('task_d', 1, 'sub_c')");
    EXPECT_TRUE(task("sub_c", 1)->visible) << "a task added to the list on show appears at once";

    // The last task of the room: the list goes down and the finished group is dropped at the bottom.
    lua("CompleteTask('task_c'); CompleteTask('task_d')");
    EXPECT_EQ(tasks()->mode, nG_Tasks::kHidden);
    frames(2);
    EXPECT_EQ(tasks()->groups.count("sub_c"), 0u);
    EXPECT_EQ(object("task_c"), nullptr);
    EXPECT_EQ(tasks()->groups.count("room_a"), 1u);
}

TEST_F(TasksTest, TheTabsSwitchTheStripAndTheInventoryTabBlinks) {
    lua("AddTask('task_watch', 1, 'room_a')");
    untilShown();
    header()->showInventory();
    EXPECT_EQ(header()->inventoryTab->state, nG_InterfButton::kDisabled);
    EXPECT_EQ(header()->tasksTab->state, nG_InterfButton::kNormal);
    EXPECT_TRUE(inventory()->visible && inventory()->input);
    EXPECT_FLOAT_EQ(inventory()->localState().z, 3);
    EXPECT_FALSE(tasks()->visible);
    EXPECT_FLOAT_EQ(tasks()->localState().z, 2);

    // A click on the tasks tab brings the list back.
    press(512 + 99, header()->localState().y - 1);
    EXPECT_EQ(header()->tasksTab->state, nG_InterfButton::kDisabled);
    EXPECT_TRUE(tasks()->visible);
    EXPECT_FALSE(inventory()->visible || inventory()->input);

    lua("HighlightInv()");
    EXPECT_FLOAT_EQ(header()->inventoryTab->localState().alpha, 1);
    frames(0.25f);
    EXPECT_NEAR(header()->highlight->localState().alpha, 1, 0.01f);
    frames(0.25f);
    EXPECT_NEAR(header()->highlight->localState().alpha, 0, 0.01f);
    frames(1.25f);
    EXPECT_NEAR(header()->highlight->localState().alpha, 0, 0.01f) << "three blinks in 1.5 s";
    EXPECT_TRUE(header()->highlight->animLines.empty());
    EXPECT_EQ(header()->highlight->localState().blendMode, 2);
}

TEST_F(TasksTest, OtherWidgetsAskWhereALineIsAndWhetherAnObjectIsAReward) {
    lua("AddTask('task_watch', 1, 'room_b'); AddTask('task_screw', 1, 'room_b');"
        "SetTasksCompleteData('room_b', 'b_thing', 'inv_a', 'done', 'closed')");
    nG_TaskPositionQuery where;
    where.textId = "task_screw";
    post<MSG_TASK_POSITION>(&where);
    EXPECT_TRUE(where.found);
    EXPECT_FLOAT_EQ(where.x, 512 - 90);
    EXPECT_FLOAT_EQ(where.y, tasks()->localState().y - 10);
    nG_TaskPositionQuery nowhere;
    nowhere.textId = "task_none";
    post<MSG_TASK_POSITION>(&nowhere);
    EXPECT_FALSE(nowhere.found);
    EXPECT_FLOAT_EQ(nowhere.x, 0);

    // Fourteen lines keep to three rows: the list narrows its columns rather than run off the screen.
    for (int i = 0; i < 12; ++i) lua("AddTask('task_more_" + std::to_string(i) + "', 1, 'room_b')");
    float lowest = 0;
    for (nG_Task* line : tasks()->groups.at("room_b").tasks) lowest = std::max(lowest, line->localState().y);
    EXPECT_FLOAT_EQ(lowest, 2 * nG_Tasks::kRowHeight - 10);
    EXPECT_FLOAT_EQ(task("room_b", 1)->localState().x, -144);

    nG_TaskDialogObjectQuery reward{"b_thing"};
    post<MSG_TASK_IS_DIALOG_OBJECT>(&reward);
    EXPECT_TRUE(reward.keep);
    nG_TaskDialogObjectQuery other{"a_door"};
    post<MSG_TASK_IS_DIALOG_OBJECT>(&other);
    EXPECT_FALSE(other.keep);
}

TEST_F(TasksTest, TheSavedListComesBackElementForElement) {
    lua("AddTask('task_screw', 3, 'room_b'); AddTask('task_watch', 1, 'room_b', 1); AddTask('task_x', 1, "
        "'sub_c');"
        "SetTasksCompleteData('room_b', 'b_thing', 'inv_a', 'done(b)', 'closed');"
        "SetTasksCompleteData('sub_c', '', '', 'done(c)', '');"
        "CompleteTask('task_screw'); CompleteTask('task_watch')");
    const std::string saved = dump();
    EXPECT_EQ(saved,
              "<tasks><list>"
              "<task id=\"task_screw\" count=\"2\" completed=\"0\" marked=\"0\" room=\"room_b\"/>"
              "<task id=\"task_watch\" count=\"1\" completed=\"1\" marked=\"1\" room=\"room_b\"/>"
              "<task id=\"task_x\" count=\"1\" completed=\"0\" marked=\"0\" room=\"sub_c\"/>"
              "</list><completedata>"
              "<data room=\"room_b\" dialog_obj_name=\"b_thing\" inv_obj_name=\"inv_a\" "
              "complete_trigger=\"done(b)\" dialog_close_trigger=\"closed\"/>"
              "<data room=\"sub_c\" dialog_obj_name=\"\" inv_obj_name=\"\" complete_trigger=\"done(c)\" "
              "dialog_close_trigger=\"\"/>"
              "</completedata></tasks>");

    tinyxml2::XMLDocument doc;
    doc.Parse(("<interface>" + saved + "</interface>").c_str());
    tasks()->restoreState(doc.RootElement());
    EXPECT_EQ(dump(), saved);
    EXPECT_EQ(task("room_b", 0)->displayedString(), "Brass screw x 2");
    EXPECT_FLOAT_EQ(task("room_b", 1)->localState().red, 0.4f) << "done lines come back grey";

    // A finished room is not saved, nor is its record.
    lua("CompleteTask('task_x')");
    EXPECT_EQ(dump().find("sub_c"), std::string::npos);
}

TEST_F(TasksTest, BadRequestsAreReportedAndNothingIsStuck) {
    lua("AddTask('task_lost', 1, 'room_nowhere')");
    EXPECT_TRUE(logged("nG_Tasks: the task \"task_lost\" is for \"room_nowhere\", which is no room"));
    lua("CompleteTask('task_unknown')");
    EXPECT_TRUE(logged("nG_Tasks: no task \"task_unknown\" to complete"));
    lua("AddTask()");
    EXPECT_TRUE(logged("nG_Tasks: a task without a name is not added"));
    // A task without a count is done once; it cannot be left open for ever.
    lua("AddTask('task_once', nil, 'room_b'); SetTasksCompleteData('room_b', '', '', 'done', '')");
    EXPECT_EQ(task("room_b", 0)->count, 1);
    lua("CompleteTask('task_once')");
    tick(0);
    EXPECT_EQ(eval("done"), "1");
    EXPECT_FALSE(logged("no task \"\""));
    lua("CompleteTask('')");
    EXPECT_FALSE(logged("no task \"\"")) << "an empty task, as a collector's, is quietly nothing";
}

}  // namespace
