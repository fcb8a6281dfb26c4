// GL objects of pf textures: lazy upload on bind, framebuffers of render targets, read-back.
#pragma once

#include <unordered_set>
#include <vector>

#include "pflib/TTexture.h"
#include "pflib/sdl/pfGl.h"

namespace pf {

class TGlTextures {
public:
    // Binds to unit 0 with the sampling state, uploading dirty pixels first; null binds white.
    // Binds only what differs from the last call.
    void Bind(TTexture* texture, int filtering, int mapU, int mapV);
    // Something else bound a texture to unit 0: bind again on the next Bind.
    void ForgetBinding() { boundKnown_ = false; }
    // Creates or refreshes the GL texture from the CPU pixels when needed.
    bool Upload(TTexture& texture);
    // The framebuffer of a render target (created on first use); 0 when it cannot be made.
    GLuint Framebuffer(TTexture& texture);
    // The framebuffer of a texture that has a GL store, leaving the bound framebuffer alone.
    GLuint MakeFramebuffer(TTexture& texture);
    // Clears the GL store of a texture without CPU pixels to transparent black.
    bool Clear(TTexture& texture);
    // Copies the render target's GL content into its CPU pixels.
    void ReadBack(TTexture& texture, GLuint currentFramebuffer);
    // Makes stores of this size ahead, for textures made later (the first frame's warm-up).
    void MakeSpares(int width, int height, int count);
    // Deletes the GL objects of one texture.
    void Release(TTexture& texture);
    // The context goes away: newer GPU content is read back, every GL object is deleted and the
    // textures are marked for upload into the next context.
    void ReleaseAll(GLuint currentFramebuffer);

private:
    void BindId(GLuint id);
    // A GL texture let go, kept with its store for the next texture of the same size: a software
    // rasteriser would otherwise allocate, clear and fault in a new store (milliseconds for a
    // screen-sized one) when a room's pictures replace the last room's.
    struct Spare {
        GLuint id = 0;
        int width = 0, height = 0;
    };
    static constexpr size_t kSpareBytes = size_t(32) << 20;
    static constexpr size_t kSpareMinBytes = size_t(256) << 10;  // smaller stores are cheap to make
    GLuint TakeSpare(int width, int height);
    std::vector<Spare> spares_;  // oldest first
    size_t spareBytes_ = 0;

    std::unordered_set<TTexture*> live_;
    GLuint white_ = 0;
    // What unit 0 holds, so that unchanged bindings cost no GL call.
    GLuint bound_ = 0;
    bool boundKnown_ = false;
    // Sampler objects by filtering × wrap in u × wrap in v; the texture's own parameters are unused.
    GLuint samplers_[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    int boundSampler_ = -1;
};

}  // namespace pf
