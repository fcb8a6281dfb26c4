// A one-image button that answers the pointer with a short scale animation: it grows a little while
// pointed at and squeezes when pressed. Each step of the animation lasts 1/9 s.
#pragma once

#include "engine/objects/nE_Sprite.h"

class nG_SimpleButton : public nE_Sprite {
public:
    enum Phase { kRest = 0, kPressShrink = 1, kPressGrow = 2, kHovered = 3, kUnhover = 4 };
    static constexpr float kRestScale = 0.9f;
    static constexpr float kStepsPerSecond = 9.f;

    using ClickHandler = void (*)(void* arg);

    explicit nG_SimpleButton(const std::string& objectName);

    // Scale 0.9, phase rest, timer 0, no handler.
    void resetState() override;
    void update(float dt) override;
    // Hit test against the image: a press clicks, a move over it grows it, a move off it shrinks it back.
    bool handleInput(const nE_InputEvent& event, nE_RenderState& world) override;

    int phase = kRest;
    float timer = 0.f;
    // Called during the scene's hit-test walk: it must not destroy the button (park it or defer).
    ClickHandler onClick = nullptr;
    void* clickArg = nullptr;

private:
    void resetOwn();
    void setScale(float scale);
};
