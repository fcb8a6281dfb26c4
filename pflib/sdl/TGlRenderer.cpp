#include "pflib/sdl/TGlRenderer.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "pflib/TFrameStats.h"
#include "pflib/pfDebug.h"
#include "pflib/sdl/TSdlVideo.h"

namespace pf {

namespace {

// The stream buffer's first size; it grows when one batch would not fit.
constexpr size_t kStreamBytes = size_t(4) << 20;
// Exactness tolerance in pixels and texels: far below what one step of filtering weight resolves.
constexpr float kExactEps = 1e-3f;

bool whole(float v) {
    return std::fabs(v - std::nearbyint(v)) <= kExactEps;
}

bool near(float a, float b) {
    return std::fabs(a - b) <= kExactEps;
}

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
    // No option changes how OpenGL draws; they are kept so that GetOption reads back what was set.
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
    if (!pfGlVersionUsable() || !program_.Create()) {
        pfWriteDbg("pf: OpenGL 3.3 is not available; nothing will be drawn\n");
        glFailed_ = true;
        return false;
    }
    glGenVertexArrays(kStreamBuffers, vao_);
    glGenBuffers(kStreamBuffers, vbo_);
    const GLsizei stride = sizeof(TVertex);
    for (int i = 0; i < kStreamBuffers; ++i) {
        glBindVertexArray(vao_[i]);
        glBindBuffer(GL_ARRAY_BUFFER, vbo_[i]);
        vboSize_[i] = kStreamBytes;
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(kStreamBytes), nullptr, GL_STREAM_DRAW);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride,
                              reinterpret_cast<void*>(offsetof(TVertex, x)));
        glEnableVertexAttribArray(1);
        glVertexAttribPointer(1, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                              reinterpret_cast<void*>(offsetof(TVertex, color)));
        glEnableVertexAttribArray(2);
        glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride,
                              reinterpret_cast<void*>(offsetof(TVertex, u)));
    }
    UseStream(0);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    ForgetState();
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
    textures_.ForgetBinding();
    glBindTexture(GL_TEXTURE_2D, screenTex_);
    // Stored as textures are (see TGlTextures::Upload).
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, kGlStorageFormat, GL_UNSIGNED_BYTE, nullptr);
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
    ApplyScissor(false, 0, 0, 0, 0);
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
    if (present && !TSdlVideo::Get().IsHeadless()) {
        SDL_GL_SwapWindow(TSdlVideo::Get().Window());
        unshownFrames_ = 0;
    } else if (++unshownFrames_ >= kUnshownFramesPerFinish) {
        Finish();
    }
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
    worldAffine_ = matrix.m[3] == 0 && matrix.m[7] == 0 && matrix.m[15] == 1;
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
    if (batchCount_ && key == key_) return;
    Flush();
    key_ = key;
    batchTexture_ = texture;
    batchExact_ = true;
}

TVertex* TGlRenderer::Append(int n) {
    const size_t wanted = batchCount_ + static_cast<size_t>(n);
    if (wanted > batch_.size()) batch_.resize(std::max(wanted, batch_.size() * 2));
    TVertex* at = batch_.data() + batchCount_;
    batchCount_ = wanted;
    return at;
}

void TGlRenderer::Place(TVertex& v) const {
    if (worldIdentity_) return;
    if (worldAffine_) {
        const float* m = world_.m;
        const float x = v.x, y = v.y;
        v.x = x * m[0] + y * m[4] + m[12];
        v.y = x * m[1] + y * m[5] + m[13];
        return;
    }
    const TVec2 p = world_.Apply(v.x, v.y);
    v.x = p.x;
    v.y = p.y;
}

bool TGlRenderer::LastQuadIsExact() const {
    if (!key_.texture) return true;  // white everywhere
    // The strip's corners: top-left, top-right, bottom-left, bottom-right.
    const TVertex* q = batch_.data() + batchCount_ - 6;
    const TVertex &a = q[0], &b = q[1], &c = q[2], &d = q[5];
    const float w = static_cast<float>(key_.texture->GetWidth());
    const float h = static_cast<float>(key_.texture->GetHeight());
    return near(a.y, b.y) && near(c.y, d.y) && near(a.x, c.x) && near(b.x, d.x) && near(a.u, c.u) &&
           near(b.u, d.u) && near(a.v, b.v) && near(c.v, d.v) && whole(a.x) && whole(a.y) && whole(a.u * w) &&
           whole(a.v * h) && near(b.x - a.x, (b.u - a.u) * w) && near(c.y - a.y, (c.v - a.v) * h) &&
           b.x > a.x && c.y > a.y;
}

bool TGlRenderer::DrawVertices(TDrawType type, const TVertexSet& set) {
    if (!CanDraw() || !set.vertices || set.count <= 0) return false;
    if (type != kDrawTriangleList && type != kDrawTriangleStrip && type != kDrawLineList) return false;
    ++stats_.submissions;
    stats_.vertices += set.count;
    Open(KeyFor(effect_.GetTexture(), type == kDrawLineList), effect_.GetTexture());
    const TVertex* v = set.vertices;
    switch (type) {
        case kDrawTriangleList: {
            const int n = set.count - set.count % 3;
            TVertex* out = Append(n);
            for (int i = 0; i < n; ++i) {
                out[i] = v[i];
                Place(out[i]);
            }
            if (n) batchExact_ = false;
            break;
        }
        case kDrawTriangleStrip: {
            if (set.count < 3) break;
            // Each vertex is placed once, then the strip is unrolled into triangles.
            const int triangles = set.count - 2;
            TVertex* out = Append(triangles * 3);
            TVertex placed[3] = {v[0], v[1], v[2]};
            Place(placed[0]);
            Place(placed[1]);
            for (int i = 0; i < triangles; ++i) {
                placed[2] = v[i + 2];
                Place(placed[2]);
                // Odd triangles swap their first two corners, as GL does, so that all turn the same way.
                out[i * 3] = placed[i & 1];
                out[i * 3 + 1] = placed[(i & 1) ^ 1];
                out[i * 3 + 2] = placed[2];
                placed[0] = placed[1];
                placed[1] = placed[2];
            }
            if (batchExact_) batchExact_ = set.count == 4 && LastQuadIsExact();
            break;
        }
        case kDrawLineList: {
            const int n = set.count - set.count % 2;
            TVertex* out = Append(n);
            for (int i = 0; i < n; ++i) {
                out[i] = v[i];
                Place(out[i]);
            }
            if (key_.texture) batchExact_ = false;
            break;
        }
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
    auto put = [&](TVertex* out, int count, auto index) {
        for (int i = 0; i < count; ++i) {
            out[i] = v[indices[index(i)]];
            Place(out[i]);
        }
    };
    switch (type) {
        case kDrawTriangleList: {
            const int n = indexCount - indexCount % 3;
            put(Append(n), n, [](int i) { return i; });
            break;
        }
        case kDrawTriangleStrip: {
            if (indexCount < 3) break;
            const int n = (indexCount - 2) * 3;
            put(Append(n), n, [](int i) {
                const int t = i / 3, k = i % 3;
                return t + (k < 2 && (t & 1) ? k ^ 1 : k);
            });
            break;
        }
        case kDrawLineList: {
            const int n = indexCount - indexCount % 2;
            put(Append(n), n, [](int i) { return i; });
            break;
        }
    }
    if (type != kDrawLineList || key_.texture) batchExact_ = false;
    return true;
}

void TGlRenderer::FillRect(const TURect& rect, const TColor& color,
                           const std::shared_ptr<TTexture>& texture) {
    if (!CanDraw()) return;
    ++stats_.submissions;
    stats_.vertices += 4;
    TColor32 c;
    c.r = toByte(color.r);
    c.g = toByte(color.g);
    c.b = toByte(color.b);
    c.a = toByte(color.a);
    BatchKey key = KeyFor(texture, false);
    key.mapU = key.mapV = kMapClamp;
    if (!texture && TryClearFill(rect, c, key.blend)) return;
    Open(key, texture);
    auto corner = [&](int x, int y, float u, float v) {
        TVertex vertex;
        vertex.x = static_cast<float>(x);
        vertex.y = static_cast<float>(y);
        vertex.color = c;
        vertex.u = u;
        vertex.v = v;
        Place(vertex);
        return vertex;
    };
    const TVertex tl = corner(rect.left, rect.top, 0, 0), tr = corner(rect.right, rect.top, 1, 0);
    const TVertex bl = corner(rect.left, rect.bottom, 0, 1), br = corner(rect.right, rect.bottom, 1, 1);
    TVertex* out = Append(6);
    // The two triangles of a strip over the corners, as strips are unrolled.
    out[0] = tl;
    out[1] = tr;
    out[2] = bl;
    out[3] = bl;
    out[4] = tr;
    out[5] = br;
    if (batchExact_) batchExact_ = LastQuadIsExact();
}

bool TGlRenderer::TryClearFill(const TURect& rect, const TColor32& color, int blend) {
    // Only where an opaque source replaces the destination whatever it holds.
    if (color.a != 255 || (blend != kBlendNormal && blend != kBlendCopy && blend != kBlendNormalTarget))
        return false;
    if (!worldAffine_ || world_.m[1] != 0 || world_.m[4] != 0) return false;
    TVertex a, b;
    a.x = static_cast<float>(rect.left);
    a.y = static_cast<float>(rect.top);
    b.x = static_cast<float>(rect.right);
    b.y = static_cast<float>(rect.bottom);
    Place(a);
    Place(b);
    if (!whole(a.x) || !whole(a.y) || !whole(b.x) || !whole(b.y)) return false;
    // Rectangles in viewport pixels, as the clip is.
    int left = static_cast<int>(std::nearbyint(std::min(a.x, b.x)));
    int right = static_cast<int>(std::nearbyint(std::max(a.x, b.x)));
    int top = static_cast<int>(std::nearbyint(std::min(a.y, b.y)));
    int bottom = static_cast<int>(std::nearbyint(std::max(a.y, b.y)));
    // Small fills stay in the batch: a clear of its own would only split it.
    if (static_cast<long long>(right - left) * (bottom - top) < 4096) return false;
    if (!glReady_) return true;
    Flush();
    const int vpW = viewport_.right - viewport_.left, vpH = viewport_.bottom - viewport_.top;
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, vpW);
    bottom = std::min(bottom, vpH);
    if (clipOn_) {
        left = std::max(left, clip_.left);
        top = std::max(top, clip_.top);
        right = std::min(right, clip_.right);
        bottom = std::min(bottom, clip_.bottom);
    }
    if (right <= left || bottom <= top) return true;
    const int x = viewport_.left + left, w = right - left, h = bottom - top;
    const int y = target_ ? viewport_.top + top : FramebufferHeight() - (viewport_.top + bottom);
    if (!target_ && !screenPixels_)
        ApplyScissor(true, 0, 0, 1, 1);
    else
        ApplyScissor(true, x, y, w, h);
    // Into a render target the normal mode keeps alpha 1 as well: a + dstA·(1−a) with a = 1.
    glClearColor(color.r / 255.f, color.g / 255.f, color.b / 255.f, 1.f);
    glClear(GL_COLOR_BUFFER_BIT);
    ++stats_.drawCalls;
    if (target_) {
        target_->gpuNewer = true;
        target_->dirty = false;
    }
    return true;
}

void TGlRenderer::ApplyBlend(int mode) {
    if (mode == appliedBlend_) return;
    const bool wasOn = appliedBlend_ >= 0 && appliedBlend_ != kBlendCopy;
    appliedBlend_ = mode;
    if (mode == kBlendCopy) {
        glDisable(GL_BLEND);
        return;
    }
    if (!wasOn) glEnable(GL_BLEND);
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

void TGlRenderer::ApplyScissor(bool on, int x, int y, int w, int h) {
    if (!on) {
        if (scissorOn_ != 0) glDisable(GL_SCISSOR_TEST);
        scissorOn_ = 0;
        return;
    }
    if (scissorOn_ != 1) glEnable(GL_SCISSOR_TEST);
    scissorOn_ = 1;
    if (scissor_[0] != x || scissor_[1] != y || scissor_[2] != w || scissor_[3] != h) {
        glScissor(x, y, w, h);
        scissor_[0] = x;
        scissor_[1] = y;
        scissor_[2] = w;
        scissor_[3] = h;
    }
}

void TGlRenderer::ForgetState() {
    appliedBlend_ = -1;
    scissorOn_ = -1;
    scissor_[0] = scissor_[1] = scissor_[2] = scissor_[3] = -1;
    program_.Forget();
    textures_.ForgetBinding();
}

void TGlRenderer::UseStream(int i) {
    stream_ = i;
    glBindVertexArray(vao_[i]);
    glBindBuffer(GL_ARRAY_BUFFER, vbo_[i]);
    vboCapacity_ = vboSize_[i];
    vboOffset_ = 0;
}

GLint TGlRenderer::Upload() {
    const size_t stride = sizeof(TVertex);
    const size_t bytes = batchCount_ * stride;
    // Offsets stay whole vertices, so that the draw can start there.
    size_t offset = (vboOffset_ + stride - 1) / stride * stride;
    if (offset + bytes > vboCapacity_) {
        // Full: on to the next buffer of the ring once the GPU is done with what it held. (Copied
        // uploads, where buffers are not mapped, are ordered by the GL itself.)
        if constexpr (kGlMapsBuffers) fence_[stream_] = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
        const int next = (stream_ + 1) % kStreamBuffers;
        if (fence_[next]) {
            glClientWaitSync(fence_[next], GL_SYNC_FLUSH_COMMANDS_BIT, GL_TIMEOUT_IGNORED);
            glDeleteSync(fence_[next]);
            fence_[next] = nullptr;
        }
        UseStream(next);
        if (bytes > vboCapacity_) {
            // A batch larger than the store: a larger one, kept from then on.
            vboCapacity_ = vboSize_[next] = bytes * 2;
            glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vboCapacity_), nullptr, GL_STREAM_DRAW);
        }
        offset = 0;
    }
    // The range is new to this store: nothing in flight reads it, so there is nothing to wait for.
    void* to = nullptr;
    if constexpr (kGlMapsBuffers)
        to = glMapBufferRange(GL_ARRAY_BUFFER, static_cast<GLintptr>(offset), static_cast<GLsizeiptr>(bytes),
                              GL_MAP_WRITE_BIT | GL_MAP_UNSYNCHRONIZED_BIT | GL_MAP_INVALIDATE_RANGE_BIT);
    if (to) {
        std::memcpy(to, batch_.data(), bytes);
        glUnmapBuffer(GL_ARRAY_BUFFER);
    } else {
        glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(offset), static_cast<GLsizeiptr>(bytes),
                        batch_.data());
    }
    vboOffset_ = offset + bytes;
    return static_cast<GLint>(offset / stride);
}

void TGlRenderer::Flush() {
    if (!batchCount_) return;
    if (!glReady_) {
        batchCount_ = 0;
        batchTexture_.reset();
        return;
    }
    const int vpW = viewport_.right - viewport_.left, vpH = viewport_.bottom - viewport_.top;
    bool visible = vpW > 0 && vpH > 0;
    if (visible && !target_ && !screenPixels_) {
        ApplyScissor(true, 0, 0, 1, 1);
    } else if (visible && key_.clipOn) {
        // The clip is in viewport pixels; GL wants it in framebuffer rows.
        const int left = std::max(viewport_.left, viewport_.left + key_.clip.left);
        const int top = std::max(viewport_.top, viewport_.top + key_.clip.top);
        const int right = std::min(viewport_.right, viewport_.left + key_.clip.right);
        const int bottom = std::min(viewport_.bottom, viewport_.top + key_.clip.bottom);
        if (right <= left || bottom <= top) {
            visible = false;
        } else if (target_) {
            ApplyScissor(true, left, top, right - left, bottom - top);
        } else {
            ApplyScissor(true, left, FramebufferHeight() - bottom, right - left, bottom - top);
        }
    } else {
        ApplyScissor(false, 0, 0, 0, 0);
    }
    if (visible) {
        // Pixel coordinates with y down; targets are stored top row first, so their y goes up.
        if (target_)
            program_.Use(key_.blend, 2.f / vpW, 2.f / vpH, -1.f, -1.f);
        else
            program_.Use(key_.blend, 2.f / vpW, -2.f / vpH, -1.f, 1.f);
        const GLint first = Upload();
        textures_.Bind(key_.texture, batchExact_ ? 0 : key_.filtering, key_.mapU, key_.mapV);
        ApplyBlend(key_.blend);
        // A software rasteriser cuts long draws into pieces of its own size, which can part a quad's
        // two triangles; draws of whole quads let it fill each quad as one rectangle.
        const GLenum mode = key_.lines ? GL_LINES : GL_TRIANGLES;
        for (size_t at = 0; at < batchCount_; at += kVerticesPerDraw) {
            const size_t count = std::min(kVerticesPerDraw, batchCount_ - at);
            glDrawArrays(mode, first + static_cast<GLint>(at), static_cast<GLsizei>(count));
            ++stats_.drawCalls;
        }
        if (target_) {
            target_->gpuNewer = true;
            target_->dirty = false;
        }
    }
    batchCount_ = 0;
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
    unshownFrames_ = 0;
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
    if (target_.get() == &texture || (key_.texture == &texture && batchCount_)) Flush();
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

void TGlRenderer::WarmUp() {
    const bool wasDrawing = drawing_;
    if (!wasDrawing && !BeginDraw()) return;
    if (target_ || !CanDraw()) {
        if (!wasDrawing) EndDraw(false);
        return;
    }
    TFrameStats::Mark("renderer warm-up");
    Flush();
    const TBasicEffect keepEffect = effect_;
    const TMat4 keepWorld = world_;
    const bool keepClipOn = clipOn_;
    SetWorldMatrix(TMat4::Identity());
    clipOn_ = false;
    // Programs differ by blend mode, filtering and whether each side of the texture is a power of two.
    // The modes are those the engine draws its objects with on the screen and into targets (plain and
    // additive); the rarer multiply, subtract and screen modes are left to their first use.
    const int blends[2][2] = {{kBlendNormal, kBlendAdd}, {kBlendNormalTarget, kBlendAdd}};
    std::shared_ptr<TTexture> shapes[] = {
        TTexture::Create(2, 2, false, TTexture::kPlain), TTexture::Create(3, 2, false, TTexture::kPlain),
        TTexture::Create(2, 3, false, TTexture::kPlain), TTexture::Create(3, 3, false, TTexture::kPlain)};
    // Left of the viewport: clipped away after the program is chosen.
    TVertex quad[4];
    for (int i = 0; i < 4; ++i) {
        quad[i].x = i % 2 ? -8.f : -16.f;
        quad[i].y = i / 2 ? 8.f : 0.f;
        quad[i].u = static_cast<float>(i % 2);
        quad[i].v = static_cast<float>(i / 2);
    }
    const TVertexSet set{quad, 4};
    // The screen's format may differ from the targets' (a window's framebuffer).
    const std::shared_ptr<TTexture> scratch = TTexture::Create(4, 4, false, TTexture::kRenderTarget);
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1 && !(scratch && BeginRenderTarget(scratch))) break;
        for (int blend : blends[pass]) {
            for (int filtering = 0; filtering < 2; ++filtering) {
                for (const std::shared_ptr<TTexture>& shape : shapes) {
                    effect_.SetTexture(shape);
                    effect_.SetBlendMode(blend);
                    effect_.SetFilteringMode(filtering);
                    effect_.SetTextureMapMode(kMapClamp, kMapClamp);
                    DrawVertices(kDrawTriangleStrip, set);
                    Flush();
                }
            }
        }
        if (pass == 1) EndRenderTarget();
    }
    // Rooms' backdrops and their snapshots take the screen's size: stores for the first of them.
    textures_.MakeSpares(screenViewport_.right - screenViewport_.left,
                         screenViewport_.bottom - screenViewport_.top, 3);
    effect_ = keepEffect;
    SetWorldMatrix(keepWorld);
    clipOn_ = keepClipOn;
    if (!wasDrawing) {
        drawing_ = false;
        in2d_ = false;
    }
}

void TGlRenderer::ReleaseGl() {
    if (!glReady_) return;
    batchCount_ = 0;
    batchTexture_.reset();
    textures_.ReleaseAll(CurrentFramebuffer());
    target_.reset();
    program_.Destroy();
    for (int i = 0; i < kStreamBuffers; ++i) {
        if (fence_[i]) glDeleteSync(fence_[i]);
        if (vbo_[i]) glDeleteBuffers(1, &vbo_[i]);
        if (vao_[i]) glDeleteVertexArrays(1, &vao_[i]);
        fence_[i] = nullptr;
        vbo_[i] = vao_[i] = 0;
        vboSize_[i] = 0;
    }
    if (screenFbo_) glDeleteFramebuffers(1, &screenFbo_);
    if (screenTex_) glDeleteTextures(1, &screenTex_);
    screenFbo_ = screenTex_ = 0;
    screenW_ = screenH_ = 0;
    vboCapacity_ = vboOffset_ = 0;
    ForgetState();
    glReady_ = false;
    drawing_ = false;
    in2d_ = false;
}

}  // namespace pf
