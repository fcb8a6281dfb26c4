#include "engine/core/nE_Object.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/core/nE_AnimLine.h"
#include "engine/core/nE_Colour.h"
#include "engine/core/nE_Easing.h"
#include "engine/core/nE_Geometry.h"
#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_ResourceRequester.h"
#include "engine/core/nE_Scene.h"
#include "engine/script/nE_SLHelper.h"

namespace {

// The objects the walks in progress are visiting and are about to visit. Each walk level appends its
// own entries and cuts them off when it returns; an object destroyed meanwhile clears its entries, so
// a walk skips it instead of reaching it through a dangling pointer.
std::vector<nE_Object*> g_walk;

// Counts outermost update walks, so that an object moved further along the tree during a walk is not
// updated twice in it.
unsigned g_updateWalk = 0;

// Set when an object took the event of the current hit test and went in its handler: the event is
// spent, nobody below may take it as well.
bool g_tookAndWent = false;

// The render state's fields before its matrix: everything a world state is computed from.
constexpr size_t kStateFields = offsetof(nE_RenderState, matrix);

// Names the contents of world states: each new content takes the next number, so that a child can
// tell that the state it was placed under is still the one it is handed.
uint64_t g_worldStamps = 0;

// Bit for bit, without a branch per word (the library's memcmp is a call and costs more here).
template <size_t Bytes>
bool sameBits(const void* a, const void* b) {
    uint32_t wa[Bytes / 4], wb[Bytes / 4];
    std::memcpy(wa, a, sizeof wa);
    std::memcpy(wb, b, sizeof wb);
    uint32_t differ = 0;
    for (size_t i = 0; i < Bytes / 4; ++i) differ |= wa[i] ^ wb[i];
    return differ == 0;
}

bool sameFields(const nE_RenderState& a, const nE_RenderState& b) {
    return sameBits<kStateFields>(&a, &b);
}

}  // namespace

nE_Object::nE_Object() = default;

bool nE_Object::walkInProgress() {
    return !g_walk.empty();
}

nE_Object::~nE_Object() {
    if (!g_walk.empty()) std::replace(g_walk.begin(), g_walk.end(), this, static_cast<nE_Object*>(nullptr));
    deactivate();
    if (nE_Scene::hover() == this) {
        queueEvent(kEventLeave);
        nE_Scene::setHover(nullptr);
    }
    if (nE_Scene::dragged() == this) nE_Scene::setDragged(nullptr);
    animLines.clear();
    // The children are unlinked first so that each does not search this list on its way out.
    std::vector<nE_Object*> doomed;
    doomed.swap(children);
    for (nE_Object* child : doomed) {
        child->parent = nullptr;
        delete child;
    }
    if (parent) parent->removeChild(this, false);
}

std::string nE_Object::describe() const {
    std::string text = "object \"" + name + "\"";
    std::string module = sourceFileName();
    if (module.size() > 4 && module.compare(module.size() - 4, 4, ".xml") == 0)
        module.erase(module.size() - 4);
    if (!module.empty()) text += " (module " + module + ")";
    return text;
}

std::string nE_Object::getResourceName() const {
    return resourceName;
}

void nE_Object::setResourceName(const std::string& newName) {
    if (newName == resourceName) return;
    resourceName = newName;
    if (loaded) {
        unloadResources();
        nE_ResourceRequester::Scope asking(describe(), sourceFileName(), sourceLine);
        loadResources();
    }
}

std::shared_ptr<nE_Resource> nE_Object::getResource() {
    return nullptr;
}

namespace {

const char* const kEventKeys[nE_Object::kEventCount] = {
    "event_mdown",       "event_mup",         "event_menter",   "event_mleave",
    "event_menter_drag", "event_mleave_drag", "event_dragdrop", "event_drag"};

// Largest number of "data" children read for one line; a description claiming more is cut there.
const long long kMaxLineNumbers = 1 << 20;

}  // namespace

const char* nE_Object::eventKey(int index) {
    return index >= 0 && index < kEventCount ? kEventKeys[index] : "";
}

void nE_Object::loadProperties(nE_SLHelper& helper) {
    // Open to the end: attachtype is read into the field itself.
    const StateEdit local = editLocalState();
    helper.readString("name", name);
    helper.readFloat("pos_x", local->x);
    helper.readFloat("pos_y", local->y);
    helper.readFloat("pos_z", local->z);
    helper.readFloat("ang", local->angle);
    helper.readFloat("scale_x", local->scaleX);
    helper.readFloat("scale_y", local->scaleY);
    helper.readFloat("alp", local->alpha);
    helper.readFloat("color_r", local->red);
    helper.readFloat("color_g", local->green);
    helper.readFloat("color_b", local->blue);
    helper.readInt("blendmode", local->blendMode);
    helper.readInt("attachtype", attachType_);
    helper.readBool("active", active);
    helper.readBool("input", input);
    helper.readBool("visible", visible);
    helper.readBool("drag", drag);
    helper.readBool("realdrag", realDrag);
    helper.readBool("inputrect_init", inputRectSet);
    if (inputRectSet) {
        helper.readFloat("inputrect_x", inputRect.x);
        helper.readFloat("inputrect_y", inputRect.y);
        helper.readFloat("inputrect_w", inputRect.w);
        helper.readFloat("inputrect_h", inputRect.h);
    }
    helper.readBool("croprect_init", cropRectSet);
    if (cropRectSet) {
        helper.readFloat("croprect_x", cropRect.x);
        helper.readFloat("croprect_y", cropRect.y);
        helper.readFloat("croprect_w", cropRect.w);
        helper.readFloat("croprect_h", cropRect.h);
    }
    helper.readFloat("drawoff_x", local->drawOffsetX);
    helper.readFloat("drawoff_y", local->drawOffsetY);
    helper.readFloat("tiling_x", local->tilingX);
    helper.readFloat("tiling_y", local->tilingY);
    for (int i = 0; i < kEventCount; ++i) helper.readString(kEventKeys[i], eventTriggers[i]);

    if (!helper.enterChild("animlines", 0)) return;
    for (int i = 0; helper.enterChild("line", i); ++i) {
        int type = 0, numPoints = 0;
        bool relative = false, looped = false;
        std::string endTrigger;
        float curTime = 0;
        helper.readInt("type", type);
        helper.readBool("relative", relative);
        helper.readBool("looped", looped);
        helper.readString("endtrig", endTrigger);
        helper.readInt("numpoints", numPoints);
        helper.readFloat("curtime", curTime);
        const int valuesPerKey = nE_AnimLine::valuesForType(type);
        const long long wanted =
            std::min(static_cast<long long>(numPoints) * (valuesPerKey + 1), kMaxLineNumbers);
        // Missing "data" children end the list: the line gets the keys that are really there.
        std::vector<float> numbers;
        for (long long j = 0; j < wanted && helper.enterChild("data", static_cast<int>(j)); ++j) {
            float value = 0;
            helper.readFloat("val", value);
            numbers.push_back(value);
            helper.leaveChild();
        }
        helper.leaveChild();
        auto line = std::make_unique<nE_AnimLine>(valuesPerKey, numbers.data(),
                                                  static_cast<int>(numbers.size()), looped, endTrigger, name);
        line->currentTime = curTime;
        appendAnimLine(type, relative, std::move(line));
    }
    helper.leaveChild();
}

void nE_Object::saveProperties(nE_SLHelper& helper) {
    helper.writeString("name", name);
    helper.writeFloat("pos_x", localState_.x, 0.0f);
    helper.writeFloat("pos_y", localState_.y, 0.0f);
    helper.writeFloat("pos_z", localState_.z, 0.0f);
    helper.writeFloat("ang", localState_.angle, 0.0f);
    helper.writeFloat("scale_x", localState_.scaleX, 1.0f);
    helper.writeFloat("scale_y", localState_.scaleY, 1.0f);
    helper.writeFloat("alp", localState_.alpha, 1.0f);
    helper.writeFloat("color_r", localState_.red, 1.0f);
    helper.writeFloat("color_g", localState_.green, 1.0f);
    helper.writeFloat("color_b", localState_.blue, 1.0f);
    helper.writeInt("blendmode", localState_.blendMode, 0);
    helper.writeInt("attachtype", attachType_, 0);
    helper.writeBool("active", active, true);
    helper.writeBool("input", input, true);
    helper.writeBool("visible", visible, true);
    helper.writeBool("drag", drag, false);
    helper.writeBool("realdrag", realDrag, false);
    helper.writeBool("inputrect_init", inputRectSet, false);
    if (inputRectSet) {
        helper.writeFloat("inputrect_x", inputRect.x);
        helper.writeFloat("inputrect_y", inputRect.y);
        helper.writeFloat("inputrect_w", inputRect.w);
        helper.writeFloat("inputrect_h", inputRect.h);
    }
    helper.writeBool("croprect_init", cropRectSet, false);
    if (cropRectSet) {
        helper.writeFloat("croprect_x", cropRect.x);
        helper.writeFloat("croprect_y", cropRect.y);
        helper.writeFloat("croprect_w", cropRect.w);
        helper.writeFloat("croprect_h", cropRect.h);
    }
    helper.writeFloat("drawoff_x", localState_.drawOffsetX, 0.0f);
    helper.writeFloat("drawoff_y", localState_.drawOffsetY, 0.0f);
    helper.writeFloat("tiling_x", localState_.tilingX, 1.0f);
    helper.writeFloat("tiling_y", localState_.tilingY, 1.0f);
    for (int i = 0; i < kEventCount; ++i) helper.writeString(kEventKeys[i], eventTriggers[i], std::string());

    if (animLines.empty()) return;
    helper.beginChild("animlines");
    for (const AnimSlot& slot : animLines) {
        const nE_AnimLine& line = *slot.line;
        helper.beginChild("line");
        helper.writeInt("type", slot.type);
        helper.writeBool("looped", line.looped);
        helper.writeBool("relative", slot.relative);
        helper.writeString("endtrig", line.endTrigger);
        helper.writeInt("numpoints", line.keyCount);
        helper.writeFloat("curtime", line.currentTime);
        for (const nE_AnimLine::Key& key : line.keys) {
            helper.beginChild("data");
            helper.writeFloat("val", key.time);
            helper.endChild();
            for (int v = 0; v < line.valuesPerKey && v < 3; ++v) {
                helper.beginChild("data");
                helper.writeFloat("val", key.value[v]);
                helper.endChild();
            }
        }
        helper.endChild();
    }
    helper.endChild();
}

std::string nE_Object::getTypeName() const {
    return "obj";
}

nE_Rect nE_Object::getLocalRect() {
    return nE_Rect{};
}

bool nE_Object::hitTestPoint(float x, float y, nE_RenderState& world) {
    return nE_Geometry::pointInQuad(x, y, inputRect, world.transform());
}

void nE_Object::restoreDeviceResources(bool recursive) {
    if (!recursive) return;
    for (size_t i = 0; i < children.size(); ++i) children[i]->restoreDeviceResources(true);
}

void nE_Object::findText(tinyxml2::XMLElement* node, const std::string& text, bool recursive) {
    if (!node) return;
    // An unnamed object would give an element without a name; its type stands in.
    const std::string tag = name.empty() ? getTypeName() : name;
    auto report = [&](const char* place) {
        tinyxml2::XMLElement* found = node->GetDocument()->NewElement(tag.c_str());
        found->SetAttribute("place", place);
        node->InsertEndChild(found);
    };
    if (name.find(text) != std::string::npos) report("name");
    for (const std::string& trigger : eventTriggers)
        if (trigger.find(text) != std::string::npos) report("event");
    if (resourceName.find(text) != std::string::npos) report("res");
    if (!recursive) return;
    for (size_t i = 0; i < children.size(); ++i) children[i]->findText(node, text, true);
}

void nE_Object::resetState() {
    active = input = visible = updateChildren = inputChildren = drawChildren = true;
    drag = realDrag = inputRectSet = cropRectSet = loaded = false;
    setAttachType(0);
    // Leave the parent properly so that it keeps no link to an object that no longer names it.
    if (parent) parent->removeChild(this, false);
}

void nE_Object::loadResources() {}

void nE_Object::unloadResources() {}

void nE_Object::update(float dt) {
    static const nE_RenderState kNoOffsets;
    if (animLines.empty()) {
        // Most objects have no lines: their clear offsets are not written again every frame.
        if (!sameFields(animState_, kNoOffsets)) *editAnimState() = kNoOffsets;
        return;
    }
    *editAnimState() = kNoOffsets;
    for (size_t i = 0; i < animLines.size(); ++i) {
        float value[3];
        if (animLines[i].line->evaluate(dt, value))
            applyAnimValues(animLines[i].type, animLines[i].relative, value);
    }
    animLines.erase(std::remove_if(animLines.begin(), animLines.end(),
                                   [](const AnimSlot& slot) { return slot.line->finished; }),
                    animLines.end());
}

bool nE_Object::handleInput(const nE_InputEvent& event, nE_RenderState& world) {
    if (event.type == nE_InputEvent::kKeyDown || event.type == nE_InputEvent::kKeyUp) return false;
    if (!hitTestPoint(event.x, event.y, world)) return false;
    nE_Object* dragged = nE_Scene::dragged();
    if (dragged == this) return false;
    // Whatever lies under a dragged object takes the pointer quietly.
    if (dragged) return true;
    if (event.type == nE_InputEvent::kButtonDown)
        queueEvent(kEventMouseDown);
    else if (event.type == nE_InputEvent::kButtonUp)
        queueEvent(kEventMouseUp);
    return true;
}

void nE_Object::drawSelf(nE_Render*, nE_RenderState&) {}

void nE_Object::childWasHit(nE_Object*, const nE_InputEvent&) {}

void nE_Object::inputWentElsewhere(nE_Object* hit, const nE_InputEvent& event) {
    if (!input || !inputChildren || children.empty()) return;
    const size_t self = g_walk.size();
    g_walk.push_back(this);
    g_walk.insert(g_walk.end(), children.begin(), children.end());
    for (size_t i = g_walk.size(); i-- > self + 1 && g_walk[self];) {
        nE_Object* child = g_walk[i];
        if (child && child->parent == this) child->inputWentElsewhere(hit, event);
    }
    g_walk.resize(self);
}

// --- tree ---

bool nE_Object::acceptsChild(nE_Object* child) {
    if (!child || child == this || child->isAncestorOf(this)) return false;
    // An unnamed parent has no name to look for; the link check above already rules out cycles.
    return name.empty() || !child->find(name, true);
}

bool nE_Object::addChild(nE_Object* child) {
    if (!acceptsChild(child)) return false;
    if (child->parent) child->parent->removeChild(child, false);
    child->parent = this;
    // A hold ends where the object leaves its holder (compared by address only: the holder may be gone).
    if (child->holder) {
        const nE_Object* p = this;
        while (p && p != child->holder) p = p->parent;
        if (!p) child->holder = nullptr;
    }
    auto byZ = [](const nE_Object* a, const nE_Object* b) { return a->localState_.z < b->localState_.z; };
    if (std::is_sorted(children.begin(), children.end(), byZ)) {
        // Same place an append and a stable sort would give: after every sibling of equal or lower z.
        children.insert(std::upper_bound(children.begin(), children.end(), child, byZ), child);
    } else {
        children.push_back(child);
        sortChildren();
    }
    return true;
}

std::vector<nE_Object*> nE_Object::addChildren(const std::vector<nE_Object*>& batch) {
    std::vector<nE_Object*> refused;
    bool added = false;
    for (nE_Object* child : batch) {
        if (!acceptsChild(child)) {
            refused.push_back(child);
            continue;
        }
        if (child->parent) child->parent->removeChild(child, false);
        child->parent = this;
        children.push_back(child);
        added = true;
    }
    // One stable sort of the appended list orders it as a stable sort after every append would.
    if (added) sortChildren();
    return refused;
}

nE_Object* nE_Object::removeChild(nE_Object* child, bool recursive) {
    if (!child) return nullptr;
    auto found = std::find(children.begin(), children.end(), child);
    if (found != children.end()) {
        children.erase(found);
        child->parent = nullptr;
        return child;
    }
    if (!recursive) return nullptr;
    for (nE_Object* c : children)
        if (nE_Object* removed = c->removeChild(child, true)) return removed;
    return nullptr;
}

bool nE_Object::addPart(nE_Object* child) {
    if (!addChild(child)) return false;
    child->holder = this;
    return true;
}

void nE_Object::removeAllChildren() {
    std::vector<nE_Object*> doomed;
    doomed.swap(children);
    for (nE_Object* child : doomed) {
        child->parent = nullptr;
        delete child;
    }
}

nE_Object* nE_Object::find(const std::string& wanted, bool recursive) {
    for (nE_Object* child : children)
        if (child->name == wanted) return child;
    if (!recursive) return nullptr;
    for (nE_Object* child : children)
        if (nE_Object* found = child->find(wanted, true)) return found;
    return nullptr;
}

bool nE_Object::isAncestorOf(const nE_Object* object) const {
    for (const nE_Object* p = object ? object->parent : nullptr; p; p = p->parent)
        if (p == this) return true;
    return false;
}

void nE_Object::activate() {
    if (loaded) return;
    for (size_t i = 0; i < children.size(); ++i) children[i]->activate();
    nE_ResourceRequester::Scope asking(describe(), sourceFileName(), sourceLine);
    loadResources();
    loaded = true;
}

void nE_Object::deactivate() {
    if (!loaded) return;
    unloadResources();
    for (size_t i = 0; i < children.size(); ++i) children[i]->deactivate();
    loaded = false;
}

void nE_Object::sortChildren() {
    auto byZ = [](const nE_Object* a, const nE_Object* b) { return a->localState_.z < b->localState_.z; };
    // Sorted lists (the usual case) are left alone; stable_sort would allocate every frame.
    if (!std::is_sorted(children.begin(), children.end(), byZ))
        std::stable_sort(children.begin(), children.end(), byZ);
}

// --- render state ---

nE_RenderState nE_Object::combinedState(int reduction) const {
    nE_RenderState s = localState_;
    const nE_RenderState& a = animState_;
    s.x += a.x;
    s.y += a.y;
    s.z += a.z;
    s.angle += a.angle;
    s.drawOffsetX += a.drawOffsetX;
    s.drawOffsetY += a.drawOffsetY;
    s.drawOffsetZ += a.drawOffsetZ;
    s.scaleX *= a.scaleX;
    s.scaleY *= a.scaleY;
    s.alpha *= a.alpha;
    s.red *= a.red;
    s.green *= a.green;
    s.blue *= a.blue;
    s.tilingX *= a.tilingX;
    s.tilingY *= a.tilingY;
    if (reduction >= 1) s.angle = 0;
    if (reduction >= 2) s.scaleX = s.scaleY = 1;
    if (reduction >= 3) s.x = s.y = 0;
    s.computeMatrix();
    return s;
}

namespace {

// own · parent for an own matrix as computeMatrix makes it (a turn, scales and a shift in the plane):
// the full product's terms with own's zeros left out.
pf::TMat4 placeUnder(const pf::TMat4& own, const pf::TMat4& parent) {
    const float* a = own.m;
    const float* p = parent.m;
    pf::TMat4 r;
    for (int col = 0; col < 4; ++col) {
        r.m[col] = a[0] * p[col] + a[1] * p[4 + col];
        r.m[4 + col] = a[4] * p[col] + a[5] * p[4 + col];
        r.m[8 + col] = p[8 + col];
        r.m[12 + col] = a[12] * p[col] + a[13] * p[4 + col] + p[12 + col];
    }
    return r;
}

}  // namespace

nE_RenderState nE_Object::worldState(const nE_RenderState* parentState, int reduction) {
    uint64_t stamp = 0;
    return stampedWorldState(parentState, 0, reduction, stamp);
}

nE_RenderState nE_Object::stampedWorldState(const nE_RenderState* parentState, uint64_t parentStamp,
                                            int reduction, uint64_t& stamp) {
    const bool attached = parentState && attachType_ >= 1 && attachType_ <= 3 && parent;
    // A tree's top (the root, which may hold the canvas mapping) is its own placement: its
    // grandchildren with an attach type build on it.
    const bool remembered = parentState || (!parent && reduction == 0);
    stamp = 0;
    // Only the plain case is kept: an attach type reads the grandparent's state and a drag the pointer.
    const bool keepable = remembered && reduction == 0 && !attached && (!parentState || parentStamp != 0) &&
                          (!parentState || parentState->matrixValid) && nE_Scene::dragged() != this;
    if (keepable && worldKept_ && keptUnderParent_ == (parentState != nullptr) &&
        (!parentState || keptParentStamp_ == parentStamp)) {
        stamp = worldStamp_;
        return lastWorldState_;
    }

    nE_RenderState s = combinedState(reduction);
    pf::TMat4 m = s.matrix;
    if (parentState) {
        s.alpha *= parentState->alpha;
        s.red *= parentState->red;
        s.green *= parentState->green;
        s.blue *= parentState->blue;
        if (attached) {
            // Keep the grandparent's placement but only the parts of the parent's own state that the
            // attach type does not drop.
            nE_RenderState grand = parent->parent ? parent->parent->lastWorldState_ : nE_RenderState();
            const pf::TMat4 p = parent->combinedState(attachType_).matrix;
            m = m * p * grand.transform();
        } else if (parentState->matrixValid) {
            m = placeUnder(m, parentState->matrix);
        } else {
            nE_RenderState ps = *parentState;
            m = m * ps.transform();
        }
    }
    if (reduction != 3 && nE_Scene::dragged() == this) {
        m.m[12] = dragPosition_.x;
        m.m[13] = dragPosition_.y;
    }
    s.matrix = m;
    s.matrixValid = true;
    if (remembered) {
        rememberWorldState(s);
        stamp = worldStamp_;
        worldKept_ = keepable && openEdits_ == 0;
        keptUnderParent_ = parentState != nullptr;
        keptParentStamp_ = parentStamp;
    }
    return s;
}

void nE_Object::rememberWorldState(const nE_RenderState& s) {
    const nE_RenderState& old = lastWorldState_;
    const float colour[4] = {s.alpha, s.red, s.green, s.blue};
    const float oldColour[4] = {old.alpha, old.red, old.green, old.blue};
    // Children kept under the old stamp stay valid while what they build on is the same to the bit.
    const bool same = worldStamp_ != 0 && old.matrixValid == s.matrixValid &&
                      sameBits<sizeof colour>(colour, oldColour) &&
                      sameBits<sizeof s.matrix.m>(s.matrix.m, old.matrix.m);
    lastWorldState_ = s;
    if (!same) worldStamp_ = ++g_worldStamps;
}

nE_RenderState nE_Object::worldStateFromTop() {
    uint64_t stamp = 0;
    return stampedWorldStateFromTop(stamp);
}

nE_RenderState nE_Object::stampedWorldStateFromTop(uint64_t& stamp) {
    if (!parent) return stampedWorldState(nullptr, 0, 0, stamp);
    uint64_t aboveStamp = 0;
    const nE_RenderState above = parent->stampedWorldStateFromTop(aboveStamp);
    return stampedWorldState(&above, aboveStamp, 0, stamp);
}

// --- walks ---

void nE_Object::updateWalk(float dt) {
    if (g_walk.empty()) ++g_updateWalk;
    sortChildren();
    if (!active || updatedInWalk_ == g_updateWalk) return;
    updatedInWalk_ = g_updateWalk;
    const size_t self = g_walk.size();
    g_walk.push_back(this);
    nE_Object* const placedUnder = parent;
    update(dt);
    // An object that left its place in its own update takes its subtree out of this walk too.
    if (g_walk[self] && parent == placedUnder && updateChildren) {
        g_walk.insert(g_walk.end(), children.begin(), children.end());
        const size_t end = g_walk.size();
        for (size_t i = self + 1; i < end && g_walk[self]; ++i) {
            // Skipped when destroyed or moved elsewhere by a handler earlier in this walk.
            nE_Object* child = g_walk[i];
            if (child && child->parent == this) child->updateWalk(dt);
        }
    }
    g_walk.resize(self);
}

void nE_Object::drawWalk(nE_Render* renderer, const nE_RenderState* parentState) {
    drawWalkUnder(renderer, parentState, 0);
}

void nE_Object::drawWalkUnder(nE_Render* renderer, const nE_RenderState* parentState, uint64_t parentStamp) {
    if (!visible) return;
    uint64_t stamp = 0;
    nE_RenderState world = stampedWorldState(parentState, parentStamp, 0, stamp);
    bool clipped = false;
    if (cropRectSet && renderer) {
        const float* m = world.matrix.m;
        const pf::TVec2 corner = world.matrix.Apply(cropRect.x, cropRect.y);
        const float rowX = std::sqrt(m[0] * m[0] + m[1] * m[1] + m[2] * m[2]);
        const float rowY = std::sqrt(m[4] * m[4] + m[5] * m[5] + m[6] * m[6]);
        clipped = renderer->pushClip(nE_Rect{corner.x, corner.y, cropRect.w * rowX, cropRect.h * rowY});
    }
    const size_t self = g_walk.size();
    g_walk.push_back(this);
    nE_Object* const placedUnder = parent;
    drawSelf(renderer, world);
    if (g_walk[self] && parent == placedUnder && drawChildren) {
        g_walk.insert(g_walk.end(), children.begin(), children.end());
        const size_t end = g_walk.size();
        for (size_t i = self + 1; i < end && g_walk[self]; ++i) {
            nE_Object* child = g_walk[i];
            if (child && child->parent == this) child->drawWalkUnder(renderer, &world, stamp);
        }
    }
    g_walk.resize(self);
    if (clipped) renderer->popClip();
}

nE_Object* nE_Object::hitTest(const nE_InputEvent& event, const nE_RenderState* parentState) {
    return hitTestUnder(event, parentState, 0);
}

nE_Object* nE_Object::hitTestUnder(const nE_InputEvent& event, const nE_RenderState* parentState,
                                   uint64_t parentStamp) {
    if (!input) return nullptr;
    if (g_walk.empty()) g_tookAndWent = false;
    uint64_t stamp = 0;
    nE_RenderState world = stampedWorldState(parentState, parentStamp, 0, stamp);
    const size_t self = g_walk.size();
    g_walk.push_back(this);
    if (inputChildren && !children.empty()) {
        // The children as they were when the walk began (a handler may change the list under it), then
        // one slot for the object that took the event, which may itself go while the others are told.
        g_walk.insert(g_walk.end(), children.begin(), children.end());
        const size_t takenSlot = g_walk.size();
        g_walk.push_back(nullptr);
        bool taken = false;
        for (size_t i = takenSlot; i-- > self + 1 && g_walk[self];) {
            nE_Object* child = g_walk[i];
            if (!child || child->parent != this) continue;
            if (!taken) {
                g_walk[takenSlot] = child->hitTestUnder(event, &world, stamp);
                taken = g_walk[takenSlot] != nullptr || g_tookAndWent;
            } else {
                child->inputWentElsewhere(g_walk[takenSlot], event);
            }
        }
        if (taken) {
            if (g_walk[self] && g_walk[takenSlot]) childWasHit(g_walk[takenSlot], event);
            nE_Object* result = g_walk[takenSlot];
            if (!result) g_tookAndWent = true;
            g_walk.resize(self);
            return result;
        }
    }
    const bool takes = g_walk[self] && handleInput(event, world);
    // The object may have gone in its own handler; the event is spent all the same.
    nE_Object* result = takes && g_walk[self] ? this : nullptr;
    if (takes && !result) g_tookAndWent = true;
    g_walk.resize(self);
    return result;
}

// --- animation lines ---

void nE_Object::appendAnimLine(int type, bool relative, std::unique_ptr<nE_AnimLine> line) {
    if (!line) return;
    AnimSlot slot;
    slot.type = type;
    slot.relative = relative;
    slot.line = std::move(line);
    animLines.push_back(std::move(slot));
}

bool nE_Object::removeAnimLine(int type) {
    for (auto it = animLines.begin(); it != animLines.end(); ++it) {
        if (it->type == type) {
            animLines.erase(it);
            return true;
        }
    }
    return false;
}

void nE_Object::applyAnimValues(int type, bool relative, const float v[3]) {
    // clang-format off
    if (relative) {
        const StateEdit a = editAnimState();
        switch (type) {
            case 0: a->x += v[0]; break;
            case 1: a->y += v[0]; break;
            case 2: a->z += v[0]; break;
            case 3: a->x += v[0], a->y += v[1]; break;
            case 4: a->scaleX *= v[0]; break;
            case 5: a->scaleY *= v[0]; break;
            case 6: a->scaleX *= v[0], a->scaleY *= v[1]; break;
            case 7: a->angle += v[0]; break;
            case 8: a->alpha *= v[0]; break;
            case 9: a->red *= v[0]; break;
            case 10: a->green *= v[0]; break;
            case 11: a->blue *= v[0]; break;
            case 12: a->red *= v[0], a->green *= v[1], a->blue *= v[2]; break;
            case 13: a->tilingX *= v[0]; break;
            case 14: a->tilingY *= v[0]; break;
            default: break;
        }
        return;
    }
    const StateEdit s = editLocalState();
    switch (type) {
        case 0: s->x = v[0]; break;
        case 1: s->y = v[0]; break;
        case 2: s->z = v[0]; break;
        case 3: s->x = v[0], s->y = v[1]; break;
        case 4: s->scaleX = v[0]; break;
        case 5: s->scaleY = v[0]; break;
        case 6: s->scaleX = v[0], s->scaleY = v[1]; break;
        case 7: s->angle = v[0]; break;
        case 8: s->alpha = nE_Easing::clamp01(v[0]); break;
        case 9: s->red = nE_Easing::clamp01(v[0]); break;
        case 10: s->green = nE_Easing::clamp01(v[0]); break;
        case 11: s->blue = nE_Easing::clamp01(v[0]); break;
        case 12:
            s->red = nE_Easing::clamp01(v[0]), s->green = nE_Easing::clamp01(v[1]), s->blue = nE_Easing::clamp01(v[2]);
            break;
        case 13: s->tilingX = v[0]; break;
        case 14: s->tilingY = v[0]; break;
        default: break;
    }
    // clang-format on
}

void nE_Object::setAttachType(int type) {
    attachType_ = type;
    worldKept_ = false;
}

void nE_Object::setDragPosition(const pf::TVec2& at) {
    dragPosition_ = at;
    worldKept_ = false;
}

void nE_Object::queueEvent(int index) const {
    if (index < 0 || index >= kEventCount) return;
    nE_Scene::queueAuthoredTrigger(name, eventTriggers[index], this, kEventKeys[index]);
}
