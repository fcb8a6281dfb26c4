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

    // The same run in pieces, for a host that calls every step from a loop of its own (a browser's
    // animation frames): Start once, Step until it returns false, then Stop, which shuts down and
    // returns the exit code. An unpaced run leaves the timing of steps to that host.
    static void Start(const char* commandLine, const Callbacks& callbacks, bool paced);
    static bool Step();
    static int Stop();
};

}  // namespace pf
