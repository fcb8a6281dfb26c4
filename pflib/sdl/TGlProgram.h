// The shader program of the default 2-D effect: texture × vertex colour, with the per-mode
// colour adjustments the blend equations need.
#pragma once

#include <epoxy/gl.h>

namespace pf {

class TGlProgram {
public:
    // Compiles and links; false (and a log line) on failure.
    bool Create();
    void Destroy();
    bool IsValid() const { return program_ != 0; }
    void Use() const { glUseProgram(program_); }
    // Pixel to clip space: clip = pixel · (sx, sy) + (ox, oy).
    void SetProjection(float sx, float sy, float ox, float oy) const;
    void SetBlendMode(int mode) const;

private:
    GLuint program_ = 0;
    GLint projection_ = -1, mode_ = -1, sampler_ = -1;
};

}  // namespace pf
