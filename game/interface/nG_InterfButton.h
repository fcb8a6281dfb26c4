// An interface button: up to three image layers (always, hover, disabled), up to three captions in the
// same roles and an optional invisible hit rectangle. It lights up with a fade while the pointer is
// over it, shows the hover cursor and calls its click handler. Only one button is lit at a time.
#pragma once

#include <optional>
#include <string>

#include "engine/core/nE_Object.h"
#include "game/interface/nG_Cursor.h"

class nE_Sprite;
class nE_Text;

class nG_InterfButton : public nE_Object {
public:
    enum State { kNormal = 0, kHover = 1, kLeaving = 2, kDisabled = 3 };
    static constexpr float kDefaultFadeSpeed = 3.f;

    using ClickHandler = void (*)(void* arg);

    // Colours are 0..1 per channel.
    struct Colour {
        float r = 1.f, g = 1.f, b = 1.f;
    };
    // What the owning widget builds the button from. An empty image path creates no layer; the
    // captions exist only with both a text id and a font, text1 and text2 only with their colours.
    struct Params {
        std::string layer0Image, layer1Image, layer2Image;
        std::string captionTextId, captionFont;
        int captionSize = 20;
        float captionX = 0.f, captionY = 0.f;
        Colour text0Colour;
        std::optional<Colour> text1Colour, text2Colour;
        bool captionRaw = false;
    };

    explicit nG_InterfButton(const std::string& objectName);
    ~nG_InterfButton() override;

    // Creates the layers and captions as children and ends in state normal.
    void build(const Params& params);
    // From now on only this rectangle (button-local) takes the pointer; layers and captions do not.
    void setHitRect(float left, float top, float width, float height);
    // A second rectangle (button-local) that takes the pointer for the button: the name plate above it.
    void setPlateRect(float left, float top, float width, float height);
    // Normal or disabled, without touching the cursor or the glow.
    void setEnabled(bool enabled);
    void setState(int newState);

    // Restores the defaults of the fields below (the children stay where they are).
    void resetState() override;
    // Fades the hover look in or out.
    void update(float dt) override;
    // The pointer is no longer over any part: the light starts to go. Never takes the event.
    bool handleInput(const nE_InputEvent& event, nE_RenderState& world) override;
    // A part was pressed (click) or pointed at (light up).
    void childWasHit(nE_Object* hit, const nE_InputEvent& event) override;

    // The lit button, or none.
    static nG_InterfButton* hoveredButton();

    nE_Sprite* layer0 = nullptr;
    nE_Sprite* layer1 = nullptr;
    nE_Sprite* layer2 = nullptr;
    nE_Text* text0 = nullptr;
    nE_Text* text1 = nullptr;
    nE_Text* text2 = nullptr;
    nE_Object* hitArea = nullptr;
    nE_Object* plateArea = nullptr;
    int hoverCursor = nG_Cursor::kHand;
    float glow = 0.f;
    int state = kNormal;
    float fadeSpeed = kDefaultFadeSpeed;
    // Called during the scene's hit-test walk: it must not destroy the button (park it or defer).
    ClickHandler onClick = nullptr;
    void* clickArg = nullptr;

private:
    void resetOwn();
    void adopt(nE_Object* child, float z);
    // An invisible part that takes the pointer over rect for the button, made on first use.
    void setArea(nE_Object*& area, const char* suffix, const nE_Rect& rect);
    nE_Sprite* makeLayer(const std::string& suffix, const std::string& image, float z);
    nE_Text* makeCaption(const std::string& suffix, const Params& params, const Colour& colour, float z);
    void applyGlow();
    static void show(nE_Object* object, bool visible);
};
