#include "engine/media/platform/nE_Texture_Pl5.h"

#include <algorithm>

bool nE_Texture_Pl5::load(const std::string& name) {
    setName(name);
    if (!loadImage(name)) return false;

    pf::TTexture& texture = *platformTexture;
    const int w = texture.GetWidth(), h = texture.GetHeight();
    width = sourceWidth = static_cast<float>(w);
    height = sourceHeight = static_cast<float>(h);

    if (!allocMask(w, h)) return true;
    uint8_t* pixels = nullptr;
    int pitch = 0;
    // Without the pixels the mask stays clear; the image still draws.
    if (!texture.Lock(&pixels, &pitch, true)) return true;
    if (pixels && pitch >= w) {
        // Row by row, in the order the pixels lie in memory: a picture decoded on another core is not
        // in this one's cache, and walking it a column of blocks at a time missed on every row.
        for (int y = 0; y < h; ++y) {
            const uint8_t* row = pixels + static_cast<size_t>(y) * pitch * 4 + 3;
            for (int x0 = 0; x0 < w; x0 += 32) {
                const int n = std::min(32, w - x0);
                const uint8_t* alpha = row + static_cast<size_t>(x0) * 4;
                uint32_t word = 0;
                for (int i = 0; i < n; ++i) word |= static_cast<uint32_t>(alpha[i * 4] != 0) << i;
                maskBits[static_cast<size_t>(x0 >> 5) * maskHeight + y] = word;
            }
        }
    }
    texture.Unlock();
    return true;
}
