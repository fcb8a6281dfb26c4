// The hint clock at the right end of the bar ("ng_hint"). When charged, a press starts its recharge
// (40 seconds in the easiest game mode, 60 otherwise; the hand shows how far it is), flashes, plays
// its sound and runs the level's trigger ng_show_hint(i,"name"): i is 1 in a hidden-object scene,
// where name is a random clickable object of the room, which a light then circles; else 0 and "".
// ChargeHint ends a recharge at once. Its state and timer are saved with the game.
#pragma once

#include <string>

#include "engine/core/nE_Object.h"
#include "game/interface/nG_Widget.h"
#include "game/interface/nG_WidgetState.h"

class nE_AnimSprite;
class nE_Sprite;
class nG_InterfButton;

class nG_Hint : public nE_Object, public nG_Widget, public nG_WidgetState {
public:
    static constexpr const char* kName = "ng_hint";
    static constexpr const char* kTimerAnimation = "assets/interface/hint/timer";
    static constexpr const char* kMirrorAnimation = "assets/interface/hint/mirror";
    static constexpr const char* kChargeImage = "assets/interface/hint/timer_light";
    static constexpr const char* kPointerImage = "assets/interface/hint/hint_effect";
    static constexpr const char* kFlashImage = "assets/interface/hint/hint_fx";
    static constexpr const char* kLayerImage = "assets/interface/hint/hint_layer";
    static constexpr const char* kUseSound = "assets/audio/common_s_hint";
    static constexpr const char* kFunction = "DoAnim";
    static constexpr const char* kTrigger = "ng_show_hint";
    enum State { kCharged = 0, kRecharging = 1 };
    static constexpr float kEasyRecharge = 40, kRecharge = 60;
    // The charge light starts this long before the recharge ends.
    static constexpr float kChargeLead = 0.03f;
    // The pointer light's depth in the hint, and among the bar's layers when it points outside the room.
    static constexpr float kPointerZ = 9, kPointerOverAllZ = 1000;

    // Payloads: 39 a float (the hint's opacity), 40 a bool (whether it takes input), 41 nothing.
    nG_Hint();
    // What the hint loads and calls by name, for the content checker.
    static void declareContent();

    void update(float dt) override;
    // The right lamp glows while the pointer is over the button.
    void childWasHit(nE_Object* hit, const nE_InputEvent& event) override;
    void onMessage(const nE_Message& message) override;
    tinyxml2::XMLElement* dumpState(tinyxml2::XMLDocument& doc) override;
    void restoreState(const tinyxml2::XMLElement* parent) override;

    void setState(int s);
    // What a press on the charged button does.
    void use();
    // The recharge time now: it follows the current player's game mode.
    static float rechargeTime();
    // The room object the hint points at in a hidden-object scene: a random input-enabled "spr" or
    // "anim" directly under the room; none when there is none.
    static nE_Object* pickTarget(nE_Object* room);

    int state = kCharged;
    float stateTimer = 0;
    bool chargeEffectPlayed = false;
    bool lampLit = false;
    // The last use's object, empty when it pointed at nothing.
    std::string lastTarget;

    nE_AnimSprite* watch0 = nullptr;
    nE_AnimSprite* watch1 = nullptr;
    nE_AnimSprite* mirror = nullptr;
    nG_InterfButton* button = nullptr;
    nE_Sprite* chargeEffect = nullptr;
    nE_Sprite* pointerEffect = nullptr;
    nE_Sprite* flashEffect = nullptr;
    nE_Sprite* layer = nullptr;

private:
    static void onClick(void* hint);
    void showFrames();
    void playChargeEffect();
    void pointAt(float x, float y);
    void pointAt(nE_Object* target);
    // MSG_HINT_POINT: the light circles the named object of the live scene; a name not there is logged.
    void pointAtObject(const std::string& targetName);
    // The light lies in the hint for a room's object, above all of the bar's layers for anything else.
    void placePointer(bool inRoom);
    void setLamp(bool on);
};
