// The sprite example module (tests/examples/sprites) run headless: sprites moved by animation lines,
// an animated sprite, a timer that swaps an image, and clicks replayed through --input, one through
// the transparent middle of a ring (handled by the backdrop) and one on the ring itself.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/integration/HalvernRun.h"

using halverntest::pixelAt;
using halverntest::runHalvern;
using halverntest::TempDir;

namespace {

const std::string kExample = std::string(HALVERN_SOURCE_DIR) + "/tests/examples/sprites";

struct Expected {
    const char* what;
    int x, y;
    int r, g, b;
};

// Colours of the example's images (tools/make_sprite_images.py).
constexpr int kSky[3] = {24, 32, 48}, kGround[3] = {40, 56, 72};

void checkPixels(const std::string& shot, const std::vector<Expected>& expected) {
    auto image = pf::TTexture::Get(shot);
    ASSERT_TRUE(image) << "no screenshot " << shot;
    ASSERT_EQ(1024, image->GetWidth());
    ASSERT_EQ(768, image->GetHeight());
    for (const Expected& e : expected) {
        const auto p = pixelAt(image, e.x, e.y);
        EXPECT_NEAR(e.r, p.r, 3) << e.what << " at " << e.x << "," << e.y;
        EXPECT_NEAR(e.g, p.g, 3) << e.what << " at " << e.x << "," << e.y;
        EXPECT_NEAR(e.b, p.b, 3) << e.what << " at " << e.x << "," << e.y;
    }
}

std::vector<std::string> runArgs(const TempDir& user, int frames, const std::string& shot) {
    return {"--headless", "--fixed-step", "--frames",     std::to_string(frames),
            "--game-dir", kExample,       "--user-dir",   user.path,
            "--module",   "scene",        "--screenshot", shot};
}

}  // namespace

TEST(SpriteExample, BeforeAnyClick) {
    TempDir user;
    const std::string shot = user.file("before.png");
    const auto run = runHalvern(runArgs(user, 45, shot));
    ASSERT_EQ(0, run.exitCode) << run.output;
    EXPECT_EQ(std::string::npos, run.output.find("Could not find")) << run.output;
    checkPixels(shot, {
                          {"slider three quarters along its line", 375, 200, 220, 40, 40},
                          {"slider has left its start", 150, 200, kSky[0], kSky[1], kSky[2]},
                          {"disc swapped to green by the timer", 700, 200, 40, 200, 80},
                          {"spinner on its third frame", 850, 550, 240, 140, 20},
                          {"lamp off", 520, 550, 90, 90, 90},
                          {"ring", 348, 550, 240, 200, 40},
                          {"backdrop through the ring's hole", 300, 550, kGround[0], kGround[1], kGround[2]},
                      });
}

TEST(SpriteExample, AfterClicksThroughTheHoleAndOnTheRing) {
    TempDir user;
    const std::string shot = user.file("after.png");
    // Button down and up inside the hole at ticks 50 and 51, then on the ring's body at 60 and 61.
    user.write("input.txt", "50 1 0 300 550\n51 3 0 300 550\n60 1 0 348 550\n61 3 0 348 550\n");
    std::vector<std::string> args = runArgs(user, 120, shot);
    args.push_back("--input");
    args.push_back(user.file("input.txt"));
    const auto run = runHalvern(args);
    ASSERT_EQ(0, run.exitCode) << run.output;

    // The ring's trigger ran once, for the click on its body only.
    const size_t first = run.output.find("pressed by ring\n");
    ASSERT_NE(std::string::npos, first) << run.output;
    EXPECT_EQ(std::string::npos, run.output.find("pressed by ring", first + 1));

    checkPixels(shot,
                {
                    {"slider at the end of its line, moved down by its end trigger", 450, 300, 220, 40, 40},
                    {"nothing where the slider was", 375, 200, kSky[0], kSky[1], kSky[2]},
                    {"disc parked by the spinner's end trigger", 700, 200, kSky[0], kSky[1], kSky[2]},
                    {"spinner finished on white", 850, 550, 250, 250, 250},
                    {"lamp moved by the backdrop's click", 520, 550, kGround[0], kGround[1], kGround[2]},
                    {"lamp switched on by the ring's click", 620, 550, 255, 250, 200},
                    {"ring", 348, 550, 240, 200, 40},
                });
}

TEST(SpriteExample, MissingImagesAndAnimationsAreReportedAndDrawNothing) {
    TempDir game, user;
    game.write("broken.xml", R"(<objs><obj name="r">
        <spr name="ghost" res="images/none"/><anim name="phantom" res="anims\none"/></obj></objs>
        <code>ObjAttach('ghost', 'ne_origin') ObjAttach('phantom', 'ne_origin')
              AnmPlay('phantom', 'spin', 'x') ObjAnimate('ghost', 0, 1, 0, 'y', {0, 1, 1, 2})</code>)");
    const std::string shot = user.file("shot.png");
    const auto run = runHalvern({"--headless", "--fixed-step", "--frames", "30", "--game-dir", game.path,
                                 "--user-dir", user.path, "--module", "broken", "--screenshot", shot});
    ASSERT_EQ(0, run.exitCode) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("nE_Texture::Could not find \"images/none\" file!"))
        << run.output;
    EXPECT_NE(std::string::npos, run.output.find("nE_AnimSprite: Could not find \"anims\\none\" file!"))
        << run.output;
    checkPixels(shot, {{"nothing drawn", 512, 384, 0, 0, 0}});
}
