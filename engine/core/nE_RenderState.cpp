#include "engine/core/nE_RenderState.h"

#include <cmath>

void nE_RenderState::computeMatrix() {
    // Most objects are not turned: skip the trigonometry (cos 0 and sin 0 are exactly 1 and 0).
    const float c = angle == 0 ? 1.f : std::cos(angle), s = angle == 0 ? 0.f : std::sin(angle);
    pf::TMat4& m = matrix;
    m = pf::TMat4::Identity();
    m.m[0] = scaleX * c;
    m.m[1] = -scaleX * s;
    m.m[4] = scaleY * s;
    m.m[5] = scaleY * c;
    m.m[12] = x;
    m.m[13] = y;
    matrixValid = true;
}

const pf::TMat4& nE_RenderState::transform() {
    if (!matrixValid) computeMatrix();
    return matrix;
}
