// The engine's tick pacing, display setting and event translation on the recording platform.
#include <gtest/gtest.h>

#include <vector>

#include "engine/core/nE_DisplayChoice.h"
#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Listener.h"
#include "engine/core/nE_Mediator.h"
#include "engine/core/nE_Messages.h"
#include "engine/core/notEngine_Pl5.h"
#include "pflib/TEvent.h"
#include "pflib/recording/TRecordingPlatform.h"

namespace {

std::vector<float> g_ticks;
std::vector<nE_InputEvent> g_events;
int g_gained = 0, g_lost = 0;
bool g_toggleAnswer = true;
std::vector<bool> g_toggleRequests;

class Engine : public ::testing::Test {
protected:
    void SetUp() override {
        pf::testing::Reset();
        nE_DisplayChoice::canvas() = nE_CanvasMapping();
        g_ticks.clear();
        g_events.clear();
        g_gained = g_lost = 0;
        g_toggleRequests.clear();
        engine.SetUpdateCallback([](float dt) { g_ticks.push_back(dt); });
        engine.SetEventCallback([](const nE_InputEvent& e) { g_events.push_back(e); });
        engine.SetFocusGainedCallback([](notEngine*) { ++g_gained; });
        engine.SetFocusLostCallback([](notEngine*) { ++g_lost; });
    }
    notEngine_Pl5 engine;
};

TEST_F(Engine, TicksAreClampedAndNeverFasterThanTheFramePeriod) {
    pf::testing::SetTime(1000);
    engine.lastTick = 1000;

    pf::testing::SetTime(1010);
    engine.UpdateTick();
    EXPECT_TRUE(g_ticks.empty()) << "10 ms after the last tick is too early";

    pf::testing::SetTime(1200);
    engine.UpdateTick();
    ASSERT_EQ(g_ticks.size(), 1u);
    EXPECT_FLOAT_EQ(g_ticks[0], 0.05f);
    EXPECT_FLOAT_EQ(notEngine_Pl5::rawDelta, 0.2f);
    EXPECT_DOUBLE_EQ(engine.lastTick, 1200);

    pf::testing::SetTime(1217);
    engine.UpdateTick();
    ASSERT_EQ(g_ticks.size(), 2u);
    EXPECT_NEAR(g_ticks[1], 0.017f, 1e-6);
    EXPECT_EQ(engine.TickCount(), 2);
}

TEST_F(Engine, SetFpsChangesThePeriod) {
    engine.SetFps(30);
    EXPECT_FLOAT_EQ(engine.GetFps(), 30);
    pf::testing::SetTime(20);
    engine.lastTick = 0;
    engine.UpdateTick();
    EXPECT_TRUE(g_ticks.empty());
    pf::testing::SetTime(500);
    engine.UpdateTick();
    ASSERT_EQ(g_ticks.size(), 1u);
    EXPECT_FLOAT_EQ(g_ticks[0], 0.1f);  // three periods of 1/30 s
}

TEST_F(Engine, DrawWaitsForATickOnTheClock) {
    pf::testing::SetTime(0);
    engine.lastTick = 0;
    engine.Draw();  // no renderer: only the wait, which the clock's sleep advances
    EXPECT_EQ(g_ticks.size(), 1u);
}

TEST_F(Engine, SetDisplayModeKeepsWhatThePlatformGives) {
    EXPECT_TRUE(engine.SetDisplayMode(1024, 768, false));
    EXPECT_EQ(engine.GetWidth(), 1024);
    EXPECT_FALSE(engine.IsFullscreen());

    // A display exists: going full screen passes through an 800 x 600 window first.
    pf::testing::DisplayRequests().clear();
    pf::testing::ObtainDisplay(1280, 1024, true);
    EXPECT_FALSE(engine.SetDisplayMode(1024, 768, true));
    const auto& requests = pf::testing::DisplayRequests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].width, 800);
    EXPECT_FALSE(requests[0].fullscreen);
    EXPECT_EQ(requests[1].width, 1024);
    EXPECT_TRUE(requests[1].fullscreen);
    EXPECT_EQ(requests[2].width, 1280);  // set again to what was obtained
    EXPECT_EQ(engine.GetWidth(), 1280);
    EXPECT_EQ(engine.GetHeight(), 1024);
    EXPECT_TRUE(engine.IsFullscreen());
}

pf::TEvent platformEvent(int type, int code, int x = 0, int y = 0, int flags = 0) {
    pf::TEvent e;
    e.type = type;
    e.code = code;
    e.x = x;
    e.y = y;
    e.flags = flags;
    return e;
}

TEST_F(Engine, PlatformEventsBecomeEngineEvents) {
    engine.HandleEvent(platformEvent(pf::kEventButtonDown, 0, 10, 20));
    engine.HandleEvent(platformEvent(pf::kEventButtonUp, 0, 11, 21));
    engine.HandleEvent(platformEvent(pf::kEventPointerMove, 0, 12, 22));
    engine.HandleEvent(platformEvent(pf::kEventKeyDown, 'a'));
    engine.HandleEvent(platformEvent(pf::kEventKeyDown, 'a', 0, 0, pf::kKeyFlagRepeat));
    engine.HandleEvent(platformEvent(pf::kEventKeyUp, 'a'));
    engine.HandleEvent(platformEvent(2, 0));  // a type the engine ignores
    ASSERT_EQ(g_events.size(), 5u);
    EXPECT_EQ(g_events[0].type, 2);
    EXPECT_EQ(g_events[0].code, 3840);
    EXPECT_EQ(g_events[0].x, 10);
    EXPECT_EQ(g_events[0].y, 20);
    EXPECT_EQ(g_events[1].type, 3);
    EXPECT_EQ(g_events[2].type, 4);
    EXPECT_EQ(g_events[3].type, 0);
    EXPECT_EQ(g_events[3].code, 'a');
    EXPECT_EQ(g_events[4].type, 1) << "the auto-repeated key-down reaches nobody";
}

TEST_F(Engine, ActivationCallsTheFocusCallbacks) {
    engine.HandleEvent(platformEvent(pf::kEventActivation, 0));
    engine.HandleEvent(platformEvent(pf::kEventActivation, 1));
    EXPECT_EQ(g_lost, 1);
    EXPECT_EQ(g_gained, 1);
    EXPECT_TRUE(g_events.empty());
}

struct ToggleListener : nE_Listener {
    std::vector<bool> results;
    void onMessage(const nE_Message& message) override {
        results.push_back(*message.payload<MSG_FULLSCREEN_CHANGED>());
    }
};

TEST_F(Engine, DisplayToggleAsksForTheOtherModeAndPostsTheResult) {
    nE_Mediator mediator;
    nE_Mediator::setCurrent(&mediator);
    ToggleListener listener;
    mediator.subscribe(MSG_FULLSCREEN_CHANGED, &listener);

    engine.HandleEvent(platformEvent(pf::kEventDisplayToggle, 0));  // no callback: nothing
    EXPECT_TRUE(listener.results.empty());

    engine.SetToggleDisplayCallback([](bool want) {
        g_toggleRequests.push_back(want);
        return g_toggleAnswer;
    });
    engine.SetDisplayMode(1024, 768, false);
    g_toggleAnswer = false;
    engine.HandleEvent(platformEvent(pf::kEventDisplayToggle, 0));
    ASSERT_EQ(g_toggleRequests.size(), 1u);
    EXPECT_TRUE(g_toggleRequests[0]);
    ASSERT_EQ(listener.results.size(), 1u);
    EXPECT_FALSE(listener.results[0]);
    mediator.unsubscribe(MSG_FULLSCREEN_CHANGED, &listener);
    nE_Mediator::setCurrent(nullptr);
    g_toggleAnswer = true;
}

TEST_F(Engine, QuitAsksThePlatformToExit) {
    engine.HandleEvent(platformEvent(pf::kEventQuit, 0));
    EXPECT_TRUE(pf::TPlatform::ExitRequested());
}

}  // namespace

TEST(EngineListener, TheLostTextureListenerGoesWithTheEngine) {
    pf::testing::Reset();
    const size_t before = pf::TPlatform::TextureRefreshListenerCount();
    {
        notEngine_Pl5 engine;
        engine.Init(0, 0, 1024, 768, false, "test");
        EXPECT_EQ(before + 1, pf::TPlatform::TextureRefreshListenerCount());
        engine.Init(0, 0, 1024, 768, false, "test");
        EXPECT_EQ(before + 1, pf::TPlatform::TextureRefreshListenerCount()) << "one per engine";
        engine.Shutdown();
        EXPECT_EQ(before, pf::TPlatform::TextureRefreshListenerCount());
        engine.Init(0, 0, 1024, 768, false, "test");
        engine.Shutdown();
    }
    {
        notEngine_Pl5 engine;
        engine.Init(0, 0, 1024, 768, false, "test");
        engine.Shutdown();
    }
    // A device reset after the engine went reaches nothing of it.
    pf::TPlatform::RunTextureRefreshListeners();
    EXPECT_EQ(before, pf::TPlatform::TextureRefreshListenerCount());
}
