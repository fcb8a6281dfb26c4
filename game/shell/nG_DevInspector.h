// Developer mode's inspector. Ctrl+I toggles a panel beside the pointer that names the object under
// it: name, type, position (its own and on the canvas), its event triggers and the module file and
// line that describe it. Shift + left drag moves the object under the pointer; on release its new
// position attributes are printed, ready to paste into the module. While Shift is held no button
// reaches the game, so nothing is clicked or picked up by the move.
#pragma once

#include <string>

#include "game/shell/nG_DevPanel.h"

struct nE_InputEvent;
class nE_Object;
class nE_Render;

class nG_DevInspector {
public:
    static constexpr int kKeyControl = -139;
    static constexpr int kKeyShift = -140;
    static constexpr int kKeyToggle = 'i';
    static constexpr float kPanelWidth = 440;
    static constexpr float kPointerGap = 18;

    nG_DevInspector();

    // True when it took the event, which then goes no further.
    bool onEvent(const nE_InputEvent& event);
    // Names the object under the pointer now.
    void update();
    void draw(nE_Render* renderer);

    // The topmost shown object of the live tree under the display point, or none.
    static nE_Object* objectAt(float x, float y);
    // The panel's text for the object.
    static std::string describe(nE_Object& object);
    // "name: pos_x="412" pos_y="230"", as the module spells it.
    static std::string positionLine(const nE_Object& object);

    bool on = false;

private:
    // Whether the object is still in the live tree (it may have gone during a drag).
    static bool isLive(const nE_Object* object);
    void moveDragged();
    void drop();

    nG_DevPanel panel_;
    bool controlDown_ = false;
    bool shiftDown_ = false;
    float pointerX_ = 0, pointerY_ = 0;
    nE_Object* dragged_ = nullptr;
    // Where the drag began: the pointer in the parent's units and the object's own position.
    float grabX_ = 0, grabY_ = 0, startX_ = 0, startY_ = 0;
};
