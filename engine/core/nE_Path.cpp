#include "engine/core/nE_Path.h"

#include <algorithm>
#include <vector>

#include "engine/core/nE_Debug.h"

std::string nE_Path::normalise(const std::string& path) {
    std::string out = path;
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

namespace {

// Folds "." and "x/.." parts of a relative name (the part after any "/" or "user:" top); false when a
// ".." would climb above the top.
bool fold(const std::string& relative, std::string& out) {
    std::string parts;
    std::vector<size_t> starts;
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = relative.find('/', start);
        if (end == std::string::npos) end = relative.size();
        const std::string part = relative.substr(start, end - start);
        if (part == "..") {
            if (starts.empty()) return false;
            parts.resize(starts.back());
            starts.pop_back();
        } else if (!part.empty() && part != ".") {
            starts.push_back(parts.size());
            if (!parts.empty()) parts += '/';
            parts += part;
        }
        start = end + 1;
    }
    out = parts;
    return true;
}

const char* const kUser = "user:";

std::string refuse(const std::string& name, const char* who) {
    nE_Debug::writef("%s: \"%s\" is not a file of the game folder; refused", who,
                     name.substr(0, 200).c_str());
    return "";
}

}  // namespace

std::string nE_Path::resolve(const std::string& name, Area area, const char* who) {
    if (name.empty()) return "";
    const std::string path = normalise(name);
    if (path.find('\0') != std::string::npos) return refuse(name, who);
    std::string top, rest = path;
    if (area == kGameOrUserFolder && path.compare(0, 5, kUser) == 0) {
        top = kUser;
        rest = path.substr(5);
    }
    std::string folded;
    if (rest.empty() || rest.front() == '/' || rest.find(':') != std::string::npos || !fold(rest, folded) ||
        folded.empty())
        return refuse(name, who);
    return top + folded;
}

std::string nE_Path::resolveBeside(const std::string& folder, const std::string& name, const char* who) {
    if (name.empty()) return "";
    const std::string path = normalise(name);
    if (path.front() == '/' || path.find(':') != std::string::npos || path.find('\0') != std::string::npos)
        return refuse(name, who);
    // The folder came through resolve (or from the program itself): its top stays as it is.
    std::string top, rest = normalise(folder) + path;
    if (rest.compare(0, 5, kUser) == 0) {
        top = kUser;
        rest = rest.substr(5);
    } else if (!rest.empty() && rest.front() == '/') {
        top = "/";
        rest = rest.substr(1);
    }
    std::string folded;
    if (!fold(rest, folded) || folded.empty()) return refuse(name, who);
    return top + folded;
}
