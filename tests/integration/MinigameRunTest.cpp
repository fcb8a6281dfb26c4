// The bundled game's two mini-games in whole runs, on the bundled level with a start that opens a puzzle
// at once (as the conservatory's box and the tower's dial do): the gear plates turned into one train by
// clicks, with a reset, a leave and a return on the way, and the clock hand taken; the dial's pieces
// slid home; and each puzzle skipped, which works only once the skip clock is full. The level's
// achievement and pick-up helpers say in the debug output what they were asked to do.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/integration/HalvernRun.h"
#include "tests/integration/Walk.h"

using halverntest::count;
using halverntest::pixelAt;
using halverntest::runHalvern;
using halverntest::TempDir;
using halverntest::Walk;

namespace {

const std::string kGame = HALVERN_SOURCE_DIR;

// The bundled game with its own level file, changed to start in `first` and open a puzzle there with
// `open`; the conservatory's box opens the gears again, and a key picture in the puzzle rooms fills
// the skip clock at once. Runs in developer mode (level 1 at once, no profile: a minute to charge).
class MinigameRun : public ::testing::Test {
protected:
    void SetUp() override {
        std::system(("mkdir -p '" + game.file("assets/levels/level") + "'").c_str());
        // the rooms' shared effects (the rain on the hall's and the tower's glass)
        std::system(("ln -s '" + kGame + "/assets/levels/common' '" + game.file("assets/levels/common") + "'")
                        .c_str());
        for (const char* part : {"interface", "fonts", "cursors", "audio", "diary", "menu", "strings.xml",
                                 "publisher_settings.xml"})
            std::system(("ln -s '" + kGame + "/assets/" + part + "' '" +
                         game.file(std::string("assets/") + part) + "'")
                            .c_str());
        for (const char* room :
             {"common", "items", "gate", "hall", "cabinet", "workshop", "bench", "library", "desk", "shelves",
              "conservatory", "potting", "gears", "tower", "clockface", "ending"})
            std::system(("ln -s '" + kGame + "/assets/levels/level/" + room + "' '" +
                         game.file(std::string("assets/levels/level/") + room) + "'")
                            .c_str());
    }

    void level(const std::string& first, const std::string& open) {
        std::ifstream in(kGame + "/assets/levels/level/level.xml", std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        std::string text = std::regex_replace(
            s.str(), std::regex("<trig name=\"ng_startlevel\"><code>[^<]*</code></trig>"),
            "<trig name=\"ng_startlevel\"><code>level.first = \"" + first +
                "\"; local opened = level.firstRoom; function level.firstRoom() opened(); " +
                // What the test does once the first room is open.
                open +
                " end; level.start(1); ObjSet(\"conservatory_box\", { event_mdown = \"test_box\" }); "
                "ObjAttach(\"test_charge\", \"room_gears\"); ObjAttach(\"test_charge_2\", "
                "\"room_clockface\"); " +
                // The tower's own finale comes with its module: the test's stands in for it once the
                // rooms are in.
                "function tower.finale() DbgTrace(\"test: finale in \" .. tostring(GetCurrentRoom())) end"
                "</code></trig>");
        const size_t trigs = text.rfind("</trigs>");
        text.insert(trigs, R"(<trig name="test_box"><code>gears.start()</code></trig>
  <trig name="test_charge"><code>DbgTrace("test: charge"); ChargeMinigameSkip()</code></trig>
)");
        const size_t objs = text.find("<obj name=\"inventory_hub\">");
        text.insert(
            objs,
            R"(<spr name="test_charge" res="assets/levels/level/items/key" pos_x="960" pos_y="60" pos_z="9"
         event_mdown="test_charge"/>
  <spr name="test_charge_2" res="assets/levels/level/items/key" pos_x="960" pos_y="60" pos_z="9"
         event_mdown="test_charge"/>
  )");
        const size_t code = text.rfind("</code>");
        text.insert(code, R"(
local testSolved = level.puzzleSolved;
function level.puzzleSolved(skipped) DbgTrace("test: solved, skipped " .. tostring(skipped)); testSolved(skipped) end;
local testTake = level.take;
function level.take(item, flyer) DbgTrace("test: took " .. item); testTake(item, flyer) end;
)");
        game.write("assets/levels/level/level.xml", text);
    }

    halverntest::RunResult play(const Walk& walk, const std::string& shot) {
        user.write("input.txt", walk.text);
        return runHalvern({"-e", "--headless", "--fixed-step", "--frames", std::to_string(walk.tick),
                           "--game-dir", game.path, "--user-dir", user.path, "--input",
                           user.file("input.txt"), "--screenshot", shot});
    }

    static void expectClean(const halverntest::RunResult& run) {
        EXPECT_EQ(run.exitCode, 0) << run.output;
        EXPECT_EQ(run.output.find("Trigger error"), std::string::npos) << run.output;
        EXPECT_EQ(run.output.find("Could not find"), std::string::npos) << run.output;
        EXPECT_EQ(run.output.find("Lua"), std::string::npos) << run.output;
    }

    TempDir game;
    TempDir user;
};

// Plate centres of the gear board.
int plateX(int column) {
    return 312 + 100 * column;
}
int plateY(int row) {
    return 150 + 100 * row;
}

}  // namespace

TEST_F(MinigameRun, TheGearPlatesTurnedIntoOneTrainOpenTheBoxOnTheClockHand) {
    level("room_conservatory", "gears.start()");
    Walk walk(150);
    // A wrong turn, undone by the panel's reset.
    walk.tap(plateX(0), plateY(1)).tap(plateX(2), plateY(0)).wait(20).tap(968, 565).wait(20);
    // Half the train, then out to the conservatory and back through the box.
    walk.tap(plateX(0), plateY(1));
    walk.tap(plateX(1), plateY(1)).tap(plateX(1), plateY(1));
    walk.tap(plateX(1), plateY(2)).tap(plateX(1), plateY(2));
    walk.tap(100, 566).wait(90).tap(519, 461).wait(120);  // Back
    walk.tap(plateX(2), plateY(2));
    walk.tap(plateX(3), plateY(2)).tap(plateX(3), plateY(2));
    walk.tap(plateX(3), plateY(1)).tap(plateX(3), plateY(1));
    walk.tap(plateX(4), plateY(1));
    walk.tap(plateX(4), plateY(2)).wait(40);
    // Clicks on the plates once solved change nothing.
    walk.tap(plateX(0), plateY(0)).tap(968, 565).wait(140);
    const Walk solved = walk;
    walk.tap(506, 332).wait(150);

    const std::string shot = user.file("solved.png");
    auto run = play(solved, shot);
    expectClean(run);
    EXPECT_EQ(count(run.output, "test: solved, skipped false"), 1) << run.output;
    auto image = pf::TTexture::Get(shot);
    ASSERT_TRUE(image);
    // The open compartment's red lining covers the plates.
    for (const auto& at : {std::pair{312, 150}, std::pair{712, 450}}) {
        const auto lining = pixelAt(image, at.first, at.second);
        EXPECT_GT(lining.r, lining.g + 40) << at.first << ", " << at.second;
    }

    run = play(walk, user.file("taken.png"));
    expectClean(run);
    EXPECT_EQ(count(run.output, "test: solved, skipped false"), 1) << run.output;
    EXPECT_EQ(count(run.output, "test: took inv_hand"), 1) << run.output;
    EXPECT_EQ(count(run.output, "test: charge"), 0);
}

TEST_F(MinigameRun, TheGearsAreSkippedOnlyOnceTheClockIsFullAndStillGiveTheHand) {
    level("room_conservatory", "gears.start()");
    Walk walk(150);
    walk.tap(plateX(0), plateY(1)).wait(120);
    walk.tap(984, 680).wait(40);  // the clock is still filling: nothing
    walk.tap(960, 60).wait(90);   // full
    walk.tap(984, 680).tap(984, 680).wait(20).tap(968, 565).wait(180);
    walk.tap(506, 332).wait(120);
    const auto run = play(walk, user.file("gears.png"));
    expectClean(run);
    EXPECT_EQ(count(run.output, "test: charge"), 1) << run.output;
    EXPECT_EQ(count(run.output, "test: solved"), 1) << run.output;
    EXPECT_EQ(count(run.output, "test: solved, skipped true"), 1) << run.output;
    EXPECT_LT(run.output.find("test: charge"), run.output.find("test: solved"))
        << "no skip before the charge";
    EXPECT_EQ(count(run.output, "test: took inv_hand"), 1) << run.output;
}

TEST_F(MinigameRun, TheDialIsSkippedOnlyOnceTheClockIsFullAndGoesBackToTheTower) {
    level("room_tower", "clockface.start()");
    Walk walk(150);
    walk.tap(512, 440).wait(60).tap(984, 680).wait(40).tap(960, 60).wait(90);
    walk.tap(984, 680).tap(984, 680).wait(320);
    const auto run = play(walk, user.file("dial.png"));
    expectClean(run);
    EXPECT_EQ(count(run.output, "test: solved"), 1) << run.output;
    EXPECT_EQ(count(run.output, "test: solved, skipped true"), 1) << run.output;
    EXPECT_LT(run.output.find("test: charge"), run.output.find("test: solved"))
        << "no skip before the charge";
    EXPECT_EQ(count(run.output, "test: finale in room_tower"), 1) << run.output;
}

TEST_F(MinigameRun, TheDialsPiecesSlidHomeStrikeAndGoBackToTheTower) {
    level("room_tower", "clockface.start()");
    Walk walk(150);
    walk.tap(372, 160).tap(512, 440).tap(968, 565).wait(30);  // a piece that cannot move; reset
    const int moves[][2] = {{512, 440}, {652, 440}, {652, 300}, {512, 300}, {372, 300}, {372, 440},
                            {512, 440}, {652, 440}, {652, 300}, {652, 160}, {512, 160}, {372, 160},
                            {372, 300}, {372, 440}, {512, 440}, {652, 440}};
    for (const auto& m : moves) walk.tap(m[0], m[1]);
    walk.tap(512, 300).wait(100);
    const Walk glowing = walk;
    walk.wait(200);

    const std::string shot = user.file("dial.png");
    auto run = play(glowing, shot);
    expectClean(run);
    EXPECT_EQ(count(run.output, "test: solved, skipped false"), 1) << run.output;
    EXPECT_EQ(count(run.output, "test: finale"), 0) << "the dial strikes before the game goes back";
    auto image = pf::TTexture::Get(shot);
    ASSERT_TRUE(image);
    const auto last = pixelAt(image, 652, 440);
    EXPECT_GT(last.r + last.g + last.b, 300) << "the last piece is in";

    run = play(walk, user.file("tower.png"));
    expectClean(run);
    EXPECT_EQ(count(run.output, "test: solved, skipped false"), 1) << run.output;
    EXPECT_EQ(count(run.output, "test: finale in room_tower"), 1) << run.output;
}
