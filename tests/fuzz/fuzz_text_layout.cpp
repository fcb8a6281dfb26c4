// Fuzzes UTF-8 decoding, word wrapping and rasterising of texts. The first byte picks the wrapping
// width, the second the alignment and size; the rest is the text, valid UTF-8 or not.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/media/nE_Font.h"

namespace {

// Uneven widths, some zero, so that every branch of the wrapping is reached without a face.
int fakeAdvance(uint32_t cp) {
    return static_cast<int>(cp % 23);
}

std::vector<uint32_t> withoutLineFeeds(const std::vector<uint32_t>& in) {
    std::vector<uint32_t> out;
    for (uint32_t cp : in)
        if (cp != nE_Font::kLineFeed) out.push_back(cp);
    return out;
}

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static nE_Font* font = [] {
        nE_Font::initLibrary();
        auto* f = new nE_Font();
        f->load(std::string(HALVERN_SOURCE_DIR) + "/assets/fonts/DejaVuSans");
        return f;
    }();
    if (size < 2) return 0;
    const int maxWidth = static_cast<int>(data[0]) - 64;
    const int align = data[1] % 4;
    const int pixels = (data[1] >> 2) % 24 + 1;
    // A copy of exactly the remaining bytes, so that a read past the end trips the address checks.
    const std::string text(reinterpret_cast<const char*>(data) + 2, size - 2);

    const std::vector<uint32_t> cps = nE_Font::decodeUtf8(text);
    check(cps.size() <= text.size());
    check(std::find(cps.begin(), cps.end(), 0u) == cps.end());

    const nE_Font::Layout layout = nE_Font::wrap(cps, maxWidth, fakeAdvance);
    check(withoutLineFeeds(layout.codePoints) == withoutLineFeeds(cps));
    const long feeds = std::count(layout.codePoints.begin(), layout.codePoints.end(), nE_Font::kLineFeed);
    check(layout.lines == feeds + 1);
    int widest = 0, line = 0;
    for (uint32_t cp : layout.codePoints) {
        if (cp == nE_Font::kLineFeed) {
            line = 0;
            continue;
        }
        line += fakeAdvance(cp);
        widest = std::max(widest, line);
    }
    check(layout.widest == widest);

    nE_Font::Canvas canvas;
    if (font->renderCanvas(text, pixels, maxWidth, align, canvas)) {
        check(canvas.width % 2 == 0 && canvas.height % 2 == 0);
        const int height = pixels * canvas.lines + pixels / 2;
        check(canvas.height == height + (height & 1));
        check(canvas.pixels.size() == static_cast<size_t>(canvas.width) * canvas.height);
    }
    return 0;
}
