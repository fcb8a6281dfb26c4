#include "engine/media/platform/nE_Render_Pl5.h"

#include "engine/core/nE_Colour.h"
#include "engine/media/nE_Texture.h"
#include "engine/media/platform/nE_GeneratedTexture_Pl5.h"
#include "engine/media/platform/nE_RenderTargerTexture_Pl5.h"
#include "engine/media/platform/nE_TexImpl_Pl5.h"

static bool alphaDrawable(float alpha) {
    return alpha >= 0 && alpha <= 1;
}

int nE_Render_Pl5::platformBlendMode(int blendMode, bool inTarget) {
    if (blendMode >= pf::kBlendMultiply && blendMode <= pf::kBlendScreen) return blendMode;
    return inTarget ? pf::kBlendNormalTarget : pf::kBlendNormal;
}

void nE_Render_Pl5::init(float width, float height) {
    nE_Render::init(width, height);
    displayWidth_ = width;
    displayHeight_ = height;
    drawing_ = in2d_ = inTarget_ = false;
    currentTarget_.reset();
    vertexBuffer_.assign(kMaxVertices, pf::TVertex{});
    for (pf::TVertex& v : vertexBuffer_) v.color = pf::TColor32{0, 0, 0, 0};
}

void nE_Render_Pl5::shutdown() {
    vertexBuffer_.clear();
    vertexBuffer_.shrink_to_fit();
    white_.reset();
    black_.reset();
    currentTarget_.reset();
    inTarget_ = false;
}

void nE_Render_Pl5::createSolidTextures() {
    float white[4 * 4 * 4], black[4 * 4 * 4];
    for (int i = 0; i < 16; ++i) {
        for (int c = 0; c < 3; ++c) {
            white[i * 4 + c] = 1;
            black[i * 4 + c] = 0;
        }
        white[i * 4 + 3] = black[i * 4 + 3] = 1;
    }
    auto w = std::make_shared<nE_GeneratedTexture_Pl5>();
    w->createFromColours(4, 4, white);
    auto b = std::make_shared<nE_GeneratedTexture_Pl5>();
    b->createFromColours(4, 4, black);
    white_ = w;
    black_ = b;
}

void nE_Render_Pl5::beginFrame() {
    pf::TRenderer* renderer = pf::TRenderer::GetInstance();
    drawing_ = renderer && renderer->BeginDraw();
    in2d_ = false;
    lit_ = {0, 0, static_cast<int>(displayWidth_), static_cast<int>(displayHeight_)};
    if (drawing_) renderer->SetViewport(lit_);
}

void nE_Render_Pl5::clear() {
    pf::TRenderer* renderer = pf::TRenderer::GetInstance();
    begin2d();
    if (in2d_ && renderer) {
        // The fill blends like any draw: left in additive mode by the last overlay it would not clear.
        if (pf::TBasicEffect* effect = renderer->GetDefault2dEffect()) effect->SetBlendMode(pf::kBlendNormal);
        renderer->SetWorldMatrix(pf::TMat4::Identity());
        renderer->FillRect({0, 0, static_cast<int>(displayWidth_), static_cast<int>(displayHeight_)},
                           pf::TColor{0, 0, 0, 1}, nullptr);
    }
    end2d();
}

void nE_Render_Pl5::coverOutside(const pf::TURect& keep) {
    pf::TRenderer* renderer = pf::TRenderer::GetInstance();
    const int w = static_cast<int>(displayWidth_), h = static_cast<int>(displayHeight_);
    if (!drawing_ || !renderer || (keep.left <= 0 && keep.top <= 0 && keep.right >= w && keep.bottom >= h))
        return;
    const bool was2d = in2d_;
    begin2d();
    if (!in2d_) return;
    lit_ = keep;
    if (pf::TBasicEffect* effect = renderer->GetDefault2dEffect()) effect->SetBlendMode(pf::kBlendNormal);
    renderer->SetWorldMatrix(pf::TMat4::Identity());
    const pf::TColor black{0, 0, 0, 1};
    const pf::TURect bars[] = {{0, 0, w, keep.top},
                               {0, keep.bottom, w, h},
                               {0, keep.top, keep.left, keep.bottom},
                               {keep.right, keep.top, w, keep.bottom}};
    for (const pf::TURect& bar : bars)
        if (bar.right > bar.left && bar.bottom > bar.top) renderer->FillRect(bar, black, nullptr);
    if (!was2d) end2d();
}

void nE_Render_Pl5::endFrame() {
    if (!drawing_) return;
    // A target or 2-D bracket left open by a caller would otherwise swallow the overlay.
    if (inTarget_) endTarget();
    end2d();
    drawOverlay();
    if (pf::TRenderer* renderer = pf::TRenderer::GetInstance()) renderer->EndDraw(true);
    drawing_ = false;
}

void nE_Render_Pl5::drawOverlay() {
    begin2d();
    // Over the picture only: brightened bars would turn grey.
    nE_RenderState state;
    state.x = (lit_.left + lit_.right) / 2.f;
    state.y = (lit_.top + lit_.bottom) / 2.f;
    // The solid textures are 4 × 4 pixels.
    state.scaleX = (lit_.right - lit_.left) / 4.f;
    state.scaleY = (lit_.bottom - lit_.top) / 4.f;
    if (gamma_ > 1) {
        state.alpha = (gamma_ - 1) * kBrightenFactor;
        state.blendMode = pf::kBlendAdd;
        drawTexture(white_, state);
    } else if (gamma_ < 1) {
        state.alpha = 1 - gamma_;
        drawTexture(black_, state);
    }
    end2d();
}

void nE_Render_Pl5::begin2d() {
    pf::TRenderer* renderer = pf::TRenderer::GetInstance();
    if (!drawing_ || in2d_ || !renderer) return;
    in2d_ = renderer->Begin2d();
    if (!in2d_) return;
    clipStack_.clear();
    if (pf::TBasicEffect* effect = renderer->GetDefault2dEffect()) effect->SetFilteringMode(1);
}

void nE_Render_Pl5::end2d() {
    if (!in2d_) return;
    if (pf::TRenderer* renderer = pf::TRenderer::GetInstance()) renderer->End2d();
    in2d_ = false;
}

void nE_Render_Pl5::beginTarget(int width, int height) {
    pf::TRenderer* renderer = pf::TRenderer::GetInstance();
    if (inTarget_ || !renderer) return;
    currentTarget_.reset();
    auto target = std::make_shared<nE_RenderTargerTexture_Pl5>();
    target->createTarget(width, height);
    currentTarget_ = target;
    if (!target->platformTexture || !renderer->BeginRenderTarget(target->platformTexture)) return;
    if (!renderer->Begin2d()) {
        renderer->EndRenderTarget();
        return;
    }
    inTarget_ = true;
    // The screen's clip rectangles mean nothing in the target's coordinates.
    screenClips_.swap(clipStack_);
    clipStack_.clear();
    if (pf::TBasicEffect* effect = renderer->GetDefault2dEffect()) effect->SetFilteringMode(1);
}

std::shared_ptr<nE_Texture> nE_Render_Pl5::endTarget() {
    std::shared_ptr<nE_Texture> result;
    pf::TRenderer* renderer = pf::TRenderer::GetInstance();
    if (inTarget_ && currentTarget_ && renderer) {
        renderer->End2d();
        renderer->EndRenderTarget();
        result = currentTarget_;
        clipStack_.swap(screenClips_);
        screenClips_.clear();
    }
    currentTarget_.reset();
    inTarget_ = false;
    return result;
}

void nE_Render_Pl5::applyClip(pf::TRenderer& renderer) const {
    const nE_Rect c = currentClip();
    renderer.SetClippingRectangle({static_cast<int>(c.x), static_cast<int>(c.y), static_cast<int>(c.x + c.w),
                                   static_cast<int>(c.y + c.h)});
}

bool nE_Render_Pl5::prepare(pf::TRenderer& renderer, nE_Texture& texture, nE_RenderState& state,
                            bool absolute) {
    const nE_TexImpl_Pl5* impl = texture.platformSide();
    if (!impl) return false;
    const std::shared_ptr<pf::TTexture>& platformTexture = impl->platformTextureFor(state.frameIndex);
    // A texture whose file was missing has nothing to show.
    if (!platformTexture) return false;
    pf::TBasicEffect* effect = renderer.GetDefault2dEffect();
    if (!effect) return false;

    renderer.SetWorldMatrix(absolute ? pf::TMat4::Identity() : state.transform());
    applyClip(renderer);
    if (state.tilingX == 1 && state.tilingY == 1)
        effect->SetTextureMapMode(pf::kMapClamp, pf::kMapClamp);
    else
        effect->SetTextureMapMode(pf::kMapWrap, pf::kMapWrap);
    effect->SetBlendMode(platformBlendMode(state.blendMode, inTarget_));
    effect->SetTexture(platformTexture);
    return true;
}

void nE_Render_Pl5::drawTexture(const std::shared_ptr<nE_Texture>& texture, nE_RenderState& state) {
    if (!canDraw() || !alphaDrawable(state.alpha) || !texture || vertexBuffer_.size() < 4) return;
    pf::TRenderer* renderer = pf::TRenderer::GetInstance();
    if (!renderer || !prepare(*renderer, *texture, state, false)) return;

    nE_Rect r = texture->localRect(state.frameIndex);
    r.x += state.drawOffsetX;
    r.y += state.drawOffsetY;
    const nE_Rect t = texture->texCoordRect(state);
    const pf::TColor32 colour{nE_Colour::toByte(state.red), nE_Colour::toByte(state.green),
                              nE_Colour::toByte(state.blue), nE_Colour::toByte(state.alpha)};

    pf::TVertex* v = vertexBuffer_.data();
    // Strip order: top-left, top-right, bottom-left, bottom-right.
    v[0] = {r.x, r.y, 0, colour, t.x, t.y};
    v[1] = {r.x + r.w, r.y, 0, colour, t.x + t.w, t.y};
    v[2] = {r.x, r.y + r.h, 0, colour, t.x, t.y + t.h};
    v[3] = {r.x + r.w, r.y + r.h, 0, colour, t.x + t.w, t.y + t.h};
    renderer->DrawVertices(pf::kDrawTriangleStrip, {v, 4});
}

void nE_Render_Pl5::convertVertices(const nE_Vertex* vertices, int count, bool absolute,
                                    const nE_RenderState& state) {
    const float r = absolute ? 1 : state.red, g = absolute ? 1 : state.green, b = absolute ? 1 : state.blue,
                a = absolute ? 1 : state.alpha;
    pf::TVertex* out = vertexBuffer_.data();
    // Neighbouring vertices (the corners of one quad) mostly share their colour: convert it once.
    float lastR = -1, lastG = -1, lastB = -1, lastA = -1;
    pf::TColor32 colour;
    for (int i = 0; i < count; ++i) {
        const nE_Vertex& in = vertices[i];
        if (in.r != lastR || in.g != lastG || in.b != lastB || in.a != lastA) {
            colour = {nE_Colour::toByte(in.r * r), nE_Colour::toByte(in.g * g), nE_Colour::toByte(in.b * b),
                      nE_Colour::toByte(in.a * a)};
            lastR = in.r;
            lastG = in.g;
            lastB = in.b;
            lastA = in.a;
        }
        out[i] = {in.x, in.y, in.z, colour, in.u, in.v};
    }
}

void nE_Render_Pl5::drawVertices(const std::shared_ptr<nE_Texture>& texture, nE_RenderState& state,
                                 const nE_Vertex* vertices, int count, bool absolute) {
    if (!canDraw() || !alphaDrawable(state.alpha) || !texture || !vertices || count <= 0 ||
        count > static_cast<int>(vertexBuffer_.size()))
        return;
    pf::TRenderer* renderer = pf::TRenderer::GetInstance();
    if (!renderer || !prepare(*renderer, *texture, state, absolute)) return;

    convertVertices(vertices, count, absolute, state);
    pf::TVertex* out = vertexBuffer_.data();
    renderer->DrawVertices(pf::kDrawTriangleList, {out, count});
}

void nE_Render_Pl5::drawIndexedVertices(const std::shared_ptr<nE_Texture>& texture, nE_RenderState& state,
                                        const nE_Vertex* vertices, int count, const unsigned short* indices,
                                        int indexCount, bool absolute) {
    if (!canDraw() || !alphaDrawable(state.alpha) || !texture || !vertices || count <= 0 ||
        count > static_cast<int>(vertexBuffer_.size()) || !indices || indexCount <= 0)
        return;
    // An index past the list would make the platform read outside it.
    for (int i = 0; i < indexCount; ++i)
        if (indices[i] >= count) return;
    pf::TRenderer* renderer = pf::TRenderer::GetInstance();
    if (!renderer || !prepare(*renderer, *texture, state, absolute)) return;

    convertVertices(vertices, count, absolute, state);
    pf::TVertex* out = vertexBuffer_.data();
    renderer->DrawIndexedVertices(pf::kDrawTriangleList, {out, count}, indices, indexCount);
}

void nE_Render_Pl5::drawLine(float x0, float y0, float x1, float y1, const pf::TColor& color,
                             nE_RenderState& state) {
    if (!canDraw() || vertexBuffer_.size() < 2) return;
    pf::TRenderer* renderer = pf::TRenderer::GetInstance();
    if (!renderer) return;
    pf::TBasicEffect* effect = renderer->GetDefault2dEffect();
    if (!effect) return;
    renderer->SetWorldMatrix(state.transform());
    applyClip(*renderer);
    effect->SetTexture(nullptr);
    effect->SetBlendMode(platformBlendMode(0, inTarget_));
    const pf::TColor32 colour{nE_Colour::toByte(color.r), nE_Colour::toByte(color.g),
                              nE_Colour::toByte(color.b), nE_Colour::toByte(color.a)};
    pf::TVertex* v = vertexBuffer_.data();
    v[0] = {x0, y0, 0, colour, 0, 0};
    v[1] = {x1, y1, 0, colour, 0, 0};
    renderer->DrawVertices(pf::kDrawLineList, {v, 2});
}
