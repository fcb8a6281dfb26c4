// Turns open or closed paths into outlines for the non-zero filler. A stroke is the union of one
// quad a segment plus a piece a join and a piece a cap, each wound the same way: under the non-zero
// rule their overlaps merge exactly, so the filler's coverage has no seams and no double-darkening,
// and nothing has to compute the true offset curve.
#pragma once

#include <vector>

#include "pixmote/include/pixmote.h"
#include "pixmote/src/PmCoverage.h"

namespace pixmote {

using PmContours = std::vector<std::vector<PmPoint>>;

class PmStroker {
public:
    // Beyond this ratio of miter length to line width a miter join becomes a bevel.
    static constexpr double kMiterLimit = 4.0;

    // scale is the largest stretch of the transform the outline is drawn under, so that round parts
    // get enough segments for their size on the device.
    PmStroker(double width, pm_line_cap cap, pm_line_join join, double scale)
        : half_(width / 2), cap_(cap), join_(join), scale_(scale) {}

    // Appends the stroke of path (a closed path also joins its last point to its first).
    void stroke(const std::vector<PmPoint>& path, bool closed, PmContours& out) const;

    // Segments that keep a full circle of this radius, drawn at this scale, within a tenth of a pixel.
    static int circleSegments(double radius, double scale);
    // Points along the oval centred at (cx, cy) from angle start over sweep, both ends included.
    static void arc(double cx, double cy, double rx, double ry, double start, double sweep, double scale,
                    std::vector<PmPoint>& out);

private:
    void add(std::vector<PmPoint> piece, PmContours& out) const;
    void join(const PmPoint& p, const PmPoint& d0, const PmPoint& d1, PmContours& out) const;
    void cap(const PmPoint& p, const PmPoint& d, PmContours& out) const;
    void dot(const PmPoint& p, PmContours& out) const;
    // Strokes the path as one band, capped at the ends asked for (an open path's); false, with
    // nothing added, when a segment is too short for its joins. failed, when given, collects every
    // such segment.
    bool band(const std::vector<PmPoint>& pts, bool closed, bool capFirst, bool capLast, PmContours& out,
              std::vector<size_t>* failed) const;
    void pieces(const std::vector<PmPoint>& pts, bool capFirst, bool capLast, PmContours& out) const;
    // The cap at the end p of a band's outline, d pointing out of the path.
    void capEnd(const PmPoint& p, const PmPoint& d, std::vector<PmPoint>& outline) const;

    double half_;
    pm_line_cap cap_;
    pm_line_join join_;
    double scale_;
};

}  // namespace pixmote
