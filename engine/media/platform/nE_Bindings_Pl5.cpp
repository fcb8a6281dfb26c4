#include "engine/media/platform/nE_Bindings_Pl5.h"

#include "engine/media/nE_ResourceCache.h"
#include "engine/media/nE_Sound.h"
#include "engine/media/nE_SoundHub.h"
#include "engine/media/platform/nE_FrameTexture_Pl5.h"
#include "engine/media/platform/nE_GeneratedTexture_Pl5.h"
#include "engine/media/platform/nE_SoundHub_Pl5.h"
#include "engine/media/platform/nE_Texture_Pl5.h"

void nE_Bindings_Pl5::install() {
    nE_SoundHub::setMaker([]() -> nE_SoundHub* { return new nE_SoundHub_Pl5(); });
    nE_ResourceCache::setDefaultFactory(nE_ResourceCache::kTexture, []() -> std::shared_ptr<nE_Resource> {
        return std::make_shared<nE_Texture_Pl5>();
    });
    nE_ResourceCache::setDefaultFactory(
        nE_ResourceCache::kFrameTexture,
        []() -> std::shared_ptr<nE_Resource> { return std::make_shared<nE_FrameTexture_Pl5>(); });
    nE_GeneratedTexture::setMaker(
        []() -> std::shared_ptr<nE_GeneratedTexture> { return std::make_shared<nE_GeneratedTexture_Pl5>(); });
}
