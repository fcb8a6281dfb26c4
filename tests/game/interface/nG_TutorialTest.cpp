#include "tests/game/interface/MessageWidgetTestSupport.h"

using TutorialTest = messagetest::MessageWidgetsTest;

TEST_F(TutorialTest, TheQuestionWaitsForItsAnswerAndNoSwitchesHintsOffForGood) {
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

TEST_F(TutorialTest, AnOkHintClosesAtAnyPressAndComesBackWithAContinuedGame) {
    nG_Tutorial& tutorial = *ui().tutorial;
    lua("ShowTutorial('tip', 470, 330, 0, 250, 470, -2.356, 'opened(tip)')");
    EXPECT_TRUE(tutorial.okButton->visible);
    EXPECT_TRUE(tutorial.skipButton->visible);
    EXPECT_FALSE(tutorial.yesButton->visible);
    EXPECT_TRUE(tutorial.arrow->visible);
    EXPECT_TRUE(tutorial.arrow->playing);
    EXPECT_FLOAT_EQ(tutorial.arrow->localState().x, -220) << "relative to the box";
    EXPECT_FLOAT_EQ(tutorial.arrow->localState().y, 140);
    EXPECT_FLOAT_EQ(tutorial.arrow->localState().angle, -2.356f);
    const float row = tutorial.text->getLocalRect().h / 2 - 25;
    EXPECT_FLOAT_EQ(tutorial.okButton->localState().y, row);
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

TEST_F(TutorialTest, AHiddenInterfaceNeverLeavesTheQuestionHoldingThePointer) {
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
