// All user-visible text by key, loaded from an Excel 2003 XML spreadsheet (key in the first cell, text
// in the second). Lookups expand %n% (caller arguments 1..5), %key% (other entries) and %% escapes.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

class nE_StringTable {
public:
    // Clears the table and reads the file (".xml" added unless the path has it); false when the file
    // cannot be read, leaving the table empty.
    bool load(const std::string& path);
    // Reads a language's file over the loaded base: its rows replace the base's. A base key the file
    // lacks keeps the base text and, the first time it is looked up, says so in the debug log; false
    // when the file cannot be read (the base stays whole).
    bool loadOver(const std::string& path);
    // Changes with every load, so that whatever shows a looked-up text can tell it is stale.
    unsigned serial() const { return serial_; }

    // One row as the scanner reads it: the first cell (the key), the next cell (the text, entities
    // already decoded) and where the row starts in the file's text.
    struct Row {
        std::string key;
        std::string text;
        size_t offset = 0;
    };
    // The rows of a spreadsheet's text, in file order: each "<Row" up to the next, the first "<Data" the
    // key and the next one the text; everything after "</Workbook>" ignored. A row without a "<Data"
    // is no row.
    static std::vector<Row> rows(const std::string& text);

    // The expanded text, or "#####" for a missing key or a failed escape.
    std::string get(const std::string& key, const std::string& a1 = std::string(),
                    const std::string& a2 = std::string(), const std::string& a3 = std::string(),
                    const std::string& a4 = std::string(), const std::string& a5 = std::string()) const;

    // The program's one table, or none.
    static nE_StringTable* current();
    static void setCurrent(nE_StringTable* table);

    std::map<std::string, std::string> entries;

private:
    // The text of a key, or null; notes a key the language file lacked.
    const std::string* find(const std::string& key) const;

    unsigned serial_ = 0;
    std::string overFile_;
    std::set<std::string> baseOnly_;
    mutable std::set<std::string> reported_;
    // Appends the expansion of one escape name; false when it fails.
    bool expandEscape(const std::string& escape, const std::string* args, std::string& out) const;
};
