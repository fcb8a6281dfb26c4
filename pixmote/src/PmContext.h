// The drawing context behind the pm_context handle: the device, the batch of triangles waiting for
// it, and the drawing state with its transform stack.
#pragma once

#include <vector>

#include "pixmote/include/pixmote.h"
#include "pixmote/src/PmCoverage.h"

struct pm_context {
public:
    explicit pm_context(const pm_device& device) : device_(device) {}
    ~pm_context();
    pm_context(const pm_context&) = delete;
    pm_context& operator=(const pm_context&) = delete;

    const pm_device& device() const { return device_; }

    pm_result beginFrame(int width, int height);
    pm_result endFrame();
    pm_result flush();

    pm_result setColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a);
    pm_result setBlend(pm_blend_mode mode);
    pm_result setAntialias(bool on);
    pm_result setClip(bool enabled, int x, int y, int w, int h);
    pm_result setLineWidth(float width);
    pm_result setLineCap(pm_line_cap cap);
    pm_result setLineJoin(pm_line_join join);

    pm_result push();
    pm_result pop();
    // Composes m after the current transform (m is applied to the coordinates first).
    pm_result apply(const pm_transform& m);
    pm_result setTransform(const pm_transform& m);
    const pm_transform& transform() const { return transform_; }

    pm_result fillRect(float x, float y, float w, float h);
    pm_result strokeRect(float x, float y, float w, float h);
    pm_result fillPolygon(const float* xy, size_t count, pm_fill_rule rule);
    pm_result strokePoints(const float* xy, size_t count, bool closed);
    pm_result fillRoundedRect(float x, float y, float w, float h, float radius);
    pm_result strokeRoundedRect(float x, float y, float w, float h, float radius);
    pm_result fillArc(float x, float y, float w, float h, float start, float sweep, bool pie);
    pm_result strokeArc(float x, float y, float w, float h, float start, float sweep, bool whole);

    // The source rectangle of a texW x texH texture drawn into the destination rectangle, through
    // the transform, tinted by the current colour. Images and glyphs both come this way.
    pm_result drawTexturedQuad(uint32_t texture, int texW, int texH, const float src[4], const float dst[4]);
    // PM_OK when drawTexturedQuad would take the destination rectangle now: a whole string of glyphs
    // is checked before any of it is drawn.
    pm_result checkQuad(const float dst[4]) const;

private:
    // Outlines in user space, transformed and filled with the current colour and blend mode. ringWidth
    // is the thinnest the outline of a stroke is on the device (0 for other fills); strip says that
    // the one outline is the band along an open path, point for point on its two sides, with endCap
    // and startCap points round its ends.
    pm_result fillContours(std::vector<std::vector<pixmote::PmPoint>>& contours, bool evenOdd,
                           double ringWidth = 0, bool strip = false, size_t endCap = 0, size_t startCap = 0);
    pm_result addTriangles(const pm_vertex* vertices, size_t count, uint32_t texture);
    // Room for count more vertices in the batch (sending what is there first when it must).
    pm_result reserveTriangles(size_t count, uint32_t texture, pm_vertex** out, bool mask = false);
    pm_result checkDrawing() const;
    // A fill's coverage as a mask in the coverage texture, drawn as one textured quad over its box
    // (x0, y0)-(x1, y1): false when the device cannot take one or the box does not fit the texture.
    bool fillMask(const std::vector<std::vector<pixmote::PmPoint>>& contours, bool evenOdd,
                  const pixmote::PmBounds& box, pm_result& result);
    // Vertices the quads of a mask h rows tall take at most.
    static int maskVertices(int h);
    // Room for a w x h mask in the coverage texture (sending the batch first when it is full).
    bool placeMask(int w, int h, int& x, int& y, pm_result& result);
    // An opaque white texel in the coverage texture, so that plain triangles can share a batch with
    // masked quads: antialiased by geometry or by mask, neighbouring fills go out in one draw.
    void placeWhite(pm_result& result);
    // The largest stretch the current transform gives a length, for flattening curves.
    double scale() const;
    // Whether fills go to the device as triangles antialiased by geometry, where they can.
    bool geometric() const { return device_.geometric_antialias && antialias_; }
    // The smallest, for the thinnest a stroke becomes.
    double leastScale() const;
    // Strokes a path with the current width, caps and joins.
    pm_result strokePath(const std::vector<pixmote::PmPoint>& path, bool closed, pm_line_cap cap,
                         pm_line_join join);

    pm_device device_;
    std::vector<pm_vertex> batch_;
    uint32_t batchTexture_ = PM_NO_TEXTURE;
    pm_blend_mode batchBlend_ = PM_BLEND_NORMAL;

    bool inFrame_ = false;
    int width_ = 0, height_ = 0;
    bool clipOn_ = false;
    int clip_[4] = {0, 0, 0, 0};
    uint8_t color_[4] = {255, 255, 255, 255};
    pm_blend_mode blend_ = PM_BLEND_NORMAL;
    bool antialias_ = true;
    float lineWidth_ = 1.0f;
    pm_line_cap lineCap_ = PM_CAP_BUTT;
    pm_line_join lineJoin_ = PM_JOIN_MITER;
    pm_transform transform_ = {1, 0, 0, 1, 0, 0};
    std::vector<pm_transform> stack_;
    // A shape's triangles when the device antialiases by geometry, before they go into the batch.
    std::vector<pm_vertex> fringe_;

    // The coverage masks of the fills in the batch, packed in shelves, for devices without fill_runs,
    // where a quad per run of equal coverage (most of them single edge pixels) would cost far more
    // than the pixels. The batch's quads hold texel coordinates into it; when the batch goes out the
    // masks become a texture of their own, made for that batch and let go after it, so that no
    // texture a device may still be drawing from is ever written again.
    bool batchMask_ = false;
    int maskW_ = 0, maskH_ = 0;
    std::vector<uint32_t> mask_, packed_;
    int shelfX_ = 0, shelfY_ = 0, shelfH_ = 0, maskUsedW_ = 0;
    int whiteX_ = -1, whiteY_ = -1;
    std::vector<int> bandReach_;
};
