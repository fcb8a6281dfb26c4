// Ten particle systems of 2,000 live particles each (20,000 in all) on OpenGL, headless: the cost of
// a frame's particle update and of drawing them through the engine's renderer, and how many draw
// calls reach OpenGL for them.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/media/platform/nE_GeneratedTexture_Pl5.h"
#include "engine/media/platform/nE_Render_Pl5.h"
#include "engine/objects/AtGlobalForces.h"
#include "engine/objects/AtParticleSystem.h"
#include "engine/objects/AtRenderer.h"
#include "engine/objects/nE_AtEffect.h"
#include "engine/objects/nE_PartSysImpl_Vell.h"
#include "engine/objects/nE_ParticleSystem.h"
#include "pflib/TPlatform.h"
#include "pflib/TRenderer.h"

namespace {

constexpr int kSystems = 10;
constexpr int kWidth = 1024, kHeight = 768;
constexpr float kStep = 0.017f;

bool prepare() {
    static const bool ready = [] {
        pf::TRunOptions options;
        options.headless = true;
        pf::TPlatform::SetRunOptions(options);
        return pf::TPlatform::SetDisplay(kWidth, kHeight, false, false, 0);
    }();
    return ready;
}

// 20 births every 0.017 s living 100 steps: a steady 2,000 particles from the warm-up on. Each
// system has its own blend mode (normal or additive), as effects in a scene would.
std::string writeEffect(int index) {
    const std::string path = "/tmp/halvern_bench_particles_" + std::to_string(index);
    if (FILE* f = std::fopen((path + ".xml").c_str(), "wb")) {
        std::fprintf(f,
                     "<particles type=\"vell\"><emit lifetime=\"100\" born_count=\"20\" preproc=\"120\" "
                     "blend=\"%d\" pos_x_delta=\"40\" pos_y_delta=\"10\" speed_x_delta=\"1\" speed_y=\"-1\" "
                     "speed_y_delta=\"0.5\" speed_xf=\"1\" speed_yf=\"1\" grav=\"0.01\" gravf=\"1\" "
                     "scale_x=\"0.8\" scale_x_delta=\"0.3\" scale_mode=\"1\" scale_x_speed=\"-0.002\" "
                     "scale_xf=\"1\" rotate_delta=\"180\" rotate_speed=\"2\" rotatef=\"1\" grotatef=\"1\" "
                     "alpha=\"0.8\" alpha_mode=\"1\" color_r=\"255\" color_g=\"180\" color_b=\"60\" "
                     "color_g_speed=\"-1\"/></particles>",
                     index % 2 ? 2 : 0);
        std::fclose(f);
    }
    return path;
}

std::shared_ptr<nE_Texture> blob() {
    constexpr int kSide = 16;
    std::vector<uint8_t> px(kSide * kSide * 4);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            uint8_t* p = &px[(y * kSide + x) * 4];
            p[0] = p[1] = p[2] = 255;
            const int d = (x - 8) * (x - 8) + (y - 8) * (y - 8);
            p[3] = d < 64 ? static_cast<uint8_t>(255 - d * 4) : 0;
        }
    auto t = std::make_shared<nE_GeneratedTexture_Pl5>();
    t->createFromBytes(px.data(), kSide, kSide, nE_GeneratedTexture::kRgbaBytes);
    return t;
}

struct Scene {
    std::vector<std::unique_ptr<nE_ParticleSystem>> systems;
    std::shared_ptr<nE_Texture> texture = blob();

    Scene() {
        std::srand(3);
        for (int i = 0; i < kSystems; ++i) {
            auto system = std::make_unique<nE_ParticleSystem>();
            system->editLocalState()->x = 100.0f + 90 * i;
            system->editLocalState()->y = 500.0f + 20 * (i % 3);
            system->setResourceName(writeEffect(i));
            if (auto* vell = dynamic_cast<nE_PartSysImpl_Vell*>(system->implementation()))
                vell->texture = texture;
            systems.push_back(std::move(system));
        }
    }
    size_t live() const {
        size_t n = 0;
        for (const auto& s : systems)
            if (auto* vell = dynamic_cast<nE_PartSysImpl_Vell*>(s->implementation()))
                n += vell->particles.size();
        return n;
    }
    void update() {
        for (auto& s : systems) s->update(kStep);
    }
    void draw(nE_Render_Pl5& renderer) {
        for (auto& s : systems) s->drawWalk(&renderer, nullptr);
    }
};

void BM_ParticleUpdate(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) scene.update();
    state.counters["live"] = double(scene.live());
}

// Arg: 1 waits for the GPU each frame (the whole frame's cost on the software rasteriser).
void BM_ParticleUpdateAndDraw(benchmark::State& state) {
    if (!prepare()) {
        state.SkipWithError("no headless OpenGL display");
        return;
    }
    nE_Render_Pl5 renderer;
    renderer.init(kWidth, kHeight);
    renderer.createSolidTextures();
    Scene scene;
    const bool finish = state.range(0) != 0;
    pf::TRenderer* platform = pf::TRenderer::GetInstance();
    pf::TRenderStats stats;
    auto frame = [&] {
        scene.update();
        renderer.beginFrame();
        renderer.clear();
        renderer.begin2d();
        scene.draw(renderer);
        renderer.end2d();
        stats = platform->GetStats();
        renderer.endFrame();
        if (finish) platform->Finish();
    };
    // The first frames upload the texture and have the rasteriser compile its shaders; frames this or
    // another benchmark left queued would be charged to the first timed frame.
    for (int i = 0; i < 2; ++i) frame();
    platform->Finish();
    for (auto _ : state) frame();
    state.counters["live"] = double(scene.live());
    // The frame's clear is one of them.
    state.counters["gl_draw_calls"] = stats.drawCalls;
    state.counters["submissions"] = stats.submissions;
    renderer.shutdown();
}

// A room's rain opening with the weather in place: the full-screen rain of the game's gate (about
// 4,000 drops once settled) given its head start, as a room switch does on the frame thread.
void BM_WeatherHeadStart(benchmark::State& state) {
    size_t drops = 0;
    for (auto _ : state) {
        AtRenderer camera;
        camera.floorClip = 2.2f;
        camera.nearZ = 1;
        camera.farZ = 10;
        camera.setup(1024, 768);
        AtParticleSystem rain;
        rain.invMass = 0.05f;
        rain.density = 6;
        rain.deviation = 0.015f;
        rain.headStart(nE_AtEffect::kMaxFastStart, nE_AtEffect::kFastStartStep, camera,
                       AtGlobalForces::get());
        drops = rain.particles.size();
    }
    state.counters["drops"] = double(drops);
}

BENCHMARK(BM_ParticleUpdate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WeatherHeadStart)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParticleUpdateAndDraw)
    ->ArgNames({"gpu_wait"})
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
