#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/core/nE_Core.h"
#include "engine/media/nE_ResourceCache.h"
#include "engine/media/nE_Texture.h"
#include "engine/objects/AtGlobalForces.h"
#include "engine/objects/nE_AtEffect.h"
#include "engine/script/nE_SLHelper_XML.h"
#include "tests/engine/objects/ParticleTestSupport.h"

namespace {

using particletest::data;
using particletest::VertexRecorder;
using Particle = AtParticleSystem::Particle;

class AtEffectTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (nE_Core::exists()) nE_Core::destroy();
        nE_ResourceCache::create();
        AtGlobalForces::get().reset();
        std::srand(99);
    }
    void TearDown() override {
        AtGlobalForces::get().reset();
        nE_ResourceCache::destroy();
    }

    // A particle at rest at p, already faded in.
    static Particle at(float x, float y, float z, float age = 1) {
        Particle p;
        p.position = AtVec3(x, y, z);
        p.age = age;
        return p;
    }
    // A full-screen rain effect with gusts off and no deviation, warmed up from the same seed.
    static void fullScreen(nE_AtEffect& effect) {
        effect.scrClipWidth = 1024;
        effect.scrClipHeight = 768;
        effect.system.deviation = 0;
        effect.editLocalState()->x = 512;
        effect.editLocalState()->y = 384;
    }
    static double meanX(const nE_AtEffect& effect) {
        double sum = 0;
        for (const Particle& p : effect.system.particles) sum += p.position.x;
        return effect.system.particles.empty() ? 0 : sum / effect.system.particles.size();
    }
};

TEST_F(AtEffectTest, KeysLoadAndSaveInTheirOrderAndAResetRestoresTheDefaults) {
    nE_AtEffect effect;
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* in = doc.NewElement("ateffect");
    in->SetAttribute("name", "rain");
    in->SetAttribute("res", "drops");
    in->SetAttribute("cam_pos", "1;2;3");
    in->SetAttribute("cam_ang", "0.1;0.2;0.3");
    in->SetAttribute("floor_clip", 3.5);
    in->SetAttribute("near_z", 0.5);
    in->SetAttribute("far_z", 20);
    in->SetAttribute("scr_clip_size", "640;480");
    in->SetAttribute("particle_inv_mass", 0.05);
    in->SetAttribute("dencity", 2);
    in->SetAttribute("deviation", 0.1);
    in->SetAttribute("particle_life_time", 8);
    in->SetAttribute("particle_scale", 3);
    in->SetAttribute("type", 0);
    in->SetAttribute("rain_length_factor", 6);
    in->SetAttribute("fast_start", 7);
    nE_SLHelper_XML reader(in);
    effect.loadProperties(reader);
    EXPECT_EQ("drops", effect.getResourceName());
    EXPECT_FLOAT_EQ(3, effect.camera.camPos.z);
    EXPECT_FLOAT_EQ(0.2f, effect.camera.camAng.y);
    EXPECT_FLOAT_EQ(480, effect.scrClipHeight);
    EXPECT_FLOAT_EQ(2, effect.system.density);
    EXPECT_EQ(0, effect.system.type);
    EXPECT_EQ(7, effect.fastStart);

    tinyxml2::XMLElement* out = doc.NewElement("ateffect");
    nE_SLHelper_XML writer(out, false);
    effect.saveProperties(writer);
    std::vector<std::string> order;
    bool own = false;
    for (const tinyxml2::XMLAttribute* a = out->FirstAttribute(); a; a = a->Next()) {
        own = own || std::string(a->Name()) == "res";
        if (own) order.push_back(a->Name());
    }
    const std::vector<std::string> expected = {"res",
                                               "cam_pos",
                                               "cam_ang",
                                               "floor_clip",
                                               "near_z",
                                               "far_z",
                                               "scr_clip_size",
                                               "particle_inv_mass",
                                               "dencity",
                                               "deviation",
                                               "particle_life_time",
                                               "particle_scale",
                                               "type",
                                               "rain_length_factor",
                                               "fast_start"};
    EXPECT_EQ(expected, order);
    nE_AtEffect copy;
    nE_SLHelper_XML again(out);
    copy.loadProperties(again);
    EXPECT_FLOAT_EQ(0.5f, copy.camera.nearZ);
    EXPECT_FLOAT_EQ(6, copy.system.rainLength);
    EXPECT_FLOAT_EQ(3, copy.particleScale);

    effect.resetState();
    EXPECT_EQ(0, effect.scrClipWidth);
    EXPECT_EQ(1, effect.system.type);
    EXPECT_FLOAT_EQ(10, effect.camera.farZ);
    EXPECT_EQ(0, effect.fastStart);
}

TEST_F(AtEffectTest, ForcesDragAndDeviationMoveAParticle) {
    AtParticleSystem system;
    AtRenderer camera;
    camera.setup(0, 0);
    system.deviation = 0;
    system.particles.push_back(at(0, 0, 5));
    // Default forces: 9.8 × 0.01 more speed downwards per update, whatever dt is.
    system.update(0.5f, camera, AtGlobalForces::get());
    ASSERT_EQ(1u, system.particles.size()) << "a clip of 0 × 0 spawns nothing";
    EXPECT_FLOAT_EQ(0.098f, system.particles[0].velocity.y);
    EXPECT_FLOAT_EQ(0.049f, system.particles[0].position.y);
    // Drag: − s² × 0.05 along the motion.
    system.update(0.5f, camera, AtGlobalForces::get());
    EXPECT_NEAR(0.098f + 0.098f - 0.098f * 0.098f * 0.05f, system.particles[0].velocity.y, 1e-6f);
    EXPECT_EQ(0, system.particles[0].velocity.x);

    // Deviation turns the motion sideways, keeping the forward part.
    system.deviation = 0.3f;
    const float before = system.particles[0].velocity.y;
    system.update(0.01f, camera, AtGlobalForces::get());
    const AtVec3 v = system.particles[0].velocity;
    EXPECT_GT(std::hypot(v.x, v.z), 0);
    EXPECT_LT(std::hypot(v.x, v.z), before * 0.3f + 1e-6f);
}

TEST_F(AtEffectTest, SpawningFadingAndDying) {
    AtParticleSystem system;
    AtRenderer camera;
    camera.floorClip = 1000;
    camera.setup(768, 768);
    AtGlobalForces::get().gravity = AtVec3();
    const AtVec3 box = camera.boxMax - camera.boxMin;
    const float volume = box.x * box.y * box.z;
    EXPECT_NEAR(10 * 10 * 9, volume, 0.01f) << "the frustum's bounding box";

    // n = 0.2 still makes one particle per update; n = 2.5 makes three.
    system.density = 0.2f / (0.1f * volume);
    system.update(0.1f, camera, AtGlobalForces::get());
    system.update(0.1f, camera, AtGlobalForces::get());
    EXPECT_EQ(2u, system.particles.size());
    system.density = 2.5f / (0.1f * volume);
    system.update(0.1f, camera, AtGlobalForces::get());
    EXPECT_EQ(5u, system.particles.size());
    for (const Particle& p : system.particles) {
        EXPECT_TRUE(p.position.x >= camera.boxMin.x && p.position.x <= camera.boxMax.x);
        EXPECT_TRUE(p.position.z >= 1 && p.position.z <= 10);
    }

    // Fades: in over 0.4 s, out over the last 0.4 s of life, and through the last 0.1 above the floor.
    system.density = 0;
    system.particles = {at(0, 0, 5, 0), at(0, 0, 5, 19.7f), at(0, 0, 5, 19.95f), at(0, 2.15f, 5),
                        at(0, 2.21f, 5)};
    camera.floorClip = 2.2f;
    system.update(0.1f, camera, AtGlobalForces::get());
    // Past its life time and below the floor: both gone, the last particles taking their places.
    ASSERT_EQ(3u, system.particles.size());
    EXPECT_NEAR(0.25f, system.particles[0].alpha, 1e-5f);
    EXPECT_NEAR(0.5f, system.particles[1].alpha, 1e-4f);
    EXPECT_NEAR(2.15f, system.particles[2].position.y, 1e-6f);
    EXPECT_NEAR(0.5f, system.particles[2].alpha, 1e-4f) << "half way through the last 0.1";
}

TEST_F(AtEffectTest, TheCameraProjectsItsFrustumOntoTheEffectsRectangle) {
    AtRenderer camera;
    camera.setup(1024, 768);
    float x = 0, y = 0, depth = 0;
    ASSERT_TRUE(camera.project(AtVec3(0, 0, 5), x, y, depth));
    EXPECT_NEAR(0, x, 1e-3f);
    EXPECT_NEAR(0, y, 1e-3f);
    // A corner of the frustum at the near plane is a corner of the rectangle, at depth 0; at the far
    // plane, depth 1.
    ASSERT_TRUE(camera.project(AtVec3(1024.0f / 768 / 2, 0.5f, 1), x, y, depth));
    EXPECT_NEAR(512, x, 1e-2f);
    EXPECT_NEAR(384, y, 1e-2f);
    EXPECT_NEAR(0, depth, 1e-5f);
    ASSERT_TRUE(camera.project(AtVec3(-10.0f * 1024 / 768 / 2, -5, 10), x, y, depth));
    EXPECT_NEAR(-512, x, 1e-2f);
    EXPECT_NEAR(1, depth, 1e-5f);
    EXPECT_FALSE(camera.project(AtVec3(0, 0, -1), x, y, depth)) << "behind the camera";
    EXPECT_NEAR(1, camera.sizeAt(0, 1), 1e-6f);
    EXPECT_NEAR(0.1f, camera.sizeAt(1, 1), 1e-6f);

    // The camera moved to the right sees the same point further left; turned, it looks elsewhere.
    camera.camPos = AtVec3(1, 0, 0);
    camera.setup(1024, 768);
    ASSERT_TRUE(camera.project(AtVec3(1, 0, 5), x, y, depth));
    EXPECT_NEAR(0, x, 1e-3f);
    camera.camAng = AtVec3(0, 1.570796f, 0);
    camera.setup(1024, 768);
    ASSERT_TRUE(camera.project(AtVec3(6, 0, 0), x, y, depth)) << "turned to look along +x";
    EXPECT_NEAR(0, x, 1e-2f);
    EXPECT_NEAR(0, y, 1e-2f);
    // Planes that would break the projection are kept apart and in front.
    camera.nearZ = 0;
    camera.farZ = -3;
    camera.setup(100, 100);
    EXPECT_GT(camera.nearPlane(), 0);
    EXPECT_GT(camera.farPlane(), camera.nearPlane());
}

TEST_F(AtEffectTest, AWindMovesTheRainsMeanPositionItsWay) {
    AtGlobalForces& forces = AtGlobalForces::get();
    forces.randWindMaxForce = 0;
    double means[3];
    const float winds[3] = {-40, 0, 40};
    for (int i = 0; i < 3; ++i) {
        forces.wind = AtVec3(winds[i], 0, 0);
        std::srand(5);
        nE_AtEffect effect;
        fullScreen(effect);
        effect.activate();
        for (int step = 0; step < 120; ++step) effect.update(1.0f / 60);
        ASSERT_GT(effect.system.particles.size(), 500u);
        means[i] = meanX(effect);
    }
    EXPECT_LT(means[0], means[1] - 0.2) << "a wind towards -x";
    EXPECT_GT(means[2], means[1] + 0.2) << "a wind towards +x";
    EXPECT_NEAR(0, means[1], 0.3) << "no wind: around the middle";

    // The same through a gust, held for longer than the run.
    forces.wind = AtVec3();
    forces.gust = AtVec3(-40, 0, 0);
    forces.gustBuilding = false;
    forces.gustTimer = 0;
    forces.gustWait = 100;
    std::srand(5);
    nE_AtEffect effect;
    fullScreen(effect);
    effect.activate();
    for (int step = 0; step < 120; ++step) effect.update(1.0f / 60);
    EXPECT_LT(meanX(effect), means[1] - 0.2);
}

TEST_F(AtEffectTest, GustsBuildHoldAndAdvanceOncePerFrame) {
    AtGlobalForces& f = AtGlobalForces::get();
    f.randWindMinForce = 2;
    f.randWindMaxForce = 3;
    f.randWindMinWaitTime = f.randWindMaxWaitTime = 1;
    f.randWindMinChangeTime = f.randWindMaxChangeTime = 0.5f;
    f.advance(0.01f);
    EXPECT_TRUE(f.gustBuilding) << "the first gust starts at once";
    const AtVec3 target = f.gustTarget;
    EXPECT_EQ(0, target.y) << "horizontal";
    EXPECT_GE(target.length(), 2 - 1e-4f);
    EXPECT_LE(target.length(), 3 + 1e-4f);
    f.advance(0.25f);
    EXPECT_NEAR(target.x / 2, f.gust.x, 1e-5f);
    f.advance(0.3f);
    EXPECT_FALSE(f.gustBuilding);
    EXPECT_EQ(target.x, f.gust.x);
    f.advance(0.5f);
    EXPECT_EQ(target.x, f.gust.x) << "held through the wait";
    f.advance(0.6f);
    EXPECT_TRUE(f.gustBuilding) << "the next one starts after the wait";
    EXPECT_EQ(target.x, f.gustStart.x);

    // Two effects, three frames: three advances.
    f.reset();
    int a = 0, b = 0;
    f.randWindMaxWaitTime = f.randWindMinWaitTime = 100;
    f.randWindMinChangeTime = f.randWindMaxChangeTime = 0.5f;
    f.advance(0);
    f.advance(1);  // the first gust is in place; now only the timer moves
    const float timer = f.gustTimer;
    for (int frame = 0; frame < 3; ++frame) {
        f.tick(&a, 0.1f);
        f.tick(&b, 0.1f);
    }
    EXPECT_NEAR(timer + 0.3f, f.gustTimer, 1e-5f);
    f.forget(&a);
    f.tick(&b, 0.1f);
    f.tick(&b, 0.1f);
    EXPECT_NEAR(timer + 0.5f, f.gustTimer, 1e-5f) << "the other effect takes over";
}

TEST_F(AtEffectTest, WarmUpInputRectangleAndDrawing) {
    nE_AtEffect effect;
    fullScreen(effect);
    effect.fastStart = 1000;
    effect.setResourceName(data("dot"));
    effect.activate();
    ASSERT_NE(nullptr, effect.texture);
    ASSERT_FALSE(effect.system.particles.empty()) << "in place from the start";
    float oldest = 0;
    for (const Particle& p : effect.system.particles) oldest = std::max(oldest, p.age);
    EXPECT_LE(oldest, 5.0f + 1e-3f) << "at most 50 warm-up steps of 0.1 s";
    EXPECT_FLOAT_EQ(-512, effect.inputRect.x);
    EXPECT_FLOAT_EQ(768, effect.inputRect.h);

    // Rain: batches of at most 128 streaks in the object's space, each from the drop down to where its
    // motion takes it (the bright end of the texture).
    VertexRecorder renderer;
    effect.drawWalk(&renderer, nullptr);
    ASSERT_FALSE(renderer.batches.empty());
    size_t quads = 0;
    for (const auto& batch : renderer.batches) {
        EXPECT_FALSE(batch.absolute);
        EXPECT_LE(batch.vertices.size(), 768u);
        EXPECT_EQ(512, batch.state.matrix.m[12]);
        for (size_t i = 0; i < batch.vertices.size(); i += 6, ++quads) {
            const nE_Vertex* v = &batch.vertices[i];
            EXPECT_GE(v[2].y, v[0].y - 1e-3f) << "the leading end is below";
            EXPECT_EQ(0, v[0].v);
            EXPECT_EQ(1, v[5].v);
            EXPECT_TRUE(v[0].a > 0 && v[0].a <= 1);
            EXPECT_TRUE(std::fabs(v[0].x) < 512 + 80 && std::fabs(v[0].y) < 384 + 80);
        }
    }
    EXPECT_GT(quads, 128u) << "several batches";

    // Flakes: squares of the texture's size at their scale, centred on their point. An input
    // rectangle given by the description is kept.
    nE_AtEffect snow;
    fullScreen(snow);
    snow.system.type = 0;
    snow.fastStart = 5;
    snow.inputRectSet = true;
    snow.inputRect = nE_Rect{1, 2, 3, 4};
    snow.setResourceName(data("dot"));
    snow.activate();
    EXPECT_FLOAT_EQ(1, snow.inputRect.x);
    VertexRecorder flakes;
    snow.drawWalk(&flakes, nullptr);
    ASSERT_FALSE(flakes.batches.empty());
    const nE_Vertex* v = flakes.batches[0].vertices.data();
    EXPECT_NEAR(v[1].x - v[0].x, v[2].y - v[0].y, 1e-3f);
    EXPECT_EQ(v[0].x, v[2].x);
}

}  // namespace
