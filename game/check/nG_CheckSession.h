// The state of one content check: the report, the string table, what each module registers, calls and
// loads, and the files already looked at. References found anywhere go through `reference`, which
// applies the loaders' naming rules (nE_AssetFiles, nE_Module) and checks each file it reaches once.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/core/nE_StringTable.h"
#include "engine/script/nE_ContentRules.h"

struct lua_State;
class nG_CheckReport;

class nG_CheckSession {
public:
    using Kind = nE_ContentRules::Kind;

    // Where something is written: a file and a line from 1 (0 for the file as a whole).
    struct Place {
        std::string file;
        int line = 0;
    };
    struct TriggerUse {
        std::string name;  // the trigger the call names
        std::string call;  // the call as written
        Place at;
        // Run in the game a level file starts rather than where it is written; `level` is that file
        // when the call names it literally.
        bool inLevel = false;
        std::string level;
    };
    // A plain call of a global name in module or trigger code.
    struct FunctionUse {
        std::string name;
        Place at;
    };
    // A function an animated object is told to play (its "animfunc", or AnmPlay's), by object name.
    struct AnimationUse {
        std::string object;
        std::string function;
        Place at;
    };
    struct ObjectUse {
        std::string name;
        Place at;
    };
    // What one module file registers, calls and brings in.
    struct Module {
        std::string file;
        bool readable = false;
        std::set<std::string> triggers;
        std::vector<TriggerUse> triggerUses;
        std::vector<ObjectUse> objectUses;
        std::vector<std::string> loads;   // module files brought into the same scene
        std::vector<std::string> levels;  // level files whose game it starts
        std::set<std::string> objects;
        bool loadsUnknown = false;  // brings in a module whose path is made at run time
    };

    // A text object that shows a string key, as its module describes it; positions on the screen as
    // the module places it (before any script moves it).
    struct TextUse {
        std::string key;
        Place at;
        std::string font;
        int size = 0, maxWidth = 0, align = 0;
        float x = 0, y = 0;
        // The image of the nearest object around it that has one, and that object's position.
        std::string image;
        float imageX = 0, imageY = 0;
        float imageScaleX = 1, imageScaleY = 1;
    };
    // A string key a script function's argument names (after the argument's pattern).
    struct KeyCall {
        std::string function;
        int position = 0;
        std::string pattern;
        std::string key;
        Place at;
    };
    // A strategy guide's page as the guide reads it, with the width its text wraps at.
    struct GuidePage {
        Place at;
        std::string text;
        int width = 0;
    };
    // A string table beside the English one.
    struct Language {
        std::string code;
        std::string file;
        nE_StringTable table;              // its texts over the English ones, as the game falls back
        std::map<std::string, int> lines;  // the row of each key
    };

    explicit nG_CheckSession(nG_CheckReport& report);
    ~nG_CheckSession();
    nG_CheckSession(const nG_CheckSession&) = delete;
    nG_CheckSession& operator=(const nG_CheckSession&) = delete;

    // Reads the string table the game reads ("assets/strings.xml"); string keys are checked only when
    // it could be read.
    void loadStrings();

    // Checks `name` as a name of that kind, written at `at`, inside `module` (none outside modules).
    // `level` is the level file a kLevelTrigger call runs in, when known.
    void reference(Kind kind, const std::string& name, const Place& at, Module* module,
                   const std::string& level = std::string());
    // The record of a module file, checked on first sight.
    Module& module(const std::string& file);

    void fault(const Place& at, const std::string& message);
    // Something the game shows as the author may not have meant, which still works.
    void warn(const Place& at, const std::string& message);
    // An image file's header against the pixel budget the program loads images within.
    void imageFile(const Place& at, const std::string& name, const std::string& file);
    // Compiles Lua code whose first line is at `at`; a failure is reported at its own line.
    bool compileLua(const std::string& code, const Place& at);
    // True the first time a file is looked at.
    bool firstVisit(const std::string& file);
    bool visited(const std::string& file) const { return visited_.count(file) != 0; }

    // The global names scripts can call without defining them: the libraries the sandbox leaves and
    // the engine's and the game's script functions.
    std::set<std::string> builtInGlobals() const;
    // Reports the animation functions played that no animation file of their object has.
    void unknownAnimationFunctions();
    // Reports the plain calls of names that neither the program nor any module's code defines.
    void unknownFunctions();

    // The attribute keys an object type's load reads (nE_LoadKeys), worked out once per type.
    const std::set<std::string>& keysOf(const std::string& type);
    // The candidate closest to `name` by edit distance (case aside), or "" when none is close enough to
    // be what was meant.
    static std::string nearest(const std::string& name, const std::set<std::string>& candidates);
    // " (did you mean \"x\"?)" for the nearest candidate, or "".
    static std::string suggestion(const std::string& name, const std::set<std::string>& candidates);

    // The script functions with arguments that name something, and those arguments.
    const std::set<std::string>& scannedFunctions() const { return scanned_; }
    std::vector<nE_ContentRules::Argument> argumentsOf(const std::string& function) const;

    nG_CheckReport& report;
    nE_StringTable strings;
    bool haveStrings = false;
    std::map<std::string, Module> modules;                            // by file
    std::map<std::string, std::set<std::string>> animationFunctions;  // by animation file
    std::map<std::string, int> frameCounts;  // by frame texture file; -1 when it could not be read
    std::set<std::string> typesUsed;         // object types the content describes
    std::vector<FunctionUse> functionUses;
    std::vector<AnimationUse> animationUses;
    std::map<std::string, std::set<std::string>> objectAnimations;  // animation files, by object name
    std::set<std::string> luaDefined;  // global names some module's code gives a value
    std::vector<TextUse> textUses;
    std::vector<KeyCall> keyCalls;
    std::vector<GuidePage> guidePages;
    std::vector<Language> languages;         // read by loadStrings
    std::map<std::string, int> stringLines;  // the English row of each key
    static constexpr const char* kStringsFile = "assets/strings.xml";

private:
    lua_State* L_ = nullptr;
    std::set<std::string> visited_;
    std::map<std::string, std::set<std::string>> loadKeys_;
    std::set<std::string> scanned_;
};
