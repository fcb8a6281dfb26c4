// Value types shared by the platform library and its callers.
#pragma once

#include <cstdint>
#include <string>

namespace pf {

using str = std::string;

struct TVec2 {
    float x = 0, y = 0;
};

struct TVec3 {
    float x = 0, y = 0, z = 0;
};

// 4x4 matrix, row-vector convention: p' = p * M, translation in elements 12, 13, 14.
struct TMat4 {
    float m[16];

    static TMat4 Identity();
    TMat4 operator*(const TMat4& o) const;
    // Transforms the point (x, y, 0, 1).
    TVec2 Apply(float x, float y) const;
    bool IsIdentity() const;
};

// One byte per channel, in memory order r, g, b, a.
struct TColor32 {
    uint8_t r = 255, g = 255, b = 255, a = 255;
};

struct TColor {
    float r = 1, g = 1, b = 1, a = 1;
};

// Integer rectangle: left, top inclusive; right, bottom exclusive.
struct TURect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// The 24-byte vertex of every draw: position, packed colour, texture coordinates.
struct TVertex {
    float x = 0, y = 0, z = 0;
    TColor32 color;
    float u = 0, v = 0;
};
static_assert(sizeof(TVertex) == 24, "vertex layout is 24 bytes");

struct TVertexSet {
    const TVertex* vertices = nullptr;
    int count = 0;
};

}  // namespace pf
