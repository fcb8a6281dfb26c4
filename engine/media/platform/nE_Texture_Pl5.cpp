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
        for (int block = 0; block * 32 < w; ++block) {
            const int x0 = block * 32, x1 = std::min(w, x0 + 32);
            uint32_t* words = &maskBits[static_cast<size_t>(block) * maskHeight];
            for (int y = 0; y < h; ++y) {
                const uint8_t* alpha = pixels + (static_cast<size_t>(y) * pitch + x0) * 4 + 3;
                uint32_t word = 0;
                for (int x = x0; x < x1; ++x, alpha += 4)
                    if (*alpha) word |= 1u << (x - x0);
                words[y] = word;
            }
        }
    }
    texture.Unlock();
    return true;
}
