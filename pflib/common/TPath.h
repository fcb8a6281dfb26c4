// Small path helpers of the platform library (POSIX).
#pragma once

#include "pflib/pfTypes.h"

namespace pf {

class TPath {
public:
    // Creates the folder and its parents (mode 0755); true when it exists afterwards.
    static bool MakeDirs(const str& path);
    // The folder part of a path ("" for a bare name).
    static str Parent(const str& path);
    static bool IsDirectory(const str& path);
    static bool IsFile(const str& path);
    // a + "/" + b, without doubling the slash.
    static str Join(const str& a, const str& b);
    // True when a relative path climbs out of its base through a ".." component.
    static bool Escapes(const str& relative);
};

}  // namespace pf
