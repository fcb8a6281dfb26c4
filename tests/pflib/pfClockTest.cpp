#include <gtest/gtest.h>

#include "pflib/TPlatform.h"
#include "pflib/common/TClock.h"
#include "pflib/pfClock.h"

TEST(ClockTest, RealClockRunsAndSleepWaits) {
    pf::TPlatform::SetRunOptions(pf::TRunOptions());
    const double before = pf::timeGetTime();
    pf::SleepMs(20);
    const double after = pf::timeGetTime();
    EXPECT_GE(after - before, 19.0);
    EXPECT_LT(after - before, 1000.0);
}

TEST(ClockTest, FixedStepClockMovesOnlyWhenTold) {
    pf::TRunOptions options;
    options.fixedStep = true;
    pf::TPlatform::SetRunOptions(options);
    const double start = pf::timeGetTime();
    EXPECT_EQ(pf::timeGetTime(), start) << "a virtual clock does not run by itself";

    const double real = pf::TClock::RealNow();
    pf::SleepMs(5000);  // returns at once
    EXPECT_LT(pf::TClock::RealNow() - real, 1000.0);
    EXPECT_DOUBLE_EQ(pf::timeGetTime(), start + 5000);

    pf::TClock::Advance(pf::TClock::kStepMs);
    EXPECT_DOUBLE_EQ(pf::timeGetTime() - start, 5000 + 1000.0 / 60.0);

    pf::TPlatform::SetRunOptions(pf::TRunOptions());
    EXPECT_FALSE(pf::TClock::IsVirtual());
}

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
