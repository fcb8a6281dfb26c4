// Files. "user:" names live in the per-user data folder, others under the game folder.
#pragma once

#include <cstdio>
#include <vector>

#include "pflib/pfTypes.h"

namespace pf {

class TFile {
public:
    // 0 read, 1 write (truncate), 2 append.
    enum Mode { kRead = 0, kWrite = 1, kAppend = 2 };

    TFile() = default;
    // Without a Close that reported success, a mode-1 write never replaces the old file.
    ~TFile();
    TFile(const TFile&) = delete;
    TFile& operator=(const TFile&) = delete;

    // Mode 1 writes into a temporary file that only an explicit Close renames over the target, so an
    // interrupted write leaves the old file whole. Opening again drops a write not yet closed.
    bool Open(const str& name, int mode);
    bool IsValid() const { return file_ != nullptr; }
    // True when the file was open and everything written is on disk (mode 1: in place of the old
    // file). False otherwise; a failed mode-1 write keeps the old file and removes the temporary one.
    bool Close();
    size_t Read(void* buffer, size_t count);
    size_t Write(const void* data, size_t count);
    size_t Size();

    static bool DeleteFile(const str& name);
    static bool Exists(const str& name);
    // Renames a file, replacing the target, in one step; both names resolve like Open's.
    static bool Rename(const str& from, const str& to);
    // Makes `to` a second name of the file `from` (a hard link), replacing `to` in one step; false
    // where the file system has no links.
    static bool Link(const str& from, const str& to);
    // The names of the plain files directly in the per-user folder, in byte order.
    static std::vector<str> ListUserFiles();
    // The plain files below a folder of the game (any depth), as names relative to the game folder
    // ("assets/menu/module.xml"), in byte order; none for a "user:" folder or one that does not exist.
    static std::vector<str> ListGameFiles(const str& folder);
    // A value that changes whenever the file is written (its modification time and size); 0 when
    // there is no such file.
    static long long Stamp(const str& name);
    // Reads a whole file; false when it cannot be opened.
    static bool ReadAll(const str& name, str& out);
    // Called after every change to the per-user folder that went through (a closed mode-1 write, a
    // rename, a link, a deletion): a backend whose files live in memory until stored (the browser's)
    // stores them then. None by default.
    static void SetUserChangeListener(void (*listener)());

private:
    // Closes without committing: a mode-1 write is thrown away (destruction without Close).
    void Discard();

    FILE* file_ = nullptr;
    int mode_ = kRead;
    str target_;           // resolved path
    str temp_;             // temporary path while writing in mode 1
    bool failed_ = false;  // a write fell short; Close keeps the old file
};

}  // namespace pf
