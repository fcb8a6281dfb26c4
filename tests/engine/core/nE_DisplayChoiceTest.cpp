// Display-mode choice and the canvas mapping, against the recording platform's desktops.
#include "engine/core/nE_DisplayChoice.h"

#include <gtest/gtest.h>

#include "pflib/recording/TRecordingPlatform.h"

namespace {

class DisplayChoice : public ::testing::Test {
protected:
    void SetUp() override { pf::testing::Reset(); }
};

pf::TDisplayMode mode(int w, int h) {
    pf::TDisplayMode m;
    m.width = w;
    m.height = h;
    m.frequency = 60;
    m.bitsPerPixel = 32;
    return m;
}

TEST_F(DisplayChoice, WindowedOnAScreenNoLargerThanTheCanvasStartsFullScreen) {
    pf::testing::SetDesktop(1024, 768, {mode(1024, 768), mode(800, 600)});
    const nE_DisplayChoice c = nE_DisplayChoice::choose(false);
    EXPECT_TRUE(c.fullscreen);
    EXPECT_EQ(c.width, 1024);
    EXPECT_EQ(c.height, 768);

    pf::testing::SetDesktop(1920, 768, {mode(1024, 768)});
    EXPECT_TRUE(nE_DisplayChoice::choose(false).fullscreen);
}

TEST_F(DisplayChoice, WindowedOnALargerDesktopStaysWindowedAtOneToOne) {
    pf::testing::SetDesktop(1280, 1024, {mode(1024, 768)});
    const nE_DisplayChoice c = nE_DisplayChoice::choose(false);
    EXPECT_FALSE(c.fullscreen);
    EXPECT_EQ(c.width, 1024);
    EXPECT_EQ(c.height, 768);
    EXPECT_FLOAT_EQ(c.mapping.scaleX, 1);
    EXPECT_FLOAT_EQ(c.mapping.scaleY, 1);
    EXPECT_FLOAT_EQ(c.mapping.offsetX, 0);
}

TEST_F(DisplayChoice, FullScreenTakesAMatching1024x768Mode) {
    pf::testing::SetDesktop(1280, 1024, {mode(1280, 1024), mode(1024, 768)});
    const nE_DisplayChoice c = nE_DisplayChoice::choose(true);
    EXPECT_TRUE(c.fullscreen);
    EXPECT_EQ(c.width, 1024);
    EXPECT_EQ(c.height, 768);
    EXPECT_FLOAT_EQ(c.mapping.scaleX, 1);
    EXPECT_FLOAT_EQ(c.mapping.scaleY, 1);
}

TEST_F(DisplayChoice, FullScreenWithoutSuchAModeStretchesTheCanvasOverTheDesktop) {
    // A 1024 x 768 mode at another refresh rate does not match the desktop's.
    pf::TDisplayMode other = mode(1024, 768);
    other.frequency = 75;
    pf::testing::SetDesktop(1280, 1024, {mode(1280, 1024), other});
    const nE_DisplayChoice c = nE_DisplayChoice::choose(true);
    EXPECT_EQ(c.width, 1280);
    EXPECT_EQ(c.height, 1024);
    EXPECT_FLOAT_EQ(c.mapping.scaleX, 1.25f);
    EXPECT_FLOAT_EQ(c.mapping.scaleY, 1.3333334f);
    EXPECT_FLOAT_EQ(c.mapping.offsetX, 0);
    EXPECT_FLOAT_EQ(c.mapping.offsetY, 0);
    EXPECT_FLOAT_EQ(nE_DisplayChoice::canvas().scaleX, 1.25f);
}

TEST_F(DisplayChoice, ADesktopLowerThanTheCanvasIsUsedAsItIs) {
    pf::testing::SetDesktop(1366, 700, {mode(1024, 768)});
    const nE_DisplayChoice c = nE_DisplayChoice::choose(true);
    EXPECT_EQ(c.width, 1366);
    EXPECT_EQ(c.height, 700);
}

}  // namespace
