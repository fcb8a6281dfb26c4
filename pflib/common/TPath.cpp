#include "pflib/common/TPath.h"

#include <sys/stat.h>

#include <cerrno>

namespace pf {

bool TPath::IsDirectory(const str& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool TPath::IsFile(const str& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool TPath::MakeDirs(const str& path) {
    if (path.empty()) return false;
    if (IsDirectory(path)) return true;
    for (size_t pos = path.find('/', 1);; pos = path.find('/', pos + 1)) {
        const str part = pos == str::npos ? path : path.substr(0, pos);
        if (!part.empty() && mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
        if (pos == str::npos) break;
    }
    return IsDirectory(path);
}

str TPath::Parent(const str& path) {
    const size_t slash = path.rfind('/');
    if (slash == str::npos) return "";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

str TPath::Join(const str& a, const str& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    if (a.back() == '/') return a + (b.front() == '/' ? b.substr(1) : b);
    return b.front() == '/' ? a + b : a + "/" + b;
}

bool TPath::Escapes(const str& relative) {
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = relative.find('/', start);
        if (end == str::npos) end = relative.size();
        if (relative.compare(start, end - start, "..") == 0 && end - start == 2) return true;
        start = end + 1;
    }
    return false;
}

}  // namespace pf
