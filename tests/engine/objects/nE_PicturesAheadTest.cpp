#include <gtest/gtest.h>

#include "engine/core/nE_Scene.h"
#include "engine/media/nE_ResourceCache.h"
#include "engine/media/nE_Texture.h"
#include "engine/objects/nE_PicturesAhead.h"
#include "engine/objects/nE_Sprite.h"
#include "pflib/TTexture.h"
#include "tests/engine/objects/SpriteTestSupport.h"

namespace {

nE_Sprite* sprite(const std::string& name, const std::string& picture) {
    auto* s = new nE_Sprite();
    s->name = name;
    s->setResourceName(spritetest::data(picture));
    return s;
}

}  // namespace

// A room left before its pictures are taken: what was decoded for it waits under the picture's own
// file (so it can only ever make that picture), is taken by whoever loads that picture next, and goes
// with the rest at shut-down; activation asks only for pictures no live texture holds.
TEST(PicturesAheadTest, PicturesAskedForALeftRoomGoOnlyToTheirOwnSprites) {
    nE_ResourceCache::create();
    nE_Scene scene;
    nE_Object* left = sprite("left", "hole");
    left->addChild(sprite("strip_in_left", "strip"));
    scene.park(left);
    nE_PicturesAhead::forTree(left);
    EXPECT_EQ(pf::TTexture::PrefetchedCount(), 2u);
    nE_Scene::destroyLater(left);
    nE_Scene::flushDestroyed();

    nE_Sprite* next = sprite("next", "strip");
    scene.attach(scene.root(), next);
    ASSERT_TRUE(next->texture);
    EXPECT_EQ(next->texture->width, 32) << "the strip's own pixels";
    EXPECT_EQ(pf::TTexture::PrefetchedCount(), 1u) << "the hole waits for a sprite of its own";

    nE_Object* room = new nE_Object();
    room->addChild(sprite("also_strip", "strip"));
    scene.park(room);
    nE_PicturesAhead::forTree(room);
    EXPECT_EQ(pf::TTexture::PrefetchedCount(), 1u) << "a live texture holds the strip already";
    pf::TTexture::DropPrefetched();
    EXPECT_EQ(pf::TTexture::PrefetchedCount(), 0u);
    scene.attach(scene.root(), room);
    EXPECT_TRUE(static_cast<nE_Sprite*>(room->children[0])->texture);
    nE_ResourceCache::destroy();
}
