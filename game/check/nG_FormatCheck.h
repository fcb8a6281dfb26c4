// The content checker's look at each file format the loaders read: animations, frame textures,
// particle files, strategy guides, subtitles and the string table, read the way the loaders read them
// and reported with file and line. Each file is looked at once per session.
#pragma once

#include <string>

#include "game/check/nG_CheckSession.h"

namespace tinyxml2 {
class XMLDocument;
class XMLElement;
class XMLNode;
}  // namespace tinyxml2

class nG_FormatCheck {
public:
    // Any file, by its name and what its text holds: ".srt" subtitles; XML modules, animations, frame
    // textures, guides and particle files told apart by their elements; other XML only has to be
    // well-formed. The string table is read as text, not XML, and is left to `strings`. The entry point
    // of the fuzz target.
    static void anyFile(nG_CheckSession& s, const std::string& file, const std::string& text);

    static void animation(nG_CheckSession& s, const std::string& file);
    // `name` is the frame texture's name (its file without ".xml"), which its images are relative to.
    static void frameTexture(nG_CheckSession& s, const std::string& name);
    static void particles(nG_CheckSession& s, const std::string& file);
    static void guide(nG_CheckSession& s, const std::string& file);
    static void subtitles(nG_CheckSession& s, const std::string& file);
    // The rows of the string table file: texts whose escapes do not resolve, keys given twice,
    // entities shown as written; typewriter dashes and quotes warned of.
    // Escapes resolve against `table` (the English one when none is given).
    static void strings(nG_CheckSession& s, const std::string& file, const nE_StringTable* table = nullptr);

    // Parses as the loaders do; reports XML that is not well-formed (with the parser's line).
    static bool parse(nG_CheckSession& s, tinyxml2::XMLDocument& doc, const std::string& file,
                      const std::string& text);
    // The text of an element and the line it starts on; false when it has none.
    static bool textOf(const tinyxml2::XMLElement* element, std::string& text, int& line);
    // Warns of typewriter marks in a text players read: "--" or " - " for a dash, straight double
    // quotes (also written &quot;).
    static void prose(nG_CheckSession& s, const nG_CheckSession::Place& at, const std::string& text);
    // The line of an element's attribute, else of the element.
    static int lineOf(const tinyxml2::XMLElement* element, const char* attribute);

private:
    static void animationText(nG_CheckSession& s, const std::string& file, const std::string& text);
    static void frameTextureText(nG_CheckSession& s, const std::string& name, const std::string& text);
    static void particlesText(nG_CheckSession& s, const std::string& file, const std::string& text);
    static void guideText(nG_CheckSession& s, const std::string& file, const std::string& text);
    static void subtitlesText(nG_CheckSession& s, const std::string& file, const std::string& text);
};
