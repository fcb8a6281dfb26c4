#include "tests/game/interface/MessageWidgetTestSupport.h"

using DialogTest = messagetest::MessageWidgetsTest;

TEST_F(DialogTest, TheDialogTogglesChangesWithAFadeAndClosesAtAClickOnIt) {
    nG_Dialog& dialog = *ui().dialog;
    lua("ShowDialog('hello', 0, 0)");
    EXPECT_EQ(dialog.state, nG_Dialog::kFadingIn);
    ASSERT_TRUE(dialog.picture);
    EXPECT_FLOAT_EQ(dialog.picture->width, dialog.textWidth + 86);
    EXPECT_FLOAT_EQ(dialog.picture->height, dialog.textHeight + 60);
    EXPECT_GT(dialog.textWidth, 0);
    // Asked for at the corner, the box stays on the screen.
    EXPECT_FLOAT_EQ(dialog.localState().x, (dialog.textWidth + 86) / 2);
    EXPECT_FLOAT_EQ(dialog.localState().y, (dialog.textHeight + 60) / 2);
    run(0.4f);
    EXPECT_FLOAT_EQ(dialog.fade, 1);

    // Another text while shown: the old box fades out, then the new one comes with its own picture.
    const float oldWidth = dialog.picture->width;
    lua("ShowDialog('missing', 512, 384)");
    EXPECT_EQ(dialog.state, nG_Dialog::kChanging);
    run(0.2f);
    EXPECT_LT(dialog.fade, 1);
    run(0.2f);
    EXPECT_EQ(dialog.state, nG_Dialog::kFadingIn);
    EXPECT_EQ(dialog.textObject->displayedString(), "#####");
    EXPECT_NE(dialog.picture->width, oldWidth);
    EXPECT_FLOAT_EQ(dialog.localState().x, 512);
    run(0.4f);

    // The same text again hides it; a hidden dialog holds nothing back.
    lua("ShowDialog('missing', 512, 384)");
    EXPECT_EQ(dialog.state, nG_Dialog::kFadingOut);
    run(0.4f);
    EXPECT_FALSE(dialog.visible);
    EXPECT_FALSE(dialog.input);
    EXPECT_FALSE(dialog.active);
    press(300, 300);
    EXPECT_TRUE(doorPressed());

    // A click on the box closes it; the content hears of it once it has gone.
    nE_Core::get()->triggerHub().registerTrigger(
        std::make_unique<nE_Trigger>("ng_dialog_closed", "log = log .. ne_params.sender .. ' closed;'"));
    lua("ShowDialog('hello', 300, 300)");
    run(0.4f);
    press(300, 300);
    EXPECT_FALSE(doorPressed()) << "the box took the click";
    EXPECT_EQ(dialog.state, nG_Dialog::kFadingOut);
    run(0.5f);
    EXPECT_EQ(eval("log"), "ng_dialog closed;");
    // A room change closes it too.
    lua("ShowDialog('bye', 512, 300)");
    run(0.4f);
    lua("SwitchRoom('room_b', 0)");
    run(0.5f);
    EXPECT_FALSE(dialog.visible);
}
