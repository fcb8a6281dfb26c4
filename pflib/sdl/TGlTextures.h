// GL objects of pf textures: lazy upload on bind, framebuffers of render targets, read-back.
#pragma once

#include <epoxy/gl.h>

#include <unordered_set>

#include "pflib/TTexture.h"

namespace pf {

class TGlTextures {
public:
    // Binds to unit 0 with the sampling state, uploading dirty pixels first; null binds white.
    void Bind(TTexture* texture, int filtering, int mapU, int mapV);
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
    std::unordered_set<TTexture*> live_;
    GLuint white_ = 0;
};

}  // namespace pf
