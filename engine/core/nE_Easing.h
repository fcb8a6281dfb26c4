// The curves, blends and clamps that animations share. Single precision with these constants, so that
// every widget that moves along the same curve lands on the same pixels.
#pragma once

#include <cmath>

class nE_Easing {
public:
    static constexpr float kPi = 3.141592f;
    static constexpr float kHalfPi = 1.570796f;

    // a at 0, b at 1; t is not clamped.
    static float lerp(float a, float b, float t) { return a + (b - a) * t; }
    // Held within 0..1; NaN becomes 0.
    static float clamp01(float value) { return value > 1 ? 1 : value > 0 ? value : 0; }

    // Quarter sine, 0 to 1: full speed at first, slowing to rest.
    static float sineOut(float t) { return std::sin(t * kPi * 0.5f); }
    // Quarter sine, 0 to 1: slow at first, full speed at the end.
    static float sineIn(float t) { return 1 + std::sin(t * kPi * 0.5f - kHalfPi); }
    // Half sine, 0 to 1: slow at both ends.
    static float sineInOut(float t) { return (1 + std::sin(t * kPi - kHalfPi)) / 2; }
};
