// The exported image and image-font functions.
#include "pixmote/include/pixmote.h"
#include "pixmote/src/PmContext.h"
#include "pixmote/src/PmGuard.h"
#include "pixmote/src/PmImage.h"

extern "C" {

// Declared for the hosts' sake, filled in by later versions.
pm_image* pm_image_load_file(pm_context*, const char*) {
    return unsupportedHandle(pm_image);
}
pm_image* pm_image_load_memory(pm_context*, const void*, size_t) {
    return unsupportedHandle(pm_image);
}
pm_image* pm_image_create_rgba(pm_context* ctx, int w, int h, const uint8_t* rgba, int stride) {
    pm_image* image = nullptr;
    pm_result r = guarded(ctx, [&] { return pm_image::create(ctx->device(), w, h, rgba, stride, &image); });
    return r == PM_OK ? image : nullptr;
}
void pm_image_destroy(pm_image* image) {
    delete image;
}
pm_result pm_image_size(const pm_image* image, int* w, int* h) {
    if (!image || !w || !h) return pixmote::note(PM_ERROR_INVALID_ARGUMENT, __func__);
    *w = image->width();
    *h = image->height();
    return PM_OK;
}
pm_result pm_draw_image(pm_context*, const pm_image*, float, float) {
    return unsupported();
}
pm_result pm_draw_image_rect(pm_context*, const pm_image*, float, float, float, float, float, float, float,
                             float) {
    return unsupported();
}

pm_font* pm_font_load_file(pm_context*, const char*) {
    return unsupportedHandle(pm_font);
}
pm_font* pm_font_load_memory(pm_context*, const char*, size_t, pm_image*) {
    return unsupportedHandle(pm_font);
}
void pm_font_destroy(pm_font*) {}
float pm_font_line_height(const pm_font*) {
    unsupported();
    return 0;
}
pm_result pm_measure_text(const pm_font*, const char*, float, float*, float*) {
    return unsupported();
}
pm_result pm_draw_text(pm_context*, const pm_font*, const char*, float, float, float, pm_align) {
    return unsupported();
}
}
