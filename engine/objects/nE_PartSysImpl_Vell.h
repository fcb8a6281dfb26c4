// The file-driven particle emitter: every parameter is an attribute of the "emit" element of a
// particle file whose root says type="vell". Bursts of particles are born at timed intervals and move,
// turn, scale, fade and change colour by fixed rates until their lifetime runs out.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/objects/nE_PartSysImpl.h"

namespace tinyxml2 {
class XMLElement;
}

class nE_PartSysImpl_Vell : public nE_PartSysImpl {
public:
    // The file counts in frames of this length and in degrees scaled by this π.
    static constexpr float kFrame = 0.017f;
    static constexpr float kPi = 3.141592f;
    // Guards against files that would exhaust memory or time.
    static constexpr int kMaxParticles = 100000;
    static constexpr int kMaxPreproc = 10000;
    // The warm-up stops once it has moved this many particles in all (its frames times the particles
    // alive in each): a file asking for many frames of many particles must not stall the frame.
    static constexpr long kPreprocWork = 2000000;

    // Emitter parameters, converted to seconds, pixels per second, radians and 0..1 colour.
    struct Params {
        float lifetime = 0, lifetimeDelta = 0;
        float delay = 0, delayDelta = 0, delayInit = 0;
        float bornCount = 0, bornCountDelta = 0;
        int gflag = 0, course = 0;
        float posX = 0, posY = 0, posXDelta = 0, posYDelta = 0;
        float speedX = 0, speedY = 0, speedXDelta = 0, speedYDelta = 0;
        float speedXf = 0, speedYf = 0;
        float grav = 0, gravf = 0;
        float grotate = 0, grotateDelta = 0, grotateSpeed = 0, grotateSpeedDelta = 0, grotatef = 0;
        int scaleMode = 0;
        float scaleX = 0, scaleY = 0, scaleXDelta = 0, scaleYDelta = 0;
        float scaleXSpeed = 0, scaleYSpeed = 0, scaleXSpeedDelta = 0, scaleYSpeedDelta = 0;
        float scaleXf = 0, scaleYf = 0;
        float rotate = 0, rotateDelta = 0, rotateSpeed = 0, rotateSpeedDelta = 0, rotatef = 0;
        float alpha = 0, alphaDelta = 0, alphaSpeed = 0, alphaSpeedDelta = 0;
        float alphaPeak = 0;
        int alphaMode = 0;
        float red = 0, redDelta = 0, green = 0, greenDelta = 0, blue = 0, blueDelta = 0;
        float redSpeed = 0, redSpeedDelta = 0, greenSpeed = 0, greenSpeedDelta = 0;
        float blueSpeed = 0, blueSpeedDelta = 0;
        int preproc = 0;
        int autooff = -1;
    };

    struct Particle {
        float x = 0, y = 0, scaleX = 0, scaleY = 0, angle = 0;
        float speedX = 0, speedY = 0, grav = 0, scaleSpeedX = 0, scaleSpeedY = 0;
        float grotate = 0, grotateSpeed = 0, rotateSpeed = 0, rotate = 0;
        float age = 0, lifetime = 0;
        float alpha = 0, alphaSpeed = 0, alphaStart = 0;
        float red = 0, redSpeed = 0, green = 0, greenSpeed = 0, blue = 0, blueSpeed = 0;
    };

    nE_PartSysImpl_Vell();

    // Reads the parameters and starts emitting; a missing file is reported and nothing starts.
    void load(const std::string& name) override;
    // Reads the attributes of an "emit" element (missing ones read as 0, "preproc" 0, "autooff" -1);
    // "blend" goes to the owner's blend mode.
    void readParams(const tinyxml2::XMLElement* emit);
    void loadResources() override;
    void unloadResources() override;
    void update(float dt) override;
    void draw(nE_Render* renderer, nE_RenderState& world) override;
    // Nothing while emitting; otherwise clears the particles, rearms the timers and runs the warm-up
    // (cut short, with a line, past kPreprocWork).
    void start() override;
    void stop(bool clear) override;

    Params params;
    std::string textureName;
    std::shared_ptr<nE_Texture> texture;
    std::vector<Particle> particles;
    float emitTimer = 0;
    int burstsLeft = -1;

private:
    void burst();
    void giveBirth(float maskX, float maskY);
};
