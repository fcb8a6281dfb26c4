// The task list ("ng_tasks"): the things a room asks the player to do, grouped by room, shown in the
// bottom strip in place of the inventory while the current room has open tasks. When the room's last
// task is done it runs the room's completion trigger, asks the reward dialog to show the room's reward
// and slides away, bringing the inventory back.
//
// Mode cycle: hidden (1) -> the room has open tasks: the inventory hides (2) -> it has hidden (message
// 22): the list slides up (0) -> the room has no open task any more: the list slides down (1), the
// inventory comes back and the finished groups are dropped.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "engine/core/nE_Object.h"
#include "game/core/nG_Messages.h"
#include "game/interface/nG_Widget.h"
#include "game/interface/nG_WidgetState.h"

class nE_Sprite;
class nG_Task;

class nG_Tasks : public nE_Object, public nG_Widget, public nG_WidgetState {
public:
    static constexpr const char* kName = "ng_tasks";
    enum Mode { kShown = 0, kHidden = 1, kWaitingForInventory = 2 };
    static constexpr float kX = 512;
    // Columns at the least, and the rows under the header.
    static constexpr int kColumns = 4, kRows = 3;
    static constexpr float kColumnWidth = 180, kRowHeight = 23;
    // The least room between two names side by side.
    static constexpr float kColumnGap = 10;
    // The header stands this far above the list.
    static constexpr float kHeaderAbove = 49;

    struct Group {
        std::vector<nG_Task*> tasks;
        bool completed = false;
    };

    nG_Tasks();
    // Declares the fixed assets and string keys this widget and its lines use, for the content checker.
    static void declareContent();

    void update(float dt) override;
    // Marks the list as drawn: its update waits for a draw after a change of mode.
    void drawSelf(nE_Render* renderer, nE_RenderState& world) override;
    void onMessage(const nE_Message& message) override;
    // "tasks": the open tasks ("list") and the completion records of rooms still open ("completedata").
    tinyxml2::XMLElement* dumpState(tinyxml2::XMLDocument& doc) override;
    // Replaces every group and record with the saved ones.
    void restoreState(const tinyxml2::XMLElement* parent) override;

    void addTask(const std::string& textId, const std::string& room, bool marked, int count);
    void completeTask(const std::string& textId);
    void unmarkTask(const std::string& textId);
    void setMode(int newMode);
    // The object name of the room shown (the open sub-room, else the current room), or empty.
    static std::string currentRoomName();
    // The first line of that task, or none.
    nG_Task* findTask(const std::string& textId) const;

    std::map<std::string, Group> groups;
    std::map<std::string, nG_TaskCompleteData> completeData;
    int mode = kHidden;
    float slide = -0.5f;
    bool drawnSinceChange = true;
    nE_Sprite* background = nullptr;
    nE_Sprite* effect = nullptr;

private:
    // Places the group's lines in rows of equal columns under the header.
    void layOut(Group& group);
    void reset();
    void reposition();
    void flash(const nG_Task* task);
    // Shows the lines of the room shown and hides the others.
    void showLinesOf(const std::string& room);
    void dropCompletedGroups();
    void clearAll();

    // The room whose lines were last made visible.
    std::string shownRoom_;
};
