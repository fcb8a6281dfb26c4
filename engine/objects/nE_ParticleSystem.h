// The scene object of a particle effect ("partsys"). Its particle file, named by the resource name,
// says which implementation runs it; the object forwards loading, updating and drawing to that
// implementation and draws nothing without one.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "engine/core/nE_Object.h"
#include "engine/objects/nE_PartSysImpl.h"

class nE_ParticleSystem : public nE_Object {
public:
    using ImplConstructor = std::function<nE_PartSysImpl*()>;

    nE_ParticleSystem();
    ~nE_ParticleSystem() override;

    // Stores the name and chooses the implementation again from its file (even for the same name,
    // which restarts the effect).
    void setResourceName(const std::string& name) override;
    // Base keys; a "res" key chooses the implementation again.
    void loadProperties(nE_SLHelper& helper) override;
    // Base keys and "res".
    void saveProperties(nE_SLHelper& helper) override;
    std::string getTypeName() const override;
    // Forgets the implementation besides the base's reset.
    void resetState() override;
    void loadResources() override;
    void unloadResources() override;
    void update(float dt) override;
    void drawSelf(nE_Render* renderer, nE_RenderState& world) override;

    // What scripts do to the effect; nothing without an implementation.
    void start();
    void stop(bool clear);
    void setEmitting(bool flag);
    void restart();
    void setMaskObject(nE_Object* mask);

    nE_PartSysImpl* implementation() const { return impl_.get(); }

    // The implementation for a particle file root's "type" value (absent reads as "complex"). An
    // empty constructor removes the type; an unknown type gets no implementation.
    static void registerImplementation(const std::string& type, ImplConstructor constructor);

private:
    void chooseImplementation();

    std::unique_ptr<nE_PartSysImpl> impl_;
};
