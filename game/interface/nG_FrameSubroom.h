// The frame drawn around an open sub-room ("ng_frame_subroom"): wood-and-brass pieces around the
// sub-room's image, a close button with a small lamp that glows while the button is pointed at. A click
// on the button or anywhere outside the sub-room asks for the sub-room to close; the game reads and
// clears that request. The frame grows, moves and fades with the sub-room's zoom.
#pragma once

#include "engine/core/nE_Object.h"
#include "engine/media/nE_Render.h"

class nE_AnimSprite;
class nE_Sprite;
class nG_FramedRoom;
class nG_InterfButton;

class nG_FrameSubroom : public nE_Object {
public:
    static constexpr const char* kName = "ng_frame_subroom";
    static constexpr int kPieces = 9;
    static constexpr const char* kCloseImage = "assets/interface/subroom/btn_close";
    static constexpr const char* kLampAnimation = "assets/interface/main/light";
    static constexpr const char* kLampFunction = "DoAnim";

    nG_FrameSubroom();
    ~nG_FrameSubroom() override;
    // Declares the fixed assets, modules and triggers this class loads or calls, for the content checker.
    static void declareContent();

    void resetState() override;
    // Follows the sub-room; lets go of it once a requested close has faded it out.
    void update(float dt) override;
    // Outside the sub-room the pointer belongs to the frame: a press asks to close.
    bool handleInput(const nE_InputEvent& event, nE_RenderState& world) override;
    // The lamp glows while the close button is pointed at.
    void childWasHit(nE_Object* hit, const nE_InputEvent& event) override;

    // Frames the sub-room: the pieces are laid around its image. The caller shows the frame.
    void attach(nG_FramedRoom* subRoom);
    void show(bool shown);
    // The screen height of the frame's lower edge.
    float bottomEdge() const;

    nG_FramedRoom* subRoom = nullptr;
    bool hoverInside = false;
    bool closeRequested = false;
    nE_Rect frameRect;

    nG_InterfButton* closeButton = nullptr;
    nE_AnimSprite* lamp = nullptr;
    nE_Sprite* pieces[kPieces] = {};

private:
    void resetOwn();
    void build();
    void stopLamp();
    static void onClose(void* frame);
};
