// Payloads of the game mediator's messages that carry more than one value. The poster owns the record
// for the duration of the post; a query is answered by writing into it. Messages with a single value
// carry a pointer to it: bool (6, 7, 8, 26, 45, 46, 47, 50, 54, 55; 63, 65 and 66 as answers), int
// (4, 69, 73; 72 as answer), float (15, 24), std::string (10, 19, 23, 36, 56, 59), nE_Object* (61,
// answer); 11, 12, 13, 14, 16, 20, 21, 22, 25, 28, 30, 37, 41, 43, 48, 49, 58 and 71 carry nothing.
// The screen answers 70-73 for the game and the interface, which sit below it and never call it: 70
// asks for a game to start and 71 for the menu at the screen's next update, each replacing whatever
// switch was pending; 72 answers the pending switch and 73 replaces it (nG_ScreenSwitch).
#pragma once

#include <string>

// 72, 73: the switch the screen makes at its next update.
enum nG_ScreenSwitch : int { kSwitchNone = 0, kSwitchStart = 1, kSwitchMenu = 2, kSwitchMenuWithLogo = 3 };

// 70: the game the screen starts: a new one, or the one saved in the slot continued.
struct nG_GameStart {
    bool continueSave = false;
    int slot = 0;
    std::string levelPath;
    std::string startCode;
};

// 60: a window object shown over the game (or the menu) with a trigger call.
struct nG_ObjectWindowRequest {
    std::string path;  // module that brings the object when it does not exist yet
    std::string name;  // the window object
    std::string code;  // trigger call queued with the object's name as sender
};

// 44: a room change, or a sub-room to open or close.
struct nG_RoomChangeRequest {
    bool isSubRoom = false;
    bool closeCurrent = false;
    int startX = 0, startY = 0, endX = 0, endY = 0;
    bool animate = true;
    std::string name;
};

// 3: show or hide the pop-up.
struct nG_PopupRequest {
    bool show = false;
    std::string textId;
    std::string params[5];
    bool rawText = false;
};

// 5: hide or show the interface, with a fade or at once.
struct nG_HideInterfaceRequest {
    bool hide = false;
    bool fade = true;
};

// 9: an item flies into the inventory.
struct nG_InvAddRequest {
    std::string item;
    std::string flyer;
    std::string code;
};

// 17: a task line.
struct nG_TaskAddRequest {
    std::string textId;
    std::string room;
    bool marked = false;
    int count = 0;
};

// 18: what happens when a room's last task is done.
struct nG_TaskCompleteData {
    std::string room;
    std::string dialogObject;
    std::string inventoryObject;
    std::string completeTrigger;
    std::string dialogCloseTrigger;
};

// 32: the reward of a room whose last task is done: the object the dialog shows, the inventory item it
// hands over and the trigger fired when it closes.
struct nG_HoDialogRequest {
    std::string object;
    std::string inventoryObject;
    std::string closeTrigger;
};

// 62: whether the object is some room's reward object (then it is kept after its flight); answered in
// keep.
struct nG_TaskDialogObjectQuery {
    std::string object;
    bool keep = false;
};

// 64: where the first line of a task stands, in the coordinates of the task list's parent (the
// interface); found stays false and the point (0, 0) when there is no such task.
struct nG_TaskPositionQuery {
    std::string textId;
    float x = 0, y = 0;
    bool found = false;
};

// 38: a found hidden object and its task; 57: an object flying into the diary and the trigger fired
// when it arrives.
struct nG_CollectRequest {
    std::string object;
    std::string second;
};

// 27: black-bar narration.
struct nG_BlackBarRequest {
    std::string text;
    float seconds = 0;
};

// 29: a framed dialog.
struct nG_DialogRequest {
    std::string text;
    int x = 0, y = 0;
    int a = 0, b = 0;
};

// 31: a tutorial hint.
struct nG_TutorialRequest {
    std::string textId;
    int posX = 0, posY = 0;
    bool first = false;
    int arrowX = 0, arrowY = 0;
    float arrowAngle = 0;
    std::string closeTrigger;
};

// 34: a mini-game record.
struct nG_MinigameStartRequest {
    std::string room;
    std::string skipTrigger;
    std::string resetTrigger;
    std::string infoDialog;
};

// 35: show or hide a mini-game's panel.
struct nG_MinigameShowRequest {
    std::string room;
    bool show = false;
};

// 42: progress of an achievement.
struct nG_AchievementRequest {
    std::string name;
    std::string second;
    bool repeatable = false;
    int target = 0;
};
