// Asset and module names as the content writes them. Authoring tools write Windows paths; every
// loader turns them into "/" paths here, and names that come from outside the game's own files (a
// saved game) are checked to stay inside the game folder.
#pragma once

#include <string>

class nE_Path {
public:
    // Every "\" turned into "/".
    static std::string normalise(const std::string& path);
    // A relative name of a file in the game folder: not empty, not absolute, no drive or "user:"
    // prefix (no ":" at all) and no ".." component. Backslashes count as separators.
    static bool insideGame(const std::string& path);
};
