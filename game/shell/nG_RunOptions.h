// What the program was asked to do on its command line, beyond the platform's own options.
#pragma once

#include <string>

struct nG_RunOptions {
    int frames = 0;        // end the run after this many update ticks (0: run until closed)
    std::string module;    // open this module by itself in place of the menu
    std::string language;  // speak this language for the run, without keeping the choice

    static nG_RunOptions& get();
};
