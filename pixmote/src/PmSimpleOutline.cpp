#include "pixmote/src/PmSimpleOutline.h"

namespace pixmote {

namespace {

double cross(double ax, double ay, double bx, double by) {
    return ax * by - ay * bx;
}

// A number that grows with the angle from (1, 0) to (x, y), from 0 up to 4 for a whole turn, with
// no trigonometry.
double pseudoAngle(double x, double y) {
    if (y >= 0) return x >= 0 ? y / (x + y) : 1 + -x / (-x + y);
    return x < 0 ? 2 + -y / (-x - y) : 3 + x / (x - y);
}

}  // namespace

int PmSimpleOutline::starFromFirst(const std::vector<PmPoint>& c, bool convex) {
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
    if (way == 0) return 0;
    if (!convex) return way;
    // The same way round at every corner, between edges of some length.
    double px = 0, py = 0;
    bool have = false;
    for (size_t k = 0; k <= n; ++k) {
        const PmPoint& a = c[k % n];
        const PmPoint& b = c[(k + 1) % n];
        const double ex = b.x - a.x, ey = b.y - a.y;
        if (ex == 0 && ey == 0) continue;
        if (have && cross(px, py, ex, ey) * way < 0) return 0;
        px = ex, py = ey, have = true;
    }
    return way;
}

bool PmSimpleOutline::inside(const std::vector<PmPoint>& inner, const std::vector<PmPoint>& outer) {
    const size_t m = outer.size();
    double sum = 0;
    for (size_t i = 0, j = m - 1; i < m; j = i++)
        sum += cross(outer[j].x, outer[j].y, outer[i].x, outer[i].y);
    const double way = sum > 0 ? 1 : -1;
    for (const PmPoint& q : inner)
        for (size_t i = 0, j = m - 1; i < m; j = i++) {
            const PmPoint& a = outer[j];
            const PmPoint& b = outer[i];
            if (cross(b.x - a.x, b.y - a.y, q.x - a.x, q.y - a.y) * way < 0) return false;
        }
    return true;
}

bool PmSimpleOutline::classify(const std::vector<std::vector<PmPoint>>& contours, bool evenOdd, Part parts[2],
                               int& count) {
    const std::vector<PmPoint>* used[2] = {nullptr, nullptr};
    int found = 0;
    for (const auto& contour : contours) {
        if (contour.size() < 3) continue;
        if (found == 2) return false;
        used[found++] = &contour;
    }
    if (found == 1) {
        if (!starFromFirst(*used[0], false)) return false;
        parts[0] = {used[0], 1};
        count = 1;
        return true;
    }
    if (found != 2 || used[0]->size() * used[1]->size() > kMaxContainmentPairs) return false;
    for (int order = 0; order < 2; ++order) {
        const std::vector<PmPoint>& outer = *used[order];
        const std::vector<PmPoint>& inner = *used[1 - order];
        const int wayOuter = starFromFirst(outer, true);
        if (!wayOuter) continue;
        const int wayInner = starFromFirst(inner, false);
        if (!wayInner || !inside(inner, outer)) continue;
        parts[0] = {&outer, 1};
        count = 1;
        // Wound against the outer one, the inner contour cuts its hole under either rule; wound with
        // it, only under even-odd, and then it is taken the other way; under non-zero it adds
        // nothing.
        if (wayInner != wayOuter)
            parts[count++] = {&inner, 1};
        else if (evenOdd)
            parts[count++] = {&inner, -1};
        return true;
    }
    return false;
}

}  // namespace pixmote
