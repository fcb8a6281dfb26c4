// A frame texture bound to the platform: each frame draws with its own texture's pf texture.
#pragma once

#include "engine/media/nE_FrameTexture.h"
#include "engine/media/platform/nE_TexImpl_Pl5.h"

class nE_FrameTexture_Pl5 : public nE_FrameTexture, public nE_TexImpl_Pl5 {
public:
    // The frames' textures are loaded by their own objects; there is no image of its own.
    bool loadImage(const std::string&) override { return false; }
    const nE_TexImpl_Pl5* platformSide() const override { return this; }
    // The pf texture of the frame's texture; empty past the end or for a frame without one.
    const std::shared_ptr<pf::TTexture>& platformTextureFor(int frameIndex) const override;
};
