#include "game/interface/nG_Cursor.h"

#include "engine/media/nE_Cursor.h"

void nG_Cursor::select(Kind kind) {
    if (nE_Cursor* cursor = nE_Cursor::current()) cursor->select(kind);
}

int nG_Cursor::selected() {
    const nE_Cursor* cursor = nE_Cursor::current();
    return cursor ? cursor->currentIndex : -1;
}
