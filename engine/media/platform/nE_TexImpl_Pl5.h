// The platform side of a texture: the pf texture to bind when drawing.
#pragma once

#include <memory>
#include <string>

#include "pflib/TTexture.h"

class nE_TexImpl_Pl5 {
public:
    virtual ~nE_TexImpl_Pl5() = default;

    // Finds name + ".png" (else ".jpg", backslashes read as slashes) and loads it into platformTexture.
    // Reports a missing file; false when nothing was loaded.
    virtual bool loadImage(const std::string& name);
    // The texture to bind for the frame; a plain texture has only one.
    virtual const std::shared_ptr<pf::TTexture>& platformTextureFor(int frameIndex) const;

    std::shared_ptr<pf::TTexture> platformTexture;
};
