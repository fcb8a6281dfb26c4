#include <gtest/gtest.h>

#include <vector>

#include "engine/media/nE_GeneratedTexture.h"
#include "engine/media/platform/nE_GeneratedTexture_Pl5.h"
#include "engine/media/platform/nE_RenderTargerTexture_Pl5.h"

namespace {

// The pixel (x, y) of the texture as r, g, b, a.
std::vector<int> pixel(pf::TTexture& t, int x, int y) {
    uint8_t* p = nullptr;
    int pitch = 0;
    if (!t.Lock(&p, &pitch, true)) return {};
    const uint8_t* px = p + (static_cast<size_t>(y) * pitch + x) * 4;
    std::vector<int> out{px[0], px[1], px[2], px[3]};
    t.Unlock();
    return out;
}

TEST(GeneratedTexture, OddSidesAreRoundedUpToEven) {
    nE_GeneratedTexture_Pl5 t;
    std::vector<uint8_t> alpha(101 * 51, 7);
    t.createFromBytes(alpha.data(), 101, 51, nE_GeneratedTexture::kAlphaBytes);
    ASSERT_TRUE(t.platformTexture);
    EXPECT_EQ(102.f, t.width);
    EXPECT_EQ(52.f, t.height);
    EXPECT_EQ(102.f, t.sourceWidth);
    EXPECT_EQ(52.f, t.sourceHeight);
    EXPECT_FALSE(t.hasMask());
    // The padding column and row stay transparent.
    EXPECT_EQ((std::vector<int>{255, 255, 255, 7}), pixel(*t.platformTexture, 100, 50));
    EXPECT_EQ(0, pixel(*t.platformTexture, 101, 0)[3]);
    EXPECT_EQ(0, pixel(*t.platformTexture, 0, 51)[3]);
}

TEST(GeneratedTexture, ByteModes) {
    nE_GeneratedTexture_Pl5 t;
    const uint8_t alpha[6] = {0, 10, 20, 30, 40, 255};
    t.createFromBytes(alpha, 3, 2, nE_GeneratedTexture::kAlphaBytes);
    EXPECT_EQ((std::vector<int>{255, 255, 255, 30}), pixel(*t.platformTexture, 0, 1));
    EXPECT_EQ((std::vector<int>{255, 255, 255, 255}), pixel(*t.platformTexture, 2, 1));

    const uint8_t rgba[2 * 2 * 4] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    t.createFromBytes(rgba, 2, 2, nE_GeneratedTexture::kRgbaBytes);
    EXPECT_EQ(2.f, t.width);
    EXPECT_EQ((std::vector<int>{13, 14, 15, 16}), pixel(*t.platformTexture, 1, 1));
    EXPECT_EQ((std::vector<int>{5, 6, 7, 8}), pixel(*t.platformTexture, 1, 0));
}

TEST(GeneratedTexture, ColoursTakeTheIntegerPartAndHoldOutOfRangeValues) {
    nE_GeneratedTexture_Pl5 t;
    const float colours[2 * 4] = {1, 0.5f, 0.999f, 0, -3, 7, 0.2f, 1};
    t.createFromColours(2, 1, colours);
    EXPECT_EQ(2.f, t.width);
    EXPECT_EQ(2.f, t.height);
    EXPECT_EQ((std::vector<int>{255, 127, 254, 0}), pixel(*t.platformTexture, 0, 0));
    EXPECT_EQ((std::vector<int>{0, 255, 51, 255}), pixel(*t.platformTexture, 1, 0));
}

TEST(GeneratedTexture, ZeroSideLeavesItEmptyAndLoadAlwaysSucceeds) {
    nE_GeneratedTexture_Pl5 t;
    const uint8_t one = 255;
    t.createFromBytes(&one, 1, 1, nE_GeneratedTexture::kAlphaBytes);
    ASSERT_TRUE(t.platformTexture);
    t.createFromBytes(&one, 0, 1, nE_GeneratedTexture::kAlphaBytes);
    EXPECT_FALSE(t.platformTexture) << "the old texture is released first";
    t.createFromColours(3, 0, nullptr);
    EXPECT_FALSE(t.platformTexture);
    EXPECT_TRUE(t.load("ne_text_7"));
    EXPECT_EQ("ne_text_7", t.name());
}

TEST(RenderTargetTexture, IsEvenSizedOfTheTargetType) {
    nE_RenderTargerTexture_Pl5 t;
    t.createTarget(33, 20);
    ASSERT_TRUE(t.platformTexture);
    EXPECT_EQ(pf::TTexture::kRenderTarget, t.platformTexture->GetType());
    EXPECT_EQ(34.f, t.width);
    EXPECT_EQ(20.f, t.sourceHeight);
    t.createTarget(0, 20);
    EXPECT_FALSE(t.platformTexture);
}

}  // namespace
