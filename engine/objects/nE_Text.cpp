#include "engine/objects/nE_Text.h"

#include <tinyxml2.h>

#include "engine/core/nE_StringTable.h"
#include "engine/media/nE_Font.h"
#include "engine/media/nE_GeneratedTexture.h"
#include "engine/media/nE_Render.h"
#include "engine/media/nE_ResourceCache.h"
#include "engine/script/nE_SLHelper.h"

nE_Text::nE_Text() = default;

nE_Text::~nE_Text() {
    // The base destructor can no longer reach this class's unloadResources.
    deactivate();
    textTexture.reset();
    font.reset();
}

std::shared_ptr<nE_Resource> nE_Text::getResource() {
    return font;
}

void nE_Text::loadProperties(nE_SLHelper& helper) {
    nE_Object::loadProperties(helper);
    std::string res = resourceName;
    if (helper.readFileName("res", res) && res != resourceName) {
        resourceName = res;
        if (loaded) {
            unloadResources();
            loadResources();
        }
    }
    // Rendered again only when something that shapes the text changed: a script setting the same
    // values (an ObjGet table handed back) costs nothing.
    const bool wasRaw = rawText;
    const int wasSize = fontSize, wasWidth = maxWidth, wasAlign = align;
    const std::string wasText = text;
    helper.readBool("disprawtext", rawText);
    helper.readInt("fontsize", fontSize);
    helper.readInt("maxwidth", maxWidth);
    helper.readInt("align", align);
    helper.readString("text", text);
    if (rawText != wasRaw || fontSize != wasSize || maxWidth != wasWidth || align != wasAlign ||
        text != wasText)
        render();
}

void nE_Text::saveProperties(nE_SLHelper& helper) {
    nE_Object::saveProperties(helper);
    helper.writeString("res", resourceName);
    helper.writeString("text", text);
    helper.writeBool("disprawtext", rawText, false);
    helper.writeInt("fontsize", fontSize, kDefaultFontSize);
    helper.writeInt("maxwidth", maxWidth, kDefaultMaxWidth);
    helper.writeInt("align", align, kDefaultAlign);
}

std::string nE_Text::getTypeName() const {
    return "text";
}

float nE_Text::anchorShift() const {
    if (!textTexture) return 0;
    if (align == 0) return textTexture->width / 2;
    if (align == 2) return -textTexture->width / 2;
    return 0;
}

nE_Rect nE_Text::getLocalRect() {
    refreshIfStale();
    if (!textTexture) return nE_Rect{};
    nE_Rect rect = textTexture->localRect(localState().frameIndex);
    rect.x += anchorShift();
    return rect;
}

void nE_Text::restoreDeviceResources(bool recursive) {
    nE_Object::restoreDeviceResources(recursive);
    render();
}

void nE_Text::findText(tinyxml2::XMLElement* node, const std::string& searched, bool recursive) {
    nE_Object::findText(node, searched, false);
    if (node && text.find(searched) != std::string::npos) {
        tinyxml2::XMLElement* found = node->GetDocument()->NewElement(name.empty() ? "text" : name.c_str());
        found->SetAttribute("place", "misc");
        node->InsertEndChild(found);
    }
    if (!recursive) return;
    for (size_t i = 0; i < children.size(); ++i) children[i]->findText(node, searched, true);
}

void nE_Text::resetState() {
    nE_Object::resetState();
    fontSize = kDefaultFontSize;
    maxWidth = kDefaultMaxWidth;
    rawText = false;
    align = kDefaultAlign;
}

void nE_Text::loadResources() {
    nE_ResourceCache* cache = nE_ResourceCache::instance();
    font = cache ? cache->getFont(resourceName) : nullptr;
    if (font) render();
}

void nE_Text::unloadResources() {
    font.reset();
    textTexture.reset();
}

void nE_Text::drawSelf(nE_Render* renderer, nE_RenderState& world) {
    refreshIfStale();
    if (!renderer || !textTexture) return;
    nE_RenderState state = world;
    state.transform();
    state.drawOffsetX += anchorShift();
    renderer->drawTexture(textTexture, state);
}

void nE_Text::setText(const std::string& newText, const std::string& p1, const std::string& p2,
                      const std::string& p3, const std::string& p4, const std::string& p5) {
    const std::string* given[kParamCount] = {&p1, &p2, &p3, &p4, &p5};
    bool same = newText == text;
    for (int i = 0; i < kParamCount && same; ++i) same = *given[i] == params[i];
    if (same) return;
    text = newText;
    for (int i = 0; i < kParamCount; ++i) params[i] = *given[i];
    render();
}

std::string nE_Text::displayedString() const {
    const nE_StringTable* table = nE_StringTable::current();
    if (!table || rawText) return text;
    return table->get(text, params[0], params[1], params[2], params[3], params[4]);
}

void nE_Text::refreshIfStale() {
    const nE_StringTable* table = nE_StringTable::current();
    if (!table || table->serial() == renderedSerial_) return;
    renderedSerial_ = table->serial();
    // A raw text does not come from the table, so a new language leaves it as it is.
    if (!rawText && font) renderNewLanguage();
}

void nE_Text::render() {
    if (const nE_StringTable* table = nE_StringTable::current()) renderedSerial_ = table->serial();
    if (!font) return;
    textTexture.reset();
    textTexture = font->renderText(displayedString(), fontSize, maxWidth, align);
    if (textTexture && !inputRectSet) inputRect = getLocalRect();
}
