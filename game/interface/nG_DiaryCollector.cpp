#include "game/interface/nG_DiaryCollector.h"

#include <tinyxml2.h>

#include <algorithm>

#include "engine/core/nE_Debug.h"
#include "engine/core/nE_Geometry.h"
#include "engine/core/nE_Scene.h"
#include "engine/media/nE_Texture.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/script/nE_ContentRules.h"
#include "game/core/nG_Messages.h"

namespace {

// What a flight's end scale is measured against: an object this wide arrives at its own size.
constexpr float kEndWidth = 130;
// Animation line types: alpha, scale x, scale y.
constexpr int kLineAlpha = 8, kLineScaleX = 4, kLineScaleY = 5;

}  // namespace

nG_DiaryCollector::nG_DiaryCollector() {
    name = kName;
    effect = new nE_Sprite();
    effect->name = std::string(kName) + "_effect";
    effect->setResourceName(kFlashImage);
    effect->editLocalState()->x = kTargetX;
    effect->editLocalState()->y = kTargetY;
    effect->editLocalState()->z = 10;
    effect->editLocalState()->angle = 1.5707964f;
    effect->editLocalState()->alpha = 0;
    effect->input = false;
    addPart(effect);
    input = false;
    subscribe({MSG_DIARY_COLLECT, MSG_DIARY_FLASH});
}

void nG_DiaryCollector::declareContent() {
    nE_ContentRules::addNeed({"", nE_ContentRules::kImage, kFlashImage, "nG_DiaryCollector", "", ""});
    nE_ContentRules::addNeed({"", nE_ContentRules::kSound, kArrivalSound, "nG_DiaryCollector", "", ""});
}

void nG_DiaryCollector::collect(const std::string& objectName, const std::string& trigger) {
    nE_Scene* s = scene();
    nE_Object* object = s && !objectName.empty() ? s->findObject(objectName) : nullptr;
    if (!object) {
        nE_Debug::writef("nG_DiaryCollector: there is no object \"%s\" to fly into the diary",
                         objectName.c_str());
        return;
    }
    const bool flying =
        std::any_of(flights.begin(), flights.end(), [object](const Flight& f) { return f.object == object; });
    if (flying) return;
    if (object == this || object->isAncestorOf(this) || isAncestorOf(object) || object == s->root() ||
        object == s->storage()) {
        nE_Debug::writef("nG_DiaryCollector: \"%s\" cannot fly into the diary", objectName.c_str());
        return;
    }
    if (!s->scriptMayMove(object, "nG_DiaryCollector")) return;

    Flight flight;
    flight.object = object;
    flight.trigger = trigger;
    // Where the object stands and how large it is, in the collector's own units.
    static_cast<nG_FlightPath&>(flight) = nG_FlightPath::measure(object, this, kEndWidth);
    flight.duration = flight.secondsTo(kTargetX, kTargetY);

    s->attach(this, object);
    if (object->parent != this) {
        nE_Debug::writef("nG_DiaryCollector: \"%s\" cannot fly into the diary", objectName.c_str());
        return;
    }
    if (!s->scriptMayMove(object, "nG_DiaryCollector")) return;
    object->input = false;
    flight.placeAtStart(*object->editLocalState());
    flights.push_back(flight);
}

void nG_DiaryCollector::flash() {
    const float alpha[] = {0, 0, 0.4f, 1.0f, 1.2f, 0};
    const float scale[] = {0, 0.5f, 0.4f, 1.0f, 1.2f, 1.6f};
    nE_Scene::addAnimLine(effect, kLineAlpha, false, false, "", alpha, 6);
    nE_Scene::addAnimLine(effect, kLineScaleX, false, false, "", scale, 6);
    nE_Scene::addAnimLine(effect, kLineScaleY, false, false, "", scale, 6);
}

void nG_DiaryCollector::update(float dt) {
    nE_Object::update(dt);
    for (size_t i = 0; i < flights.size();) {
        Flight& f = flights[i];
        f.time += dt;
        if (f.time < f.duration) {
            f.placeOnTheWay(*f.object->editLocalState(), f.time / f.duration, kTargetX, kTargetY);
            ++i;
            continue;
        }
        if (!f.arrived) {
            f.arrived = true;
            playSound(kArrivalSound);
            flash();
        }
        const float r = std::min((f.time - f.duration) / kShrinkSeconds, 1.f);
        f.placeShrinking(*f.object->editLocalState(), r, kTargetX, kTargetY);
        if (f.time - f.duration <= kShrinkSeconds) {
            ++i;
            continue;
        }
        const Flight done = f;
        flights.erase(flights.begin() + static_cast<std::ptrdiff_t>(i));
        nE_Scene::queueTrigger(kName, done.trigger);
        nE_Scene::destroyLater(done.object);
    }
}

void nG_DiaryCollector::onMessage(const nE_Message& message) {
    switch (message.number) {
        case MSG_DIARY_COLLECT:
            if (const auto* request = message.payload<MSG_DIARY_COLLECT>())
                collect(request->object, request->second);
            break;
        case MSG_DIARY_FLASH:
            flash();
            break;
        default:
            break;
    }
}

tinyxml2::XMLElement* nG_DiaryCollector::dumpState(tinyxml2::XMLDocument& doc) {
    tinyxml2::XMLElement* element = doc.NewElement("diary_collector");
    for (const Flight& f : flights) {
        tinyxml2::XMLElement* entry = doc.NewElement("flight");
        entry->SetAttribute("trigger", f.trigger.c_str());
        element->InsertEndChild(entry);
    }
    return element;
}

void nG_DiaryCollector::restoreState(const tinyxml2::XMLElement* parent) {
    const tinyxml2::XMLElement* element = parent ? parent->FirstChildElement("diary_collector") : nullptr;
    if (!element) return;
    // The objects went with the save; what their arrival would have done happens now.
    for (const tinyxml2::XMLElement* entry = element->FirstChildElement("flight"); entry;
         entry = entry->NextSiblingElement("flight"))
        if (const char* trigger = entry->Attribute("trigger")) nE_Scene::queueTrigger(kName, trigger);
}
