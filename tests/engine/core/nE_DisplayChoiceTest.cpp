// Display-mode choice and the canvas mapping, against the recording platform's desktops.
#include <gtest/gtest.h>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_DisplayChoice.h"
#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Object.h"
#include "engine/core/nE_Scene.h"
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

TEST_F(DisplayChoice, FullScreenWithoutSuchAModeFitsTheCanvasBetweenBars) {
    // A 1024 x 768 mode at another refresh rate does not match the desktop's.
    pf::TDisplayMode other = mode(1024, 768);
    other.frequency = 75;
    pf::testing::SetDesktop(1280, 1024, {mode(1280, 1024), other});
    const nE_DisplayChoice c = nE_DisplayChoice::choose(true);
    EXPECT_EQ(c.width, 1280);
    EXPECT_EQ(c.height, 1024);
    EXPECT_FLOAT_EQ(c.mapping.scaleX, 1.25f);
    EXPECT_FLOAT_EQ(c.mapping.scaleY, 1.25f) << "the canvas keeps its shape";
    EXPECT_FLOAT_EQ(c.mapping.offsetX, 0);
    EXPECT_FLOAT_EQ(c.mapping.offsetY, 32) << "bars above and below";
    EXPECT_TRUE(c.mapping.onCanvas(0, 32));
    EXPECT_FALSE(c.mapping.onCanvas(640, 31)) << "the top bar";
    EXPECT_FALSE(c.mapping.onCanvas(640, 992)) << "the bottom bar";
}

TEST_F(DisplayChoice, ADesktopLowerThanTheCanvasIsUsedAsItIs) {
    pf::testing::SetDesktop(1366, 700, {mode(1024, 768)});
    const nE_DisplayChoice c = nE_DisplayChoice::choose(true);
    EXPECT_EQ(c.width, 1366);
    EXPECT_EQ(c.height, 700);
}

}  // namespace

// The mapping is applied: the root holds it until the named holder (the screen object) is live, and
// a display point hits what lies under it in canvas units.
TEST(CanvasHolder, TheMappingPlacesTheRootOrTheNamedHolder) {
    if (nE_Core::exists()) nE_Core::destroy();
    pf::testing::Reset();
    pf::testing::SetDesktop(1280, 720, {mode(1280, 720)});
    const nE_DisplayChoice c = nE_DisplayChoice::choose(true);
    nE_Scene& scene = nE_Core::get()->scene();
    nE_DisplayChoice::setCanvasHolder("ng_screen");
    nE_DisplayChoice::applyCanvas();
    EXPECT_EQ(scene.root(), nE_DisplayChoice::canvasHolder()) << "no screen object yet";
    EXPECT_FLOAT_EQ(0.9375f, scene.root()->localState().scaleX);
    EXPECT_FLOAT_EQ(0.9375f, scene.root()->localState().scaleY);
    EXPECT_FLOAT_EQ(160.f, scene.root()->localState().x);

    auto* button = new nE_Object();
    button->name = "button";
    button->inputRectSet = true;
    button->inputRect = nE_Rect{500, 380, 24, 16};  // around the canvas centre
    scene.attach(scene.root(), button);
    nE_InputEvent click;
    click.type = nE_InputEvent::kPointerMove;
    click.x = 160 + 512 * 0.9375f;
    click.y = 384 * 0.9375f;
    EXPECT_EQ(button, scene.root()->hitTest(click, nullptr));
    click.x = 512;  // the same numbers as canvas units miss on this display
    EXPECT_EQ(nullptr, scene.root()->hitTest(click, nullptr));
    EXPECT_FLOAT_EQ(512.f, c.mapping.canvasX(640.f));
    EXPECT_FALSE(c.mapping.onCanvas(159.f, 360.f)) << "the left bar";

    auto* screen = new nE_Object();
    screen->name = "ng_screen";
    scene.attach(scene.root(), screen);
    nE_DisplayChoice::applyCanvas();
    EXPECT_EQ(screen, nE_DisplayChoice::canvasHolder());
    EXPECT_FLOAT_EQ(1.f, scene.root()->localState().scaleX) << "handed over, not mapped twice";
    EXPECT_FLOAT_EQ(0.9375f, screen->localState().scaleX);
    nE_DisplayChoice::setCanvasHolder("");
    nE_Core::destroy();
}
