#include "game/shell/nG_Desktop.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "engine/core/nE_Debug.h"
#include "pflib/TPlatform.h"

namespace fs = std::filesystem;
extern char** environ;

namespace {

nG_Desktop::Runner& runner() {
    static nG_Desktop::Runner r;
    return r;
}

bool spawnAndWait(const std::vector<std::string>& argv) {
    if (argv.empty()) return false;
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return false;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool run(const std::vector<std::string>& argv) {
    return runner() ? runner()(argv) : spawnAndWait(argv);
}

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string home() {
    return env("HOME");
}

std::string fileName(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The value of XDG_DOCUMENTS_DIR in a user-dirs.dirs file ("$HOME/..." or an absolute path).
std::string documentsFromUserDirs() {
    const std::string config = env("XDG_CONFIG_HOME");
    const std::string file =
        (!config.empty() && config[0] == '/' ? config : home() + "/.config") + "/user-dirs.dirs";
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        const std::string key = "XDG_DOCUMENTS_DIR=";
        const size_t at = line.find(key);
        if (at == std::string::npos || line.find_first_not_of(" \t") != at) continue;
        std::string value = line.substr(at + key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.compare(0, 5, "$HOME") == 0)
            value = home() + value.substr(5);
        else if (value.empty() || value[0] != '/')
            continue;
        // A documents folder set to the home folder itself means "none".
        while (value.size() > 1 && value.back() == '/') value.pop_back();
        if (value == home()) return "";
        return value;
    }
    return "";
}

bool refuse(const char* caller, const std::string& path) {
    if (nG_Desktop::isGamePath(path)) return false;
    nE_Debug::writef("%s: refused \"%s\": a path must name a file inside the game folder", caller,
                     path.substr(0, 200).c_str());
    return true;
}

// Recursive copy that keeps existing files and stops at the first failure; false after a failure.
bool copyFolder(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::create_directories(to, ec);
    fs::directory_iterator it(from, ec);
    if (ec) return false;
    for (const fs::directory_entry& entry : it) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name[0] == '.') continue;
        if (entry.is_directory(ec)) {
            if (!copyFolder(entry.path(), to / name)) return false;
        } else if (entry.is_regular_file(ec)) {
            if (fs::exists(to / name, ec)) continue;
            if (!fs::copy_file(entry.path(), to / name, ec)) return false;
        }
    }
    return true;
}

}  // namespace

bool nG_Desktop::isGamePath(const std::string& path) {
    if (path.empty() || path.size() > kMaxPathBytes) return false;
    if (path[0] == '/' || path[0] == '\\' || path.find(':') != std::string::npos) return false;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = path.find_first_of("/\\", start);
        const std::string part =
            path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part == "..") return false;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return true;
}

std::string nG_Desktop::documentsDir() {
    const std::string documents = documentsFromUserDirs();
    return documents.empty() ? home() + "/Documents" : documents;
}

std::string nG_Desktop::gameFolder() {
    std::string game = pf::TPlatform::GetConfig(pf::TPlatform::kGameName);
    for (char& c : game)
        if (c == '/' || c == '\\') c = '_';
    if (game.empty() || game == "." || game == "..") game = "Halvern";
    return documentsDir() + "/" + game;
}

std::string nG_Desktop::copyToDocuments(const std::string& path, const char* caller) {
    if (refuse(caller, path) || home().empty()) return "";
    const std::string folder = gameFolder();
    std::error_code ec;
    fs::create_directories(folder, ec);
    const std::string target = folder + "/" + fileName(path);
    fs::copy_file(pf::TPlatform::ResolvePath(path), target, fs::copy_options::overwrite_existing, ec);
    return ec ? "" : target;
}

void nG_Desktop::setWallpaper(const std::string& path) {
    const std::string copy = copyToDocuments(path, "SetWallpaper");
    if (copy.empty()) return;
    const std::string uri = "file://" + copy;
    const std::string desktop = env("XDG_CURRENT_DESKTOP");
    auto has = [&](const char* name) { return desktop.find(name) != std::string::npos; };
    if (has("GNOME") || has("Unity") || has("Budgie")) {
        run({"gsettings", "set", "org.gnome.desktop.background", "picture-uri", uri});
        run({"gsettings", "set", "org.gnome.desktop.background", "picture-uri-dark", uri});
    } else if (has("Cinnamon")) {
        run({"gsettings", "set", "org.cinnamon.desktop.background", "picture-uri", uri});
    } else if (has("MATE")) {
        run({"gsettings", "set", "org.mate.background", "picture-filename", copy});
    }
}

int nG_Desktop::setScreensaver(const std::string& path) {
    if (refuse("SetScreensaver", path) || home().empty()) return 0;
    const size_t slash = path.find_last_of("/\\");
    const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash);
    copyFolder(fs::path(pf::TPlatform::ResolvePath(dir)), fs::path(gameFolder()) / "screensaver");
    return 0;
}

void nG_Desktop::setRunner(Runner r) {
    runner() = std::move(r);
}
