// Fuzzes Pixmote's image decoders with whole files: PNG and JPEG headers that lie about the size, data
// cut short, broken streams. Whatever the bytes, an image that comes back is within the side limit
// and has a texture; a refusal gives a code, never a crash or a leak.
#include <cstdint>
#include <cstdlib>

#include "pixmote/include/pixmote.h"

namespace {

pm_context* context() {
    static pm_device device = [] {
        pm_device d{};
        d.create_texture = [](void*, int, int, const uint8_t*) -> uint32_t { return 1; };
        d.update_texture = [](void*, uint32_t, int, int, int, int, const uint8_t*, int) { return 0; };
        d.destroy_texture = [](void*, uint32_t) {};
        d.draw_triangles = [](void*, const pm_vertex*, int, uint32_t, pm_blend_mode) { return 0; };
        d.set_clip = [](void*, int, int, int, int, int) {};
        d.begin_frame = [](void*, int, int) {};
        d.end_frame = [](void*) {};
        return d;
    }();
    static pm_context* ctx = pm_context_create(&device);
    return ctx;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pm_image* image = pm_image_load_memory(context(), data, size);
    if (image) {
        int w = 0, h = 0;
        if (pm_image_size(image, &w, &h) != PM_OK || w <= 0 || h <= 0 || w > 16384 || h > 16384) std::abort();
        pm_image_destroy(image);
    } else {
        const pm_result r = pm_last_error();
        if (r != PM_ERROR_DECODE && r != PM_ERROR_TOO_LARGE && r != PM_ERROR_OUT_OF_MEMORY) std::abort();
    }
    return 0;
}
