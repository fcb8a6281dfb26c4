#include "game/check/nG_CheckSession.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <lua.hpp>

#include "engine/core/nE_Path.h"
#include "engine/media/nE_AssetFiles.h"
#include "engine/script/nE_CallString.h"
#include "engine/script/nE_LoadKeys.h"
#include "engine/script/nE_LuaChunk.h"
#include "engine/script/nE_LuaSandbox.h"
#include "engine/script/nE_Module.h"
#include "engine/script/nE_ScriptFunctions.h"
#include "game/check/nG_CheckReport.h"
#include "game/check/nG_FormatCheck.h"
#include "game/check/nG_LanguageCheck.h"
#include "game/check/nG_ModuleCheck.h"
#include "game/script/nG_ScriptFunctions.h"
#include "game/shell/nG_StrategyGuide.h"
#include "pflib/TFile.h"
#include "pflib/TPlatform.h"
#include "pflib/TTexture.h"

nG_CheckSession::nG_CheckSession(nG_CheckReport& r) : report(r) {
    L_ = nE_LuaSandbox::newState();
    for (const nE_ContentRules::Argument& a : nE_ContentRules::arguments()) scanned_.insert(a.function);
}

nG_CheckSession::~nG_CheckSession() {
    nE_LuaSandbox::close(L_);
}

void nG_CheckSession::loadStrings() {
    haveStrings = strings.load(kStringsFile);
    if (!haveStrings) return;
    nG_FormatCheck::strings(*this, kStringsFile);
    nG_LanguageCheck::tables(*this);
}

std::vector<nE_ContentRules::Argument> nG_CheckSession::argumentsOf(const std::string& function) const {
    std::vector<nE_ContentRules::Argument> out;
    for (const nE_ContentRules::Argument& a : nE_ContentRules::arguments())
        if (a.function == function) out.push_back(a);
    return out;
}

std::set<std::string> nG_CheckSession::builtInGlobals() const {
    std::set<std::string> names;
    for (const std::string& name : nE_ScriptFunctions::registeredNames()) names.insert(name);
    for (const std::string& name : nG_ScriptFunctions::registeredNames()) names.insert(name);
    // The checker's own state is made like the game's, so its globals are what the sandbox leaves.
    if (L_) {
        lua_pushnil(L_);
        while (lua_next(L_, LUA_GLOBALSINDEX)) {
            if (lua_type(L_, -2) == LUA_TSTRING) names.insert(lua_tostring(L_, -2));
            lua_pop(L_, 1);
        }
    }
    return names;
}

void nG_CheckSession::unknownFunctions() {
    unknownAnimationFunctions();
    std::set<std::string> known = builtInGlobals();
    known.insert(luaDefined.begin(), luaDefined.end());
    std::set<std::pair<std::string, int>> reported;
    for (const FunctionUse& use : functionUses) {
        if (known.count(use.name)) continue;
        // A module checked from several places is reported once.
        if (!reported.insert(std::make_pair(use.at.file + "\n" + use.name, use.at.line)).second) continue;
        fault(use.at, "unknown function \"" + use.name + "\"" + suggestion(use.name, known));
    }
}

void nG_CheckSession::unknownAnimationFunctions() {
    std::set<std::pair<std::string, int>> reported;
    for (const AnimationUse& use : animationUses) {
        auto files = objectAnimations.find(use.object);
        if (files == objectAnimations.end() || use.function.empty()) continue;
        // Only against files that were read: a missing or broken one is reported as such.
        std::set<std::string> functions;
        std::string named;
        bool readable = true;
        for (const std::string& file : files->second) {
            auto found = animationFunctions.find(file);
            if (found == animationFunctions.end() || found->second.empty()) readable = false;
            if (!readable) break;
            functions.insert(found->second.begin(), found->second.end());
            named += (named.empty() ? "" : " or ") + file;
        }
        if (!readable || functions.count(use.function)) continue;
        if (!reported.insert(std::make_pair(use.at.file + "\n" + use.function, use.at.line)).second) continue;
        fault(use.at, "animation function \"" + use.function + "\" is not in " + named +
                          suggestion(use.function, functions));
    }
}

const std::set<std::string>& nG_CheckSession::keysOf(const std::string& type) {
    auto found = loadKeys_.find(type);
    if (found == loadKeys_.end()) found = loadKeys_.emplace(type, nE_LoadKeys::of(type)).first;
    return found->second;
}

std::string nG_CheckSession::nearest(const std::string& name, const std::set<std::string>& candidates) {
    auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
    // A slip of one character in four, at most three: further off is another name, not a misspelling.
    const size_t allowed = std::max<size_t>(1, std::min<size_t>(3, name.size() / 4));
    std::string best;
    size_t bestDistance = allowed + 1;
    std::vector<size_t> row, previous;
    for (const std::string& candidate : candidates) {
        const size_t gap =
            candidate.size() > name.size() ? candidate.size() - name.size() : name.size() - candidate.size();
        if (gap >= bestDistance || candidate == name) continue;
        previous.resize(candidate.size() + 1);
        row.resize(candidate.size() + 1);
        for (size_t j = 0; j <= candidate.size(); ++j) previous[j] = j;
        for (size_t i = 1; i <= name.size(); ++i) {
            row[0] = i;
            for (size_t j = 1; j <= candidate.size(); ++j)
                row[j] =
                    std::min({previous[j] + 1, row[j - 1] + 1,
                              previous[j - 1] + (lower(name[i - 1]) == lower(candidate[j - 1]) ? 0 : 1)});
            std::swap(row, previous);
        }
        if (previous[candidate.size()] < bestDistance) {
            bestDistance = previous[candidate.size()];
            best = candidate;
        }
    }
    return best;
}

std::string nG_CheckSession::suggestion(const std::string& name, const std::set<std::string>& candidates) {
    const std::string best = nearest(name, candidates);
    return best.empty() ? std::string() : " (did you mean \"" + best + "\"?)";
}

void nG_CheckSession::fault(const Place& at, const std::string& message) {
    report.add(at.file, at.line, message);
}

void nG_CheckSession::warn(const Place& at, const std::string& message) {
    report.add(at.file, at.line, message, true);
}

bool nG_CheckSession::firstVisit(const std::string& file) {
    return visited_.insert(file).second;
}

bool nG_CheckSession::compileLua(const std::string& code, const Place& at) {
    if (!L_) return true;
    std::string error;
    // A short chunk name: Lua cuts long ones, and the message's line is counted from the code's start.
    static const std::string kChunk = "lua";
    if (nE_LuaChunk::compiles(L_, code, "=" + kChunk, error)) return true;
    int line = 1;
    std::string message = error;
    if (error.compare(0, kChunk.size() + 1, kChunk + ":") == 0) {
        char* end = nullptr;
        const long n = std::strtol(error.c_str() + kChunk.size() + 1, &end, 10);
        if (end && *end == ':' && n > 0) {
            line = static_cast<int>(n);
            message = end + 1;
            if (!message.empty() && message[0] == ' ') message.erase(0, 1);
        }
    }
    // Lines the message names ("to close 'function' at line 3") are counted in the file too.
    if (at.line > 0) {
        static const std::string kAtLine = "at line ";
        for (size_t pos = message.find(kAtLine); pos != std::string::npos;
             pos = message.find(kAtLine, pos + 1)) {
            const size_t digits = pos + kAtLine.size();
            char* end = nullptr;
            const long n = std::strtol(message.c_str() + digits, &end, 10);
            if (end == message.c_str() + digits || n <= 0) continue;
            message.replace(digits, static_cast<size_t>(end - (message.c_str() + digits)),
                            std::to_string(at.line + n - 1));
        }
    }
    fault(Place{at.file, at.line > 0 ? at.line + line - 1 : 0}, "Lua code does not compile: " + message);
    return false;
}

nG_CheckSession::Module& nG_CheckSession::module(const std::string& file) {
    auto found = modules.find(file);
    if (found != modules.end()) return found->second;
    Module& m = modules[file];
    m.file = file;
    visited_.insert(file);
    std::string text;
    if (pf::TFile::ReadAll(file, text)) nG_ModuleCheck::text(*this, m, text);
    return m;
}

void nG_CheckSession::imageFile(const Place& at, const std::string& name, const std::string& file) {
    // Once per file: what is wrong is the file, wherever it is named.
    if (!firstVisit(file)) return;
    pf::TImageHeader header;
    // Other content is left to the loader's own report: empty files stand in for art still to come.
    if (!pf::TTexture::ReadHeader(pf::TPlatform::ResolvePath(file), header)) return;
    const std::string size = std::to_string(header.width) + " x " + std::to_string(header.height);
    if (!pf::TTexture::WithinBudget(header)) {
        fault(at, "image \"" + name + "\" (" + file + ") is " + size + " pixels, over the budget of " +
                      std::to_string(pf::TTexture::PixelBudget()) + " pixels (at most " +
                      std::to_string(pf::TTexture::kMaxSize) + " a side); it will not load");
    } else if (header.fileBytes < header.minimumBytes) {
        fault(at,
              "image \"" + name + "\" (" + file + ") is too short for " + size + " pixels; it will not load");
    }
}

void nG_CheckSession::reference(Kind kind, const std::string& name, const Place& at, Module* m,
                                const std::string& level) {
    using R = nE_ContentRules;
    // An empty name asks for nothing: the objects and functions that take one load nothing.
    if (name.empty()) return;
    auto missing = [&](const std::string& files) {
        fault(at, std::string(R::kindName(kind)) + " \"" + name + "\" not found (" + files + ")");
    };
    auto exists = [](const std::string& file) { return pf::TFile::Exists(file); };
    switch (kind) {
        case R::kImage: {
            const std::string file = nE_AssetFiles::image(name);
            if (file.empty())
                missing(nE_Path::normalise(name) + ".png or .jpg");
            else
                imageFile(at, name, file);
            return;
        }
        case R::kAnimation: {
            const std::string file = nE_AssetFiles::animation(name);
            if (!exists(file))
                missing(file);
            else
                nG_FormatCheck::animation(*this, file);
            return;
        }
        case R::kFrameTexture: {
            const std::string file = nE_AssetFiles::frameTexture(name);
            if (!exists(file))
                missing(file);
            else
                nG_FormatCheck::frameTexture(*this, name);
            return;
        }
        case R::kFont:
            if (!exists(nE_AssetFiles::font(name))) missing(nE_AssetFiles::font(name));
            return;
        case R::kSound:
            if (!exists(nE_AssetFiles::sound(name))) missing(nE_AssetFiles::sound(name));
            return;
        case R::kVideo: {
            const std::string path = nE_Path::normalise(name);
            if (!exists(nE_AssetFiles::video(path))) {
                missing(nE_AssetFiles::video(path));
                return;
            }
            if (exists(nE_AssetFiles::subtitles(path)))
                nG_FormatCheck::subtitles(*this, nE_AssetFiles::subtitles(path));
            return;
        }
        case R::kParticles: {
            const std::string file = nE_AssetFiles::particles(name);
            if (!exists(file))
                missing(file);
            else
                nG_FormatCheck::particles(*this, file);
            return;
        }
        case R::kCursor: {
            const std::string file = nE_AssetFiles::cursor(name);
            if (file.empty())
                missing(name + ".xml or .png");
            else if (file.size() > 4 && file.compare(file.size() - 4, 4, ".xml") == 0)
                nG_FormatCheck::animation(*this, file);
            else
                imageFile(at, name, file);
            return;
        }
        case R::kGuide: {
            const std::string file = nG_StrategyGuide::fileName(name);
            if (!exists(file))
                missing(file);
            else
                nG_FormatCheck::guide(*this, file);
            return;
        }
        case R::kModule:
        case R::kLevel: {
            const std::string file = nE_Module::fileName(name);
            if (!exists(file)) {
                missing(file);
                return;
            }
            module(file);
            if (m) (kind == R::kModule ? m->loads : m->levels).push_back(file);
            return;
        }
        case R::kFile:
            if (!exists(name)) fault(at, "file \"" + name + "\" not found");
            return;
        case R::kStringKey:
            if (haveStrings && !strings.entries.count(name))
                fault(at, "string key \"" + name + "\" is not in " + kStringsFile);
            return;
        case R::kTrigger:
        case R::kLevelTrigger: {
            std::string trigger, params;
            if (!nE_CallString::split(name, trigger, params)) {
                fault(at, "trigger call \"" + name + "\" opens \"(\" without closing it; it runs nothing");
                return;
            }
            if (m) m->triggerUses.push_back(TriggerUse{trigger, name, at, kind == R::kLevelTrigger, level});
            return;
        }
        case R::kObject:
            if (m) m->objectUses.push_back(ObjectUse{name, at});
            return;
        case R::kNone:
            return;
    }
}
