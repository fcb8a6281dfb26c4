// Antialiased filling of polygons by exact coverage. Outlines whose contours do not meet (see
// PmSimpleOutline) are filled by the area each edge sweeps in each pixel, summed along the row. Any
// other is sampled on sixteen sub-scanlines a pixel row; on each, the spans inside the polygon (under
// the fill rule) are found from the edge crossings and added with their exact horizontal extent. That
// gives true even-odd and non-zero results for concave and self-intersecting outlines, with no
// triangulation and no seams. Either way the coverage comes out as rows of runs of equal coverage,
// a stretch of equal rows at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "pixmote/include/pixmote.h"

inline bool operator==(const pm_run& a, const pm_run& b) {
    return a.x0 == b.x0 && a.x1 == b.x1 && a.coverage == b.coverage;
}

namespace pixmote {

struct PmPoint {
    double x, y;
};

struct PmBounds {
    int x0, y0, x1, y1;  // half-open
};

// Pixels [x0, x1) of a row covered by coverage/255: the device's own type, so that a device that
// takes coverage gets the filler's rows as they are.
using PmRun = pm_run;

class PmCoverage {
public:
    // A run [x0, x1) x [y0, y1) covered by coverage/255.
    using Emit = std::function<void(int x0, int y0, int x1, int y1, uint8_t coverage)>;
    // The runs of rows [y0, y1), the same on each of them, left to right.
    using EmitRows = std::function<void(int y0, int y1, const PmRun* runs, size_t count)>;

    // Edge crossings one fill may visit: a few million make any real outline, and the bound keeps a
    // hostile one (a million points zig-zagging over the whole target) from stalling the host.
    static constexpr double kMaxCrossings = 64.0 * 1024 * 1024;

    // contours are closed implicitly; evenOdd picks the fill rule; antialias off snaps coverage.
    // False, with nothing emitted, for an outline over the crossing bound.
    static bool fill(const std::vector<std::vector<PmPoint>>& contours, bool evenOdd, bool antialias,
                     const PmBounds& bounds, const Emit& emit);
    // The same, a stretch of equal rows at a time.
    static bool fill(const std::vector<std::vector<PmPoint>>& contours, bool evenOdd, bool antialias,
                     const PmBounds& bounds, const EmitRows& emit);
};

}  // namespace pixmote
