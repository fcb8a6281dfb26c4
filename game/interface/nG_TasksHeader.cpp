#include "game/interface/nG_TasksHeader.h"

#include <string>
#include <vector>

#include "engine/core/nE_Scene.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/script/nE_ContentRules.h"
#include "game/core/nG_Messages.h"
#include "game/interface/nG_InterfButton.h"

namespace {

constexpr const char* kHeaderBackImage = "assets/interface/inventory_tasks/part_1";
constexpr const char* kInventoryLit = "assets/interface/inventory_tasks/inventory_light";
constexpr const char* kInventoryShown = "assets/interface/inventory_tasks/inventory";
constexpr const char* kTasksLit = "assets/interface/inventory_tasks/item_list_light";
constexpr const char* kTasksShown = "assets/interface/inventory_tasks/item_list";
constexpr const char* kHighlightImage = "assets/interface/inventory_tasks/inv_btn_light";
constexpr int kHeaderLineAlpha = 8;
constexpr int kAdditive = 2;

}  // namespace

nG_TasksHeader::nG_TasksHeader() {
    name = kName;
    reset();
    subscribe({MSG_INV_HIGHLIGHT, MSG_TASKS_HEADER_Y, MSG_TASKS_HEADER_SHOW_TASKS, MSG_TASKS_HEADER_VISIBLE});
}

void nG_TasksHeader::declareContent() {
    using R = nE_ContentRules;
    for (const char* image :
         {kHeaderBackImage, kInventoryLit, kInventoryShown, kTasksLit, kTasksShown, kHighlightImage})
        R::addNeed({"", R::kImage, image, "nG_TasksHeader", "", ""});
}

void nG_TasksHeader::reset() {
    background = new nE_Sprite();
    background->name = std::string(kName) + "_bg";
    background->setResourceName(kHeaderBackImage);
    addPart(background);

    // The tabs have no normal look: the one shown is disabled, the other lights up on hover.
    auto tab = [this](const char* suffix, const char* lit, const char* shown, float x,
                      nG_InterfButton::ClickHandler click) {
        auto* button = new nG_InterfButton(std::string(kName) + suffix);
        nG_InterfButton::Params params;
        params.layer1Image = lit;
        params.layer2Image = shown;
        button->build(params);
        button->fadeSpeed = kTabFadeSpeed;
        button->setHitRect(-60, -20, 120, 40);
        button->editLocalState()->x = x;
        button->editLocalState()->y = kTabY;
        button->editLocalState()->z = 1;
        button->onClick = click;
        button->clickArg = this;
        addPart(button);
        return button;
    };
    inventoryTab = tab("_btn_inv", kInventoryLit, kInventoryShown, -kTabX, onInventory);
    tasksTab = tab("_btn_tasks", kTasksLit, kTasksShown, kTabX, onTasks);

    highlight = new nE_Sprite();
    highlight->name = std::string(kName) + "_btn_inv_highlight";
    highlight->setResourceName(kHighlightImage);
    highlight->editLocalState()->x = -kTabX;
    highlight->editLocalState()->y = kTabY;
    highlight->editLocalState()->z = 2;
    highlight->editLocalState()->alpha = 0;
    highlight->editLocalState()->blendMode = kAdditive;
    highlight->input = false;
    addPart(highlight);

    editLocalState()->x = kX;
    editLocalState()->y = kY;
    visible = false;
}

void nG_TasksHeader::onInventory(void* header) {
    static_cast<nG_TasksHeader*>(header)->showInventory();
}

void nG_TasksHeader::onTasks(void* header) {
    static_cast<nG_TasksHeader*>(header)->showTasks();
}

void nG_TasksHeader::showInventory() {
    inventoryTab->setEnabled(false);
    tasksTab->setEnabled(true);
    post<MSG_INV_SHOW>();
    post<MSG_TASKS_HIDE>();
    visible = true;
}

void nG_TasksHeader::showTasks() {
    tasksTab->setEnabled(false);
    inventoryTab->setEnabled(true);
    post<MSG_INV_HIDE>();
    post<MSG_TASKS_SHOW>();
    visible = true;
}

void nG_TasksHeader::blink() {
    const std::vector<float> keys = {0, 0, 0.25f, 1, 0.5f, 0, 0.75f, 1, 1.f, 0, 1.25f, 1, 1.5f, 0};
    nE_Scene::addAnimLine(highlight, kHeaderLineAlpha, false, false, "", keys.data(),
                          static_cast<int>(keys.size()));
    inventoryTab->editLocalState()->alpha = 1;
}

void nG_TasksHeader::onMessage(const nE_Message& message) {
    switch (message.number) {
        case MSG_INV_HIGHLIGHT:
            blink();
            break;
        case MSG_TASKS_HEADER_Y:
            if (auto* value = message.payload<MSG_TASKS_HEADER_Y>()) editLocalState()->y = *value;
            break;
        case MSG_TASKS_HEADER_SHOW_TASKS:
            showTasks();
            break;
        case MSG_TASKS_HEADER_VISIBLE:
            if (auto* value = message.payload<MSG_TASKS_HEADER_VISIBLE>()) visible = *value;
            break;
        default:
            break;
    }
}
