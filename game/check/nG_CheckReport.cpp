#include "game/check/nG_CheckReport.h"

#include <algorithm>

void nG_CheckReport::add(const std::string& file, int line, const std::string& message, bool warning) {
    if (!seen_.insert(std::make_tuple(file, line, message)).second) return;
    findings_.push_back(Finding{file, line, message, warning});
    if (warning) ++warnings_;
}

std::vector<std::string> nG_CheckReport::lines() const {
    std::vector<Finding> sorted = findings_;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Finding& a, const Finding& b) {
        if (a.file != b.file) return a.file < b.file;
        return a.line < b.line;
    });
    std::vector<std::string> out;
    out.reserve(sorted.size());
    for (const Finding& f : sorted) {
        const std::string message = (f.warning ? "warning: " : "") + f.message;
        out.push_back(f.line > 0 ? f.file + ":" + std::to_string(f.line) + ": " + message
                                 : f.file + ": " + message);
    }
    return out;
}
