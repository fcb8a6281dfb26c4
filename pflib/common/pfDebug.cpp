// The platform log "debug.log" in the user folder. Logging must never take the program down, so
// every failure here is swallowed.
#include "pflib/pfDebug.h"

#include <sys/stat.h>

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>

#include "pflib/TPlatform.h"
#include "pflib/common/TPath.h"

namespace {

// A log that grew past this is started afresh when a run first opens it.
constexpr long kMaxKeptLog = 4L * 1024 * 1024;

std::mutex gLogMutex;
FILE* gLog = nullptr;
std::string gLogPath;

void writeLine(const char* text) {
    const std::string dir = pf::TPlatform::UserDir();
    if (!pf::TPath::IsDirectory(dir)) return;
    const std::string path = dir + "/debug.log";

    std::lock_guard<std::mutex> lock(gLogMutex);
    if (!gLog || path != gLogPath) {
        if (gLog) std::fclose(gLog);
        struct stat st;
        const bool tooBig = stat(path.c_str(), &st) == 0 && st.st_size > kMaxKeptLog;
        gLog = std::fopen(path.c_str(), tooBig ? "w" : "a");
        gLogPath = path;
        if (!gLog) return;
    }
    std::fputs(text, gLog);
    const size_t n = std::char_traits<char>::length(text);
    if (n == 0 || text[n - 1] != '\n') std::fputc('\n', gLog);
    std::fflush(gLog);
}

}  // namespace

void pfWriteDbg(const char* text) {
    if (text) writeLine(text);
}

void pfWriteDbgUnsafe(const char* format, ...) {
    if (!format) return;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n >= 0) {
        std::string text(static_cast<size_t>(n) + 1, '\0');
        std::vsnprintf(&text[0], text.size(), format, args);
        text.resize(static_cast<size_t>(n));
        writeLine(text.c_str());
    }
    va_end(args);
}
