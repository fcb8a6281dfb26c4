#include "engine/media/platform/nE_RenderTargerTexture_Pl5.h"

// pf makes the target's framebuffer when drawing into it begins, so there is nothing more to prepare.
void nE_RenderTargerTexture_Pl5::createTarget(int w, int h) {
    recreate(w, h, pf::TTexture::kRenderTarget);
}
