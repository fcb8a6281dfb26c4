// The Pixmote benchmark scene through the OpenGL 3.3 device on a headless context (SDL's offscreen
// video driver, Mesa through EGL), every frame finished with glFinish, beside the software device on
// the same scene. Skipped, with the reason, where no such context can be made.
#include "pixmote/include/pixmote_opengl.h"

#include <SDL.h>
#include <SDL_opengl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "bench/PixmoteBenchScene.h"
#include "pixmote/include/pixmote.h"
#include "pixmote/include/pixmote_software.h"

using namespace pixmote_bench;

namespace {

constexpr uint64_t kSeed = 34;

template <class F>
F glFunction(const char* name) {
    return reinterpret_cast<F>(SDL_GL_GetProcAddress(name));
}

// A hidden window's GL 3.3 context drawing into a frame-sized colour buffer of its own.
struct HeadlessGl {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    GLuint fbo = 0, colour = 0;
    decltype(&glClearColor) clearColor = nullptr;
    decltype(&glClear) clear = nullptr;
    decltype(&glFinish) finish = nullptr;
    decltype(&glReadPixels) readPixels = nullptr;
    std::string why;

    HeadlessGl() {
        if (!SDL_getenv("SDL_VIDEODRIVER")) SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            why = SDL_GetError();
            return;
        }
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
        window = SDL_CreateWindow("pixmote", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (window) context = SDL_GL_CreateContext(window);
        if (!context) {
            why = SDL_GetError();
            return;
        }
        clearColor = glFunction<decltype(&glClearColor)>("glClearColor");
        clear = glFunction<decltype(&glClear)>("glClear");
        finish = glFunction<decltype(&glFinish)>("glFinish");
        readPixels = glFunction<decltype(&glReadPixels)>("glReadPixels");
        auto genFramebuffers = glFunction<PFNGLGENFRAMEBUFFERSPROC>("glGenFramebuffers");
        auto bindFramebuffer = glFunction<PFNGLBINDFRAMEBUFFERPROC>("glBindFramebuffer");
        auto genRenderbuffers = glFunction<PFNGLGENRENDERBUFFERSPROC>("glGenRenderbuffers");
        auto bindRenderbuffer = glFunction<PFNGLBINDRENDERBUFFERPROC>("glBindRenderbuffer");
        auto storage = glFunction<PFNGLRENDERBUFFERSTORAGEPROC>("glRenderbufferStorage");
        auto attach = glFunction<PFNGLFRAMEBUFFERRENDERBUFFERPROC>("glFramebufferRenderbuffer");
        if (!clearColor || !clear || !finish || !readPixels || !genFramebuffers || !bindFramebuffer ||
            !genRenderbuffers || !bindRenderbuffer || !storage || !attach) {
            why = "GL functions missing";
            return;
        }
        genFramebuffers(1, &fbo);
        bindFramebuffer(GL_FRAMEBUFFER, fbo);
        genRenderbuffers(1, &colour);
        bindRenderbuffer(GL_RENDERBUFFER, colour);
        storage(GL_RENDERBUFFER, GL_RGBA8, kWidth, kHeight);
        attach(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    }
    bool ready() const { return context && finish; }
    ~HeadlessGl() {
        if (context) SDL_GL_DeleteContext(context);
        if (window) SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
};

double seconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The CPU time of the whole process, llvmpipe's threads included: steadier than the clock on a
// machine shared with other work.
double processSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

// Frames of the scene through the OpenGL device, each finished, timed by the clock (llvmpipe
// rasterises on threads of its own). Counters: gl_ms and software_ms, the same scene's frame on the
// software device timed the same way just after, their ratio gl_over_software, and mean_abs_diff
// between the two frames (a channel's mean difference, of 255); gl_cpu_ms and cpu_over_software are
// the same in CPU time of the whole process (llvmpipe's threads included). With geometry:1 the device
// antialiases convex shapes by geometry, as it asks; geometry:0 takes that away, for comparison.
void BM_PixmoteOpenGl_Scene(benchmark::State& state) {
    HeadlessGl gl;
    if (!gl.ready()) {
        state.SkipWithError(("no OpenGL 3.3 context: " + gl.why).c_str());
        return;
    }
    pm_opengl* device = pm_opengl_create(SDL_GL_GetProcAddress);
    if (!device) {
        state.SkipWithError((std::string("no OpenGL device: ") + pm_opengl_error()).c_str());
        return;
    }
    const std::vector<Op> ops = makeScene(kSeed);
    double glSeconds = 0, glCpuSeconds = 0;
    std::vector<uint8_t> glPixels(static_cast<size_t>(kWidth) * kHeight * 4);
    {
        // geometry:0 draws every fill as the coverage masks devices without the flag get.
        pm_device table = *pm_opengl_device(device);
        table.geometric_antialias = static_cast<int>(state.range(0));
        pm_context* ctx = pm_context_create(&table);
        PixmoteAssets assets;
        if (!ctx || !assets.make(ctx)) {
            state.SkipWithError("the scene's images or font did not load");
            pm_context_destroy(ctx);
            pm_opengl_destroy(device);
            return;
        }
        auto frame = [&] {
            gl.clearColor(kBackground[0] / 255.0f, kBackground[1] / 255.0f, kBackground[2] / 255.0f, 1);
            gl.clear(GL_COLOR_BUFFER_BIT);
            pm_begin_frame(ctx, kWidth, kHeight);
            drawPixmoteScene(ctx, ops, assets);
            pm_end_frame(ctx);
            gl.finish();
        };
        frame();  // shaders compiled, textures made
        for (auto _ : state) {
            const double t0 = seconds(), c0 = processSeconds();
            frame();
            glSeconds += seconds() - t0;
            glCpuSeconds += processSeconds() - c0;
        }
        gl.readPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, glPixels.data());
        assets.release();
        pm_context_destroy(ctx);
    }
    pm_opengl_destroy(device);

    pm_software* sw = pm_software_create(kWidth, kHeight);
    pm_context* ctx = pm_context_create(pm_software_device(sw));
    PixmoteAssets assets;
    double softwareSeconds = 0, softwareCpuSeconds = 0;
    constexpr int kSoftwareFrames = 3;
    if (ctx && assets.make(ctx))
        for (int i = 0; i < kSoftwareFrames; ++i) {
            const double t0 = seconds(), c0 = processSeconds();
            pm_software_clear(sw, kBackground[0], kBackground[1], kBackground[2], kBackground[3]);
            pm_begin_frame(ctx, kWidth, kHeight);
            drawPixmoteScene(ctx, ops, assets);
            pm_end_frame(ctx);
            softwareSeconds += seconds() - t0;
            softwareCpuSeconds += processSeconds() - c0;
        }
    // GL reads the bottom row first.
    uint64_t sum = 0;
    const uint8_t* ours = pm_software_pixels(sw);
    for (int y = 0; y < kHeight; ++y)
        for (int i = 0; i < kWidth * 4; ++i)
            sum += std::abs(int(ours[static_cast<size_t>(y) * kWidth * 4 + i]) -
                            int(glPixels[static_cast<size_t>(kHeight - 1 - y) * kWidth * 4 + i]));
    // PIXMOTE_BENCH_IMAGES names a folder for both frames as PNG files, to look at side by side.
    if (const char* folder = std::getenv("PIXMOTE_BENCH_IMAGES")) {
        pm_software_write_png(sw, (std::string(folder) + "/software.png").c_str());
        pm_software* shot = pm_software_create(kWidth, kHeight);
        for (int y = 0; shot && y < kHeight; ++y)
            std::copy_n(&glPixels[static_cast<size_t>(kHeight - 1 - y) * kWidth * 4], kWidth * 4,
                        pm_software_pixels(shot) + static_cast<size_t>(y) * kWidth * 4);
        if (shot) pm_software_write_png(shot, (std::string(folder) + "/opengl.png").c_str());
        pm_software_destroy(shot);
    }
    assets.release();
    pm_context_destroy(ctx);
    pm_software_destroy(sw);

    const double glMs = 1000 * glSeconds / state.iterations(),
                 softwareMs = 1000 * softwareSeconds / kSoftwareFrames;
    state.counters["gl_ms"] = glMs;
    state.counters["software_ms"] = softwareMs;
    state.counters["gl_over_software"] = softwareMs > 0 ? glMs / softwareMs : 0;
    state.counters["mean_abs_diff"] = double(sum) / glPixels.size();
    const double glCpuMs = 1000 * glCpuSeconds / state.iterations(),
                 softwareCpuMs = 1000 * softwareCpuSeconds / kSoftwareFrames;
    state.counters["gl_cpu_ms"] = glCpuMs;
    state.counters["cpu_over_software"] = softwareCpuMs > 0 ? glCpuMs / softwareCpuMs : 0;
}
BENCHMARK(BM_PixmoteOpenGl_Scene)
    ->ArgName("geometry")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
