// The collision tests against brute force: random shapes under random transforms, decided by sampling
// signed distances on a grid (cases too close to call are skipped), and images against a
// pixel-by-pixel walk.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
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
    if (!t) return {x, y};
    return {t->a * x + t->c * y + t->e, t->b * x + t->d * y + t->f};
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
        if (u.y <= p.y && v.y > p.y && side > 0) ++winding;
        if (u.y > p.y && v.y <= p.y && side < 0) --winding;
    }
    return (evenOdd ? winding % 2 != 0 : winding != 0) ? best : -best;
}

Outline rectOutline(const float r[4], const pm_transform* t) {
    return {apply(t, r[0], r[1]), apply(t, r[0] + r[2], r[1]), apply(t, r[0] + r[2], r[1] + r[3]),
            apply(t, r[0], r[1] + r[3])};
}

// Flattened finely; kFlatError bounds how far it strays from the true oval at these sizes.
constexpr double kFlatError = 0.02;
Outline ovalOutline(const float r[4], const pm_transform* t) {
    Outline o;
    for (int i = 0; i < 256; ++i) {
        double a = 6.283185307179586 * i / 256;
        o.push_back(apply(t, r[0] + r[2] / 2.0 * (1 + std::cos(a)), r[1] + r[3] / 2.0 * (1 + std::sin(a))));
    }
    return o;
}

Outline polygonOutline(const std::vector<float>& xy, const pm_transform* t) {
    Outline o;
    for (size_t i = 0; i + 1 < xy.size(); i += 2) o.push_back(apply(t, xy[i], xy[i + 1]));
    return o;
}

struct Random {
    std::mt19937 rng{20261209};
    double uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }
    int below(int n) { return static_cast<int>(rng() % n); }

    // Rotation, skew, scale with mirroring, translation; now and then none at all.
    pm_transform transform(bool* identity) {
        *identity = below(8) == 0;
        double angle = uniform(-3.2, 3.2), skew = uniform(-0.7, 0.7);
        double sx = uniform(0.4, 1.8) * (below(3) ? 1 : -1), sy = uniform(0.4, 1.8) * (below(3) ? 1 : -1);
        double c = std::cos(angle), s = std::sin(angle);
        // R * K * S with K = [[1, skew], [0, 1]].
        double m00 = sx * c, m01 = sy * (c * skew - s), m10 = sx * s, m11 = sy * (s * skew + c);
        return {
            float(m00), float(m10), float(m01), float(m11), float(uniform(-25, 25)), float(uniform(-25, 25))};
    }
    void rect(float r[4]) {
        r[0] = float(uniform(-30, 20)), r[1] = float(uniform(-30, 20));
        r[2] = float(uniform(3, 40) * (below(5) ? 1 : -1)),
        r[3] = float(uniform(3, 40) * (below(5) ? 1 : -1));
    }
    std::vector<float> polygon() {
        std::vector<float> xy;
        int n = 3 + below(7);
        for (int i = 0; i < 2 * n; ++i) xy.push_back(float(uniform(-35, 35)));
        return xy;
    }
};

// Sure answers by branch and bound over where the two outlines' boxes meet: min(dA, dB) changes by at
// most the distance moved, so a cell whose centre value is below minus its radius holds no shared point.
enum Truth { kApart, kOverlap, kUndecided };
Truth sampleOverlap(const Outline& a, const Outline& b, double slack) {
    double box[4] = {-1e300, 1e300, -1e300, 1e300};
    for (const Outline* o : {&a, &b}) {
        double x0 = 1e300, x1 = -1e300, y0 = 1e300, y1 = -1e300;
        for (P p : *o)
            x0 = std::min(x0, p.x), x1 = std::max(x1, p.x), y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
        box[0] = std::max(box[0], x0), box[1] = std::min(box[1], x1);
        box[2] = std::max(box[2], y0), box[3] = std::min(box[3], y1);
    }
    if (box[0] > box[1] + slack || box[2] > box[3] + slack) return kApart;
    // Best first: the cell with the highest bound is split next.
    struct Cell {
        double bound, x, y, hw, hh;  // the bound, the centre and half sides
        bool operator<(const Cell& o) const { return bound < o.bound; }
    };
    std::priority_queue<Cell> cells;
    auto add = [&](double x, double y, double hw, double hh) {
        double value = std::min(signedDistance(a, {x, y}), signedDistance(b, {x, y}));
        cells.push({value + std::hypot(hw, hh), x, y, hw, hh});
        return value > slack;
    };
    if (add((box[0] + box[1]) / 2, (box[2] + box[3]) / 2, std::max(0.0, box[1] - box[0]) / 2 + slack,
            std::max(0.0, box[3] - box[2]) / 2 + slack))
        return kOverlap;
    for (int budget = 20000; !cells.empty() && cells.top().bound >= -slack; --budget) {
        Cell c = cells.top();
        cells.pop();
        if (budget <= 0 || c.hw < 1e-4) return kUndecided;
        for (int k = 0; k < 4; ++k)
            if (add(c.x + (k % 2 ? 0.5 : -0.5) * c.hw, c.y + (k / 2 ? 0.5 : -0.5) * c.hh, c.hw / 2, c.hh / 2))
                return kOverlap;
    }
    return kApart;
}

struct Tally {
    int hits = 0, misses = 0, skipped = 0;
    void expectBalanced(const char* kind) const {
        int decided = hits + misses;
        EXPECT_GT(decided, 4 * skipped) << kind << " " << hits << " " << misses;
        EXPECT_GT(hits, decided / 8) << kind;
        EXPECT_GT(misses, decided / 8) << kind;
    }
};

}  // namespace

// Overlap of rectangles, ovals and polygons (self-intersecting ones under the non-zero rule), each
// under rotation, skew, scale and mirroring, against sampling in the plane.
TEST(PixmoteCollisionTest, ShapesOverlapAsSamplingFinds) {
    Random random;
    Tally tallies[3];
    for (int round = 0; round < 1500; ++round) {
        const int kind = round % 3;
        bool idA, idB;
        pm_transform ta = random.transform(&idA), tb = random.transform(&idB);
        const pm_transform *pa = idA ? nullptr : &ta, *pb = idB ? nullptr : &tb;
        int hit = -1;
        Truth truth;
        if (kind == 2) {
            std::vector<float> a = random.polygon(), b = random.polygon();
            ASSERT_EQ(pm_polygons_overlap(a.data(), a.size() / 2, pa, b.data(), b.size() / 2, pb, &hit),
                      PM_OK);
            truth = sampleOverlap(polygonOutline(a, pa), polygonOutline(b, pb), 1e-6);
        } else {
            float a[4], b[4];
            random.rect(a), random.rect(b);
            auto overlap = kind == 0 ? pm_rects_overlap : pm_ovals_overlap;
            ASSERT_EQ(overlap(a[0], a[1], a[2], a[3], pa, b[0], b[1], b[2], b[3], pb, &hit), PM_OK);
            truth = kind == 0 ? sampleOverlap(rectOutline(a, pa), rectOutline(b, pb), 1e-6)
                              : sampleOverlap(ovalOutline(a, pa), ovalOutline(b, pb), kFlatError);
        }
        Tally& tally = tallies[kind];
        if (truth == kUndecided) {
            ++tally.skipped;
            continue;
        }
        EXPECT_EQ(hit, truth == kOverlap ? 1 : 0) << "kind " << kind << " round " << round;
        ++(hit ? tally.hits : tally.misses);
    }
    tallies[0].expectBalanced("rectangles");
    tallies[1].expectBalanced("ovals");
    tallies[2].expectBalanced("polygons");
}

// Points in rectangles, ovals and polygons under both fill rules, against the signed distance.
TEST(PixmoteCollisionTest, PointsInShapesAsDistanceSays) {
    Random random;
    Tally tallies[4];
    for (int round = 0; round < 2000; ++round) {
        const int kind = round % 4;
        bool identity;
        pm_transform t = random.transform(&identity);
        const pm_transform* pt = identity ? nullptr : &t;
        // A point near the shape, chosen before the transform.
        float r[4];
        random.rect(r);
        std::vector<float> xy = random.polygon();
        P local = kind >= 2
                      ? P{random.uniform(-25, 25), random.uniform(-25, 25)}
                      : P{r[0] + r[2] * random.uniform(-0.3, 1.3), r[1] + r[3] * random.uniform(-0.3, 1.3)};
        P p = apply(pt, local.x, local.y);
        const float px = float(p.x), py = float(p.y);
        int hit = -1;
        double distance;
        double slack = 1e-6;
        if (kind >= 2) {
            pm_fill_rule rule = kind == 3 ? PM_FILL_EVENODD : PM_FILL_NONZERO;
            ASSERT_EQ(pm_point_in_polygon(px, py, xy.data(), xy.size() / 2, rule, pt, &hit), PM_OK);
            distance = signedDistance(polygonOutline(xy, pt), {px, py}, kind == 3);
        } else {
            auto in = kind == 0 ? pm_point_in_rect : pm_point_in_oval;
            ASSERT_EQ(in(px, py, r[0], r[1], r[2], r[3], pt, &hit), PM_OK);
            distance = signedDistance(kind == 0 ? rectOutline(r, pt) : ovalOutline(r, pt), {px, py});
            if (kind == 1) slack = kFlatError;
        }
        Tally& tally = tallies[kind];
        if (std::fabs(distance) <= slack) {
            ++tally.skipped;
            continue;
        }
        EXPECT_EQ(hit, distance > 0 ? 1 : 0) << "kind " << kind << " round " << round;
        ++(hit ? tally.hits : tally.misses);
    }
    for (const Tally& tally : tallies) tally.expectBalanced("points");
}

// Where the answer lies on an edge: touching does not count, sharing area does, whatever the winding
// or order of the outlines, and a flattened shape has no area.
TEST(PixmoteCollisionTest, TouchingAndDegenerateShapes) {
    const float square[] = {0, 0, 10, 0, 10, 10, 0, 10};
    const float right[] = {10, 0, 20, 0, 20, 10, 10, 10};
    const float reversed[] = {0, 10, 10, 10, 10, 0, 0, 0};
    const float inner[] = {4, 4, 6, 4, 6, 6, 4, 6};
    const float corner[] = {10, 10, 14, 10, 10, 14};
    // A bow tie whose waist meets the square's corner; triangles whose edge or corner meets it, from
    // outside and from inside.
    const float bowtie[] = {-5, 5, 5, 5, 5, 15, -5, 15, 20, 20};
    const float through[] = {5, 15, 15, 5, 20, 20};
    const float tucked[] = {10, 10, 5, 8, 8, 5};
    int hit = -1;
    auto polygons = [&](const float* a, const float* b, size_t bn) {
        EXPECT_EQ(pm_polygons_overlap(a, 4, nullptr, b, bn, nullptr, &hit), PM_OK);
        return hit;
    };
    EXPECT_EQ(polygons(square, right, 4), 0);
    EXPECT_EQ(polygons(square, reversed, 4), 1);
    EXPECT_EQ(polygons(square, inner, 4), 1);
    EXPECT_EQ(polygons(inner, square, 4), 1);
    EXPECT_EQ(polygons(square, corner, 3), 0);
    EXPECT_EQ(polygons(square, through, 3), 0);
    EXPECT_EQ(polygons(square, tucked, 3), 1);
    EXPECT_EQ(polygons(square, bowtie, 5), 1);
    EXPECT_EQ(pm_rects_overlap(0, 0, 10, 10, nullptr, 10, 0, 5, 5, nullptr, &hit), PM_OK);
    EXPECT_EQ(hit, 0);
    EXPECT_EQ(pm_rects_overlap(0, 0, 10, 10, nullptr, 9.5f, 0, 5, 5, nullptr, &hit), PM_OK);
    EXPECT_EQ(hit, 1);
    EXPECT_EQ(pm_ovals_overlap(0, 0, 10, 10, nullptr, 10, 0, 10, 10, nullptr, &hit), PM_OK);
    EXPECT_EQ(hit, 0);
    EXPECT_EQ(pm_ovals_overlap(0, 0, 10, 10, nullptr, 9.9f, 0, 10, 10, nullptr, &hit), PM_OK);
    EXPECT_EQ(hit, 1);
    EXPECT_EQ(pm_point_in_rect(10, 5, 0, 0, 10, 10, nullptr, &hit), PM_OK);
    EXPECT_EQ(hit, 0);
    EXPECT_EQ(pm_point_in_polygon(0, 5, square, 4, PM_FILL_NONZERO, nullptr, &hit), PM_OK);
    EXPECT_EQ(hit, 0);
    const pm_transform flat = {1, 2, 2, 4, 0, 0};
    EXPECT_EQ(pm_rects_overlap(0, 0, 10, 10, &flat, 0, 0, 50, 50, nullptr, &hit), PM_OK);
    EXPECT_EQ(hit, 0);
    EXPECT_EQ(pm_ovals_overlap(0, 0, 10, 10, nullptr, 0, 0, 10, 10, &flat, &hit), PM_OK);
    EXPECT_EQ(hit, 0);
    EXPECT_EQ(pm_point_in_oval(3, 6, 0, 0, 4, 4, &flat, &hit), PM_OK);
    EXPECT_EQ(hit, 0);
    EXPECT_EQ(pm_polygons_overlap(square, 4, &flat, square, 4, nullptr, &hit), PM_OK);
    EXPECT_EQ(hit, 0);
}

// Images under random transforms (sub-pixel, mirrored, rotated, shrunk) against a walk over every
// pixel of the plane; pixels whose centres fall within rounding of a texel's side are not relied on.
TEST(PixmoteCollisionTest, ImagesOverlapAsEveryPixelSays) {
    pm_software* sw = pm_software_create(1, 1);
    pm_context* ctx = pm_context_create(pm_software_device(sw));
    Random random;
    int hits = 0, misses = 0;
    for (int round = 0; round < 300; ++round) {
        pm_image* images[2];
        std::vector<uint8_t> rgba[2];
        int w[2], h[2];
        pm_transform t[2];
        bool identity[2];
        for (int k = 0; k < 2; ++k) {
            w[k] = 1 + random.below(12), h[k] = 1 + random.below(12);
            for (int i = 0; i < w[k] * h[k]; ++i)
                rgba[k].insert(rgba[k].end(), {9, 9, 9, uint8_t(random.below(3) ? 0 : random.below(256))});
            images[k] = pm_image_create_rgba(ctx, w[k], h[k], rgba[k].data(), w[k] * 4);
            t[k] = random.transform(&identity[k]);
            t[k].e /= 4, t[k].f /= 4;
        }
        const uint8_t threshold = uint8_t(random.below(4) ? random.below(128) : 0);
        int hit = -1;
        ASSERT_EQ(pm_images_overlap(images[0], identity[0] ? nullptr : &t[0], images[1],
                                    identity[1] ? nullptr : &t[1], threshold, &hit),
                  PM_OK);
        bool sure = false, maybe = false;
        for (int y = -80; y < 80 && !sure; ++y)
            for (int x = -80; x < 80; ++x) {
                int solid = 0, close = 0;
                for (int k = 0; k < 2; ++k) {
                    const pm_transform m = identity[k] ? pm_transform{1, 0, 0, 1, 0, 0} : t[k];
                    double det = double(m.a) * m.d - double(m.b) * m.c, dx = x + 0.5 - m.e,
                           dy = y + 0.5 - m.f;
                    double u = (m.d * dx - m.c * dy) / det, v = (m.a * dy - m.b * dx) / det;
                    double near = std::min(std::fabs(u - std::round(u)), std::fabs(v - std::round(v)));
                    bool inside = u >= 0 && v >= 0 && u < w[k] && v < h[k];
                    if (inside && rgba[k][(int(v) * w[k] + int(u)) * 4 + 3] > threshold)
                        ++solid, close += near < 1e-6;
                    else if (near < 1e-6)
                        ++close;
                }
                sure |= solid == 2 && close == 0;
                maybe |= solid + close >= 2;
            }
        for (pm_image* image : images) pm_image_destroy(image);
        if (!sure && maybe) continue;
        EXPECT_EQ(hit, sure ? 1 : 0) << "round " << round;
        ++(hit ? hits : misses);
    }
    EXPECT_GT(hits, 30);
    EXPECT_GT(misses, 30);
    pm_context_destroy(ctx);
    pm_software_destroy(sw);
}
