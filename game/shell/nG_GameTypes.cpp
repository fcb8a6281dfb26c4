#include "game/shell/nG_GameTypes.h"

#include "engine/core/nE_Factory.h"
#include "engine/script/nE_ContentRules.h"
#include "game/core/nG_ParticleSystemGm.h"
#include "game/core/nG_Room.h"
#include "game/core/nG_SubRoom.h"
#include "game/shell/nG_StrategyGuide.h"
#include "game/shell/nG_TextEdit.h"

void nG_GameTypes::registerAll() {
    nE_Factory::registerType("room", [] { return new nG_Room(); });
    nE_Factory::registerType("subroom", [] { return new nG_SubRoom(); });
    nE_Factory::registerType("partsys_gm", [] { return new nG_ParticleSystemGm(); });
    nE_Factory::registerType("textedit", [] { return new nG_TextEdit(); });
    nE_Factory::registerType("str_guide", [] { return new nG_StrategyGuide(); });
}

void nG_GameTypes::declareContent() {
    using R = nE_ContentRules;
    // A text entry shows its text as written, never as a string key.
    R::addKey("textedit", "res", R::kFont);
    R::addKey("textedit", "trg_enter", R::kTrigger);
    R::addKey("str_guide", "res", R::kGuide);
    R::addKey("str_guide", "closetrig", R::kTrigger);
    for (const char* room : {"room", "subroom"}) {
        R::addKey(room, "res", R::kImage);
        R::addKey(room, "trg_open", R::kTrigger);
        R::addKey(room, "trg_close", R::kTrigger);
    }
    R::addKey("partsys_gm", "res", R::kParticles);
}
