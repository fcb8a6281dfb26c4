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
pm_result pm_draw_image(pm_context* ctx, const pm_image* image, float x, float y) {
    return guarded(ctx, [&] {
        if (!image) return PM_ERROR_INVALID_ARGUMENT;
        const float src[4] = {0, 0, float(image->width()), float(image->height())};
        const float dst[4] = {x, y, float(image->width()), float(image->height())};
        return ctx->drawTexturedQuad(image->texture(), image->width(), image->height(), src, dst);
    });
}
pm_result pm_draw_image_rect(pm_context* ctx, const pm_image* image, float sx, float sy, float sw, float sh,
                             float dx, float dy, float dw, float dh) {
    return guarded(ctx, [&] {
        if (!image) return PM_ERROR_INVALID_ARGUMENT;
        // The source rectangle must lie within the image: sampling outside it has no meaning.
        if (!(sx >= 0 && sy >= 0 && sx + sw <= image->width() && sy + sh <= image->height()))
            return PM_ERROR_INVALID_ARGUMENT;
        const float src[4] = {sx, sy, sw, sh};
        const float dst[4] = {dx, dy, dw, dh};
        return ctx->drawTexturedQuad(image->texture(), image->width(), image->height(), src, dst);
    });
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
