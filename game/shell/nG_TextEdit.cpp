#include "game/shell/nG_TextEdit.h"

#include <cctype>
#include <cmath>

#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Scene.h"
#include "engine/media/nE_Font.h"
#include "engine/media/nE_Render.h"
#include "engine/script/nE_SLHelper.h"

namespace {

std::string encode(const std::vector<uint32_t>& chars) {
    std::string out;
    for (uint32_t c : chars) out += nE_Font::encodeUtf8(c);
    return out;
}

}  // namespace

nG_TextEdit::nG_TextEdit() {
    resetOwn();
}

nG_TextEdit::~nG_TextEdit() = default;

void nG_TextEdit::resetOwn() {
    caretIndex = 0;
    maxChars = kDefaultMaxChars;
    clearOnFirstInput = false;
    clearedOnFirstInput = false;
    enterTrigger.clear();
    changeTrigger.clear();
    fullTrigger.clear();
    rawText = true;
}

void nG_TextEdit::resetState() {
    nE_Text::resetState();
    resetOwn();
}

std::string nG_TextEdit::getTypeName() const {
    return "textedit";
}

void nG_TextEdit::loadProperties(nE_SLHelper& helper) {
    const std::string before = text;
    nE_Text::loadProperties(helper);
    // The field shows what is typed, whatever the description says.
    rawText = true;
    helper.readInt("maxchars", maxChars);
    helper.readBool("clearonfirstinput", clearOnFirstInput);
    helper.readBool("clearedonfirstinput", clearedOnFirstInput);
    helper.readString("trg_enter", enterTrigger);
    helper.readString("trg_change", changeTrigger);
    helper.readString("trg_full", fullTrigger);
    if (maxChars < 0) maxChars = 0;
    // A field set up anew (as when its panel opens) shows its caret at once.
    blinkTime = 0;
    if (text != before || characters().size() > static_cast<size_t>(maxChars)) {
        const std::string wanted = text;
        text.clear();
        setText(wanted);
    }
}

void nG_TextEdit::saveProperties(nE_SLHelper& helper) {
    nE_Text::saveProperties(helper);
    helper.writeInt("maxchars", maxChars);
    helper.writeBool("clearonfirstinput", clearOnFirstInput);
    helper.writeBool("clearedonfirstinput", clearedOnFirstInput);
    helper.writeString("trg_enter", enterTrigger);
    helper.writeString("trg_change", changeTrigger, "");
    helper.writeString("trg_full", fullTrigger, "");
}

void nG_TextEdit::loadResources() {
    nE_Text::loadResources();
    if (!text.empty()) {
        const std::string again = text;
        text.clear();
        setText(again);
    }
    if (clearOnFirstInput) clearedOnFirstInput = false;
    // Only now is the font there to size the caret of a field that opens empty.
    placeCaret();
}

std::vector<uint32_t> nG_TextEdit::characters() const {
    return nE_Font::decodeUtf8(text);
}

void nG_TextEdit::setCharacters(const std::vector<uint32_t>& chars) {
    text = encode(chars);
    render();
}

float nG_TextEdit::measure(const std::vector<uint32_t>& chars, size_t n) {
    // A line's canvas ends at its last glyph: spaces typed at the end are counted by their advance, so
    // that the caret moves past them.
    size_t inked = n;
    while (inked > 0 && chars[inked - 1] == static_cast<uint32_t>(kKeySpace)) --inked;
    nE_Font::Canvas canvas;
    if (!font || !font->renderCanvas(encode(std::vector<uint32_t>(chars.begin(), chars.begin() + inked)),
                                     fontSize, -1, 0, canvas))
        return 0;
    float width = static_cast<float>(canvas.width);
    // An empty prefix renders nothing that sets the size the advance is read at.
    if (inked < n && (inked > 0 || font->renderCanvas("H", fontSize, -1, 0, canvas)))
        width += static_cast<float>((n - inked) * font->advance(static_cast<uint32_t>(kKeySpace)));
    return width;
}

void nG_TextEdit::remeasure() {
    const std::vector<uint32_t> chars = characters();
    charRight.clear();
    const float inset = fontSize / 20.f * 11;
    for (size_t k = 0; k < chars.size(); ++k) charRight.push_back(measure(chars, k + 1) - inset);
}

void nG_TextEdit::setText(const std::string& newText, const std::string& p1, const std::string& p2,
                          const std::string& p3, const std::string& p4, const std::string& p5) {
    params[0] = p1, params[1] = p2, params[2] = p3, params[3] = p4, params[4] = p5;
    std::vector<uint32_t> chars = nE_Font::decodeUtf8(newText);
    if (chars.size() > static_cast<size_t>(maxChars)) chars.resize(maxChars);
    setCharacters(chars);
    remeasure();
    caretIndex = static_cast<int>(chars.size());
    blinkTime = 0;
    placeCaret();
}

void nG_TextEdit::clearText() {
    text.clear();
    render();
    charRight.clear();
    caretIndex = 0;
}

void nG_TextEdit::clearFirst() {
    if (!clearOnFirstInput || clearedOnFirstInput) return;
    clearText();
    clearedOnFirstInput = true;
}

void nG_TextEdit::placeCaret() {
    const int length = static_cast<int>(charRight.size());
    if (caretIndex < 0) caretIndex = 0;
    if (caretIndex > length) caretIndex = length;
    nE_Rect block = getLocalRect();
    if (block.h <= 0) {
        // An empty field has no rendered line: the caret stands as tall as one, centred like a typed one.
        nE_Font::Canvas canvas;
        const bool measured = font && font->renderCanvas("H", fontSize, -1, 0, canvas) && canvas.height > 0;
        block.h = measured ? static_cast<float>(canvas.height) : static_cast<float>(fontSize);
        block.y = -block.h / 2;
    }
    const float unit = fontSize / 20.f;
    caretX =
        caretIndex == 0 ? block.x + unit * 5 : charRight[caretIndex - 1] + block.x + unit * 11 - unit * 5;
    caretY = block.y;
    caretHeight = block.h;
}

void nG_TextEdit::queue(const std::string& trigger) {
    if (!trigger.empty()) nE_Scene::queueTrigger(name, trigger);
}

void nG_TextEdit::update(float dt) {
    nE_Text::update(dt);
    blinkTime += dt;
    caretAlpha = static_cast<float>((static_cast<long long>(2 * blinkTime) + 1) % 2);
}

bool nG_TextEdit::handleInput(const nE_InputEvent& event, nE_RenderState& world) {
    if (event.type != nE_InputEvent::kKeyDown) return nE_Text::handleInput(event, world);
    const int code = event.code;
    if (code == kKeyEnter) {
        if (!enterTrigger.empty()) nE_Scene::queueTrigger(name, enterTrigger);
    } else if (code == kKeyLeft || code == kKeyRight) {
        caretIndex += code == kKeyLeft ? -1 : 1;
        blinkTime = 0;
    } else if (code == kKeyBackspace) {
        std::vector<uint32_t> chars = characters();
        if (!chars.empty() && caretIndex > 0 && caretIndex <= static_cast<int>(chars.size())) {
            const float width =
                charRight[caretIndex - 1] - (caretIndex > 1 ? charRight[caretIndex - 2] : 0.f);
            chars.erase(chars.begin() + caretIndex - 1);
            setCharacters(chars);
            for (size_t k = caretIndex; k < charRight.size(); ++k) charRight[k] -= width;
            charRight.erase(charRight.begin() + caretIndex - 1);
            --caretIndex;
            blinkTime = 0;
            clearFirst();
            queue(changeTrigger);
        }
    } else if (code > 0 && code < 128 && (std::isalpha(code) || std::isdigit(code) || code == kKeySpace)) {
        clearFirst();
        std::vector<uint32_t> chars = characters();
        if (chars.size() < static_cast<size_t>(maxChars)) {
            if (caretIndex > static_cast<int>(chars.size())) caretIndex = static_cast<int>(chars.size());
            chars.insert(chars.begin() + caretIndex, static_cast<uint32_t>(code));
            setCharacters(chars);
            const float edge = measure(chars, caretIndex + 1) - fontSize / 20.f * 11;
            const float width = edge - (caretIndex > 0 ? charRight[caretIndex - 1]
                                                       : measure(chars, 0) - fontSize / 20.f * 11);
            for (size_t k = caretIndex; k < charRight.size(); ++k) charRight[k] += width;
            charRight.insert(charRight.begin() + caretIndex, edge);
            ++caretIndex;
            blinkTime = 0;
            queue(changeTrigger);
        } else {
            queue(fullTrigger);
        }
    } else {
        return nE_Text::handleInput(event, world);
    }
    placeCaret();
    return true;
}

void nG_TextEdit::drawSelf(nE_Render* renderer, nE_RenderState& world) {
    nE_Text::drawSelf(renderer, world);
    if (!renderer || caretAlpha <= 0) return;
    const float height = caretHeight > 0 ? caretHeight : static_cast<float>(fontSize);
    const pf::TColor white{1, 1, 1, caretAlpha * world.alpha};
    renderer->drawLine(caretX, caretY, caretX, caretY + height, white, world);
}
