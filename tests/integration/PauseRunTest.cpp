// Escape in the bundled game: at the gate it first closes the open diary, then opens the pause menu,
// which stills the hint's recharge; Options comes back to it, Escape resumes; Escape closes the
// strategy guide; and Main Menu leaves with the game saved. Reference screenshot of the pause menu.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/integration/HalvernRun.h"
#include "tests/integration/Walk.h"

using halverntest::expectLooksLike;
using halverntest::runHalvern;
using halverntest::TempDir;
using halverntest::Walk;

namespace {

const std::string kGame = HALVERN_SOURCE_DIR;
constexpr int kEscape = 27;

}  // namespace

TEST(PauseRun, EscapeClosesTheDiaryThenPausesTheGameUntilResumed) {
    TempDir user;
    Walk walk;
    // A new game for Wren, the tips declined; the hint pressed at the gate starts its recharge.
    walk.at(20).click(512, 600).at(40).key(27).at(100).click(250, 472).at(120).type("Wren").at(130).key(13);
    walk.at(150).click(703, 436).at(170).click(250, 340).at(420).click(282, 300).at(440);
    walk.move(980, 700).wait(5).click(984, 680).wait(30);
    const int hinted = walk.tick - 30;
    walk.click(46, 683).wait(60).key(kEscape).wait(60);  // the diary opens and closes
    const int paused = walk.tick;
    walk.key(kEscape).move(900, 200).wait(600);
    const int shot = walk.tick - 10;
    walk.click(512, 368).wait(30).key(kEscape).wait(30);  // Options, and back
    walk.key(kEscape).wait(60);                           // resumed
    const int resumed = walk.tick - 60;
    const int guide = walk.tick;
    walk.click(955, 749).wait(90).key(kEscape).wait(60);  // the guide, which stills the game too
    const int guideClosed = walk.tick - 60;
    const int pausedAgain = walk.tick;
    walk.key(kEscape).wait(30).click(512, 504).wait(60);  // Main Menu

    user.write("input.txt", walk.text);
    const std::string image = user.file("pause_menu.png");
    const auto run =
        runHalvern({"--headless", "--fixed-step", "--frames", std::to_string(walk.tick), "--game-dir", kGame,
                    "--user-dir", user.path, "--input", user.file("input.txt"), "--screenshot-at",
                    std::to_string(shot) + ":" + image});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output.find("Trigger error"), std::string::npos) << run.output;
    expectLooksLike(image, "pause_menu");

    const std::string profile = user.read("p_Wren.xml");
    ASSERT_NE(profile.find("<save_0>"), std::string::npos) << "Main Menu saved the game";
    EXPECT_NE(profile.find("opened=\"0\""), std::string::npos);
    // The recharge ran only while the game was in play.
    const std::string hint = "<hint state=\"1\" state_timer=\"";
    const size_t at = profile.find(hint);
    ASSERT_NE(at, std::string::npos) << profile;
    const double timer = std::atof(profile.c_str() + at + hint.size());
    EXPECT_NEAR(timer, ((paused - hinted) + (guide - resumed) + (pausedAgain - guideClosed)) / 60.0, 0.15);
}
