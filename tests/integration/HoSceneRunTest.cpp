// The workbench's hidden-object scene played through the menu: the hint points at one of its objects
// and a second press while it recharges changes nothing; every object is found; the game is left with
// the reward dialog open and continued, the dialog comes back, and its oil can reaches the inventory on
// the way back to the workshop. Reference screenshots of the hint and of the continued dialog.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "tests/integration/HalvernRun.h"
#include "tests/integration/Walk.h"

using halverntest::expectLooksLike;
using halverntest::runHalvern;
using halverntest::TempDir;
using halverntest::Walk;

namespace {

const std::string kGame = HALVERN_SOURCE_DIR;

// A new game for Wren (tips declined), through the gate and the hall into the workshop, and the bench;
// on the way, when asked, the cabinet's close-up in the hall is opened and closed with Escape.
Walk toTheBench(bool cabinet = false) {
    Walk walk;
    walk.at(20).click(512, 600).at(40).key(27).at(100).click(250, 472).at(120).type("Wren").at(130).key(13);
    walk.at(150).click(703, 436).at(170).click(250, 340).at(420).click(282, 300).at(440);
    walk.wait(60).click(220, 496).wait(30).click(212, 573).wait(120);  // the urn moves, the key flies in
    walk.carry(0, 514, 408).press(514, 408).wait(30).click(514, 426).wait(70);  // the gate opens: the hall
    if (cabinet) walk.click(263, 378).wait(60).key(27).wait(60);
    return walk.click(96, 479).wait(70).click(450, 494).wait(70);  // the workshop, its bench
}

const int kHint[] = {984, 680};

// The hint is pressed (at pressedAt), and pressed again while it recharges.
Walk hinted(int* pressedAt = nullptr) {
    Walk walk = toTheBench();
    walk.move(980, 700).wait(5);
    if (pressedAt) *pressedAt = walk.tick;
    return walk.click(kHint[0], kHint[1]).wait(20).click(kHint[0], kHint[1]).wait(20);
}

// One opaque point of each object on the list that the fixed run draws: fourteen tasks of the pool,
// the screws three.
const int kObjects[][2] = {{624, 311}, {351, 495}, {757, 435}, {182, 281}, {904, 522}, {583, 498},
                           {401, 602}, {954, 173}, {154, 373}, {333, 319}, {961, 305}, {280, 510},
                           {868, 229}, {628, 590}, {370, 225}, {894, 458}};
const int kMenuButton[] = {44, 752};

halverntest::RunResult play(const TempDir& user, const Walk& walk, int frames, const std::string& shot = "") {
    std::vector<std::string> args = {"--headless", "--fixed-step", "--frames",   std::to_string(frames),
                                     "--game-dir", kGame,          "--user-dir", user.path};
    user.write("input.txt", walk.text);
    args.push_back("--input");
    args.push_back(user.file("input.txt"));
    if (!shot.empty()) {
        args.push_back("--screenshot");
        args.push_back(shot);
    }
    return runHalvern(args);
}

void expectClean(const halverntest::RunResult& run) {
    for (const char* fault :
         {"Trigger error", "Could not find", "nG_HoCollector:", "nG_Inventory:", "nG_Tasks:"})
        EXPECT_EQ(run.output.find(fault), std::string::npos) << fault << "\n" << run.output;
}

// The continue button of the menu, then time for the game to come up.
Walk continued() {
    Walk walk;
    walk.at(20).click(512, 600).at(40).key(27).at(100).click(250, 408).wait(150);
    return walk;
}

}  // namespace

TEST(HoSceneRun, TheHintPointsAtAnObjectOfTheBenchAndIgnoresAPressWhileItRecharges) {
    TempDir user;
    const Walk walk = hinted();
    const std::string shot = user.file("ho_hint.png");
    const auto run = play(user, walk, walk.tick, shot);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    expectClean(run);
    expectLooksLike(shot, "ho_hint");
}

TEST(HoSceneRun, EveryObjectIsFoundAndTheRewardSurvivesAContinueIntoTheInventory) {
    TempDir user;
    int hintTick = 0;
    Walk walk = hinted(&hintTick);
    for (const auto& point : kObjects) walk.click(point[0], point[1]).wait(22);
    walk.wait(250);
    const int leaveTick = walk.tick;
    walk.click(kMenuButton[0], kMenuButton[1]).wait(40);  // left with the dialog open
    const auto run = play(user, walk, walk.tick);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    expectClean(run);
    const std::string saved = halverntest::firstSlot(user.read("p_Wren.xml"));
    ASSERT_FALSE(saved.empty());
    EXPECT_NE(saved.find("<el_bench_done valtype=\"1\" val=\"1\"/>"), std::string::npos)
        << "the list's trigger";
    EXPECT_NE(saved.find("<el_hinted valtype=\"3\"><el_room_bench"), std::string::npos);
    EXPECT_NE(saved.find("<tasks><list/><completedata/></tasks>"), std::string::npos) << "the list is done";
    EXPECT_NE(saved.find("<ho_collector><tasks/><objects/></ho_collector>"), std::string::npos);
    EXPECT_NE(saved.find("<ho_dialog inv_obj_name=\"inv_oilcan\" close_trigger=\"bench_reward_closed\">"
                         "<spr name=\"bench_oilcan\""),
              std::string::npos)
        << saved;
    // The recharge runs from the first press: the second one, while it recharged, did not restart it.
    const std::string hint = "<hint state=\"1\" state_timer=\"";
    const size_t at = saved.find(hint);
    ASSERT_NE(at, std::string::npos);
    const double timer = std::atof(saved.c_str() + at + hint.size());
    EXPECT_NEAR(timer, (leaveTick - hintTick) / 60.0, 0.1);
    for (const char* found : {"ho_bench_watch", "ho_bench_screw_3", "ho_bench_teaspoon"})
        EXPECT_EQ(saved.find(found), std::string::npos) << found << " was found and is gone";
    EXPECT_NE(saved.find("<spr name=\"ho_bench_quill\""), std::string::npos)
        << "not drawn: it stays as clutter";

    // Continued: the dialog is open again over the blurred bench.
    const Walk again = continued();
    const std::string shot = user.file("ho_reward.png");
    const auto back = play(user, again, again.tick, shot);
    ASSERT_EQ(back.exitCode, 0) << back.output;
    expectClean(back);
    expectLooksLike(shot, "ho_reward");

    // Continued again: Escape, like "Take it", gives the oil can and returns to the workshop.
    Walk take = continued();
    take.key(27).wait(150).click(kMenuButton[0], kMenuButton[1]).wait(40);
    const auto taken = play(user, take, take.tick);
    ASSERT_EQ(taken.exitCode, 0) << taken.output;
    expectClean(taken);
    const std::string last = halverntest::firstSlot(user.read("p_Wren.xml"));
    EXPECT_NE(last.find("<inventory><spr name=\"inv_oilcan\""), std::string::npos) << last;
    EXPECT_NE(last.find("<ho_dialog/>"), std::string::npos);
    EXPECT_NE(last.find("<current_room><room name=\"room_workshop\""), std::string::npos);
}

TEST(HoSceneRun, EscapeClosesACloseUpAMissStaysTheHintPlateHintsAndBackLeaves) {
    TempDir user;
    Walk walk = toTheBench(true);
    walk.click(300, 590).wait(90);                         // where an invisible strip once led out
    walk.move(967, 612).wait(5).click(967, 612).wait(30);  // the "Hint" plate
    walk.click(kMenuButton[0], kMenuButton[1]).wait(40);
    const auto run = play(user, walk, walk.tick);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    expectClean(run);
    const std::string saved = halverntest::firstSlot(user.read("p_Wren.xml"));
    EXPECT_NE(saved.find("<current_room><room name=\"room_bench\""), std::string::npos) << saved;
    EXPECT_NE(saved.find("<hint state=\"1\""), std::string::npos) << "the plate pressed the hint";

    Walk back = continued();
    back.move(100, 566).wait(5).click(100, 566).wait(90).click(kMenuButton[0], kMenuButton[1]).wait(40);
    const auto left = play(user, back, back.tick);
    ASSERT_EQ(left.exitCode, 0) << left.output;
    EXPECT_NE(
        halverntest::firstSlot(user.read("p_Wren.xml")).find("<current_room><room name=\"room_workshop\""),
        std::string::npos);
}

namespace {

// The bench's drawn list as the save keeps it: the task keys in ng_var.ho_lists.room_bench.
std::string drawnList(const std::string& saved) {
    const size_t from = saved.find("<el_room_bench valtype=\"3\">");
    if (from == std::string::npos) return "";
    const std::string list = saved.substr(from, saved.find("</el_room_bench>", from) - from);
    std::string keys;
    const std::regex key("val=\"(task_bench_\\w+)\"");
    for (std::sregex_iterator it(list.begin(), list.end(), key), end; it != end; ++it)
        keys += (*it)[1].str() + " ";
    return keys;
}

}  // namespace

TEST(HoSceneRun, AnotherSeedDrawsAnotherListWhichTheSaveKeeps) {
    const auto playSeeded = [](const TempDir& user, const Walk& walk, const std::string& seed) {
        user.write("input.txt", walk.text);
        return runHalvern({"--headless", "--fixed-step", "--frames", std::to_string(walk.tick), "--game-dir",
                           kGame, "--user-dir", user.path, "--input", user.file("input.txt"), "--seed",
                           seed});
    };
    std::string lists[2];
    for (int i = 0; i < 2; ++i) {
        TempDir user;
        Walk walk = toTheBench();
        walk.click(kMenuButton[0], kMenuButton[1]).wait(40);
        const auto run = playSeeded(user, walk, i == 0 ? "1" : "2");
        ASSERT_EQ(run.exitCode, 0) << run.output;
        expectClean(run);
        const std::string saved = halverntest::firstSlot(user.read("p_Wren.xml"));
        lists[i] = drawnList(saved);
        EXPECT_EQ(std::count(lists[i].begin(), lists[i].end(), ' '), 14) << lists[i];
        if (i == 0) continue;
        EXPECT_NE(saved.find("<el_ho_seed valtype=\"0\" val=\"2\"/>"), std::string::npos);
        // Seed 2 leaves the pliers out: a click on them finds nothing, and Continue keeps the same list.
        ASSERT_EQ(lists[1].find("task_bench_pliers "), std::string::npos) << lists[1];
        Walk again = continued();
        again.click(904, 522).wait(40).click(kMenuButton[0], kMenuButton[1]).wait(40);
        const auto back = playSeeded(user, again, "7");
        ASSERT_EQ(back.exitCode, 0) << back.output;
        const std::string resaved = halverntest::firstSlot(user.read("p_Wren.xml"));
        EXPECT_EQ(drawnList(resaved), lists[1]);
        EXPECT_NE(resaved.find("<spr name=\"ho_bench_pliers\""), std::string::npos) << "not drawn: not found";
    }
    EXPECT_NE(lists[0], lists[1]);
}
