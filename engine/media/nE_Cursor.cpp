#include "engine/media/nE_Cursor.h"

static nE_Cursor* g_current = nullptr;

nE_Cursor::~nE_Cursor() {
    if (g_current == this) g_current = nullptr;
}

void nE_Cursor::setUseSystem(bool) {}

bool nE_Cursor::isUsingSystem() const {
    return false;
}

void nE_Cursor::select(int) {}

void nE_Cursor::setPosition(float newX, float newY) {
    x = newX;
    y = newY;
    hidden = false;
}

void nE_Cursor::draw(nE_Render*) {}

void nE_Cursor::update(float) {}

int nE_Cursor::add(const nE_CursorDesc&) {
    return -1;
}

nE_Cursor* nE_Cursor::current() {
    return g_current;
}

void nE_Cursor::setCurrent(nE_Cursor* cursor) {
    g_current = cursor;
}
