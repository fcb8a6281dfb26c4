#pragma once

namespace pf {

// A unit of work the platform runs later; Run returns true when the task is done.
class TTask {
public:
    virtual ~TTask() = default;
    virtual bool Run() = 0;
};

}  // namespace pf
