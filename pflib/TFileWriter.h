// Whole-file writes on a thread of their own, so that saving never stalls a frame. Each write keeps
// TFile's atomic rule (temporary file, sync, rename): until the new content is renamed into place the
// previous file is whole, and a program killed mid-write leaves it so. Writes of one file land in the
// order they were asked for; a write still waiting its turn is replaced by a newer one of the same
// file. TFile's own calls on a file with a write in flight wait for it, so nothing reads or moves a
// file behind the writer's back.
#pragma once

#include <functional>
#include <vector>

#include "pflib/pfTypes.h"

namespace pf {

class TFileWriter {
public:
    // Hands the file's whole new content over and returns at once. False, with nothing queued, when
    // the name cannot be a file (a bad "user:" name, a folder that cannot be made).
    static bool Write(const str& name, str bytes);
    // The newest content handed over for the file that is not yet in place.
    static bool Pending(const str& name, str& out);
    static bool IsPending(const str& name);
    // Waits until no write of that file (resolved path) is queued or in flight.
    static void WaitFor(const str& path);
    // Waits until every write handed over so far is done.
    static void Flush();
    // Finishes the pending writes and stops the thread (an orderly quit); a later Write starts it again.
    static void Finish();
    // Names of the writes that did not reach the disk since the last call (the old files are kept).
    static std::vector<str> TakeFailures();

    // For tests: called on the writer thread with the target path once the new content is in the
    // temporary file and before it is renamed into place.
    static void SetBeforeRename(std::function<void(const str&)> hook);
};

}  // namespace pf
