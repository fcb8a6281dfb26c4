#include "engine/media/nE_Render.h"

#include <algorithm>

static nE_Render* g_current = nullptr;

nE_Render* nE_Render::current() { return g_current; }

void nE_Render::init(float width, float height) {
    virtualWidth = width;
    virtualHeight = height;
    clipStack_.clear();
    g_current = this;
}

std::shared_ptr<nE_Texture> nE_Render::makeGlow(const std::shared_ptr<nE_Texture>&, float, float, float) {
    return nullptr;
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
