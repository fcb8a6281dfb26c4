#include "game/interface/nG_FlightStart.h"

#include <algorithm>
#include <cmath>

#include "engine/core/nE_Geometry.h"
#include "engine/core/nE_Object.h"
#include "engine/media/nE_Texture.h"
#include "engine/objects/nE_Sprite.h"

namespace {

float length(float x, float y) {
    return std::sqrt(x * x + y * y);
}

}  // namespace

nG_FlightStart nG_FlightStart::measure(nE_Object* object, nE_Object* collector, float endWidth) {
    nG_FlightStart start;
    nE_RenderState there = object->worldStateFromTop();
    nE_RenderState here = collector->worldStateFromTop();
    const pf::TMat4& m = there.transform();
    const pf::TMat4& c = here.transform();
    start.x0 = m.m[12];
    start.y0 = m.m[13];
    nE_Geometry::toLocal(c, m.m[12], m.m[13], start.x0, start.y0);
    const float cx = length(c.m[0], c.m[1]), cy = length(c.m[4], c.m[5]);
    start.sx0 = cx > 0 ? length(m.m[0], m.m[1]) / cx : 1;
    start.sy0 = cy > 0 ? length(m.m[4], m.m[5]) / cy : 1;
    if (start.sx0 <= 0) start.sx0 = 1;
    start.peakScale = start.sx0 * 1.4f;
    float width = endWidth;
    if (auto* sprite = dynamic_cast<nE_Sprite*>(object); sprite && sprite->texture)
        width = sprite->texture->localRect(sprite->localState.frameIndex).w;
    start.endScale = width > 0 ? std::min(endWidth / width, 1.f) : 1.f;
    return start;
}
