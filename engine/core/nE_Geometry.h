// The plane geometry the engine shares: rectangles placed by an affine matrix (row-vector convention,
// x' = x·m0 + y·m4 + m12, y' = x·m1 + y·m5 + m13) and points taken back through it.
#pragma once

#include "engine/media/nE_Render.h"
#include "pflib/pfTypes.h"

class nE_Geometry {
public:
    // The four corners of rect placed by matrix, in the order (x, y), (x+w, y), (x+w, y+h), (x, y+h).
    static void corners(const nE_Rect& rect, const pf::TMat4& matrix, pf::TVec2 out[4]);
    // Whether the point lies inside the quadrilateral of rect placed by matrix (even-odd rule).
    static bool pointInQuad(float x, float y, const nE_Rect& rect, const pf::TMat4& matrix);
    // The inverse of the matrix's affine part as {a, b, c, d, e, f}, so that a point maps back with
    // x = X·a + Y·c + e, y = X·b + Y·d + f. False (out untouched) when it cannot be inverted.
    static bool invertAffine(const pf::TMat4& matrix, float out[6]);
    // The point in the matrix's local space; false when the matrix cannot be inverted.
    static bool toLocal(const pf::TMat4& matrix, float x, float y, float& localX, float& localY);
};
