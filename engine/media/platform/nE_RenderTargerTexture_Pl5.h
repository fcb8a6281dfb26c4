// A texture the renderer draws into (render targets, glow).
#pragma once

#include "engine/media/platform/nE_GeneratedTexture_Pl5.h"

class nE_RenderTargerTexture_Pl5 : public nE_GeneratedTexture_Pl5 {
public:
    // Replaces the target with an even-sized one; a zero side leaves it empty.
    void createTarget(int width, int height);
};
