// A generated texture on the platform: an even-sized pf texture filled through a lock.
#pragma once

#include "engine/media/nE_GeneratedTexture.h"
#include "engine/media/platform/nE_TexImpl_Pl5.h"

class nE_GeneratedTexture_Pl5 : public nE_GeneratedTexture, public nE_TexImpl_Pl5 {
public:
    bool loadImage(const std::string&) override { return false; }
    const nE_TexImpl_Pl5* platformSide() const override { return this; }

    void createFromBytes(const uint8_t* pixels, int width, int height, int mode) override;
    void createFromColours(int width, int height, const float* colours) override;
    uint8_t* beginWrite(int width, int height, int* pitch) override;
    void endWrite() override;

protected:
    // Drops the old pf texture and creates an empty one of the even-rounded size with the type; false
    // (and no texture) for a zero or negative side.
    bool recreate(int w, int h, int type);
};
