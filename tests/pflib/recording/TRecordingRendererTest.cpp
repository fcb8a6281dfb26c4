// The recording renderer stands in for the OpenGL one in every engine and game test. The same cases run
// through the renderer interface against both, headless, and check that they agree on what the engine
// relies on: which calls are refused, what the counters say, what a frame or a render target starts
// with, and where a draw lands. Batching is the real renderer's own business: its GPU draw count is
// not compared.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "pflib/TPlatform.h"
#include "pflib/TTexture.h"
#include "pflib/recording/TRecordingRenderer.h"
#include "pflib/sdl/TGlRenderer.h"

using pf::TURect;

namespace {

constexpr int kSize = 64;

// A renderer under test and what it can tell of the draws since Mark: the box of screen pixels they
// cover (empty when none).
class Backend {
public:
    virtual ~Backend() = default;
    virtual pf::TRenderer& renderer() = 0;
    virtual void Mark() = 0;
    virtual TURect Covered() = 0;
};

// Grows the box to take in [x0, x1) × [y0, y1).
void Grow(TURect& box, int x0, int y0, int x1, int y1) {
    box.left = std::min(box.left, x0), box.top = std::min(box.top, y0);
    box.right = std::max(box.right, x1), box.bottom = std::max(box.bottom, y1);
}
constexpr TURect kNothing{kSize, kSize, 0, 0};

std::string Text(const TURect& r) {
    if (r.right <= r.left || r.bottom <= r.top) return "nothing";
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

class GlBackend : public Backend {
public:
    GlBackend() {
        pf::TRunOptions options;
        options.headless = true;
        pf::TPlatform::SetRunOptions(options);
        ok = pf::TPlatform::SetDisplay(kSize, kSize, false, false, 0);
    }
    pf::TRenderer& renderer() override { return r; }
    // Paints the screen black; the draws under test paint white.
    void Mark() override {
        pf::TBasicEffect* effect = r.GetDefault2dEffect();
        const int blend = effect->GetBlendMode();
        effect->SetBlendMode(pf::kBlendCopy);
        r.FillRect(TURect{0, 0, kSize, kSize}, pf::TColor{0, 0, 0, 1}, nullptr);
        effect->SetBlendMode(blend);
    }
    TURect Covered() override {
        std::vector<uint8_t> p;
        TURect box = kNothing;
        if (!r.ReadPixels(TURect{0, 0, kSize, kSize}, p)) return box;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                if (p[(y * kSize + x) * 4] > 127) Grow(box, x, y, x + 1, y + 1);
        return box;
    }
    pf::TGlRenderer& r = pf::TGlRenderer::Get();
    bool ok = false;
};

class RecordingBackend : public Backend {
public:
    pf::TRenderer& renderer() override { return r; }
    void Mark() override { mark = r.calls.size(); }
    // The recorded draws placed by their world matrix, cut by their clip and the screen.
    TURect Covered() override {
        TURect box = kNothing;
        for (size_t i = mark; i < r.calls.size(); ++i) {
            const pf::testing::TRecordedCall& c = r.calls[i];
            TURect d = kNothing;
            auto take = [&d](pf::TVec2 p) {
                const int x = int(std::lround(p.x)), y = int(std::lround(p.y));
                Grow(d, x, y, x, y);
            };
            if (c.name == "FillRect" && c.result)
                for (int corner = 0; corner < 4; ++corner)
                    take(c.world.Apply(float(c.args[corner % 2 ? 2 : 0]), float(c.args[corner < 2 ? 1 : 3])));
            for (const pf::TVertex& v : c.transformed) take(pf::TVec2{v.x, v.y});
            const TURect cut = c.clipOn ? c.clip : TURect{0, 0, kSize, kSize};
            d = TURect{std::max({d.left, cut.left, 0}), std::max({d.top, cut.top, 0}),
                       std::min({d.right, cut.right, kSize}), std::min({d.bottom, cut.bottom, kSize})};
            if (d.right > d.left && d.bottom > d.top) Grow(box, d.left, d.top, d.right, d.bottom);
        }
        return box;
    }
    pf::testing::TRecordingRenderer r;
    size_t mark = 0;
};

class RendererContract : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        if (GetParam() == "gl") {
            auto gl = std::make_unique<GlBackend>();
            ASSERT_TRUE(gl->ok);
            backend = std::move(gl);
        } else {
            backend = std::make_unique<RecordingBackend>();
        }
    }
    void TearDown() override {
        r().EndRenderTarget();
        r().End2d();
        r().EndDraw(false);
    }
    pf::TRenderer& r() { return backend->renderer(); }
    void Frame() {
        ASSERT_TRUE(r().BeginDraw());
        ASSERT_TRUE(r().Begin2d());
        r().GetDefault2dEffect()->SetTexture(nullptr);
        r().GetDefault2dEffect()->SetBlendMode(pf::kBlendNormal);
        backend->Mark();
    }
    void EndFrame() {
        r().End2d();
        r().EndDraw(false);
    }
    void Fill(const TURect& rect) { r().FillRect(rect, pf::TColor{}, nullptr); }
    std::string Covered() { return Text(backend->Covered()); }
    bool Strip(int type = pf::kDrawTriangleStrip, int count = 4) {
        pf::TVertex v[4];
        v[1].x = v[3].x = v[2].y = v[3].y = 4;
        return r().DrawVertices(pf::TDrawType(type), pf::TVertexSet{v, count});
    }

    std::unique_ptr<Backend> backend;
};

pf::TMat4 Moved(float x, float y) {
    pf::TMat4 m = pf::TMat4::Identity();
    m.m[12] = x;
    m.m[13] = y;
    return m;
}

}  // namespace

TEST_P(RendererContract, MalformedDrawsAndDrawsOutsideAFrameAreRefusedAndNotCounted) {
    const int before = r().GetStats().submissions;
    EXPECT_FALSE(r().Begin2d());
    EXPECT_FALSE(Strip());
    Fill(TURect{0, 0, 4, 4});
    EXPECT_EQ(before, r().GetStats().submissions);

    Frame();
    const pf::TRenderStats marked = r().GetStats();  // with the real renderer's black fill
    pf::TVertex v[3];
    const uint16_t past[] = {0, 1, 3}, good[] = {0, 1, 2, 2, 1, 0};
    EXPECT_FALSE(Strip(pf::kDrawTriangleList, 0));
    EXPECT_FALSE(r().DrawVertices(pf::kDrawTriangleList, pf::TVertexSet{nullptr, 3}));
    EXPECT_FALSE(Strip(7)) << "an unknown primitive";
    EXPECT_FALSE(r().DrawIndexedVertices(pf::kDrawTriangleList, pf::TVertexSet{v, 3}, past, 3));
    EXPECT_FALSE(r().DrawIndexedVertices(pf::kDrawTriangleList, pf::TVertexSet{v, 3}, nullptr, 3));
    EXPECT_FALSE(r().DrawIndexedVertices(pf::kDrawTriangleList, pf::TVertexSet{v, 3}, good, 0));
    EXPECT_EQ(marked.submissions, r().GetStats().submissions);

    EXPECT_TRUE(Strip());
    EXPECT_TRUE(r().DrawIndexedVertices(pf::kDrawLineList, pf::TVertexSet{v, 3}, good, 6));
    Fill(TURect{0, 0, 4, 4});
    EXPECT_EQ(marked.submissions + 3, r().GetStats().submissions);
    EXPECT_EQ(marked.vertices + 4 + 3 + 4, r().GetStats().vertices) << "indexed draws count their set";

    EndFrame();
    ASSERT_TRUE(r().BeginDraw());
    EXPECT_EQ(0, r().GetStats().submissions) << "counters are per frame";
}

TEST_P(RendererContract, RenderTargetsTakeOnlyTargetTexturesOneAtATimeAndKeepTheirSize) {
    auto target = pf::TTexture::Create(6, 3, true, pf::TTexture::kRenderTarget);
    EXPECT_FALSE(r().BeginRenderTarget(nullptr));
    EXPECT_FALSE(r().BeginRenderTarget(pf::TTexture::Create(6, 3, true, pf::TTexture::kPlain)));
    ASSERT_TRUE(r().BeginRenderTarget(target)) << "no frame needed";
    EXPECT_FALSE(r().BeginRenderTarget(pf::TTexture::Create(2, 2, true, pf::TTexture::kRenderTarget)));
    EXPECT_TRUE(r().Begin2d());
    EXPECT_TRUE(Strip());
    r().End2d();
    r().EndRenderTarget();
    EXPECT_FALSE(Strip()) << "the target has gone and no frame is open";
    EXPECT_EQ(6, target->GetWidth());
    EXPECT_EQ(3, target->GetHeight());

    // A frame that ends closes the target it left open.
    ASSERT_TRUE(r().BeginDraw());
    ASSERT_TRUE(r().BeginRenderTarget(target));
    r().EndDraw(false);
    EXPECT_FALSE(Strip());
    EXPECT_TRUE(r().BeginRenderTarget(target));
}

TEST_P(RendererContract, ADrawLandsWhereTheWorldMatrixAndTheClipPutIt) {
    Frame();
    r().SetWorldMatrix(Moved(10, 5));
    Fill(TURect{2, 3, 12, 13});
    EXPECT_EQ("12,8 22,18", Covered());

    EndFrame();
    Frame();
    r().SetWorldMatrix(Moved(10, 5));
    r().SetClippingRectangle(TURect{15, 0, kSize, kSize});
    Fill(TURect{2, 3, 12, 13});
    EXPECT_EQ("15,8 22,18", Covered());
    backend->Mark();
    r().SetClippingRectangle(TURect{5, 5, 5, 40});
    Fill(TURect{2, 3, 12, 13});
    EXPECT_EQ("nothing", Covered()) << "an empty clip takes everything away";

    EndFrame();
    Frame();
    pf::TMat4 twice = Moved(20, 30);
    twice.m[0] = twice.m[5] = 2;
    r().SetWorldMatrix(twice);
    EXPECT_TRUE(Strip());
    EXPECT_EQ("20,30 28,38", Covered());
}

TEST_P(RendererContract, AFrameA2dBracketAndATargetEachStartUnclipped) {
    Frame();
    r().SetWorldMatrix(Moved(10, 10));
    r().SetClippingRectangle(TURect{0, 0, 2, 2});
    EndFrame();
    Frame();
    Fill(TURect{0, 0, 8, 8});
    EXPECT_EQ("0,0 8,8", Covered()) << "a new frame: identity and no clip";

    backend->Mark();
    r().SetClippingRectangle(TURect{0, 0, 2, 2});
    ASSERT_TRUE(r().Begin2d());
    Fill(TURect{0, 0, 8, 8});
    EXPECT_EQ("0,0 8,8", Covered()) << "a new bracket";

    backend->Mark();
    r().SetClippingRectangle(TURect{0, 0, 2, 2});
    ASSERT_TRUE(r().BeginRenderTarget(pf::TTexture::Create(4, 4, true, pf::TTexture::kRenderTarget)));
    r().EndRenderTarget();
    Fill(TURect{0, 0, 8, 8});
    EXPECT_EQ("0,0 8,8", Covered()) << "back from a target";
}

INSTANTIATE_TEST_SUITE_P(Backends, RendererContract, ::testing::Values("recording", "gl"),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });
