// Escape in the bundled game: at the gate it first closes the open diary, then opens the pause menu,
// which stills the hint's recharge; Options comes back to it, Escape resumes; Escape closes the
// strategy guide; and Main Menu leaves with the game saved. Reference screenshot of the pause menu.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/integration/HalvernRun.h"
#include "tests/integration/Walk.h"

using halverntest::expectLooksLike;
using halverntest::playBundled;
using halverntest::TempDir;
using halverntest::Walk;

namespace {

constexpr int kEscape = 27;

}  // namespace

TEST(PauseRun, EscapeClosesTheDiaryThenPausesTheGameUntilResumed) {
    TempDir user;
    Walk walk;
    // A new game for Wren; the hint pressed at the gate starts its recharge.
    walk.newGame("Wren").move(980, 700).wait(5).click(984, 680).wait(30);
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

    const auto run = playBundled(user, walk, {{shot, "pause_menu"}});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output.find("Trigger error"), std::string::npos) << run.output;
    expectLooksLike(user.file("pause_menu.png"), "pause_menu");

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
