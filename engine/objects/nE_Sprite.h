// A scene object that shows one image from the resource cache, drawn centred on its position. Unless an
// input rectangle was given, hit tests are pixel-exact against the image's alpha mask.
#pragma once

#include <memory>
#include <string>

#include "engine/core/nE_Object.h"

class nE_Texture;

class nE_Sprite : public nE_Object {
public:
    nE_Sprite();
    ~nE_Sprite() override;

    // Stores the name even when it is the same one: a loaded sprite drops its texture and asks the cache
    // again (the cache hands back the same texture while it is alive).
    void setResourceName(const std::string& name) override;
    std::shared_ptr<nE_Resource> getResource() override;
    // Base keys, then "res". A new "res" on a loaded sprite swaps its texture at once.
    void loadProperties(nE_SLHelper& helper) override;
    void saveProperties(nE_SLHelper& helper) override;
    std::string getTypeName() const override;
    // The texture's rectangle for the current frame; (0, 0, 0, 0) without a texture.
    nE_Rect getLocalRect() override;
    // The texture's own test (rectangle, then alpha mask) unless inputrect_init is set.
    bool hitTestPoint(float x, float y, nE_RenderState& world) override;
    void loadResources() override;
    void unloadResources() override;
    void drawSelf(nE_Render* renderer, nE_RenderState& world) override;

    // Held only while resources are loaded; a missing image still gives the cache's placeholder.
    std::shared_ptr<nE_Texture> texture;
    // Above 0 the image is drawn a second time, added to itself with this share of its opacity: it
    // brightens (the game lights what the pointer rests on). Not saved.
    float highlight = 0;

protected:
    // Reads "res"; true when it names another resource than before (the name is stored either way).
    bool readResourceName(nE_SLHelper& helper);
    // Unloads and loads again when resources are held.
    void reloadIfLoaded();
    // Without inputrect_init the input rectangle follows the texture's rectangle for the frame.
    void fitInputRect();
};
