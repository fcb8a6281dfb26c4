// The tick clock in milliseconds.
#pragma once

namespace pf {

// Milliseconds since the library started; with fixed stepping, a virtual clock that advances
// only through SleepMs and the loop's own steps.
double timeGetTime();

// Waits about ms milliseconds; with fixed stepping, advances the virtual clock by ms at once.
void SleepMs(double ms);

}  // namespace pf
