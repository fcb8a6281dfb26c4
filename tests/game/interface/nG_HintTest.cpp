// The hint clock: its recharge in each game mode, what it points at and its saved state.
#include "tests/game/interface/HoWidgetTestSupport.h"

using HintTest = howidgettest::HoWidgetsTest;

TEST_F(HintTest, TheHintRechargesByGameModeAndCanBeChargedAtOnce) {
    ASSERT_EQ(hint()->state, nG_Hint::kCharged) << "a new game's hint is ready";
    EXPECT_FLOAT_EQ(nG_Hint::rechargeTime(), 60) << "without a player";
    lua("AddProfile('Wren'); SetCurrentProfile('Wren'); SetGameMode(0)");
    EXPECT_FLOAT_EQ(nG_Hint::rechargeTime(), 40);

    listen({MSG_RIGHT_LAMP});
    pointer(984, 680);
    EXPECT_TRUE(hint()->lampLit);
    press(984, 680);
    EXPECT_EQ(hint()->state, nG_Hint::kRecharging);
    EXPECT_FALSE(hint()->lampLit);
    EXPECT_FALSE(hint()->button->input);
    EXPECT_TRUE(queuedCall("ng_hint: ng_show_hint(0,\"\")")) << "no hidden-object list: nothing to point at";
    EXPECT_TRUE(soundRequested("common_s_hint"));
    press(984, 680);
    EXPECT_EQ(std::count_if(queued.begin(), queued.end(),
                            [](const std::string& q) { return q.find("ng_show_hint") != std::string::npos; }),
              1)
        << "pressed while recharging";

    // The charge light comes 0.03 s before the end and once; at 40 s the hint is ready.
    frames(40 - 0.0625f);
    EXPECT_FALSE(hint()->chargeEffectPlayed);
    tick(1.f / 64 + 0.02f);
    EXPECT_TRUE(hint()->chargeEffectPlayed);
    EXPECT_EQ(hint()->state, nG_Hint::kRecharging);
    tick(0.03f);
    EXPECT_EQ(hint()->state, nG_Hint::kCharged);
    EXPECT_FALSE(hint()->chargeEffectPlayed);

    // In mode 1 the recharge takes 60 s, read afresh each frame; ChargeHint ends it at once.
    lua("SetGameMode(1)");
    hint()->use();
    frames(45);
    EXPECT_EQ(hint()->state, nG_Hint::kRecharging);
    lua("ChargeHint()");
    EXPECT_EQ(hint()->state, nG_Hint::kCharged);
    EXPECT_TRUE(hint()->button->input);

    // The mini-game timer dims it and takes its input.
    float alpha = 0.25f;
    post<MSG_HINT_ALPHA>(&alpha);
    bool on = false;
    post<MSG_HINT_INPUT>(&on);
    EXPECT_FLOAT_EQ(hint()->localState().alpha, 0.25f);
    EXPECT_FALSE(hint()->input);
}

TEST_F(HintTest, InAHiddenObjectSceneTheHintPointsAtAClickableObjectOfTheRoom) {
    lua("AddTask('task_watch', 1, 'room_a')");
    for (int i = 0; i < 400 && !tasks()->visible; ++i) tick(1.f / 64);
    frames(2);
    room("room_a")->find("a_far", false)->input = false;
    room("room_a")->find("a_door", false)->eventTriggers[nE_Object::kEventMouseDown] = "found";
    hint()->use();
    EXPECT_TRUE(queuedCall("ng_hint: ng_show_hint(1,\"a_door\")")) << queued.size();
    EXPECT_FLOAT_EQ(hint()->pointerEffect->localState().x, 300);
    EXPECT_FLOAT_EQ(hint()->pointerEffect->localState().y, 300);
    frames(1);
    EXPECT_GT(hint()->pointerEffect->localState().alpha, 0.5f);

    // Nothing clickable left: an empty name.
    lua("ChargeHint()");
    room("room_a")->find("a_door", false)->input = false;
    hint()->use();
    EXPECT_TRUE(queuedCall("ng_hint: ng_show_hint(1,\"\")"));
}

TEST_F(HintTest, TheHintsSavedTimerComesBackWithinTheRecharge) {
    hint()->use();
    frames(10);
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* parent = doc.NewElement("interface");
    parent->InsertEndChild(hint()->dumpState(doc));
    EXPECT_EQ(parent->FirstChildElement("hint")->IntAttribute("state"), 1);
    EXPECT_NEAR(parent->FirstChildElement("hint")->DoubleAttribute("state_timer"), 10, 1e-3);
    lua("ChargeHint()");
    hint()->restoreState(parent);
    EXPECT_EQ(hint()->state, nG_Hint::kRecharging);
    EXPECT_NEAR(hint()->stateTimer, 10, 1e-3);

    // A timer past the recharge (60 s here) comes back as its end: ready on the next frame.
    parent->FirstChildElement("hint")->SetAttribute("state_timer", 100);
    hint()->restoreState(parent);
    EXPECT_FLOAT_EQ(hint()->stateTimer, 60);
    tick(1.f / 64);
    EXPECT_EQ(hint()->state, nG_Hint::kCharged);
    parent->FirstChildElement("hint")->SetAttribute("state_timer", "nonsense");
    hint()->restoreState(parent);
    EXPECT_FLOAT_EQ(hint()->stateTimer, 0);
}
