// The renderer binding against the recording platform renderer: what reaches pf, not pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "engine/media/nE_ResourceCache.h"
#include "engine/media/nE_Texture.h"
#include "engine/media/platform/nE_GeneratedTexture_Pl5.h"
#include "engine/media/platform/nE_Render_Pl5.h"
#include "engine/media/platform/nE_TexImpl_Pl5.h"
#include "engine/media/platform/nE_UpdateLostTexturesTask_Pl5.h"
#include "pflib/recording/TRecordingRenderer.h"

namespace {

using pf::testing::Recorder;
using pf::testing::TRecordedCall;

const std::string kData = std::string(HALVERN_TEST_DATA) + "/textures/";

class RenderPl5Test : public ::testing::Test {
protected:
    void SetUp() override {
        Recorder().Reset();
        cache = nE_ResourceCache::create();
        r.init(1024, 768);
        r.createSolidTextures();
        texture = cache->getTexture(kData + "both");  // 4 × 2
    }
    void TearDown() override {
        r.shutdown();
        nE_ResourceCache::destroy();
    }
    void open() {
        r.beginFrame();
        r.begin2d();
        Recorder().Clear();
    }
    const pf::TTexture* platformOf(const std::shared_ptr<nE_Texture>& t, int frame = 0) {
        return dynamic_cast<nE_TexImpl_Pl5&>(*t).platformTextureFor(frame).get();
    }
    // The draws with vertices (no fills).
    std::vector<const TRecordedCall*> vertexDraws() {
        std::vector<const TRecordedCall*> out;
        for (const TRecordedCall* c : Recorder().Draws())
            if (c->name != "FillRect") out.push_back(c);
        return out;
    }

    nE_Render_Pl5 r;
    nE_ResourceCache* cache = nullptr;
    std::shared_ptr<nE_Texture> texture;
};

TEST_F(RenderPl5Test, ClipStackRules) {
    nE_Rect c = r.currentClip();
    EXPECT_EQ(0.f, c.x);
    EXPECT_EQ(2048.f, c.w);
    EXPECT_EQ(2048.f, c.h);

    EXPECT_FALSE(r.pushClip({10, 10, 0, 50}));
    EXPECT_FALSE(r.pushClip({10, 10, 50, 0}));
    EXPECT_EQ(2048.f, r.currentClip().w) << "a refused rectangle leaves the stack unchanged";
    r.popClip();  // empty: nothing happens
    r.popClip();

    ASSERT_TRUE(r.pushClip({10, 20, 100, 100}));
    ASSERT_TRUE(r.pushClip({50.7f, 0, 200, 60.5f}));
    c = r.currentClip();
    EXPECT_FLOAT_EQ(50.7f, c.x);
    EXPECT_FLOAT_EQ(20, c.y);
    EXPECT_FLOAT_EQ(59.3f, c.w);
    EXPECT_FLOAT_EQ(40.5f, c.h);

    // The clip goes to pf as integer parts before each draw.
    r.beginFrame();
    r.begin2d();
    EXPECT_EQ(2048.f, r.currentClip().w) << "begin2d empties the stack";
    ASSERT_TRUE(r.pushClip({10, 20, 100, 100}));
    ASSERT_TRUE(r.pushClip({50.7f, 0, 200, 60.5f}));
    Recorder().Clear();
    nE_RenderState s;
    r.drawTexture(texture, s);
    const TRecordedCall* draw = Recorder().Last("DrawVertices");
    ASSERT_TRUE(draw && draw->clipOn);
    EXPECT_EQ(50, draw->clip.left);
    EXPECT_EQ(20, draw->clip.top);
    EXPECT_EQ(110, draw->clip.right);
    EXPECT_EQ(60, draw->clip.bottom);
    r.popClip();
    r.drawTexture(texture, s);
    EXPECT_EQ(10, Recorder().Last("DrawVertices")->clip.left) << "a pop takes effect at the next draw";
    EXPECT_EQ(120, Recorder().Last("DrawVertices")->clip.bottom);
}

TEST_F(RenderPl5Test, DrawsOnlyInsideTheBracketsAndWithinAlphaRange) {
    nE_RenderState s;
    r.drawTexture(texture, s);
    r.beginFrame();
    r.drawTexture(texture, s);
    EXPECT_EQ(0, Recorder().Count("DrawVertices")) << "no 2-D bracket yet";
    r.begin2d();

    for (float alpha : {1.0001f, -0.0001f}) {
        s.alpha = alpha;
        r.drawTexture(texture, s);
        r.drawVertices(texture, s, std::vector<nE_Vertex>(3).data(), 3, false);
    }
    EXPECT_EQ(0, Recorder().Count("DrawVertices"));
    s.alpha = 1;
    r.drawTexture(nullptr, s);
    EXPECT_EQ(0, Recorder().Count("DrawVertices"));
    r.drawTexture(texture, s);
    s.alpha = 0;
    r.drawTexture(texture, s);
    EXPECT_EQ(2, Recorder().Count("DrawVertices"));

    r.end2d();
    r.drawTexture(texture, s);
    EXPECT_EQ(2, Recorder().Count("DrawVertices"));
}

TEST_F(RenderPl5Test, FailedBracketsDrawNothing) {
    nE_RenderState s;
    Recorder().failBeginDraw = true;
    r.beginFrame();
    r.begin2d();
    r.drawTexture(texture, s);
    r.endFrame();
    EXPECT_EQ(0, Recorder().Count("DrawVertices"));
    EXPECT_EQ(0, Recorder().Count("EndDraw"));

    Recorder().failBeginDraw = false;
    Recorder().failBegin2d = true;
    r.beginFrame();
    r.begin2d();
    r.drawTexture(texture, s);
    EXPECT_FALSE(r.isIn2d());
    EXPECT_EQ(0, Recorder().Count("DrawVertices"));
    r.endFrame();
    EXPECT_EQ(1, Recorder().Count("EndDraw"));
}

TEST_F(RenderPl5Test, MissingImageDrawsNothing) {
    testing::internal::CaptureStdout();
    std::shared_ptr<nE_Texture> missing = cache->getTexture(kData + "nothing_here");
    testing::internal::GetCapturedStdout();
    open();
    nE_RenderState s;
    r.drawTexture(missing, s);
    nE_Vertex v[3];
    r.drawVertices(missing, s, v, 3, false);
    EXPECT_EQ(0, Recorder().Count("DrawVertices"));
}

TEST_F(RenderPl5Test, TexturedQuadGeometryColourAndAddressing) {
    open();
    nE_RenderState s;
    s.x = 100;
    s.y = 50;
    s.drawOffsetX = 3;
    s.red = 0.5f;
    s.green = 0.25f;
    s.blue = 1;
    s.alpha = 0.999f;
    r.drawTexture(texture, s);
    const TRecordedCall* d = Recorder().Last("DrawVertices");
    ASSERT_TRUE(d);
    EXPECT_EQ(pf::kDrawTriangleStrip, d->drawType);
    ASSERT_EQ(4u, d->transformed.size());
    // 4 × 2 centred on (100, 50), moved right by the draw offset.
    EXPECT_FLOAT_EQ(101, d->transformed[0].x);
    EXPECT_FLOAT_EQ(49, d->transformed[0].y);
    EXPECT_FLOAT_EQ(105, d->transformed[3].x);
    EXPECT_FLOAT_EQ(51, d->transformed[3].y);
    EXPECT_FLOAT_EQ(1, d->vertices[1].u);
    EXPECT_FLOAT_EQ(0, d->vertices[1].v);
    EXPECT_FLOAT_EQ(0, d->vertices[2].u);
    EXPECT_FLOAT_EQ(1, d->vertices[2].v);
    const pf::TColor32 c = d->vertices[0].color;
    EXPECT_EQ(127, c.r);
    EXPECT_EQ(63, c.g);
    EXPECT_EQ(255, c.b);
    EXPECT_EQ(254, c.a);
    EXPECT_EQ(platformOf(texture), d->texture);
    EXPECT_EQ(pf::kMapClamp, d->mapU);
    EXPECT_EQ(pf::kMapClamp, d->mapV);
    EXPECT_EQ(1, d->filtering);

    s.tilingY = 3;
    r.drawTexture(texture, s);
    d = Recorder().Last("DrawVertices");
    EXPECT_EQ(pf::kMapWrap, d->mapU);
    EXPECT_EQ(pf::kMapWrap, d->mapV);
    EXPECT_FLOAT_EQ(3, d->vertices[3].v);
}

TEST_F(RenderPl5Test, FrameTextureDrawsItsFramesRegionFromThePivot) {
    std::shared_ptr<nE_Texture> sheet = cache->getFrameTexture(kData + "sheet");
    open();
    nE_RenderState s;
    s.x = 10;
    s.y = 20;
    s.frameIndex = 1;
    r.drawTexture(sheet, s);
    const TRecordedCall* d = Recorder().Last("DrawVertices");
    ASSERT_TRUE(d);
    EXPECT_FLOAT_EQ(6, d->transformed[0].x);  // pivot (4, 2)
    EXPECT_FLOAT_EQ(18, d->transformed[0].y);
    EXPECT_FLOAT_EQ(0.5f, d->vertices[0].u);
    EXPECT_FLOAT_EQ(1, d->vertices[3].u);
    EXPECT_EQ(platformOf(cache->getTexture(kData + "sheet")), d->texture);

    s.frameIndex = 0;
    r.drawTexture(sheet, s);
    EXPECT_FLOAT_EQ(10, Recorder().Last("DrawVertices")->transformed[0].x)
        << "pivot (0, 0): top-left at the position";

    s.frameIndex = 2;
    Recorder().Clear();
    r.drawTexture(sheet, s);
    EXPECT_EQ(0, Recorder().Count("DrawVertices")) << "past the last frame";
}

TEST_F(RenderPl5Test, BlendModeMapping) {
    EXPECT_EQ(0, nE_Render_Pl5::platformBlendMode(0, false));
    EXPECT_EQ(0, nE_Render_Pl5::platformBlendMode(7, false));
    EXPECT_EQ(0, nE_Render_Pl5::platformBlendMode(5, false));
    EXPECT_EQ(0, nE_Render_Pl5::platformBlendMode(-1, false));
    EXPECT_EQ(6, nE_Render_Pl5::platformBlendMode(0, true));
    EXPECT_EQ(6, nE_Render_Pl5::platformBlendMode(7, true));
    for (int m = 1; m <= 4; ++m) {
        EXPECT_EQ(m, nE_Render_Pl5::platformBlendMode(m, false));
        EXPECT_EQ(m, nE_Render_Pl5::platformBlendMode(m, true));
    }

    open();
    nE_RenderState s;
    for (int mode : {0, 7, 2}) {
        s.blendMode = mode;
        r.drawTexture(texture, s);
        r.beginTarget(8, 8);
        r.drawTexture(texture, s);
        r.endTarget();
    }
    std::vector<int> blends;
    for (const TRecordedCall* d : vertexDraws()) blends.push_back(d->blend);
    EXPECT_EQ((std::vector<int>{0, 6, 0, 6, 2, 2}), blends);
}

TEST_F(RenderPl5Test, VertexListLimit) {
    open();
    nE_RenderState s;
    std::vector<nE_Vertex> v(769);
    r.drawVertices(texture, s, v.data(), 769, false);
    EXPECT_EQ(0, Recorder().Count("DrawVertices"));
    r.drawVertices(texture, s, v.data(), 768, false);
    ASSERT_EQ(1, Recorder().Count("DrawVertices"));
    EXPECT_EQ(768u, Recorder().Last("DrawVertices")->vertices.size());
    EXPECT_EQ(pf::kDrawTriangleList, Recorder().Last("DrawVertices")->drawType);
    r.drawVertices(texture, s, v.data(), 0, false);
    r.drawVertices(texture, s, nullptr, 3, false);
    EXPECT_EQ(1, Recorder().Count("DrawVertices"));
}

TEST_F(RenderPl5Test, VertexColoursAndAbsolutePositions) {
    open();
    nE_RenderState s;
    s.x = 500;
    s.red = 0.5f;
    s.alpha = 0.5f;
    nE_Vertex v[3];
    v[0] = {1, 2, 0, 1, 0.5f, 1, 1, 0.25f, 0.75f};
    r.drawVertices(texture, s, v, 3, false);
    const TRecordedCall* d = Recorder().Last("DrawVertices");
    EXPECT_FLOAT_EQ(501, d->transformed[0].x);
    EXPECT_EQ(127, d->vertices[0].color.r);
    EXPECT_EQ(127, d->vertices[0].color.g);
    EXPECT_EQ(127, d->vertices[0].color.a);
    EXPECT_FLOAT_EQ(0.25f, d->vertices[0].u);

    r.drawVertices(texture, s, v, 3, true);
    d = Recorder().Last("DrawVertices");
    EXPECT_FLOAT_EQ(1, d->transformed[0].x) << "absolute: identity world matrix";
    EXPECT_EQ(255, d->vertices[0].color.r);
    EXPECT_EQ(255, d->vertices[0].color.a);
}

TEST_F(RenderPl5Test, IndexedVerticesRefuseIndexesPastTheList) {
    open();
    nE_RenderState s;
    nE_Vertex v[4];
    const unsigned short good[6] = {0, 1, 2, 2, 1, 3};
    const unsigned short bad[3] = {0, 1, 4};
    r.drawIndexedVertices(texture, s, v, 4, bad, 3, false);
    EXPECT_EQ(0, Recorder().Count("DrawIndexedVertices"));
    r.drawIndexedVertices(texture, s, v, 4, good, 6, false);
    ASSERT_EQ(1, Recorder().Count("DrawIndexedVertices"));
    EXPECT_EQ(6u, Recorder().Last("DrawIndexedVertices")->indices.size());
}

TEST_F(RenderPl5Test, LinesAreUntexturedAndNormallyBlended) {
    open();
    nE_RenderState s;
    s.blendMode = 2;
    r.drawLine(0, 0, 10, 5, pf::TColor{1, 0, 0.5f, 1}, s);
    const TRecordedCall* d = Recorder().Last("DrawVertices");
    ASSERT_TRUE(d);
    EXPECT_EQ(pf::kDrawLineList, d->drawType);
    EXPECT_EQ(nullptr, d->texture);
    EXPECT_EQ(0, d->blend);
    EXPECT_EQ(127, d->vertices[1].color.b);
    EXPECT_FLOAT_EQ(10, d->vertices[1].x);
}

TEST_F(RenderPl5Test, FrameSequence) {
    Recorder().effect.SetBlendMode(pf::kBlendAdd);  // as the last overlay may leave it
    r.beginFrame();
    r.clear();
    r.begin2d();
    r.end2d();
    r.endFrame();
    EXPECT_EQ((std::vector<std::string>{"BeginDraw", "SetViewport", "Begin2d", "SetWorldMatrix", "FillRect",
                                        "End2d", "Begin2d", "End2d", "Begin2d", "End2d", "EndDraw"}),
              Recorder().Names());
    const TRecordedCall* fill = Recorder().Last("FillRect");
    EXPECT_EQ((std::vector<double>{0, 0, 1024, 768, 0, 0, 0, 1}), fill->args);
    EXPECT_EQ(nullptr, fill->texture);
    EXPECT_EQ(pf::kBlendNormal, fill->blend) << "an additive black fill would not clear";
    EXPECT_EQ((std::vector<double>{0, 0, 1024, 768}), Recorder().Last("SetViewport")->args);
    EXPECT_EQ((std::vector<double>{1}), Recorder().Last("EndDraw")->args);

    Recorder().Clear();
    r.setDisplaySize(800, 600);
    r.beginFrame();
    EXPECT_EQ((std::vector<double>{0, 0, 800, 600}), Recorder().Last("SetViewport")->args);
    r.endFrame();
}

// The overlay is the frame's last draw: its texture, alpha byte and blend mode.
struct Overlay {
    const pf::TTexture* texture = nullptr;
    int alpha = -1, blend = -1;
    float left = 0, top = 0, right = 0, bottom = 0;
};

TEST_F(RenderPl5Test, GammaOverlays) {
    auto frameOverlay = [&](float gamma) {
        r.setGamma(gamma);
        Recorder().Clear();
        r.beginFrame();
        r.endFrame();
        Overlay o;
        const std::vector<const TRecordedCall*> draws = vertexDraws();
        if (draws.empty()) return o;
        const TRecordedCall* d = draws.back();
        o.texture = d->texture;
        o.alpha = d->vertices[0].color.a;
        o.blend = d->blend;
        o.left = d->transformed[0].x;
        o.top = d->transformed[0].y;
        o.right = d->transformed[3].x;
        o.bottom = d->transformed[3].y;
        return o;
    };
    const Overlay bright = frameOverlay(1.5f);
    EXPECT_EQ(platformOf(r.whiteTexture()), bright.texture);
    EXPECT_NEAR(0.3 * 255, bright.alpha, 1);
    EXPECT_EQ(2, bright.blend);
    EXPECT_FLOAT_EQ(0, bright.left);
    EXPECT_FLOAT_EQ(0, bright.top);
    EXPECT_FLOAT_EQ(1024, bright.right);
    EXPECT_FLOAT_EQ(768, bright.bottom);

    const Overlay dark = frameOverlay(0.8f);
    EXPECT_EQ(platformOf(r.blackTexture()), dark.texture);
    EXPECT_NEAR(0.2 * 255, dark.alpha, 1);
    EXPECT_EQ(0, dark.blend);

    EXPECT_EQ(nullptr, frameOverlay(1.0f).texture);

    // Bars beside the canvas are painted black and stay so: the overlay lights the canvas alone.
    r.setGamma(1.5f);
    r.setDisplaySize(1280, 600);
    Recorder().Clear();
    r.beginFrame();
    r.coverOutside({240, 0, 1040, 600});
    r.endFrame();
    const std::vector<std::string> names = Recorder().Names();
    EXPECT_EQ(2, std::count(names.begin(), names.end(), "FillRect"));
    EXPECT_FLOAT_EQ(240, vertexDraws().back()->transformed[0].x);
    EXPECT_FLOAT_EQ(1040, vertexDraws().back()->transformed[3].x);
}

TEST_F(RenderPl5Test, SolidTexturesAreOpaqueAndMadeAgainAfterADeviceLoss) {
    ASSERT_TRUE(r.whiteTexture());
    ASSERT_TRUE(r.blackTexture());
    pf::TTexture& white = *dynamic_cast<nE_TexImpl_Pl5&>(*r.whiteTexture()).platformTexture;
    pf::TTexture& black = *dynamic_cast<nE_TexImpl_Pl5&>(*r.blackTexture()).platformTexture;
    EXPECT_EQ((std::vector<uint8_t>(64, 255)), white.Pixels());
    EXPECT_EQ(255, black.Pixels()[63]);
    EXPECT_EQ(0, black.Pixels()[60]);

    // Made again after a device loss: new objects.
    const auto before = r.whiteTexture();
    r.createSolidTextures();
    EXPECT_NE(before, r.whiteTexture());
    r.shutdown();
    EXPECT_FALSE(r.whiteTexture());
    EXPECT_FALSE(r.blackTexture());
}

TEST_F(RenderPl5Test, RenderTargetBracket) {
    EXPECT_FALSE(r.endTarget()) << "outside a target";
    r.beginTarget(33, 16);
    ASSERT_TRUE(r.inRenderTarget());
    const TRecordedCall* begin = Recorder().Last("BeginRenderTarget");
    ASSERT_TRUE(begin);
    EXPECT_EQ((std::vector<double>{34, 16}), begin->args);
    r.beginTarget(8, 8);
    EXPECT_EQ(1, Recorder().Count("BeginRenderTarget")) << "targets do not nest";

    nE_RenderState s;
    r.drawTexture(texture, s);
    EXPECT_TRUE(Recorder().Last("DrawVertices")->inTarget) << "drawing works in a target outside a frame";
    std::shared_ptr<nE_Texture> out = r.endTarget();
    ASSERT_TRUE(out);
    EXPECT_EQ(34.f, out->width);
    EXPECT_EQ(16.f, out->sourceHeight);
    EXPECT_FALSE(r.inRenderTarget());
    EXPECT_FALSE(r.endTarget());

    Recorder().failBeginRenderTarget = true;
    r.beginTarget(8, 8);
    EXPECT_FALSE(r.inRenderTarget());
    EXPECT_FALSE(r.endTarget());
    Recorder().failBeginRenderTarget = false;

    r.beginTarget(0, 8);
    EXPECT_FALSE(r.inRenderTarget());
}

TEST_F(RenderPl5Test, ScreenClipsDoNotApplyInsideATarget) {
    open();
    ASSERT_TRUE(r.pushClip({10, 10, 5, 5}));
    r.beginTarget(64, 64);
    EXPECT_EQ(2048.f, r.currentClip().w);
    r.endTarget();
    EXPECT_EQ(5.f, r.currentClip().w);
}

TEST_F(RenderPl5Test, GlowIsTwoTargetPasses) {
    EXPECT_FALSE(r.makeGlow(nullptr, 10, 10, 2));
    std::shared_ptr<nE_Texture> glow = r.makeGlow(texture, 0, 0, 1.5f);
    ASSERT_TRUE(glow);
    EXPECT_EQ(4.f, glow->width);
    EXPECT_EQ(2.f, glow->height);
    EXPECT_EQ(2, Recorder().Count("BeginRenderTarget"));

    const std::vector<const TRecordedCall*> draws = vertexDraws();
    ASSERT_EQ(10u, draws.size());
    EXPECT_EQ(platformOf(texture), draws[0]->texture);
    // The second pass draws the first pass's result.
    const pf::TTexture* firstTarget = Recorder().calls[0].texture;
    for (size_t i = 1; i < draws.size(); ++i) EXPECT_EQ(firstTarget, draws[i]->texture);
    std::vector<int> alphas;
    for (size_t i = 1; i < draws.size(); ++i) alphas.push_back(draws[i]->vertices[0].color.a);
    EXPECT_EQ((std::vector<int>{255, 51, 51, 51, 51, 25, 25, 25, 25}), alphas);
    // A diagonal copy sits spread away from the centre.
    EXPECT_FLOAT_EQ(-1.5f, draws[2]->transformed[0].x);

    // Scaled copy: a 16 × 6 glow stretches the 4 × 2 texture.
    Recorder().Clear();
    r.makeGlow(texture, 16, 6, 0);
    const TRecordedCall* first = vertexDraws()[0];
    EXPECT_FLOAT_EQ(0, first->transformed[0].x);
    EXPECT_FLOAT_EQ(16, first->transformed[3].x);
    EXPECT_FLOAT_EQ(6, first->transformed[3].y);

    // Not while drawing into a target: it would end that target.
    r.beginTarget(8, 8);
    EXPECT_FALSE(r.makeGlow(texture, 0, 0, 1));
    EXPECT_TRUE(r.inRenderTarget());
    r.endTarget();
}

TEST(UpdateLostTexturesTask, LeavesOneMarkPerRun) {
    int marks = 0;
    nE_UpdateLostTexturesTask_Pl5 task([&] { ++marks; });
    EXPECT_TRUE(task.Run());
    EXPECT_TRUE(task.Run());
    EXPECT_EQ(2, marks);
}

}  // namespace

namespace {

TEST(RenderCurrent, TheLastInitialisedRendererUntilItGoes) {
    nE_Render_Pl5 first;
    first.init(640, 480);
    {
        nE_Render_Pl5 second;
        second.init(640, 480);
        EXPECT_EQ(&second, nE_Render::current());
    }
    EXPECT_EQ(nullptr, nE_Render::current()) << "no dangling current renderer";
}

}  // namespace

TEST_F(RenderPl5Test, EachVertexKeepsItsOwnColourAmongDifferingNeighbours) {
    open();
    nE_RenderState s;
    nE_Vertex v[6];
    const float reds[6] = {1, 1, 0, 1, std::nanf(""), 1};
    for (int i = 0; i < 6; ++i) v[i] = {0, 0, 0, reds[i], 0.5f, 0, 1, 0, 0};
    r.drawVertices(texture, s, v, 6, false);
    const TRecordedCall* d = Recorder().Last("DrawVertices");
    ASSERT_NE(d, nullptr);
    const int expected[6] = {255, 255, 0, 255, 0, 255};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(d->vertices[i].color.r, expected[i]) << "vertex " << i;
        EXPECT_EQ(d->vertices[i].color.g, 127) << "vertex " << i;
    }
}
