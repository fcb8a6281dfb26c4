#include "engine/objects/AtGlobalForces.h"
#include "engine/script/nE_AtFunctions.h"
#include "tests/engine/script/ScriptFunctionsTestSupport.h"

namespace {

class AtFunctionsTest : public script_test::ScriptFunctionsTest {
protected:
    void SetUp() override {
        ScriptFunctionsTest::SetUp();
        AtGlobalForces::get().reset();
    }
    void TearDown() override {
        AtGlobalForces::get().reset();
        ScriptFunctionsTest::TearDown();
    }
};

TEST_F(AtFunctionsTest, AtGlobalForceSetTakesTheKeysGivenAndKeepsTheRest) {
    const AtGlobalForces& f = AtGlobalForces::get();
    EXPECT_EQ(
        "",
        run(R"(AtGlobalForceSet({air_counterforce = 0.1, gravity_force = {0, 5, 1}, wind_force = {1, 0, 2},
        rand_wind_min_force = 1, rand_wind_max_force = 4, rand_wind_min_wait_time = 2, rand_wind_max_wait_time = 3,
        rand_wind_min_change_time = 0.25, rand_wind_max_change_time = 0.75}))"));
    EXPECT_FLOAT_EQ(0.1f, f.airCounterforce);
    EXPECT_EQ(5, f.gravity.y);
    EXPECT_EQ(1, f.gravity.z);
    EXPECT_EQ(2, f.wind.z);
    EXPECT_EQ(1, f.randWindMinForce);
    EXPECT_EQ(4, f.randWindMaxForce);
    EXPECT_EQ(2, f.randWindMinWaitTime);
    EXPECT_EQ(3, f.randWindMaxWaitTime);
    EXPECT_EQ(0.25f, f.randWindMinChangeTime);
    EXPECT_EQ(0.75f, f.randWindMaxChangeTime);

    // Only the wind: gravity and the gusts stay. Values of the wrong kind, vectors that are short or
    // not finite, and a table whose metatable raises change nothing.
    EXPECT_EQ("", run("AtGlobalForceSet({wind_force = {-3, 0, 0}})"));
    EXPECT_EQ(-3, f.wind.x);
    EXPECT_EQ(5, f.gravity.y);
    EXPECT_EQ(4, f.randWindMaxForce);
    EXPECT_EQ(
        "", run(R"(AtGlobalForceSet({gravity_force = {1, 2}, wind_force = {0/0, 0, 0}, air_counterforce = 'x',
        rand_wind_max_force = 1/0, rand_wind_min_force = {}}))"));
    EXPECT_EQ(5, f.gravity.y);
    EXPECT_EQ(-3, f.wind.x);
    EXPECT_FLOAT_EQ(0.1f, f.airCounterforce);
    EXPECT_EQ(4, f.randWindMaxForce);
    EXPECT_EQ(1, f.randWindMinForce);
    EXPECT_EQ("", run("AtGlobalForceSet(setmetatable({}, {__index = function() error('touched') end}))"));
    EXPECT_EQ("", run("AtGlobalForceSet() AtGlobalForceSet('wind_force') AtGlobalForceSet(nil, {})"));
    EXPECT_EQ(-3, f.wind.x);
}

}  // namespace
