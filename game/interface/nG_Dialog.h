// The speech box ("ng_dialog"): a framed text shown at a point of the screen (ShowDialog; the text is a
// string-table key). The frame and the text are painted once into one picture. Asking for the text
// already shown hides the box; another text fades the old box out and the new one in. A click on the
// box closes it; once it has faded out the trigger "ng_dialog_closed" runs when the content has one.
#pragma once

#include <memory>
#include <string>

#include "engine/core/nE_Object.h"
#include "game/interface/nG_Widget.h"

class nE_Sprite;
class nE_Text;
class nE_Texture;

class nG_Dialog : public nE_Object, public nG_Widget {
public:
    static constexpr const char* kName = "ng_dialog";
    static constexpr const char* kClosedTrigger = "ng_dialog_closed";
    enum State { kFadingIn = 0, kFadingOut = 1, kChanging = 2 };
    static constexpr int kPieces = 9;
    static constexpr float kSpeed = 3.f;
    static constexpr float kScreenWidth = 1024, kScreenHeight = 768;

    nG_Dialog();
    // Declares the fixed assets and texts this class loads, for the content checker.
    static void declareContent();

    void onMessage(const nE_Message& message) override;
    void update(float dt) override;
    void childWasHit(nE_Object* hit, const nE_InputEvent& event) override;
    void loadResources() override;
    void unloadResources() override;
    void restoreDeviceResources(bool recursive) override;

    void show(const std::string& textId, int x, int y);
    void close();

    int state = kFadingOut;
    float fade = 0.f;
    std::string text;
    int x = 0, y = 0;
    // The measured text block; 0 until the box is painted for the current text.
    float textWidth = 0, textHeight = 0;

    nE_Text* textObject = nullptr;
    nE_Sprite* pieces[kPieces] = {};
    nE_Sprite* finalSprite = nullptr;
    std::shared_ptr<nE_Texture> picture;

private:
    void enterShown();
    void paint();
    void hideNow();
};
