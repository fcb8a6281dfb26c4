// The machine-wide preferences: full screen, system cursor, the four volume groups, gamma and the
// language, kept in
// "settings.xml" in the user folder together with the list of profiles and the current one; plus the
// publisher's web address and image budget from "assets/publisher_settings.xml".
#pragma once

#include <string>

class nG_ProfileHub;

namespace tinyxml2 {
class XMLElement;
}

class nG_Settings {
public:
    static constexpr float kDefaultVolume = 0.75f;
    static constexpr const char* kFileName = "settings.xml";
    static constexpr const char* kPublisherFile = "assets/publisher_settings";

    // The profile list lives in the hub (not owned), which the settings file fills and names.
    explicit nG_Settings(nG_ProfileHub* hub);
    ~nG_Settings();
    nG_Settings(const nG_Settings&) = delete;
    nG_Settings& operator=(const nG_Settings&) = delete;

    // The program's settings, or none.
    static nG_Settings* current();
    // Declares the fixed assets, modules and triggers this class loads or calls, for the content checker.
    static void declareContent();
    static void setCurrent(nG_Settings* settings);

    // The publisher file (its "font_fallback" names the fonts, separated by spaces, that stand in for
    // letters a font lacks), then "settings.xml": a missing file is written with the defaults at once; one
    // that does not parse is kept as "settings.xml.corrupt" (or ".corrupt.1", ...: an earlier one stays)
    // and the defaults stay. Without a file, or with one that names no player, the profile list is
    // rebuilt from the profile files in the user folder, in name order.
    void load();
    // The limits the publisher file sets for content, applied where they act: "image_budget"
    // ("WIDTHxHEIGHT", the most pixels an image may have; default 4096x4096) to the image loader, and
    // "script_memory_mb" (16 to 4096; default 256) to the Lua states made from now on. An absent or
    // malformed value gives the default.
    static void applyContentLimits(const tinyxml2::XMLElement& root);
    // Reads only those from the publisher file, for tools that load no settings.
    static void readContentLimits();
    // Writes "settings.xml" (pretty-printed); false when it could not be written.
    bool save() const;
    // The file's text as save writes it.
    std::string print() const;

    // Groups "sfx", "env", "soundtrack", "voice". The value always goes to the sound hub, also for an
    // unknown group, which changes no field.
    void setVolume(const std::string& group, float value);
    // 0 for an unknown group.
    float volume(const std::string& group) const;
    // The four volumes to the sound hub (sfx, env, soundtrack, voice), then the system-cursor flag to the
    // cursor.
    void applyAll() const;

    bool fullscreen = true;
    bool syscursor = false;
    float sfx = kDefaultVolume;
    float env = kDefaultVolume;
    float soundtrack = kDefaultVolume;
    float voice = kDefaultVolume;
    float gamma = 1.0f;
    // The code of the language the player chose ("" until a first start has chosen one).
    std::string language;
    std::string url;

private:
    void loadPublisher();
    void rebuildProfileList();
    float* field(const std::string& group);

    nG_ProfileHub* hub_;
};
