#pragma once

class nE_Object;
struct nE_RenderState;

// The path of an object flying into a widget, in the widget's units: it leaves where it stood, grows to
// peakScale in the first fifth of the way, eases in to its target shrinking to endScale, and shrinks
// away there. Both collectors' flights follow it.
struct nG_FlightPath {
    float x0 = 0, y0 = 0;
    float sx0 = 1, sy0 = 1;
    float peakScale = 1.4f, endScale = 1;

    // Where the object stands and how large it is; endWidth is the width it shrinks to on arrival
    // (never grown).
    static nG_FlightPath measure(nE_Object* object, nE_Object* collector, float endWidth);

    // Seconds the way to (tx, ty) takes: 0.9 and one more per 1,000 units.
    float secondsTo(float tx, float ty) const;
    // The object where it stood, at its own size.
    void placeAtStart(nE_RenderState& s) const;
    // The object at k (0 to 1) of its way to (tx, ty).
    void placeOnTheWay(nE_RenderState& s, float k, float tx, float ty) const;
    // The object at (x, y) shrinking away: r from 0 (arrived) to 1 (gone).
    void placeShrinking(nE_RenderState& s, float r, float x, float y) const;
};
