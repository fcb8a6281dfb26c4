// Scripted input for unattended runs: one event per line "TICK TYPE CODE X Y [FLAGS]", TICK
// counting loop steps from 0; lines starting with '#' and blank lines are skipped.
#pragma once

#include <utility>
#include <vector>

#include "pflib/TEvent.h"
#include "pflib/pfTypes.h"

namespace pf {

class TInputScript {
public:
    // Reads the file (plain path, not resolved against the game folder). False when it cannot
    // be read; malformed lines are reported to the log and skipped.
    bool Load(const str& path);
    // Parses script text; returns the number of malformed lines.
    int Parse(const str& text);
    // Appends to out the events due at this step (and any earlier ones not yet taken), in order.
    void TakeDue(int tick, std::vector<TEvent>& out);
    size_t Remaining() const { return events_.size() - next_; }

private:
    std::vector<std::pair<int, TEvent>> events_;  // sorted by tick, stable
    size_t next_ = 0;
};

}  // namespace pf
