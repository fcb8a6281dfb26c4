#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_Scene.h"
#include "engine/objects/nE_PartSysImpl_Vell.h"
#include "tests/engine/objects/ParticleTestSupport.h"
#include "tests/engine/script/ScriptTestSupport.h"

namespace {

using particletest::MaskObject;
using particletest::maskTexture;
using particletest::VertexRecorder;
using particletest::writeParticleFile;
using Attributes = std::map<std::string, std::string>;

constexpr float kDeg = 3.141592f / 180;

// Factors of 1 keep speeds as they are; a missing factor reads as 0.
Attributes steady(Attributes a) {
    for (const char* f : {"speed_xf", "speed_yf", "gravf", "grotatef", "scale_xf", "scale_yf", "rotatef"})
        if (!a.count(f)) a[f] = "1";
    return a;
}

class VellTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Masks are checked against the core's scene when one exists.
        if (nE_Core::exists()) nE_Core::destroy();
        std::srand(12345);
        vell.owner = &owner;
    }
    void load(const Attributes& attributes) { vell.load(writeParticleFile(folder, "effect", attributes)); }
    void run(int steps, float dt) {
        for (int i = 0; i < steps; ++i) vell.update(dt);
    }
    const nE_PartSysImpl_Vell::Particle& only() {
        EXPECT_EQ(1u, vell.particles.size());
        return vell.particles.front();
    }

    TempDir folder;
    nE_Object owner;
    nE_PartSysImpl_Vell vell;
};

TEST_F(VellTest, FileValuesAreConvertedToSecondsRadiansAndUnitColour) {
    load(
        {{"lifetime", "60"},     {"delay", "10"},          {"delay_init", "5"},       {"born_count", "2.5"},
         {"speed_x", "2"},       {"speed_y_delta", "0.5"}, {"grav", "0.25"},          {"grotate", "90"},
         {"grotate_speed", "1"}, {"rotate", "180"},        {"scale_x_speed", "0.01"}, {"alpha_speed", "0.02"},
         {"color_r", "51"},      {"color_g_speed", "2"},   {"scale_mode", "1"},       {"scale_xf", "0.9"},
         {"scale_yf", "0.3"},    {"blend", "2"},           {"res", "images/spark"},   {"gflag", "1"}});
    const nE_PartSysImpl_Vell::Params& p = vell.params;
    EXPECT_FLOAT_EQ(1.02f, p.lifetime) << "60 frames of 0.017 s";
    EXPECT_FLOAT_EQ(0.17f, p.delay);
    EXPECT_FLOAT_EQ(0.085f, p.delayInit);
    EXPECT_FLOAT_EQ(2.5f, p.bornCount);
    EXPECT_FLOAT_EQ(120, p.speedX);
    EXPECT_FLOAT_EQ(30, p.speedYDelta);
    EXPECT_FLOAT_EQ(15, p.grav);
    EXPECT_FLOAT_EQ(90 * kDeg, p.grotate);
    EXPECT_FLOAT_EQ(60 * kDeg, p.grotateSpeed);
    EXPECT_FLOAT_EQ(3.141592f, p.rotate) << "the file's pi, not M_PI";
    EXPECT_FLOAT_EQ(0.6f, p.scaleXSpeed);
    EXPECT_FLOAT_EQ(1.2f, p.alphaSpeed);
    EXPECT_FLOAT_EQ(0.2f, p.red);
    EXPECT_FLOAT_EQ(2 / 255.f * 60, p.greenSpeed);
    EXPECT_FLOAT_EQ(0.9f, p.scaleYf) << "a scale mode makes y's factor x's";
    EXPECT_EQ(1, p.gflag);
    EXPECT_EQ("images/spark", vell.textureName);
    EXPECT_EQ(2, owner.localState().blendMode);
    EXPECT_TRUE(vell.emitting) << "loading starts the emitter";
}

TEST_F(VellTest, MissingAttributesReadAsZeroExceptWarmUpAndAutoOff) {
    load({});
    const nE_PartSysImpl_Vell::Params& p = vell.params;
    EXPECT_EQ(0, p.lifetime);
    EXPECT_EQ(0, p.speedXf);
    EXPECT_EQ(0, p.alpha);
    EXPECT_EQ(0, p.preproc);
    EXPECT_EQ(-1, p.autooff);
    EXPECT_EQ(0, owner.localState().blendMode);
    EXPECT_TRUE(vell.emitting);
    // A particle file without an "emit" element reads the same way.
    TempDir::Write(folder / "bare.xml", "<particles type=\"vell\"/>");
    nE_PartSysImpl_Vell bare;
    bare.load(folder / "bare");
    EXPECT_EQ(-1, bare.params.autooff);
    EXPECT_TRUE(bare.emitting);
}

TEST_F(VellTest, MissingFileIsReportedAndNothingStarts) {
    testing::internal::CaptureStdout();
    vell.load(folder / "absent");
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos,
              out.find("nE_PartSysImpl_Vell::Could not find \"" + (folder / "absent") + "\" file!\n"))
        << out;
    EXPECT_FALSE(vell.emitting);
    run(10, 0.05f);
    EXPECT_TRUE(vell.particles.empty());
}

TEST_F(VellTest, BurstsFollowTheInitialDelayThenTheDelay) {
    // First burst 0.34 s after start, then every 0.17 s (the overshoot is dropped), three each.
    load({{"lifetime", "1000"}, {"delay_init", "20"}, {"delay", "10"}, {"born_count", "3"}});
    std::vector<size_t> counts;
    for (int i = 0; i < 16; ++i) {
        vell.update(0.05f);
        counts.push_back(vell.particles.size());
    }
    // Bursts at updates 7 (0.35 s), 11 (timer 0.17 - 0.2 < 0) and 15.
    const std::vector<size_t> want = {0, 0, 0, 0, 0, 0, 3, 3, 3, 3, 6, 6, 6, 6, 9, 9};
    EXPECT_EQ(want, counts);
}

TEST_F(VellTest, FractionalBornCountsGiveTheirWholePartAndAtLeastOne) {
    load({{"lifetime", "1000"}, {"born_count", "0.5"}});
    run(4, 0.05f);
    EXPECT_EQ(4u, vell.particles.size()) << "delay 0: a burst every update, of one particle";

    nE_PartSysImpl_Vell twoPointSeven;
    twoPointSeven.load(writeParticleFile(folder, "b", {{"lifetime", "1000"}, {"born_count", "2.7"}}));
    twoPointSeven.update(0.05f);
    EXPECT_EQ(2u, twoPointSeven.particles.size());
}

TEST_F(VellTest, AutoOffCountsBurstsAndZeroOrAbsentNeverStops) {
    for (const auto& [value, bursts] : std::vector<std::pair<std::string, size_t>>{{"1", 1}, {"3", 3}}) {
        nE_PartSysImpl_Vell v;
        v.load(writeParticleFile(folder, "a" + value,
                                 {{"lifetime", "1000"}, {"born_count", "2"}, {"autooff", value}}));
        for (int i = 0; i < 10; ++i) v.update(0.05f);
        EXPECT_EQ(2 * bursts, v.particles.size()) << "autooff " << value;
        EXPECT_FALSE(v.emitting) << "autooff " << value;
    }
    for (const std::string value : {"0", ""}) {
        Attributes a = {{"lifetime", "1000"}, {"born_count", "2"}};
        if (!value.empty()) a["autooff"] = value;
        nE_PartSysImpl_Vell v;
        v.load(writeParticleFile(folder, "never" + value, a));
        for (int i = 0; i < 10; ++i) v.update(0.05f);
        EXPECT_EQ(20u, v.particles.size()) << "autooff '" << value << "'";
        EXPECT_TRUE(v.emitting);
    }
}

TEST_F(VellTest, RunningOutOfBurstsLetsLiveParticlesFinish) {
    load(steady({{"lifetime", "6"}, {"autooff", "1"}, {"speed_x", "1"}}));
    vell.update(0.017f);
    ASSERT_EQ(1u, vell.particles.size());
    EXPECT_FALSE(vell.emitting);
    vell.update(0.017f);
    EXPECT_NEAR(2 * 0.017f * 60, only().x, 1e-4) << "still moving after emission ended";
    run(3, 0.017f);
    EXPECT_EQ(1u, vell.particles.size());
    run(2, 0.017f);
    EXPECT_TRUE(vell.particles.empty()) << "gone after its 0.102 s";
}

TEST_F(VellTest, LifetimeOf60FramesLasts102Seconds) {
    load({{"lifetime", "60"}, {"autooff", "1"}});
    run(10, 0.1f);
    ASSERT_EQ(1u, vell.particles.size());
    EXPECT_NEAR(1.0f, only().age, 1e-5);
    vell.update(0.1f);
    EXPECT_TRUE(vell.particles.empty()) << "age 1.1 is past 1.02";
}

TEST_F(VellTest, WarmUpStepsPopulateTheSystemAtStart) {
    load(steady({{"lifetime", "100"}, {"preproc", "30"}, {"speed_x", "1"}}));
    ASSERT_EQ(30u, vell.particles.size()) << "30 steps of 0.017 s, a burst each";
    EXPECT_NEAR(30 * 0.017f, vell.particles.front().age, 1e-4);
    EXPECT_NEAR(30 * 0.017f * 60, vell.particles.front().x, 1e-3);
    EXPECT_NEAR(0.017f, vell.particles.back().age, 1e-6);
}

TEST_F(VellTest, RatesAndFactorsAtKnownTimes) {
    const float dt = 1.0f / 60;
    load({{"lifetime", "1000"},       {"autooff", "1"},         {"speed_x", "1"},         {"speed_xf", "0.5"},
          {"speed_y", "0"},           {"speed_yf", "1"},        {"grav", "0.5"},          {"gravf", "1"},
          {"scale_x", "1"},           {"scale_y", "3"},         {"scale_x_speed", "0.6"}, {"scale_xf", "1"},
          {"scale_mode", "1"},        {"rotate", "90"},         {"rotate_speed", "1"},    {"rotatef", "1"},
          {"grotatef", "1"},          {"alpha", "0.5"},         {"alpha_speed", "0.1"},   {"color_r", "255"},
          {"color_r_speed", "-25.5"}, {"color_g_speed", "-10"}, {"color_b", "127.5"}});
    run(3, dt);
    const auto& q = only();
    EXPECT_NEAR(1 + 0.5f + 0.25f, q.x, 1e-4) << "speed halves every 1/60 s";
    EXPECT_NEAR(1.5f, q.y, 1e-4) << "gravity 30 px/s";
    EXPECT_NEAR(2.8f, q.scaleX, 1e-4);
    EXPECT_NEAR(2.8f, q.scaleY, 1e-4) << "scale mode 1: y copies x, speed included";
    EXPECT_NEAR(93 * kDeg, q.rotate, 1e-5);
    EXPECT_NEAR(q.rotate, q.angle, 1e-6);
    EXPECT_NEAR(0.8f, q.alpha, 1e-4);
    EXPECT_NEAR(0.7f, q.red, 1e-4);
    EXPECT_EQ(0, q.green) << "held at 0";
    EXPECT_NEAR(0.5f, q.blue, 1e-4);
    run(3, dt);
    EXPECT_EQ(1, vell.particles.front().alpha) << "held at 1";
}

TEST_F(VellTest, AlphaPeakRisesToTheStartValueThenFallsToZero) {
    // Lifetime 1.7 s, peak at half of it. Alpha is computed from the age before each step's dt.
    load({{"lifetime", "100"}, {"alpha_peak", "50"}, {"alpha", "1"}, {"autooff", "1"}});
    const float dt = 0.05f;
    const std::vector<std::pair<int, float>> expected = {
        {1, 0}, {9, 0.4f / 0.85f}, {18, 1}, {26, 1 - 0.4f / 0.85f}, {34, 1 - 0.8f / 0.85f}};
    int done = 0;
    for (const auto& [step, alpha] : expected) {
        run(step - done, dt);
        done = step;
        EXPECT_NEAR(alpha, only().alpha, 1e-4) << "after update " << step;
    }
    vell.update(dt);
    EXPECT_TRUE(vell.particles.empty()) << "dies at 1.7 s";
}

TEST_F(VellTest, FadeModesReachTheirEndAtTheEndOfLife) {
    load({{"lifetime", "100"}, {"alpha", "0.8"}, {"alpha_mode", "1"}, {"autooff", "1"}});
    run(17, 0.05f);
    EXPECT_NEAR(0.8f * (1 - 0.85f / 1.7f), only().alpha, 1e-4) << "fade out: half way at half the life";

    nE_PartSysImpl_Vell in;
    in.load(writeParticleFile(
        folder, "in", {{"lifetime", "100"}, {"alpha", "0.2"}, {"alpha_mode", "2"}, {"autooff", "1"}}));
    for (int i = 0; i < 17; ++i) in.update(0.05f);
    ASSERT_EQ(1u, in.particles.size());
    EXPECT_NEAR(0.2f + 0.8f * 0.5f, in.particles.front().alpha, 1e-4) << "fade in";
}

TEST_F(VellTest, DirectionFlagMovesAlongTheDirectionOnly) {
    load(steady({{"gflag", "1"},
                 {"grotate", "0"},
                 {"speed_x", "5"},
                 {"speed_y", "2"},
                 {"lifetime", "1000"},
                 {"autooff", "1"}}));
    run(4, 0.05f);
    EXPECT_EQ(0, only().x) << "sin 0 = 0 whatever speed_x";
    EXPECT_NEAR(4 * 0.05f * 120, only().y, 1e-3);
}

TEST_F(VellTest, CourseTurnsTheDrawnAngleWithTheDirection) {
    load(steady(
        {{"course", "1"}, {"grotate", "90"}, {"rotate", "10"}, {"lifetime", "1000"}, {"autooff", "1"}}));
    vell.update(0.05f);
    EXPECT_NEAR(10 * kDeg - (3.14f - 90 * kDeg), only().angle, 1e-5);
}

TEST_F(VellTest, SpreadStaysInItsRangeAndRepeatsWithTheSeed) {
    const Attributes a = {{"lifetime", "100"},   {"lifetime_delta", "20"}, {"pos_x", "50"},
                          {"pos_x_delta", "10"}, {"born_count", "200"},    {"autooff", "1"}};
    std::srand(99);
    load(a);
    vell.update(0.0f);
    ASSERT_EQ(200u, vell.particles.size());
    int left = 0;
    for (const auto& q : vell.particles) {
        EXPECT_GE(q.x, 40);
        EXPECT_LT(q.x, 60);
        EXPECT_GE(q.lifetime, 80 * 0.017f - 1e-5f);
        EXPECT_LT(q.lifetime, 120 * 0.017f);
        left += q.x < 50;
    }
    EXPECT_GT(left, 50) << "both halves of the range are used";
    EXPECT_LT(left, 150);

    std::srand(99);
    nE_PartSysImpl_Vell again;
    again.load(writeParticleFile(folder, "again", a));
    again.update(0.0f);
    ASSERT_EQ(200u, again.particles.size());
    for (size_t i = 0; i < 200; ++i) {
        EXPECT_EQ(vell.particles[i].x, again.particles[i].x);
        EXPECT_EQ(vell.particles[i].lifetime, again.particles[i].lifetime);
    }
}

TEST_F(VellTest, StopStartAndPause) {
    load(steady({{"lifetime", "1000"}, {"speed_x", "1"}}));
    run(3, 0.05f);
    ASSERT_EQ(3u, vell.particles.size());

    vell.setEmitting(false);
    run(2, 0.05f);
    EXPECT_EQ(3u, vell.particles.size()) << "paused: no births";
    EXPECT_NEAR(5 * 0.05f * 60, vell.particles.front().x, 1e-3) << "but live particles move";
    vell.setEmitting(true);
    vell.update(0.05f);
    EXPECT_EQ(4u, vell.particles.size());

    vell.stop(false);
    run(2, 0.05f);
    EXPECT_EQ(4u, vell.particles.size()) << "stopped without clearing";
    vell.stop(true);
    EXPECT_EQ(4u, vell.particles.size()) << "stopping a stopped system keeps its particles";

    vell.start();
    EXPECT_TRUE(vell.particles.empty()) << "start begins afresh";
    vell.update(0.05f);
    EXPECT_EQ(1u, vell.particles.size());
    vell.start();
    EXPECT_EQ(1u, vell.particles.size()) << "start while emitting does nothing";
    vell.stop(true);
    EXPECT_TRUE(vell.particles.empty());
}

TEST_F(VellTest, HugeBurstsAndWarmUpsAreCapped) {
    load({{"preproc", "2000000000"}});
    EXPECT_EQ(nE_PartSysImpl_Vell::kMaxPreproc, vell.params.preproc);

    nE_PartSysImpl_Vell huge;
    huge.load(writeParticleFile(folder, "huge", {{"lifetime", "1000"}, {"born_count", "1e12"}}));
    huge.update(0.05f);
    huge.update(0.05f);
    EXPECT_EQ(static_cast<size_t>(nE_PartSysImpl_Vell::kMaxParticles), huge.particles.size());
}

// --- drawing ---

class VellDrawTest : public VellTest {
protected:
    void SetUp() override {
        VellTest::SetUp();
        load({});
        vell.stop(true);
        // An 8 x 4 image, centred: corners at (-4, -2) and (4, 2).
        auto texture = std::make_shared<nE_Texture>();
        texture->width = texture->sourceWidth = 8;
        texture->height = texture->sourceHeight = 4;
        vell.texture = texture;
    }
    nE_PartSysImpl_Vell::Particle particle(float x, float y) {
        nE_PartSysImpl_Vell::Particle q;
        q.x = x;
        q.y = y;
        q.scaleX = q.scaleY = 1;
        q.alpha = q.red = q.green = q.blue = 1;
        return q;
    }
    VertexRecorder renderer;
};

TEST_F(VellDrawTest, TwoHundredParticlesGoOutInBatchesOf128And72) {
    for (int i = 0; i < 200; ++i) vell.particles.push_back(particle(float(i), 0));
    nE_RenderState world;
    world.blendMode = 2;
    world.computeMatrix();
    vell.draw(&renderer, world);
    ASSERT_EQ(2u, renderer.batches.size());
    EXPECT_EQ(768u, renderer.batches[0].vertices.size());
    EXPECT_EQ(432u, renderer.batches[1].vertices.size());
    for (const auto& b : renderer.batches) {
        EXPECT_TRUE(b.absolute);
        EXPECT_EQ(2, b.state.blendMode) << "the owner's blend mode";
        EXPECT_EQ(vell.texture, b.texture);
    }
    // Particle 130 is the third quad of the second batch: its top-left corner.
    EXPECT_FLOAT_EQ(130 - 4, renderer.batches[1].vertices[12].x);
}

TEST_F(VellDrawTest, QuadCornersColourAndTextureCoordinates) {
    auto q = particle(10, 20);
    q.scaleX = 2;
    q.scaleY = 3;
    q.red = 0.5f;
    q.alpha = 0.8f;
    vell.particles.push_back(q);
    nE_RenderState world;
    world.x = 100;
    world.y = 50;
    world.alpha = 0.5f;
    world.green = 0.25f;
    world.tilingX = 2;
    world.computeMatrix();
    vell.draw(&renderer, world);
    ASSERT_EQ(1u, renderer.batches.size());
    const auto& v = renderer.batches[0].vertices;
    ASSERT_EQ(6u, v.size());
    // Top-left, top-right, bottom-left, then top-right, bottom-left, bottom-right.
    const float xs[6] = {102, 118, 102, 118, 102, 118}, ys[6] = {64, 64, 76, 64, 76, 76};
    const float us[6] = {0, 2, 0, 2, 0, 2}, vs[6] = {0, 0, 1, 0, 1, 1};
    for (int i = 0; i < 6; ++i) {
        EXPECT_FLOAT_EQ(xs[i], v[i].x) << i;
        EXPECT_FLOAT_EQ(ys[i], v[i].y) << i;
        EXPECT_FLOAT_EQ(us[i], v[i].u) << i;
        EXPECT_FLOAT_EQ(vs[i], v[i].v) << i;
        EXPECT_FLOAT_EQ(0.5f, v[i].r);
        EXPECT_FLOAT_EQ(0.25f, v[i].g);
        EXPECT_FLOAT_EQ(1, v[i].b);
        EXPECT_FLOAT_EQ(0.4f, v[i].a);
    }
}

TEST_F(VellDrawTest, RotatedScaledParticlesUnderATurnedOwnerMatchTheMatrixProduct) {
    auto q = particle(7, -3);
    q.angle = 0.7f;
    q.scaleX = 1.5f;
    q.scaleY = 0.5f;
    vell.particles.push_back(q);
    nE_RenderState world;
    world.x = 300;
    world.y = 200;
    world.angle = -0.4f;
    world.scaleX = 2;
    world.scaleY = 1.25f;
    world.computeMatrix();
    vell.draw(&renderer, world);
    ASSERT_EQ(1u, renderer.batches.size());

    nE_RenderState own;
    own.x = q.x;
    own.y = q.y;
    own.angle = q.angle;
    own.scaleX = q.scaleX;
    own.scaleY = q.scaleY;
    const pf::TMat4 m = own.transform() * world.matrix;
    const float cx[4] = {-4, 4, -4, 4}, cy[4] = {-2, -2, 2, 2};
    const int corner[6] = {0, 1, 2, 1, 2, 3};
    for (int i = 0; i < 6; ++i) {
        const pf::TVec2 want = m.Apply(cx[corner[i]], cy[corner[i]]);
        EXPECT_NEAR(want.x, renderer.batches[0].vertices[i].x, 1e-3) << i;
        EXPECT_NEAR(want.y, renderer.batches[0].vertices[i].y, 1e-3) << i;
    }
}

TEST_F(VellDrawTest, NothingWithoutTextureOrParticles) {
    nE_RenderState world;
    vell.draw(&renderer, world);
    vell.particles.push_back(particle(0, 0));
    vell.texture.reset();
    vell.draw(&renderer, world);
    EXPECT_TRUE(renderer.batches.empty());
}

// --- masks ---

class VellMaskTest : public VellTest {
protected:
    void SetUp() override {
        VellTest::SetUp();
        // 16 x 16, opaque only in the 4 x 4 block of pixels 12..15, 0..3 (top right).
        mask =
            std::make_unique<MaskObject>(maskTexture(16, 16, [](int x, int y) { return x >= 12 && y <= 3; }));
        mask->editLocalState()->x = 200;
        mask->editLocalState()->y = 100;
    }
    void emitThroughMask(int count) {
        load({{"lifetime", "1000"}, {"born_count", std::to_string(count)}, {"autooff", "1"}});
        vell.stop(true);
        vell.setMaskObject(mask.get());
        vell.start();
        vell.update(0);
    }
    std::unique_ptr<MaskObject> mask;
};

TEST_F(VellMaskTest, BirthsLandOnlyOnOpaquePixels) {
    emitThroughMask(500);
    ASSERT_EQ(500u, vell.particles.size());
    std::set<std::pair<int, int>> pixels;
    for (const auto& q : vell.particles) {
        // Mask pixel (px, py) sits at (px - 8, py - 8) from the mask's position.
        const int px = int(q.x) - 200 + 8, py = int(q.y) - 100 + 8;
        EXPECT_TRUE(px >= 12 && px <= 15 && py >= 0 && py <= 3) << q.x << ", " << q.y;
        pixels.insert({px, py});
    }
    EXPECT_EQ(16u, pixels.size()) << "every opaque pixel gets used";
}

TEST_F(VellMaskTest, PointsFollowTheMaskTransformAndLandOnItWhereverTheOwnerStands) {
    mask->editLocalState()->scaleX = 2;
    mask->editLocalState()->scaleY = 2;
    owner.editLocalState()->x = 50;
    owner.editLocalState()->y = 30;
    owner.editLocalState()->scaleX = 0.5f;
    owner.editLocalState()->scaleY = 0.5f;
    emitThroughMask(200);
    nE_RenderState ownerWorld = owner.worldStateFromTop();
    for (const auto& q : vell.particles) {
        const pf::TVec2 drawn = ownerWorld.transform().Apply(q.x, q.y);
        // The scaled mask's opaque block spans x 200 + (4..8) * 2, y 100 + (-8..-4) * 2.
        EXPECT_GE(drawn.x, 208 - 1e-3);
        EXPECT_LT(drawn.x, 216);
        EXPECT_GE(drawn.y, 84 - 1e-3);
        EXPECT_LT(drawn.y, 92);
    }
}

TEST_F(VellMaskTest, AMaskWithoutOpaquePixelsEndsAtItsCentre) {
    mask->texture = maskTexture(16, 16, [](int, int) { return false; });
    emitThroughMask(3);
    ASSERT_EQ(3u, vell.particles.size());
    for (const auto& q : vell.particles) {
        EXPECT_FLOAT_EQ(200, q.x);
        EXPECT_FLOAT_EQ(100, q.y);
    }
    // An object without a texture gives its position too.
    mask->texture.reset();
    emitThroughMask(1);
    EXPECT_FLOAT_EQ(200, only().x);
}

TEST_F(VellMaskTest, ADestroyedMaskIsForgottenNotTouched) {
    nE_Scene& scene = nE_Core::get()->scene();
    auto* live = new MaskObject(maskTexture(16, 16, [](int, int) { return true; }));
    live->name = "mask";
    live->editLocalState()->x = 300;
    scene.attach(scene.root(), live);
    vell.setMaskObject(live);
    load({{"lifetime", "1000"}, {"autooff", "2"}, {"delay", "1"}});
    vell.update(0);
    ASSERT_EQ(1u, vell.particles.size());
    EXPECT_NEAR(300, vell.particles[0].x, 8);

    delete live;
    vell.update(0.05f);
    EXPECT_EQ(nullptr, vell.maskObject);
    ASSERT_EQ(2u, vell.particles.size());
    EXPECT_EQ(0, vell.particles[1].x) << "no mask: the emitter's own point";
    nE_Core::destroy();
}

}  // namespace

namespace {

// A file asking for thousands of warm-up frames of a full emitter stops at the work budget.
TEST_F(VellTest, TheWarmUpStopsAtItsWorkBudget) {
    script_test::DebugLines debug;
    owner.resourceName = "effects/storm";
    load(steady({{"lifetime", "100000"}, {"born_count", "100000"}, {"preproc", "10000"}}));
    ASSERT_FALSE(vell.particles.empty());
    EXPECT_LT(vell.particles.front().age, 1.f) << "far fewer than the 10000 frames asked for";
    ASSERT_EQ(1u, debug.lines.size());
    EXPECT_EQ(0u,
              debug.lines[0].rfind("nE_PartSysImpl_Vell: the warm-up of \"effects/storm\" stopped after ", 0))
        << debug.lines[0];

    // A light warm-up runs in full.
    nE_PartSysImpl_Vell light;
    light.owner = &owner;
    light.load(writeParticleFile(
        folder, "light",
        steady({{"lifetime", "100000"}, {"born_count", "1"}, {"delay", "100000"}, {"preproc", "100"}})));
    ASSERT_EQ(1u, light.particles.size());
    EXPECT_NEAR(100 * nE_PartSysImpl_Vell::kFrame, light.particles.front().age, 1e-3);
    EXPECT_EQ(1u, debug.lines.size());
}

}  // namespace
