// The collision tests against brute force on random shapes under random transforms (cases too close
// to call are skipped), on edge cases, and images against a pixel-by-pixel walk.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <queue>
#include <random>
#include <vector>

#include "pixmote/include/pixmote.h"
#include "pixmote/include/pixmote_software.h"

namespace {

struct P {
    double x, y;
};
using Outline = std::vector<P>;

P apply(const pm_transform* t, double x, double y) {
    return t ? P{t->a * x + t->c * y + t->e, t->b * x + t->d * y + t->f} : P{x, y};
}

// Positive inside the outline (under the rule), negative outside, by the distance to its nearest edge.
double signedDistance(const Outline& o, P p, bool evenOdd = false) {
    double best = 1e300;
    int winding = 0;
    for (size_t i = 0; i < o.size(); ++i) {
        P u = o[i], v = o[(i + 1) % o.size()];
        double dx = v.x - u.x, dy = v.y - u.y, len = dx * dx + dy * dy;
        double t = len > 0 ? std::clamp(((p.x - u.x) * dx + (p.y - u.y) * dy) / len, 0.0, 1.0) : 0;
        best = std::min(best, std::hypot(u.x + t * dx - p.x, u.y + t * dy - p.y));
        double side = dx * (p.y - u.y) - (p.x - u.x) * dy;
        winding += (u.y <= p.y && v.y > p.y && side > 0) - (u.y > p.y && v.y <= p.y && side < 0);
    }
    return (evenOdd ? winding % 2 != 0 : winding != 0) ? best : -best;
}

// Kinds: 0 rectangle, 1 oval (flattened within kFlat of the true one at these sizes), 2 polygon.
constexpr double kFlat = 0.02;
Outline outline(int kind, const std::vector<float>& s, const pm_transform* t) {
    Outline o;
    const int n = kind == 2 ? int(s.size() / 2) : kind == 0 ? 4 : 256;
    for (int i = 0; i < n; ++i) {
        double a = 6.283185307179586 * i / n;
        double u = kind == 0 ? (i == 1 || i == 2) : (1 + std::cos(a)) / 2,
               v = kind == 0 ? i >= 2 : (1 + std::sin(a)) / 2;
        o.push_back(kind == 2 ? apply(t, s[2 * i], s[2 * i + 1])
                              : apply(t, s[0] + u * s[2], s[1] + v * s[3]));
    }
    return o;
}

struct Random {
    std::mt19937 rng{20261209};
    double uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }
    int below(int n) { return static_cast<int>(rng() % n); }
    double sign() { return below(4) ? 1 : -1; }

    // Rotation, skew, scale with mirroring, translation (R * K * S + T); now and then none at all.
    const pm_transform* transform(pm_transform* t) {
        double angle = uniform(-3.2, 3.2), skew = uniform(-0.7, 0.7), c = std::cos(angle),
               s = std::sin(angle);
        double sx = uniform(0.4, 1.8) * sign(), sy = uniform(0.4, 1.8) * sign();
        double m[6] = {sx * c,           sx * s,          sy * (c * skew - s), sy * (s * skew + c),
                       uniform(-25, 25), uniform(-25, 25)};
        *t = {float(m[0]), float(m[1]), float(m[2]), float(m[3]), float(m[4]), float(m[5])};
        return below(8) ? t : nullptr;
    }
    std::vector<float> shape(int kind) {
        std::vector<float> s;
        for (int i = 0, n = kind == 2 ? 6 + 2 * below(7) : 0; i < n; ++i)
            s.push_back(float(uniform(-35, 35)));
        if (kind != 2)
            s = {float(uniform(-30, 20)), float(uniform(-30, 20)), float(uniform(3, 40) * sign()),
                 float(uniform(3, 40) * sign())};
        return s;
    }
};

// Sure answers by best-first branch and bound over the plane around the shapes: min(dA, dB) changes by
// at most the distance moved, so no cell whose centre value is below minus its radius holds a shared point.
enum Truth { kApart, kOverlap, kUndecided };
Truth sampleOverlap(const Outline& a, const Outline& b, double slack) {
    struct Cell {
        double bound, x, y, hw, hh;
        bool operator<(const Cell& o) const { return bound < o.bound; }
    };
    std::priority_queue<Cell> cells;
    auto add = [&](double x, double y, double hw, double hh) {
        double value = std::min(signedDistance(a, {x, y}), signedDistance(b, {x, y}));
        cells.push({value + std::hypot(hw, hh), x, y, hw, hh});
        return value > slack;
    };
    if (add(0, 0, 256, 256)) return kOverlap;
    for (int budget = 20000; !cells.empty() && cells.top().bound >= -slack; --budget) {
        Cell c = cells.top();
        cells.pop();
        if (budget <= 0 || c.hw < 1e-4) return kUndecided;
        for (int k = 0; k < 4; ++k)
            if (add(c.x + (k % 2 - 0.5) * c.hw, c.y + (k / 2 - 0.5) * c.hh, c.hw / 2, c.hh / 2))
                return kOverlap;
    }
    return kApart;
}

}  // namespace

// Rectangles, ovals and polygons (self-intersecting ones under the non-zero rule for overlaps, both
// rules for points) under rotation, skew, scale and mirroring: every answer the brute force is sure of.
TEST(PixmoteCollisionTest, ShapesAndPointsAsBruteForceFinds) {
    Random random;
    int tally[3] = {};  // hits, misses, skipped
    for (int round = 0; round < 1500; ++round) {
        const int kind = round % 3;
        pm_transform ta, tb;
        const pm_transform *pa = random.transform(&ta), *pb = random.transform(&tb);
        std::vector<float> a = random.shape(kind), b = random.shape(kind);
        int hit = -1;
        pm_result r = kind == 2
                          ? pm_polygons_overlap(a.data(), a.size() / 2, pa, b.data(), b.size() / 2, pb, &hit)
                          : (kind ? pm_ovals_overlap : pm_rects_overlap)(a[0], a[1], a[2], a[3], pa, b[0],
                                                                         b[1], b[2], b[3], pb, &hit);
        ASSERT_EQ(r, PM_OK);
        const double slack = kind == 1 ? kFlat : 1e-6;
        Truth truth = sampleOverlap(outline(kind, a, pa), outline(kind, b, pb), slack);
        EXPECT_TRUE(truth == kUndecided || hit == (truth == kOverlap))
            << "overlap, kind " << kind << " round " << round;
        ++tally[truth == kUndecided ? 2 : !hit];

        // A point near shape a, chosen before its transform.
        const bool evenOdd = kind == 2 && round % 2;
        P p = kind == 2 ? apply(pa, random.uniform(-25, 25), random.uniform(-25, 25))
                        : apply(pa, a[0] + a[2] * random.uniform(-0.3, 1.3),
                                a[1] + a[3] * random.uniform(-0.3, 1.3));
        const float px = float(p.x), py = float(p.y);
        r = kind == 2
                ? pm_point_in_polygon(px, py, a.data(), a.size() / 2,
                                      evenOdd ? PM_FILL_EVENODD : PM_FILL_NONZERO, pa, &hit)
                : (kind ? pm_point_in_oval : pm_point_in_rect)(px, py, a[0], a[1], a[2], a[3], pa, &hit);
        ASSERT_EQ(r, PM_OK);
        double distance = signedDistance(outline(kind, a, pa), {px, py}, evenOdd);
        EXPECT_TRUE(std::fabs(distance) <= slack || hit == (distance > 0))
            << "point, kind " << kind << " round " << round;
        ++tally[std::fabs(distance) <= slack ? 2 : !hit];
    }
    EXPECT_GT(std::min(tally[0], tally[1]), 1000);
    EXPECT_LT(tally[2], 60);
}

// On the edge: touching does not count, sharing area does, whatever the winding or the order of the
// outlines, and a flattened shape has no area.
TEST(PixmoteCollisionTest, TouchingNestedAndFlattenedShapes) {
    const std::vector<std::vector<float>> polygons = {
        {0, 0, 10, 0, 10, 10, 0, 10}, {10, 0, 20, 0, 20, 10, 10, 10},
        {0, 10, 10, 10, 10, 0, 0, 0}, {4, 4, 6, 4, 6, 6, 4, 6},
        {10, 10, 14, 10, 10, 14},     {5, 15, 15, 5, 20, 20},
        {10, 10, 5, 8, 8, 5},         {-5, 5, 5, 5, 5, 15, -5, 15, 20, 20}};  // the last crosses itself
    const int expected[] = {1, 0, 1, 1, 0, 0, 1, 1};
    const pm_transform flat = {1, 2, 2, 4, 0, 0};
    int hit = -1;
    auto answer = [&](pm_result r) { return r == PM_OK ? hit : -1; };
    for (size_t i = 0; i < polygons.size(); ++i) {
        const std::vector<float>& b = polygons[i];
        for (int order = 0; order < 2; ++order) {
            const float *p = order ? b.data() : polygons[0].data(),
                        *q = order ? polygons[0].data() : b.data();
            size_t pn = order ? b.size() / 2 : 4, qn = order ? 4 : b.size() / 2;
            EXPECT_EQ(answer(pm_polygons_overlap(p, pn, nullptr, q, qn, nullptr, &hit)), expected[i]) << i;
            EXPECT_EQ(answer(pm_polygons_overlap(p, pn, &flat, q, qn, nullptr, &hit)), 0) << i;
        }
    }
    const float rects[][2] = {{10, 0}, {9.9f, 1}};
    for (const auto& r : rects) {
        EXPECT_EQ(answer(pm_rects_overlap(0, 0, 10, 10, nullptr, r[0], 0, 5, 5, nullptr, &hit)), int(r[1]));
        EXPECT_EQ(answer(pm_ovals_overlap(0, 0, 10, 10, nullptr, r[0], 0, 10, 10, nullptr, &hit)), int(r[1]));
        EXPECT_EQ(answer(pm_rects_overlap(0, 0, 10, 10, &flat, r[0], 0, 50, 50, nullptr, &hit)), 0);
    }
    EXPECT_EQ(answer(pm_point_in_rect(10, 5, 0, 0, 10, 10, nullptr, &hit)), 0);
    EXPECT_EQ(answer(pm_point_in_polygon(0, 5, polygons[0].data(), 4, PM_FILL_NONZERO, nullptr, &hit)), 0);
    EXPECT_EQ(answer(pm_point_in_oval(3, 6, 0, 0, 4, 4, &flat, &hit)), 0);
    // Fine outlines nested without touching, and apart by a hair.
    auto circle = [](double r, double cx) {
        std::vector<float> xy;
        for (double a = 0; xy.size() < 60000; a += 6.283185307179586 / 30000)
            xy.insert(xy.end(), {float(cx + r * std::cos(a)), float(r * std::sin(a))});
        return xy;
    };
    std::vector<float> outer = circle(100, 0), inner = circle(50, 0), beside = circle(100, 200.01);
    EXPECT_EQ(answer(pm_polygons_overlap(outer.data(), 30000, nullptr, inner.data(), 30000, nullptr, &hit)),
              1);
    EXPECT_EQ(answer(pm_polygons_overlap(outer.data(), 30000, nullptr, beside.data(), 30000, nullptr, &hit)),
              0);
}

// Images under random transforms (sub-pixel, mirrored, rotated, shrunk) against a walk over every
// pixel of the plane; pixels whose centres fall within rounding of a texel's side are not relied on.
TEST(PixmoteCollisionTest, ImagesOverlapAsEveryPixelSays) {
    pm_software* sw = pm_software_create(1, 1);
    pm_context* ctx = pm_context_create(pm_software_device(sw));
    Random random;
    int tally[2] = {};
    for (int round = 0; round < 300; ++round) {
        pm_image* images[2];
        std::vector<uint8_t> rgba[2];
        int w[2], h[2];
        pm_transform t[2];
        const pm_transform* pt[2];
        for (int k = 0; k < 2; ++k) {
            w[k] = 1 + random.below(12), h[k] = 1 + random.below(12);
            for (int i = 0; i < w[k] * h[k]; ++i)
                rgba[k].insert(rgba[k].end(), {9, 9, 9, uint8_t(random.below(3) ? 0 : random.below(256))});
            images[k] = pm_image_create_rgba(ctx, w[k], h[k], rgba[k].data(), w[k] * 4);
            pt[k] = random.transform(&t[k]);
            t[k].e /= 4, t[k].f /= 4;
        }
        const uint8_t threshold = uint8_t(random.below(4) ? random.below(128) : 0);
        int hit = -1;
        ASSERT_EQ(pm_images_overlap(images[0], pt[0], images[1], pt[1], threshold, &hit), PM_OK);
        bool sure = false, maybe = false;
        for (int y = -80; y < 80 && !sure; ++y)
            for (int x = -80; x < 80; ++x) {
                int solid = 0, close = 0;
                for (int k = 0; k < 2; ++k) {
                    const pm_transform m = pt[k] ? t[k] : pm_transform{1, 0, 0, 1, 0, 0};
                    double det = double(m.a) * m.d - double(m.b) * m.c, dx = x + 0.5 - m.e,
                           dy = y + 0.5 - m.f;
                    double u = (m.d * dx - m.c * dy) / det, v = (m.a * dy - m.b * dx) / det;
                    bool near = std::min(std::fabs(u - std::round(u)), std::fabs(v - std::round(v))) < 1e-6;
                    bool in = u >= 0 && v >= 0 && u < w[k] && v < h[k];
                    solid += in && rgba[k][(int(v) * w[k] + int(u)) * 4 + 3] > threshold;
                    close += near;
                }
                sure |= solid == 2 && close == 0;
                maybe |= solid + close >= 2;
            }
        for (pm_image* image : images) pm_image_destroy(image);
        if (!sure && maybe) continue;
        EXPECT_EQ(hit, sure ? 1 : 0) << "round " << round;
        ++tally[!hit];
    }
    EXPECT_GT(std::min(tally[0], tally[1]), 30);
    pm_context_destroy(ctx);
    pm_software_destroy(sw);
}
