// Recognises the outlines whose winding number is 0 or 1 everywhere (or 0 and -1): one contour that
// cannot cross itself, or a ring of two such contours one inside the other. Their coverage is the
// signed area each edge sweeps in a pixel, added up along the row, with no fill rule to apply and no
// sampling: the filler takes them on its exact-area road. Ovals, rectangles turned or not, rounded
// rectangles, pie slices and the bands of strokes and outlines are all of this kind.
#pragma once

#include <vector>

#include "pixmote/src/PmCoverage.h"

namespace pixmote {

class PmSimpleOutline {
public:
    // A contour to fill and the factor its edges' winding is taken with.
    struct Part {
        const std::vector<PmPoint>* contour;
        int sign;
    };

    // The parts whose swept areas add up to the coverage under the fill rule, or false when the
    // outline is not known to be of this kind. Contours of fewer than three points add nothing.
    static bool classify(const std::vector<std::vector<PmPoint>>& contours, bool evenOdd, Part parts[2],
                         int& count);

    // Whether the contour, seen from its first point, goes round it one way by less than a whole
    // turn (every ray from there meets it once): then it cannot cross itself. convex also asks that
    // it turns the same way at every point. 1 or -1 for the way it goes round, 0 when it does not.
    static int starFromFirst(const std::vector<PmPoint>& contour, bool convex);
    // Whether every point of inner lies in the convex contour outer (its edge included).
    static bool inside(const std::vector<PmPoint>& inner, const std::vector<PmPoint>& outer);

private:
    // Containment is checked point by edge: past this many pairs the general filler is cheaper.
    static constexpr size_t kMaxContainmentPairs = 1u << 16;
};

}  // namespace pixmote
