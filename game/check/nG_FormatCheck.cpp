#include "game/check/nG_FormatCheck.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>

#include "engine/core/nE_Debug.h"
#include "engine/core/nE_Xml.h"
#include "engine/media/nE_AssetFiles.h"
#include "engine/media/nE_Font.h"
#include "engine/media/nE_Subtitles.h"
#include "game/check/nG_ModuleCheck.h"
#include "game/shell/nG_StrategyGuide.h"
#include "pflib/TFile.h"

namespace {

using Place = nG_CheckSession::Place;
using R = nE_ContentRules;

bool hasEnding(const std::string& s, const char* tail) {
    const size_t n = std::strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

bool named(const tinyxml2::XMLElement* e, const char* name) {
    return e && e->Name() && std::strcmp(e->Name(), name) == 0;
}

std::string quoted(const std::string& s) {
    return "\"" + s + "\"";
}

// Reads the file once per session; an unreadable one is reported.
bool readOnce(nG_CheckSession& s, const std::string& file, std::string& text) {
    if (!s.firstVisit(file)) return false;
    if (pf::TFile::ReadAll(file, text)) return true;
    s.fault(Place{file, 0}, "cannot be read");
    return false;
}

// What an XML entity stands for, as UTF-8; empty when it names nothing.
std::string decodedEntity(const std::string& entity) {
    static const std::map<std::string, std::string> kNamed = {
        {"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&apos;", "'"}, {"&quot;", "\""}};
    auto named = kNamed.find(entity);
    if (named != kNamed.end()) return named->second;
    if (entity.size() < 4 || entity[1] != '#') return std::string();
    const bool hex = entity[2] == 'x' || entity[2] == 'X';
    char* end = nullptr;
    const unsigned long code = std::strtoul(entity.c_str() + (hex ? 3 : 2), &end, hex ? 16 : 10);
    if (!end || *end != ';' || code == 0 || code > 0x10FFFF) return std::string();
    return nE_Font::encodeUtf8(static_cast<uint32_t>(code));
}

}  // namespace

bool nG_FormatCheck::parse(nG_CheckSession& s, tinyxml2::XMLDocument& doc, const std::string& file,
                           const std::string& text) {
    if (doc.Parse(text.data(), text.size()) == tinyxml2::XML_SUCCESS) return true;
    int line = 0;
    const std::string what = nE_Xml::parseFault(doc, text, line);
    s.fault(Place{file, line}, "XML is not well-formed: " + what);
    return false;
}

bool nG_FormatCheck::textOf(const tinyxml2::XMLElement* element, std::string& text, int& line) {
    const char* value = element ? element->GetText() : nullptr;
    if (!value) return false;
    text = value;
    const tinyxml2::XMLNode* first = element->FirstChild();
    line = first ? first->GetLineNum() : element->GetLineNum();
    // The parser dates a text from its first non-blank character, but the text (and so the code's
    // first line) starts right after the tag.
    const tinyxml2::XMLText* plain = first ? first->ToText() : nullptr;
    if (plain && !plain->CData())
        for (size_t i = 0; i < text.size() && std::isspace(static_cast<unsigned char>(text[i])); ++i)
            if (text[i] == '\n') --line;
    return true;
}

int nG_FormatCheck::lineOf(const tinyxml2::XMLElement* element, const char* attribute) {
    if (!element) return 0;
    for (const tinyxml2::XMLAttribute* a = element->FirstAttribute(); a; a = a->Next())
        if (std::strcmp(a->Name(), attribute) == 0) return a->GetLineNum();
    return element->GetLineNum();
}

void nG_FormatCheck::anyFile(nG_CheckSession& s, const std::string& file, const std::string& text) {
    if (hasEnding(file, ".srt")) {
        if (s.firstVisit(file)) subtitlesText(s, file, text);
        return;
    }
    if (!hasEnding(file, ".xml") || file == nG_CheckSession::kStringsFile) return;
    if (s.modules.count(file)) return;
    tinyxml2::XMLDocument doc;
    if (doc.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS) {
        if (s.firstVisit(file)) parse(s, doc, file, text);
        return;
    }
    const tinyxml2::XMLElement* root = doc.FirstChildElement();
    if (nG_ModuleCheck::looksLikeModule(doc)) {
        s.firstVisit(file);
        nG_CheckSession::Module& m = s.modules[file];
        m.file = file;
        nG_ModuleCheck::text(s, m, text);
    } else if (named(root, "animation")) {
        if (s.firstVisit(file)) animationText(s, file, text);
    } else if (named(root, "frametexture")) {
        if (s.firstVisit(file)) frameTextureText(s, file.substr(0, file.size() - 4), text);
    } else if (named(root, "guide")) {
        if (s.firstVisit(file)) guideText(s, file, text);
    } else if (root && (root->Attribute("type") || root->FirstChildElement("emit"))) {
        if (s.firstVisit(file)) particlesText(s, file, text);
    } else {
        s.firstVisit(file);
    }
}

void nG_FormatCheck::animation(nG_CheckSession& s, const std::string& file) {
    std::string text;
    if (readOnce(s, file, text)) animationText(s, file, text);
}

void nG_FormatCheck::animationText(nG_CheckSession& s, const std::string& file, const std::string& text) {
    tinyxml2::XMLDocument doc;
    if (!parse(s, doc, file, text)) return;
    std::set<std::string>& functions = s.animationFunctions[file];
    const tinyxml2::XMLElement* root = doc.FirstChildElement("animation");
    if (!root) {
        s.fault(Place{file, 0}, "no <animation> element: the animation has no functions");
        return;
    }
    int frames = -1;
    const std::string sheet = nE_Xml::text(root, "frame_texture");
    if (sheet.empty()) {
        s.fault(Place{file, root->GetLineNum()}, "<animation> names no frame_texture");
    } else {
        const std::string name = nE_AssetFiles::folderOf(file) + sheet;
        s.reference(R::kFrameTexture, name, Place{file, lineOf(root, "frame_texture")}, nullptr);
        auto count = s.frameCounts.find(nE_AssetFiles::frameTexture(name));
        if (count != s.frameCounts.end()) frames = count->second;
    }
    // Like the loader: from the first <function> on, every element is a function, and inside one,
    // from the first <frame> on, every element is a frame.
    for (const tinyxml2::XMLElement* f = root->FirstChildElement("function"); f;
         f = f->NextSiblingElement()) {
        if (!named(f, "function"))
            s.fault(Place{file, f->GetLineNum()},
                    "<" + std::string(f->Name()) + "> after the first <function> is read as a function");
        const std::string function = nE_Xml::text(f, "name");
        functions.insert(function);
        bool anyFrame = false;
        for (const tinyxml2::XMLElement* e = f->FirstChildElement("frame"); e; e = e->NextSiblingElement()) {
            anyFrame = true;
            if (!named(e, "frame"))
                s.fault(Place{file, e->GetLineNum()},
                        "<" + std::string(e->Name()) + "> after the first <frame> is read as a frame");
            const int idx = nE_Xml::integer(e, "idx");
            if (frames >= 0 && (idx < 0 || idx >= frames))
                s.fault(Place{file, lineOf(e, "idx")}, "frame idx " + std::to_string(idx) +
                                                           " is not in the frame texture (it has " +
                                                           std::to_string(frames) + " frames)");
        }
        if (!anyFrame)
            s.fault(Place{file, f->GetLineNum()}, "function " + quoted(function) + " has no frames");
    }
}

void nG_FormatCheck::frameTexture(nG_CheckSession& s, const std::string& name) {
    std::string text;
    if (readOnce(s, nE_AssetFiles::frameTexture(name), text)) frameTextureText(s, name, text);
}

void nG_FormatCheck::frameTextureText(nG_CheckSession& s, const std::string& name, const std::string& text) {
    const std::string file = nE_AssetFiles::frameTexture(name);
    s.frameCounts[file] = -1;
    tinyxml2::XMLDocument doc;
    if (!parse(s, doc, file, text)) return;
    const tinyxml2::XMLElement* root = doc.FirstChildElement("frametexture");
    if (!root) {
        s.fault(Place{file, 0}, "no <frametexture> element: the sheet has no frames");
        return;
    }
    int count = 0, misspelt = 0, firstMisspelt = 0;
    std::set<std::string> sheets;
    const std::string folder = nE_AssetFiles::folderOf(name);
    for (const tinyxml2::XMLElement* e = root->FirstChildElement("frame"); e;
         e = e->NextSiblingElement("frame")) {
        ++count;
        if (e->Attribute("width") && !e->Attribute("widht") && misspelt++ == 0)
            firstMisspelt = lineOf(e, "width");
        // A sheet shared by many frames is reported once.
        const std::string sheet = nE_Xml::text(e, "texture");
        if (sheets.insert(sheet).second) {
            if (sheet.empty())
                s.fault(Place{file, e->GetLineNum()}, "<frame> names no texture");
            else
                s.reference(R::kImage, folder + sheet, Place{file, lineOf(e, "texture")}, nullptr);
        }
    }
    if (misspelt)
        s.fault(Place{file, firstMisspelt}, "\"width\" is not read: this format spells it \"widht\" (" +
                                                std::to_string(misspelt) +
                                                (misspelt == 1 ? " frame is" : " frames are") + " 0 wide)");
    s.frameCounts[file] = count;
}

void nG_FormatCheck::particles(nG_CheckSession& s, const std::string& file) {
    std::string text;
    if (readOnce(s, file, text)) particlesText(s, file, text);
}

void nG_FormatCheck::particlesText(nG_CheckSession& s, const std::string& file, const std::string& text) {
    tinyxml2::XMLDocument doc;
    if (!parse(s, doc, file, text)) return;
    const tinyxml2::XMLElement* root = doc.FirstChildElement();
    if (!root) return;
    const std::string type = nE_Xml::text(root, "type", "complex");
    const tinyxml2::XMLElement* emit = root->FirstChildElement("emit");
    if (type == "vell") {
        if (!emit) {
            s.fault(Place{file, root->GetLineNum()}, "no <emit> element: the emitter has no parameters");
            return;
        }
        if (emit->Attribute("res"))
            s.reference(R::kImage, nE_Xml::text(emit, "res"), Place{file, lineOf(emit, "res")}, nullptr);
        // A factor left out reads as 0, which stops that motion in the first frame.
        std::vector<const char*> factors = {"speed_xf", "speed_yf", "gravf",
                                            "grotatef", "scale_xf", "rotatef"};
        if (nE_Xml::integer(emit, "scale_mode") == 0) factors.push_back("scale_yf");
        std::string absent;
        for (const char* factor : factors)
            if (!emit->Attribute(factor)) absent += (absent.empty() ? "" : ", ") + std::string(factor);
        if (!absent.empty())
            s.fault(
                Place{file, emit->GetLineNum()},
                "no " + absent + ": a factor left out reads as 0 and stops that motion at once (write 1)");
        return;
    }
    if (type != "complex") {
        s.fault(
            Place{file, lineOf(root, "type")},
            "particle type " + quoted(type) + " is not known (\"vell\" or \"complex\"); nothing is shown");
        return;
    }
    // The blend mode is read from a comment " Blend: N" only when it is the document's first node.
    for (const tinyxml2::XMLNode* node = doc.FirstChild(); node; node = node->NextSibling()) {
        const tinyxml2::XMLComment* comment = node->ToComment();
        if (comment && comment->Value() && std::strstr(comment->Value(), "Blend:") &&
            node != doc.FirstChild())
            s.fault(Place{file, node->GetLineNum()},
                    "the blend comment is read only as the file's first node (no XML declaration before it)");
    }
    if (!emit) s.fault(Place{file, root->GetLineNum()}, "no <emit> element: the system has no emitter types");
    for (const tinyxml2::XMLElement* e = emit ? emit->FirstChildElement() : nullptr; e;
         e = e->NextSiblingElement()) {
        if (e->Attribute("res"))
            s.reference(R::kImage, nE_Xml::text(e, "res"), Place{file, lineOf(e, "res")}, nullptr);
        for (const char* part : {"bornpart", "diepart", "process", "processpart"}) {
            std::string code;
            int line = 0;
            if (textOf(e->FirstChildElement(part), code, line)) s.compileLua(code, Place{file, line});
        }
    }
    std::string code;
    int line = 0;
    if (textOf(root->FirstChildElement("process"), code, line)) s.compileLua(code, Place{file, line});
}

void nG_FormatCheck::prose(nG_CheckSession& s, const Place& at, const std::string& text) {
    if (text.find("--") != std::string::npos || text.find(" - ") != std::string::npos)
        s.warn(at,
               "\"--\" or \" - \" as a dash in a text players read: write an en dash with spaces (\" \u2013 "
               "\")");
    if (text.find('"') != std::string::npos || text.find("&quot;") != std::string::npos)
        s.warn(at, "straight double quotes in a text players read: write \u201c and \u201d");
}

void nG_FormatCheck::guide(nG_CheckSession& s, const std::string& file) {
    std::string text;
    if (readOnce(s, file, text)) guideText(s, file, text);
}

void nG_FormatCheck::guideText(nG_CheckSession& s, const std::string& file, const std::string& text) {
    // The guide reads its texts with white space collapsed.
    tinyxml2::XMLDocument doc(true, tinyxml2::COLLAPSE_WHITESPACE);
    if (!parse(s, doc, file, text)) return;
    const tinyxml2::XMLElement* root = doc.FirstChildElement("guide");
    if (!root) {
        s.fault(Place{file, 0}, "no <guide> element: the guide is empty");
        return;
    }
    auto textOfElement = [](const tinyxml2::XMLElement* e) {
        const char* t = e ? e->GetText() : nullptr;
        return std::string(t ? t : "");
    };
    std::set<std::string> titles;
    for (const tinyxml2::XMLElement* chapter = root->FirstChildElement("chapter"); chapter;
         chapter = chapter->NextSiblingElement("chapter")) {
        for (const tinyxml2::XMLElement* h2 = chapter->FirstChildElement("h2"); h2;
             h2 = h2->NextSiblingElement("h2"))
            titles.insert(textOfElement(h2));
        for (const tinyxml2::XMLElement* page = chapter->FirstChildElement("page"); page;
             page = page->NextSiblingElement("page"))
            for (const tinyxml2::XMLElement* ul = page->FirstChildElement("ul"); ul;
                 ul = ul->NextSiblingElement("ul"))
                for (const tinyxml2::XMLElement* li = ul->FirstChildElement("li"); li;
                     li = li->NextSiblingElement("li"))
                    prose(s, Place{file, li->GetLineNum()}, textOfElement(li));
    }
    if (const tinyxml2::XMLElement* toc = root->FirstChildElement("toc")) {
        for (const tinyxml2::XMLElement* ul = toc->FirstChildElement("ul"); ul;
             ul = ul->NextSiblingElement("ul"))
            for (const tinyxml2::XMLElement* li = ul->FirstChildElement("li"); li;
                 li = li->NextSiblingElement("li"))
                if (!titles.count(textOfElement(li)))
                    s.fault(Place{file, li->GetLineNum()},
                            "contents entry " + quoted(textOfElement(li)) +
                                " is no chapter's <h2>; it opens the first page");
    }
    // The pages' texts, as the guide reads them, for their boxes to be measured.
    std::vector<int> pageLines;
    for (const tinyxml2::XMLElement* chapter = root->FirstChildElement("chapter"); chapter;
         chapter = chapter->NextSiblingElement("chapter"))
        for (const tinyxml2::XMLElement* page = chapter->FirstChildElement("page"); page;
             page = page->NextSiblingElement("page"))
            pageLines.push_back(page->GetLineNum());
    const nG_StrategyGuide::Model model = nG_StrategyGuide::read(file);
    if (model.pages.size() == pageLines.size())
        for (size_t i = 0; i < pageLines.size(); ++i)
            s.guidePages.push_back(
                nG_CheckSession::GuidePage{Place{file, pageLines[i]}, model.pages[i].text,
                                           nG_StrategyGuide::pageTextWidth(model.pages[i])});
    const std::string screens = nG_StrategyGuide::screensFolder(file);
    for (const tinyxml2::XMLElement* chapter = root->FirstChildElement("chapter"); chapter;
         chapter = chapter->NextSiblingElement("chapter")) {
        for (const tinyxml2::XMLElement* page = chapter->FirstChildElement("page"); page;
             page = page->NextSiblingElement("page")) {
            for (const tinyxml2::XMLElement* img = page->FirstChildElement("img"); img;
                 img = img->NextSiblingElement("img")) {
                const std::string src = nE_Xml::text(img, "src");
                int slot = -1;
                if (src.empty()) {
                    s.fault(Place{file, img->GetLineNum()}, "<img> names no src; it is skipped");
                } else if (img->QueryIntAttribute("position", &slot) != tinyxml2::XML_SUCCESS || slot < 0 ||
                           slot >= nG_StrategyGuide::kImageSlots) {
                    s.fault(Place{file, lineOf(img, "position")},
                            "<img> position must be 0 to 5; it is skipped");
                } else {
                    s.reference(R::kImage, screens + src, Place{file, lineOf(img, "src")}, nullptr);
                }
            }
        }
    }
}

void nG_FormatCheck::subtitles(nG_CheckSession& s, const std::string& file) {
    std::string text;
    if (readOnce(s, file, text)) subtitlesText(s, file, text);
}

void nG_FormatCheck::subtitlesText(nG_CheckSession& s, const std::string& file, const std::string& text) {
    nE_Subtitles track;
    std::vector<std::string> reports;
    {
        nE_Debug::Capture capture;
        track.parse(text, file);
        reports = capture.lines;
    }
    if (track.brokenLine > 0) {
        // The loader's own words, without its prefix naming the file.
        std::string why = reports.empty() ? "the subtitles end here" : reports.front();
        const size_t cut = why.find("\": ");
        if (cut != std::string::npos) why.erase(0, cut + 3);
        while (!why.empty() && (why.back() == '\n' || why.back() == ' ')) why.pop_back();
        s.fault(Place{file, track.brokenLine}, why);
    }
    for (const nE_Subtitles::Entry& entry : track.entries) {
        s.reference(R::kStringKey, entry.text, Place{file, entry.line}, nullptr);
        s.keyCalls.push_back(
            nG_CheckSession::KeyCall{R::kSubtitleLines, 0, "", entry.text, Place{file, entry.line}});
    }
}

void nG_FormatCheck::strings(nG_CheckSession& s, const std::string& file, const nE_StringTable* table) {
    if (!table) table = &s.strings;
    std::string text;
    if (!readOnce(s, file, text)) return;
    const std::vector<nE_StringTable::Row> rows = nE_StringTable::rows(text);
    std::map<std::string, size_t> last;
    for (size_t i = 0; i < rows.size(); ++i) last[rows[i].key] = i;
    size_t counted = 0;
    int line = 1;
    for (size_t i = 0; i < rows.size(); ++i) {
        const nE_StringTable::Row& row = rows[i];
        line += static_cast<int>(std::count(text.begin() + static_cast<std::ptrdiff_t>(counted),
                                            text.begin() + static_cast<std::ptrdiff_t>(row.offset), '\n'));
        counted = row.offset;
        const Place at{file, line};
        if (last[row.key] != i) {
            s.fault(at,
                    "key " + quoted(row.key) + " is given again further down; the later row's text is used");
            continue;
        }
        prose(s, at, row.text);
        // The decoded ones are gone from the text by now; any other entity shows as written.
        for (size_t amp = row.text.find('&'); amp != std::string::npos; amp = row.text.find('&', amp + 1)) {
            const size_t semi = row.text.find(';', amp);
            if (semi == std::string::npos || semi - amp > 10) continue;
            const std::string entity = row.text.substr(amp, semi - amp + 1);
            const std::string character = decodedEntity(entity);
            if (character.empty() && entity.find_first_of(" <&", 1) != std::string::npos) continue;
            s.fault(at, quoted(entity) + " is shown as written: only &#10;, &quot; and &#160; are decoded; " +
                            (character.empty() ? std::string("write the character itself")
                                               : "write the character itself (" + quoted(character) + ")"));
        }
        // The table's own lookup decides: an escape that names no argument 1-5 and no key, or a "%"
        // left open, gives the missing-text marker.
        std::string shown;
        {
            nE_Debug::Capture quiet;
            shown = table->get(row.key, "1", "2", "3", "4", "5");
        }
        if (shown == "#####" && row.text != "#####")
            s.fault(at,
                    "text of " + quoted(row.key) +
                        " shows \"#####\": a %...% escape names no argument 1-5 and no key, or a \"%\" is "
                        "left open (write %% for a percent sign)");
    }
}
