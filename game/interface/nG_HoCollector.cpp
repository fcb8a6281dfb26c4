#include "game/interface/nG_HoCollector.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cctype>

#include "engine/core/nE_Debug.h"
#include "engine/core/nE_Geometry.h"
#include "engine/core/nE_Scene.h"
#include "engine/media/nE_Texture.h"
#include "engine/objects/nE_ParticleSystem.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/script/nE_ContentRules.h"
#include "engine/script/nE_SLHelper_XML.h"
#include "game/core/nG_Messages.h"

namespace {

// What a flight's end scale is measured against: an object this wide arrives at its own size.
constexpr float kEndWidth = 130;
constexpr float kTrailZ = -10000;
constexpr int kBlendAdd = 2;
// A task whose name cannot name an XML element is saved as <task name="..."/>.
constexpr const char* kTaskElement = "task";

bool isElementName(const std::string& text) {
    if (text.empty()) return false;
    const auto first = static_cast<unsigned char>(text[0]);
    if (!std::isalpha(first) && first != '_') return false;
    return std::all_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return std::isalnum(u) || u == '_' || u == '-' || u == '.';
    });
}

}  // namespace

nG_HoCollector::nG_HoCollector() {
    name = kName;
    input = false;
    subscribe({MSG_HO_COLLECT});
}

void nG_HoCollector::declareContent() {
    nE_ContentRules::addNeed({"", nE_ContentRules::kParticles, kTrailEffect, "nG_HoCollector", "", ""});
}

bool nG_HoCollector::target(const std::string& task, float& x, float& y) {
    nG_TaskPositionQuery query;
    query.textId = task;
    post<MSG_TASK_POSITION>(&query);
    x = query.x;
    y = query.y;
    return query.found;
}

void nG_HoCollector::collect(const std::string& objectName, const std::string& task) {
    nE_Scene* s = scene();
    nE_Object* object = s && !objectName.empty() ? s->findObject(objectName) : nullptr;
    if (!object) {
        nE_Debug::writef("nG_HoCollector: there is no object \"%s\" to collect", objectName.c_str());
        return;
    }
    const bool flying =
        std::any_of(flights.begin(), flights.end(), [object](const Flight& f) { return f.object == object; });
    if (flying) return;
    if (object == this || object->isAncestorOf(this) || isAncestorOf(object) || object == s->root() ||
        object == s->storage() || !object->parent) {
        nE_Debug::writef("nG_HoCollector: \"%s\" cannot be collected", objectName.c_str());
        return;
    }
    if (!s->scriptMayMove(object, "nG_HoCollector")) return;
    float tx = 0, ty = 0;
    if (!task.empty() && !target(task, tx, ty)) {
        nE_Debug::writef("nG_HoCollector: \"%s\" is no task of the list; \"%s\" stays", task.c_str(),
                         objectName.c_str());
        return;
    }

    post<MSG_TASKS_HEADER_SHOW_TASKS>();
    object->input = false;

    Flight flight;
    flight.object = object;
    flight.task = task;
    nG_TaskDialogObjectQuery keep;
    keep.object = objectName;
    post<MSG_TASK_IS_DIALOG_OBJECT>(&keep);
    flight.keep = keep.keep;
    if (flight.keep) keptParent = object->parent->name;

    // Where the object stands and how large it is, in the collector's own units.
    static_cast<nG_FlightPath&>(flight) = nG_FlightPath::measure(object, this, kEndWidth);
    if (!task.empty()) flight.duration = flight.secondsTo(tx, ty);

    s->attach(this, object);
    if (object->parent != this) {
        nE_Debug::writef("nG_HoCollector: \"%s\" cannot be collected", objectName.c_str());
        return;
    }
    flight.placeAtStart(*object->editLocalState());

    auto* trail = new nE_ParticleSystem();
    trail->name = kTrailPrefix + task;
    trail->setResourceName(kTrailEffect);
    trail->active = trail->input = trail->visible = true;
    trail->editLocalState()->alpha = 1;
    trail->editLocalState()->z = kTrailZ;
    trail->editLocalState()->blendMode = kBlendAdd;
    // The sparks are born on the flying object wherever it is.
    trail->setMaskObject(object);
    addPart(trail);
    if (loaded) trail->activate();
    flight.trail = trail;
    // The object after its trail, so that it is drawn over it.
    removeChild(object, false);
    addChild(object);
    flights.push_back(flight);
}

bool nG_HoCollector::owns(const nE_Object* object) const {
    return object && std::find(children.begin(), children.end(), object) != children.end();
}

void nG_HoCollector::update(float dt) {
    nE_Object::update(dt);
    for (size_t i = 0; i < flights.size();) {
        Flight& f = flights[i];
        if (!owns(f.trail)) f.trail = nullptr;
        if (!owns(f.object)) {
            // A script took the object away in flight: it counts as found all the same.
            if (f.trail) {
                f.trail->setMaskObject(nullptr);
                nE_Scene::destroyLater(f.trail);
            }
            std::string task = f.task;
            flights.erase(flights.begin() + static_cast<std::ptrdiff_t>(i));
            post<MSG_TASK_COMPLETE>(&task);
            continue;
        }
        f.time += dt;
        float tx = 0, ty = 0;
        if (!f.task.empty()) target(f.task, tx, ty);
        if (f.time < f.duration) {
            f.placeOnTheWay(*f.object->editLocalState(), f.time / f.duration, tx, ty);
            if (f.trail) f.trail->editLocalState()->alpha = std::min(f.time / 0.2f, 1.f);
            ++i;
            continue;
        }
        // Without a task the object shrinks where it was found.
        if (f.task.empty()) tx = f.x0, ty = f.y0;
        const float r = (f.time - f.duration) / kShrinkSeconds;
        f.placeShrinking(*f.object->editLocalState(), r, tx, ty);
        if (f.trail) f.trail->editLocalState()->alpha = std::max(1 - r, 0.f);
        if (f.time - f.duration <= kShrinkSeconds) {
            ++i;
            continue;
        }
        const Flight done = f;
        flights.erase(flights.begin() + static_cast<std::ptrdiff_t>(i));
        land(done);
    }
}

void nG_HoCollector::land(const Flight& flight) {
    nE_Scene* s = scene();
    if (flight.trail) {
        flight.trail->setMaskObject(nullptr);
        nE_Scene::destroyLater(flight.trail);
    }
    nE_Object* object = flight.object;
    if (flight.keep && s) {
        object->editLocalState()->alpha = 1;
        object->editLocalState()->scaleX = object->editLocalState()->scaleY = 1;
        nE_Object* home = keptParent.empty() ? nullptr : s->findObject(keptParent);
        if (home && !isAncestorOf(home) && home != this)
            s->attach(home, object);
        else
            s->park(object);
    } else {
        nE_Scene::destroyLater(object);
    }
    std::string task = flight.task;
    post<MSG_TASK_COMPLETE>(&task);
}

void nG_HoCollector::onMessage(const nE_Message& message) {
    if (const auto* request = message.payload<MSG_HO_COLLECT>()) collect(request->object, request->second);
}

tinyxml2::XMLElement* nG_HoCollector::dumpState(tinyxml2::XMLDocument& doc) {
    tinyxml2::XMLElement* element = doc.NewElement("ho_collector");
    tinyxml2::XMLElement* tasks = doc.NewElement("tasks");
    tinyxml2::XMLElement* objects = doc.NewElement("objects");
    element->InsertEndChild(tasks);
    element->InsertEndChild(objects);
    bool anyKept = false;
    for (const Flight& f : flights) {
        if (isElementName(f.task)) {
            tasks->InsertEndChild(doc.NewElement(f.task.c_str()));
        } else if (!f.task.empty()) {
            tinyxml2::XMLElement* entry = doc.NewElement(kTaskElement);
            entry->SetAttribute("name", f.task.c_str());
            tasks->InsertEndChild(entry);
        }
        if (f.keep && owns(f.object)) {
            objects->InsertEndChild(nE_SLHelper_XML::save(*f.object, doc, true, true));
            anyKept = true;
        }
    }
    if (anyKept) objects->SetAttribute("parent", keptParent.c_str());
    return element;
}

void nG_HoCollector::restoreState(const tinyxml2::XMLElement* parentElement) {
    const tinyxml2::XMLElement* element =
        parentElement ? parentElement->FirstChildElement("ho_collector") : nullptr;
    if (!element) return;
    nE_Scene* s = scene();
    if (const tinyxml2::XMLElement* objects = element->FirstChildElement("objects"); objects && s) {
        const char* parentName = objects->Attribute("parent");
        nE_Object* home = parentName && *parentName ? s->findObject(parentName) : nullptr;
        if (!home) home = s->storage();
        for (const tinyxml2::XMLElement* child = objects->FirstChildElement(); child;
             child = child->NextSiblingElement()) {
            // The builder reads only; the saved document is not changed.
            std::unique_ptr<nE_Object> object =
                nE_SLHelper_XML::build(const_cast<tinyxml2::XMLElement*>(child));
            if (!object) continue;
            object->editLocalState()->x = kParkedX;
            object->editLocalState()->alpha = 1;
            object->editLocalState()->scaleX = object->editLocalState()->scaleY = 1;
            nE_Object* raw = object.release();
            s->attach(home, raw);
            if (raw->parent != home) delete raw;
        }
    }
    // The flights are not flown again; what their arrival would have done happens now.
    if (const tinyxml2::XMLElement* tasks = element->FirstChildElement("tasks"))
        for (const tinyxml2::XMLElement* entry = tasks->FirstChildElement(); entry;
             entry = entry->NextSiblingElement()) {
            const char* attribute = entry->Attribute("name");
            std::string task =
                std::string(entry->Name()) == kTaskElement && attribute ? attribute : entry->Name();
            post<MSG_TASK_COMPLETE>(&task);
        }
}
