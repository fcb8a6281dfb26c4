// The scripted particle systems and the atmospheric rain on OpenGL, headless, next to the file-driven
// particles of render_particles.cpp: ten scripted systems of 2,000 live particles each (20,000 in all,
// every particle moved by its Lua code each update) and a full-screen rain (1024 × 768, the window
// rain's settings at a density for a whole scene). Each is timed for the CPU part of a frame (the
// update; for the rain also the projection) and for a whole frame of update and drawing.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/media/platform/nE_GeneratedTexture_Pl5.h"
#include "engine/media/platform/nE_Render_Pl5.h"
#include "engine/objects/AtGlobalForces.h"
#include "engine/objects/nE_AtEffect.h"
#include "engine/objects/nE_PartSysImpl_Complex.h"
#include "engine/objects/nE_ParticleSystem.h"
#include "pflib/TPlatform.h"
#include "pflib/TRenderer.h"

namespace {

constexpr int kSystems = 10;
constexpr int kWidth = 1024, kHeight = 768;
constexpr float kStep = 1.0f / 60;

bool prepare() {
    static const bool ready = [] {
        pf::TRunOptions options;
        options.headless = true;
        pf::TPlatform::SetRunOptions(options);
        return pf::TPlatform::SetDisplay(kWidth, kHeight, false, false, 0);
    }();
    return ready;
}

std::shared_ptr<nE_Texture> texture(int w, int h, bool streak) {
    std::vector<uint8_t> px(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &px[(static_cast<size_t>(y) * w + x) * 4];
            p[0] = p[1] = p[2] = 255;
            const float dx = (x - w / 2.0f) / (w / 2.0f), dy = (y - h / 2.0f) / (h / 2.0f);
            const float a = streak ? (1 - dx * dx) * y / h : 1 - (dx * dx + dy * dy);
            p[3] = static_cast<uint8_t>(a > 0 ? a * 255 : 0);
        }
    auto t = std::make_shared<nE_GeneratedTexture_Pl5>();
    t->createFromBytes(px.data(), w, h, nE_GeneratedTexture::kRgbaBytes);
    return t;
}

// 2,000 births a second living one second: a steady 2,000 particles, each moved by its code along its
// own velocity, fading and shrinking through channels. Half the systems add their light.
std::string writeScriptedEffect(int index) {
    const std::string path = "/tmp/halvern_bench_scripted_" + std::to_string(index);
    if (FILE* f = std::fopen((path + ".xml").c_str(), "wb")) {
        std::fprintf(
            f,
            "<!-- Blend: %d --><particles><emit><spark res=\"\"><bornpart>DieAfter(1) "
            "SetProperty('vx', Random(-40, 40)) SetProperty('vy', Random(-90, -50)) "
            "SetProperty(ne_angle, Random(0, 6.28)) Animate(ne_alpha, {0, 0.8, 100, 0}) "
            "Animate(ne_scale_x, {0, 0.8, 100, 0.3}) Animate(ne_scale_y, {0, 0.8, 100, 0.3})"
            "</bornpart><processpart>SetProperty(ne_pos_x, GetProperty(ne_pos_x) + GetProperty('vx') * "
            "ps_dt) SetProperty(ne_pos_y, GetProperty(ne_pos_y) + GetProperty('vy') * ps_dt)"
            "</processpart><process>CreateParticles(ps_dt * 2000)</process></spark></emit>"
            "<process>if ps_state == 0 then CreateEmitter('spark', 0, 0) ps_state = 1 end</process>"
            "</particles>",
            index % 2 ? 2 : 0);
        std::fclose(f);
    }
    return path;
}

struct Scripted {
    std::vector<std::unique_ptr<nE_ParticleSystem>> systems;
    std::shared_ptr<nE_Texture> blob = texture(16, 16, false);

    Scripted() {
        std::srand(3);
        for (int i = 0; i < kSystems; ++i) {
            auto system = std::make_unique<nE_ParticleSystem>();
            system->editLocalState()->x = 100.0f + 90 * i;
            system->editLocalState()->y = 500.0f + 20 * (i % 3);
            system->setResourceName(writeScriptedEffect(i));
            if (auto* impl = dynamic_cast<nE_PartSysImpl_Complex*>(system->implementation()))
                if (!impl->emitterTypes.empty()) impl->emitterTypes[0].texture = blob;
            systems.push_back(std::move(system));
        }
        for (int i = 0; i < 70; ++i) update();
    }
    // The CPU part of a frame.
    void cpu() { update(); }
    size_t live() const {
        size_t n = 0;
        for (const auto& s : systems)
            if (auto* impl = dynamic_cast<nE_PartSysImpl_Complex*>(s->implementation()))
                n += impl->particles.size();
        return n;
    }
    void update() {
        for (auto& s : systems) s->update(kStep);
    }
    void draw(nE_Render_Pl5& renderer) {
        for (auto& s : systems) s->drawWalk(&renderer, nullptr);
    }
};

// The window rain's settings over the whole canvas, warmed up to its steady state.
struct Rain {
    nE_AtEffect effect;

    Rain() {
        std::srand(3);
        AtGlobalForces::get().reset();
        AtGlobalForces::get().wind = AtVec3(1, 0, 0);
        effect.editLocalState()->x = kWidth / 2.0f;
        effect.editLocalState()->y = kHeight / 2.0f;
        effect.scrClipWidth = kWidth;
        effect.scrClipHeight = kHeight;
        effect.system.invMass = 0.05f;
        effect.system.density = 4;
        effect.system.deviation = 0.015f;
        effect.particleScale = 2.5f;
        effect.texture = texture(8, 64, true);
        for (int i = 0; i < 600; ++i) {
            update();
            effect.system.project(effect.camera, effect.particleScale);
        }
    }
    // The CPU part of a frame: the simulation and the projection drawing starts with.
    void cpu() {
        update();
        effect.system.project(effect.camera, effect.particleScale);
    }
    size_t live() const { return effect.system.particles.size(); }
    void update() { effect.update(kStep); }
    void draw(nE_Render_Pl5& renderer) { effect.drawWalk(&renderer, nullptr); }
};

template <class Scene>
void updateOnly(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) scene.cpu();
    state.counters["live"] = double(scene.live());
}

// Arg: 1 waits for the GPU each frame (the whole frame's cost on the software rasteriser).
template <class Scene>
void updateAndDraw(benchmark::State& state) {
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
    for (int i = 0; i < 2; ++i) frame();
    platform->Finish();
    for (auto _ : state) frame();
    state.counters["live"] = double(scene.live());
    state.counters["gl_draw_calls"] = stats.drawCalls;
    renderer.shutdown();
}

void BM_ScriptedParticleUpdate(benchmark::State& state) {
    updateOnly<Scripted>(state);
}
void BM_ScriptedParticleUpdateAndDraw(benchmark::State& state) {
    updateAndDraw<Scripted>(state);
}
void BM_RainUpdate(benchmark::State& state) {
    updateOnly<Rain>(state);
}
void BM_RainUpdateAndDraw(benchmark::State& state) {
    updateAndDraw<Rain>(state);
}

BENCHMARK(BM_ScriptedParticleUpdate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScriptedParticleUpdateAndDraw)
    ->ArgNames({"gpu_wait"})
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_RainUpdate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RainUpdateAndDraw)
    ->ArgNames({"gpu_wait"})
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
