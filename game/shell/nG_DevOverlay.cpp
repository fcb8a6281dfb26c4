#include "game/shell/nG_DevOverlay.h"

#include "engine/core/nE_DisplayChoice.h"
#include "engine/core/nE_InputEvent.h"

nG_DevOverlay::nG_DevOverlay() : panel_(nE_DisplayChoice::kCanvasWidth - 2 * kMargin) {
    panel_.setHeadingColour(1.0f, 0.45f, 0.4f);
    panel_.placeAt(kMargin, kMargin);
    seen_ = nE_ErrorLog::serial();
}

bool nG_DevOverlay::onEvent(const nE_InputEvent& event) {
    if (event.code == kKeyControl) {
        if (event.type == nE_InputEvent::kKeyDown) controlDown_ = true;
        if (event.type == nE_InputEvent::kKeyUp) controlDown_ = false;
        return false;
    }
    if (event.type != nE_InputEvent::kKeyDown || !controlDown_ ||
        (event.code != kKeyHide && event.code != 'E'))
        return false;
    // The entries are done with: the next error shows by itself.
    nE_ErrorLog::clear();
    panel_.shown = false;
    return true;
}

void nG_DevOverlay::update() {
    const std::vector<nE_ErrorLog::Entry>& entries = nE_ErrorLog::recent();
    // A reload clears the log without a new serial.
    if (entries.empty()) panel_.shown = false;
    if (nE_ErrorLog::serial() == seen_) return;
    seen_ = nE_ErrorLog::serial();
    if (entries.empty()) return;
    const std::string count = entries.size() == 1 ? "1 error" : std::to_string(entries.size()) + " errors";
    panel_.setText(count + "  (Ctrl+E hides; a reload clears)", describe(entries));
    panel_.shown = true;
}

void nG_DevOverlay::draw(nE_Render* renderer) {
    panel_.draw(renderer);
}

std::string nG_DevOverlay::describe(const std::vector<nE_ErrorLog::Entry>& entries) {
    std::string text;
    const size_t first = entries.size() > kShownEntries ? entries.size() - kShownEntries : 0;
    if (first > 0) text += "(" + std::to_string(first) + " earlier not shown)\n";
    for (size_t i = first; i < entries.size(); ++i) {
        std::string line = nE_ErrorLog::line(entries[i]);
        if (line.size() > kMessageChars) line = line.substr(0, kMessageChars) + "...";
        if (i > first) text += "\n";
        text += line;
        // The traceback's own lines, indented, the tabs Lua puts in turned into spaces.
        size_t lines = 0, at = 0;
        const std::string& traceback = entries[i].traceback;
        while (at < traceback.size() && lines < kTracebackLines) {
            size_t end = traceback.find('\n', at);
            if (end == std::string::npos) end = traceback.size();
            std::string part = traceback.substr(at, end - at);
            at = end + 1;
            while (!part.empty() && (part[0] == '\t' || part[0] == ' ')) part.erase(0, 1);
            // Its heading says nothing the panel does not.
            if (part.empty() || part.find("stack traceback:") != std::string::npos) continue;
            text += "\n    " + part;
            ++lines;
        }
        if (at < traceback.size()) text += "\n    ...";
    }
    return text;
}
