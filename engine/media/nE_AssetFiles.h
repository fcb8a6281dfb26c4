// The files an asset name stands for. Content names its assets without an extension and each loader
// appends its own; these are those rules, in one place, so that the loaders and the content checker
// cannot disagree about which file a name means.
#pragma once

#include <string>

class nE_AssetFiles {
public:
    // An image: the current language's twin (name + "_de.png", then ".jpg") when there is one, else
    // name + ".png" when that exists, else name + ".jpg" when that exists; "" when none.
    // Backslashes count as "/".
    static std::string image(const std::string& name);
    // A frame texture (sprite sheet): name + ".xml".
    static std::string frameTexture(const std::string& name);
    // An animation: name + ".xml", backslashes as "/".
    static std::string animation(const std::string& name);
    // A font: name + ".ttf".
    static std::string font(const std::string& name);
    // A sound: name + ".ogg".
    static std::string sound(const std::string& name);
    // A video's colour stream: name + ".ogg"; its alpha and subtitle files beside it.
    static std::string video(const std::string& name);
    static std::string videoZAlpha(const std::string& name);
    static std::string videoOggAlpha(const std::string& name);
    // Subtitles: the current language's name + "_de.srt" when it exists, else name + ".srt".
    static std::string subtitles(const std::string& name);
    // A particle file: name + ".xml", backslashes as "/".
    static std::string particles(const std::string& name);
    // A cursor: name + ".xml" (an animation) when that exists, else name + ".png" when that exists;
    // "" when neither.
    static std::string cursor(const std::string& name);

    // The folder of a name with its closing "/" ("" for a name without one): names inside frame
    // textures and animations are relative to the folder of their file.
    static std::string folderOf(const std::string& name);
};
