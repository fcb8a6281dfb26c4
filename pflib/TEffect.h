#pragma once

namespace pf {

// Base of the renderer's effects.
class TEffect {
public:
    virtual ~TEffect() = default;
};

}  // namespace pf
