#include "pixmote/src/PmFont.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "pixmote/src/PmContext.h"
#include "pixmote/src/PmImage.h"

namespace {

// Bounds past which a table is taken to lie rather than to describe a real font.
constexpr long kMaxMetric = 16384;
constexpr long kMaxGlyphs = 1 << 17;
constexpr long kMaxKernings = 1 << 20;
constexpr long kMaxPages = 64;
constexpr long kMaxCode = 0x10FFFF;
// Text longer than this many characters is refused rather than laid out.
constexpr size_t kMaxTextItems = 1 << 20;
constexpr uint32_t kReplacement = 0xFFFD;

// One line of a description: its tag and its key=value pairs, quotes removed.
struct Fields {
    std::string tag;
    std::vector<std::pair<std::string, std::string>> pairs;

    const std::string* get(const char* key) const {
        for (const auto& p : pairs)
            if (p.first == key) return &p.second;
        return nullptr;
    }
};

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// False for an unterminated quote.
bool split(const char* s, const char* end, Fields& out) {
    out.tag.clear();
    out.pairs.clear();
    while (s < end && isBlank(*s)) ++s;
    while (s < end && !isBlank(*s)) out.tag += *s++;
    while (s < end) {
        while (s < end && isBlank(*s)) ++s;
        if (s == end) break;
        std::string key;
        while (s < end && !isBlank(*s) && *s != '=') key += *s++;
        if (s == end || *s != '=') continue;  // a bare word: nothing to keep
        ++s;
        std::string value;
        if (s < end && *s == '"') {
            const char* close = static_cast<const char*>(std::memchr(s + 1, '"', end - s - 1));
            if (!close) return false;
            value.assign(s + 1, close);
            s = close + 1;
        } else {
            while (s < end && !isBlank(*s)) value += *s++;
        }
        out.pairs.emplace_back(std::move(key), std::move(value));
    }
    return true;
}

// An integer key within [lo, hi]; a missing key gives fallback, a malformed one fails.
bool number(const Fields& f, const char* key, long lo, long hi, long fallback, long& out) {
    const std::string* v = f.get(key);
    if (!v) {
        out = fallback;
        return true;
    }
    if (v->empty()) return false;
    char* stop = nullptr;
    errno = 0;
    long n = std::strtol(v->c_str(), &stop, 10);
    if (errno || *stop || n < lo || n > hi) return false;
    out = n;
    return true;
}

// The next code point of UTF-8 text; an invalid or cut sequence gives U+FFFD and moves past its
// longest valid start, so that the text after it still reads.
uint32_t nextCode(const unsigned char*& s) {
    const unsigned c = *s++;
    if (c < 0x80) return c;
    int more;
    uint32_t code;
    unsigned lo = 0x80, hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        more = 1, code = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        more = 2, code = c & 0x0F;
        if (c == 0xE0) lo = 0xA0;
        if (c == 0xED) hi = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        more = 3, code = c & 0x07;
        if (c == 0xF0) lo = 0x90;
        if (c == 0xF4) hi = 0x8F;  // nothing past U+10FFFF
    } else {
        return kReplacement;
    }
    for (int i = 0; i < more; ++i, lo = 0x80, hi = 0xBF) {
        if (*s < lo || *s > hi) return kReplacement;
        code = (code << 6) | (*s++ & 0x3F);
    }
    return code;
}

}  // namespace

pm_result pm_font::parse(const char* text, size_t size, std::unique_ptr<pm_font>& out) {
    out.reset();
    if (!text) return PM_ERROR_INVALID_ARGUMENT;
    std::unique_ptr<pm_font> font(new pm_font);
    long pageCount = -1, charCount = -1, kerningCount = -1, charLines = 0, kerningLines = 0;
    bool common = false;
    std::vector<std::pair<long, std::string>> pages;
    Fields f;
    const char* end = text + size;
    // A byte order mark, as some editors write, is not part of the first tag.
    if (size >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) text += 3;
    for (const char* line = text; line < end;) {
        const char* stop = static_cast<const char*>(std::memchr(line, '\n', end - line));
        if (!stop) stop = end;
        if (!split(line, stop, f)) return PM_ERROR_DECODE;
        line = stop + 1;
        long a, b, c, d, e, g, h, k;
        if (f.tag == "common") {
            if (common || !number(f, "lineHeight", 1, kMaxMetric, -1, a) || a < 1 ||
                !number(f, "base", 0, kMaxMetric, 0, b) || !number(f, "pages", 1, kMaxPages, -1, pageCount) ||
                !number(f, "scaleW", 0, kMaxMetric, 0, c) || !number(f, "scaleH", 0, kMaxMetric, 0, c))
                return PM_ERROR_DECODE;
            font->lineHeight_ = static_cast<int>(a);
            common = true;
        } else if (f.tag == "page") {
            const std::string* file = f.get("file");
            if (!number(f, "id", 0, kMaxPages - 1, -1, a) || a < 0 || !file ||
                static_cast<long>(pages.size()) >= kMaxPages)
                return PM_ERROR_DECODE;
            pages.emplace_back(a, *file);
        } else if (f.tag == "chars") {
            if (charCount >= 0 || !number(f, "count", 0, kMaxGlyphs, -1, charCount) || charCount < 0)
                return PM_ERROR_DECODE;
        } else if (f.tag == "char") {
            if (++charLines > kMaxGlyphs || !number(f, "id", 0, kMaxCode, -1, a) || a < 0 ||
                !number(f, "x", 0, kMaxMetric, 0, b) || !number(f, "y", 0, kMaxMetric, 0, c) ||
                !number(f, "width", 0, kMaxMetric, 0, d) || !number(f, "height", 0, kMaxMetric, 0, e) ||
                !number(f, "xoffset", -kMaxMetric, kMaxMetric, 0, g) ||
                !number(f, "yoffset", -kMaxMetric, kMaxMetric, 0, h) ||
                !number(f, "xadvance", -kMaxMetric, kMaxMetric, 0, k))
                return PM_ERROR_DECODE;
            long page;
            if (!number(f, "page", 0, kMaxPages - 1, 0, page)) return PM_ERROR_DECODE;
            Glyph glyph;
            glyph.x = int(b), glyph.y = int(c), glyph.w = int(d), glyph.h = int(e);
            glyph.xoffset = int(g), glyph.yoffset = int(h), glyph.xadvance = int(k), glyph.page = int(page);
            if (!font->glyphs_.emplace(static_cast<uint32_t>(a), glyph).second) return PM_ERROR_DECODE;
        } else if (f.tag == "kernings") {
            if (kerningCount >= 0 || !number(f, "count", 0, kMaxKernings, -1, kerningCount) ||
                kerningCount < 0)
                return PM_ERROR_DECODE;
        } else if (f.tag == "kerning") {
            if (++kerningLines > kMaxKernings || !number(f, "first", 0, kMaxCode, -1, a) || a < 0 ||
                !number(f, "second", 0, kMaxCode, -1, b) || b < 0 ||
                !number(f, "amount", -kMaxMetric, kMaxMetric, 0, c))
                return PM_ERROR_DECODE;
            // A pair given twice keeps its last amount, as a later line corrects an earlier one.
            font->kernings_[(uint64_t(a) << 32) | uint64_t(b)] = int(c);
        }
    }
    // The counts must be the lines' own; each page id 0 .. pages - 1 given once; every glyph on one.
    if (!common || (charCount >= 0 && charCount != charLines) ||
        (kerningCount >= 0 && kerningCount != kerningLines))
        return PM_ERROR_DECODE;
    if (pageCount < 0) pageCount = pages.empty() ? 1 : static_cast<long>(pages.size());
    if (!pages.empty() && static_cast<long>(pages.size()) != pageCount) return PM_ERROR_DECODE;
    font->pageFiles_.assign(pageCount, std::string());
    std::vector<bool> seen(pageCount, false);
    for (const auto& page : pages) {
        if (page.first >= pageCount || seen[page.first]) return PM_ERROR_DECODE;
        seen[page.first] = true;
        font->pageFiles_[page.first] = page.second;
    }
    for (const auto& glyph : font->glyphs_)
        if (glyph.second.page >= pageCount) return PM_ERROR_DECODE;
    out = std::move(font);
    return PM_OK;
}

pm_font::~pm_font() {
    if (ownsPages_)
        for (pm_image* page : pages_) delete page;
}

pm_result pm_font::attachPages(const std::vector<pm_image*>& pages, bool owned) {
    if (pages.size() != pageFiles_.size()) return PM_ERROR_DECODE;
    for (pm_image* page : pages)
        if (!page) return PM_ERROR_INVALID_ARGUMENT;
    for (const auto& entry : glyphs_) {
        const Glyph& g = entry.second;
        const pm_image* page = pages[g.page];
        if (g.x + g.w > page->width() || g.y + g.h > page->height()) return PM_ERROR_DECODE;
    }
    pages_ = pages;
    ownsPages_ = owned;
    return PM_OK;
}

const pm_font::Glyph* pm_font::find(uint32_t code) const {
    auto it = glyphs_.find(code);
    return it == glyphs_.end() ? nullptr : &it->second;
}

int pm_font::kerning(uint32_t first, uint32_t second) const {
    if (kernings_.empty()) return 0;
    auto it = kernings_.find((uint64_t(first) << 32) | second);
    return it == kernings_.end() ? 0 : it->second;
}

pm_result pm_font::layout(const char* text, float wrapWidth, std::vector<Item>& items,
                          std::vector<Line>& lines) const {
    items.clear();
    lines.clear();
    if (!text) return PM_ERROR_INVALID_ARGUMENT;
    if (!std::isfinite(wrapWidth)) return PM_ERROR_INVALID_ARGUMENT;
    // A character the font lacks draws nothing and moves on as far as a space.
    const Glyph* space = find(' ');
    const float missing = space ? static_cast<float>(space->xadvance) : lineHeight_ / 2.0f;
    const Glyph* replacement = find(kReplacement);
    if (!replacement) replacement = find('?');
    if (!*text) return PM_OK;

    // Characters, with the paragraph breaks as items of code '\n'.
    for (auto s = reinterpret_cast<const unsigned char*>(text); *s;) {
        if (items.size() >= kMaxTextItems) return PM_ERROR_TOO_LARGE;
        uint32_t code = nextCode(s);
        if (code == '\r') continue;
        const Glyph* glyph = code == '\n' ? nullptr : find(code);
        if (!glyph && code == kReplacement) glyph = replacement;
        items.push_back({code, glyph, glyph ? static_cast<float>(glyph->xadvance) : missing});
    }

    // Greedy lines: a character that would pass the width breaks the line at the last run of spaces,
    // or before itself when the word alone is wider. Spaces at a wrapped line's end hang past it and
    // are not counted; those that start a line after a wrap are skipped.
    const bool wrap = wrapWidth > 0;
    size_t start = 0;
    while (true) {
        float pen = 0, width = 0, breakWidth = 0;
        size_t breakAt = SIZE_MAX, i = start;
        uint32_t previous = 0;
        bool ended = false, word = false;
        for (; i < items.size() && items[i].code != '\n'; ++i) {
            Item& item = items[i];
            const float advance = item.advance + (i > start ? kerning(previous, item.code) : 0);
            if (item.code == ' ') {
                if (word && items[i - 1].code != ' ') breakAt = i, breakWidth = width;
                pen += advance;
                previous = item.code;
                continue;
            }
            if (wrap && pen + advance > wrapWidth && i > start) {
                if (breakAt != SIZE_MAX) {
                    lines.push_back({start, breakAt, breakWidth});
                    for (i = breakAt; i < items.size() && items[i].code == ' ';) ++i;
                } else {
                    lines.push_back({start, i, width});
                }
                ended = true;
                break;
            }
            pen += advance;
            width = pen;
            previous = item.code;
            word = true;
        }
        // A wrap always leaves a character that is not a space for the next line.
        if (ended) {
            start = i;
            continue;
        }
        lines.push_back({start, i, width});
        if (i >= items.size()) break;
        start = i + 1;  // past the '\n'
    }
    // Kerning goes into the advances the lines were measured with: a pair's amount moves the pen
    // between its two glyphs, so it joins the first one's advance.
    for (const Line& line : lines)
        for (size_t j = line.begin + 1; j < line.end; ++j)
            items[j - 1].advance += kerning(items[j - 1].code, items[j].code);
    return PM_OK;
}

pm_result pm_font::measure(const char* text, float wrapWidth, float* w, float* h) const {
    if (!w || !h) return PM_ERROR_INVALID_ARGUMENT;
    std::vector<Item> items;
    std::vector<Line> lines;
    if (pm_result r = layout(text, wrapWidth, items, lines)) return r;
    float widest = 0;
    for (const Line& line : lines) widest = std::max(widest, line.width);
    *w = widest;
    *h = static_cast<float>(lines.size()) * lineHeight_;
    return PM_OK;
}

pm_result pm_font::draw(pm_context* ctx, const char* text, float x, float y, float wrapWidth,
                        pm_align align) const {
    if (align != PM_ALIGN_LEFT && align != PM_ALIGN_CENTER && align != PM_ALIGN_RIGHT)
        return PM_ERROR_INVALID_ARGUMENT;
    if (!std::isfinite(x) || !std::isfinite(y)) return PM_ERROR_INVALID_ARGUMENT;
    std::vector<Item> items;
    std::vector<Line> lines;
    if (pm_result r = layout(text, wrapWidth, items, lines)) return r;
    // Every glyph's rectangle first, so that a string that cannot be drawn whole draws nothing.
    struct Quad {
        const Glyph* glyph;
        float dst[4];
    };
    std::vector<Quad> quads;
    quads.reserve(items.size());
    for (size_t n = 0; n < lines.size(); ++n) {
        const Line& line = lines[n];
        const float room = wrapWidth > 0 ? wrapWidth : 0;
        float shift = 0;
        if (align == PM_ALIGN_CENTER) shift = std::round((room - line.width) / 2);
        if (align == PM_ALIGN_RIGHT) shift = room - line.width;
        float pen = x + shift;
        const float top = y + static_cast<float>(n) * lineHeight_;
        for (size_t i = line.begin; i < line.end; ++i) {
            const Glyph* g = items[i].glyph;
            if (g && g->w > 0 && g->h > 0)
                quads.push_back({g, {pen + g->xoffset, top + g->yoffset, float(g->w), float(g->h)}});
            pen += items[i].advance;
        }
    }
    for (const Quad& q : quads)
        if (pm_result r = ctx->checkQuad(q.dst)) return r;
    for (const Quad& q : quads) {
        const pm_image* page = pages_[q.glyph->page];
        const float src[4] = {float(q.glyph->x), float(q.glyph->y), float(q.glyph->w), float(q.glyph->h)};
        if (pm_result r = ctx->drawTexturedQuad(page->texture(), page->width(), page->height(), src, q.dst))
            return r;
    }
    return PM_OK;
}
