#include "engine/objects/nE_PartSysImpl_Vell.h"
#include "engine/objects/nE_ParticleSystem.h"
#include "engine/script/nE_PsFunctions.h"
#include "tests/engine/objects/ParticleTestSupport.h"
#include "tests/engine/script/ScriptFunctionsTestSupport.h"

namespace {

using script_test::ScriptFunctionsTest;

class PsFunctionsTest : public ScriptFunctionsTest {
protected:
    void SetUp() override {
        ScriptFunctionsTest::SetUp();
        system = add<nE_ParticleSystem>("fire");
        // One particle per update, living long.
        system->setResourceName(particletest::writeParticleFile(folder, "fire", {{"lifetime", "1000"}}));
        impl = dynamic_cast<nE_PartSysImpl_Vell*>(system->implementation());
        ASSERT_NE(nullptr, impl);
        impl->update(0.05f);
        impl->update(0.05f);
    }

    TempDir folder;
    nE_ParticleSystem* system = nullptr;
    nE_PartSysImpl_Vell* impl = nullptr;
};

TEST_F(PsFunctionsTest, PauseHoldsEmissionForAnyValueButOne) {
    EXPECT_EQ("", run("PsPause('fire', 0)"));
    EXPECT_FALSE(impl->emitting);
    EXPECT_EQ("", run("PsPause('fire', 1)"));
    EXPECT_TRUE(impl->emitting);
    EXPECT_EQ("", run("PsPause('fire', 2)"));
    EXPECT_FALSE(impl->emitting);
    EXPECT_EQ(2u, impl->particles.size()) << "pausing never touches live particles";
}

TEST_F(PsFunctionsTest, StopClearsOnlyWithOne) {
    EXPECT_EQ("", run("PsStop('fire', 0)"));
    EXPECT_FALSE(impl->emitting);
    EXPECT_EQ(2u, impl->particles.size());
    EXPECT_EQ("", run("PsStop('fire', 1)"));
    EXPECT_EQ(2u, impl->particles.size()) << "already stopped: its particles stay";

    EXPECT_EQ("", run("PsStart('fire')"));
    EXPECT_TRUE(impl->emitting);
    EXPECT_TRUE(impl->particles.empty());
    impl->update(0.05f);
    EXPECT_EQ("", run("PsStop('fire', 1)"));
    EXPECT_TRUE(impl->particles.empty());
}

TEST_F(PsFunctionsTest, RestartBeginsAfresh) {
    EXPECT_EQ("", run("PartSysRestart('fire')"));
    EXPECT_TRUE(impl->emitting);
    EXPECT_TRUE(impl->particles.empty());
}

TEST_F(PsFunctionsTest, MaskNeedsBothObjects) {
    auto* mask = add("mask");
    EXPECT_EQ("", run("PsSetMaskObj('fire', 'nobody')"));
    EXPECT_EQ(nullptr, impl->maskObject);
    EXPECT_EQ("", run("PsSetMaskObj('fire', 'mask')"));
    EXPECT_EQ(mask, impl->maskObject);
}

TEST_F(PsFunctionsTest, OtherKindsOfObjectAreIgnored) {
    add("plain");
    EXPECT_EQ("", run("PsStart('plain') PsStop('plain', 1) PsPause('plain', 0) PartSysRestart('plain')"
                      "PsSetMaskObj('plain', 'fire') PsStop('fire')"));
    EXPECT_FALSE(impl->emitting) << "PsStop without n stops without clearing";
    EXPECT_EQ(2u, impl->particles.size());
}

// Setting the properties it already has (an ObjGet table handed back) neither reads the file again
// nor restarts the emitter.
TEST_F(PsFunctionsTest, SettingTheSameResourceNeitherReloadsNorRestarts) {
    EXPECT_EQ("", run("ObjSet('fire', ObjGet('fire')) ObjSet('fire', {pos_x = 5})"));
    EXPECT_EQ(impl, system->implementation());
    EXPECT_EQ(2u, impl->particles.size());
    EXPECT_FLOAT_EQ(5, system->localState().x);

    EXPECT_EQ("", run("ObjSet('fire', {res = ''})"));
    EXPECT_NE(impl, system->implementation()) << "another name is read";
}

}  // namespace
