// The backend-independent part of TPlatform: configuration, run options, paths, exit and the
// texture refresh listeners. Display, cursor and browser live in each backend.
#include "pflib/TPlatform.h"

#include <pwd.h>
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <map>
#include <mutex>

#include "pflib/TWorkerPool.h"
#include "pflib/common/TClock.h"
#include "pflib/common/TPath.h"

namespace pf {

const char* const TPlatform::kPublisherName = "publisher";
const char* const TPlatform::kGameName = "game";
const char* const TPlatform::kWindowTitle = "title";

namespace {

std::mutex& configMutex() {
    static std::mutex m;
    return m;
}

std::map<str, str>& config() {
    static std::map<str, str> values;
    return values;
}

TRunOptions& runOptions() {
    static TRunOptions options;
    return options;
}

std::vector<std::unique_ptr<TTask>>& refreshListeners() {
    static std::vector<std::unique_ptr<TTask>> listeners;
    return listeners;
}

std::atomic<bool> gExitRequested{false};
std::atomic<int> gExitCode{0};

str homeDir() {
    const char* home = std::getenv("HOME");
    if (home && *home) return home;
    if (const passwd* pw = getpwuid(getuid())) {
        if (pw->pw_dir && *pw->pw_dir) return pw->pw_dir;
    }
    return "/tmp";
}

// A config value used as one folder name: no separators, never empty, never "." or "..".
str folderName(const str& value, const char* fallback) {
    str name;
    for (char c : value) name += (c == '/' || c == '\\') ? '_' : c;
    if (name.empty() || name == "." || name == "..") name = fallback;
    return name;
}

}  // namespace

void TPlatform::SetConfig(const str& key, const str& value) {
    std::lock_guard<std::mutex> lock(configMutex());
    config()[key] = value;
}

str TPlatform::GetConfig(const str& key) {
    std::lock_guard<std::mutex> lock(configMutex());
    auto it = config().find(key);
    return it == config().end() ? str() : it->second;
}

void TPlatform::Exit(int code) {
    gExitCode.store(code);
    gExitRequested.store(true);
}

bool TPlatform::ExitRequested() {
    return gExitRequested.load();
}

int TPlatform::ExitCode() {
    return gExitCode.load();
}

void TPlatform::ClearExit() {
    gExitRequested.store(false);
    gExitCode.store(0);
}

void TPlatform::AdoptTextureRefreshListener(std::unique_ptr<TTask> task) {
    if (task) refreshListeners().push_back(std::move(task));
}

void TPlatform::DropTextureRefreshListener(const TTask* task) {
    auto& listeners = refreshListeners();
    listeners.erase(std::remove_if(listeners.begin(), listeners.end(),
                                   [task](const std::unique_ptr<TTask>& held) { return held.get() == task; }),
                    listeners.end());
}

size_t TPlatform::TextureRefreshListenerCount() {
    return refreshListeners().size();
}

void TPlatform::RunTextureRefreshListeners() {
    // Listeners stay adopted whatever Run answers: every later loss must reach them too.
    for (auto& task : refreshListeners()) task->Run();
}

void TPlatform::SetRunOptions(const TRunOptions& options) {
    {
        std::lock_guard<std::mutex> lock(configMutex());
        runOptions() = options;
    }
    TClock::SetVirtual(options.fixedStep);
}

const TRunOptions& TPlatform::GetRunOptions() {
    return runOptions();
}

str TPlatform::UserDir() {
    str dir;
    {
        std::lock_guard<std::mutex> lock(configMutex());
        dir = runOptions().userDir;
        if (dir.empty()) {
            const char* xdg = std::getenv("XDG_DATA_HOME");
            // A relative XDG_DATA_HOME is invalid and must be ignored.
            str base = (xdg && xdg[0] == '/') ? str(xdg) : homeDir() + "/.local/share";
            dir = base + "/" + folderName(config()[kPublisherName], "pflib") + "/" +
                  folderName(config()[kGameName], "game");
        }
    }
    TPath::MakeDirs(dir);
    return dir;
}

str TPlatform::GameDir() {
    std::lock_guard<std::mutex> lock(configMutex());
    return runOptions().gameDir.empty() ? str(".") : runOptions().gameDir;
}

str TPlatform::ResolvePath(const str& name) {
    str path = name;
    for (char& c : path)
        if (c == '\\') c = '/';
    static const str kUser = "user:";
    if (path.compare(0, kUser.size(), kUser) == 0) {
        const str rest = path.substr(kUser.size());
        // A user name must stay inside the user folder, whatever a script or a typed profile
        // name puts into it.
        if (rest.empty() || rest.front() == '/' || TPath::Escapes(rest)) return "";
        return TPath::Join(UserDir(), rest);
    }
    if (path.empty() || path.front() == '/') return path;
    const str game = GameDir();
    return game == "." ? path : TPath::Join(game, path);
}

void TPlatform::GiveBackFreeMemory() {
#if defined(__GLIBC__)
    // glibc keeps freed pixels in its heaps once its threshold for large blocks has grown past a
    // picture's size; they would be reused, but resident size then climbs room after room. Fixing that
    // threshold instead makes the renderer's per-frame buffers come from the system every frame.
    static TWorkerPool pool(1);
    if (pool.Pending() == 0) pool.Submit([] { malloc_trim(0); });
#endif
}

}  // namespace pf
