#include "pflib/TFrameStats.h"

#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <mutex>
#include <string>
#include <vector>

#include "pflib/common/TClock.h"
#include "pflib/pfDebug.h"

namespace pf {

namespace {

struct State {
    FILE* steps = nullptr;
    FILE* events = nullptr;
    int tick = 0;
    double stepWall = 0, stepCpu = 0, updateMs = 0, drawMs = 0, lastCpu = 0;
    std::vector<str> marks;
    // Marks may come from loading threads as well as the main one.
    std::mutex marksLock;
};

State& state() {
    static State s;
    return s;
}

}  // namespace

double TFrameStats::ThreadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

double TFrameStats::ResidentMb() {
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f) return 0;
    long pages = 0, resident = 0;
    const bool read = std::fscanf(f, "%ld %ld", &pages, &resident) == 2;
    std::fclose(f);
    return read ? resident * (sysconf(_SC_PAGESIZE) / 1048576.0) : 0;
}

bool TFrameStats::Open(const str& file) {
    Close();
    State& s = state();
    s.steps = std::fopen(file.c_str(), "w");
    s.events = s.steps ? std::fopen((file + ".events").c_str(), "w") : nullptr;
    if (!s.steps || !s.events) {
        // Asked for on the command line, so said where the command was typed as well.
        pfWriteDbgUnsafe("pf: cannot write the frame statistics \"%s\"\n", file.c_str());
        std::fprintf(stderr, "pf: cannot write the frame statistics \"%s\"\n", file.c_str());
        Close();
        return false;
    }
    std::fputs("tick,update_ms,draw_ms,wall_ms\n", s.steps);
    std::fputs("tick,event\n", s.events);
    return true;
}

void TFrameStats::Close() {
    State& s = state();
    if (s.steps) std::fclose(s.steps);
    if (s.events) std::fclose(s.events);
    s.steps = s.events = nullptr;
    s.marks.clear();
}

bool TFrameStats::IsOn() {
    return state().steps != nullptr;
}

void TFrameStats::Mark(const str& what) {
    State& s = state();
    if (!s.steps) return;
    std::lock_guard<std::mutex> lock(s.marksLock);
    s.marks.push_back(what);
}

void TFrameStats::BeginStep(int tick) {
    State& s = state();
    if (!s.steps) return;
    s.tick = tick;
    s.stepWall = TClock::RealNow();
    s.stepCpu = s.lastCpu = ThreadCpuMs();
    s.updateMs = s.drawMs = 0;
}

void TFrameStats::UpdateDone() {
    State& s = state();
    if (!s.steps) return;
    const double now = ThreadCpuMs();
    s.updateMs = now - s.lastCpu;
    s.lastCpu = now;
}

void TFrameStats::DrawDone() {
    State& s = state();
    if (!s.steps) return;
    const double now = ThreadCpuMs();
    s.drawMs = now - s.lastCpu;
    s.lastCpu = now;
}

void TFrameStats::EndStep() {
    State& s = state();
    if (!s.steps) return;
    // The resident size now and then, between the peaks that room switches make, so that growth over a
    // walk shows.
    if (s.tick % kResidentEverySteps == 0) {
        char resident[48];
        std::snprintf(resident, sizeof resident, "memory: resident %.1f MB", ResidentMb());
        Mark(resident);
    }
    std::fprintf(s.steps, "%d,%.3f,%.3f,%.3f\n", s.tick, s.updateMs, s.drawMs,
                 TClock::RealNow() - s.stepWall);
    std::lock_guard<std::mutex> lock(s.marksLock);
    for (const str& m : s.marks) {
        // One field: the event's own commas and line breaks would break the file's lines.
        std::string clean = m;
        for (char& c : clean)
            if (c == ',' || c == '\n' || c == '\r') c = ' ';
        std::fprintf(s.events, "%d,%s\n", s.tick, clean.c_str());
    }
    s.marks.clear();
}

}  // namespace pf
