#include "engine/objects/nE_PartSysImpl_Vell.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cmath>

#include "engine/core/nE_Debug.h"
#include "engine/core/nE_Easing.h"
#include "engine/core/nE_Geometry.h"
#include "engine/core/nE_Object.h"
#include "engine/core/nE_Path.h"
#include "engine/core/nE_Xml.h"
#include "engine/media/nE_ResourceCache.h"
#include "engine/media/nE_Texture.h"
#include "pflib/TFile.h"

namespace {

constexpr float kDegrees = nE_PartSysImpl_Vell::kPi / 180;

// The per-second form of a per-frame factor k.
float factor(float k, float dt) {
    return 1 + dt * (k - 1) * 60;
}

}  // namespace

nE_PartSysImpl_Vell::nE_PartSysImpl_Vell() = default;

void nE_PartSysImpl_Vell::load(const std::string& name) {
    tinyxml2::XMLDocument doc;
    const tinyxml2::XMLElement* root = readFile(name, doc);
    if (!root) {
        nE_Debug::writef("nE_PartSysImpl_Vell::Could not find \"%s\" file!\n", name.c_str());
        return;
    }
    readParams(root->FirstChildElement("emit"));
    start();
}

void nE_PartSysImpl_Vell::readParams(const tinyxml2::XMLElement* emit) {
    params = Params();
    textureName.clear();
    if (!emit) return;
    auto f = [emit](const char* key) { return nE_Xml::number(emit, key); };
    auto i = [emit](const char* key, int def = 0) { return nE_Xml::integer(emit, key, def); };
    Params& p = params;
    p.lifetime = f("lifetime") * kFrame;
    p.lifetimeDelta = f("lifetime_delta") * kFrame;
    p.delay = f("delay") * kFrame;
    p.delayDelta = f("delay_delta") * kFrame;
    p.delayInit = f("delay_init") * kFrame;
    p.bornCount = f("born_count");
    p.bornCountDelta = f("born_count_delta");
    p.gflag = i("gflag");
    p.course = i("course");
    p.posX = f("pos_x");
    p.posY = f("pos_y");
    p.posXDelta = f("pos_x_delta");
    p.posYDelta = f("pos_y_delta");
    p.speedX = f("speed_x") * 60;
    p.speedY = f("speed_y") * 60;
    p.speedXDelta = f("speed_x_delta") * 60;
    p.speedYDelta = f("speed_y_delta") * 60;
    p.speedXf = f("speed_xf");
    p.speedYf = f("speed_yf");
    p.grav = f("grav") * 60;
    p.gravf = f("gravf");
    p.grotate = f("grotate") * kDegrees;
    p.grotateDelta = f("grotate_delta") * kDegrees;
    p.grotateSpeed = f("grotate_speed") * kDegrees * 60;
    p.grotateSpeedDelta = f("grotate_speed_delta") * kDegrees * 60;
    p.grotatef = f("grotatef");
    p.scaleMode = i("scale_mode");
    p.scaleX = f("scale_x");
    p.scaleY = f("scale_y");
    p.scaleXDelta = f("scale_x_delta");
    p.scaleYDelta = f("scale_y_delta");
    p.scaleXSpeed = f("scale_x_speed") * 60;
    p.scaleYSpeed = f("scale_y_speed") * 60;
    p.scaleXSpeedDelta = f("scale_x_speed_delta") * 60;
    p.scaleYSpeedDelta = f("scale_y_speed_delta") * 60;
    p.scaleXf = f("scale_xf");
    p.scaleYf = p.scaleMode != 0 ? p.scaleXf : f("scale_yf");
    p.rotate = f("rotate") * kDegrees;
    p.rotateDelta = f("rotate_delta") * kDegrees;
    p.rotateSpeed = f("rotate_speed") * kDegrees * 60;
    p.rotateSpeedDelta = f("rotate_speed_delta") * kDegrees * 60;
    p.rotatef = f("rotatef");
    p.alpha = f("alpha");
    p.alphaDelta = f("alpha_delta");
    p.alphaSpeed = f("alpha_speed") * 60;
    p.alphaSpeedDelta = f("alpha_speed_delta") * 60;
    p.alphaPeak = f("alpha_peak");
    p.alphaMode = i("alpha_mode");
    p.red = f("color_r") / 255;
    p.green = f("color_g") / 255;
    p.blue = f("color_b") / 255;
    p.redDelta = f("color_r_delta") / 255;
    p.greenDelta = f("color_g_delta") / 255;
    p.blueDelta = f("color_b_delta") / 255;
    p.redSpeed = f("color_r_speed") / 255 * 60;
    p.greenSpeed = f("color_g_speed") / 255 * 60;
    p.blueSpeed = f("color_b_speed") / 255 * 60;
    p.redSpeedDelta = f("color_r_speed_delta") / 255 * 60;
    p.greenSpeedDelta = f("color_g_speed_delta") / 255 * 60;
    p.blueSpeedDelta = f("color_b_speed_delta") / 255 * 60;
    p.preproc = std::min(i("preproc", 0), kMaxPreproc);
    p.autooff = i("autooff", -1);
    if (owner && emit->Attribute("blend")) owner->editLocalState()->blendMode = i("blend");
    if (emit->Attribute("res"))
        textureName =
            nE_Path::resolve(nE_Xml::text(emit, "res"), nE_Path::kGameOrUserFolder, "nE_ParticleSystem");
}

void nE_PartSysImpl_Vell::loadResources() {
    nE_ResourceCache* cache = nE_ResourceCache::instance();
    texture = cache ? cache->getTexture(textureName) : nullptr;
}

void nE_PartSysImpl_Vell::unloadResources() {
    texture.reset();
}

void nE_PartSysImpl_Vell::start() {
    if (emitting) return;
    emitting = true;
    particles.clear();
    emitTimer = params.delayInit;
    burstsLeft = params.autooff == 0 ? -1 : params.autooff;
    long work = 0;
    int frames = 0;
    for (; frames < params.preproc && work < kPreprocWork; ++frames) {
        update(kFrame);
        work += static_cast<long>(particles.size()) + 1;
    }
    if (frames < params.preproc)
        nE_Debug::writef("nE_PartSysImpl_Vell: the warm-up of \"%s\" stopped after %d of its %d frames",
                         owner ? owner->resourceName.c_str() : "", frames, params.preproc);
}

void nE_PartSysImpl_Vell::stop(bool clear) {
    if (!emitting) return;
    emitting = false;
    if (clear) particles.clear();
}

void nE_PartSysImpl_Vell::burst() {
    emitTimer = rnd(params.delay, params.delayDelta);
    const float n = rnd(params.bornCount, params.bornCountDelta);
    // At least one, the fraction dropped; never past the live-particle cap.
    const int room = kMaxParticles - static_cast<int>(particles.size());
    const int count =
        std::min(n >= 1 ? (n < static_cast<float>(room) ? static_cast<int>(n) : room) : 1, room);

    // The mask is looked up once per burst. Particles are drawn through the owner's world transform, so
    // mask points are brought into the owner's space: they land on the mask wherever the two objects
    // stand (with the owner at the origin this is the mask's world point itself).
    nE_Object* mask = count > 0 ? liveMask() : nullptr;
    nE_RenderState maskWorld;
    float inv[6] = {1, 0, 0, 1, 0, 0};
    if (mask) {
        maskWorld = mask->worldStateFromTop();
        if (owner) {
            nE_RenderState ownerWorld = owner->worldStateFromTop();
            // A matrix that cannot be inverted leaves the identity.
            nE_Geometry::invertAffine(ownerWorld.transform(), inv);
        }
    }
    for (int i = 0; i < count; ++i) {
        float mx = 0, my = 0;
        if (mask) {
            const pf::TVec2 w = randomMaskPoint(*mask, maskWorld);
            mx = w.x * inv[0] + w.y * inv[2] + inv[4];
            my = w.x * inv[1] + w.y * inv[3] + inv[5];
        }
        giveBirth(mx, my);
    }
    if (burstsLeft >= 0 && --burstsLeft == 0) emitting = false;
}

void nE_PartSysImpl_Vell::giveBirth(float mx, float my) {
    const Params& p = params;
    Particle q;
    q.x = rnd(p.posX + mx, p.posXDelta);
    q.y = rnd(p.posY + my, p.posYDelta);
    q.speedX = rnd(p.speedX, p.speedXDelta);
    q.speedY = rnd(p.speedY, p.speedYDelta);
    q.scaleX = rnd(p.scaleX, p.scaleXDelta);
    q.scaleY = rnd(p.scaleY, p.scaleYDelta);
    const float offset = rnd(0, p.scaleXSpeedDelta);
    q.scaleSpeedX = p.scaleXSpeed + offset;
    q.scaleSpeedY = rnd(p.scaleYSpeed, p.scaleYSpeedDelta);
    if (p.scaleMode == 1) {
        q.scaleY = q.scaleX;
        q.scaleSpeedY = q.scaleSpeedX;
    } else if (p.scaleMode == 2) {
        q.scaleSpeedY = p.scaleYSpeed + offset;
    }
    q.grav = p.grav;
    q.grotate = rnd(p.grotate, p.grotateDelta);
    q.grotateSpeed = rnd(p.grotateSpeed, p.grotateSpeedDelta);
    q.rotate = q.angle = rnd(p.rotate, p.rotateDelta);
    q.rotateSpeed = rnd(p.rotateSpeed, p.rotateSpeedDelta);
    q.age = 0;
    q.lifetime = rnd(p.lifetime, p.lifetimeDelta);
    q.alpha = rnd(p.alpha, p.alphaDelta);
    q.alphaSpeed = rnd(p.alphaSpeed, p.alphaSpeedDelta);
    q.alphaStart = q.alpha;
    // The fades reach 0 (or 1) exactly when the particle dies.
    if (p.alphaMode == 1 && q.lifetime > 0)
        q.alphaSpeed = -q.alpha / q.lifetime;
    else if (p.alphaMode == 2 && q.lifetime > 0)
        q.alphaSpeed = (1 - q.alpha) / q.lifetime;
    q.red = rnd(p.red, p.redDelta);
    q.redSpeed = rnd(p.redSpeed, p.redSpeedDelta);
    q.green = rnd(p.green, p.greenDelta);
    q.greenSpeed = rnd(p.greenSpeed, p.greenSpeedDelta);
    q.blue = rnd(p.blue, p.blueDelta);
    q.blueSpeed = rnd(p.blueSpeed, p.blueSpeedDelta);
    particles.push_back(q);
}

void nE_PartSysImpl_Vell::update(float dt) {
    if (emitting) {
        emitTimer -= dt;
        if (emitTimer <= 0) burst();
    }

    const Params& p = params;
    const float fSpeedX = factor(p.speedXf, dt), fSpeedY = factor(p.speedYf, dt);
    const float fGrav = factor(p.gravf, dt);
    const float fScaleX = factor(p.scaleXf, dt), fScaleY = factor(p.scaleYf, dt);
    const float fGrotate = factor(p.grotatef, dt), fRotate = factor(p.rotatef, dt);
    const bool alongDirection = p.gflag == 1, course = p.course == 1;
    const float peakShare = p.alphaPeak / 100;

    // Removal in place: survivors are moved down over the dead, keeping their order.
    size_t kept = 0;
    for (size_t i = 0; i < particles.size(); ++i) {
        Particle& q = particles[i];
        if (alongDirection) {
            q.x += dt * std::sin(q.grotate) * q.speedX;
            q.y += dt * std::cos(q.grotate) * q.speedY;
        } else {
            q.x += dt * q.speedX;
            q.y += dt * q.speedY;
        }
        q.speedX *= fSpeedX;
        q.speedY *= fSpeedY;
        q.y += dt * q.grav;
        q.grav *= fGrav;
        q.scaleX += dt * q.scaleSpeedX;
        q.scaleY += dt * q.scaleSpeedY;
        q.scaleSpeedX *= fScaleX;
        q.scaleSpeedY *= fScaleY;
        q.grotate += dt * q.grotateSpeed;
        q.grotateSpeed *= fGrotate;
        q.rotate += dt * q.rotateSpeed;
        q.rotateSpeed *= fRotate;
        q.angle = course ? q.rotate - (3.14f - q.grotate) : q.rotate;
        if (p.alphaPeak == 0) {
            q.alpha += dt * q.alphaSpeed;
        } else {
            const float peak = q.lifetime * peakShare;
            if (q.age < peak)
                q.alpha = q.age * q.alphaStart / peak;
            else if (q.lifetime > peak)
                q.alpha = q.alphaStart - q.alphaStart * (q.age - peak) / (q.lifetime - peak);
            else
                q.alpha = 0;
        }
        q.red += dt * q.redSpeed;
        q.green += dt * q.greenSpeed;
        q.blue += dt * q.blueSpeed;
        q.alpha = nE_Easing::clamp01(q.alpha);
        q.red = nE_Easing::clamp01(q.red);
        q.green = nE_Easing::clamp01(q.green);
        q.blue = nE_Easing::clamp01(q.blue);
        q.age += dt;
        if (q.lifetime <= q.age) continue;
        if (kept != i) particles[kept] = q;
        ++kept;
    }
    particles.resize(kept);
}

void nE_PartSysImpl_Vell::draw(nE_Render* renderer, nE_RenderState& world) {
    if (!renderer || !texture || particles.empty()) return;
    const nE_Rect rect = texture->localRect(0);
    const nE_Rect uv = texture->texCoordRect(world);
    const float* w = world.transform().m;
    const float wa = w[0], wb = w[1], wc = w[4], wd = w[5], we = w[12], wf = w[13];

    beginQuads(renderer, texture, world);
    for (const Particle& q : particles) {
        // The particle's own scale · rotation · translation, then the owner's world transform
        // (both affine, in the row-vector convention of nE_RenderState).
        const float c = std::cos(q.angle), s = std::sin(q.angle);
        const float p0 = q.scaleX * c, p1 = -q.scaleX * s, p4 = q.scaleY * s, p5 = q.scaleY * c;
        const float m[6] = {p0 * wa + p1 * wc, p0 * wb + p1 * wd,        p4 * wa + p5 * wc,
                            p4 * wb + p5 * wd, q.x * wa + q.y * wc + we, q.x * wb + q.y * wd + wf};
        addQuad(m, rect, uv.w, uv.h, q.red * world.red, q.green * world.green, q.blue * world.blue,
                q.alpha * world.alpha);
    }
    endQuads();
}
