// The exported collision tests: the answer goes to *hit, which is 0 whenever a test is refused.
#include "pixmote/include/pixmote.h"
#include "pixmote/src/PmCollision.h"
#include "pixmote/src/PmGuard.h"
#include "pixmote/src/PmImageCollision.h"

using pixmote::PmCollision;

namespace {

template <typename F>
pm_result answer(const char* function, int* hit, F&& test) {
    if (!hit) return pixmote::note(PM_ERROR_INVALID_ARGUMENT, function);
    *hit = 0;
    bool result = false;
    pm_result r = pixmote::guardedCall(function, [&] { return test(&result); });
    if (r == PM_OK) *hit = result ? 1 : 0;
    return r;
}

}  // namespace

extern "C" {

pm_result pm_point_in_rect(float px, float py, float x, float y, float w, float h, const pm_transform* t,
                           int* hit) {
    const float rect[4] = {x, y, w, h};
    return answer(__func__, hit, [&](bool* out) { return PmCollision::pointInRect(px, py, rect, t, out); });
}
pm_result pm_point_in_oval(float px, float py, float x, float y, float w, float h, const pm_transform* t,
                           int* hit) {
    const float rect[4] = {x, y, w, h};
    return answer(__func__, hit, [&](bool* out) { return PmCollision::pointInOval(px, py, rect, t, out); });
}
pm_result pm_point_in_polygon(float px, float py, const float* xy, size_t count, pm_fill_rule rule,
                              const pm_transform* t, int* hit) {
    return answer(__func__, hit,
                  [&](bool* out) { return PmCollision::pointInPolygon(px, py, xy, count, rule, t, out); });
}
pm_result pm_rects_overlap(float ax, float ay, float aw, float ah, const pm_transform* ta, float bx, float by,
                           float bw, float bh, const pm_transform* tb, int* hit) {
    const float a[4] = {ax, ay, aw, ah}, b[4] = {bx, by, bw, bh};
    return answer(__func__, hit, [&](bool* out) { return PmCollision::rectsOverlap(a, ta, b, tb, out); });
}
pm_result pm_ovals_overlap(float ax, float ay, float aw, float ah, const pm_transform* ta, float bx, float by,
                           float bw, float bh, const pm_transform* tb, int* hit) {
    const float a[4] = {ax, ay, aw, ah}, b[4] = {bx, by, bw, bh};
    return answer(__func__, hit, [&](bool* out) { return PmCollision::ovalsOverlap(a, ta, b, tb, out); });
}
pm_result pm_polygons_overlap(const float* axy, size_t acount, const pm_transform* ta, const float* bxy,
                              size_t bcount, const pm_transform* tb, int* hit) {
    return answer(__func__, hit, [&](bool* out) {
        return PmCollision::polygonsOverlap(axy, acount, ta, bxy, bcount, tb, out);
    });
}
pm_result pm_images_overlap(const pm_image* a, const pm_transform* ta, const pm_image* b,
                            const pm_transform* tb, uint8_t alpha_threshold, int* hit) {
    return answer(__func__, hit, [&](bool* out) {
        if (!a || !b) return PM_ERROR_INVALID_ARGUMENT;
        return pixmote::PmImageCollision::overlap(*a, ta, *b, tb, alpha_threshold, out);
    });
}
}
