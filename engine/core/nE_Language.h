// The language the game speaks: which ones the game folder has (a language is there when its strings
// file is), which one is current, and the per-language twins of files ("X_de.png" beside "X.png").
// English is the base every other language falls back to.
#pragma once

#include <string>
#include <vector>

class nE_StringTable;

class nE_Language {
public:
    static constexpr const char* kBase = "en";
    static constexpr const char* kBaseStrings = "assets/strings.xml";

    // The current language's code; "en" until another one is applied.
    static const std::string& current();
    // The strings file of a language: the base file for English, "assets/strings_<code>.xml" else.
    static std::string stringsFile(const std::string& code);
    // Whether the game folder has the language. Codes are two to eight letters or digits, so a code
    // can never name a file outside "assets/".
    static bool has(const std::string& code);
    // The languages the game has: English first, then the others in code order.
    static std::vector<std::string> available();
    // The language's name in itself: the key "language_name" of its own strings file, else a name
    // known here, else the code.
    static std::string nativeName(const std::string& code);

    // The language of a locale name: "de_DE.UTF-8" gives "de"; "" for "C", "POSIX" or nothing.
    static std::string fromLocale(const std::string& locale);
    // The system's language from the first set of LC_ALL, LC_MESSAGES and LANG; "" when none says one.
    static std::string fromEnvironment();
    // What the game starts in: the wanted code when the game has it, else English.
    static std::string resolve(const std::string& wanted);

    // Loads the table with English and the language's file over it and makes the language current;
    // an unknown language gives English. Every text watching the table's serial shows it anew.
    static void apply(nE_StringTable& table, const std::string& code);

    // The current language's twin of a file: base + "_" + code + extension when that file exists and
    // the language is not English; "" otherwise.
    static std::string twin(const std::string& base, const std::string& extension);
    // The same for a given language.
    static std::string twinFor(const std::string& code, const std::string& base,
                               const std::string& extension);
};
