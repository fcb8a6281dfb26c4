#include "engine/objects/nE_AnimSprite.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cstdlib>

#include "engine/core/nE_Debug.h"
#include "engine/core/nE_Path.h"
#include "engine/core/nE_Scene.h"
#include "engine/core/nE_Xml.h"
#include "engine/media/nE_AssetFiles.h"
#include "engine/media/nE_ResourceCache.h"
#include "engine/media/nE_Texture.h"
#include "engine/script/nE_SLHelper.h"
#include "pflib/TFile.h"

nE_AnimSprite::nE_AnimSprite() = default;

nE_AnimSprite::~nE_AnimSprite() {
    deactivate();
    clearPlayback();
    functions.clear();
    texture.reset();
}

void nE_AnimSprite::clearPlayback() {
    timer = 0;
    playing = false;
    position = 0;
    currentFunction = -1;
}

void nE_AnimSprite::setResourceName(const std::string& newName) {
    resourceName = newName;
    clearPlayback();
    functions.clear();
    frameTextureName.clear();
    readAnimationFile();
    reloadIfLoaded();
}

void nE_AnimSprite::readAnimationFile() {
    // A sprite that names no animation has no file to miss.
    if (resourceName.empty()) return;
    const std::string path = nE_Path::normalise(resourceName);

    std::string text;
    tinyxml2::XMLDocument doc;
    if (!pf::TFile::ReadAll(nE_AssetFiles::animation(resourceName), text) ||
        doc.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS) {
        nE_Debug::writef("nE_AnimSprite: Could not find \"%s\" file!\n", resourceName.c_str());
        return;
    }
    const tinyxml2::XMLElement* root = doc.FirstChildElement("animation");
    if (!root) return;

    // The sheet lies beside the file (an empty name leaves the folder, which holds no sheet).
    const std::string folder = nE_AssetFiles::folderOf(path);
    const std::string sheet = nE_Xml::text(root, "frame_texture");
    frameTextureName = sheet.empty() ? folder : nE_Path::resolveBeside(folder, sheet, "nE_AnimSprite");

    // The list starts at the first element of the wanted name and takes every element after it.
    for (const tinyxml2::XMLElement* f = root->FirstChildElement("function"); f;
         f = f->NextSiblingElement()) {
        Function function;
        function.name = nE_Xml::text(f, "name");
        function.frameTime = static_cast<float>(nE_Xml::integer(f, "frametime")) / 1000.0f;
        function.looped = nE_Xml::integer(f, "loop") == 1;
        for (const tinyxml2::XMLElement* e = f->FirstChildElement("frame"); e; e = e->NextSiblingElement())
            function.frames.push_back(nE_Xml::integer(e, "idx"));
        functions.push_back(std::move(function));
    }
}

void nE_AnimSprite::loadProperties(nE_SLHelper& helper) {
    nE_Object::loadProperties(helper);
    const bool wasPlaying = playing;
    const std::string currentName = current() ? current()->name : std::string();
    const bool newResource = readResourceName(helper);

    int frame = kNoFrame;
    helper.readInt("frame", frame);
    helper.readBool("playing", playing);
    std::string function;
    helper.readString("animfunc", function);
    helper.readString("endtrig", endTrigger);

    if (newResource) {
        // A changed "res" brings its own functions (read afresh, not appended to the old list); the
        // current function is looked up again by name.
        functions.clear();
        frameTextureName.clear();
        readAnimationFile();
        currentFunction = -1;
        for (size_t i = 0; i < functions.size(); ++i) {
            if (!currentName.empty() && functions[i].name == currentName) {
                currentFunction = static_cast<int>(i);
                break;
            }
        }
        reloadIfLoaded();
    }

    if (frame != kNoFrame) showFrame(frame);
    // Handing back what the sprite already plays (an ObjGet table) does not start it over.
    if (playing && (!wasPlaying || newResource || function != currentName)) play(function, endTrigger);
}

void nE_AnimSprite::saveProperties(nE_SLHelper& helper) {
    nE_Sprite::saveProperties(helper);
    helper.writeInt("frame", localState().frameIndex);
    helper.writeBool("playing", playing);
    helper.writeString("animfunc", current() ? current()->name : std::string());
    helper.writeString("endtrig", endTrigger);
}

std::string nE_AnimSprite::getTypeName() const {
    return "anim";
}

void nE_AnimSprite::findText(tinyxml2::XMLElement* node, const std::string& text, bool recursive) {
    if (!node) return;
    // The own matches come right after the base's own ones and before the children's.
    nE_Object::findText(node, text, false);
    const std::string tag = name.empty() ? getTypeName() : name;
    auto report = [&](const char* place) {
        tinyxml2::XMLElement* found = node->GetDocument()->NewElement(tag.c_str());
        found->SetAttribute("place", place);
        node->InsertEndChild(found);
    };
    if (endTrigger.find(text) != std::string::npos) report("event");
    if (current() && current()->name.find(text) != std::string::npos) report("misc");
    if (!recursive) return;
    for (size_t i = 0; i < children.size(); ++i) children[i]->findText(node, text, true);
}

void nE_AnimSprite::resetState() {
    nE_Sprite::resetState();
    clearPlayback();
}

void nE_AnimSprite::loadResources() {
    nE_ResourceCache* cache = nE_ResourceCache::instance();
    texture = cache ? cache->getFrameTexture(frameTextureName) : nullptr;
    fitInputRect();
}

void nE_AnimSprite::showFrame(int frame) {
    editLocalState()->frameIndex = frame;
    fitInputRect();
}

const nE_AnimSprite::Function* nE_AnimSprite::findFunction(const std::string& function) const {
    for (const Function& f : functions)
        if (f.name == function) return &f;
    return nullptr;
}

const nE_AnimSprite::Function* nE_AnimSprite::current() const {
    if (currentFunction < 0 || currentFunction >= static_cast<int>(functions.size())) return nullptr;
    return &functions[static_cast<size_t>(currentFunction)];
}

void nE_AnimSprite::play(const std::string& function, const std::string& trigger) {
    const Function* f = findFunction(function);
    // Without frames there is nothing to show; starting would index past the list.
    if (!f || f->frames.empty()) return;
    currentFunction = static_cast<int>(f - functions.data());
    endTrigger = trigger;
    playing = true;
    timer = f->frameTime;
    position = 0;
    showFrame(f->frames.front());
}

void nE_AnimSprite::stop() {
    editLocalState()->frameIndex = 0;
    playing = false;
    currentFunction = -1;
    position = 0;
}

void nE_AnimSprite::pause(int n) {
    playing = n < 1;
}

int nE_AnimSprite::frameCount(const std::string& function) const {
    if (!function.empty()) {
        if (const Function* f = findFunction(function)) return static_cast<int>(f->frames.size());
    }
    if (playing && current()) return static_cast<int>(current()->frames.size());
    return 0;
}

void nE_AnimSprite::update(float dt) {
    nE_Sprite::update(dt);
    const Function* f = current();
    if (!playing || !f || f->frames.empty()) return;
    if (timer > 0) {
        timer -= dt;
        return;
    }
    ++position;
    if (position >= static_cast<int>(f->frames.size())) {
        if (!f->looped) {
            position = static_cast<int>(f->frames.size()) - 1;
            playing = false;
            nE_Scene::queueAuthoredTrigger(name, endTrigger, this, "endtrig");
            return;
        }
        position = 0;
    }
    timer += f->frameTime;
    showFrame(f->frames[static_cast<size_t>(position)]);
}
