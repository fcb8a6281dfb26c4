// "halvern --new-game DIR": writes a small playable game for an author to start from. The game's own
// files (menu, level, rooms, strings, their pictures) come from the template folder shipped beside
// the bundled game's assets; the art every game shares (interface, cursors, fonts, sounds), named in
// the template's shared.txt, is copied from the bundled game itself, so it is kept only once.
#pragma once

#include <string>

class nG_NewGame {
public:
    // Writes the game into `target` (made when missing; refused when it exists and is not an empty
    // folder) from `bundledGame`, the folder holding the bundled assets/ and template/. Prints what it
    // did or the one line saying why not; returns the exit status (0 written, 1 refused or failed).
    static int run(const std::string& target, const std::string& bundledGame);
};
