// Which display mode to run in, and how the 1024 × 768 canvas maps onto it.
#pragma once

struct nE_CanvasMapping {
    float offsetX = 0, offsetY = 0, offsetZ = 0;
    float scaleX = 1, scaleY = 1;
};

struct nE_DisplayChoice {
    int width = 1024, height = 768;
    bool fullscreen = false;
    nE_CanvasMapping mapping;

    // Chooses from the primary display's desktop mode and mode list.
    static nE_DisplayChoice choose(bool wantFullscreen);

    // The mapping of the last choice, process-wide (copied into the screen object).
    static nE_CanvasMapping& canvas();
};
