#include "pflib/pfEntry.h"

#include "pflib/sdl/TSdlLoop.h"

void pfInit() {
    pf::TSdlLoop::InstallSignalHandlers();
}

int pfExec(void* instance, void* prevInstance, const char* commandLine, int showFlag, pfStartupFn startup,
           pfEventFn event, pfDrawFn draw, pfUpdateFn update, pfShutdownFn shutdown, bool reserved) {
    (void)instance, (void)prevInstance, (void)showFlag, (void)reserved;
    pf::TSdlLoop::Callbacks callbacks;
    callbacks.startup = startup;
    callbacks.event = event;
    callbacks.draw = draw;
    callbacks.update = update;
    callbacks.shutdown = shutdown;
    return pf::TSdlLoop::Run(commandLine, callbacks);
}
