// Turns PNG and JPEG bytes into straight RGBA8 pixels. Sizes are read from the header and checked
// before the pixel buffer is allocated; the libraries' own error paths (libpng's longjmp, libjpeg's
// error exit) come back here as PM_ERROR_DECODE with everything they allocated released.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "pixmote/include/pixmote.h"

namespace pixmote {

// Decoded pixels: rows of w * 4 bytes, top row first.
struct PmPixels {
    std::unique_ptr<uint8_t[]> rgba;
    int w = 0, h = 0;
};

class PmDecoder {
public:
    // Decodes data (PNG or JPEG, told apart by their signatures). PM_ERROR_DECODE for anything else
    // or anything broken or cut short, PM_ERROR_TOO_LARGE for a side over the image limit.
    static pm_result decode(const uint8_t* data, size_t size, PmPixels& out);
    // Reads a whole file; PM_ERROR_IO when it cannot be opened or read, PM_ERROR_TOO_LARGE past limit.
    static pm_result readFile(const char* path, std::vector<uint8_t>& bytes, size_t limit);

private:
    static pm_result decodePng(const uint8_t* data, size_t size, PmPixels& out);
    static pm_result decodeJpeg(const uint8_t* data, size_t size, PmPixels& out);
};

}  // namespace pixmote
