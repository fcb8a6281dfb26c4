// The image font behind the pm_font handle: a glyph table in the common text format of bitmap fonts
// (info, common, page, chars, char, kernings and kerning lines of key=value pairs) over one or more
// page images, and the layout of UTF-8 text with it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "pixmote/include/pixmote.h"

struct pm_font {
public:
    // Reads a description; the page images are attached afterwards. A table that lies (counts that
    // differ from its lines, a page or glyph id given twice, a glyph on a page that does not exist,
    // numbers out of range, a malformed line) is refused whole with PM_ERROR_DECODE.
    static pm_result parse(const char* text, size_t size, std::unique_ptr<pm_font>& out);
    ~pm_font();

    // The page file names, by page id.
    const std::vector<std::string>& pageFiles() const { return pageFiles_; }
    // Gives the font its pages, by id; it destroys them with itself when owned. Refused with
    // PM_ERROR_DECODE when a glyph reaches outside its page.
    pm_result attachPages(const std::vector<pm_image*>& pages, bool owned);

    float lineHeight() const { return static_cast<float>(lineHeight_); }
    pm_result measure(const char* text, float wrapWidth, float* w, float* h) const;
    pm_result draw(pm_context* ctx, const char* text, float x, float y, float wrapWidth,
                   pm_align align) const;

private:
    struct Glyph {
        int x = 0, y = 0, w = 0, h = 0;
        int xoffset = 0, yoffset = 0, xadvance = 0;
        int page = 0;
    };
    // One character of laid-out text: its glyph (null when the font has none) and its advance,
    // kerning included.
    struct Item {
        uint32_t code;
        const Glyph* glyph;
        float advance;
    };
    struct Line {
        size_t begin, end;  // items
        float width;        // up to the end of its last character that is not a space
    };

    pm_font() = default;
    pm_result layout(const char* text, float wrapWidth, std::vector<Item>& items,
                     std::vector<Line>& lines) const;
    const Glyph* find(uint32_t code) const;
    int kerning(uint32_t first, uint32_t second) const;

    int lineHeight_ = 0;
    std::vector<std::string> pageFiles_;
    std::vector<pm_image*> pages_;
    bool ownsPages_ = false;
    std::unordered_map<uint32_t, Glyph> glyphs_;
    std::unordered_map<uint64_t, int> kernings_;
};
