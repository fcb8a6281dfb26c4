// The diary ("ng_diary"): a full-screen book with the pages the story adds, page-turning arrows and the
// map of the house on which the current room is marked. Its pages and maps come from the module
// "assets/diary/module" and wait in the object "ng_diary_hub" until they are shown. While it is not
// closed it takes every pointer event, so the scene behind it takes no clicks.
#pragma once

#include <string>
#include <vector>

#include "engine/core/nE_Object.h"
#include "game/interface/nG_Widget.h"
#include "game/interface/nG_WidgetState.h"

class nE_AnimSprite;
class nE_Sprite;
class nG_InterfButton;

class nG_Diary : public nE_Object, public nG_Widget, public nG_WidgetState {
public:
    static constexpr const char* kName = "ng_diary";
    static constexpr const char* kModule = "assets/diary/module";
    static constexpr const char* kHubName = "ng_diary_hub";
    // Maps are the hub's objects whose names contain this; their animated sprites are the map rooms.
    static constexpr const char* kMapMark = "ng_diary_map_";
    static constexpr const char* kOpenedTrigger = "ng_diary_opened";
    static constexpr const char* kBackImage = "assets/diary/back";
    static constexpr const char* kNextImages[3] = {
        "assets/diary/arrow_right", "assets/diary/arrow_right_focus", "assets/diary/arrow_right"};
    static constexpr const char* kPrevImages[3] = {"assets/diary/arrow_left", "assets/diary/arrow_left_focus",
                                                   "assets/diary/arrow_left"};
    static constexpr const char* kFirstPageNumber = "assets/diary/page_1";
    static constexpr const char* kQuitImage = "assets/diary/flare_alpha";
    static constexpr const char* kCloseImages[2] = {"assets/diary/close_normal", "assets/diary/close_focus"};
    static constexpr const char* kCloseFont = "assets/fonts/gara";
    static constexpr const char* kCloseKey = "button_close";
    static constexpr const char* kTurnSound = "assets/audio/common_s_diary";
    static constexpr const char* kAddSound = "assets/audio/common_s_todiary";
    static constexpr float kFadeSeconds = 0.3f;
    static constexpr float kTurnSeconds = 0.2f;
    static constexpr float kDisabledArrowAlpha = 0.3f;

    enum State { kOpening = 0, kOpen = 1, kClosing = 2, kClosed = 3, kTurning = 4 };

    // Builds the book and brings in its module; the diary starts closed.
    nG_Diary();
    // What the diary loads and calls by name, for the content checker.
    static void declareContent();
    ~nG_Diary() override;

    void update(float dt) override;
    // Every pointer event is taken unless the diary is closed.
    bool handleInput(const nE_InputEvent& event, nE_RenderState& world) override;
    void onMessage(const nE_Message& message) override;
    tinyxml2::XMLElement* dumpState(tinyxml2::XMLDocument& doc) override;
    void restoreState(const tinyxml2::XMLElement* parent) override;

    void setState(int newState);
    void open();
    // Nothing while closing is locked.
    void close();
    void toggle();
    void lockClose(bool lock);
    // Ignored for an index outside the pages, for the page shown, and unless the book is open or opening.
    void turnTo(int index);
    // Appends the named object as the last page and shows it; announce adds the sound, the clipboard
    // and the flash. An unknown name or a page already in the diary changes nothing.
    void addPage(const std::string& pageName, bool announce);
    // Marks the room on its map, which becomes the map shown when it is not already.
    void markMapRoom(const std::string& roomName);
    // Opening, open or turning a page.
    bool opened() const;
    // The page object at index, or none.
    nE_Object* page(int index) const;
    int pageCount() const { return static_cast<int>(pages.size()); }

    int state = kClosed;
    float stateTime = 0;
    bool closeLocked = false;
    // Page object names in order of addition: a page is found again by name wherever it waits.
    std::vector<std::string> pages;
    int pageIndex = 0;
    nE_Object* oldPage = nullptr;
    nE_Object* newPage = nullptr;
    nE_Object* hub = nullptr;
    nE_Object* currentMap = nullptr;

    nE_Sprite* background = nullptr;
    nE_Object* pagesRoot = nullptr;
    nG_InterfButton* nextButton = nullptr;
    nG_InterfButton* prevButton = nullptr;
    nE_Sprite* pageNumber = nullptr;
    nG_InterfButton* quitArea = nullptr;
    nG_InterfButton* closeButton = nullptr;

private:
    void build();
    void loadHub();
    // Moves the object into the hub (parked with it).
    void toHub(nE_Object* object);
    // Attaches the object under the new parent through the scene, so it loads or unloads with it.
    void attachUnder(nE_Object* parent, nE_Object* object);
    void showPage(nE_Object* shown);
    // Where a shown page stands.
    void placePage(nE_Object* page);
    // Appends the named page to the list (no page shown); none for an unknown name, an object that
    // cannot be a page or a page already listed.
    nE_Object* listPage(const std::string& pageName);
    // Ends a page turn at once: the new page stands, the old one goes back to the hub.
    void finishTurn();
    void updateArrows();
    void updatePageNumber();
    bool acceptsPage(const nE_Object* object) const;
    // The map room of that name on the shown map or on any map in the hub, or none.
    nE_AnimSprite* findMapRoom(const std::string& roomName) const;
    static bool isMap(const nE_Object* object);
    // The maps below holder, in tree order.
    static void collectMaps(nE_Object* holder, std::vector<nE_Object*>& maps);
    static void showFrame(nE_AnimSprite* room, int frame);
    static void onNext(void* diary);
    static void onPrev(void* diary);
    static void onClose(void* diary);
};
