// The tutorial hint ("ng_tutorial"): a box with a text, an optional animated arrow pointing at something,
// and either yes/no buttons (the first hint asks whether hints are wanted) or ok/skip buttons. "No" and
// "skip" switch the hints off for the rest of the game. While it asks yes or no the box takes every
// press; an ok/skip hint closes at any press, which still reaches the scene unless it lands on the box.
// A hint's close trigger runs once, after it has faded out.
#pragma once

#include <string>

#include "engine/core/nE_Object.h"
#include "game/interface/nG_Widget.h"
#include "game/interface/nG_WidgetState.h"

class nE_AnimSprite;
class nE_Sprite;
class nE_Text;
class nG_InterfButton;
struct nG_TutorialRequest;

class nG_Tutorial : public nE_Object, public nG_Widget, public nG_WidgetState {
public:
    static constexpr const char* kName = "ng_tutorial";
    enum State { kFadingIn = 0, kShown = 1, kFadingOut = 2, kHidden = 3 };
    static constexpr float kFadeTime = 0.3f;

    nG_Tutorial();
    // Declares the fixed assets and texts this class loads, for the content checker.
    static void declareContent();

    void onMessage(const nE_Message& message) override;
    void update(float dt) override;
    bool handleInput(const nE_InputEvent& event, nE_RenderState& world) override;
    void childWasHit(nE_Object* hit, const nE_InputEvent& event) override;
    tinyxml2::XMLElement* dumpState(tinyxml2::XMLDocument& doc) override;
    void restoreState(const tinyxml2::XMLElement* parent) override;

    // Ignored while hints are switched off.
    void showHint(const nG_TutorialRequest& request);
    // Starts the fade-out of a hint that is fading in or shown; off also switches the hints off.
    void closeHint(bool switchOff);
    void setState(int newState);

    bool enabled = true;
    std::string textId;
    int posX = 0, posY = 0;
    bool first = false;
    int arrowX = 0, arrowY = 0;
    float arrowAngle = 0;
    std::string closeTrigger;
    int state = kHidden;
    float stateTime = 0;

    nE_Sprite* background = nullptr;
    nE_Text* text = nullptr;
    nG_InterfButton* yesButton = nullptr;
    nG_InterfButton* noButton = nullptr;
    nG_InterfButton* okButton = nullptr;
    nG_InterfButton* skipButton = nullptr;
    nE_AnimSprite* arrow = nullptr;

private:
    nG_InterfButton* makeButton(const std::string& suffix, const std::string& caption,
                                const std::string& image, float x, bool accept);
    static void onAccept(void* tutorial);
    static void onDecline(void* tutorial);
    // Whether the hint can be answered: on the screen and not on its way out.
    bool open() const { return state == kFadingIn || state == kShown; }
};
