// The interface's message widgets in a running game, driven through the scripts: the pop-up, the
// subtitle line, the tutorial hint, the speech dialog, the narration bar and the achievement notices.
// Texts are looked up in a small string table and rendered with the game's own fonts, so that sizes
// are real; a sprite of the room logs the presses that reach it.
#include <tinyxml2.h>

#include <cstdlib>

#include "engine/core/nE_StringTable.h"
#include "engine/media/nE_Subtitles.h"
#include "engine/media/nE_Texture.h"
#include "engine/objects/nE_AnimSprite.h"
#include "engine/objects/nE_Text.h"
#include "engine/script/nE_Trigger.h"
#include "game/core/nG_Messages.h"
#include "game/interface/nG_Achievement.h"
#include "game/interface/nG_BlackBarText.h"
#include "game/interface/nG_Dialog.h"
#include "game/interface/nG_InterfButton.h"
#include "game/interface/nG_Popup.h"
#include "game/interface/nG_Subtitles.h"
#include "game/interface/nG_Tutorial.h"
#include "tests/game/core/GameTestSupport.h"

namespace {

class MessageWidgetsTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        linkBundledInterface();
        previousTable = nE_StringTable::current();
        strings.entries = {{"hello", "Hello there"},
                           {"bye", "Goodbye"},
                           {"tip", "Click the urn."},
                           {"ask", "Would you like a few tips?"},
                           {"wide",
                            "A line of narration long enough to wrap onto a second line when the "
                            "subtitles show it across the top of the screen, which they must allow."},
                           {"ach_a_h", "First"},
                           {"ach_a_d", "Did the first thing."},
                           {"ach_b_h", "Second"},
                           {"ach_b_d", "Did it again."}};
        nE_StringTable::setCurrent(&strings);
        // A new game now that the fonts and images are there.
        endGame();
        ng = startGame();
        startLevel();
        lua("HideInterface(0, 0); SetInterfaceInputEnable(1); ObjSet('a_door', { event_mdown = 'opened' }); "
            "log = ''");
        tick(0);
    }
    void TearDown() override {
        nE_StringTable::setCurrent(previousTable);
        GameTest::TearDown();
    }

    void press(float x, float y) {
        send(nE_InputEvent::kButtonDown, x, y);
        send(nE_InputEvent::kButtonUp, x, y);
        tick(0);
    }
    // Whether a press has reached the room's door sprite since the last look; forgets it.
    bool doorPressed() {
        const bool pressed = eval("log").find("open a_door") != std::string::npos;
        lua("log = ''");
        return pressed;
    }
    nG_Interface& ui() { return *ng->interface; }

    nE_StringTable strings;
    nE_StringTable* previousTable = nullptr;
};

TEST_F(MessageWidgetsTest, ThePopupWaitsOpensInsideTheScreenAndClosesAtAPressThatGoesOn) {
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
    EXPECT_GE(popup.localState.x - halfW, 0);
    EXPECT_LE(popup.localState.x + halfW, 1024);
    EXPECT_GE(popup.localState.y - halfH, 0);
    EXPECT_LE(popup.localState.y + halfH, 768);
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

TEST_F(MessageWidgetsTest, SubtitlesSendTheBarAwayFadeFromWhereTheyStandAndGrowForLongLines) {
    nG_Subtitles& subtitles = *ui().subtitles;
    nG_BlackBarText& bar = *ui().blackBar;
    lua("ShowBlackBarText('bye', 3)");
    run(0.5f);
    ASSERT_EQ(bar.state, nG_BlackBarText::kShown);

    nE_Subtitles::Message line{true, "hello"};
    nE_Mediator::current()->post<MSG_SUBTITLES>(&line);
    EXPECT_EQ(bar.state, nG_BlackBarText::kFadingOut) << "the narration makes way";
    EXPECT_TRUE(subtitles.visible);
    EXPECT_EQ(subtitles.text->displayedString(), "Hello there");
    EXPECT_FLOAT_EQ(subtitles.band->localState.scaleY, 38) << "one line fits the band";
    run(0.2f);
    const float reached = subtitles.level;
    EXPECT_GT(reached, 0.4f);
    EXPECT_LT(reached, 1);

    // Hidden while fading in: it fades out from where it stood.
    line = {false, ""};
    nE_Mediator::current()->post<MSG_SUBTITLES>(&line);
    tick(0.05f);
    EXPECT_NEAR(subtitles.level, reached - 0.15f, 1e-4);
    EXPECT_FLOAT_EQ(subtitles.band->localState.alpha, subtitles.level);
    run(0.5f);
    EXPECT_FALSE(subtitles.visible);

    line = {true, "wide"};
    nE_Mediator::current()->post<MSG_SUBTITLES>(&line);
    const float height = subtitles.text->getLocalRect().h;
    EXPECT_GT(height, 76) << "two lines";
    EXPECT_GE(2 * subtitles.band->localState.scaleY, height) << "the band covers the whole text";
    EXPECT_FLOAT_EQ(subtitles.band->localState.y, subtitles.band->localState.scaleY) << "from the top edge";
}

TEST_F(MessageWidgetsTest, TheQuestionWaitsForItsAnswerAndNoSwitchesHintsOffForGood) {
    nG_Tutorial& tutorial = *ui().tutorial;
    lua("ShowTutorial('ask', 512, 600, 1, 0, 0, 0, 'opened(tut)')");
    EXPECT_TRUE(tutorial.yesButton->visible);
    EXPECT_TRUE(tutorial.noButton->visible);
    EXPECT_FALSE(tutorial.okButton->visible);
    EXPECT_FALSE(tutorial.arrow->visible) << "no arrow asked for";
    run(0.4f);
    EXPECT_EQ(tutorial.state, nG_Tutorial::kShown);

    press(300, 300);
    EXPECT_FALSE(doorPressed()) << "the question takes every press";
    EXPECT_EQ(tutorial.state, nG_Tutorial::kShown);

    nE_RenderState button = tutorial.noButton->worldStateFromTop();
    press(button.transform().m[12], button.transform().m[13]);
    EXPECT_EQ(tutorial.state, nG_Tutorial::kFadingOut);
    EXPECT_EQ(eval("IsTutorialSkipped()"), "true");
    run(0.25f);
    EXPECT_EQ(eval("log"), "") << "the close trigger waits for the end of the fade";
    run(0.2f);
    EXPECT_EQ(eval("log"), "open ng_tutorial;");
    run(0.5f);
    EXPECT_EQ(eval("log"), "open ng_tutorial;") << "once";
    press(300, 300);
    EXPECT_TRUE(doorPressed()) << "gone, it holds nothing back";

    lua("ShowTutorial('tip', 400, 300)");
    EXPECT_EQ(tutorial.state, nG_Tutorial::kHidden) << "no hints after no";

    // Kept in the saved game, and back after a continue.
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* origin = doc.NewElement("origin");
    doc.InsertEndChild(origin);
    origin->InsertEndChild(ui().dumpState(doc));
    const tinyxml2::XMLElement* saved = origin->FirstChildElement("interface")->FirstChildElement("tutorial");
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->IntAttribute("show_tutorial", -1), 0);
    EXPECT_FALSE(saved->Attribute("text_idx"));
    endGame();
    ng = startGame();
    EXPECT_EQ(eval("IsTutorialSkipped()"), "false");
    ui().restoreState(origin);
    EXPECT_EQ(eval("IsTutorialSkipped()"), "true");
}

TEST_F(MessageWidgetsTest, AnOkHintClosesAtAnyPressAndComesBackWithAContinuedGame) {
    nG_Tutorial& tutorial = *ui().tutorial;
    lua("ShowTutorial('tip', 470, 330, 0, 250, 470, -2.356, 'opened(tip)')");
    EXPECT_TRUE(tutorial.okButton->visible);
    EXPECT_TRUE(tutorial.skipButton->visible);
    EXPECT_FALSE(tutorial.yesButton->visible);
    EXPECT_TRUE(tutorial.arrow->visible);
    EXPECT_TRUE(tutorial.arrow->playing);
    EXPECT_FLOAT_EQ(tutorial.arrow->localState.x, -220) << "relative to the box";
    EXPECT_FLOAT_EQ(tutorial.arrow->localState.y, 140);
    EXPECT_FLOAT_EQ(tutorial.arrow->localState.angle, -2.356f);
    const float row = tutorial.text->getLocalRect().h / 2 - 25;
    EXPECT_FLOAT_EQ(tutorial.okButton->localState.y, row);
    run(0.4f);

    // Saved while shown, with everything it needs to come back.
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* origin = doc.NewElement("origin");
    doc.InsertEndChild(origin);
    origin->InsertEndChild(ui().dumpState(doc));
    const tinyxml2::XMLElement* saved = origin->FirstChildElement("interface")->FirstChildElement("tutorial");
    ASSERT_TRUE(saved);
    EXPECT_STREQ(saved->Attribute("text_idx"), "tip");
    EXPECT_EQ(saved->IntAttribute("posx"), 470);
    EXPECT_EQ(saved->IntAttribute("arrow_posy"), 470);
    EXPECT_STREQ(saved->Attribute("arrow_angle"), "-2.356");
    EXPECT_STREQ(saved->Attribute("close_trigger"), "opened(tip)");

    // A press on the box closes it and stays there; one elsewhere closes it and goes on.
    press(470, 300);
    EXPECT_EQ(tutorial.state, nG_Tutorial::kFadingOut);
    EXPECT_FALSE(doorPressed());
    run(0.5f);
    EXPECT_EQ(eval("log"), "open ng_tutorial;");
    lua("log = ''; ShowTutorial('tip', 700, 500, 0, 0, 0, 0, 'opened(again)')");
    run(0.4f);
    press(300, 300);
    EXPECT_TRUE(doorPressed());
    EXPECT_EQ(tutorial.state, nG_Tutorial::kFadingOut);
    run(0.5f);
    EXPECT_EQ(eval("log"), "open ng_tutorial;");
    EXPECT_EQ(eval("IsTutorialSkipped()"), "false") << "ok keeps the hints";

    // The saved hint comes back in a continued game, trigger and all.
    endGame();
    ng = startGame();
    startLevel();
    tick(0);
    lua("log = ''");
    ui().restoreState(origin);
    nG_Tutorial& restored = *ui().tutorial;
    EXPECT_EQ(restored.state, nG_Tutorial::kFadingIn);
    EXPECT_EQ(restored.textId, "tip");
    EXPECT_EQ(restored.closeTrigger, "opened(tip)");
    EXPECT_FLOAT_EQ(restored.arrowAngle, -2.356f);
    run(0.4f);
    restored.closeHint(false);
    run(0.5f);
    EXPECT_EQ(eval("log"), "open ng_tutorial;");
}

TEST_F(MessageWidgetsTest, TheDialogTogglesChangesWithAFadeAndClosesAtAClickOnIt) {
    nG_Dialog& dialog = *ui().dialog;
    lua("ShowDialog('hello', 0, 0)");
    EXPECT_EQ(dialog.state, nG_Dialog::kFadingIn);
    ASSERT_TRUE(dialog.picture);
    EXPECT_FLOAT_EQ(dialog.picture->width, dialog.textWidth + 86);
    EXPECT_FLOAT_EQ(dialog.picture->height, dialog.textHeight + 60);
    EXPECT_GT(dialog.textWidth, 0);
    // Asked for at the corner, the box stays on the screen.
    EXPECT_FLOAT_EQ(dialog.localState.x, (dialog.textWidth + 86) / 2);
    EXPECT_FLOAT_EQ(dialog.localState.y, (dialog.textHeight + 60) / 2);
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
    EXPECT_FLOAT_EQ(dialog.localState.x, 512);
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

TEST_F(MessageWidgetsTest, TheNarrationBarQueuesLeavesAfterItsTimeAndAtAPressThatGoesOn) {
    nG_BlackBarText& bar = *ui().blackBar;
    lua("ShowBlackBarText('hello', 0)");
    EXPECT_FLOAT_EQ(bar.displayTime, 4) << "0 seconds stands for 4";
    EXPECT_TRUE(bar.visible);
    tick(0.05f);
    EXPECT_FLOAT_EQ(bar.localState.y, 42) << "the bar touches the top edge";
    run(0.4f);
    EXPECT_EQ(bar.text->displayedString(), "Hello there");

    // A second text waits until the first has faded out.
    lua("ShowBlackBarText('bye', 2)");
    EXPECT_EQ(bar.state, nG_BlackBarText::kFadingOut);
    EXPECT_EQ(bar.text->displayedString(), "Hello there");
    run(0.2f);
    EXPECT_EQ(bar.text->displayedString(), "Hello there");
    run(0.2f);
    EXPECT_EQ(bar.text->displayedString(), "Goodbye");
    EXPECT_EQ(bar.state, nG_BlackBarText::kShown);
    EXPECT_FLOAT_EQ(bar.displayTime, 2);
    run(2.2f);
    EXPECT_EQ(bar.state, nG_BlackBarText::kShown);
    run(0.3f);
    EXPECT_EQ(bar.state, nG_BlackBarText::kFadingOut) << "its time is up";
    run(0.4f);
    EXPECT_FALSE(bar.visible);
    EXPECT_FALSE(bar.input);

    // A press on the bar sends it away and reaches what lies under it.
    lua("ObjSet('a_door', { pos_y = 30 }); ShowBlackBarText('missing', 10)");
    run(0.5f);
    EXPECT_EQ(bar.text->displayedString(), "#####");
    press(300, 30);
    EXPECT_EQ(bar.state, nG_BlackBarText::kFadingOut);
    EXPECT_TRUE(doorPressed());
}

TEST_F(MessageWidgetsTest, AchievementsCountInTheProfileAndTheirNoticesStack) {
    hub->addProfile("Wren");
    nG_Achievement& notices = *ui().achievement;
    lua("CompleteAchievement('ach_a', '', 0)");
    EXPECT_EQ(eval("GetAchievement('ach_a')"), "1");
    ASSERT_EQ(notices.notices.size(), 1u);
    EXPECT_FLOAT_EQ(notices.notices[0].y, 170);
    EXPECT_TRUE(scene().findObject("ng_achievement_ach_a_icon"));
    auto* header = dynamic_cast<nE_Text*>(scene().findObject("ng_achievement_ach_a_text_h"));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->displayedString(), "First");
    EXPECT_NE(read("p_Wren.xml").find("<achieve name=\"ach_a\" count=\"1\"/>"), std::string::npos)
        << "written at once";

    // Not repeatable: a second time neither counts nor shows.
    lua("CompleteAchievement('ach_a', '', 0)");
    EXPECT_EQ(eval("GetAchievement('ach_a')"), "1");
    EXPECT_EQ(notices.notices.size(), 1u);

    // Repeatable ones count every time; notices stack downwards.
    lua("CompleteAchievement('ach_b', '', 1); CompleteAchievement('ach_b', '', 1)");
    EXPECT_EQ(eval("GetAchievement('ach_b')"), "2");
    ASSERT_EQ(notices.notices.size(), 3u);
    EXPECT_FLOAT_EQ(notices.notices[1].y, 340);
    EXPECT_FLOAT_EQ(notices.notices[2].y, 510);

    // They slide in from the left and stand at x 190.
    run(0.2f);
    EXPECT_GT(notices.notices[0].root->localState.x, -210);
    EXPECT_LT(notices.notices[0].root->localState.x, 190);
    run(0.7f);
    EXPECT_EQ(notices.notices[0].state, nG_Achievement::kShown);
    EXPECT_FLOAT_EQ(notices.notices[0].root->localState.x, 190);

    // A click sends a shown notice away early; the next one takes the free place.
    press(190, 170);
    EXPECT_EQ(notices.notices[0].state, nG_Achievement::kSlidingOut);
    EXPECT_FALSE(doorPressed());
    run(0.8f);
    ASSERT_EQ(notices.notices.size(), 2u);
    lua("CompleteAchievement('ach_b', '', 1)");
    EXPECT_FLOAT_EQ(notices.notices.back().y, 170);
    run(6);
    EXPECT_TRUE(notices.notices.empty()) << "every notice leaves by itself";

    // Counted: progress only, until the count reaches its target.
    lua("CompleteAchievement('pages', '', 1, 3); CompleteAchievement('pages', '', 1, 3)");
    EXPECT_TRUE(notices.notices.empty());
    lua("CompleteAchievement('pages', '', 1, 3)");
    EXPECT_EQ(notices.notices.size(), 1u);
    EXPECT_EQ(eval("GetAchievement('pages')"), "3");

    // No name: nothing counted, nothing shown, a line in the log.
    lua("CompleteAchievement('', '', 1)");
    EXPECT_EQ(notices.notices.size(), 1u);
    EXPECT_TRUE(logged("without a name"));
    EXPECT_EQ(read("p_Wren.xml").find("name=\"\""), std::string::npos);
}

TEST_F(MessageWidgetsTest, WithoutAPlayerNothingIsCountedAndACountedNoticeWaits) {
    nG_Achievement& notices = *ui().achievement;
    lua("CompleteAchievement('ach_a', '', 0)");
    EXPECT_EQ(notices.notices.size(), 1u) << "shown all the same";
    EXPECT_EQ(eval("GetAchievement('ach_a')"), "0");
    lua("CompleteAchievement('ach_b', '', 0, 2)");
    EXPECT_EQ(notices.notices.size(), 1u) << "a count of 0 never reaches 2";
}

TEST_F(MessageWidgetsTest, AHiddenInterfaceNeverLeavesTheQuestionHoldingThePointer) {
    lua("ShowTutorial('ask', 512, 600, 1)");
    run(0.4f);
    lua("HideInterface(1, 0)");
    tick(0.05f);
    press(300, 300);
    EXPECT_TRUE(doorPressed()) << "an unseen question takes nothing";
    lua("HideInterface(0, 0)");
    tick(0.05f);
    press(300, 300);
    EXPECT_FALSE(doorPressed());
}

}  // namespace
