// The potting bench's finds behind an action, played through the menu on the bundled game started in
// room_potting: a click where the tulip bulb lies inside the closed seed box finds nothing; the box and
// the seed drawer are opened and the game is left; continued, both stand open, and the bulb and the
// pocket watch in the drawer are found there.
#include <gtest/gtest.h>

#include <string>

#include "tests/integration/HalvernRun.h"
#include "tests/integration/Walk.h"

using halverntest::runHalvern;
using halverntest::TempDir;
using halverntest::Walk;

namespace {

const std::string kGame = HALVERN_SOURCE_DIR;

const int kBulb[] = {591, 405};  // above the closed box's lid: only the bench's boards until it opens
const int kBox[] = {593, 462};
const int kDrawer[] = {263, 559};
const int kWatch[] = {267, 521};  // in the open drawer
const int kMenuButton[] = {44, 752};

halverntest::RunResult play(const TempDir& game, const TempDir& user, const Walk& walk) {
    user.write("input.txt", walk.text);
    return runHalvern({"--headless", "--fixed-step", "--frames", std::to_string(walk.tick), "--game-dir",
                       game.path, "--user-dir", user.path, "--input", user.file("input.txt")});
}

std::string taskList(const std::string& saved) {
    const size_t from = saved.find("<tasks>"), to = saved.find("</tasks>");
    if (from == std::string::npos || to == std::string::npos) return "";
    return saved.substr(from, to - from);
}

// A line of the saved task list, done or not.
std::string task(const std::string& thing, int completed) {
    return "<task id=\"task_potting_" + thing + "\" count=\"1\" completed=\"" + std::to_string(completed) +
           "\"";
}

void expectClean(const halverntest::RunResult& run) {
    EXPECT_EQ(run.exitCode, 0) << run.output;
    for (const char* fault :
         {"Trigger error", "Could not find", "nG_HoCollector:", "nG_Tasks:", "Module error"})
        EXPECT_EQ(run.output.find(fault), std::string::npos) << fault << "\n" << run.output;
}

}  // namespace

TEST(PottingRun, AFindBehindAnActionIsFoundOnlyOnceOpenedAndTheOpenedThingsSurviveAContinue) {
    TempDir game, user;
    halverntest::bundledGameWithLevel(game,
                                      {{"level.first = \"room_gate\";", "level.first = \"room_potting\";"}});
    Walk walk;
    walk.newGame("Wren").wait(120);
    walk.click(kBulb[0], kBulb[1]).wait(60);  // the box is still closed
    walk.click(kBox[0], kBox[1]).wait(40).click(kDrawer[0], kDrawer[1]).wait(40);
    walk.click(kMenuButton[0], kMenuButton[1]).wait(40);
    const auto run = play(game, user, walk);
    expectClean(run);
    const std::string saved = halverntest::firstSlot(user.read("p_Wren.xml"));
    ASSERT_FALSE(saved.empty());
    EXPECT_NE(saved.find("<current_room><room name=\"room_potting\""), std::string::npos);
    EXPECT_NE(saved.find("ho_potting_bulb"), std::string::npos) << "not found through the closed lid";
    EXPECT_NE(taskList(saved).find(task("bulb", 0)), std::string::npos) << taskList(saved);
    EXPECT_NE(saved.find("<el_potting_opened valtype=\"3\">"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<el_box valtype=\"1\" val=\"1\"/>"), std::string::npos);
    EXPECT_NE(saved.find("<el_drawer valtype=\"1\" val=\"1\"/>"), std::string::npos);

    // Continued: the box and the drawer stand open, and what lay behind them is found there.
    Walk again;
    again.at(20).click(512, 600).at(40).key(27).at(100).click(250, 408).wait(150);
    again.click(kBulb[0], kBulb[1]).wait(40).click(kWatch[0], kWatch[1]).wait(150);
    again.click(kMenuButton[0], kMenuButton[1]).wait(40);
    const auto back = play(game, user, again);
    expectClean(back);
    const std::string last = halverntest::firstSlot(user.read("p_Wren.xml"));
    ASSERT_FALSE(last.empty());
    for (const char* found : {"ho_potting_bulb", "ho_potting_watch"})
        EXPECT_EQ(last.find(found), std::string::npos) << found << " was found and is gone";
    for (const std::string& task : {task("bulb", 1), task("watch", 1), task("frog", 0)})
        EXPECT_NE(taskList(last).find(task), std::string::npos) << taskList(last);
}
