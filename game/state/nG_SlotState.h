// What the running game adds to a save slot beside the script table "ng_var", the trigger queue and the
// timers: its own element ("game"). The game registers itself with the profile hub while it exists.
#pragma once

namespace tinyxml2 {
class XMLElement;
}

class nG_SlotState {
public:
    virtual ~nG_SlotState() = default;
    // Appends the game's element under the slot element (use slot->GetDocument() to make it).
    virtual void dumpState(tinyxml2::XMLElement* slot) = 0;
    // Restores the game from the slot element (the parent of its own element).
    virtual void restoreState(const tinyxml2::XMLElement* slot) = 0;
};
