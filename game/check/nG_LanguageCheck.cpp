#include "game/check/nG_LanguageCheck.h"

#include <algorithm>
#include <memory>
#include <set>
#include <unordered_map>

#include "engine/core/nE_Debug.h"
#include "engine/media/nE_AssetFiles.h"
#include "engine/media/nE_Font.h"
#include "engine/script/nE_ContentRules.h"
#include "game/check/nG_CheckReport.h"
#include "game/check/nG_FormatCheck.h"
#include "game/shell/nG_StrategyGuide.h"
#include "pflib/TFile.h"
#include "pflib/TPlatform.h"
#include "pflib/TTexture.h"

namespace {

using Place = nG_CheckSession::Place;
using R = nE_ContentRules;

const char kPrefix[] = "assets/strings_";
const char kMissingText[] = "#####";

std::string inQuotes(const std::string& s) {
    return "\"" + s + "\"";
}

std::string listed(const std::vector<std::string>& names) {
    if (names.empty()) return "none";
    std::string out;
    for (const std::string& n : names) out += (out.empty() ? "%" : " %") + n + "%";
    return out;
}

std::string utf8(uint32_t cp) {
    return nE_Font::encodeUtf8(cp);
}

std::string codeName(uint32_t cp) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string hex;
    for (int shift = cp > 0xFFFF ? 20 : 12; shift >= 0; shift -= 4) hex += kHex[(cp >> shift) & 0xF];
    return inQuotes(utf8(cp)) + " (U+" + hex + ")";
}

// Marks a face may lack: the layout puts their typewriter forms in their place.
bool hasStandIn(uint32_t cp) {
    int times = 0;
    return nE_Font::standIn(cp, times) != 0;
}

// A text without its escapes: what is shown of it apart from what they put in.
std::string withoutEscapes(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        if (text[i] != '%') {
            out += text[i++];
            continue;
        }
        const size_t close = text.find('%', i + 1);
        if (close == std::string::npos) break;
        if (close == i + 1) out += '%';
        i = close + 1;
    }
    return out;
}

// One language's texts as the game shows them, with where each row is.
struct Table {
    std::string code;
    std::string file;
    const nE_StringTable* table = nullptr;
    const std::map<std::string, int>* lines = nullptr;
};

std::vector<Table> allTables(const nG_CheckSession& s) {
    std::vector<Table> out;
    out.push_back(Table{"en", nG_CheckSession::kStringsFile, &s.strings, &s.stringLines});
    for (const nG_CheckSession::Language& l : s.languages)
        out.push_back(Table{l.code, l.file, &l.table, &l.lines});
    return out;
}

// The text of a key in a language; false when the language has no row of its own for it (the English
// text stands in, and is checked as English) or the text shows the missing-text marker.
bool textIn(const Table& t, const std::string& key, std::string& out) {
    if (!t.lines->count(key)) return false;
    nE_Debug::Capture quiet;
    out = t.table->get(key);
    return out != kMissingText;
}

// The laid-out lines' widths without the spaces that end them, which show nothing.
struct Measure {
    int widest = 0;
    int lines = 0;
};

Measure measure(nE_Font& font, const std::string& text, int size, int maxWidth) {
    Measure m;
    nE_Font::Layout layout;
    if (!font.layOut(text, size, maxWidth, layout)) return m;
    m.lines = layout.lines;
    int pen = 0, inked = 0;
    for (uint32_t cp : layout.codePoints) {
        if (cp == nE_Font::kLineFeed) {
            m.widest = std::max(m.widest, inked);
            pen = inked = 0;
            continue;
        }
        pen += font.advance(cp);
        if (cp != ' ' && cp != 0xA0) inked = pen;
    }
    m.widest = std::max(m.widest, inked);
    return m;
}

class Fonts {
public:
    nE_Font* get(const std::string& name) {
        auto found = fonts_.find(name);
        if (found != fonts_.end()) return found->second.get();
        std::unique_ptr<nE_Font> font(new nE_Font());
        {
            nE_Debug::Capture quiet;
            if (!font->load(name)) font.reset();
        }
        return (fonts_[name] = std::move(font)).get();
    }

private:
    std::map<std::string, std::unique_ptr<nE_Font>> fonts_;
};

struct Box {
    float left, top, right, bottom;
};

}  // namespace

std::vector<std::string> nG_LanguageCheck::codes() {
    std::vector<std::string> out;
    const std::string prefix = kPrefix;
    for (const std::string& file : pf::TFile::ListGameFiles("assets")) {
        if (file.size() <= prefix.size() + 4 || file.compare(0, prefix.size(), prefix) != 0) continue;
        if (file.compare(file.size() - 4, 4, ".xml") != 0) continue;
        const std::string code = file.substr(prefix.size(), file.size() - prefix.size() - 4);
        if (code.find('/') == std::string::npos) out.push_back(code);
    }
    return out;
}

std::string nG_LanguageCheck::stringsFile(const std::string& code) {
    return kPrefix + code + ".xml";
}

std::vector<std::string> nG_LanguageCheck::escapes(const std::string& text) {
    std::vector<std::string> out;
    for (size_t i = 0; i < text.size();) {
        if (text[i] != '%') {
            ++i;
            continue;
        }
        const size_t close = text.find('%', i + 1);
        // A "%" left open names the rest of the text, as the lookup reads it.
        const std::string name =
            text.substr(i + 1, close == std::string::npos ? std::string::npos : close - i - 1);
        if (!name.empty()) out.push_back(name);
        if (close == std::string::npos) break;
        i = close + 1;
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::map<std::string, int> nG_LanguageCheck::rowLines(const std::string& text) {
    std::map<std::string, int> out;
    size_t counted = 0;
    int line = 1;
    for (const nE_StringTable::Row& row : nE_StringTable::rows(text)) {
        line += static_cast<int>(std::count(text.begin() + static_cast<std::ptrdiff_t>(counted),
                                            text.begin() + static_cast<std::ptrdiff_t>(row.offset), '\n'));
        counted = row.offset;
        out[row.key] = line;
    }
    return out;
}

void nG_LanguageCheck::tables(nG_CheckSession& s) {
    std::string english;
    if (pf::TFile::ReadAll(nG_CheckSession::kStringsFile, english)) s.stringLines = rowLines(english);
    std::set<std::string> englishKeys;
    for (const auto& entry : s.strings.entries) englishKeys.insert(entry.first);

    for (const std::string& code : codes()) {
        const std::string file = stringsFile(code);
        std::string text;
        if (!pf::TFile::ReadAll(file, text)) {
            nG_FormatCheck::strings(s, file);  // reports it
            continue;
        }
        s.languages.emplace_back();
        nG_CheckSession::Language& lang = s.languages.back();
        lang.code = code;
        lang.file = file;
        // A key the language lacks shows the English text.
        lang.table.entries = s.strings.entries;
        for (nE_StringTable::Row& row : nE_StringTable::rows(text)) lang.table.entries[row.key] = row.text;
        lang.lines = rowLines(text);
        nG_FormatCheck::strings(s, file, &lang.table);

        for (const auto& entry : s.strings.entries) {
            if (lang.lines.count(entry.first)) continue;
            auto line = s.stringLines.find(entry.first);
            s.fault(
                Place{nG_CheckSession::kStringsFile, line == s.stringLines.end() ? 0 : line->second},
                "key " + inQuotes(entry.first) + " has no text in " + file + "; the English text is shown");
        }
        for (const auto& entry : lang.lines) {
            const Place at{file, entry.second};
            auto english = s.strings.entries.find(entry.first);
            if (english == s.strings.entries.end()) {
                s.fault(at, "key " + inQuotes(entry.first) + " is not in " + nG_CheckSession::kStringsFile +
                                nG_CheckSession::suggestion(entry.first, englishKeys));
                continue;
            }
            const std::vector<std::string> theirs = escapes(lang.table.entries[entry.first]);
            const std::vector<std::string> ours = escapes(english->second);
            if (theirs != ours)
                s.fault(at, "text of " + inQuotes(entry.first) + " has the escapes " + listed(theirs) +
                                " where the English text has " + listed(ours));
        }
    }
}

void nG_LanguageCheck::texts(nG_CheckSession& s) {
    if (!s.haveStrings) return;
    Fonts fonts;
    const std::vector<Table> tables = allTables(s);

    // The fonts the game shows strings in.
    std::set<std::string> shownIn;
    for (const nG_CheckSession::TextUse& use : s.textUses) shownIn.insert(use.font);
    for (const R::TextBox& box : R::textBoxes()) shownIn.insert(box.font);
    for (const std::string& name : shownIn) {
        nE_Font* font = fonts.get(name);
        if (!font) continue;  // a missing font is reported where it is named
        std::unordered_map<uint32_t, bool> has;
        for (const Table& t : tables) {
            std::map<uint32_t, int> lacking;  // with the first line that uses it
            for (const auto& row : *t.lines) {
                auto text = t.table->entries.find(row.first);
                if (text == t.table->entries.end()) continue;
                for (uint32_t cp : nE_Font::decodeUtf8(withoutEscapes(text->second))) {
                    if (cp < 0x20 || hasStandIn(cp)) continue;
                    auto known = has.find(cp);
                    if (known == has.end()) known = has.emplace(cp, font->hasGlyph(cp)).first;
                    if (known->second) continue;
                    auto first = lacking.find(cp);
                    if (first == lacking.end() || first->second > row.second) lacking[cp] = row.second;
                }
            }
            if (lacking.empty()) continue;
            int line = 0;
            std::string list;
            size_t n = 0;
            for (const auto& entry : lacking) {
                line = line == 0 ? entry.second : std::min(line, entry.second);
                if (n++ < 8) list += (list.empty() ? "" : ", ") + codeName(entry.first);
            }
            if (n > 8) list += " and " + std::to_string(n - 8) + " more";
            s.fault(Place{t.file, line}, "font " + inQuotes(name) + " (" + nE_AssetFiles::font(name) +
                                             "), in which the game shows strings, has no glyph for " + list +
                                             " that this table's texts use (the first here)");
        }
    }

    // Text objects in the modules, each language laid out where the object shows it.
    for (const nG_CheckSession::TextUse& use : s.textUses) {
        nE_Font* font = fonts.get(use.font);
        if (!font || !s.strings.entries.count(use.key)) continue;
        // Across the screen only: texts that scripts move up and down (a credits roll) start below it.
        Box box{0, -1e9f, static_cast<float>(kScreenWidth), 1e9f};
        std::string inside = "off the screen";
        const std::string file = use.image.empty() ? std::string() : nE_AssetFiles::image(use.image);
        pf::TImageHeader header;
        if (!file.empty() && pf::TTexture::ReadHeader(pf::TPlatform::ResolvePath(file), header)) {
            const float w = header.width * use.imageScaleX, h = header.height * use.imageScaleY;
            // A backdrop: what is on it is kept to the screen, as the texts on no image are.
            if (w < kScreenWidth) {
                box = Box{use.imageX - w / 2, use.imageY - h / 2, use.imageX + w / 2, use.imageY + h / 2};
                inside = "past the image it is on (" + use.image + ", " +
                         std::to_string(static_cast<int>(w)) + " x " + std::to_string(static_cast<int>(h)) +
                         ")";
            }
        }
        for (const Table& t : tables) {
            std::string text;
            if (!textIn(t, use.key, text)) continue;
            const Measure m = measure(*font, text, use.size, use.maxWidth);
            if (m.lines == 0) continue;
            const std::string what = "text " + inQuotes(use.key) + " (" + t.code + ")";
            if (use.maxWidth > 0 && m.widest > use.maxWidth) {
                s.fault(use.at, what + " overflows its box by " + std::to_string(m.widest - use.maxWidth) +
                                    " px: a word is wider than its maxwidth (" +
                                    std::to_string(use.maxWidth) + ")");
                continue;
            }
            // Where the drawn lines reach: the block is centred on the position, a quarter of the size
            // in from its side edge when aligned left or right, ink from a fifth of a line down.
            const float w = static_cast<float>(m.widest), quarter = use.size / 4.f;
            const float left = use.align == 0   ? use.x + quarter
                               : use.align == 2 ? use.x - quarter - w
                                                : use.x - w / 2;
            const float blockHeight = static_cast<float>(use.size * m.lines + use.size / 2);
            const float top = use.y - blockHeight / 2 + use.size / 5.f;
            const float bottom = use.y - blockHeight / 2 + use.size * m.lines + quarter;
            const float over =
                std::max({box.left - left, left + w - box.right, box.top - top, bottom - box.bottom});
            if (over >= 1)
                s.fault(use.at,
                        what + " runs " + std::to_string(static_cast<int>(over + 0.5f)) + " px " + inside);
        }
    }

    // The strategy guide's pages, in each language's guide.
    if (nE_Font* font = s.guidePages.empty() ? nullptr : fonts.get(nG_StrategyGuide::kPageFont)) {
        const int size = nG_StrategyGuide::kPageTextSize;
        for (const nG_CheckSession::GuidePage& page : s.guidePages) {
            const Measure m = measure(*font, page.text, size, page.width);
            const float bottom = nG_StrategyGuide::kPageTextTop + size * m.lines + size / 2;
            if (m.widest > page.width)
                s.fault(page.at, "the page's text overflows its box by " +
                                     std::to_string(m.widest - page.width) +
                                     " px: a word is wider than the " + std::to_string(page.width) +
                                     " px the text has beside the page's pictures");
            else if (bottom > nG_StrategyGuide::kPageTextBottom)
                s.fault(page.at,
                        "the page's text runs " +
                            std::to_string(static_cast<int>(bottom - nG_StrategyGuide::kPageTextBottom)) +
                            " px below the page (" + std::to_string(m.lines) + " lines of " +
                            std::to_string(page.width) + " px): split the page");
        }
    }

    // The program's own boxes, for the keys they are given.
    for (const R::TextBox& box : R::textBoxes()) {
        nE_Font* font = fonts.get(box.font);
        if (!font) continue;
        R::TextBox sized = box;
        if (!box.image.empty()) {
            const std::string file = nE_AssetFiles::image(box.image);
            pf::TImageHeader header;
            if (file.empty() || !pf::TTexture::ReadHeader(pf::TPlatform::ResolvePath(file), header)) continue;
            sized.width = header.width;
        }
        std::set<std::string> keys;
        if (!box.key.empty() && s.strings.entries.count(box.key)) keys.insert(box.key);
        if (!box.keyPrefix.empty()) {
            const size_t hole = box.keyPrefix.find("%s");
            const std::string prefix = box.keyPrefix.substr(0, hole);
            const std::string suffix =
                hole == std::string::npos ? std::string() : box.keyPrefix.substr(hole + 2);
            for (const auto& entry : s.strings.entries) {
                const std::string& key = entry.first;
                if (key.size() >= prefix.size() + suffix.size() &&
                    key.compare(0, prefix.size(), prefix) == 0 &&
                    key.compare(key.size() - suffix.size(), suffix.size(), suffix) == 0)
                    keys.insert(key);
            }
        }
        for (const nG_CheckSession::KeyCall& call : s.keyCalls)
            if (!box.function.empty() && call.function == box.function && call.position == box.position &&
                call.pattern == box.pattern)
                keys.insert(call.key);
        for (const std::string& key : keys) {
            for (const Table& t : tables) {
                std::string text;
                if (!textIn(t, key, text)) continue;
                int size = sized.size;
                Measure m = measure(*font, text, size, sized.wraps ? sized.width : 0);
                while (!sized.wraps && m.widest > sized.width && size > sized.minSize && sized.minSize > 0)
                    m = measure(*font, text, --size, 0);
                const Place at{t.file, t.lines->at(key)};
                const std::string what = "text " + inQuotes(key) + " (" + t.code + ")";
                if (m.widest > sized.width)
                    s.fault(at, what + " runs " + std::to_string(m.widest - sized.width) + " px past the " +
                                    std::to_string(sized.width) + " px wide box " + box.owner +
                                    " shows it in" +
                                    (sized.wraps         ? ": a word is wider than the box"
                                     : size < sized.size ? " even at size " + std::to_string(size)
                                                         : std::string()));
                else if (box.lines > 0 && m.lines > box.lines)
                    s.fault(at, what + " needs " + std::to_string(m.lines) + " lines; the box " + box.owner +
                                    " shows it in holds " + std::to_string(box.lines));
            }
        }
    }
}
