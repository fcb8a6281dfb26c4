#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <cstdlib>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_Scene.h"
#include "engine/media/nE_ResourceCache.h"
#include "engine/objects/nE_PartSysImpl_Vell.h"
#include "engine/objects/nE_ParticleSystem.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/script/nE_SLHelper_XML.h"
#include "tests/engine/objects/ParticleTestSupport.h"
#include "tests/engine/script/ScriptTestFolder.h"

namespace {

using particletest::data;
using particletest::VertexRecorder;
using particletest::writeParticleFile;

class ParticleSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (nE_Core::exists()) nE_Core::destroy();
        nE_ResourceCache::create();
        std::srand(1);
        // Two particles every 0.17 s from the first update on, living 1.7 s, drawn with the 4 x 4 dot.
        effect = writeParticleFile(folder, "sparks",
                                   {{"lifetime", "100"},
                                    {"delay", "10"},
                                    {"born_count", "2"},
                                    {"blend", "2"},
                                    {"alpha", "1"},
                                    {"color_r", "255"},
                                    {"res", "dot"}});
        // Descriptions and particle files name game files: the folder is the game's, the dot is in it.
        effect = "sparks";
        TempDir::Write(folder / "dot.png", TempDir::Read(particletest::data("dot") + ".png"));
    }
    void TearDown() override { nE_ResourceCache::destroy(); }

    nE_PartSysImpl_Vell* vell(nE_ParticleSystem& system) {
        return dynamic_cast<nE_PartSysImpl_Vell*>(system.implementation());
    }

    TempDir folder;
    script_test::GameFolderAt game{folder.path()};
    std::string effect;
};

TEST_F(ParticleSystemTest, AVellFileMakesARunningEmitterThatOwnsItsTextureWhileLoaded) {
    nE_ParticleSystem system;
    EXPECT_EQ("partsys", system.getTypeName());
    system.setResourceName(effect);
    nE_PartSysImpl_Vell* impl = vell(system);
    ASSERT_NE(nullptr, impl);
    EXPECT_EQ(&system, impl->owner);
    EXPECT_TRUE(impl->emitting);
    EXPECT_EQ(2, system.localState().blendMode) << "the file's blend";
    EXPECT_EQ(nullptr, impl->texture) << "no resources before activation";

    system.activate();
    ASSERT_NE(nullptr, impl->texture);
    EXPECT_EQ(4, impl->texture->width);
    system.update(0.05f);
    EXPECT_EQ(2u, impl->particles.size());

    VertexRecorder renderer;
    system.drawWalk(&renderer, nullptr);
    ASSERT_EQ(1u, renderer.batches.size());
    EXPECT_EQ(12u, renderer.batches[0].vertices.size());
    EXPECT_EQ(2, renderer.batches[0].state.blendMode);
    EXPECT_FLOAT_EQ(1, renderer.batches[0].vertices[0].r);
    EXPECT_FLOAT_EQ(0, renderer.batches[0].vertices[0].g);

    system.deactivate();
    EXPECT_EQ(nullptr, impl->texture);
}

TEST_F(ParticleSystemTest, AMissingFileIsReportedAndDrawsNothing) {
    nE_ParticleSystem system;
    system.activate();
    testing::internal::CaptureStdout();
    system.setResourceName(folder / "nothing");
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos,
              out.find("nE_ParticleSystem::Could not find \"" + (folder / "nothing") + "\" file!\n"))
        << out;
    EXPECT_EQ(nullptr, system.implementation());
    system.update(0.05f);
    VertexRecorder renderer;
    system.drawWalk(&renderer, nullptr);
    EXPECT_TRUE(renderer.batches.empty());
    // Script operations on it do nothing.
    system.start();
    system.stop(true);
    system.restart();
    system.setEmitting(true);
    system.setMaskObject(&system);
}

TEST_F(ParticleSystemTest, OnlyKnownTypesGetAnImplementation) {
    nE_ParticleSystem system;
    system.setResourceName(writeParticleFile(folder, "odd", {}, "whirl"));
    EXPECT_EQ(nullptr, system.implementation());
    // A file that is not XML counts as missing.
    TempDir::Write(folder / "junk.xml", "<<not xml");
    testing::internal::CaptureStdout();
    system.setResourceName(folder / "junk");
    EXPECT_NE(std::string::npos, testing::internal::GetCapturedStdout().find("Could not find"));
    EXPECT_EQ(nullptr, system.implementation());

    // Another implementation can be registered for a type.
    nE_ParticleSystem::registerImplementation("whirl", [] { return new nE_PartSysImpl_Vell(); });
    system.setResourceName(folder / "odd");
    EXPECT_NE(nullptr, vell(system));
    nE_ParticleSystem::registerImplementation("whirl", nullptr);
    system.setResourceName(folder / "odd");
    EXPECT_EQ(nullptr, system.implementation());
}

TEST_F(ParticleSystemTest, SettingTheNameAgainRestartsTheEffect) {
    nE_ParticleSystem system;
    system.activate();
    system.setResourceName(effect);
    system.update(0.05f);
    ASSERT_EQ(2u, vell(system)->particles.size());
    system.setResourceName(effect);
    ASSERT_NE(nullptr, vell(system));
    EXPECT_TRUE(vell(system)->particles.empty());
    EXPECT_NE(nullptr, vell(system)->texture) << "a loaded object loads the new implementation's resources";
}

TEST_F(ParticleSystemTest, ScriptOperationsReachTheImplementation) {
    nE_ParticleSystem system;
    system.setResourceName(effect);
    system.update(0.05f);
    system.stop(false);
    EXPECT_FALSE(vell(system)->emitting);
    EXPECT_EQ(2u, vell(system)->particles.size());
    system.setEmitting(true);
    EXPECT_TRUE(vell(system)->emitting);
    system.restart();
    EXPECT_TRUE(vell(system)->emitting);
    EXPECT_TRUE(vell(system)->particles.empty());
    // Restart also revives a system that ran out of bursts or was stopped.
    system.stop(false);
    system.update(0.05f);
    system.restart();
    system.update(0.05f);
    EXPECT_EQ(2u, vell(system)->particles.size());
}

TEST_F(ParticleSystemTest, SavedPropertiesRestoreARunningSystem) {
    nE_ParticleSystem system;
    system.name = "fire";
    system.editLocalState()->x = 120;
    system.editLocalState()->y = 80;
    system.setResourceName(effect);
    system.activate();
    system.update(0.05f);

    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* element = doc.NewElement("partsys");
    doc.InsertEndChild(element);
    nE_SLHelper_XML out(element);
    system.saveProperties(out);
    EXPECT_STREQ(effect.c_str(), element->Attribute("res"));
    EXPECT_STREQ("2", element->Attribute("blendmode"));

    nE_ParticleSystem restored;
    restored.activate();
    nE_SLHelper_XML in(element);
    restored.loadProperties(in);
    EXPECT_EQ("fire", restored.name);
    EXPECT_EQ(120, restored.localState().x);
    EXPECT_EQ(effect, restored.getResourceName());
    ASSERT_NE(nullptr, vell(restored));
    EXPECT_TRUE(vell(restored)->emitting);
    EXPECT_NE(nullptr, vell(restored)->texture);
    EXPECT_EQ(vell(system)->params.lifetime, vell(restored)->params.lifetime);
    restored.update(0.05f);
    EXPECT_EQ(2u, vell(restored)->particles.size());

    // Properties without "res" leave the running effect alone.
    vell(restored)->update(0.2f);
    const size_t live = vell(restored)->particles.size();
    tinyxml2::XMLElement* move = doc.NewElement("partsys");
    move->SetAttribute("pos_x", 5);
    nE_SLHelper_XML moveHelper(move);
    restored.loadProperties(moveHelper);
    EXPECT_EQ(5, restored.localState().x);
    EXPECT_EQ(live, vell(restored)->particles.size());
}

TEST_F(ParticleSystemTest, ResetForgetsTheImplementation) {
    nE_ParticleSystem system;
    system.setResourceName(effect);
    system.activate();
    system.resetState();
    EXPECT_EQ(nullptr, system.implementation());
    EXPECT_FALSE(system.loaded);
}

TEST_F(ParticleSystemTest, ASpriteMasksTheEmitterToItsOpaquePixels) {
    // hole.png: 16 x 16 opaque with a transparent 6 x 6 hole at pixels 5..10.
    nE_Sprite sprite;
    sprite.setResourceName(std::string(HALVERN_TEST_DATA) + "/sprites/hole");
    sprite.editLocalState()->x = 40;
    sprite.editLocalState()->y = 60;
    sprite.activate();
    ASSERT_NE(nullptr, sprite.texture);

    nE_ParticleSystem system;
    system.setResourceName(writeParticleFile(folder, "many", {{"lifetime", "100"}, {"born_count", "400"}}));
    system.setMaskObject(&sprite);
    system.update(0);
    ASSERT_EQ(400u, vell(system)->particles.size());
    for (const auto& q : vell(system)->particles) {
        const int px = int(q.x) - 40 + 8, py = int(q.y) - 60 + 8;
        EXPECT_TRUE(px >= 0 && px < 16 && py >= 0 && py < 16) << q.x << ", " << q.y;
        EXPECT_FALSE(px >= 5 && px <= 10 && py >= 5 && py <= 10) << "in the hole: " << px << ", " << py;
    }
}

}  // namespace
