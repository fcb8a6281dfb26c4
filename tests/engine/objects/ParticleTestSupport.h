// Shared helpers of the particle tests: particle files written into a temporary folder, a renderer
// that keeps every vertex batch it gets, and a stand-in mask object with a hand-made hit mask.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/nE_Object.h"
#include "engine/media/nE_Render.h"
#include "engine/media/nE_Texture.h"
#include "tests/pflib/TempDir.h"

namespace particletest {

inline std::string data(const std::string& name) {
    return std::string(HALVERN_TEST_DATA) + "/particles/" + name;
}

// Writes `folder`/`name`.xml with an "emit" element carrying the attributes; returns the resource name
// (the path without ".xml").
inline std::string writeParticleFile(const TempDir& folder, const std::string& name,
                                     const std::map<std::string, std::string>& attributes,
                                     const std::string& type = "vell") {
    std::string xml = "<particles";
    if (!type.empty()) xml += " type=\"" + type + "\"";
    xml += "><emit";
    for (const auto& a : attributes) xml += " " + a.first + "=\"" + a.second + "\"";
    xml += "/></particles>";
    TempDir::Write(folder / (name + ".xml"), xml);
    return folder / name;
}

class VertexRecorder : public nE_Render {
public:
    struct Batch {
        std::shared_ptr<nE_Texture> texture;
        nE_RenderState state;
        std::vector<nE_Vertex> vertices;
        bool absolute = false;
    };
    void drawVertices(const std::shared_ptr<nE_Texture>& texture, nE_RenderState& state,
                      const nE_Vertex* vertices, int count, bool absolute) override {
        batches.push_back({texture, state, std::vector<nE_Vertex>(vertices, vertices + count), absolute});
    }
    std::vector<Batch> batches;
};

// A texture of the given size whose hit mask is opaque only where `opaque` says.
template <class Opaque>
std::shared_ptr<nE_Texture> maskTexture(int w, int h, Opaque opaque) {
    auto texture = std::make_shared<nE_Texture>();
    texture->width = texture->sourceWidth = static_cast<float>(w);
    texture->height = texture->sourceHeight = static_cast<float>(h);
    texture->allocMask(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) texture->setMaskBit(x, y, opaque(x, y));
    return texture;
}

// Any scene object that hands out a texture serves as a mask.
class MaskObject : public nE_Object {
public:
    explicit MaskObject(std::shared_ptr<nE_Texture> t) : texture(std::move(t)) {}
    std::shared_ptr<nE_Resource> getResource() override { return texture; }
    std::shared_ptr<nE_Texture> texture;
};

}  // namespace particletest
