// The particles of an atmospheric effect: rain streaks or flakes that spawn in the camera's box, fall
// under the shared forces with drag and a random sideways deviation, fade in, fade out near the floor
// and at the end of their life, and are projected and drawn as quads in batches.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/core/nE_RenderState.h"
#include "engine/media/nE_Render.h"
#include "engine/objects/AtVec3.h"

class AtGlobalForces;
class AtRenderer;
class nE_Texture;

class AtParticleSystem {
public:
    static constexpr int kRain = 1;
    // One draw call takes at most this many particles.
    static constexpr int kBatchParticles = 128;
    // Guards against descriptions that would exhaust memory or time.
    static constexpr int kMaxParticles = 60000;
    static constexpr int kMaxSpawnPerUpdate = 5000;

    struct Particle {
        AtVec3 position, velocity;
        float alpha = 0, depthFade = 0, age = 0;
        bool dead = false;
        // Projected head (the particle) and, for rain, tail (where its motion takes it next): pixels
        // around the effect's centre, depth, drawn scale.
        float headX = 0, headY = 0, headDepth = 0, headSize = 0;
        float tailX = 0, tailY = 0, tailDepth = 0, tailSize = 0;
    };

    AtParticleSystem();

    // Forces, drag, deviation, movement, fading and death, then spawning in the camera's box.
    void update(float dt, const AtRenderer& camera, const AtGlobalForces& forces);
    // Screen places, depth fades and sizes; particles that leave the view die.
    void project(const AtRenderer& camera, float particleScale);
    // Steps of update in a row, with particles that leave the view dying after each as project would
    // have them (the places project computes are left for the draw).
    void headStart(int steps, float dt, const AtRenderer& camera, const AtGlobalForces& forces);
    // Quads of the texture (its size when there is one, 10 × 10 otherwise) in the object's space.
    void draw(nE_Render* renderer, const std::shared_ptr<nE_Texture>& texture, nE_RenderState& state);

    int type = kRain;
    float invMass = 0.01f;
    float density = 1.0f;
    float deviation = 0.3f;
    float lifeTime = 20.0f;
    float rainLength = 4.0f;

    std::vector<Particle> particles;

private:
    // The system's own sequence, and a number in [0, 1) from it.
    uint32_t next();
    float unit();
    float between(float a, float b);
    // A unit vector perpendicular to the unit vector `along`, in a random direction; zero when the
    // random pick happens to lie along it.
    AtVec3 randomPerpendicular(const AtVec3& along);
    // What project kills, without computing what it draws.
    void cull(const AtRenderer& camera);
    void flush(nE_Render* renderer, const std::shared_ptr<nE_Texture>& texture, nE_RenderState& state,
               int count);

    std::vector<nE_Vertex> vertices_;
    uint32_t random_ = 1;
};
