// The per-user folder in the browser: the file system there lives in memory, so the folder is kept in
// the page's IndexedDB. It is loaded once before the game starts and stored after every change.
#pragma once

#include "pflib/pfTypes.h"

namespace pf {

class TWebStorage {
public:
    // Mounts the kept folder at `dir` and starts reading it back; Ready() turns true when done.
    static void Load(const str& dir);
    static bool Ready();
    // Stores the folder as it is now. One store runs at a time; asking during one runs another after
    // it, so the last change is always stored. Each store is one IndexedDB transaction: a page closed
    // before it ends keeps the previous files whole.
    static void Flush();
    // Tells the page that the game has ended (Module.gameEnded(code)) once the stores asked for have
    // ended, so that a page reloaded then finds the last files.
    static void Ended(int code);
};

}  // namespace pf
