#include "engine/media/nE_Render.h"

#include <algorithm>

#include "engine/media/nE_Texture.h"

static nE_Render* g_render = nullptr;

nE_Render* nE_Render::current() {
    return g_render;
}

nE_Render::~nE_Render() {
    if (g_render == this) g_render = nullptr;
}

void nE_Render::init(float width, float height) {
    virtualWidth = width;
    virtualHeight = height;
    clipStack_.clear();
    g_render = this;
}

std::shared_ptr<nE_Texture> nE_Render::makeGlow(const std::shared_ptr<nE_Texture>& texture, float width,
                                                float height, float spread) {
    // Targets do not nest: a glow made while drawing into one would end the outer target.
    if (!texture || texture->width <= 0 || texture->height <= 0 || inRenderTarget()) return nullptr;
    if (width == 0) width = texture->width;
    if (height == 0) height = texture->height;
    const int w = static_cast<int>(width), h = static_cast<int>(height);

    // Pass 1: the texture stretched over the whole target.
    beginTarget(w, h);
    nE_RenderState state;
    state.x = width / 2;
    state.y = height / 2;
    state.scaleX = width / texture->width;
    state.scaleY = height / texture->height;
    drawTexture(texture, state);
    std::shared_ptr<nE_Texture> scaled = endTarget();
    if (!scaled) return nullptr;

    // Pass 2: the copy once in full, then faintly around it.
    struct Copy {
        float dx, dy, alpha;
    };
    const Copy copies[9] = {
        {0, 0, 1.0f},           {-spread, -spread, 0.2f}, {spread, -spread, 0.2f}, {-spread, spread, 0.2f},
        {spread, spread, 0.2f}, {-spread, 0, 0.1f},       {spread, 0, 0.1f},       {0, -spread, 0.1f},
        {0, spread, 0.1f}};
    beginTarget(w, h);
    for (const Copy& c : copies) {
        nE_RenderState s;
        s.x = width / 2 + c.dx;
        s.y = height / 2 + c.dy;
        s.alpha = c.alpha;
        drawTexture(scaled, s);
    }
    return endTarget();
}

bool nE_Render::pushClip(const nE_Rect& rect) {
    if (rect.w == 0 || rect.h == 0) return false;
    clipStack_.push_back(rect);
    return true;
}

void nE_Render::popClip() {
    if (!clipStack_.empty()) clipStack_.pop_back();
}

nE_Rect nE_Render::currentClip() const {
    nE_Rect r = startingClip();
    for (const nE_Rect& c : clipStack_) {
        const float left = std::max(r.x, c.x), top = std::max(r.y, c.y);
        const float right = std::min(r.x + r.w, c.x + c.w), bottom = std::min(r.y + r.h, c.y + c.h);
        r = {left, top, std::max(0.f, right - left), std::max(0.f, bottom - top)};
    }
    return r;
}
