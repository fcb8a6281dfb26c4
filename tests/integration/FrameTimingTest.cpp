// The frame timing option that the benchmarks use: finished frames, timed after a warm-up.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/integration/HalvernRun.h"

using halverntest::runHalvern;
using halverntest::TempDir;

TEST(FrameTiming, TheFramesAfterTheWarmUpAreTimedAndReported) {
    TempDir game, user;
    const auto run = runHalvern({"--headless", "--fixed-step", "--frames", "12", "--time-frames", "2",
                                 "--game-dir", game.path, "--user-dir", user.path});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const size_t at = run.output.find("frame time: mean ");
    ASSERT_NE(at, std::string::npos) << run.output;
    const double mean = std::atof(run.output.c_str() + at + 17);
    EXPECT_GT(mean, 0.0);
    EXPECT_NE(run.output.find(" ms over 10 frames\n", at), std::string::npos) << run.output;

    // Without the option nothing is timed; a warm-up as long as the run times nothing either.
    EXPECT_EQ(runHalvern({"--headless", "--fixed-step", "--frames", "3", "--game-dir", game.path,
                          "--user-dir", user.path})
                  .output.find("frame time"),
              std::string::npos);
    EXPECT_EQ(runHalvern({"--headless", "--fixed-step", "--frames", "3", "--time-frames", "5", "--game-dir",
                          game.path, "--user-dir", user.path})
                  .output.find("frame time"),
              std::string::npos);
}

TEST(FrameTiming, ABadWarmUpIsRefused) {
    EXPECT_EQ(runHalvern({"--time-frames", "many"}).exitCode, 2);
    EXPECT_EQ(runHalvern({"--time-frames", "-1"}).exitCode, 2);
    EXPECT_EQ(runHalvern({"--time-frames"}).exitCode, 2);
    EXPECT_NE(runHalvern({"--help"}).output.find("--time-frames"), std::string::npos);
}
