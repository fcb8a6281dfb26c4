// The platform loop on one thread: events, update, draw and sound completions per step.
#pragma once

#include "pflib/pfEntry.h"
#include "pflib/pfTypes.h"

namespace pf {

class TSdlLoop {
public:
    struct Callbacks {
        pfStartupFn startup = nullptr;
        pfEventFn event = nullptr;
        pfDrawFn draw = nullptr;
        pfUpdateFn update = nullptr;
        pfShutdownFn shutdown = nullptr;
    };

    // Installs the SIGINT/SIGTERM handlers.
    static void InstallSignalHandlers();
    // True once SIGINT or SIGTERM arrived.
    static bool Interrupted();

    // Runs start-up, the loop and shut-down; returns the exit code.
    static int Run(const char* commandLine, const Callbacks& callbacks);
};

}  // namespace pf
