// The game's cursor kinds: the screen registers them with the cursor service in this order, so a kind's
// number is its index there and the value of its script global (CURSOR_DEFAULT is 1, ...).
#pragma once

class nG_Cursor {
public:
    enum Kind : int {
        kNull = 0,  // hidden: an item being dragged is the pointer
        kDefault,
        kLoupe,
        kGet,
        kHand,
        kUse,
        kDown,
        kUp,
        kLeft,
        kRight,
        kKinds
    };

    // Nothing without a cursor service.
    static void select(Kind kind);
    // The selected kind, or -1 when none is selected or there is no service.
    static int selected();
};
