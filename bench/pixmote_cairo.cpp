// Pixmote's software device against cairo's image surface on the same mixed scene (PixmoteBenchScene.h):
// the time of a whole frame on each, and a check that the two frames agree pixel for pixel within a
// small tolerance (antialiasing and rounding differ a little between the two rasterisers).
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "bench/PixmoteBenchScene.h"
#include "pixmote/include/pixmote.h"
#include "pixmote/include/pixmote_software.h"

using namespace pixmote_bench;

namespace {

constexpr uint64_t kSeed = 34;
// Agreement: the mean difference of a channel, and the share of pixels where some channel is off by
// more than kOffBy. Edges antialiased by the two rasterisers differ by a few levels at most.
constexpr double kMaxMeanDifference = 1.0;
constexpr int kOffBy = 32;
constexpr double kMaxShareOff = 0.005;

// ---- Pixmote on its software device ----

struct PixmoteTarget {
    pm_software* sw = pm_software_create(kWidth, kHeight);
    pm_context* ctx = pm_context_create(pm_software_device(sw));
    PixmoteAssets assets;
    bool ready = ctx && assets.make(ctx);

    ~PixmoteTarget() {
        assets.release();
        pm_context_destroy(ctx);
        pm_software_destroy(sw);
    }
    void frame(const std::vector<Op>& ops) {
        pm_software_clear(sw, kBackground[0], kBackground[1], kBackground[2], kBackground[3]);
        pm_begin_frame(ctx, kWidth, kHeight);
        drawPixmoteScene(ctx, ops, assets);
        pm_end_frame(ctx);
    }
};

// ---- cairo on an image surface ----

// The glyph table of the image font, read as Pixmote reads it (the keys the layout needs), so that
// cairo places the same glyphs at the same pixels.
struct FontTable {
    struct Glyph {
        int x = 0, y = 0, w = 0, h = 0, xoffset = 0, yoffset = 0, xadvance = 0;
    };
    std::map<int, Glyph> glyphs;
    std::map<std::pair<int, int>, int> kerning;
    std::string page;

    explicit FontTable(const std::string& path) {
        std::ifstream in(path);
        for (std::string line; std::getline(in, line);) {
            std::istringstream words(line);
            std::string tag, word;
            words >> tag;
            std::map<std::string, std::string> keys;
            while (words >> word)
                if (size_t eq = word.find('='); eq != std::string::npos)
                    keys[word.substr(0, eq)] = word.substr(eq + 1);
            auto number = [&](const char* key) { return std::atoi(keys[key].c_str()); };
            if (tag == "char")
                glyphs[number("id")] = {number("x"),       number("y"),       number("width"),
                                        number("height"),  number("xoffset"), number("yoffset"),
                                        number("xadvance")};
            else if (tag == "kerning")
                kerning[{number("first"), number("second")}] = number("amount");
            else if (tag == "page") {
                std::string file = keys["file"];
                if (file.size() >= 2 && file.front() == '"') file = file.substr(1, file.size() - 2);
                page = path.substr(0, path.rfind('/') + 1) + file;
            }
        }
    }
};

// Straight RGBA8 rows to a premultiplied ARGB32 surface.
cairo_surface_t* cairoImage(const std::vector<uint8_t>& rgba, int w, int h) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = &rgba[(y * w + x) * 4];
            auto pre = [&](int c) { return static_cast<uint32_t>((c * p[3] + 127) / 255); };
            reinterpret_cast<uint32_t*>(data + y * stride)[x] =
                uint32_t(p[3]) << 24 | pre(p[0]) << 16 | pre(p[1]) << 8 | pre(p[2]);
        }
    cairo_surface_mark_dirty(s);
    return s;
}

struct CairoTarget {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
    cairo_t* cr = cairo_create(surface);
    std::vector<cairo_surface_t*> sprites, parts;  // parts: the source rectangle of each op
    FontTable font{kFontPath};
    std::map<int, cairo_surface_t*> glyphs;  // each glyph's rectangle of the page
    cairo_surface_t* page = nullptr;

    explicit CairoTarget(const std::vector<Op>& ops) {
        for (int i = 0; i < kSprites; ++i)
            sprites.push_back(cairoImage(spritePixels(i), kSpriteSide, kSpriteSide));
        page = cairo_image_surface_create_from_png(font.page.c_str());
        // A font renderer keeps its glyphs ready; so does this one.
        for (const auto& [id, g] : font.glyphs)
            if (g.w > 0 && g.h > 0) glyphs[id] = cairo_surface_create_for_rectangle(page, g.x, g.y, g.w, g.h);
        for (const Op& op : ops)
            parts.push_back(op.kind == Kind::ImageRect
                                ? cairo_surface_create_for_rectangle(sprites[op.image], op.src[0], op.src[1],
                                                                     op.src[2], op.src[3])
                                : nullptr);
        cairo_set_miter_limit(cr, 4);
    }
    ~CairoTarget() {
        for (auto* list : {&parts, &sprites})
            for (cairo_surface_t* s : *list)
                if (s) cairo_surface_destroy(s);
        for (const auto& glyph : glyphs) cairo_surface_destroy(glyph.second);
        cairo_surface_destroy(page);
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }

    // The oval inscribed in (x, y, w, h) shrunk by inset on every side, from start over sweep.
    void oval(const Op& op, double inset, double start, double sweep) {
        cairo_save(cr);
        cairo_translate(cr, op.x + op.w / 2.0, op.y + op.h / 2.0);
        cairo_scale(cr, op.w / 2.0 - inset, op.h / 2.0 - inset);
        cairo_arc(cr, 0, 0, 1, start, start + sweep);
        cairo_restore(cr);
    }
    void rounded(double x, double y, double w, double h, double r) {
        r = std::min(r, std::min(w, h) / 2);
        cairo_new_sub_path(cr);
        cairo_arc(cr, x + r, y + r, r, kPi, 1.5 * kPi);
        cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
        cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
        cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
        cairo_close_path(cr);
    }
    void points(const Op& op, bool closed) {
        cairo_move_to(cr, op.points[0], op.points[1]);
        for (size_t i = 2; i < op.points.size(); i += 2) cairo_line_to(cr, op.points[i], op.points[i + 1]);
        if (closed) cairo_close_path(cr);
    }
    void paintImage(cairo_surface_t* source, double alpha) {
        cairo_set_source_surface(cr, source, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
        cairo_paint_with_alpha(cr, alpha);
    }

    void frame(const std::vector<Op>& ops) {
        cairo_identity_matrix(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_rgb(cr, kBackground[0] / 255.0, kBackground[1] / 255.0, kBackground[2] / 255.0);
        cairo_paint(cr);
        for (size_t i = 0; i < ops.size(); ++i) draw(ops[i], parts[i]);
        cairo_surface_flush(surface);
    }

    void draw(const Op& op, cairo_surface_t* part) {
        cairo_matrix_t m;
        cairo_matrix_init(&m, op.t.a, op.t.b, op.t.c, op.t.d, op.t.e, op.t.f);
        cairo_set_matrix(cr, &m);
        cairo_set_operator(cr, op.blend == PM_BLEND_ADDITIVE ? CAIRO_OPERATOR_ADD : CAIRO_OPERATOR_OVER);
        cairo_set_source_rgba(cr, op.color[0] / 255.0, op.color[1] / 255.0, op.color[2] / 255.0,
                              op.color[3] / 255.0);
        cairo_set_line_width(cr, op.lineWidth);
        cairo_set_line_cap(cr, static_cast<cairo_line_cap_t>(op.cap));  // the same order of caps
        cairo_set_line_join(cr, static_cast<cairo_line_join_t>(op.join));
        cairo_set_fill_rule(cr,
                            op.rule == PM_FILL_EVENODD ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
        cairo_new_path(cr);
        const double half = op.lineWidth / 2.0;
        switch (op.kind) {
            case Kind::FillRect:
                cairo_rectangle(cr, op.x, op.y, op.w, op.h);
                cairo_fill(cr);
                break;
            case Kind::StrokeRect:  // Pixmote's outlines lie inside the shape.
                cairo_rectangle(cr, op.x + half, op.y + half, op.w - op.lineWidth, op.h - op.lineWidth);
                cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
                cairo_stroke(cr);
                break;
            case Kind::FillRounded:
                rounded(op.x, op.y, op.w, op.h, op.radius);
                cairo_fill(cr);
                break;
            case Kind::StrokeRounded:
                rounded(op.x + half, op.y + half, op.w - op.lineWidth, op.h - op.lineWidth,
                        std::max(0.0, std::min<double>(op.radius, std::min(op.w, op.h) / 2.0) - half));
                cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
                cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
                cairo_stroke(cr);
                break;
            case Kind::FillOval:
                oval(op, 0, 0, 2 * kPi);
                cairo_fill(cr);
                break;
            case Kind::StrokeOval:
                oval(op, half, 0, 2 * kPi);
                cairo_close_path(cr);
                cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
                cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
                cairo_stroke(cr);
                break;
            case Kind::FillArc:
                cairo_move_to(cr, op.x + op.w / 2.0, op.y + op.h / 2.0);
                oval(op, 0, op.start, op.sweep);
                cairo_close_path(cr);
                cairo_fill(cr);
                break;
            case Kind::StrokeArc:
                oval(op, half, op.start, op.sweep);
                cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
                cairo_stroke(cr);
                break;
            case Kind::FillPolygon:
                points(op, true);
                cairo_fill(cr);
                break;
            case Kind::StrokePolygon:
                points(op, true);
                cairo_stroke(cr);
                break;
            case Kind::Line:
            case Kind::Polyline:
                points(op, false);
                cairo_stroke(cr);
                break;
            case Kind::Image:
                cairo_translate(cr, op.x, op.y);
                paintImage(sprites[op.image], op.color[3] / 255.0);
                break;
            case Kind::ImageRect:
                cairo_translate(cr, op.x, op.y);
                cairo_scale(cr, op.w / op.src[2], op.h / op.src[3]);
                paintImage(part, op.color[3] / 255.0);
                break;
            case Kind::Text: {
                // The page is white with the glyphs in its alpha: the colour through it as a mask is
                // Pixmote's tint. The pen moves by the advances and kerning, as pm_draw_text's does.
                int pen = int(op.x), previous = -1;
                for (unsigned char c : op.text) {
                    auto g = font.glyphs.find(c);
                    if (g == font.glyphs.end()) continue;
                    if (auto k = font.kerning.find({previous, c}); k != font.kerning.end()) pen += k->second;
                    if (auto image = glyphs.find(c); image != glyphs.end())
                        cairo_mask_surface(cr, image->second, pen + g->second.xoffset,
                                           op.y + g->second.yoffset);
                    pen += g->second.xadvance;
                    previous = c;
                }
                break;
            }
        }
    }

    // The frame as straight RGBA8 rows.
    std::vector<uint8_t> rgba() {
        std::vector<uint8_t> out(static_cast<size_t>(kWidth) * kHeight * 4);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        int stride = cairo_image_surface_get_stride(surface);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                uint32_t p = reinterpret_cast<const uint32_t*>(data + y * stride)[x];
                uint32_t a = p >> 24;
                uint8_t* o = &out[(static_cast<size_t>(y) * kWidth + x) * 4];
                for (int c = 0; c < 3; ++c) {
                    uint32_t v = (p >> (16 - 8 * c)) & 255;
                    o[c] = static_cast<uint8_t>(a ? std::min<uint32_t>(255, (v * 255 + a / 2) / a) : 0);
                }
                o[3] = static_cast<uint8_t>(a);
            }
        return out;
    }
};

const std::vector<Op>& scene() {
    static const std::vector<Op> ops = makeScene(kSeed);
    return ops;
}

void BM_PixmoteSoftware_Scene(benchmark::State& state) {
    PixmoteTarget target;
    if (!target.ready) {
        state.SkipWithError("no Pixmote software target");
        return;
    }
    for (auto _ : state) target.frame(scene());
    state.counters["shapes"] = kOps;
}
BENCHMARK(BM_PixmoteSoftware_Scene)->Unit(benchmark::kMillisecond);

void BM_Cairo_Scene(benchmark::State& state) {
    CairoTarget target(scene());
    for (auto _ : state) target.frame(scene());
    state.counters["shapes"] = kOps;
}
BENCHMARK(BM_Cairo_Scene)->Unit(benchmark::kMillisecond);

// The CPU time of this thread: on a shared machine, what the drawing itself took.
double threadSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

// Draws the scene on both, alternately, times each (CPU time), and compares the frames. Set
// PIXMOTE_BENCH_IMAGES to a folder to get both frames there as PNG files.
void BM_PixmoteCairo_Agree(benchmark::State& state) {
    PixmoteTarget pixmote;
    CairoTarget cairo(scene());
    if (!pixmote.ready) {
        state.SkipWithError("no Pixmote software target");
        return;
    }
    double pixmoteSeconds = 0, cairoSeconds = 0, mean = 0, shareOff = 0;
    for (auto _ : state) {
        double t0 = threadSeconds();
        pixmote.frame(scene());
        double t1 = threadSeconds();
        cairo.frame(scene());
        double t2 = threadSeconds();
        pixmoteSeconds += t1 - t0;
        cairoSeconds += t2 - t1;

        std::vector<uint8_t> theirs = cairo.rgba();
        const uint8_t* ours = pm_software_pixels(pixmote.sw);
        uint64_t sum = 0, off = 0;
        for (size_t i = 0; i < theirs.size(); i += 4) {
            int worst = 0;
            for (int c = 0; c < 4; ++c) {
                int d = std::abs(int(ours[i + c]) - int(theirs[i + c]));
                sum += d, worst = std::max(worst, d);
            }
            off += worst > kOffBy;
        }
        mean = double(sum) / theirs.size();
        shareOff = double(off) / (theirs.size() / 4);
    }
    if (const char* folder = std::getenv("PIXMOTE_BENCH_IMAGES")) {
        cairo_surface_write_to_png(cairo.surface, (std::string(folder) + "/cairo.png").c_str());
        std::vector<uint8_t> px(pm_software_pixels(pixmote.sw),
                                pm_software_pixels(pixmote.sw) + static_cast<size_t>(kWidth) * kHeight * 4);
        cairo_surface_t* ours = cairoImage(px, kWidth, kHeight);
        cairo_surface_write_to_png(ours, (std::string(folder) + "/pixmote.png").c_str());
        cairo_surface_destroy(ours);
    }
    state.counters["mean_abs_diff"] = mean;
    state.counters["share_off"] = shareOff;
    state.counters["pixmote_ms"] = 1000 * pixmoteSeconds / state.iterations();
    state.counters["cairo_ms"] = 1000 * cairoSeconds / state.iterations();
    state.counters["ratio"] = pixmoteSeconds / cairoSeconds;
    if (mean > kMaxMeanDifference || shareOff > kMaxShareOff)
        state.SkipWithError(("Pixmote and cairo disagree: mean difference " + std::to_string(mean) +
                             ", share of pixels off " + std::to_string(shareOff))
                                .c_str());
}
BENCHMARK(BM_PixmoteCairo_Agree)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
