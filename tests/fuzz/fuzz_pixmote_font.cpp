// Fuzzes Pixmote's image-font loader with glyph tables: counts that lie, glyphs off their page, absurd
// and malformed numbers, broken quotes. A font that loads then lays out and draws the same bytes as
// UTF-8 text, wrapped and aligned each way: nothing it does may crash, and its measure must be sane.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "pixmote/include/pixmote.h"
#include "pixmote/include/pixmote_software.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static pm_context* ctx = pm_context_create(pm_software_device(pm_software_create(64, 64)));
    static pm_image* page = [] {
        std::vector<uint8_t> rgba(128 * 128 * 4, 255);
        return pm_image_create_rgba(ctx, 128, 128, rgba.data(), 128 * 4);
    }();
    const std::string text(reinterpret_cast<const char*>(data), size);
    pm_font* font = pm_font_load_memory(ctx, text.data(), text.size(), page);
    if (!font) {
        if (pm_last_error() != PM_ERROR_DECODE) std::abort();
        return 0;
    }
    const float line = pm_font_line_height(font);
    pm_begin_frame(ctx, 64, 64);
    for (float wrap : {0.0f, 40.0f}) {
        float w = 0, h = 0;
        if (pm_measure_text(font, text.c_str(), wrap, &w, &h) == PM_OK) {
            if (!std::isfinite(w) || w < 0 || h < 0 || std::fmod(h, line) != 0) std::abort();
        }
        for (int align = 0; align < 3; ++align)
            pm_draw_text(ctx, font, text.c_str(), 8, 8, wrap, static_cast<pm_align>(align));
    }
    pm_end_frame(ctx);
    pm_font_destroy(font);
    return 0;
}
