#include "engine/core/nE_Path.h"

#include <algorithm>

std::string nE_Path::normalise(const std::string& path) {
    std::string out = path;
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

bool nE_Path::insideGame(const std::string& path) {
    const std::string name = normalise(path);
    if (name.empty() || name.front() == '/' || name.find(':') != std::string::npos) return false;
    if (name.find('\0') != std::string::npos) return false;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find('/', start);
        if (end == std::string::npos) end = name.size();
        if (name.compare(start, end - start, "..") == 0 && end - start == 2) return false;
        start = end + 1;
    }
    return true;
}
