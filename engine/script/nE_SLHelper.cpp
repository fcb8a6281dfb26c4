#include "engine/script/nE_SLHelper.h"

#include "engine/core/nE_Path.h"

bool nE_SLHelper::readFileName(const char* name, std::string& out) {
    std::string value;
    if (!readString(name, value)) return false;
    // The name is kept as written (saved games and ObjGet give it back unchanged); only where it leads
    // is checked.
    if (!value.empty() && nE_Path::resolve(value, nE_Path::kGameOrUserFolder, name).empty()) return false;
    out = value;
    return true;
}
