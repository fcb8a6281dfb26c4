// Pixel tests of the OpenGL renderer, headless (Mesa's software OpenGL).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "pflib/TPlatform.h"
#include "pflib/TTexture.h"
#include "pflib/sdl/TGlRenderer.h"
#include "tests/pflib/sdl/GlTestSupport.h"

using pf::TColor;
using pf::TTexture;
using pf::TURect;
using pf::TVertex;

namespace {

using gltest::kSize;
using gltest::Quad;
using gltest::Rgba;

std::shared_ptr<TTexture> SolidTexture(int w, int h, Rgba c) {
    auto texture = TTexture::Create(w, h, true, TTexture::kPlain);
    for (size_t i = 0; i < texture->Pixels().size(); i += 4) {
        texture->Pixels()[i] = static_cast<uint8_t>(c.r);
        texture->Pixels()[i + 1] = static_cast<uint8_t>(c.g);
        texture->Pixels()[i + 2] = static_cast<uint8_t>(c.b);
        texture->Pixels()[i + 3] = static_cast<uint8_t>(c.a);
    }
    return texture;
}

class GlRendererTest : public gltest::GlFixture {
protected:
    GlRendererTest() : GlFixture(0) {}

    void Fill(const TURect& rect, Rgba c) {
        const int saved = effect()->GetBlendMode();
        effect()->SetBlendMode(pf::kBlendCopy);
        r.FillRect(rect, TColor{c.r / 255.f, c.g / 255.f, c.b / 255.f, c.a / 255.f}, nullptr);
        effect()->SetBlendMode(saved);
    }
};

#define EXPECT_RGB_NEAR(actual, er, eg, eb) \
    do {                                    \
        const Rgba a_ = (actual);           \
        EXPECT_NEAR(a_.r, (er), 2);         \
        EXPECT_NEAR(a_.g, (eg), 2);         \
        EXPECT_NEAR(a_.b, (eb), 2);         \
    } while (0)

}  // namespace

TEST_F(GlRendererTest, EveryBlendModeCombinesSourceAndDestinationAsDocumented) {
    const Rgba dst{51, 102, 153, 255};
    const Rgba src{200, 100, 50, 128};
    const double a = src.a / 255.0;
    auto texture = SolidTexture(2, 2, src);
    struct Case {
        int mode;
        double (*blend)(double s, double d, double a);
    };
    const Case cases[] = {
        {pf::kBlendNormal, [](double s, double d, double a) { return s * a + d * (1 - a); }},
        {pf::kBlendMultiply, [](double s, double d, double a) { return d * (1 - a + s / 255 * a); }},
        {pf::kBlendAdd, [](double s, double d, double a) { return std::min(255.0, d + s * a); }},
        {pf::kBlendSubtract, [](double s, double d, double a) { return std::max(0.0, d - s * a); }},
        {pf::kBlendScreen, [](double s, double d, double a) { return s * a + d * (1 - s * a / 255); }},
        {pf::kBlendCopy, [](double s, double, double) { return s; }},
        {pf::kBlendNormalTarget, [](double s, double d, double a) { return s * a + d * (1 - a); }},
    };
    int x = 0;
    for (const Case& c : cases) {
        Fill(TURect{x, 0, x + 8, 8}, dst);
        effect()->SetBlendMode(c.mode);
        Draw(texture, Quad(float(x), 0, 8, 8));
        SCOPED_TRACE("blend mode " + std::to_string(c.mode));
        EXPECT_RGB_NEAR(Pixel(x + 4, 4), c.blend(src.r, dst.r, a), c.blend(src.g, dst.g, a),
                        c.blend(src.b, dst.b, a));
        x += 9;
    }
}

TEST_F(GlRendererTest, VertexColourModulatesAndANullTextureIsWhite) {
    Fill(TURect{0, 0, kSize, kSize}, {0, 0, 0, 255});
    auto quad = Quad(0, 0, 8, 8);
    for (auto& v : quad) v.color = pf::TColor32{10, 200, 30, 255};
    Draw(nullptr, quad);
    EXPECT_RGB_NEAR(Pixel(3, 3), 10, 200, 30);

    auto grey = SolidTexture(1, 1, {128, 128, 128, 255});
    quad = Quad(10, 0, 8, 8);
    for (auto& v : quad) v.color = pf::TColor32{255, 0, 128, 255};
    Draw(grey, quad);
    EXPECT_RGB_NEAR(Pixel(13, 3), 128, 0, 64);
}

TEST_F(GlRendererTest, WrapRepeatsAndClampStretchesTheEdge) {
    Fill(TURect{0, 0, kSize, kSize}, {0, 0, 0, 255});
    auto texture = TTexture::Create(2, 1, true, TTexture::kPlain);
    const uint8_t pixels[] = {255, 0, 0, 255, 0, 255, 0, 255};
    std::copy(pixels, pixels + 8, texture->Pixels().begin());

    effect()->SetTextureMapMode(pf::kMapWrap, pf::kMapWrap);
    Draw(texture, Quad(0, 0, 4, 1, 2, 1));
    EXPECT_RGB_NEAR(Pixel(0, 0), 255, 0, 0);
    EXPECT_RGB_NEAR(Pixel(1, 0), 0, 255, 0);
    EXPECT_RGB_NEAR(Pixel(2, 0), 255, 0, 0);
    EXPECT_RGB_NEAR(Pixel(3, 0), 0, 255, 0);

    effect()->SetTextureMapMode(pf::kMapClamp, pf::kMapClamp);
    Draw(texture, Quad(0, 2, 4, 1, 2, 1));
    EXPECT_RGB_NEAR(Pixel(0, 2), 255, 0, 0);
    EXPECT_RGB_NEAR(Pixel(1, 2), 0, 255, 0);
    EXPECT_RGB_NEAR(Pixel(2, 2), 0, 255, 0);
    EXPECT_RGB_NEAR(Pixel(3, 2), 0, 255, 0);
}

TEST_F(GlRendererTest, IndexedListsStripsAndLinesDraw) {
    Fill(TURect{0, 0, kSize, kSize}, {0, 0, 0, 255});
    const auto quad = Quad(0, 0, 8, 8);
    const uint16_t list[] = {0, 1, 2, 1, 3, 2};
    ASSERT_TRUE(r.DrawIndexedVertices(pf::kDrawTriangleList, pf::TVertexSet{quad.data(), 4}, list, 6));
    EXPECT_RGB_NEAR(Pixel(1, 6), 255, 255, 255);
    EXPECT_RGB_NEAR(Pixel(6, 1), 255, 255, 255);

    auto line = Quad(0, 20.5f, 20, 0);
    ASSERT_TRUE(r.DrawVertices(pf::kDrawLineList, pf::TVertexSet{line.data(), 2}));
    EXPECT_RGB_NEAR(Pixel(10, 20), 255, 255, 255);
    EXPECT_RGB_NEAR(Pixel(10, 22), 0, 0, 0);

    // An index past the vertices refuses the draw instead of reading beyond them.
    const uint16_t bad[] = {0, 1, 4};
    EXPECT_FALSE(r.DrawIndexedVertices(pf::kDrawTriangleList, pf::TVertexSet{quad.data(), 4}, bad, 3));
    EXPECT_FALSE(r.DrawVertices(pf::kDrawTriangleList, pf::TVertexSet{nullptr, 3}));
    EXPECT_FALSE(r.DrawVertices(static_cast<pf::TDrawType>(9), pf::TVertexSet{quad.data(), 4}));
}

TEST_F(GlRendererTest, RenderTargetsKeepTheirTopRowFirstAndReadBackOnLock) {
    auto target = TTexture::Create(32, 16, true, TTexture::kRenderTarget);
    ASSERT_TRUE(r.BeginRenderTarget(target));
    ASSERT_TRUE(r.Begin2d());
    EXPECT_FALSE(r.BeginRenderTarget(TTexture::Create(4, 4, true, TTexture::kRenderTarget))) << "no nesting";
    effect()->SetBlendMode(pf::kBlendNormalTarget);
    auto red = SolidTexture(1, 1, {255, 0, 0, 255});
    Draw(red, Quad(0, 0, 32, 4));  // the top rows
    auto half = SolidTexture(1, 1, {0, 0, 255, 128});
    Draw(half, Quad(0, 8, 16, 8));
    Draw(half, Quad(0, 12, 16, 4));  // twice: coverage 128, then 128 + 128 · (1 − 0.5)
    r.End2d();
    r.EndRenderTarget();

    uint8_t* pixels = nullptr;
    int pitch = 0;
    ASSERT_TRUE(target->Lock(&pixels, &pitch, true));
    auto at = [&](int x, int y) { return pixels + (y * pitch + x) * 4; };
    EXPECT_EQ(at(5, 0)[0], 255);
    EXPECT_EQ(at(5, 0)[3], 255);
    EXPECT_EQ(at(5, 5)[3], 0) << "untouched pixels stay transparent";
    EXPECT_NEAR(at(5, 9)[2], 128, 2) << "colour as normal blending: src · a + dst · (1 − a)";
    EXPECT_NEAR(at(5, 9)[3], 128, 2);
    EXPECT_NEAR(at(5, 13)[3], 192, 2);
    target->Unlock();

    // Drawn onto the screen, the target shows the same way up.
    r.Begin2d();
    Fill(TURect{0, 0, kSize, kSize}, {0, 255, 0, 255});
    effect()->SetBlendMode(pf::kBlendNormal);
    Draw(target, Quad(0, 0, 32, 16));
    EXPECT_RGB_NEAR(Pixel(5, 1), 255, 0, 0);
    EXPECT_RGB_NEAR(Pixel(5, 5), 0, 255, 0);

    // A target never drawn into shows nothing; its store, cleared on the way, leaves the clip alone.
    Draw(TTexture::Create(16, 16, true, TTexture::kRenderTarget), Quad(0, 20, 16, 16));
    EXPECT_RGB_NEAR(Pixel(5, 22), 0, 255, 0);
    r.SetClippingRectangle(TURect{0, 0, 8, 8});
    Draw(TTexture::Create(16, 16, true, TTexture::kRenderTarget), Quad(0, 0, 16, 16));
    Fill(TURect{0, 0, kSize, kSize}, {0, 0, 255, 255});
    EXPECT_RGB_NEAR(Pixel(2, 2), 0, 0, 255);
    EXPECT_RGB_NEAR(Pixel(20, 6), 0, 255, 0);
    r.SetClippingRectangle(TURect{0, 0, kSize, kSize});

    EXPECT_FALSE(r.BeginRenderTarget(SolidTexture(2, 2, {0, 0, 0, 0}))) << "a plain texture is no target";
    EXPECT_FALSE(r.BeginRenderTarget(nullptr));
}

TEST_F(GlRendererTest, ChangedPixelsAreUploadedWithoutDisturbingEarlierDraws) {
    Fill(TURect{0, 0, kSize, kSize}, {0, 0, 0, 255});
    auto texture = SolidTexture(1, 1, {255, 0, 0, 255});
    Draw(texture, Quad(0, 0, 4, 4));
    uint8_t* pixels = nullptr;
    int pitch = 0;
    ASSERT_TRUE(texture->Lock(&pixels, &pitch, false));
    pixels[0] = 0;
    pixels[1] = 255;
    texture->Unlock();
    Draw(texture, Quad(8, 0, 4, 4));
    EXPECT_RGB_NEAR(Pixel(1, 1), 255, 0, 0);
    EXPECT_RGB_NEAR(Pixel(9, 1), 0, 255, 0);
}

TEST_F(GlRendererTest, SameStateDrawsAreBatchedAndStateChangesSplitThem) {
    r.End2d();
    r.EndDraw(true);
    auto a = SolidTexture(1, 1, {255, 0, 0, 255});
    auto b = SolidTexture(1, 1, {0, 255, 0, 255});

    auto frame = [&](const std::function<void()>& draws) {
        EXPECT_TRUE(r.BeginDraw());
        EXPECT_TRUE(r.Begin2d());
        effect()->SetBlendMode(pf::kBlendNormal);
        r.SetClippingRectangle(TURect{0, 0, kSize, kSize});
        draws();
        r.End2d();
        r.EndDraw(true);
        return r.GetStats();
    };
    pf::TRenderStats stats = frame([&] {
        for (int i = 0; i < 5; ++i) {
            // A moved world matrix does not break the batch.
            pf::TMat4 m = pf::TMat4::Identity();
            m.m[12] = float(i);
            r.SetWorldMatrix(m);
            Draw(a, Quad(0, 0, 4, 4));
        }
    });
    EXPECT_EQ(stats.drawCalls, 1);
    EXPECT_EQ(stats.submissions, 5);
    EXPECT_EQ(stats.vertices, 20);

    stats = frame([&] {
        Draw(a, Quad(0, 0, 4, 4));
        Draw(a, Quad(4, 0, 4, 4));
        Draw(b, Quad(8, 0, 4, 4));  // texture change
        effect()->SetBlendMode(pf::kBlendAdd);
        Draw(b, Quad(12, 0, 4, 4));  // blend change
        r.SetClippingRectangle(TURect{0, 0, 10, 10});
        Draw(b, Quad(16, 0, 4, 4));  // clip change
        r.SetClippingRectangle(TURect{0, 0, 10, 10});
        Draw(b, Quad(20, 0, 4, 4));  // same clip again
        effect()->SetFilteringMode(1);
        Draw(b, Quad(24, 0, 4, 4));  // filtering change
        effect()->SetTextureMapMode(pf::kMapWrap, pf::kMapClamp);
        Draw(b, Quad(28, 0, 4, 4));  // map mode change
    });
    EXPECT_EQ(stats.submissions, 8);
    EXPECT_EQ(stats.drawCalls, 6);

    // A line list cannot share a draw with triangles.
    stats = frame([&] {
        Draw(nullptr, Quad(0, 0, 4, 4));
        auto line = Quad(0, 10, 10, 0);
        r.DrawVertices(pf::kDrawLineList, pf::TVertexSet{line.data(), 2});
        Draw(nullptr, Quad(0, 0, 4, 4));
    });
    EXPECT_EQ(stats.drawCalls, 3);
    r.BeginDraw();
    r.Begin2d();
}

TEST_F(GlRendererTest, ABatchLongerThanOneDrawReachesTheScreenWhole) {
    // 32 × 32 quads of 2 × 2 pixels, each its own colour at half alpha over black: 6,144 vertices,
    // cut into draws of whole quads; every quad must arrive with its channels in order.
    Fill(TURect{0, 0, kSize, kSize}, {0, 0, 0, 255});
    effect()->SetBlendMode(pf::kBlendNormal);
    r.SetClippingRectangle(TURect{0, 0, kSize, kSize});
    const int drawsBefore = r.GetStats().drawCalls;
    auto texture = SolidTexture(2, 2, {255, 255, 255, 255});
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            auto quad = Quad(x * 2.f, y * 2.f, 2, 2);
            for (TVertex& v : quad) v.color = pf::TColor32{uint8_t(x * 8), uint8_t(y * 8), 200, 128};
            Draw(texture, quad);
        }
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
            EXPECT_RGB_NEAR(Pixel(x * 2 + 1, y * 2), x * 4, y * 4, 100);
        }
    EXPECT_EQ(r.GetStats().drawCalls - drawsBefore, 7);
}

TEST_F(GlRendererTest, FinishedFramesAreCapturedTopRowFirst) {
    r.SetCaptureFrames(true);
    Fill(TURect{0, 0, kSize, kSize}, {0, 0, 255, 255});
    Fill(TURect{0, 0, 8, 8}, {255, 0, 0, 255});
    r.End2d();
    r.EndDraw(true);
    r.SetCaptureFrames(false);
    std::vector<uint8_t> frame;
    int w = 0, h = 0;
    ASSERT_TRUE(r.LastFrame(frame, w, h));
    EXPECT_EQ(w, kSize);
    EXPECT_EQ(h, kSize);
    EXPECT_EQ(frame[0], 255) << "top-left is red";
    EXPECT_EQ(frame[2], 0);
    const size_t bottomLeft = static_cast<size_t>(kSize - 1) * kSize * 4;
    EXPECT_EQ(frame[bottomLeft + 2], 255) << "bottom-left is blue";
    r.BeginDraw();
    r.Begin2d();
}

TEST(GlDisplayTest, HeadlessRunsReportAFixedDesktopAndObtainWhatIsAsked) {
    pf::TRunOptions options;
    options.headless = true;
    pf::TPlatform::SetRunOptions(options);

    pf::TDisplayDevice device;
    ASSERT_TRUE(pf::TPlatform::EnumDisplayDevices(0, device));
    EXPECT_EQ(device.stateFlags, pf::kDisplayAttachedToDesktop | pf::kDisplayPrimary);
    EXPECT_FALSE(pf::TPlatform::EnumDisplayDevices(1, device));

    pf::TDisplayMode desktop;
    ASSERT_TRUE(pf::TPlatform::EnumDisplaySettings(device.name, pf::kEnumRegistrySettings, desktop));
    EXPECT_EQ(desktop.width, 1280);
    EXPECT_EQ(desktop.height, 1024);
    EXPECT_EQ(desktop.frequency, 60);
    EXPECT_EQ(desktop.bitsPerPixel, 32);
    bool has1024 = false;
    pf::TDisplayMode mode;
    for (int i = 0; pf::TPlatform::EnumDisplaySettings(device.name, i, mode); ++i) {
        has1024 |= mode.width == 1024 && mode.height == 768 && mode.frequency == desktop.frequency &&
                   mode.bitsPerPixel == desktop.bitsPerPixel;
        ASSERT_LT(i, 100);
    }
    EXPECT_TRUE(has1024);
    EXPECT_FALSE(pf::TPlatform::EnumDisplaySettings("no such device", 0, mode));

    ASSERT_TRUE(pf::TPlatform::SetDisplay(1024, 768, true, false, 0));
    pf::TDisplay display = pf::TPlatform::GetDisplay();
    EXPECT_EQ(display.width, 1024);
    EXPECT_EQ(display.height, 768);
    EXPECT_TRUE(display.fullscreen);
    ASSERT_TRUE(pf::TPlatform::SetDisplay(800, 600, false, false, 0));
    display = pf::TPlatform::GetDisplay();
    EXPECT_EQ(display.width, 800);
    EXPECT_FALSE(display.fullscreen);
    EXPECT_FALSE(pf::TPlatform::SetDisplay(0, 600, false, false, 0));

    // The screen follows the new size.
    auto& r = pf::TGlRenderer::Get();
    ASSERT_TRUE(r.BeginDraw());
    std::vector<uint8_t> pixels;
    EXPECT_TRUE(r.ReadPixels(TURect{799, 599, 800, 600}, pixels));
    r.EndDraw(true);
}
