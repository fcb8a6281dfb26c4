// Developer mode's tools on a small scene: a failing trigger shows its error over the scene until Ctrl+E
// or a reload; the inspector names the object under the pointer, and a Shift drag moves it without
// clicking it and prints its new position attributes.
#include <gtest/gtest.h>

#include "tests/integration/HalvernRun.h"

using halverntest::count;
using halverntest::expectLooksLike;
using halverntest::pixelAt;
using halverntest::runHalvern;
using halverntest::TempDir;

namespace {

const char* const kScene = R"xml(<module name="dev"/>
<objs>
    <obj name="root">
        <spr name="backdrop" res="images/backdrop" pos_x="512" pos_y="384" scale_x="4" scale_y="4"/>
        <spr name="door" res="images/red_square" pos_x="300" pos_y="400" pos_z="1" event_mdown="open_door(1)"/>
    </obj>
</objs>
<trigs>
    <trig name="open_door"><code>
        local opened = true
        ShowBlackBarTxt('door_open')
    </code></trig>
</trigs>
<code>ObjAttach('backdrop', 'ne_origin') ObjAttach('door', 'ne_origin')</code>
)xml";

// Runs the scene (in developer mode unless told) with the input lines, screenshots at steps 20 and 34
// and one at the end.
halverntest::RunResult runScene(const TempDir& game, const std::string& input, bool developer = true) {
    const std::string src = HALVERN_SOURCE_DIR;
    std::system(("mkdir -p '" + game.file("assets") + "' && ln -s '" + src + "/assets/fonts' '" +
                 game.file("assets/fonts") + "' && ln -s '" + src + "/tests/examples/sprites/images' '" +
                 game.file("images") + "'")
                    .c_str());
    game.write("scene.xml", kScene);
    game.write("input.txt", input);
    std::vector<std::string> args{"--headless",      "--fixed-step",
                                  "--frames",        "50",
                                  "--game-dir",      game.path,
                                  "--user-dir",      game.file("user"),
                                  "--module",        "scene",
                                  "--input",         game.file("input.txt"),
                                  "--screenshot-at", "20:" + game.file("at20.png"),
                                  "--screenshot-at", "34:" + game.file("at34.png"),
                                  "--screenshot",    game.file("end.png")};
    if (developer) args.push_back("-e");
    return runHalvern(args);
}

// Whether the panel's dark box covers the canvas point (the backdrop there is lighter).
bool darkAt(const TempDir& game, const std::string& shot, int x, int y) {
    const auto p = pixelAt(pf::TTexture::Get(game.file(shot)), x, y);
    return p.r < 20 && p.g < 20 && p.b < 25;
}

}  // namespace

TEST(DevToolsRun, AScriptErrorShowsUntilControlEOrAReload) {
    TempDir game;
    // Click the door (its trigger fails); Ctrl+E at 24; click again at 30; Ctrl+R at 40.
    const auto run = runScene(game,
                              "12 1 0 300 400\n13 3 0 300 400\n"
                              "24 7 -139 0 0\n24 7 101 0 0\n25 8 101 0 0\n25 8 -139 0 0\n"
                              "30 1 0 300 400\n31 3 0 300 400\n"
                              "40 7 -139 0 0\n40 7 114 0 0\n41 8 114 0 0\n41 8 -139 0 0\n");
    ASSERT_EQ(0, run.exitCode) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("attempt to call global 'ShowBlackBarTxt'")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("Reloaded (Ctrl+R)")) << run.output;
    expectLooksLike(game.file("at20.png"), "dev_error_overlay");
    EXPECT_TRUE(darkAt(game, "at34.png", 40, 40));
    EXPECT_FALSE(darkAt(game, "end.png", 40, 40));

    // Players never see it.
    TempDir played;
    ASSERT_EQ(0, runScene(played, "12 1 0 300 400\n13 3 0 300 400\n", false).exitCode);
    EXPECT_FALSE(darkAt(played, "at20.png", 40, 40));
}

TEST(DevToolsRun, TheInspectorNamesTheObjectAndAShiftDragMovesIt) {
    TempDir game;
    // Ctrl+I, the pointer onto the door; Shift held from 30 to 37 while the door is dragged.
    const auto run = runScene(game,
                              "5 7 -139 0 0\n6 7 105 0 0\n7 8 105 0 0\n8 8 -139 0 0\n10 4 0 310 410\n"
                              "30 7 -140 0 0\n31 1 0 300 400\n33 4 0 350 420\n35 4 0 412 230\n"
                              "36 3 0 412 230\n37 8 -140 0 0\n");
    ASSERT_EQ(0, run.exitCode) << run.output;
    expectLooksLike(game.file("at20.png"), "dev_inspector");
    EXPECT_EQ(1, count(run.output, "door: pos_x=\"412\" pos_y=\"230\"\n")) << run.output;
    // The press under Shift never reached the door's trigger.
    EXPECT_EQ(std::string::npos, run.output.find("Trigger error")) << run.output;
    const auto moved = pixelAt(pf::TTexture::Get(game.file("end.png")), 395, 215);
    EXPECT_GT(moved.r, 200);
}
