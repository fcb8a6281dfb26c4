#include "game/interface/nG_Inventory.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cmath>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_Debug.h"
#include "engine/core/nE_Easing.h"
#include "engine/core/nE_Geometry.h"
#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Scene.h"
#include "engine/core/nE_StringTable.h"
#include "engine/media/nE_Cursor.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/script/nE_ContentRules.h"
#include "engine/script/nE_SLHelper_XML.h"
#include "engine/script/nE_TimerHub.h"
#include "game/core/nG_Messages.h"
#include "game/interface/nG_Cursor.h"
#include "game/interface/nG_SimpleButton.h"

namespace {

constexpr const char* kBackImage = "assets/interface/inventory_tasks/back";
constexpr const char* kTitleImage = "assets/interface/inventory_tasks/part_2";
constexpr const char* kLeftImage = "assets/interface/inventory_tasks/left_arrow";
constexpr const char* kRightImage = "assets/interface/inventory_tasks/right_arrow";
constexpr const char* kGlowImage = "assets/interface/inventory_tasks/glow";

constexpr float kSlideSpeed = 1.5f;
// Below its resting place the strip moves slower: the small overshoot of a complete hide.
constexpr float kOvershootSpeed = 0.6f;
constexpr float kLowest = -0.33f;
constexpr float kRestY = 797, kRise = 86;
constexpr float kHalfWindow = nG_Inventory::kWindowWidth / 2.f;
constexpr float kRestScale = 0.7f;
constexpr float kHoverScale = 0.8f;
constexpr float kItemZ = 10, kGlowZ = 1, kFlyerZ = 1000, kLiftedZ = 2000;
constexpr float kArrowX = 350, kArrowZ = 20;
constexpr float kDisabledArrowAlpha = 0.4f;
constexpr float kReturnSpeed = 1500, kReturnBase = 0.2f;
constexpr float kAddDelay = 1.f;

bool cursorHidden() {
    return nG_Cursor::selected() == nG_Cursor::kNull;
}

nE_Object* findInScene(const std::string& name) {
    if (name.empty() || !nE_Core::exists()) return nullptr;
    return nE_Core::get()->scene().findObject(name);
}

// The object goes under the new parent and holds resources exactly when the parent does.
bool moveUnder(nE_Object* parent, nE_Object* object) {
    if (!parent || !parent->addChild(object)) return false;
    if (parent->loaded)
        object->activate();
    else
        object->deactivate();
    return true;
}

bool holds(const nE_Object* owner, const nE_Object* object) {
    return owner && object &&
           std::find(owner->children.begin(), owner->children.end(), object) != owner->children.end();
}

// The object's own position in the coordinates of space (an object's local frame).
bool positionIn(nE_Object* object, nE_Object* space, float& x, float& y) {
    const pf::TVec2 world = object->worldStateFromTop().transform().Apply(0, 0);
    return nE_Geometry::toLocal(space->worldStateFromTop().transform(), world.x, world.y, x, y);
}

void setArrow(nG_SimpleButton* arrow, bool enabled) {
    arrow->input = enabled;
    arrow->editLocalState()->alpha = enabled ? 1.f : kDisabledArrowAlpha;
}

}  // namespace

nG_Inventory::nG_Inventory() {
    name = kName;
    reset();
    subscribe({MSG_INV_ADD, MSG_INV_REMOVE, MSG_INV_HIDE, MSG_INV_SHOW, MSG_INV_RETURN, MSG_INV_HIDE_ALL,
               MSG_INV_SET_Y});
}

void nG_Inventory::declareContent() {
    using R = nE_ContentRules;
    for (const char* image : {kBackImage, kTitleImage, kLeftImage, kRightImage, kGlowImage})
        R::addNeed({"", R::kImage, image, "nG_Inventory", "", ""});
    R::addNeed({"", R::kSound, kArrivalSound, "nG_Inventory", "", ""});
}

void nG_Inventory::reset() {
    background = new nE_Sprite();
    background->name = std::string(kName) + "_bg";
    background->setResourceName(kBackImage);
    addPart(background);

    area = new nE_Object();
    area->name = std::string(kName) + "_area";
    area->inputRect = nE_Rect{-400, -40, 800, 100};
    area->inputRectSet = true;
    addPart(area);

    title = new nE_Sprite();
    title->name = std::string(kName) + "_title";
    title->setResourceName(kTitleImage);
    title->editLocalState()->y = -45;
    title->editLocalState()->z = 1;
    addPart(title);

    // The catchers keep the pointer over a disabled arrow on the strip; they lie under the arrows so
    // that an enabled arrow still gets its clicks.
    auto catcher = [this](const char* suffix, float x) {
        auto* object = new nE_Object();
        object->name = std::string(kName) + suffix;
        object->editLocalState()->x = x;
        object->editLocalState()->y = kSlotY;
        object->editLocalState()->z = kArrowZ;
        object->inputRect = nE_Rect{-20, -23, 40, 46};
        object->inputRectSet = true;
        addPart(object);
        return object;
    };
    leftCatcher = catcher("_left_btn_dummy", -kArrowX);
    rightCatcher = catcher("_right_btn_dummy", kArrowX);

    auto arrow = [this](const char* suffix, const char* image, float x, nG_SimpleButton::ClickHandler click) {
        auto* button = new nG_SimpleButton(std::string(kName) + suffix);
        button->setResourceName(image);
        button->editLocalState()->x = x;
        button->editLocalState()->y = kSlotY;
        button->editLocalState()->z = kArrowZ;
        button->onClick = click;
        button->clickArg = this;
        addPart(button);
        return button;
    };
    leftArrow = arrow("_btn_left", kLeftImage, -kArrowX, onScrollLeft);
    rightArrow = arrow("_btn_right", kRightImage, kArrowX, onScrollRight);

    editLocalState()->x = kX;
    mode = kSlidingOut;
    slide = 0;
    draggedItem = nullptr;
    pointerOver = false;
    setY(yForSlide(slide));
    layout();
}

float nG_Inventory::yForSlide(float level) {
    return kRestY - kRise * nE_Easing::sineOut(level);
}

void nG_Inventory::setY(float y) {
    editLocalState()->y = y;
}

int nG_Inventory::indexOf(const std::string& item) const {
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].object && items[i].object->name == item) return static_cast<int>(i);
    return -1;
}

bool nG_Inventory::inDrag(const Item& item) const {
    return item.state == kDragStart || item.state == kDragging || item.state == kReturning;
}

// --- the window of slots ---

unsigned nG_Inventory::fit(unsigned start) const {
    int sum = 0;
    unsigned count = 0;
    for (size_t i = start; i < items.size(); ++i) {
        sum += static_cast<int>(items[i].width);
        if (sum > kWindowWidth) break;
        ++count;
    }
    return count;
}

void nG_Inventory::scrollRight() {
    const unsigned end = first + shownCount;
    if (end >= items.size()) return;
    do {
        ++first;
        shownCount = fit(first);
    } while (first + shownCount <= end && first < items.size());
    layout();
}

void nG_Inventory::scrollLeft() {
    if (first == 0) return;
    --first;
    shownCount = fit(first);
    // Move left as far as the window's right end allows.
    const unsigned right = first + shownCount;
    for (unsigned n = first + 1; n-- > 0;) {
        if (n + fit(n) == right) {
            first = n;
            shownCount = fit(n);
        } else {
            first = n + 1;
            shownCount = fit(n + 1);
            break;
        }
    }
    layout();
}

void nG_Inventory::onScrollLeft(void* inventory) {
    static_cast<nG_Inventory*>(inventory)->scrollLeft();
}

void nG_Inventory::onScrollRight(void* inventory) {
    static_cast<nG_Inventory*>(inventory)->scrollRight();
}

void nG_Inventory::layout() {
    const size_t count = items.size();
    if (first > count) first = static_cast<unsigned>(count);
    setArrow(leftArrow, count > 0 && first > 0);
    setArrow(rightArrow, count > 0 && first + shownCount < count);

    // A window that does not reach the end spreads its items over its whole width.
    int gap = 0;
    if (first + shownCount < count && shownCount > 1) {
        int sum = 0;
        for (size_t j = first; j < first + shownCount; ++j) sum += static_cast<int>(items[j].width);
        gap = (kWindowWidth - sum) / static_cast<int>(shownCount - 1);
    }
    float offset = 0;
    for (size_t j = 0; j < count; ++j) {
        Item& item = items[j];
        const bool unplaced = item.fromX == kUnplaced;
        if (j < first) {
            item.toX = -kHalfWindow - item.width / 2;
        } else if (j < first + shownCount) {
            item.toX = offset - kHalfWindow + item.width / 2;
            offset += gap + item.width;
            if (item.state == kOutside) {
                item.state = kResting;
                item.timer = 0;
                item.object->input = true;
                item.object->editLocalState()->z = kItemZ;
            }
        } else {
            item.toX = kHalfWindow + item.width / 2;
        }
        if (unplaced) {
            item.fromX = item.toX;
            item.x = item.toX;
        } else {
            item.fromX = item.x;
        }
        if (item.toX != item.fromX) item.slideTimer = 0;
    }
}

// --- adding and removing ---

void nG_Inventory::add(const std::string& itemName, const std::string& flyerName, const std::string& code) {
    nE_Object* object = findInScene(itemName);
    // Not one of the strip's own parts, not a tree's top, nothing that holds the strip.
    const bool ownPart = object && isAncestorOf(object) && indexOf(itemName) < 0;
    if (!object || !object->parent || object == this || object->isAncestorOf(this) || ownPart) {
        nE_Debug::writef("nG_Inventory: no object \"%s\" to put in the inventory", itemName.c_str());
        return;
    }
    // An object the game keeps elsewhere (a widget, the shown room) is not the player's to carry.
    if (indexOf(itemName) < 0 && !nE_Core::get()->scene().scriptMayMove(object, "nG_Inventory")) return;
    nE_Object* flyer = findInScene(flyerName);
    if (!flyerName.empty()) {
        bool usable = flyer && flyer->parent && flyer != object && flyer != this &&
                      !flyer->isAncestorOf(this) && !isAncestorOf(flyer) && !object->isAncestorOf(flyer) &&
                      !flyer->isAncestorOf(object) &&
                      nE_Core::get()->scene().scriptMayMove(flyer, "nG_Inventory");
        for (const Item& item : items)
            if (usable && item.flyer == flyer && item.object != object) usable = false;
        if (!usable) {
            nE_Debug::writef("nG_Inventory: \"%s\" cannot fly into the inventory", flyerName.c_str());
            flyer = nullptr;
        }
    }
    addObject(object, flyer, code);
}

void nG_Inventory::addObject(nE_Object* object, nE_Object* flyer, const std::string& code) {
    int index = -1;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].object == object) index = static_cast<int>(i);
    if (index < 0) {
        if (!moveUnder(this, object)) return;
        object->editLocalState()->alpha = 0;
        object->editLocalState()->z = kItemZ;
        // An item saved while it was lifted comes back without input; in its slot it always takes clicks.
        object->input = true;
        Item item;
        item.object = object;
        item.slotGlow = new nE_Sprite();
        item.slotGlow->name = object->name + "_bg ";
        item.slotGlow->setResourceName(kGlowImage);
        item.slotGlow->editLocalState()->z = kGlowZ;
        item.slotGlow->editLocalState()->alpha = 0;
        item.slotGlow->input = false;
        moveUnder(this, item.slotGlow);
        item.state = kAppearing;
        items.push_back(item);
        index = static_cast<int>(items.size()) - 1;
    }
    if (!code.empty() && nE_Core::exists()) nE_Core::get()->timerHub().start(kAddTimer, code, kAddDelay);

    const unsigned at = static_cast<unsigned>(index);
    if (first < at) {
        shownCount = fit(first);
        while (at >= first + shownCount) shownCount = fit(++first);
    } else {
        first = at;
        shownCount = fit(at);
    }

    Item& item = items[index];
    if (flyer && parent) {
        float x = 0, y = 0;
        positionIn(flyer, parent, x, y);
        // A flyer still on its way from an earlier pick-up would be left behind on the screen.
        if (item.flyer && item.flyer != flyer) nE_Scene::destroyLater(item.flyer);
        if (moveUnder(parent, flyer)) {
            flyer->editLocalState()->x = x;
            flyer->editLocalState()->y = y;
            flyer->editLocalState()->z = kFlyerZ;
            flyer->input = false;
            item.flyer = flyer;
            item.flyerStartX = x;
            item.flyerStartY = y;
            item.flightLeft = kFlightSeconds;
            if (!inDrag(item)) setItemState(item, kArriving);
        }
    }
    layout();
}

void nG_Inventory::remove(const std::string& itemName) {
    const int index = indexOf(itemName);
    if (index < 0) {
        nE_Debug::writef("nG_Inventory: no item \"%s\" to take out of the inventory", itemName.c_str());
        return;
    }
    const size_t count = items.size();
    const bool showedEnd =
        count > shownCount && static_cast<unsigned>(index) >= first && first + shownCount == count;
    Item item = items[index];
    if (draggedItem == item.object) draggedItem = nullptr;
    if (namedItem == item.object) hideName();
    nE_Scene::destroyLater(item.object);
    nE_Scene::destroyLater(item.slotGlow);
    nE_Scene::destroyLater(item.flyer);
    items.erase(items.begin() + index);

    if (showedEnd) {
        // Keep the window aligned to the end of the list.
        first = 0;
        int sum = 0;
        for (size_t k = items.size(); k-- > 0;) {
            sum += static_cast<int>(items[k].width);
            if (sum > kWindowWidth) {
                first = static_cast<unsigned>(k + 1);
                break;
            }
        }
    }
    if (first > items.size()) first = static_cast<unsigned>(items.size());
    shownCount = fit(first);
    layout();
    if (cursorHidden()) selectCursor(nG_Cursor::kDefault);
}

void nG_Inventory::destroyItems() {
    for (Item& item : items) {
        if (draggedItem == item.object) draggedItem = nullptr;
        nE_Scene::destroyLater(item.object);
        nE_Scene::destroyLater(item.slotGlow);
        nE_Scene::destroyLater(item.flyer);
    }
    items.clear();
    namedItem = nullptr;
    first = shownCount = 0;
    draggedItem = nullptr;
}

void nG_Inventory::forgetGone() {
    for (size_t i = 0; i < items.size();) {
        Item& item = items[i];
        if (item.flyer && !holds(parent, item.flyer)) item.flyer = nullptr;
        if (item.slotGlow && !holds(this, item.slotGlow)) item.slotGlow = nullptr;
        if (holds(this, item.object) || holds(parent, item.object)) {
            ++i;
            continue;
        }
        if (draggedItem == item.object) draggedItem = nullptr;
        nE_Scene::destroyLater(item.slotGlow);
        nE_Scene::destroyLater(item.flyer);
        items.erase(items.begin() + i);
        if (first > items.size()) first = static_cast<unsigned>(items.size());
        shownCount = fit(first);
        layout();
    }
}

// --- per frame ---

void nG_Inventory::update(float dt) {
    nE_Object::update(dt);
    forgetGone();

    switch (mode) {
        case kSlidingIn:
            if (slide < 1) {
                slide = std::min(1.f, slide + kSlideSpeed * dt);
                setY(yForSlide(slide));
            }
            break;
        case kSlidingOut:
            if (slide > 0) {
                slide = std::max(0.f, slide - kSlideSpeed * dt);
                setY(yForSlide(slide));
            }
            break;
        case kHiding:
            if (slide > kLowest)
                slide = std::max(kLowest, slide - (slide > 0 ? kSlideSpeed : kOvershootSpeed) * dt);
            setY(yForSlide(slide));
            if (slide <= kLowest) {
                mode = kHidden;
                background->input = false;
                title->visible = title->input = false;
                visible = input = false;
                post<MSG_INV_HIDDEN>();
            }
            break;
        case kComingBack:
            if (slide < 0) {
                slide = std::min(0.f, slide + kOvershootSpeed * dt);
                setY(yForSlide(slide));
            }
            if (slide >= 0) mode = kSlidingOut;
            break;
        default:
            break;
    }

    nE_Object* dragged = nE_Scene::dragged();
    for (size_t i = 0; i < items.size(); ++i) {
        Item& item = items[i];
        if (dragged && item.object == dragged && !draggedItem && !inDrag(item)) startDrag(item);
        updateItem(item, dt);
        if (item.state == kResting && draggedItem == item.object) {
            moveUnder(this, item.object);
            item.object->editLocalState()->x = item.x;
            item.object->editLocalState()->y = item.y;
            draggedItem = nullptr;
        }
    }

    if (mode == kSlidingIn || mode == kSlidingOut) {
        bool busy = pointerOver;
        for (const Item& item : items)
            busy = busy || item.state == kArriving || item.state == kAppearing || item.state == kReturning;
        mode = busy ? kSlidingIn : kSlidingOut;
    }
}

void nG_Inventory::setItemState(Item& item, int state) {
    item.state = state;
    item.timer = 0;
    nE_Object* object = item.object;
    if (state == kHoverGrow)
        showName(item);
    else if (object == namedItem && state != kHovered)
        hideName();
    if (state == kDragStart) {
        nE_Scene::setDragged(nullptr);
        item.dragStartX = object->localState().x;
        item.dragStartY = object->localState().y;
        placeDragged(object, item.dragStartX, item.dragStartY);
        nE_Scene::setDragged(object);
        object->editLocalState()->z = kLiftedZ;
        object->input = false;
        selectCursor(nG_Cursor::kNull);
    } else if (state == kReturning) {
        item.dropX = object->localState().x;
        item.dropY = object->localState().y;
        if (item.slotGlow) item.slotGlow->editLocalState()->alpha = 0;
        item.returnTime =
            std::hypot(item.dropX - item.dragStartX, item.dropY - item.dragStartY) / kReturnSpeed +
            kReturnBase;
        if (cursorHidden()) selectCursor(nG_Cursor::kDefault);
    }
}

void nG_Inventory::showName(const Item& item) {
    const nE_StringTable* strings = nE_StringTable::current();
    if (!item.object || !strings || !strings->entries.count(item.object->name)) return;
    namedItem = item.object;
    nG_PopupRequest request;
    request.show = true;
    request.textId = item.object->name;
    post<MSG_POPUP>(&request);
}

void nG_Inventory::hideName() {
    if (!namedItem) return;
    namedItem = nullptr;
    nG_PopupRequest request;
    post<MSG_POPUP>(&request);
}

void nG_Inventory::startDrag(Item& item) {
    draggedItem = item.object;
    if (parent) {
        // The strip is never scaled or turned: a point of it is the same point of its parent, moved.
        const float x = localState().x + item.object->localState().x;
        const float y = localState().y + item.object->localState().y;
        moveUnder(parent, item.object);
        item.object->editLocalState()->x = x;
        item.object->editLocalState()->y = y;
    }
    setItemState(item, kDragStart);
}

void nG_Inventory::slotInParent(const Item& item, float& x, float& y) const {
    x = localState().x + item.x;
    y = localState().y + item.y;
}

bool nG_Inventory::pointerInParent(float& x, float& y) {
    const nE_Cursor* cursor = nE_Cursor::current();
    nE_Object* host = parent ? parent : this;
    if (!cursor) return false;
    return nE_Geometry::toLocal(host->worldStateFromTop().transform(), cursor->x, cursor->y, x, y);
}

void nG_Inventory::placeDragged(nE_Object* object, float x, float y) {
    object->editLocalState()->x = x;
    object->editLocalState()->y = y;
    if (nE_Object* host = object->parent) {
        const pf::TVec2 at = host->worldStateFromTop().transform().Apply(x, y);
        object->setDragPosition(at);
    }
}

void nG_Inventory::updateItem(Item& item, float dt) {
    nE_Object* object = item.object;
    const StateEdit s = object->editLocalState();
    nE_Sprite* glow = item.slotGlow;
    float& t = item.timer;
    auto glowAt = [&](float alpha) {
        if (!glow) return;
        glow->editLocalState()->x = s->x;
        glow->editLocalState()->y = s->y;
        glow->editLocalState()->z = s->z;
        glow->editLocalState()->alpha = alpha;
    };
    auto scale = [&](float value) { s->scaleX = s->scaleY = value; };

    switch (item.state) {
        case kArriving:
            t = std::min(1.f, t + dt);
            if (t >= 1) {
                setItemState(item, kAppearing);
                playSound(kArrivalSound);
            }
            break;
        case kAppearing:
            if (item.x < -kHalfWindow || item.x > kHalfWindow) {
                setItemState(item, kOutside);
                break;
            }
            t = std::min(1.f, t + 2 * dt);
            s->x = item.x;
            s->y = item.y;
            s->alpha = t;
            scale(kRestScale * t);
            glowAt(s->alpha);
            if (t >= 1) setItemState(item, kResting);
            break;
        case kHoverGrow:
            t = std::min(1.f, t + 10 * dt);
            s->alpha = 1;
            scale(kRestScale + 0.1f * t);
            if (t >= 1) setItemState(item, kHovered);
            break;
        case kHovered:
            s->alpha = 1;
            scale(kHoverScale);
            break;
        case kHoverShrink:
            t = std::min(1.f, t + 10 * dt);
            s->alpha = 1;
            scale(kRestScale + 0.1f * (1 - t));
            if (t >= 1) setItemState(item, kResting);
            break;
        case kResting:
            scale(kRestScale);
            s->alpha = 1;
            s->x = item.x;
            s->y = item.y;
            glowAt(1);
            break;
        case kDragStart: {
            if (object != nE_Scene::dragged()) {
                setItemState(item, kReturning);
                break;
            }
            t = std::min(1.f, t + 3 * dt);
            float px = s->x, py = s->y;
            pointerInParent(px, py);
            const float e = nE_Easing::sineInOut(t);
            placeDragged(object, nE_Easing::lerp(item.dragStartX, px, e),
                         nE_Easing::lerp(item.dragStartY, py, e));
            scale(0.8f + 0.2f * t);
            if (glow) glow->editLocalState()->alpha = 1 - t;
            if (t >= 1) setItemState(item, kDragging);
            break;
        }
        case kDragging: {
            if (object != nE_Scene::dragged()) {
                setItemState(item, kReturning);
                break;
            }
            float px = s->x, py = s->y;
            if (pointerInParent(px, py)) placeDragged(object, px, py);
            break;
        }
        case kReturning: {
            t = item.returnTime > 0 ? std::min(1.f, t + dt / item.returnTime) : 1.f;
            float sx = 0, sy = 0;
            slotInParent(item, sx, sy);
            if (object->parent == this) sx = item.x, sy = item.y;
            s->x = nE_Easing::lerp(item.dropX, sx, nE_Easing::sineInOut(nE_Easing::sineInOut(t)));
            s->y = nE_Easing::lerp(item.dropY, sy, nE_Easing::sineInOut(t));
            scale(1 - 0.3f * t);
            if (glow) glow->editLocalState()->alpha = nE_Easing::clamp01(4 * t - 3);
            if (t >= 1) {
                object->input = true;
                s->z = kItemZ;
                setItemState(item, kResting);
            }
            break;
        }
        case kOutside:
            scale(0);
            s->alpha = 0;
            if (glow) glow->editLocalState()->alpha = 0;
            break;
        default:
            break;
    }

    updateFlyer(item, dt);

    if (item.fromX != item.toX) {
        item.slideTimer = std::min(1.f, item.slideTimer + 2.5f * dt);
        item.x = nE_Easing::lerp(item.fromX, item.toX, nE_Easing::sineInOut(item.slideTimer));
    }

    // Items fade out at the window's edges while they slide; one parked outside stays invisible, and so
    // does its slot.
    if (inDrag(item)) return;
    float fade = 1;
    const float edge = 0.7f * item.width;
    if (item.toX < -kHalfWindow || item.fromX < -kHalfWindow)
        fade *= nE_Easing::clamp01(1 - ((-kHalfWindow + item.width / 2) - item.x) / edge);
    if (item.toX > kHalfWindow || item.fromX > kHalfWindow)
        fade *= nE_Easing::clamp01(1 - (item.x - (kHalfWindow - item.width / 2)) / edge);
    if (fade < 1) {
        s->alpha *= fade;
        s->scaleX *= fade;
        s->scaleY *= fade;
        if (glow) glow->editLocalState()->alpha *= fade;
    }
}

void nG_Inventory::updateFlyer(Item& item, float dt) {
    nE_Object* flyer = item.flyer;
    if (!flyer || item.flightLeft <= 0) return;
    item.flightLeft = std::max(0.f, item.flightLeft - dt);
    float sx = 0, sy = 0;
    slotInParent(item, sx, sy);
    const StateEdit s = flyer->editLocalState();
    if (item.flightLeft > 0.5f) {
        const float u = nE_Easing::sineInOut(nE_Easing::sineInOut(kFlightSeconds - item.flightLeft));
        s->x = nE_Easing::lerp(item.flyerStartX, sx, u);
        s->y = nE_Easing::lerp(item.flyerStartY, sy, u);
        // A pop: up to one and a half times its size and back.
        const float k = item.timer;
        s->scaleX = s->scaleY = k < 0.3f ? 1 + 0.5f * k / 0.3f : 1 + 0.5f * (1 - (k - 0.3f) / 0.7f);
    } else {
        s->x = sx;
        s->y = sy;
        s->z = kLiftedZ;
        s->alpha = s->scaleX = s->scaleY = 2 * item.flightLeft;
    }
    if (item.flightLeft <= 0) {
        nE_Scene::destroyLater(flyer);
        item.flyer = nullptr;
    }
}

// --- pointer ---

bool nG_Inventory::handleInput(const nE_InputEvent& event, nE_RenderState&) {
    if (event.type == nE_InputEvent::kKeyDown || event.type == nE_InputEvent::kKeyUp) return false;
    pointerOver = false;
    if (event.type == nE_InputEvent::kPointerMove && !nE_Scene::dragged())
        for (Item& item : items)
            if (item.state == kHovered) setItemState(item, kHoverShrink);
    return false;
}

void nG_Inventory::childWasHit(nE_Object* hit, const nE_InputEvent& event) {
    if (event.type == nE_InputEvent::kKeyDown || event.type == nE_InputEvent::kKeyUp) return;
    pointerOver = true;
    nE_Object* dragged = nE_Scene::dragged();
    if (event.type == nE_InputEvent::kButtonDown && hit && hit->parent == this) {
        for (Item& item : items)
            if (dragged && item.object == dragged && !draggedItem && !inDrag(item)) startDrag(item);
    } else if (event.type == nE_InputEvent::kPointerMove && !dragged) {
        for (Item& item : items) {
            const bool sliding = item.fromX != item.toX && item.slideTimer < 1;
            if (item.object == hit) {
                if (item.state == kResting && !sliding) setItemState(item, kHoverGrow);
            } else if (item.state == kHovered) {
                setItemState(item, kHoverShrink);
            }
        }
        selectCursor(nG_Cursor::kDefault);
    }
}

// --- messages ---

void nG_Inventory::onMessage(const nE_Message& message) {
    switch (message.number) {
        case MSG_INV_ADD:
            if (const auto* request = message.payload<MSG_INV_ADD>()) {
                add(request->item, request->flyer, request->code);
            }
            break;
        case MSG_INV_REMOVE:
            if (auto* value = message.payload<MSG_INV_REMOVE>()) remove(*value);
            break;
        case MSG_INV_HIDE:
            editLocalState()->z = 2;
            visible = input = false;
            break;
        case MSG_INV_SHOW:
            editLocalState()->z = 3;
            visible = input = true;
            break;
        case MSG_INV_RETURN:
            mode = kComingBack;
            title->visible = title->input = true;
            background->input = true;
            visible = input = true;
            setY(yForSlide(slide));
            break;
        case MSG_INV_HIDE_ALL:
            mode = kHiding;
            break;
        case MSG_INV_SET_Y:
            if (auto* value = message.payload<MSG_INV_SET_Y>()) setY(*value);
            break;
        default:
            break;
    }
}

// --- saved state ---

tinyxml2::XMLElement* nG_Inventory::dumpState(tinyxml2::XMLDocument& doc) {
    tinyxml2::XMLElement* element = doc.NewElement("inventory");
    for (const Item& item : items)
        if (item.object) element->InsertEndChild(nE_SLHelper_XML::save(*item.object, doc, true, true));
    return element;
}

void nG_Inventory::restoreState(const tinyxml2::XMLElement* parentElement) {
    const tinyxml2::XMLElement* element =
        parentElement ? parentElement->FirstChildElement("inventory") : nullptr;
    if (!element) return;
    destroyItems();
    for (const tinyxml2::XMLElement* child = element->FirstChildElement(); child;
         child = child->NextSiblingElement()) {
        // The builder reads only; the saved document is not changed.
        std::unique_ptr<nE_Object> object = nE_SLHelper_XML::build(const_cast<tinyxml2::XMLElement*>(child));
        if (!object) continue;
        nE_Object* raw = object.release();
        addObject(raw, nullptr, "");
        if (raw->parent != this) delete raw;
    }
    layout();
}
