// The mini-game panel in a running game, driven through the scripts and the pointer: the skip clock's
// charge per puzzle and per game mode, the skip, reset and info buttons, ending twice, and the records
// a saved game keeps.
#include <tinyxml2.h>

#include <cstdlib>
#include <map>

#include "engine/objects/nE_AnimSprite.h"
#include "game/core/nG_Messages.h"
#include "game/interface/nG_InterfButton.h"
#include "game/interface/nG_Interface.h"
#include "game/interface/nG_MinigameTimer.h"
#include "tests/game/core/GameTestSupport.h"

namespace {

struct Heard : nE_Listener {
    void onMessage(const nE_Message& message) override {
        ++counts[message.number];
        if (const float* alpha = message.payload<MSG_HINT_ALPHA>()) hintAlpha = *alpha;
        if (const bool* on = message.payload<MSG_HINT_INPUT>()) hintInput = *on;
        if (const auto* request = message.payload<MSG_DIALOG_SHOW>()) dialog = request->text;
    }
    std::map<unsigned int, int> counts;
    float hintAlpha = 1;
    bool hintInput = true;
    std::string dialog;
};

class MinigameTimerTest : public gametest::GameTest {
protected:
    static constexpr unsigned int kHeard[] = {MSG_HINT_ALPHA, MSG_HINT_INPUT, MSG_HINT_CHARGE,
                                              MSG_DIALOG_SHOW, MSG_RIGHT_LAMP};

    void SetUp() override {
        GameTest::SetUp();
        linkBundledInterface();
        // The level with a puzzle's skip code, which ends the puzzle itself, and its reset code.
        std::string level = gametest::kLevel;
        level.replace(level.rfind("</trigs>"), 8, R"(
  <trig name="skip"><code>skips = skips + 1; skipBy = ne_params.sender; EndMinigame("room_a")</code></trig>
  <trig name="reset"><code>resets = resets + 1</code></trig>
</trigs>)");
        folder.write("assets/level.xml", level);
        endGame();
        ng = startGame();
        startLevel();
        lua("HideInterface(0, 0); SetInterfaceInputEnable(1); skips = 0; resets = 0");
        for (unsigned int id : kHeard) nE_Mediator::current()->subscribe(id, &heard);
        tick(0);
    }
    void TearDown() override {
        for (unsigned int id : kHeard) nE_Mediator::current()->unsubscribe(id, &heard);
        GameTest::TearDown();
    }
    void press(float x, float y) {
        send(nE_InputEvent::kPointerMove, x, y);
        send(nE_InputEvent::kButtonDown, x, y);
        send(nE_InputEvent::kButtonUp, x, y);
        tick(0);
    }
    nG_MinigameTimer& timer() { return *ng->interface->minigameTimer; }
    float charge(const std::string& room) {
        for (const auto& record : timer().records)
            if (record.room == room) return record.remaining;
        return -1;
    }

    Heard heard;
};

TEST_F(MinigameTimerTest, TheClockFillsOnlyWhileShownAndEachPuzzleKeepsItsCharge) {
    lua("StartMinigame('room_a', 'skip', 'reset', 'info_a'); StartMinigame('room_b', 'skip', 'reset', "
        "'info_b'); ChargeMinigameSkip()");
    ASSERT_EQ(timer().records.size(), 2u);
    EXPECT_FLOAT_EQ(charge("room_a"), 1) << "charging a hidden panel does nothing";
    EXPECT_FALSE(timer().visible);

    lua("ShowMinigame('room_a', 1)");
    EXPECT_EQ(timer().mode, nG_MinigameTimer::kShown);
    EXPECT_FALSE(heard.hintInput);
    run(1.f / 1.2f + 0.02f, 1.f / 64);
    EXPECT_FLOAT_EQ(timer().slide, 1);
    EXPECT_FLOAT_EQ(heard.hintAlpha, 0);
    EXPECT_GT(charge("room_a"), 0.999f) << "the clock does not run while the panel slides in";
    EXPECT_NEAR(timer().infoButton->localState().x, 964, 0.01);
    EXPECT_NEAR(timer().resetButton->localState().x, 968, 0.01);

    // No player: a minute to fill. Half-way the puzzle is left.
    run(30, 1.f / 64);
    EXPECT_NEAR(charge("room_a"), 0.5f, 0.01f);
    EXPECT_FALSE(timer().skipButton->input);
    lua("ShowMinigame('room_b', 1)");
    EXPECT_EQ(timer().records[size_t(timer().current)].room, "room_a") << "one panel at a time";
    lua("ShowMinigame('room_a', 0)");
    run(1);
    EXPECT_FALSE(timer().visible);
    EXPECT_TRUE(heard.hintInput);
    EXPECT_FLOAT_EQ(heard.hintAlpha, 1);
    const float left = charge("room_a");
    run(10);
    EXPECT_FLOAT_EQ(charge("room_a"), left) << "a hidden clock stands still";

    lua("ShowMinigame('room_b', 1)");
    EXPECT_FLOAT_EQ(timer().remaining, 1) << "the other puzzle has its own clock";
    lua("ShowMinigame('room_b', 0)");
    run(1);

    // A player in game mode 0 fills an empty clock in 40 s: the half left takes 20 s.
    lua("AddProfile('Wren'); SetCurrentProfile('Wren'); SetGameMode(0); ShowMinigame('room_a', 1)");
    EXPECT_NEAR(timer().remaining, left, 1e-6);
    run(1.f / 1.2f + 0.02f, 1.f / 64);
    run(19.5f, 1.f / 64);
    EXPECT_GT(timer().remaining, 0);
    run(0.6f, 1.f / 64);
    EXPECT_FLOAT_EQ(timer().remaining, 0);
    EXPECT_TRUE(timer().skipButton->input);
    EXPECT_TRUE(timer().chargedAnim->playing);
    const int last = timer().watch0->frameCount("DoAnim") - 1;
    EXPECT_EQ(timer().watch0->localState().frameIndex, last) << "the hand has gone round";

    // Shown again full, the panel has its skip at hand once it is in.
    lua("ShowMinigame('room_a', 0)");
    run(1);
    lua("ShowMinigame('room_a', 1)");
    EXPECT_FALSE(timer().clockShown);
    run(1);
    EXPECT_TRUE(timer().skipButton->input);
}

TEST_F(MinigameTimerTest, ASkipRunsItsCodeOnceAndTheHintChargesWhenTheBreakIsOver) {
    lua("StartMinigame('room_a', 'skip', 'reset', 'info_a'); ShowMinigame('room_a', 1)");
    run(1);
    press(984, 680);
    run(0.5f);
    EXPECT_EQ(eval("skips"), "0") << "no skip before the clock is full";
    EXPECT_EQ(timer().mode, nG_MinigameTimer::kShown);

    press(timer().resetButton->localState().x, 565);
    run(0.1f);
    EXPECT_EQ(eval("resets"), "1");
    press(timer().infoButton->localState().x, 500);
    EXPECT_EQ(heard.dialog, "info_a");

    lua("ChargeMinigameSkip()");
    EXPECT_FLOAT_EQ(timer().remaining, 0);
    EXPECT_TRUE(timer().skipButton->input);
    press(984, 680);
    press(984, 680);
    run(0.1f);
    EXPECT_EQ(eval("skips"), "1");
    EXPECT_EQ(eval("skipBy"), nG_MinigameTimer::kName);
    EXPECT_EQ(timer().mode, nG_MinigameTimer::kSkipped)
        << "ending it from the skip code does not cut the break";
    EXPECT_TRUE(timer().skippedAnim->playing);
    EXPECT_EQ(heard.counts[MSG_HINT_CHARGE], 0);
    press(timer().resetButton->localState().x, 565);
    run(0.1f);
    EXPECT_EQ(eval("resets"), "1") << "no reset once skipped";

    run(2.5f);
    EXPECT_EQ(timer().mode, nG_MinigameTimer::kHidden);
    EXPECT_EQ(heard.counts[MSG_HINT_CHARGE], 1);
    run(1);
    EXPECT_FALSE(timer().visible);
    EXPECT_TRUE(timer().records.empty()) << "an ended record goes once the panel is out";
    lua("EndMinigame('room_a'); EndMinigame('nothing'); ShowMinigame('room_a', 1); ChargeMinigameSkip()");
    run(1);
    EXPECT_FALSE(timer().visible);
    EXPECT_EQ(eval("skips"), "1");
    EXPECT_EQ(heard.counts[MSG_HINT_CHARGE], 1);
}

TEST_F(MinigameTimerTest, ASavedGameKeepsTheRecordsInPlayWithTheirCharge) {
    lua("StartMinigame('room_a', 'skip', 'reset', 'info_a'); StartMinigame('room_b', 'sb', 'rb', 'ib');"
        "StartMinigame('room_c', 'sc', 'rc', 'ic'); ShowMinigame('room_a', 1)");
    run(1 + 15, 1.f / 64);
    lua("EndMinigame('room_c')");
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* root = doc.NewElement("interface");
    doc.InsertEndChild(root);
    root->InsertEndChild(timer().dumpState(doc));
    tinyxml2::XMLPrinter printer(nullptr, true);
    doc.Print(&printer);
    const std::string saved = printer.CStr();
    EXPECT_EQ(saved.find("room_c"), std::string::npos) << saved;
    EXPECT_NE(
        saved.find("<minigame room=\"room_b\" trigger_skip=\"sb\" trigger_reset=\"rb\" info_dialog=\"ib\" "
                   "timer=\"1\"/>"),
        std::string::npos)
        << saved;

    // Read back into a fresh game, the charge goes on where it stood; damaged values read safely.
    endGame();
    ng = startGame();
    startLevel();
    tinyxml2::XMLElement* element = root->FirstChildElement("minigame_timer");
    element->FirstChildElement()->SetAttribute("info_dialog", "kept");
    tinyxml2::XMLElement* bad = doc.NewElement("minigame");
    bad->SetAttribute("room", "room_d");
    bad->SetAttribute("timer", "-4");
    element->InsertEndChild(bad);
    element->InsertEndChild(doc.NewElement("minigame"));
    timer().restoreState(root);
    ASSERT_EQ(timer().records.size(), 4u);
    EXPECT_NEAR(charge("room_a"), 0.75f, 0.01f);
    EXPECT_EQ(timer().records[0].infoDialog, "kept");
    EXPECT_FLOAT_EQ(charge("room_d"), 0) << "held to the clock's range";
    EXPECT_FLOAT_EQ(timer().records[3].remaining, 1);
    EXPECT_EQ(timer().current, -1);
    timer().restoreState(nullptr);
    EXPECT_EQ(timer().records.size(), 4u) << "no element, nothing changes";
}

}  // namespace
