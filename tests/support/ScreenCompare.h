// Screenshots compared with kept reference images: both are looked at scaled down by four with a box
// filter, so that a reference stays small and a single pixel of rasterising difference does not count.
// Used by the run tests and by the playthrough's compare_screens program.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "pflib/TTexture.h"

namespace halverntest {

// A reduced pixel differs when one of its colour channels is further off than this.
constexpr int kChannelTolerance = 24;

// The image scaled down by four with a box filter.
inline std::vector<uint8_t> reduced(const std::shared_ptr<pf::TTexture>& image, int& w, int& h) {
    w = image->GetWidth() / 4;
    h = image->GetHeight() / 4;
    uint8_t* p = nullptr;
    int pitch = 0;  // in pixels
    image->Lock(&p, &pitch, true);
    std::vector<uint8_t> out(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 4; ++c) {
                int sum = 0;
                for (int dy = 0; dy < 4; ++dy)
                    for (int dx = 0; dx < 4; ++dx)
                        sum += p[(static_cast<size_t>(y * 4 + dy) * pitch + (x * 4 + dx)) * 4 + c];
                out[(static_cast<size_t>(y) * w + x) * 4 + c] = static_cast<uint8_t>((sum + 8) / 16);
            }
    image->Unlock();
    return out;
}

// How many pixels of a reduced image (w x h) differ from the reference; -1 when the sizes differ.
inline int differingPixels(const std::vector<uint8_t>& got, int w, int h,
                           const std::shared_ptr<pf::TTexture>& reference) {
    if (reference->GetWidth() != w || reference->GetHeight() != h) return -1;
    uint8_t* r = nullptr;
    int pitch = 0;
    reference->Lock(&r, &pitch, true);
    int differing = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* a = &got[(static_cast<size_t>(y) * w + x) * 4];
            const uint8_t* b = r + (static_cast<size_t>(y) * pitch + x) * 4;
            for (int c = 0; c < 3; ++c)
                if (std::abs(a[c] - b[c]) > kChannelTolerance) {
                    ++differing;
                    break;
                }
        }
    reference->Unlock();
    return differing;
}

// Up to half a percent of the reduced pixels may differ (rasterising and rounding).
inline int allowedDifferingPixels(int w, int h) {
    return w * h / 200;
}

}  // namespace halverntest
