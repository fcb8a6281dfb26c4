// Registered with the platform at start-up; run after the device lost its textures. It only leaves a
// mark that the engine's next update consumes (restoring solid textures and generated content).
#pragma once

#include <functional>
#include <utility>

#include "pflib/TTask.h"

class nE_UpdateLostTexturesTask_Pl5 : public pf::TTask {
public:
    // addMark appends one mark to the engine's pending-refresh list.
    explicit nE_UpdateLostTexturesTask_Pl5(std::function<void()> addMark) : addMark_(std::move(addMark)) {}

    bool Run() override;

private:
    std::function<void()> addMark_;
};
