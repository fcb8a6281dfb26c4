#include "pixmote/src/PmFringe.h"

#include <algorithm>
#include <cmath>

namespace pixmote {

namespace {

// How far (in pixels) a sharp corner's offset may reach before it is cut short.
constexpr double kMaxMiter = 4.0;
// A turn smaller than this (twice the area of the corner's triangle, in square pixels) is straight on.
constexpr double kStraight = 1e-7;

struct Outline {
    std::vector<PmPoint> p;
    // Per corner: the offset half a pixel out (p + off / 2 lies on the outside).
    std::vector<PmPoint> off;
    int reflex = -1;      // the one corner turning the other way (a pie slice's centre), or -1
    int reflexes = 0;     // how many corners turn the other way
    bool turned = false;  // the outline was reversed to run with increasing angle
};

double turn(const PmPoint& a, const PmPoint& b, const PmPoint& c) {
    return (b.x - a.x) * (c.y - b.y) - (b.y - a.y) * (c.x - b.x);
}

double area2(const std::vector<PmPoint>& p) {
    double sum = 0;
    for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) sum += p[j].x * p[i].y - p[i].x * p[j].y;
    return sum;
}

// A monotonic stand-in for the angle of (dx, dy), 0 to 4 over the turn: cheaper than atan2.
double pseudoAngle(double dx, double dy) {
    const double s = std::fabs(dx) + std::fabs(dy);
    if (s == 0) return 0;
    if (dy >= 0) return dx >= 0 ? dy / s : 1 - dx / s;
    return dx < 0 ? 2 - dy / s : 3 + dx / s;
}

// The outline without repeated points, run with increasing angle, with its corners' offsets; false
// for one with no area or a hairpin corner.
bool prepare(const std::vector<PmPoint>& in, Outline& o) {
    o.p.clear();
    for (const PmPoint& q : in)
        if (o.p.empty() || std::fabs(q.x - o.p.back().x) + std::fabs(q.y - o.p.back().y) > 1e-6)
            o.p.push_back(q);
    while (o.p.size() > 1 &&
           std::fabs(o.p.front().x - o.p.back().x) + std::fabs(o.p.front().y - o.p.back().y) <= 1e-6)
        o.p.pop_back();
    const size_t n = o.p.size();
    if (n < 3) return false;
    const double a = area2(o.p);
    if (!(std::fabs(a) > 1e-9)) return false;
    o.turned = a < 0;
    if (o.turned) std::reverse(o.p.begin(), o.p.end());
    o.off.resize(n);
    o.reflex = -1, o.reflexes = 0;
    PmPoint prev = {0, 0};  // the outward normal of the edge arriving at the corner
    for (size_t k = 0; k <= n; ++k) {
        const PmPoint& b = o.p[k % n];
        const PmPoint& c = o.p[(k + 1) % n];
        const double dx = c.x - b.x, dy = c.y - b.y, len = std::hypot(dx, dy);
        const PmPoint normal = {dy / len, -dx / len};
        if (k > 0) {
            const double d = 1 + prev.x * normal.x + prev.y * normal.y;
            if (d < 0.05) return false;
            PmPoint off = {(prev.x + normal.x) / d, (prev.y + normal.y) / d};
            const double reach = std::hypot(off.x, off.y);
            if (reach > kMaxMiter) off.x *= kMaxMiter / reach, off.y *= kMaxMiter / reach;
            o.off[k % n] = off;
            if (turn(o.p[(k + n - 1) % n], b, c) < -kStraight)
                ++o.reflexes, o.reflex = static_cast<int>(k % n);
        }
        prev = normal;
    }
    return true;
}

// The outline moved by side half-pixels along its corners' offsets (-1 in, +1 out).
void moved(const Outline& o, double side, std::vector<PmPoint>& out) {
    out.resize(o.p.size());
    for (size_t i = 0; i < o.p.size(); ++i)
        out[i] = {o.p[i].x + side * 0.5 * o.off[i].x, o.p[i].y + side * 0.5 * o.off[i].y};
}

// Every edge of the moved outline still runs the way the original's does.
bool keepsDirections(const Outline& o, const std::vector<PmPoint>& m) {
    const size_t n = o.p.size();
    for (size_t i = 0; i < n; ++i) {
        const size_t j = (i + 1) % n;
        const double dot =
            (m[j].x - m[i].x) * (o.p[j].x - o.p[i].x) + (m[j].y - m[i].y) * (o.p[j].y - o.p[i].y);
        if (dot < -1e-9) return false;
    }
    return true;
}

// Each point turns further round c than the last, all of them less than one turn: then the fan from
// c, or the strip about it, covers each place once. Fills angles with the unwrapped pseudo-angles from
// first on.
bool roundOnce(const std::vector<PmPoint>& p, const PmPoint& c, size_t first, size_t count,
               std::vector<double>& angles) {
    angles.resize(count + 1);
    const size_t n = p.size();
    double last = 0;
    for (size_t k = 0; k < count; ++k) {
        const PmPoint& q = p[(first + k) % n];
        double a = pseudoAngle(q.x - c.x, q.y - c.y);
        if (k > 0) {
            // A step backwards, or forwards by half a turn or more, is no star about c.
            while (a < last) a += 4;
            if (a - last >= 2) return false;
        }
        angles[k] = last = a;
    }
    angles[count] = angles[0] + 4;
    return angles[count] > last;
}

struct Emitter {
    std::vector<pm_vertex>& out;
    pm_vertex solid, clear;

    Emitter(std::vector<pm_vertex>& to, const uint8_t color[4], bool premultiplied) : out(to), solid{} {
        solid.r = color[0], solid.g = color[1], solid.b = color[2], solid.a = color[3];
        clear = solid;
        clear.a = 0;
        if (premultiplied) clear.r = clear.g = clear.b = 0;
    }

    void vertex(const PmPoint& p, const pm_vertex& colour) {
        pm_vertex v = colour;
        v.x = static_cast<float>(p.x), v.y = static_cast<float>(p.y);
        out.push_back(v);
    }
    void triangle(const PmPoint& a, const PmPoint& b, const PmPoint& c) {
        vertex(a, solid), vertex(b, solid), vertex(c, solid);
    }
    // The quads across each edge, from the solid side in to the clear side out.
    void fringe(const std::vector<PmPoint>& in, const std::vector<PmPoint>& outside) {
        const size_t n = in.size();
        for (size_t i = 0; i < n; ++i) {
            const size_t j = (i + 1) % n;
            vertex(in[i], solid), vertex(in[j], solid), vertex(outside[j], clear);
            vertex(in[i], solid), vertex(outside[j], clear), vertex(outside[i], clear);
        }
    }
};

}  // namespace

bool PmFringe::fill(const std::vector<std::vector<PmPoint>>& contours, bool evenOdd, double ringWidth,
                    const uint8_t color[4], bool premultiplied, std::vector<pm_vertex>& out) {
    if (contours.empty() || contours.size() > 2) return false;
    thread_local Outline a, b;
    thread_local std::vector<PmPoint> inA, outA, inB, outB;
    thread_local std::vector<double> anglesA, anglesB;
    const size_t start = out.size();
    Emitter emit(out, color, premultiplied);

    if (contours.size() == 1) {
        if (!prepare(contours[0], a)) return false;
        const size_t n = a.p.size();
        moved(a, -1, inA), moved(a, 1, outA);
        // Corners that turn the other way also need the outside kept in order.
        if (!keepsDirections(a, inA) || (a.reflexes && !keepsDirections(a, outA))) return false;
        // A fan from a corner (the one that turns the other way, if there is one), or from the middle
        // of the corners of a star.
        const size_t apex = a.reflex < 0 ? 0 : static_cast<size_t>(a.reflex);
        if (a.reflexes <= 1 && roundOnce(inA, inA[apex], (apex + 1) % n, n - 1, anglesA)) {
            out.reserve(start + 3 * (n - 2) + 6 * n);
            for (size_t k = 1; k + 1 < n; ++k)
                emit.triangle(inA[apex], inA[(apex + k) % n], inA[(apex + k + 1) % n]);
        } else {
            PmPoint c = {0, 0};
            for (const PmPoint& q : inA) c.x += q.x / n, c.y += q.y / n;
            if (!roundOnce(inA, c, 0, n, anglesA)) return false;
            out.reserve(start + 9 * n);
            for (size_t k = 0; k < n; ++k) emit.triangle(c, inA[k], inA[(k + 1) % n]);
        }
        emit.fringe(inA, outA);
        return true;
    }

    // A ring: the outer outline and the inner one, each convex, wound against each other under the
    // non-zero rule.
    if (!(ringWidth >= 1)) return false;
    if (!prepare(contours[0], a) || !prepare(contours[1], b) || a.reflexes || b.reflexes) return false;
    if (!evenOdd && a.turned == b.turned) return false;
    Outline& outer = std::fabs(area2(a.p)) >= std::fabs(area2(b.p)) ? a : b;
    Outline& inner = &outer == &a ? b : a;
    const size_t n = outer.p.size(), m = inner.p.size();
    moved(outer, -1, inA), moved(outer, 1, outA);
    moved(inner, 1, inB), moved(inner, -1, outB);
    if (!keepsDirections(outer, inA) || !keepsDirections(inner, outB)) return false;
    PmPoint c = {0, 0};
    for (const PmPoint& q : inner.p) c.x += q.x / m, c.y += q.y / m;
    // Both walked from the point of least angle about the inner outline's centre.
    auto least = [&](const std::vector<PmPoint>& p) {
        size_t best = 0;
        double bestAngle = 5;
        for (size_t i = 0; i < p.size(); ++i) {
            const double angle = pseudoAngle(p[i].x - c.x, p[i].y - c.y);
            if (angle < bestAngle) bestAngle = angle, best = i;
        }
        return best;
    };
    const size_t fa = least(inA), fb = least(inB);
    if (!roundOnce(inA, c, fa, n, anglesA) || !roundOnce(inB, c, fb, m, anglesB)) return false;
    out.reserve(start + 9 * (n + m));
    // The strip between the two, the next step always to whichever point comes first round c.
    for (size_t i = 0, j = 0; i < n || j < m;) {
        const PmPoint& p = inA[(fa + i) % n];
        const PmPoint& q = inB[(fb + j) % m];
        if (j == m || (i < n && anglesA[i + 1] <= anglesB[j + 1])) {
            emit.triangle(p, inA[(fa + i + 1) % n], q);
            ++i;
        } else {
            emit.triangle(p, inB[(fb + j + 1) % m], q);
            ++j;
        }
    }
    emit.fringe(inA, outA);
    emit.fringe(inB, outB);
    return true;
}

bool PmFringe::strip(const std::vector<PmPoint>& contour, size_t endCap, size_t startCap, double width,
                     const uint8_t color[4], bool premultiplied, std::vector<pm_vertex>& out) {
    const size_t n = contour.size();
    if (!(width >= 1) || n < 4 + endCap + startCap || (n - endCap - startCap) % 2) return false;
    const size_t sides = (n - endCap - startCap) / 2;
    thread_local Outline a;
    thread_local std::vector<PmPoint> inA, outA;
    // A dropped point would break the pairing.
    if (!prepare(contour, a) || a.p.size() != n) return false;
    moved(a, -1, inA), moved(a, 1, outA);
    if (!keepsDirections(a, inA) || !keepsDirections(a, outA)) return false;
    // Where a point of the contour as given went, should it have been turned round.
    auto at = [&](size_t i) -> const PmPoint& { return inA[a.turned ? n - 1 - i % n : i % n]; };
    Emitter emit(out, color, premultiplied);
    out.reserve(out.size() + 9 * n);
    // Point i of the first side faces point i from the end of the second.
    const size_t back = sides + endCap + sides - 1;
    for (size_t i = 0; i + 1 < sides; ++i) {
        emit.triangle(at(i), at(i + 1), at(back - i - 1));
        emit.triangle(at(i), at(back - i - 1), at(back - i));
    }
    // The caps, each a fan from the side's last point before it.
    for (size_t j = sides; j < sides + endCap; ++j) emit.triangle(at(sides - 1), at(j), at(j + 1));
    for (size_t j = back + 1; j < n; ++j) emit.triangle(at(back), at(j), at(j + 1));
    emit.fringe(inA, outA);
    return true;
}

}  // namespace pixmote
