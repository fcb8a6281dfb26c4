#include "engine/core/nE_Scene.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include "engine/core/nE_AnimLine.h"
#include "engine/core/nE_Core.h"
#include "engine/core/nE_Debug.h"
#include "engine/core/nE_Geometry.h"
#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Object.h"
#include "engine/media/nE_Cursor.h"
#include "engine/objects/nE_PicturesAhead.h"
#include "engine/script/nE_TriggerHub.h"

namespace {
nE_Object* g_hover = nullptr;
nE_Object* g_dragged = nullptr;
// How far (display pixels, across plus down) a held press must travel to count as a drag, not a click.
constexpr float kDragSlop = 8;
nE_Scene::QueueHook g_queueHook;
std::vector<nE_Object*> g_doomed;
std::vector<const nE_Scene*> g_scenes;

bool isSceneTop(const nE_Object* object) {
    for (const nE_Scene* scene : g_scenes)
        if (object == scene->root() || object == scene->storage()) return true;
    return false;
}
}  // namespace

nE_Scene::nE_Scene() : root_(new nE_Object()), storage_(new nE_Object()) {
    root_->name = "ne_origin";
    root_->loaded = true;
    storage_->name = "ne_storage";
    g_scenes.push_back(this);
}

nE_Scene::~nE_Scene() {
    flushDestroyed();
    g_scenes.erase(std::remove(g_scenes.begin(), g_scenes.end(), this), g_scenes.end());
    root_.reset();
    storage_.reset();
    g_hover = nullptr;
    g_dragged = nullptr;
}

nE_Object* nE_Scene::findObject(const std::string& name) const {
    if (root_->name == name) return root_.get();
    if (nE_Object* found = root_->find(name, true)) return found;
    if (storage_->name == name) return storage_.get();
    return storage_->find(name, true);
}

bool nE_Scene::isLive(const nE_Object* object) const {
    return object == root_.get() || root_->isAncestorOf(object);
}

namespace {
// Whether object is held from above top (top itself or one of its ancestors holds it from outside).
bool heldFromAbove(const nE_Object* object, const nE_Object* top) {
    if (object->pinned) return true;
    if (!object->holder) return false;
    bool aboveTop = object == top;
    for (const nE_Object* p = object->parent; p; p = p->parent) {
        if (p == object->holder) return aboveTop;
        if (p == top) aboveTop = true;
    }
    // A holder that is no ancestor has let the object go.
    return false;
}

const nE_Object* heldBelow(const nE_Object* object, const nE_Object* top) {
    if (heldFromAbove(object, top)) return object;
    for (const nE_Object* child : object->children)
        if (const nE_Object* held = heldBelow(child, top)) return held;
    return nullptr;
}
}  // namespace

const nE_Object* nE_Scene::heldAgainstMove(const nE_Object* object) const {
    if (!object) return nullptr;
    if (object == root_.get() || object == storage_.get()) return object;
    return heldBelow(object, object);
}

bool nE_Scene::scriptMayMove(const nE_Object* object, const char* who) const {
    const nE_Object* held = heldAgainstMove(object);
    if (!held) return true;
    if (held == object)
        nE_Debug::writef("%s: \"%s\" is held by the engine; not moved", who, object->name.c_str());
    else
        nE_Debug::writef("%s: \"%s\" holds \"%s\", which the engine keeps; not moved", who,
                         object->name.c_str(), held->name.c_str());
    return false;
}

void nE_Scene::attach(nE_Object* newParent, nE_Object* object) {
    if (!newParent || !object) return;
    // The two trees' tops belong to the scene; a second owner would delete them twice.
    if (object == root_.get() || object == storage_.get()) return;
    if (!newParent->addChild(object)) return;
    if (isLive(newParent)) {
        nE_PicturesAhead::forTree(object);
        object->activate();
    } else if (newParent == storage_.get() || storage_->isAncestorOf(newParent))
        object->deactivate();
}

std::vector<nE_Object*> nE_Scene::attachAll(nE_Object* newParent, const std::vector<nE_Object*>& objects) {
    if (!newParent) return objects;
    std::vector<nE_Object*> movable, refused;
    movable.reserve(objects.size());
    for (nE_Object* object : objects) {
        // The two trees' tops belong to the scene; a second owner would delete them twice.
        if (!object || object == root_.get() || object == storage_.get())
            refused.push_back(object);
        else
            movable.push_back(object);
    }
    const std::vector<nE_Object*> notTaken = newParent->addChildren(movable);
    const std::set<nE_Object*> skip(notTaken.begin(), notTaken.end());
    const bool live = isLive(newParent);
    const bool parked = !live && (newParent == storage_.get() || storage_->isAncestorOf(newParent));
    if (live)
        for (nE_Object* object : movable)
            if (!skip.count(object)) nE_PicturesAhead::forTree(object);
    for (nE_Object* object : movable) {
        if (skip.count(object)) continue;
        if (live)
            object->activate();
        else if (parked)
            object->deactivate();
    }
    refused.insert(refused.end(), notTaken.begin(), notTaken.end());
    return refused;
}

void nE_Scene::park(nE_Object* object) {
    attach(storage_.get(), object);
}

void nE_Scene::dispatch(const nE_InputEvent& event) {
    dispatchWalk(event);
    flushDestroyed();
}

void nE_Scene::dispatchWalk(const nE_InputEvent& event) {
    nE_Object* hit = root_->hitTest(event, nullptr);
    switch (event.type) {
        case nE_InputEvent::kButtonDown:
            if (!g_dragged) {
                if (hit && hit->drag) {
                    startDrag(hit);
                    heldDrag = true;
                    heldMoved = false;
                    pressX = event.x;
                    pressY = event.y;
                }
            } else {
                drop();
            }
            break;
        case nE_InputEvent::kButtonUp:
            if (g_dragged && !dropPending && (g_dragged->realDrag || (heldDrag && heldMoved))) drop();
            heldDrag = false;
            break;
        case nE_InputEvent::kPointerMove: {
            if (heldDrag && std::fabs(event.x - pressX) + std::fabs(event.y - pressY) > kDragSlop)
                heldMoved = true;
            if (g_dragged && !dropPending) {
                g_dragged->setDragPosition(pf::TVec2{event.x, event.y});
                g_dragged->queueEvent(nE_Object::kEventDrag);
            }
            if (hit == g_hover) break;
            const bool dragging = g_dragged != nullptr;
            if (g_hover) g_hover->queueEvent(dragging ? nE_Object::kEventLeaveDrag : nE_Object::kEventLeave);
            g_hover = hit;
            if (hit) hit->queueEvent(dragging ? nE_Object::kEventEnterDrag : nE_Object::kEventEnter);
            break;
        }
        default:
            break;
    }
}

void nE_Scene::update(float dt) {
    if (dropPending) {
        dropPending = false;
        if (g_dragged) {
            if (keepDragging) {
                keepDragging = false;
            } else {
                g_dragged = nullptr;
                if (g_hover) g_hover->queueEvent(nE_Object::kEventEnter);
            }
        }
    }
    root_->updateWalk(dt);
    flushDestroyed();
}

void nE_Scene::draw(nE_Render* renderer) {
    root_->drawWalk(renderer, nullptr);
    flushDestroyed();
}

void nE_Scene::destroyLater(nE_Object* object) {
    if (!object || isSceneTop(object)) return;
    if (std::find(g_doomed.begin(), g_doomed.end(), object) != g_doomed.end()) return;
    if (object->parent) object->parent->removeChild(object, false);
    object->deactivate();
    g_doomed.push_back(object);
}

void nE_Scene::flushDestroyed() {
    // Destructors may ask for more (a widget taking its helpers with it): keep going until none is left.
    while (!g_doomed.empty() && !nE_Object::walkInProgress()) {
        std::vector<nE_Object*> doomed;
        doomed.swap(g_doomed);
        for (nE_Object* object : doomed) delete object;
    }
}

size_t nE_Scene::pendingDestroyCount() {
    return g_doomed.size();
}

void nE_Scene::startDrag(nE_Object* object) {
    if (!object) return;
    if (object == g_hover) {
        object->queueEvent(nE_Object::kEventLeave);
        g_hover = nullptr;
    }
    const nE_Cursor* cursor = nE_Cursor::current();
    object->setDragPosition(cursor ? pf::TVec2{cursor->x, cursor->y} : pf::TVec2{0, 0});
    g_dragged = object;
}

void nE_Scene::drop() {
    if (!g_dragged) return;
    g_dragged->queueEvent(nE_Object::kEventDrop);
    dropPending = true;
}

void nE_Scene::addAnimLine(nE_Object* object, int type, bool relative, bool looped,
                           const std::string& endTrigger, const float* numbers, int count) {
    if (!object) return;
    auto line = std::make_unique<nE_AnimLine>(nE_AnimLine::valuesForType(type), numbers, count, looped,
                                              endTrigger, object->name);
    object->removeAnimLine(type);
    object->appendAnimLine(type, relative, std::move(line));
}

void nE_Scene::removeAnimLine(nE_Object* object, int type) {
    if (object) object->removeAnimLine(type);
}

bool nE_Scene::intersect(nE_Object* a, nE_Object* b) {
    if (!a || !b) return false;
    nE_RenderState wa = a->worldStateFromTop();
    nE_RenderState wb = b->worldStateFromTop();
    pf::TVec2 corners[4];
    nE_Geometry::corners(a->inputRect, wa.transform(), corners);
    for (const pf::TVec2& c : corners)
        if (nE_Geometry::pointInQuad(c.x, c.y, b->inputRect, wb.transform())) return true;
    nE_Geometry::corners(b->inputRect, wb.transform(), corners);
    for (const pf::TVec2& c : corners)
        if (nE_Geometry::pointInQuad(c.x, c.y, a->inputRect, wa.transform())) return true;
    return false;
}

nE_Object* nE_Scene::hover() {
    return g_hover;
}
void nE_Scene::setHover(nE_Object* object) {
    g_hover = object;
}
nE_Object* nE_Scene::dragged() {
    return g_dragged;
}
void nE_Scene::setDragged(nE_Object* object) {
    g_dragged = object;
}

void nE_Scene::queueTrigger(const std::string& sender, const std::string& call) {
    if (call.empty()) return;
    if (g_queueHook) {
        g_queueHook(sender, call);
        return;
    }
    // Never create the core from here: objects also die after it is gone (or in tests, without it).
    if (nE_Core::exists()) {
        if (nE_TriggerHub* hub = nE_Core::get()->triggerHubIfAlive()) hub->queueCall(sender, call);
    }
}

void nE_Scene::queueAuthoredTrigger(const std::string& sender, const std::string& call, const nE_Object* by,
                                    const char* key) {
    if (call.empty()) return;
    if (g_queueHook || !nE_Core::exists()) {
        queueTrigger(sender, call);
        return;
    }
    nE_TriggerHub* hub = nE_Core::get()->triggerHubIfAlive();
    if (!hub) return;
    if (hub->queueCall(sender, call)) return;
    if (!by) by = nE_Core::get()->scene().findObject(sender);
    const std::string what = *key ? std::string(" ") + key : std::string();
    if (by)
        hub->reportRefused(call, by->describe() + what, by->sourceFileName(), by->sourceLine);
    else
        hub->reportRefused(call, "object \"" + sender + "\"" + what, "", 0);
}

void nE_Scene::setQueueHook(QueueHook hook) {
    g_queueHook = std::move(hook);
}
