#include "pixmote/src/PmStroker.h"

#include <algorithm>
#include <cmath>

namespace pixmote {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTolerance = 0.1;  // device pixels a flattened curve may stray
constexpr int kMaxCircleSegments = 16384;

PmPoint unit(const PmPoint& a, const PmPoint& b) {
    double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
    return {dx / len, dy / len};
}

double signedArea(const std::vector<PmPoint>& poly) {
    double area = 0;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++)
        area += poly[j].x * poly[i].y - poly[i].x * poly[j].y;
    return area;
}

}  // namespace

int PmStroker::circleSegments(double radius, double scale) {
    double r = radius * scale;
    if (!(r > kTolerance)) return 8;
    double step = 2 * std::acos(1 - kTolerance / r);
    return static_cast<int>(std::clamp(std::ceil(2 * kPi / step), 8.0, double(kMaxCircleSegments)));
}

void PmStroker::arc(double cx, double cy, double rx, double ry, double start, double sweep, double scale,
                    std::vector<PmPoint>& out) {
    int full = circleSegments(std::max(rx, ry), scale);
    int n = std::max(2, static_cast<int>(std::ceil(full * std::fabs(sweep) / (2 * kPi))));
    // Each point turns the last by one step; the ends are placed exactly.
    const double stepCos = std::cos(sweep / n), stepSin = std::sin(sweep / n);
    double c = std::cos(start), s = std::sin(start);
    out.reserve(out.size() + n + 1);
    for (int i = 0; i < n; ++i) {
        out.push_back({cx + rx * c, cy + ry * s});
        const double next = c * stepCos - s * stepSin;
        s = s * stepCos + c * stepSin, c = next;
    }
    out.push_back({cx + rx * std::cos(start + sweep), cy + ry * std::sin(start + sweep)});
}

// Every piece is wound the same way, so that the non-zero rule adds them up instead of cancelling.
void PmStroker::add(std::vector<PmPoint> piece, PmContours& out) const {
    if (signedArea(piece) < 0) std::reverse(piece.begin(), piece.end());
    out.push_back(std::move(piece));
}

void PmStroker::dot(const PmPoint& p, PmContours& out) const {
    std::vector<PmPoint> circle;
    arc(p.x, p.y, half_, half_, 0, 2 * kPi, scale_, circle);
    circle.pop_back();
    add(std::move(circle), out);
}

// d0 is the direction arriving at p, d1 the one leaving it.
void PmStroker::join(const PmPoint& p, const PmPoint& d0, const PmPoint& d1, PmContours& out) const {
    double cross = d0.x * d1.y - d0.y * d1.x;
    if (std::fabs(cross) < 1e-12 && d0.x * d1.x + d0.y * d1.y > 0) return;  // straight on
    if (join_ == PM_JOIN_ROUND) return dot(p, out);
    // The outer side is the one the path turns away from.
    double side = cross > 0 ? -1 : 1;
    PmPoint a = {p.x - d0.y * half_ * side, p.y + d0.x * half_ * side};
    PmPoint b = {p.x - d1.y * half_ * side, p.y + d1.x * half_ * side};
    if (join_ == PM_JOIN_MITER) {
        double cosTheta = d0.x * d1.x + d0.y * d1.y;  // theta: the turn
        double halfAngleCos = std::sqrt(std::max(0.0, (1 + cosTheta) / 2));
        if (halfAngleCos > 1 / kMiterLimit) {
            PmPoint bis = {a.x + b.x - 2 * p.x, a.y + b.y - 2 * p.y};
            double len = std::hypot(bis.x, bis.y);
            double reach = half_ / halfAngleCos;
            if (len > 0) {
                PmPoint tip = {p.x + bis.x / len * reach, p.y + bis.y / len * reach};
                add({p, a, tip, b}, out);
                return;
            }
        }
    }
    add({p, a, b}, out);
}

// d points out of the path at its end p.
void PmStroker::cap(const PmPoint& p, const PmPoint& d, PmContours& out) const {
    if (cap_ == PM_CAP_ROUND) return dot(p, out);
    if (cap_ != PM_CAP_SQUARE) return;
    PmPoint n = {-d.y * half_, d.x * half_};
    PmPoint f = {p.x + d.x * half_, p.y + d.y * half_};
    add({{p.x + n.x, p.y + n.y}, {f.x + n.x, f.y + n.y}, {f.x - n.x, f.y - n.y}, {p.x - n.x, p.y - n.y}},
        out);
}

// A path whose every segment still runs forwards between the inner corners of its joins strokes as
// one band: the two offset outlines, joined outside by the join's own shape and cut where they meet
// inside, with the caps on an open path's ends. Each stretch of band is then exactly the union of its
// segment's quad and the joins' pieces, and where the path crosses itself the strands wind the same
// way and add up under the non-zero rule, as the pieces do; with a fraction of their edges, and as one
// outline that cannot cross itself whenever the path does not.
bool PmStroker::band(const std::vector<PmPoint>& pts, bool closed, bool capFirst, bool capLast,
                     PmContours& out, std::vector<size_t>* failed) const {
    const size_t n = pts.size(), segments = closed ? n : n - 1;
    std::vector<PmPoint> dir(segments);
    for (size_t i = 0; i < segments; ++i) dir[i] = unit(pts[i], pts[(i + 1) % n]);
    // Per vertex: where the left and the right outline pass it (one or more points each).
    std::vector<PmPoint> left, right;
    left.reserve(n + 8), right.reserve(n + 8);
    // The inner point a segment starts from, to check that it ends after it.
    std::vector<PmPoint> innerStart(segments), innerEnd(segments);
    for (size_t v = 0; v < n; ++v) {
        const PmPoint& p = pts[v];
        const bool first = v == 0 && !closed, last = v == n - 1 && !closed;
        const PmPoint d0 = first ? dir[0] : dir[(v + segments - 1) % segments];
        const PmPoint d1 = last ? dir[segments - 1] : dir[v % segments];
        const PmPoint n0 = {-d0.y * half_, d0.x * half_}, n1 = {-d1.y * half_, d1.x * half_};
        const double cosTheta = d0.x * d1.x + d0.y * d1.y, cross = d0.x * d1.y - d0.y * d1.x;
        if (first || last || (std::fabs(cross) < 1e-12 && cosTheta > 0)) {
            left.push_back({p.x + n1.x, p.y + n1.y});
            right.push_back({p.x - n1.x, p.y - n1.y});
            // Straight on, the corners lie level with the point along the path.
            if (!first) innerEnd[(v + segments - 1) % segments] = p;
            if (!last) innerStart[v % segments] = p;
            continue;
        }
        const double halfAngleCos = std::sqrt(std::max(0.0, (1 + cosTheta) / 2));
        if (halfAngleCos < 1e-6) {
            // Turning straight back: no inner corner to cut.
            if (!failed) return false;
            failed->push_back((v + segments - 1) % segments);
            left.push_back({p.x + n1.x, p.y + n1.y});
            right.push_back({p.x - n1.x, p.y - n1.y});
            innerEnd[(v + segments - 1) % segments] = p;
            innerStart[v % segments] = p;
            continue;
        }
        const PmPoint m = {n0.x + n1.x, n0.y + n1.y};
        const double len = std::hypot(m.x, m.y), reach = half_ / halfAngleCos;
        const PmPoint miterLeft = {p.x + m.x / len * reach, p.y + m.y / len * reach};
        const PmPoint miterRight = {2 * p.x - miterLeft.x, 2 * p.y - miterLeft.y};
        // The outside is the side the path turns away from.
        const bool leftOutside = cross < 0;
        const PmPoint inner = leftOutside ? miterRight : miterLeft;
        std::vector<PmPoint>& outside = leftOutside ? left : right;
        std::vector<PmPoint>& inside = leftOutside ? right : left;
        const double s = leftOutside ? 1 : -1;
        if (join_ == PM_JOIN_MITER && halfAngleCos > 1 / kMiterLimit) {
            outside.push_back(leftOutside ? miterLeft : miterRight);
        } else if (join_ == PM_JOIN_ROUND) {
            // Around the point from one segment's side to the next's, the shorter way.
            const double start = std::atan2(s * n0.y, s * n0.x);
            const double turn = std::atan2(cross, cosTheta);
            arc(p.x, p.y, half_, half_, start, turn, scale_, outside);
        } else {
            outside.push_back({p.x + s * n0.x, p.y + s * n0.y});
            outside.push_back({p.x + s * n1.x, p.y + s * n1.y});
        }
        inside.push_back(inner);
        innerEnd[(v + segments - 1) % segments] = inner;
        innerStart[v % segments] = inner;
    }
    // Every segment must still run forwards between its inner corners. Where one does not, the path
    // is cut after it: the next one then starts flat, with no corner to check there.
    bool cutBefore = false;
    for (size_t i = 0; i < segments; ++i) {
        PmPoint a = pts[i], b = pts[(i + 1) % n];
        const PmPoint& d = dir[i];
        const bool startCorner = (closed || i > 0) && !cutBefore, endCorner = closed || i + 1 < segments;
        const PmPoint from = startCorner ? innerStart[i] : a, to = endCorner ? innerEnd[i] : b;
        cutBefore = (startCorner || endCorner) && (to.x - from.x) * d.x + (to.y - from.y) * d.y <= 0;
        if (cutBefore) {
            if (!failed) return false;
            failed->push_back(i);
        }
    }
    if (failed && !failed->empty()) return false;
    if (closed) {
        std::reverse(right.begin(), right.end());
        out.push_back(std::move(left));
        out.push_back(std::move(right));
        return true;
    }
    // Open: out along the left side, round the far end's cap, back along the right, round the near one.
    if (capLast) capEnd(pts.back(), dir[segments - 1], left);
    left.insert(left.end(), right.rbegin(), right.rend());
    if (capFirst) capEnd(pts.front(), {-dir[0].x, -dir[0].y}, left);
    add(std::move(left), out);
    return true;
}

// d points out of the path at its end p; the band arrives at p's left (seen along d) and leaves from
// its right.
void PmStroker::capEnd(const PmPoint& p, const PmPoint& d, std::vector<PmPoint>& outline) const {
    const PmPoint n = {-d.y * half_, d.x * half_};
    if (cap_ == PM_CAP_SQUARE) {
        outline.push_back({p.x + n.x + d.x * half_, p.y + n.y + d.y * half_});
        outline.push_back({p.x - n.x + d.x * half_, p.y - n.y + d.y * half_});
    } else if (cap_ == PM_CAP_ROUND) {
        std::vector<PmPoint> round;
        arc(p.x, p.y, half_, half_, std::atan2(n.y, n.x), -kPi, scale_, round);
        // Its ends are the band's own corners.
        outline.insert(outline.end(), round.begin() + 1, round.end() - 1);
    }
}

void PmStroker::stroke(const std::vector<PmPoint>& path, bool closed, PmContours& out) const {
    if (!(half_ > 0) || path.empty()) return;
    // Repeated points have no direction and are dropped.
    std::vector<PmPoint> pts;
    pts.reserve(path.size());
    for (const PmPoint& p : path)
        if (pts.empty() || p.x != pts.back().x || p.y != pts.back().y) pts.push_back(p);
    if (closed && pts.size() > 1 && pts.front().x == pts.back().x && pts.front().y == pts.back().y)
        pts.pop_back();
    if (pts.size() == 1) {
        // A path of one point shows as its caps: a dot, a square or nothing.
        if (cap_ == PM_CAP_ROUND) dot(pts[0], out);
        if (cap_ == PM_CAP_SQUARE) cap({pts[0].x - half_, pts[0].y}, {1, 0}, out), cap(pts[0], {1, 0}, out);
        return;
    }
    closed = closed && pts.size() > 2;
    std::vector<size_t> failed;
    if (band(pts, closed, true, true, out, &failed)) return;
    // Cut after each segment too short for its joins: stretches that are bands, ended flat at the
    // cuts, and the joins there as pieces of their own. One pass finds every cut, so that a long path
    // with many of them costs no more than its length.
    const size_t n = pts.size(), segments = closed ? n : n - 1;
    std::vector<bool> cut(n, false);
    for (size_t i : failed) cut[(i + 1) % n] = true;
    if (!closed) cut[0] = cut[n - 1] = true;
    std::vector<PmPoint> stretch;
    size_t v = closed ? (failed[0] + 1) % n : 0;
    for (size_t walked = 0; walked < segments;) {
        stretch.assign(1, pts[v]);
        size_t w = v;
        do {
            w = (w + 1) % n;
            stretch.push_back(pts[w]);
            ++walked;
        } while (!cut[w] && walked < segments);
        const bool capFirst = !closed && v == 0, capLast = !closed && w == n - 1;
        // A stretch can still fail where a cut took away only one of a segment's corners.
        if (!band(stretch, false, capFirst, capLast, out, nullptr)) pieces(stretch, capFirst, capLast, out);
        if (closed || w != n - 1)
            join(pts[w], unit(stretch[stretch.size() - 2], pts[w]), unit(pts[w], pts[(w + 1) % n]), out);
        v = w;
    }
}

// An open path as one quad a segment and one piece an inner join, capped at the ends asked for.
void PmStroker::pieces(const std::vector<PmPoint>& pts, bool capFirst, bool capLast, PmContours& out) const {
    for (size_t i = 0; i + 1 < pts.size(); ++i) {
        const PmPoint& a = pts[i];
        const PmPoint& b = pts[i + 1];
        PmPoint d = unit(a, b);
        PmPoint n = {-d.y * half_, d.x * half_};
        add({{a.x + n.x, a.y + n.y}, {b.x + n.x, b.y + n.y}, {b.x - n.x, b.y - n.y}, {a.x - n.x, a.y - n.y}},
            out);
        if (i + 2 < pts.size()) join(b, d, unit(b, pts[i + 2]), out);
    }
    if (capFirst) cap(pts.front(), unit(pts[1], pts[0]), out);
    if (capLast) cap(pts.back(), unit(pts[pts.size() - 2], pts.back()), out);
}

}  // namespace pixmote
