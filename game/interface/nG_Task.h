// One line of the task list: a text that shows the task's name from the strings table, how many are
// still to be found, and whether it is done (grey) or marked (blue) by its colour.
#pragma once

#include <string>

#include "engine/objects/nE_Text.h"

class nG_Task : public nE_Text {
public:
    static constexpr const char* kFont = "assets/fonts/garapremrpro";
    static constexpr int kFontSize = 18;
    // A name too wide for its column is drawn smaller, down to this size, rather than over its
    // neighbours (a long word of a translation).
    static constexpr int kMinFontSize = 12;
    // The text of a task still needed more than once: %1% the task's text, %2% the count.
    static constexpr const char* kCountedText = "task_mul";

    nG_Task();

    // The defaults, invisible and without input, the list's font.
    void resetState() override;
    // Colour and text after a change of the fields below.
    void refresh();
    // The largest size up to kFontSize at which the shown text keeps within lineWidth (kMinFontSize
    // when none does), rendered again when it changes.
    void fit();
    void loadResources() override;
    // Another language's name may need another size to keep within the line.
    void renderNewLanguage() override;

    std::string textId;
    int count = 0;
    bool completed = false;
    bool marked = false;
    float lineWidth = 0;  // the widest the line may be; 0 for no limit

private:
    void resetOwn();
};
