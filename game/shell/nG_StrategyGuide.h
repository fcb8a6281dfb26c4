// The strategy guide (type "str_guide"): an illustrated walkthrough read from the XML file its "res"
// names, with a table of contents, chapters of pages with text and up to six screenshots, page turns
// with a cross-fade and a zoomed view of a screenshot. The last page shown is kept in the current
// profile. Its children exist only while its resources are loaded. Escape runs the trigger its
// "closetrig" names, which closes the window the guide sits in.
#pragma once

#include <string>
#include <vector>

#include "engine/core/nE_Object.h"
#include "game/interface/nG_Widget.h"

class nE_AnimSprite;
class nE_Sprite;
class nE_Text;
class nG_InterfButton;

class nG_StrategyGuide : public nE_Object, public nG_Widget {
public:
    static constexpr int kImageSlots = 6;
    // Contents entries beyond this do not fit the page and get no button.
    static constexpr int kMaxContents = 10;

    struct Entry {
        std::string text;
        int firstPage = 0;
    };
    struct Image {
        std::string path;
        int slot = 0;
    };
    struct Page {
        std::string chapter;
        std::string text;
        std::vector<Image> images;
    };
    // What the file says.
    struct Model {
        std::string title;
        std::vector<Entry> contents;
        std::vector<Page> pages;
    };

    nG_StrategyGuide();
    ~nG_StrategyGuide() override;

    // Reads the guide file (".xml" added when missing); a missing file or a broken one gives an empty
    // model and one line in the debug log.
    static Model read(const std::string& path);
    // The file a guide path names: backslashes as "/", ".xml" appended unless it ends so.
    static std::string fileName(const std::string& path);
    // The folder of a guide file's screenshots: the file's folder + "/screens/".
    static std::string screensFolder(const std::string& file);
    // A page's text: its font and size, where its first line's top stands, the lowest its block may
    // reach (above the page number), and the width it wraps at beside the page's screenshots.
    static constexpr const char* kPageFont = "assets/fonts/garapremrpro";
    static constexpr int kPageTextSize = 22;
    static constexpr float kPageTextTop = 170, kPageTextBottom = 676;
    static int pageTextWidth(const Page& page);
    // Declares the fixed assets a guide uses, for the content checker.
    static void declareContent();

    void loadProperties(nE_SLHelper& helper) override;
    void saveProperties(nE_SLHelper& helper) override;
    std::string getTypeName() const override;
    void resetState() override;
    void loadResources() override;
    void unloadResources() override;
    void update(float dt) override;
    // Escape closes the guide (and a zoomed screenshot first).
    bool handleInput(const nE_InputEvent& event, nE_RenderState& world) override;
    // Presses on a contents entry, a screenshot or the zoomed view.
    void childWasHit(nE_Object* hit, const nE_InputEvent& event) override;
    void onMessage(const nE_Message& message) override;

    // Turning: the contents are page -1; Back on the contents stays there.
    void showContents();
    void nextPage();
    void prevPage();
    void openEntry(int index);
    void zoom(int slot);

    Model model;
    std::string closeTrigger;
    int currentPage = -1;
    int targetPage = -1;
    float pageFade = 1;
    bool zoomShown = false;
    float zoomFade = 0;

    nE_Text* header = nullptr;
    nE_Text* pageNumber = nullptr;
    nE_Object* page = nullptr;
    nE_Text* description = nullptr;
    nE_Sprite* images[kImageSlots] = {};
    nG_InterfButton* imageButtons[kImageSlots] = {};
    nE_Object* contents = nullptr;
    nE_Object* bigView = nullptr;
    nE_Sprite* bigImage = nullptr;
    nE_AnimSprite* lamp = nullptr;

private:
    unsigned readSerial_ = 0;
    void resetOwn();
    void createChildren();
    void showPage(int index);
    void setPageInput(bool on);
    std::string titleOf(int index) const;
    template <class T>
    T* adopt(nE_Object* parent, T* child, const std::string& childName, float x, float y, float z);

    bool turning_ = false;
    bool headerFades_ = false;
};
