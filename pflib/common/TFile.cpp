#include "pflib/TFile.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "pflib/TFrameStats.h"
#include "pflib/TPlatform.h"
#include "pflib/common/TPath.h"
#include "pflib/pfDebug.h"

namespace pf {

namespace {

void (*gUserChangeListener)() = nullptr;

void userChanged(const str& path) {
    if (!gUserChangeListener) return;
    const str dir = TPlatform::UserDir() + "/";
    if (path.compare(0, dir.size(), dir) == 0) gUserChangeListener();
}

}  // namespace

void TFile::SetUserChangeListener(void (*listener)()) {
    gUserChangeListener = listener;
}

TFile::~TFile() {
    Discard();
}

void TFile::Discard() {
    if (!file_) return;
    std::fclose(file_);
    if (mode_ == kWrite) {
        std::remove(temp_.c_str());
        pfWriteDbgUnsafe("TFile: \"%s\" was not closed; the old file is kept\n", target_.c_str());
    }
    file_ = nullptr;
    temp_.clear();
    target_.clear();
    mode_ = kRead;
    failed_ = false;
}

bool TFile::Open(const str& name, int mode) {
    Discard();
    const str path = TPlatform::ResolvePath(name);
    if (path.empty() || TPath::IsDirectory(path)) return false;
    failed_ = false;
    switch (mode) {
        case kRead:
            file_ = std::fopen(path.c_str(), "rb");
            break;
        case kWrite:
            TPath::MakeDirs(TPath::Parent(path));
            temp_ = path + ".part";
            file_ = std::fopen(temp_.c_str(), "wb");
            if (!file_) temp_.clear();
            break;
        case kAppend:
            TPath::MakeDirs(TPath::Parent(path));
            file_ = std::fopen(path.c_str(), "ab");
            break;
        default:
            return false;
    }
    if (!file_) return false;
    mode_ = mode;
    target_ = path;
    return true;
}

bool TFile::Close() {
    if (!file_) return false;
    bool ok = true;
    if (mode_ == kWrite) {
        TFrameStats::Mark("write " + target_);
        // The new content replaces the old file only once it is wholly on disk.
        ok = !failed_ && std::fflush(file_) == 0 && !std::ferror(file_);
        ok = ok && fsync(fileno(file_)) == 0;
        ok = (std::fclose(file_) == 0) && ok;
        ok = ok && std::rename(temp_.c_str(), target_.c_str()) == 0;
        if (ok) {
            // Make the rename itself durable.
            if (FILE* dir =
                    std::fopen(TPath::Parent(target_).empty() ? "." : TPath::Parent(target_).c_str(), "r")) {
                fsync(fileno(dir));
                std::fclose(dir);
            }
            userChanged(target_);
        } else {
            std::remove(temp_.c_str());
            pfWriteDbgUnsafe("TFile: could not write \"%s\"; the old file is kept\n", target_.c_str());
        }
    } else {
        const bool closed = std::fclose(file_) == 0;
        ok = closed && !failed_;
    }
    file_ = nullptr;
    temp_.clear();
    target_.clear();
    mode_ = kRead;
    failed_ = false;
    return ok;
}

size_t TFile::Read(void* buffer, size_t count) {
    if (!file_ || mode_ != kRead || !buffer) return 0;
    return std::fread(buffer, 1, count, file_);
}

size_t TFile::Write(const void* data, size_t count) {
    if (!file_ || mode_ == kRead || (!data && count)) return 0;
    const size_t written = std::fwrite(data, 1, count, file_);
    if (written != count) failed_ = true;
    return written;
}

size_t TFile::Size() {
    if (!file_) return 0;
    if (mode_ != kRead) std::fflush(file_);
    struct stat st;
    if (fstat(fileno(file_), &st) != 0 || st.st_size < 0) return 0;
    return static_cast<size_t>(st.st_size);
}

bool TFile::DeleteFile(const str& name) {
    const str path = TPlatform::ResolvePath(name);
    if (path.empty() || TPath::IsDirectory(path) || std::remove(path.c_str()) != 0) return false;
    userChanged(path);
    return true;
}

bool TFile::Rename(const str& from, const str& to) {
    const str source = TPlatform::ResolvePath(from);
    const str target = TPlatform::ResolvePath(to);
    if (source.empty() || target.empty() || !TPath::IsFile(source) || TPath::IsDirectory(target))
        return false;
    if (std::rename(source.c_str(), target.c_str()) != 0) return false;
    userChanged(target);
    return true;
}

bool TFile::Link(const str& from, const str& to) {
    const str source = TPlatform::ResolvePath(from);
    const str target = TPlatform::ResolvePath(to);
    if (source.empty() || target.empty() || !TPath::IsFile(source) || TPath::IsDirectory(target))
        return false;
    const str temp = target + ".link";
    std::remove(temp.c_str());
    if (link(source.c_str(), temp.c_str()) != 0) return false;
    if (std::rename(temp.c_str(), target.c_str()) == 0) {
        userChanged(target);
        return true;
    }
    std::remove(temp.c_str());
    return false;
}

std::vector<str> TFile::ListUserFiles() {
    std::vector<str> names;
    const str dir = TPlatform::UserDir();
    if (DIR* d = opendir(dir.c_str())) {
        while (const dirent* entry = readdir(d)) {
            const str name = entry->d_name;
            if (name != "." && name != ".." && TPath::IsFile(TPath::Join(dir, name))) names.push_back(name);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

static void listBelow(const str& full, const str& relative, std::vector<str>& names, int depth) {
    // Deep enough for any asset tree, and a link cycle cannot run away.
    if (depth > 32) return;
    DIR* d = opendir(full.c_str());
    if (!d) return;
    while (const dirent* entry = readdir(d)) {
        const str name = entry->d_name;
        if (name == "." || name == "..") continue;
        const str path = TPath::Join(full, name);
        const str rel = relative.empty() ? name : relative + "/" + name;
        struct stat st;
        if (stat(path.c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode))
            listBelow(path, rel, names, depth + 1);
        else if (S_ISREG(st.st_mode))
            names.push_back(rel);
    }
    closedir(d);
}

std::vector<str> TFile::ListGameFiles(const str& folder) {
    std::vector<str> names;
    if (folder.compare(0, 5, "user:") == 0) return names;
    str relative = folder;
    for (char& c : relative)
        if (c == '\\') c = '/';
    while (!relative.empty() && relative.back() == '/') relative.pop_back();
    listBelow(TPlatform::ResolvePath(relative.empty() ? "." : relative), relative, names, 0);
    std::sort(names.begin(), names.end());
    return names;
}

long long TFile::Stamp(const str& name) {
    struct stat st;
    if (stat(TPlatform::ResolvePath(name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
    const long long nanoseconds =
        static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    return (nanoseconds ^ (static_cast<long long>(st.st_size) << 20)) | 1;
}

bool TFile::Exists(const str& name) {
    return TPath::IsFile(TPlatform::ResolvePath(name));
}

bool TFile::ReadAll(const str& name, str& out) {
    TFile file;
    if (!file.Open(name, kRead)) return false;
    str data;
    char buffer[16384];
    size_t n;
    while ((n = file.Read(buffer, sizeof buffer)) > 0) data.append(buffer, n);
    if (std::ferror(file.file_)) return false;
    out.swap(data);
    return true;
}

}  // namespace pf
