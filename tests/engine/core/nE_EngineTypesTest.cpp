// The engine registers its own object types and installs the platform bindings of the media bases;
// the bases never create a binding themselves.
#include <gtest/gtest.h>

#include <memory>

#include "engine/core/nE_EngineTypes.h"
#include "engine/core/nE_Factory.h"
#include "engine/core/nE_Object.h"
#include "engine/core/notEngine_Pl5.h"
#include "engine/media/nE_Font.h"
#include "engine/media/nE_GeneratedTexture.h"
#include "engine/media/nE_ResourceCache.h"
#include "engine/media/nE_SoundHub.h"
#include "engine/media/platform/nE_Bindings_Pl5.h"

TEST(EngineTypes, TheEngineRegistersItsOwnTypesAndBindings) {
    for (const char* type : {"spr", "anim", "partsys", "text"}) nE_Factory::registerType(type, nullptr);
    nE_SoundHub::destroy();
    nE_SoundHub::setMaker(nullptr);
    nE_ResourceCache::setDefaultFactory(nE_ResourceCache::kTexture, nullptr);
    nE_GeneratedTexture::setMaker(nullptr);

    // Without the engine's bindings the bases make nothing of their own.
    EXPECT_EQ(nullptr, nE_SoundHub::get());
    EXPECT_EQ(nullptr, nE_GeneratedTexture::make());
    nE_ResourceCache bare;
    EXPECT_EQ(nullptr, bare.getTexture("anything"));

    notEngine_Pl5 engine;
    for (const char* type : {"obj", "spr", "anim", "partsys", "text"}) {
        std::unique_ptr<nE_Object> made(nE_Factory::create(type));
        ASSERT_NE(nullptr, made) << type;
        EXPECT_EQ(type, made->getTypeName());
    }
    EXPECT_NE(nullptr, nE_SoundHub::get());
    EXPECT_NE(nullptr, nE_GeneratedTexture::make());
    nE_ResourceCache installed;
    EXPECT_NE(nullptr, installed.getTexture("anything")) << "a placeholder for a missing file";
    nE_SoundHub::destroy();
}
