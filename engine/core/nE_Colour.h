// Colour channels and alpha: clamped to 0..1 where they are stored, turned into bytes where they are
// drawn, the same way everywhere.
#pragma once

#include <cstdint>

class nE_Colour {
public:
    // 255 × the clamped value, the fraction dropped.
    static uint8_t toByte(float value) {
        return value >= 1 ? 255 : value > 0 ? static_cast<uint8_t>(value * 255) : 0;
    }
};
