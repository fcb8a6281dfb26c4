#include <gtest/gtest.h>

#include "engine/core/nE_EngineTypes.h"
#include "engine/script/nE_LoadKeys.h"

TEST(nE_LoadKeys, AreTheKeysEachTypesLoadReadsIncludingGuardedOnes) {
    nE_EngineTypes::registerAll();
    const std::set<std::string> sprite = nE_LoadKeys::of("spr");
    // Shared keys, the type's own, and those read only when a flag before them is set.
    for (const char* key : {"name", "pos_x", "visible", "event_mdown", "res", "inputrect_w", "croprect_x"})
        EXPECT_TRUE(sprite.count(key)) << key;
    // Another type's keys, and the keys of nested records, are not the sprite's.
    for (const char* key : {"animfunc", "type", "numpoints", "width"}) EXPECT_FALSE(sprite.count(key)) << key;
    EXPECT_TRUE(nE_LoadKeys::of("anim").count("animfunc"));
    EXPECT_TRUE(nE_LoadKeys::of("ateffect").count("dencity"));
    EXPECT_TRUE(nE_LoadKeys::of("no_such_type").empty());
}
