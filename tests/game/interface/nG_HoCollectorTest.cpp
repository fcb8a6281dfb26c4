// The hidden-object collector and its reward dialog: flights and their timing, the kept reward object,
// the dialog's texts, blur and hand-over, the saved states, and collections that must not count twice.
#include "tests/game/interface/HoWidgetTestSupport.h"

using HoCollectorTest = howidgettest::HoWidgetsTest;

TEST_F(HoCollectorTest, AFoundObjectFliesToItsLineThenItsTaskIsDoneOnce) {
    listen({MSG_TASKS_HEADER_SHOW_TASKS, MSG_TASK_COMPLETE});
    lua("AddTask('task_watch', 1, 'room_a'); AddTask('task_screw', 2, 'room_a')");
    nE_Object* door = object("a_door");
    nG_TaskPositionQuery line{"task_watch"};
    post<MSG_TASK_POSITION>(&line);

    lua("CollectHoObject('a_door', 'task_watch')");
    ASSERT_EQ(collector()->flights.size(), 1u);
    const nG_HoCollector::Flight& f = collector()->flights[0];
    EXPECT_EQ(door->parent, collector());
    EXPECT_FALSE(door->input);
    EXPECT_EQ(counter.count(MSG_TASKS_HEADER_SHOW_TASKS), 1);
    EXPECT_FLOAT_EQ(f.x0, 300);
    EXPECT_FLOAT_EQ(f.y0, 300);
    EXPECT_FLOAT_EQ(f.peakScale, 1.4f);
    EXPECT_FLOAT_EQ(f.endScale, 1.f) << "100 wide: min(130 / 100, 1)";
    EXPECT_FALSE(f.keep);
    // A far line takes longer: one more second per 1000 pixels.
    const float distance = std::hypot(line.x - 300, line.y - 300);
    EXPECT_NEAR(f.duration, distance / 1000 + 0.9f, 1e-4f);
    ASSERT_NE(f.trail, nullptr);
    EXPECT_EQ(f.trail->name, "ng_ho_collector_fly_particles_task_watch");
    EXPECT_EQ(f.trail->localState().blendMode, 2);
    const float duration = f.duration;

    // Collected again while it flies, or a task the list does not have: nothing more happens.
    lua("CollectHoObject('a_door', 'task_watch'); CollectHoObject('a_far', 'task_none')");
    EXPECT_EQ(collector()->flights.size(), 1u);
    EXPECT_EQ(object("a_far")->parent, room("room_a"));
    EXPECT_TRUE(object("a_far")->input);

    frames(0.25f);
    EXPECT_GT(door->localState().scaleX, 1.f) << "it grows at the start";
    frames(duration - 0.25f + 0.25f);
    EXPECT_FALSE(task("task_watch")->completed) << "still shrinking on its line";
    EXPECT_NEAR(door->localState().x, line.x, 0.01f);
    frames(0.1f);
    EXPECT_TRUE(task("task_watch")->completed);
    EXPECT_TRUE(collector()->flights.empty());
    EXPECT_EQ(counter.count(MSG_TASK_COMPLETE), 1);
    tick(0);
    EXPECT_EQ(object("a_door"), nullptr) << "an object that is no reward goes";
    EXPECT_EQ(object("ng_ho_collector_fly_particles_task_watch"), nullptr);
    lua("CollectHoObject('a_door', 'task_watch')");
    EXPECT_EQ(counter.count(MSG_TASK_COMPLETE), 1) << "collected already";

    // Two at once fly apart and complete in the order they arrive; without a task an object shrinks
    // where it stands.
    lua("CollectHoObject('a_far', 'task_screw'); CollectHoObject('b_thing', '')");
    ASSERT_EQ(collector()->flights.size(), 2u);
    EXPECT_FLOAT_EQ(collector()->flights[1].duration, 0);
    frames(0.3125f);
    EXPECT_EQ(collector()->flights.size(), 1u) << "the one without a task is done first";
    EXPECT_EQ(task("task_screw")->count, 2);
    frames(2);
    EXPECT_EQ(task("task_screw")->count, 1);
    EXPECT_FALSE(task("task_screw")->completed);
}

TEST_F(HoCollectorTest, TheLastTaskShowsTheKeptRewardWhichGoesToTheInventoryOnClose) {
    listen({MSG_BLUR, MSG_INV_ADD});
    lua("AddTask('task_watch', 1, 'room_a');"
        "SetTasksCompleteData('room_a', 'a_far', 'inv_a', 'done', 'closed')");
    lua("CollectHoObject('a_far', 'task_watch')");
    ASSERT_EQ(collector()->flights.size(), 1u);
    EXPECT_TRUE(collector()->flights[0].keep) << "the room's reward object";
    EXPECT_EQ(collector()->keptParent, "room_a");
    frames(3);
    EXPECT_TRUE(queuedCall("ng_tasks: done"));
    nE_Object* far = object("a_far");
    ASSERT_EQ(far->parent, dialog()) << "back under its room, then taken by the dialog";
    EXPECT_FLOAT_EQ(far->localState().x, 0);
    EXPECT_FLOAT_EQ(far->localState().y, -42);
    EXPECT_FLOAT_EQ(far->localState().scaleX, 1);
    EXPECT_FLOAT_EQ(far->localState().alpha, 1);
    EXPECT_EQ(dialog()->state, nG_HoDialog::kShown);
    EXPECT_EQ(counter.count(MSG_BLUR), 1);
    EXPECT_FLOAT_EQ(dialog()->fade, 1) << "faded in after half a second";
    for (nE_Text* text : {dialog()->title, dialog()->text}) {
        const std::string key = text->text;
        const std::string base = text == dialog()->title ? "ho_dialog_title_" : "ho_dialog_text_";
        ASSERT_EQ(key.rfind(base, 0), 0u) << key;
        const int n = std::stoi(key.substr(base.size()));
        EXPECT_TRUE(n >= 1 && n <= 10) << key;
    }

    // Modal: a press beside the box closes it once it is fully shown; a second close does nothing.
    press(40, 40);
    EXPECT_EQ(dialog()->state, nG_HoDialog::kHidden);
    EXPECT_TRUE(queuedCall("ng_ho_dialog: closed"));
    EXPECT_EQ(counter.count(MSG_INV_ADD), 1);
    EXPECT_EQ(counter.count(MSG_BLUR), 2);
    EXPECT_EQ(dialog()->shown, nullptr);
    dialog()->close();
    EXPECT_EQ(counter.count(MSG_INV_ADD), 1);
    frames(1);
    ASSERT_EQ(inventory()->items.size(), 1u);
    EXPECT_EQ(inventory()->items[0].object->name, "inv_a");
    EXPECT_FALSE(dialog()->visible || dialog()->input);
}

TEST_F(HoCollectorTest, WithoutACloseTriggerTheDialogKeepsItsObjectAndGivesNothing) {
    listen({MSG_BLUR, MSG_INV_ADD});
    nG_HoDialogRequest request{"b_thing", "inv_b", ""};
    post<MSG_HO_DIALOG_SHOW>(&request);
    nG_HoDialogRequest unknown{"no_such_thing", "inv_b", "closed"};
    post<MSG_HO_DIALOG_SHOW>(&unknown);
    EXPECT_EQ(dialog()->shown, object("b_thing"));
    press(40, 40);
    EXPECT_EQ(dialog()->state, nG_HoDialog::kShown) << "not fully shown yet";
    frames(0.5f);
    dialog()->okButton->onClick(dialog());
    EXPECT_EQ(dialog()->state, nG_HoDialog::kHidden);
    EXPECT_EQ(counter.count(MSG_INV_ADD), 0);
    EXPECT_EQ(counter.count(MSG_BLUR), 2);
    EXPECT_EQ(object("b_thing")->parent, dialog()) << "hidden with the dialog";
    frames(0.6f);
    EXPECT_FALSE(dialog()->visible);
    EXPECT_TRUE(queued.empty());
}

TEST_F(HoCollectorTest, AnObjectAScriptTakesAwayInFlightOrFromTheDialogBreaksNothing) {
    listen({MSG_INV_ADD});
    lua("AddTask('task_watch', 1, 'room_a'); CollectHoObject('a_door', 'task_watch')");
    frames(0.25f);
    lua("ObjDelete('a_door')");
    frames(0.125f);
    EXPECT_TRUE(collector()->flights.empty());
    EXPECT_TRUE(task("task_watch")->completed) << "it was found all the same";

    nG_HoDialogRequest request{"b_thing", "inv_b", "closed"};
    post<MSG_HO_DIALOG_SHOW>(&request);
    frames(0.5f);
    lua("ObjDelete('b_thing')");
    tick(0);
    press(40, 40);
    EXPECT_EQ(dialog()->state, nG_HoDialog::kHidden);
    EXPECT_EQ(counter.count(MSG_INV_ADD), 1) << "the item is still handed over";
}

TEST_F(HoCollectorTest, AGameSavedMidFlightOrWithTheDialogOpenComesBack) {
    lua("AddTask('task_watch', 1, 'room_a'); AddTask('task_screw', 1, 'room_a');"
        "SetTasksCompleteData('room_a', 'a_far', 'inv_a', 'done', 'closed')");
    lua("CollectHoObject('a_far', 'task_watch'); CollectHoObject('a_door', 'task_screw')");
    frames(0.25f);
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* saved = doc.NewElement("interface");
    doc.InsertEndChild(saved);
    saved->InsertEndChild(collector()->dumpState(doc));
    const std::string text = print(saved->FirstChildElement("ho_collector"));
    EXPECT_NE(
        text.find("<tasks><task_watch/><task_screw/></tasks><objects parent=\"room_a\"><spr name=\"a_far\""),
        std::string::npos)
        << text;
    EXPECT_EQ(text.find("a_door"), std::string::npos) << "only kept objects are saved";

    // Continued: the flights are not flown again, but their tasks are done and the kept object waits
    // under its parent, off the screen.
    endGame();
    ng = startGame();
    startLevel();
    lua("AddTask('task_watch', 1, 'room_a'); AddTask('task_screw', 1, 'room_a')");
    scene().findObject("a_far")->name = "a_far_old";
    collector()->restoreState(saved);
    EXPECT_TRUE(task("task_watch")->completed && task("task_screw")->completed);
    nE_Object* far = nullptr;
    for (nE_Object* child : room("room_a")->children)
        if (child->name == "a_far") far = child;
    ASSERT_NE(far, nullptr);
    EXPECT_FLOAT_EQ(far->localState().x, 10000);
    EXPECT_TRUE(collector()->flights.empty());

    // The dialog saved while it shows its object shows it again.
    nG_HoDialogRequest request{"b_thing", "inv_b", "closed"};
    post<MSG_HO_DIALOG_SHOW>(&request);
    tinyxml2::XMLElement* shown = dialog()->dumpState(doc);
    EXPECT_STREQ(shown->Attribute("inv_obj_name"), "inv_b");
    EXPECT_STREQ(shown->Attribute("close_trigger"), "closed");
    tinyxml2::XMLElement* parent = doc.NewElement("interface");
    parent->InsertEndChild(shown);
    endGame();
    ng = startGame();
    startLevel();
    dialog()->restoreState(parent);
    ASSERT_NE(dialog()->shown, nullptr);
    EXPECT_EQ(dialog()->shown->name, "b_thing");
    EXPECT_EQ(dialog()->closeTrigger, "closed");
    EXPECT_EQ(dialog()->state, nG_HoDialog::kShown);
    tinyxml2::XMLElement* hidden = doc.NewElement("interface");
    hidden->InsertEndChild(doc.NewElement("ho_dialog"));
    dialog()->restoreState(hidden);
    EXPECT_EQ(dialog()->shown, nullptr) << "a saved empty dialog drops what it showed";
}
