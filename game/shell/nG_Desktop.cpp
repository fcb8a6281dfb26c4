#include "game/shell/nG_Desktop.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "engine/core/nE_Debug.h"
#include "engine/core/nE_Path.h"
#include "pflib/TPlatform.h"

namespace fs = std::filesystem;
extern char** environ;

namespace {

nG_Desktop::Runner& runner() {
    static nG_Desktop::Runner r;
    return r;
}

bool spawnAndWait(const std::vector<std::string>& argv) {
#ifdef __EMSCRIPTEN__
    // A page in a browser starts no programs.
    (void)argv;
    return false;
#endif
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

// The file of the game folder a script names, as the platform opens it; "" (with a line) when the
// name is refused, "" quietly when no such file exists: only ever one existing file is handed out.
std::string gameFile(const std::string& path, const char* caller) {
    if (path.size() > nG_Desktop::kMaxPathBytes) {
        nE_Debug::writef("%s: \"%s...\" is too long a name; refused", caller, path.substr(0, 200).c_str());
        return "";
    }
    const std::string file = nE_Path::resolve(path, nE_Path::kGameFolder, caller);
    if (file.empty() && path.empty()) nE_Debug::writef("%s: no file named; refused", caller);
    if (file.empty()) return "";
    const std::string real = pf::TPlatform::ResolvePath(file);
    std::error_code ec;
    return fs::is_regular_file(real, ec) ? real : "";
}

}  // namespace

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
    const std::string source = gameFile(path, caller);
    if (source.empty() || home().empty()) return "";
    const std::string folder = gameFolder();
    std::error_code ec;
    fs::create_directories(folder, ec);
    const std::string target = folder + "/" + fileName(source);
    fs::copy_file(source, target, fs::copy_options::overwrite_existing, ec);
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
    const std::string source = gameFile(path, "SetScreensaver");
    if (source.empty() || home().empty()) return 0;
    const fs::path target = fs::path(gameFolder()) / "screensaver";
    std::error_code ec;
    fs::create_directories(target, ec);
    // A copy the player already has is kept.
    if (!fs::exists(target / fileName(source), ec)) fs::copy_file(source, target / fileName(source), ec);
    return 0;
}

void nG_Desktop::setRunner(Runner r) {
    runner() = std::move(r);
}
