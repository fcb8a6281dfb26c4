// The platform renderer. One instance; the backend decides what it draws on.
#pragma once

#include <cstdint>
#include <memory>

#include "pflib/TBasicEffect.h"
#include "pflib/pfTypes.h"

namespace pf {

class TTexture;

// The platform's enumerations take an int underneath: a value read from content or an input file may
// lie outside them, and is then refused by the code rather than undefined.
enum TDrawType : int { kDrawTriangleList = 0, kDrawTriangleStrip = 1, kDrawLineList = 2 };

// Counters of one frame, for benchmarks and tests.
struct TRenderStats {
    int drawCalls = 0;    // what reached the GPU
    int submissions = 0;  // DrawVertices / DrawIndexedVertices / FillRect calls
    int vertices = 0;
};

class TRenderer {
public:
    static TRenderer* GetInstance();
    virtual ~TRenderer() = default;

    virtual bool SetOption(const str& name, const str& value) = 0;

    virtual bool BeginDraw() = 0;
    virtual void EndDraw(bool present) = 0;
    virtual bool Begin2d() = 0;
    virtual void End2d() = 0;

    virtual void SetViewport(const TURect& rect) = 0;
    virtual void SetClippingRectangle(const TURect& rect) = 0;
    virtual void SetWorldMatrix(const TMat4& matrix) = 0;
    virtual TBasicEffect* GetDefault2dEffect() = 0;

    // Draws with the default effect's texture, map modes, filtering and blend mode. Consecutive
    // draws that share them and the clip are batched.
    virtual bool DrawVertices(TDrawType type, const TVertexSet& set) = 0;
    virtual bool DrawIndexedVertices(TDrawType type, const TVertexSet& set, const uint16_t* indices,
                                     int indexCount) = 0;

    // Draws into the texture (created with type kRenderTarget) until EndRenderTarget.
    virtual bool BeginRenderTarget(const std::shared_ptr<TTexture>& target) = 0;
    virtual void EndRenderTarget() = 0;

    // Fills a rectangle (world matrix applies) with a colour, textured when a texture is given.
    virtual void FillRect(const TURect& rect, const TColor& color,
                          const std::shared_ptr<TTexture>& texture) = 0;

    virtual TRenderStats GetStats() const = 0;

    // Finishes every queued draw (glFinish on the GPU backend), for timing whole frames.
    virtual void Finish() = 0;
};

}  // namespace pf
