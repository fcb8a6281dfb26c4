#include <gtest/gtest.h>

#include <cmath>

#include "engine/core/nE_Colour.h"

TEST(Colour, ColourChannelsAreHeldWithinRange) {
    EXPECT_EQ(0.f, nE_Colour::clamp01(std::nanf("")));
    EXPECT_EQ(0.f, nE_Colour::clamp01(-2));
    EXPECT_EQ(1.f, nE_Colour::clamp01(7));
    EXPECT_EQ(0.5f, nE_Colour::clamp01(0.5f));
    EXPECT_EQ(0, nE_Colour::toByte(std::nanf("")));
    EXPECT_EQ(255, nE_Colour::toByte(2));
    EXPECT_EQ(127, nE_Colour::toByte(0.5f)) << "the fraction dropped";
}
