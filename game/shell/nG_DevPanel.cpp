#include "game/shell/nG_DevPanel.h"

#include <algorithm>
#include <iterator>

#include "engine/core/nE_DisplayChoice.h"
#include "engine/media/nE_GeneratedTexture.h"
#include "engine/media/nE_Render.h"
#include "engine/media/nE_Texture.h"
#include "engine/objects/nE_Text.h"

namespace {

constexpr int kSolidSide = 4;

std::unique_ptr<nE_Text> makeText(float wrap, float shade) {
    auto text = std::make_unique<nE_Text>();
    text->setResourceName(nG_DevPanel::kFont);
    text->rawText = true;
    text->fontSize = nG_DevPanel::kFontSize;
    text->maxWidth = static_cast<int>(wrap);
    text->align = 0;
    text->input = false;
    const nE_Object::StateEdit state = text->editLocalState();
    state->red = state->green = state->blue = shade;
    return text;
}

float textWidth(const nE_Text& text) {
    return text.textTexture ? text.textTexture->width : 0;
}
float textHeight(const nE_Text& text) {
    return text.textTexture ? text.textTexture->height : 0;
}

}  // namespace

nG_DevPanel::nG_DevPanel(float maxWidth) : maxWidth_(maxWidth) {
    heading_ = makeText(maxWidth - 2 * kPadding, 1);
    body_ = makeText(maxWidth - 2 * kPadding, 0.92f);
}

nG_DevPanel::~nG_DevPanel() = default;

void nG_DevPanel::setText(const std::string& heading, const std::string& body) {
    // The font comes with the first text, not with the program's start: most runs never show one.
    heading_->activate();
    body_->activate();
    heading_->setText(heading);
    body_->setText(body);
}

void nG_DevPanel::setHeadingColour(float red, float green, float blue) {
    const nE_Object::StateEdit state = heading_->editLocalState();
    state->red = red;
    state->green = green;
    state->blue = blue;
}

void nG_DevPanel::placeAt(float x, float y) {
    x_ = x;
    y_ = y;
}

float nG_DevPanel::width() const {
    return std::min(maxWidth_, std::max(textWidth(*heading_), textWidth(*body_)) + 2 * kPadding);
}

float nG_DevPanel::height() const {
    const float body = textHeight(*body_);
    return textHeight(*heading_) + (body > 0 ? kGap + body : 0) + 2 * kPadding;
}

void nG_DevPanel::draw(nE_Render* renderer) {
    if (!shown || !renderer) return;
    const nE_CanvasMapping& mapping = nE_DisplayChoice::canvas();
    if (!solid_) {
        solid_ = nE_GeneratedTexture::make();
        if (solid_) {
            float colours[kSolidSide * kSolidSide * 4];
            std::fill(std::begin(colours), std::end(colours), 1.0f);
            solid_->createFromColours(kSolidSide, kSolidSide, colours);
        }
    }
    const float w = width(), h = height();
    if (solid_) {
        nE_RenderState box;
        box.x = mapping.offsetX + (x_ + w / 2) * mapping.scaleX;
        box.y = mapping.offsetY + (y_ + h / 2) * mapping.scaleY;
        box.scaleX = w * mapping.scaleX / kSolidSide;
        box.scaleY = h * mapping.scaleY / kSolidSide;
        box.red = 0.05f;
        box.green = 0.05f;
        box.blue = 0.08f;
        box.alpha = 0.85f;
        renderer->drawTexture(solid_, box);
    }
    // The texts are centred on their y and begin at their x.
    const float headingHeight = textHeight(*heading_);
    {
        const nE_Object::StateEdit state = heading_->editLocalState();
        state->x = x_ + kPadding;
        state->y = y_ + kPadding + headingHeight / 2;
    }
    {
        const nE_Object::StateEdit state = body_->editLocalState();
        state->x = x_ + kPadding;
        state->y = y_ + kPadding + headingHeight + kGap + textHeight(*body_) / 2;
    }
    nE_RenderState canvas;
    canvas.x = mapping.offsetX;
    canvas.y = mapping.offsetY;
    canvas.scaleX = mapping.scaleX;
    canvas.scaleY = mapping.scaleY;
    heading_->drawWalk(renderer, &canvas);
    body_->drawWalk(renderer, &canvas);
}
