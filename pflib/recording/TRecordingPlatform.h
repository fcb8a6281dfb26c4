// The display, clock and browser of pf_recording, with the knobs tests turn.
#pragma once

#include <vector>

#include "pflib/TPlatform.h"

namespace pf {
namespace testing {

// The desktop mode reported for the primary display and its list of modes (frequency and bits
// per pixel default to 60 and 32): SetDesktop(1280, 1024, {{1024, 768, 60, 32}}).
void SetDesktop(int width, int height, const std::vector<TDisplayMode>& modes, int frequency = 60,
                int bitsPerPixel = 32);

struct TDisplayRequest {
    int width = 0, height = 0;
    bool fullscreen = false, vsync = false;
};
// Every SetDisplay call, in order.
std::vector<TDisplayRequest>& DisplayRequests();
// From now on SetDisplay obtains this instead of what it is asked for.
void ObtainDisplay(int width, int height, bool fullscreen);
// SetDisplay obtains what it is asked for again (the default).
void ObtainAsAsked();

// Every OpenBrowser address, in order.
std::vector<str>& BrowserRequests();

// Sets the tick clock (it stays where it is put until set or advanced again).
void SetTime(double ms);

// Everything back to the start: renderer log and state, display (1280 x 1024 desktop with a
// 1024 x 768 mode, no window), requests, exit request, sounds, clock at 0, run options.
void Reset();

}  // namespace testing
}  // namespace pf
