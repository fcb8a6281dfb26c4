// Files the game hands to the player's desktop: copies into the documents folder under the game's
// name, a wallpaper, a screen saver. Paths come from scripts and must name something inside the game
// folder; anything else is refused with one debug line.
#pragma once

#include <functional>
#include <string>
#include <vector>

class nG_Desktop {
public:
    // Runs a program with its arguments (no shell); true when it ran and succeeded.
    using Runner = std::function<bool(const std::vector<std::string>& argv)>;

    // XDG_DOCUMENTS_DIR from the user's user-dirs.dirs, else ~/Documents.
    static std::string documentsDir();
    // documentsDir() + "/" + the game's name.
    static std::string gameFolder();

    // Copies the game file (one existing file of the game folder, nE_Path::resolve) into the game folder
    // under its own name, replacing an older copy. The copy's path, or empty when the path was refused,
    // names no file or the copy failed. `caller` names the script function in the refusal line.
    static std::string copyToDocuments(const std::string& path, const char* caller);
    // Copies the image and makes it the desktop background where the desktop has a standard way
    // (GNOME, Cinnamon, MATE settings); elsewhere it is only copied.
    static void setWallpaper(const std::string& path);
    // Copies the screen saver's file (one existing file of the game folder) into the game folder's
    // "screensaver" folder, keeping a copy already there; nothing else is copied. No desktop here
    // registers it: 0.
    static int setScreensaver(const std::string& path);

    // Replaces how programs are run (tests); an empty runner restores the real one.
    static void setRunner(Runner runner);

    static constexpr size_t kMaxPathBytes = 512;
};
