// The mixed scene of the Pixmote benchmarks: 10,000 antialiased shapes, sprites and runs of text on a
// 1024 x 768 target, made from a seed so that every device (and cairo, for comparison) draws the same
// thing. drawPixmoteScene draws it on any pm_context, whatever its device.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "pixmote/include/pixmote.h"

namespace pixmote_bench {

constexpr int kWidth = 1024, kHeight = 768;
constexpr int kOps = 10000;
constexpr int kSprites = 8, kSpriteSide = 32;
// The image font of the text runs (its page image lies beside it).
constexpr const char* kFontPath = HALVERN_SOURCE_DIR "/tests/data/pixmote/font/dejavu_16.fnt";
constexpr uint8_t kBackground[4] = {236, 232, 220, 255};
constexpr double kPi = 3.14159265358979323846;

enum class Kind {
    FillRect,
    StrokeRect,
    FillRounded,
    StrokeRounded,
    FillOval,
    StrokeOval,
    FillArc,
    StrokeArc,
    FillPolygon,
    StrokePolygon,
    Line,
    Polyline,
    Image,
    ImageRect,
    Text
};

struct Op {
    Kind kind;
    pm_transform t;
    uint8_t color[4];
    pm_blend_mode blend;
    float lineWidth;
    pm_line_cap cap;
    pm_line_join join;
    pm_fill_rule rule;
    float x, y, w, h;
    float radius, start, sweep;
    std::vector<float> points;  // x, y pairs
    int image;                  // sprite index
    float src[4];               // source rectangle of ImageRect
    std::string text;           // a run of text, printable ASCII
};

// A small generator of its own, so that the scene is the same with every standard library.
class Random {
public:
    explicit Random(uint64_t seed) : s_(seed * 2862933555777941757ull + 3037000493ull) {}
    uint32_t next() {
        s_ = s_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(s_ >> 33);
    }
    float unit() { return (next() & 0xffffff) / float(0x1000000); }
    float range(float lo, float hi) { return lo + (hi - lo) * unit(); }
    int below(int n) { return static_cast<int>(next() % static_cast<uint32_t>(n)); }

private:
    uint64_t s_;
};

// Mostly small shapes with a few large ones, as in a real interface or game frame.
inline float size(Random& r) {
    float u = r.unit();
    return u < 0.75f ? r.range(6, 40) : u < 0.97f ? r.range(40, 110) : r.range(110, 260);
}

inline pm_transform identity() {
    return {1, 0, 0, 1, 0, 0};
}

// A turn of angle about (cx, cy).
inline pm_transform turn(float angle, float cx, float cy) {
    float c = std::cos(angle), s = std::sin(angle);
    return {c, s, -s, c, cx - c * cx + s * cy, cy - s * cx - c * cy};
}

inline std::vector<Op> makeScene(uint64_t seed) {
    Random r(seed);
    std::vector<Op> ops(kOps);
    for (Op& op : ops) {
        float u = r.unit();
        if (u < 0.08f)
            op.kind = Kind::Text;
        else if (u < 0.13f)
            op.kind = Kind::Image;
        else if (u < 0.18f)
            op.kind = Kind::ImageRect;
        else
            op.kind = static_cast<Kind>(r.below(static_cast<int>(Kind::Polyline) + 1));
        op.t = identity();
        for (int i = 0; i < 3; ++i) op.color[i] = static_cast<uint8_t>(r.below(256));
        op.color[3] = r.unit() < 0.4f ? 255 : static_cast<uint8_t>(r.range(60, 255));
        op.blend = r.unit() < 0.05f ? PM_BLEND_ADDITIVE : PM_BLEND_NORMAL;
        op.lineWidth = r.unit() < 0.5f ? r.range(1, 3) : r.range(3, 12);
        op.cap = static_cast<pm_line_cap>(r.below(3));
        op.join = static_cast<pm_line_join>(r.below(3));
        op.rule = r.unit() < 0.5f ? PM_FILL_NONZERO : PM_FILL_EVENODD;
        op.w = size(r), op.h = op.kind == Kind::FillOval || op.kind == Kind::StrokeOval
                                   ? (r.unit() < 0.5f ? op.w : size(r))
                                   : size(r);
        op.x = r.range(-20, kWidth - op.w + 20), op.y = r.range(-20, kHeight - op.h + 20);
        op.radius = r.range(2, std::min(op.w, op.h) / 2);
        op.start = r.range(0, 2 * float(kPi)), op.sweep = r.range(0.5f, 5.5f);
        op.image = r.below(kSprites);
        // Outlines stay thinner than a third of the shape, so that none of them degenerates to a fill.
        op.lineWidth = std::min(op.lineWidth, std::min(op.w, op.h) / 3);
        const float cx = op.x + op.w / 2, cy = op.y + op.h / 2;
        switch (op.kind) {
            case Kind::FillPolygon:
            case Kind::StrokePolygon:
            case Kind::Polyline: {
                // A star-like outline, concave and with its points out of order now and then.
                int n = 5 + r.below(8);
                for (int i = 0; i < n; ++i) {
                    float a = 2 * float(kPi) * (i + r.range(0, op.kind == Kind::Polyline ? 1.5f : 0.6f)) / n;
                    float rad = (i % 2 ? 0.5f : r.range(0.15f, 0.5f));
                    op.points.push_back(cx + std::cos(a) * op.w * rad);
                    op.points.push_back(cy + std::sin(a) * op.h * rad);
                }
                break;
            }
            case Kind::Line:
                op.points = {op.x, op.y, op.x + op.w, op.y + op.h * (r.unit() < 0.5f ? 1 : -1)};
                break;
            case Kind::Image:
                op.w = op.h = kSpriteSide;
                // Most sprites land on whole pixels; a few are placed between them.
                if (r.unit() < 0.7f) op.x = std::floor(op.x), op.y = std::floor(op.y);
                break;
            case Kind::ImageRect: {
                int sx = r.below(kSpriteSide / 2), sy = r.below(kSpriteSide / 2);
                op.src[0] = float(sx), op.src[1] = float(sy);
                op.src[2] = float(kSpriteSide / 2 + r.below(kSpriteSide / 2 - sx + 1));
                op.src[3] = float(kSpriteSide / 2 + r.below(kSpriteSide / 2 - sy + 1));
                float zoom = r.range(0.6f, 2.5f);
                op.w = op.src[2] * zoom, op.h = op.src[3] * zoom;
                break;
            }
            case Kind::Text: {
                // Words of printable ASCII, a space now and then.
                int n = 6 + r.below(20);
                for (int i = 0; i < n; ++i) op.text += r.unit() < 0.15f ? ' ' : char(33 + r.below(94));
                op.x = std::floor(r.range(0, kWidth - 100)), op.y = std::floor(r.range(0, kHeight - 20));
                op.color[3] = 255;
                op.blend = PM_BLEND_NORMAL;
                break;
            }
            default:
                break;
        }
        // A quarter of the shapes and sprites turned about their centre; text stays upright.
        if (op.kind != Kind::Text && r.unit() < 0.25f) op.t = turn(r.range(0, 2 * float(kPi)), cx, cy);
    }
    return ops;
}

// A sprite: a soft-edged disc with a gradient and a hole, straight RGBA8.
inline std::vector<uint8_t> spritePixels(int index) {
    std::vector<uint8_t> px(kSpriteSide * kSpriteSide * 4);
    for (int y = 0; y < kSpriteSide; ++y)
        for (int x = 0; x < kSpriteSide; ++x) {
            uint8_t* p = &px[(y * kSpriteSide + x) * 4];
            float dx = x + 0.5f - 16, dy = y + 0.5f - 16, d = std::sqrt(dx * dx + dy * dy);
            p[0] = static_cast<uint8_t>(40 + index * 26);
            p[1] = static_cast<uint8_t>(x * 8);
            p[2] = static_cast<uint8_t>(255 - y * 8);
            float a = std::clamp(15.5f - d, 0.0f, 1.0f) * (d < 4 + index % 3 ? 0.3f : 1.0f);
            p[3] = static_cast<uint8_t>(a * 255 + 0.5f);
        }
    return px;
}

struct PixmoteAssets {
    std::vector<pm_image*> sprites;
    pm_font* font = nullptr;

    bool make(pm_context* ctx) {
        for (int i = 0; i < kSprites; ++i) {
            std::vector<uint8_t> px = spritePixels(i);
            sprites.push_back(
                pm_image_create_rgba(ctx, kSpriteSide, kSpriteSide, px.data(), kSpriteSide * 4));
            if (!sprites.back()) return false;
        }
        font = pm_font_load_file(ctx, kFontPath);
        return font != nullptr;
    }
    // Before the device goes: the images give their textures back to it.
    void release() {
        for (pm_image* image : sprites) pm_image_destroy(image);
        pm_font_destroy(font);
        sprites.clear(), font = nullptr;
    }
    ~PixmoteAssets() { release(); }
};

// Draws the scene's shapes into the current frame of ctx (the caller begins and ends it).
inline void drawPixmoteScene(pm_context* ctx, const std::vector<Op>& ops, const PixmoteAssets& assets) {
    for (const Op& op : ops) {
        pm_set_transform(ctx, &op.t);
        pm_set_color(ctx, op.color[0], op.color[1], op.color[2], op.color[3]);
        pm_set_blend_mode(ctx, op.blend);
        pm_set_line_width(ctx, op.lineWidth);
        pm_set_line_cap(ctx, op.cap);
        pm_set_line_join(ctx, op.join);
        const size_t n = op.points.size() / 2;
        switch (op.kind) {
            case Kind::FillRect:
                pm_fill_rect(ctx, op.x, op.y, op.w, op.h);
                break;
            case Kind::StrokeRect:
                pm_stroke_rect(ctx, op.x, op.y, op.w, op.h);
                break;
            case Kind::FillRounded:
                pm_fill_rounded_rect(ctx, op.x, op.y, op.w, op.h, op.radius);
                break;
            case Kind::StrokeRounded:
                pm_stroke_rounded_rect(ctx, op.x, op.y, op.w, op.h, op.radius);
                break;
            case Kind::FillOval:
                pm_fill_oval(ctx, op.x, op.y, op.w, op.h);
                break;
            case Kind::StrokeOval:
                pm_stroke_oval(ctx, op.x, op.y, op.w, op.h);
                break;
            case Kind::FillArc:
                pm_fill_arc(ctx, op.x, op.y, op.w, op.h, op.start, op.sweep);
                break;
            case Kind::StrokeArc:
                pm_stroke_arc(ctx, op.x, op.y, op.w, op.h, op.start, op.sweep);
                break;
            case Kind::FillPolygon:
                pm_fill_polygon(ctx, op.points.data(), n, op.rule);
                break;
            case Kind::StrokePolygon:
                pm_stroke_polygon(ctx, op.points.data(), n);
                break;
            case Kind::Line:
                pm_line(ctx, op.points[0], op.points[1], op.points[2], op.points[3]);
                break;
            case Kind::Polyline:
                pm_polyline(ctx, op.points.data(), n);
                break;
            case Kind::Image:
                pm_set_color(ctx, 255, 255, 255, op.color[3]);
                pm_draw_image(ctx, assets.sprites[op.image], op.x, op.y);
                break;
            case Kind::ImageRect:
                pm_set_color(ctx, 255, 255, 255, op.color[3]);
                pm_draw_image_rect(ctx, assets.sprites[op.image], op.src[0], op.src[1], op.src[2], op.src[3],
                                   op.x, op.y, op.w, op.h);
                break;
            case Kind::Text:
                pm_draw_text(ctx, assets.font, op.text.c_str(), op.x, op.y, 0, PM_ALIGN_LEFT);
                break;
        }
    }
}

}  // namespace pixmote_bench
