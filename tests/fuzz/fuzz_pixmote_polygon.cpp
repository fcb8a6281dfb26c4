// Fuzzes Pixmote's polygon filler on a 32 x 32 software target. The first byte picks the fill rule,
// antialiasing, a clip, a transform, whether numbers come as raw floats (NaN, infinities, huge
// values) or as small fixed-point ones, and whether the device asks for antialiasing by geometry;
// then come the clip, the transform and the points. Whatever the bytes, the fill is refused or it
// covers only pixels inside the clip and the outline's box (by geometry, the box grown by the
// fringe's reach), with no more than the colour's alpha; a refused fill draws nothing.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "pixmote/include/pixmote.h"
#include "pixmote/include/pixmote_software.h"

namespace {

constexpr int kSide = 32;
constexpr uint8_t kAlpha = 200;

struct Reader {
    const uint8_t* data;
    size_t size;
    bool raw;

    bool more(size_t n) const { return size >= n; }
    int8_t byte() {
        if (!size) return 0;
        --size;
        return static_cast<int8_t>(*data++);
    }
    // A raw float, or a fixed-point value with the given step.
    float number(float step) {
        if (raw) {
            float v = 0;
            if (size >= sizeof v) std::memcpy(&v, data, sizeof v), data += sizeof v, size -= sizeof v;
            return v;
        }
        int16_t v = static_cast<int16_t>(static_cast<uint8_t>(byte()) | (static_cast<uint8_t>(byte()) << 8));
        return v * step;
    }
};

// The software device, with every batch checked before it is drawn.
struct Checked {
    pm_device inner;
    int bounds[4];  // x0, y0, x1, y1 the triangles must stay in
    bool geometric;
    double box[4];  // by geometry, the outline's box instead: the device clips
};
Checked checked;

int checkedDraw(void* user, const pm_vertex* v, int count, uint32_t texture, pm_blend_mode blend) {
    if (count <= 0 || count % 3 != 0) std::abort();
    for (int i = 0; i < count; ++i) {
        if (checked.geometric ? !(v[i].x >= checked.box[0] - 2.5 && v[i].x <= checked.box[2] + 2.5 &&
                                  v[i].y >= checked.box[1] - 2.5 && v[i].y <= checked.box[3] + 2.5)
                              : !(v[i].x >= checked.bounds[0] && v[i].x <= checked.bounds[2] &&
                                  v[i].y >= checked.bounds[1] && v[i].y <= checked.bounds[3]))
            std::abort();
        if (v[i].a > kAlpha || v[i].r != 255 || v[i].g != 255 || v[i].b != 255) std::abort();
    }
    return checked.inner.draw_triangles(user, v, count, texture, blend);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t flags = data[0];
    Reader in{data + 1, size - 1, (flags & 8) != 0};
    const bool evenOdd = flags & 1, antialias = flags & 2, clip = flags & 4, transformed = flags & 16;
    checked.geometric = flags & 32;
    int clipRect[4] = {0, 0, kSide, kSide};
    if (clip)
        for (int& v : clipRect) v = in.byte() / 2;
    pm_transform t = {1, 0, 0, 1, 0, 0};
    if (transformed) {
        float* m[6] = {&t.a, &t.b, &t.c, &t.d, &t.e, &t.f};
        for (int i = 0; i < 6; ++i) *m[i] = in.number(i < 4 ? 1.0f / 4096 : 1.0f / 256);
    }
    std::vector<float> xy;
    while (in.more(in.raw ? 8 : 4) && xy.size() < 2 * 4096) xy.push_back(in.number(1.0f / 256));
    if (xy.size() % 2) xy.pop_back();

    pm_software* sw = pm_software_create(kSide, kSide);
    checked.inner = *pm_software_device(sw);
    pm_device device = checked.inner;
    device.draw_triangles = checkedDraw;
    device.fill_runs = nullptr;  // fills come as triangles, so that every one is checked
    device.geometric_antialias = checked.geometric;
    pm_context* ctx = pm_context_create(&device);
    if (!ctx) std::abort();
    pm_begin_frame(ctx, kSide, kSide);
    pm_set_color(ctx, 255, 255, 255, kAlpha);
    pm_set_antialias(ctx, antialias);
    checked.bounds[0] = checked.bounds[1] = 0, checked.bounds[2] = checked.bounds[3] = kSide;
    if (clip && pm_set_clip(ctx, clipRect[0], clipRect[1], clipRect[2], clipRect[3]) == PM_OK) {
        checked.bounds[0] = std::max(0, clipRect[0]), checked.bounds[1] = std::max(0, clipRect[1]);
        checked.bounds[2] = std::min(kSide, clipRect[0] + clipRect[2]);
        checked.bounds[3] = std::min(kSide, clipRect[1] + clipRect[3]);
    }
    const bool placed = !transformed || pm_set_transform(ctx, &t) == PM_OK;
    // The outline's box on the device, beyond which nothing may be covered.
    double box[4] = {1e300, 1e300, -1e300, -1e300};
    const pm_transform& m = placed ? t : pm_transform{1, 0, 0, 1, 0, 0};
    for (size_t i = 0; i + 1 < xy.size(); i += 2) {
        double x = double(m.a) * xy[i] + double(m.c) * xy[i + 1] + m.e;
        double y = double(m.b) * xy[i] + double(m.d) * xy[i + 1] + m.f;
        box[0] = std::min(box[0], x), box[1] = std::min(box[1], y);
        box[2] = std::max(box[2], x), box[3] = std::max(box[3], y);
    }
    std::copy(box, box + 4, checked.box);
    pm_result r = pm_fill_polygon(ctx, xy.data(), xy.size() / 2, evenOdd ? PM_FILL_EVENODD : PM_FILL_NONZERO);
    pm_end_frame(ctx);
    const uint8_t* pixels = pm_software_pixels(sw);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const uint8_t* p = &pixels[(y * kSide + x) * 4];
            if (!p[3]) continue;
            bool inClip = x >= checked.bounds[0] && x < checked.bounds[2] && y >= checked.bounds[1] &&
                          y < checked.bounds[3];
            const double reach = checked.geometric ? 2.5 : 0;
            bool inBox =
                x + 1 > box[0] - reach && x < box[2] + reach && y + 1 > box[1] - reach && y < box[3] + reach;
            if (r != PM_OK || !inClip || !inBox || p[3] > kAlpha) std::abort();
        }
    pm_context_destroy(ctx);
    pm_software_destroy(sw);
    return 0;
}
