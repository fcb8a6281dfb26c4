// Collision tests between shapes, each under its own transform, in device space and double precision.
// Shapes are their open interiors: a point on an outline, shapes that only touch, and shapes with no
// area (a zero side, a singular transform, a polygon that encloses nothing) never hit. Every test is
// exact up to the rounding of double arithmetic; none flattens a curve.
#pragma once

#include <cstddef>
#include <vector>

#include "pixmote/include/pixmote.h"
#include "pixmote/src/PmCoverage.h"

namespace pixmote {

// x' = a*x + c*y + e, y' = b*x + d*y + f, in double.
struct PmAffine {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;

    // NULL is the identity; a transform holding NaN, infinity or a value beyond the coordinate range
    // is refused.
    static pm_result from(const pm_transform* t, PmAffine* out);
    PmPoint apply(double x, double y) const { return {a * x + c * y + e, b * x + d * y + f}; }
    double det() const { return a * d - b * c; }
    // The inverse of a non-singular transform.
    PmAffine inverse() const;
};

class PmCollision {
public:
    // Beyond this a coordinate, given or transformed, is refused, as in drawing.
    static constexpr double kMaxCoordinate = 1e7;
    // Edge pairs compared and winding steps taken by one polygon test before it gives up.
    static constexpr double kMaxWork = 64.0 * 1024 * 1024;

    static bool usable(double v);

    // Each returns PM_OK with *hit set, or the reason for refusing (and *hit is left alone).
    static pm_result pointInRect(double px, double py, const float rect[4], const pm_transform* t, bool* hit);
    static pm_result pointInOval(double px, double py, const float rect[4], const pm_transform* t, bool* hit);
    static pm_result pointInPolygon(double px, double py, const float* xy, size_t count, pm_fill_rule rule,
                                    const pm_transform* t, bool* hit);
    static pm_result rectsOverlap(const float a[4], const pm_transform* ta, const float b[4],
                                  const pm_transform* tb, bool* hit);
    static pm_result ovalsOverlap(const float a[4], const pm_transform* ta, const float b[4],
                                  const pm_transform* tb, bool* hit);
    // Both polygons under the non-zero rule.
    static pm_result polygonsOverlap(const float* axy, size_t acount, const pm_transform* ta,
                                     const float* bxy, size_t bcount, const pm_transform* tb, bool* hit);

private:
    // The rectangle's corners in device space, in order round it; false for a rectangle or transform
    // out of range. area is false when the corners enclose nothing.
    static pm_result corners(const float rect[4], const pm_transform* t, PmPoint out[4], bool* area);
    // A polygon's points in device space.
    static pm_result place(const float* xy, size_t count, const pm_transform* t, std::vector<PmPoint>* out);
    // Whether the interiors of two outlines, each filled under the non-zero rule, share a point.
    static pm_result outlinesOverlap(const std::vector<PmPoint>& a, const std::vector<PmPoint>& b, bool* hit);
};

}  // namespace pixmote
