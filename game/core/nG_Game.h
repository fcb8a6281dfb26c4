// The running game: the object the screen creates when the player enters a level and destroys when
// the player leaves for the menu. It starts the level (from its file or from a save slot), settles and
// saves itself on request (message 43) and writes its element into save slots.
//
// This is the game object's outer shape only: what the level shows lives in the level file's objects,
// which its scripts attach under "ng_game". Rooms, sub-rooms and the interface bar build on it.
#pragma once

#include <string>

#include "engine/core/nE_Listener.h"
#include "engine/core/nE_Object.h"
#include "game/shell/nG_SlotState.h"

class nG_Game : public nE_Object, public nE_Listener, public nG_SlotState {
public:
    static constexpr const char* kName = "ng_game";
    static constexpr const char* kFunctionTrigger = "ng_function";
    static constexpr const char* kStartTrigger = "ng_startlevel";

    // Named "ng_game", subscribed to the save message, registered with the profile hub for save slots;
    // the script table "ng_var" starts empty.
    nG_Game();
    ~nG_Game() override;
    // Declares the fixed assets, modules and triggers this class loads or calls, for the content checker.
    static void declareContent();

    // Continues the save slot when asked and the current profile has it; otherwise brings in the level
    // file and queues "ng_function" and then the start code, both sent by the game.
    virtual void startLevel(int slot, bool load, const std::string& levelPath, const std::string& startCode);
    // Brings the game to a stable state before a save or an exit: "std" timers run again, a drag ends
    // with its drop, the queued triggers run.
    virtual void settle();
    // Saves the current profile's slot (the one the screen reports) and writes the profile file.
    virtual void autosave();

    void onMessage(unsigned int message, void* payload) override;
    void dumpState(tinyxml2::XMLElement* slot) override;
    void restoreState(const tinyxml2::XMLElement* slot) override;
};
