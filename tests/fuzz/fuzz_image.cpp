// Fuzzes the image loader with whole files: headers that lie about the size, data cut short, broken
// PNG and JPEG streams. Whatever the bytes, a texture that comes back is within the pixel budget, and
// libFuzzer's malloc limit catches an allocation the file's few bytes cannot justify.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "pflib/TTexture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = [] {
        const char* dir = std::getenv("TMPDIR");
        return std::string(dir ? dir : "/tmp") + "/fuzz_image_" + std::to_string(getpid());
    }();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    const bool written = std::fwrite(data, 1, size, file) == size;
    std::fclose(file);
    if (!written) return 0;
    if (auto texture = pf::TTexture::Get(path)) {
        const uint64_t pixels = static_cast<uint64_t>(texture->GetWidth()) * texture->GetHeight();
        if (pixels == 0 || pixels > pf::TTexture::PixelBudget()) std::abort();
        if (texture->Pixels().size() != pixels * 4) std::abort();
    }
    std::remove(path.c_str());
    return 0;
}
