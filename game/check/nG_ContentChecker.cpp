#include "game/check/nG_ContentChecker.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <tuple>

#include "engine/core/nE_Debug.h"
#include "engine/core/nE_Path.h"
#include "engine/media/nE_AssetFiles.h"
#include "engine/script/nE_ContentRules.h"
#include "engine/script/nE_Module.h"
#include "game/check/nG_CheckReport.h"
#include "game/check/nG_CheckSession.h"
#include "game/check/nG_FormatCheck.h"
#include "game/check/nG_GameContent.h"
#include "game/check/nG_LanguageCheck.h"
#include "game/shell/nG_StrategyGuide.h"
#include "game/state/nG_Settings.h"
#include "pflib/TFile.h"

namespace {

using R = nE_ContentRules;
using Place = nG_CheckSession::Place;

// The modules whose triggers are registered together: what runs at one time.
struct Context {
    std::string scope;  // "menu", "game", or "" for a module that nothing brings in
    std::string root;   // where findings about the whole context go
    std::set<std::string> files;
    std::set<std::string> triggers;
    std::set<std::string> objects;
    bool open = false;  // brings in a module whose path is made at run time
};

bool endsWith(const std::string& s, const char* tail) {
    const std::string t = tail;
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

void close(nG_CheckSession& s, Context& c) {
    std::vector<std::string> todo(c.files.begin(), c.files.end());
    while (!todo.empty()) {
        const std::string file = todo.back();
        todo.pop_back();
        auto found = s.modules.find(file);
        if (found == s.modules.end()) continue;
        for (const std::string& next : found->second.loads)
            if (c.files.insert(next).second) todo.push_back(next);
    }
    for (const std::string& file : c.files) {
        auto found = s.modules.find(file);
        if (found == s.modules.end()) continue;
        const nG_CheckSession::Module& m = found->second;
        c.triggers.insert(m.triggers.begin(), m.triggers.end());
        c.objects.insert(m.objects.begin(), m.objects.end());
        c.open = c.open || m.loadsUnknown;
    }
}

// The file a fixed asset name stands for, and whether it exists.
std::string expectedFile(R::Kind kind, const std::string& name, bool& exists) {
    std::string file;
    switch (kind) {
        case R::kImage:
            file = nE_AssetFiles::image(name);
            exists = !file.empty();
            return exists ? file : nE_Path::normalise(name) + ".png";
        case R::kCursor:
            file = nE_AssetFiles::cursor(name);
            exists = !file.empty();
            return exists ? file : name + ".png";
        case R::kAnimation:
            file = nE_AssetFiles::animation(name);
            break;
        case R::kFrameTexture:
            file = nE_AssetFiles::frameTexture(name);
            break;
        case R::kFont:
            file = nE_AssetFiles::font(name);
            break;
        case R::kSound:
            file = nE_AssetFiles::sound(name);
            break;
        case R::kVideo:
            file = nE_AssetFiles::video(nE_Path::normalise(name));
            break;
        case R::kParticles:
            file = nE_AssetFiles::particles(name);
            break;
        case R::kGuide:
            file = nG_StrategyGuide::fileName(name);
            break;
        case R::kModule:
        case R::kLevel:
            file = nE_Module::fileName(name);
            break;
        default:
            file = name;
            break;
    }
    exists = pf::TFile::Exists(file);
    return file;
}

// Whether a need holds for this content: always, when an object type is used, or when a module exists.
bool applies(const nG_CheckSession& s, const R::Need& need) {
    if (need.onlyIf.empty()) return true;
    if (need.onlyIf.find('/') != std::string::npos)
        return pf::TFile::Exists(nE_Module::fileName(need.onlyIf));
    return s.typesUsed.count(need.onlyIf) != 0;
}

}  // namespace

nG_ContentChecker::nG_ContentChecker(nG_CheckReport& report)
    : report_(report), session_(new nG_CheckSession(report)) {
    // Images are weighed against the budget the game itself will load them within.
    nG_Settings::readContentLimits();
}

nG_ContentChecker::~nG_ContentChecker() {
    delete session_;
}

void nG_ContentChecker::checkGame() {
    nG_CheckSession& s = *session_;
    s.loadStrings();
    // What the program brings in first, so that files are seen from where they are used...
    for (const R::Need& need : R::needs()) {
        if ((need.kind != R::kModule && need.kind != R::kLevel) || !applies(s, need)) continue;
        const std::string file = nE_Module::fileName(need.name);
        if (pf::TFile::Exists(file)) s.module(file);
    }
    // ...then every file nothing reached.
    for (const std::string& file : pf::TFile::ListGameFiles("assets")) {
        if (!endsWith(file, ".xml") && !endsWith(file, ".srt")) continue;
        if (s.visited(file)) continue;
        std::string text;
        if (!pf::TFile::ReadAll(file, text)) {
            s.fault(Place{file, 0}, "cannot be read");
            continue;
        }
        nG_FormatCheck::anyFile(s, file, text);
    }
    nG_LanguageCheck::texts(s);
    resolve(true);
}

void nG_ContentChecker::checkModule(const std::string& path) {
    nG_CheckSession& s = *session_;
    s.loadStrings();
    const std::string file = nE_Module::fileName(path);
    if (!pf::TFile::Exists(file)) {
        s.fault(Place{file, 0}, "module \"" + path + "\" not found");
        return;
    }
    s.module(file);
    previewRoot_ = file;
    nG_LanguageCheck::texts(s);
    resolve(false);
}

void nG_ContentChecker::resolve(bool wholeGame) {
    nG_CheckSession& s = *session_;
    std::vector<Context> contexts;
    std::set<std::string> levels;
    for (const auto& entry : s.modules)
        for (const std::string& level : entry.second.levels) levels.insert(level);

    if (wholeGame) {
        std::vector<std::string> menuFiles, gameFiles, bothFiles;
        for (const R::Need& need : R::needs()) {
            if (!applies(s, need)) continue;
            if (need.kind == R::kLevel) levels.insert(nE_Module::fileName(need.name));
            if (need.kind != R::kModule) continue;
            const std::string file = nE_Module::fileName(need.name);
            (need.scope == "menu" ? menuFiles : need.scope == "game" ? gameFiles : bothFiles).push_back(file);
        }
        Context menu;
        menu.scope = "menu";
        menu.root = menuFiles.empty() ? std::string() : menuFiles.front();
        menu.files.insert(menuFiles.begin(), menuFiles.end());
        menu.files.insert(bothFiles.begin(), bothFiles.end());
        // A menu module that cannot be read is reported as such, not by each trigger it lacks.
        auto root = s.modules.find(menu.root);
        if (root != s.modules.end() && root->second.readable) contexts.push_back(menu);
        for (const std::string& level : levels) {
            auto found = s.modules.find(level);
            if (found == s.modules.end() || !found->second.readable) continue;
            Context game;
            game.scope = "game";
            game.root = level;
            game.files.insert(level);
            game.files.insert(gameFiles.begin(), gameFiles.end());
            game.files.insert(bothFiles.begin(), bothFiles.end());
            contexts.push_back(game);
        }
    } else {
        Context preview;
        preview.root = previewRoot_;
        preview.files.insert(previewRoot_);
        contexts.push_back(preview);
        // A game the preview starts has what the program brings into every game (the diary's module).
        std::vector<std::string> gameFiles;
        for (const R::Need& need : R::needs()) {
            if (levels.empty() || need.kind != R::kModule || need.scope == "menu" || !applies(s, need))
                continue;
            const std::string file = nE_Module::fileName(need.name);
            if (!pf::TFile::Exists(file)) continue;
            s.module(file);
            gameFiles.push_back(file);
        }
        for (const std::string& level : levels) {
            if (!s.modules.count(level)) continue;
            Context game;
            game.scope = "game";
            game.root = level;
            game.files.insert(level);
            game.files.insert(gameFiles.begin(), gameFiles.end());
            contexts.push_back(game);
        }
    }
    for (Context& c : contexts) close(s, c);

    // A module that no literal path reaches may be what a path made at run time brings in: it joins
    // the scenes that bring in such modules...
    std::set<std::string> covered;
    for (const Context& c : contexts) covered.insert(c.files.begin(), c.files.end());
    std::vector<std::string> unreached;
    for (const auto& entry : s.modules)
        if (!covered.count(entry.first)) unreached.push_back(entry.first);
    for (Context& c : contexts) {
        if (!c.open || unreached.empty()) continue;
        c.files.insert(unreached.begin(), unreached.end());
        close(s, c);
        covered.insert(c.files.begin(), c.files.end());
    }

    // ...and where there is none, it runs on its own (as a preview would run it) with what it brings in.
    std::set<std::string> loadedByOthers;
    for (const auto& entry : s.modules)
        for (const std::string& next : entry.second.loads)
            if (next != entry.first) loadedByOthers.insert(next);
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& entry : s.modules) {
            if (covered.count(entry.first) || (pass == 0 && loadedByOthers.count(entry.first))) continue;
            Context alone;
            alone.root = entry.first;
            alone.files.insert(entry.first);
            close(s, alone);
            covered.insert(alone.files.begin(), alone.files.end());
            contexts.push_back(alone);
        }
    }

    std::set<std::string> allTriggers;
    for (const auto& entry : s.modules)
        allTriggers.insert(entry.second.triggers.begin(), entry.second.triggers.end());

    // Trigger calls and objects, each reported once even when its module runs in several places.
    std::set<std::tuple<std::string, int, std::string>> reported;
    for (const Context& c : contexts) {
        for (const std::string& file : c.files) {
            auto found = s.modules.find(file);
            if (found == s.modules.end()) continue;
            for (const nG_CheckSession::TriggerUse& use : found->second.triggerUses) {
                if (use.inLevel) continue;
                if (c.triggers.count(use.name) || (c.open && allTriggers.count(use.name))) continue;
                if (!reported.insert(std::make_tuple(use.at.file, use.at.line, use.name)).second) continue;
                std::string message =
                    "trigger \"" + use.name + "\" is not registered by any module loaded with this one";
                if (use.call != use.name) message += " (call \"" + use.call + "\")";
                s.fault(use.at, message);
            }
            for (const nG_CheckSession::ObjectUse& use : found->second.objectUses) {
                if (c.objects.count(use.name) || c.open) continue;
                if (!reported.insert(std::make_tuple(use.at.file, use.at.line, use.name)).second) continue;
                s.fault(use.at, "object \"" + use.name + "\" is described by no module loaded with this one");
            }
        }
    }
    // Calls that run in the game a level file starts.
    for (const auto& entry : s.modules) {
        for (const nG_CheckSession::TriggerUse& use : entry.second.triggerUses) {
            if (!use.inLevel) continue;
            bool anyGame = false, registered = false;
            for (const Context& c : contexts) {
                if (c.scope != "game" || (!use.level.empty() && c.root != use.level)) continue;
                anyGame = true;
                registered = registered || c.triggers.count(use.name);
            }
            if (anyGame && !registered)
                s.fault(use.at,
                        "trigger \"" + use.name + "\" is not registered by the level file this starts");
        }
    }

    s.unknownFunctions();

    if (!wholeGame) return;
    for (const R::Need& need : R::needs()) {
        if (!applies(s, need)) continue;
        const std::string owner = need.owner.empty() ? std::string("the game") : need.owner;
        switch (need.kind) {
            case R::kTrigger:
                for (const Context& c : contexts) {
                    if (c.scope.empty() || (!need.scope.empty() && need.scope != c.scope)) continue;
                    if (!c.triggers.count(need.name))
                        s.fault(Place{c.root, 0}, "trigger \"" + need.name + "\" is not registered; " +
                                                      owner + " calls it while the " + c.scope + " runs");
                }
                break;
            case R::kStringKey:
                if (s.haveStrings && !s.strings.entries.count(need.name))
                    s.fault(Place{nG_CheckSession::kStringsFile, 0},
                            "no key \"" + need.name + "\"; " + owner + " shows it");
                break;
            case R::kObject: {
                const std::string file = nE_Module::fileName(need.detail);
                auto found = s.modules.find(file);
                if (found != s.modules.end() && found->second.readable &&
                    !found->second.objects.count(need.name))
                    s.fault(Place{file, 0},
                            "describes no object \"" + need.name + "\"; " + owner + " shows it");
                break;
            }
            default: {
                bool exists = false;
                const std::string file = expectedFile(need.kind, need.name, exists);
                if (!exists) {
                    s.fault(Place{file, 0},
                            std::string("not found; ") + owner + " needs this " + R::kindName(need.kind));
                    break;
                }
                if (need.kind == R::kModule || need.kind == R::kLevel || need.kind == R::kFile) break;
                s.reference(need.kind, need.name, Place{file, 0}, nullptr);
                const bool animated =
                    need.kind == R::kAnimation || (need.kind == R::kCursor && endsWith(file, ".xml"));
                if (animated && !need.detail.empty() && !s.animationFunctions[file].count(need.detail))
                    s.fault(Place{file, 0},
                            "has no function \"" + need.detail + "\"; " + owner + " plays it");
                break;
            }
        }
    }
}

int nG_ContentChecker::run(const std::string& module) {
    // The loaders' own reports are the checker's business, not its output.
    nE_Debug::Capture quiet;
    nG_GameContent::declareAll();
    nG_CheckReport report;
    {
        nG_ContentChecker checker(report);
        if (module.empty())
            checker.checkGame();
        else
            checker.checkModule(module);
    }
    for (const std::string& line : report.lines()) std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    if (report.count())
        std::fprintf(stderr, "halvern --check: %zu problem%s\n", report.count(),
                     report.count() == 1 ? "" : "s");
    else
        std::fprintf(stderr, "halvern --check: no problems\n");
    if (report.warnings())
        std::fprintf(stderr, "halvern --check: %zu warning%s\n", report.warnings(),
                     report.warnings() == 1 ? "" : "s");
    return report.count() ? 1 : 0;
}
