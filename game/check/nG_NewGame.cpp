#include "game/check/nG_NewGame.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const kTemplateFolder = "template";
const char* const kSharedList = "shared.txt";

// The paths of shared.txt: one a line, blank lines and "#" comments skipped.
std::vector<std::string> readShared(const fs::path& file, bool& ok) {
    std::vector<std::string> paths;
    std::ifstream in(file);
    ok = static_cast<bool>(in);
    std::string line;
    while (std::getline(in, line)) {
        const size_t from = line.find_first_not_of(" \t\r");
        if (from == std::string::npos || line[from] == '#') continue;
        const size_t to = line.find_last_not_of(" \t\r");
        paths.push_back(line.substr(from, to - from + 1));
    }
    return paths;
}

// Copies a file or a whole folder, making the folders above it; an existing file is replaced.
bool copyTree(const fs::path& from, const fs::path& to, std::string& error) {
    std::error_code ec;
    fs::create_directories(to.parent_path(), ec);
    if (!ec) fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
    if (ec) error = to.string() + ": " + ec.message();
    return !ec;
}

}  // namespace

int nG_NewGame::run(const std::string& target, const std::string& bundledGame) {
    const fs::path dir(target);
    std::error_code ec;
    if (fs::exists(dir, ec) && (!fs::is_directory(dir, ec) || !fs::is_empty(dir, ec))) {
        std::fprintf(stderr,
                     "halvern: --new-game: \"%s\" already exists and is not an empty folder; name a new "
                     "one\n",
                     target.c_str());
        return 1;
    }
    const fs::path bundled(bundledGame);
    const fs::path source = bundled / kTemplateFolder;
    bool listed = false;
    const std::vector<std::string> shared = readShared(source / kSharedList, listed);
    if (!listed || !fs::is_directory(source / "assets", ec)) {
        std::fprintf(stderr, "halvern: --new-game: the template is missing (%s)\n", source.string().c_str());
        return 1;
    }
    fs::create_directories(dir, ec);
    if (ec) {
        std::fprintf(stderr, "halvern: --new-game: cannot make \"%s\": %s\n", target.c_str(),
                     ec.message().c_str());
        return 1;
    }
    std::string error;
    // Shared art first, so that a file of the template with the same name replaces it.
    for (const std::string& path : shared) {
        const fs::path from = bundled / "assets" / path;
        if (path.find("..") != std::string::npos || !fs::exists(from, ec)) {
            std::fprintf(stderr, "halvern: --new-game: the bundled game has no assets/%s (%s)\n",
                         path.c_str(), (source / kSharedList).string().c_str());
            return 1;
        }
        if (!copyTree(from, dir / "assets" / path, error)) {
            std::fprintf(stderr, "halvern: --new-game: %s\n", error.c_str());
            return 1;
        }
    }
    if (!copyTree(source / "assets", dir / "assets", error)) {
        std::fprintf(stderr, "halvern: --new-game: %s\n", error.c_str());
        return 1;
    }
    std::printf(
        "halvern: a new game is in %s\n"
        "  play it:   halvern --game-dir %s\n"
        "  check it:  halvern --check --game-dir %s\n"
        "  edit it:   halvern -e --game-dir %s   (the shown room comes back when its files change)\n",
        target.c_str(), target.c_str(), target.c_str(), target.c_str());
    return 0;
}
