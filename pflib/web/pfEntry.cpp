// Process entry in the browser. A page must hand control back to the browser between frames, so the
// loop's steps run from the browser's animation frames instead of a loop of our own; the user folder
// is read back from IndexedDB before the first step.
#include "pflib/pfEntry.h"

#include <emscripten.h>

#include "pflib/TFile.h"
#include "pflib/TPlatform.h"
#include "pflib/sdl/TSdlLoop.h"
#include "pflib/web/TWebStorage.h"

namespace {

// Where the kept user folder is mounted, unless the program was given one.
const char* const kUserDir = "/user";

pf::TSdlLoop::Callbacks gCallbacks;
pf::str gCommandLine;
bool gStarted = false;

void step() {
    if (!gStarted) {
        if (!pf::TWebStorage::Ready()) return;
        gStarted = true;
        pf::TSdlLoop::Start(gCommandLine.c_str(), gCallbacks, false);
    }
    if (pf::TSdlLoop::Step()) return;
    emscripten_cancel_main_loop();
    const int code = pf::TSdlLoop::Stop();
    pf::TWebStorage::Flush();
    // The runtime stays: the page shows that the game has ended instead of the program exiting.
    pf::TWebStorage::Ended(code);
}

}  // namespace

void pfInit() {
    pf::TFile::SetUserChangeListener(pf::TWebStorage::Flush);
}

int pfExec(void* instance, void* prevInstance, const char* commandLine, int showFlag, pfStartupFn startup,
           pfEventFn event, pfDrawFn draw, pfUpdateFn update, pfShutdownFn shutdown, bool reserved) {
    (void)instance, (void)prevInstance, (void)showFlag, (void)reserved;
    gCallbacks.startup = startup;
    gCallbacks.event = event;
    gCallbacks.draw = draw;
    gCallbacks.update = update;
    gCallbacks.shutdown = shutdown;
    gCommandLine = commandLine ? commandLine : "";
    pf::TRunOptions options = pf::TPlatform::GetRunOptions();
    if (options.userDir.empty()) {
        options.userDir = kUserDir;
        pf::TPlatform::SetRunOptions(options);
    }
    pf::TWebStorage::Load(options.userDir);
    // Every animation frame; never returns (main's locals stay for the steps).
    emscripten_set_main_loop(step, 0, 1);
    return 0;
}
