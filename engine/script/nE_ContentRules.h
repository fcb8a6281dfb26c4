// What content refers to, and what the program itself needs from the content: the tables the content
// checker ("halvern --check") works from. Each part of the program declares its own entries beside its
// code, so that the tables grow with it:
// - object types declare the keys whose values name assets, string keys or trigger calls;
// - script functions declare the arguments that do (a letter per argument in their tables);
// - classes declare the fixed assets, modules and triggers they load or call by name.
// Nothing here is read by the running game.
#pragma once

#include <string>
#include <vector>

class nE_ContentRules {
public:
    enum Kind {
        kNone = 0,
        kImage,         // name + ".png" or ".jpg"
        kAnimation,     // an animation file, its frame texture and sheets
        kFrameTexture,  // a frame texture file and its sheets
        kFont,          // name + ".ttf"
        kSound,         // name + ".ogg"
        kVideo,         // name + ".ogg", with its optional subtitles
        kParticles,     // a particle file and its textures
        kCursor,        // name + ".xml" (animated) or ".png"
        kGuide,         // a strategy guide file and its screenshots
        kModule,        // a module brought into the running scene: its triggers join the others
        kLevel,         // a level file: it starts a game of its own, with triggers of its own
        kFile,          // a file named exactly
        kStringKey,     // a key of the string table
        kTrigger,       // a trigger call string: its trigger must be registered
        kLevelTrigger,  // a trigger call run in the game that the call's kLevel argument starts
        kObject,        // an object that some module of the running scene describes
    };

    // An attribute of an object description.
    struct Key {
        std::string type;  // the factory type name; "*" for every type
        std::string key;
        Kind kind = kNone;
        // The value is not checked when this key reads as a number other than 0 (a text shown raw).
        std::string unlessKey;
    };

    // An argument of a script function, counted from 1.
    struct Argument {
        std::string function;
        int position = 0;
        Kind kind = kNone;
        // With a pattern the name checked is the pattern with "%s" replaced by the argument.
        std::string pattern;
    };

    // Something the program loads or calls by a fixed name.
    struct Need {
        // For triggers and modules: "menu" (while the menu runs), "game" (while a game runs) or ""
        // (both). Assets are needed whatever runs.
        std::string scope;
        Kind kind = kNone;
        std::string name;
        std::string owner;  // the class that needs it, named in the report
        // kAnimation: a function the animation must have; kObject: the module that must describe it.
        std::string detail;
        // Needed only when the content has an object of this type, or (a name with a "/") when this
        // module exists; "" always. A module needed only when it exists joins its scope if it does.
        std::string onlyIf;
    };

    static constexpr const char* kSubtitleLines = ".srt";
    // A box of the program's own that shows string keys: the keys a script function's argument names
    // (as an Argument, with its pattern), or every key that starts with a prefix. Each language's text
    // is laid out in the font at the size and wrapped at the width as the box would show it.
    struct TextBox {
        std::string owner;
        std::string function;  // kSubtitleLines for the keys subtitle files name
        int position = 0;
        std::string pattern;
        std::string keyPrefix;  // "%s" in it: the keys between the part before and the part after
        std::string font;
        int size = 0;
        int width = 0;  // the wrapping width, or the width a line must keep within (no wrapping)
        bool wraps = true;
        int lines = 0;      // the lines the box has room for; 0 when it grows
        int minSize = 0;    // a line that does not wrap is drawn smaller, down to this size, to fit
        std::string key;    // one key shown, a button's caption
        std::string image;  // the box is as wide as this image (the button's), not `width`
    };

    // The program places each child of the object so named at (x, y) on the screen when it shows it.
    struct Placement {
        std::string owner;
        std::string parent;
        float x = 0, y = 0;
    };

    static void addKey(const std::string& type, const std::string& key, Kind kind,
                       const std::string& unlessKey = std::string());
    static void addArgument(const std::string& function, int position, Kind kind,
                            const std::string& pattern = std::string());
    // One letter per argument, from the first: i image, a animation, f font, s sound, v video,
    // p particles, c cursor, g guide, m module, l level, F file, k string key, t trigger call,
    // T trigger call in the started level, o object; "-" (or any other) none.
    static void addArguments(const std::string& function, const char* letters);
    static void addNeed(const Need& need);
    static void addTextBox(const TextBox& box);
    // A button's caption: one key, one line within the button's image.
    static void addCaption(const std::string& owner, const std::string& key, const std::string& font,
                           int size, const std::string& image);
    static void addPlacement(const Placement& placement);

    static const std::vector<Key>& keys();
    static const std::vector<Argument>& arguments();
    static const std::vector<Need>& needs();
    static const std::vector<TextBox>& textBoxes();
    static const std::vector<Placement>& placements();
    // Forgets every entry (before declaring them afresh).
    static void clear();

    // "image", "animation", ... as reports name the kinds.
    static const char* kindName(Kind kind);
};
