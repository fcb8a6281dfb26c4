#include "pflib/sdl/TSdlVideo.h"

#include <cstring>

#include "pflib/pfDebug.h"
#include "pflib/sdl/TGlRenderer.h"

namespace pf {

namespace {

#ifdef __EMSCRIPTEN__
// In the browser the page's canvas is the whole display, with the game's size in pixels: the page
// scales it to the window and takes it to full screen (browsers allow that only from a gesture of
// the player, so the program never asks).
constexpr bool kCanvasIsDisplay = true;
#else
constexpr bool kCanvasIsDisplay = false;
#endif
constexpr int kCanvasW = 1024, kCanvasH = 768;

// The display a headless run pretends to have.
constexpr int kHeadlessDesktopW = 1280, kHeadlessDesktopH = 1024;
const int kHeadlessModes[][2] = {{1280, 1024}, {1024, 768}, {800, 600}, {640, 480}};
constexpr int kHeadlessModeCount = sizeof kHeadlessModes / sizeof kHeadlessModes[0];

str deviceName(int index) {
    return "display" + std::to_string(index);
}

int deviceIndex(const str& name) {
    if (name.compare(0, 7, "display") != 0 || name.size() == 7) return -1;
    int index = 0;
    for (size_t i = 7; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9' || index > 1000) return -1;
        index = index * 10 + (name[i] - '0');
    }
    return index;
}

// Windows reports 32 bits for the 24-bit colour modes SDL lists as such.
int bitsOf(Uint32 format) {
    const int bits = SDL_BITSPERPIXEL(format);
    return bits == 24 ? 32 : bits;
}

TDisplayMode modeOf(const SDL_DisplayMode& m) {
    TDisplayMode mode;
    mode.width = m.w;
    mode.height = m.h;
    mode.frequency = m.refresh_rate;
    mode.bitsPerPixel = bitsOf(m.format);
    return mode;
}

// A mode the program makes up itself (headless, or the browser's canvas): 32 bits at 60 Hz.
TDisplayMode madeUpMode(int width, int height) {
    TDisplayMode mode;
    mode.width = width;
    mode.height = height;
    mode.frequency = 60;
    mode.bitsPerPixel = 32;
    return mode;
}

}  // namespace

TSdlVideo& TSdlVideo::Get() {
    // Never destroyed, like the renderer that asks it for the context.
    static TSdlVideo* video = new TSdlVideo();
    return *video;
}

bool TSdlVideo::Ensure() {
    if (started_) return true;
    headless_ = TPlatform::GetRunOptions().headless;
    // The loop handles SIGINT and SIGTERM itself.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (headless_) SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "offscreen", SDL_HINT_OVERRIDE);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        if (headless_) {
            pfWriteDbgUnsafe("pf: cannot start video: %s\n", SDL_GetError());
            return false;
        }
        // No display to open: go on without one rather than not at all.
        pfWriteDbgUnsafe("pf: no display (%s); running headless\n", SDL_GetError());
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "offscreen", SDL_HINT_OVERRIDE);
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            pfWriteDbgUnsafe("pf: cannot start video: %s\n", SDL_GetError());
            return false;
        }
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && std::strcmp(driver, "offscreen") == 0) headless_ = true;
    // One reference of our own keeps the GL driver loaded between windows (SDL would unload it
    // with the last one).
    if (!glLoaded_) glLoaded_ = SDL_GL_LoadLibrary(nullptr) == 0;
    started_ = true;
    if (cursorShown_ >= 0) SDL_ShowCursor(cursorShown_ ? SDL_ENABLE : SDL_DISABLE);
    return true;
}

bool TSdlVideo::MakeCurrent() {
    if (!context_) return false;
    return SDL_GL_GetCurrentContext() == context_ || SDL_GL_MakeCurrent(window_, context_) == 0;
}

bool TSdlVideo::CreateWindow(int width, int height, bool fullscreen) {
#ifdef __EMSCRIPTEN__
    // WebGL 2. The page scales the canvas to the browser window; its pixels stay the size asked for.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    const Uint32 resizable = 0;
#else
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    const Uint32 resizable = static_cast<Uint32>(SDL_WINDOW_RESIZABLE);
#endif
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    Uint32 flags = SDL_WINDOW_OPENGL;
    flags |= headless_ ? static_cast<Uint32>(SDL_WINDOW_HIDDEN) : SDL_WINDOW_SHOWN | resizable;
    str title = TPlatform::GetConfig(TPlatform::kWindowTitle);
    if (title.empty()) title = TPlatform::GetConfig(TPlatform::kGameName);
    window_ =
        SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, flags);
    if (!window_) {
        pfWriteDbgUnsafe("pf: cannot create the window: %s\n", SDL_GetError());
        return false;
    }
    context_ = SDL_GL_CreateContext(window_);
    if (!context_) {
        pfWriteDbgUnsafe("pf: cannot create an OpenGL 3.3 context: %s\n", SDL_GetError());
        SDL_DestroyWindow(window_);
        window_ = nullptr;
        return false;
    }
    SDL_GL_MakeCurrent(window_, context_);
    SetSwapInterval(0);
    // Textures re-upload their own pixels; whoever keeps generated content is told as well.
    if (hadContext_) TPlatform::RunTextureRefreshListeners();
    hadContext_ = true;
    return headless_ || ApplyFullscreen(width, height, fullscreen);
}

bool TSdlVideo::ApplyFullscreen(int width, int height, bool fullscreen) {
    if (!fullscreen || kCanvasIsDisplay) {
        SDL_SetWindowFullscreen(window_, 0);
        SDL_SetWindowSize(window_, width, height);
        SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        return true;
    }
    int display = SDL_GetWindowDisplayIndex(window_);
    if (display < 0) display = 0;
    SDL_DisplayMode want{}, closest{};
    want.w = width;
    want.h = height;
    if (SDL_GetClosestDisplayMode(display, &want, &closest)) SDL_SetWindowDisplayMode(window_, &closest);
    SDL_SetWindowSize(window_, width, height);
    if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN) != 0) {
        pfWriteDbgUnsafe("pf: full screen refused: %s\n", SDL_GetError());
        return false;
    }
    return true;
}

bool TSdlVideo::SetDisplay(int width, int height, bool fullscreen) {
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384 || !Ensure()) return false;
    if (!window_) {
        if (!CreateWindow(width, height, fullscreen)) return false;
    } else if (headless_) {
        SDL_SetWindowSize(window_, width, height);
    } else {
        ApplyFullscreen(width, height, fullscreen);
    }
    if (headless_) {
        // The offscreen "screen" is whatever was asked for.
        display_.width = width;
        display_.height = height;
        display_.fullscreen = fullscreen;
    } else {
        SDL_GetWindowSize(window_, &display_.width, &display_.height);
        display_.fullscreen =
            kCanvasIsDisplay ? fullscreen : (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) != 0;
        const str title = TPlatform::GetConfig(TPlatform::kWindowTitle);
        if (!title.empty()) SDL_SetWindowTitle(window_, title.c_str());
    }
    return true;
}

void TSdlVideo::Resized(int width, int height) {
    if (!window_ || width <= 0 || height <= 0 || width > 16384 || height > 16384) return;
    if (headless_) {
        SDL_SetWindowSize(window_, width, height);
        display_.width = width;
        display_.height = height;
        return;
    }
    SDL_GetWindowSize(window_, &display_.width, &display_.height);
}

void TSdlVideo::DrawableSize(int& width, int& height) const {
    if (headless_ || !window_) {
        width = display_.width;
        height = display_.height;
        return;
    }
    SDL_GL_GetDrawableSize(window_, &width, &height);
}

bool TSdlVideo::EnumDevice(int index, TDisplayDevice& device) {
    if (index < 0 || !Ensure()) return false;
    const int count = headless_ || kCanvasIsDisplay ? 1 : SDL_GetNumVideoDisplays();
    if (index >= count) return false;
    device.name = deviceName(index);
    device.stateFlags = kDisplayAttachedToDesktop | (index == 0 ? kDisplayPrimary : 0);
    return true;
}

bool TSdlVideo::EnumMode(const str& name, int index, TDisplayMode& mode) {
    const int display = deviceIndex(name);
    if (display < 0 || !Ensure()) return false;
    if (headless_) {
        if (display != 0) return false;
        const TRunOptions& options = TPlatform::GetRunOptions();
        const bool pretended = options.displayWidth > 0 && options.displayHeight > 0;
        int w, h;
        if (index == kEnumRegistrySettings || index == -1 || (pretended && index == 0)) {
            w = pretended ? options.displayWidth : kHeadlessDesktopW;
            h = pretended ? options.displayHeight : kHeadlessDesktopH;
        } else if (pretended) {
            return false;
        } else if (index >= 0 && index < kHeadlessModeCount) {
            w = kHeadlessModes[index][0];
            h = kHeadlessModes[index][1];
        } else {
            return false;
        }
        mode = madeUpMode(w, h);
        return true;
    }
    if (kCanvasIsDisplay) {
        if (display != 0 || (index != kEnumRegistrySettings && index != -1 && index != 0)) return false;
        mode = madeUpMode(kCanvasW, kCanvasH);
        return true;
    }
    if (display >= SDL_GetNumVideoDisplays()) return false;
    SDL_DisplayMode m;
    if (index == kEnumRegistrySettings) {
        if (SDL_GetDesktopDisplayMode(display, &m) != 0) return false;
    } else if (index == -1) {
        if (SDL_GetCurrentDisplayMode(display, &m) != 0) return false;
    } else if (index < 0 || index >= SDL_GetNumDisplayModes(display) ||
               SDL_GetDisplayMode(display, index, &m) != 0) {
        return false;
    }
    mode = modeOf(m);
    return true;
}

void TSdlVideo::SetSwapInterval(int interval) {
#ifdef __EMSCRIPTEN__
    // The browser's animation frames pace the loop; SDL would turn an interval of 0 into an
    // unthrottled timer.
    (void)interval;
#else
    SDL_GL_SetSwapInterval(interval);
#endif
}

void TSdlVideo::ShowCursor(bool show) {
    cursorShown_ = show ? 1 : 0;
    if (started_) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

void TSdlVideo::Shutdown() {
    if (context_) {
        MakeCurrent();
        TGlRenderer::Get().ReleaseGl();
        SDL_GL_DeleteContext(context_);
        context_ = nullptr;
    }
    if (window_) {
        SDL_DestroyWindow(window_);
        window_ = nullptr;
    }
    display_ = TDisplay();
    // SDL's video stays up and the GL driver loaded until the process ends: unloading the driver
    // only to load it again for the next window gains nothing.
}

}  // namespace pf
