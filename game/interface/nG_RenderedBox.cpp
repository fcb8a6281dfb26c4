#include "game/interface/nG_RenderedBox.h"

#include "engine/core/nE_Object.h"
#include "engine/media/nE_Render.h"
#include "engine/media/nE_Texture.h"

std::shared_ptr<nE_Texture> nG_RenderedBox::paint(int width, int height,
                                                  const std::vector<nE_Object*>& parts) {
    nE_Render* renderer = nE_Render::current();
    if (!renderer || renderer->inRenderTarget()) return nullptr;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return nullptr;
    renderer->beginTarget(width, height);
    if (!renderer->inRenderTarget()) return nullptr;
    nE_RenderState centre;
    centre.x = width / 2.f;
    centre.y = height / 2.f;
    centre.transform();
    for (nE_Object* part : parts) {
        if (!part) continue;
        const bool shown = part->visible;
        part->visible = true;
        part->drawWalk(renderer, &centre);
        part->visible = shown;
    }
    return renderer->endTarget();
}
