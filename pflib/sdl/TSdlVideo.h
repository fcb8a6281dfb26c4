// The window and its OpenGL 3.3 core context. One per process; the context is kept across
// display changes. Headless runs use SDL's offscreen driver (Mesa software GL through EGL).
#pragma once

#include <SDL2/SDL.h>

#include "pflib/TPlatform.h"

namespace pf {

class TSdlVideo {
public:
    static TSdlVideo& Get();

    // Starts SDL's video subsystem (offscreen driver when headless); false when it cannot.
    bool Ensure();
    bool IsHeadless() const { return headless_; }
    bool HasContext() const { return context_ != nullptr; }
    SDL_Window* Window() const { return window_; }
    // Makes the context current; false without one.
    bool MakeCurrent();

    bool SetDisplay(int width, int height, bool fullscreen);
    TDisplay GetDisplay() const { return display_; }
    // The window was resized (by the player, or by a scripted event in a headless run, which resizes
    // the offscreen window to the given size): the display takes the window's size.
    void Resized(int width, int height);
    // Size of the framebuffer drawn on (the drawable, or the headless screen).
    void DrawableSize(int& width, int& height) const;

    bool EnumDevice(int index, TDisplayDevice& device);
    bool EnumMode(const str& deviceName, int index, TDisplayMode& mode);

    // Waits for that many vertical blanks per swap (0: none), where the window decides it.
    void SetSwapInterval(int interval);
    void ShowCursor(bool show);
    // Destroys the context and the window (textures lose their GPU copies).
    void Shutdown();

private:
    bool CreateWindow(int width, int height, bool fullscreen);
    bool ApplyFullscreen(int width, int height, bool fullscreen);

    bool started_ = false;
    bool glLoaded_ = false;
    bool hadContext_ = false;  // a context existed before: a new one means lost GPU copies
    bool headless_ = false;
    SDL_Window* window_ = nullptr;
    SDL_GLContext context_ = nullptr;
    TDisplay display_;
    int cursorShown_ = -1;  // asked before the video started; -1 none
};

}  // namespace pf
