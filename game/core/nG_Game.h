// The running game ("ng_game"): the object the screen creates when the player enters a level and
// destroys when the player leaves for the menu. It owns the level (where the shown room, the open
// sub-room and the blur behind it stand), the rooms hub in the parked tree (where every other room
// waits) and the interface. It performs the room changes scripts ask for over the mediator, saves the
// current slot on message 43 and writes and reads its element "game" of a save slot.
#pragma once

#include <memory>
#include <string>

#include "engine/core/nE_Object.h"
#include "game/interface/nG_Widget.h"
#include "game/state/nG_SlotState.h"

class nE_Sprite;
class nE_Texture;
class nG_Interface;
class nG_Room;
class nG_SubRoom;
struct nG_RoomChangeRequest;

class nG_Game : public nE_Object, public nG_Widget, public nG_SlotState {
public:
    static constexpr const char* kName = "ng_game";
    static constexpr const char* kFunctionTrigger = "ng_function";
    static constexpr const char* kStartTrigger = "ng_startlevel";
    static constexpr const char* kRoomsHubName = "ng_rooms_hub";
    static constexpr const char* kLevelName = "ng_level";
    static constexpr const char* kBlurName = "ng_game_blur";
    static constexpr float kBlurSeconds = 0.6f;
    static constexpr float kSoundFadeIn = 2.f;
    // A game that shows no room for this long shows its interface, so that the menu stays in reach.
    static constexpr float kNoRoomSeconds = 3.f;
    // Scripts see no keys: the level hears of Escape (skipping a film, say) when it registers this.
    static constexpr const char* kEscapeTrigger = "ng_game_escape";
    static constexpr int kKeyEscape = 27;
    // The strategy guide's window, and the trigger of its module that closes it as its close button does.
    static constexpr const char* kGuideObject = "strguide";
    static constexpr const char* kGuideCloseTrigger = "ng_closeguide";

    // Named "ng_game", built (rooms hub, interface, level, blur), subscribed, registered with the
    // profile hub for save slots; the script table "ng_var" starts empty.
    nG_Game();
    ~nG_Game() override;
    // Declares the fixed assets, modules and triggers this class loads or calls, for the content checker.
    static void declareContent();

    // Continues the save slot when asked and the current profile has it; otherwise brings in the level
    // file and queues "ng_function" and then the start code, both sent by the game. A level that cannot
    // be read, or a slot that brings back no room, is reported and the player is not left stranded.
    virtual void startLevel(int slot, bool load, const std::string& levelPath, const std::string& startCode);
    // Brings the game to a stable state before a save or an exit: "std" timers run again, a drag ends
    // with its drop, the queued triggers run, rooms that are closing go back to the hub.
    virtual void settle();
    // Saves the current profile's slot (the one the screen reports) and writes the profile file; nothing
    // without a current profile or a current room.
    virtual void autosave();

    void update(float dt) override;
    bool handleInput(const nE_InputEvent& event, nE_RenderState& world) override;
    void restoreDeviceResources(bool recursive) override;
    void onMessage(const nE_Message& message) override;
    void dumpState(tinyxml2::XMLElement* slot) override;
    void restoreState(const tinyxml2::XMLElement* slot) override;

    // The room named in the rooms hub replaces the current one; an unknown name is reported.
    void changeRoom(const std::string& roomName, bool animate);
    void openSubRoom(const nG_RoomChangeRequest& request);
    // Nothing without a sub-room or while its close is blocked.
    void closeSubRoom(bool animate);
    void activateGame(bool on);
    void clearRoomsHub();
    void takeBlurSnapshot();
    // The open sub-room, else the current room, else none.
    nE_Object* shownRoom() const;
    // Escape closes the topmost thing open over the room (guide, tip, rules box, pop-up, diary,
    // close-up); false when nothing was open.
    bool closeTopmost();
    // A room is being played with its interface up: what the pause menu may stop.
    bool inPlay() const;

    nG_Room* currentRoom = nullptr;
    nG_SubRoom* currentSubRoom = nullptr;
    nE_Object* roomsHub = nullptr;
    nG_Interface* interface = nullptr;
    nE_Object* level = nullptr;
    std::shared_ptr<nE_Texture> blurTexture;
    bool blurOn = false;
    float blurTime = 0;
    nE_Sprite* blurSprite = nullptr;
    bool blockSubRoomClose = false;
    // Seconds without a current room; reported once.
    float noRoomTime = 0;
    bool noRoomReported = false;

private:
    void reset();
    // What closing the sub-room leaves behind: the frame hidden, the room behind it awake again.
    void finishSubRoomClose();
    void destroyRooms();
    // Moves a room back into the rooms hub (the parked tree).
    void park(nE_Object* room);
    void showInterfaceForMenu();

    bool ownsRoomsHub_ = false;
};
