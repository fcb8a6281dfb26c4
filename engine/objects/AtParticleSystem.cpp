#include "engine/objects/AtParticleSystem.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/core/nE_Easing.h"
#include "engine/media/nE_Texture.h"
#include "engine/objects/AtGlobalForces.h"
#include "engine/objects/AtRenderer.h"

namespace {

float fadeOf(float nearDepth, float farDepth) {
    if (nearDepth < 0.16f) return nearDepth * 6.25f;
    if (farDepth > 0.85f) return 1 - (farDepth - 0.85f) * 6.25f;
    return 1;
}

}  // namespace

AtParticleSystem::AtParticleSystem() {
    vertices_.resize(kBatchParticles * 6);
    // Each system draws from its own sequence, seeded once from the shared one: its drops stay the same
    // from run to run whatever else draws random numbers, and a draw costs no lock.
    random_ = static_cast<uint32_t>(std::rand()) * 2654435761u + 1;
    if (!random_) random_ = 1;
}

inline uint32_t AtParticleSystem::next() {
    // xorshift32: enough for where rain falls.
    random_ ^= random_ << 13;
    random_ ^= random_ >> 17;
    random_ ^= random_ << 5;
    return random_;
}

inline float AtParticleSystem::unit() {
    return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f);
}

float AtParticleSystem::between(float a, float b) {
    return nE_Easing::lerp(a, b, unit());
}

inline AtVec3 AtParticleSystem::randomPerpendicular(const AtVec3& along) {
    // Ten bits a component, from one draw: a direction needs no more.
    const uint32_t bits = next();
    constexpr float kTenth = 1.0f / 1024.0f;
    const AtVec3 pick(static_cast<float>(bits >> 22) * kTenth - 0.5f,
                      static_cast<float>((bits >> 12) & 1023u) * kTenth - 0.5f,
                      static_cast<float>((bits >> 2) & 1023u) * kTenth - 0.5f);
    const AtVec3 side = pick - along * pick.dot(along);
    const float length = side.length();
    return length > 1e-6f ? side * (1 / length) : AtVec3();
}

void AtParticleSystem::headStart(int steps, float dt, const AtRenderer& camera,
                                 const AtGlobalForces& forces) {
    for (int i = 0; i < steps; ++i) {
        update(dt, camera, forces);
        cull(camera);
    }
}

void AtParticleSystem::cull(const AtRenderer& camera) {
    const bool rain = type == kRain;
    const float tailFactor = rainLength * 0.016666668f;
    for (Particle& p : particles)
        if (!p.dead &&
            (!camera.sees(p.position) || (rain && !camera.sees(p.position + p.velocity * tailFactor))))
            p.dead = true;
}

void AtParticleSystem::update(float dt, const AtRenderer& camera, const AtGlobalForces& forces) {
    const AtVec3 pull = forces.total() * invMass;
    const float floor = camera.floorClip;
    for (Particle& p : particles) {
        if (p.dead) continue;
        AtVec3 acceleration = pull;
        const float speed = p.velocity.length();
        if (speed > 0) {
            const AtVec3 direction = p.velocity * (1 / speed);
            acceleration += direction * (-speed * speed * forces.airCounterforce);
            if (deviation != 0) p.velocity += randomPerpendicular(direction) * (speed * unit() * deviation);
        }
        // The acceleration is per update, not per second.
        p.velocity += acceleration;
        p.position += p.velocity * dt;

        if (!(p.position.y <= floor)) {
            p.dead = true;
            continue;
        }
        float k = 1;
        if (p.position.y > floor - 0.1f) k = 1 - (p.position.y - (floor - 0.1f)) * 10;
        p.age += dt;
        if (p.age < 0.4f)
            p.alpha = p.age * 2.5f * k;
        else if (p.age < lifeTime - 0.4f)
            p.alpha = k;
        else if (p.age < lifeTime)
            p.alpha = (1 - (p.age - (lifeTime - 0.4f)) / 0.4f) * k;
        else {
            p.alpha = 0;
            p.dead = true;
        }
    }

    // The last particle takes a dead one's place.
    for (size_t i = 0; i < particles.size();) {
        if (particles[i].dead) {
            particles[i] = particles.back();
            particles.pop_back();
        } else {
            ++i;
        }
    }

    const AtVec3 size = camera.boxMax - camera.boxMin;
    const float wanted = dt * size.x * size.y * size.z * density;
    if (!(wanted > 0)) return;
    const int room = kMaxParticles - static_cast<int>(particles.size());
    const int count = static_cast<int>(std::min(
        {std::ceil(wanted), static_cast<float>(kMaxSpawnPerUpdate), static_cast<float>(std::max(room, 0))}));
    for (int i = 0; i < count; ++i) {
        Particle p;
        p.position =
            AtVec3(between(camera.boxMin.x, camera.boxMax.x), between(camera.boxMin.y, camera.boxMax.y),
                   between(camera.boxMin.z, camera.boxMax.z));
        particles.push_back(p);
    }
}

void AtParticleSystem::project(const AtRenderer& camera, float particleScale) {
    const bool rain = type == kRain;
    const float tailFactor = rainLength * 0.016666668f;
    for (Particle& p : particles) {
        if (p.dead) continue;
        bool seen = camera.project(p.position, p.headX, p.headY, p.headDepth) && p.headDepth >= 0 &&
                    p.headDepth <= 1 && camera.nearClip(p.headX, p.headY);
        if (seen && rain) {
            seen = camera.project(p.position + p.velocity * tailFactor, p.tailX, p.tailY, p.tailDepth) &&
                   p.tailDepth >= 0 && p.tailDepth <= 1 && camera.nearClip(p.tailX, p.tailY);
        }
        if (!seen) {
            p.dead = true;
            continue;
        }
        p.headSize = camera.sizeAt(p.headDepth, particleScale);
        if (rain) {
            p.tailSize = camera.sizeAt(p.tailDepth, particleScale);
            p.depthFade = fadeOf(std::min(p.headDepth, p.tailDepth), std::max(p.headDepth, p.tailDepth));
        } else {
            p.depthFade = fadeOf(p.headDepth, p.headDepth);
        }
    }
}

void AtParticleSystem::draw(nE_Render* renderer, const std::shared_ptr<nE_Texture>& texture,
                            nE_RenderState& state) {
    if (!renderer) return;
    float width = 10, height = 10, du = 1, dv = 1;
    if (texture) {
        width = texture->width;
        height = texture->height;
        const nE_Rect uv = texture->texCoordRect(state);
        du = uv.w;
        dv = uv.h;
    }
    const bool rain = type == kRain;
    int count = 0;
    for (const Particle& p : particles) {
        const float alpha = p.alpha * p.depthFade;
        if (p.dead || !(alpha > 0)) continue;
        nE_Vertex* v = &vertices_[static_cast<size_t>(count) * 6];
        auto put = [alpha](nE_Vertex& out, float x, float y, float u, float t) {
            out.x = x;
            out.y = y;
            out.z = 0;
            out.r = out.g = out.b = 1;
            out.a = alpha;
            out.u = u;
            out.v = t;
        };
        if (rain) {
            // From the drop (the top of the texture, clear) to where its motion takes it (the bottom,
            // bright), as wide as the texture at each end's scale.
            float ax = p.tailX - p.headX, ay = p.tailY - p.headY;
            const float length = std::sqrt(ax * ax + ay * ay);
            if (length > 1e-4f) {
                ax /= length;
                ay /= length;
            } else {
                ax = 0;
                ay = 1;
            }
            const float nx = -ay, ny = ax;
            const float hh = width * p.headSize * 0.5f, ht = width * p.tailSize * 0.5f;
            put(v[0], p.headX + nx * hh, p.headY + ny * hh, 0, 0);
            put(v[1], p.headX - nx * hh, p.headY - ny * hh, du, 0);
            put(v[2], p.tailX + nx * ht, p.tailY + ny * ht, 0, dv);
            put(v[5], p.tailX - nx * ht, p.tailY - ny * ht, du, dv);
        } else {
            const float hw = width * p.headSize * 0.5f, hh = height * p.headSize * 0.5f;
            put(v[0], p.headX - hw, p.headY - hh, 0, 0);
            put(v[1], p.headX + hw, p.headY - hh, du, 0);
            put(v[2], p.headX - hw, p.headY + hh, 0, dv);
            put(v[5], p.headX + hw, p.headY + hh, du, dv);
        }
        v[3] = v[1];
        v[4] = v[2];
        if (++count == kBatchParticles) {
            flush(renderer, texture, state, count);
            count = 0;
        }
    }
    flush(renderer, texture, state, count);
}

void AtParticleSystem::flush(nE_Render* renderer, const std::shared_ptr<nE_Texture>& texture,
                             nE_RenderState& state, int count) {
    if (count > 0) renderer->drawVertices(texture, state, vertices_.data(), count * 6, false);
}
