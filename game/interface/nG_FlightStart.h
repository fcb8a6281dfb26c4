#pragma once

class nE_Object;

// Where an object about to fly stands and how large it is, in the units of the widget it flies in:
// both collectors start their flights from this.
struct nG_FlightStart {
    float x0 = 0, y0 = 0;
    float sx0 = 1, sy0 = 1;
    float peakScale = 1.4f, endScale = 1;

    // endWidth is the width the object shrinks to on arrival (never grown).
    static nG_FlightStart measure(nE_Object* object, nE_Object* collector, float endWidth);
};
