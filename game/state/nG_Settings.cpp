#include "game/state/nG_Settings.h"

#include <tinyxml2.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "engine/core/nE_Debug.h"
#include "engine/media/nE_Cursor.h"
#include "engine/media/nE_Font.h"
#include "engine/media/nE_SoundHub.h"
#include "engine/script/nE_ContentRules.h"
#include "engine/script/nE_LuaSandbox.h"
#include "game/state/nG_ProfileHub.h"
#include "game/state/nG_ScriptTable.h"
#include "game/state/nG_UserFiles.h"
#include "pflib/TFile.h"
#include "pflib/TTexture.h"

namespace {

nG_Settings* g_settings = nullptr;

const char* const kGroups[4] = {"sfx", "env", "soundtrack", "voice"};

void readBool(const tinyxml2::XMLElement* element, const char* name, bool& out) {
    if (const char* value = element->Attribute(name)) out = nG_ScriptTable::toInt(value) != 0;
}

void readFloat(const tinyxml2::XMLElement* element, const char* name, float& out) {
    if (const char* value = element->Attribute(name)) out = static_cast<float>(std::strtod(value, nullptr));
}

std::string formatG(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

}  // namespace

nG_Settings::nG_Settings(nG_ProfileHub* hub) : hub_(hub) {}

nG_Settings::~nG_Settings() {
    if (g_settings == this) g_settings = nullptr;
}

void nG_Settings::declareContent() {
    using R = nE_ContentRules;
    R::addNeed({"", R::kFile, std::string(kPublisherFile) + ".xml", "nG_Settings", "", ""});
}

nG_Settings* nG_Settings::current() {
    return g_settings;
}

void nG_Settings::setCurrent(nG_Settings* settings) {
    g_settings = settings;
}

void nG_Settings::loadPublisher() {
    std::string path = kPublisherFile;
    for (char& c : path)
        if (c == '\\') c = '/';
    const std::string extension = ".xml";
    if (path.size() < extension.size() ||
        path.compare(path.size() - extension.size(), extension.size(), extension))
        path += extension;
    std::string text;
    if (!pf::TFile::ReadAll(path, text)) {
        nE_Debug::writef("nG_Settings::Could not find '%s' file!\n", path.c_str());
        return;
    }
    tinyxml2::XMLDocument doc;
    const tinyxml2::XMLElement* root = nullptr;
    if (doc.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS || !(root = doc.FirstChildElement())) {
        nE_Debug::write("nG_Settings: Error loading publisher settings");
        return;
    }
    if (const char* address = root->Attribute("url")) url = address;
    applyContentLimits(*root);
    std::vector<std::string> fallbacks;
    if (const char* names = root->Attribute("font_fallback")) {
        std::istringstream words(names);
        for (std::string font; words >> font;) fallbacks.push_back(font);
    }
    nE_Font::setFallbacks(fallbacks);
}

namespace {

void applyImageBudget(const char* value) {
    // Every load says it afresh: a game folder without the attribute gets the default again.
    if (!value) {
        pf::TTexture::SetPixelBudget(pf::TTexture::kDefaultPixelBudget);
        return;
    }
    unsigned long long width = 0, height = 0;
    char tail = 0;
    if (std::sscanf(value, "%llux%llu%c", &width, &height, &tail) != 2 || width == 0 || height == 0 ||
        width > 1000000 || height > 1000000) {
        nE_Debug::writef("nG_Settings: image_budget \"%s\" is not WIDTHxHEIGHT; the default stays\n", value);
        pf::TTexture::SetPixelBudget(pf::TTexture::kDefaultPixelBudget);
        return;
    }
    pf::TTexture::SetPixelBudget(width * height);
}

const int kMinScriptMemoryMb = 16;
const int kMaxScriptMemoryMb = 4096;

void applyScriptMemory(const tinyxml2::XMLElement& root) {
    const char* value = root.Attribute("script_memory_mb");
    int megabytes = 0;
    if (!value) {
        nE_LuaSandbox::setDefaultMemoryCap(nE_LuaSandbox::kDefaultMemoryCap);
        return;
    }
    if (root.QueryIntAttribute("script_memory_mb", &megabytes) != tinyxml2::XML_SUCCESS ||
        megabytes < kMinScriptMemoryMb || megabytes > kMaxScriptMemoryMb) {
        nE_Debug::writef(
            "nG_Settings: script_memory_mb \"%s\" is not a number from %d to %d; scripts keep %d", value,
            kMinScriptMemoryMb, kMaxScriptMemoryMb, static_cast<int>(nE_LuaSandbox::kDefaultMemoryCap >> 20));
        nE_LuaSandbox::setDefaultMemoryCap(nE_LuaSandbox::kDefaultMemoryCap);
        return;
    }
    nE_LuaSandbox::setDefaultMemoryCap(static_cast<size_t>(megabytes) << 20);
}

}  // namespace

void nG_Settings::applyContentLimits(const tinyxml2::XMLElement& root) {
    applyImageBudget(root.Attribute("image_budget"));
    applyScriptMemory(root);
}

void nG_Settings::readContentLimits() {
    std::string text;
    tinyxml2::XMLDocument doc;
    const tinyxml2::XMLElement* root = nullptr;
    if (pf::TFile::ReadAll(std::string(kPublisherFile) + ".xml", text) &&
        doc.Parse(text.data(), text.size()) == tinyxml2::XML_SUCCESS && (root = doc.FirstChildElement()))
        applyContentLimits(*root);
}

void nG_Settings::load() {
    loadPublisher();

    std::string text;
    if (!nG_UserFiles::read(kFileName, text)) {
        if (!nG_UserFiles::exists(kFileName)) {
            // A lost settings file must not lose the players with it.
            rebuildProfileList();
            save();
            return;
        }
        text.clear();  // present but unreadable: handled as a broken file below
    }
    tinyxml2::XMLDocument doc;
    const tinyxml2::XMLElement* root = nullptr;
    if (doc.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS || !(root = doc.FirstChildElement())) {
        const std::string kept = nG_UserFiles::keepAside(kFileName, ".corrupt");
        nE_Debug::writef("nG_Settings: \"%s\" is damaged; it was kept as \"%s\" and the defaults are used",
                         kFileName, kept.c_str());
        rebuildProfileList();
        save();
        return;
    }

    readBool(root, "fullscreen", fullscreen);
    readBool(root, "syscursor", syscursor);
    readFloat(root, "sfx_volume", sfx);
    readFloat(root, "env_volume", env);
    readFloat(root, "soundtrack_volume", soundtrack);
    readFloat(root, "voice_volume", voice);
    readFloat(root, "gamma", gamma);
    if (const char* code = root->Attribute("language")) language = code;

    if (!hub_) return;
    const tinyxml2::XMLElement* profiles = root->FirstChildElement("profiles");
    for (const tinyxml2::XMLElement* profile = profiles ? profiles->FirstChildElement("profile") : nullptr;
         profile; profile = profile->NextSiblingElement("profile")) {
        if (const char* name = profile->GetText()) hub_->addProfile(name);
    }
    if (!hub_->count()) {
        rebuildProfileList();
        return;
    }
    if (const char* currentName = profiles->Attribute("current")) hub_->selectProfile(currentName);
}

void nG_Settings::rebuildProfileList() {
    if (!hub_) return;
    const std::string prefix = "p_", suffix = ".xml";
    for (const std::string& file : nG_UserFiles::list()) {
        if (file.size() <= prefix.size() + suffix.size() || file.compare(0, prefix.size(), prefix) ||
            file.compare(file.size() - suffix.size(), suffix.size(), suffix))
            continue;
        const std::string name = file.substr(prefix.size(), file.size() - prefix.size() - suffix.size());
        if (!hub_->find(name)) hub_->addProfile(name);
    }
}

std::string nG_Settings::print() const {
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* root = doc.NewElement("settings");
    doc.InsertEndChild(root);
    root->SetAttribute("fullscreen", fullscreen ? "1" : "0");
    root->SetAttribute("syscursor", syscursor ? "1" : "0");
    root->SetAttribute("sfx_volume", formatG(sfx).c_str());
    root->SetAttribute("env_volume", formatG(env).c_str());
    root->SetAttribute("soundtrack_volume", formatG(soundtrack).c_str());
    root->SetAttribute("voice_volume", formatG(voice).c_str());
    root->SetAttribute("gamma", formatG(gamma).c_str());
    if (!language.empty()) root->SetAttribute("language", language.c_str());
    tinyxml2::XMLElement* profiles = doc.NewElement("profiles");
    root->InsertEndChild(profiles);
    if (hub_) {
        if (nG_Profile* current = hub_->currentProfile())
            profiles->SetAttribute("current", current->name.c_str());
        for (int i = 0; i < hub_->count(); ++i) {
            tinyxml2::XMLElement* profile = doc.NewElement("profile");
            profile->SetText(hub_->nameAt(i).c_str());
            profiles->InsertEndChild(profile);
        }
    }
    tinyxml2::XMLPrinter printer;
    doc.Print(&printer);
    return std::string(printer.CStr(), printer.CStrSize() - 1);
}

bool nG_Settings::save() const {
    if (nG_UserFiles::write(kFileName, print())) return true;
    nE_Debug::writef("nG_Settings: could not write \"%s\"; the previous file is kept", kFileName);
    return false;
}

float* nG_Settings::field(const std::string& group) {
    if (group == kGroups[0]) return &sfx;
    if (group == kGroups[1]) return &env;
    if (group == kGroups[2]) return &soundtrack;
    if (group == kGroups[3]) return &voice;
    return nullptr;
}

void nG_Settings::setVolume(const std::string& group, float value) {
    if (float* f = field(group)) *f = value;
    nE_SoundHub::get()->setGroupVolume(group, value);
}

float nG_Settings::volume(const std::string& group) const {
    const float* f = const_cast<nG_Settings*>(this)->field(group);
    return f ? *f : 0.f;
}

void nG_Settings::applyAll() const {
    nE_SoundHub* sounds = nE_SoundHub::get();
    for (const char* group : kGroups) sounds->setGroupVolume(group, volume(group));
    if (nE_Cursor* cursor = nE_Cursor::current()) cursor->setUseSystem(syscursor);
}
