// The shell as a player meets it, on the bundled game: a new player typed in with spaces and welcomed
// without "back"; New Game over a game in progress asks first, No keeps it for Continue and Yes starts
// afresh; the name field's caret, count and limit; the narration bar giving way to the open diary, and
// the diary's tip kept on the screen.
#include <gtest/gtest.h>

#include "tests/integration/HalvernRun.h"
#include "tests/integration/Walk.h"

using halverntest::expectLooksLike;
using halverntest::pixelAt;
using halverntest::playBundled;
using halverntest::TempDir;
using halverntest::Walk;

namespace {

// Pixels of the menu's light type in a box: where "back," stands after "Welcome".
int lightPixels(const std::string& shot, int x0, int y0, int x1, int y1) {
    auto image = pf::TTexture::Get(shot);
    int n = 0;
    for (int y = y0; image && y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += pixelAt(image, x, y).r > 150 && pixelAt(image, x, y).g > 120;
    return n;
}

// To the menu past the logo and the intro; to the players panel.
Walk toThePlayers() {
    return Walk().at(20).click(512, 600).at(40).key(27).at(100).click(250, 472);
}

}  // namespace

TEST(ShellRun, NewGameAsksBeforeTheGameInProgressIsLost) {
    TempDir user;
    // "  Ada Lo  " created; a new game; tips declined, the urn moved; back to the menu; New Game asks,
    // No; Continue.
    Walk walk = toThePlayers();
    walk.at(120).type("  Ada Lo  ").key(13).at(150).click(703, 436).at(170).click(250, 340);
    walk.at(420).click(282, 300).at(440).click(220, 496).at(480).click(44, 752);
    walk.at(560).click(250, 340).at(600).click(612, 452).at(620).click(250, 408);
    auto run = playBundled(user, walk, {{165, "welcome"}, {590, "question"}}, 760);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output.find("Trigger error"), std::string::npos) << run.output;
    EXPECT_NE(user.read("settings.xml").find("<profiles current=\"Ada Lo\">"), std::string::npos);
    EXPECT_EQ(lightPixels(user.file("welcome.png"), 296, 238, 320, 262), 0) << "a new player: no \"back\"";
    expectLooksLike(user.file("question.png"), "new_game_question");
    EXPECT_NE(user.read("p_Ada Lo.xml").find("<el_gate_urn_moved"), std::string::npos)
        << "No kept the game, and Continue went on with it";

    // The next run: welcomed back; New Game, Yes: a fresh game at the gate.
    walk = Walk().at(20).click(512, 600).at(40).key(27).at(100).click(250, 340).at(130).click(412, 452);
    run = playBundled(user, walk, {{90, "back"}}, 300);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_GT(lightPixels(user.file("back.png"), 296, 238, 320, 262), 20);
    const std::string profile = user.read("p_Ada Lo.xml");
    EXPECT_NE(profile.find("<current_room><room name=\"room_gate\""), std::string::npos) << profile;
    EXPECT_EQ(profile.find("<el_gate_urn_moved"), std::string::npos) << "Yes started afresh";
}

TEST(ShellRun, TheNameFieldShowsItsCaretCountAndLimit) {
    TempDir user;
    // The panel opens at 102; 24 letters run past the 20 the field takes.
    Walk walk = toThePlayers();
    walk.at(120).type("Wren Ash Marrow Halvern");
    auto run = playBundled(user, walk, {{104, "open"}, {169, "full"}}, 175);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    auto open = pf::TTexture::Get(user.file("open.png"));
    ASSERT_TRUE(open);
    int caret = 0;
    for (int y = 530; y < 562; ++y) caret += pixelAt(open, 262, y).b > 240;
    EXPECT_GT(caret, 24) << "the caret stands in the empty field at once";
    auto full = pf::TTexture::Get(user.file("full.png"));
    ASSERT_TRUE(full);
    int red = 0;
    for (int y = 570; y < 595; ++y)
        for (int x = 545; x < 600; ++x) red += pixelAt(full, x, y).r > 140 && pixelAt(full, x, y).g < 90;
    EXPECT_GT(red, 30) << "the count under the field flashes at the limit";
    expectLooksLike(user.file("full.png"), "name_field_full");
}

TEST(ShellRun, NarrationGivesWayToTheDiaryAndTipsStayOnScreen) {
    TempDir user;
    // A new game; the diary opened while the gate's narration runs along the top.
    Walk start = toThePlayers();
    start.at(120).type("Wren").key(13).at(150).click(703, 436).at(170).click(250, 340);
    Walk walk = start;
    walk.at(300).click(46, 683);
    auto run = playBundled(user, walk, {{360, "diary"}}, 362);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    auto diary = pf::TTexture::Get(user.file("diary.png"));
    ASSERT_TRUE(diary);
    EXPECT_GT(pixelAt(diary, 300, 60).r, 150) << "the diary's page, not the narration bar";

    // With tips: the urn, the key onto the gate; the diary's tip points at the bar's left end.
    TempDir other;
    walk = start;
    walk.at(420).click(742, 300).at(460).click(220, 496).at(480).click(220, 496);
    walk.at(520).click(212, 573).at(540).click(212, 573).at(580).carry(0, 514, 408).drop(514, 408);
    run = playBundled(other, walk, {{760, "tip"}}, 762);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    auto tip = pf::TTexture::Get(other.file("tip.png"));
    ASSERT_TRUE(tip);
    for (int x : {10, 648}) {
        const halverntest::Pixel frame = pixelAt(tip, x, 450);
        EXPECT_TRUE(frame.r > 140 && frame.b < 100) << "the tip's gilt frame at x " << x;
    }
}
