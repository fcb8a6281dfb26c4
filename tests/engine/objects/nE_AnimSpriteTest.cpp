#include <gtest/gtest.h>
#include <tinyxml2.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/core/nE_Factory.h"
#include "engine/core/nE_Scene.h"
#include "engine/media/nE_FrameTexture.h"
#include "engine/media/nE_ResourceCache.h"
#include "engine/objects/nE_AnimSprite.h"
#include "engine/script/nE_SLHelper_XML.h"
#include "tests/engine/core/nE_SceneTestSupport.h"
#include "tests/engine/objects/SpriteTestSupport.h"
#include "tests/engine/script/ScriptTestFolder.h"

namespace {

using spritetest::data;

class AnimSpriteTest : public ::testing::Test {
protected:
    void SetUp() override { nE_ResourceCache::create(); }
    void TearDown() override {
        nE_ResourceCache::destroy();
        if (!tempDir.empty()) std::filesystem::remove_all(tempDir);
    }

    // A live sprite named "walker" over strip.xml.
    nE_AnimSprite* live() {
        auto* sprite = new nE_AnimSprite();
        sprite->name = "walker";
        sprite->setResourceName(data("strip"));
        scene.attach(scene.root(), sprite);
        return sprite;
    }
    // Writes name.xml into a temporary folder and gives its resource name.
    std::string writeAnimation(const std::string& name, const std::string& text) {
        if (tempDir.empty()) {
            tempDir =
                std::filesystem::temp_directory_path() / ("halvern_animsprite_" + std::to_string(getpid()));
            std::filesystem::create_directories(tempDir);
        }
        std::ofstream(tempDir / (name + ".xml")) << text;
        return (tempDir / name).string();
    }

    scenetest::QueueRecorder queue;
    nE_Scene scene;
    std::filesystem::path tempDir;
};

TEST_F(AnimSpriteTest, ReadsFunctionsAndTheFrameTextureBesideTheFile) {
    nE_AnimSprite* sprite = live();
    ASSERT_EQ(5u, sprite->functions.size());
    EXPECT_EQ(data("strip_frames"), sprite->frameTextureName);
    const nE_AnimSprite::Function& once = sprite->functions[0];
    EXPECT_EQ("once", once.name);
    EXPECT_FLOAT_EQ(0.1f, once.frameTime);
    EXPECT_FALSE(once.looped);
    EXPECT_EQ((std::vector<int>{0, 1, 2}), once.frames);
    EXPECT_TRUE(sprite->functions[1].looped);
    EXPECT_TRUE(sprite->functions[3].frames.empty());

    auto frames = std::dynamic_pointer_cast<nE_FrameTexture>(sprite->texture);
    ASSERT_TRUE(frames);
    EXPECT_EQ(4, frames->frameCount());
    EXPECT_EQ("anim", sprite->getTypeName());
}

TEST_F(AnimSpriteTest, FrameChangesOnTheFirstUpdateThatFindsTheTimerRunOut) {
    nE_AnimSprite* sprite = live();
    sprite->play("once", "done");
    EXPECT_EQ(0, sprite->localState().frameIndex);
    // Timer 0.1 -> 0.06 -> 0.02 -> -0.02: the second frame shows from the fourth update.
    for (int i = 0; i < 3; ++i) {
        sprite->update(0.04f);
        EXPECT_EQ(0, sprite->localState().frameIndex) << "update " << i + 1;
    }
    sprite->update(0.04f);
    EXPECT_EQ(1, sprite->localState().frameIndex);
    EXPECT_NEAR(0.08f, sprite->timer, 1e-5);
}

TEST_F(AnimSpriteTest, OnceEndsOnItsLastFrameAndQueuesItsEndTriggerOnce) {
    nE_AnimSprite* sprite = live();
    sprite->play("once", "finished(walker)");
    EXPECT_EQ("finished(walker)", sprite->endTrigger) << "the end trigger given, not the function name";
    for (int i = 0; i < 40; ++i) sprite->update(0.05f);
    EXPECT_EQ(2, sprite->localState().frameIndex);
    EXPECT_EQ(2, sprite->position);
    EXPECT_FALSE(sprite->playing);
    ASSERT_EQ(1u, queue.calls.size());
    EXPECT_EQ("walker", queue.calls[0].first);
    EXPECT_EQ("finished(walker)", queue.calls[0].second);
}

TEST_F(AnimSpriteTest, LoopedFunctionWrapsWithoutItsEndTrigger) {
    nE_AnimSprite* sprite = live();
    sprite->play("fast", "never");
    std::vector<int> seen;
    for (int i = 0; i < 5; ++i) {
        sprite->update(0.01f);
        seen.push_back(sprite->localState().frameIndex);
    }
    EXPECT_EQ((std::vector<int>{3, 2, 3, 2, 3}), seen);
    EXPECT_TRUE(sprite->playing);
    EXPECT_TRUE(queue.calls.empty());
}

TEST_F(AnimSpriteTest, PauseKeepsPositionAndTimer) {
    nE_AnimSprite* sprite = live();
    sprite->play("cycle", "");
    sprite->update(0.03f);
    const float timer = sprite->timer;
    sprite->pause(1);
    for (int i = 0; i < 10; ++i) sprite->update(0.05f);
    EXPECT_EQ(3, sprite->localState().frameIndex);
    EXPECT_FLOAT_EQ(timer, sprite->timer);
    sprite->pause(0);
    EXPECT_TRUE(sprite->playing);
    sprite->update(0.03f);
    sprite->update(0.01f);
    EXPECT_EQ(1, sprite->localState().frameIndex);
}

TEST_F(AnimSpriteTest, StopReturnsToFrameZeroWithoutAFunction) {
    nE_AnimSprite* sprite = live();
    sprite->play("cycle", "");
    sprite->stop();
    EXPECT_EQ(0, sprite->localState().frameIndex);
    EXPECT_FALSE(sprite->playing);
    EXPECT_EQ(-1, sprite->currentFunction);
    sprite->pause(0);
    sprite->update(1);
    EXPECT_EQ(0, sprite->localState().frameIndex) << "resuming without a function shows nothing new";
}

TEST_F(AnimSpriteTest, UnknownAndEmptyFunctionsDoNotStart) {
    nE_AnimSprite* sprite = live();
    sprite->play("cycle", "keep");
    sprite->play("no_such_function", "other");
    sprite->play("empty", "other");
    EXPECT_EQ("cycle", sprite->current()->name);
    EXPECT_EQ("keep", sprite->endTrigger);
    for (int i = 0; i < 5; ++i) sprite->update(0.1f);
    EXPECT_TRUE(sprite->playing);
}

TEST_F(AnimSpriteTest, FrameCountByNameOrOfTheCurrentFunction) {
    nE_AnimSprite* sprite = live();
    EXPECT_EQ(2, sprite->frameCount("cycle"));
    EXPECT_EQ(3, sprite->frameCount("once")) << "the first of two functions of that name";
    EXPECT_EQ(0, sprite->frameCount(""));
    sprite->play("cycle", "");
    EXPECT_EQ(2, sprite->frameCount(""));
    EXPECT_EQ(2, sprite->frameCount("unknown"));
    sprite->pause(1);
    EXPECT_EQ(0, sprite->frameCount(""));
}

TEST_F(AnimSpriteTest, InputRectangleAndHitsFollowTheFrame) {
    nE_AnimSprite* sprite = live();
    EXPECT_FLOAT_EQ(-4, sprite->inputRect.x);
    EXPECT_FLOAT_EQ(8, sprite->inputRect.w);
    nE_RenderState world = sprite->worldStateFromTop();
    EXPECT_TRUE(sprite->hitTestPoint(2.5f, 0, world)) << "frame 0 is opaque";
    sprite->play("cycle", "");
    world = sprite->worldStateFromTop();
    EXPECT_EQ(3, world.frameIndex);
    EXPECT_TRUE(sprite->hitTestPoint(-2.5f, 0, world));
    EXPECT_FALSE(sprite->hitTestPoint(2.5f, 0, world)) << "frame 3 is clear in its right half";
}

TEST_F(AnimSpriteTest, FrameKey999IsAbsentAndAnyOtherValueSetsTheFrame) {
    nE_AnimSprite* sprite = live();
    sprite->editLocalState()->frameIndex = 2;
    tinyxml2::XMLDocument doc;
    doc.Parse("<anim frame=\"999\"/>");
    nE_SLHelper_XML absent(doc.RootElement());
    sprite->loadProperties(absent);
    EXPECT_EQ(2, sprite->localState().frameIndex);
    doc.Parse("<anim frame=\"0\"/>");
    nE_SLHelper_XML zero(doc.RootElement());
    sprite->loadProperties(zero);
    EXPECT_EQ(0, sprite->localState().frameIndex);
    EXPECT_EQ(5u, sprite->functions.size()) << "reading the file again does not double the list";
}

TEST_F(AnimSpriteTest, SavedPlayingSpriteRestartsItsFunctionWhenLoaded) {
    script_test::GameFolderAt game;
    nE_AnimSprite* sprite = live();
    // A saved game names the game's own files.
    sprite->setResourceName(game.data("sprites/strip"));
    sprite->play("cycle", "cycled");
    for (int i = 0; i < 3; ++i) sprite->update(0.06f);
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* saved = nE_SLHelper_XML::save(*sprite, doc, false, true);
    EXPECT_STREQ("1", saved->Attribute("playing"));
    EXPECT_STREQ("cycle", saved->Attribute("animfunc"));
    EXPECT_STREQ("cycled", saved->Attribute("endtrig"));
    EXPECT_STREQ(game.data("sprites/strip").c_str(), saved->Attribute("res"));

    std::unique_ptr<nE_Object> built = nE_SLHelper_XML::build(saved);
    auto* copy = dynamic_cast<nE_AnimSprite*>(built.get());
    ASSERT_TRUE(copy);
    EXPECT_TRUE(copy->playing);
    EXPECT_EQ("cycle", copy->current()->name);
    EXPECT_EQ("cycled", copy->endTrigger);
    EXPECT_EQ(0, copy->position) << "restarted from the first frame";
    EXPECT_EQ(3, copy->localState().frameIndex);
}

TEST_F(AnimSpriteTest, MissingAnimationFileLeavesNothingToPlayOrDraw) {
    testing::internal::CaptureStdout();
    auto* sprite = new nE_AnimSprite();
    sprite->setResourceName(data("no_such_animation"));
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos,
              out.find("nE_AnimSprite: Could not find \"" + data("no_such_animation") + "\" file!"));
    scene.attach(scene.root(), sprite);
    EXPECT_TRUE(sprite->functions.empty());
    EXPECT_TRUE(sprite->frameTextureName.empty());
    EXPECT_FALSE(sprite->texture);
    sprite->play("once", "x");
    EXPECT_FALSE(sprite->playing);
    spritetest::DrawRecorder renderer;
    scene.draw(&renderer);
    ASSERT_EQ(1u, renderer.draws.size());
    EXPECT_FALSE(renderer.draws[0].texture) << "an empty handle, which the renderer skips";
}

TEST_F(AnimSpriteTest, MissingAttributesReadAsEmptyAndZero) {
    const std::string res = writeAnimation("bare", R"(<animation><function><frame/><frame idx="2"/></function>
        <function name="next" frametime="x"/></animation>)");
    nE_AnimSprite sprite;
    sprite.setResourceName(res);
    ASSERT_EQ(2u, sprite.functions.size());
    EXPECT_EQ("", sprite.functions[0].name);
    EXPECT_EQ((std::vector<int>{0, 2}), sprite.functions[0].frames);
    EXPECT_FLOAT_EQ(0, sprite.functions[1].frameTime);
    EXPECT_EQ((tempDir / "").string(), sprite.frameTextureName);

    const std::string noRoot = writeAnimation("noroot", "<sequence/>");
    testing::internal::CaptureStdout();
    sprite.setResourceName(noRoot);
    EXPECT_EQ("", testing::internal::GetCapturedStdout()) << "no root: no functions, no message";
    EXPECT_TRUE(sprite.functions.empty());
}

TEST_F(AnimSpriteTest, NewResourceNameClearsPlaybackAndFunctions) {
    nE_AnimSprite* sprite = live();
    sprite->play("cycle", "");
    const std::string res = writeAnimation("other", R"(<animation frame_texture="sheet">
        <function name="only" frametime="10" loop="1"><frame idx="0"/></function></animation>)");
    testing::internal::CaptureStdout();
    sprite->setResourceName(res);
    testing::internal::GetCapturedStdout();
    EXPECT_FALSE(sprite->playing);
    EXPECT_EQ(-1, sprite->currentFunction);
    ASSERT_EQ(1u, sprite->functions.size());
    EXPECT_EQ("only", sprite->functions[0].name);
}

TEST_F(AnimSpriteTest, FindTextReportsEndTriggerAndCurrentFunction) {
    nE_AnimSprite* sprite = live();
    sprite->play("cycle", "open_cycle_door");
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* node = doc.NewElement("found");
    doc.InsertEndChild(node);
    sprite->findText(node, "cycle", false);
    std::vector<std::string> places;
    for (auto* e = node->FirstChildElement(); e; e = e->NextSiblingElement()) {
        EXPECT_STREQ("walker", e->Name());
        places.push_back(e->Attribute("place"));
    }
    EXPECT_EQ((std::vector<std::string>{"event", "misc"}), places);
}

}  // namespace
