#include "engine/core/nE_EngineTypes.h"

#include "engine/core/nE_Factory.h"
#include "engine/core/nE_Object.h"
#include "engine/objects/nE_AnimSprite.h"
#include "engine/objects/nE_AtEffect.h"
#include "engine/objects/nE_ParticleSystem.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/objects/nE_Text.h"
#include "engine/objects/nE_Video.h"
#include "engine/script/nE_ContentRules.h"

void nE_EngineTypes::registerAll() {
    nE_Factory::registerType("obj", [] { return new nE_Object(); });
    nE_Factory::registerType("spr", [] { return new nE_Sprite(); });
    nE_Factory::registerType("anim", [] { return new nE_AnimSprite(); });
    nE_Factory::registerType("partsys", [] { return new nE_ParticleSystem(); });
    nE_Factory::registerType("text", [] { return new nE_Text(); });
    nE_Factory::registerType("video", [] { return new nE_Video(); });
    nE_Factory::registerType("ateffect", [] { return new nE_AtEffect(); });
}

void nE_EngineTypes::declareContent() {
    using R = nE_ContentRules;
    static const char* const kEvents[] = {"event_mdown",    "event_mup",         "event_menter",
                                          "event_mleave",   "event_menter_drag", "event_mleave_drag",
                                          "event_dragdrop", "event_drag"};
    for (const char* event : kEvents) R::addKey("*", event, R::kTrigger);
    R::addKey("spr", "res", R::kImage);
    R::addKey("anim", "res", R::kAnimation);
    R::addKey("anim", "endtrig", R::kTrigger);
    R::addKey("partsys", "res", R::kParticles);
    R::addKey("text", "res", R::kFont);
    R::addKey("text", "text", R::kStringKey, "disprawtext");
    R::addKey("video", "res", R::kVideo);
    R::addKey("video", "endtrig", R::kTrigger);
    R::addKey("ateffect", "res", R::kImage);
}
