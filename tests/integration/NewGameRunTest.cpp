// `halvern --new-game`: the written game checks clean and plays from its menu (a new player, a new
// game) through both rooms, the key carried from the hall to the study's attic door, to the attic's
// hidden-object scene and its reward; a folder that already holds something is refused untouched.
#include <gtest/gtest.h>

#include <string>

#include "tests/integration/HalvernRun.h"
#include "tests/integration/Walk.h"

using halverntest::expectLooksLike;
using halverntest::runHalvern;
using halverntest::TempDir;
using halverntest::Walk;

TEST(NewGameRun, WrittenGameChecksCleanAndPlaysToTheReward) {
    TempDir game, user;  // the game's folder exists and is empty: that is allowed
    const auto written = runHalvern({"--new-game", game.path});
    ASSERT_EQ(written.exitCode, 0) << written.output;
    ASSERT_TRUE(game.exists("assets/menu/module.xml"));
    ASSERT_TRUE(game.exists("assets/interface/main/main.png"));  // shared art, from the bundled game

    const auto checked = runHalvern({"--check", "--game-dir", game.path});
    EXPECT_EQ(checked.exitCode, 0) << checked.output;
    EXPECT_EQ(checked.output, "halvern --check: no problems\n");

    Walk walk;
    walk.at(30).type("ANN").key(13).at(60).click(300, 420);  // a player, then "New Game"
    const int inHall = walk.at(290).tick;
    walk.click(320, 390).wait(110).click(845, 320).wait(170);   // the key flies in; to the study
    walk.drag(0, 850, 330).wait(60).click(850, 300).wait(180);  // the key opens the attic door; up
    for (const auto& at : {std::make_pair(206, 290), {700, 352}, {560, 500}, {880, 520}})
        walk.click(at.first, at.second).wait(30);
    walk.wait(240).click(512, 517).wait(200);  // the reward dialog's "Take it"

    user.write("input.txt", walk.text);
    const auto played =
        runHalvern({"--headless", "--fixed-step", "--frames", std::to_string(walk.tick), "--game-dir",
                    game.path, "--user-dir", user.path, "--input", user.file("input.txt"), "--screenshot-at",
                    std::to_string(inHall) + ":" + user.file("hall.png")});
    EXPECT_EQ(played.exitCode, 0) << played.output;
    EXPECT_NE(played.output.find("attic: every object found"), std::string::npos) << played.output;
    EXPECT_NE(played.output.find("attic: the lantern is in the inventory"), std::string::npos)
        << played.output;
    const std::string save = halverntest::firstSlot(user.read("p_ANN.xml"));
    EXPECT_NE(save.find("<el_lantern valtype=\"1\" val=\"1\"/>"), std::string::npos) << save;
    expectLooksLike(user.file("hall.png"), "new_game_hall");
}

TEST(NewGameRun, RefusesAFolderThatHoldsSomething) {
    TempDir place;
    place.write("mine/notes.txt", "keep me");
    const auto result = runHalvern({"--new-game", place.file("mine")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.output.find("already exists and is not an empty folder"), std::string::npos)
        << result.output;
    EXPECT_EQ(place.read("mine/notes.txt"), "keep me");
    EXPECT_FALSE(place.exists("mine/assets"));
}
