#include "engine/script/nE_AnmFunctions.h"
#include "tests/engine/objects/SpriteTestSupport.h"
#include "tests/engine/script/ScriptFunctionsTestSupport.h"

namespace {

using script_test::ScriptFunctionsTest;

class AnmFunctionsTest : public ScriptFunctionsTest {
protected:
    nE_AnimSprite* walker() {
        auto* sprite = add<nE_AnimSprite>("walker");
        sprite->setResourceName(spritetest::data("strip"));
        return sprite;
    }
};

TEST_F(AnmFunctionsTest, PlayEndsWithItsTriggerRunTheFrameAfter) {
    nE_AnimSprite* sprite = walker();
    trigger("walked", "walked_by = ne_params.sender .. ne_params.param_0");
    run("AnmPlay('walker', 'once', 'walked(3)')");
    EXPECT_TRUE(sprite->playing);
    for (int i = 0; i < 10; ++i) {
        core->triggerHub().runQueue();
        scene().update(0.1f);
    }
    EXPECT_FALSE(sprite->playing);
    core->triggerHub().runQueue();
    EXPECT_EQ("walker3", eval("walked_by"));
}

TEST_F(AnmFunctionsTest, PauseAndStop) {
    nE_AnimSprite* sprite = walker();
    run("AnmPlay('walker', 'cycle')");
    EXPECT_EQ("", sprite->endTrigger);
    run("AnmPause('walker', 1)");
    EXPECT_FALSE(sprite->playing);
    run("AnmPause('walker')");
    EXPECT_FALSE(sprite->playing) << "no number: nothing";
    run("AnmPause('walker', 0)");
    EXPECT_TRUE(sprite->playing);
    run("AnmStop('walker')");
    EXPECT_EQ(-1, sprite->currentFunction);
    EXPECT_EQ(0, sprite->localState().frameIndex);
}

// Setting the properties it already has neither reads its file again nor starts the animation over.
TEST_F(AnmFunctionsTest, SettingTheSameResourceNeitherReloadsNorRestarts) {
    nE_AnimSprite* sprite = walker();
    run("AnmPlay('walker', 'once', 'walked')");
    scene().update(0.1f);
    scene().update(0.1f);
    const int position = sprite->position;
    ASSERT_GT(position, 0);
    sprite->frameTextureName = "kept";  // a file read again would set it back
    EXPECT_EQ("", run("ObjSet('walker', ObjGet('walker'))"));
    EXPECT_EQ(position, sprite->position);
    EXPECT_TRUE(sprite->playing);
    EXPECT_EQ("kept", sprite->frameTextureName);

    EXPECT_EQ("", run("ObjSet('walker', {animfunc = 'cycle', playing = 1})"));
    EXPECT_EQ(0, sprite->position) << "another function starts";
    EXPECT_EQ("cycle", sprite->functions[static_cast<size_t>(sprite->currentFunction)].name);
}

TEST_F(AnmFunctionsTest, OtherKindsOfObjectAreIgnored) {
    auto* plain = add("plain");
    auto* sprite = add<nE_Sprite>("still");
    EXPECT_EQ("", run("AnmPlay('plain', 'once', 'x') AnmStop('still') AnmPause('still', 1)"));
    EXPECT_EQ(0, plain->localState().frameIndex);
    EXPECT_EQ(0, sprite->localState().frameIndex);
}

}  // namespace
