// Control of the tick clock behind pf::timeGetTime: real time, or a virtual clock for fixed stepping.
#pragma once

namespace pf {

class TClock {
public:
    // One loop step of the fixed-step clock: 1/60 s.
    static constexpr double kStepMs = 1000.0 / 60.0;

    // Switches the virtual clock on (it goes on from the current reading) or back to real time.
    static void SetVirtual(bool on);
    static bool IsVirtual();
    // Sets the virtual clock (and switches it on).
    static void SetVirtualTime(double ms);
    // Moves the virtual clock forward; does nothing on real time.
    static void Advance(double ms);
    // Real milliseconds since the library started, whatever the mode.
    static double RealNow();
};

}  // namespace pf
