// A file in the player's data area (profiles, settings). The name given at creation is looked up under
// "user:", which the platform resolves to the per-user folder; the platform binding does the work.
#pragma once

#include <cstddef>
#include <string>

class nE_File {
public:
    explicit nE_File(const std::string& name) : path("user:" + name) {}
    virtual ~nE_File() = default;
    nE_File(const nE_File&) = delete;
    nE_File& operator=(const nE_File&) = delete;

    // Engine modes come in pairs: 0 and 1 read, 2 and 3 write, 4 and 5 append (see platformMode).
    virtual bool open(int mode) = 0;
    // Closes for good: later operations do nothing and answer 0 or false. True when the file was open
    // and all written data is in place; a write (modes 2 and 3) replaces the old file only here, so a
    // file object destroyed without a successful close leaves the old file as it was.
    virtual bool close() = 0;
    virtual size_t write(const void* data, size_t count) = 0;
    virtual size_t read(void* buffer, size_t count) = 0;
    virtual bool remove() = 0;
    virtual size_t size() = 0;

    // The platform mode for an engine mode: 0 and 1 give 0, 2 and 3 give 1, 4 and 5 give 2; any other
    // value passes unchanged (and the platform refuses what it does not know).
    static int platformMode(int mode) { return mode >= 0 && mode <= 5 ? mode / 2 : mode; }

    const std::string path;
};
