// A particle system that only plays in the easier game modes ("partsys_gm"): while the current player's
// game mode is above its "game_mode" it neither updates nor draws. Without a current player it plays.
#pragma once

#include "engine/objects/nE_ParticleSystem.h"

class nG_ParticleSystemGm : public nE_ParticleSystem {
public:
    static constexpr int kDefaultGameMode = 2;

    nG_ParticleSystemGm();

    // Particle system keys, then "game_mode".
    void loadProperties(nE_SLHelper& helper) override;
    void saveProperties(nE_SLHelper& helper) override;
    std::string getTypeName() const override;
    void resetState() override;
    void update(float dt) override;
    void drawSelf(nE_Render* renderer, nE_RenderState& world) override;

    // Whether the current player's mode lets the effect play.
    bool playsInCurrentMode() const;

    int gameMode = kDefaultGameMode;
};
