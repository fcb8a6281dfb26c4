// Platform events as the engine receives them.
#pragma once

namespace pf {

enum TEventType : int {
    kEventQuit = 0,
    kEventButtonDown = 1,
    kEventButtonUp = 3,
    kEventPointerMove = 4,
    kEventPointerLeft = 5,
    kEventKeyDown = 7,
    kEventKeyUp = 8,
    kEventActivation = 12,
    kEventDisplayToggle = 13,
    kEventDisplayResized = 14,  // the window's new size in x and y
};

// Key-down flag of an auto-repeated key.
constexpr int kKeyFlagRepeat = 4;

// Key codes: printable keys give their character (letters upper case with Shift); the others
// are negative, except the ASCII controls.
enum TKeyCode : int {
    kKeyBackspace = 8,
    kKeyTab = 9,
    kKeyEnter = 13,
    kKeyEscape = 27,
    kKeySpace = 32,
    kKeyDelete = 127,
    kKeyF1 = -100,  // F1..F12 are -100..-89
    kKeyF12 = -89,
    kKeyHome = -130,
    kKeyEnd = -129,
    kKeyPageUp = -128,
    kKeyPageDown = -127,
    kKeyLeft = -126,
    kKeyRight = -125,
    kKeyUp = -124,
    kKeyDown = -123,
    kKeyInsert = -122,
    kKeyShift = -140,
    kKeyControl = -139,
    kKeyAlt = -138,
};

struct TEvent {
    int type = 0;
    int code = 0;  // key code, or the active flag (1/0) of an activation event
    int x = 0, y = 0;
    int flags = 0;
};

}  // namespace pf
