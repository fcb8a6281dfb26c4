// The task list's header ("ng_tasks_header"): a bar above the bottom strip with two tabs that switch
// the strip between the task list and the inventory, and a highlight that blinks on the inventory tab
// when something new is in it. The tab that is shown is the disabled one.
#pragma once

#include "engine/core/nE_Object.h"
#include "game/interface/nG_Widget.h"

class nE_Sprite;
class nG_InterfButton;

class nG_TasksHeader : public nE_Object, public nG_Widget {
public:
    static constexpr const char* kName = "ng_tasks_header";
    static constexpr float kX = 512, kY = 968;
    static constexpr float kTabX = 99, kTabY = -1;
    static constexpr float kTabFadeSpeed = 6.f;

    nG_TasksHeader();
    // Declares the fixed assets this widget loads, for the content checker.
    static void declareContent();

    void onMessage(const nE_Message& message) override;

    // The inventory in the strip; the list hidden.
    void showInventory();
    // The list in the strip; the inventory hidden.
    void showTasks();
    // Three blinks of the inventory tab in a second and a half.
    void blink();

    nE_Sprite* background = nullptr;
    nG_InterfButton* inventoryTab = nullptr;
    nG_InterfButton* tasksTab = nullptr;
    nE_Sprite* highlight = nullptr;

private:
    void reset();
    static void onInventory(void* header);
    static void onTasks(void* header);
};
