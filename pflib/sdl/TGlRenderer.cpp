#include "pflib/sdl/TGlRenderer.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "pflib/pfDebug.h"
#include "pflib/sdl/TSdlVideo.h"

namespace pf {

namespace {

int clampBlend(int mode) {
    return mode >= kBlendNormal && mode <= kBlendNormalTarget ? mode : kBlendNormal;
}

uint8_t toByte(float v) {
    v = std::min(1.f, std::max(0.f, v));
    return static_cast<uint8_t>(v * 255.f + 0.5f);
}

void flipRows(std::vector<uint8_t>& rgba, int width, int height) {
    const size_t row = static_cast<size_t>(width) * 4;
    std::vector<uint8_t> tmp(row);
    for (int y = 0; y < height / 2; ++y) {
        uint8_t* a = &rgba[y * row];
        uint8_t* b = &rgba[(height - 1 - y) * row];
        std::memcpy(tmp.data(), a, row);
        std::memcpy(a, b, row);
        std::memcpy(b, tmp.data(), row);
    }
}

}  // namespace

TRenderer* TRenderer::GetInstance() {
    return &TGlRenderer::Get();
}

TGlRenderer& TGlRenderer::Get() {
    // Never destroyed: textures held in static objects may be released after main returns.
    static TGlRenderer* renderer = new TGlRenderer();
    return *renderer;
}

TGlRenderer::TGlRenderer() {
    TTexture::SetBackend(this);
}

bool TGlRenderer::BatchKey::operator==(const BatchKey& o) const {
    return texture == o.texture && blend == o.blend && mapU == o.mapU && mapV == o.mapV &&
           filtering == o.filtering && lines == o.lines && clipOn == o.clipOn && clip.left == o.clip.left &&
           clip.top == o.clip.top && clip.right == o.clip.right && clip.bottom == o.clip.bottom;
}

bool TGlRenderer::SetOption(const str& name, const str& value) {
    // The options of the original platform tune its Direct3D path; they are kept for inspection.
    options_[name] = value;
    return true;
}

str TGlRenderer::GetOption(const str& name) const {
    auto it = options_.find(name);
    return it == options_.end() ? str() : it->second;
}

bool TGlRenderer::EnsureGl() {
    if (glReady_) return true;
    if (glFailed_ || !TSdlVideo::Get().MakeCurrent()) return false;
    if (epoxy_gl_version() < 33 || !program_.Create()) {
        pfWriteDbg("pf: OpenGL 3.3 is not available; nothing will be drawn\n");
        glFailed_ = true;
        return false;
    }
    glGenVertexArrays(1, &vao_);
    glGenBuffers(1, &vbo_);
    glBindVertexArray(vao_);
    glBindBuffer(GL_ARRAY_BUFFER, vbo_);
    vboCapacity_ = 0;
    const GLsizei stride = sizeof(TVertex);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(TVertex, x)));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                          reinterpret_cast<void*>(offsetof(TVertex, color)));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(TVertex, u)));
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glReady_ = true;
    return true;
}

bool TGlRenderer::EnsureScreen() {
    int w = 0, h = 0;
    TSdlVideo::Get().DrawableSize(w, h);
    if (w <= 0 || h <= 0) return false;
    if (!TSdlVideo::Get().IsHeadless()) return true;
    if (screenFbo_ && w == screenW_ && h == screenH_) return true;
    if (screenFbo_) glDeleteFramebuffers(1, &screenFbo_);
    if (screenTex_) glDeleteTextures(1, &screenTex_);
    glGenTextures(1, &screenTex_);
    glBindTexture(GL_TEXTURE_2D, screenTex_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glGenFramebuffers(1, &screenFbo_);
    glBindFramebuffer(GL_FRAMEBUFFER, screenFbo_);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, screenTex_, 0);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        pfWriteDbg("pf: cannot make the offscreen screen\n");
        glDeleteFramebuffers(1, &screenFbo_);
        glDeleteTextures(1, &screenTex_);
        screenFbo_ = screenTex_ = 0;
        return false;
    }
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    screenW_ = w;
    screenH_ = h;
    return true;
}

GLuint TGlRenderer::CurrentFramebuffer() const {
    if (target_) return target_->backendExtra;
    return TSdlVideo::Get().IsHeadless() ? screenFbo_ : 0;
}

int TGlRenderer::FramebufferHeight() const {
    if (target_) return target_->GetHeight();
    int w = 0, h = 0;
    TSdlVideo::Get().DrawableSize(w, h);
    return h;
}

bool TGlRenderer::BeginDraw() {
    if (drawing_) return true;
    if (!EnsureGl() || !EnsureScreen()) return false;
    glBindFramebuffer(GL_FRAMEBUFFER, TSdlVideo::Get().IsHeadless() ? screenFbo_ : 0);
    int w = 0, h = 0;
    TSdlVideo::Get().DrawableSize(w, h);
    stats_ = TRenderStats();
    drawing_ = true;
    target_.reset();
    viewport_ = TURect{0, 0, w, h};
    screenViewport_ = viewport_;
    ApplyViewport();
    clipOn_ = false;
    SetWorldMatrix(TMat4::Identity());
    return true;
}

void TGlRenderer::EndDraw(bool present) {
    if (!drawing_) return;
    if (target_) EndRenderTarget();
    Flush();
    if (capture_) {
        int w = 0, h = 0;
        TSdlVideo::Get().DrawableSize(w, h);
        lastFrame_.assign(static_cast<size_t>(w) * h * 4, 0);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, CurrentFramebuffer());
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, lastFrame_.data());
        flipRows(lastFrame_, w, h);
        lastFrameW_ = w;
        lastFrameH_ = h;
    }
    if (present && !TSdlVideo::Get().IsHeadless()) SDL_GL_SwapWindow(TSdlVideo::Get().Window());
    drawing_ = false;
    in2d_ = false;
}

bool TGlRenderer::Begin2d() {
    if (!drawing_ && !target_) return false;
    Flush();
    in2d_ = true;
    clipOn_ = false;
    return true;
}

void TGlRenderer::End2d() {
    Flush();
    in2d_ = false;
}

void TGlRenderer::ApplyViewport() {
    if (!glReady_) return;
    const int w = viewport_.right - viewport_.left, h = viewport_.bottom - viewport_.top;
    // Render targets keep their top row first in memory; the screen has GL's bottom-up rows.
    if (target_)
        glViewport(viewport_.left, viewport_.top, w, h);
    else
        glViewport(viewport_.left, FramebufferHeight() - viewport_.bottom, w, h);
}

void TGlRenderer::SetViewport(const TURect& rect) {
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    Flush();
    viewport_ = rect;
    if (!target_) screenViewport_ = rect;
    ApplyViewport();
}

void TGlRenderer::SetClippingRectangle(const TURect& rect) {
    clipOn_ = true;
    clip_ = rect;
}

void TGlRenderer::SetWorldMatrix(const TMat4& matrix) {
    world_ = matrix;
    worldIdentity_ = matrix.IsIdentity();
}

TGlRenderer::BatchKey TGlRenderer::KeyFor(const std::shared_ptr<TTexture>& texture, bool lines) {
    BatchKey key;
    key.texture = texture.get();
    key.blend = clampBlend(effect_.GetBlendMode());
    key.mapU = effect_.GetMapU();
    key.mapV = effect_.GetMapV();
    key.filtering = effect_.GetFilteringMode() == 0 ? 0 : 1;
    key.lines = lines;
    key.clipOn = clipOn_;
    if (clipOn_) key.clip = clip_;
    return key;
}

void TGlRenderer::Open(const BatchKey& key, const std::shared_ptr<TTexture>& texture) {
    if (!batch_.empty() && key == key_) return;
    Flush();
    key_ = key;
    batchTexture_ = texture;
}

void TGlRenderer::Push(const TVertex& v) {
    batch_.push_back(v);
    if (!worldIdentity_) {
        const TVec2 p = world_.Apply(v.x, v.y);
        batch_.back().x = p.x;
        batch_.back().y = p.y;
    }
}

bool TGlRenderer::DrawVertices(TDrawType type, const TVertexSet& set) {
    if (!CanDraw() || !set.vertices || set.count <= 0) return false;
    if (type != kDrawTriangleList && type != kDrawTriangleStrip && type != kDrawLineList) return false;
    ++stats_.submissions;
    stats_.vertices += set.count;
    Open(KeyFor(effect_.GetTexture(), type == kDrawLineList), effect_.GetTexture());
    const TVertex* v = set.vertices;
    switch (type) {
        case kDrawTriangleList:
            for (int i = 0; i + 2 < set.count; i += 3) {
                Push(v[i]);
                Push(v[i + 1]);
                Push(v[i + 2]);
            }
            break;
        case kDrawTriangleStrip:
            for (int i = 0; i + 2 < set.count; ++i) {
                Push(v[i]);
                Push(v[i + 1]);
                Push(v[i + 2]);
            }
            break;
        case kDrawLineList:
            for (int i = 0; i + 1 < set.count; i += 2) {
                Push(v[i]);
                Push(v[i + 1]);
            }
            break;
    }
    return true;
}

bool TGlRenderer::DrawIndexedVertices(TDrawType type, const TVertexSet& set, const uint16_t* indices,
                                      int indexCount) {
    if (!CanDraw() || !set.vertices || set.count <= 0 || !indices || indexCount <= 0) return false;
    if (type != kDrawTriangleList && type != kDrawTriangleStrip && type != kDrawLineList) return false;
    // An index past the vertices would read foreign memory: refuse the whole draw.
    for (int i = 0; i < indexCount; ++i)
        if (indices[i] >= set.count) return false;
    ++stats_.submissions;
    stats_.vertices += set.count;
    Open(KeyFor(effect_.GetTexture(), type == kDrawLineList), effect_.GetTexture());
    const TVertex* v = set.vertices;
    switch (type) {
        case kDrawTriangleList:
            for (int i = 0; i + 2 < indexCount; i += 3) {
                Push(v[indices[i]]);
                Push(v[indices[i + 1]]);
                Push(v[indices[i + 2]]);
            }
            break;
        case kDrawTriangleStrip:
            for (int i = 0; i + 2 < indexCount; ++i) {
                Push(v[indices[i]]);
                Push(v[indices[i + 1]]);
                Push(v[indices[i + 2]]);
            }
            break;
        case kDrawLineList:
            for (int i = 0; i + 1 < indexCount; i += 2) {
                Push(v[indices[i]]);
                Push(v[indices[i + 1]]);
            }
            break;
    }
    return true;
}

void TGlRenderer::FillRect(const TURect& rect, const TColor& color,
                           const std::shared_ptr<TTexture>& texture) {
    if (!CanDraw()) return;
    ++stats_.submissions;
    stats_.vertices += 4;
    BatchKey key = KeyFor(texture, false);
    key.mapU = key.mapV = kMapClamp;
    Open(key, texture);
    TColor32 c;
    c.r = toByte(color.r);
    c.g = toByte(color.g);
    c.b = toByte(color.b);
    c.a = toByte(color.a);
    auto corner = [&](int x, int y, float u, float v) {
        TVertex vertex;
        vertex.x = static_cast<float>(x);
        vertex.y = static_cast<float>(y);
        vertex.color = c;
        vertex.u = u;
        vertex.v = v;
        return vertex;
    };
    const TVertex tl = corner(rect.left, rect.top, 0, 0), tr = corner(rect.right, rect.top, 1, 0);
    const TVertex bl = corner(rect.left, rect.bottom, 0, 1), br = corner(rect.right, rect.bottom, 1, 1);
    Push(tl);
    Push(tr);
    Push(bl);
    Push(tr);
    Push(br);
    Push(bl);
}

void TGlRenderer::ApplyBlend(int mode) {
    if (mode == kBlendCopy) {
        glDisable(GL_BLEND);
        return;
    }
    glEnable(GL_BLEND);
    glBlendEquationSeparate(mode == kBlendSubtract ? GL_FUNC_REVERSE_SUBTRACT : GL_FUNC_ADD, GL_FUNC_ADD);
    switch (mode) {
        case kBlendMultiply:  // the shader gives lerp(1, src, a)
            glBlendFuncSeparate(GL_DST_COLOR, GL_ZERO, GL_ZERO, GL_ONE);
            break;
        case kBlendAdd:
        case kBlendSubtract:
            glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE, GL_ZERO, GL_ONE);
            break;
        case kBlendScreen:  // the shader gives src·a
            glBlendFuncSeparate(GL_ONE, GL_ONE_MINUS_SRC_COLOR, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
            break;
        case kBlendNormalTarget:
            glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
            break;
        default:
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            break;
    }
}

void TGlRenderer::Flush() {
    if (batch_.empty()) return;
    if (!glReady_) {
        batch_.clear();
        batchTexture_.reset();
        return;
    }
    const int vpW = viewport_.right - viewport_.left, vpH = viewport_.bottom - viewport_.top;
    bool visible = vpW > 0 && vpH > 0;
    if (visible && key_.clipOn) {
        // The clip is in viewport pixels; GL wants it in framebuffer rows.
        const int left = std::max(viewport_.left, viewport_.left + key_.clip.left);
        const int top = std::max(viewport_.top, viewport_.top + key_.clip.top);
        const int right = std::min(viewport_.right, viewport_.left + key_.clip.right);
        const int bottom = std::min(viewport_.bottom, viewport_.top + key_.clip.bottom);
        if (right <= left || bottom <= top) {
            visible = false;
        } else {
            glEnable(GL_SCISSOR_TEST);
            if (target_)
                glScissor(left, top, right - left, bottom - top);
            else
                glScissor(left, FramebufferHeight() - bottom, right - left, bottom - top);
        }
    } else {
        glDisable(GL_SCISSOR_TEST);
    }
    if (visible) {
        program_.Use();
        glBindVertexArray(vao_);
        glBindBuffer(GL_ARRAY_BUFFER, vbo_);
        const size_t bytes = batch_.size() * sizeof(TVertex);
        if (bytes > vboCapacity_) vboCapacity_ = std::max(bytes, vboCapacity_ * 2);
        // Orphaning the store lets the driver keep the previous batch in flight.
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vboCapacity_), nullptr, GL_STREAM_DRAW);
        glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(bytes), batch_.data());
        textures_.Bind(key_.texture, key_.filtering, key_.mapU, key_.mapV);
        // Pixel coordinates with y down; targets are stored top row first, so their y goes up.
        if (target_)
            program_.SetProjection(2.f / vpW, 2.f / vpH, -1.f, -1.f);
        else
            program_.SetProjection(2.f / vpW, -2.f / vpH, -1.f, 1.f);
        program_.SetBlendMode(key_.blend);
        ApplyBlend(key_.blend);
        glDrawArrays(key_.lines ? GL_LINES : GL_TRIANGLES, 0, static_cast<GLsizei>(batch_.size()));
        ++stats_.drawCalls;
        if (target_) {
            target_->gpuNewer = true;
            target_->dirty = false;
        }
    }
    batch_.clear();
    batchTexture_.reset();
}

bool TGlRenderer::BeginRenderTarget(const std::shared_ptr<TTexture>& target) {
    if (!target || target->GetType() != TTexture::kRenderTarget || target_) return false;
    if (!EnsureGl()) return false;
    Flush();
    const GLuint fbo = textures_.Framebuffer(*target);
    if (!fbo || !textures_.Upload(*target)) {
        pfWriteDbg("pf: cannot draw into the render target\n");
        glBindFramebuffer(GL_FRAMEBUFFER, CurrentFramebuffer());
        return false;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    target_ = target;
    viewport_ = TURect{0, 0, target->GetWidth(), target->GetHeight()};
    ApplyViewport();
    clipOn_ = false;
    return true;
}

void TGlRenderer::EndRenderTarget() {
    if (!target_) return;
    Flush();
    target_.reset();
    glBindFramebuffer(GL_FRAMEBUFFER, CurrentFramebuffer());
    viewport_ = screenViewport_;
    ApplyViewport();
    clipOn_ = false;
}

void TGlRenderer::Finish() {
    Flush();
    if (glReady_) glFinish();
}

void TGlRenderer::Release(TTexture& texture) {
    if (!glReady_ || !TSdlVideo::Get().MakeCurrent()) {
        texture.backendId = texture.backendExtra = 0;
        return;
    }
    textures_.Release(texture);
}

void TGlRenderer::BeforeLock(TTexture& texture, bool readOnly) {
    (void)readOnly;
    if (target_.get() == &texture || (key_.texture == &texture && !batch_.empty())) Flush();
}

void TGlRenderer::ReadBack(TTexture& texture) {
    if (!glReady_ || !TSdlVideo::Get().MakeCurrent()) {
        texture.gpuNewer = false;
        return;
    }
    if (target_.get() == &texture) Flush();
    textures_.ReadBack(texture, CurrentFramebuffer());
}

bool TGlRenderer::ReadPixels(const TURect& rect, std::vector<uint8_t>& rgba) {
    if (!glReady_ || (!drawing_ && !target_)) return false;
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (w <= 0 || h <= 0) return false;
    Flush();
    const int x = viewport_.left + rect.left, y = viewport_.top + rect.top;
    rgba.assign(static_cast<size_t>(w) * h * 4, 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, CurrentFramebuffer());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    if (target_) {
        glReadPixels(x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    } else {
        glReadPixels(x, FramebufferHeight() - y - h, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        flipRows(rgba, w, h);
    }
    return glGetError() == GL_NO_ERROR;
}

bool TGlRenderer::LastFrame(std::vector<uint8_t>& rgba, int& width, int& height) const {
    if (lastFrame_.empty()) return false;
    rgba = lastFrame_;
    width = lastFrameW_;
    height = lastFrameH_;
    return true;
}

void TGlRenderer::ReleaseGl() {
    if (!glReady_) return;
    batch_.clear();
    batchTexture_.reset();
    textures_.ReleaseAll(CurrentFramebuffer());
    target_.reset();
    program_.Destroy();
    if (vbo_) glDeleteBuffers(1, &vbo_);
    if (vao_) glDeleteVertexArrays(1, &vao_);
    if (screenFbo_) glDeleteFramebuffers(1, &screenFbo_);
    if (screenTex_) glDeleteTextures(1, &screenTex_);
    vbo_ = vao_ = screenFbo_ = screenTex_ = 0;
    screenW_ = screenH_ = 0;
    vboCapacity_ = 0;
    glReady_ = false;
    drawing_ = false;
    in2d_ = false;
}

}  // namespace pf
