// The exported collision tests.
#include "pixmote/include/pixmote.h"
#include "pixmote/src/PmGuard.h"

extern "C" {

pm_result pm_point_in_rect(float, float, float, float, float, float, const pm_transform*, int*) {
    return unsupported();
}
pm_result pm_point_in_oval(float, float, float, float, float, float, const pm_transform*, int*) {
    return unsupported();
}
pm_result pm_point_in_polygon(float, float, const float*, size_t, pm_fill_rule, const pm_transform*, int*) {
    return unsupported();
}
pm_result pm_rects_overlap(float, float, float, float, const pm_transform*, float, float, float, float,
                           const pm_transform*, int*) {
    return unsupported();
}
pm_result pm_ovals_overlap(float, float, float, float, const pm_transform*, float, float, float, float,
                           const pm_transform*, int*) {
    return unsupported();
}
pm_result pm_polygons_overlap(const float*, size_t, const pm_transform*, const float*, size_t,
                              const pm_transform*, int*) {
    return unsupported();
}
pm_result pm_images_overlap(const pm_image*, const pm_transform*, const pm_image*, const pm_transform*,
                            uint8_t, int*) {
    return unsupported();
}
}
