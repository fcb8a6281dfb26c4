#include "game/interface/nG_Tasks.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cmath>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_Debug.h"
#include "engine/core/nE_Easing.h"
#include "engine/core/nE_Scene.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/script/nE_ContentRules.h"
#include "game/core/nG_Messages.h"
#include "game/interface/nG_Task.h"

namespace {

constexpr const char* kTasksBackImage = "assets/interface/inventory_tasks/back";
constexpr const char* kEffectImage = "assets/interface/inventory_tasks/place";

constexpr float kTasksSlideSpeed = 1.5f;
constexpr float kTasksLowest = -0.33f;
constexpr float kTasksRestY = 797, kTasksRise = 86;
constexpr float kLineZ = 5, kEffectZ = 10;
// Animation line types: scale x, scale y, alpha.
constexpr int kLineScaleX = 4, kLineScaleY = 5, kTasksLineAlpha = 8;

void animate(nE_Object* object, int type, std::initializer_list<float> numbers) {
    const std::vector<float> keys(numbers);
    nE_Scene::addAnimLine(object, type, false, false, "", keys.data(), static_cast<int>(keys.size()));
}

// A room or a sub-room, known by its type: the widgets sit below the game's rooms.
bool isRoom(const std::string& name) {
    if (!nE_Core::exists()) return false;
    const nE_Object* object = nE_Core::get()->scene().findObject(name);
    if (!object) return false;
    const std::string type = object->getTypeName();
    return type == "room" || type == "subroom";
}

}  // namespace

nG_Tasks::nG_Tasks() {
    name = kName;
    reset();
    subscribe({MSG_TASK_ADD, MSG_TASK_COMPLETE_DATA, MSG_TASK_COMPLETE, MSG_TASKS_HIDE, MSG_TASKS_SHOW,
               MSG_INV_HIDDEN, MSG_TASK_UNMARK, MSG_TASK_IS_DIALOG_OBJECT, MSG_TASKS_ACTIVE,
               MSG_TASK_POSITION});
}

void nG_Tasks::declareContent() {
    using R = nE_ContentRules;
    R::addNeed({"", R::kImage, kTasksBackImage, "nG_Tasks", "", ""});
    R::addNeed({"", R::kImage, kEffectImage, "nG_Tasks", "", ""});
    R::addNeed({"", R::kFont, nG_Task::kFont, "nG_Task", "", ""});
    R::addNeed({"", R::kStringKey, nG_Task::kCountedText, "nG_Task", "", ""});
    // A task's name stays on its line, within its column of the list, shrinking to fit down to a size
    // (tasks are named "task_...").
    R::TextBox box;
    box.owner = "nG_Task";
    box.function = "AddTask";
    box.position = 1;
    box.keyPrefix = "task_";
    box.font = nG_Task::kFont;
    box.size = nG_Task::kFontSize;
    box.width = static_cast<int>(kColumnWidth - kColumnGap);
    box.wraps = false;
    box.minSize = nG_Task::kMinFontSize;
    R::addTextBox(box);
}

void nG_Tasks::reset() {
    background = new nE_Sprite();
    background->name = std::string(kName) + "_bg";
    background->setResourceName(kTasksBackImage);
    background->input = false;
    addPart(background);

    effect = new nE_Sprite();
    effect->name = std::string(kName) + "_effect";
    effect->setResourceName(kEffectImage);
    effect->input = false;
    effect->visible = false;
    effect->editLocalState()->z = kEffectZ;
    addPart(effect);

    mode = kHidden;
    slide = -0.5f;
    drawnSinceChange = true;
    editLocalState()->x = kX;
    editLocalState()->y = kTasksRestY - kTasksRise * nE_Easing::sineOut(slide);
    visible = false;
}

std::string nG_Tasks::currentRoomName() {
    nE_Object* room = nullptr;
    post<MSG_GET_CURRENT_ROOM>(&room);
    return room ? room->name : std::string();
}

nG_Task* nG_Tasks::findTask(const std::string& textId) const {
    for (const auto& entry : groups)
        for (nG_Task* task : entry.second.tasks)
            if (task->textId == textId) return task;
    return nullptr;
}

// --- tasks ---

void nG_Tasks::addTask(const std::string& textId, const std::string& room, bool marked, int count) {
    if (textId.empty()) {
        nE_Debug::write("nG_Tasks: a task without a name is not added");
        return;
    }
    if (!isRoom(room))
        nE_Debug::writef("nG_Tasks: the task \"%s\" is for \"%s\", which is no room", textId.c_str(),
                         room.c_str());
    auto* task = new nG_Task();
    task->textId = textId;
    task->name = textId;
    // A task is done at least once: a count below 1 could never be completed.
    task->count = std::max(1, count);
    task->marked = marked;
    task->refresh();

    Group& group = groups[room];
    group.tasks.push_back(task);
    group.completed = false;
    layOut(group);
    task->editLocalState()->z = kLineZ;
    addPart(task);
    if (loaded) task->activate();
    // A task added to the list on show appears at once.
    if (mode == kShown && room == shownRoom_) task->visible = true;
}

void nG_Tasks::layOut(Group& group) {
    // Three rows fit under the header; a longer list takes narrower columns rather than a row below
    // the screen's edge.
    const size_t n = group.tasks.size();
    const int columns = std::max<int>(kColumns, static_cast<int>((n + kRows - 1) / kRows));
    const float width = kColumns * kColumnWidth / columns;
    for (size_t k = 0; k < n; ++k) {
        const float column = static_cast<float>(k % columns), row = static_cast<float>(k / columns);
        group.tasks[k]->editLocalState()->x = (column - (columns - 1) / 2.0f) * width;
        group.tasks[k]->editLocalState()->y = row * kRowHeight - 10;
        group.tasks[k]->lineWidth = width - kColumnGap;
        group.tasks[k]->fit();
    }
}

void nG_Tasks::completeTask(const std::string& textId) {
    bool found = false;
    std::vector<std::string> finished;
    for (auto& entry : groups) {
        Group& group = entry.second;
        bool had = false;
        for (nG_Task* task : group.tasks) {
            if (task->textId != textId) continue;
            had = true;
            flash(task);
            if (task->count <= 1)
                task->completed = true;
            else
                --task->count;
            task->refresh();
        }
        found = found || had;
        // The reward comes once: a finished group stays finished until it is dropped.
        if (!had || group.completed) continue;
        const bool allDone = std::all_of(group.tasks.begin(), group.tasks.end(),
                                         [](const nG_Task* task) { return task->completed; });
        if (allDone) {
            group.completed = true;
            finished.push_back(entry.first);
        }
    }
    if (!found && !textId.empty()) nE_Debug::writef("nG_Tasks: no task \"%s\" to complete", textId.c_str());

    for (const std::string& room : finished) {
        nG_TaskCompleteData data;
        auto record = completeData.find(room);
        if (record != completeData.end()) data = record->second;
        nE_Scene::queueTrigger(name, data.completeTrigger);
        setMode(kHidden);
        nG_HoDialogRequest request{data.dialogObject, data.inventoryObject, data.dialogCloseTrigger};
        post<MSG_HO_DIALOG_SHOW>(&request);
    }
}

void nG_Tasks::unmarkTask(const std::string& textId) {
    if (nG_Task* task = findTask(textId)) {
        task->marked = false;
        task->refresh();
    }
}

void nG_Tasks::flash(const nG_Task* task) {
    effect->editLocalState()->x = task->localState().x;
    effect->editLocalState()->y = task->localState().y;
    effect->editLocalState()->z = kEffectZ;
    effect->visible = true;
    animate(effect, kTasksLineAlpha, {0, 0, 0.3f, 1, 0.6f, 0});
    animate(effect, kLineScaleX, {0, 1, 0.6f, 1.6f});
    animate(effect, kLineScaleY, {0, 1, 0.6f, 1.6f});
}

void nG_Tasks::showLinesOf(const std::string& room) {
    shownRoom_ = room;
    for (auto& entry : groups)
        for (nG_Task* task : entry.second.tasks) task->visible = entry.first == room;
}

void nG_Tasks::dropCompletedGroups() {
    for (auto it = groups.begin(); it != groups.end();) {
        if (!it->second.completed) {
            ++it;
            continue;
        }
        for (nG_Task* task : it->second.tasks) delete task;
        completeData.erase(it->first);
        it = groups.erase(it);
    }
}

void nG_Tasks::clearAll() {
    for (auto& entry : groups)
        for (nG_Task* task : entry.second.tasks) delete task;
    groups.clear();
    completeData.clear();
    shownRoom_.clear();
}

// --- sliding ---

void nG_Tasks::setMode(int newMode) {
    mode = newMode;
    switch (newMode) {
        case kShown: {
            post<MSG_TASKS_HEADER_SHOW_TASKS>();
            bool shown = true;
            post<MSG_TASKS_HEADER_VISIBLE>(&shown);
            visible = true;
            showLinesOf(currentRoomName());
            break;
        }
        case kHidden:
            visible = true;
            drawnSinceChange = false;
            break;
        case kWaitingForInventory:
            post<MSG_INV_HIDE_ALL>();
            drawnSinceChange = false;
            break;
        default:
            break;
    }
}

void nG_Tasks::reposition() {
    float y = kTasksRestY - kTasksRise * nE_Easing::sineOut(slide);
    editLocalState()->y = y;
    post<MSG_INV_SET_Y>(&y);
    float headerY = y - kHeaderAbove;
    post<MSG_TASKS_HEADER_Y>(&headerY);
}

void nG_Tasks::drawSelf(nE_Render*, nE_RenderState&) {
    drawnSinceChange = true;
}

void nG_Tasks::update(float dt) {
    nE_Object::update(dt);
    if (effect->visible && effect->animLines.empty()) effect->visible = false;
    if (!drawnSinceChange) return;

    const std::string room = currentRoomName();
    auto group = groups.find(room);
    const bool hasTasks = group != groups.end() && !group->second.completed && !group->second.tasks.empty();
    switch (mode) {
        case kShown:
            if (slide < 1) {
                slide = std::min(1.f, slide + kTasksSlideSpeed * dt);
                reposition();
            }
            if (!hasTasks) {
                mode = kHidden;
                visible = true;
                drawnSinceChange = false;
            } else if (room != shownRoom_) {
                // Straight from one room with tasks into another: its own lines.
                showLinesOf(room);
            }
            break;
        case kHidden:
            if (hasTasks) {
                mode = kWaitingForInventory;
                post<MSG_INV_HIDE_ALL>();
                drawnSinceChange = false;
            } else if (slide > kTasksLowest) {
                slide = std::max(kTasksLowest, slide - kTasksSlideSpeed * dt);
                reposition();
                if (slide <= kTasksLowest) {
                    visible = false;
                    bool shown = false;
                    post<MSG_TASKS_HEADER_VISIBLE>(&shown);
                    post<MSG_INV_RETURN>();
                    dropCompletedGroups();
                }
            }
            break;
        default:
            break;
    }
}

// --- messages ---

void nG_Tasks::onMessage(const nE_Message& message) {
    switch (message.number) {
        case MSG_TASK_ADD:
            if (const auto* request = message.payload<MSG_TASK_ADD>()) {
                addTask(request->textId, request->room, request->marked, request->count);
            }
            break;
        case MSG_TASK_COMPLETE_DATA:
            if (const auto* data = message.payload<MSG_TASK_COMPLETE_DATA>()) {
                completeData[data->room] = *data;
            }
            break;
        case MSG_TASK_COMPLETE:
            if (auto* value = message.payload<MSG_TASK_COMPLETE>()) completeTask(*value);
            break;
        case MSG_TASKS_HIDE:
            visible = false;
            editLocalState()->z = 2;
            break;
        case MSG_TASKS_SHOW:
            visible = true;
            editLocalState()->z = 3;
            break;
        case MSG_INV_HIDDEN:
            setMode(kShown);
            break;
        case MSG_TASK_UNMARK:
            if (auto* value = message.payload<MSG_TASK_UNMARK>()) unmarkTask(*value);
            break;
        case MSG_TASK_IS_DIALOG_OBJECT:
            if (auto* query = message.payload<MSG_TASK_IS_DIALOG_OBJECT>()) {
                query->keep = false;
                for (const auto& entry : completeData)
                    if (entry.second.dialogObject == query->object) query->keep = true;
            }
            break;
        case MSG_TASKS_ACTIVE:
            if (auto* value = message.payload<MSG_TASKS_ACTIVE>()) *value = mode != kHidden;
            break;
        case MSG_TASK_POSITION:
            if (auto* query = message.payload<MSG_TASK_POSITION>()) {
                if (const nG_Task* task = findTask(query->textId)) {
                    // The list is never scaled or turned: its parent's point is its own, moved.
                    query->x = localState().x + task->localState().x;
                    query->y = localState().y + task->localState().y;
                    query->found = true;
                }
            }
            break;
        default:
            break;
    }
}

// --- saved state ---

tinyxml2::XMLElement* nG_Tasks::dumpState(tinyxml2::XMLDocument& doc) {
    tinyxml2::XMLElement* element = doc.NewElement("tasks");
    tinyxml2::XMLElement* list = doc.NewElement("list");
    for (const auto& entry : groups) {
        if (entry.second.completed) continue;
        for (const nG_Task* task : entry.second.tasks) {
            tinyxml2::XMLElement* line = doc.NewElement("task");
            line->SetAttribute("id", task->textId.c_str());
            line->SetAttribute("count", task->count);
            line->SetAttribute("completed", task->completed ? 1 : 0);
            line->SetAttribute("marked", task->marked ? 1 : 0);
            line->SetAttribute("room", entry.first.c_str());
            list->InsertEndChild(line);
        }
    }
    element->InsertEndChild(list);
    tinyxml2::XMLElement* records = doc.NewElement("completedata");
    for (const auto& entry : completeData) {
        auto group = groups.find(entry.first);
        if (group != groups.end() && group->second.completed) continue;
        const nG_TaskCompleteData& data = entry.second;
        tinyxml2::XMLElement* record = doc.NewElement("data");
        record->SetAttribute("room", data.room.c_str());
        record->SetAttribute("dialog_obj_name", data.dialogObject.c_str());
        record->SetAttribute("inv_obj_name", data.inventoryObject.c_str());
        record->SetAttribute("complete_trigger", data.completeTrigger.c_str());
        record->SetAttribute("dialog_close_trigger", data.dialogCloseTrigger.c_str());
        records->InsertEndChild(record);
    }
    element->InsertEndChild(records);
    return element;
}

void nG_Tasks::restoreState(const tinyxml2::XMLElement* parentElement) {
    const tinyxml2::XMLElement* element = parentElement ? parentElement->FirstChildElement("tasks") : nullptr;
    if (!element) return;
    clearAll();
    auto text = [](const tinyxml2::XMLElement* e, const char* attribute) {
        const char* value = e->Attribute(attribute);
        return std::string(value ? value : "");
    };
    if (const tinyxml2::XMLElement* list = element->FirstChildElement("list")) {
        for (const tinyxml2::XMLElement* line = list->FirstChildElement("task"); line;
             line = line->NextSiblingElement("task")) {
            const std::string id = text(line, "id");
            const std::string room = text(line, "room");
            addTask(id, room, line->IntAttribute("marked", 0) == 1, line->IntAttribute("count", 1));
            auto group = groups.find(room);
            if (group == groups.end() || group->second.tasks.empty()) continue;
            nG_Task* task = group->second.tasks.back();
            if (task->textId != id) continue;
            task->completed = line->IntAttribute("completed", 0) == 1;
            task->refresh();
        }
    }
    if (const tinyxml2::XMLElement* records = element->FirstChildElement("completedata")) {
        for (const tinyxml2::XMLElement* record = records->FirstChildElement("data"); record;
             record = record->NextSiblingElement("data")) {
            nG_TaskCompleteData data;
            data.room = text(record, "room");
            data.dialogObject = text(record, "dialog_obj_name");
            data.inventoryObject = text(record, "inv_obj_name");
            data.completeTrigger = text(record, "complete_trigger");
            data.dialogCloseTrigger = text(record, "dialog_close_trigger");
            completeData[data.room] = data;
        }
    }
}
