// The default 2-D effect: one texture modulated by the vertex colour.
#pragma once

#include <memory>

#include "pflib/TEffect.h"

namespace pf {

class TTexture;

// Platform blend modes:
//   0 normal alpha blending           src·a + dst·(1−a)
//   1 multiply                        dst · lerp(1, src, a)
//   2 additive                        dst + src·a
//   3 subtractive                     dst − src·a
//   4 screen                          src·a + dst·(1 − src·a)
//   5 opaque copy                     src
//   6 normal into a render target     as 0 for colour; alpha a + dstA·(1−a), so the target keeps
//                                     a correct coverage for drawing it later
enum TBlendMode : int {
    kBlendNormal = 0,
    kBlendMultiply = 1,
    kBlendAdd = 2,
    kBlendSubtract = 3,
    kBlendScreen = 4,
    kBlendCopy = 5,
    kBlendNormalTarget = 6,
};

// Texture map modes: 0 clamp, 1 wrap.
enum TMapMode : int { kMapClamp = 0, kMapWrap = 1 };

class TBasicEffect : public TEffect {
public:
    // The same texture again (every draw of a batch) costs no reference count.
    void SetTexture(const std::shared_ptr<TTexture>& texture) {
        if (texture_ != texture) texture_ = texture;
    }
    const std::shared_ptr<TTexture>& GetTexture() const { return texture_; }
    void SetTextureMapMode(int u, int v) {
        mapU_ = u;
        mapV_ = v;
    }
    int GetMapU() const { return mapU_; }
    int GetMapV() const { return mapV_; }
    // 0 nearest, 1 linear.
    void SetFilteringMode(int mode) { filtering_ = mode; }
    int GetFilteringMode() const { return filtering_; }
    void SetBlendMode(int mode) { blend_ = mode; }
    int GetBlendMode() const { return blend_; }

private:
    std::shared_ptr<TTexture> texture_;
    int mapU_ = kMapClamp, mapV_ = kMapClamp;
    int filtering_ = 1;
    int blend_ = kBlendNormal;
};

}  // namespace pf
