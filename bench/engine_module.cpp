// Bringing in a module of 200 objects (and of 10,000 and 100,000 plain ones): the file read and parsed, the
// objects built from their descriptions and parked, the triggers registered, and the module's code run, which
// attaches the room to the live tree and so loads its images, fonts (text rendered) and particle effects.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "bench/BenchScene.h"

namespace {

// Only the bringing in is timed: each iteration starts and stops an engine of its own.
void bringInEachIteration(benchmark::State& state, const std::string& path) {
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

void BM_BringInModule(benchmark::State& state) {
    // 1 backdrop + 173 sprites + 20 texts + 4 particle systems + 2 animated sprites.
    const std::string path = bench::scratch() + "/module200.xml";
    bench::writeFile(path, bench::hiddenObjectModule(173, 20));
    bringInEachIteration(state, path);
}
BENCHMARK(BM_BringInModule)->Unit(benchmark::kMillisecond);

// A module of N plain objects under one group (most of them in 100 sub-groups of mixed z), none of
// them shown: what grows with N is reading, building and parking them, which must stay linear.
void BM_BringInLargeModule(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string path = bench::scratch() + "/large" + std::to_string(count) + ".xml";
    std::string xml = "<module name=\"large\"/>\n<objs><obj name=\"large_module\">\n";
    char line[128];
    for (int i = 0; i < count / 2; ++i) {
        std::snprintf(line, sizeof line, "<obj name=\"flat%d\" pos_x=\"%d\" pos_z=\"%d\"/>\n", i, i % 1024,
                      i % 3);
        xml += line;
    }
    for (int group = 0; group < 100; ++group) {
        std::snprintf(line, sizeof line, "<obj name=\"group%d\" pos_z=\"%d\">\n", group, group % 7);
        xml += line;
        for (int i = 0; i < (count - count / 2) / 100; ++i) {
            std::snprintf(line, sizeof line, "<obj name=\"g%d_%d\" pos_z=\"%d\"/>\n", group, i,
                          (i * 37) % 11);
            xml += line;
        }
        xml += "</obj>\n";
    }
    xml += "</obj></objs>\n";
    bench::writeFile(path, xml);
    bringInEachIteration(state, path);
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_BringInLargeModule)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
