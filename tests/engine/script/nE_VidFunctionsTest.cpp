#include "engine/core/notEngine_Pl5.h"
#include "engine/objects/nE_Video.h"
#include "engine/script/nE_VidFunctions.h"
#include "tests/engine/media/VideoTestSupport.h"
#include "tests/engine/script/ScriptFunctionsTestSupport.h"

namespace {

using script_test::ScriptFunctionsTest;

class VidFunctionsTest : public ScriptFunctionsTest {
protected:
    void TearDown() override {
        notEngine_Pl5::rawDelta = 0;
        ScriptFunctionsTest::TearDown();
    }
    nE_Video* clip() {
        auto* video = new nE_Video();
        video->name = "clip";
        video->resourceName = videotest::data("plain");
        scene().attach(scene().root(), video);
        return video;
    }
    // Engine ticks of 0.1 s real time: the trigger queue, then the scene.
    void ticks(int n) {
        notEngine_Pl5::rawDelta = 0.1f;
        for (int i = 0; i < n; ++i) {
            core->triggerHub().runQueue();
            scene().update(0.1f);
        }
    }
};

}  // namespace

TEST_F(VidFunctionsTest, PlayRunsTheEndTriggerOnceWithTheVideoAsSender) {
    nE_Video* video = clip();
    trigger("shown", "shown_by = (shown_by or '') .. ne_params.sender .. ne_params.param_0");
    run("VidPlay('clip', 'shown(1)')");
    EXPECT_TRUE(video->playing);
    run("VidPlay('clip', 'other')");
    EXPECT_EQ("shown(1)", video->endTrigger) << "ignored while playing";
    ticks(12);
    EXPECT_FALSE(video->playing);
    EXPECT_EQ("clip1", eval("shown_by"));
}

TEST_F(VidFunctionsTest, PauseAndStop) {
    nE_Video* video = clip();
    trigger("shown", "shown_by = 'clip'");
    run("VidPlay('clip', 'shown')");
    ticks(3);
    run("VidPause('clip', 1)");
    EXPECT_FALSE(video->playing);
    run("VidPause('clip')");
    EXPECT_FALSE(video->playing) << "no number: nothing";
    run("VidPause('clip', 0)");
    EXPECT_TRUE(video->playing);
    run("VidStop('clip')");
    EXPECT_FALSE(video->playing);
    EXPECT_EQ(0, video->frame);
    ticks(20);
    EXPECT_EQ("nil", eval("shown_by")) << "a stopped video runs no end trigger";
}

TEST_F(VidFunctionsTest, OtherKindsOfObjectAreIgnored) {
    add("plain");
    EXPECT_EQ("", run("VidPlay('plain', 'x') VidStop('plain') VidPause('plain', 0) VidPlay('none')"));
    EXPECT_EQ("0", eval("select('#', VidPlay('plain', 'x'))"));
}
