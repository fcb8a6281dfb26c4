// The renderer on pf::TRenderer: frame and 2-D brackets, render targets, blend-mode mapping, the two
// solid textures and the brightness overlay.
#pragma once

#include <memory>
#include <vector>

#include "engine/media/nE_Render.h"
#include "pflib/TRenderer.h"

class nE_GeneratedTexture_Pl5;
class nE_RenderTargerTexture_Pl5;

class nE_Render_Pl5 : public nE_Render {
public:
    // Vertex lists longer than this are refused rather than split.
    static constexpr int kMaxVertices = 768;

    // The display size defaults to the design size given here.
    void init(float width, float height) override;
    void shutdown() override;
    void beginFrame() override;
    void clear() override;
    void endFrame() override;
    void begin2d() override;
    void end2d() override;
    void beginTarget(int width, int height) override;
    std::shared_ptr<nE_Texture> endTarget() override;
    bool inRenderTarget() const override { return inTarget_; }
    void drawTexture(const std::shared_ptr<nE_Texture>& texture, nE_RenderState& state) override;
    void drawVertices(const std::shared_ptr<nE_Texture>& texture, nE_RenderState& state,
                      const nE_Vertex* vertices, int count, bool absolute) override;
    void drawIndexedVertices(const std::shared_ptr<nE_Texture>& texture, nE_RenderState& state,
                             const nE_Vertex* vertices, int count, const unsigned short* indices,
                             int indexCount, bool absolute) override;
    void drawLine(float x0, float y0, float x1, float y1, const pf::TColor& color,
                  nE_RenderState& state) override;

    // (Re)creates the 4 × 4 opaque white and black textures; again after the device lost its textures.
    void createSolidTextures();
    const std::shared_ptr<nE_Texture>& whiteTexture() const { return white_; }
    const std::shared_ptr<nE_Texture>& blackTexture() const { return black_; }

    // Paints the display black outside the given rectangle (display pixels): the bars beside or above
    // and below a canvas that keeps its shape, which nothing drawn past the canvas's edges may show in.
    // The frame's brightness overlay then covers the rectangle alone.
    void coverOutside(const pf::TURect& keep);

    // The engine's gamma: above 1 brightens the frame with a white overlay, below 1 darkens it.
    void setGamma(float gamma) { gamma_ = gamma; }
    float gamma() const { return gamma_; }
    void setDisplaySize(float width, float height) {
        displayWidth_ = width;
        displayHeight_ = height;
    }
    float displayWidth() const { return displayWidth_; }
    float displayHeight() const { return displayHeight_; }

    bool isDrawing() const { return drawing_; }
    bool isIn2d() const { return in2d_; }

    // Engine blend mode → platform blend mode: 1..4 pass through, anything else is normal blending
    // (platform 6 inside a render target, which keeps the target's coverage right).
    static int platformBlendMode(int blendMode, bool inTarget);
    // The white overlay's alpha per unit of gamma above 1.
    static constexpr float kBrightenFactor = 0.6f;

protected:
    nE_Rect startingClip() const override { return {0, 0, 2048, 2048}; }

private:
    bool canDraw() const { return (drawing_ && in2d_) || inTarget_; }
    void applyClip(pf::TRenderer& renderer) const;
    // Sets the world matrix, clip, blend mode, map modes and the frame's pf texture; false (nothing set
    // up) when the texture has no pf texture.
    bool prepare(pf::TRenderer& renderer, nE_Texture& texture, nE_RenderState& state, bool absolute);
    void drawOverlay();
    // Fills vertexBuffer_ with the vertices in platform form, coloured by the state unless absolute.
    void convertVertices(const nE_Vertex* vertices, int count, bool absolute, const nE_RenderState& state);

    bool drawing_ = false, in2d_ = false, inTarget_ = false;
    float gamma_ = 1;
    float displayWidth_ = 0, displayHeight_ = 0;
    pf::TURect lit_;  // what the brightness overlay covers: the display less its bars
    std::shared_ptr<nE_Texture> white_, black_;
    std::shared_ptr<nE_RenderTargerTexture_Pl5> currentTarget_;
    std::vector<pf::TVertex> vertexBuffer_;
    // The screen's clip stack, put aside while drawing into a target.
    std::vector<nE_Rect> screenClips_;
};
