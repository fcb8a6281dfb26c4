// Translation of SDL events into platform events.
#pragma once

#include <SDL2/SDL.h>

#include "pflib/TEvent.h"

namespace pf {

class TSdlEvents {
public:
    // False when the SDL event gives no platform event.
    static bool Translate(const SDL_Event& in, TEvent& out);
    // The key code of a key (TKeyCode), or 0 for keys the platform does not report.
    static int KeyCode(SDL_Keycode key, Uint16 modifiers);
};

}  // namespace pf
