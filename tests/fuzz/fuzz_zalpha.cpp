// Fuzzes the reader of ".zalpha" alpha records. The first two bytes choose the plane size (1 to 64 on
// each side), the rest is the file. Records are read, some inflated and some passed over, then the
// file is read again from the start; whatever the bytes, a record is never read past its bound.
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "engine/media/nE_ByteReader.h"
#include "engine/media/nE_ZAlphaReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int width = 1 + data[0] % 64, height = 1 + data[1] % 64;
    auto source = std::make_unique<nE_ByteReader>();
    source->openMemory(data + 2, size - 2);
    nE_ZAlphaReader reader;
    if (!reader.open(std::move(source), width, height)) std::abort();
    for (int pass = 0; pass < 2; ++pass) {
        size_t records = 0;
        while (reader.next(records % 3 != 1)) {
            // Each record is at least a length and one byte.
            if (++records * 5 > size) std::abort();
            volatile uint8_t last = reader.plane()[width * height - 1];
            (void)last;
        }
        reader.takeError();
        if (!reader.rewind()) std::abort();
    }
    return 0;
}
