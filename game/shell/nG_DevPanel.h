// A dark translucent box with a heading and wrapped lines that developer mode's tools draw over the
// scene. It is laid out in canvas units and drawn through the display's canvas mapping, but it is no
// part of the scene tree: scripts cannot find, move or hide it, and it is drawn after everything.
#pragma once

#include <memory>
#include <string>

class nE_GeneratedTexture;
class nE_Render;
class nE_Text;

class nG_DevPanel {
public:
    static constexpr const char* kFont = "assets/fonts/DejaVuSans";
    static constexpr int kFontSize = 15;
    static constexpr float kPadding = 10;
    static constexpr float kGap = 6;

    // Lines longer than maxWidth (canvas units, padding included) wrap.
    explicit nG_DevPanel(float maxWidth);
    ~nG_DevPanel();

    // Each renders again only when it changed.
    void setText(const std::string& heading, const std::string& body);
    void setHeadingColour(float red, float green, float blue);
    // The top left corner, in canvas units.
    void placeAt(float x, float y);
    // The box as the text makes it: as wide as its widest line, padding included.
    float width() const;
    float height() const;
    void draw(nE_Render* renderer);

    bool shown = false;

private:
    std::unique_ptr<nE_Text> heading_, body_;
    std::shared_ptr<nE_GeneratedTexture> solid_;
    float maxWidth_;
    float x_ = 0, y_ = 0;
};
