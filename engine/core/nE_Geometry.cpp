#include "engine/core/nE_Geometry.h"

#include <cmath>

void nE_Geometry::corners(const nE_Rect& rect, const pf::TMat4& matrix, pf::TVec2 out[4]) {
    out[0] = matrix.Apply(rect.x, rect.y);
    out[1] = matrix.Apply(rect.x + rect.w, rect.y);
    out[2] = matrix.Apply(rect.x + rect.w, rect.y + rect.h);
    out[3] = matrix.Apply(rect.x, rect.y + rect.h);
}

bool nE_Geometry::pointInQuad(float x, float y, const nE_Rect& rect, const pf::TMat4& matrix) {
    pf::TVec2 c[4];
    corners(rect, matrix, c);
    bool inside = false;
    for (int i = 0, j = 3; i < 4; j = i++) {
        if ((c[i].y > y) != (c[j].y > y) && x < (c[j].x - c[i].x) * (y - c[i].y) / (c[j].y - c[i].y) + c[i].x)
            inside = !inside;
    }
    return inside;
}

bool nE_Geometry::invertAffine(const pf::TMat4& matrix, float out[6]) {
    const float* m = matrix.m;
    const float det = m[0] * m[5] - m[1] * m[4];
    if (det == 0 || !std::isfinite(det)) return false;
    out[0] = m[5] / det;
    out[1] = -m[1] / det;
    out[2] = -m[4] / det;
    out[3] = m[0] / det;
    out[4] = -(m[12] * out[0] + m[13] * out[2]);
    out[5] = -(m[12] * out[1] + m[13] * out[3]);
    return true;
}

bool nE_Geometry::toLocal(const pf::TMat4& matrix, float x, float y, float& localX, float& localY) {
    float inv[6];
    if (!invertAffine(matrix, inv)) return false;
    localX = x * inv[0] + y * inv[2] + inv[4];
    localY = x * inv[1] + y * inv[3] + inv[5];
    return true;
}
