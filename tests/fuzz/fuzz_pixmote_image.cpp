// Fuzzes Pixmote's image decoders with whole files: PNG and JPEG headers that lie about the size, data
// cut short, broken streams. Whatever the bytes, an image that comes back is within the side limit
// and has a texture; a refusal gives a code, never a crash or a leak.
#include <cstdint>
#include <cstdlib>

#include "pixmote/include/pixmote.h"
#include "pixmote/include/pixmote_software.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static pm_context* ctx = pm_context_create(pm_software_device(pm_software_create(1, 1)));
    pm_image* image = pm_image_load_memory(ctx, data, size);
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
