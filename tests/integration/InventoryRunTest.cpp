// The inventory and the task lists in whole runs. A small level made by the test picks an item up,
// drops it on a wrong object (it flies back) and on the right one (its trigger runs), and completes a
// task list whose completion trigger runs once. The bundled game is played through the menu: the gate
// key flies in, is dropped beside the gate and then on it; the desk's task list comes up in the library;
// the game is left half-way through the list and continued, saving the same slot again, and the list is
// finished. Reference screenshots of the moments that matter are compared with a tolerance.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/integration/HalvernRun.h"
#include "tests/integration/Walk.h"

using halverntest::count;
using halverntest::expectLooksLike;
using halverntest::runHalvern;
using halverntest::TempDir;
using halverntest::Walk;

namespace {

const std::string kGame = HALVERN_SOURCE_DIR;

halverntest::RunResult play(const std::string& gameDir, const TempDir& user, const std::string& input,
                            int frames, const std::string& screenshot = "",
                            const std::vector<std::string>& extra = {}) {
    std::vector<std::string> args = {"--headless", "--fixed-step", "--frames",   std::to_string(frames),
                                     "--game-dir", gameDir,        "--user-dir", user.path};
    args.insert(args.end(), extra.begin(), extra.end());
    user.write("input.txt", input);
    args.push_back("--input");
    args.push_back(user.file("input.txt"));
    if (!screenshot.empty()) {
        args.push_back("--screenshot");
        args.push_back(screenshot);
    }
    return runHalvern(args);
}

std::string slot(const std::string& profile, int index) {
    const std::string open = "<save_" + std::to_string(index) + ">";
    const std::string close = "</save_" + std::to_string(index) + ">";
    const size_t from = profile.find(open), to = profile.find(close);
    if (from == std::string::npos || to == std::string::npos) return "";
    return profile.substr(from, to + close.size() - from);
}

void expectClean(const halverntest::RunResult& run) {
    EXPECT_EQ(run.output.find("Trigger error"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("Could not find"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("nG_Inventory:"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("nG_Tasks:"), std::string::npos) << run.output;
}

// A level of one room: a key to pick up, a lock it opens, a stone it does not, a button that gives a
// task list of two tasks (the second twice), and the things that complete them. Every trigger says what
// happened in the debug output.
const char* const kLevel = R"xml(<module name="level"/>
<objs><obj name="level_root">
  <obj name="objects_hub"/>
  <obj name="inventory_hub">
    <spr name="inv_key" res="assets/levels/level/items/key" drag="1" event_dragdrop="use_key"/>
  </obj>
  <room name="room_test" res="assets/levels/level/gate/back" drawoff_x="512" drawoff_y="384" inputrect_init="1"
        inputrect_x="0" inputrect_y="0" inputrect_w="1024" inputrect_h="768">
    <spr name="t_key" res="assets/levels/level/gate/key" pos_x="200" pos_y="450" event_mdown="take"/>
    <spr name="t_lock" res="assets/levels/level/cabinet/doors_closed" pos_x="750" pos_y="300" scale_x="0.5"
         scale_y="0.5"/>
    <spr name="t_stone" res="assets/levels/level/gate/urn" pos_x="400" pos_y="250"/>
    <spr name="t_tasks" res="assets/levels/level/hall/clock" pos_x="100" pos_y="250" event_mdown="give_tasks"/>
    <spr name="t_a" res="assets/levels/level/desk/page" pos_x="300" pos_y="450" event_mdown="find(task_a)"/>
    <spr name="t_b" res="assets/levels/level/desk/smallkey" pos_x="500" pos_y="450" event_mdown="find(task_b)"/>
  </room>
</obj></objs>
<trigs>
  <trig name="ng_function"><code>HideInterface(0, 0); SetInterfaceInputEnable(1)</code></trig>
  <trig name="ng_startlevel"><code>ObjAttach("room_test", "ng_rooms_hub"); SwitchRoom("room_test", 0)</code></trig>
  <trig name="take"><code>AddObjectToInv("inv_key", "t_key", "taken")</code></trig>
  <trig name="taken"><code>DbgTrace("test: the key is in the inventory")</code></trig>
  <trig name="use_key"><code>if ApplyObj("inv_key", "t_lock") then DelObjectFromInv("inv_key");
    DbgTrace("test: the key opened the lock") else DbgTrace("test: the key was dropped elsewhere") end</code></trig>
  <trig name="give_tasks"><code>AddTask("task_a", 1, "room_test"); AddTask("task_b", 2, "room_test", 1);
    SetTasksCompleteData("room_test", "", "", "tasks_done(room_test)", "")</code></trig>
  <trig name="find"><code>CompleteTask(ne_params.param_0); DbgTrace("test: found " .. ne_params.param_0)</code></trig>
  <trig name="tasks_done"><code>DbgTrace("test: the task list of " .. ne_params.param_0 .. " is complete, said " .. ne_params.sender)</code></trig>
</trigs>)xml";

}  // namespace

TEST(InventoryRun, AnItemComesBackFromAWrongObjectOpensTheRightOneAndATaskListCompletesOnce) {
    TempDir game;
    // The bundled game's pictures, fonts, sounds and strings; the test's own level.
    for (const char* part :
         {"interface", "fonts", "cursors", "audio", "diary", "menu", "strings.xml", "publisher_settings.xml"})
        std::system(("mkdir -p '" + game.file("assets/levels/level") + "' && ln -s '" + kGame + "/assets/" +
                     part + "' '" + game.file(std::string("assets/") + part) + "'")
                        .c_str());
    for (const char* room : {"items", "gate", "cabinet", "hall", "desk", "common"})
        std::system(("ln -s '" + kGame + "/assets/levels/level/" + room + "' '" +
                     game.file(std::string("assets/levels/level/") + room) + "'")
                        .c_str());
    game.write("assets/levels/level/level.xml", kLevel);

    Walk walk(30);
    walk.click(200, 450).wait(150);                          // the key flies in
    walk.carry(0, 400, 250).drop(400, 250).wait(80);         // onto the stone: back it comes
    walk.carry(0, 750, 300).drop(750, 300).wait(40);         // onto the lock
    walk.click(100, 250).wait(160);                          // the task list comes up
    walk.click(300, 450).wait(20).click(500, 450).wait(20);  // task_a, task_b once
    walk.click(500, 450).wait(20).click(500, 450).wait(20);  // task_b's second: complete; and once more
    walk.click(300, 450).wait(200);                          // task_a again
    TempDir user;
    const std::string shot = user.file("tasks.png");
    const auto run = play(game.path, user, walk.text, walk.tick, shot, {"-e"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::string& out = run.output;
    EXPECT_EQ(count(out, "test: the key is in the inventory"), 1) << out;
    EXPECT_EQ(count(out, "test: the key was dropped elsewhere"), 1) << out;
    EXPECT_EQ(count(out, "test: the key opened the lock"), 1) << out;
    EXPECT_LT(out.find("dropped elsewhere"), out.find("opened the lock")) << "it came back to be used again";
    EXPECT_EQ(count(out, "test: found task_b"), 3);
    EXPECT_EQ(count(out, "test: the task list of room_test is complete, said ng_tasks"), 1) << out;
    EXPECT_LT(out.find("is complete"), out.rfind("found task_b")) << "after the last open task";
    EXPECT_EQ(out.find("Trigger error"), std::string::npos) << out;
}

namespace {

// From the menu: a player named Wren, then a new game; the gate shows from tick 211 and asks about
// tips at 420: "no".
Walk newGame() {
    Walk walk;
    walk.at(20).click(512, 600).at(40).key(27).at(100).click(250, 472).at(120).type("Wren").at(130).key(13);
    return walk.at(150).click(703, 436).at(170).click(250, 340).at(420).click(282, 300).at(440);
}

// The gate: the urn moves, the key is taken (ends 40 ticks into its flight).
Walk toTheFlight() {
    return newGame().wait(60).click(220, 496).wait(30).click(212, 573).wait(40);
}
// Then the key is dropped beside the gate, on the lantern (ends while it flies back).
Walk toTheReturn() {
    return toTheFlight().wait(80).carry(0, 295, 150).drop(295, 150).wait(12);
}
// Then it is carried over the gate (ends before the drop, the gate glowing under it).
Walk toTheGate() {
    return toTheReturn().wait(60).carry(0, 514, 408);
}
// The gate opens; through the hall into the library, the desk opens with its task list; the drawer
// opens and the small key is taken into the inventory, which is hidden behind the list.
Walk toTheDesk() {
    return toTheGate()
        .drop(514, 408)
        .wait(30)
        .click(514, 426)
        .wait(70)
        .click(401, 402)
        .wait(70)
        .click(244, 500)
        .wait(150)
        .click(513, 462)
        .wait(25)
        .click(441, 469)
        .wait(150);
}

const int kMenuButton[] = {44, 752};

}  // namespace

TEST(InventoryRun, TheKeysFlightItsReturnAndTheDesksTaskListLookAsTheyShould) {
    struct Moment {
        Walk walk;
        const char* name;
    };
    for (const Moment& moment :
         {Moment{toTheFlight(), "inventory_flight"}, Moment{toTheReturn(), "inventory_return"},
          Moment{toTheGate(), "inventory_drag"}, Moment{toTheDesk(), "tasks_desk"}}) {
        TempDir user;
        const std::string shot = user.file(std::string(moment.name) + ".png");
        const auto run = play(kGame, user, moment.walk.text, moment.walk.tick, shot);
        ASSERT_EQ(run.exitCode, 0) << run.output;
        expectClean(run);
        expectLooksLike(shot, moment.name);
    }
}

TEST(InventoryRun, TheInventoryAndTheDesksTaskListSurviveLeavingAndContinuing) {
    TempDir user;
    Walk first = toTheDesk();
    first.click(kMenuButton[0], kMenuButton[1]).wait(40);
    const auto run = play(kGame, user, first.text, first.tick);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    expectClean(run);
    const std::string saved = slot(user.read("p_Wren.xml"), 0);
    ASSERT_FALSE(saved.empty()) << "leaving through the menu saved the game";
    EXPECT_NE(saved.find("<current_subroom><subroom name=\"sub_desk\""), std::string::npos);
    EXPECT_NE(saved.find("<inventory><spr name=\"inv_smallkey\""), std::string::npos) << saved;
    EXPECT_EQ(saved.find("<spr name=\"inv_key\""), std::string::npos) << "the gate key was used";
    EXPECT_NE(
        saved.find(
            "<task id=\"task_desk_drawer\" count=\"1\" completed=\"1\" marked=\"0\" room=\"sub_desk\"/>"
            "<task id=\"task_desk_smallkey\" count=\"1\" completed=\"1\" marked=\"0\" room=\"sub_desk\"/>"
            "<task id=\"task_desk_page\" count=\"1\" completed=\"0\" marked=\"0\" room=\"sub_desk\"/>"),
        std::string::npos);
    EXPECT_NE(saved.find("<data room=\"sub_desk\" dialog_obj_name=\"\" inv_obj_name=\"\" "
                         "complete_trigger=\"desk_done\" dialog_close_trigger=\"\"/>"),
              std::string::npos);

    // Continued: the desk with its list again; closed at once, the same slot is saved.
    Walk again;
    again.at(20).click(512, 600).at(40).key(27).at(100).click(250, 408);
    const std::string shot = user.file("continued.png");
    const auto continued = play(kGame, user, again.text, 400, shot);
    ASSERT_EQ(continued.exitCode, 0) << continued.output;
    expectClean(continued);
    EXPECT_EQ(halverntest::withoutPhase(slot(user.read("p_Wren.xml"), 0)), halverntest::withoutPhase(saved));
    expectLooksLike(shot, "tasks_continued");

    // Continued again, the page taken: the list is done, its trigger ran, and nothing of it is saved.
    again.wait(300).click(574, 463).wait(200);
    const auto finished = play(kGame, user, again.text, again.tick);
    ASSERT_EQ(finished.exitCode, 0) << finished.output;
    expectClean(finished);
    const std::string last = slot(user.read("p_Wren.xml"), 0);
    EXPECT_NE(last.find("<el_desk_cleared valtype=\"1\" val=\"1\"/>"), std::string::npos) << last;
    EXPECT_EQ(last.find("sub_desk\"/>"), std::string::npos) << "neither its tasks nor its record";
    EXPECT_NE(last.find("<tasks><list/><completedata/></tasks>"), std::string::npos);
    EXPECT_NE(last.find("<inventory><spr name=\"inv_smallkey\""), std::string::npos);
}
