// The subtitle line ("ng_subtitles"): a line in the game's own type over the lower part of the picture,
// on a half-transparent band that keeps it readable on bright frames, faded in and out. The top of the
// picture stays clear. Videos post their subtitle lines to it; each line is a string-table key. Showing
// a line sends the black-bar narration away so that the two never overlap. A line that wraps gets a
// taller band, growing upwards.
#pragma once

#include <string>

#include "engine/core/nE_Object.h"
#include "game/interface/nG_Widget.h"

class nE_Sprite;
class nE_Text;

class nG_Subtitles : public nE_Object, public nG_Widget {
public:
    static constexpr const char* kName = "ng_subtitles";
    enum Mode { kFadingIn = 0, kFadingOut = 1 };
    static constexpr float kSpeed = 3.f;
    // The band's lower edge stays above the skip hint in the screen's bottom corner.
    static constexpr float kBandBottom = 728, kBandHalfHeight = 28, kBandMargin = 8, kBandAlpha = 0.55f;
    static constexpr int kFontSize = 28, kTextWidth = 960;

    nG_Subtitles();
    // Declares the fixed assets and texts this class loads, for the content checker.
    static void declareContent();

    void onMessage(const nE_Message& message) override;
    void update(float dt) override;

    void show(const std::string& textId);
    void hide();

    int mode = kFadingOut;
    float level = 0.f;
    std::string textId;

    nE_Sprite* band = nullptr;
    nE_Text* text = nullptr;

private:
    void applyLevel();
    void fitBand();
};
