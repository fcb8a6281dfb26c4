// 10,000 plain sprites, updated and drawn through the engine's renderer on the recording stand-in of
// pf: the engine's per-sprite cost (walks, world states, texture lookup, clip, vertex fill) with the
// sprites sharing one texture or cycling through 16.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/BenchScene.h"
#include "engine/core/nE_Object.h"
#include "pflib/TTexture.h"

namespace {

constexpr int kSprites = 10000;

// 32 x 32 discs, one colour per index.
std::string writeImage(int index) {
    const std::string name = bench::scratch() + "/disc" + std::to_string(index);
    std::vector<uint8_t> px(32 * 32 * 4);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            uint8_t* p = &px[(y * 32 + x) * 4];
            p[0] = static_cast<uint8_t>(index * 16);
            p[1] = static_cast<uint8_t>(x * 8);
            p[2] = static_cast<uint8_t>(y * 8);
            p[3] = (x - 16) * (x - 16) + (y - 16) * (y - 16) < 256 ? 255 : 0;
        }
    pf::TTexture::WritePng(name + ".png", px.data(), 32, 32);
    return name;
}

void BM_PlainSprites(benchmark::State& state) {
    bench::startEngine();
    const int textures = static_cast<int>(state.range(0));
    std::vector<std::string> images;
    for (int i = 0; i < textures; ++i) images.push_back(writeImage(i));
    nE_Scene& scene = nE_Core::get()->scene();
    for (int i = 0; i < kSprites; ++i) {
        auto* sprite = new nE_Sprite();
        sprite->name = "s" + std::to_string(i);
        sprite->setResourceName(images[static_cast<size_t>(i % textures)]);
        sprite->editLocalState()->x = static_cast<float>(16 + (i * 37) % 992);
        sprite->editLocalState()->y = static_cast<float>(16 + (i * 53) % 736);
        sprite->editLocalState()->alpha = 0.9f;
        scene.attach(scene.root(), sprite);
    }
    nE_Render_Pl5 renderer;
    renderer.init(1024, 768);
    renderer.createSolidTextures();
    for (auto _ : state) {
        scene.update(1.f / 60.f);
        renderer.beginFrame();
        renderer.clear();
        renderer.begin2d();
        scene.draw(&renderer);
        renderer.end2d();
        renderer.endFrame();
    }
    state.counters["draws"] = pf::testing::Recorder().GetStats().submissions;
    state.SetItemsProcessed(state.iterations() * kSprites);
    renderer.shutdown();
    bench::stopEngine();
}
BENCHMARK(BM_PlainSprites)->ArgName("textures")->Arg(1)->Arg(16)->Unit(benchmark::kMicrosecond);

}  // namespace
