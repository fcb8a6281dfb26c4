#include "engine/media/nE_Font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <cstdlib>
#include <unordered_map>

#include "engine/core/nE_Debug.h"
#include "engine/media/nE_AssetFiles.h"
#include "engine/media/nE_GeneratedTexture.h"
#include "engine/media/nE_ResourceCache.h"
#include "pflib/TFile.h"
#include "pflib/TPlatform.h"

namespace {

FT_Library g_library = nullptr;
// Fonts holding a face, so that releasing the library can close them first: FT_Done_FreeType frees
// every face of the library, and a later FT_Done_Face would touch freed memory.
std::vector<nE_Font*> g_openFonts;
std::vector<std::string> g_fallbackNames;
unsigned g_fallbackGeneration = 1;

// The size load gives a face: 12 points at 300 dots per inch.
void setSize(FT_Face face, int pixels) {
    if (pixels > 0)
        FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(pixels) * 64, 72, 72);
    else
        FT_Set_Char_Size(face, 0, 768, 300, 300);
}

}  // namespace

void nE_Font::setFallbacks(const std::vector<std::string>& names) {
    g_fallbackNames = names;
    ++g_fallbackGeneration;
}

FT_FaceRec_* nE_Font::loadGlyph(uint32_t codePoint) {
    if (!face_) return nullptr;
    if (FT_Get_Char_Index(face_, codePoint) != 0)
        return FT_Load_Char(face_, codePoint, FT_LOAD_NO_HINTING) == 0 ? face_ : nullptr;
    if (fallbacksGeneration_ != g_fallbackGeneration) {
        fallbacksGeneration_ = g_fallbackGeneration;
        fallbacks_.clear();
        nE_ResourceCache* cache = nE_ResourceCache::instance();
        for (const std::string& fallbackName : g_fallbackNames) {
            if (fallbackName == name() || !cache) continue;
            if (std::shared_ptr<nE_Font> font = cache->getFont(fallbackName)) fallbacks_.push_back(font);
        }
    }
    for (const std::shared_ptr<nE_Font>& fallback : fallbacks_) {
        FT_Face face = fallback->face_;
        if (!face || FT_Get_Char_Index(face, codePoint) == 0) continue;
        // The fallback may be another text's font: its size is set for each glyph taken from it.
        setSize(face, pixelSize_);
        if (FT_Load_Char(face, codePoint, FT_LOAD_NO_HINTING) != 0) return nullptr;
        if ((face_->style_flags & FT_STYLE_FLAG_BOLD) && !(face->style_flags & FT_STYLE_FLAG_BOLD))
            FT_GlyphSlot_Embolden(face->glyph);
        return face;
    }
    return nullptr;
}

nE_Font::nE_Font() {
    setName("ne_dummyfont");
}

nE_Font::~nE_Font() {
    closeFace();
}

void nE_Font::closeFace() {
    if (!face_) return;
    FT_Done_Face(face_);
    face_ = nullptr;
    g_openFonts.erase(std::remove(g_openFonts.begin(), g_openFonts.end(), this), g_openFonts.end());
}

bool nE_Font::initLibrary() {
    if (g_library) return true;
    if (FT_Init_FreeType(&g_library) != 0) {
        g_library = nullptr;
        nE_Debug::write("nE_Font::Could not start the font library!\n");
        return false;
    }
    return true;
}

void nE_Font::releaseLibrary() {
    while (!g_openFonts.empty()) g_openFonts.back()->closeFace();
    if (g_library) FT_Done_FreeType(g_library);
    g_library = nullptr;
}

bool nE_Font::libraryReady() {
    return g_library != nullptr;
}

std::shared_ptr<nE_Resource> nE_Font::create() {
    return std::make_shared<nE_Font>();
}

bool nE_Font::load(const std::string& name) {
    setName(name);
    closeFace();
    const std::string file = nE_AssetFiles::font(name);
    if (!pf::TFile::Exists(file)) {
        nE_Debug::writef("nE_Font::Could not find \"%s\" file!\n", name.c_str());
        return false;
    }
    if (!initLibrary()) return false;
    FT_Face face = nullptr;
    if (FT_New_Face(g_library, pf::TPlatform::ResolvePath(file).c_str(), 0, &face) != 0) {
        nE_Debug::writef("nE_Font::Could not open \"%s\" file!\n", name.c_str());
        return false;
    }
    face_ = face;
    g_openFonts.push_back(this);
    pixelSize_ = 0;
    setSize(face_, pixelSize_);
    return true;
}

int nE_Font::advance(uint32_t codePoint) {
    if (!face_ || codePoint == 0 || codePoint == kLineFeed) return 0;
    FT_Face face = loadGlyph(codePoint);
    return face ? static_cast<int>(face->glyph->advance.x / 64) : 0;
}

uint32_t nE_Font::standIn(uint32_t cp, int& times) {
    times = 1;
    switch (cp) {
        case 0x2018:
        case 0x2019:
            return '\'';
        case 0x201A:  // the German low quotes
            return ',';
        case 0x201C:
        case 0x201D:
        case 0x201E:
            return '"';
        case 0x2013:
        case 0x2014:
            return '-';
        case 0x2026:
            times = 3;
            return '.';
        default:
            return 0;
    }
}

std::vector<uint32_t> nE_Font::withStandIns(const std::vector<uint32_t>& codePoints) {
    std::vector<uint32_t> out;
    out.reserve(codePoints.size());
    for (uint32_t cp : codePoints) {
        int times = 1;
        const uint32_t plain = standIn(cp, times);
        if (!plain || !face_ || FT_Get_Char_Index(face_, cp) != 0) {
            out.push_back(cp);
            continue;
        }
        out.insert(out.end(), static_cast<size_t>(times), plain);
    }
    return out;
}

// --- layout ---

std::string nE_Font::encodeUtf8(uint32_t cp) {
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | ((cp >> 18) & 0x07));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

std::vector<uint32_t> nE_Font::decodeUtf8(const std::string& text) {
    std::vector<uint32_t> out;
    out.reserve(text.size());
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        const uint8_t lead = static_cast<uint8_t>(text[i]);
        size_t extra = 0;
        uint32_t cp = lead;
        if ((lead & 0xF8) == 0xF0) {
            extra = 3;
            cp = lead & 0x07;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2;
            cp = lead & 0x0F;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1;
            cp = lead & 0x1F;
        }
        // A sequence the end of the text cuts short is dropped: its bytes are not there to read.
        if (extra > n - i - 1) break;
        for (size_t k = 1; k <= extra; ++k) cp = (cp << 6) | (static_cast<uint8_t>(text[i + k]) & 0x3F);
        i += 1 + extra;
        if (cp == 0) break;
        out.push_back(cp);
    }
    return out;
}

bool nE_Font::isBreak(uint32_t cp) {
    switch (cp) {
        case 32:
        case kLineFeed:
        case 46:
        case 44:
        case 33:
        case 63:
        case 58:
        case 59:
            return true;
        default:
            return cp >= 11905 && cp <= 40958;
    }
}

std::vector<std::vector<uint32_t>> nE_Font::splitWords(const std::vector<uint32_t>& codePoints) {
    std::vector<std::vector<uint32_t>> words;
    std::vector<uint32_t> word;
    for (uint32_t cp : codePoints) {
        if (cp == 0) break;
        word.push_back(cp);
        if (isBreak(cp)) {
            words.push_back(std::move(word));
            word.clear();
        }
    }
    if (!word.empty()) words.push_back(std::move(word));
    return words;
}

nE_Font::Layout nE_Font::wrap(const std::vector<uint32_t>& codePoints, int maxWidth,
                              const AdvanceFn& advance) {
    Layout layout;
    const bool unlimited = maxWidth <= 0;
    long remaining = maxWidth;
    long lineWidth = 0, widest = 0;
    for (const std::vector<uint32_t>& word : splitWords(codePoints)) {
        long width = 0;
        for (uint32_t cp : word) {
            if (cp != 0 && cp != kLineFeed) width += advance(cp);
        }
        if (unlimited || width < remaining) {
            layout.codePoints.insert(layout.codePoints.end(), word.begin(), word.end());
            lineWidth += width;
            remaining -= width;
        } else {
            widest = std::max(widest, lineWidth);
            layout.codePoints.push_back(kLineFeed);
            layout.codePoints.insert(layout.codePoints.end(), word.begin(), word.end());
            ++layout.lines;
            lineWidth = width;
            remaining = maxWidth - width;
        }
        if (word.back() == kLineFeed) {
            ++layout.lines;
            widest = std::max(widest, lineWidth);
            lineWidth = 0;
            remaining = maxWidth;
        }
    }
    widest = std::max(widest, lineWidth);
    layout.widest = static_cast<int>(std::min<long>(widest, 1L << 30));
    return layout;
}

void nE_Font::blitOr(Canvas& canvas, const uint8_t* bitmap, int width, int rows, int pitch, int x, int y) {
    if (!bitmap || width <= 0 || rows <= 0) return;
    // FreeType's bottom-up bitmaps start at the last row in memory.
    const uint8_t* top = pitch < 0 ? bitmap - static_cast<long>(pitch) * (rows - 1) : bitmap;
    const int x0 = std::max(0, -x), x1 = std::min(width, canvas.width - x);
    // Nothing of the glyph lies across the canvas (an empty canvas has no rows to address either).
    if (x0 >= x1) return;
    for (int row = 0; row < rows; ++row) {
        const int cy = y + row;
        if (cy < 0 || cy >= canvas.height) continue;
        const uint8_t* src = top + static_cast<long>(row) * pitch;
        uint8_t* dst = &canvas.pixels[static_cast<size_t>(cy) * canvas.width];
        for (int col = x0; col < x1; ++col) dst[x + col] |= src[col];
    }
}

// --- rasterising ---

bool nE_Font::hasGlyph(uint32_t codePoint) const {
    return face_ && FT_Get_Char_Index(face_, codePoint) != 0;
}

bool nE_Font::layOut(const std::string& text, int size, int maxWidth, Layout& out) {
    if (!face_ || size < 1 || size > kMaxCanvasSide) return false;
    if (FT_Set_Char_Size(face_, 0, static_cast<FT_F26Dot6>(size) * 64, 72, 72) != 0) return false;
    pixelSize_ = size;
    std::unordered_map<uint32_t, int> known;
    out = wrap(withStandIns(decodeUtf8(text)), maxWidth, [&](uint32_t cp) {
        auto found = known.find(cp);
        if (found != known.end()) return found->second;
        const int a = advance(cp);
        known.emplace(cp, a);
        return a;
    });
    return true;
}

bool nE_Font::renderCanvas(const std::string& text, int size, int maxWidth, int align, Canvas& out) {
    Layout layout;
    if (!layOut(text, size, maxWidth, layout)) return false;

    // Advances are asked for again per glyph (line widths, drawing): remember them for this call.
    std::unordered_map<uint32_t, int> known;
    auto advanceOf = [&](uint32_t cp) {
        auto found = known.find(cp);
        if (found != known.end()) return found->second;
        const int a = advance(cp);
        known.emplace(cp, a);
        return a;
    };

    const long height = static_cast<long>(size) * layout.lines + size / 2;
    const long width = static_cast<long>(layout.widest) + size / 2;
    if (height > kMaxCanvasSide || width > kMaxCanvasSide) {
        nE_Debug::writef("nE_Font::Text too large for \"%s\" at size %d\n", name().c_str(), size);
        return false;
    }
    Canvas canvas;
    canvas.width = nE_GeneratedTexture::roundUpEven(static_cast<int>(width));
    canvas.height = nE_GeneratedTexture::roundUpEven(static_cast<int>(height));
    canvas.lines = layout.lines;
    canvas.pixels.assign(static_cast<size_t>(canvas.width) * canvas.height, 0);

    const std::vector<uint32_t>& cps = layout.codePoints;
    int baseline = size;
    int x = 0;
    bool lineStart = true;
    for (size_t i = 0; i < cps.size(); ++i) {
        const uint32_t cp = cps[i];
        if (cp == kLineFeed) {
            baseline += size;
            lineStart = true;
            continue;
        }
        if (lineStart) {
            lineStart = false;
            int lineWidth = 0;
            for (size_t j = i; j < cps.size() && cps[j] != kLineFeed; ++j) lineWidth += advanceOf(cps[j]);
            if (align == 1)
                x = (canvas.width - lineWidth) >> 1;
            else if (align == 2)
                x = canvas.width - size / 4 - lineWidth;
            else
                x = size / 4;
            if (x < 0) x = 0;
        }
        FT_Face face = loadGlyph(cp);
        if (!face) continue;
        FT_GlyphSlot slot = face->glyph;
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0 &&
            slot->bitmap.pixel_mode == FT_PIXEL_MODE_GRAY)
            blitOr(canvas, slot->bitmap.buffer, static_cast<int>(slot->bitmap.width),
                   static_cast<int>(slot->bitmap.rows), slot->bitmap.pitch, x + slot->bitmap_left,
                   baseline - slot->bitmap_top);
        canvas.pens.push_back(Pen{cp, x, baseline});
        x += static_cast<int>(slot->advance.x / 64);
    }
    out = std::move(canvas);
    return true;
}

std::shared_ptr<nE_GeneratedTexture> nE_Font::renderText(const std::string& text, int size, int maxWidth,
                                                         int align) {
    Canvas canvas;
    if (!renderCanvas(text, size, maxWidth, align, canvas)) return nullptr;
    auto texture = nE_GeneratedTexture::make();
    if (!texture) return nullptr;
    texture->createFromBytes(canvas.pixels.data(), canvas.width, canvas.height,
                             nE_GeneratedTexture::kAlphaBytes);
    return texture;
}
