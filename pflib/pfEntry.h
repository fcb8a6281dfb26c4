// Process entry of the platform library: start-up, the event/update/draw loop, shut-down.
#pragma once

#include "pflib/TEvent.h"

using pfStartupFn = bool (*)(const char* commandLine);
using pfEventFn = bool (*)(const pf::TEvent& event);
using pfDrawFn = void (*)();
using pfUpdateFn = void (*)(float dt);
using pfShutdownFn = void (*)();

// Prepares the library (signal handlers, SDL). Call once before anything else.
void pfInit();

// Runs the program: start-up once with the command line, then events, updates and draws on this
// thread until TPlatform::Exit, a window close or SIGINT/SIGTERM; then shut-down once.
// Returns the exit code given to TPlatform::Exit (0 for a close or a signal).
int pfExec(void* instance, void* prevInstance, const char* commandLine, int showFlag, pfStartupFn startup,
           pfEventFn event, pfDrawFn draw, pfUpdateFn update, pfShutdownFn shutdown, bool reserved);
