// The shader programs of the default 2-D effect: texture × vertex colour, with the per-mode colour
// adjustments the blend equations need. Each adjustment has its own program, so that the common
// modes run the plain product without a per-pixel test of the mode.
#pragma once

#include "pflib/sdl/pfGl.h"

namespace pf {

class TGlProgram {
public:
    // Compiles and links; false (and a log line) on failure.
    bool Create();
    void Destroy();
    bool IsValid() const { return variants_[0].program != 0; }
    // Makes the program of the blend mode current with the projection pixel → clip space:
    // clip = pixel · (sx, sy) + (ox, oy). Calls only what differs from the state already set.
    void Use(int blendMode, float sx, float sy, float ox, float oy);
    // Something else may have changed the current program: set it again on the next Use.
    void Forget() { current_ = -1; }

private:
    struct Variant {
        GLuint program = 0;
        GLint projection = -1;
        float proj[4] = {0, 0, 0, 0};
        bool projSet = false;
    };
    static constexpr int kVariants = 3;  // plain, multiply, screen
    Variant variants_[kVariants];
    int current_ = -1;
};

}  // namespace pf
