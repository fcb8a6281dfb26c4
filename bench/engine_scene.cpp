// The engine's CPU work per frame in a hidden-object room, on the recording stand-in of pf: the
// pointer-move hit test, the trigger queue, the timers, the update walk and the draw walk through
// the engine's renderer. The room: a backdrop and 199 sprites of mixed sizes (some turned, some with
// relative animation lines), 20 text objects, 4 particle systems with 2,000 live particles in all,
// 2 animated sprites, 10 running timers and 30 trigger calls queued every frame.
#include <benchmark/benchmark.h>

#include "bench/BenchScene.h"
#include "engine/core/nE_Object.h"
#include "engine/objects/nE_PartSysImpl_Vell.h"

namespace {

size_t liveParticles(nE_Scene& scene) {
    size_t n = 0;
    for (int i = 0; i < 4; ++i) {
        auto* system = dynamic_cast<nE_ParticleSystem*>(scene.findObject("fx" + std::to_string(i)));
        if (!system) continue;
        if (auto* vell = dynamic_cast<nE_PartSysImpl_Vell*>(system->implementation()))
            n += vell->particles.size();
    }
    return n;
}

void BM_HiddenObjectFrame(benchmark::State& state) {
    bench::HiddenObjectScene room;
    const int calls = static_cast<int>(state.range(0));
    for (int i = 0; i < 10; ++i) room.frame(calls);
    for (auto _ : state) room.frame(calls);
    state.counters["particles"] = static_cast<double>(liveParticles(room.scene()));
    state.counters["timers"] = static_cast<double>(nE_Core::get()->timerHub().timers().size());
    state.counters["draws"] = pf::testing::Recorder().GetStats().submissions;
}
BENCHMARK(BM_HiddenObjectFrame)->ArgName("calls")->Arg(30)->Unit(benchmark::kMicrosecond);

// The parts of the frame on their own.
void BM_HiddenObjectParts(benchmark::State& state) {
    bench::HiddenObjectScene room;
    for (int i = 0; i < 10; ++i) room.frame(30);
    nE_Core* core = nE_Core::get();
    const int part = static_cast<int>(state.range(0));
    for (auto _ : state) {
        switch (part) {
            case 0:
                room.queueEvents(30);
                core->triggerHub().runQueue();
                break;
            case 1:
                core->timerHub().update(bench::HiddenObjectScene::kStep);
                break;
            case 2:
                room.scene().update(bench::HiddenObjectScene::kStep);
                break;
            case 3:
                room.renderer.beginFrame();
                room.renderer.clear();
                room.renderer.begin2d();
                room.scene().draw(&room.renderer);
                room.renderer.end2d();
                room.renderer.endFrame();
                break;
            default:
                room.pointerMove();
                core->triggerHub().runQueue();
                break;
        }
    }
    static const char* const kNames[] = {"30 trigger calls", "10 timers", "update walk", "draw walk",
                                         "pointer move"};
    state.SetLabel(kNames[part < 4 ? part : 4]);
}
BENCHMARK(BM_HiddenObjectParts)->ArgName("part")->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

// Hit testing a pointer that crosses the room: every object under it is tested topmost first,
// sprites against their alpha masks; entering and leaving queue their triggers.
void BM_HitTestPointerMove(benchmark::State& state) {
    bench::HiddenObjectScene room;
    for (int i = 0; i < 10; ++i) room.frame(0);
    nE_TriggerHub& hub = nE_Core::get()->triggerHub();
    int step = 0;
    for (auto _ : state) {
        nE_InputEvent move;
        move.type = nE_InputEvent::kPointerMove;
        move.x = static_cast<float>((step * 37) % 1024);
        move.y = static_cast<float>((step * 23) % 768);
        room.scene().dispatch(move);
        ++step;
        if (hub.queue().size() > 1000) {
            state.PauseTiming();
            hub.runQueue();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_HitTestPointerMove)->Unit(benchmark::kMicrosecond);

}  // namespace
