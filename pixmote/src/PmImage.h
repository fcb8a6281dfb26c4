// The image behind the pm_image handle: its straight RGBA8 pixels, kept for the pixel-exact collision
// tests, and its texture on the device it was made on. The image holds its own copy of the device
// table, so that it can be destroyed after the context it was loaded through.
#pragma once

#include <cstdint>
#include <vector>

#include "pixmote/include/pixmote.h"

// Larger sides are refused, as no device is required to hold them.
constexpr int kPmMaxImageSide = 16384;

struct pm_image {
public:
    // Copies w x h pixels from rows stride bytes apart and makes the texture; PM_OK or why not.
    static pm_result create(const pm_device& device, int w, int h, const uint8_t* rgba, int stride,
                            pm_image** out);
    ~pm_image();

    int width() const { return w_; }
    int height() const { return h_; }
    uint32_t texture() const { return texture_; }
    // Rows of width * 4 bytes, top row first.
    const std::vector<uint8_t>& pixels() const { return rgba_; }

private:
    pm_image() = default;

    pm_device device_{};
    int w_ = 0, h_ = 0;
    uint32_t texture_ = PM_NO_TEXTURE;
    std::vector<uint8_t> rgba_;
};
