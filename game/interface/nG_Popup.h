// The pop-up ("ng_popup"): a framed line of text that opens next to the pointer, for tooltips and short
// messages (ShowPopup, HidePopup). It waits a moment, grows out of the pointer to a place above it that
// keeps the whole box on the screen, and closes at the next press, which still reaches what lies below.
// The frame and the text are painted once into one picture per text.
#pragma once

#include <memory>
#include <string>

#include "engine/core/nE_Object.h"
#include "game/interface/nG_Widget.h"

class nE_Sprite;
class nE_Text;
class nE_Texture;

class nG_Popup : public nE_Object, public nG_Widget {
public:
    static constexpr const char* kName = "ng_popup";
    enum Mode { kWaiting = 0, kOpen = 1, kClosing = 2 };
    static constexpr int kPieces = 9;
    static constexpr float kDelay = 0.35f;
    static constexpr float kSpeed = 5.f;
    static constexpr float kScreenWidth = 1024, kScreenHeight = 768;

    nG_Popup();
    // Declares the fixed assets and texts this class loads, for the content checker.
    static void declareContent();

    void onMessage(const nE_Message& message) override;
    void update(float dt) override;
    // A press while fully open closes the pop-up; the press goes on to what lies below.
    bool handleInput(const nE_InputEvent& event, nE_RenderState& world) override;
    void loadResources() override;
    void unloadResources() override;
    void restoreDeviceResources(bool recursive) override;

    // A new text waits and opens (after the open one has closed); the text already shown changes nothing.
    void showText(const std::string& textId, const std::string* params, bool raw);
    // Forgets the text and closes.
    void close();

    std::string textId;
    std::string params[5];
    bool rawText = false;
    int mode = kClosing;
    float level = 0.f;
    float delay = 0.f;
    float startX = 0, startY = 0, endX = 0, endY = 0;
    // The measured text block.
    float textWidth = 0, textHeight = 0;

    nE_Sprite* finalSprite = nullptr;
    nE_Text* text = nullptr;
    nE_Sprite* pieces[kPieces] = {};
    std::shared_ptr<nE_Texture> picture;

private:
    void build();
    void enterWaiting();
    void open();
    void layout();
    void paint();
    void rehearse();
    void applyLevel();
    // The pointer in the parent's space.
    void pointer(float& x, float& y);
};
