// Images decoded from PNG and JPEG and text in the test image font, drawn on the software device and
// compared with committed reference images (rewritten with PIXMOTE_WRITE_REFERENCE=1).
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "pixmote/include/pixmote.h"
#include "pixmote/include/pixmote_software.h"

namespace {

std::string data(const std::string& name) {
    return std::string(HALVERN_TEST_DATA) + "/pixmote/" + name;
}

// Draws a w x h frame on opaque white, counting the device's draw calls, and compares it with the
// reference; returns the pixels.
std::vector<uint8_t> expectImage(const std::string& name, int w, int h,
                                 const std::function<void(pm_context*)>& draw, int* drawCalls = nullptr) {
    pm_software* sw = pm_software_create(w, h);
    pm_software_clear(sw, 255, 255, 255, 255);
    static int calls;
    static int (*forward)(void*, const pm_vertex*, int, uint32_t, pm_blend_mode);
    pm_device device = *pm_software_device(sw);
    forward = device.draw_triangles;
    calls = 0;
    device.draw_triangles = [](void* u, const pm_vertex* v, int n, uint32_t t, pm_blend_mode b) {
        ++calls;
        return forward(u, v, n, t, b);
    };
    pm_context* ctx = pm_context_create(&device);
    EXPECT_EQ(pm_begin_frame(ctx, w, h), PM_OK);
    draw(ctx);
    EXPECT_EQ(pm_end_frame(ctx), PM_OK);
    if (drawCalls) *drawCalls = calls;
    std::vector<uint8_t> pixels(pm_software_pixels(sw), pm_software_pixels(sw) + w * h * 4);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = w, image.height = h, image.format = PNG_FORMAT_RGBA;
    if (std::getenv("PIXMOTE_WRITE_REFERENCE"))
        png_image_write_to_file(&image, data(name).c_str(), 0, pixels.data(), 0, nullptr);
    png_image ref{};
    ref.version = PNG_IMAGE_VERSION;
    std::vector<uint8_t> expected(pixels.size());
    EXPECT_TRUE(png_image_begin_read_from_file(&ref, data(name).c_str()) && ref.width == unsigned(w) &&
                ref.height == unsigned(h))
        << name;
    ref.format = PNG_FORMAT_RGBA;
    if (ref.opaque) png_image_finish_read(&ref, nullptr, expected.data(), 0, nullptr);
    int differing = 0;
    for (size_t i = 0; i < pixels.size(); ++i) differing += std::abs(expected[i] - pixels[i]) > 1;
    EXPECT_EQ(differing, 0) << name;
    if (differing)
        png_image_write_to_file(&image, ("pixmote-actual-" + name).c_str(), 0, pixels.data(), 0, nullptr);
    pm_context_destroy(ctx);
    pm_software_destroy(sw);
    return pixels;
}

// The box of pixels that are not the white background.
void inkBox(const std::vector<uint8_t>& pixels, int w, int box[4]) {
    box[0] = box[1] = 1 << 20, box[2] = box[3] = -1;
    for (size_t i = 0; i < pixels.size(); i += 4) {
        if (pixels[i] == 255 && pixels[i + 1] == 255 && pixels[i + 2] == 255) continue;
        const int x = int(i / 4) % w, y = int(i / 4) / w;
        box[0] = std::min(box[0], x), box[1] = std::min(box[1], y);
        box[2] = std::max(box[2], x + 1), box[3] = std::max(box[3], y + 1);
    }
}

}  // namespace

// Every stored form the decoder reads (RGBA, palette with transparency, 16-bit grey and alpha
// interlaced, colour, grey and CMYK JPEG) in a row, then an image tinted, a part of one scaled up, and
// a JPEG from memory rotated and half transparent.
TEST(PixmoteImageTextTest, DecodesPngAndJpegAndDrawsThem) {
    expectImage("images.png", 96, 64, [](pm_context* ctx) {
        const char* forms[] = {"rgba.png",   "palette.png", "grey16_interlaced.png",
                               "colour.jpg", "grey.jpg",    "cmyk.jpg"};
        for (int i = 0; i < 6; ++i) {
            pm_image* image = pm_image_load_file(ctx, data(std::string("images/") + forms[i]).c_str());
            ASSERT_NE(image, nullptr) << forms[i];
            int w = 0, h = 0;
            pm_image_size(image, &w, &h);
            EXPECT_EQ(w * 100 + h, 2424) << forms[i];
            EXPECT_EQ(pm_draw_image_rect(ctx, image, 0, 0, 24, 24, 16 * i, 0, 16, 16), PM_OK);
            pm_flush(ctx);
            pm_image_destroy(image);
        }
        pm_image* png = pm_image_load_file(ctx, data("images/rgba.png").c_str());
        pm_set_color(ctx, 255, 80, 80, 255);
        pm_draw_image(ctx, png, 2, 20);
        pm_set_color(ctx, 255, 255, 255, 255);
        pm_draw_image_rect(ctx, png, 4, 4, 16, 16, 28, 20, 32, 32);
        std::vector<char> jpeg(4096);
        FILE* file = std::fopen(data("images/colour.jpg").c_str(), "rb");
        jpeg.resize(std::fread(jpeg.data(), 1, jpeg.size(), file));
        std::fclose(file);
        pm_image* fromMemory = pm_image_load_memory(ctx, jpeg.data(), jpeg.size());
        ASSERT_NE(fromMemory, nullptr);
        pm_translate(ctx, 78, 42);
        pm_rotate(ctx, 0.5f);
        pm_set_color(ctx, 255, 255, 255, 160);
        pm_draw_image(ctx, fromMemory, -12, -12);
        pm_flush(ctx);
        pm_image_destroy(png);
        pm_image_destroy(fromMemory);
    });
}

// The three alignments within a wrapping width, a paragraph wrapped at spaces with a word longer than
// the line broken, kerning, Cyrillic, an invalid byte drawn as U+FFFD, and a block that lands where
// pm_measure_text says. Each string is one device call.
TEST(PixmoteImageTextTest, LaysOutAlignsWrapsAndMeasuresText) {
    pm_software* sw = pm_software_create(8, 8);
    pm_context* loader = pm_context_create(pm_software_device(sw));
    pm_font* font = pm_font_load_file(loader, data("font/dejavu_16.fnt").c_str());
    ASSERT_NE(font, nullptr) << pm_error_string(pm_last_error());
    EXPECT_EQ(pm_font_line_height(font), 19);
    float w = 0, h = 0, a = 0, v = 0;
    pm_measure_text(font, "A", 0, &a, &h);
    pm_measure_text(font, "V", 0, &v, &h);
    EXPECT_EQ(pm_measure_text(font, "AV", 0, &w, &h), PM_OK);
    EXPECT_EQ(w, a + v - 1);  // the pair's kerning
    // ... which moves the second glyph itself: "AV" draws as "A" with "V" one pixel closer.
    std::vector<uint8_t> drawn[2];
    for (int k = 0; k < 2; ++k) {
        pm_software* target = pm_software_create(40, 24);
        pm_context* ctx = pm_context_create(pm_software_device(target));
        pm_font* f = pm_font_load_file(ctx, data("font/dejavu_16.fnt").c_str());
        pm_begin_frame(ctx, 40, 24);
        pm_draw_text(ctx, f, k ? "A" : "AV", 2, 2, 0, PM_ALIGN_LEFT);
        if (k) pm_draw_text(ctx, f, "V", 2 + a - 1, 2, 0, PM_ALIGN_LEFT);
        pm_end_frame(ctx);
        drawn[k].assign(pm_software_pixels(target), pm_software_pixels(target) + 40 * 24 * 4);
        pm_font_destroy(f), pm_context_destroy(ctx), pm_software_destroy(target);
    }
    EXPECT_TRUE(drawn[0] == drawn[1]) << "kerning moves the second glyph";
    EXPECT_EQ(pm_measure_text(font, "on\nthree  ", 0, &w, &h), PM_OK);
    pm_measure_text(font, "three", 0, &a, &v);
    EXPECT_EQ(w, a);  // trailing spaces do not count
    EXPECT_EQ(h, 38);
    const char* paragraph = "Wrap these words, and Incomprehensibilities";
    pm_measure_text(font, paragraph, 60, &w, &h);
    EXPECT_LE(w, 60);

    int calls = 0;
    // Textures belong to the device they were made on: each frame loads the font on its own.
    expectImage("text.png", 128, 96, [&](pm_context* ctx) {
        pm_font* font = pm_font_load_file(ctx, data("font/dejavu_16.fnt").c_str());
        pm_set_color(ctx, 20, 20, 20, 255);
        pm_draw_text(ctx, font, "Left", 4, 0, 120, PM_ALIGN_LEFT);
        pm_draw_text(ctx, font, "Centre", 4, 16, 120, PM_ALIGN_CENTER);
        pm_draw_text(ctx, font, "Right", 4, 32, 120, PM_ALIGN_RIGHT);
        pm_draw_text(ctx, font, "AVATAR To", 64, 50, 0, PM_ALIGN_CENTER);
        pm_set_color(ctx, 160, 30, 30, 255);
        pm_draw_text(ctx, font, "Мир, ёж \xff!", 124, 72, 0, PM_ALIGN_RIGHT);
        pm_flush(ctx);
        pm_font_destroy(font);
    });
    std::vector<uint8_t> pixels = expectImage(
        "text_block.png", 64, 144,
        [&](pm_context* ctx) {
            pm_font* font = pm_font_load_file(ctx, data("font/dejavu_16.fnt").c_str());
            pm_set_color(ctx, 0, 0, 0, 255);
            pm_draw_text(ctx, font, paragraph, 2, 2, 60, PM_ALIGN_LEFT);
            pm_flush(ctx);
            pm_font_destroy(font);
        },
        &calls);
    EXPECT_EQ(calls, 1);
    int box[4];
    inkBox(pixels, 64, box);
    pm_measure_text(font, paragraph, 60, &w, &h);
    EXPECT_GE(box[0], 2);
    EXPECT_LE(box[2], 2 + w + 1);
    EXPECT_GE(box[1], 2);
    EXPECT_LE(box[3], 2 + h);
    EXPECT_GE(box[2], 2 + w - 2);
    pm_font_destroy(font);
    pm_context_destroy(loader);
    pm_software_destroy(sw);
}
