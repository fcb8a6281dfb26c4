// Pixel-exact overlap of two images, each under its own transform. A device pixel (x, y) belongs to an
// image when its centre (x + 0.5, y + 0.5), taken back through the image's transform, falls in a texel
// [i, i + 1) x [j, j + 1) of the image placed at the origin: the pixels a nearest-sampled drawing
// lights. Two images overlap when some pixel belongs to a texel of each whose alpha is above the
// threshold.
#pragma once

#include <cstdint>

#include "pixmote/include/pixmote.h"

namespace pixmote {

class PmImageCollision {
public:
    // Device pixels one test may visit where the images' outlines meet; far beyond any sprite.
    static constexpr double kMaxPixels = 64.0 * 1024 * 1024;

    // PM_OK with *hit set, or the reason for refusing (and *hit is left alone).
    static pm_result overlap(const pm_image& a, const pm_transform* ta, const pm_image& b,
                             const pm_transform* tb, uint8_t threshold, bool* hit);
};

}  // namespace pixmote
