#include "pixmote/src/PmSimpleOutline.h"

#include <algorithm>

namespace pixmote {

namespace {

double cross(double ax, double ay, double bx, double by) {
    return ax * by - ay * bx;
}

// Which side of a->b c lies on: positive to the left, zero on the line.
double side(const PmPoint& a, const PmPoint& b, const PmPoint& c) {
    return cross(b.x - a.x, b.y - a.y, c.x - a.x, c.y - a.y);
}

// c, on the line through a and b, lies between them.
bool within(const PmPoint& a, const PmPoint& b, const PmPoint& c) {
    return std::min(a.x, b.x) <= c.x && c.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= c.y &&
           c.y <= std::max(a.y, b.y);
}

// Whether the segments meet anywhere, crossing or touching.
bool meet(const PmPoint& p1, const PmPoint& p2, const PmPoint& q1, const PmPoint& q2) {
    const double d1 = side(q1, q2, p1), d2 = side(q1, q2, p2), d3 = side(p1, p2, q1), d4 = side(p1, p2, q2);
    if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0))) return true;
    return (d1 == 0 && within(q1, q2, p1)) || (d2 == 0 && within(q1, q2, p2)) ||
           (d3 == 0 && within(p1, p2, q1)) || (d4 == 0 && within(p1, p2, q2));
}

// How many times the contour winds round p (counted the way a positive area goes round).
int windingAround(const std::vector<PmPoint>& c, const PmPoint& p) {
    int w = 0;
    for (size_t i = 0, j = c.size() - 1; i < c.size(); j = i++) {
        const PmPoint& a = c[j];
        const PmPoint& b = c[i];
        if (a.y <= p.y) {
            if (b.y > p.y && side(a, b, p) > 0) ++w;
        } else if (b.y <= p.y && side(a, b, p) < 0) {
            --w;
        }
    }
    return w;
}

double signedArea(const std::vector<PmPoint>& c) {
    double sum = 0;
    for (size_t i = 0, j = c.size() - 1; i < c.size(); j = i++) sum += cross(c[j].x, c[j].y, c[i].x, c[i].y);
    return sum;
}

// A number that grows with the angle from (1, 0) to (x, y), from 0 up to 4 for a whole turn, with
// no trigonometry.
double pseudoAngle(double x, double y) {
    if (y >= 0) return x >= 0 ? y / (x + y) : 1 + -x / (-x + y);
    return x < 0 ? 2 + -y / (-x - y) : 3 + x / (x - y);
}

}  // namespace

int PmSimpleOutline::starFromFirst(const std::vector<PmPoint>& c) {
    const size_t n = c.size();
    if (n < 3) return 0;
    const PmPoint p = c[0];
    // Points on the first one (a repeated start, or the end coming back to it) add no edge of their
    // own but before the first other point and after the last.
    size_t first = 1, last = n - 1;
    while (first < n && c[first].x == p.x && c[first].y == p.y) ++first;
    while (last > first && c[last].x == p.x && c[last].y == p.y) --last;
    if (last <= first) return 0;
    const double rx = c[first].x - p.x, ry = c[first].y - p.y;
    int way = 0;
    double angle = 0;
    for (size_t i = first; i < last; ++i) {
        const double ax = c[i].x - p.x, ay = c[i].y - p.y, bx = c[i + 1].x - p.x, by = c[i + 1].y - p.y;
        if (bx == 0 && by == 0) return 0;  // back through the first point
        const double turn = cross(ax, ay, bx, by);
        if (turn == 0) {
            // Along the same ray: no angle swept.
            if (ax * bx + ay * by <= 0) return 0;
            continue;
        }
        const int sign = turn > 0 ? 1 : -1;
        if (way == 0) way = sign;
        if (sign != way) return 0;
        // Seen from the first point the angle must keep growing, short of a whole turn.
        const double next = pseudoAngle(rx * bx + ry * by, way * cross(rx, ry, bx, by));
        if (!(next > angle)) return 0;
        angle = next;
    }
    return way;
}

bool PmSimpleOutline::classify(const std::vector<std::vector<PmPoint>>& contours, bool evenOdd) {
    parts_.clear(), used_.clear();
    for (const auto& contour : contours)
        if (contour.size() >= 3) used_.push_back(&contour);
    if (used_.empty()) return true;
    // One contour that goes round its first point (convex ones, ovals, pie slices) at once.
    if (used_.size() == 1 && starFromFirst(*used_[0])) {
        parts_.push_back({used_[0], 1});
        return true;
    }
    size_t points = 0;
    for (const auto* contour : used_) points += contour->size();
    if (used_.size() > kMaxContours || points > kMaxPoints || !apart(used_)) return false;
    // Nested or side by side, each contour changes the winding by its own way round across its edge;
    // the fill rule on either side says what it does to the inside.
    auto inside = [evenOdd](int w) { return evenOdd ? (w & 1) != 0 : w != 0; };
    for (size_t i = 0; i < used_.size(); ++i) {
        const std::vector<PmPoint>& c = *used_[i];
        const double area = signedArea(c);
        if (area == 0) return false;
        const int way = area > 0 ? 1 : -1;
        int around = 0;  // the winding just outside it, from the others
        for (size_t j = 0; j < used_.size(); ++j)
            if (j != i) around += windingAround(*used_[j], c[0]);
        const int change = int(inside(around + way)) - int(inside(around));
        if (change) parts_.push_back({&c, change * way});
    }
    return true;
}

// Whether no two edges of the contours meet but neighbours at their shared point.
bool PmSimpleOutline::apart(const std::vector<const std::vector<PmPoint>*>& used) {
    segments_.clear(), edgeCount_.clear();
    for (size_t ci = 0; ci < used.size(); ++ci) {
        const std::vector<PmPoint>& c = *used[ci];
        size_t index = 0;
        for (size_t i = 0; i < c.size(); ++i) {
            const PmPoint& a = c[i];
            const PmPoint& b = c[(i + 1) % c.size()];
            if (a.x == b.x && a.y == b.y) continue;
            segments_.push_back({a, b, std::min(a.y, b.y), std::max(a.y, b.y), int(ci), index++});
        }
        if (index < 3) return false;
        edgeCount_.push_back(index);
    }
    std::sort(segments_.begin(), segments_.end(),
              [](const Segment& s, const Segment& t) { return s.top < t.top; });
    size_t budget = kMaxPairsPerSegment * segments_.size();
    for (size_t i = 0; i < segments_.size(); ++i) {
        const Segment& s = segments_[i];
        const double left = std::min(s.a.x, s.b.x), right = std::max(s.a.x, s.b.x);
        for (size_t j = i + 1; j < segments_.size() && segments_[j].top <= s.bottom; ++j) {
            if (budget-- == 0) return false;
            const Segment& t = segments_[j];
            if (std::max(t.a.x, t.b.x) < left || std::min(t.a.x, t.b.x) > right) continue;
            if (s.contour == t.contour) {
                const size_t n = edgeCount_[s.contour];
                if ((s.index + 1) % n == t.index || (t.index + 1) % n == s.index) continue;
            }
            if (meet(s.a, s.b, t.a, t.b)) return false;
        }
    }
    return true;
}

}  // namespace pixmote
