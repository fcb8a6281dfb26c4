// The program's life: main initialisation, the platform callbacks, the game's engine callbacks and
// the orderly shut-down.
#pragma once

#include <string>

namespace pf {
struct TEvent;
}
class notEngine;
class nE_Render;
class nG_Settings;
struct nE_InputEvent;

class nG_Application {
public:
    // Platform callbacks.
    static bool startup(const char* commandLine);
    static bool event(const pf::TEvent& event);
    static void draw();
    static void update(float unused);
    static void shutdown();

    // The game's engine callbacks.
    static void gameInit();
    static void gameDraw(nE_Render* renderer);
    static void gameUpdate(float dt);
    static void gameEvent(const nE_InputEvent& event);
    static void gameShutdown(notEngine* engine);
    static void focusGained(notEngine* engine);
    static void focusLost(notEngine* engine);
    static bool toggleDisplay(bool wantFullscreen);

    static bool editorFlag();
    // The string table, the window title's key and the focus and close triggers, for the content
    // checker.
    static void declareContent();
    // Run time counted up to 0.01 s; focus changes before that are ignored.
    static float runTime();
    // The language a start speaks: "--lang" for this run alone, else the kept choice, else (first
    // start) the system's language when the game has it, which is then kept; English otherwise.
    static std::string startLanguage(nG_Settings& settings);
};
