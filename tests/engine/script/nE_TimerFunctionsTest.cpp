#include "engine/script/nE_TimerFunctions.h"
#include "tests/engine/script/ScriptFunctionsTestSupport.h"

namespace {

using script_test::ScriptFunctionsTest;

class TimerFunctionsTest : public ScriptFunctionsTest {
protected:
    void SetUp() override {
        ScriptFunctionsTest::SetUp();
        trigger("ring", "rung = (rung or '') .. ne_params.sender .. ne_params.param_0 .. ' '");
    }
    void frame(float dt) {
        core->triggerHub().runQueue();
        core->timerHub().update(dt);
    }
};

TEST_F(TimerFunctionsTest, PauseTakesEveryTimerOfTheNameStopOnlyTheFirst) {
    run("TimerStart('twin', 'ring(a)', 1) TimerStart('twin', 'ring(b)', 1) TimerStart('other', 'ring(c)', "
        "1)");
    run("TimerPause('twin', 1)");
    frame(0.6f);
    EXPECT_EQ("0", eval("TimerGetTime('twin')"));
    EXPECT_NEAR(0.6, std::stod(eval("TimerGetTime('other')")), 1e-6);
    run("TimerPause('twin', 0)");
    frame(0.5f);
    EXPECT_NEAR(0.5, std::stod(eval("TimerGetTime('twin')")), 1e-6);

    run("TimerStop('twin')");
    frame(0.6f);
    frame(0);
    EXPECT_EQ("otherc twinb ", eval("rung")) << "the first twin was stopped without firing";
}

TEST_F(TimerFunctionsTest, StartNeedsNameCallAndSeconds) {
    run("TimerStart('x', 'ring(x)') TimerStart('x', nil, 1) TimerStart(nil, 'ring', 1) TimerStart('x', "
        "'ring', 'soon')");
    EXPECT_TRUE(core->timerHub().timers().empty());
    run("TimerStart('x', 'ring(x)', '0.5')");
    EXPECT_EQ(1u, core->timerHub().timers().size()) << "a numeric string counts as a number";
}

}  // namespace
