// The drawing record of an object: position, angle, scales, colour, frame, offsets, blend, tiling.
#pragma once

#include "pflib/pfTypes.h"

struct nE_RenderState {
    float x = 0, y = 0, z = 0;
    float angle = 0;  // radians
    float scaleX = 1, scaleY = 1;
    float alpha = 1;
    float red = 1, green = 1, blue = 1;
    int frameIndex = 0;
    float drawOffsetX = 0, drawOffsetY = 0, drawOffsetZ = 0;
    int blendMode = 0;
    float tilingX = 1, tilingY = 1;
    pf::TMat4 matrix = pf::TMat4::Identity();
    bool matrixValid = false;

    // scale · rotation · translation; z does not enter, draw offsets are the drawer's business.
    void computeMatrix();
    // The matrix, computed first if not valid.
    const pf::TMat4& transform();
};
