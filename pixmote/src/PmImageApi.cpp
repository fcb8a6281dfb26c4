// The exported image and image-font functions.
#include <memory>
#include <string>
#include <vector>

#include "pixmote/include/pixmote.h"
#include "pixmote/src/PmContext.h"
#include "pixmote/src/PmDecoder.h"
#include "pixmote/src/PmFont.h"
#include "pixmote/src/PmGuard.h"
#include "pixmote/src/PmImage.h"

using pixmote::PmDecoder;
using pixmote::PmPixels;

namespace {

// Files past these sizes are refused before they are read whole.
constexpr size_t kMaxImageFile = size_t(256) << 20;
constexpr size_t kMaxFontFile = size_t(64) << 20;

pm_result decodeImage(pm_context* ctx, const uint8_t* data, size_t size, pm_image** out) {
    PmPixels pixels;
    if (pm_result r = PmDecoder::decode(data, size, pixels)) return r;
    return pm_image::create(ctx->device(), pixels.w, pixels.h, pixels.rgba.get(), pixels.w * 4, out);
}

pm_result loadImageFile(pm_context* ctx, const std::string& path, pm_image** out) {
    std::vector<uint8_t> bytes;
    if (pm_result r = PmDecoder::readFile(path.c_str(), bytes, kMaxImageFile)) return r;
    return decodeImage(ctx, bytes.data(), bytes.size(), out);
}

}  // namespace

extern "C" {

pm_image* pm_image_load_file(pm_context* ctx, const char* path) {
    pm_image* image = nullptr;
    guarded(ctx, [&] { return path ? loadImageFile(ctx, path, &image) : PM_ERROR_INVALID_ARGUMENT; });
    return image;
}
pm_image* pm_image_load_memory(pm_context* ctx, const void* data, size_t size) {
    pm_image* image = nullptr;
    guarded(ctx, [&] { return decodeImage(ctx, static_cast<const uint8_t*>(data), size, &image); });
    return image;
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

pm_font* pm_font_load_file(pm_context* ctx, const char* path) {
    pm_font* font = nullptr;
    guarded(ctx, [&] {
        if (!path) return PM_ERROR_INVALID_ARGUMENT;
        std::vector<uint8_t> text;
        if (pm_result r = PmDecoder::readFile(path, text, kMaxFontFile)) return r;
        std::unique_ptr<pm_font> parsed;
        if (pm_result r = pm_font::parse(reinterpret_cast<const char*>(text.data()), text.size(), parsed))
            return r;
        // The pages lie beside the description, named relative to its folder.
        const std::string name(path);
        const size_t slash = name.rfind('/');
        const std::string folder = slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
        std::vector<std::unique_ptr<pm_image>> pages;
        for (const std::string& file : parsed->pageFiles()) {
            if (file.empty()) return PM_ERROR_DECODE;
            pm_image* page = nullptr;
            if (pm_result r = loadImageFile(ctx, file[0] == '/' ? file : folder + file, &page)) return r;
            pages.emplace_back(page);
        }
        std::vector<pm_image*> raw;
        for (auto& page : pages) raw.push_back(page.get());
        if (pm_result r = parsed->attachPages(raw, true)) return r;
        for (auto& page : pages) page.release();
        font = parsed.release();
        return PM_OK;
    });
    return font;
}
pm_font* pm_font_load_memory(pm_context* ctx, const char* description, size_t size, pm_image* page) {
    pm_font* font = nullptr;
    guarded(ctx, [&] {
        if (!description || !page) return PM_ERROR_INVALID_ARGUMENT;
        std::unique_ptr<pm_font> parsed;
        if (pm_result r = pm_font::parse(description, size, parsed)) return r;
        if (pm_result r = parsed->attachPages({page}, false)) return r;
        font = parsed.release();
        return PM_OK;
    });
    return font;
}
void pm_font_destroy(pm_font* font) {
    delete font;
}
float pm_font_line_height(const pm_font* font) {
    if (!font) {
        pixmote::note(PM_ERROR_INVALID_ARGUMENT, __func__);
        return 0;
    }
    return font->lineHeight();
}
pm_result pm_measure_text(const pm_font* font, const char* text, float wrap_width, float* w, float* h) {
    return guarded(font, [&] { return font->measure(text, wrap_width, w, h); });
}
pm_result pm_draw_text(pm_context* ctx, const pm_font* font, const char* text, float x, float y,
                       float wrap_width, pm_align align) {
    return guarded(ctx, [&] {
        if (!font) return PM_ERROR_INVALID_ARGUMENT;
        return font->draw(ctx, text, x, y, wrap_width, align);
    });
}
}
