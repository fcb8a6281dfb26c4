// A one-line text entry field (type "textedit"): a text object shown as typed, with a blinking caret,
// a length limit, an optional clearing of the preset text on the first key, and a trigger queued on
// Enter. Letters, digits and spaces are typed; Left, Right and Backspace edit. Scripts may hear of every
// edit ("trg_change", to show a count) and of a key refused at the length limit ("trg_full").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/objects/nE_Text.h"

class nG_TextEdit : public nE_Text {
public:
    static constexpr int kDefaultMaxChars = 40;
    // Key codes the field reacts to.
    static constexpr int kKeyEnter = 13;
    static constexpr int kKeyBackspace = 8;
    static constexpr int kKeyLeft = -126;
    static constexpr int kKeyRight = -125;
    static constexpr int kKeySpace = 32;

    nG_TextEdit();
    ~nG_TextEdit() override;

    // The text object's keys, then "maxchars", "clearonfirstinput", "clearedonfirstinput", "trg_enter",
    // and "trg_change" and "trg_full" when they are set.
    void loadProperties(nE_SLHelper& helper) override;
    void saveProperties(nE_SLHelper& helper) override;
    std::string getTypeName() const override;
    void resetState() override;
    void loadResources() override;
    void update(float dt) override;
    bool handleInput(const nE_InputEvent& event, nE_RenderState& world) override;
    void drawSelf(nE_Render* renderer, nE_RenderState& world) override;
    // Stores the text cut to maxchars characters, measures it and puts the caret at the end.
    void setText(const std::string& text, const std::string& p1 = std::string(),
                 const std::string& p2 = std::string(), const std::string& p3 = std::string(),
                 const std::string& p4 = std::string(), const std::string& p5 = std::string()) override;

    // Clamps the caret to the text and places it after its character.
    virtual void placeCaret();
    virtual void clearText();

    int maxChars = kDefaultMaxChars;
    bool clearOnFirstInput = false;
    bool clearedOnFirstInput = false;
    std::string enterTrigger;
    std::string changeTrigger;
    std::string fullTrigger;

    int caretIndex = 0;
    // Per character: the x of the right edge of the text up to and including it, from the text's left edge.
    std::vector<float> charRight;
    float blinkTime = 0;
    float caretAlpha = 1;
    float caretX = 0, caretY = 0;
    float caretHeight = 0;

private:
    void resetOwn();
    // Characters as code points (the text is UTF-8).
    std::vector<uint32_t> characters() const;
    void setCharacters(const std::vector<uint32_t>& chars);
    // The measured right edge of the first n characters.
    float measure(const std::vector<uint32_t>& chars, size_t n);
    void remeasure();
    void clearFirst();
    void queue(const std::string& trigger);
};
