#include "engine/core/nE_Xml.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

std::string nE_Xml::text(const tinyxml2::XMLElement* element, const char* name, const char* fallback) {
    const char* value = element ? element->Attribute(name) : nullptr;
    return value ? value : (fallback ? fallback : "");
}

int nE_Xml::integer(const tinyxml2::XMLElement* element, const char* name, int fallback) {
    const char* value = element ? element->Attribute(name) : nullptr;
    if (!value) return fallback;
    char* end = nullptr;
    const long long n = std::strtoll(value, &end, 10);
    if (end == value) return fallback;
    return n > INT_MAX ? INT_MAX : n < INT_MIN ? INT_MIN : static_cast<int>(n);
}

float nE_Xml::number(const tinyxml2::XMLElement* element, const char* name, float fallback) {
    const char* value = element ? element->Attribute(name) : nullptr;
    if (!value) return fallback;
    char* end = nullptr;
    const float n = std::strtof(value, &end);
    return end == value ? fallback : n;
}

// Where the tags stop pairing up: the parser names the element whose end it was looking for, at that
// element's opening line, but the fault is the closing tag that came instead (or the end of the file).
// Walks the tags alone; false when they pair up.
static bool unpairedTag(const std::string& text, int& line, std::string& what) {
    struct Open {
        std::string name;
        int line;
    };
    std::vector<Open> open;
    int at = 1;
    auto skipTo = [&](size_t& i, const char* end) {
        const size_t found = text.find(end, i);
        const size_t stop = found == std::string::npos ? text.size() : found + std::strlen(end);
        at += static_cast<int>(std::count(text.begin() + static_cast<std::ptrdiff_t>(i),
                                          text.begin() + static_cast<std::ptrdiff_t>(stop), '\n'));
        i = stop;
    };
    for (size_t i = 0; i < text.size();) {
        if (text[i] == '\n') ++at;
        if (text[i] != '<') {
            ++i;
            continue;
        }
        if (text.compare(i, 4, "<!--") == 0) {
            skipTo(i, "-->");
        } else if (text.compare(i, 9, "<![CDATA[") == 0) {
            skipTo(i, "]]>");
        } else if (text.compare(i, 2, "<?") == 0 || text.compare(i, 2, "<!") == 0) {
            skipTo(i, ">");
        } else {
            const int tagLine = at;
            const bool closing = i + 1 < text.size() && text[i + 1] == '/';
            size_t j = i + (closing ? 2 : 1);
            std::string name;
            while (j < text.size() && !std::isspace(static_cast<unsigned char>(text[j])) && text[j] != '>' &&
                   text[j] != '/')
                name += text[j++];
            // To the tag's end, past quoted values that may hold ">".
            char quote = 0;
            while (j < text.size() && (quote || text[j] != '>')) {
                if (text[j] == '\n') ++at;
                if (quote && text[j] == quote)
                    quote = 0;
                else if (!quote && (text[j] == '"' || text[j] == '\''))
                    quote = text[j];
                ++j;
            }
            const bool empty = j > 0 && j < text.size() && text[j - 1] == '/';
            i = j + 1;
            if (closing) {
                if (open.empty()) {
                    line = tagLine;
                    what = "</" + name + "> closes no open element";
                    return true;
                }
                if (open.back().name != name) {
                    line = tagLine;
                    what = "</" + name + "> where <" + open.back().name + "> (line " +
                           std::to_string(open.back().line) + ") should be closed first";
                    return true;
                }
                open.pop_back();
            } else if (!empty && !name.empty()) {
                open.push_back(Open{name, tagLine});
            }
        }
    }
    if (open.empty()) return false;
    // At the file's last written line, where the closing tag should be.
    const size_t last = text.find_last_not_of(" \t\r\n");
    line = 1 + static_cast<int>(std::count(
                   text.begin(),
                   text.begin() + static_cast<std::ptrdiff_t>(last == std::string::npos ? 0 : last), '\n'));
    what = "<" + open.back().name + "> (line " + std::to_string(open.back().line) + ") is never closed";
    return true;
}

std::string nE_Xml::parseFault(const tinyxml2::XMLDocument& doc, const std::string& text, int& line) {
    std::string what = tinyxml2::XMLDocument::ErrorIDToName(doc.ErrorID());
    if (what.compare(0, 10, "XML_ERROR_") == 0) what.erase(0, 10);
    for (char& c : what) c = c == '_' ? ' ' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    // The parser's own detail follows "Line number=N: " in its message.
    const std::string full = doc.ErrorStr() ? doc.ErrorStr() : "";
    const size_t at = full.find("Line number=");
    const size_t colon = at == std::string::npos ? std::string::npos : full.find(": ", at);
    if (colon != std::string::npos) what += " (" + full.substr(colon + 2) + ")";
    line = std::max(0, doc.ErrorLineNum());
    const tinyxml2::XMLError id = doc.ErrorID();
    std::string tag;
    int tagLine = 0;
    if ((id == tinyxml2::XML_ERROR_MISMATCHED_ELEMENT || id == tinyxml2::XML_ERROR_PARSING_ELEMENT ||
         id == tinyxml2::XML_ERROR_PARSING) &&
        unpairedTag(text, tagLine, tag) && tagLine >= line) {
        line = tagLine;
        what = tag;
    }
    return what;
}
