// The software device's shortcuts and the filler's against what they stand for: upright rectangles
// against their two triangles drawn one by one, and the coverage of curves, strokes and crossed
// outlines against their exact areas.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "pixmote/include/pixmote.h"
#include "pixmote/include/pixmote_software.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// The summed alpha (in pixels) of a frame drawn in white on a transparent 128 x 128 target. road 1
// asks for antialiasing by geometry, road 2 too but without coverage rows.
double coveredArea(const std::function<void(pm_context*)>& draw, std::vector<uint8_t>* pixels = nullptr,
                   int road = 0) {
    pm_software* sw = pm_software_create(128, 128);
    pm_device device = *pm_software_device(sw);
    device.geometric_antialias = road > 0;
    if (road == 2) device.fill_runs = nullptr;
    pm_context* ctx = pm_context_create(&device);
    pm_begin_frame(ctx, 128, 128);
    draw(ctx);
    pm_end_frame(ctx);
    double sum = 0;
    const uint8_t* p = pm_software_pixels(sw);
    for (int i = 0; i < 128 * 128; ++i) sum += p[i * 4 + 3] / 255.0;
    if (pixels) pixels->assign(p, p + 128 * 128 * 4);
    pm_context_destroy(ctx);
    pm_software_destroy(sw);
    return sum;
}

}  // namespace

// Two triangles tiling an upright rectangle, in any order of corners, textured or not, translucent
// or not, over opaque or clear pixels: the same pixels as the two drawn one at a time.
TEST(PixmoteSoftwareTest, RectanglesDrawAsTheirTwoTriangles) {
    std::mt19937 rng(34);
    std::vector<uint8_t> texels(4 * 4 * 4);
    for (uint8_t& t : texels) t = static_cast<uint8_t>(rng());
    const int orders[4][6] = {{0, 1, 2, 0, 2, 3}, {1, 2, 3, 3, 0, 1}, {2, 0, 1, 3, 2, 0}, {0, 3, 1, 2, 1, 3}};
    int differing = 0;
    for (int round = 0; round < 400; ++round) {
        pm_software* together = pm_software_create(24, 24);
        pm_software* apart = pm_software_create(24, 24);
        const uint8_t background = round % 3 == 0 ? 0 : 255;
        pm_software_clear(together, 40, 90, 160, background);
        pm_software_clear(apart, 40, 90, 160, background);
        const pm_device* a = pm_software_device(together);
        const pm_device* b = pm_software_device(apart);
        uint32_t texture = round % 2 ? a->create_texture(a->user, 4, 4, texels.data()) : PM_NO_TEXTURE;
        if (texture) b->create_texture(b->user, 4, 4, texels.data());
        // Quarter-pixel corners and power-of-two sides keep every sample exact on both paths.
        const float x0 = static_cast<int>(rng() % 60) / 4.0f, y0 = static_cast<int>(rng() % 60) / 4.0f;
        const float x1 = x0 + float(1 << (rng() % 4)), y1 = y0 + float(1 << (rng() % 4));
        const float xs[4] = {x0, x1, x1, x0}, ys[4] = {y0, y0, y1, y1};
        pm_vertex corner[4], quad[6];
        for (int i = 0; i < 4; ++i)
            corner[i] = {xs[i],
                         ys[i],
                         i == 1 || i == 2 ? 1.0f : 0.0f,
                         i >= 2 ? 1.0f : 0.0f,
                         200,
                         120,
                         30,
                         static_cast<uint8_t>(round % 4 ? 255 : 130)};
        for (int i = 0; i < 6; ++i) quad[i] = corner[orders[round % 4][i]];
        EXPECT_EQ(a->draw_triangles(a->user, quad, 6, texture, PM_BLEND_NORMAL), 0);
        b->draw_triangles(b->user, quad, 3, texture, PM_BLEND_NORMAL);
        b->draw_triangles(b->user, quad + 3, 3, texture, PM_BLEND_NORMAL);
        differing += std::memcmp(pm_software_pixels(together), pm_software_pixels(apart), 24 * 24 * 4) != 0;
        pm_software_destroy(together);
        pm_software_destroy(apart);
    }
    EXPECT_EQ(differing, 0);
}

// Curves, turned shapes, thick outlines (closed and open, bending gently) and a crossed outline
// cover their exact areas, leave their holes empty, and a shape and its mirror image are mirrored.
TEST(PixmoteSoftwareTest, CoverageMatchesExactAreas) {
    auto near = [](double got, double want, double share) { EXPECT_NEAR(got, want, want * share); };
    near(coveredArea([](pm_context* c) { pm_fill_oval(c, 20, 20, 80, 80); }), kPi * 1600, 0.004);
    near(coveredArea([](pm_context* c) {
             pm_translate(c, 64, 64);
             pm_rotate(c, 0.3f);
             pm_fill_rect(c, -30, -30, 60, 60);
         }),
         3600, 0.002);
    std::vector<uint8_t> ring;
    near(coveredArea(
             [](pm_context* c) {
                 pm_set_line_width(c, 6);
                 pm_stroke_oval(c, 20, 20, 80, 80);
             },
             &ring),
         kPi * (1600 - 34 * 34), 0.01);
    EXPECT_EQ(ring[(60 * 128 + 60) * 4 + 3], 0);
    EXPECT_EQ(ring[(22 * 128 + 60) * 4 + 3], 255);
    near(coveredArea([](pm_context* c) {
             pm_set_line_width(c, 6);
             pm_stroke_arc(c, 20, 20, 80, 80, 0.5f, float(kPi / 2));
         }),
         kPi * (1600 - 34 * 34) / 4, 0.01);
    // A bow tie: two triangles of 40 x 20 under either rule.
    const float bow[] = {24, 24, 104, 64, 104, 24, 24, 64};
    for (pm_fill_rule rule : {PM_FILL_NONZERO, PM_FILL_EVENODD})
        near(coveredArea([&](pm_context* c) { pm_fill_polygon(c, bow, 4, rule); }), 1600, 0.002);

    const float shape[] = {10, 10, 90, 30, 50, 50, 110, 110, 30, 70};
    float mirrored[10];
    for (int i = 0; i < 10; ++i) mirrored[i] = i % 2 ? shape[i] : 128 - shape[i];
    std::vector<uint8_t> left, right;
    coveredArea([&](pm_context* c) { pm_fill_polygon(c, shape, 5, PM_FILL_NONZERO); }, &left);
    coveredArea([&](pm_context* c) { pm_fill_polygon(c, mirrored, 5, PM_FILL_NONZERO); }, &right);
    int worst = 0;
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x)
            worst =
                std::max(worst, std::abs(left[(y * 128 + x) * 4 + 3] - right[(y * 128 + 127 - x) * 4 + 3]));
    EXPECT_LE(worst, 1);
}

// Outlines that cannot cross themselves cover their exact area: whichever way round they are given,
// with or without their first point repeated, under either rule, and with the hole of an outline cut
// whichever way its two sides are wound.
TEST(PixmoteSoftwareTest, SimpleOutlinesCoverTheirExactArea) {
    const float square[] = {10.5f, 10.25f, 70.5f, 10.25f, 70.5f, 50.25f, 10.5f, 50.25f, 10.5f, 10.25f};
    float reversed[10];
    for (int i = 0; i < 5; ++i) reversed[2 * i] = square[8 - 2 * i], reversed[2 * i + 1] = square[9 - 2 * i];
    const float* const outlines[] = {square, reversed};
    for (pm_fill_rule rule : {PM_FILL_NONZERO, PM_FILL_EVENODD})
        for (const float* points : outlines)
            for (size_t count : {size_t(4), size_t(5)})
                EXPECT_NEAR(coveredArea([&](pm_context* c) { pm_fill_polygon(c, points, count, rule); }),
                            2400, 0.5);
    // A concave outline, off the pixel grid.
    const float u[] = {4, 4, 60, 4, 60, 60, 40, 60, 40, 24, 24, 24, 24, 60, 4, 60};
    float shifted[16];
    for (int i = 0; i < 16; ++i) shifted[i] = u[i] + (i % 2 ? 0.6f : 0.3f);
    EXPECT_NEAR(coveredArea([&](pm_context* c) { pm_fill_polygon(c, shifted, 8, PM_FILL_EVENODD); }), 2560,
                0.5);
    // An edge upright but for a hair, crossing the clip's left side: the clip's first column is
    // covered, nothing left of it is touched.
    std::vector<uint8_t> hair;
    const float sliver[] = {4.9999995f, -1000, 5.0000005f, 1101, 40, 1101, 40, -1000};
    coveredArea(
        [&](pm_context* c) {
            pm_set_clip(c, 5, 0, 30, 128);
            EXPECT_EQ(pm_fill_polygon(c, sliver, 4, PM_FILL_NONZERO), PM_OK);
        },
        &hair);
    for (int y = 0; y < 128; y += 9) {
        EXPECT_EQ(hair[(y * 128 + 4) * 4 + 3], 0);
        EXPECT_EQ(hair[(y * 128 + 5) * 4 + 3], 255);
    }
    // Three quarters of an oval, flattened inside its curve by a tenth of a pixel at most.
    EXPECT_NEAR(coveredArea([](pm_context* c) { pm_fill_arc(c, 14, 14, 100, 100, 1, float(1.5 * kPi)); }),
                0.75 * kPi * 2500 - 12, 4);
    EXPECT_NEAR(coveredArea([](pm_context* c) {
                    pm_set_line_width(c, 5.5f);
                    pm_stroke_rect(c, 10.5f, 10.25f, 100, 80);
                }),
                100 * 80 - 89 * 69, 0.5);
    // A stroke that crosses itself is one band whose strands add up where they cross.
    std::vector<uint8_t> bow;
    const float crossing[] = {20, 20, 100, 100, 100, 20, 20, 100};
    coveredArea(
        [&](pm_context* c) {
            pm_set_line_width(c, 6);
            pm_set_line_join(c, PM_JOIN_ROUND);
            pm_stroke_polygon(c, crossing, 4);
        },
        &bow);
    for (int y : {57, 60, 63}) EXPECT_EQ(bow[(y * 128 + 60) * 4 + 3], 255) << y;
    EXPECT_EQ(bow[(60 * 128 + 30) * 4 + 3], 0);
}

// Fills reach the device as coverage rows (fill_runs) or, without it, as one quad a fill masked by its
// coverage. Both give the same pixels (within a step of rounding) in every blend mode, under clip and
// transform, with images between the fills.
TEST(PixmoteSoftwareTest, FillsAgreeWithAndWithoutCoverageRows) {
    std::vector<uint8_t> frames[2];
    for (int road = 0; road < 2; ++road) {
        pm_software* sw = pm_software_create(96, 64);
        pm_software_clear(sw, 200, 180, 40, 255);
        pm_device device = *pm_software_device(sw);
        if (road) device.fill_runs = nullptr;
        pm_context* ctx = pm_context_create(&device);
        const uint8_t texel[4] = {10, 200, 90, 180};
        pm_image* image = pm_image_create_rgba(ctx, 1, 1, texel, 4);
        pm_begin_frame(ctx, 96, 64);
        for (int mode = 0; mode < PM_BLEND_MODE_COUNT; ++mode) {
            pm_set_blend_mode(ctx, static_cast<pm_blend_mode>(mode));
            pm_set_color(ctx, 40 * mode, 250 - 30 * mode, 90, 130 + 20 * mode);
            const pm_transform t = {1, 0.2f, -0.1f, 1, 18.3f * mode, 3.7f};
            pm_set_transform(ctx, &t);
            pm_fill_oval(ctx, 0, 0, 15.5f, 40);
            pm_draw_image_rect(ctx, image, 0, 0, 1, 1, 2, 30, 9, 9);
            pm_set_line_width(ctx, 2.5f);
            pm_stroke_arc(ctx, 1, 20, 14, 30, 0.3f, 4);
        }
        pm_set_clip(ctx, 10, 10, 70, 40);
        pm_set_blend_mode(ctx, PM_BLEND_NORMAL);
        pm_identity(ctx);
        const float star[] = {-50, 30, 150, 5, 20, 90, 40, -40, 70, 95};
        pm_fill_polygon(ctx, star, 5, PM_FILL_EVENODD);
        pm_end_frame(ctx);
        frames[road].assign(pm_software_pixels(sw), pm_software_pixels(sw) + 96 * 64 * 4);
        pm_image_destroy(image), pm_context_destroy(ctx), pm_software_destroy(sw);
    }
    int off = 0;
    for (size_t i = 0; i < frames[0].size(); ++i) off += std::abs(frames[0][i] - frames[1][i]) > 1;
    EXPECT_EQ(off, 0);
}

// Convex fills, single lines and the rings of outlines antialiased by geometry keep their areas, under
// a transform and beside shapes that still come as coverage (a crossed star between them shares their
// batch through the masks' white texel).
TEST(PixmoteSoftwareTest, GeometricAntialiasKeepsAreas) {
    const pm_transform turned = {0.8776f, 0.4794f, -0.4794f, 0.8776f, 60, 4};
    const float star[] = {20, 60, 110, 80, 30, 120, 64, 50, 100, 120};
    const std::vector<std::function<void(pm_context*)>> cases = {
        [&](pm_context* c) { pm_set_transform(c, &turned), pm_fill_rect(c, 0, 0, 40, 25.5f); },
        [](pm_context* c) { pm_fill_oval(c, 10.3f, 20, 90, 50); },
        [](pm_context* c) { pm_fill_arc(c, 10, 10, 100, 100, 0.3f, 4.5f); },
        [](pm_context* c) { pm_fill_rounded_rect(c, 5, 5, 100, 60, 12); },
        [](pm_context* c) { pm_set_line_width(c, 3), pm_stroke_rect(c, 10.5f, 10, 80, 50); },
        [](pm_context* c) { pm_set_line_width(c, 4), pm_stroke_oval(c, 10, 10, 100, 60); },
        [](pm_context* c) { pm_set_line_width(c, 2), pm_stroke_rounded_rect(c, 8, 9, 90, 70, 20); },
        [](pm_context* c) {
            pm_set_line_width(c, 6), pm_set_line_cap(c, PM_CAP_ROUND), pm_line(c, 10, 10, 100, 70);
            pm_set_line_cap(c, PM_CAP_SQUARE), pm_line(c, 10, 110, 100, 80);
            pm_set_line_width(c, 3), pm_stroke_arc(c, 30, 30, 80, 60, 0.5f, 3);
        },
        [](pm_context* c) {
            const float bend[] = {10, 100, 40, 90, 70, 95, 110, 120};
            pm_set_line_width(c, 5), pm_set_line_cap(c, PM_CAP_ROUND), pm_polyline(c, bend, 4);
            pm_stroke_arc(c, 20, 10, 90, 70, 3.5f, 2.5f);
        },
        [&](pm_context* c) {
            pm_fill_oval(c, 0, 0, 30, 30), pm_fill_polygon(c, star, 5, PM_FILL_EVENODD);
            pm_fill_rect(c, 90.5f, 2, 30, 20);
        },
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const double exact = coveredArea(cases[i]);
        for (int road = 1; road <= 2; ++road)
            EXPECT_NEAR(coveredArea(cases[i], nullptr, road), exact, 0.01 * exact + 2) << i << " " << road;
    }
}
