#include "engine/core/nE_StringTable.h"

#include "engine/core/nE_Debug.h"
#include "engine/core/nE_Path.h"
#include "pflib/TFile.h"

static nE_StringTable* g_table = nullptr;
static const char kMissing[] = "#####";

// The text of the element whose tag starts at `tag`: from the next ">" to the "<" after it.
// Returns the position after the text, or npos when the tag is not closed.
static size_t cellText(const std::string& row, size_t tag, std::string& out) {
    const size_t open = row.find('>', tag);
    if (open == std::string::npos) return std::string::npos;
    size_t close = row.find('<', open + 1);
    if (close == std::string::npos) close = row.size();
    out = row.substr(open + 1, close - open - 1);
    return close;
}

static std::string unescapeCell(const std::string& text) {
    static const struct {
        const char* from;
        char to;
    } kRefs[] = {{"&#10;", '\n'}, {"&quot;", '"'}, {"&#160;", '\xA0'}};
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        bool replaced = false;
        if (text[i] == '&') {
            for (const auto& ref : kRefs) {
                if (text.compare(i, std::char_traits<char>::length(ref.from), ref.from) == 0) {
                    out += ref.to;
                    i += std::char_traits<char>::length(ref.from);
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) out += text[i++];
    }
    return out;
}

std::vector<nE_StringTable::Row> nE_StringTable::rows(const std::string& fileText) {
    std::vector<Row> result;
    size_t end = fileText.find("</Workbook>");
    if (end == std::string::npos) end = fileText.size();
    const std::string text = fileText.substr(0, end);

    size_t rowStart = text.find("<Row");
    while (rowStart != std::string::npos) {
        const size_t next = text.find("<Row", rowStart + 4);
        const std::string row =
            text.substr(rowStart, next == std::string::npos ? std::string::npos : next - rowStart);
        const size_t offset = rowStart;
        rowStart = next;

        const size_t keyTag = row.find("<Data");
        if (keyTag == std::string::npos) continue;
        Row entry;
        entry.offset = offset;
        const size_t afterKey = cellText(row, keyTag, entry.key);
        if (afterKey == std::string::npos) continue;
        const size_t valueTag = row.find("<Data", afterKey);
        std::string value;
        if (valueTag != std::string::npos) cellText(row, valueTag, value);
        entry.text = unescapeCell(value);
        result.push_back(std::move(entry));
    }
    return result;
}

static std::string xmlFileName(const std::string& path) {
    std::string fileName = nE_Path::normalise(path);
    if (fileName.find(".xml") == std::string::npos) fileName += ".xml";
    return fileName;
}

bool nE_StringTable::load(const std::string& path) {
    entries.clear();
    ++serial_;
    overFile_.clear();
    baseOnly_.clear();
    reported_.clear();

    std::string text;
    if (!pf::TFile::ReadAll(xmlFileName(path), text)) return false;
    for (Row& row : rows(text)) entries[row.key] = std::move(row.text);
    return true;
}

bool nE_StringTable::loadOver(const std::string& path) {
    ++serial_;
    const std::string fileName = xmlFileName(path);
    std::string text;
    if (!pf::TFile::ReadAll(fileName, text)) {
        nE_Debug::writef("nE_StringTable::Could not find \"%s\" file!\n", fileName.c_str());
        return false;
    }
    std::set<std::string> given;
    for (Row& row : rows(text)) {
        given.insert(row.key);
        entries[row.key] = std::move(row.text);
    }
    overFile_ = fileName;
    for (const auto& entry : entries)
        if (!given.count(entry.first)) baseOnly_.insert(entry.first);
    return true;
}

const std::string* nE_StringTable::find(const std::string& key) const {
    auto found = entries.find(key);
    if (found == entries.end()) return nullptr;
    if (!baseOnly_.empty() && baseOnly_.count(key) && reported_.insert(key).second)
        nE_Debug::writef("nE_StringTable: \"%s\" lacks the key \"%s\"; the base text is shown",
                         overFile_.c_str(), key.c_str());
    return &found->second;
}

static bool allDigits(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

bool nE_StringTable::expandEscape(const std::string& escape, const std::string* args,
                                  std::string& out) const {
    if (escape.empty()) {
        out += '%';
        return true;
    }
    if (allDigits(escape)) {
        // Anything longer than two digits (after leading zeros) is out of range anyway.
        const size_t first = escape.find_first_not_of('0');
        const std::string digits = first == std::string::npos ? "0" : escape.substr(first);
        const int n = digits.size() > 2 ? 0 : std::stoi(digits);
        if (n < 1 || n > 5) return false;
        const std::string& arg = args[n - 1];
        if (arg.empty() || arg[0] != '%') {
            out += arg;
            return true;
        }
        if (arg == "%%") {
            out += '%';
            return true;
        }
        if (arg.size() >= 3 && arg.back() == '%') {
            const std::string* found = find(arg.substr(1, arg.size() - 2));
            if (!found) return false;
            out += *found;
            return true;
        }
        return false;
    }
    const std::string* found = find(escape);
    if (!found) return false;
    out += *found;
    return true;
}

std::string nE_StringTable::get(const std::string& key, const std::string& a1, const std::string& a2,
                                const std::string& a3, const std::string& a4, const std::string& a5) const {
    const std::string* entry = find(key);
    if (!entry) return kMissing;
    const std::string& text = *entry;
    const std::string args[5] = {a1, a2, a3, a4, a5};

    std::string out;
    bool failed = false;
    for (size_t i = 0; i < text.size();) {
        if (text[i] != '%') {
            out += text[i++];
            continue;
        }
        const size_t close = text.find('%', i + 1);
        if (close == std::string::npos) {
            nE_Debug::writef("Non-matched percent escape found in string %s, '%s'", key.c_str(),
                             text.c_str());
            // The rest of the text names the escape, and is also copied as it stands.
            if (!expandEscape(text.substr(i + 1), args, out)) failed = true;
            ++i;
            continue;
        }
        if (!expandEscape(text.substr(i + 1, close - i - 1), args, out)) failed = true;
        i = close + 1;
    }
    return failed ? kMissing : out;
}

nE_StringTable* nE_StringTable::current() {
    return g_table;
}

void nE_StringTable::setCurrent(nE_StringTable* table) {
    g_table = table;
}
