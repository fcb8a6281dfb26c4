#include "game/interface/nG_HoDialog.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cstdlib>

#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Scene.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/objects/nE_Text.h"
#include "engine/script/nE_ContentRules.h"
#include "engine/script/nE_SLHelper_XML.h"
#include "game/core/nG_Messages.h"
#include "game/interface/nG_Cursor.h"
#include "game/interface/nG_InterfButton.h"

namespace {

const nG_InterfButton::Colour kCaptionBlue{196.f / 255, 213.f / 255, 255.f / 255};
const nG_InterfButton::Colour kGold{255.f / 255, 236.f / 255, 108.f / 255};
constexpr float kFadeSpeed = 2.f;
constexpr float kObjectY = -42;
constexpr float kObjectZ = 6;

nE_Text* caption(const char* objectName, const char* font, const char* key, int size, float y, float z) {
    auto* t = new nE_Text();
    t->name = objectName;
    t->setResourceName(font);
    t->fontSize = size;
    t->maxWidth = nG_HoDialog::kTextWidth;
    t->setText(key);
    t->editLocalState()->y = y;
    t->editLocalState()->z = z;
    t->editLocalState()->red = kGold.r;
    t->editLocalState()->green = kGold.g;
    t->editLocalState()->blue = kGold.b;
    t->input = false;
    return t;
}

std::string numbered(const char* key) {
    return std::string(key) + "_" + std::to_string(rand() % nG_HoDialog::kVariants + 1);
}

}  // namespace

nG_HoDialog::nG_HoDialog() {
    name = kName;
    editLocalState()->x = kX;
    editLocalState()->y = kY;

    title = caption("ng_ho_dialog_title", kTitleFont, kTitleKey, kTitleSize, 98, 10);
    addPart(title);
    text = caption("ng_ho_dialog_text", kFont, kTextKey, kTextSize, 124, 9);
    addPart(text);

    back = new nE_Sprite();
    back->name = "ng_ho_dialog_bg";
    back->setResourceName(kBackImage);
    back->editLocalState()->z = 0;
    addPart(back);

    okButton = new nG_InterfButton("ng_ho_dialog_ok_btn");
    nG_InterfButton::Params ok;
    ok.layer0Image = kOkImage;
    ok.layer1Image = kOkHoverImage;
    ok.captionTextId = kOkKey;
    ok.captionFont = kFont;
    ok.captionSize = kOkSize;
    ok.text0Colour = kCaptionBlue;
    ok.text1Colour = kGold;
    okButton->build(ok);
    okButton->editLocalState()->y = 165;
    okButton->editLocalState()->z = 11;
    okButton->onClick = onOk;
    okButton->clickArg = this;
    addPart(okButton);

    visible = false;
    input = false;
    editLocalState()->alpha = 0;
    subscribe({MSG_HO_DIALOG_SHOW});
}

void nG_HoDialog::declareContent() {
    using R = nE_ContentRules;
    for (const char* image : {kBackImage, kOkImage, kOkHoverImage})
        R::addNeed({"", R::kImage, image, "nG_HoDialog", "", ""});
    R::addNeed({"", R::kFont, kTitleFont, "nG_HoDialog", "", ""});
    R::addNeed({"", R::kFont, kFont, "nG_HoDialog", "", ""});
    R::addCaption("nG_HoDialog", kOkKey, kFont, kOkSize, kOkImage);
    R::addTextBox(
        {"nG_HoDialog", "", 0, "", kTitleKey, kTitleFont, kTitleSize, kTextWidth, true, 0, 0, "", ""});
    R::addTextBox({"nG_HoDialog", "", 0, "", kTextKey, kFont, kTextSize, kTextWidth, true, 0, 0, "", ""});
    for (const char* key : {kTitleKey, kTextKey, kOkKey}) {
        R::addNeed({"", R::kStringKey, key, "nG_HoDialog", "", ""});
        if (key == kOkKey) continue;
        // Each opening draws one of ten.
        for (int i = 1; i <= kVariants; ++i)
            R::addNeed(
                {"", R::kStringKey, std::string(key) + "_" + std::to_string(i), "nG_HoDialog", "", ""});
    }
}

void nG_HoDialog::show(const std::string& objectName, const std::string& inventoryObject,
                       const std::string& trigger) {
    nE_Scene* s = scene();
    nE_Object* object = s && !objectName.empty() ? s->findObject(objectName) : nullptr;
    if (object) showObject(object, inventoryObject, trigger);
}

void nG_HoDialog::showObject(nE_Object* object, const std::string& inventoryObject,
                             const std::string& trigger) {
    nE_Scene* s = scene();
    if (!s || object == this || object->isAncestorOf(this) || object == s->root() || object == s->storage())
        return;
    if (object != shown && !s->scriptMayMove(object, "nG_HoDialog")) return;
    forgetLostObject();
    // A reward still shown from before waits in the storage instead of being lost.
    if (shown && shown != object && shown->parent == this) s->park(shown);
    s->attach(this, object);
    if (object->parent != this) return;
    shown = object;
    invObjName = inventoryObject;
    closeTrigger = trigger;
    object->editLocalState()->x = 0;
    object->editLocalState()->y = kObjectY;
    object->editLocalState()->z = kObjectZ;
    object->visible = true;

    state = kShown;
    input = true;
    visible = true;
    title->setText(numbered(kTitleKey));
    text->setText(numbered(kTextKey));
    bool blur = true;
    post<MSG_BLUR>(&blur);
}

void nG_HoDialog::close() {
    if (state == kHidden) return;
    forgetLostObject();
    state = kHidden;
    selectCursor(nG_Cursor::kDefault);
    if (!closeTrigger.empty()) {
        nE_Scene::queueTrigger(name, closeTrigger);
        nG_InvAddRequest request{invObjName, shown ? shown->name : std::string(), std::string()};
        // The inventory takes the object from here on.
        shown = nullptr;
        post<MSG_INV_ADD>(&request);
    }
    bool blur = false;
    post<MSG_BLUR>(&blur);
}

void nG_HoDialog::forgetLostObject() {
    if (shown && std::find(children.begin(), children.end(), shown) == children.end()) shown = nullptr;
}

void nG_HoDialog::onOk(void* dialog) {
    static_cast<nG_HoDialog*>(dialog)->close();
}

void nG_HoDialog::update(float dt) {
    nE_Object::update(dt);
    if (state == kShown) {
        if (fade < 1) fade = std::min(fade + kFadeSpeed * dt, 1.f);
        editLocalState()->alpha = fade;
        editLocalState()->scaleX = editLocalState()->scaleY = 0.5f + 0.5f * fade;
    } else if (fade > 0) {
        fade = std::max(fade - kFadeSpeed * dt, 0.f);
        editLocalState()->alpha = fade;
        if (fade <= 0) visible = input = false;
    } else if (visible) {
        visible = input = false;
    }
}

bool nG_HoDialog::handleInput(const nE_InputEvent& event, nE_RenderState&) {
    if (event.type == nE_InputEvent::kKeyDown || event.type == nE_InputEvent::kKeyUp) return false;
    if (state != kShown || fade < 1) return true;
    if (event.type == nE_InputEvent::kButtonDown)
        close();
    else if (event.type == nE_InputEvent::kPointerMove)
        selectCursor(nG_Cursor::kDown);
    return true;
}

void nG_HoDialog::childWasHit(nE_Object* hit, const nE_InputEvent& event) {
    if (!hit) return;
    forgetLostObject();
    if (hit == back || back->isAncestorOf(hit)) {
        selectCursor(nG_Cursor::kDefault);
    } else if (shown && (hit == shown || shown->isAncestorOf(hit)) &&
               event.type == nE_InputEvent::kButtonDown) {
        close();
    }
}

void nG_HoDialog::onMessage(const nE_Message& message) {
    if (const auto* request = message.payload<MSG_HO_DIALOG_SHOW>())
        show(request->object, request->inventoryObject, request->closeTrigger);
}

tinyxml2::XMLElement* nG_HoDialog::dumpState(tinyxml2::XMLDocument& doc) {
    tinyxml2::XMLElement* element = doc.NewElement("ho_dialog");
    forgetLostObject();
    if (state == kShown && shown) {
        element->SetAttribute("inv_obj_name", invObjName.c_str());
        element->SetAttribute("close_trigger", closeTrigger.c_str());
        element->InsertEndChild(nE_SLHelper_XML::save(*shown, doc, true, true));
    }
    return element;
}

void nG_HoDialog::restoreState(const tinyxml2::XMLElement* parentElement) {
    const tinyxml2::XMLElement* element =
        parentElement ? parentElement->FirstChildElement("ho_dialog") : nullptr;
    if (!element) return;
    forgetLostObject();
    if (shown) {
        nE_Scene::destroyLater(shown);
        shown = nullptr;
    }
    const tinyxml2::XMLElement* child = element->FirstChildElement();
    nE_Scene* s = scene();
    if (!child || !s) return;
    std::unique_ptr<nE_Object> object = nE_SLHelper_XML::build(const_cast<tinyxml2::XMLElement*>(child));
    if (!object || object->name.empty()) return;
    nE_Object* raw = object.release();
    s->attach(s->storage(), raw);
    if (raw->parent != s->storage()) {
        delete raw;
        return;
    }
    const char* inventoryObject = element->Attribute("inv_obj_name");
    const char* trigger = element->Attribute("close_trigger");
    showObject(raw, inventoryObject ? inventoryObject : "", trigger ? trigger : "");
}
