// The OpenGL renderer's fast paths, headless: the streamed vertex buffer, nearest sampling of quads
// that map texels one to one onto pixels, and large opaque fills done as clears. Each must give the
// pixels of the plain path.
#include <gtest/gtest.h>

#include <vector>

#include "pflib/TPlatform.h"
#include "pflib/TTexture.h"
#include "pflib/sdl/TGlRenderer.h"
#include "tests/pflib/sdl/GlTestSupport.h"

using pf::TColor;
using pf::TTexture;
using pf::TURect;

namespace {

using gltest::kSize;
using gltest::Quad;
using gltest::Rgba;

// A w × 1 texture with the given texels.
std::shared_ptr<TTexture> Row(const std::vector<Rgba>& texels) {
    auto texture = TTexture::Create(static_cast<int>(texels.size()), 1, true, TTexture::kPlain);
    for (size_t i = 0; i < texels.size(); ++i) {
        uint8_t* p = &texture->Pixels()[i * 4];
        p[0] = static_cast<uint8_t>(texels[i].r);
        p[1] = static_cast<uint8_t>(texels[i].g);
        p[2] = static_cast<uint8_t>(texels[i].b);
        p[3] = static_cast<uint8_t>(texels[i].a);
    }
    return texture;
}

class GlStreamTest : public gltest::GlFixture {
protected:
    GlStreamTest() : GlFixture(1) {}

    void Fill(const TURect& rect, Rgba c) {
        r.FillRect(rect, TColor{c.r / 255.f, c.g / 255.f, c.b / 255.f, c.a / 255.f}, nullptr);
    }
};

#define EXPECT_RGBA(actual, er, eg, eb, ea) \
    do {                                    \
        const Rgba a_ = (actual);           \
        EXPECT_EQ(a_.r, (er));              \
        EXPECT_EQ(a_.g, (eg));              \
        EXPECT_EQ(a_.b, (eb));              \
        EXPECT_EQ(a_.a, (ea));              \
    } while (0)

}  // namespace

TEST_F(GlStreamTest, EveryBatchDrawsItsOwnVerticesWhileTheStreamFillsAndStartsAgain) {
    // Two white textures in turn make every quad a batch of its own; 32,768 quads (4.7 MB of
    // vertices) fill the stream buffer past its end, twice. Added up, each pixel must receive exactly
    // its eight quads: a batch uploaded to the wrong place, or drawn from vertices a later batch had
    // overwritten (a GPU reads them late), would move one.
    auto white = Row({{255, 255, 255, 255}});
    std::shared_ptr<TTexture> textures[2] = {white, nullptr};
    for (int frame = 0; frame < 2; ++frame) {
        SCOPED_TRACE("frame " + std::to_string(frame));
        Fill(TURect{0, 0, kSize, kSize}, {0, 0, 0, 255});
        effect()->SetBlendMode(pf::kBlendAdd);
        for (int i = 0; i < kSize * kSize * 8; ++i) {
            const int p = i % (kSize * kSize);
            Draw(textures[i % 2], Quad(float(p % kSize), float(p / kSize), 1, 1, 1, 1, {4, 0, 0, 255}));
        }
        EXPECT_GE(r.GetStats().drawCalls, kSize * kSize * 8);
        std::vector<uint8_t> all;
        ASSERT_TRUE(r.ReadPixels(TURect{0, 0, kSize, kSize}, all));
        int wrong = 0;
        for (size_t i = 0; i < all.size(); i += 4) wrong += all[i] != 32;
        EXPECT_EQ(wrong, 0);
        End();
        Begin();
    }
}

TEST_F(GlStreamTest, PixelAlignedQuadsShowTheirTexelsAndOthersStayFiltered) {
    const Rgba red{255, 0, 0, 255}, blue{0, 0, 255, 255};
    auto texture = Row({red, blue});
    Fill(TURect{0, 0, kSize, kSize}, {0, 0, 0, 255});

    // One to one on whole pixels: the texels themselves.
    Draw(texture, Quad(4, 4, 2, 1));
    // Half a pixel off: each pixel centre falls between two texels.
    Draw(texture, Quad(4.5f, 8, 2, 1));
    // Twice the size: the second pixel is three quarters red.
    Draw(texture, Quad(4, 12, 4, 1));

    EXPECT_RGBA(Pixel(4, 4), 255, 0, 0, 255);
    EXPECT_RGBA(Pixel(5, 4), 0, 0, 255, 255);
    const Rgba between = Pixel(5, 8);
    EXPECT_NEAR(between.r, 128, 2);
    EXPECT_NEAR(between.b, 128, 2);
    const Rgba stretched = Pixel(5, 12);
    EXPECT_NEAR(stretched.r, 191, 2);
    EXPECT_NEAR(stretched.b, 64, 2);
}

TEST_F(GlStreamTest, PixelAlignedQuadsFollowTheWorldMatrixAndNearestFilteringStaysNearest) {
    const Rgba red{255, 0, 0, 255}, blue{0, 0, 255, 255};
    auto texture = Row({red, blue});
    Fill(TURect{0, 0, kSize, kSize}, {0, 0, 0, 255});
    pf::TMat4 move = pf::TMat4::Identity();
    move.m[12] = 10;
    move.m[13] = 20;
    r.SetWorldMatrix(move);
    Draw(texture, Quad(0, 0, 2, 1));
    r.SetWorldMatrix(pf::TMat4::Identity());
    EXPECT_RGBA(Pixel(10, 20), 255, 0, 0, 255);
    EXPECT_RGBA(Pixel(11, 20), 0, 0, 255, 255);

    // Asked for nearest, a stretched quad gets nearest.
    effect()->SetFilteringMode(0);
    Draw(texture, Quad(0, 30, 4, 1));
    EXPECT_RGBA(Pixel(1, 30), 255, 0, 0, 255);
    EXPECT_RGBA(Pixel(2, 30), 0, 0, 255, 255);
}

TEST_F(GlStreamTest, LargeOpaqueFillsKeepToClipWorldMatrixAndOrder) {
    Fill(TURect{0, 0, kSize, kSize}, {0, 0, 255, 255});
    // A quad drawn before the fill lies under it, one drawn after it on top.
    Draw(nullptr, Quad(0, 0, 4, 4, 1, 1, {0, 255, 0, 255}));
    r.SetClippingRectangle(TURect{8, 8, 40, 40});
    pf::TMat4 move = pf::TMat4::Identity();
    move.m[12] = 4;
    r.SetWorldMatrix(move);
    const int drawsBefore = r.GetStats().drawCalls;
    Fill(TURect{0, 0, kSize, kSize}, {200, 100, 50, 255});
    EXPECT_GT(r.GetStats().drawCalls, drawsBefore) << "the clear counts as a draw";
    r.SetWorldMatrix(pf::TMat4::Identity());
    Draw(nullptr, Quad(10, 10, 4, 4, 1, 1, {0, 255, 0, 255}));

    EXPECT_RGBA(Pixel(1, 1), 0, 255, 0, 255);
    EXPECT_RGBA(Pixel(7, 20), 0, 0, 255, 255);  // outside the clip
    EXPECT_RGBA(Pixel(8, 20), 200, 100, 50, 255);
    EXPECT_RGBA(Pixel(39, 39), 200, 100, 50, 255);
    EXPECT_RGBA(Pixel(40, 20), 0, 0, 255, 255);
    EXPECT_RGBA(Pixel(11, 11), 0, 255, 0, 255);

    // A fill that only partly covers blends as before.
    r.SetClippingRectangle(TURect{0, 0, kSize, kSize});
    Fill(TURect{0, 48, kSize, kSize}, {255, 255, 255, 128});
    const Rgba half = Pixel(20, 50);
    EXPECT_NEAR(half.r, 128, 2);
    EXPECT_NEAR(half.b, 255, 2);
    // Neither does a turned fill become a clear.
    pf::TMat4 turn = pf::TMat4::Identity();
    turn.m[0] = turn.m[5] = 0.70710678f;
    turn.m[1] = 0.70710678f;
    turn.m[4] = -0.70710678f;
    turn.m[12] = 32;
    r.SetWorldMatrix(turn);
    Fill(TURect{0, 0, 20, 20}, {255, 0, 0, 255});
    r.SetWorldMatrix(pf::TMat4::Identity());
    EXPECT_RGBA(Pixel(32, 14), 255, 0, 0, 255);
    EXPECT_RGBA(Pixel(40, 2), 0, 0, 255, 255);
}

TEST_F(GlStreamTest, OpaqueFillsIntoARenderTargetLeaveItOpaque) {
    auto target = TTexture::Create(kSize, kSize, true, TTexture::kRenderTarget);
    ASSERT_TRUE(r.BeginRenderTarget(target));
    ASSERT_TRUE(r.Begin2d());
    effect()->SetBlendMode(pf::kBlendNormalTarget);
    Fill(TURect{0, 0, kSize, kSize / 2}, {10, 20, 30, 255});
    r.End2d();
    r.EndRenderTarget();
    uint8_t* px = nullptr;
    int pitch = 0;
    ASSERT_TRUE(target->Lock(&px, &pitch, true));
    EXPECT_EQ(px[0], 10);
    EXPECT_EQ(px[1], 20);
    EXPECT_EQ(px[2], 30);
    EXPECT_EQ(px[3], 255);
    const uint8_t* below = px + static_cast<size_t>(pitch) * 4 * (kSize - 1);
    EXPECT_EQ(below[3], 0) << "the lower half was not filled";
    target->Unlock();
}

TEST_F(GlStreamTest, TheWarmUpAndStoresKeptForReuseLeaveNoTraceInLaterDraws) {
    // The warm-up in the middle of a frame leaves what was drawn, and the drawing state, as they were.
    Fill(TURect{0, 0, kSize, kSize}, {10, 20, 30, 255});
    r.WarmUp();
    EXPECT_RGBA(Pixel(1, 1), 10, 20, 30, 255);
    auto solid = [](Rgba c) {
        auto texture = TTexture::Create(256, 256, true, TTexture::kPlain);
        const int texel[4] = {c.r, c.g, c.b, c.a};
        for (size_t i = 0; i < texture->Pixels().size(); ++i) texture->Pixels()[i] = uint8_t(texel[i % 4]);
        return texture;
    };
    // A picture let go leaves its store to the next of its size, which shows its own pixels.
    Draw(solid({255, 0, 0, 255}), Quad(0, 0, kSize, kSize));
    End();
    Begin();
    Draw(solid({0, 0, 255, 255}), Quad(0, 0, kSize, kSize));
    EXPECT_RGBA(Pixel(2, 2), 0, 0, 255, 255);
    End();
    Begin();
    // A render target made in such a store starts transparent.
    auto target = TTexture::Create(256, 256, true, TTexture::kRenderTarget);
    ASSERT_TRUE(r.BeginRenderTarget(target));
    r.EndRenderTarget();
    uint8_t* pixels = nullptr;
    int pitch = 0;
    ASSERT_TRUE(target->Lock(&pixels, &pitch, true));
    EXPECT_EQ(pixels[0] | pixels[1] | pixels[2] | pixels[3], 0);
    target->Unlock();
}
