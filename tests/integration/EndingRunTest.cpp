// The bundled game's ending in whole runs. The test's copy of the game starts a new game in the tower
// with the dial's puzzle just solved (the level's first room is the tower, and tower.finale runs a
// second after it shows). The program is closed in the middle of the strokes; continued, the finale
// starts again, Ysolde's words are clicked away, the ending film is skipped with Escape, Escape leaves
// the credits, and the menu forgets the finished game while the player keeps the achievement.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/integration/HalvernRun.h"

using halverntest::runHalvern;
using halverntest::TempDir;

namespace {

const std::string kGame = HALVERN_SOURCE_DIR;

class Walk {
public:
    Walk& at(int when) {
        tick = when;
        return *this;
    }
    Walk& click(int x, int y) {
        line(4, 0, x, y);
        line(1, 1, x, y);
        line(3, 1, x, y);
        return *this;
    }
    Walk& key(int code) {
        line(7, code, 0, 0);
        line(8, code, 0, 0);
        return *this;
    }
    Walk& type(const std::string& word) {
        for (char c : word) key(c);
        return *this;
    }

    std::string text;
    int tick = 0;

private:
    void line(int type, int code, int x, int y) {
        text += std::to_string(tick++) + " " + std::to_string(type) + " " + std::to_string(code) + " " +
                std::to_string(x) + " " + std::to_string(y) + "\n";
    }
};

// The bundled game with its level file changed to start in the tower and strike midnight there.
void makeGame(const TempDir& game) {
    halverntest::bundledGameWithLevel(
        game, {{"level.first = \"room_gate\";", "level.first = \"room_tower\";"},
               {"SwitchRoom(level.first, 0);",
                "SwitchRoom(level.first, 0); TimerStart(\"test_finale\", \"test_finale\", 1);"},
               {"<trigs>", "<trigs>\n  <trig name=\"test_finale\"><code>tower.finale()</code></trig>"}});
}

halverntest::RunResult play(const TempDir& game, const TempDir& user, const Walk& walk, int frames) {
    user.write("input.txt", walk.text);
    return runHalvern({"--headless", "--fixed-step", "--frames", std::to_string(frames), "--game-dir",
                       game.path, "--user-dir", user.path, "--input", user.file("input.txt")});
}

void expectClean(const halverntest::RunResult& run) {
    EXPECT_EQ(run.output.find("Trigger error"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("Could not find"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("is no room"), std::string::npos) << run.output;
}

}  // namespace

TEST(EndingRun, TheFinaleSurvivesAQuitAndRunsThroughTheFilmAndTheCreditsBackToTheMenu) {
    TempDir game, user;
    makeGame(game);

    // A player named Wren starts a new game: the tower shows from about tick 210, the first stroke
    // sounds a second and a half later; the program closes after the fourth.
    Walk first;
    first.at(20).click(512, 600).at(40).key(27).at(100).click(250, 472).at(120).type("Wren").at(130).key(13);
    first.at(150).click(703, 436).at(170).click(250, 340);
    const auto run = play(game, user, first, 560);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    expectClean(run);
    const std::string profile = user.read("p_Wren.xml");
    ASSERT_NE(profile.find("<save_0>"), std::string::npos) << "closing the program saved the game";
    EXPECT_NE(profile.find("el_ending"), std::string::npos) << profile;
    EXPECT_NE(profile.find("val=\"strikes\""), std::string::npos) << profile;
    EXPECT_EQ(profile.find("<achieve name=\"ach_game_finished\""), std::string::npos);

    // Continued: the strokes again from the first, her words (clicked), the film (Escape), the title and
    // the credits (Escape), and the menu.
    Walk again;
    again.at(20).click(512, 600).at(40).key(27).at(100).click(250, 408);
    again.at(1420).click(512, 640).at(1900).key(27).at(2380).key(27);
    const auto ended = play(game, user, again, 2500);
    ASSERT_EQ(ended.exitCode, 0) << ended.output;
    expectClean(ended);
    const std::string after = user.read("p_Wren.xml");
    EXPECT_NE(after.find("<achieve name=\"ach_game_finished\" count=\"1\"/>"), std::string::npos) << after;
    EXPECT_EQ(after.find("<save_0>"), std::string::npos) << "the finished game is not offered to continue";
    EXPECT_EQ(after.find("el_game_finished"), std::string::npos) << "the menu has taken the flag down";
}
