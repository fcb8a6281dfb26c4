// The exported C functions: argument checks, the thread's last error, and nothing else. No C++
// exception leaves the library: allocation failures become PM_ERROR_OUT_OF_MEMORY.
#include <cmath>
#include <cstdio>
#include <new>

#include "pixmote/include/pixmote.h"
#include "pixmote/src/PmContext.h"
#include "pixmote/src/PmGuard.h"

namespace {

thread_local pm_result lastError = PM_OK;
pm_log_fn logFn = nullptr;
void* logUser = nullptr;

}  // namespace

pm_result pixmote::note(pm_result r, const char* function) {
    if (r == PM_OK) return r;
    lastError = r;
    if (logFn) {
        char line[160];
        std::snprintf(line, sizeof line, "pixmote: %s: %s", function, pm_error_string(r));
        logFn(logUser, line);
    }
    return r;
}

using pixmote::note;

extern "C" {

pm_result pm_last_error(void) {
    return lastError;
}

const char* pm_error_string(pm_result result) {
    switch (result) {
        case PM_OK:
            return "no error";
        case PM_ERROR_INVALID_ARGUMENT:
            return "invalid argument";
        case PM_ERROR_DEVICE:
            return "device failure or missing device callback";
        case PM_ERROR_DECODE:
            return "malformed or truncated data";
        case PM_ERROR_OUT_OF_MEMORY:
            return "out of memory";
        case PM_ERROR_TOO_LARGE:
            return "too large";
        case PM_ERROR_STATE:
            return "not allowed in this state";
        case PM_ERROR_IO:
            return "file could not be read";
        case PM_ERROR_UNSUPPORTED:
            return "not supported";
        default:
            break;
    }
    return "unknown error";
}

const char* pm_version_string(void) {
    return "0.1.0";
}

void pm_set_log(pm_log_fn log, void* user) {
    logFn = log;
    logUser = user;
}

pm_context* pm_context_create(const pm_device* d) {
    if (!d || !d->create_texture || !d->update_texture || !d->destroy_texture || !d->draw_triangles ||
        !d->set_clip || !d->begin_frame || !d->end_frame) {
        note(PM_ERROR_INVALID_ARGUMENT, __func__);
        return nullptr;
    }
    pm_context* ctx = new (std::nothrow) pm_context(*d);
    if (!ctx) note(PM_ERROR_OUT_OF_MEMORY, __func__);
    return ctx;
}

void pm_context_destroy(pm_context* ctx) {
    delete ctx;
}

pm_result pm_begin_frame(pm_context* ctx, int w, int h) {
    return guarded(ctx, [&] { return ctx->beginFrame(w, h); });
}
pm_result pm_end_frame(pm_context* ctx) {
    return guarded(ctx, [&] { return ctx->endFrame(); });
}
pm_result pm_flush(pm_context* ctx) {
    return guarded(ctx, [&] { return ctx->flush(); });
}

pm_result pm_set_color(pm_context* ctx, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    return guarded(ctx, [&] { return ctx->setColor(r, g, b, a); });
}
pm_result pm_set_blend_mode(pm_context* ctx, pm_blend_mode mode) {
    return guarded(ctx, [&] { return ctx->setBlend(mode); });
}
pm_result pm_set_antialias(pm_context* ctx, int enabled) {
    return guarded(ctx, [&] { return ctx->setAntialias(enabled != 0); });
}
pm_result pm_set_clip(pm_context* ctx, int x, int y, int w, int h) {
    return guarded(ctx, [&] { return ctx->setClip(true, x, y, w, h); });
}
pm_result pm_reset_clip(pm_context* ctx) {
    return guarded(ctx, [&] { return ctx->setClip(false, 0, 0, 0, 0); });
}
pm_result pm_set_line_width(pm_context* ctx, float width) {
    return guarded(ctx, [&] { return ctx->setLineWidth(width); });
}
pm_result pm_set_line_cap(pm_context* ctx, pm_line_cap cap) {
    return guarded(ctx, [&] { return ctx->setLineCap(cap); });
}
pm_result pm_set_line_join(pm_context* ctx, pm_line_join join) {
    return guarded(ctx, [&] { return ctx->setLineJoin(join); });
}

pm_result pm_push(pm_context* ctx) {
    return guarded(ctx, [&] { return ctx->push(); });
}
pm_result pm_pop(pm_context* ctx) {
    return guarded(ctx, [&] { return ctx->pop(); });
}
pm_result pm_identity(pm_context* ctx) {
    return guarded(ctx, [&] { return ctx->setTransform({1, 0, 0, 1, 0, 0}); });
}
pm_result pm_translate(pm_context* ctx, float x, float y) {
    return guarded(ctx, [&] { return ctx->apply({1, 0, 0, 1, x, y}); });
}
pm_result pm_rotate(pm_context* ctx, float radians) {
    return guarded(ctx, [&] {
        float c = std::cos(radians), s = std::sin(radians);
        return ctx->apply({c, s, -s, c, 0, 0});
    });
}
pm_result pm_scale(pm_context* ctx, float sx, float sy) {
    return guarded(ctx, [&] { return ctx->apply({sx, 0, 0, sy, 0, 0}); });
}
pm_result pm_skew(pm_context* ctx, float ax, float ay) {
    return guarded(ctx, [&] { return ctx->apply({1, std::tan(ay), std::tan(ax), 1, 0, 0}); });
}
pm_result pm_set_transform(pm_context* ctx, const pm_transform* t) {
    return guarded(ctx, [&] { return t ? ctx->setTransform(*t) : PM_ERROR_INVALID_ARGUMENT; });
}
pm_result pm_get_transform(const pm_context* ctx, pm_transform* out) {
    if (!ctx || !out) return note(PM_ERROR_INVALID_ARGUMENT, __func__);
    *out = ctx->transform();
    return PM_OK;
}

pm_result pm_fill_rect(pm_context* ctx, float x, float y, float w, float h) {
    return guarded(ctx, [&] { return ctx->fillRect(x, y, w, h); });
}
pm_result pm_stroke_rect(pm_context* ctx, float x, float y, float w, float h) {
    return guarded(ctx, [&] { return ctx->strokeRect(x, y, w, h); });
}
pm_result pm_fill_polygon(pm_context* ctx, const float* xy, size_t count, pm_fill_rule rule) {
    return guarded(ctx, [&] { return ctx->fillPolygon(xy, count, rule); });
}

pm_result pm_fill_rounded_rect(pm_context* ctx, float x, float y, float w, float h, float radius) {
    return guarded(ctx, [&] { return ctx->fillRoundedRect(x, y, w, h, radius); });
}
pm_result pm_stroke_rounded_rect(pm_context* ctx, float x, float y, float w, float h, float radius) {
    return guarded(ctx, [&] { return ctx->strokeRoundedRect(x, y, w, h, radius); });
}
pm_result pm_fill_oval(pm_context* ctx, float x, float y, float w, float h) {
    return guarded(ctx, [&] { return ctx->fillArc(x, y, w, h, 0, 0, false); });
}
pm_result pm_stroke_oval(pm_context* ctx, float x, float y, float w, float h) {
    return guarded(ctx, [&] { return ctx->strokeArc(x, y, w, h, 0, 0, true); });
}
pm_result pm_fill_arc(pm_context* ctx, float x, float y, float w, float h, float start, float sweep) {
    return guarded(ctx, [&] { return ctx->fillArc(x, y, w, h, start, sweep, true); });
}
pm_result pm_stroke_arc(pm_context* ctx, float x, float y, float w, float h, float start, float sweep) {
    return guarded(ctx, [&] { return ctx->strokeArc(x, y, w, h, start, sweep, false); });
}
pm_result pm_line(pm_context* ctx, float x0, float y0, float x1, float y1) {
    const float xy[4] = {x0, y0, x1, y1};
    return guarded(ctx, [&] { return ctx->strokePoints(xy, 2, false); });
}
pm_result pm_polyline(pm_context* ctx, const float* xy, size_t count) {
    return guarded(ctx, [&] { return ctx->strokePoints(xy, count, false); });
}
pm_result pm_stroke_polygon(pm_context* ctx, const float* xy, size_t count) {
    return guarded(ctx, [&] { return ctx->strokePoints(xy, count, true); });
}
}
