#include <gtest/gtest.h>

#include "engine/core/nE_Geometry.h"
#include "engine/core/nE_RenderState.h"

TEST(Geometry, PlacedRectanglesAndPointsTakenBack) {
    nE_RenderState state;
    state.x = 100;
    state.y = 50;
    state.scaleX = 2;
    state.scaleY = 0.5f;
    state.angle = 0.5f;
    const pf::TMat4 m = state.transform();
    const nE_Rect rect{0, 0, 10, 20};
    const pf::TVec2 inside = m.Apply(5, 10);
    const pf::TVec2 outside = m.Apply(11, 10);
    EXPECT_TRUE(nE_Geometry::pointInQuad(inside.x, inside.y, rect, m));
    EXPECT_FALSE(nE_Geometry::pointInQuad(outside.x, outside.y, rect, m));
    float lx = 0, ly = 0;
    ASSERT_TRUE(nE_Geometry::toLocal(m, inside.x, inside.y, lx, ly));
    EXPECT_NEAR(5, lx, 1e-4);
    EXPECT_NEAR(10, ly, 1e-4);

    nE_RenderState flat;
    flat.scaleY = 0;
    float inv[6] = {9, 9, 9, 9, 9, 9};
    EXPECT_FALSE(nE_Geometry::invertAffine(flat.transform(), inv)) << "a collapsed matrix";
    EXPECT_EQ(9, inv[0]);
    EXPECT_FALSE(nE_Geometry::pointInQuad(0, 0, nE_Rect{}, pf::TMat4::Identity()))
        << "an empty rectangle holds nothing";
}
