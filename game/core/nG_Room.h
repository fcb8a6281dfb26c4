// One painted scene of the game ("room"): a full-screen image with the scene's objects as children. The
// game moves it between its rooms hub and its level and drives it through four states: it fades in
// from a snapshot of itself over the room it replaces, and fires "trg_open" when it is open and
// "trg_close" when it starts to close, with its own name as sender.
#pragma once

#include <memory>
#include <string>

#include "engine/objects/nE_Sprite.h"

class nE_Texture;

class nG_Room : public nE_Sprite {
public:
    enum State { kClosed = 0, kOpening = 1, kOpen = 2, kClosing = 3 };
    static constexpr float kFadeSeconds = 0.6f;
    // A snapshot larger than this on a side is not made (the room is then shown without a fade).
    static constexpr int kMaxSnapshotSide = 4096;

    nG_Room();
    ~nG_Room() override;

    // Sprite keys, then "trg_open" and "trg_close".
    void loadProperties(nE_SLHelper& helper) override;
    void saveProperties(nE_SLHelper& helper) override;
    std::string getTypeName() const override;
    // The base's matches, then one "event" entry for each trigger text that contains the text.
    void findText(tinyxml2::XMLElement* node, const std::string& text, bool recursive) override;
    void resetState() override;
    // Nothing until the room has been drawn once since it was shown; then the fade advances.
    void update(float dt) override;
    // While opening, the snapshot fades in in place of the image.
    void drawSelf(nE_Render* renderer, nE_RenderState& world) override;

    // Renders the room and its children, as they stand, into a texture the size of the input rectangle.
    virtual void takeSnapshot();
    virtual void setState(int newState);
    // Starts closing (with animate) or closes at once.
    virtual void close(bool animate);

    float fadeTime = 0;
    int state = kClosed;
    std::string trgOpen;
    std::string trgClose;
    bool drawn = true;
    std::shared_ptr<nE_Texture> snapshot;

protected:
    // Draws the snapshot where the input rectangle lies, with the given opacity; `inner` (when given) is
    // applied before the object's own placement.
    void drawSnapshot(nE_Render* renderer, const nE_RenderState& world, float alpha, const pf::TMat4* inner);

private:
    void resetOwn();
    // While open, the object under the pointer that answers a press brightens and the others fade back;
    // not while an item is carried nor in a hidden-object scene, whose objects must not give themselves
    // away.
    void lightHovered(float dt);
};
