#include "pflib/recording/TRecordingPlatform.h"

#include "pflib/common/TClock.h"
#include "pflib/recording/TRecordingRenderer.h"
#include "pflib/recording/TRecordingSound.h"

namespace pf {

namespace {

struct State {
    TDisplay display;
    TDisplayMode desktop;
    std::vector<TDisplayMode> modes;
    std::vector<testing::TDisplayRequest> requests;
    bool forced = false;
    TDisplay forcedDisplay;
    std::vector<str> browser;

    State() { Defaults(); }
    void Defaults() {
        display = TDisplay();
        desktop = TDisplayMode();
        desktop.width = 1280;
        desktop.height = 1024;
        desktop.frequency = 60;
        desktop.bitsPerPixel = 32;
        TDisplayMode mode = desktop;
        mode.width = 1024;
        mode.height = 768;
        modes = {desktop, mode};
        requests.clear();
        forced = false;
        browser.clear();
    }
};

State& state() {
    static State* s = new State();
    return *s;
}

}  // namespace

// The process's renderer is made here, with the rest of the platform, so that the renderer's class
// alone can be built beside the real backend (whose test checks that the two agree).
TRenderer* TRenderer::GetInstance() {
    return &testing::Recorder();
}

namespace testing {

TRecordingRenderer& Recorder() {
    static TRecordingRenderer* recorder = new TRecordingRenderer();
    return *recorder;
}

}  // namespace testing

TDisplay TPlatform::GetDisplay() {
    return state().display;
}

bool TPlatform::SetDisplay(int width, int height, bool fullscreen, bool vsync, int reserved) {
    (void)reserved;
    State& s = state();
    s.requests.push_back({width, height, fullscreen, vsync});
    if (width <= 0 || height <= 0) return false;
    if (s.forced) {
        s.display = s.forcedDisplay;
    } else {
        s.display.width = width;
        s.display.height = height;
        s.display.fullscreen = fullscreen;
    }
    return true;
}

bool TPlatform::EnumDisplayDevices(int index, TDisplayDevice& device) {
    if (index != 0) return false;
    device.name = "display0";
    device.stateFlags = kDisplayAttachedToDesktop | kDisplayPrimary;
    return true;
}

bool TPlatform::EnumDisplaySettings(const str& deviceName, int index, TDisplayMode& mode) {
    if (deviceName != "display0") return false;
    const State& s = state();
    if (index == kEnumRegistrySettings || index == -1) {
        mode = s.desktop;
        return true;
    }
    if (index < 0 || static_cast<size_t>(index) >= s.modes.size()) return false;
    mode = s.modes[static_cast<size_t>(index)];
    return true;
}

void TPlatform::ShowCursor(bool show) {
    (void)show;
}

bool TPlatform::OpenBrowser(const str& address) {
    state().browser.push_back(address);
    return true;
}

namespace testing {

void SetDesktop(int width, int height, const std::vector<TDisplayMode>& modes, int frequency,
                int bitsPerPixel) {
    State& s = state();
    s.desktop = TDisplayMode();
    s.desktop.width = width;
    s.desktop.height = height;
    s.desktop.frequency = frequency;
    s.desktop.bitsPerPixel = bitsPerPixel;
    s.modes = modes;
}

std::vector<TDisplayRequest>& DisplayRequests() {
    return state().requests;
}

void ObtainDisplay(int width, int height, bool fullscreen) {
    state().forced = true;
    state().forcedDisplay = TDisplay{width, height, fullscreen};
}

void ObtainAsAsked() {
    state().forced = false;
}

std::vector<str>& BrowserRequests() {
    return state().browser;
}

void SetTime(double ms) {
    TClock::SetVirtualTime(ms);
}

void Reset() {
    state().Defaults();
    Recorder().Reset();
    ResetSounds();
    TPlatform::ClearExit();
    TPlatform::SetRunOptions(TRunOptions());
    TClock::SetVirtualTime(0);
}

}  // namespace testing
}  // namespace pf
