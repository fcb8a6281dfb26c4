#include "pflib/sdl/TSdlLoop.h"

#include <SDL2/SDL.h>

#include <csignal>
#include <cstdio>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "pflib/TFileWriter.h"
#include "pflib/TFrameStats.h"
#include "pflib/TPlatform.h"
#include "pflib/TSound.h"
#include "pflib/TTexture.h"
#include "pflib/TWorkers.h"
#include "pflib/common/TClock.h"
#include "pflib/common/TInputScript.h"
#include "pflib/pfClock.h"
#include "pflib/pfDebug.h"
#include "pflib/sdl/TGlRenderer.h"
#include "pflib/sdl/TMixerManager.h"
#include "pflib/sdl/TSdlEvents.h"
#include "pflib/sdl/TSdlVideo.h"

namespace pf {

namespace {

volatile std::sig_atomic_t gSignal = 0;

extern "C" void onSignal(int signal) {
    gSignal = signal;
}

void writeScreenshot(const str& file) {
    std::vector<uint8_t> rgba;
    int w = 0, h = 0;
    if (!TGlRenderer::Get().LastFrame(rgba, w, h)) {
        pfWriteDbgUnsafe("pf: no frame was drawn; no screenshot \"%s\"\n", file.c_str());
        return;
    }
    // Rows of the screen are opaque whatever the blending left in alpha.
    for (size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 255;
    if (!TTexture::WritePng(file, rgba.data(), w, h))
        pfWriteDbgUnsafe("pf: cannot write the screenshot \"%s\"\n", file.c_str());
}

// The window's size after a resize, which the event then reports: a size queued before a later change
// (switching full screen, say) would map the canvas for a window that is gone.
void takeNewSize(TEvent& event) {
    TSdlVideo::Get().Resized(event.x, event.y);
    const TDisplay display = TSdlVideo::Get().GetDisplay();
    event.x = display.width;
    event.y = display.height;
}

}  // namespace

void TSdlLoop::InstallSignalHandlers() {
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool TSdlLoop::Interrupted() {
    return gSignal != 0;
}

namespace {

// What one run keeps from step to step (the browser calls each step from its own loop).
struct RunState {
    TSdlLoop::Callbacks cb;
    str commandLine;
    double launched = 0;
    bool captureAll = false;
    bool lastFilled = true;  // the last frame drawn has its pixels
    bool paced = true;
    bool shutDown = false;
    TInputScript script;
    std::vector<TEvent> due;
    double last = 0;
    int tick = 0;
    // Frame timing for benchmarks: from the step's start to its finished frame.
    double timedMs = 0;
    int timedFrames = 0;
    // When the first frames were finished, counted from the start of the run (start-up cost).
    std::vector<double> firstFrames;
};

RunState* gRun = nullptr;

void shutdownOnce(RunState& run) {
    if (run.shutDown) return;
    run.shutDown = true;
    if (run.cb.shutdown) run.cb.shutdown();
    // The saves of the last steps reach the disk before the program ends.
    TFileWriter::Finish();
    TWorkers::Finish();
    // No decode may still be running when the program's statics go.
    TTexture::DropPrefetched();
}

}  // namespace

int TSdlLoop::Run(const char* commandLine, const Callbacks& cb) {
    Start(commandLine, cb, true);
    while (Step()) {
    }
    return Stop();
}

void TSdlLoop::Start(const char* commandLine, const Callbacks& cb, bool paced) {
#if defined(__GLIBC__)
    // Blocks of megabytes (texture stores, decoded pictures, render targets, the renderer's vertex
    // stream), made and let go all the time, come from the heap and are reused there, instead of
    // being mapped afresh and faulted in page by page on the frame thread; the heap keeps up to the
    // trim size of what is let go at its top.
    mallopt(M_MMAP_THRESHOLD, 16 << 20);
    mallopt(M_TRIM_THRESHOLD, 32 << 20);
#endif
    delete gRun;
    gRun = new RunState();
    RunState& run = *gRun;
    run.cb = cb;
    run.commandLine = commandLine ? commandLine : "";
    run.paced = paced;
    run.launched = TClock::RealNow();
    const TRunOptions& options = TPlatform::GetRunOptions();
    TPlatform::ClearExit();
    gSignal = 0;
    TClock::SetVirtual(options.fixedStep);
    TSdlVideo::Get().Ensure();
    SDL_InitSubSystem(SDL_INIT_EVENTS);
    // With quick drawing the last frame is drawn again in full at the end instead.
    run.captureAll = !options.screenshot.empty() && !options.quickDraw;
    TGlRenderer::Get().SetScreenPixels(!options.quickDraw);
    TGlRenderer::Get().SetCaptureFrames(run.captureAll);

    if (!options.inputFile.empty()) run.script.Load(options.inputFile);

    if (cb.startup && !cb.startup(run.commandLine.c_str())) {
        pfWriteDbg("pf: start-up failed\n");
        if (!TPlatform::ExitRequested()) TPlatform::Exit(1);
    }

    // Opened once the program's log is, so that a file it cannot write is said there.
    if (!options.frameStats.empty()) TFrameStats::Open(options.frameStats);
    run.last = timeGetTime();
}

bool TSdlLoop::Step() {
    if (!gRun || TPlatform::ExitRequested() || Interrupted()) return false;
    RunState& run = *gRun;
    const Callbacks& cb = run.cb;
    const TRunOptions& options = TPlatform::GetRunOptions();
    const int tick = run.tick;
    const double stepStart = TClock::RealNow();
    TFrameStats::BeginStep(tick);
    if (options.fixedStep) TClock::Advance(TClock::kStepMs);

    bool closed = false;
    SDL_Event sdlEvent;
    while (SDL_PollEvent(&sdlEvent)) {
        TEvent event;
        if (!TSdlEvents::Translate(sdlEvent, event)) continue;
        if (event.type == kEventQuit) closed = true;
        if (event.type == kEventDisplayResized) {
            // Offscreen, SDL only echoes the sizes the program set itself (possibly for an earlier
            // window): a headless window is resized by the input script alone.
            if (TSdlVideo::Get().IsHeadless()) continue;
            takeNewSize(event);
        }
        if (cb.event) cb.event(event);
    }
    run.due.clear();
    run.script.TakeDue(tick, run.due);
    for (TEvent event : run.due) {
        if (event.type == kEventQuit) closed = true;
        if (event.type == kEventDisplayResized) takeNewSize(event);
        if (cb.event) cb.event(event);
    }
    // A closed window ends the run even when nobody asked to exit on it.
    if (closed || Interrupted()) return false;

    const double now = timeGetTime();
    if (cb.update) cb.update(static_cast<float>((now - run.last) / 1000.0));
    run.last = now;
    TFrameStats::UpdateDone();
    // A frame asked for by its step is read back alone, unless every frame is.
    const str* shotNow = nullptr;
    for (const auto& shot : options.screenshotsAt)
        if (shot.first == tick) shotNow = &shot.second;
    // Quick drawing fills the frame the run ends with (its exit was asked for in this update) when
    // the run's last frame is wanted.
    const bool lastShot = options.quickDraw && !options.screenshot.empty() && TPlatform::ExitRequested();
    if (shotNow || lastShot) TGlRenderer::Get().SetCaptureFrames(true);
    if (options.quickDraw) TGlRenderer::Get().SetScreenPixels(shotNow || lastShot);
    if (tick == 0 && options.warmUp) TGlRenderer::Get().WarmUp();
    if (cb.draw) cb.draw();
    run.lastFilled = !options.quickDraw || shotNow || lastShot;
    TFrameStats::DrawDone();
    if (shotNow) {
        for (const auto& shot : options.screenshotsAt)
            if (shot.first == tick) writeScreenshot(shot.second);
        TGlRenderer::Get().SetCaptureFrames(run.captureAll);
    }
    TSoundManager::GetInstance()->DispatchCompletions();
    if (TFrameStats::IsOn()) {
        TGlRenderer::Get().Finish();
        TFrameStats::EndStep();
    }
    if (options.timeFramesAfter >= 0) {
        TGlRenderer::Get().Finish();
        if (run.firstFrames.size() < 3) run.firstFrames.push_back(TClock::RealNow() - run.launched);
        if (tick >= options.timeFramesAfter) {
            run.timedMs += TClock::RealNow() - stepStart;
            ++run.timedFrames;
        }
    }

    if (run.paced && !options.fixedStep) {
        // Keep to about 60 steps a second instead of spinning.
        const double spent = TClock::RealNow() - stepStart;
        if (spent < TClock::kStepMs - 1.0) SDL_Delay(static_cast<Uint32>(TClock::kStepMs - 1.0 - spent));
    }
    ++run.tick;
    return true;
}

int TSdlLoop::Stop() {
    if (!gRun) return 0;
    RunState& run = *gRun;
    const TRunOptions& options = TPlatform::GetRunOptions();
    if (!run.firstFrames.empty()) {
        std::printf("first frames finished at");
        for (double ms : run.firstFrames) std::printf(" %.3f", ms);
        std::printf(" ms after start\n");
    }
    if (options.timeFramesAfter >= 0 && run.timedFrames > 0) {
        std::printf("frame time: mean %.3f ms over %d frames\n", run.timedMs / run.timedFrames,
                    run.timedFrames);
        std::fflush(stdout);
    }
    const int code = TPlatform::ExitRequested() ? TPlatform::ExitCode() : 0;
    if (!options.screenshot.empty()) {
        if (!run.lastFilled && run.tick > 0) {
            // A run closed before its update (a quit event) last drew the previous step's state:
            // drawn again, in full, it is that frame.
            TGlRenderer::Get().SetScreenPixels(true);
            TGlRenderer::Get().SetCaptureFrames(true);
            if (run.cb.draw) run.cb.draw();
        }
        writeScreenshot(options.screenshot);
    }
    shutdownOnce(run);
    TFrameStats::Close();
    TMixerManager::Get().Shutdown();
    TSdlVideo::Get().Shutdown();
    delete gRun;
    gRun = nullptr;
    return code;
}

}  // namespace pf
