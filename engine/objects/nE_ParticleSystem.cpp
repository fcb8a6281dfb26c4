#include "engine/objects/nE_ParticleSystem.h"

#include <tinyxml2.h>

#include <algorithm>
#include <map>

#include "engine/core/nE_Debug.h"
#include "engine/core/nE_Xml.h"
#include "engine/objects/nE_PartSysImpl_Complex.h"
#include "engine/objects/nE_PartSysImpl_Vell.h"
#include "engine/script/nE_SLHelper.h"
#include "pflib/TFile.h"

namespace {

std::map<std::string, nE_ParticleSystem::ImplConstructor>& implementations() {
    static std::map<std::string, nE_ParticleSystem::ImplConstructor> table = {
        {"vell", [] { return new nE_PartSysImpl_Vell(); }},
        {"complex", [] { return new nE_PartSysImpl_Complex(); }},
    };
    return table;
}

}  // namespace

void nE_ParticleSystem::registerImplementation(const std::string& type, ImplConstructor constructor) {
    if (constructor)
        implementations()[type] = std::move(constructor);
    else
        implementations().erase(type);
}

nE_ParticleSystem::nE_ParticleSystem() = default;

nE_ParticleSystem::~nE_ParticleSystem() {
    // The base destructor can no longer reach this class's unloadResources.
    deactivate();
    impl_.reset();
}

void nE_ParticleSystem::setResourceName(const std::string& newName) {
    resourceName = newName;
    chooseImplementation();
}

void nE_ParticleSystem::chooseImplementation() {
    impl_.reset();
    tinyxml2::XMLDocument doc;
    const tinyxml2::XMLElement* root = nE_PartSysImpl::readFile(resourceName, doc);
    if (!root) {
        nE_Debug::writef("nE_ParticleSystem::Could not find \"%s\" file!\n", resourceName.c_str());
        return;
    }
    auto found = implementations().find(nE_Xml::text(root, "type", "complex"));
    if (found == implementations().end()) return;
    impl_.reset(found->second());
    if (!impl_) return;
    impl_->owner = this;
    impl_->load(resourceName);
    if (loaded) impl_->loadResources();
}

void nE_ParticleSystem::loadProperties(nE_SLHelper& helper) {
    nE_Object::loadProperties(helper);
    // The same name again neither reads the file again nor restarts the emitter.
    std::string res;
    if (helper.readFileName("res", res) && (res != resourceName || !impl_)) setResourceName(res);
}

void nE_ParticleSystem::saveProperties(nE_SLHelper& helper) {
    nE_Object::saveProperties(helper);
    helper.writeString("res", resourceName);
}

std::string nE_ParticleSystem::getTypeName() const {
    return "partsys";
}

void nE_ParticleSystem::resetState() {
    nE_Object::resetState();
    impl_.reset();
}

void nE_ParticleSystem::loadResources() {
    if (impl_) impl_->loadResources();
}

void nE_ParticleSystem::unloadResources() {
    if (impl_) impl_->unloadResources();
}

void nE_ParticleSystem::update(float dt) {
    nE_Object::update(dt);
    if (impl_) impl_->update(dt);
}

void nE_ParticleSystem::drawSelf(nE_Render* renderer, nE_RenderState& world) {
    if (impl_) impl_->draw(renderer, world);
}

void nE_ParticleSystem::start() {
    if (impl_) impl_->start();
}

void nE_ParticleSystem::stop(bool clear) {
    if (impl_) impl_->stop(clear);
}

void nE_ParticleSystem::setEmitting(bool flag) {
    if (impl_) impl_->setEmitting(flag);
}

void nE_ParticleSystem::restart() {
    if (!impl_) return;
    impl_->stop(true);
    impl_->start();
}

void nE_ParticleSystem::setMaskObject(nE_Object* mask) {
    if (impl_) impl_->setMaskObject(mask);
}
