// The context against a device that records its calls: batching, clipping and the refusal of bad
// input; and the built library's exports and links.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "pixmote/include/pixmote.h"

namespace {

struct Recorder {
    struct Draw {
        int count;
        uint32_t texture;
        pm_blend_mode blend;
    };
    std::vector<Draw> draws;
    std::vector<std::string> events;
    pm_device device{};

    Recorder() {
        device.user = this;
        device.create_texture = [](void*, int, int, const uint8_t*) -> uint32_t { return 1; };
        device.update_texture = [](void*, uint32_t, int, int, int, int, const uint8_t*, int) { return 0; };
        device.destroy_texture = [](void*, uint32_t) {};
        device.draw_triangles = [](void* u, const pm_vertex*, int count, uint32_t texture,
                                   pm_blend_mode blend) {
            static_cast<Recorder*>(u)->draws.push_back({count, texture, blend});
            static_cast<Recorder*>(u)->events.push_back("draw");
            return 0;
        };
        device.set_clip = [](void* u, int on, int x, int y, int w, int h) {
            static_cast<Recorder*>(u)->events.push_back(on ? "clip " + std::to_string(x) + "," +
                                                                 std::to_string(y) + "," + std::to_string(w) +
                                                                 "," + std::to_string(h)
                                                           : "noclip");
        };
        device.begin_frame = [](void* u, int, int) { static_cast<Recorder*>(u)->events.push_back("begin"); };
        device.end_frame = [](void* u) { static_cast<Recorder*>(u)->events.push_back("end"); };
    }
};

std::string run(const char* command) {
    std::string out;
    if (FILE* pipe = popen(command, "r")) {
        char buffer[4096];
        while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

}  // namespace

// Draws with one texture and blend mode go out together; a new blend mode, a clip change and the
// end of the frame each send what is waiting, and an unchanged clip sends nothing.
TEST(PixmoteContextTest, BatchesUntilStateChanges) {
    Recorder rec;
    pm_context* ctx = pm_context_create(&rec.device);
    ASSERT_NE(ctx, nullptr);
    ASSERT_EQ(pm_begin_frame(ctx, 100, 100), PM_OK);
    for (int i = 0; i < 3; ++i) pm_fill_rect(ctx, 10 * i, 0, 8, 8);
    EXPECT_TRUE(rec.draws.empty());
    pm_set_blend_mode(ctx, PM_BLEND_ADDITIVE);
    pm_fill_rect(ctx, 0, 20, 8, 8);
    pm_set_clip(ctx, 5, 5, 50, 50);
    pm_set_clip(ctx, 5, 5, 50, 50);
    pm_fill_rect(ctx, 0, 40, 8, 8);
    pm_reset_clip(ctx);
    pm_fill_rect(ctx, 0, 60, 8, 8);
    ASSERT_EQ(pm_end_frame(ctx), PM_OK);
    ASSERT_EQ(rec.draws.size(), 4u);
    // A device without fill_runs gets an upright rectangle as one quad over its box, sampling its coverage
    // from the context's one coverage texture, so fills batch together as plain quads did.
    EXPECT_EQ(rec.draws[0].count, 3 * 6);
    EXPECT_EQ(rec.draws[0].blend, PM_BLEND_NORMAL);
    EXPECT_EQ(rec.draws[1].blend, PM_BLEND_ADDITIVE);
    EXPECT_NE(rec.draws[0].texture, PM_NO_TEXTURE);
    EXPECT_EQ(rec.draws[3].texture, rec.draws[0].texture);
    std::vector<std::string> expected = {"begin", "noclip", "draw", "draw", "clip 5,5,50,50",
                                         "draw",  "noclip", "draw", "end"};
    EXPECT_EQ(rec.events, expected);
    pm_context_destroy(ctx);
}

// Bad input is refused with its code and draws nothing; unbuilt parts say so instead of failing.
TEST(PixmoteContextTest, RefusesBadInputWithoutDrawing) {
    Recorder rec;
    pm_device missing = rec.device;
    missing.set_clip = nullptr;
    EXPECT_EQ(pm_context_create(&missing), nullptr);
    EXPECT_EQ(pm_last_error(), PM_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(pm_context_create(nullptr), nullptr);

    pm_context* ctx = pm_context_create(&rec.device);
    EXPECT_EQ(pm_fill_rect(ctx, 0, 0, 4, 4), PM_ERROR_STATE);
    EXPECT_EQ(pm_begin_frame(ctx, 0, 10), PM_ERROR_INVALID_ARGUMENT);
    ASSERT_EQ(pm_begin_frame(ctx, 64, 64), PM_OK);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(pm_fill_rect(ctx, nan, 0, 4, 4), PM_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(pm_fill_rect(ctx, 0, 0, 1e30f, 4), PM_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(pm_stroke_rect(ctx, 0, 0, 4, std::numeric_limits<float>::infinity()),
              PM_ERROR_INVALID_ARGUMENT);
    const float hugePoint[] = {0, 0, 3e9f, 0, 0, 10};
    EXPECT_EQ(pm_fill_polygon(ctx, hugePoint, 3, PM_FILL_NONZERO), PM_ERROR_INVALID_ARGUMENT);
    std::vector<float> tooMany(2 * (PM_MAX_POLYGON_POINTS + 1), 1.0f);
    EXPECT_EQ(pm_fill_polygon(ctx, tooMany.data(), PM_MAX_POLYGON_POINTS + 1, PM_FILL_EVENODD),
              PM_ERROR_TOO_LARGE);
    // A million points zig-zagging across the target would stall the host: refused before any work.
    std::vector<float> most(2 * PM_MAX_POLYGON_POINTS);
    for (size_t i = 0; i < PM_MAX_POLYGON_POINTS; ++i) {
        double a = 6.283185 * i / PM_MAX_POLYGON_POINTS, r = 2 + (i % 2) * 28;
        most[2 * i] = 32 + r * std::cos(a), most[2 * i + 1] = 32 + r * std::sin(a);
    }
    EXPECT_EQ(pm_fill_polygon(ctx, most.data(), PM_MAX_POLYGON_POINTS, PM_FILL_NONZERO), PM_ERROR_TOO_LARGE);
    EXPECT_EQ(pm_fill_polygon(ctx, nullptr, 3, PM_FILL_EVENODD), PM_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(pm_fill_polygon(ctx, hugePoint, 3, static_cast<pm_fill_rule>(7)), PM_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(pm_set_blend_mode(ctx, static_cast<pm_blend_mode>(-1)), PM_ERROR_INVALID_ARGUMENT);
    // A transform that overflows is refused; one that throws shapes far off the device refuses them.
    pm_scale(ctx, 1e30f, 1e30f);
    EXPECT_EQ(pm_scale(ctx, 1e30f, 1e30f), PM_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(pm_fill_rect(ctx, 1, 1, 1, 1), PM_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(pm_identity(ctx), PM_OK);
    EXPECT_EQ(pm_pop(ctx), PM_ERROR_STATE);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(pm_push(ctx), PM_OK);
    EXPECT_EQ(pm_push(ctx), PM_ERROR_TOO_LARGE);
    EXPECT_EQ(pm_line(ctx, 0, nan, 4, 4), PM_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(pm_polyline(ctx, hugePoint, 3), PM_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(pm_polyline(ctx, nullptr, 2), PM_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(pm_stroke_polygon(ctx, tooMany.data(), PM_MAX_POLYGON_POINTS + 1), PM_ERROR_TOO_LARGE);
    EXPECT_EQ(pm_set_line_width(ctx, -1), PM_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(pm_set_line_cap(ctx, static_cast<pm_line_cap>(3)), PM_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(pm_set_line_join(ctx, static_cast<pm_line_join>(-1)), PM_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(pm_fill_rounded_rect(ctx, 0, 0, 8, 8, -1), PM_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(pm_stroke_rounded_rect(ctx, 0, 0, 8, 8, nan), PM_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(pm_fill_oval(ctx, 0, 0, 1e30f, 4), PM_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(pm_stroke_oval(ctx, nan, 0, 4, 4), PM_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(pm_fill_arc(ctx, 0, 0, 4, 4, 0, nan), PM_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(pm_stroke_arc(ctx, 0, 0, 4, 4, 1e30f, 1), PM_ERROR_INVALID_ARGUMENT);
    // Round joins on a million points of a wide line would need hundreds of millions of points.
    pm_set_line_width(ctx, 1000);
    pm_set_line_join(ctx, PM_JOIN_ROUND);
    EXPECT_EQ(pm_polyline(ctx, most.data(), PM_MAX_POLYGON_POINTS), PM_ERROR_TOO_LARGE);
    EXPECT_EQ(pm_draw_image(ctx, nullptr, 0, 0), PM_ERROR_INVALID_ARGUMENT);
    const uint8_t texel[4] = {1, 2, 3, 4};
    pm_image* image = pm_image_create_rgba(ctx, 1, 1, texel, 4);
    EXPECT_EQ(pm_draw_image_rect(ctx, image, 0, 0, 2, 1, 0, 0, 4, 4), PM_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(pm_draw_image_rect(ctx, image, 0, 0, 1, 1, nan, 0, 4, 4), PM_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(pm_image_create_rgba(ctx, 1, 1, texel, 3), nullptr);
    // Cut images, a header claiming a side past the limit, a missing file: refused, nothing leaked.
    auto readAll = [](const std::string& path) {
        std::vector<uint8_t> bytes(1 << 16);
        FILE* file = std::fopen(path.c_str(), "rb");
        bytes.resize(file ? std::fread(bytes.data(), 1, bytes.size(), file) : 0);
        if (file) std::fclose(file);
        return bytes;
    };
    const std::string images = std::string(HALVERN_TEST_DATA) + "/pixmote/images/";
    for (const char* name : {"rgba.png", "grey16_interlaced.png", "colour.jpg", "cmyk.jpg"}) {
        std::vector<uint8_t> bytes = readAll(images + name);
        ASSERT_GT(bytes.size(), 100u) << name;
        for (size_t cut : {bytes.size() - 20, bytes.size() / 2, size_t(12)}) {
            EXPECT_EQ(pm_image_load_memory(ctx, bytes.data(), cut), nullptr) << name << cut;
            EXPECT_EQ(pm_last_error(), PM_ERROR_DECODE) << name << cut;
        }
    }
    std::vector<uint8_t> huge = readAll(images + "rgba.png");
    huge[16] = 0, huge[17] = 0, huge[18] = 0x4E, huge[19] = 0x20;  // 20000 pixels wide
    const uint32_t crc = static_cast<uint32_t>(crc32(crc32(0, nullptr, 0), &huge[12], 17));
    for (int i = 0; i < 4; ++i) huge[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    EXPECT_EQ(pm_image_load_memory(ctx, huge.data(), huge.size()), nullptr);
    EXPECT_EQ(pm_last_error(), PM_ERROR_TOO_LARGE);
    EXPECT_EQ(pm_image_load_file(ctx, (images + "missing.png").c_str()), nullptr);
    EXPECT_EQ(pm_last_error(), PM_ERROR_IO);
    EXPECT_EQ(pm_image_load_memory(ctx, "GIF89a", 6), nullptr);
    // Font tables that lie are refused whole: a count past its lines, a glyph outside its page, a
    // page that does not exist, an absurd height, an id given twice, an unclosed quote.
    for (const char* lie : {"common lineHeight=9\nchars count=2\nchar id=65 width=1 height=1\n",
                            "common lineHeight=9\nchar id=65 x=1 width=1 height=1\n",
                            "common lineHeight=9\nchar id=65 page=1\n", "common lineHeight=99999999999\n",
                            "common lineHeight=9\nchar id=65\nchar id=65\n",
                            "common lineHeight=9 pages=2\npage id=0 file=a\npage id=0 file=b\n",
                            "common lineHeight=9 face=\"x\n"}) {
        EXPECT_EQ(pm_font_load_memory(ctx, lie, std::strlen(lie), image), nullptr) << lie;
        EXPECT_EQ(pm_last_error(), PM_ERROR_DECODE) << lie;
    }
    // A character the font lacks, invalid UTF-8 included when it has neither U+FFFD nor '?', draws
    // nothing and moves on half a line height.
    // (Saved with a byte order mark, keys in their own order.)
    const char table[] =
        "\xEF\xBB\xBF"
        "common base=7 lineHeight=9 pages=1\ninfo face=\"t t\" size=9\r\n"
        "char xadvance=2 id=65 width=1 height=1";
    pm_font* font = pm_font_load_memory(ctx, table, sizeof table - 1, image);
    ASSERT_NE(font, nullptr);
    float w = 0, h = 0;
    EXPECT_EQ(pm_measure_text(font,
                              "A\xe2\x82"
                              "A\xf0"
                              "A",
                              0, &w, &h),
              PM_OK);
    EXPECT_EQ(w, 2 + 4.5f + 2 + 4.5f + 2);
    EXPECT_EQ(pm_draw_text(ctx, font, "A", nan, 0, 0, PM_ALIGN_LEFT), PM_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(pm_draw_text(ctx, font, "AAAA", 1e7f - 3, 0, 0, PM_ALIGN_LEFT), PM_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(pm_draw_text(ctx, font, "A", 0, 0, 0, static_cast<pm_align>(3)), PM_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(pm_draw_text(ctx, nullptr, "A", 0, 0, 0, PM_ALIGN_LEFT), PM_ERROR_INVALID_ARGUMENT);
    pm_font_destroy(font);
    // Collision tests refuse the same input and answer 0.
    int hit = 7;
    const pm_transform nanShift = {1, 0, 0, 1, nan, 0}, far = {1e6f, 0, 0, 1e6f, 0, 0};
    const pm_result invalid[] = {
        pm_point_in_rect(nan, 0, 0, 0, 4, 4, nullptr, &hit),
        pm_point_in_oval(0, 0, 0, 0, 4, 4, nullptr, nullptr),
        pm_point_in_polygon(0, 0, hugePoint, 2, PM_FILL_NONZERO, nullptr, &hit),
        pm_point_in_polygon(0, 0, most.data(), 3, static_cast<pm_fill_rule>(2), nullptr, &hit),
        pm_rects_overlap(0, 0, 4, 4, &nanShift, 0, 0, 4, 4, nullptr, &hit),
        pm_ovals_overlap(0, 0, 1e30f, 4, nullptr, 0, 0, 4, 4, nullptr, &hit),
        pm_ovals_overlap(0, 0, 40, 4, &far, 0, 0, 4, 4, nullptr, &hit),
        pm_polygons_overlap(hugePoint, 3, nullptr, most.data(), 3, nullptr, &hit),
        pm_polygons_overlap(nullptr, 3, nullptr, most.data(), 3, nullptr, &hit),
        pm_images_overlap(image, nullptr, nullptr, nullptr, 0, &hit),
        pm_images_overlap(image, &far, image, &nanShift, 0, &hit)};
    for (pm_result r : invalid) EXPECT_EQ(r, PM_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(pm_polygons_overlap(most.data(), 3, nullptr, tooMany.data(), PM_MAX_POLYGON_POINTS + 1, nullptr,
                                  &hit),
              PM_ERROR_TOO_LARGE);
    EXPECT_EQ(hit, 0);
    // A texel blown up over millions of pixels is answered a run of pixels at a time.
    const pm_transform big = {9000, 0, 0, 9000, 0, 0}, beside = {9000, 0, 0, 9000, 8999.5f, 0};
    EXPECT_EQ(pm_images_overlap(image, &big, image, &beside, 3, &hit), PM_OK);
    EXPECT_EQ(hit, 1);
    EXPECT_EQ(pm_images_overlap(image, &big, image, &beside, 4, &hit), PM_OK);
    EXPECT_EQ(hit, 0);
    pm_image_destroy(image);
    EXPECT_EQ(pm_fill_rect(nullptr, 0, 0, 1, 1), PM_ERROR_INVALID_ARGUMENT);
    // Off-frame shapes are fine and send nothing either.
    EXPECT_EQ(pm_fill_rect(ctx, -100, -100, 10, 10), PM_OK);
    ASSERT_EQ(pm_end_frame(ctx), PM_OK);
    EXPECT_TRUE(rec.draws.empty());
    // A large outline that is not hostile fills.
    const size_t circle = 100000;
    for (size_t i = 0; i < circle; ++i) {
        most[2 * i] = 32 + 30 * std::cos(6.283185 * i / circle),
                 most[2 * i + 1] = 32 + 30 * std::sin(6.283185 * i / circle);
    }
    pm_begin_frame(ctx, 64, 64);
    EXPECT_EQ(pm_fill_polygon(ctx, most.data(), circle, PM_FILL_NONZERO), PM_OK);
    pm_end_frame(ctx);
    EXPECT_EQ(rec.draws.size(), 1u);
    pm_context_destroy(ctx);
}

// The shared library exports its pm_ functions only and needs nothing of the game, the engine or pf,
// and the game's program does not load it.
TEST(PixmoteContextTest, LibraryExportsOnlyItsApiAndStandsAlone) {
    std::string symbols = run("nm -D --defined-only '" PIXMOTE_LIBRARY "' | awk '{print $3}'");
    ASSERT_NE(symbols.find("pm_fill_polygon"), std::string::npos);
    size_t start = 0;
    while (start < symbols.size()) {
        size_t end = symbols.find('\n', start);
        std::string name = symbols.substr(start, end - start);
        if (!name.empty() && name != "PIXMOTE_0") {
            EXPECT_EQ(name.rfind("pm_", 0), 0u) << name;
        }
        start = end == std::string::npos ? symbols.size() : end + 1;
    }
    std::string dynamic = run("readelf -d '" PIXMOTE_LIBRARY "'");
    EXPECT_NE(dynamic.find("[libpixmote.so.0]"), std::string::npos);
    for (const char* foreign : {"SDL", "halvern", "lua", "GL", "epoxy", "tinyxml", "freetype"})
        EXPECT_EQ(dynamic.find(foreign), std::string::npos) << foreign;
    std::string game = run("readelf -d '" HALVERN_EXE "' 2>/dev/null");
    EXPECT_EQ(game.find("pixmote"), std::string::npos);
}

// A host that asks for it hears each refusal in one line naming the call.
TEST(PixmoteContextTest, ReportsRefusalsToTheHostsLog) {
    std::vector<std::string> lines;
    pm_set_log(
        [](void* user, const char* line) { static_cast<std::vector<std::string>*>(user)->push_back(line); },
        &lines);
    EXPECT_EQ(pm_fill_rect(nullptr, 0, 0, 1, 1), PM_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(pm_draw_image(nullptr, nullptr, 0, 0), PM_ERROR_INVALID_ARGUMENT);
    pm_set_log(nullptr, nullptr);
    std::vector<std::string> expected = {"pixmote: pm_fill_rect: invalid argument",
                                         "pixmote: pm_draw_image: invalid argument"};
    EXPECT_EQ(lines, expected);
    EXPECT_STREQ(pm_error_string(static_cast<pm_result>(99)), "unknown error");
}
