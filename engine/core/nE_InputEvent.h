// One input event as the object tree sees it: keys, buttons and pointer moves.
#pragma once

struct nE_InputEvent {
    enum Type { kKeyDown = 0, kKeyUp = 1, kButtonDown = 2, kButtonUp = 3, kPointerMove = 4 };

    int type = kKeyDown;
    int code = 0;  // key code for keys, 3840 for pointer events
    int reserved = 0;
    float x = 0, y = 0;  // display pixels
};
