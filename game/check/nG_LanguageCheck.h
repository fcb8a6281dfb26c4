// The content checker's look at the game's languages: each string table beside the English one
// ("assets/strings_<code>.xml") against the English rows, every character against the fonts that show
// strings, and every text laid out, in every language, in the box where the game shows it.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "game/check/nG_CheckSession.h"

class nG_LanguageCheck {
public:
    // The width of the screen the modules place their objects on.
    static constexpr int kScreenWidth = 1024;

    // The language codes that have a string table of their own, in order.
    static std::vector<std::string> codes();
    static std::string stringsFile(const std::string& code);

    // Reads each language's table into the session (after the English one): keys it lacks (at the
    // English row) or has beyond the English ones, texts whose escapes differ from the English text's,
    // and the format faults the English table is checked for.
    static void tables(nG_CheckSession& s);
    // Once every module is read: characters the fonts that show strings lack, and texts that overflow
    // the text objects and the program's boxes they are shown in.
    static void texts(nG_CheckSession& s);

    // The names of a text's escapes (%1%, %key%), sorted; "%%" is a percent sign, no escape.
    static std::vector<std::string> escapes(const std::string& text);
    // The row line of each key in a string table's text (the last row of a key given twice).
    static std::map<std::string, int> rowLines(const std::string& text);
};
