// The engine bound to the platform library: services, display, the 60 Hz tick and the draw bracket.
#pragma once

#include <memory>
#include <vector>

#include "engine/core/notEngine.h"

namespace pf {
struct TEvent;
class TTask;
}  // namespace pf
class nE_Render_Pl5;
class nE_Cursor;

class notEngine_Pl5 : public notEngine {
public:
    // lostTextureMarks starts as the given (empty) list. Registers the engine's object types and
    // installs the platform bindings of the media bases.
    explicit notEngine_Pl5(std::vector<void*> lostTextureMarks = {});
    ~notEngine_Pl5() override;

    bool Init(int x, int y, int width, int height, bool fullscreen, const std::string& title) override;
    void Shutdown() override;
    bool SetDisplayMode(int width, int height, bool fullscreen) override;
    void SetDrawCallback(nE_DrawCallback callback) override { draw_ = callback; }
    void SetUpdateCallback(nE_UpdateCallback callback) override { update_ = callback; }
    void SetEventCallback(nE_EventCallback callback) override { event_ = callback; }
    void SetInitCallback(nE_InitCallback callback) override { init_ = callback; }
    void SetShutdownCallback(nE_EngineCallback callback) override { shutdown_ = callback; }
    void SetFocusGainedCallback(nE_EngineCallback callback) override { focusGained_ = callback; }
    void SetFocusLostCallback(nE_EngineCallback callback) override { focusLost_ = callback; }
    void SetLostTexturesCallback(nE_LostTexturesCallback callback) override { texturesLost_ = callback; }
    void SetToggleDisplayCallback(nE_ToggleDisplayCallback callback) override { toggleDisplay_ = callback; }
    float GetWidth() const override { return displayWidth; }
    float GetHeight() const override { return displayHeight; }
    bool IsFullscreen() const override { return fullscreen; }
    void SetFps(float fps) override { framePeriod = 1.f / fps; }
    float GetFps() const override { return 1.f / framePeriod; }
    void SetGamma(float value) override;
    float GetGamma() const override { return gamma; }
    void Exit() override;

    // One update tick if at least framePeriod has passed since the last one.
    void UpdateTick();
    // The platform's draw: waits for a tick, then draws a frame.
    void Draw();
    // The platform's event: translates and delivers it.
    void HandleEvent(const pf::TEvent& event);
    // The window took a new size (the player resized it): the frame and the canvas follow.
    void Resize(int width, int height);
    // Appends one lost-texture mark (the platform's refresh task).
    void AddLostTextureMark() { lostTextureMarks.push_back(nullptr); }

    // Ticks run so far (for ending a run after a number of frames).
    long TickCount() const { return ticks_; }
    nE_Render_Pl5* Renderer() const { return renderer_.get(); }

    float framePeriod = 1.f / 60.f;
    float displayWidth = 0, displayHeight = 0;
    bool fullscreen = false;
    float gamma = 1.f;
    std::vector<void*> lostTextureMarks;
    double lastTick = 0;
    static float rawDelta;

private:
    // The renderer and the canvas mapping to the display size now held.
    void followDisplay();
    // Black over whatever of the display the canvas leaves.
    void coverBars();

    nE_DrawCallback draw_ = nullptr;
    nE_UpdateCallback update_ = nullptr;
    nE_EventCallback event_ = nullptr;
    nE_InitCallback init_ = nullptr;
    nE_EngineCallback shutdown_ = nullptr;
    nE_EngineCallback focusGained_ = nullptr;
    nE_EngineCallback focusLost_ = nullptr;
    nE_LostTexturesCallback texturesLost_ = nullptr;
    nE_ToggleDisplayCallback toggleDisplay_ = nullptr;

    void dropRefreshListener();

    pf::TTask* refreshTask_ = nullptr;  // adopted by the platform; dropped when the engine goes
    bool tickDone_ = false;
    long ticks_ = 0;
    std::unique_ptr<nE_Render_Pl5> renderer_;
    std::unique_ptr<nE_Cursor> cursor_;
};
