// "halvern --check": reads the game's content without opening a window and reports every fault it
// finds, one line each with file and line. The whole game: the modules the program brings in (the menu,
// the level files) and everything they reach, every other file under "assets/", and the fixed assets,
// modules and triggers the program itself needs (nG_GameContent). One module (--module): that module
// and what it reaches, as a preview would run it.
//
// Trigger calls are resolved against the triggers registered where the call runs: the menu's modules
// while the menu runs, a level file's modules while its game runs (the program forgets the triggers
// between the two), a module that nothing brings in on its own.
#pragma once

#include <string>

class nG_CheckReport;
class nG_CheckSession;

class nG_ContentChecker {
public:
    explicit nG_ContentChecker(nG_CheckReport& report);
    ~nG_ContentChecker();
    nG_ContentChecker(const nG_ContentChecker&) = delete;
    nG_ContentChecker& operator=(const nG_ContentChecker&) = delete;

    // The game folder's whole content.
    void checkGame();
    // One module path (as --module takes it) and what it reaches; no fixed needs.
    void checkModule(const std::string& path);

    // The command: declares the rules, checks, prints the findings on standard output and a count on
    // standard error. 0 when nothing was found, 1 otherwise.
    static int run(const std::string& module);

private:
    void resolve(bool wholeGame);

    nG_CheckReport& report_;
    nG_CheckSession* session_;
    std::string previewRoot_;
};
