#include "game/interface/nG_Task.h"

#include <string>

#include "engine/core/nE_StringTable.h"
#include "engine/media/nE_Font.h"

nG_Task::nG_Task() {
    resetOwn();
}

void nG_Task::resetOwn() {
    textId.clear();
    count = 0;
    completed = false;
    marked = false;
    visible = false;
    input = false;
    fontSize = kFontSize;
    setResourceName(kFont);
}

void nG_Task::resetState() {
    nE_Text::resetState();
    resetOwn();
}

void nG_Task::refresh() {
    if (completed) {
        editLocalState()->red = editLocalState()->green = editLocalState()->blue = 0.4f;
    } else if (marked) {
        editLocalState()->red = 196 / 255.f;
        editLocalState()->green = 213 / 255.f;
        editLocalState()->blue = 1.f;
    } else {
        editLocalState()->red = 1.f;
        editLocalState()->green = 236 / 255.f;
        editLocalState()->blue = 108 / 255.f;
    }
    if (count < 2) {
        setText(textId);
    } else {
        // The name goes in as a reference to its key, so that the line follows a change of language.
        const nE_StringTable* table = nE_StringTable::current();
        const bool known = table && table->entries.count(textId);
        setText(kCountedText, known ? "%" + textId + "%" : textId, std::to_string(count));
    }
    fit();
}

void nG_Task::fit() {
    int size = kFontSize;
    if (font && lineWidth > 0) {
        const std::string shown = displayedString();
        nE_Font::Layout layout;
        while (size > kMinFontSize && font->layOut(shown, size, kDefaultMaxWidth, layout) &&
               layout.widest > lineWidth)
            --size;
    }
    if (size == fontSize) return;
    fontSize = size;
    render();
}

void nG_Task::renderNewLanguage() {
    const int before = fontSize;
    fit();
    if (fontSize == before) render();
}

void nG_Task::loadResources() {
    nE_Text::loadResources();
    fit();
}
