// Asset and module names as the content writes them. Authoring tools write Windows paths; every
// loader turns them into "/" paths here, and names that come from scripts or data (descriptions, saved
// games, names inside asset files) are kept inside the game folder, or the user folder for "user:" names.
#pragma once

#include <string>

class nE_Path {
public:
    // Which folder a name may name a file of.
    enum Area { kGameFolder, kGameOrUserFolder };

    // Every "\" turned into "/".
    static std::string normalise(const std::string& path);

    // The name a script or data gives, as the platform opens it: "\" read as "/", "." parts dropped and
    // "x/.." parts folded ("a/x/../b" is "a/b"). Refused, with one line in the debug log headed by who,
    // and "" returned: an absolute name, a drive or any prefix but "user:" (and that only with
    // kGameOrUserFolder), a ".." that climbs out of the folder, a NUL byte. An empty name gives "".
    static std::string resolve(const std::string& name, Area area, const char* who);
    // A name written inside an asset file, relative to the folder of that file (folder as folderOf
    // gives it): joined, then folded as above without climbing above the folder's own top. The name
    // itself may not be absolute or carry a prefix. Refusals as for resolve.
    static std::string resolveBeside(const std::string& folder, const std::string& name, const char* who);
};
