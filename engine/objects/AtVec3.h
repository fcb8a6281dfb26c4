// The 3-vector of the atmospheric effect's small world: positions, velocities and forces.
#pragma once

#include <cmath>

struct AtVec3 {
    float x = 0, y = 0, z = 0;

    AtVec3() = default;
    AtVec3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    AtVec3 operator+(const AtVec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    AtVec3 operator-(const AtVec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    AtVec3 operator*(float k) const { return {x * k, y * k, z * k}; }
    AtVec3& operator+=(const AtVec3& o) {
        x += o.x, y += o.y, z += o.z;
        return *this;
    }
    float dot(const AtVec3& o) const { return x * o.x + y * o.y + z * o.z; }
    float length() const { return std::sqrt(dot(*this)); }
};
