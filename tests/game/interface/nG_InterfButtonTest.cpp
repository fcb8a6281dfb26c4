// Interface buttons driven through the scene's dispatch: building, hover with its fade, leaving,
// clicks, the disabled look, two neighbouring buttons and drags.
#include "engine/objects/nE_Sprite.h"
#include "engine/objects/nE_Text.h"
#include "game/interface/nG_InterfButton.h"
#include "tests/game/interface/ButtonTestSupport.h"

namespace {

struct Clicks {
    int count = 0;
    static void handler(void* arg) { ++static_cast<Clicks*>(arg)->count; }
};

class InterfButtonTest : public buttontest::ButtonTest {
protected:
    // A button at (x, 100) like the tasks header's tabs: hover and disabled layers only, a 40 x 40
    // hit rectangle centred on the position.
    nG_InterfButton* tab(const std::string& name, float x) {
        auto* button = new nG_InterfButton(name);
        nG_InterfButton::Params params;
        params.layer1Image = buttontest::sprite("hole");
        params.layer2Image = buttontest::sprite("strip");
        button->build(params);
        button->setHitRect(-20, -20, 40, 40);
        button->editLocalState()->x = x;
        button->editLocalState()->y = 100;
        button->onClick = &Clicks::handler;
        button->clickArg = &clicks;
        scene().attach(ui, button);
        return button;
    }

    Clicks clicks;
};

}  // namespace

TEST_F(InterfButtonTest, BuildMakesOnlyTheGivenPartsAtTheirDepths) {
    nG_InterfButton* b = tab("ng_tab", 100);
    EXPECT_EQ(nullptr, b->layer0);
    ASSERT_NE(nullptr, b->layer1);
    ASSERT_NE(nullptr, b->layer2);
    EXPECT_EQ(nullptr, b->text0);
    EXPECT_EQ("ng_tab_layer_1", b->layer1->name);
    EXPECT_EQ("ng_tab_layer_2", b->layer2->name);
    EXPECT_FLOAT_EQ(1, b->layer1->localState().z);
    EXPECT_FLOAT_EQ(2, b->layer2->localState().z);
    EXPECT_TRUE(b->layer1->texture) << "parts get their resources when the button goes live";
    ASSERT_NE(nullptr, b->hitArea);
    EXPECT_EQ("ng_tab_dummy", b->hitArea->name);
    EXPECT_FLOAT_EQ(10, b->hitArea->localState().z);
    EXPECT_FALSE(b->layer1->input);
    EXPECT_FALSE(b->layer2->input);

    // Normal: nothing shown, since the only always-shown layer is absent.
    EXPECT_EQ(nG_InterfButton::kNormal, b->state);
    EXPECT_FALSE(b->layer1->visible);
    EXPECT_FALSE(b->layer2->visible);
}

TEST_F(InterfButtonTest, CaptionsNeedATextAndAFontAndTheirColours) {
    auto* b = new nG_InterfButton("ng_btn");
    nG_InterfButton::Params params;
    params.layer0Image = buttontest::sprite("hole");
    params.captionTextId = "Menu";
    params.captionFont = std::string(HALVERN_SOURCE_DIR) + "/assets/fonts/DejaVuSans";
    params.captionSize = 18;
    params.captionX = 11;
    params.captionY = 2;
    params.captionRaw = true;
    params.text0Colour = {196 / 255.f, 213 / 255.f, 1.f};
    params.text1Colour = nG_InterfButton::Colour{1.f, 236 / 255.f, 108 / 255.f};
    b->build(params);
    scene().attach(ui, b);
    ASSERT_NE(nullptr, b->text0);
    ASSERT_NE(nullptr, b->text1);
    EXPECT_EQ(nullptr, b->text2) << "no text2 colour";
    EXPECT_EQ("ng_btn_text_0", b->text0->name);
    EXPECT_FLOAT_EQ(3, b->text0->localState().z);
    EXPECT_FLOAT_EQ(4, b->text1->localState().z);
    EXPECT_FLOAT_EQ(11, b->text1->localState().x);
    EXPECT_FLOAT_EQ(2, b->text1->localState().y);
    EXPECT_EQ(18, b->text0->fontSize);
    EXPECT_TRUE(b->text0->rawText);
    EXPECT_EQ("Menu", b->text0->text);
    EXPECT_FLOAT_EQ(196 / 255.f, b->text0->localState().red);
    EXPECT_FLOAT_EQ(108 / 255.f, b->text1->localState().blue);
    EXPECT_TRUE(b->text0->textTexture) << "rendered with the font";
    EXPECT_TRUE(b->text0->visible);
    EXPECT_FALSE(b->text1->visible);

    auto* bare = new nG_InterfButton("ng_bare");
    params.captionFont.clear();
    bare->build(params);
    EXPECT_EQ(nullptr, bare->text0) << "no font, no captions";
    EXPECT_EQ(nullptr, bare->text1);
    delete bare;
}

TEST_F(InterfButtonTest, HoverFadesInAndLeavingFadesOutToNormal) {
    nG_InterfButton* b = tab("ng_tab", 100);
    move(300, 300);
    EXPECT_EQ(nG_InterfButton::kNormal, b->state);
    EXPECT_TRUE(cursor.selected.empty());

    move(110, 95);
    EXPECT_EQ(nG_InterfButton::kHover, b->state);
    EXPECT_EQ(b, nG_InterfButton::hoveredButton());
    EXPECT_EQ(std::vector<int>{4}, cursor.selected);
    EXPECT_TRUE(b->layer1->visible);
    run(0.25f);
    EXPECT_FLOAT_EQ(0.75f, b->glow);
    EXPECT_FLOAT_EQ(0.75f, b->layer1->localState().alpha);
    run(0.25f);
    EXPECT_FLOAT_EQ(1, b->glow) << "clamped";

    move(105, 100);
    EXPECT_EQ((std::vector<int>{4, 4}), cursor.selected) << "every move over it sets the cursor again";

    move(300, 300);
    EXPECT_EQ(nG_InterfButton::kLeaving, b->state);
    EXPECT_EQ(nullptr, nG_InterfButton::hoveredButton());
    EXPECT_EQ(1, cursor.selected.back());
    run(0.25f);
    EXPECT_FLOAT_EQ(0.25f, b->layer1->localState().alpha);
    EXPECT_TRUE(b->layer1->visible);

    // Coming back while leaving turns the light up again from where it is.
    move(100, 100);
    EXPECT_EQ(nG_InterfButton::kHover, b->state);
    run(1.f / 64);
    EXPECT_FLOAT_EQ(0.25f + 3.f / 64, b->glow);

    move(300, 300);
    run(1);
    EXPECT_EQ(nG_InterfButton::kNormal, b->state);
    EXPECT_EQ(0, b->glow);
    EXPECT_FALSE(b->layer1->visible);
}

TEST_F(InterfButtonTest, APressOverTheButtonCallsItsHandler) {
    nG_InterfButton* b = tab("ng_tab", 100);
    press(300, 300);
    EXPECT_EQ(0, clicks.count);
    move(100, 100);
    press(100, 100);
    release(100, 100);
    EXPECT_EQ(1, clicks.count);
    EXPECT_EQ(1, cursor.selected.back()) << "the default cursor after a click";
    press(119, 119);
    EXPECT_EQ(2, clicks.count);
    press(121, 100);
    EXPECT_EQ(2, clicks.count) << "outside the hit rectangle";

    b->onClick = nullptr;
    cursor.selected.clear();
    press(100, 100);
    EXPECT_TRUE(cursor.selected.empty()) << "no handler, no cursor change";
}

TEST_F(InterfButtonTest, WithoutAHitRectangleTheImagesTakeThePointer) {
    auto* b = new nG_InterfButton("ng_img");
    nG_InterfButton::Params params;
    params.layer0Image = buttontest::sprite("hole");
    b->build(params);
    b->editLocalState()->x = 100;
    b->editLocalState()->y = 100;
    scene().attach(ui, b);
    move(96.5f, 99.5f);
    EXPECT_EQ(nG_InterfButton::kHover, b->state);
    move(100.5f, 100.5f);
    EXPECT_EQ(nG_InterfButton::kLeaving, b->state) << "the image's transparent hole lets the pointer through";
}

TEST_F(InterfButtonTest, MovingStraightFromOneButtonOntoAnotherHandsTheLightOver) {
    nG_InterfButton* left = tab("ng_left", 100);
    nG_InterfButton* right = tab("ng_right", 140);
    move(100, 100);
    run(0.25f);
    move(140, 100);
    EXPECT_EQ(nG_InterfButton::kLeaving, left->state);
    EXPECT_EQ(nG_InterfButton::kHover, right->state);
    EXPECT_EQ(right, nG_InterfButton::hoveredButton());
    EXPECT_EQ((std::vector<int>{4, 1, 4}), cursor.selected);
    run(0.25f);
    EXPECT_FLOAT_EQ(0, left->glow);
    EXPECT_EQ(nG_InterfButton::kNormal, left->state);
    EXPECT_FLOAT_EQ(0.75f, right->glow);
}

TEST_F(InterfButtonTest, ADisabledButtonShowsItsThirdLookAndTakesNoEvents) {
    nG_InterfButton* b = tab("ng_tab", 100);
    move(100, 100);
    run(0.25f);
    b->setEnabled(false);
    EXPECT_EQ(nG_InterfButton::kDisabled, b->state);
    EXPECT_FALSE(b->input);
    EXPECT_FALSE(b->layer1->visible);
    EXPECT_TRUE(b->layer2->visible);
    EXPECT_FLOAT_EQ(0.75f, b->glow) << "the glow is kept";
    EXPECT_EQ(std::vector<int>{4}, cursor.selected) << "setEnabled leaves the cursor alone";

    move(101, 100);
    press(101, 100);
    run(0.5f);
    EXPECT_EQ(0, clicks.count);
    EXPECT_EQ(nG_InterfButton::kDisabled, b->state);
    EXPECT_FLOAT_EQ(0.75f, b->glow);

    b->setEnabled(true);
    EXPECT_EQ(nG_InterfButton::kNormal, b->state);
    EXPECT_TRUE(b->input);
    EXPECT_FALSE(b->layer2->visible);
    move(100, 100);
    run(1.f / 64);
    EXPECT_FLOAT_EQ(0.75f + 3.f / 64, b->glow) << "hovering again continues from the kept glow";

    b->setState(nG_InterfButton::kDisabled);
    EXPECT_FALSE(b->input);
    EXPECT_TRUE(b->layer2->visible);
}

TEST_F(InterfButtonTest, WhileSomethingIsDraggedButtonsIgnoreThePointer) {
    nG_InterfButton* b = tab("ng_tab", 100);
    auto* item = new nE_Object();
    item->name = "item";
    scene().attach(scene().root(), item);
    nE_Scene::setDragged(item);
    move(100, 100);
    press(100, 100);
    EXPECT_EQ(nG_InterfButton::kNormal, b->state);
    EXPECT_EQ(0, clicks.count);
    EXPECT_TRUE(cursor.selected.empty());
    nE_Scene::setDragged(nullptr);

    move(100, 100);
    nE_Scene::setDragged(item);
    move(300, 300);
    EXPECT_EQ(nG_InterfButton::kHover, b->state) << "leaving is ignored too";
    nE_Scene::setDragged(nullptr);
}

TEST_F(InterfButtonTest, ADestroyedHoveredButtonLetsGoOfTheHoverLink) {
    nG_InterfButton* b = tab("ng_tab", 100);
    move(100, 100);
    ASSERT_EQ(b, nG_InterfButton::hoveredButton());
    delete b;
    EXPECT_EQ(nullptr, nG_InterfButton::hoveredButton());
    nG_InterfButton* other = tab("ng_other", 140);
    move(140, 100);
    EXPECT_EQ(nG_InterfButton::kHover, other->state);
}

TEST_F(InterfButtonTest, ResetRestoresTheDefaults) {
    nG_InterfButton* b = tab("ng_tab", 100);
    b->hoverCursor = 3;
    b->fadeSpeed = 6;
    move(100, 100);
    run(0.25f);
    b->resetState();
    EXPECT_EQ(nG_InterfButton::kNormal, b->state);
    EXPECT_EQ(0, b->glow);
    EXPECT_EQ(nG_Cursor::kHand, b->hoverCursor);
    EXPECT_FLOAT_EQ(3, b->fadeSpeed);
    EXPECT_EQ(nullptr, b->onClick);
    EXPECT_EQ(nullptr, b->layer1);
    delete b;
}
