#include <gtest/gtest.h>

#include "pflib/pfTypes.h"

TEST(MatrixTest, RowVectorsApplyTheLeftMatrixFirst) {
    pf::TMat4 scale = pf::TMat4::Identity();
    scale.m[0] = 2;
    scale.m[5] = 3;
    pf::TMat4 move = pf::TMat4::Identity();
    move.m[12] = 10;
    move.m[13] = 20;

    const pf::TVec2 p = (scale * move).Apply(1, 1);  // scaled, then moved
    EXPECT_FLOAT_EQ(p.x, 12);
    EXPECT_FLOAT_EQ(p.y, 23);
    const pf::TVec2 q = (move * scale).Apply(1, 1);  // moved, then scaled
    EXPECT_FLOAT_EQ(q.x, 22);
    EXPECT_FLOAT_EQ(q.y, 63);

    EXPECT_TRUE(pf::TMat4::Identity().IsIdentity());
    EXPECT_FALSE(move.IsIdentity());
    EXPECT_TRUE((pf::TMat4::Identity() * pf::TMat4::Identity()).IsIdentity());
}
