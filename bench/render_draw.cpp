// Frames of 10,000 drawTexture calls through the engine's renderer on OpenGL, headless: the cost of
// the engine's per-draw work (render state matrix, texture lookup, clip, vertex fill) plus pf's
// batching and the GPU work of a software rasteriser.
#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "engine/media/platform/nE_GeneratedTexture_Pl5.h"
#include "engine/media/platform/nE_Render_Pl5.h"
#include "pflib/TPlatform.h"
#include "pflib/TRenderer.h"

namespace {

constexpr int kDraws = 10000;
constexpr int kWidth = 1024, kHeight = 768;
constexpr int kSide = 32;

bool prepare() {
    static const bool ready = [] {
        pf::TRunOptions options;
        options.headless = true;
        pf::TPlatform::SetRunOptions(options);
        return pf::TPlatform::SetDisplay(kWidth, kHeight, false, false, 0);
    }();
    return ready;
}

std::shared_ptr<nE_Texture> sprite(int seed) {
    std::vector<uint8_t> px(kSide * kSide * 4);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            uint8_t* p = &px[(y * kSide + x) * 4];
            p[0] = static_cast<uint8_t>(seed * 16);
            p[1] = static_cast<uint8_t>(x * 8);
            p[2] = static_cast<uint8_t>(y * 8);
            p[3] = (x - 16) * (x - 16) + (y - 16) * (y - 16) < 256 ? 255 : 0;
        }
    auto t = std::make_shared<nE_GeneratedTexture_Pl5>();
    t->createFromBytes(px.data(), kSide, kSide, nE_GeneratedTexture::kRgbaBytes);
    return t;
}

// Arg 0: textures the draws cycle through (1: every draw shares one texture; 16: each draw
// changes texture, the worst case for batching). Arg 1: 1 waits for the GPU each frame.
void BM_DrawTexture(benchmark::State& state) {
    if (!prepare()) {
        state.SkipWithError("no headless OpenGL display");
        return;
    }
    nE_Render_Pl5 renderer;
    renderer.init(kWidth, kHeight);
    renderer.createSolidTextures();
    std::vector<std::shared_ptr<nE_Texture>> textures;
    for (int i = 0; i < state.range(0); ++i) textures.push_back(sprite(i));
    const bool finish = state.range(1) != 0;

    std::vector<nE_RenderState> states(kDraws);
    for (int i = 0; i < kDraws; ++i) {
        states[i].x = static_cast<float>((i * 37) % kWidth);
        states[i].y = static_cast<float>((i * 53) % kHeight);
        states[i].angle = static_cast<float>(i % 7) * 0.1f;
        states[i].alpha = 0.8f;
    }
    pf::TRenderer* platform = pf::TRenderer::GetInstance();
    pf::TRenderStats stats;
    double loopSeconds = 0;
    auto frame = [&] {
        renderer.beginFrame();
        renderer.clear();
        renderer.begin2d();
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kDraws; ++i) {
            // Objects recompute their world state every frame, so the matrix is not cached.
            states[i].matrixValid = false;
            renderer.drawTexture(textures[i % textures.size()], states[i]);
        }
        loopSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        renderer.end2d();
        stats = platform->GetStats();
        renderer.endFrame();
        if (finish) platform->Finish();
    };
    // The first frames upload the textures and compile the rasteriser's shaders.
    for (int i = 0; i < 2; ++i) frame();
    platform->Finish();
    loopSeconds = 0;
    for (auto _ : state) frame();
    state.counters["gl_draw_calls"] = stats.drawCalls;
    // The 10,000 calls alone, until pf hands its batches to GL at the end of the 2-D bracket.
    state.counters["draw_loop_ms"] = 1000 * loopSeconds / double(state.iterations());
    state.counters["draws_per_s"] =
        benchmark::Counter(double(kDraws) * state.iterations(), benchmark::Counter::kIsRate);
    renderer.shutdown();
}

BENCHMARK(BM_DrawTexture)
    ->ArgNames({"textures", "gpu_wait"})
    ->Args({1, 0})
    ->Args({16, 0})
    ->Args({1, 1})
    ->Args({16, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
