#include "tests/game/interface/MessageWidgetTestSupport.h"

using PopupTest = messagetest::MessageWidgetsTest;

TEST_F(PopupTest, ThePopupWaitsOpensInsideTheScreenAndClosesAtAPressThatGoesOn) {
    nG_Popup& popup = *ui().popup;
    cursor.x = 1020;
    cursor.y = 760;
    lua("ShowPopup('hello')");
    EXPECT_EQ(popup.mode, nG_Popup::kWaiting);
    run(0.3f);
    EXPECT_FALSE(popup.visible) << "it waits a moment";
    run(0.1f);
    EXPECT_EQ(popup.mode, nG_Popup::kOpen);
    EXPECT_EQ(popup.text->displayedString(), "Hello there");
    run(0.3f);
    EXPECT_FLOAT_EQ(popup.level, 1);
    // Opened at the bottom-right corner, the box lies wholly on the screen.
    const float halfW = (popup.textWidth + 32) / 2, halfH = (popup.textHeight + 26) / 2;
    EXPECT_GE(popup.textWidth, 100);
    EXPECT_GE(popup.localState().x - halfW, 0);
    EXPECT_LE(popup.localState().x + halfW, 1024);
    EXPECT_GE(popup.localState().y - halfH, 0);
    EXPECT_LE(popup.localState().y + halfH, 768);
    ASSERT_TRUE(popup.picture);
    EXPECT_FLOAT_EQ(popup.picture->width, popup.textWidth + 32) << "painted once into a target";
    EXPECT_FLOAT_EQ(popup.picture->height, popup.textHeight + 26);

    lua("ShowPopup('hello')");
    tick(0.05f);
    EXPECT_EQ(popup.mode, nG_Popup::kOpen) << "the same text does not restart";
    EXPECT_FLOAT_EQ(popup.level, 1);

    press(300, 300);
    EXPECT_EQ(popup.mode, nG_Popup::kClosing);
    EXPECT_TRUE(popup.textId.empty());
    EXPECT_TRUE(doorPressed()) << "the press is not taken";
    run(0.3f);
    EXPECT_FALSE(popup.visible);
    EXPECT_FALSE(popup.input);

    // A text that is not in the table shows the marker; a new text while open closes first.
    lua("ShowPopup('missing')");
    run(0.5f);
    EXPECT_EQ(popup.text->displayedString(), "#####");
    lua("ShowPopup('bye', 'x')");
    EXPECT_EQ(popup.mode, nG_Popup::kClosing);
    run(0.25f);
    EXPECT_EQ(popup.mode, nG_Popup::kWaiting) << "reopens once closed";
    run(0.5f);
    EXPECT_EQ(popup.text->displayedString(), "Goodbye");
    EXPECT_EQ(popup.params[0], "x");

    // Hidden while it waits, it never opens.
    lua("HidePopup(); ShowPopup('hello'); HidePopup()");
    run(1);
    EXPECT_FALSE(popup.visible);
    EXPECT_EQ(popup.mode, nG_Popup::kClosing);
}
