// The renderer on OpenGL 3.3 core. Draws are batched: consecutive draws that share texture,
// blend mode, map modes, filtering, clip and primitive go to the GPU as one draw call, with the
// world matrix applied on the CPU and strips turned into lists. Batches stream through one vertex
// buffer at growing offsets, so that no upload waits for the GPU to finish with earlier ones, and
// only the GL state that differs from the previous batch is set.
#pragma once

#include <map>
#include <vector>

#include "pflib/TRenderer.h"
#include "pflib/TTexture.h"
#include "pflib/sdl/TGlProgram.h"
#include "pflib/sdl/TGlTextures.h"
#include "pflib/sdl/pfGl.h"

namespace pf {

class TGlRenderer : public TRenderer, public TTextureBackend {
public:
    static TGlRenderer& Get();

    bool SetOption(const str& name, const str& value) override;
    str GetOption(const str& name) const;

    bool BeginDraw() override;
    void EndDraw(bool present) override;
    bool Begin2d() override;
    void End2d() override;

    void SetViewport(const TURect& rect) override;
    void SetClippingRectangle(const TURect& rect) override;
    void SetWorldMatrix(const TMat4& matrix) override;
    TBasicEffect* GetDefault2dEffect() override { return &effect_; }

    bool DrawVertices(TDrawType type, const TVertexSet& set) override;
    bool DrawIndexedVertices(TDrawType type, const TVertexSet& set, const uint16_t* indices,
                             int indexCount) override;

    bool BeginRenderTarget(const std::shared_ptr<TTexture>& target) override;
    void EndRenderTarget() override;

    void FillRect(const TURect& rect, const TColor& color, const std::shared_ptr<TTexture>& texture) override;

    TRenderStats GetStats() const override { return stats_; }
    void Finish() override;

    // TTextureBackend
    void Release(TTexture& texture) override;
    void ReadBack(TTexture& texture) override;
    void BeforeLock(TTexture& texture, bool readOnly) override;

    // Reads pixels of what is drawn on now (the screen or the open render target), top row
    // first, rectangle in viewport pixels. Pending draws are flushed first.
    bool ReadPixels(const TURect& rect, std::vector<uint8_t>& rgba);
    // Keeps a copy of every finished frame for the screenshot.
    void SetCaptureFrames(bool capture) { capture_ = capture; }
    // Off: draws into the screen keep to one pixel, so that a frame costs its drawing work but
    // hardly any rasterising; render targets are drawn in full all the same.
    void SetScreenPixels(bool on) { screenPixels_ = on; }
    // The last captured frame (top row first); false when none was captured.
    bool LastFrame(std::vector<uint8_t>& rgba, int& width, int& height) const;
    // The GL context is about to be destroyed.
    void ReleaseGl();
    // Draws one off-screen quad for every texture shape, filtering and blend mode the game draws with,
    // on the screen and into a small render target, so that a software rasteriser compiles its pixel
    // programs now (they take tens of milliseconds each) rather than at their first use in play. No
    // pixel changes. Outside a frame, or inside one.
    void WarmUp();

private:
    // The longest single draw: 170 whole quads (and so whole triangles and lines), below the
    // 1,023 vertices at which Mesa's software rasteriser cuts a draw into pieces.
    static constexpr size_t kVerticesPerDraw = 1020;

    struct BatchKey {
        TTexture* texture = nullptr;
        int blend = 0, mapU = 0, mapV = 0, filtering = 1;
        bool lines = false;
        bool clipOn = false;
        TURect clip;
        bool operator==(const BatchKey& o) const;
    };

    TGlRenderer();
    bool EnsureGl();
    bool EnsureScreen();
    GLuint CurrentFramebuffer() const;
    int FramebufferHeight() const;
    BatchKey KeyFor(const std::shared_ptr<TTexture>& texture, bool lines);
    // Makes the batch take draws of this key, flushing what it holds under another key.
    void Open(const BatchKey& key, const std::shared_ptr<TTexture>& texture);
    // Room for n more vertices in the batch; the caller writes them and they count as added.
    TVertex* Append(int n);
    // The vertex placed by the world matrix.
    void Place(TVertex& v) const;
    // Whether the last strip quad (six batch vertices) maps texels one to one onto whole pixels.
    bool LastQuadIsExact() const;
    // Opaque untextured fills of whole pixels become a scissored clear; false when not such a fill.
    bool TryClearFill(const TURect& rect, const TColor32& color, int blend);
    void Flush();
    void ApplyBlend(int mode);
    void ApplyScissor(bool on, int x, int y, int w, int h);
    // Copies the batch into the stream buffer; the index of its first vertex there.
    GLint Upload();
    // Forgets what GL state was set (a new context, or GL calls of others).
    void ForgetState();
    void ApplyViewport();
    bool CanDraw() const { return (drawing_ || target_) && program_.IsValid(); }

    // Binds stream buffer i (and its vertex layout) for the next batches.
    void UseStream(int i);

    TBasicEffect effect_;
    TGlProgram program_;
    TGlTextures textures_;
    // Batches stream through a ring of buffers. A full buffer is fenced and the next one taken, waiting
    // (in practice never) for the GPU to finish reading it: asking the driver for a fresh store instead
    // costs a software rasteriser an allocation, cleared and faulted in, of the whole buffer.
    static constexpr int kStreamBuffers = 3;
    GLuint vao_[kStreamBuffers] = {0, 0, 0}, vbo_[kStreamBuffers] = {0, 0, 0};
    GLsync fence_[kStreamBuffers] = {nullptr, nullptr, nullptr};
    size_t vboSize_[kStreamBuffers] = {0, 0, 0};  // bytes of each store
    int stream_ = 0;                              // the buffer batches go to
    size_t vboCapacity_ = 0;                      // bytes of that buffer
    size_t vboOffset_ = 0;                        // where the next batch goes
    bool glReady_ = false;
    bool glFailed_ = false;

    // Frames drawn since the GL last finished its work, counted while no window swap holds the loop
    // back (headless runs). Unpaced, Mesa's software rasteriser would otherwise queue frames, and the
    // textures and buffer stores they read, without bound. Finishing every few frames keeps memory
    // flat and costs less than waiting for each frame.
    static constexpr int kUnshownFramesPerFinish = 10;
    int unshownFrames_ = 0;

    // Headless runs draw into this framebuffer instead of a window.
    GLuint screenFbo_ = 0, screenTex_ = 0;
    int screenW_ = 0, screenH_ = 0;

    bool drawing_ = false;
    bool in2d_ = false;
    std::shared_ptr<TTexture> target_;
    TURect viewport_, screenViewport_;
    bool clipOn_ = false;
    TURect clip_;
    TMat4 world_ = TMat4::Identity();
    bool worldIdentity_ = true;
    bool worldAffine_ = true;  // no projective part: x' = x·m0 + y·m4 + m12

    BatchKey key_;
    std::shared_ptr<TTexture> batchTexture_;
    std::vector<TVertex> batch_;  // storage; the first batchCount_ vertices are the batch
    size_t batchCount_ = 0;
    // Every draw of the batch maps texels one to one onto whole pixels: linear filtering would
    // sample texel centres only, so the cheaper nearest filtering gives the same pixels.
    bool batchExact_ = true;

    // GL state last set, so that batches set only what changes.
    int appliedBlend_ = -1;
    int scissorOn_ = -1;  // -1 unknown
    GLint scissor_[4] = {0, 0, 0, 0};

    TRenderStats stats_;
    std::map<str, str> options_;
    bool capture_ = false;
    bool screenPixels_ = true;
    std::vector<uint8_t> lastFrame_;
    int lastFrameW_ = 0, lastFrameH_ = 0;
};

}  // namespace pf
