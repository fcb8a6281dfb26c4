#include "engine/core/nE_EngineTypes.h"

#include "engine/core/nE_Factory.h"
#include "engine/core/nE_Object.h"
#include "engine/objects/nE_AnimSprite.h"
#include "engine/objects/nE_AtEffect.h"
#include "engine/objects/nE_ParticleSystem.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/objects/nE_Text.h"
#include "engine/objects/nE_Video.h"

void nE_EngineTypes::registerAll() {
    nE_Factory::registerType("obj", [] { return new nE_Object(); });
    nE_Factory::registerType("spr", [] { return new nE_Sprite(); });
    nE_Factory::registerType("anim", [] { return new nE_AnimSprite(); });
    nE_Factory::registerType("partsys", [] { return new nE_ParticleSystem(); });
    nE_Factory::registerType("text", [] { return new nE_Text(); });
    nE_Factory::registerType("video", [] { return new nE_Video(); });
    nE_Factory::registerType("ateffect", [] { return new nE_AtEffect(); });
}
