// One update walk and one draw walk over 10,000 plain objects, the per-frame cost of a large scene.
#include <benchmark/benchmark.h>

#include "engine/core/nE_Object.h"
#include "engine/core/nE_Scene.h"
#include "engine/media/nE_Render.h"

namespace {

// Draws nothing: only the walk itself is measured.
class NullRender : public nE_Render {};

void buildScene(nE_Scene& scene, int count, bool nested) {
    nE_Object* group = nullptr;
    for (int i = 0; i < count; ++i) {
        if (nested && i % 100 == 0) {
            group = new nE_Object();
            group->editLocalState()->x = static_cast<float>(i % 1000);
            scene.attach(scene.root(), group);
        }
        auto* object = new nE_Object();
        object->editLocalState()->x = static_cast<float>(i % 1024);
        object->editLocalState()->y = static_cast<float>(i / 1024);
        object->editLocalState()->z = static_cast<float>(i % 7);
        object->editLocalState()->angle = 0.1f * static_cast<float>(i % 5);
        scene.attach(nested ? group : scene.root(), object);
    }
}

void BM_SceneUpdateAndDraw(benchmark::State& state) {
    nE_Scene scene;
    buildScene(scene, static_cast<int>(state.range(0)), state.range(1) != 0);
    NullRender render;
    for (auto _ : state) {
        scene.update(1.f / 60.f);
        scene.draw(&render);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_SceneUpdateAndDraw)->Args({10000, 0})->Args({10000, 1})->Unit(benchmark::kMicrosecond);
