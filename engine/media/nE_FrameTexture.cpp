#include "engine/media/nE_FrameTexture.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cstdlib>

#include "engine/core/nE_Debug.h"
#include "engine/core/nE_Path.h"
#include "engine/core/nE_ResourceRequester.h"
#include "engine/core/nE_Xml.h"
#include "engine/media/nE_AssetFiles.h"
#include "engine/media/nE_ResourceCache.h"
#include "pflib/TFile.h"

static std::shared_ptr<nE_Texture> requestTexture(const std::string& name) {
    if (nE_ResourceCache* cache = nE_ResourceCache::instance()) return cache->getTexture(name);
    return nullptr;
}

// A frame without an image (or naming one outside) keeps the folder alone: a texture without a picture,
// so that every frame has one.
static std::string frameImage(const std::string& directory, const tinyxml2::XMLElement* frame) {
    const std::string image =
        nE_Path::resolveBeside(directory, nE_Xml::text(frame, "texture"), "nE_FrameTexture");
    return image.empty() ? directory : image;
}

std::vector<std::string> nE_FrameTexture::textureNames(const std::string& name) {
    std::vector<std::string> names;
    std::string text;
    tinyxml2::XMLDocument doc;
    if (!pf::TFile::ReadAll(nE_AssetFiles::frameTexture(name), text) ||
        doc.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS)
        return names;
    const tinyxml2::XMLElement* root = doc.FirstChildElement("frametexture");
    const std::string directory = nE_AssetFiles::folderOf(name);
    for (const tinyxml2::XMLElement* e = root ? root->FirstChildElement("frame") : nullptr; e;
         e = e->NextSiblingElement("frame")) {
        std::string image = frameImage(directory, e);
        if (std::find(names.begin(), names.end(), image) == names.end()) names.push_back(std::move(image));
    }
    return names;
}

bool nE_FrameTexture::load(const std::string& name) {
    setName(name);
    frames.clear();

    std::string text;
    tinyxml2::XMLDocument doc;
    if (!pf::TFile::ReadAll(nE_AssetFiles::frameTexture(name), text) ||
        doc.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS) {
        nE_Debug::writef("nE_FrameTexture: Could not find \"%s\" file!\n", name.c_str());
        nE_ResourceRequester::notFound("frame texture \"" + name + "\"");
        return false;
    }
    const tinyxml2::XMLElement* root = doc.FirstChildElement("frametexture");
    if (!root) return false;

    const std::string directory = nE_AssetFiles::folderOf(name);

    for (const tinyxml2::XMLElement* e = root->FirstChildElement("frame"); e;
         e = e->NextSiblingElement("frame")) {
        Frame f;
        f.height = static_cast<float>(nE_Xml::integer(e, "height"));
        f.width = static_cast<float>(nE_Xml::integer(e, "widht"));  // the file format spells it so
        f.left = static_cast<float>(nE_Xml::integer(e, "left"));
        f.top = static_cast<float>(nE_Xml::integer(e, "top"));
        f.pivotX = static_cast<float>(nE_Xml::integer(e, "x"));
        f.pivotY = static_cast<float>(nE_Xml::integer(e, "y"));
        f.texture = requestTexture(frameImage(directory, e));
        frames.push_back(std::move(f));
    }
    return true;
}

const nE_FrameTexture::Frame* nE_FrameTexture::frame(int index) const {
    if (index < 0 || index >= static_cast<int>(frames.size())) return nullptr;
    return &frames[static_cast<size_t>(index)];
}

nE_Rect nE_FrameTexture::localRect(int frameIndex) const {
    const Frame* f = frame(frameIndex);
    if (!f) return {0, 0, 0, 0};
    return {-f->pivotX, -f->pivotY, f->width, f->height};
}

nE_Rect nE_FrameTexture::texCoordRect(const nE_RenderState& state) const {
    const Frame* f = frame(state.frameIndex);
    if (!f || !f->texture) return {0, 0, 0, 0};
    const float sw = f->texture->sourceWidth, sh = f->texture->sourceHeight;
    return {f->left / sw, f->top / sh, f->width / sw, f->height / sh};
}

bool nE_FrameTexture::hitTest(float x, float y, const nE_RenderState& state) const {
    const Frame* f = frame(state.frameIndex);
    if (!f || !f->texture) return false;
    float lx = 0, ly = 0;
    if (!insideTransformedRect(x, y, localRect(state.frameIndex), state, lx, ly)) return false;
    const nE_Texture& texture = *f->texture;
    const int column = static_cast<int>(f->left + f->pivotX + lx);
    const int row = static_cast<int>(f->top + f->pivotY + ly);
    // No mask, or a region reaching past it: the rectangle decides.
    if (!texture.maskContains(column, row)) return true;
    return texture.maskBit(column, row);
}
