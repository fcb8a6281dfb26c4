// The renderer on OpenGL 3.3 core. Draws are batched: consecutive draws that share texture,
// blend mode, map modes, filtering, clip and primitive go to the GPU as one draw call, with the
// world matrix applied on the CPU and strips turned into lists.
#pragma once

#include <epoxy/gl.h>

#include <map>
#include <vector>

#include "pflib/TRenderer.h"
#include "pflib/TTexture.h"
#include "pflib/sdl/TGlProgram.h"
#include "pflib/sdl/TGlTextures.h"

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
    // The last captured frame (top row first); false when none was captured.
    bool LastFrame(std::vector<uint8_t>& rgba, int& width, int& height) const;
    // The GL context is about to be destroyed.
    void ReleaseGl();

private:
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
    void Push(const TVertex& v);
    void Flush();
    void ApplyBlend(int mode);
    void ApplyViewport();
    bool CanDraw() const { return (drawing_ || target_) && program_.IsValid(); }

    TBasicEffect effect_;
    TGlProgram program_;
    TGlTextures textures_;
    GLuint vao_ = 0, vbo_ = 0;
    size_t vboCapacity_ = 0;
    bool glReady_ = false;
    bool glFailed_ = false;

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

    BatchKey key_;
    std::shared_ptr<TTexture> batchTexture_;
    std::vector<TVertex> batch_;

    TRenderStats stats_;
    std::map<str, str> options_;
    bool capture_ = false;
    std::vector<uint8_t> lastFrame_;
    int lastFrameW_ = 0, lastFrameH_ = 0;
};

}  // namespace pf
