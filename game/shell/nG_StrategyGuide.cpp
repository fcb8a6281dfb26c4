#include "game/shell/nG_StrategyGuide.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cstdio>

#include "engine/core/nE_Debug.h"
#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Language.h"
#include "engine/core/nE_Scene.h"
#include "engine/core/nE_StringTable.h"
#include "engine/objects/nE_AnimSprite.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/objects/nE_Text.h"
#include "engine/script/nE_ContentRules.h"
#include "engine/script/nE_SLHelper.h"
#include "game/core/nG_Messages.h"
#include "game/interface/nG_Cursor.h"
#include "game/interface/nG_InterfButton.h"
#include "game/state/nG_ProfileHub.h"
#include "pflib/TFile.h"

namespace {

constexpr char kTitleFont[] = "assets/fonts/garapremrpro_b";
constexpr const char* kTextFont = nG_StrategyGuide::kPageFont;
constexpr char kFrameNormal[] = "assets/menu/strguide/frame_normal";
constexpr char kFrameFocus[] = "assets/menu/strguide/frame_focus";
constexpr char kEntryLight[] = "assets/menu/strguide/light";
constexpr char kBlack[] = "assets/interface/main/black";
constexpr char kFrameZoom[] = "assets/menu/strguide/frame_zoom";
constexpr char kLamp[] = "assets/interface/main/light";
constexpr char kLampFunction[] = "DoAnim";
const float kSlotX[nG_StrategyGuide::kImageSlots] = {880, 690, 880, 690, 880, 690};
const float kSlotY[nG_StrategyGuide::kImageSlots] = {230, 230, 370, 370, 510, 510};
constexpr float kTurnSpeed = 3.f;
constexpr float kZoomSpeed = 3.f;
constexpr int kKeyEscape = 27;
// The page's text keeps clear of the frame and of the screenshots: it starts inside the frame's left
// edge and its width leaves room for the picture columns it would otherwise run into.
constexpr float kTextLeft = 72;
constexpr int kWidthBesideLeftColumn = 500, kWidthBesideRightColumn = 690, kWidthAlone = 850;

std::string textOf(const tinyxml2::XMLElement* element) {
    const char* text = element ? element->GetText() : nullptr;
    return text ? text : "";
}

void setColour(nE_Object* object, int r, int g, int b) {
    object->editLocalState()->red = r / 255.f;
    object->editLocalState()->green = g / 255.f;
    object->editLocalState()->blue = b / 255.f;
}

}  // namespace

nG_StrategyGuide::nG_StrategyGuide() {
    resetOwn();
    subscribe({MSG_GUIDE_TOC, MSG_GUIDE_NEXT, MSG_GUIDE_PREV});
}

nG_StrategyGuide::~nG_StrategyGuide() {
    unsubscribeAll();
    // The base destructor no longer reaches this class's unloadResources.
    deactivate();
}

void nG_StrategyGuide::resetOwn() {
    currentPage = targetPage = -1;
    pageFade = 1;
    zoomShown = false;
    zoomFade = 0;
}

void nG_StrategyGuide::resetState() {
    nE_Object::resetState();
    resetOwn();
}

std::string nG_StrategyGuide::getTypeName() const {
    return "str_guide";
}

void nG_StrategyGuide::loadProperties(nE_SLHelper& helper) {
    nE_Object::loadProperties(helper);
    std::string res = resourceName;
    if (helper.readString("res", res)) setResourceName(res);
    helper.readString("closetrig", closeTrigger);
}

void nG_StrategyGuide::saveProperties(nE_SLHelper& helper) {
    nE_Object::saveProperties(helper);
    helper.writeString("res", resourceName);
    if (!closeTrigger.empty()) helper.writeString("closetrig", closeTrigger);
}

std::string nG_StrategyGuide::fileName(const std::string& path) {
    std::string file = path;
    for (char& c : file)
        if (c == '\\') c = '/';
    if (file.size() < 4 || file.compare(file.size() - 4, 4, ".xml")) file += ".xml";
    const std::string translated = nE_Language::twin(file.substr(0, file.size() - 4), ".xml");
    return translated.empty() ? file : translated;
}

std::string nG_StrategyGuide::screensFolder(const std::string& file) {
    const size_t slash = file.rfind('/');
    return (slash == std::string::npos ? std::string(".") : file.substr(0, slash)) + "/screens/";
}

void nG_StrategyGuide::declareContent() {
    using R = nE_ContentRules;
    const char* const owner = "nG_StrategyGuide";
    for (const char* font : {kTitleFont, kTextFont}) R::addNeed({"", R::kFont, font, owner, "", "str_guide"});
    for (const char* image : {kFrameNormal, kFrameFocus, kEntryLight, kBlack, kFrameZoom})
        R::addNeed({"", R::kImage, image, owner, "", "str_guide"});
    R::addNeed({"", R::kAnimation, kLamp, owner, kLampFunction, "str_guide"});
}

nG_StrategyGuide::Model nG_StrategyGuide::read(const std::string& path) {
    Model model;
    const std::string file = fileName(path);
    std::string bytes;
    if (!pf::TFile::ReadAll(file, bytes)) {
        nE_Debug::writef("nG_StrategyGuide::Could not find \"%s\" file!\n", file.c_str());
        return model;
    }
    tinyxml2::XMLDocument doc(true, tinyxml2::COLLAPSE_WHITESPACE);
    const tinyxml2::XMLElement* root = nullptr;
    if (doc.Parse(bytes.data(), bytes.size()) != tinyxml2::XML_SUCCESS ||
        !(root = doc.FirstChildElement("guide"))) {
        nE_Debug::writef("nG_StrategyGuide: \"%s\" is not a guide", file.c_str());
        return model;
    }
    const std::string screens = screensFolder(file);

    if (const tinyxml2::XMLElement* toc = root->FirstChildElement("toc")) {
        model.title = textOf(toc->FirstChildElement("h2"));
        for (const tinyxml2::XMLElement* ul = toc->FirstChildElement("ul"); ul;
             ul = ul->NextSiblingElement("ul"))
            for (const tinyxml2::XMLElement* li = ul->FirstChildElement("li"); li;
                 li = li->NextSiblingElement("li"))
                model.contents.push_back(Entry{textOf(li), 0});
    }
    std::vector<bool> named(model.contents.size(), false);
    for (const tinyxml2::XMLElement* chapter = root->FirstChildElement("chapter"); chapter;
         chapter = chapter->NextSiblingElement("chapter")) {
        const int before = static_cast<int>(model.pages.size());
        const std::string title = textOf(chapter->FirstChildElement("h2"));
        for (const tinyxml2::XMLElement* h2 = chapter->FirstChildElement("h2"); h2;
             h2 = h2->NextSiblingElement("h2")) {
            for (size_t i = 0; i < model.contents.size(); ++i) {
                if (!named[i] && model.contents[i].text == textOf(h2)) {
                    model.contents[i].firstPage = before;
                    named[i] = true;
                    break;
                }
            }
        }
        for (const tinyxml2::XMLElement* p = chapter->FirstChildElement("page"); p;
             p = p->NextSiblingElement("page")) {
            Page page;
            page.chapter = title;
            for (const tinyxml2::XMLElement* ul = p->FirstChildElement("ul"); ul;
                 ul = ul->NextSiblingElement("ul"))
                for (const tinyxml2::XMLElement* li = ul->FirstChildElement("li"); li;
                     li = li->NextSiblingElement("li"))
                    page.text += "\u2022 " + textOf(li) + "\n";
            for (const tinyxml2::XMLElement* img = p->FirstChildElement("img"); img;
                 img = img->NextSiblingElement("img")) {
                const char* src = img->Attribute("src");
                int slot = -1;
                if (!src || !*src || img->QueryIntAttribute("position", &slot) != tinyxml2::XML_SUCCESS ||
                    slot < 0 || slot >= kImageSlots)
                    continue;
                page.images.push_back(Image{screens + src, slot});
            }
            model.pages.push_back(std::move(page));
        }
    }
    return model;
}

template <class T>
T* nG_StrategyGuide::adopt(nE_Object* parent, T* child, const std::string& childName, float x, float y,
                           float z) {
    child->name = childName;
    child->editLocalState()->x = x;
    child->editLocalState()->y = y;
    child->editLocalState()->z = z;
    parent->addPart(child);
    return child;
}

int nG_StrategyGuide::pageTextWidth(const Page& page) {
    bool rightColumn = false, leftColumn = false;
    for (const Image& image : page.images) (image.slot % 2 ? leftColumn : rightColumn) = true;
    return leftColumn ? kWidthBesideLeftColumn : rightColumn ? kWidthBesideRightColumn : kWidthAlone;
}

void nG_StrategyGuide::createChildren() {
    header = adopt(this, new nE_Text(), "ng_strategy_guide_header", 175, 62, 10);
    header->setResourceName(kTitleFont);
    header->fontSize = 34;
    header->rawText = true;
    header->input = false;
    setColour(header, 71, 59, 56);

    pageNumber = adopt(this, new nE_Text(), "ng_strategy_guide_pagenum", 512, 690, 10);
    pageNumber->setResourceName(kTextFont);
    pageNumber->fontSize = 22;
    pageNumber->rawText = true;
    pageNumber->input = false;
    // The gold of the guide's and the menu's captions.
    setColour(pageNumber, 255, 227, 163);

    page = adopt(this, new nE_Object(), "ng_strategy_guide_page", 0, 0, 5);
    description = adopt(page, new nE_Text(), "ng_strategy_guide_descr", kTextLeft, 100, 9);
    description->setResourceName(kTextFont);
    description->fontSize = kPageTextSize;
    description->rawText = true;
    description->align = 0;
    description->input = false;
    setColour(description, 234, 219, 184);
    for (int i = 0; i < kImageSlots; ++i) {
        images[i] = adopt(page, new nE_Sprite(), "ng_strategy_guide_image_" + std::to_string(i), kSlotX[i],
                          kSlotY[i], 9);
        images[i]->editLocalState()->scaleX = images[i]->editLocalState()->scaleY = 0.27f;
        images[i]->input = false;
        auto* button = new nG_InterfButton("ng_strategy_guide_imagebtn_" + std::to_string(i));
        adopt(page, button, button->name, kSlotX[i], kSlotY[i], 10);
        nG_InterfButton::Params params;
        params.layer0Image = kFrameNormal;
        params.layer1Image = kFrameFocus;
        button->build(params);
        button->setHitRect(-89, -67, 178, 134);
        button->hoverCursor = nG_Cursor::kLoupe;
        imageButtons[i] = button;
    }

    contents = adopt(this, new nE_Object(), "ng_strategy_guide_toc", 0, 0, 5);
    const int shown = std::min(static_cast<int>(model.contents.size()), kMaxContents);
    if (static_cast<int>(model.contents.size()) > kMaxContents)
        nE_Debug::writef("nG_StrategyGuide: only the first %d contents entries are shown", kMaxContents);
    for (int i = 0; i < shown; ++i) {
        auto* button = new nG_InterfButton("ng_strategy_guide_btn_" + std::to_string(i));
        adopt(contents, button, button->name, 512, 200.f + 50.f * i, 10);
        nG_InterfButton::Params params;
        params.layer1Image = kEntryLight;
        params.captionTextId = model.contents[i].text;
        params.captionFont = kTitleFont;
        params.captionSize = 28;
        params.captionRaw = true;
        params.text0Colour = {234 / 255.f, 219 / 255.f, 184 / 255.f};
        button->build(params);
        button->setHitRect(-260, -22, 520, 44);
    }

    bigView = adopt(this, new nE_Object(), "ng_strategy_guide_big_view", 0, 0, 999999);
    bigView->inputRect = nE_Rect{0, 0, 1024, 768};
    bigView->inputRectSet = true;
    auto* black = adopt(bigView, new nE_Sprite(), "ng_strategy_guide_big_view_black", 512, 384, 0);
    black->setResourceName(kBlack);
    black->editLocalState()->scaleX = 512;
    black->editLocalState()->scaleY = 384;
    black->editLocalState()->alpha = 0.6f;
    black->input = false;
    bigImage = adopt(bigView, new nE_Sprite(), "ng_strategy_guide_big_view_im", 512, 384, 1);
    bigImage->input = false;
    auto* frame = adopt(bigView, new nE_Sprite(), "ng_strategy_guide_big_view_frame", 512, 384, 2);
    frame->setResourceName(kFrameZoom);
    frame->input = false;

    lamp = adopt(this, new nE_AnimSprite(), "ng_strategy_guide_lamp_anim", 964, 60, 11);
    lamp->setResourceName(kLamp);
    lamp->editLocalState()->scaleX = lamp->editLocalState()->scaleY = 0.85f;
    lamp->input = false;
}

static unsigned stringsSerial() {
    const nE_StringTable* table = nE_StringTable::current();
    return table ? table->serial() : 0;
}

void nG_StrategyGuide::loadResources() {
    nE_Object::loadResources();
    model = read(resourceName);
    readSerial_ = stringsSerial();
    const nG_ProfileHub* hub = nG_ProfileHub::current();
    const nG_Profile* profile = hub ? hub->currentProfile() : nullptr;
    currentPage = profile ? profile->guidePage : -1;
    if (currentPage < -1 || currentPage >= static_cast<int>(model.pages.size())) currentPage = -1;
    targetPage = currentPage;
    pageFade = 1;
    zoomShown = false;
    zoomFade = 0;

    createChildren();
    for (nE_Object* child : children) child->activate();
    lamp->play(kLampFunction, "");
    bigView->visible = bigView->input = bigView->active = false;
    bigView->editLocalState()->alpha = 0;
    showPage(currentPage);
    setPageInput(true);
    update(0);
}

void nG_StrategyGuide::unloadResources() {
    removeAllChildren();
    header = pageNumber = description = nullptr;
    page = contents = bigView = nullptr;
    bigImage = nullptr;
    lamp = nullptr;
    for (int i = 0; i < kImageSlots; ++i) {
        images[i] = nullptr;
        imageButtons[i] = nullptr;
    }
    model = Model();
}

std::string nG_StrategyGuide::titleOf(int index) const {
    if (index < 0 || index >= static_cast<int>(model.pages.size())) return model.title;
    return model.pages[index].chapter;
}

void nG_StrategyGuide::showPage(int index) {
    if (!header) return;
    const bool isContents = index < 0 || index >= static_cast<int>(model.pages.size());
    header->setText(titleOf(index));
    contents->visible = isContents;
    page->visible = !isContents;
    pageNumber->visible = !isContents;
    for (int i = 0; i < kImageSlots; ++i) {
        images[i]->visible = false;
        imageButtons[i]->visible = false;
        imageButtons[i]->input = false;
    }
    if (isContents) return;
    const Page& shown = model.pages[index];
    char number[16];
    std::snprintf(number, sizeof number, "%d", index + 1);
    pageNumber->setText(number);
    for (const Image& image : shown.images) {
        images[image.slot]->setResourceName(image.path);
        images[image.slot]->visible = true;
        imageButtons[image.slot]->visible = true;
        imageButtons[image.slot]->input = true;
    }
    description->maxWidth = pageTextWidth(shown);
    description->setText(shown.text);
    description->editLocalState()->y = description->getLocalRect().h / 2 + kPageTextTop;
}

void nG_StrategyGuide::setPageInput(bool on) {
    if (!contents) return;
    const bool isContents = currentPage < 0;
    contents->input = on && isContents;
    page->input = on && !isContents;
}

void nG_StrategyGuide::showContents() {
    targetPage = -1;
}

void nG_StrategyGuide::nextPage() {
    targetPage = currentPage + 1 >= static_cast<int>(model.pages.size()) ? -1 : currentPage + 1;
}

void nG_StrategyGuide::prevPage() {
    // Back from the contents would wrap round to the ending; the contents are where the book begins.
    if (currentPage >= 0) targetPage = currentPage - 1;
}

void nG_StrategyGuide::openEntry(int index) {
    if (index < 0 || index >= static_cast<int>(model.contents.size())) return;
    targetPage = model.contents[index].firstPage;
    selectCursor(nG_Cursor::kDefault);
    if (contents) contents->input = false;
}

void nG_StrategyGuide::zoom(int slot) {
    if (!bigView || currentPage < 0 || currentPage >= static_cast<int>(model.pages.size())) return;
    for (const Image& image : model.pages[currentPage].images) {
        if (image.slot != slot) continue;
        bigImage->setResourceName(image.path);
        zoomShown = true;
        bigView->visible = bigView->input = bigView->active = true;
        return;
    }
}

bool nG_StrategyGuide::handleInput(const nE_InputEvent& event, nE_RenderState& world) {
    if (event.type != nE_InputEvent::kKeyDown || event.code != kKeyEscape)
        return nE_Object::handleInput(event, world);
    if (zoomShown) {
        zoomShown = false;
        return true;
    }
    if (closeTrigger.empty()) return false;
    nE_Scene::queueTrigger(name, closeTrigger);
    return true;
}

void nG_StrategyGuide::childWasHit(nE_Object* hit, const nE_InputEvent& event) {
    if (event.type != nE_InputEvent::kButtonDown || !hit) return;
    if (hit == bigView || (bigView && bigView->isAncestorOf(hit))) {
        if (zoomShown && zoomFade >= 1) zoomShown = false;
        return;
    }
    for (int i = 0; i < kImageSlots; ++i) {
        if (imageButtons[i] && imageButtons[i]->isAncestorOf(hit)) return zoom(i);
    }
    if (!contents || !contents->isAncestorOf(hit)) return;
    for (size_t i = 0; i < contents->children.size(); ++i) {
        nE_Object* button = contents->children[i];
        if (button == hit || button->isAncestorOf(hit)) return openEntry(static_cast<int>(i));
    }
}

void nG_StrategyGuide::update(float dt) {
    // Another language has its own guide: read it and show the same page in it. The children are
    // made anew, so this happens before they are walked.
    if (header && readSerial_ != stringsSerial()) {
        const int shown = currentPage;
        unloadResources();
        loadResources();
        if (shown >= -1 && shown < static_cast<int>(model.pages.size()) && shown != currentPage) {
            currentPage = targetPage = shown;
            showPage(shown);
        }
    }
    nE_Object::update(dt);
    if (!header) return;

    zoomFade = std::clamp(zoomFade + (zoomShown ? 1 : -1) * kZoomSpeed * dt, 0.f, 1.f);
    if (zoomFade <= 0 && !zoomShown) bigView->visible = bigView->input = bigView->active = false;
    bigView->editLocalState()->alpha = zoomFade;

    if (pageFade < 1 || targetPage != currentPage) {
        if (!turning_) {
            turning_ = true;
            headerFades_ = currentPage < 0 || targetPage < 0 || titleOf(currentPage) != titleOf(targetPage);
        }
        contents->input = page->input = false;
        if (targetPage == currentPage) {
            pageFade = std::min(1.f, pageFade + kTurnSpeed * dt);
            if (pageFade >= 1) {
                turning_ = false;
                setPageInput(true);
            }
        } else {
            pageFade = std::max(0.f, pageFade - kTurnSpeed * dt);
            if (pageFade <= 0) {
                currentPage = targetPage;
                showPage(currentPage);
                if (nG_ProfileHub* hub = nG_ProfileHub::current())
                    if (nG_Profile* profile = hub->currentProfile()) profile->guidePage = currentPage;
            }
        }
    }
    const bool isContents = currentPage < 0;
    contents->editLocalState()->alpha = isContents ? pageFade : 0.f;
    page->editLocalState()->alpha = isContents ? 0.f : pageFade;
    pageNumber->editLocalState()->alpha = isContents ? 0.f : pageFade;
    header->editLocalState()->alpha = turning_ && headerFades_ ? pageFade : 1.f;
}

void nG_StrategyGuide::onMessage(const nE_Message& message) {
    if (message.number == MSG_GUIDE_TOC)
        showContents();
    else if (message.number == MSG_GUIDE_NEXT)
        nextPage();
    else if (message.number == MSG_GUIDE_PREV)
        prevPage();
}
