// Recognises the outlines whose coverage is a sum of swept areas: contours that neither cross nor
// touch themselves or each other. Each lies wholly inside or outside every other, the fill rule then
// decides of each one whether it starts, ends or changes nothing of the inside, and taken with that
// factor their winding is 0 or 1 everywhere. Their coverage is then the signed area each edge leaves
// in a pixel, added up along the row, with no sampling: the filler's exact-area road. Ovals,
// rectangles turned or not, rounded rectangles, pie slices, simple polygons, the bands of strokes and
// outlines that do not cross themselves are all of this kind.
#pragma once

#include <vector>

#include "pixmote/src/PmCoverage.h"

namespace pixmote {

class PmSimpleOutline {
public:
    // A contour to fill and the factor its edges' winding is taken with.
    struct Part {
        const std::vector<PmPoint>* contour;
        int factor;
    };

    // Whether the contours are of this kind under the fill rule; then parts() holds those that add
    // something. Contours of fewer than three points add nothing.
    bool classify(const std::vector<std::vector<PmPoint>>& contours, bool evenOdd);
    const std::vector<Part>& parts() const { return parts_; }

    // Whether the contour, seen from its first point, goes round it one way by less than a whole turn
    // (every ray from there meets it once): then it cannot cross itself. 1 or -1 for the way it goes
    // round, 0 when it does not.
    static int starFromFirst(const std::vector<PmPoint>& contour);

private:
    struct Segment {
        PmPoint a, b;
        double top, bottom;
        int contour;
        size_t index;  // among its contour's edges of some length
    };

    // Pairs of segments compared at most, and contours taken: past these the sampled filler is cheaper.
    static constexpr size_t kMaxPairsPerSegment = 32;
    static constexpr size_t kMaxContours = 16;
    static constexpr size_t kMaxPoints = 8192;

    bool apart(const std::vector<const std::vector<PmPoint>*>& used);

    std::vector<Part> parts_;
    std::vector<Segment> segments_;
    std::vector<size_t> edgeCount_;
    std::vector<const std::vector<PmPoint>*> used_;
};

}  // namespace pixmote
