#include <gtest/gtest.h>
#include <tinyxml2.h>

#include "engine/script/nE_TimerHub.h"
#include "engine/script/nE_TriggerHub.h"
#include "tests/engine/script/ScriptTestSupport.h"

using script_test::eval;

namespace {

class TimerHubTest : public ::testing::Test {
protected:
    TimerHubTest() : triggers(lua), timers(&triggers) {
        triggers.registerTrigger(std::make_unique<nE_Trigger>(
            "fire", "fired = (fired or '') .. ne_params.sender .. ':' .. (ne_params.param_0 or '') .. ' '"));
    }
    std::string fired() { return eval(lua, "fired"); }
    // One frame in the game's order: the queue, then the timers.
    void frame(float dt) {
        triggers.runQueue();
        timers.update(dt);
    }

    script_test::LuaState lua;
    nE_TriggerHub triggers;
    nE_TimerHub timers;
};

}  // namespace

TEST_F(TimerHubTest, FiresWhenTheTimeIsReachedAndRunsOneFrameLater) {
    timers.start("t1", "fire(a)", 2.0f);
    for (int i = 0; i < 3; ++i) frame(0.5f);
    EXPECT_FLOAT_EQ(timers.getTime("t1"), 1.5f);
    EXPECT_TRUE(triggers.queue().empty());
    frame(0.5f);  // the sum reaches 2: the call is queued, the timer is gone
    EXPECT_EQ(triggers.queue().size(), 1u);
    EXPECT_TRUE(timers.timers().empty());
    EXPECT_EQ(fired(), "nil");
    frame(0.5f);
    EXPECT_EQ(fired(), "t1:a ");
}

TEST_F(TimerHubTest, TimersFiringTogetherQueueNewestFirst) {
    timers.start("old", "fire", 1.0f);
    timers.start("new", "fire", 0.5f);
    timers.update(1.0f);
    ASSERT_EQ(triggers.queue().size(), 2u);
    EXPECT_EQ(triggers.queue()[0].sender, "new");
    EXPECT_EQ(triggers.queue()[1].sender, "old");
    triggers.runQueue();
    EXPECT_EQ(fired(), "new: old: ");
}

TEST_F(TimerHubTest, StopTakesTheFirstOfANamePauseTakesAll) {
    timers.start("twin", "fire(1)", 1.0f);
    timers.start("twin", "fire(2)", 1.0f);
    timers.stop("twin");
    timers.update(0.1f);
    ASSERT_EQ(timers.timers().size(), 1u);
    EXPECT_EQ(timers.timers()[0]->call, "fire(2)");

    timers.start("twin", "fire(3)", 1.0f);
    timers.pause("twin", 1);
    timers.update(5.0f);
    EXPECT_EQ(timers.timers().size(), 2u);
    EXPECT_FLOAT_EQ(timers.getTime("twin"), 0.1f);
    timers.pause("twin", 0);
    timers.update(5.0f);
    EXPECT_TRUE(timers.timers().empty());
    triggers.runQueue();
    EXPECT_EQ(fired(), "twin:3 twin:2 ");
    EXPECT_EQ(timers.getTime("twin"), 0.0f);
}

TEST_F(TimerHubTest, TagsSwitchTimersOffAndOn) {
    timers.start("a", "fire(a)", 10.0f);
    timers.start("b", "fire(b)", 10.0f);
    timers.addTag("a", "scene");
    timers.addTag("b", "scene");
    timers.addTag("b", "hint");
    timers.update(0.25f);
    timers.pauseByTag("scene", 1);
    timers.update(0.5f);
    EXPECT_FLOAT_EQ(timers.getTime("a"), 0.25f);
    timers.pauseByTag("scene", 0);
    timers.pauseByTag("hint", 1);
    timers.update(0.5f);
    EXPECT_FLOAT_EQ(timers.getTime("a"), 0.75f);
    EXPECT_FLOAT_EQ(timers.getTime("b"), 0.25f);
    // Removing the switched-off tag lets b run again.
    timers.removeTag("b", "hint");
    timers.update(0.25f);
    EXPECT_FLOAT_EQ(timers.getTime("b"), 0.5f);
    // Adding a tag that exists switches it back on.
    timers.pauseByTag("scene", 1);
    timers.addTag("b", "scene");
    timers.update(0.25f);
    EXPECT_FLOAT_EQ(timers.getTime("a"), 1.0f);
    EXPECT_FLOAT_EQ(timers.getTime("b"), 0.75f);

    timers.stopByTag("scene");
    timers.update(0.0f);
    EXPECT_TRUE(timers.timers().empty());
    EXPECT_TRUE(triggers.queue().empty());
}

TEST_F(TimerHubTest, APausedHubNeitherAdvancesNorRemoves) {
    timers.start("t", "fire", 1.0f);
    timers.stop("t");
    timers.start("u", "fire", 1.0f);
    timers.paused = true;
    timers.update(2.0f);
    EXPECT_EQ(timers.timers().size(), 2u);
    EXPECT_EQ(timers.getTime("u"), 0.0f);
    timers.paused = false;
    timers.update(0.5f);
    EXPECT_EQ(timers.timers().size(), 1u);
}

TEST_F(TimerHubTest, DumpAndRestoreKeepAPausedTimer) {
    timers.start("door", "fire(open)", 3.0f);
    timers.start("gone", "fire", 3.0f);
    timers.start("clock", "fire(tick)", 10.0f);
    timers.addTag("clock", "zeta");
    timers.addTag("clock", "alpha");
    timers.addTag("clock", "not a name");
    timers.update(1.25f);
    timers.pause("door", 1);
    timers.pauseByTag("zeta", 1);
    timers.stop("gone");

    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* save = doc.NewElement("save");
    doc.InsertEndChild(save);
    timers.dump(save);
    tinyxml2::XMLPrinter printer(nullptr, true);
    doc.Print(&printer);
    EXPECT_STREQ(
        printer.CStr(),
        "<save><timer_dump><timers>"
        "<timer name=\"door\" code=\"fire(open)\" curtime=\"1.25\" firetime=\"3\" "
        "playing=\"0\"><tags/></timer>"
        "<timer name=\"clock\" code=\"fire(tick)\" curtime=\"1.25\" firetime=\"10\" playing=\"1\"><tags>"
        "<alpha playing=\"1\"/><tag name=\"not a name\" playing=\"1\"/><zeta playing=\"0\"/></tags></timer>"
        "</timers></timer_dump></save>");

    // The dump reads back after a trip through text.
    tinyxml2::XMLDocument reread;
    ASSERT_EQ(reread.Parse(printer.CStr()), tinyxml2::XML_SUCCESS);
    nE_TimerHub restored(&triggers);
    restored.start("stale", "fire", 1.0f);
    restored.restore(reread.FirstChildElement("save"));
    ASSERT_EQ(restored.timers().size(), 2u);
    const nE_Timer& door = *restored.timers()[0];
    EXPECT_EQ(door.name, "door");
    EXPECT_EQ(door.call, "fire(open)");
    EXPECT_FLOAT_EQ(door.elapsed, 1.25f);
    EXPECT_FLOAT_EQ(door.fireTime, 3.0f);
    EXPECT_FALSE(door.running);
    const nE_Timer& clock = *restored.timers()[1];
    EXPECT_EQ(clock.tags,
              (std::map<std::string, bool>{{"alpha", true}, {"not a name", true}, {"zeta", false}}));

    restored.update(5.0f);
    EXPECT_FLOAT_EQ(restored.getTime("door"), 1.25f);
    EXPECT_FLOAT_EQ(restored.getTime("clock"), 1.25f);
    restored.pause("door", 0);
    restored.update(1.75f);
    triggers.runQueue();
    EXPECT_EQ(fired(), "door:open ");
}

TEST_F(TimerHubTest, RestoreToleratesMissingAttributes) {
    tinyxml2::XMLDocument doc;
    doc.Parse(
        "<timer_dump><timers><timer/><timer name=\"x\" firetime=\"2\" playing=\"1\"><tags><t/></tags>"
        "</timer></timers></timer_dump>");
    timers.restore(&doc);
    ASSERT_EQ(timers.timers().size(), 2u);
    EXPECT_FALSE(timers.timers()[0]->running);
    EXPECT_TRUE(timers.timers()[1]->tags.at("t"));
    timers.restore(doc.FirstChildElement("timer_dump"));
    EXPECT_EQ(timers.timers().size(), 2u);
    timers.restore(nullptr);
    EXPECT_TRUE(timers.timers().empty());
}
