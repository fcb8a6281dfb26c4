#include "game/shell/nG_RunOptions.h"

nG_RunOptions& nG_RunOptions::get() {
    static nG_RunOptions options;
    return options;
}
