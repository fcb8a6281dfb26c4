#include "engine/core/nE_ErrorLog.h"

#include <cstdio>

#include "engine/core/nE_Debug.h"

namespace {

std::vector<nE_ErrorLog::Entry>& kept() {
    static std::vector<nE_ErrorLog::Entry> entries;
    return entries;
}

unsigned g_serial = 0;

}  // namespace

std::string nE_ErrorLog::line(const Entry& entry) {
    if (entry.file.empty()) return entry.message;
    if (entry.line > 0) return entry.file + ":" + std::to_string(entry.line) + ": " + entry.message;
    return entry.file + ": " + entry.message;
}

void nE_ErrorLog::report(const Entry& entry) {
    const std::string text = line(entry);
    nE_Debug::write(text.c_str());
    if (!entry.traceback.empty()) nE_Debug::write(entry.traceback.c_str());
    // The debug log is a file an author may not be watching; the terminal they started from is.
    // A tool collecting the output (the checker) reports it in its own words instead.
    if (nE_Debug::capturing()) return;
    std::fprintf(stderr, "%s\n", text.c_str());
    if (!entry.traceback.empty()) std::fprintf(stderr, "%s\n", entry.traceback.c_str());
    std::fflush(stderr);
    keep(entry);
}

void nE_ErrorLog::keep(const Entry& entry) {
    std::vector<Entry>& entries = kept();
    entries.push_back(entry);
    if (entries.size() > kKept) entries.erase(entries.begin());
    ++g_serial;
}

const std::vector<nE_ErrorLog::Entry>& nE_ErrorLog::recent() {
    return kept();
}

unsigned nE_ErrorLog::serial() {
    return g_serial;
}

void nE_ErrorLog::clear() {
    kept().clear();
}
