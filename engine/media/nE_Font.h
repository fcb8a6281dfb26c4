// A TrueType face opened with FreeType, as a cached resource. Its one service renders a whole string,
// wrapped and aligned, into a fresh generated texture: white pixels with the glyph coverage as alpha.
// There is no glyph atlas: every change of a text renders the whole string again.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/media/nE_Resource.h"

struct FT_FaceRec_;
class nE_GeneratedTexture;

class nE_Font : public nE_Resource {
public:
    // Code point of a line break inside laid-out text.
    static constexpr uint32_t kLineFeed = 10;
    // The largest canvas side renderText makes; longer texts give no texture rather than a huge
    // allocation the platform would refuse anyway.
    static constexpr int kMaxCanvasSide = 16384;

    // Code points with the inserted line breaks, the number of lines and the widest line in pixels.
    struct Layout {
        std::vector<uint32_t> codePoints;
        int lines = 1;
        int widest = 0;
    };
    // Where one glyph's pen stood while rasterising (for checks of the placement).
    struct Pen {
        uint32_t codePoint;
        int x, baseline;
    };
    // One byte of coverage per pixel, row by row.
    struct Canvas {
        std::vector<uint8_t> pixels;
        int width = 0, height = 0;
        int lines = 0;
        std::vector<Pen> pens;
        uint8_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    };
    // Horizontal advance in whole pixels of a code point, 0 when the face has no glyph for it.
    using AdvanceFn = std::function<int(uint32_t)>;

    nE_Font();
    ~nE_Font() override;

    // Opens name + ".ttf"; reports a missing file and returns false, leaving the font without a face.
    bool load(const std::string& name) override;
    bool hasFace() const { return face_ != nullptr; }

    // The text (UTF-8) rasterised at `size` pixels, wrapped at maxWidth pixels (none when 0 or less),
    // each line aligned 0 left, 1 centred, 2 right. Empty without a face, for a size below 1, or when
    // the canvas would exceed kMaxCanvasSide. The texture is the caller's alone (not cached).
    std::shared_ptr<nE_GeneratedTexture> renderText(const std::string& text, int size, int maxWidth,
                                                    int align);
    // The same, into a byte canvas; false (canvas untouched) in the cases renderText gives nothing.
    bool renderCanvas(const std::string& text, int size, int maxWidth, int align, Canvas& out);

    // The text laid out as renderText lays it out (stand-ins, wrapping at maxWidth), without drawing it;
    // false in the cases renderText gives nothing for the size.
    bool layOut(const std::string& text, int size, int maxWidth, Layout& out);
    // Whether the face has a glyph of its own for the code point (no stand-in counted).
    bool hasGlyph(uint32_t codePoint) const;
    // Whole-pixel advance at the size set last; 0 for 0, the line feed and code points without a glyph.
    int advance(uint32_t codePoint);
    // The code points with typographic quotes, dashes and the ellipsis this face lacks put in their
    // typewriter forms (' " - ...), so that a face with a small character set still shows them.
    std::vector<uint32_t> withStandIns(const std::vector<uint32_t>& codePoints);
    // The typewriter form put in a code point's place when the face lacks it, and how many times; 0 for
    // a code point that has none.
    static uint32_t standIn(uint32_t codePoint, int& times);

    // --- layout, independent of any face ---

    // Decodes UTF-8 leniently and never past the end: continuation bytes are not validated, a stray
    // continuation byte stands for its own value, a sequence cut off by the end of the text is dropped,
    // and a zero code point ends the text.
    static std::vector<uint32_t> decodeUtf8(const std::string& text);
    // One code point (at most U+10FFFF) as UTF-8.
    static std::string encodeUtf8(uint32_t codePoint);
    // Whether a word ends just after this code point: space, line feed, . , ! ? : ; and every CJK
    // code point from 11905 to 40958.
    static bool isBreak(uint32_t codePoint);
    // Words, each keeping its break character; the rest after the last break is a final word.
    static std::vector<std::vector<uint32_t>> splitWords(const std::vector<uint32_t>& codePoints);
    // Greedy wrapping. A word that does not fit strictly inside what is left of the line starts a new
    // line, even when the current one is still empty.
    static Layout wrap(const std::vector<uint32_t>& codePoints, int maxWidth, const AdvanceFn& advance);
    // Combines a coverage bitmap into the canvas by bitwise OR at (x, y), clipped to the canvas. pitch
    // is the byte distance between bitmap rows (negative for bottom-up bitmaps).
    static void blitOr(Canvas& canvas, const uint8_t* bitmap, int width, int rows, int pitch, int x, int y);

    // The process's FreeType library: made by the engine at start-up (or by the first load) and
    // released at shut-down, which also closes every face still open.
    static bool initLibrary();
    static void releaseLibrary();
    static bool libraryReady();

    // The font kind's constructor for the resource cache.
    static std::shared_ptr<nE_Resource> create();

    // Fonts (names as for load) whose letters stand in, in order, for those a font lacks: one face
    // rarely covers every script the game's languages write in. A bold font draws a regular stand-in
    // emboldened. None until set.
    static void setFallbacks(const std::vector<std::string>& names);

private:
    void closeFace();
    // Loads the glyph of a code point into the slot of the face that has it (this font's, else the
    // first fallback's, at this font's size) and returns that face; null when none has it.
    FT_FaceRec_* loadGlyph(uint32_t codePoint);

    FT_FaceRec_* face_ = nullptr;
    int pixelSize_ = 0;  // the size set last by renderCanvas; 0: the size load sets
    std::vector<std::shared_ptr<nE_Font>> fallbacks_;
    unsigned fallbacksGeneration_ = 0;
};
