#include <gtest/gtest.h>

#include <cmath>

#include "engine/core/nE_Colour.h"
#include "engine/core/nE_Easing.h"

// Channels are clamped with the easing header's clamp01, whose curves end where they should.
TEST(Colour, ColourChannelsAndCurvesAreHeldWithinRange) {
    EXPECT_EQ(0.f, nE_Easing::clamp01(std::nanf("")));
    EXPECT_EQ(0.f, nE_Easing::clamp01(-2));
    EXPECT_EQ(1.f, nE_Easing::clamp01(7));
    EXPECT_EQ(0.5f, nE_Easing::clamp01(0.5f));
    for (float (*curve)(float) : {nE_Easing::sineIn, nE_Easing::sineOut, nE_Easing::sineInOut}) {
        EXPECT_NEAR(0, curve(0), 1e-6);
        EXPECT_NEAR(1, curve(1), 1e-6);
    }
    EXPECT_EQ(0, nE_Colour::toByte(std::nanf("")));
    EXPECT_EQ(255, nE_Colour::toByte(2));
    EXPECT_EQ(127, nE_Colour::toByte(0.5f)) << "the fraction dropped";
}
