#include "game/interface/nG_Subtitles.h"

#include <algorithm>

#include "engine/media/nE_Subtitles.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/objects/nE_Text.h"
#include "engine/script/nE_ContentRules.h"
#include "game/core/nG_Messages.h"

namespace {
constexpr const char* kBand = "assets/interface/main/black";
constexpr const char* kSubtitleFont = "assets/fonts/garapremrpro";
}  // namespace

void nG_Subtitles::declareContent() {
    using R = nE_ContentRules;
    R::addNeed({"", R::kImage, kBand, "nG_Subtitles", "", ""});
    R::addNeed({"", R::kFont, kSubtitleFont, "nG_Subtitles", "", ""});
    R::addTextBox({"nG_Subtitles", R::kSubtitleLines, 0, "", "", kSubtitleFont, kFontSize, kTextWidth, true,
                   0, 0, "", ""});
}

nG_Subtitles::nG_Subtitles() {
    name = kName;
    band = new nE_Sprite();
    band->name = std::string(kName) + "_bg";
    band->setResourceName(kBand);
    band->editLocalState()->x = 512;
    band->editLocalState()->scaleX = 512;
    band->input = false;
    addPart(band);

    text = new nE_Text();
    text->name = std::string(kName) + "_text";
    text->setResourceName(kSubtitleFont);
    text->fontSize = kFontSize;
    text->maxWidth = kTextWidth;
    text->editLocalState()->x = 512;
    // The warm light of the game's other texts on dark ground.
    text->editLocalState()->red = 0.918f;
    text->editLocalState()->green = 0.859f;
    text->editLocalState()->blue = 0.722f;
    text->input = false;
    addPart(text);
    fitBand();

    input = false;
    visible = false;
    applyLevel();
    subscribe({MSG_SUBTITLES});
}

void nG_Subtitles::onMessage(const nE_Message& message) {
    const auto* line = message.payload<MSG_SUBTITLES>();
    if (!line) return;
    if (line->show)
        show(line->text);
    else
        hide();
}

void nG_Subtitles::show(const std::string& id) {
    post<MSG_BLACKBAR_HIDE>();
    textId = id;
    text->setText(id);
    fitBand();
    mode = kFadingIn;
    visible = true;
}

void nG_Subtitles::fitBand() {
    // A line that wraps gets a taller band; its lower edge stays put.
    const float half = std::max(kBandHalfHeight, text->getLocalRect().h / 2 + kBandMargin);
    band->editLocalState()->y = text->editLocalState()->y = kBandBottom - half;
    band->editLocalState()->scaleY = half;
}

void nG_Subtitles::hide() {
    mode = kFadingOut;
}

void nG_Subtitles::applyLevel() {
    band->editLocalState()->alpha = level * kBandAlpha;
    text->editLocalState()->alpha = level;
}

void nG_Subtitles::update(float dt) {
    nE_Object::update(dt);
    if (mode == kFadingIn)
        level = std::min(1.f, level + kSpeed * dt);
    else
        level = std::max(0.f, level - kSpeed * dt);
    applyLevel();
    if (mode == kFadingOut && level <= 0) visible = false;
}
