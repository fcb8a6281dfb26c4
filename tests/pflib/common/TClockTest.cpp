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
