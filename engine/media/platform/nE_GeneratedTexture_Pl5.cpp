#include "engine/media/platform/nE_GeneratedTexture_Pl5.h"

#include <algorithm>
#include <cstring>

#include "engine/core/nE_Colour.h"

bool nE_GeneratedTexture_Pl5::recreate(int w, int h, int type) {
    platformTexture.reset();
    if (w <= 0 || h <= 0) return false;
    platformTexture = pf::TTexture::Create(roundUpEven(w), roundUpEven(h), true, type);
    if (!platformTexture) return false;
    width = sourceWidth = static_cast<float>(platformTexture->GetWidth());
    height = sourceHeight = static_cast<float>(platformTexture->GetHeight());
    return true;
}

void nE_GeneratedTexture_Pl5::createFromBytes(const uint8_t* pixels, int w, int h, int mode) {
    if (!recreate(w, h, pf::TTexture::kPlain) || !pixels) return;
    uint8_t* dst = nullptr;
    int pitch = 0;
    if (!platformTexture->Lock(&dst, &pitch, false)) return;
    if (dst && pitch >= w) {
        for (int y = 0; y < h; ++y) {
            uint8_t* row = dst + static_cast<size_t>(y) * pitch * 4;
            if (mode == kAlphaBytes) {
                const uint8_t* src = pixels + static_cast<size_t>(y) * w;
                for (int x = 0; x < w; ++x) {
                    row[x * 4 + 0] = row[x * 4 + 1] = row[x * 4 + 2] = 255;
                    row[x * 4 + 3] = src[x];
                }
            } else if (mode == kRgbaBytes) {
                std::memcpy(row, pixels + static_cast<size_t>(y) * w * 4, static_cast<size_t>(w) * 4);
            }
        }
    }
    platformTexture->Unlock();
}

uint8_t* nE_GeneratedTexture_Pl5::beginWrite(int w, int h, int* pitch) {
    if (!pitch) return nullptr;
    const bool fits = platformTexture && platformTexture->GetType() == pf::TTexture::kPlain &&
                      platformTexture->GetWidth() == roundUpEven(w) &&
                      platformTexture->GetHeight() == roundUpEven(h);
    if (!fits && !recreate(w, h, pf::TTexture::kPlain)) return nullptr;
    uint8_t* pixels = nullptr;
    if (!platformTexture->Lock(&pixels, pitch, false)) return nullptr;
    return pixels;
}

void nE_GeneratedTexture_Pl5::endWrite() {
    if (platformTexture) platformTexture->Unlock();
}

void nE_GeneratedTexture_Pl5::createFromColours(int w, int h, const float* colours) {
    if (!recreate(w, h, pf::TTexture::kPlain) || !colours) return;
    uint8_t* dst = nullptr;
    int pitch = 0;
    if (!platformTexture->Lock(&dst, &pitch, false)) return;
    if (dst && pitch >= w) {
        for (int y = 0; y < h; ++y) {
            uint8_t* row = dst + static_cast<size_t>(y) * pitch * 4;
            const float* src = colours + static_cast<size_t>(y) * w * 4;
            for (int i = 0; i < w * 4; ++i) row[i] = nE_Colour::toByte(src[i]);
        }
    }
    platformTexture->Unlock();
}
