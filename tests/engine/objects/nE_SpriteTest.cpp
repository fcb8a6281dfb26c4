#include <gtest/gtest.h>
#include <tinyxml2.h>

#include "engine/core/nE_Factory.h"
#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Scene.h"
#include "engine/media/nE_ResourceCache.h"
#include "engine/media/nE_Texture.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/script/nE_SLHelper_XML.h"
#include "tests/engine/core/nE_SceneTestSupport.h"
#include "tests/engine/objects/SpriteTestSupport.h"
#include "tests/engine/script/ScriptTestFolder.h"

namespace {

using spritetest::data;

class SpriteTest : public ::testing::Test {
protected:
    void SetUp() override { cache = nE_ResourceCache::create(); }
    void TearDown() override { nE_ResourceCache::destroy(); }

    // A sprite over the 16 x 16 image with its hole, live at (100, 100).
    nE_Sprite* liveHoleSprite() {
        auto* sprite = new nE_Sprite();
        sprite->name = "holey";
        sprite->editLocalState()->x = 100;
        sprite->editLocalState()->y = 100;
        sprite->setResourceName(data("hole"));
        scene.attach(scene.root(), sprite);
        return sprite;
    }
    bool hits(nE_Sprite* sprite, float x, float y) {
        nE_RenderState world = sprite->worldStateFromTop();
        return sprite->hitTestPoint(x, y, world);
    }

    nE_ResourceCache* cache = nullptr;
    nE_Scene scene;
};

TEST_F(SpriteTest, HitsArePixelExactAroundATransparentHole) {
    nE_Sprite* sprite = liveHoleSprite();
    ASSERT_TRUE(sprite->texture);
    // The image is centred: pixel (px, py) covers x 92 + px .. 93 + px.
    EXPECT_TRUE(hits(sprite, 92.5f, 92.5f));
    EXPECT_TRUE(hits(sprite, 96.5f, 99.5f)) << "pixel 4 left of the hole";
    EXPECT_FALSE(hits(sprite, 97.5f, 97.5f)) << "pixel 5, first of the hole";
    EXPECT_FALSE(hits(sprite, 100.5f, 100.5f)) << "pixel 8, inside the hole";
    EXPECT_FALSE(hits(sprite, 102.5f, 102.5f)) << "pixel 10, last of the hole";
    EXPECT_TRUE(hits(sprite, 103.5f, 102.5f)) << "pixel 11, right of the hole";
    EXPECT_FALSE(hits(sprite, 108.5f, 100)) << "outside the image";

    // An explicit input rectangle covering the image replaces the mask.
    sprite->inputRectSet = true;
    sprite->inputRect = nE_Rect{-8, -8, 16, 16};
    EXPECT_TRUE(hits(sprite, 100.5f, 100.5f));
    EXPECT_FALSE(hits(sprite, 108.5f, 100));
}

TEST_F(SpriteTest, ClicksInTheHoleGoToWhatLiesBelow) {
    scenetest::QueueRecorder queue;
    auto* below = new nE_Object();
    below->name = "below";
    scenetest::setRect(below, 0, 0, 300, 300);
    below->eventTriggers[nE_Object::kEventMouseDown] = "below_clicked";
    scene.attach(scene.root(), below);
    nE_Sprite* sprite = liveHoleSprite();
    sprite->editLocalState()->z = 1;
    sprite->eventTriggers[nE_Object::kEventMouseDown] = "sprite_clicked";

    nE_InputEvent down;
    down.type = nE_InputEvent::kButtonDown;
    down.x = 100.5f;
    down.y = 100.5f;
    scene.dispatch(down);
    down.x = 93;
    scene.dispatch(down);
    EXPECT_EQ((std::vector<std::string>{"below_clicked", "sprite_clicked"}), queue.callStrings());
}

TEST_F(SpriteTest, InputRectangleFollowsTheImageUnlessGiven) {
    nE_Sprite* sprite = liveHoleSprite();
    EXPECT_FLOAT_EQ(-8, sprite->inputRect.x);
    EXPECT_FLOAT_EQ(16, sprite->inputRect.w);
    const nE_Rect local = sprite->getLocalRect();
    EXPECT_FLOAT_EQ(-8, local.y);
    EXPECT_FLOAT_EQ(16, local.h);

    auto* given = new nE_Sprite();
    given->inputRectSet = true;
    given->inputRect = nE_Rect{1, 2, 3, 4};
    given->setResourceName(data("hole"));
    scene.attach(scene.root(), given);
    EXPECT_FLOAT_EQ(1, given->inputRect.x);
    EXPECT_FLOAT_EQ(4, given->inputRect.h);
}

TEST_F(SpriteTest, HoldsItsTextureOnlyWhileLive) {
    nE_Sprite* sprite = liveHoleSprite();
    EXPECT_TRUE(sprite->getResource());
    scene.park(sprite);
    EXPECT_FALSE(sprite->texture);
    EXPECT_FALSE(sprite->getResource());
    EXPECT_FLOAT_EQ(0, sprite->getLocalRect().w);
    scene.attach(scene.root(), sprite);
    EXPECT_TRUE(sprite->texture);
}

TEST_F(SpriteTest, SettingTheSameNameAgainReRequestsTheTexture) {
    nE_Sprite* sprite = liveHoleSprite();
    std::shared_ptr<nE_Texture> kept = sprite->texture;
    const int before = cache->requestCount();
    sprite->setResourceName(sprite->getResourceName());
    EXPECT_EQ(before + 1, cache->requestCount());
    EXPECT_EQ(kept, sprite->texture) << "the cache hands back the living texture";

    // Parked, a new name is only remembered; the next load uses it.
    scene.park(sprite);
    const int parked = cache->requestCount();
    sprite->setResourceName(data("strip"));
    EXPECT_EQ(parked, cache->requestCount());
    scene.attach(scene.root(), sprite);
    ASSERT_TRUE(sprite->texture);
    EXPECT_FLOAT_EQ(32, sprite->texture->width);
}

TEST_F(SpriteTest, MissingImageDrawsNothingAndIsHitAsOnePixel) {
    testing::internal::CaptureStdout();
    auto* sprite = new nE_Sprite();
    sprite->setResourceName(data("no_such_image"));
    scene.attach(scene.root(), sprite);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos,
              out.find("nE_Texture::Could not find \"" + data("no_such_image") + "\" file!"));
    ASSERT_TRUE(sprite->texture) << "the placeholder is kept";
    EXPECT_FLOAT_EQ(-0.5f, sprite->inputRect.x);
    EXPECT_FLOAT_EQ(1, sprite->inputRect.w);
}

TEST_F(SpriteTest, DrawsItsTextureWithItsWorldState) {
    nE_Sprite* sprite = liveHoleSprite();
    sprite->editLocalState()->alpha = 0.5f;
    sprite->editLocalState()->tilingX = 2;
    spritetest::DrawRecorder renderer;
    scene.draw(&renderer);
    ASSERT_EQ(1u, renderer.draws.size());
    EXPECT_EQ(sprite->texture, renderer.draws[0].texture);
    EXPECT_FLOAT_EQ(0.5f, renderer.draws[0].state.alpha);
    EXPECT_FLOAT_EQ(2, renderer.draws[0].state.tilingX);
    EXPECT_FLOAT_EQ(100, renderer.draws[0].state.matrix.m[12]);
}

TEST_F(SpriteTest, DescriptionRoundTripKeepsTheResourceName) {
    tinyxml2::XMLDocument doc;
    doc.Parse("<spr name=\"a\" res=\"images/door\" pos_x=\"3\"/>");
    std::unique_ptr<nE_Object> built = nE_SLHelper_XML::build(doc.RootElement());
    ASSERT_TRUE(built);
    EXPECT_EQ("spr", built->getTypeName());
    EXPECT_EQ("images/door", built->getResourceName());

    tinyxml2::XMLDocument out;
    tinyxml2::XMLElement* saved = nE_SLHelper_XML::save(*built, out, false, true);
    EXPECT_STREQ("spr", saved->Name());
    EXPECT_STREQ("images/door", saved->Attribute("res"));
    EXPECT_STREQ("3", saved->Attribute("pos_x"));
}

TEST_F(SpriteTest, NewResInADescriptionSwapsTheTextureOfALiveSprite) {
    script_test::GameFolderAt game;
    nE_Sprite* sprite = liveHoleSprite();
    tinyxml2::XMLDocument doc;
    doc.Parse(("<spr res=\"" + game.data("sprites/strip") + "\"/>").c_str());
    nE_SLHelper_XML helper(doc.RootElement());
    sprite->loadProperties(helper);
    ASSERT_TRUE(sprite->texture);
    EXPECT_FLOAT_EQ(32, sprite->texture->width);
    EXPECT_FLOAT_EQ(-16, sprite->inputRect.x);
}

}  // namespace
