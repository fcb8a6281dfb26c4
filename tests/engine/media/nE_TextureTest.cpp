#include <gtest/gtest.h>

#include <cmath>

#include "engine/media/nE_Texture.h"
#include "engine/media/platform/nE_Texture_Pl5.h"

namespace {

const std::string kData = std::string(HALVERN_TEST_DATA) + "/textures/";

std::shared_ptr<nE_Texture_Pl5> loaded(const std::string& name) {
    auto t = std::make_shared<nE_Texture_Pl5>();
    EXPECT_TRUE(t->load(kData + name));
    return t;
}

TEST(TextureMask, AlphaOneIsOpaqueAndAlphaZeroIsClear) {
    auto t = loaded("mask");
    ASSERT_EQ(40, t->maskWidth);
    ASSERT_EQ(3, t->maskHeight);
    EXPECT_TRUE(t->maskBit(0, 0)) << "alpha 1";
    EXPECT_FALSE(t->maskBit(1, 0)) << "alpha 0 with white colour";
    EXPECT_TRUE(t->maskBit(31, 1));
    EXPECT_TRUE(t->maskBit(32, 0));
    EXPECT_TRUE(t->maskBit(39, 2));
    EXPECT_FALSE(t->maskBit(39, 1));
    EXPECT_FALSE(t->maskBit(40, 0)) << "outside the mask";
    EXPECT_FALSE(t->maskBit(-1, 0));
}

TEST(TextureMask, ColumnBlockLayout) {
    auto t = loaded("mask");
    // Two column blocks of three words: block 0 rows 0..2, then block 1 rows 0..2.
    ASSERT_EQ(6u, t->maskBits.size());
    EXPECT_EQ(1u, t->maskBits[0]);        // (0, 0)
    EXPECT_EQ(1u << 31, t->maskBits[1]);  // (31, 1)
    EXPECT_EQ(0u, t->maskBits[2]);
    EXPECT_EQ(1u, t->maskBits[3]);  // (32, 0)
    EXPECT_EQ(0u, t->maskBits[4]);
    EXPECT_EQ(1u << 7, t->maskBits[5]);  // (39, 2)
}

TEST(TextureMask, SidesAbove32767GetNoMask) {
    nE_Texture t;
    EXPECT_FALSE(t.allocMask(32768, 1));
    EXPECT_FALSE(t.allocMask(1, 40000));
    EXPECT_FALSE(t.allocMask(-3, 4));
    EXPECT_FALSE(t.hasMask());
    EXPECT_TRUE(t.allocMask(32767, 1));
    EXPECT_EQ(1024u, t.maskBits.size());
    EXPECT_FALSE(t.maskBit(32766, 0));
}

TEST(TextureRects, PlainTextureIsCentredAndTiles) {
    auto t = loaded("mask");
    const nE_Rect r = t->localRect(5);
    EXPECT_FLOAT_EQ(-20, r.x);
    EXPECT_FLOAT_EQ(-1.5f, r.y);
    EXPECT_FLOAT_EQ(40, r.w);
    EXPECT_FLOAT_EQ(3, r.h);

    nE_RenderState s;
    s.tilingX = 2.5f;
    s.tilingY = 3;
    const nE_Rect uv = t->texCoordRect(s);
    EXPECT_FLOAT_EQ(0, uv.x);
    EXPECT_FLOAT_EQ(2.5f, uv.w);
    EXPECT_FLOAT_EQ(3, uv.h);
}

TEST(TextureHitTest, FollowsTheMaskUnderTheTransform) {
    auto t = loaded("mask");
    nE_RenderState s;
    s.x = 100;
    s.y = 50;
    // Pixel (0, 0) lies at (80, 48.5) .. (81, 49.5).
    EXPECT_TRUE(t->hitTest(80.5f, 49, s));
    EXPECT_FALSE(t->hitTest(81.5f, 49, s));
    EXPECT_FALSE(t->hitTest(79.5f, 49, s)) << "outside the rectangle";

    // Doubled in size: pixel (32, 0) covers x 124 .. 126 of the 80-wide image centred on 100.
    s.scaleX = s.scaleY = 2;
    s.matrixValid = false;
    EXPECT_TRUE(t->hitTest(100 + 25, 47.5f, s));
    EXPECT_FALSE(t->hitTest(100 + 27, 47.5f, s));

    // Rotated by a quarter turn the 40 × 3 strip stands upright.
    nE_RenderState r;
    r.angle = static_cast<float>(M_PI / 2);
    EXPECT_FALSE(t->hitTest(10, 0, r));
    bool anyHit = false;
    for (float y = -20; y < 20; y += 0.5f)
        anyHit = anyHit || t->hitTest(0.9f, y, r) || t->hitTest(-0.9f, y, r);
    EXPECT_TRUE(anyHit);
}

TEST(TextureHitTest, MissingImageIsHitAsOnePixelRectangle) {
    nE_Texture_Pl5 t;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(t.load(kData + "missing"));
    testing::internal::GetCapturedStdout();
    nE_RenderState s;
    EXPECT_TRUE(t.hitTest(0.2f, 0.2f, s));
    EXPECT_FALSE(t.hitTest(0.7f, 0.2f, s));
}

TEST(TextureHitTest, DegenerateTransformHitsNothing) {
    auto t = loaded("both");
    nE_RenderState s;
    s.scaleX = 0;
    EXPECT_FALSE(t->hitTest(0, 0, s));
}

}  // namespace
