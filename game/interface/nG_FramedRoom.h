// What the sub-room frame follows: the image it is laid around, the zoom it grows and fades with, and
// whether the room is open (only then does input reach the frame). The game's sub-rooms provide it; the
// widgets sit below the game's rooms and know them only so.
#pragma once

struct nE_RenderState;
class nE_Sprite;

class nG_FramedRoom {
public:
    virtual const nE_Sprite& framedImage() const = 0;
    virtual const nE_RenderState& framedZoom() const = 0;
    virtual bool framedOpen() const = 0;

protected:
    ~nG_FramedRoom() = default;
};
