// The engine's renderer: frame and 2-D brackets, clip stack, render targets and drawing calls.
// Objects hand it a texture and their render state; only the platform binding talks to pf.
#pragma once

#include <memory>
#include <vector>

#include "engine/core/nE_RenderState.h"

class nE_Texture;

struct nE_Rect {
    float x = 0, y = 0, w = 0, h = 0;
};

// Input vertex of drawVertices: position, colour (0..1), texture coordinates.
struct nE_Vertex {
    float x = 0, y = 0, z = 0;
    float r = 1, g = 1, b = 1, a = 1;
    float u = 0, v = 0;
};

class nE_Render {
public:
    // A renderer that goes stops being the current one.
    virtual ~nE_Render();

    virtual void init(float width, float height);
    virtual void shutdown() {}
    virtual void beginFrame() {}
    // Fills the display with opaque black (the first step of every frame).
    virtual void clear() {}
    virtual void endFrame() {}
    virtual void begin2d() {}
    virtual void end2d() {}
    virtual void beginTarget(int width, int height) { (void)width, (void)height; }
    virtual std::shared_ptr<nE_Texture> endTarget() { return nullptr; }
    // Whether drawing currently goes into a render target.
    virtual bool inRenderTarget() const { return false; }
    // A soft-edged copy of the texture (zero sizes take the texture's own), drawn through beginTarget,
    // drawTexture and endTarget; empty when the texture is empty or no target could be made.
    virtual std::shared_ptr<nE_Texture> makeGlow(const std::shared_ptr<nE_Texture>& texture, float width,
                                                 float height, float spread);
    virtual void drawTexture(const std::shared_ptr<nE_Texture>& texture, nE_RenderState& state) {
        (void)texture, (void)state;
    }
    virtual void drawVertices(const std::shared_ptr<nE_Texture>& texture, nE_RenderState& state,
                              const nE_Vertex* vertices, int count, bool absolute) {
        (void)texture, (void)state, (void)vertices, (void)count, (void)absolute;
    }
    virtual void drawIndexedVertices(const std::shared_ptr<nE_Texture>& texture, nE_RenderState& state,
                                     const nE_Vertex* vertices, int count, const unsigned short* indices,
                                     int indexCount, bool absolute) {
        (void)texture, (void)state, (void)vertices, (void)count, (void)indices, (void)indexCount,
            (void)absolute;
    }
    virtual void drawLine(float x0, float y0, float x1, float y1, const pf::TColor& color,
                          nE_RenderState& state) {
        (void)x0, (void)y0, (void)x1, (void)y1, (void)color, (void)state;
    }
    // Refuses (false) a rectangle of zero width or height.
    virtual bool pushClip(const nE_Rect& rect);
    virtual void popClip();
    // Intersection of the stacked rectangles with the starting rectangle.
    virtual nE_Rect currentClip() const;

    // The process's current renderer (the last one initialised), or none.
    static nE_Render* current();

    float virtualWidth = 0, virtualHeight = 0;

protected:
    virtual nE_Rect startingClip() const { return {0, 0, virtualWidth, virtualHeight}; }
    std::vector<nE_Rect> clipStack_;
};
