// Videos run headless: the tiny test clips (tools/make_test_videos.py) without alpha, with ".zalpha"
// and with ".oggalpha" over a white backdrop, their colours checked in the screenshot; their end
// triggers; and the video example module (tests/examples/video).
#include <gtest/gtest.h>
#include <unistd.h>

#include <vector>

#include "tests/integration/HalvernRun.h"

using halverntest::count;
using halverntest::pixelAt;
using halverntest::runHalvern;
using halverntest::TempDir;

namespace {

// The test clips, linked into the game folder: descriptions name only the game's own files.
const std::string kVideos = "videos/";
const std::string kExample = std::string(HALVERN_SOURCE_DIR) + "/tests/examples/video";

struct Expected {
    const char* what;
    int x, y;
    int r, g, b;
};

void checkPixels(const std::string& shot, const std::vector<Expected>& expected) {
    auto image = pf::TTexture::Get(shot);
    ASSERT_TRUE(image) << "no screenshot " << shot;
    for (const Expected& e : expected) {
        const auto p = pixelAt(image, e.x, e.y);
        EXPECT_NEAR(e.r, p.r, 6) << e.what << " at " << e.x << "," << e.y;
        EXPECT_NEAR(e.g, p.g, 6) << e.what << " at " << e.x << "," << e.y;
        EXPECT_NEAR(e.b, p.b, 6) << e.what << " at " << e.x << "," << e.y;
    }
}

// Three 32 x 24 clips of six flat-coloured frames at 10 fps, scaled up, over white.
void writeGame(const TempDir& game) {
    const std::vector<uint8_t> white(8 * 8 * 4, 255);
    ASSERT_TRUE(pf::TTexture::WritePng(game.file("white.png"), white.data(), 8, 8));
    ASSERT_EQ(symlink(HALVERN_TEST_DATA "/videos", game.file("videos").c_str()), 0);
    game.write("clips.xml",
               R"(<objs><obj name="r">
        <spr name="white" res="white" pos_x="512" pos_y="384" scale_x="128" scale_y="96"/>
        <video name="plain" res=")" +
                   kVideos + R"(plain" pos_x="256" pos_y="400" pos_z="1" scale_x="8" scale_y="8"/>
        <video name="zalpha" res=")" +
                   kVideos + R"(alpha" pos_x="768" pos_y="400" pos_z="1" scale_x="8" scale_y="8"/>
        <video name="oggalpha" res=")" +
                   kVideos + R"(oggalpha" pos_x="512" pos_y="120" pos_z="1" scale_x="4" scale_y="4"/>
        </obj></objs>
        <trigs><trig name="ended"><code>DbgTrace('ended ' .. ne_params.sender)</code></trig></trigs>
        <code>
        for _, name in ipairs({'white', 'plain', 'zalpha', 'oggalpha'}) do ObjAttach(name, 'ne_origin') end
        for _, name in ipairs({'plain', 'zalpha', 'oggalpha'}) do VidPlay(name, 'ended') end
        </code>)");
}

std::vector<std::string> args(const TempDir& game, const TempDir& user, int frames, const std::string& module,
                              const std::string& shot) {
    return {"--headless", "--fixed-step", "--frames",     std::to_string(frames),
            "--game-dir", game.path,      "--user-dir",   user.path,
            "--module",   module,         "--screenshot", shot};
}

}  // namespace

TEST(VideoRun, FramesShowTheirColoursWithAndWithoutAlpha) {
    TempDir game, user;
    writeGame(game);
    // 33 ticks: 0.55 s into the clips, the fifth frame (grey 120) is up; ".zalpha" gives its right
    // half alpha 160, the ".oggalpha" clip's right half is clear.
    const std::string shot = user.file("mid.png");
    auto run = runHalvern(args(game, user, 33, "clips", shot));
    ASSERT_EQ(0, run.exitCode) << run.output;
    EXPECT_EQ(std::string::npos, run.output.find("nE_Video")) << run.output;
    EXPECT_EQ(0, count(run.output, "ended ")) << run.output;
    const int blended = (120 * 160 + 255 * 95) / 255;
    checkPixels(shot, {
                          {"opaque clip, left", 190, 400, 120, 120, 120},
                          {"opaque clip, right", 320, 400, 120, 120, 120},
                          {"zalpha clip, opaque half", 700, 400, 120, 120, 120},
                          {"zalpha clip, alpha 160 over white", 830, 400, blended, blended, blended},
                          {"oggalpha clip, opaque half", 480, 120, 120, 120, 120},
                          {"oggalpha clip, clear half", 544, 120, 255, 255, 255},
                          {"backdrop", 40, 700, 255, 255, 255},
                      });

    // Past the end: the last frame (yellow) stays and each end trigger ran once.
    const std::string end = user.file("end.png");
    run = runHalvern(args(game, user, 90, "clips", end));
    ASSERT_EQ(0, run.exitCode) << run.output;
    EXPECT_EQ(1, count(run.output, "ended plain\n")) << run.output;
    EXPECT_EQ(1, count(run.output, "ended zalpha\n")) << run.output;
    EXPECT_EQ(1, count(run.output, "ended oggalpha\n")) << run.output;
    checkPixels(end, {{"last frame", 256, 400, 220, 200, 40}, {"last frame", 700, 400, 220, 200, 40}});
}

TEST(VideoRun, ExampleModuleLoopsItsVideoWithAlphaOverTheBackdrop) {
    TempDir user;
    const std::string shot = user.file("example.png");
    // The 48 frames at 15 fps end after 3.27 s (196 ticks); the loop's second pass is on its lantern.
    const auto run = runHalvern({"--headless", "--fixed-step", "--frames", "220", "--game-dir", kExample,
                                 "--user-dir", user.path, "--module", "scene", "--screenshot", shot});
    ASSERT_EQ(0, run.exitCode) << run.output;
    EXPECT_EQ(std::string::npos, run.output.find("nE_Video")) << run.output;
    EXPECT_EQ(1, count(run.output, "lantern ended by lantern\n")) << run.output;
    checkPixels(shot, {
                          {"sky around the clear edge of the video", 300, 200, 30, 36, 64},
                          {"floor", 512, 700, 70, 50, 36},
                      });
    auto image = pf::TTexture::Get(shot);
    ASSERT_TRUE(image);
    const auto glass = pixelAt(image, 470, 360);
    EXPECT_GT(glass.r, 150) << "the lantern's lit glass";
    EXPECT_GT(glass.r, glass.b + 60);
}

TEST(VideoRun, MissingVideoIsReported) {
    TempDir game, user;
    game.write("m.xml", R"(<objs><obj name="r"><video name="v" res="videos/none"/></obj></objs>
        <code>ObjAttach('v', 'ne_origin') VidPlay('v', 'x')</code>)");
    const auto run = runHalvern(args(game, user, 5, "m", user.file("m.png")));
    ASSERT_EQ(0, run.exitCode) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("nE_Video::Could not find \"videos/none\" ogg file!"))
        << run.output;
}
