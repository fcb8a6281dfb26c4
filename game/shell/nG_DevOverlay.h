// Developer mode's error overlay: the latest errors an author must see (a script that failed, a
// trigger or file that is missing), each as "file:line: message" with its Lua traceback, in a panel
// over the top of the canvas. The error log is their source; a reload clears it, and Ctrl+E hides
// what is shown until the next error.
#pragma once

#include <string>
#include <vector>

#include "engine/core/nE_ErrorLog.h"
#include "game/shell/nG_DevPanel.h"

struct nE_InputEvent;
class nE_Render;

class nG_DevOverlay {
public:
    static constexpr int kKeyControl = -139;
    static constexpr int kKeyHide = 'e';
    // The newest entries shown; the panel says how many earlier ones it leaves out.
    static constexpr size_t kShownEntries = 3;
    static constexpr size_t kTracebackLines = 8;
    static constexpr size_t kMessageChars = 400;
    static constexpr float kMargin = 12;

    nG_DevOverlay();

    // True when it took the event (Ctrl+E).
    bool onEvent(const nE_InputEvent& event);
    // Follows the error log.
    void update();
    void draw(nE_Render* renderer);
    bool shown() const { return panel_.shown; }

    // The panel's lines for the entries, oldest first.
    static std::string describe(const std::vector<nE_ErrorLog::Entry>& entries);

private:
    nG_DevPanel panel_;
    unsigned seen_ = 0;
    bool controlDown_ = false;
};
