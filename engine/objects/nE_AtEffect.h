// The atmospheric effect ("ateffect"): rain streaks or drifting flakes simulated in a small 3-D world,
// seen through its camera and drawn over the object's rectangle ("scr_clip_size", centred on its
// position). The forces come from the process-wide AtGlobalForces.
#pragma once

#include <memory>
#include <string>

#include "engine/core/nE_Object.h"
#include "engine/objects/AtParticleSystem.h"
#include "engine/objects/AtRenderer.h"

class nE_Texture;

class nE_AtEffect : public nE_Object {
public:
    // Warm-up steps run at most, whatever "fast_start" asks.
    static constexpr int kMaxFastStart = 50;
    static constexpr float kFastStartStep = 0.1f;

    nE_AtEffect();
    ~nE_AtEffect() override;

    std::shared_ptr<nE_Resource> getResource() override;
    // Base keys, then "res", the camera, the rectangle, the particles' keys and "fast_start".
    void loadProperties(nE_SLHelper& helper) override;
    void saveProperties(nE_SLHelper& helper) override;
    std::string getTypeName() const override;
    // A fresh camera and particle system with the defaults, besides the base's reset.
    void resetState() override;
    // The texture, the warm-up, and an input rectangle over the effect's area unless one was given.
    void loadResources() override;
    void unloadResources() override;
    void update(float dt) override;
    void drawSelf(nE_Render* renderer, nE_RenderState& world) override;

    AtRenderer camera;
    AtParticleSystem system;
    float scrClipWidth = 0, scrClipHeight = 0;
    float particleScale = 1;
    int fastStart = 0;
    // Held only while resources are loaded.
    std::shared_ptr<nE_Texture> texture;
};
