// The game's messages: each number with the type its payload points to, and the records of those that
// carry more than one value. The poster owns the payload for the duration of the post; a query is answered
// by writing into it. Numbers 0 to 2 are the engine's own (engine/core/nE_Messages.h).
// The screen answers 70-73 for the game and the interface, which sit below it and never call it: 70
// asks for a game to start and 71 for the menu at the screen's next update, each replacing whatever
// switch was pending; 72 answers the pending switch and 73 replaces it (nG_ScreenSwitch).
#pragma once

#include <string>

#include "engine/core/nE_Messages.h"

class nE_Object;

// 72, 73: the switch the screen makes at its next update.
enum nG_ScreenSwitch : int { kSwitchNone = 0, kSwitchStart = 1, kSwitchMenu = 2, kSwitchMenuWithLogo = 3 };

// 70: the game the screen starts: a new one, or the one saved in the slot continued.
struct nG_GameStart {
    bool continueSave = false;
    int slot = 0;
    std::string levelPath;
    std::string startCode;
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

// 60: a window object to show, brought by its module when it does not exist yet.
struct nG_ObjectWindowRequest {
    std::string path;  // module that brings the object when it does not exist yet
    std::string name;  // the window object
    std::string code;  // trigger call queued with the object's name as sender
};

// clang-format off
NE_MESSAGE(MSG_POPUP, 3, nG_PopupRequest);
NE_MESSAGE(MSG_GAME_MODE_CHANGED, 4, int);
NE_MESSAGE(MSG_HIDE_INTERFACE, 5, nG_HideInterfaceRequest);
NE_MESSAGE(MSG_INTERFACE_INPUT, 6, bool);
NE_MESSAGE(MSG_LEFT_LAMP, 7, bool);
NE_MESSAGE(MSG_RIGHT_LAMP, 8, bool);
NE_MESSAGE(MSG_INV_ADD, 9, nG_InvAddRequest);
NE_MESSAGE(MSG_INV_REMOVE, 10, std::string);
NE_MESSAGE(MSG_INV_HIDE, 11, void);
NE_MESSAGE(MSG_INV_SHOW, 12, void);
NE_MESSAGE(MSG_INV_RETURN, 13, void);
NE_MESSAGE(MSG_INV_HIDE_ALL, 14, void);
NE_MESSAGE(MSG_INV_SET_Y, 15, float);
NE_MESSAGE(MSG_INV_HIGHLIGHT, 16, void);
NE_MESSAGE(MSG_TASK_ADD, 17, nG_TaskAddRequest);
NE_MESSAGE(MSG_TASK_COMPLETE_DATA, 18, nG_TaskCompleteData);
NE_MESSAGE(MSG_TASK_COMPLETE, 19, std::string);
NE_MESSAGE(MSG_TASKS_HIDE, 20, void);
NE_MESSAGE(MSG_TASKS_SHOW, 21, void);
NE_MESSAGE(MSG_INV_HIDDEN, 22, void);
NE_MESSAGE(MSG_TASK_UNMARK, 23, std::string);
NE_MESSAGE(MSG_TASKS_HEADER_Y, 24, float);
NE_MESSAGE(MSG_TASKS_HEADER_SHOW_TASKS, 25, void);
NE_MESSAGE(MSG_TASKS_HEADER_VISIBLE, 26, bool);
NE_MESSAGE(MSG_BLACKBAR_SHOW, 27, nG_BlackBarRequest);
NE_MESSAGE(MSG_BLACKBAR_HIDE, 28, void);
NE_MESSAGE(MSG_DIALOG_SHOW, 29, nG_DialogRequest);
NE_MESSAGE(MSG_DIALOG_CLOSE, 30, void);
NE_MESSAGE(MSG_TUTORIAL_SHOW, 31, nG_TutorialRequest);
NE_MESSAGE(MSG_HO_DIALOG_SHOW, 32, nG_HoDialogRequest);
// 33 is not used.
NE_MESSAGE(MSG_MINIGAME_START, 34, nG_MinigameStartRequest);
NE_MESSAGE(MSG_MINIGAME_SHOW, 35, nG_MinigameShowRequest);
NE_MESSAGE(MSG_MINIGAME_END, 36, std::string);
NE_MESSAGE(MSG_MINIGAME_CHARGE, 37, void);
NE_MESSAGE(MSG_HO_COLLECT, 38, nG_CollectRequest);
NE_MESSAGE(MSG_HINT_ALPHA, 39, float);
NE_MESSAGE(MSG_HINT_INPUT, 40, bool);
NE_MESSAGE(MSG_HINT_CHARGE, 41, void);
NE_MESSAGE(MSG_HINT_POINT, 74, std::string);  // the object the hint's light circles
NE_MESSAGE(MSG_ACHIEVEMENT_COMPLETE, 42, nG_AchievementRequest);
NE_MESSAGE(MSG_SAVE_GAME, 43, void);
NE_MESSAGE(MSG_CHANGE_ROOM, 44, nG_RoomChangeRequest);
NE_MESSAGE(MSG_ACTIVATE_GAME, 45, bool);
NE_MESSAGE(MSG_BLOCK_SUBROOM_CLOSE, 46, bool);
NE_MESSAGE(MSG_BLUR, 47, bool);
NE_MESSAGE(MSG_CLEAR_ROOMS_HUB, 48, void);
NE_MESSAGE(MSG_DIARY_TOGGLE, 49, void);
NE_MESSAGE(MSG_LOCK_DIARY_BOOK_OPEN, 50, bool);
NE_MESSAGE(MSG_GUIDE_TOC, 51, void);
NE_MESSAGE(MSG_GUIDE_NEXT, 52, void);
NE_MESSAGE(MSG_GUIDE_PREV, 53, void);
NE_MESSAGE(MSG_DIARY_BOOK, 54, bool);
NE_MESSAGE(MSG_LOCK_DIARY_CLOSE, 55, bool);
NE_MESSAGE(MSG_DIARY_ADD_PAGE, 56, std::string);
NE_MESSAGE(MSG_DIARY_COLLECT, 57, nG_CollectRequest);
NE_MESSAGE(MSG_DIARY_FLASH, 58, void);
NE_MESSAGE(MSG_SET_ACTIVE_MAP_ROOM, 59, std::string);
NE_MESSAGE(MSG_SHOW_OBJECT_WINDOW, 60, nG_ObjectWindowRequest);
NE_MESSAGE(MSG_GET_CURRENT_ROOM, 61, nE_Object*);         // answer: the shown room, or none
NE_MESSAGE(MSG_TASK_IS_DIALOG_OBJECT, 62, nG_TaskDialogObjectQuery);
NE_MESSAGE(MSG_TASKS_ACTIVE, 63, bool);                   // answer
NE_MESSAGE(MSG_TASK_POSITION, 64, nG_TaskPositionQuery);
NE_MESSAGE(MSG_TUTORIAL_SKIPPED, 65, bool);               // answer
NE_MESSAGE(MSG_IS_DIARY_OPENED, 66, bool);                // answer
NE_MESSAGE(MSG_IS_GAME_RUNNING, 67, bool);                // answer
NE_MESSAGE(MSG_SCREEN_WIDTH, 68, float);                  // answer: the width the canvas shows
NE_MESSAGE(MSG_SAVE_SLOT, 69, int);                       // answer: the slot the game saves to
NE_MESSAGE(MSG_START_GAME, 70, nG_GameStart);
NE_MESSAGE(MSG_SWITCH_TO_MENU, 71, void);
NE_MESSAGE(MSG_PENDING_SWITCH, 72, int);                  // answer: an nG_ScreenSwitch
NE_MESSAGE(MSG_SET_PENDING_SWITCH, 73, int);              // an nG_ScreenSwitch
// clang-format on
