// The camera of an atmospheric effect: a perspective view of a small 3-D world (y grows downwards,
// the camera looks along +z) projected onto the effect's rectangle. Each update builds the view from
// the camera's position and angles, the box around the visible frustum in which particles spawn, and
// the projection.
#pragma once

#include <cmath>

#include "engine/objects/AtVec3.h"

class AtRenderer {
public:
    static constexpr float kFieldOfView = 1.570796f;
    static constexpr float kAspect = 1.3333334f;
    // Screen units: projected coordinates times this are pixels.
    static constexpr float kPixels = 768;

    // View, spawn box and projection for an effect of clipWidth × clipHeight pixels.
    void setup(float clipWidth, float clipHeight);
    // Screen position in pixels around the effect's centre and depth (0 at the near plane, 1 at the
    // far one) of a world point; false for a point at or behind the camera.
    bool project(const AtVec3& point, float& x, float& y, float& depth) const;
    // Whether a projected point lies within 0.1 screen units of the effect's rectangle.
    bool nearClip(float x, float y) const;
    // What project and nearClip together accept (a point in front, between the planes, near the
    // rectangle), tested without a division: a head start asks it of every drop at every step.
    bool sees(const AtVec3& p) const {
        const float* m = viewProj_;
        const float w = p.x * m[3] + p.y * m[7] + p.z * m[11] + m[15];
        if (!(w > 0)) return false;
        const float x = p.x * m[0] + p.y * m[4] + p.z * m[8] + m[12];
        const float y = p.x * m[1] + p.y * m[5] + p.z * m[9] + m[13];
        const float z = p.x * m[2] + p.y * m[6] + p.z * m[10] + m[14];
        return z >= 0 && z <= w && std::fabs(x) * kAspect <= (halfClipX_ + 0.1f) * w &&
               std::fabs(y) <= (halfClipY_ + 0.1f) * w;
    }
    // The drawn scale at a depth.
    float sizeAt(float depth, float particleScale) const;
    // The near and far planes in use (kept apart and in front of the camera).
    float nearPlane() const { return near_; }
    float farPlane() const { return far_; }

    float nearZ = 1.0f, farZ = 10.0f, floorClip = 2.2f;
    // Position and angles (radians: x pitch, y yaw, z roll; roll applies first, then pitch, then yaw).
    AtVec3 camPos, camAng;

    // The spawn box, in world space.
    AtVec3 boxMin, boxMax;

private:
    // Row-vector 4 × 4 matrices: world to view, and world to clip space.
    float view_[16] = {};
    float viewProj_[16] = {};
    float near_ = 1, far_ = 10;
    float halfClipX_ = 0, halfClipY_ = 0;
};
