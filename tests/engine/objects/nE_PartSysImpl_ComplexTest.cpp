#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "engine/core/nE_Core.h"
#include "engine/media/nE_ResourceCache.h"
#include "engine/objects/nE_PartSysImpl_Complex.h"
#include "engine/objects/nE_ParticleSystem.h"
#include "engine/script/nE_LuaSandbox.h"
#include "engine/script/nE_PartSysScript.h"
#include "tests/engine/objects/ParticleTestSupport.h"
#include "tests/engine/script/ScriptTestFolder.h"

namespace {

using particletest::data;
using particletest::VertexRecorder;
using Complex = nE_PartSysImpl_Complex;

// One emitter type element with its four code strings.
std::string emitterType(const std::string& name, const std::string& born, const std::string& process,
                        const std::string& particle = "", const std::string& die = "",
                        const std::string& res = script_test::GameFolderAt::data("particles/dot")) {
    return "<" + name + " res=\"" + res + "\"><bornpart><![CDATA[" + born +
           "]]></bornpart><diepart><![CDATA[" + die + "]]></diepart><processpart><![CDATA[" + particle +
           "]]></processpart><process><![CDATA[" + process + "]]></process></" + name + ">";
}

// Creates one emitter of the first type on the first update.
const char* const kOneEmitter = "if ps_state == 0 then CreateEmitter('spark', 0, 0) ps_state = 1 end";

class ComplexTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (nE_Core::exists()) nE_Core::destroy();
        nE_ResourceCache::create();
        std::srand(7);
    }
    void TearDown() override { nE_ResourceCache::destroy(); }

    std::string write(const std::string& name, const std::string& types,
                      const std::string& process = kOneEmitter,
                      const std::string& first = "<!-- Blend: 3 -->") {
        TempDir::Write(folder / (name + ".xml"), first + "<particles type=\"complex\"><emit>" + types +
                                                     "</emit><process><![CDATA[" + process +
                                                     "]]></process></particles>");
        return folder / name;
    }
    Complex* open(nE_ParticleSystem& system, const std::string& resource) {
        system.setResourceName(resource);
        return dynamic_cast<Complex*>(system.implementation());
    }
    void run(Complex* impl, int steps, float dt) {
        for (int i = 0; i < steps; ++i) impl->update(dt);
    }

    // Particle files name their images as game files.
    script_test::GameFolderAt game;
    TempDir folder;
};

TEST_F(ComplexTest, TheFileGivesBlendEmitterTypesAndCode) {
    nE_ParticleSystem system;
    const std::string types =
        emitterType("spark", "DieAfter(1)", "CreateParticles(1)", "", "", "images/a") + "<smoke/>";
    Complex* impl = open(system, write("fx", types));
    ASSERT_NE(nullptr, impl) << "type \"complex\"";
    EXPECT_TRUE(impl->emitting) << "runs from the start";
    EXPECT_NE(nullptr, impl->script());
    EXPECT_EQ(3, system.localState().blendMode);
    ASSERT_EQ(2u, impl->emitterTypes.size());
    EXPECT_EQ("spark", impl->emitterTypes[0].name);
    EXPECT_EQ("images/a", impl->emitterTypes[0].textureName);
    EXPECT_EQ("DieAfter(1)", impl->emitterTypes[0].bornCode);
    EXPECT_EQ("CreateParticles(1)", impl->emitterTypes[0].processCode);
    EXPECT_EQ("smoke", impl->emitterTypes[1].name);
    EXPECT_EQ("", impl->emitterTypes[1].textureName) << "no res: nothing to draw, nothing fails";
    EXPECT_EQ("", impl->emitterTypes[1].bornCode);
    EXPECT_EQ(kOneEmitter, impl->systemCode);
    EXPECT_TRUE(impl->emitters.empty()) << "the system code makes them";

    // No type attribute means scripted too; without the comment first the blend mode is 0, and so it
    // is when anything (even a declaration) comes before the comment.
    TempDir::Write(folder / "plain.xml", "<particles><emit/></particles>");
    impl = open(system, folder / "plain");
    ASSERT_NE(nullptr, impl);
    EXPECT_EQ(0, system.localState().blendMode);
    system.editLocalState()->blendMode = 4;
    open(system, write("late", "", "", "<?xml version=\"1.0\"?><!-- Blend: 2 -->"));
    EXPECT_EQ(0, system.localState().blendMode);

    // A missing file: the message, no emitter types, and updates do nothing.
    Complex missing;
    testing::internal::CaptureStdout();
    missing.load(folder / "none");
    EXPECT_NE(std::string::npos,
              testing::internal::GetCapturedStdout().find("nE_PartSysImpl_Complex::Could not find \"" +
                                                          folder / "none" + "\" file!"));
    EXPECT_TRUE(missing.emitterTypes.empty());
    missing.update(0.1f);
    EXPECT_TRUE(missing.particles.empty());
}

TEST_F(ComplexTest, FractionsOfParticlesAddUpOverUpdates) {
    nE_ParticleSystem system;
    Complex* impl =
        open(system, write("half", emitterType("spark", "DieAfter(100)", "CreateParticles(0.5)")));
    ASSERT_NE(nullptr, impl);
    for (int i = 1; i <= 6; ++i) {
        impl->update(0.1f);
        EXPECT_EQ(static_cast<size_t>(i / 2), impl->particles.size()) << "update " << i;
    }
    EXPECT_EQ(1, impl->psState) << "read back from the code";
}

TEST_F(ComplexTest, AChannelFadesTheParticleOverItsLifeAndItsDieCodeRunsAtTheEnd) {
    nE_ParticleSystem system;
    // One particle only; its die code leaves a trace: a new emitter.
    Complex* impl =
        open(system, write("fade", emitterType("spark", "DieAfter(2) Animate(ne_alpha, {0, 1, 100, 0})",
                                               "if not made then CreateParticles(1) made = true end", "",
                                               "CreateEmitter('trace', 5, 5)")));
    ASSERT_NE(nullptr, impl);
    // 0.125 s steps sum to exactly 2 s after 16 updates.
    for (int i = 1; i < 16; ++i) {
        impl->update(0.125f);
        ASSERT_EQ(1u, impl->particles.size()) << i;
        EXPECT_NEAR(1 - i / 16.0f, impl->particles[0].prop[Complex::kAlpha], 1e-5f) << i;
    }
    EXPECT_EQ(1u, impl->emitters.size());
    impl->update(0.125f);
    EXPECT_TRUE(impl->particles.empty()) << "removed at 2 s";
    ASSERT_EQ(2u, impl->emitters.size()) << "after its die code ran";
    EXPECT_EQ(0, impl->emitters[1].typeIndex) << "an unknown type name takes type 0";
    EXPECT_EQ(5, impl->emitters[1].x);

    // Keys past the last hold the last value; a key list of one key holds it; too short lists add nothing.
    Complex::Particle q;
    impl->particles.push_back(q);
    impl->particles[0].lifetime = 1;
    impl->particles[0].channels.push_back({Complex::kScaleX, 0, {0, 2, 10, 4}});
    impl->particles[0].channels.push_back({Complex::kAngle, 0, {0, 7}});
    for (int i = 0; i < 5; ++i) impl->update(0.15f);
    EXPECT_EQ(4, impl->particles[0].prop[Complex::kScaleX]);
    EXPECT_EQ(7, impl->particles[0].prop[Complex::kAngle]);
}

TEST_F(ComplexTest, PropertiesAndNamedValuesWithTheirLimits) {
    nE_ParticleSystem system;
    const std::string born = R"(
        DieAfter(10)
        SetProperty(ne_color_r, 1.5) SetProperty(ne_alpha, -2) SetProperty(12, 5) SetProperty(2.5, 9)
        SetProperty('speed', 1.5)
        SetProperty(ne_pos_x, GetProperty('speed'))
        SetProperty(ne_pos_y, GetProperty('unset') + GetProperty(42) + 3)
        SetProperty(ne_pos_z, Random(2, 4))
        SetProperty(ne_scale_y, ne_color_b * 10 + ne_pos_x))";
    // Without a current particle the particle functions do nothing and read 0.
    const std::string process = R"(
        if ps_state == 0 then
            DieAfter(1) SetProperty(ne_alpha, 0.5) SetIndependent() Animate(ne_alpha, {0, 1, 100, 0})
            CreateParticles(3)
            CreateEmitter('spark', 1, 2)
            ps_state = 10 + GetProperty(ne_alpha) + GetProperty('speed')
        end)";
    Complex* impl =
        open(system, write("props", emitterType("spark", born, "CreateParticles(1) DeleteMe()"), process));
    ASSERT_NE(nullptr, impl);
    impl->update(0.1f);
    EXPECT_EQ(10, impl->psState);
    ASSERT_TRUE(impl->emitters.empty()) << "deleted after its code";
    ASSERT_EQ(1u, impl->particles.size());
    const Complex::Particle& q = impl->particles[0];
    EXPECT_EQ(1.0f, q.prop[Complex::kColorR]) << "clamped";
    EXPECT_EQ(0.0f, q.prop[Complex::kAlpha]);
    EXPECT_EQ(1.5f, q.prop[Complex::kPosX]);
    EXPECT_EQ(3.0f, q.prop[Complex::kPosY]);
    EXPECT_GE(q.prop[Complex::kPosZ], 2.0f);
    EXPECT_LT(q.prop[Complex::kPosZ], 4.0f);
    EXPECT_EQ(90.0f, q.prop[Complex::kScaleY]) << "the index globals";
    EXPECT_EQ(1.0f, q.prop[Complex::kScaleX]) << "untouched";
    ASSERT_EQ(1u, q.values.size());
    EXPECT_EQ("speed", q.values[0].first);
    EXPECT_EQ(1.5f, q.values[0].second);
    EXPECT_EQ(1, q.originX);
    EXPECT_EQ(2, q.originY);
    EXPECT_FALSE(q.independent);
}

TEST_F(ComplexTest, IndependentParticlesStayWhereTheyWereBornAndOthersMoveWithTheObject) {
    nE_ParticleSystem system;
    system.editLocalState()->x = 100;
    system.editLocalState()->y = 50;
    const std::string types =
        emitterType("dep", "DieAfter(10) SetProperty(ne_pos_x, 3)", "") +
        emitterType("ind", "DieAfter(10) SetIndependent() SetProperty(ne_pos_x, 3)", "");
    const std::string process = R"(
        if ps_state == 0 then
            CreateEmitter('dep', 10, 20) CreateEmitter('ind', 10, 20) ps_state = 1
        end)";
    Complex* impl = open(system, write("two", types, process));
    ASSERT_NE(nullptr, impl);
    system.activate();
    ASSERT_NE(nullptr, impl->emitterTypes[0].texture);
    impl->update(0.1f);
    ASSERT_TRUE(impl->emitters.size() == 2 && impl->particles.empty());
    // Births come from code an emitter runs.
    impl->emitterTypes[0].processCode = impl->emitterTypes[1].processCode = "CreateParticles(1) DeleteMe()";
    impl->script()->forgetChunks();
    impl->update(0.1f);
    ASSERT_EQ(2u, impl->particles.size());
    EXPECT_EQ(10, impl->particles[0].originX);
    EXPECT_EQ(110, impl->particles[1].originX) << "the object's position is added";
    EXPECT_EQ(70, impl->particles[1].originY);

    // The 4 x 4 dot of type 0 draws both; the centre of each quad is where the particle is drawn.
    auto centres = [&] {
        VertexRecorder renderer;
        system.drawWalk(&renderer, nullptr);
        std::vector<std::pair<float, float>> out;
        for (const auto& batch : renderer.batches) {
            EXPECT_TRUE(batch.absolute);
            for (size_t i = 0; i + 5 < batch.vertices.size(); i += 6)
                out.push_back({(batch.vertices[i].x + batch.vertices[i + 5].x) / 2,
                               (batch.vertices[i].y + batch.vertices[i + 5].y) / 2});
        }
        return out;
    };
    auto before = centres();
    ASSERT_EQ(2u, before.size());
    EXPECT_FLOAT_EQ(113, before[0].first) << "origin + position under the object's transform";
    EXPECT_FLOAT_EQ(70, before[0].second);
    EXPECT_FLOAT_EQ(113, before[1].first) << "independent: where it was born";
    system.editLocalState()->x = 300;
    system.editLocalState()->scaleX = 2;
    auto after = centres();
    EXPECT_FLOAT_EQ(326, after[0].first) << "moves and scales with the object";
    EXPECT_FLOAT_EQ(226, after[1].first) << "only the object's scale applies";
    EXPECT_FLOAT_EQ(70, after[1].second);
    EXPECT_EQ(3, system.localState().blendMode);
}

TEST_F(ComplexTest, StoppingFreezesOrClearsAndStartingBuildsAFreshState) {
    nE_ParticleSystem system;
    Complex* impl =
        open(system, write("loop", emitterType("spark", "DieAfter(10)", "CreateParticles(1)",
                                               "SetProperty(ne_pos_y, GetProperty(ne_pos_y) + 1)")));
    ASSERT_NE(nullptr, impl);
    system.activate();
    run(impl, 3, 0.1f);
    ASSERT_EQ(3u, impl->particles.size());

    // Without clearing: no births, but particles age and run their code.
    system.stop(false);
    run(impl, 2, 0.1f);
    EXPECT_EQ(3u, impl->particles.size());
    EXPECT_EQ(5, impl->particles[0].prop[Complex::kPosY]);

    // Starting again discards what the old state left (a state no stop with clearing closed).
    const int states = nE_PartSysScript::openCount();
    system.start();
    EXPECT_EQ(states, nE_PartSysScript::openCount());
    EXPECT_TRUE(impl->particles.empty());
    EXPECT_EQ(0, impl->psState);
    impl->update(0.1f);
    EXPECT_EQ(1u, impl->emitters.size()) << "the system code starts from ps_state 0";

    // With clearing: nothing is updated or drawn until started again.
    system.stop(true);
    EXPECT_EQ(nullptr, impl->script());
    EXPECT_EQ(states - 1, nE_PartSysScript::openCount());
    run(impl, 3, 0.1f);
    EXPECT_TRUE(impl->particles.empty() && impl->emitters.empty());
    VertexRecorder renderer;
    system.drawWalk(&renderer, nullptr);
    EXPECT_TRUE(renderer.batches.empty());
    system.start();
    impl->update(0.1f);
    EXPECT_EQ(1u, impl->particles.size());
    system.restart();
    EXPECT_TRUE(impl->particles.empty());
}

TEST_F(ComplexTest, ALuaErrorIsReportedOnceWithFileAndTracebackAndStopsTheSystem) {
    nE_ParticleSystem system;
    const std::string particle = "local function wobble() return nothing.here end SetProperty(0, wobble())";
    const std::string resource =
        write("broken", emitterType("spark", "DieAfter(10)", "CreateParticles(1)", particle));
    Complex* impl = open(system, resource);
    ASSERT_NE(nullptr, impl);
    testing::internal::CaptureStdout();
    run(impl, 3, 0.1f);
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string where = resource + ".xml:spark:processpart";
    EXPECT_NE(std::string::npos, out.find("Particle error: " + where + " ")) << out;
    EXPECT_NE(std::string::npos, out.find("attempt to index global 'nothing'")) << out;
    EXPECT_NE(std::string::npos, out.find("(a nil value)\nstack traceback:")) << out;
    EXPECT_NE(std::string::npos, out.find("in function 'wobble'")) << out;
    EXPECT_EQ(out.find("Particle error"), out.rfind("Particle error")) << "once";
    EXPECT_FALSE(impl->emitting);
    EXPECT_EQ(nullptr, impl->script());
    EXPECT_TRUE(impl->particles.empty());

    // Started again, it runs until the error comes round again. A syntax error is reported as well.
    system.start();
    testing::internal::CaptureStdout();
    impl->update(0.1f);
    EXPECT_NE(std::string::npos, testing::internal::GetCapturedStdout().find("Particle error"));
    Complex* bad = open(system, write("syntax", emitterType("spark", "DieAfter(", "CreateParticles(1)")));
    testing::internal::CaptureStdout();
    bad->update(0.1f);
    const std::string syntax = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, syntax.find("syntax.xml:spark:bornpart")) << syntax;
    EXPECT_FALSE(bad->emitting);
}

TEST_F(ComplexTest, CodeThatNeverEndsIsStoppedEvenInsidePcall) {
    nE_ParticleSystem system;
    // The born code of a particle asked for by the emitter code loops; the emitter code swallows errors.
    const std::string born = "while true do end";
    const std::string process =
        "while true do pcall(CreateParticles, 1) pcall(function() while true do end end) end";
    Complex* impl = open(system, write("endless", emitterType("spark", born, process)));
    ASSERT_NE(nullptr, impl);
    testing::internal::CaptureStdout();
    impl->update(0.1f);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, out.find("Particle error: " + folder / "endless.xml:spark:bornpart")) << out;
    EXPECT_NE(std::string::npos, out.find(nE_LuaSandbox::kRunawayMessage)) << out;
    EXPECT_FALSE(impl->emitting);
}

TEST_F(ComplexTest, MillionsOfParticlesAndEmittersAreCapped) {
    nE_ParticleSystem system;
    const std::string process = R"(
        if ps_state == 0 then
            for i = 1, 100000 do CreateEmitter('spark', i, 0) end
            ps_state = 1
        end)";
    Complex* impl = open(
        system,
        write("flood", emitterType("spark", "DieAfter(10)", "CreateParticles(1e9) DeleteMe()"), process));
    ASSERT_NE(nullptr, impl);
    impl->update(0.1f);
    EXPECT_EQ(static_cast<size_t>(Complex::kMaxParticles), impl->particles.size());
    EXPECT_TRUE(impl->emitters.empty());
    EXPECT_TRUE(impl->emitting);

    // Not-a-number and infinity ask for nothing.
    Complex* odd =
        open(system,
             write("odd", emitterType("spark", "DieAfter(10)", "CreateParticles(0/0) CreateParticles(1/0)")));
    odd->update(0.1f);
    odd->update(0.1f);
    EXPECT_TRUE(odd->particles.empty());
    ASSERT_EQ(1u, odd->emitters.size());
    EXPECT_EQ(0, odd->emitters[0].pending);
}

TEST_F(ComplexTest, EachSystemClosesItsLuaStateWhenItGoes) {
    const int before = nE_PartSysScript::openCount();
    {
        nE_ParticleSystem a, b;
        open(a, write("x", emitterType("spark", "DieAfter(1)", "CreateParticles(1)")));
        open(b, folder / "x");
        EXPECT_EQ(before + 2, nE_PartSysScript::openCount());
        a.setResourceName(folder / "x");
        EXPECT_EQ(before + 2, nE_PartSysScript::openCount()) << "the old implementation took its state along";
        b.resetState();
        EXPECT_EQ(before + 1, nE_PartSysScript::openCount());
    }
    EXPECT_EQ(before, nE_PartSysScript::openCount());
}

}  // namespace
