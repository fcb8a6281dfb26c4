// The player's files in the per-user folder (settings and profiles). Names are plain file names; they
// are looked up under "user:" and so can never leave that folder.
#pragma once

#include <string>
#include <vector>

class nG_UserFiles {
public:
    // The whole file, whatever its size (the newest content handed to the writer); false (with a line in the
    // log when memory ran out) when it cannot be read.
    static bool read(const std::string& name, std::string& out);
    // Replaces the file in one step (temporary file, sync, rename) on the background writer, so the
    // frame goes on at once; false when the file cannot be written at all. A write that later fails
    // keeps the old file whole and is logged.
    static bool write(const std::string& name, const std::string& bytes);
    // The names of the files whose background writes failed since the last call (each kept its old file).
    static std::vector<std::string> takeFailedWrites();
    static bool exists(const std::string& name);
    static bool remove(const std::string& name);
    static bool rename(const std::string& from, const std::string& to);
    // Moves the file out of the way under the first free name of `name` + `suffix`, then + ".1", ".2",
    // ...: an earlier copy is never replaced. The name used; empty when the file could not be moved.
    static std::string keepAside(const std::string& name, const std::string& suffix);
    // Removes what keepAside kept of `name` with that suffix.
    static void removeKept(const std::string& name, const std::string& suffix);
    // Makes `to` hold what `from` holds now (`bytes`), in one step and without copying where the file
    // system allows: later writes of `from` replace it and leave `to` alone.
    static bool keepCopy(const std::string& from, const std::string& to, const std::string& bytes);
    // Plain files of the user folder, in byte order.
    static std::vector<std::string> list();
};
