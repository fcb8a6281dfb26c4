// A texture filled from memory (rendered text, video frames, solid colours). Never cached, never masked.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/media/nE_Texture.h"

class nE_GeneratedTexture : public virtual nE_Texture {
public:
    // Byte modes of createFromBytes.
    enum { kAlphaBytes = 0, kRgbaBytes = 1 };

    // There is no file behind it: only the name is kept.
    bool load(const std::string& name) override {
        setName(name);
        return true;
    }

    // Mode 0: one byte per pixel, drawn as white with that byte as alpha. Mode 1: four bytes per pixel.
    // Sides are rounded up to even numbers; a zero side leaves the texture empty.
    virtual void createFromBytes(const uint8_t* pixels, int width, int height, int mode) = 0;
    // Four floats (r, g, b, a in 0..1) per pixel.
    virtual void createFromColours(int width, int height, const float* colours) = 0;
    // RGBA pixels of a width x height texture to fill in place, rows `pitch` pixels apart (sides
    // rounded up to even as above; the extra column or row stays clear). The texture is kept when it
    // already has that size, so a stream of same-sized pictures reuses one. None for a zero side.
    // endWrite hands the pixels back and marks them for upload.
    virtual uint8_t* beginWrite(int width, int height, int* pitch) = 0;
    virtual void endWrite() = 0;

    // A new texture of the platform binding installed at start-up; none before that.
    using Maker = std::shared_ptr<nE_GeneratedTexture> (*)();
    static void setMaker(Maker maker);
    static std::shared_ptr<nE_GeneratedTexture> make();

    // Odd n becomes n + 1.
    static int roundUpEven(int n) { return (n & 1) ? n + 1 : n; }
};
