// The text example module (tests/examples/text) run headless: texts in the bundled font, left-aligned,
// centred, right-aligned, wrapped and looked up in the string table, checked by where their ink lands
// on the screenshot; a click on the right half of the left-aligned label reaches it.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/integration/HalvernRun.h"

using halverntest::pixelAt;
using halverntest::runHalvern;
using halverntest::TempDir;

namespace {

const std::string kExample = std::string(HALVERN_SOURCE_DIR) + "/tests/examples/text";

// The inked pixels (anything not black) inside a rectangle of the screenshot.
struct Ink {
    int left = -1, right = -1, top = -1, bottom = -1;
    int count = 0;
    std::vector<int> rows;  // inked pixels per row of the rectangle
};

Ink inkIn(const std::shared_ptr<pf::TTexture>& image, int x0, int y0, int x1, int y1) {
    Ink ink;
    ink.rows.assign(y1 - y0, 0);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const auto p = pixelAt(image, x, y);
            if (p.r + p.g + p.b < 60) continue;
            ++ink.count;
            ++ink.rows[y - y0];
            ink.left = ink.left < 0 ? x : std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.top = ink.top < 0 ? y : std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y);
        }
    return ink;
}

// The lowest inked row within the columns [x0, x1) and rows [y0, y1); -1 when there is none.
int lastInkRow(const std::shared_ptr<pf::TTexture>& image, int x0, int x1, int y0, int y1) {
    const Ink ink = inkIn(image, x0, y0, x1, y1);
    return ink.bottom;
}

// Runs of inked rows separated by blank rows: the text lines.
int inkedLines(const Ink& ink) {
    int lines = 0;
    bool inLine = false;
    for (int n : ink.rows) {
        if (n > 0 && !inLine) ++lines;
        inLine = n > 0;
    }
    return lines;
}

class TextExample : public ::testing::Test {
protected:
    void SetUp() override {
        shot = user.file("text.png");
        std::vector<std::string> args = {"--headless", "--fixed-step", "--frames",     "20",
                                         "--game-dir", kExample,       "--user-dir",   user.path,
                                         "--module",   "scene",        "--screenshot", shot};
        // Button down and up at (250, 100): inside the drawn label, outside a block centred on x = 100.
        user.write("input.txt", "5 1 0 250 100\n6 3 0 250 100\n");
        args.push_back("--input");
        args.push_back(user.file("input.txt"));
        run = runHalvern(args);
        image = pf::TTexture::Get(shot);
    }
    TempDir user;
    std::string shot;
    halverntest::RunResult run;
    std::shared_ptr<pf::TTexture> image;
};

}  // namespace

TEST_F(TextExample, TextsLandWhereTheirAlignmentPutsThem) {
    ASSERT_EQ(0, run.exitCode) << run.output;
    EXPECT_EQ(std::string::npos, run.output.find("Could not find")) << run.output;
    ASSERT_TRUE(image) << "no screenshot " << shot;
    ASSERT_EQ(1024, image->GetWidth());

    // Left: the block's left edge on x = 100, the pen a quarter of the size (8) further in.
    const Ink left = inkIn(image, 0, 60, 1024, 140);
    ASSERT_GT(left.count, 200);
    EXPECT_GE(left.left, 108);
    EXPECT_LE(left.left, 112);
    EXPECT_GT(left.right, 250) << "the label reaches well right of its position";
    // The block is 32 + 16 high and centred on y = 100, so the baseline lies at 76 + 32 = 108: the L
    // stands on it, the g hangs below it.
    EXPECT_EQ(108 - 1, lastInkRow(image, left.left, left.left + 3, 60, 140));
    EXPECT_GT(left.bottom, 110);

    // Centred on x = 512.
    const Ink centre = inkIn(image, 0, 260, 1024, 340);
    ASSERT_GT(centre.count, 200);
    EXPECT_NEAR(512, (centre.left + centre.right) / 2.0, 3);

    // Right: the block's right edge on x = 924, the ink ending a quarter size (8) before it.
    const Ink right = inkIn(image, 0, 410, 1024, 490);
    ASSERT_GT(right.count, 200);
    EXPECT_GE(right.right, 910);
    EXPECT_LE(right.right, 916);
    EXPECT_LT(right.left, 750);

    // Wrapped at 180 pixels into three lines, each centred, none wider than the wrapping width.
    const Ink wrapped = inkIn(image, 0, 540, 1024, 665);
    EXPECT_EQ(3, inkedLines(wrapped));
    EXPECT_GE(wrapped.left, 512 - 90 - 4);
    EXPECT_LE(wrapped.right, 512 + 90 + 4);
    EXPECT_NEAR(512, (wrapped.left + wrapped.right) / 2.0, 8);
    EXPECT_NEAR(600, (wrapped.top + wrapped.bottom) / 2.0, 8);

    // The string table's text, not its key ("Hello from the string table" is much longer than the
    // "#####" a missing key would show).
    const Ink keyed = inkIn(image, 0, 700, 1024, 745);
    EXPECT_GT(keyed.right - keyed.left, 200);
    EXPECT_NEAR(512, (keyed.left + keyed.right) / 2.0, 4);
}

TEST_F(TextExample, AClickOnTheRightHalfOfALeftAlignedLabelReachesIt) {
    ASSERT_EQ(0, run.exitCode) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("clicked left\n")) << run.output;
}

TEST(TextProgram, AMissingFontIsReportedAndNothingIsDrawn) {
    TempDir game, user;
    game.write("broken.xml", R"(<objs><obj name="r"><text name="t" res="fonts/none" pos_x="512" pos_y="384"
        disprawtext="1" text="Invisible"/></obj></objs><code>ObjAttach('t', 'ne_origin')</code>)");
    const std::string shot = user.file("shot.png");
    const auto run = runHalvern({"--headless", "--fixed-step", "--frames", "10", "--game-dir", game.path,
                                 "--user-dir", user.path, "--module", "broken", "--screenshot", shot});
    ASSERT_EQ(0, run.exitCode) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("nE_Font::Could not find \"fonts/none\" file!"))
        << run.output;
    auto image = pf::TTexture::Get(shot);
    ASSERT_TRUE(image);
    EXPECT_EQ(0, inkIn(image, 312, 334, 712, 434).count);
}
