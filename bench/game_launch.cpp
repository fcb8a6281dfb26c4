// From launch to the first frame that shows the menu: the halvern program started headless on the
// bundled game (start-up, settings and profiles, the screen, the menu module brought in and its logo
// attached by its first trigger), timed by the program itself (--time-frames prints when each of
// the first frames was finished). Frame 0 is drawn before the menu's start trigger has run; frame 1
// is the first with the menu on screen.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// The finish times of the first frames, from the program's own report; empty when it gave none.
std::string firstFrames(const std::string& userDir) {
    const std::string command = "SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy '" +
                                std::string(HALVERN_EXE) +
                                "' --headless --fixed-step --frames 3 --time-frames 0 --game-dir '" +
                                HALVERN_SOURCE_DIR + "' --user-dir '" + userDir + "' 2>&1";
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
        pclose(pipe);
    }
    const std::string marker = "first frames finished at";
    const size_t at = output.find(marker);
    return at == std::string::npos ? std::string() : output.substr(at + marker.size());
}

void BM_LaunchToFirstMenuFrame(benchmark::State& state) {
    char pattern[] = "/tmp/halvern_launch_XXXXXX";
    const std::string user = mkdtemp(pattern) ? pattern : "/tmp";
    double frame0 = 0, frame1 = 0;
    for (auto _ : state) {
        const std::string times = firstFrames(user);
        if (std::sscanf(times.c_str(), "%lf %lf", &frame0, &frame1) != 2) {
            state.SkipWithError("the program gave no frame times");
            break;
        }
        state.SetIterationTime(frame1 / 1000.0);
    }
    state.counters["frame0_ms"] = frame0;
    if (user != "/tmp") std::system(("rm -rf '" + user + "'").c_str());
}
BENCHMARK(BM_LaunchToFirstMenuFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
