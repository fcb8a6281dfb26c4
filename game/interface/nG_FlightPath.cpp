#include "game/interface/nG_FlightPath.h"

#include <algorithm>
#include <cmath>

#include "engine/core/nE_Easing.h"
#include "engine/core/nE_Geometry.h"
#include "engine/core/nE_Object.h"
#include "engine/media/nE_Texture.h"
#include "engine/objects/nE_Sprite.h"

namespace {

float length(float x, float y) {
    return std::sqrt(x * x + y * y);
}

}  // namespace

nG_FlightPath nG_FlightPath::measure(nE_Object* object, nE_Object* collector, float endWidth) {
    nG_FlightPath start;
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
        width = sprite->texture->localRect(sprite->localState().frameIndex).w;
    start.endScale = width > 0 ? std::min(endWidth / width, 1.f) : 1.f;
    return start;
}

float nG_FlightPath::secondsTo(float tx, float ty) const {
    return std::hypot(tx - x0, ty - y0) / 1000 + 0.9f;
}

void nG_FlightPath::placeAtStart(nE_RenderState& s) const {
    s.x = x0;
    s.y = y0;
    s.scaleX = sx0;
    s.scaleY = sy0;
    s.matrixValid = false;
}

void nG_FlightPath::placeOnTheWay(nE_RenderState& s, float k, float tx, float ty) const {
    const float e1 = nE_Easing::sineInOut(k), e2 = nE_Easing::sineInOut(e1);
    s.x = nE_Easing::lerp(x0, tx, e2);
    s.y = nE_Easing::lerp(y0, ty, e1);
    const float scale = k < 0.2f ? nE_Easing::lerp(sx0, peakScale, k / 0.2f)
                                 : nE_Easing::lerp(peakScale, endScale, (k - 0.2f) / 0.8f);
    s.scaleX = scale;
    s.scaleY = sy0 * scale / sx0;
}

void nG_FlightPath::placeShrinking(nE_RenderState& s, float r, float x, float y) const {
    s.x = x;
    s.y = y;
    const float scale = endScale - endScale * nE_Easing::sineIn(r);
    s.scaleX = scale;
    s.scaleY = scale * sy0 / sx0;
}
