// Antialiasing by geometry, for devices where triangles are cheap and computed coverage is not (a
// GPU): an outline that is convex or a star about a point (a pie slice, a star polygon), the ring
// between two nested convex outlines (the outline of a rectangle, a rounded rectangle or an oval), or
// the band along an open path becomes its inside inset by half a pixel plus a fringe a pixel wide
// across every edge whose outer vertices have alpha 0. The fringe's ramp is a box filter's coverage
// of a straight edge; corners and pieces thinner than two pixels come out a little different from the
// exact filler, which is why only devices that ask get this.
#pragma once

#include <cstdint>
#include <vector>

#include "pixmote/include/pixmote.h"
#include "pixmote/src/PmCoverage.h"

namespace pixmote {

class PmFringe {
public:
    // Appends the triangles of contours (device pixels: one outline, convex or a star, or two nested
    // convex ones under either rule) coloured by color, whose colour channels fade out with it under
    // premultiplied blending. ringWidth is the thinnest a ring may be in device pixels (a stroke's width; 0
    // when the caller cannot tell, which refuses rings). False, with out unchanged, for any other shape, or
    // one too thin for its inset to keep its edges' directions.
    static bool fill(const std::vector<std::vector<PmPoint>>& contours, bool evenOdd, double ringWidth,
                     const uint8_t color[4], bool premultiplied, std::vector<pm_vertex>& out);
    // The same for the band along an open path, width device pixels wide at its thinnest: its outline
    // runs along one side, round the end cap's endCap points, back along the other side point for
    // point, and round the start cap's startCap points (none for flat ends); its inside goes as quads
    // between the two sides and a fan a cap.
    static bool strip(const std::vector<PmPoint>& contour, size_t endCap, size_t startCap, double width,
                      const uint8_t color[4], bool premultiplied, std::vector<pm_vertex>& out);
};

}  // namespace pixmote
