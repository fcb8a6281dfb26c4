#include "pixmote/src/PmImageCollision.h"

#include <algorithm>
#include <cmath>

#include "pixmote/src/PmCollision.h"
#include "pixmote/src/PmImage.h"

namespace pixmote {

namespace {

struct Placed {
    const pm_image* image;
    PmAffine back;  // device to image space
    double x0, x1, y0, y1;
    uint8_t threshold;

    // Narrows [lo, hi] to the pixel centres of the row at cy that fall inside the image; false if none.
    bool span(double cy, double& lo, double& hi) const {
        const double sizes[2] = {double(image->width()), double(image->height())};
        const double slopes[2] = {back.a, back.b};
        const double starts[2] = {back.c * cy + back.e, back.d * cy + back.f};
        for (int k = 0; k < 2; ++k) {
            if (slopes[k] == 0) {
                if (starts[k] < 0 || starts[k] >= sizes[k]) return false;
                continue;
            }
            double from = -starts[k] / slopes[k], to = (sizes[k] - starts[k]) / slopes[k];
            lo = std::max(lo, std::min(from, to)), hi = std::min(hi, std::max(from, to));
        }
        return lo <= hi;
    }

    bool solid(double cx, double cy) const {
        double u = back.a * cx + back.c * cy + back.e, v = back.b * cx + back.d * cy + back.f;
        if (!(u >= 0 && v >= 0 && u < image->width() && v < image->height())) return false;
        size_t i = static_cast<size_t>(u), j = static_cast<size_t>(v);
        return image->pixels()[(j * image->width() + i) * 4 + 3] > threshold;
    }

    // How far along the row, in pixels, the centre stays in the texel it is in now (or out of the image).
    double run(double cx, double cy) const {
        double u = back.a * cx + back.c * cy + back.e, v = back.b * cx + back.d * cy + back.f, best = 1e300;
        for (double at : {u, v}) {
            const double slope = at == u ? back.a : back.b;
            if (slope > 0) best = std::min(best, (std::floor(at) + 1 - at) / slope);
            if (slope < 0) best = std::min(best, (at - std::floor(at)) / -slope);
        }
        return best;
    }
};

// The image's place on the device; false (with area) for a transform that flattens it.
pm_result place(const pm_image& image, const pm_transform* t, uint8_t threshold, Placed* out, bool* area) {
    PmAffine m;
    if (pm_result r = PmAffine::from(t, &m)) return r;
    const double w = image.width(), h = image.height();
    const PmPoint corners[4] = {m.apply(0, 0), m.apply(w, 0), m.apply(w, h), m.apply(0, h)};
    *out = {&image, m, 1e300, -1e300, 1e300, -1e300, threshold};
    for (const PmPoint& p : corners) {
        if (!PmCollision::usable(p.x) || !PmCollision::usable(p.y)) return PM_ERROR_INVALID_ARGUMENT;
        out->x0 = std::min(out->x0, p.x), out->x1 = std::max(out->x1, p.x);
        out->y0 = std::min(out->y0, p.y), out->y1 = std::max(out->y1, p.y);
    }
    *area = m.det() != 0;
    if (*area) out->back = m.inverse();
    return PM_OK;
}

}  // namespace

pm_result PmImageCollision::overlap(const pm_image& a, const pm_transform* ta, const pm_image& b,
                                    const pm_transform* tb, uint8_t threshold, bool* hit) {
    Placed pa, pb;
    bool areaA = false, areaB = false;
    if (pm_result r = place(a, ta, threshold, &pa, &areaA)) return r;
    if (pm_result r = place(b, tb, threshold, &pb, &areaB)) return r;
    *hit = false;
    if (!areaA || !areaB) return PM_OK;
    // Rows and columns of pixels whose centres lie in both boxes.
    const double x0 = std::max(pa.x0, pb.x0), x1 = std::min(pa.x1, pb.x1);
    const double y0 = std::max(pa.y0, pb.y0), y1 = std::min(pa.y1, pb.y1);
    const long long top = static_cast<long long>(std::ceil(y0 - 0.5));
    const long long bottom = static_cast<long long>(std::floor(y1 - 0.5));
    double visited = 0;
    for (long long y = top; y <= bottom; ++y) {
        if (++visited > kMaxPixels) return PM_ERROR_TOO_LARGE;
        const double cy = y + 0.5;
        double lo = x0, hi = x1;
        if (!pa.span(cy, lo, hi) || !pb.span(cy, lo, hi)) continue;
        // One pixel of slack on each side for the rounding of the span; each pixel is tested exactly.
        const long long left = static_cast<long long>(std::ceil(lo - 0.5)) - 1;
        const long long right = static_cast<long long>(std::floor(hi - 0.5)) + 1;
        for (long long x = left; x <= right;) {
            if (++visited > kMaxPixels) return PM_ERROR_TOO_LARGE;
            const double cx = x + 0.5;
            if (pa.solid(cx, cy) && pb.solid(cx, cy)) return *hit = true, PM_OK;
            // Magnified texels are passed over a run at a time: the step stops short of the next
            // texel side, so that the first pixel of every run is tested.
            double step = std::min({pa.run(cx, cy), pb.run(cx, cy), double(right - x + 1)});
            x += std::max(1LL, static_cast<long long>(std::floor(step)));
        }
    }
    return PM_OK;
}

}  // namespace pixmote
