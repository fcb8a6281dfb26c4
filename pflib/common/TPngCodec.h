// PNG reading and writing through libpng: every colour type and depth made into 8-bit RGBA (alpha
// fourth, no gamma applied), safe to run on any thread.
#pragma once

#include <cstdint>
#include <vector>

#include "pflib/pfTypes.h"

namespace pf {

class TPngCodec {
public:
    // Decodes a whole file's bytes; false with a one-line reason in message when the data is broken.
    static bool Decode(const std::vector<uint8_t>& file, std::vector<uint8_t>& rgba, int& width, int& height,
                       str& message);
    // Writes tightly packed RGBA rows (top row first).
    static bool Write(const str& path, const uint8_t* rgba, int width, int height);
};

}  // namespace pf
