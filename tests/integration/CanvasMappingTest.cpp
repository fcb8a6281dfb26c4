// The 1024 × 768 canvas on a desktop that has no such mode: the sprite example fitted at its own shape
// onto a pretended 1280 × 720 display between black bars, with clicks given in display pixels reaching
// what lies under them.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/integration/HalvernRun.h"

using halverntest::pixelAt;
using halverntest::runHalvern;
using halverntest::TempDir;

namespace {

const std::string kExample = std::string(HALVERN_SOURCE_DIR) + "/tests/examples/sprites";
constexpr float kScale = 720.f / 768.f, kBarWidth = (1280 - 1024 * kScale) / 2;

// A canvas point in display pixels.
int dx(float x) {
    return static_cast<int>(std::lround(kBarWidth + x * kScale));
}
int dy(float y) {
    return static_cast<int>(std::lround(y * kScale));
}

}  // namespace

TEST(CanvasMapping, TheCanvasKeepsItsShapeOnAWideDisplayAndClicksMapBackIntoIt) {
    TempDir user;
    const std::string shot = user.file("wide.png");
    // The clicks of the sprite example (through the ring's hole at 300, 550, then on its body at 348,
    // 550), given where those canvas points lie on the display.
    user.write("input.txt", "50 1 0 " + std::to_string(dx(300)) + " " + std::to_string(dy(550)) +
                                "\n51 3 0 " + std::to_string(dx(300)) + " " + std::to_string(dy(550)) +
                                "\n60 1 0 " + std::to_string(dx(348)) + " " + std::to_string(dy(550)) +
                                "\n61 3 0 " + std::to_string(dx(348)) + " " + std::to_string(dy(550)) + "\n");
    const auto run = runHalvern({"--headless", "--fixed-step", "--frames", "120", "--display", "1280x720",
                                 "--game-dir", kExample, "--user-dir", user.path, "--module", "scene",
                                 "--input", user.file("input.txt"), "--screenshot", shot});
    ASSERT_EQ(0, run.exitCode) << run.output;
    const size_t first = run.output.find("pressed by ring\n");
    ASSERT_NE(std::string::npos, first) << run.output;
    EXPECT_EQ(std::string::npos, run.output.find("pressed by ring", first + 1));

    auto image = pf::TTexture::Get(shot);
    ASSERT_TRUE(image);
    ASSERT_EQ(1280, image->GetWidth());
    ASSERT_EQ(720, image->GetHeight());
    struct Expected {
        const char* what;
        float x, y;
        int r, g, b;
    };
    for (const Expected& e : {Expected{"ring", 348, 550, 240, 200, 40},
                              Expected{"backdrop through the ring's hole", 300, 550, 40, 56, 72},
                              Expected{"lamp switched on by the ring's click", 620, 550, 255, 250, 200},
                              Expected{"slider moved down by its end trigger", 450, 300, 220, 40, 40},
                              Expected{"sky in the far corner", 1020, 4, 24, 32, 48},
                              Expected{"ground in the far corner", 1020, 764, 40, 56, 72},
                              Expected{"the bar on the left", -80, 384, 0, 0, 0},
                              Expected{"the bar on the right", 1100, 384, 0, 0, 0}}) {
        const auto p = pixelAt(image, std::min(dx(e.x), 1279), std::min(dy(e.y), 719));
        EXPECT_NEAR(e.r, p.r, 3) << e.what;
        EXPECT_NEAR(e.g, p.g, 3) << e.what;
        EXPECT_NEAR(e.b, p.b, 3) << e.what;
    }
}

TEST(CanvasMapping, TheDisplayOptionIsCheckedAndDocumented) {
    EXPECT_EQ(2, runHalvern({"--display", "1280x720"}).exitCode) << "only for headless runs";
    for (const char* bad : {"wide", "1280", "1280x", "10x10", "1280x720x2"})
        EXPECT_EQ(2, runHalvern({"--headless", "--display", bad}).exitCode) << bad;
    EXPECT_NE(std::string::npos, runHalvern({"--help"}).output.find("--display WxH"));
}
