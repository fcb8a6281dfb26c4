#include "pixmote/src/PmCollision.h"

#include <algorithm>
#include <cmath>

namespace pixmote {

namespace {

double cross(PmPoint o, PmPoint a, PmPoint b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

bool sameSide(double s, double t) {
    return (s > 0 && t > 0) || (s < 0 && t < 0);
}

// One edge of either outline, with its bounding box for the sweep.
struct Segment {
    PmPoint p, q;
    int outline;
    double x0, x1, y0, y1;
};

// Calls visit(i, j) once for every pair of segments whose boxes meet, until it returns true. Returns
// 1 when stopped by visit, 0 when all were seen, -1 when the work bound ran out.
template <typename F>
int sweep(const std::vector<Segment>& segs, const std::vector<size_t>& byX, double& work, F&& visit) {
    for (size_t i = 0; i < byX.size(); ++i) {
        const Segment& s = segs[byX[i]];
        for (size_t j = i + 1; j < byX.size() && segs[byX[j]].x0 <= s.x1; ++j) {
            if (++work > PmCollision::kMaxWork) return -1;
            const Segment& t = segs[byX[j]];
            if (t.y0 > s.y1 || s.y0 > t.y1) continue;
            if (visit(byX[i], byX[j])) return 1;
        }
    }
    return 0;
}

// A point on an edge, and the winding numbers of both outlines just beside it: [side][outline], the
// side beyond it along +x first.
struct Beside {
    PmPoint q;
    int winding[2][2];
};

// Fills in the windings of points on non-horizontal edges by one sweep down the rows: each point
// counts only the edges that span its row, along the rays to +x and to -x. Edges through the point
// itself add nothing, being neither left nor right of it. False when the work bound runs out.
bool windingsBeside(const std::vector<Segment>& segs, std::vector<Beside>& points, double& work) {
    std::vector<size_t> edges(segs.size()), order(points.size()), active;
    for (size_t i = 0; i < edges.size(); ++i) edges[i] = i;
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(edges.begin(), edges.end(), [&](size_t i, size_t j) { return segs[i].y0 < segs[j].y0; });
    std::sort(order.begin(), order.end(), [&](size_t i, size_t j) { return points[i].q.y < points[j].q.y; });
    size_t next = 0;
    for (size_t i : order) {
        Beside& b = points[i];
        const double y = b.q.y;
        while (next < edges.size() && segs[edges[next]].y0 <= y) active.push_back(edges[next++]);
        // An edge spans rows y0 <= y < y1, so that a ray through a vertex counts one of its edges.
        active.erase(std::remove_if(active.begin(), active.end(), [&](size_t e) { return segs[e].y1 <= y; }),
                     active.end());
        work += static_cast<double>(active.size()) + 1;
        if (work > PmCollision::kMaxWork) return false;
        std::fill(&b.winding[0][0], &b.winding[0][0] + 4, 0);
        for (size_t e : active) {
            const Segment& s = segs[e];
            double side = cross(s.p, s.q, b.q);
            int up = s.p.y < s.q.y ? 1 : -1;
            // Upward edges wind positively seen from their left, downward ones from their right.
            if (side * up > 0) b.winding[0][s.outline] += up;
            if (side * up < 0) b.winding[1][s.outline] -= up;
        }
    }
    return true;
}

double distanceToSegment(PmPoint x, const Segment& s) {
    double dx = s.q.x - s.p.x, dy = s.q.y - s.p.y;
    double t = ((x.x - s.p.x) * dx + (x.y - s.p.y) * dy) / (dx * dx + dy * dy);
    t = std::min(1.0, std::max(0.0, t));
    return std::hypot(s.p.x + t * dx - x.x, s.p.y + t * dy - x.y);
}

// The distance from the origin to the filled ellipse {c + M u : |u| <= 1}, M non-singular (row-major).
double distanceToEllipse(PmPoint c, const double m[4]) {
    // M = U diag(s1, s2) V^T: the ellipse has semi-axes s1 >= s2 along U's columns.
    double p = m[0] * m[0] + m[1] * m[1], q = m[0] * m[2] + m[1] * m[3], r = m[2] * m[2] + m[3] * m[3];
    double s1 = std::sqrt((p + r) / 2 + std::hypot((p - r) / 2, q));
    double s2 = std::fabs(m[0] * m[3] - m[1] * m[2]) / s1;
    double angle = 0.5 * std::atan2(2 * q, p - r);
    double cs = std::cos(angle), sn = std::sin(angle);
    // The origin seen from the centre, in the ellipse's axes, folded into the first quadrant.
    double y0 = std::fabs(-cs * c.x - sn * c.y), y1 = std::fabs(sn * c.x - cs * c.y);
    double z0 = y0 / s1, z1 = y1 / s2, g = z0 * z0 + z1 * z1 - 1;
    if (g <= 0) return 0;
    // The closest point of the outline by bisection on the Lagrange parameter, to full precision.
    if (y1 > 0) {
        if (y0 <= 0) return std::fabs(y1 - s2);
        double r0 = (s1 / s2) * (s1 / s2), n0 = r0 * z0;
        double lo = z1 - 1, hi = std::hypot(n0, z1) - 1, s = 0;
        for (int i = 0; i < 2200; ++i) {
            s = (lo + hi) / 2;
            if (s == lo || s == hi) break;
            double a = n0 / (s + r0), b = z1 / (s + 1), h = a * a + b * b - 1;
            if (h > 0)
                lo = s;
            else if (h < 0)
                hi = s;
            else
                break;
        }
        double x0 = r0 * y0 / (s + r0), x1 = y1 / (s + 1);
        return std::hypot(x0 - y0, x1 - y1);
    }
    double numer = s1 * y0, denom = s1 * s1 - s2 * s2;
    if (numer < denom) {
        double t = numer / denom;
        return std::hypot(s1 * t - y0, s2 * std::sqrt(std::max(0.0, 1 - t * t)));
    }
    return std::fabs(y0 - s1);
}

}  // namespace

pm_result PmAffine::from(const pm_transform* t, PmAffine* out) {
    *out = PmAffine{};
    if (!t) return PM_OK;
    for (float v : {t->a, t->b, t->c, t->d, t->e, t->f})
        if (!PmCollision::usable(v)) return PM_ERROR_INVALID_ARGUMENT;
    *out = {t->a, t->b, t->c, t->d, t->e, t->f};
    return PM_OK;
}

PmAffine PmAffine::inverse() const {
    double k = 1 / det();
    return {d * k, -b * k, -c * k, a * k, (c * f - d * e) * k, (b * e - a * f) * k};
}

bool PmCollision::usable(double v) {
    return std::isfinite(v) && std::fabs(v) <= kMaxCoordinate;
}

pm_result PmCollision::corners(const float rect[4], const pm_transform* t, PmPoint out[4], bool* area) {
    PmAffine m;
    if (pm_result r = PmAffine::from(t, &m)) return r;
    for (int i = 0; i < 4; ++i)
        if (!usable(rect[i])) return PM_ERROR_INVALID_ARGUMENT;
    const double x = rect[0], y = rect[1], w = rect[2], h = rect[3];
    out[0] = m.apply(x, y), out[1] = m.apply(x + w, y), out[2] = m.apply(x + w, y + h);
    out[3] = m.apply(x, y + h);
    for (int i = 0; i < 4; ++i)
        if (!usable(out[i].x) || !usable(out[i].y)) return PM_ERROR_INVALID_ARGUMENT;
    *area = w != 0 && h != 0 && m.det() != 0;
    return PM_OK;
}

pm_result PmCollision::place(const float* xy, size_t count, const pm_transform* t,
                             std::vector<PmPoint>* out) {
    if (!xy || count < 3) return PM_ERROR_INVALID_ARGUMENT;
    if (count > PM_MAX_POLYGON_POINTS) return PM_ERROR_TOO_LARGE;
    PmAffine m;
    if (pm_result r = PmAffine::from(t, &m)) return r;
    out->resize(count);
    for (size_t i = 0; i < count; ++i) {
        if (!usable(xy[2 * i]) || !usable(xy[2 * i + 1])) return PM_ERROR_INVALID_ARGUMENT;
        PmPoint p = m.apply(xy[2 * i], xy[2 * i + 1]);
        if (!usable(p.x) || !usable(p.y)) return PM_ERROR_INVALID_ARGUMENT;
        (*out)[i] = p;
    }
    return PM_OK;
}

pm_result PmCollision::pointInRect(double px, double py, const float rect[4], const pm_transform* t,
                                   bool* hit) {
    PmPoint q[4];
    bool area = false;
    if (!usable(px) || !usable(py)) return PM_ERROR_INVALID_ARGUMENT;
    if (pm_result r = corners(rect, t, q, &area)) return r;
    int positive = 0, negative = 0;
    for (int i = 0; i < 4; ++i) {
        double s = cross(q[i], q[(i + 1) % 4], {px, py});
        positive += s > 0, negative += s < 0;
    }
    *hit = area && (positive == 4 || negative == 4);
    return PM_OK;
}

pm_result PmCollision::pointInOval(double px, double py, const float rect[4], const pm_transform* t,
                                   bool* hit) {
    PmPoint q[4];
    bool area = false;
    if (!usable(px) || !usable(py)) return PM_ERROR_INVALID_ARGUMENT;
    if (pm_result r = corners(rect, t, q, &area)) return r;
    *hit = false;
    if (!area) return PM_OK;
    PmAffine m;
    PmAffine::from(t, &m);
    PmPoint local = m.inverse().apply(px, py);
    double rx = rect[2] / 2.0, ry = rect[3] / 2.0;
    double u = (local.x - rect[0] - rx) / rx, v = (local.y - rect[1] - ry) / ry;
    *hit = u * u + v * v < 1;
    return PM_OK;
}

pm_result PmCollision::pointInPolygon(double px, double py, const float* xy, size_t count, pm_fill_rule rule,
                                      const pm_transform* t, bool* hit) {
    if (rule != PM_FILL_NONZERO && rule != PM_FILL_EVENODD) return PM_ERROR_INVALID_ARGUMENT;
    if (!usable(px) || !usable(py)) return PM_ERROR_INVALID_ARGUMENT;
    std::vector<PmPoint> pts;
    if (pm_result r = place(xy, count, t, &pts)) return r;
    const PmPoint p = {px, py};
    int w = 0;
    *hit = false;
    for (size_t i = 0; i < pts.size(); ++i) {
        PmPoint u = pts[i], v = pts[(i + 1) % pts.size()];
        double side = cross(u, v, p);
        if (side == 0 && std::min(u.x, v.x) <= p.x && p.x <= std::max(u.x, v.x) &&
            std::min(u.y, v.y) <= p.y && p.y <= std::max(u.y, v.y))
            return PM_OK;
        if (u.y <= p.y) {
            if (v.y > p.y && side > 0) ++w;
        } else if (v.y <= p.y && side < 0) {
            --w;
        }
    }
    *hit = rule == PM_FILL_NONZERO ? w != 0 : (w % 2) != 0;
    return PM_OK;
}

pm_result PmCollision::rectsOverlap(const float a[4], const pm_transform* ta, const float b[4],
                                    const pm_transform* tb, bool* hit) {
    PmPoint qa[4], qb[4];
    bool areaA = false, areaB = false;
    if (pm_result r = corners(a, ta, qa, &areaA)) return r;
    if (pm_result r = corners(b, tb, qb, &areaB)) return r;
    *hit = false;
    if (!areaA || !areaB) return PM_OK;
    // Two parallelograms are apart exactly when the projections on one of their edge normals are.
    for (const PmPoint* q : {qa, qb}) {
        for (int k = 0; k < 2; ++k) {
            PmPoint n = {q[k].y - q[k + 1].y, q[k + 1].x - q[k].x};
            double minA = 1e300, maxA = -1e300, minB = 1e300, maxB = -1e300;
            for (int i = 0; i < 4; ++i) {
                double pa = qa[i].x * n.x + qa[i].y * n.y, pb = qb[i].x * n.x + qb[i].y * n.y;
                minA = std::min(minA, pa), maxA = std::max(maxA, pa);
                minB = std::min(minB, pb), maxB = std::max(maxB, pb);
            }
            if (maxA <= minB || maxB <= minA) return PM_OK;
        }
    }
    *hit = true;
    return PM_OK;
}

pm_result PmCollision::ovalsOverlap(const float a[4], const pm_transform* ta, const float b[4],
                                    const pm_transform* tb, bool* hit) {
    PmPoint qa[4], qb[4];
    bool areaA = false, areaB = false;
    if (pm_result r = corners(a, ta, qa, &areaA)) return r;
    if (pm_result r = corners(b, tb, qb, &areaB)) return r;
    *hit = false;
    if (!areaA || !areaB) return PM_OK;
    // Each oval is {centre + M u : |u| < 1}. The space where one is the unit disc sees the other as
    // an ellipse, and they overlap when that ellipse comes nearer than 1 to the origin.
    struct Oval {
        PmPoint centre;
        double m[4];
    } ovals[2];
    const float* rects[2] = {a, b};
    const pm_transform* ts[2] = {ta, tb};
    for (int k = 0; k < 2; ++k) {
        PmAffine t;
        PmAffine::from(ts[k], &t);
        double rx = rects[k][2] / 2.0, ry = rects[k][3] / 2.0;
        ovals[k] = {t.apply(rects[k][0] + rx, rects[k][1] + ry), {t.a * rx, t.c * ry, t.b * rx, t.d * ry}};
    }
    // Map by the rounder of the two, which loses the least precision.
    auto roundness = [](const Oval& o) {
        double norm = o.m[0] * o.m[0] + o.m[1] * o.m[1] + o.m[2] * o.m[2] + o.m[3] * o.m[3];
        return std::fabs(o.m[0] * o.m[3] - o.m[1] * o.m[2]) / norm;
    };
    if (roundness(ovals[1]) > roundness(ovals[0])) std::swap(ovals[0], ovals[1]);
    const double* m = ovals[0].m;
    double k = 1 / (m[0] * m[3] - m[1] * m[2]);
    const double inv[4] = {m[3] * k, -m[1] * k, -m[2] * k, m[0] * k};
    double dx = ovals[1].centre.x - ovals[0].centre.x, dy = ovals[1].centre.y - ovals[0].centre.y;
    PmPoint c = {inv[0] * dx + inv[1] * dy, inv[2] * dx + inv[3] * dy};
    const double* n = ovals[1].m;
    const double mapped[4] = {inv[0] * n[0] + inv[1] * n[2], inv[0] * n[1] + inv[1] * n[3],
                              inv[2] * n[0] + inv[3] * n[2], inv[2] * n[1] + inv[3] * n[3]};
    *hit = distanceToEllipse(c, mapped) < 1;
    return PM_OK;
}

pm_result PmCollision::polygonsOverlap(const float* axy, size_t acount, const pm_transform* ta,
                                       const float* bxy, size_t bcount, const pm_transform* tb, bool* hit) {
    std::vector<PmPoint> a, b;
    if (pm_result r = place(axy, acount, ta, &a)) return r;
    if (pm_result r = place(bxy, bcount, tb, &b)) return r;
    return outlinesOverlap(a, b, hit);
}

pm_result PmCollision::outlinesOverlap(const std::vector<PmPoint>& a, const std::vector<PmPoint>& b,
                                       bool* hit) {
    *hit = false;
    std::vector<Segment> segs;
    double box[2][4] = {{1e300, -1e300, 1e300, -1e300}, {1e300, -1e300, 1e300, -1e300}};
    double extent = 1;
    const std::vector<PmPoint>* outlines[2] = {&a, &b};
    for (int k = 0; k < 2; ++k) {
        const std::vector<PmPoint>& pts = *outlines[k];
        for (size_t i = 0; i < pts.size(); ++i) {
            PmPoint p = pts[i], q = pts[(i + 1) % pts.size()];
            box[k][0] = std::min(box[k][0], p.x), box[k][1] = std::max(box[k][1], p.x);
            box[k][2] = std::min(box[k][2], p.y), box[k][3] = std::max(box[k][3], p.y);
            extent = std::max({extent, std::fabs(p.x), std::fabs(p.y)});
            if (p.x == q.x && p.y == q.y) continue;
            segs.push_back(
                {p, q, k, std::min(p.x, q.x), std::max(p.x, q.x), std::min(p.y, q.y), std::max(p.y, q.y)});
        }
    }
    if (box[0][1] <= box[1][0] || box[1][1] <= box[0][0] || box[0][3] <= box[1][2] || box[1][3] <= box[0][2])
        return PM_OK;
    std::vector<size_t> byX(segs.size());
    for (size_t i = 0; i < byX.size(); ++i) byX[i] = i;
    std::sort(byX.begin(), byX.end(), [&](size_t i, size_t j) { return segs[i].x0 < segs[j].x0; });
    const double tolerance = 1e-9 * extent;
    double work = 0;

    // Quick answer: two edges that cross properly, at a point no other edge comes near. Each outline is
    // filled on at least one side of its edge there, and two half-planes through one point on
    // different lines always share a quadrant.
    int checked = 0;
    int found = sweep(segs, byX, work, [&](size_t i, size_t j) {
        const Segment &s = segs[i], &t = segs[j];
        if (s.outline == t.outline || checked >= 16) return false;
        double o1 = cross(s.p, s.q, t.p), o2 = cross(s.p, s.q, t.q);
        double o3 = cross(t.p, t.q, s.p), o4 = cross(t.p, t.q, s.q);
        if (!(o1 * o2 < 0 && o3 * o4 < 0)) return false;
        ++checked;
        double u = o3 / (o3 - o4);
        PmPoint x = {s.p.x + u * (s.q.x - s.p.x), s.p.y + u * (s.q.y - s.p.y)};
        for (size_t k = 0; k < segs.size(); ++k)
            if (k != i && k != j && distanceToSegment(x, segs[k]) <= tolerance) return false;
        return true;
    });
    if (found < 0) return PM_ERROR_TOO_LARGE;
    if (found > 0) return *hit = true, PM_OK;

    // In general: cut every edge where any other edge meets it. Any region inside both outlines is
    // bounded by some of the pieces, so looking at the winding numbers on both sides of each piece
    // finds it.
    std::vector<std::pair<size_t, double>> cuts;  // (edge, where along it)
    found = sweep(segs, byX, work, [&](size_t i, size_t j) {
        const Segment &s = segs[i], &t = segs[j];
        double o1 = cross(s.p, s.q, t.p), o2 = cross(s.p, s.q, t.q);
        if (o1 == 0 && o2 == 0) {
            // Collinear: each is cut where the other ends.
            for (int pass = 0; pass < 2; ++pass) {
                const Segment &on = pass ? t : s, &by = pass ? s : t;
                double dx = on.q.x - on.p.x, dy = on.q.y - on.p.y, len = dx * dx + dy * dy;
                for (PmPoint e : {by.p, by.q}) {
                    double u = ((e.x - on.p.x) * dx + (e.y - on.p.y) * dy) / len;
                    if (u > 0 && u < 1) cuts.push_back({pass ? j : i, u});
                }
            }
            return false;
        }
        double o3 = cross(t.p, t.q, s.p), o4 = cross(t.p, t.q, s.q);
        if (sameSide(o1, o2) || sameSide(o3, o4)) return false;
        if (o3 != o4) cuts.push_back({i, o3 / (o3 - o4)});
        if (o1 != o2) cuts.push_back({j, o1 / (o1 - o2)});
        return false;
    });
    if (found < 0) return PM_ERROR_TOO_LARGE;
    // Points on horizontal pieces are looked at turned a quarter, so that rays along x cross them too.
    std::vector<Beside> points[2];
    for (size_t i = 0; i < segs.size(); ++i) cuts.push_back({i, 0}), cuts.push_back({i, 1});
    std::sort(cuts.begin(), cuts.end());
    for (size_t k = 0; k + 1 < cuts.size(); ++k) {
        if (cuts[k + 1].first != cuts[k].first) continue;
        const Segment& s = segs[cuts[k].first];
        const double t0 = cuts[k].second, t1 = cuts[k + 1].second;
        PmPoint d = {s.q.x - s.p.x, s.q.y - s.p.y};
        if ((t1 - t0) * std::hypot(d.x, d.y) <= tolerance) continue;
        PmPoint q = {s.p.x + (t0 + t1) / 2 * d.x, s.p.y + (t0 + t1) / 2 * d.y};
        if (d.y != 0)
            points[0].push_back({q, {}});
        else
            points[1].push_back({{q.y, -q.x}, {}});
    }
    std::vector<Segment> turned(points[1].empty() ? 0 : segs.size());
    for (size_t i = 0; i < turned.size(); ++i) {
        Segment& s = turned[i] = segs[i];
        s.p = {s.p.y, -s.p.x}, s.q = {s.q.y, -s.q.x};
        s.y0 = std::min(s.p.y, s.q.y), s.y1 = std::max(s.p.y, s.q.y);
    }
    for (int k = 0; k < 2; ++k) {
        if (!windingsBeside(k ? turned : segs, points[k], work)) return PM_ERROR_TOO_LARGE;
        for (const Beside& b : points[k])
            for (const auto& side : b.winding)
                if (side[0] != 0 && side[1] != 0) return *hit = true, PM_OK;
    }
    return PM_OK;
}

}  // namespace pixmote
