#include "pflib/recording/TRecordingRenderer.h"

namespace pf {

namespace testing {

namespace {

bool knownType(int type) {
    return type == kDrawTriangleList || type == kDrawTriangleStrip || type == kDrawLineList;
}

}  // namespace

void TRecordingRenderer::Reset() {
    calls.clear();
    keepLog = true;
    failBeginDraw = failBegin2d = failBeginRenderTarget = false;
    effect = TBasicEffect();
    options.clear();
    drawing = in2d = false;
    target.reset();
    viewport = TURect();
    clipOn = false;
    clip = TURect();
    world = TMat4::Identity();
    stats = TRenderStats();
}

TRecordedCall& TRecordingRenderer::Record(const char* name) {
    if (!keepLog) {
        scratch_.result = true;
        return scratch_;
    }
    calls.emplace_back();
    TRecordedCall& call = calls.back();
    call.name = name;
    call.world = world;
    call.clipOn = clipOn;
    call.clip = clip;
    call.inTarget = target != nullptr;
    return call;
}

int TRecordingRenderer::Count(const str& name) const {
    int n = 0;
    for (const auto& call : calls) n += call.name == name;
    return n;
}

const TRecordedCall* TRecordingRenderer::Last(const str& name) const {
    for (auto it = calls.rbegin(); it != calls.rend(); ++it)
        if (it->name == name) return &*it;
    return nullptr;
}

std::vector<const TRecordedCall*> TRecordingRenderer::Draws() const {
    std::vector<const TRecordedCall*> draws;
    for (const auto& call : calls)
        if (call.name == "DrawVertices" || call.name == "DrawIndexedVertices" || call.name == "FillRect")
            draws.push_back(&call);
    return draws;
}

std::vector<str> TRecordingRenderer::Names() const {
    std::vector<str> names;
    for (const auto& call : calls) names.push_back(call.name);
    return names;
}

bool TRecordingRenderer::SetOption(const str& name, const str& value) {
    TRecordedCall& call = Record("SetOption");
    call.text = name;
    call.text2 = value;
    options[name] = value;
    return true;
}

bool TRecordingRenderer::BeginDraw() {
    TRecordedCall& call = Record("BeginDraw");
    call.result = !failBeginDraw;
    if (failBeginDraw) return false;
    // As on the GPU: a new frame draws on the screen, unmoved and unclipped, and counts afresh.
    if (!drawing) {
        target.reset();
        world = TMat4::Identity();
        clipOn = false;
        stats = TRenderStats();
    }
    drawing = true;
    return true;
}

void TRecordingRenderer::EndDraw(bool present) {
    Record("EndDraw").args = {present ? 1.0 : 0.0};
    target.reset();  // a frame that ends closes the target it left open
    drawing = false;
    in2d = false;
}

bool TRecordingRenderer::Begin2d() {
    TRecordedCall& call = Record("Begin2d");
    call.result = !failBegin2d && (drawing || target);
    if (!call.result) return false;
    in2d = true;
    clipOn = false;
    return true;
}

void TRecordingRenderer::End2d() {
    Record("End2d");
    in2d = false;
}

void TRecordingRenderer::SetViewport(const TURect& rect) {
    Record("SetViewport").args = {double(rect.left), double(rect.top), double(rect.right),
                                  double(rect.bottom)};
    viewport = rect;
}

void TRecordingRenderer::SetClippingRectangle(const TURect& rect) {
    clipOn = true;
    clip = rect;
    TRecordedCall& call = Record("SetClippingRectangle");
    if (keepLog) call.args = {double(rect.left), double(rect.top), double(rect.right), double(rect.bottom)};
}

void TRecordingRenderer::SetWorldMatrix(const TMat4& matrix) {
    world = matrix;
    Record("SetWorldMatrix");
}

void TRecordingRenderer::RecordDraw(TRecordedCall& call, int type, const TVertex* vertices, int count,
                                    const uint16_t* indices, int indexCount) {
    ++stats.submissions;
    ++stats.drawCalls;
    stats.vertices += count;
    if (!keepLog) return;
    const auto& texture = effect.GetTexture();
    call.texture = texture.get();
    call.textureRef = texture;
    call.blend = effect.GetBlendMode();
    call.mapU = effect.GetMapU();
    call.mapV = effect.GetMapV();
    call.filtering = effect.GetFilteringMode();
    call.drawType = type;
    call.args = {double(type), double(count), double(indexCount)};
    if (vertices && count > 0) call.vertices.assign(vertices, vertices + count);
    if (indices && indexCount > 0) call.indices.assign(indices, indices + indexCount);
    auto transform = [&](const TVertex& v) {
        TVertex t = v;
        const TVec2 p = world.Apply(v.x, v.y);
        t.x = p.x;
        t.y = p.y;
        call.transformed.push_back(t);
    };
    if (call.indices.empty()) {
        for (const TVertex& v : call.vertices) transform(v);
    } else {
        for (uint16_t i : call.indices)
            if (i < call.vertices.size()) transform(call.vertices[i]);
    }
}

bool TRecordingRenderer::DrawVertices(TDrawType type, const TVertexSet& set) {
    TRecordedCall& call = Record("DrawVertices");
    call.result = (drawing || target) && set.vertices && set.count > 0 && knownType(type);
    if (call.result) RecordDraw(call, type, set.vertices, set.count, nullptr, 0);
    return call.result;
}

bool TRecordingRenderer::DrawIndexedVertices(TDrawType type, const TVertexSet& set, const uint16_t* indices,
                                             int indexCount) {
    TRecordedCall& call = Record("DrawIndexedVertices");
    call.result =
        (drawing || target) && set.vertices && set.count > 0 && indices && indexCount > 0 && knownType(type);
    for (int i = 0; call.result && i < indexCount; ++i)
        if (indices[i] >= set.count) call.result = false;
    if (call.result) RecordDraw(call, type, set.vertices, set.count, indices, indexCount);
    return call.result;
}

bool TRecordingRenderer::BeginRenderTarget(const std::shared_ptr<TTexture>& texture) {
    TRecordedCall& call = Record("BeginRenderTarget");
    call.texture = texture.get();
    call.textureRef = texture;
    if (texture) call.args = {double(texture->GetWidth()), double(texture->GetHeight())};
    call.result =
        !failBeginRenderTarget && texture && texture->GetType() == TTexture::kRenderTarget && !target;
    if (call.result) {
        target = texture;
        clipOn = false;
    }
    return call.result;
}

void TRecordingRenderer::EndRenderTarget() {
    Record("EndRenderTarget");
    target.reset();
    clipOn = false;
}

void TRecordingRenderer::FillRect(const TURect& rect, const TColor& color,
                                  const std::shared_ptr<TTexture>& texture) {
    TRecordedCall& call = Record("FillRect");
    call.result = drawing || target;
    call.blend = effect.GetBlendMode();
    call.filtering = effect.GetFilteringMode();
    call.texture = texture.get();
    call.textureRef = texture;
    call.args = {
        double(rect.left), double(rect.top), double(rect.right), double(rect.bottom), color.r, color.g,
        color.b,           color.a};
    if (call.result) {
        ++stats.submissions;
        ++stats.drawCalls;
        stats.vertices += 4;
    }
}

void TRecordingRenderer::Finish() {
    Record("Finish");
}

}  // namespace testing
}  // namespace pf
