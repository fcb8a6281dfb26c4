// The halvern program: parses its options, configures the platform and hands the game's callbacks to it.
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "game/check/nG_ContentChecker.h"
#include "game/check/nG_NewGame.h"
#include "game/shell/nG_Application.h"
#include "game/shell/nG_RunOptions.h"
#include "pflib/TPlatform.h"
#include "pflib/pfEntry.h"

#ifndef HALVERN_SOURCE_DIR
#define HALVERN_SOURCE_DIR "."
#endif
#ifndef HALVERN_DATA_FROM_BIN
#define HALVERN_DATA_FROM_BIN "../share/halvern"
#endif

static const char* const kUsage =
    "Usage: halvern [options]\n"
    "\n"
    "Runs Halvern on the game folder's assets.\n"
    "\n"
    "  -e                 developer start: level 1 at once, F1-F12 start levels 1-12,\n"
    "                     profile files are neither read nor written; Ctrl+R reloads,\n"
    "                     errors show on screen (Ctrl+E hides them), Ctrl+I toggles the\n"
    "                     inspector, Shift + left drag moves an object and prints its pos_x/pos_y\n"
    "  --headless         no visible window, silent audio (software OpenGL, no display needed)\n"
    "  --frames N         end the run through the normal shut-down after N update ticks\n"
    "  --fixed-step       every update tick sees exactly 1/60 s, without waiting on the clock\n"
    "  --screenshot FILE  write the last drawn frame to FILE (PNG) at the end of the run\n"
    "  --screenshot-at TICK:FILE\n"
    "                     write the frame drawn on loop step TICK to FILE (PNG); may be given\n"
    "                     more than once (steps count as in --input files)\n"
    "  --quick-draw       fill the screen's pixels only in the frames a screenshot takes: a\n"
    "                     walk to its screenshots runs several times faster (for tests; the\n"
    "                     window shows nothing in between)\n"
    "  --input FILE       replay platform events, one per line: TICK TYPE CODE X Y [FLAGS]\n"
    "                     (TYPE: 1 button down, 3 button up, 4 pointer move, 5 pointer left,\n"
    "                     7 key down, 8 key up, 12 activation (CODE 1/0), 13 display toggle,\n"
    "                     14 window resized to X by Y, 0 quit; FLAGS 4: a held key's repeat;\n"
    "                     Shift, Ctrl, Alt are keys -140, -139, -138 of their own)\n"
    "  --game-dir DIR     the folder that holds assets/ (default: the bundled game)\n"
    "  --user-dir DIR     the per-user data folder (settings, profiles, debug.log)\n"
    "  --module PATH      open one module by itself in place of the menu (preview a scene)\n"
    "  --lang CODE        speak this language for one run (en, de, ru: the game's\n"
    "                     assets/strings_CODE.xml); the kept choice stays as it was\n"
    "  --display WxH      with --headless: pretend a WxH desktop that offers no other mode\n"
    "                     (e.g. 1920x1080, where the 1024x768 canvas keeps its shape between\n"
    "                     black bars; a windowed start opens a 1024x768 window on it)\n"
    "  --time-frames W    finish every frame (glFinish) and print the mean frame time of the\n"
    "                     frames after the first W (for benchmarks; with --fixed-step, unpaced)\n"
    "  --frame-stats FILE write one line per loop step to FILE: tick,update_ms,draw_ms,wall_ms\n"
    "                     (main-thread CPU time of the update and of the draw, wall time to the\n"
    "                     finished frame), and what happened in each step to FILE.events\n"
    "  --warm-up          prepare every drawing state in the first frame, as a windowed run\n"
    "                     does, so that later frames never wait on it (for benchmarks)\n"
    "  --seed N           the seed of the game's chance choices, such as the hidden-object\n"
    "                     lists a new game draws (default: the clock; 1 with --fixed-step)\n"
    "  --check            check the game folder's content (or the --module's) without\n"
    "                     opening a window: one line per fault; exit status 1 when any\n"
    "  --new-game DIR     write a small playable game (two rooms, an item, a hidden-object\n"
    "                     scene, the menu) into DIR, a new or empty folder, to start from\n"
    "  --help             show this text\n";

static bool isDir(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The bundled game, found from the program's own place so that any working directory will do:
// assets/ beside the program, in the installed data folder (bin/../share/halvern), or one folder up
// (a build folder inside the source tree); else the source tree's.
static std::string defaultGameDir() {
    char exe[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n > 0) {
        exe[n] = 0;
        std::string dir(exe);
        dir = dir.substr(0, dir.rfind('/'));
        if (isDir(dir + "/assets")) return dir;
        char installed[PATH_MAX];
        if (realpath((dir + "/" + HALVERN_DATA_FROM_BIN).c_str(), installed) &&
            isDir(std::string(installed) + "/assets"))
            return installed;
        const std::string up = dir.substr(0, dir.rfind('/'));
        if (isDir(up + "/assets")) return up;
    }
    return HALVERN_SOURCE_DIR;
}

int main(int argc, char** argv) {
    pf::TRunOptions platformOptions;
    nG_RunOptions& runOptions = nG_RunOptions::get();
    std::string commandLine;
    bool check = false;
    bool warmUp = false;
    std::string newGame;

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](const char* option) -> std::string {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "halvern: %s needs a value\n\n%s", option, kUsage);
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--check") {
            check = true;
        } else if (arg == "--new-game") {
            newGame = value("--new-game");
        } else if (arg == "--headless") {
            platformOptions.headless = true;
        } else if (arg == "--fixed-step") {
            platformOptions.fixedStep = true;
        } else if (arg == "--frames") {
            const std::string v = value("--frames");
            char* end = nullptr;
            const long frames = std::strtol(v.c_str(), &end, 10);
            if (v.empty() || *end || frames < 0 || frames > INT_MAX) {
                std::fprintf(stderr, "halvern: --frames takes a whole number, not \"%s\"\n", v.c_str());
                return 2;
            }
            runOptions.frames = static_cast<int>(frames);
        } else if (arg == "--time-frames") {
            const std::string v = value("--time-frames");
            char* end = nullptr;
            const long warmup = std::strtol(v.c_str(), &end, 10);
            if (v.empty() || *end || warmup < 0 || warmup > INT_MAX) {
                std::fprintf(stderr, "halvern: --time-frames takes a whole number, not \"%s\"\n", v.c_str());
                return 2;
            }
            platformOptions.timeFramesAfter = static_cast<int>(warmup);
        } else if (arg == "--warm-up") {
            warmUp = true;
        } else if (arg == "--frame-stats") {
            platformOptions.frameStats = value("--frame-stats");
        } else if (arg == "--seed") {
            const std::string v = value("--seed");
            char* end = nullptr;
            const unsigned long seed = std::strtoul(v.c_str(), &end, 10);
            if (v.empty() || *end || seed == 0 || seed > 0x7ffffffe) {
                std::fprintf(stderr, "halvern: --seed takes a number from 1 to 2147483646, not \"%s\"\n",
                             v.c_str());
                return 2;
            }
            platformOptions.seed = static_cast<unsigned>(seed);
        } else if (arg == "--display") {
            const std::string v = value("--display");
            int w = 0, h = 0;
            char tail = 0;
            if (std::sscanf(v.c_str(), "%dx%d%c", &w, &h, &tail) != 2 || w < 320 || h < 240 || w > 16384 ||
                h > 16384) {
                std::fprintf(stderr, "halvern: --display takes a size such as 1280x720, not \"%s\"\n",
                             v.c_str());
                return 2;
            }
            platformOptions.displayWidth = w;
            platformOptions.displayHeight = h;
        } else if (arg == "--quick-draw") {
            platformOptions.quickDraw = true;
        } else if (arg == "--screenshot") {
            platformOptions.screenshot = value("--screenshot");
        } else if (arg == "--screenshot-at") {
            const std::string v = value("--screenshot-at");
            const size_t colon = v.find(':');
            char* end = nullptr;
            const long tick = colon == std::string::npos ? -1 : std::strtol(v.c_str(), &end, 10);
            if (colon == 0 || tick < 0 || tick > INT_MAX || end != v.c_str() + colon ||
                colon + 1 >= v.size()) {
                std::fprintf(stderr, "halvern: --screenshot-at takes TICK:FILE, not \"%s\"\n", v.c_str());
                return 2;
            }
            platformOptions.screenshotsAt.emplace_back(static_cast<int>(tick), v.substr(colon + 1));
        } else if (arg == "--input") {
            platformOptions.inputFile = value("--input");
        } else if (arg == "--game-dir") {
            platformOptions.gameDir = value("--game-dir");
        } else if (arg == "--user-dir") {
            platformOptions.userDir = value("--user-dir");
        } else if (arg == "--module") {
            runOptions.module = value("--module");
        } else if (arg == "--lang") {
            runOptions.language = value("--lang");
        } else if (arg.rfind("--", 0) == 0) {
            std::fprintf(stderr, "halvern: unknown option %s\n\n%s", arg.c_str(), kUsage);
            return 2;
        } else {
            // Everything else is the game's own command line ("-e").
            if (!commandLine.empty()) commandLine += ' ';
            commandLine += arg;
        }
    }
    platformOptions.warmUp = warmUp || !platformOptions.headless;
    if (platformOptions.displayWidth > 0 && !platformOptions.headless) {
        std::fprintf(stderr, "halvern: --display only applies to --headless runs\n");
        return 2;
    }
    // The template sits beside the bundled game's assets, wherever --game-dir points.
    if (!newGame.empty()) return nG_NewGame::run(newGame, defaultGameDir());
    if (platformOptions.gameDir.empty()) platformOptions.gameDir = defaultGameDir();
    if (!isDir(platformOptions.gameDir)) {
        std::fprintf(stderr, "halvern: the game folder \"%s\" does not exist\n",
                     platformOptions.gameDir.c_str());
        return 2;
    }
    pf::TPlatform::SetRunOptions(platformOptions);
    if (check) return nG_ContentChecker::run(runOptions.module);

    pfInit();
    pf::TPlatform::SetConfig(pf::TPlatform::kPublisherName, "Quillmoor");
    pf::TPlatform::SetConfig(pf::TPlatform::kGameName, "Halvern CE");
    return pfExec(nullptr, nullptr, commandLine.c_str(), 1, nG_Application::startup, nG_Application::event,
                  nG_Application::draw, nG_Application::update, nG_Application::shutdown, false);
}
