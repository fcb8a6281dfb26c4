#include "game/shell/nG_DevInspector.h"

#include <cmath>
#include <cstdio>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_Debug.h"
#include "engine/core/nE_DisplayChoice.h"
#include "engine/core/nE_Geometry.h"
#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Object.h"
#include "engine/core/nE_Scene.h"

namespace {

std::string number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", std::round(value * 100) / 100);
    return text;
}

nE_Object* topmostAt(nE_Object* object, float x, float y) {
    if (!object->active || !object->visible || !object->input) return nullptr;
    if (object->inputChildren)
        for (size_t i = object->children.size(); i-- > 0;)
            if (nE_Object* hit = topmostAt(object->children[i], x, y)) return hit;
    nE_RenderState world = object->worldStateFromTop();
    return object->hitTestPoint(x, y, world) ? object : nullptr;
}

bool contains(const nE_Object* top, const nE_Object* object) {
    if (top == object) return true;
    for (const nE_Object* child : top->children)
        if (contains(child, object)) return true;
    return false;
}

}  // namespace

nG_DevInspector::nG_DevInspector() : panel_(kPanelWidth) {
    panel_.setHeadingColour(0.6f, 0.85f, 1.0f);
}

bool nG_DevInspector::onEvent(const nE_InputEvent& event) {
    if (event.type == nE_InputEvent::kKeyDown || event.type == nE_InputEvent::kKeyUp) {
        const bool down = event.type == nE_InputEvent::kKeyDown;
        if (event.code == kKeyControl) controlDown_ = down;
        if (event.code == kKeyShift) shiftDown_ = down;
        if (!down || !controlDown_ || (event.code != kKeyToggle && event.code != 'I')) return false;
        on = !on;
        if (!on) panel_.shown = false;
        return true;
    }
    pointerX_ = event.x;
    pointerY_ = event.y;
    if (event.type == nE_InputEvent::kPointerMove) {
        if (!dragged_) return false;
        moveDragged();
        return true;
    }
    if (event.type == nE_InputEvent::kButtonUp && dragged_) {
        drop();
        return true;
    }
    if (!shiftDown_) return false;
    if (event.type == nE_InputEvent::kButtonDown) {
        dragged_ = objectAt(event.x, event.y);
        if (dragged_) {
            float x = event.x, y = event.y;
            if (dragged_->parent) {
                nE_RenderState above = dragged_->parent->worldStateFromTop();
                nE_Geometry::toLocal(above.transform(), event.x, event.y, x, y);
            }
            grabX_ = x;
            grabY_ = y;
            startX_ = dragged_->localState().x;
            startY_ = dragged_->localState().y;
        }
    }
    return true;
}

void nG_DevInspector::moveDragged() {
    if (!isLive(dragged_)) {
        dragged_ = nullptr;
        return;
    }
    float x = pointerX_, y = pointerY_;
    if (dragged_->parent) {
        nE_RenderState above = dragged_->parent->worldStateFromTop();
        if (!nE_Geometry::toLocal(above.transform(), pointerX_, pointerY_, x, y)) return;
    }
    const nE_Object::StateEdit state = dragged_->editLocalState();
    state->x = startX_ + x - grabX_;
    state->y = startY_ + y - grabY_;
}

void nG_DevInspector::drop() {
    nE_Object* object = dragged_;
    dragged_ = nullptr;
    if (!isLive(object)) return;
    // Whole units, as an author writes them; the object takes them too, so the line is what is seen.
    {
        const nE_Object::StateEdit state = object->editLocalState();
        state->x = std::round(state->x);
        state->y = std::round(state->y);
    }
    nE_Debug::write(positionLine(*object).c_str());
}

void nG_DevInspector::update() {
    if (!on) return;
    nE_Object* object = objectAt(pointerX_, pointerY_);
    if (!object) {
        panel_.shown = false;
        return;
    }
    const std::string text = describe(*object);
    const size_t newline = text.find('\n');
    panel_.setText(text.substr(0, newline), newline == std::string::npos ? "" : text.substr(newline + 1));
    // Beside the pointer, on the side where the canvas has room.
    const nE_CanvasMapping& mapping = nE_DisplayChoice::canvas();
    float x = mapping.canvasX(pointerX_) + kPointerGap, y = mapping.canvasY(pointerY_) + kPointerGap;
    if (x + panel_.width() > nE_DisplayChoice::kCanvasWidth) x -= panel_.width() + 2 * kPointerGap;
    if (y + panel_.height() > nE_DisplayChoice::kCanvasHeight) y -= panel_.height() + 2 * kPointerGap;
    panel_.placeAt(x < 0 ? 0 : x, y < 0 ? 0 : y);
    panel_.shown = true;
}

void nG_DevInspector::draw(nE_Render* renderer) {
    panel_.draw(renderer);
}

nE_Object* nG_DevInspector::objectAt(float x, float y) {
    if (!nE_Core::exists()) return nullptr;
    nE_Object* root = nE_Core::get()->scene().root();
    nE_Object* hit = root ? topmostAt(root, x, y) : nullptr;
    return hit == root ? nullptr : hit;
}

bool nG_DevInspector::isLive(const nE_Object* object) {
    if (!object || !nE_Core::exists()) return false;
    const nE_Object* root = nE_Core::get()->scene().root();
    return root && contains(root, object);
}

std::string nG_DevInspector::describe(nE_Object& object) {
    const std::string name = object.name.empty() ? "(no name)" : object.name;
    std::string text = name + " (" + object.getTypeName() + ")\n";
    nE_RenderState world = object.worldStateFromTop();
    const pf::TMat4& m = world.transform();
    const nE_CanvasMapping& mapping = nE_DisplayChoice::canvas();
    text += "pos " + number(object.localState().x) + ", " + number(object.localState().y) + "   absolute " +
            number(mapping.canvasX(m.m[12])) + ", " + number(mapping.canvasY(m.m[13]));
    if (!object.resourceName.empty()) text += "\nres " + object.resourceName;
    if (object.sourceFile && !object.sourceFile->empty())
        text += "\nmodule " + *object.sourceFile + ":" + std::to_string(object.sourceLine);
    else
        text += "\nmodule: none (made at run time)";
    bool any = false;
    for (int i = 0; i < nE_Object::kEventCount; ++i) {
        if (object.eventTriggers[i].empty()) continue;
        text += std::string("\n") + nE_Object::eventKey(i) + ": " + object.eventTriggers[i];
        any = true;
    }
    if (!any) text += "\nno event triggers";
    return text;
}

std::string nG_DevInspector::positionLine(const nE_Object& object) {
    const std::string name = object.name.empty() ? "(no name)" : object.name;
    return name + ": pos_x=\"" + number(object.localState().x) + "\" pos_y=\"" +
           number(object.localState().y) + "\"";
}
