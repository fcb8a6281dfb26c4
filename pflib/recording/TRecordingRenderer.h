// The recording renderer of pf_recording: every call is appended to a log that tests read and
// clear. Nothing is rasterised; textures keep their pixels in CPU memory.
//
//   pf::testing::Recorder().Clear();
//   ... engine draws ...
//   EXPECT_EQ(pf::testing::Recorder().Count("DrawVertices"), 1);
//
// The display, clock, exit and sound stand-ins are in TRecordingPlatform.h and TRecordingSound.h.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "pflib/TRenderer.h"
#include "pflib/TTexture.h"

namespace pf {
namespace testing {

struct TRecordedCall {
    // "SetOption", "BeginDraw", "EndDraw", "Begin2d", "End2d", "SetViewport", "SetClippingRectangle",
    // "SetWorldMatrix", "DrawVertices", "DrawIndexedVertices", "BeginRenderTarget",
    // "EndRenderTarget", "FillRect", "Finish".
    str name;
    // The call's numbers: EndDraw (present); SetViewport, SetClippingRectangle (left, top, right,
    // bottom); FillRect (left, top, right, bottom, r, g, b, a); draws (draw type, vertex count,
    // index count); BeginRenderTarget (width, height).
    std::vector<double> args;
    str text;            // SetOption: the option's name
    str text2;           // SetOption: its value
    bool result = true;  // what the call returned (false for a refused draw or bracket)

    // State in force at the call.
    TMat4 world = TMat4::Identity();
    bool clipOn = false;
    TURect clip;
    bool inTarget = false;

    // Draws: the effect's state at draw time (FillRect: its own texture).
    const TTexture* texture = nullptr;
    std::weak_ptr<TTexture> textureRef;
    int blend = 0, mapU = 0, mapV = 0, filtering = 1;
    int drawType = -1;
    std::vector<TVertex> vertices;     // as given; indexed draws keep the given vertex array
    std::vector<uint16_t> indices;     // indexed draws
    std::vector<TVertex> transformed;  // the vertices (indexed: in index order) through the world matrix
};

class TRecordingRenderer : public TRenderer {
public:
    bool SetOption(const str& name, const str& value) override;
    bool BeginDraw() override;
    void EndDraw(bool present) override;
    bool Begin2d() override;
    void End2d() override;
    void SetViewport(const TURect& rect) override;
    void SetClippingRectangle(const TURect& rect) override;
    void SetWorldMatrix(const TMat4& matrix) override;
    TBasicEffect* GetDefault2dEffect() override { return &effect; }
    bool DrawVertices(TDrawType type, const TVertexSet& set) override;
    bool DrawIndexedVertices(TDrawType type, const TVertexSet& set, const uint16_t* indices,
                             int indexCount) override;
    bool BeginRenderTarget(const std::shared_ptr<TTexture>& target) override;
    void EndRenderTarget() override;
    void FillRect(const TURect& rect, const TColor& color, const std::shared_ptr<TTexture>& texture) override;
    TRenderStats GetStats() const override { return stats; }
    void Finish() override;

    // The log.
    std::vector<TRecordedCall> calls;
    // Off: calls still change the state and the counters, but nothing is logged (benchmarks
    // measure the engine's work, not the log's).
    bool keepLog = true;
    void Clear() { calls.clear(); }
    int Count(const str& name) const;
    // The last call of that name, or null.
    const TRecordedCall* Last(const str& name) const;
    // Every DrawVertices, DrawIndexedVertices and FillRect, in order.
    std::vector<const TRecordedCall*> Draws() const;
    // The names of the calls, in order (handy for EXPECT_THAT with ElementsAre).
    std::vector<str> Names() const;

    // Failures a test can provoke.
    bool failBeginDraw = false;
    bool failBegin2d = false;
    bool failBeginRenderTarget = false;

    // State.
    TBasicEffect effect;
    std::map<str, str> options;
    bool drawing = false;
    bool in2d = false;
    std::shared_ptr<TTexture> target;
    TURect viewport;
    bool clipOn = false;
    TURect clip;
    TMat4 world = TMat4::Identity();
    TRenderStats stats;

    // Back to a fresh renderer (log, state, failures, effect).
    void Reset();

private:
    // A name, not a string: an unlogged call (every draw of a benchmark) should cost no allocation.
    TRecordedCall& Record(const char* name);
    TRecordedCall scratch_;  // what an unlogged call fills
    void RecordDraw(TRecordedCall& call, int type, const TVertex* vertices, int count,
                    const uint16_t* indices, int indexCount);
};

// The process's recording renderer (also what TRenderer::GetInstance returns).
TRecordingRenderer& Recorder();

}  // namespace testing
}  // namespace pf
