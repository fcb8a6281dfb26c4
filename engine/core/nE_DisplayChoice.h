// Which display mode to run in, and how the 1024 × 768 canvas maps onto it.
#pragma once

#include <string>

class nE_Object;

struct nE_CanvasMapping {
    float offsetX = 0, offsetY = 0, offsetZ = 0;
    float scaleX = 1, scaleY = 1;

    // A display point in canvas units (the inverse of the mapping; a zero scale maps to 0).
    float canvasX(float displayX) const { return scaleX != 0 ? (displayX - offsetX) / scaleX : 0; }
    float canvasY(float displayY) const { return scaleY != 0 ? (displayY - offsetY) / scaleY : 0; }
    // Whether a display point lies on the canvas rather than on a bar beside or above it.
    bool onCanvas(float displayX, float displayY) const;
};

struct nE_DisplayChoice {
    static constexpr float kCanvasWidth = 1024, kCanvasHeight = 768;

    int width = 1024, height = 768;
    bool fullscreen = false;
    nE_CanvasMapping mapping;

    // Chooses from the primary display's desktop mode and mode list.
    static nE_DisplayChoice choose(bool wantFullscreen);

    // The canvas as large as fits a display of that size at its own 4:3 shape, centred: bars left and
    // right on a wider display, above and below on a taller one.
    static nE_CanvasMapping fit(int width, int height);

    // The mapping of the last choice, process-wide (copied into the screen object).
    static nE_CanvasMapping& canvas();

    // Puts the mapping on the object that holds the canvas: position and scale, so that everything
    // below it is drawn in canvas units and hit tests map display points back into them. The holder
    // is the live object of that name (the screen object names itself here once it exists, e.g.
    // "ng_screen"); without one, or while it is not in the live tree, the scene's root holds it.
    // Whoever does not hold it keeps the neutral mapping. Nothing without nE_Core.
    static void applyCanvas();
    static void setCanvasHolder(const std::string& objectName);
    // The object applyCanvas puts the mapping on now.
    static nE_Object* canvasHolder();
};
