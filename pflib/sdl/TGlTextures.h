// GL objects of pf textures: lazy upload on bind, framebuffers of render targets, read-back.
#pragma once

#include "pflib/sdl/pfGl.h"

#include <unordered_set>

#include "pflib/TTexture.h"

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
    // Copies the render target's GL content into its CPU pixels.
    void ReadBack(TTexture& texture, GLuint currentFramebuffer);
    // Deletes the GL objects of one texture.
    void Release(TTexture& texture);
    // The context goes away: newer GPU content is read back, every GL object is deleted and the
    // textures are marked for upload into the next context.
    void ReleaseAll(GLuint currentFramebuffer);

private:
    void BindId(GLuint id);

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
