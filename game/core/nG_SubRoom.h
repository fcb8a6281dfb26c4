// A close-up view ("subroom"): a room that zooms out of a point of the scene into its place on screen
// while it fades in, and shrinks back when it closes. It reports "trg_close" only once it has shrunk
// back. Its image is centred on its position and its children are clipped to the image.
#pragma once

#include "game/core/nG_Room.h"
#include "game/interface/nG_FramedRoom.h"

class nG_SubRoom : public nG_Room, public nG_FramedRoom {
public:
    nG_SubRoom();
    ~nG_SubRoom() override;

    // Room keys, then "start_x", "start_y", "end_x", "end_y".
    void loadProperties(nE_SLHelper& helper) override;
    void saveProperties(nE_SLHelper& helper) override;
    std::string getTypeName() const override;
    void resetState() override;
    // Image centred (no draw offset), children clipped to its rectangle.
    void loadResources() override;
    // The room's update, then the zoom.
    void update(float dt) override;
    // While opening or closing only the snapshot is drawn, scaled and faded by the zoom.
    void drawSelf(nE_Render* renderer, nE_RenderState& world) override;
    void setState(int newState) override;
    // Nothing when already closing; an animated close snapshots the sub-room first.
    void close(bool animate) override;

    // The frame follows the sub-room's image and zoom, and takes input while it is open.
    const nE_Sprite& framedImage() const override;
    const nE_RenderState& framedZoom() const override;
    bool framedOpen() const override;

    // Starts showing the sub-room: any non-zero coordinate replaces all four stored ones.
    void startZoom(int sx, int sy, int ex, int ey, bool animate);

    // a + (b - a) * (1 + sin(c * pi / 2 - pi / 2)), in single precision: slow at first, full speed at
    // the end.
    static float ease(float a, float b, float c);

    int startX = 0, startY = 0, endX = 0, endY = 0;
    // Scale and opacity of the zoom, applied to the snapshot.
    nE_RenderState zoom;

private:
    void resetOwn();
    void applyZoom(float scale);
};
