// The bundled menu on displays of another shape than its canvas: full screen on a 1920 × 1080 desktop,
// the canvas between black bars and clicks mapped through them; the window mode unticked in Options kept
// for the next launch, whose window the player resizes.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/integration/HalvernRun.h"
#include "tests/integration/Walk.h"

using namespace halverntest;

namespace {

// A click on the canvas point (x, y) of a display showing the canvas at scale from (left, 0).
std::string clickAt(int tick, float scale, float left, int x, int y) {
    return click(tick, static_cast<int>(std::lround(left + x * scale)),
                 static_cast<int>(std::lround(y * scale)));
}

RunResult run(const TempDir& user, const std::string& input, const std::string& shot) {
    user.write("input.txt", toTheMenu() + input);
    return runHalvern({"--headless", "--fixed-step", "--frames", "170", "--display", "1920x1080",
                       "--game-dir", HALVERN_SOURCE_DIR, "--user-dir", user.path, "--input",
                       user.file("input.txt"), "--screenshot", user.file(shot)});
}

bool black(const Pixel& p) {
    return p.r < 3 && p.g < 3 && p.b < 3;
}

}  // namespace

TEST(DisplayRun, AWideScreenShowsTheCanvasBetweenBarsAndClicksMapThroughThem) {
    TempDir user;
    // A press on the left bar beside the Options button acts on nothing; the button opens the options.
    ASSERT_EQ(0,
              run(user, click(100, 100, 759) + clickAt(110, 1.40625f, 240, 250, 540), "wide.png").exitCode);
    auto image = pf::TTexture::Get(user.file("wide.png"));
    ASSERT_TRUE(image && image->GetWidth() == 1920 && image->GetHeight() == 1080);
    EXPECT_TRUE(black(pixelAt(image, 120, 540)) && black(pixelAt(image, 1800, 540))) << "the bars";
    expectLooksLike(user.file("wide.png"), "pillarbox_1920x1080");
}

TEST(DisplayRun, TheWindowModeChosenInOptionsIsKeptAndAResizedWindowKeepsTheCanvasShape) {
    TempDir user;
    ASSERT_EQ(0, run(user, clickAt(100, 1.40625f, 240, 250, 540) + clickAt(130, 1.40625f, 240, 262, 466),
                     "first.png")
                     .exitCode);
    EXPECT_NE(std::string::npos, user.read("settings.xml").find("fullscreen=\"0\""))
        << user.read("settings.xml");

    // The next launch opens a 1024 × 768 window, which the player makes 1280 × 600 before opening the
    // options where the canvas now lies.
    ASSERT_EQ(0,
              run(user, "60 14 0 1280 600\n" + clickAt(100, 0.78125f, 240, 250, 540), "second.png").exitCode);
    auto image = pf::TTexture::Get(user.file("second.png"));
    ASSERT_TRUE(image && image->GetWidth() == 1280 && image->GetHeight() == 600);
    EXPECT_TRUE(black(pixelAt(image, 100, 300)) && black(pixelAt(image, 1180, 300))) << "the bars";
    // Canvas (512, 404), between two sliders.
    EXPECT_GT(pixelAt(image, 640, 316).r, 150) << "the options' parchment at the canvas's centre";
}
