#include "pflib/pfTypes.h"

namespace pf {

TMat4 TMat4::Identity() {
    TMat4 r{};
    r.m[0] = r.m[5] = r.m[10] = r.m[15] = 1.f;
    return r;
}

// Row vectors: (p * A) * B = p * (A * B), so A applies first.
TMat4 TMat4::operator*(const TMat4& o) const {
    TMat4 r{};
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            float sum = 0.f;
            for (int k = 0; k < 4; ++k) sum += m[row * 4 + k] * o.m[k * 4 + col];
            r.m[row * 4 + col] = sum;
        }
    }
    return r;
}

TVec2 TMat4::Apply(float x, float y) const {
    TVec2 p;
    p.x = x * m[0] + y * m[4] + m[12];
    p.y = x * m[1] + y * m[5] + m[13];
    const float w = x * m[3] + y * m[7] + m[15];
    if (w != 1.f && w != 0.f) {
        p.x /= w;
        p.y /= w;
    }
    return p;
}

bool TMat4::IsIdentity() const {
    static const TMat4 identity = Identity();
    for (int i = 0; i < 16; ++i)
        if (m[i] != identity.m[i]) return false;
    return true;
}

}  // namespace pf
