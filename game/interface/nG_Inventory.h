// The inventory ("ng_inventory"): the strip at the bottom of the screen that holds what the player has
// picked up. Items fly in from the scene into their slots with a pop, sit in a window of slots that two
// arrows scroll, and are dragged out onto the scene; an item that nothing takes flies back to its slot.
// The strip slides up while the pointer is over it or something arrives, and down otherwise; the task
// list hides it and brings it back.
//
// Scripts reach it through the mediator: MSG_INV_ADD (item, flyer, code) puts an item in, MSG_INV_REMOVE
// takes one out. What using an item does is decided by its own drop trigger.
#pragma once

#include <string>
#include <vector>

#include "engine/core/nE_Object.h"
#include "game/interface/nG_Widget.h"
#include "game/interface/nG_WidgetState.h"

class nE_Sprite;
class nG_SimpleButton;

class nG_Inventory : public nE_Object, public nG_Widget, public nG_WidgetState {
public:
    static constexpr const char* kName = "ng_inventory";
    static constexpr const char* kAddTimer = "ng_inventory_add_timer";
    static constexpr const char* kArrivalSound = "assets/audio/common_s_gettoinv";
    enum Mode { kSlidingIn = 0, kSlidingOut = 1, kHiding = 2, kHidden = 3, kComingBack = 4 };
    enum ItemState {
        kArriving = 1,
        kAppearing = 2,
        kHoverGrow = 3,
        kHovered = 4,
        kHoverShrink = 5,
        kResting = 6,
        kDragStart = 7,
        kDragging = 8,
        kReturning = 9,
        kOutside = 10
    };
    static constexpr float kX = 512;
    static constexpr float kSlotY = 16;
    static constexpr float kSlotWidth = 90;
    // The slots' window is 630 wide, centred on the strip.
    static constexpr int kWindowWidth = 630;
    static constexpr float kFlightSeconds = 1.5f;
    // A slot that has not been placed yet.
    static constexpr float kUnplaced = -99999;

    struct Item {
        nE_Object* flyer = nullptr;  // flies from the scene into the slot; destroyed when it lands
        nE_Object* object = nullptr;
        nE_Sprite* slotGlow = nullptr;
        int state = kAppearing;
        float timer = 0;
        float slideTimer = 0;
        float flightLeft = 0;
        float dragStartX = 0, dragStartY = 0;  // in the coordinates of the inventory's parent
        float dropX = 0, dropY = 0;
        float flyerStartX = 0, flyerStartY = 0;
        float returnTime = 0;
        float x = 0, y = kSlotY;
        float fromX = kUnplaced, toX = kUnplaced;
        float width = kSlotWidth;
    };

    nG_Inventory();
    // Declares the fixed assets this widget loads, for the content checker.
    static void declareContent();

    void update(float dt) override;
    // Reached when no child took the event: the pointer is not over the strip.
    bool handleInput(const nE_InputEvent& event, nE_RenderState& world) override;
    void childWasHit(nE_Object* hit, const nE_InputEvent& event) override;
    void onMessage(const nE_Message& message) override;
    // "inventory": the full descriptions of the items, in list order.
    tinyxml2::XMLElement* dumpState(tinyxml2::XMLDocument& doc) override;
    // Replaces every item with the saved ones; they come back without a flight or a sound.
    void restoreState(const tinyxml2::XMLElement* parent) override;

    // The object named item (looked up in the scene) goes into the inventory; the object named flyer, if
    // any, flies from where it stands into the slot. A non-empty code is a trigger call run a second later.
    void add(const std::string& item, const std::string& flyer, const std::string& code);
    void remove(const std::string& item);
    void scrollLeft();
    void scrollRight();

    // How many items from start fit side by side into the window.
    unsigned fit(unsigned start) const;
    // Places the arrows and gives every item its slot target.
    void layout();
    // The strip's y for a slide level (0 down, 1 up).
    static float yForSlide(float slide);
    // The index of the item whose object has that name, or -1.
    int indexOf(const std::string& item) const;

    std::vector<Item> items;
    unsigned first = 0;
    unsigned shownCount = 0;
    int mode = kSlidingOut;
    float slide = 0;
    nE_Object* draggedItem = nullptr;
    bool pointerOver = false;
    // The item whose name the pop-up shows while the pointer rests on it; none when it shows no name.
    nE_Object* namedItem = nullptr;

    nE_Sprite* background = nullptr;
    nE_Object* area = nullptr;
    nE_Sprite* title = nullptr;
    nG_SimpleButton* leftArrow = nullptr;
    nG_SimpleButton* rightArrow = nullptr;
    nE_Object* leftCatcher = nullptr;
    nE_Object* rightCatcher = nullptr;

private:
    void reset();
    void addObject(nE_Object* object, nE_Object* flyer, const std::string& code);
    void setItemState(Item& item, int state);
    void updateItem(Item& item, float dt);
    void updateFlyer(Item& item, float dt);
    void startDrag(Item& item);
    // Drops records whose objects went elsewhere (destroyed or taken away by a script) and flyers that
    // did.
    void forgetGone();
    void destroyItems();
    void setY(float y);
    // The slot's position, and a point in the coordinates of the inventory's parent.
    void slotInParent(const Item& item, float& x, float& y) const;
    bool pointerInParent(float& x, float& y);
    // Puts a dragged object at a point of its parent; the scene draws a dragged object at its drag
    // position, which is in display coordinates.
    void placeDragged(nE_Object* object, float x, float y);
    bool inDrag(const Item& item) const;
    // The pop-up tells the name of the item under the pointer (its object name is the text's key; an
    // item without a text shows none), and closes again when the pointer or the item goes.
    void showName(const Item& item);
    void hideName();
    static void onScrollLeft(void* inventory);
    static void onScrollRight(void* inventory);
};
