// A sprite sheet: frames described by a "frametexture" XML file, each a region of some texture with
// the object's origin (pivot) inside it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/media/nE_Texture.h"

class nE_FrameTexture : public nE_Texture {
public:
    struct Frame {
        float left = 0, top = 0;
        float width = 0, height = 0;
        float pivotX = 0, pivotY = 0;
        std::shared_ptr<nE_Texture> texture;
    };

    // Reads name + ".xml"; the frames' textures come through the resource cache.
    bool load(const std::string& name) override;
    // The texture names the frames of the sheet's file would ask for, each once, in order; none when
    // the file is missing or malformed (load reports that).
    static std::vector<std::string> textureNames(const std::string& name);
    // (-pivotX, -pivotY, width, height) of the frame; (0, 0, 0, 0) past the end.
    nE_Rect localRect(int frameIndex) const override;
    // The frame's region in its texture's coordinates; tiling is not applied.
    nE_Rect texCoordRect(const nE_RenderState& state) const override;
    bool hitTest(float x, float y, const nE_RenderState& state) const override;

    // The frame at the index, or none past the end.
    const Frame* frame(int index) const;
    int frameCount() const { return static_cast<int>(frames.size()); }

    std::vector<Frame> frames;
};
