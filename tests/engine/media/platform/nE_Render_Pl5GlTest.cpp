// Headless screenshots of the renderer binding on real OpenGL (Mesa's software renderer): each test
// draws one frame through nE_Render_Pl5 and checks pixels of the captured frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "engine/media/platform/nE_GeneratedTexture_Pl5.h"
#include "engine/media/platform/nE_Render_Pl5.h"
#include "pflib/TPlatform.h"
#include "pflib/sdl/TGlRenderer.h"

namespace {

constexpr int kW = 128, kH = 96;

struct Rgb {
    double r, g, b;
};

struct Image {
    std::vector<uint8_t> px;
    int w = 0, h = 0;
    Rgb at(int x, int y) const {
        const uint8_t* p = &px[(static_cast<size_t>(y) * w + x) * 4];
        return {double(p[0]), double(p[1]), double(p[2])};
    }
    int alpha(int x, int y) const { return px[(static_cast<size_t>(y) * w + x) * 4 + 3]; }
};

::testing::AssertionResult near(const Rgb& want, const Rgb& got, double tolerance = 2.5) {
    if (std::fabs(want.r - got.r) <= tolerance && std::fabs(want.g - got.g) <= tolerance &&
        std::fabs(want.b - got.b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "want (" << want.r << ", " << want.g << ", " << want.b
                                         << ") got (" << got.r << ", " << got.g << ", " << got.b << ")";
}

// Sprite colours: top-left quarter A opaque, top-right A at alpha 128, bottom-left B opaque,
// bottom-right transparent.
const Rgb kA{200, 100, 50}, kB{40, 160, 220};
constexpr double kHalf = 128 / 255.0;
const Rgb kGrey{127, 127, 127};

std::shared_ptr<nE_Texture> makeSprite() {
    std::vector<uint8_t> px(16 * 16 * 4, 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            uint8_t* p = &px[(y * 16 + x) * 4];
            const bool top = y < 8, left = x < 8;
            if (!top && !left) continue;
            const Rgb& c = top ? kA : kB;
            p[0] = uint8_t(c.r);
            p[1] = uint8_t(c.g);
            p[2] = uint8_t(c.b);
            p[3] = top && !left ? 128 : 255;
        }
    auto t = std::make_shared<nE_GeneratedTexture_Pl5>();
    t->createFromBytes(px.data(), 16, 16, nE_GeneratedTexture::kRgbaBytes);
    return t;
}

// The platform blend modes as pf documents them, per channel in 0..1.
double blend(int mode, double src, double a, double dst) {
    switch (mode) {
        case 1:
            return dst * (1 + (src - 1) * a);
        case 2:
            return std::min(1.0, dst + src * a);
        case 3:
            return std::max(0.0, dst - src * a);
        case 4:
            return src * a + dst * (1 - src * a);
        default:
            return src * a + dst * (1 - a);
    }
}

Rgb blended(int mode, const Rgb& src, double a, const Rgb& dst) {
    return {255 * blend(mode, src.r / 255, a, dst.r / 255), 255 * blend(mode, src.g / 255, a, dst.g / 255),
            255 * blend(mode, src.b / 255, a, dst.b / 255)};
}

class RenderGlTest : public ::testing::Test {
protected:
    void SetUp() override {
        pf::TRunOptions options;
        options.headless = true;
        pf::TPlatform::SetRunOptions(options);
        ASSERT_TRUE(pf::TPlatform::SetDisplay(kW, kH, false, false, 0));
        pf::TGlRenderer::Get().SetCaptureFrames(true);
        r.init(kW, kH);
        r.createSolidTextures();
        sprite = makeSprite();
    }
    void TearDown() override { r.shutdown(); }

    // One whole frame; what the scene would draw comes from `draw`.
    Image frame(const std::function<void()>& draw) {
        r.beginFrame();
        r.clear();
        r.begin2d();
        draw();
        r.end2d();
        r.endFrame();
        Image image;
        EXPECT_TRUE(pf::TGlRenderer::Get().LastFrame(image.px, image.w, image.h));
        EXPECT_EQ(kW, image.w);
        EXPECT_EQ(kH, image.h);
        if (image.px.size() != size_t(kW) * kH * 4) image.px.assign(size_t(kW) * kH * 4, 0);
        return image;
    }
    // The white texture stretched over the display with a grey level.
    void fillScreen(float level) {
        nE_RenderState s;
        s.x = kW / 2.f;
        s.y = kH / 2.f;
        s.scaleX = kW / 4.f;
        s.scaleY = kH / 4.f;
        s.red = s.green = s.blue = level;
        r.drawTexture(r.whiteTexture(), s);
    }
    void drawAt(const std::shared_ptr<nE_Texture>& t, float x, float y, int blendMode = 0) {
        nE_RenderState s;
        s.x = x;
        s.y = y;
        s.blendMode = blendMode;
        r.drawTexture(t, s);
    }

    nE_Render_Pl5 r;
    std::shared_ptr<nE_Texture> sprite;
};

TEST_F(RenderGlTest, SpriteInEachBlendMode) {
    for (int mode : {0, 1, 2, 3, 4, 7}) {
        SCOPED_TRACE("blend mode " + std::to_string(mode));
        const Image img = frame([&] {
            fillScreen(0.5f);
            drawAt(sprite, 32, 32, mode);  // covers 24..39
        });
        EXPECT_TRUE(near(blended(mode, kA, 1, kGrey), img.at(27, 27)));
        EXPECT_TRUE(near(blended(mode, kA, kHalf, kGrey), img.at(36, 27)));
        EXPECT_TRUE(near(blended(mode, kB, 1, kGrey), img.at(27, 36)));
        EXPECT_TRUE(near(kGrey, img.at(36, 36))) << "transparent texels leave the background";
        EXPECT_TRUE(near(kGrey, img.at(23, 27))) << "left of the sprite";
        EXPECT_TRUE(near(kGrey, img.at(27, 40))) << "below the sprite";
    }
}

TEST_F(RenderGlTest, TiledDrawRepeatsTheImage) {
    // Four texels: two white columns, then two black ones.
    std::vector<uint8_t> px(4 * 4 * 4, 255);
    for (int y = 0; y < 4; ++y)
        for (int x = 2; x < 4; ++x) std::fill_n(&px[(y * 4 + x) * 4], 3, 0);
    auto checker = std::make_shared<nE_GeneratedTexture_Pl5>();
    checker->createFromBytes(px.data(), 4, 4, nE_GeneratedTexture::kRgbaBytes);

    auto draw = [&](float tiling) {
        return frame([&] {
            fillScreen(0.5f);
            nE_RenderState s;
            s.x = 64;
            s.y = 48;
            s.scaleX = s.scaleY = 6;  // 24 × 24 from (52, 36)
            s.tilingX = tiling;
            r.drawTexture(checker, s);
        });
    };
    const Image tiled = draw(3);
    const Rgb white{255, 255, 255}, black{0, 0, 0};
    for (int period = 0; period < 3; ++period) {
        EXPECT_TRUE(near(white, tiled.at(52 + 8 * period + 1, 48))) << period;
        EXPECT_TRUE(near(black, tiled.at(52 + 8 * period + 5, 48))) << period;
    }
    EXPECT_TRUE(near(kGrey, tiled.at(76, 48)));

    const Image once = draw(1);
    EXPECT_TRUE(near(white, once.at(52 + 5, 48)));
    EXPECT_TRUE(near(black, once.at(52 + 17, 48)));
}

TEST_F(RenderGlTest, ClippedDraw) {
    const Image img = frame([&] {
        ASSERT_TRUE(r.pushClip({40, 30, 20, 10}));
        ASSERT_TRUE(r.pushClip({0, 0, 55.9f, 100}));  // the intersection ends at x 55
        fillScreen(1);
        r.popClip();
        r.popClip();
    });
    const Rgb white{255, 255, 255}, black{0, 0, 0};
    EXPECT_TRUE(near(white, img.at(40, 30)));
    EXPECT_TRUE(near(white, img.at(54, 39)));
    EXPECT_TRUE(near(black, img.at(55, 35)));
    EXPECT_TRUE(near(black, img.at(39, 35)));
    EXPECT_TRUE(near(black, img.at(45, 29)));
    EXPECT_TRUE(near(black, img.at(45, 40)));
}

TEST_F(RenderGlTest, RenderTargetRoundTrip) {
    std::shared_ptr<nE_Texture> target;
    const Image img = frame([&] {
        fillScreen(0.5f);
        r.beginTarget(16, 16);
        ASSERT_TRUE(r.inRenderTarget());
        drawAt(sprite, 8, 8);
        target = r.endTarget();
        ASSERT_TRUE(target);
        drawAt(target, 32, 32);
        drawAt(sprite, 96, 32);  // the screen is drawn on again after the target
    });
    ASSERT_TRUE(target);
    EXPECT_EQ(16.f, target->width);
    for (int x0 : {24, 88}) {
        SCOPED_TRACE(x0);
        EXPECT_TRUE(near(kA, img.at(x0 + 3, 27))) << "not flipped: A stays on top";
        EXPECT_TRUE(near(kB, img.at(x0 + 3, 36)));
        EXPECT_TRUE(near(kGrey, img.at(x0 + 12, 36)));
    }
    // Normal drawing into a target (platform mode 6) stores colour × alpha with that alpha.
    const Rgb stored{kA.r * kHalf, kA.g * kHalf, kA.b * kHalf};
    EXPECT_TRUE(near(blended(0, stored, kHalf, kGrey), img.at(36, 27), 3.5));
}

TEST_F(RenderGlTest, GlowSpreadsFaintCopies) {
    // An 8 × 8 white square in the middle of a transparent 16 × 16 image.
    std::vector<uint8_t> px(16 * 16 * 4, 0);
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x) std::fill_n(&px[(y * 16 + x) * 4], 4, 255);
    auto square = std::make_shared<nE_GeneratedTexture_Pl5>();
    square->createFromBytes(px.data(), 16, 16, nE_GeneratedTexture::kRgbaBytes);

    std::shared_ptr<nE_Texture> glow = r.makeGlow(square, 0, 0, 2);
    ASSERT_TRUE(glow);
    ASSERT_EQ(16.f, glow->width);
    pf::TTexture& t = *dynamic_cast<nE_TexImpl_Pl5&>(*glow).platformTexture;
    uint8_t* p = nullptr;
    int pitch = 0;
    ASSERT_TRUE(t.Lock(&p, &pitch, true));
    auto alphaAt = [&](int x, int y) { return int(p[(y * pitch + x) * 4 + 3]); };
    EXPECT_EQ(255, alphaAt(7, 7));
    EXPECT_EQ(0, alphaAt(0, 0)) << "beyond the spread";
    EXPECT_NEAR(0.2 * 255, alphaAt(3, 3), 3) << "one diagonal copy";
    // Two diagonal copies and one axis copy: 1 − 0.8 · 0.8 · 0.9.
    EXPECT_NEAR(0.424 * 255, alphaAt(3, 7), 3);
    t.Unlock();

    // Drawn over black it shows as a soft white edge.
    const Image img = frame([&] { drawAt(glow, 64, 48); });
    EXPECT_TRUE(near({255, 255, 255}, img.at(56 + 7, 40 + 7)));
    EXPECT_GT(img.at(56 + 3, 40 + 7).r, 20);
    EXPECT_LT(img.at(56 + 3, 40 + 7).r, 200);
}

TEST_F(RenderGlTest, GammaOverlay) {
    r.setGamma(1.5f);
    const Image bright = frame([] {});
    EXPECT_TRUE(near({76, 76, 76}, bright.at(5, 5)));
    EXPECT_TRUE(near({76, 76, 76}, bright.at(kW - 1, kH - 1))) << "the overlay covers the display";

    r.setGamma(0.8f);
    const Image dark = frame([&] { fillScreen(1); });
    EXPECT_TRUE(near({204, 204, 204}, dark.at(64, 48)));

    r.setGamma(1);
    const Image neutral = frame([&] { fillScreen(1); });
    EXPECT_TRUE(near({255, 255, 255}, neutral.at(64, 48)));
    // The clear after an additive overlay still clears.
    r.setGamma(1.5f);
    frame([] {});
    r.setGamma(1);
    EXPECT_TRUE(near({0, 0, 0}, frame([] {}).at(10, 10)));
}

}  // namespace
