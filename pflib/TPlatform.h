// Process-wide platform services: configuration, display, cursor, exit, browser, run options.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "pflib/TTask.h"
#include "pflib/pfTypes.h"

namespace pf {

// The display as set or obtained.
struct TDisplay {
    int width = 0, height = 0;
    bool fullscreen = false;
};

// A display device as listed by EnumDisplayDevices.
struct TDisplayDevice {
    str name;
    int stateFlags = 0;  // kDisplayAttachedToDesktop | kDisplayPrimary
};
constexpr int kDisplayAttachedToDesktop = 1;
constexpr int kDisplayPrimary = 4;

// A display mode as listed by EnumDisplaySettings.
struct TDisplayMode {
    int width = 0, height = 0;
    int frequency = 0;
    int bitsPerPixel = 0;
    int displayFlags = 0;
    int fixedOutput = 0;
};
// Mode index asking for the desktop's registry settings.
constexpr int kEnumRegistrySettings = -2;

// Options of this run, given by the program before pfExec.
struct TRunOptions {
    bool headless = false;   // offscreen window, dummy audio driver
    bool fixedStep = false;  // the clock advances exactly one tick per loop, no waiting
    str screenshot;          // PNG written with the last drawn frame at the end of the run
    // Frames that no screenshot takes are drawn without filling the screen's pixels: every step
    // still does all its drawing work (render targets in full), so a walk reaches the same screens,
    // several times sooner on a software rasteriser.
    bool quickDraw = false;
    // PNGs written with the frame drawn on the given loop step (counted as in the input file).
    std::vector<std::pair<int, str>> screenshotsAt;
    str inputFile;  // scripted events: "TICK TYPE CODE X Y" per line
    str userDir;    // replaces the per-user data folder
    str gameDir;    // the folder that holds "assets/"
    // 0 or more: every frame is finished (glFinish after the present) and the mean time of the
    // frames after the first timeFramesAfter is printed at the end of the run.
    int timeFramesAfter = -1;
    // Per-step CPU and wall times written here (and what happened, to file + ".events"); every frame
    // is then finished, so that the wall time holds the GPU's part.
    str frameStats;
    // Headless runs: the desktop to pretend, offering only its own mode (0: a 1280 × 1024 desktop
    // that also offers 1024 × 768).
    int displayWidth = 0, displayHeight = 0;
    // The renderer prepares its drawing states in the first frame, so that none is prepared in play
    // (see TGlRenderer::WarmUp); headless runs, which show no one their frames, skip it unless asked.
    bool warmUp = false;
    // The seed of the game's chance choices (0: taken from the clock; fixed-step runs take 1).
    unsigned seed = 0;
};

class TPlatform {
public:
    static const char* const kPublisherName;
    static const char* const kGameName;
    static const char* const kWindowTitle;

    static void SetConfig(const str& key, const str& value);
    static str GetConfig(const str& key);

    static TDisplay GetDisplay();
    // Sets the window or full-screen mode; GetDisplay tells what was obtained.
    static bool SetDisplay(int width, int height, bool fullscreen, bool vsync, int reserved);

    // Device index → device; false past the last one.
    static bool EnumDisplayDevices(int index, TDisplayDevice& device);
    // Mode index (or kEnumRegistrySettings) of a device → mode; false past the last one.
    static bool EnumDisplaySettings(const str& deviceName, int index, TDisplayMode& mode);

    static void ShowCursor(bool show);
    // Ends the run after the current loop step; shut-down still runs.
    static void Exit(int code);
    static bool ExitRequested();
    // The code given to the last Exit (0 when none).
    static int ExitCode();
    // Forgets an exit request (a new run starts).
    static void ClearExit();
    // The platform owns the task and runs it after the device has lost its textures.
    static void AdoptTextureRefreshListener(std::unique_ptr<TTask> task);
    // Destroys an adopted listener whose owner is going; nothing when it is not adopted.
    static void DropTextureRefreshListener(const TTask* task);
    static size_t TextureRefreshListenerCount();
    // Runs the adopted listeners (called by the backend after a device reset).
    static void RunTextureRefreshListeners();
    static bool OpenBrowser(const str& address);

    static void SetRunOptions(const TRunOptions& options);
    static const TRunOptions& GetRunOptions();

    // The per-user data folder (from the publisher and game names, or the run options).
    static str UserDir();
    // The folder relative names resolve against ("." by default).
    static str GameDir();
    // "user:" names map to the user folder, absolute names stay, others join the game folder.
    static str ResolvePath(const str& name);
    // Hands the memory freed since (pictures of a room left) back to the system, where the allocator
    // allows, on a worker (it takes several milliseconds); returns at once.
    static void GiveBackFreeMemory();
};

}  // namespace pf
