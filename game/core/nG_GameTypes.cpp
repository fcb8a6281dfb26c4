#include "game/core/nG_GameTypes.h"

#include "engine/core/nE_Factory.h"
#include "engine/script/nE_ContentRules.h"
#include "game/shell/nG_StrategyGuide.h"
#include "game/shell/nG_TextEdit.h"

void nG_GameTypes::registerAll() {
    nE_Factory::registerType("textedit", [] { return new nG_TextEdit(); });
    nE_Factory::registerType("str_guide", [] { return new nG_StrategyGuide(); });
}

void nG_GameTypes::declareContent() {
    using R = nE_ContentRules;
    // A text entry shows its text as written, never as a string key.
    R::addKey("textedit", "res", R::kFont);
    R::addKey("textedit", "trg_enter", R::kTrigger);
    R::addKey("str_guide", "res", R::kGuide);
}
