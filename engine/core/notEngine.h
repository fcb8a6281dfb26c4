// The engine core: display, frame pacing, callbacks into the game. One instance per process.
#pragma once

#include <string>

class nE_Render;
struct nE_InputEvent;
class notEngine;

using nE_DrawCallback = void (*)(nE_Render* renderer);
using nE_UpdateCallback = void (*)(float dt);
using nE_EventCallback = void (*)(const nE_InputEvent& event);
using nE_InitCallback = void (*)();
using nE_EngineCallback = void (*)(notEngine* engine);
using nE_LostTexturesCallback = void (*)(void* mark);
using nE_ToggleDisplayCallback = bool (*)(bool wantFullscreen);

class notEngine {
public:
    virtual ~notEngine() = default;

    virtual bool Init(int x, int y, int width, int height, bool fullscreen, const std::string& title) = 0;
    virtual void Shutdown() = 0;
    virtual bool SetDisplayMode(int width, int height, bool fullscreen) = 0;
    virtual void Reserved() {}
    virtual void SetDrawCallback(nE_DrawCallback callback) = 0;
    virtual void SetUpdateCallback(nE_UpdateCallback callback) = 0;
    virtual void SetEventCallback(nE_EventCallback callback) = 0;
    virtual void SetInitCallback(nE_InitCallback callback) = 0;
    virtual void SetShutdownCallback(nE_EngineCallback callback) = 0;
    virtual void SetFocusGainedCallback(nE_EngineCallback callback) = 0;
    virtual void SetFocusLostCallback(nE_EngineCallback callback) = 0;
    virtual void SetLostTexturesCallback(nE_LostTexturesCallback callback) = 0;
    virtual void SetToggleDisplayCallback(nE_ToggleDisplayCallback callback) = 0;
    virtual float GetWidth() const = 0;
    virtual float GetHeight() const = 0;
    virtual bool IsFullscreen() const = 0;
    virtual void SetFps(float fps) = 0;
    virtual float GetFps() const = 0;
    virtual void SetGamma(float gamma) = 0;
    virtual float GetGamma() const = 0;
    virtual void Exit() = 0;

    // The published engine instance (set during Init), or none.
    static notEngine* instance();

protected:
    static void publish(notEngine* engine);
};
