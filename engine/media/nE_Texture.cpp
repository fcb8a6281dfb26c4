#include "engine/media/nE_Texture.h"

#include <cmath>

#include "engine/core/nE_Geometry.h"

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
    return nE_Geometry::pointInQuad(x, y, rect, m) && nE_Geometry::toLocal(m, x, y, localX, localY);
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
