// Bringing in a module of 200 objects: the file read and parsed, the objects built from their
// descriptions and parked, the triggers registered, and the module's code run, which attaches the
// room to the live tree and so loads its images, fonts (text rendered) and particle effects.
#include <benchmark/benchmark.h>

#include "bench/BenchScene.h"

namespace {

void BM_BringInModule(benchmark::State& state) {
    // 1 backdrop + 173 sprites + 20 texts + 4 particle systems + 2 animated sprites.
    const std::string path = bench::scratch() + "/module200.xml";
    bench::writeFile(path, bench::hiddenObjectModule(173, 20));
    for (auto _ : state) {
        state.PauseTiming();
        bench::startEngine();
        state.ResumeTiming();
        nE_Module::bringIn(path, true);
        state.PauseTiming();
        bench::stopEngine();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BringInModule)->Unit(benchmark::kMillisecond);

}  // namespace
