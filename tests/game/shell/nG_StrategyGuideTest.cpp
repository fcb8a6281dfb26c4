// The strategy guide: the file's model, page turns and their fades, the zoom, the page kept in the
// profile, and guide files that are broken or huge.
#include <gtest/gtest.h>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Language.h"
#include "engine/core/nE_Mediator.h"
#include "engine/core/nE_Scene.h"
#include "engine/core/nE_StringTable.h"
#include "engine/media/nE_ResourceCache.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/objects/nE_Text.h"
#include "game/core/nG_Messages.h"
#include "game/interface/nG_InterfButton.h"
#include "game/shell/nG_StrategyGuide.h"
#include "game/state/nG_ProfileHub.h"
#include "tests/engine/script/ScriptTestFolder.h"
#include "tests/engine/script/ScriptTestSupport.h"

namespace {

const char* const kGuide =
    "<guide><toc><h2>Contents</h2><ul><li>Gate</li><li>Hall</li><li>Nowhere</li></ul></toc>"
    "<chapter><h2>Gate</h2>"
    "<page><ul><li>Find the key.</li><li>Open the gate.</li></ul><img src=\"g1\" position=\"0\"/>"
    "<img src=\"g2\" position=\"3\"/><img position=\"1\"/><img src=\"bad\" position=\"7\"/>"
    "<img src=\"bad\" position=\"x\"/><video src=\"v\"/></page>"
    "<page><ul><li>Walk up the path.</li></ul><img src=\"g3\" position=\"2\"/></page></chapter>"
    "<unknown><page/></unknown>"
    "<chapter><h2>Hall</h2><page><ul><li>Look at the clock.</li></ul></page></chapter>"
    "</guide>";

class GuideTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (nE_Core::exists()) nE_Core::destroy();
        nE_ResourceCache::create();
        core = nE_Core::get();
        folder.write("guide/guide.xml", kGuide);
        nG_ProfileHub::setCurrent(&hub);
        hub.addProfile("Wren");
    }
    void TearDown() override {
        nG_ProfileHub::setCurrent(nullptr);
        nE_Core::destroy();
        nE_ResourceCache::destroy();
    }
    nG_StrategyGuide* open() {
        auto* guide = new nG_StrategyGuide();
        guide->name = "book";
        guide->setResourceName("guide/guide");
        core->scene().attach(core->scene().root(), guide);
        return guide;
    }
    template <unsigned int Message>
    static void post() {
        nE_Mediator::current()->post<Message>();
    }
    // Runs the turn to its end.
    static void settle(nG_StrategyGuide* guide) {
        for (int i = 0; i < 60; ++i) guide->update(1.f / 30);
    }

    script_test::DebugLines lines;
    script_test::GameFolder folder;
    nE_Core* core = nullptr;
    nG_ProfileHub hub{true};
};

}  // namespace

TEST_F(GuideTest, TheFileBecomesContentsPagesAndScreenshots) {
    const nG_StrategyGuide::Model model = nG_StrategyGuide::read("guide/guide");
    EXPECT_EQ(model.title, "Contents");
    ASSERT_EQ(model.contents.size(), 3u);
    EXPECT_EQ(model.contents[0].firstPage, 0);
    EXPECT_EQ(model.contents[1].firstPage, 2) << "pages read before the chapter that names it";
    EXPECT_EQ(model.contents[2].firstPage, 0) << "named by no chapter";
    ASSERT_EQ(model.pages.size(), 3u) << "pages outside a chapter are not the guide's";
    EXPECT_EQ(model.pages[0].chapter, "Gate");
    EXPECT_EQ(model.pages[0].text, "\u2022 Find the key.\n\u2022 Open the gate.\n");
    ASSERT_EQ(model.pages[0].images.size(), 2u) << "images without src or with a bad position are left out";
    EXPECT_EQ(model.pages[0].images[0].path, "guide/screens/g1");
    EXPECT_EQ(model.pages[0].images[1].slot, 3);
    EXPECT_EQ(model.pages[2].chapter, "Hall");

    EXPECT_TRUE(nG_StrategyGuide::read("guide/none").pages.empty());
    EXPECT_EQ(lines.lines.back(), "nG_StrategyGuide::Could not find \"guide/none.xml\" file!\n");
    folder.write("guide/broken.xml", "<guide><toc>");
    EXPECT_TRUE(nG_StrategyGuide::read("guide/broken.xml").contents.empty());
    EXPECT_NE(lines.lines.back().find("is not a guide"), std::string::npos);
}

TEST_F(GuideTest, PagesTurnAroundTheContentsAndTheProfileKeepsThePage) {
    nG_StrategyGuide* guide = open();
    ASSERT_NE(guide->header, nullptr);
    EXPECT_EQ(guide->currentPage, -1) << "a fresh profile starts on the contents";
    EXPECT_TRUE(guide->contents->visible);
    EXPECT_EQ(guide->contents->children.size(), 3u);

    post<MSG_GUIDE_PREV>();
    EXPECT_EQ(guide->targetPage, -1) << "Back on the contents goes nowhere";

    // A contents entry opens its chapter's first page.
    nE_Object* entry = guide->contents->children[1];
    nE_InputEvent press;
    press.type = nE_InputEvent::kButtonDown;
    guide->childWasHit(entry->children.back(), press);
    EXPECT_EQ(guide->targetPage, 2);
    EXPECT_FALSE(guide->contents->input) << "no second press while the page turns";
    settle(guide);
    EXPECT_EQ(hub.currentProfile()->guidePage, 2);
    post<MSG_GUIDE_NEXT>();
    settle(guide);
    EXPECT_EQ(guide->currentPage, -1) << "after the last page come the contents";

    post<MSG_GUIDE_TOC>();
    settle(guide);
    post<MSG_GUIDE_NEXT>();
    settle(guide);
    EXPECT_EQ(guide->currentPage, 0);
    post<MSG_GUIDE_PREV>();
    settle(guide);
    EXPECT_EQ(guide->currentPage, -1) << "before the first page come the contents";
    post<MSG_GUIDE_NEXT>();
    settle(guide);

    // Reopened, the guide starts where the player left it.
    core->scene().park(guide);
    EXPECT_EQ(guide->header, nullptr) << "no children while parked";
    core->scene().attach(core->scene().root(), guide);
    EXPECT_EQ(guide->currentPage, 0);
    EXPECT_TRUE(guide->page->visible);
}

TEST_F(GuideTest, ATurnWithinAChapterKeepsTheHeaderAndSlotsFollowThePage) {
    nG_StrategyGuide* guide = open();
    post<MSG_GUIDE_NEXT>();
    settle(guide);
    ASSERT_EQ(guide->currentPage, 0);
    // Page 0 has pictures in both columns: the text makes room for the left one.
    EXPECT_EQ(guide->description->maxWidth, 500);
    EXPECT_TRUE(guide->images[0]->visible && guide->images[3]->visible);
    EXPECT_EQ(guide->images[0]->getResourceName(), "guide/screens/g1");
    EXPECT_TRUE(guide->imageButtons[3]->input);
    EXPECT_FALSE(guide->images[1]->visible || guide->imageButtons[1]->visible ||
                 guide->imageButtons[1]->input);

    post<MSG_GUIDE_NEXT>();
    for (int i = 0; i < 20; ++i) {
        guide->update(1.f / 30);
        EXPECT_EQ(guide->header->localState().alpha, 1.f) << "same chapter, steady header";
    }
    settle(guide);
    EXPECT_EQ(guide->currentPage, 1);
    EXPECT_EQ(guide->description->maxWidth, 690) << "only the right column";
    EXPECT_FALSE(guide->images[0]->visible);
    EXPECT_TRUE(guide->images[2]->visible);

    post<MSG_GUIDE_NEXT>();
    guide->update(0.1f);
    EXPECT_LT(guide->header->localState().alpha, 1.f) << "a new chapter fades the header";
    settle(guide);
    EXPECT_EQ(guide->description->maxWidth, 850) << "no pictures";

    // The zoom opens from a picture and closes on a press once it is fully shown.
    post<MSG_GUIDE_PREV>();
    settle(guide);
    guide->zoom(2);
    EXPECT_TRUE(guide->bigView->visible);
    EXPECT_EQ(guide->bigImage->getResourceName(), "guide/screens/g3");
    nE_InputEvent press;
    press.type = nE_InputEvent::kButtonDown;
    guide->update(0.1f);
    guide->childWasHit(guide->bigView, press);
    EXPECT_TRUE(guide->zoomShown) << "not while it still fades in";
    settle(guide);
    guide->childWasHit(guide->bigView, press);
    settle(guide);
    EXPECT_FALSE(guide->bigView->visible);
    guide->zoom(5);
    EXPECT_FALSE(guide->zoomShown) << "an empty slot shows nothing";

    // Escape puts the zoomed picture away first; a guide without a close trigger lets the key go on.
    guide->zoom(2);
    settle(guide);
    nE_InputEvent escape;
    escape.code = 27;
    nE_RenderState world;
    EXPECT_TRUE(guide->handleInput(escape, world));
    EXPECT_FALSE(guide->zoomShown);
    EXPECT_FALSE(guide->handleInput(escape, world));
}

TEST_F(GuideTest, AnotherLanguageReadsItsOwnGuideAndKeepsThePageShown) {
    const std::string row = "<Row><Cell><Data>k</Data></Cell><Cell><Data>v</Data></Cell></Row>";
    folder.write("assets/strings.xml", row);
    folder.write("assets/strings_de.xml", row);
    std::string german = kGuide;
    german.replace(german.find("<h2>Hall</h2>"), 13, "<h2>Halle</h2>");
    folder.write("guide/guide_de.xml", german);
    nE_StringTable table;
    nE_StringTable::setCurrent(&table);
    nE_Language::apply(table, "en");

    nG_StrategyGuide* guide = open();
    guide->openEntry(1);
    settle(guide);
    ASSERT_EQ(guide->currentPage, 2);
    nE_Language::apply(table, "de");
    guide->update(0);
    EXPECT_EQ(guide->header->text, "Halle");
    EXPECT_EQ(guide->currentPage, 2);
    nE_Language::apply(table, "en");
    guide->update(0);
    EXPECT_EQ(guide->header->text, "Hall");
    nE_StringTable::setCurrent(nullptr);
}

TEST_F(GuideTest, HugeAndHostileGuidesStayUsable) {
    std::string big = "<guide><toc><h2>T</h2><ul>";
    for (int i = 0; i < 40; ++i) big += "<li>Entry " + std::to_string(i) + "</li>";
    big += "</ul></toc><chapter><h2>Entry 0</h2>";
    for (int i = 0; i < 10000; ++i)
        big += "<page><ul><li>Line</li></ul><img src=\"s\" position=\"1\"/></page>";
    big += "</chapter></guide>";
    folder.write("guide/guide.xml", big);
    nG_StrategyGuide* guide = open();
    EXPECT_EQ(guide->model.pages.size(), 10000u);
    EXPECT_EQ(guide->contents->children.size(), static_cast<size_t>(nG_StrategyGuide::kMaxContents))
        << "only what fits gets a button";
    post<MSG_GUIDE_NEXT>();
    settle(guide);
    EXPECT_EQ(guide->currentPage, 0);

    hub.currentProfile()->guidePage = 123456;
    folder.write("guide/guide.xml", "<guide/>");
    core->scene().park(guide);
    core->scene().attach(core->scene().root(), guide);
    EXPECT_EQ(guide->currentPage, -1) << "a page the guide no longer has";
    post<MSG_GUIDE_NEXT>();
    settle(guide);
    EXPECT_EQ(guide->currentPage, -1) << "an empty guide stays on its contents";
    post<MSG_GUIDE_PREV>();
    settle(guide);
    EXPECT_EQ(guide->currentPage, -1);
}
