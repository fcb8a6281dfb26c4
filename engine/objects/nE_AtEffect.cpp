#include "engine/objects/nE_AtEffect.h"

#include <algorithm>

#include "engine/media/nE_ResourceCache.h"
#include "engine/media/nE_Texture.h"
#include "engine/objects/AtGlobalForces.h"
#include "engine/script/nE_SLHelper.h"

nE_AtEffect::nE_AtEffect() = default;

nE_AtEffect::~nE_AtEffect() {
    // The base destructor can no longer reach this class's unloadResources.
    deactivate();
    texture.reset();
    AtGlobalForces::get().forget(this);
}

std::shared_ptr<nE_Resource> nE_AtEffect::getResource() {
    return texture;
}

void nE_AtEffect::loadProperties(nE_SLHelper& helper) {
    nE_Object::loadProperties(helper);
    std::string res = resourceName;
    if (helper.readFileName("res", res)) setResourceName(res);
    helper.readVec3("cam_pos", camera.camPos.x, camera.camPos.y, camera.camPos.z);
    helper.readVec3("cam_ang", camera.camAng.x, camera.camAng.y, camera.camAng.z);
    helper.readFloat("floor_clip", camera.floorClip);
    helper.readFloat("near_z", camera.nearZ);
    helper.readFloat("far_z", camera.farZ);
    helper.readVec2("scr_clip_size", scrClipWidth, scrClipHeight);
    helper.readFloat("particle_inv_mass", system.invMass);
    helper.readFloat("dencity", system.density);
    helper.readFloat("deviation", system.deviation);
    helper.readFloat("particle_life_time", system.lifeTime);
    helper.readFloat("particle_scale", particleScale);
    helper.readInt("type", system.type);
    helper.readFloat("rain_length_factor", system.rainLength);
    helper.readInt("fast_start", fastStart);
}

void nE_AtEffect::saveProperties(nE_SLHelper& helper) {
    nE_Object::saveProperties(helper);
    helper.writeString("res", resourceName);
    helper.writeVec3("cam_pos", camera.camPos.x, camera.camPos.y, camera.camPos.z);
    helper.writeVec3("cam_ang", camera.camAng.x, camera.camAng.y, camera.camAng.z);
    helper.writeFloat("floor_clip", camera.floorClip);
    helper.writeFloat("near_z", camera.nearZ);
    helper.writeFloat("far_z", camera.farZ);
    helper.writeVec2("scr_clip_size", scrClipWidth, scrClipHeight);
    helper.writeFloat("particle_inv_mass", system.invMass);
    helper.writeFloat("dencity", system.density);
    helper.writeFloat("deviation", system.deviation);
    helper.writeFloat("particle_life_time", system.lifeTime);
    helper.writeFloat("particle_scale", particleScale);
    helper.writeInt("type", system.type);
    helper.writeFloat("rain_length_factor", system.rainLength);
    helper.writeInt("fast_start", fastStart);
}

std::string nE_AtEffect::getTypeName() const {
    return "ateffect";
}

void nE_AtEffect::resetState() {
    nE_Object::resetState();
    camera = AtRenderer();
    system = AtParticleSystem();
    scrClipWidth = scrClipHeight = 0;
    particleScale = 1;
    fastStart = 0;
}

void nE_AtEffect::loadResources() {
    nE_ResourceCache* cache = nE_ResourceCache::instance();
    texture = cache ? cache->getTexture(resourceName) : nullptr;
    // A scene that opens with the weather already in place.
    camera.setup(scrClipWidth, scrClipHeight);
    system.headStart(std::min(std::max(fastStart, 0), kMaxFastStart), kFastStartStep, camera,
                     AtGlobalForces::get());
    if (!inputRectSet)
        inputRect = nE_Rect{-scrClipWidth / 2, -scrClipHeight / 2, scrClipWidth, scrClipHeight};
}

void nE_AtEffect::unloadResources() {
    texture.reset();
}

void nE_AtEffect::update(float dt) {
    nE_Object::update(dt);
    AtGlobalForces& forces = AtGlobalForces::get();
    forces.tick(this, dt);
    camera.setup(scrClipWidth, scrClipHeight);
    system.update(dt, camera, forces);
}

void nE_AtEffect::drawSelf(nE_Render* renderer, nE_RenderState& world) {
    system.project(camera, particleScale);
    system.draw(renderer, texture, world);
}
