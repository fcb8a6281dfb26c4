// Simple buttons driven through the scene's dispatch: the hover grow, the click squeeze and the
// return to rest, each step lasting 1/9 s.
#include "game/interface/nG_SimpleButton.h"
#include "tests/game/interface/ButtonTestSupport.h"

namespace {

class SimpleButtonTest : public buttontest::ButtonTest {
protected:
    void SetUp() override {
        ButtonTest::SetUp();
        button = new nG_SimpleButton("ng_arrow");
        button->setResourceName(buttontest::sprite("hole"));
        button->editLocalState()->x = 100;
        button->editLocalState()->y = 100;
        button->onClick = [](void* arg) { ++*static_cast<int*>(arg); };
        button->clickArg = &clicks;
        scene().attach(ui, button);
    }
    // One step of the animation is 1/9 s; dt 1/72 gives eight updates per step.
    void step(int updates) {
        for (int i = 0; i < updates; ++i) scene().update(1.f / 72);
    }
    float scale() const { return button->localState().scaleX; }

    nG_SimpleButton* button = nullptr;
    int clicks = 0;
};

}  // namespace

TEST_F(SimpleButtonTest, RestsAtNineTenthsAndGrowsWhilePointedAt) {
    EXPECT_FLOAT_EQ(0.9f, scale());
    EXPECT_FLOAT_EQ(0.9f, button->localState().scaleY);
    move(96.5f, 99.5f);
    EXPECT_EQ(nG_SimpleButton::kHovered, button->phase);
    step(4);
    EXPECT_NEAR(0.95f, scale(), 1e-5);
    step(4);
    EXPECT_NEAR(1.f, scale(), 1e-5);
    step(8);
    EXPECT_NEAR(1.f, scale(), 1e-5) << "stays grown";
    EXPECT_FLOAT_EQ(scale(), button->localState().scaleY);

    move(300, 300);
    EXPECT_EQ(nG_SimpleButton::kUnhover, button->phase);
    step(4);
    EXPECT_NEAR(0.95f, scale(), 1e-5);
    step(4);
    EXPECT_EQ(nG_SimpleButton::kRest, button->phase);
    EXPECT_NEAR(0.9f, scale(), 1e-5);
    step(8);
    EXPECT_FLOAT_EQ(0.9f, scale());
    EXPECT_EQ(0, clicks);
}

TEST_F(SimpleButtonTest, AClickSqueezesThenGrowsAndEndsHovered) {
    move(96.5f, 99.5f);
    step(8);
    press(96.5f, 99.5f);
    EXPECT_EQ(1, clicks);
    EXPECT_EQ(nG_SimpleButton::kPressShrink, button->phase);
    step(8);
    EXPECT_NEAR(0.8f, scale(), 1e-5);
    EXPECT_EQ(nG_SimpleButton::kPressGrow, button->phase);
    step(8);
    EXPECT_NEAR(1.f, scale(), 1e-5);
    EXPECT_EQ(nG_SimpleButton::kHovered, button->phase);
    EXPECT_EQ(0, button->timer) << "the click takes 2/9 s";
}

TEST_F(SimpleButtonTest, LeavingDuringThePressAnimationEndsEnlargedUntilTheNextMoveOutside) {
    press(96.5f, 99.5f);
    move(300, 300);
    EXPECT_EQ(nG_SimpleButton::kPressShrink, button->phase);
    step(16);
    EXPECT_EQ(nG_SimpleButton::kHovered, button->phase);
    EXPECT_NEAR(1.f, scale(), 1e-5);
    move(300, 300);
    EXPECT_EQ(nG_SimpleButton::kUnhover, button->phase);
}

TEST_F(SimpleButtonTest, OnlyItsOpaquePixelsTakeThePointer) {
    press(100.5f, 100.5f);
    EXPECT_EQ(0, clicks) << "the hole";
    EXPECT_EQ(nG_SimpleButton::kRest, button->phase);
    move(100.5f, 100.5f);
    EXPECT_EQ(nG_SimpleButton::kRest, button->phase);
    release(96.5f, 99.5f);
    EXPECT_EQ(nG_SimpleButton::kRest, button->phase) << "a release does nothing";
}

TEST_F(SimpleButtonTest, WhileSomethingIsDraggedTheButtonIgnoresThePointer) {
    auto* item = new nE_Object();
    item->name = "item";
    scene().attach(scene().root(), item);
    nE_Scene::setDragged(item);
    move(96.5f, 99.5f);
    press(96.5f, 99.5f);
    EXPECT_EQ(0, clicks);
    EXPECT_EQ(nG_SimpleButton::kRest, button->phase);
    nE_Scene::setDragged(nullptr);
}

TEST_F(SimpleButtonTest, ResetRestoresRestScaleAndDropsTheHandler) {
    press(96.5f, 99.5f);
    step(4);
    button->resetState();
    EXPECT_FLOAT_EQ(0.9f, scale());
    EXPECT_EQ(nG_SimpleButton::kRest, button->phase);
    EXPECT_EQ(0, button->timer);
    EXPECT_EQ(nullptr, button->onClick);
    delete button;
}
