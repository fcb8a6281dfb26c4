#include "pflib/sdl/TGlTextures.h"

#include "pflib/TBasicEffect.h"

namespace pf {

bool TGlTextures::Upload(TTexture& texture) {
    if (texture.backendId && !texture.dirty) return true;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    if (!texture.backendId) {
        GLuint id = 0;
        glGenTextures(1, &id);
        if (!id) return false;
        texture.backendId = id;
        live_.insert(&texture);
        glBindTexture(GL_TEXTURE_2D, id);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, texture.GetWidth(), texture.GetHeight(), 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, texture.Pixels().data());
    } else {
        glBindTexture(GL_TEXTURE_2D, texture.backendId);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, texture.GetWidth(), texture.GetHeight(), GL_RGBA,
                        GL_UNSIGNED_BYTE, texture.Pixels().data());
    }
    texture.dirty = false;
    texture.gpuNewer = false;
    return true;
}

void TGlTextures::Bind(TTexture* texture, int filtering, int mapU, int mapV) {
    glActiveTexture(GL_TEXTURE0);
    if (!texture || !Upload(*texture)) {
        if (!white_) {
            const uint8_t white[4] = {255, 255, 255, 255};
            glGenTextures(1, &white_);
            glBindTexture(GL_TEXTURE_2D, white_);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        }
        glBindTexture(GL_TEXTURE_2D, white_);
        return;
    }
    glBindTexture(GL_TEXTURE_2D, texture->backendId);
    const GLint filter = filtering == 0 ? GL_NEAREST : GL_LINEAR;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, mapU == kMapWrap ? GL_REPEAT : GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, mapV == kMapWrap ? GL_REPEAT : GL_CLAMP_TO_EDGE);
}

GLuint TGlTextures::Framebuffer(TTexture& texture) {
    if (texture.backendExtra) return texture.backendExtra;
    if (!Upload(texture)) return 0;
    GLuint fbo = 0;
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture.backendId, 0);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &fbo);
        return 0;
    }
    texture.backendExtra = fbo;
    live_.insert(&texture);
    return fbo;
}

void TGlTextures::ReadBack(TTexture& texture, GLuint currentFramebuffer) {
    if (!texture.backendExtra) {
        texture.gpuNewer = false;
        return;
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, texture.backendExtra);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    // Target rows are stored top row first, like the CPU pixels.
    glReadPixels(0, 0, texture.GetWidth(), texture.GetHeight(), GL_RGBA, GL_UNSIGNED_BYTE,
                 texture.Pixels().data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, currentFramebuffer);
    texture.gpuNewer = false;
}

void TGlTextures::Release(TTexture& texture) {
    if (texture.backendExtra) {
        GLuint fbo = texture.backendExtra;
        glDeleteFramebuffers(1, &fbo);
    }
    if (texture.backendId) {
        GLuint id = texture.backendId;
        glDeleteTextures(1, &id);
    }
    texture.backendId = texture.backendExtra = 0;
    texture.dirty = true;
    live_.erase(&texture);
}

void TGlTextures::ReleaseAll(GLuint currentFramebuffer) {
    const std::unordered_set<TTexture*> all = live_;
    for (TTexture* texture : all) {
        if (texture->gpuNewer) ReadBack(*texture, currentFramebuffer);
        Release(*texture);
    }
    live_.clear();
    if (white_) glDeleteTextures(1, &white_);
    white_ = 0;
}

}  // namespace pf
