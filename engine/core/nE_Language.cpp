#include "engine/core/nE_Language.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_Path.h"
#include "engine/core/nE_Scene.h"
#include "engine/core/nE_StringTable.h"
#include "engine/media/nE_ResourceCache.h"
#include "engine/objects/nE_Sprite.h"
#include "pflib/TFile.h"

namespace {

std::string g_current = nE_Language::kBase;

const char* const kStringsPrefix = "assets/strings_";
const char* const kNameKey = "language_name";

bool validCode(const std::string& code) {
    if (code.size() < 2 || code.size() > 8) return false;
    for (char c : code)
        if (!std::isalnum(static_cast<unsigned char>(c))) return false;
    return true;
}

}  // namespace

const std::string& nE_Language::current() {
    return g_current;
}

std::string nE_Language::stringsFile(const std::string& code) {
    if (code == kBase) return kBaseStrings;
    return std::string(kStringsPrefix) + code + ".xml";
}

bool nE_Language::has(const std::string& code) {
    if (!validCode(code)) return false;
    return pf::TFile::Exists(stringsFile(code));
}

std::vector<std::string> nE_Language::available() {
    std::vector<std::string> codes;
    if (pf::TFile::Exists(kBaseStrings)) codes.push_back(kBase);
    const std::string prefix = kStringsPrefix, suffix = ".xml";
    for (const std::string& file : pf::TFile::ListGameFiles("assets")) {
        if (file.size() <= prefix.size() + suffix.size() || file.compare(0, prefix.size(), prefix) ||
            file.compare(file.size() - suffix.size(), suffix.size(), suffix))
            continue;
        const std::string code = file.substr(prefix.size(), file.size() - prefix.size() - suffix.size());
        if (validCode(code) && code != kBase) codes.push_back(code);
    }
    std::sort(codes.begin() + (codes.empty() || codes[0] != kBase ? 0 : 1), codes.end());
    return codes;
}

std::string nE_Language::nativeName(const std::string& code) {
    std::string text;
    if (validCode(code) && pf::TFile::ReadAll(stringsFile(code), text)) {
        for (const nE_StringTable::Row& row : nE_StringTable::rows(text))
            if (row.key == kNameKey && !row.text.empty()) return row.text;
    }
    static const struct {
        const char* code;
        const char* name;
    } kKnown[] = {{"en", "English"}, {"de", "Deutsch"},  {"ru", "Русский"}, {"fr", "Français"},
                  {"es", "Español"}, {"it", "Italiano"}, {"pl", "Polski"},  {"uk", "Українська"}};
    for (const auto& known : kKnown)
        if (code == known.code) return known.name;
    return code;
}

std::string nE_Language::fromLocale(const std::string& locale) {
    // "ll_CC.codeset@modifier": the language is the letters before the first separator.
    size_t end = 0;
    while (end < locale.size() && std::isalpha(static_cast<unsigned char>(locale[end]))) ++end;
    std::string code = locale.substr(0, end);
    for (char& c : code) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (code == "c" || code == "posix" || !validCode(code)) return "";
    return code;
}

std::string nE_Language::fromEnvironment() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) return fromLocale(value);
    }
    return "";
}

std::string nE_Language::resolve(const std::string& wanted) {
    return wanted != kBase && has(wanted) ? wanted : kBase;
}

namespace {

bool hasTwin(const std::string& code, const std::string& name) {
    const std::string path = nE_Path::normalise(name);
    return !nE_Language::twinFor(code, path, ".png").empty() ||
           !nE_Language::twinFor(code, path, ".jpg").empty();
}

// The live pictures whose file differs between the two languages load it again.
void reloadPictures(nE_Object* object, const std::string& before, const std::string& after) {
    if (!object) return;
    auto* sprite = dynamic_cast<nE_Sprite*>(object);
    if (sprite && sprite->texture &&
        (hasTwin(before, sprite->resourceName) || hasTwin(after, sprite->resourceName))) {
        sprite->unloadResources();
        if (nE_ResourceCache* cache = nE_ResourceCache::instance())
            cache->forget(nE_ResourceCache::kTexture, sprite->resourceName);
        sprite->loadResources();
    }
    const std::vector<nE_Object*> children = object->children;
    for (nE_Object* child : children) reloadPictures(child, before, after);
}

}  // namespace

void nE_Language::apply(nE_StringTable& table, const std::string& code) {
    const std::string chosen = resolve(code);
    const std::string before = g_current;
    table.load(kBaseStrings);
    if (chosen != kBase) table.loadOver(stringsFile(chosen));
    g_current = chosen;
    if (before != chosen && nE_Core::exists()) reloadPictures(nE_Core::get()->scene().root(), before, chosen);
}

std::string nE_Language::twin(const std::string& base, const std::string& extension) {
    return twinFor(g_current, base, extension);
}

std::string nE_Language::twinFor(const std::string& code, const std::string& base,
                                 const std::string& extension) {
    if (code == kBase || base.empty()) return "";
    const std::string file = base + "_" + code + extension;
    return pf::TFile::Exists(file) ? file : "";
}
