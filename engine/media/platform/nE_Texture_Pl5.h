// A texture loaded from an image file, with its hit mask read from the alpha channel.
#pragma once

#include "engine/media/nE_Texture.h"
#include "engine/media/platform/nE_TexImpl_Pl5.h"

class nE_Texture_Pl5 : public nE_Texture, public nE_TexImpl_Pl5 {
public:
    bool load(const std::string& name) override;
    const nE_TexImpl_Pl5* platformSide() const override { return this; }
};
