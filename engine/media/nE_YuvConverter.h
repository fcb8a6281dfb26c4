// Y'CbCr to RGBA in the integer form of ITU-R BT.601 (studio range): with y = 298 (Y - 16),
//   red   = (y + 409 (V - 128) + 128) / 256
//   green = (y - 100 (U - 128) - 208 (V - 128) + 128) / 256
//   blue  = (y + 516 (U - 128) + 128) / 256, each held to 0..255.
// The products come from tables; a pixel costs lookups and adds only.
#pragma once

#include <cstdint>

#include "engine/media/nE_TheoraStream.h"

class nE_YuvConverter {
public:
    static void toRgb(int y, int u, int v, uint8_t rgb[3]);

    // Converts the width x height picture of `colour` into RGBA rows of `pitch` pixels. The alpha is
    // 255 without a source, the byte of `alphaPlane` (width x height, row by row), or the red value
    // of the alpha video's Y and V at the pixel. A pixel of alpha 0 has colour bytes 0.
    static void convert(const nE_TheoraStream::Planes& colour, int width, int height,
                        const uint8_t* alphaPlane, const nE_TheoraStream::Planes* alphaVideo, uint8_t* out,
                        int pitch);
};
