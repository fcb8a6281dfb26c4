// Starting sounds through SDL2_mixer on the dummy audio driver: a three-minute track (made at build
// time by tools/make_long_track.sh) must start within a frame (16.7 ms), which streaming makes
// possible; decoding it whole, as every play did before, is measured beside it. Short effects are
// decoded once and shared between plays.
#include <SDL2/SDL_mixer.h>
#include <benchmark/benchmark.h>

#include <string>

#include "pflib/TPlatform.h"
#include "pflib/TSound.h"
#include "pflib/sdl/TMixerManager.h"
#include "pflib/sdl/TMixerSound.h"

namespace {

const std::string kTrack = HALVERN_BENCH_DATA "/long_track";
const std::string kEffect = HALVERN_SOURCE_DIR "/tests/data/sounds/beep";

bool Prepare(benchmark::State& state) {
    static const bool ready = [] {
        pf::TRunOptions options;
        options.headless = true;
        pf::TPlatform::SetRunOptions(options);
        return pf::TMixerManager::Get().Ensure();
    }();
    if (!ready) state.SkipWithError("no audio device");
    if (ready && !pf::TSound::Get(kTrack, false)) state.SkipWithError("no long track (is sox installed?)");
    return ready;
}

// What a script's SndPlay of a music track costs: look the sound up (its headers read afresh) and start
// it. The kill is not timed.
void BM_StartThreeMinuteTrack(benchmark::State& state) {
    if (!Prepare(state)) return;
    for (auto _ : state) {
        pf::TMixerSound::ClearCache();
        auto sound = pf::TSound::Get(kTrack, false);
        auto instance = sound ? sound->Play(false, 0) : nullptr;
        benchmark::DoNotOptimize(instance);
        state.PauseTiming();
        if (instance) instance->Kill(0);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartThreeMinuteTrack)->Unit(benchmark::kMillisecond);

// The same track decoded whole, as it was at every play before long sounds were streamed.
void BM_DecodeThreeMinuteTrackWhole(benchmark::State& state) {
    if (!Prepare(state)) return;
    const std::string file = kTrack + ".ogg";
    for (auto _ : state) {
        Mix_Chunk* chunk = Mix_LoadWAV(file.c_str());
        benchmark::DoNotOptimize(chunk);
        if (chunk) Mix_FreeChunk(chunk);
    }
}
BENCHMARK(BM_DecodeThreeMinuteTrackWhole)->Unit(benchmark::kMillisecond)->Iterations(3);

// A short effect played again: found among the kept sounds, no decoding.
void BM_PlayKeptEffect(benchmark::State& state) {
    if (!Prepare(state)) return;
    pf::TSound::Get(kEffect, false);
    for (auto _ : state) {
        auto sound = pf::TSound::Get(kEffect, false);
        auto instance = sound ? sound->Play(false, 0) : nullptr;
        benchmark::DoNotOptimize(instance);
        state.PauseTiming();
        if (instance) instance->Kill(0);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PlayKeptEffect)->Unit(benchmark::kMicrosecond);

}  // namespace
