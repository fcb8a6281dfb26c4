#include "pixmote/src/PmImage.h"

#include <cstring>
#include <memory>

pm_result pm_image::create(const pm_device& device, int w, int h, const uint8_t* rgba, int stride,
                           pm_image** out) {
    *out = nullptr;
    if (!rgba || w <= 0 || h <= 0 || stride < 0) return PM_ERROR_INVALID_ARGUMENT;
    if (w > kPmMaxImageSide || h > kPmMaxImageSide) return PM_ERROR_TOO_LARGE;
    if (stride < w * 4) return PM_ERROR_INVALID_ARGUMENT;
    std::unique_ptr<pm_image> image(new pm_image);
    image->device_ = device;
    image->w_ = w;
    image->h_ = h;
    image->rgba_.resize(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y)
        std::memcpy(&image->rgba_[static_cast<size_t>(y) * w * 4], rgba + static_cast<size_t>(y) * stride,
                    static_cast<size_t>(w) * 4);
    image->texture_ = device.create_texture(device.user, w, h, image->rgba_.data());
    if (image->texture_ == PM_NO_TEXTURE) return PM_ERROR_DEVICE;
    *out = image.release();
    return PM_OK;
}

pm_image::~pm_image() {
    if (texture_ != PM_NO_TEXTURE) device_.destroy_texture(device_.user, texture_);
}
