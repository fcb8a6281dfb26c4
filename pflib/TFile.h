// Files. "user:" names live in the per-user data folder, others under the game folder.
#pragma once

#include <cstdio>

#include "pflib/pfTypes.h"

namespace pf {

class TFile {
public:
    // 0 read, 1 write (truncate), 2 append.
    enum Mode { kRead = 0, kWrite = 1, kAppend = 2 };

    TFile() = default;
    ~TFile();
    TFile(const TFile&) = delete;
    TFile& operator=(const TFile&) = delete;

    // Mode 1 writes into a temporary file that Close renames over the target, so an interrupted
    // write leaves the old file whole.
    bool Open(const str& name, int mode);
    bool IsValid() const { return file_ != nullptr; }
    void Close();
    size_t Read(void* buffer, size_t count);
    size_t Write(const void* data, size_t count);
    size_t Size();

    static bool DeleteFile(const str& name);
    static bool Exists(const str& name);
    // Reads a whole file; false when it cannot be opened.
    static bool ReadAll(const str& name, str& out);

private:
    FILE* file_ = nullptr;
    int mode_ = kRead;
    str target_;           // resolved path
    str temp_;             // temporary path while writing in mode 1
    bool failed_ = false;  // a write fell short; Close keeps the old file
};

}  // namespace pf
