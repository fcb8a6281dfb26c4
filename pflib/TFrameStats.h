// Per-step frame statistics for finding hitches: one line per loop step with the main thread's CPU
// time in the update and in the draw, and the wall time from the step's start to its finished frame.
// What happened during a step (a room switch, a save, a texture's first upload...) is marked by
// whoever does it and written beside the step, so that a slow frame can be explained.
#pragma once

#include "pflib/pfTypes.h"

namespace pf {

class TFrameStats {
public:
    // Starts writing to file ("tick,update_ms,draw_ms,wall_ms" and a line a step) and to
    // file + ".events" ("tick,event"); false, with a line in the debug log, when it cannot.
    static bool Open(const str& file);
    static void Close();
    static bool IsOn();

    // Notes what is happening in the current step; cheap and silent when statistics are off.
    static void Mark(const str& what);

    // The loop's calls, in this order each step.
    static void BeginStep(int tick);
    static void UpdateDone();
    static void DrawDone();
    // After the frame is finished on the GPU.
    static void EndStep();

    // CPU time of the calling thread, in milliseconds.
    static double ThreadCpuMs();
    // The process's resident size in MiB (0 where the system does not say).
    static double ResidentMb();
    // Every this many steps the resident size is marked ("memory: resident N MB").
    static constexpr int kResidentEverySteps = 300;
};

}  // namespace pf
