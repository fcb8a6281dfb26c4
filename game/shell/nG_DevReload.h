// Developer mode's reload ("-e"): what is shown is brought in again from disk when one of its files
// changes, or at once on Ctrl+R (F1-F12 start levels in developer mode), so that an author sees an
// edit without restarting. What is shown: a module previewed with --module, the menu, or in a game
// the current room (an open sub-room closes first): the room's module gives its triggers, its code
// and a new copy of the room, which replaces the shown one. Objects that scripts put into the room
// move over to the copy; objects they took out of it elsewhere stay where they are.
//
// A module that no longer parses is reported with its file and line and nothing is reloaded: what is
// shown stays until the file is fixed.
//
// The files watched are the modules in use, every file in their folders and the images, sheets and
// fonts the scene holds; their stamps (modification time and size) are compared twice a second.
#pragma once

#include <map>
#include <string>
#include <vector>

struct nE_InputEvent;
class nG_Game;

class nG_DevReload {
public:
    static constexpr float kPollSeconds = 0.5f;
    static constexpr int kKeyControl = -139;
    // A folder with more files than this is not watched file by file (Ctrl+R still reloads).
    static constexpr size_t kMaxWatched = 4000;

    // Call on every input event; true when it asked for a reload (Ctrl+R) and the reload was done.
    bool onEvent(const nE_InputEvent& event);
    // Call on every update tick; reloads when a watched file changed since the last look.
    void update(float dt);
    // Brings in again whatever is shown. False when nothing is shown that can be reloaded yet.
    bool reload(const std::string& why);
    // The game's current room from its module on disk (an open sub-room closes first).
    bool reloadRoom(nG_Game& game, const std::string& why);

    // The files that make up what is shown now (modules, their folders' files, held resources).
    static std::vector<std::string> watchedFiles();

    int reloads = 0;

private:
    // Compares the stamps with those of the last look; true when a file seen before has changed.
    bool changed(std::string& which);
    // Whether every module in use is well-formed XML; each one that is not is reported.
    static bool modulesReadable();
    void reloadPreview(const std::string& module);

    std::map<std::string, long long> stamps_;
    float sincePoll_ = 0;
    bool controlDown_ = false;
};
