#include "pflib/sdl/TGlTextures.h"

#include "pflib/TBasicEffect.h"
#include "pflib/TFrameStats.h"

namespace pf {

bool TGlTextures::Upload(TTexture& texture) {
    if (texture.backendId && !texture.dirty) return true;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    if (!texture.backendId) {
        TFrameStats::Mark("first upload of a " + std::to_string(texture.GetWidth()) + "x" +
                          std::to_string(texture.GetHeight()) + " texture");
        GLuint id = TakeSpare(texture.GetWidth(), texture.GetHeight());
        if (id) {
            texture.backendId = id;
            live_.insert(&texture);
            BindId(id);
        } else {
            glGenTextures(1, &id);
            if (!id) return false;
            texture.backendId = id;
            live_.insert(&texture);
            BindId(id);
            // Stored as BGRA where GL offers it: software rasterisers blend and sample that order on their
            // fastest path, and the driver swizzles our RGBA pixels once, on upload. (An unsized format
            // with BGRA data is how GL is asked for BGRA storage.)
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, texture.GetWidth(), texture.GetHeight(), 0,
                         kGlStorageFormat, GL_UNSIGNED_BYTE, nullptr);
        }
    } else {
        BindId(texture.backendId);
    }
    if (texture.HasPixels()) {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, texture.GetWidth(), texture.GetHeight(), GL_RGBA,
                        GL_UNSIGNED_BYTE, texture.Pixels().data());
    } else if (!Clear(texture)) {
        return false;
    }
    texture.dirty = false;
    texture.gpuNewer = false;
    return true;
}

bool TGlTextures::Clear(TTexture& texture) {
    // Through the target's framebuffer, leaving the drawing state as it was: this may run in the
    // middle of a frame, when the target is first bound as a picture.
    GLint drawn = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawn);
    const GLuint fbo = MakeFramebuffer(texture);
    if (!fbo) return false;
    GLfloat colour[4] = {0, 0, 0, 0};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, colour);
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, fbo);
    if (scissor) glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(colour[0], colour[1], colour[2], colour[3]);
    if (scissor) glEnable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawn));
    return true;
}

void TGlTextures::MakeSpares(int width, int height, int count) {
    const size_t bytes = static_cast<size_t>(width) * height * 4;
    if (width <= 0 || height <= 0 || bytes > kSpareBytes) return;
    for (int i = 0; i < count && spareBytes_ + bytes <= kSpareBytes; ++i) {
        GLuint id = 0;
        glGenTextures(1, &id);
        if (!id) return;
        BindId(id);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, kGlStorageFormat, GL_UNSIGNED_BYTE,
                     nullptr);
        spares_.push_back(Spare{id, width, height});
        spareBytes_ += bytes;
    }
}

GLuint TGlTextures::TakeSpare(int width, int height) {
    for (size_t i = spares_.size(); i-- > 0;) {
        if (spares_[i].width != width || spares_[i].height != height) continue;
        const GLuint id = spares_[i].id;
        spareBytes_ -= static_cast<size_t>(width) * height * 4;
        spares_.erase(spares_.begin() + static_cast<long>(i));
        return id;
    }
    return 0;
}

void TGlTextures::BindId(GLuint id) {
    if (boundKnown_ && bound_ == id) return;
    if (!boundKnown_) glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, id);
    bound_ = id;
    boundKnown_ = true;
}

void TGlTextures::Bind(TTexture* texture, int filtering, int mapU, int mapV) {
    if (!texture || !Upload(*texture)) {
        if (!white_) {
            const uint8_t white[4] = {255, 255, 255, 255};
            glGenTextures(1, &white_);
            BindId(white_);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, kGlStorageFormat, GL_UNSIGNED_BYTE, white);
        }
        BindId(white_);
    } else {
        BindId(texture->backendId);
    }
    const int index = (filtering == 0 ? 0 : 4) | (mapU == kMapWrap ? 2 : 0) | (mapV == kMapWrap ? 1 : 0);
    if (index == boundSampler_) return;
    if (!samplers_[index]) {
        glGenSamplers(1, &samplers_[index]);
        const GLuint s = samplers_[index];
        const GLint filter = filtering == 0 ? GL_NEAREST : GL_LINEAR;
        glSamplerParameteri(s, GL_TEXTURE_MIN_FILTER, filter);
        glSamplerParameteri(s, GL_TEXTURE_MAG_FILTER, filter);
        glSamplerParameteri(s, GL_TEXTURE_WRAP_S, mapU == kMapWrap ? GL_REPEAT : GL_CLAMP_TO_EDGE);
        glSamplerParameteri(s, GL_TEXTURE_WRAP_T, mapV == kMapWrap ? GL_REPEAT : GL_CLAMP_TO_EDGE);
    }
    glBindSampler(0, samplers_[index]);
    boundSampler_ = index;
}

GLuint TGlTextures::Framebuffer(TTexture& texture) {
    if (texture.backendExtra) return texture.backendExtra;
    if (!Upload(texture)) return 0;
    return MakeFramebuffer(texture);
}

GLuint TGlTextures::MakeFramebuffer(TTexture& texture) {
    if (texture.backendExtra) return texture.backendExtra;
    GLint drawn = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawn);
    GLuint fbo = 0;
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, fbo);
    glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture.backendId, 0);
    const bool complete = glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawn));
    if (!complete) {
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
        const size_t bytes = static_cast<size_t>(texture.GetWidth()) * texture.GetHeight() * 4;
        if (bytes >= kSpareMinBytes && bytes <= kSpareBytes) {
            spares_.push_back(Spare{id, texture.GetWidth(), texture.GetHeight()});
            spareBytes_ += bytes;
            id = 0;
            while (spareBytes_ > kSpareBytes) {
                const Spare& old = spares_.front();
                spareBytes_ -= static_cast<size_t>(old.width) * old.height * 4;
                id = old.id;
                glDeleteTextures(1, &id);
                if (bound_ == id) boundKnown_ = false;
                spares_.erase(spares_.begin());
            }
        } else {
            glDeleteTextures(1, &id);
            // A deleted texture leaves its binding; its name may come back for another texture.
            if (bound_ == id) boundKnown_ = false;
        }
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
    for (Spare& spare : spares_) glDeleteTextures(1, &spare.id);
    spares_.clear();
    spareBytes_ = 0;
    if (white_) glDeleteTextures(1, &white_);
    white_ = 0;
    for (GLuint& sampler : samplers_) {
        if (sampler) glDeleteSamplers(1, &sampler);
        sampler = 0;
    }
    boundSampler_ = -1;
    boundKnown_ = false;
}

}  // namespace pf
