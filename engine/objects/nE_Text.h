// A scene object that shows a string: its resource name names a font, its text is a string-table key
// (expanded with up to five parameters) or, with "disprawtext", the text itself. The whole string is
// rendered into one texture whenever something that shapes it changes, and drawn as one quad anchored
// on the object's position by its alignment.
#pragma once

#include <memory>
#include <string>

#include "engine/core/nE_Object.h"

class nE_Font;
class nE_Texture;

class nE_Text : public nE_Object {
public:
    static constexpr int kDefaultFontSize = 20;
    static constexpr int kDefaultMaxWidth = -1;
    static constexpr int kDefaultAlign = 1;
    static constexpr int kParamCount = 5;

    nE_Text();
    ~nE_Text() override;

    std::shared_ptr<nE_Resource> getResource() override;
    // Base keys, then "res", "disprawtext", "fontsize", "maxwidth", "align", "text"; any of the last
    // five renders again, a new "res" on a loaded text loads that font.
    void loadProperties(nE_SLHelper& helper) override;
    void saveProperties(nE_SLHelper& helper) override;
    std::string getTypeName() const override;
    // The rendered block where it is drawn: left edge on the position for align 0, right edge for 2,
    // centred for 1; (0, 0, 0, 0) without a texture.
    nE_Rect getLocalRect() override;
    // After a device loss the texture is rendered anew.
    void restoreDeviceResources(bool recursive) override;
    // Also reports "misc" when the text contains the searched text.
    void findText(tinyxml2::XMLElement* node, const std::string& text, bool recursive) override;
    void resetState() override;
    void loadResources() override;
    void unloadResources() override;
    void drawSelf(nE_Render* renderer, nE_RenderState& world) override;

    // Stores the key (or raw text) and its parameters and renders, unless all six are unchanged.
    virtual void setText(const std::string& text, const std::string& p1 = std::string(),
                         const std::string& p2 = std::string(), const std::string& p3 = std::string(),
                         const std::string& p4 = std::string(), const std::string& p5 = std::string());

    // The string as shown: the text itself when raw or without a string table, else its lookup.
    std::string displayedString() const;
    // Renders the displayed string into textTexture; nothing without a font.
    void render();
    // Renders again when the string table was loaded anew since (another language was chosen).
    void refreshIfStale();
    // What refreshIfStale does with the new string: render it; a text that sizes itself to its string
    // sizes itself again.
    virtual void renderNewLanguage() { render(); }

    std::shared_ptr<nE_Font> font;
    std::shared_ptr<nE_Texture> textTexture;
    int fontSize = kDefaultFontSize;
    int maxWidth = kDefaultMaxWidth;
    bool rawText = false;
    int align = kDefaultAlign;
    std::string text;
    std::string params[kParamCount];

private:
    unsigned renderedSerial_ = 0;
    // Horizontal shift from the centred texture to the drawn block.
    float anchorShift() const;
};
