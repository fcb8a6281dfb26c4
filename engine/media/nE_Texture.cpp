#include "engine/media/nE_Texture.h"

#include <cmath>

nE_Texture::nE_Texture() {
    setName("ne_dummytex");
}

bool nE_Texture::load(const std::string& name) {
    setName(name);
    return false;
}

nE_Rect nE_Texture::localRect(int) const {
    return {-width / 2, -height / 2, width, height};
}

nE_Rect nE_Texture::texCoordRect(const nE_RenderState& state) const {
    return {0, 0, state.tilingX * width / sourceWidth, state.tilingY * height / sourceHeight};
}

bool nE_Texture::allocMask(int w, int h) {
    freeMask();
    if (w <= 0 || h <= 0 || w > kMaxMaskSide || h > kMaxMaskSide) return false;
    maskWidth = static_cast<uint16_t>(w);
    maskHeight = static_cast<uint16_t>(h);
    const size_t blocks = ((static_cast<size_t>(w) - 1) >> 5) + 1;
    maskBits.assign(blocks * maskHeight, 0u);
    return true;
}

void nE_Texture::freeMask() {
    maskWidth = maskHeight = 0;
    maskBits.clear();
    maskBits.shrink_to_fit();
}

bool nE_Texture::maskBit(int px, int py) const {
    if (!maskContains(px, py)) return false;
    const uint32_t word = maskBits[static_cast<size_t>(px >> 5) * maskHeight + py];
    return (word >> (px & 31)) & 1u;
}

void nE_Texture::setMaskBit(int px, int py, bool opaque) {
    if (!maskContains(px, py)) return;
    uint32_t& word = maskBits[static_cast<size_t>(px >> 5) * maskHeight + py];
    const uint32_t bit = 1u << (px & 31);
    word = opaque ? (word | bit) : (word & ~bit);
}

bool nE_Texture::insideTransformedRect(float x, float y, const nE_Rect& rect, const nE_RenderState& state,
                                       float& localX, float& localY) {
    pf::TMat4 m = state.matrix;
    if (!state.matrixValid) {
        nE_RenderState copy = state;
        m = copy.transform();
    }
    const pf::TVec2 corners[4] = {m.Apply(rect.x, rect.y), m.Apply(rect.x + rect.w, rect.y),
                                  m.Apply(rect.x + rect.w, rect.y + rect.h),
                                  m.Apply(rect.x, rect.y + rect.h)};
    bool inside = false;
    for (int i = 0, j = 3; i < 4; j = i++) {
        const pf::TVec2& a = corners[i];
        const pf::TVec2& b = corners[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) inside = !inside;
    }
    if (!inside) return false;

    // Row-vector convention: x' = x*m0 + y*m4 + m12, y' = x*m1 + y*m5 + m13.
    const float det = m.m[0] * m.m[5] - m.m[1] * m.m[4];
    if (det == 0 || !std::isfinite(det)) return false;
    const float dx = x - m.m[12], dy = y - m.m[13];
    localX = (dx * m.m[5] - dy * m.m[4]) / det;
    localY = (dy * m.m[0] - dx * m.m[1]) / det;
    return true;
}

bool nE_Texture::hitTest(float x, float y, const nE_RenderState& state) const {
    const nE_Rect rect = localRect(state.frameIndex);
    float lx = 0, ly = 0;
    if (!insideTransformedRect(x, y, rect, state, lx, ly)) return false;
    if (!hasMask()) return true;
    const int column = static_cast<int>(lx - rect.x);
    const int row = static_cast<int>(ly - rect.y);
    // A point the rectangle holds but the mask does not cover (rounding at the edge) counts as inside.
    if (!maskContains(column, row)) return true;
    return maskBit(column, row);
}
