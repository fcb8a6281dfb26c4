// Pixmote drawn on its software device and compared with committed reference images. A reference is
// rewritten by running with PIXMOTE_WRITE_REFERENCE=1 (then looked at before it is committed).
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "pixmote/include/pixmote.h"
#include "pixmote/include/pixmote_software.h"

namespace {

const float kStar[] = {32, 4, 49, 58, 4, 24, 60, 24, 15, 58};
const float kConcave[] = {4, 4, 60, 4, 60, 60, 40, 60, 40, 24, 24, 24, 24, 60, 4, 60};

std::string referencePath(const std::string& name) {
    return std::string(HALVERN_TEST_DATA) + "/pixmote/" + name;
}

// Draws a frame into a fresh 64 x 64 software target on a background and checks it against the reference.
void expectImage(const std::string& name, const std::function<void(pm_context*)>& draw,
                 uint8_t background[4]) {
    pm_software* sw = pm_software_create(64, 64);
    pm_software_clear(sw, background[0], background[1], background[2], background[3]);
    pm_context* ctx = pm_context_create(pm_software_device(sw));
    ASSERT_EQ(pm_begin_frame(ctx, 64, 64), PM_OK);
    draw(ctx);
    ASSERT_EQ(pm_end_frame(ctx), PM_OK);
    const uint8_t* pixels = pm_software_pixels(sw);

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = image.height = 64;
    image.format = PNG_FORMAT_RGBA;
    if (std::getenv("PIXMOTE_WRITE_REFERENCE"))
        png_image_write_to_file(&image, referencePath(name).c_str(), 0, pixels, 0, nullptr);

    png_image ref{};
    ref.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&ref, referencePath(name).c_str())) << name;
    ref.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> expected(PNG_IMAGE_SIZE(ref));
    ASSERT_TRUE(png_image_finish_read(&ref, nullptr, expected.data(), 0, nullptr));
    ASSERT_EQ(expected.size(), 64u * 64 * 4);
    int differing = 0;
    for (size_t i = 0; i < expected.size(); ++i)
        if (std::abs(expected[i] - pixels[i]) > 1) ++differing;
    EXPECT_EQ(differing, 0) << name;
    if (differing) png_image_write_to_file(&image, ("pixmote-actual-" + name).c_str(), 0, pixels, 0, nullptr);
    pm_context_destroy(ctx);
    pm_software_destroy(sw);
}

// The pixels of a frame drawn into a fresh 64 x 64 transparent software target.
std::vector<uint8_t> render(const std::function<void(pm_context*)>& draw) {
    pm_software* sw = pm_software_create(64, 64);
    pm_context* ctx = pm_context_create(pm_software_device(sw));
    pm_begin_frame(ctx, 64, 64);
    draw(ctx);
    pm_end_frame(ctx);
    std::vector<uint8_t> pixels(pm_software_pixels(sw), pm_software_pixels(sw) + 64 * 64 * 4);
    pm_context_destroy(ctx);
    pm_software_destroy(sw);
    return pixels;
}

uint8_t kTransparent[4] = {0, 0, 0, 0};
uint8_t kWhite[4] = {255, 255, 255, 255};

}  // namespace

// Rectangles on and off the pixel grid, outlines, and a clip that cuts one; then a concave and a
// self-intersecting outline under both fill rules (the star's centre is empty only under even-odd).
TEST(PixmoteDrawTest, RectanglesAndPolygonsUnderBothFillRules) {
    expectImage(
        "rects.png",
        [](pm_context* ctx) {
            pm_set_color(ctx, 200, 30, 30, 255);
            pm_fill_rect(ctx, 4, 4, 20, 12);
            pm_set_color(ctx, 30, 30, 200, 255);
            pm_fill_rect(ctx, 28.5f, 4.25f, 20.5f, 12.5f);
            pm_set_line_width(ctx, 3);
            pm_set_color(ctx, 20, 150, 20, 255);
            pm_stroke_rect(ctx, 4.5f, 22.5f, 40, 20);
            pm_set_clip(ctx, 0, 48, 40, 10);
            pm_set_color(ctx, 0, 0, 0, 128);
            pm_fill_rect(ctx, 10, 44, 50, 18);
        },
        kTransparent);
    expectImage(
        "polygons.png",
        [](pm_context* ctx) {
            pm_set_color(ctx, 0, 0, 0, 255);
            pm_scale(ctx, 0.5f, 0.5f);
            pm_fill_polygon(ctx, kStar, 5, PM_FILL_NONZERO);
            pm_translate(ctx, 64, 0);
            pm_fill_polygon(ctx, kStar, 5, PM_FILL_EVENODD);
            pm_translate(ctx, -64, 64);
            pm_fill_polygon(ctx, kConcave, 8, PM_FILL_EVENODD);
            pm_set_antialias(ctx, 0);
            pm_translate(ctx, 64, 0);
            pm_fill_polygon(ctx, kStar, 5, PM_FILL_EVENODD);
        },
        kWhite);
}

// Rotation and skew through the stack: the second shape is drawn after a pop, untouched by the first.
TEST(PixmoteDrawTest, TransformStackRotatesAndSkews) {
    expectImage(
        "transforms.png",
        [](pm_context* ctx) {
            pm_push(ctx);
            pm_translate(ctx, 20, 20);
            pm_rotate(ctx, 0.5f);
            pm_set_color(ctx, 40, 90, 200, 255);
            pm_fill_rect(ctx, -12, -8, 24, 16);
            EXPECT_EQ(pm_pop(ctx), PM_OK);
            pm_push(ctx);
            pm_translate(ctx, 20, 40);
            pm_skew(ctx, 0.6f, 0);
            pm_scale(ctx, 1.5f, 1);
            pm_set_color(ctx, 220, 120, 0, 200);
            pm_fill_rect(ctx, 0, 0, 20, 16);
            pm_pop(ctx);
            pm_set_color(ctx, 0, 0, 0, 255);
            pm_fill_rect(ctx, 44, 4, 4, 4);
        },
        kWhite);
}

// Lines with each cap, half-transparent polylines with each join (overlaps inside one stroke must
// not darken), an outlined triangle, rounded rectangles, ovals, a pie slice and an arc with round caps.
TEST(PixmoteDrawTest, StrokesCurvesAndRoundedShapes) {
    expectImage(
        "strokes.png",
        [](pm_context* ctx) {
            pm_set_color(ctx, 30, 30, 30, 255);
            pm_set_line_width(ctx, 5);
            for (int cap = 0; cap < 3; ++cap) {
                EXPECT_EQ(pm_set_line_cap(ctx, static_cast<pm_line_cap>(cap)), PM_OK);
                EXPECT_EQ(pm_line(ctx, 6, 5 + 8 * cap, 20, 5 + 8 * cap), PM_OK);
            }
            pm_set_line_cap(ctx, PM_CAP_BUTT);
            pm_set_line_width(ctx, 3);
            pm_set_color(ctx, 200, 40, 40, 160);
            for (int join = 0; join < 3; ++join) {
                const float x = 27 + 12 * join, v[] = {x, 4, x + 5, 22, x + 10, 4};
                pm_set_line_join(ctx, static_cast<pm_line_join>(join));
                EXPECT_EQ(pm_polyline(ctx, v, 3), PM_OK);
            }
            pm_set_line_width(ctx, 2);
            pm_set_line_join(ctx, PM_JOIN_MITER);
            pm_set_color(ctx, 30, 110, 30, 255);
            const float triangle[] = {44, 43, 53, 29, 62, 43};
            EXPECT_EQ(pm_stroke_polygon(ctx, triangle, 3), PM_OK);
            pm_set_color(ctx, 40, 80, 200, 255);
            EXPECT_EQ(pm_fill_rounded_rect(ctx, 2, 28, 18, 15, 5), PM_OK);
            EXPECT_EQ(pm_stroke_rounded_rect(ctx, 22, 28, 18, 15, 5), PM_OK);
            EXPECT_EQ(pm_fill_oval(ctx, 2, 47, 15, 15), PM_OK);
            EXPECT_EQ(pm_stroke_oval(ctx, 19, 48, 16, 12), PM_OK);
            EXPECT_EQ(pm_fill_arc(ctx, 36, 47, 14, 14, 0, 4.7f), PM_OK);
            pm_set_line_width(ctx, 3);
            pm_set_line_cap(ctx, PM_CAP_ROUND);
            EXPECT_EQ(pm_stroke_arc(ctx, 50, 47, 13, 15, 3.1416f, 3.1416f), PM_OK);
        },
        kWhite);
}

// A unit circle blown up by the transform is as round as one drawn at that size: curves take their
// segment count from the size they reach on the device.
TEST(PixmoteDrawTest, CurvesStaySmoothUnderScaling) {
    std::vector<uint8_t> direct = render([](pm_context* ctx) {
        pm_fill_oval(ctx, 4, 4, 56, 56);
        pm_set_line_width(ctx, 4);
        pm_set_color(ctx, 255, 0, 0, 255);
        pm_stroke_oval(ctx, 10, 10, 44, 44);
    });
    std::vector<uint8_t> scaled = render([](pm_context* ctx) {
        pm_translate(ctx, 32, 32);
        pm_scale(ctx, 28, 28);
        pm_fill_oval(ctx, -1, -1, 2, 2);
        pm_set_line_width(ctx, 4 / 28.0f);
        pm_set_color(ctx, 255, 0, 0, 255);
        pm_stroke_oval(ctx, -22 / 28.0f, -22 / 28.0f, 44 / 28.0f, 44 / 28.0f);
    });
    int worst = 0;
    for (size_t i = 0; i < direct.size(); ++i) worst = std::max(worst, std::abs(direct[i] - scaled[i]));
    EXPECT_LE(worst, 8);
}

// Each blend mode over a background of opaque and half-transparent bands.
TEST(PixmoteDrawTest, BlendModes) {
    expectImage(
        "blend.png",
        [](pm_context* ctx) {
            pm_set_color(ctx, 40, 160, 200, 255);
            pm_fill_rect(ctx, 0, 0, 64, 32);
            pm_set_color(ctx, 200, 60, 60, 128);
            pm_fill_rect(ctx, 0, 32, 64, 32);
            for (int mode = 0; mode < PM_BLEND_MODE_COUNT; ++mode) {
                pm_set_blend_mode(ctx, static_cast<pm_blend_mode>(mode));
                if (mode == PM_BLEND_PREMULTIPLIED)
                    pm_set_color(ctx, 120, 120, 0, 160);  // (240, 240, 0) at 5/8 alpha
                else
                    pm_set_color(ctx, 240, 240, 0, 160);
                pm_fill_rect(ctx, 2 + mode * 12.25f, 8, 10, 48);
            }
        },
        kTransparent);
}
