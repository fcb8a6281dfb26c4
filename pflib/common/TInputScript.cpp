#include "pflib/common/TInputScript.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "pflib/pfDebug.h"

namespace pf {

bool TInputScript::Load(const str& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        pfWriteDbgUnsafe("pf: cannot read the input file \"%s\"\n", path.c_str());
        return false;
    }
    str text;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
    std::fclose(file);
    Parse(text);
    return true;
}

int TInputScript::Parse(const str& text) {
    int bad = 0;
    int lineNumber = 0;
    std::istringstream lines(text);
    str line;
    while (std::getline(lines, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t first = line.find_first_not_of(" \t");
        if (first == str::npos || line[first] == '#') continue;

        std::istringstream fields(line);
        long long tick;
        TEvent event;
        str extra;
        const bool ok = static_cast<bool>(fields >> tick >> event.type >> event.code >> event.x >> event.y) &&
                        tick >= 0 && tick <= 0x7fffffff;
        if (ok && !(fields >> event.flags)) {
            event.flags = 0;
            fields.clear();
        }
        if (!ok || (fields >> extra)) {
            ++bad;
            pfWriteDbgUnsafe("pf: input line %d ignored: \"%s\"\n", lineNumber, line.c_str());
            continue;
        }
        events_.emplace_back(static_cast<int>(tick), event);
    }
    std::stable_sort(events_.begin() + static_cast<long>(next_), events_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    return bad;
}

void TInputScript::TakeDue(int tick, std::vector<TEvent>& out) {
    while (next_ < events_.size() && events_[next_].first <= tick) out.push_back(events_[next_++].second);
}

}  // namespace pf
