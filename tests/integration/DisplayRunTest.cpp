// The bundled menu on displays of other shapes than its canvas: full screen on a 1920 × 1080 desktop, the
// canvas between black bars with clicks mapped through them; the window mode unticked in Options kept for
// the next launch; a window resized by the player, the canvas following it.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/integration/HalvernRun.h"
#include "tests/integration/Walk.h"

using halverntest::click;
using halverntest::expectLooksLike;
using halverntest::pixelAt;
using halverntest::runHalvern;
using halverntest::TempDir;

namespace {

const std::string kGame = HALVERN_SOURCE_DIR;
// Canvas points of the menu: the logo skipped, the Options button, its full-screen box.
const int kSkipLogo[] = {512, 600};
const int kOptionsButton[] = {250, 540};
const int kFullScreenBox[] = {262, 502};

// A display of width × height showing the canvas at its own shape, centred.
struct Fit {
    float scale, left, top;
    Fit(int width, int height)
        : scale(std::min(width / 1024.f, height / 768.f)),
          left(std::floor((width - 1024 * scale) / 2)),
          top(std::floor((height - 768 * scale) / 2)) {}
    std::string click(int tick, const int at[2]) const {
        return halverntest::click(tick, static_cast<int>(std::lround(left + at[0] * scale)),
                                  static_cast<int>(std::lround(top + at[1] * scale)));
    }
};

std::string escape(int tick) {
    return std::to_string(tick) + " 7 27 0 0\n" + std::to_string(tick + 1) + " 8 27 0 0\n";
}

halverntest::RunResult run(const TempDir& user, const std::string& input, int frames,
                           const std::string& shot) {
    user.write("input.txt", input);
    return runHalvern({"--headless", "--fixed-step", "--frames", std::to_string(frames), "--display",
                       "1920x1080", "--game-dir", kGame, "--user-dir", user.path, "--input",
                       user.file("input.txt"), "--screenshot", shot});
}

bool black(const halverntest::Pixel& p) {
    return p.r < 3 && p.g < 3 && p.b < 3;
}

}  // namespace

TEST(DisplayRun, AWideScreenShowsTheCanvasBetweenBarsAndClicksMapThroughThem) {
    TempDir user;
    const Fit wide(1920, 1080);
    // A press on the left bar level with the Options button acts on nothing; the button itself opens
    // the options.
    std::string input = wide.click(20, kSkipLogo) + escape(210);
    input += click(240, 100, static_cast<int>(wide.top + kOptionsButton[1] * wide.scale));
    input += wide.click(250, kOptionsButton);
    const std::string shot = user.file("wide.png");
    const auto result = run(user, input, 300, shot);
    ASSERT_EQ(0, result.exitCode) << result.output;
    auto image = pf::TTexture::Get(shot);
    ASSERT_TRUE(image);
    ASSERT_EQ(1920, image->GetWidth());
    ASSERT_EQ(1080, image->GetHeight());
    EXPECT_TRUE(black(pixelAt(image, 120, 540)) && black(pixelAt(image, 1800, 540))) << "the bars";
    expectLooksLike(shot, "pillarbox_1920x1080");
}

TEST(DisplayRun, TheWindowModeChosenInOptionsIsKeptAndAResizedWindowKeepsTheCanvasShape) {
    TempDir user;
    const Fit wide(1920, 1080);
    std::string input = wide.click(20, kSkipLogo) + escape(210) + wide.click(250, kOptionsButton);
    input += wide.click(300, kFullScreenBox);
    const auto first = run(user, input, 340, user.file("first.png"));
    ASSERT_EQ(0, first.exitCode) << first.output;
    EXPECT_NE(std::string::npos, user.read("settings.xml").find("fullscreen=\"0\""))
        << user.read("settings.xml");

    // The next launch opens a window; the player makes it wider and lower, and the Options button is
    // found where the canvas now lies.
    const Fit resized(1280, 600);
    input =
        "5 14 0 1280 600\n" + resized.click(20, kSkipLogo) + escape(210) + resized.click(250, kOptionsButton);
    const std::string shot = user.file("second.png");
    const auto second = run(user, input, 300, shot);
    ASSERT_EQ(0, second.exitCode) << second.output;
    EXPECT_NE(std::string::npos, user.read("settings.xml").find("fullscreen=\"0\""));
    auto image = pf::TTexture::Get(shot);
    ASSERT_TRUE(image);
    ASSERT_EQ(1280, image->GetWidth());
    ASSERT_EQ(600, image->GetHeight());
    EXPECT_TRUE(black(pixelAt(image, 100, 300)) && black(pixelAt(image, 1180, 300))) << "the bars";
    EXPECT_GT(pixelAt(image, 640, 300).r, 150) << "the options' parchment at the canvas's centre";
}
