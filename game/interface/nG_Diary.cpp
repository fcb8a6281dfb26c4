#include "game/interface/nG_Diary.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_Debug.h"
#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Scene.h"
#include "engine/media/nE_Texture.h"
#include "engine/objects/nE_AnimSprite.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/script/nE_ContentRules.h"
#include "engine/script/nE_Module.h"
#include "engine/script/nE_TriggerHub.h"
#include "game/core/nG_Messages.h"
#include "game/interface/nG_InterfButton.h"
#include "pflib/TFile.h"

namespace {

constexpr float kCentreX = 512, kCentreY = 384;
constexpr float kPageZ = 3;
constexpr float kMapZ = 1;
constexpr const char* kPageNumberImage = "assets/diary/page_%i";
// Saved names that are no XML names go into an element of this name with the name as an attribute.
constexpr const char* kEntry = "entry";

// An object's name becomes an element name in the saved game; one that is no XML name would make the
// whole save unreadable.
bool isXmlName(const std::string& text) {
    if (text.empty()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool start =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c >= 0x80;
        const bool inner = (c >= '0' && c <= '9') || c == '-' || c == '.';
        if (!start && (i == 0 || !inner)) return false;
    }
    return true;
}

tinyxml2::XMLElement* namedElement(tinyxml2::XMLDocument& doc, const std::string& name) {
    if (isXmlName(name) && name != kEntry) return doc.NewElement(name.c_str());
    tinyxml2::XMLElement* element = doc.NewElement(kEntry);
    element->SetAttribute("name", name.c_str());
    return element;
}

std::string elementName(const tinyxml2::XMLElement* element) {
    if (const char* name = element->Attribute("name"); name && std::string(element->Name()) == kEntry)
        return name;
    return element->Name();
}

nG_InterfButton* makeButton(const std::string& name, const nG_InterfButton::Params& params, float x, float y,
                            float z) {
    auto* button = new nG_InterfButton(name);
    button->build(params);
    button->editLocalState()->x = x;
    button->editLocalState()->y = y;
    button->editLocalState()->z = z;
    return button;
}

}  // namespace

nG_Diary::nG_Diary() {
    name = kName;
    build();
    loadHub();
    subscribe({MSG_DIARY_ADD_PAGE, MSG_LOCK_DIARY_CLOSE, MSG_SET_ACTIVE_MAP_ROOM, MSG_DIARY_TOGGLE,
               MSG_IS_DIARY_OPENED});
}

void nG_Diary::declareContent() {
    using R = nE_ContentRules;
    const char* const owner = "nG_Diary";
    R::addNeed({"game", R::kModule, kModule, owner, "", ""});
    R::addNeed({"game", R::kObject, kHubName, owner, kModule, ""});
    R::addNeed({"game", R::kTrigger, kOpenedTrigger, owner, "", ""});
    for (const char* image : {kBackImage, kNextImages[0], kNextImages[1], kPrevImages[0], kPrevImages[1],
                              kFirstPageNumber, kQuitImage, kCloseImages[0], kCloseImages[1]})
        R::addNeed({"", R::kImage, image, owner, "", ""});
    R::addNeed({"", R::kFont, kCloseFont, owner, "", ""});
    R::addNeed({"", R::kStringKey, kCloseKey, owner, "", ""});
    R::addNeed({"", R::kSound, kTurnSound, owner, "", ""});
    R::addNeed({"", R::kSound, kAddSound, owner, "", ""});
    R::addPlacement({owner, kHubName, kCentreX, kCentreY});
    R::addCaption(owner, kCloseKey, kCloseFont, nG_InterfButton::Params().captionSize, kCloseImages[0]);
}

nG_Diary::~nG_Diary() {
    // The hub lives in the parked tree, which may already be gone: nothing of it is touched here.
}

void nG_Diary::build() {
    state = kClosed;
    stateTime = 0;
    closeLocked = false;
    pageIndex = 0;

    background = new nE_Sprite();
    background->name = std::string(kName) + "_bg";
    background->setResourceName(kBackImage);
    background->editLocalState()->x = kCentreX;
    background->editLocalState()->y = kCentreY;
    background->editLocalState()->z = 0;
    addPart(background);

    pagesRoot = new nE_Object();
    pagesRoot->name = std::string(kName) + "_pages_root";
    pagesRoot->editLocalState()->z = 3;
    addPart(pagesRoot);

    nG_InterfButton::Params next;
    next.layer0Image = kNextImages[0];
    next.layer1Image = kNextImages[1];
    next.layer2Image = kNextImages[2];
    nextButton = makeButton(std::string(kName) + "_next_btn", next, 888, 660, 10);
    nextButton->setHitRect(-30, -30, 60, 60);
    nextButton->onClick = onNext;
    nextButton->clickArg = this;
    addPart(nextButton);

    nG_InterfButton::Params prev;
    prev.layer0Image = kPrevImages[0];
    prev.layer1Image = kPrevImages[1];
    prev.layer2Image = kPrevImages[2];
    prevButton = makeButton(std::string(kName) + "_prev_btn", prev, 568, 660, 10);
    prevButton->setHitRect(-30, -30, 60, 60);
    prevButton->onClick = onPrev;
    prevButton->clickArg = this;
    addPart(prevButton);

    pageNumber = new nE_Sprite();
    pageNumber->name = std::string(kName) + "_page_number";
    pageNumber->setResourceName(kFirstPageNumber);
    pageNumber->editLocalState()->x = 728;
    pageNumber->editLocalState()->y = 660;
    pageNumber->editLocalState()->z = 11;
    pageNumber->input = false;
    addPart(pageNumber);

    nG_InterfButton::Params quit;
    quit.layer0Image = kQuitImage;
    quitArea = makeButton(std::string(kName) + "_quit_area", quit, 512, 788, 9);
    quitArea->editLocalState()->scaleX = 7;
    quitArea->editLocalState()->alpha = 0.6f;
    quitArea->editLocalState()->red = 0.6f;
    quitArea->editLocalState()->green = 0.6f;
    quitArea->editLocalState()->blue = 1.0f;
    quitArea->setHitRect(-420, -60, 840, 60);
    quitArea->onClick = onClose;
    quitArea->clickArg = this;
    addPart(quitArea);

    nG_InterfButton::Params closing;
    closing.layer0Image = kCloseImages[0];
    closing.layer1Image = kCloseImages[1];
    closing.captionTextId = kCloseKey;
    closing.captionFont = kCloseFont;
    closing.text0Colour = {1.f, 227.f / 255, 163.f / 255};
    closing.text1Colour = nG_InterfButton::Colour{255.f / 255, 236.f / 255, 108.f / 255};
    closeButton = makeButton(std::string(kName) + "_close_btn", closing, 512, 752, 10);
    closeButton->onClick = onClose;
    closeButton->clickArg = this;
    addPart(closeButton);

    updatePageNumber();
    updateArrows();
    setState(kClosed);
    editLocalState()->alpha = 0;
}

void nG_Diary::loadHub() {
    nE_Scene* s = scene();
    if (!s) return;
    std::unique_ptr<nE_Module> module = nE_Module::load(kModule);
    const bool read = !module->name.empty();
    if (!read) {
        const bool exists = pf::TFile::Exists(nE_Module::fileName(kModule));
        nE_Debug::writef("nG_Diary: the diary module \"%s\" %s", kModule,
                         exists ? "could not be read" : "does not exist");
    } else {
        // A module whose top object is the hub itself keeps it whole: the top object is dissolved.
        if (module->root && module->root->name == kHubName) {
            auto holder = std::make_unique<nE_Object>();
            holder->addChild(module->root.release());
            module->root = std::move(holder);
        }
        nE_Module::bringInWithObjects(std::move(module), *s, nE_Core::get()->triggerHub());
    }
    hub = s->storage()->find(kHubName, true);
    if (!hub) hub = s->root()->find(kHubName, true);
    // The diary keeps its pages' hub for its whole life, wherever it lies.
    if (hub) {
        hub->pinned = true;
        return;
    }
    if (read) nE_Debug::writef("nG_Diary: the diary module has no \"%s\"; the diary is empty", kHubName);
    hub = new nE_Object();
    hub->name = kHubName;
    hub->pinned = true;
    s->park(hub);
}

// --- states ---

bool nG_Diary::opened() const {
    return state == kOpening || state == kOpen || state == kTurning;
}

void nG_Diary::setState(int newState) {
    const int previous = state;
    state = newState;
    stateTime = 0;
    switch (newState) {
        case kOpening:
            quitArea->setEnabled(false);
            visible = true;
            input = true;
            inputChildren = true;
            break;
        case kOpen:
            if (previous == kTurning) {
                if (newPage) newPage->editLocalState()->alpha = 1;
                if (oldPage && oldPage != newPage) toHub(oldPage);
                oldPage = newPage = nullptr;
                updatePageNumber();
            }
            quitArea->setEnabled(!closeLocked);
            editLocalState()->alpha = 1;
            visible = true;
            input = true;
            inputChildren = true;
            updateArrows();
            nE_Scene::queueTrigger(kName, kOpenedTrigger);
            break;
        case kClosing:
            // A book on its way shut turns no pages and travels nowhere.
            inputChildren = false;
            break;
        case kClosed:
            quitArea->setEnabled(false);
            visible = false;
            input = false;
            break;
        case kTurning:
            if (newPage) {
                newPage->editLocalState()->alpha = 0;
                attachUnder(pagesRoot, newPage);
            }
            if (oldPage) oldPage->editLocalState()->alpha = 1;
            quitArea->setEnabled(false);
            playSound(kTurnSound);
            break;
        default:
            break;
    }
}

void nG_Diary::open() {
    if (state == kOpening || state == kOpen) return;
    if (state == kTurning) finishTurn();
    setState(kOpening);
    bool on = true;
    post<MSG_DIARY_BOOK>(&on);
}

void nG_Diary::close() {
    if (closeLocked || state == kClosing || state == kClosed) return;
    // A page half turned would stay under the pages with the one turned to.
    if (state == kTurning) finishTurn();
    setState(kClosing);
    bool on = false;
    post<MSG_DIARY_BOOK>(&on);
}

void nG_Diary::toggle() {
    if (opened())
        close();
    else
        open();
}

void nG_Diary::lockClose(bool lock) {
    closeLocked = lock;
    quitArea->visible = !lock;
    quitArea->setEnabled(!lock && state == kOpen);
    closeButton->setEnabled(!lock);
    closeButton->visible = !lock;
}

void nG_Diary::finishTurn() {
    if (state != kTurning) return;
    if (newPage) newPage->editLocalState()->alpha = 1;
    if (oldPage && oldPage != newPage) toHub(oldPage);
    oldPage = newPage = nullptr;
    updatePageNumber();
    state = kOpen;
}

void nG_Diary::update(float dt) {
    nE_Object::update(dt);
    stateTime += dt;
    switch (state) {
        case kOpening:
            editLocalState()->alpha = std::min(stateTime / kFadeSeconds, 1.f);
            if (stateTime >= kFadeSeconds) setState(kOpen);
            break;
        case kClosing:
            editLocalState()->alpha = std::max(1.f - stateTime / kFadeSeconds, 0.f);
            if (stateTime >= kFadeSeconds) setState(kClosed);
            break;
        case kTurning: {
            const float k = std::min(stateTime / kTurnSeconds, 1.f);
            if (oldPage) oldPage->editLocalState()->alpha = 1 - k;
            if (newPage) newPage->editLocalState()->alpha = k;
            if (stateTime >= kTurnSeconds) setState(kOpen);
            break;
        }
        default:
            break;
    }
}

bool nG_Diary::handleInput(const nE_InputEvent& event, nE_RenderState&) {
    if (state == kClosed) return false;
    return event.type == nE_InputEvent::kButtonDown || event.type == nE_InputEvent::kButtonUp ||
           event.type == nE_InputEvent::kPointerMove;
}

// --- pages ---

nE_Object* nG_Diary::page(int index) const {
    if (index < 0 || index >= pageCount()) return nullptr;
    const std::string& pageName = pages[static_cast<size_t>(index)];
    if (nE_Object* found = pagesRoot->find(pageName, false)) return found;
    if (hub)
        if (nE_Object* found = hub->find(pageName, true)) return found;
    nE_Scene* s = scene();
    return s ? s->findObject(pageName) : nullptr;
}

bool nG_Diary::acceptsPage(const nE_Object* object) const {
    if (!object || object == hub || object == this || object->isAncestorOf(this)) return false;
    // A map, or a room taken off one, would be lost to the map.
    for (const nE_Object* up = object; up; up = up->parent)
        if (isMap(up)) return false;
    // The book's own parts are no pages; what stands under the pages root is.
    if (isAncestorOf(object) && !pagesRoot->isAncestorOf(object)) return false;
    nE_Scene* s = scene();
    // Nothing the game keeps elsewhere (a widget, the shown room) is taken off its holder.
    return !s || pagesRoot->isAncestorOf(object) || !s->heldAgainstMove(object);
}

void nG_Diary::turnTo(int index) {
    if (index < 0 || index >= pageCount() || index == pageIndex) return;
    if (state != kOpen && state != kOpening) return;
    nE_Object* target = page(index);
    if (!target) {
        nE_Debug::writef("nG_Diary: the page \"%s\" is gone", pages[static_cast<size_t>(index)].c_str());
        return;
    }
    oldPage = page(pageIndex);
    newPage = target;
    nextButton->setEnabled(false);
    prevButton->setEnabled(false);
    pageIndex = index;
    newPage->editLocalState()->x = kCentreX;
    newPage->editLocalState()->y = kCentreY;
    newPage->editLocalState()->z = kPageZ;
    setState(kTurning);
}

void nG_Diary::showPage(nE_Object* shown) {
    if (!shown) return;
    const std::vector<nE_Object*> standing = pagesRoot->children;
    for (nE_Object* child : standing)
        if (child != shown) toHub(child);
    placePage(shown);
    if (shown->parent != pagesRoot) attachUnder(pagesRoot, shown);
}

void nG_Diary::placePage(nE_Object* page) {
    page->editLocalState()->alpha = 1;
    page->editLocalState()->x = kCentreX;
    page->editLocalState()->y = kCentreY;
    page->editLocalState()->z = kPageZ;
}

void nG_Diary::addPage(const std::string& pageName, bool announce) {
    nE_Object* found = listPage(pageName);
    if (!found) return;
    showPage(found);
    updatePageNumber();
    updateArrows();
    if (!announce) return;
    bool on = true;
    post<MSG_DIARY_BOOK>(&on);
    playSound(kAddSound);
    post<MSG_DIARY_FLASH>();
}

nE_Object* nG_Diary::listPage(const std::string& pageName) {
    if (std::find(pages.begin(), pages.end(), pageName) != pages.end()) return nullptr;
    nE_Object* found = nullptr;
    if (!pageName.empty()) {
        found = hub ? hub->find(pageName, true) : nullptr;
        nE_Scene* s = scene();
        if (!found && s) found = s->findObject(pageName);
    }
    if (!found) {
        nE_Debug::writef("nG_Diary: there is no page \"%s\" to add", pageName.c_str());
        return nullptr;
    }
    if (!acceptsPage(found)) {
        nE_Debug::writef("nG_Diary: \"%s\" cannot be a page of the diary", pageName.c_str());
        return nullptr;
    }
    if (state == kTurning) finishTurn();
    pages.push_back(pageName);
    pageIndex = pageCount() - 1;
    return found;
}

void nG_Diary::updateArrows() {
    // While a page turns both wait; the turn's end sets them again.
    if (state == kTurning) return;
    const bool before = pageIndex > 0 && pageCount() > 0, after = pageIndex + 1 < pageCount();
    prevButton->setEnabled(before);
    nextButton->setEnabled(after);
    // A disabled arrow looks like an enabled one; faded, it shows there is no page that way.
    prevButton->editLocalState()->alpha = before ? 1 : kDisabledArrowAlpha;
    nextButton->editLocalState()->alpha = after ? 1 : kDisabledArrowAlpha;
}

void nG_Diary::updatePageNumber() {
    // An empty book shows no number.
    pageNumber->visible = !pages.empty();
    char image[64];
    std::snprintf(image, sizeof image, kPageNumberImage, pageIndex + 1);
    if (pageNumber->getResourceName() != image) pageNumber->setResourceName(image);
}

// --- the map ---

void nG_Diary::collectMaps(nE_Object* holder, std::vector<nE_Object*>& maps) {
    if (!holder) return;
    for (nE_Object* child : holder->children) {
        if (isMap(child))
            maps.push_back(child);
        else
            collectMaps(child, maps);
    }
}

bool nG_Diary::isMap(const nE_Object* object) {
    return object && object->name.find(kMapMark) != std::string::npos;
}

nE_AnimSprite* nG_Diary::findMapRoom(const std::string& roomName) const {
    if (roomName.empty()) return nullptr;
    if (currentMap)
        if (auto* room = dynamic_cast<nE_AnimSprite*>(currentMap->find(roomName, false))) return room;
    auto* room = dynamic_cast<nE_AnimSprite*>(hub ? hub->find(roomName, true) : nullptr);
    return room && isMap(room->parent) ? room : nullptr;
}

void nG_Diary::showFrame(nE_AnimSprite* room, int frame) {
    if (room->playing) return;
    room->editLocalState()->frameIndex = frame;
    if (room->texture && !room->inputRectSet) room->inputRect = room->texture->localRect(frame);
}

void nG_Diary::markMapRoom(const std::string& roomName) {
    nE_AnimSprite* found = findMapRoom(roomName);
    if (!found) {
        nE_Debug::writef("nG_Diary: there is no map room \"%s\"", roomName.c_str());
        return;
    }
    nE_Object* map = found->parent;
    if (map != currentMap) {
        if (currentMap) {
            for (nE_Object* child : currentMap->children)
                if (auto* room = dynamic_cast<nE_AnimSprite*>(child); room && room->localState().alpha >= 1)
                    showFrame(room, 0);
            toHub(currentMap);
        }
        currentMap = map;
        currentMap->editLocalState()->z = kMapZ;
        attachUnder(this, currentMap);
    }
    for (nE_Object* child : currentMap->children) {
        auto* room = dynamic_cast<nE_AnimSprite*>(child);
        if (!room) continue;
        showFrame(room, room == found ? 1 : 0);
        if (room == found) room->editLocalState()->alpha = 1;
    }
}

// --- helpers ---

void nG_Diary::attachUnder(nE_Object* parent, nE_Object* object) {
    if (nE_Scene* s = scene())
        s->attach(parent, object);
    else
        parent->addChild(object);
    // A page shown in the diary is held by it; back in the hub it is let go.
    if (object->parent == parent && (parent == this || isAncestorOf(parent))) object->holder = this;
}

void nG_Diary::toHub(nE_Object* object) {
    if (!object) return;
    if (hub) {
        attachUnder(hub, object);
        if (object->parent == hub) return;
    }
    // Without a hub the object is parked on its own.
    if (nE_Scene* s = scene()) s->park(object);
}

void nG_Diary::onNext(void* diary) {
    auto* self = static_cast<nG_Diary*>(diary);
    self->turnTo(self->pageIndex + 1);
}

void nG_Diary::onPrev(void* diary) {
    auto* self = static_cast<nG_Diary*>(diary);
    self->turnTo(self->pageIndex - 1);
}

void nG_Diary::onClose(void* diary) {
    static_cast<nG_Diary*>(diary)->close();
}

// --- messages ---

void nG_Diary::onMessage(const nE_Message& message) {
    switch (message.number) {
        case MSG_DIARY_ADD_PAGE:
            if (auto* value = message.payload<MSG_DIARY_ADD_PAGE>()) addPage(*value, true);
            break;
        case MSG_LOCK_DIARY_CLOSE:
            if (auto* value = message.payload<MSG_LOCK_DIARY_CLOSE>()) lockClose(*value);
            break;
        case MSG_SET_ACTIVE_MAP_ROOM:
            if (auto* value = message.payload<MSG_SET_ACTIVE_MAP_ROOM>()) markMapRoom(*value);
            break;
        case MSG_DIARY_TOGGLE:
            toggle();
            break;
        case MSG_IS_DIARY_OPENED:
            if (auto* value = message.payload<MSG_IS_DIARY_OPENED>()) *value = opened();
            break;
        default:
            break;
    }
}

// --- saved state ---

tinyxml2::XMLElement* nG_Diary::dumpState(tinyxml2::XMLDocument& doc) {
    tinyxml2::XMLElement* element = doc.NewElement("diary");
    element->SetAttribute("pageId", pageIndex);
    element->SetAttribute("close_locked", closeLocked ? 1 : 0);
    element->SetAttribute("opened", opened() ? 1 : 0);

    tinyxml2::XMLElement* list = doc.NewElement("pages");
    for (const std::string& pageName : pages) list->InsertEndChild(namedElement(doc, pageName));
    element->InsertEndChild(list);

    tinyxml2::XMLElement* rooms = doc.NewElement("maprooms");
    std::vector<nE_Object*> maps;
    if (currentMap) maps.push_back(currentMap);
    collectMaps(hub, maps);
    for (nE_Object* map : maps)
        for (nE_Object* child : map->children) {
            auto* room = dynamic_cast<nE_AnimSprite*>(child);
            if (!room) continue;
            int frame = room->localState().frameIndex;
            if (map == currentMap && frame == 1) frame = 2;
            tinyxml2::XMLElement* entry = namedElement(doc, room->name);
            entry->SetAttribute("state", frame);
            rooms->InsertEndChild(entry);
        }
    element->InsertEndChild(rooms);
    return element;
}

void nG_Diary::restoreState(const tinyxml2::XMLElement* parent) {
    // A game saved before the diary existed brings no diary module back: its triggers come in here.
    if (nE_Core::exists()) {
        nE_TriggerHub& triggers = nE_Core::get()->triggerHub();
        const auto& used = triggers.usedModules();
        if (std::find(used.begin(), used.end(), kModule) == used.end() &&
            pf::TFile::Exists(nE_Module::fileName(kModule)))
            nE_Module::bringInWithoutObjects(nE_Module::load(kModule), triggers);
    }
    const tinyxml2::XMLElement* element = parent ? parent->FirstChildElement("diary") : nullptr;
    if (!element) return;

    if (state == kTurning) finishTurn();
    const std::vector<nE_Object*> standing = pagesRoot->children;
    for (nE_Object* child : standing) toHub(child);
    pages.clear();
    pageIndex = 0;
    if (const tinyxml2::XMLElement* list = element->FirstChildElement("pages"))
        for (const tinyxml2::XMLElement* entry = list->FirstChildElement(); entry;
             entry = entry->NextSiblingElement())
            // Only the page shown at the end is attached: each page shown on the way would load and
            // render its texts for nothing (a long diary made continuing a game stall).
            if (nE_Object* listed = listPage(elementName(entry))) {
                placePage(listed);
                if (listed->parent != hub) toHub(listed);
            }
    const int saved = element->IntAttribute("pageId", pageCount() - 1);
    pageIndex = pages.empty() ? 0 : std::clamp(saved, 0, pageCount() - 1);
    showPage(page(pageIndex));
    updatePageNumber();
    updateArrows();

    std::string marked;
    if (const tinyxml2::XMLElement* rooms = element->FirstChildElement("maprooms"))
        for (const tinyxml2::XMLElement* entry = rooms->FirstChildElement(); entry;
             entry = entry->NextSiblingElement()) {
            const std::string roomName = elementName(entry);
            const int frame = entry->IntAttribute("state", 0);
            if (frame == 2) {
                marked = roomName;
            } else if (nE_AnimSprite* room = findMapRoom(roomName)) {
                showFrame(room, frame == 1 ? 1 : 0);
            }
        }
    if (!marked.empty()) markMapRoom(marked);

    if (element->IntAttribute("opened", 0) == 1) {
        setState(kOpen);
        bool on = true;
        post<MSG_DIARY_BOOK>(&on);
    }
    lockClose(element->IntAttribute("close_locked", 0) == 1);
}
