#include "engine/objects/AtRenderer.h"

#include <algorithm>
#include <cmath>

namespace {

void multiply(const float a[16], const float b[16], float out[16]) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) sum += a[r * 4 + k] * b[k * 4 + c];
            out[r * 4 + c] = sum;
        }
}

// p · M for the point (p, 1), without the w column.
AtVec3 transformPoint(const AtVec3& p, const float m[16]) {
    return {p.x * m[0] + p.y * m[4] + p.z * m[8] + m[12], p.x * m[1] + p.y * m[5] + p.z * m[9] + m[13],
            p.x * m[2] + p.y * m[6] + p.z * m[10] + m[14]};
}

}  // namespace

void AtRenderer::setup(float clipWidth, float clipHeight) {
    // The camera's rotation: roll (z), then pitch (x), then yaw (y).
    const float cz = std::cos(camAng.z), sz = std::sin(camAng.z);
    const float cx = std::cos(camAng.x), sx = std::sin(camAng.x);
    const float cy = std::cos(camAng.y), sy = std::sin(camAng.y);
    const float roll[16] = {cz, sz, 0, 0, -sz, cz, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const float pitch[16] = {1, 0, 0, 0, 0, cx, sx, 0, 0, -sx, cx, 0, 0, 0, 0, 1};
    const float yaw[16] = {cy, 0, -sy, 0, 0, 1, 0, 0, sy, 0, cy, 0, 0, 0, 0, 1};
    float rp[16], rotation[16];
    multiply(roll, pitch, rp);
    multiply(rp, yaw, rotation);
    // Camera to world: rotate, then move to camPos.
    float camera[16];
    std::copy(rotation, rotation + 16, camera);
    camera[12] = camPos.x, camera[13] = camPos.y, camera[14] = camPos.z;
    // World to camera: the inverse, moving back by camPos and rotating by the transpose.
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) view_[r * 4 + c] = rotation[c * 4 + r];
    view_[3] = view_[7] = view_[11] = 0;
    view_[12] = view_[13] = view_[14] = 0;
    const AtVec3 back = transformPoint(camPos * -1, view_);
    view_[12] = back.x, view_[13] = back.y, view_[14] = back.z, view_[15] = 1;

    // Planes kept in front of the camera and apart, so that the projection stays finite.
    near_ = std::isfinite(nearZ) && nearZ > 0.001f ? nearZ : 0.001f;
    far_ = std::isfinite(farZ) && farZ > near_ + 0.001f ? farZ : near_ + 0.001f;
    halfClipX_ = std::fabs(clipWidth) / kPixels * 0.5f;
    halfClipY_ = std::fabs(clipHeight) / kPixels * 0.5f;

    // The spawn box: around the frustum's eight corners in world space.
    bool first = true;
    for (float z : {near_, far_})
        for (int corner = 0; corner < 4; ++corner) {
            const AtVec3 local((corner & 1 ? 1 : -1) * halfClipX_ * z, (corner & 2 ? 1 : -1) * halfClipY_ * z,
                               z);
            const AtVec3 p = transformPoint(local, camera);
            if (first) {
                boxMin = boxMax = p;
                first = false;
            }
            boxMin = AtVec3(std::min(boxMin.x, p.x), std::min(boxMin.y, p.y), std::min(boxMin.z, p.z));
            boxMax = AtVec3(std::max(boxMax.x, p.x), std::max(boxMax.y, p.y), std::max(boxMax.z, p.z));
        }

    // Perspective with depth 0..1 between the planes.
    const float yScale = 1 / std::tan(kFieldOfView / 2);
    const float xScale = yScale / kAspect;
    const float q = far_ / (far_ - near_);
    const float projection[16] = {xScale, 0, 0, 0, 0, yScale, 0, 0, 0, 0, q, 1, 0, 0, -near_ * q, 0};
    multiply(view_, projection, viewProj_);
}

bool AtRenderer::project(const AtVec3& p, float& x, float& y, float& depth) const {
    const float* m = viewProj_;
    const float w = p.x * m[3] + p.y * m[7] + p.z * m[11] + m[15];
    if (!(w > 0)) return false;
    const AtVec3 c = transformPoint(p, m);
    // The projection's aspect is undone here, so that the frustum fills the effect's rectangle.
    x = c.x / w * kPixels * kAspect;
    y = c.y / w * kPixels;
    depth = c.z / w;
    return true;
}

bool AtRenderer::nearClip(float x, float y) const {
    return std::fabs(x / kPixels) <= halfClipX_ + 0.1f && std::fabs(y / kPixels) <= halfClipY_ + 0.1f;
}

float AtRenderer::sizeAt(float depth, float particleScale) const {
    return particleScale / (depth * (far_ - near_) + near_);
}
