// A drawable image: its size, the texture-coordinate rectangle, and a 1-bit alpha hit mask.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/nE_RenderState.h"
#include "engine/media/nE_Render.h"
#include "engine/media/nE_Resource.h"

class nE_TexImpl_Pl5;

class nE_Texture : public nE_Resource {
public:
    // Larger images get no hit mask.
    static constexpr int kMaxMaskSide = 32767;

    nE_Texture();
    ~nE_Texture() override = default;

    // Base textures have nothing to load from; the platform classes do.
    bool load(const std::string& name) override;
    // The drawn rectangle around the object's origin: a plain texture is centred.
    virtual nE_Rect localRect(int frameIndex) const;
    // (u, v, du, dv); tiling above 1 repeats the image.
    virtual nE_Rect texCoordRect(const nE_RenderState& state) const;
    // Point in the coordinates the state's transform maps into; exact to the pixel where a mask exists.
    virtual bool hitTest(float x, float y, const nE_RenderState& state) const;
    // The platform binding's side of the texture; none for a texture without one. A virtual rather
    // than a cross-cast, which costs more than the rest of a sprite's draw.
    virtual const nE_TexImpl_Pl5* platformSide() const { return nullptr; }

    // Size as drawn and size of the platform texture, in pixels.
    float width = 1, height = 1;
    float sourceWidth = 1, sourceHeight = 1;

    // Hit mask: 32-pixel column blocks of maskHeight words each; bit (px & 31) of word
    // (px >> 5) * maskHeight + py is set when that pixel's alpha is not zero.
    uint16_t maskWidth = 0, maskHeight = 0;
    std::vector<uint32_t> maskBits;

    // Makes an all-clear mask of the size; a side above kMaxMaskSide, zero or negative leaves it empty.
    bool allocMask(int w, int h);
    void freeMask();
    bool hasMask() const { return !maskBits.empty(); }
    // False outside the mask.
    bool maskBit(int px, int py) const;
    void setMaskBit(int px, int py, bool opaque);
    // Whether (px, py) lies inside the mask.
    bool maskContains(int px, int py) const {
        return hasMask() && px >= 0 && py >= 0 && px < maskWidth && py < maskHeight;
    }

protected:
    // Checks the point against the transformed rectangle (even-odd rule) and gives the point in the
    // object's local space. False when outside or when the transform cannot be inverted.
    static bool insideTransformedRect(float x, float y, const nE_Rect& rect, const nE_RenderState& state,
                                      float& localX, float& localY);
};
