// Shared helpers of the sprite tests: a renderer that records what it is asked to draw, and the
// paths of the sprite test images.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/media/nE_Render.h"

namespace spritetest {

inline std::string data(const std::string& name) {
    return std::string(HALVERN_TEST_DATA) + "/sprites/" + name;
}

class DrawRecorder : public nE_Render {
public:
    struct Draw {
        std::shared_ptr<nE_Texture> texture;
        nE_RenderState state;
    };
    void drawTexture(const std::shared_ptr<nE_Texture>& texture, nE_RenderState& state) override {
        draws.push_back({texture, state});
    }
    std::vector<Draw> draws;
};

}  // namespace spritetest
