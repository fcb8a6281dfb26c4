#include "engine/objects/nE_PartSysImpl.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cstdlib>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_Object.h"
#include "engine/core/nE_Scene.h"
#include "engine/media/nE_AssetFiles.h"
#include "engine/media/nE_Texture.h"
#include "pflib/TFile.h"

namespace {

// Compares pointers only: `wanted` may already be gone.
bool holds(const nE_Object* node, const nE_Object* wanted) {
    if (!node) return false;
    if (node == wanted) return true;
    for (const nE_Object* child : node->children)
        if (holds(child, wanted)) return true;
    return false;
}

}  // namespace

nE_PartSysImpl::nE_PartSysImpl() {
    nE_Vertex zero;
    zero.r = zero.g = zero.b = zero.a = 0;
    vertices_.assign(kBatchVertices, zero);
}

nE_PartSysImpl::~nE_PartSysImpl() = default;

float nE_PartSysImpl::rnd(float base, float delta) {
    return base - delta + static_cast<float>(std::rand() % 10000) * 2 * delta / 10000;
}

void nE_PartSysImpl::setMaskObject(nE_Object* mask) {
    maskObject = mask;
    maskName_ = mask ? mask->name : std::string();
}

nE_Object* nE_PartSysImpl::liveMask() {
    if (!maskObject || !nE_Core::exists()) return maskObject;
    nE_Scene& scene = nE_Core::get()->scene();
    // The usual case first: the name still leads to the same object.
    if (scene.findObject(maskName_) == maskObject) return maskObject;
    if (holds(scene.root(), maskObject) || holds(scene.storage(), maskObject)) return maskObject;
    maskObject = nullptr;
    maskName_.clear();
    return nullptr;
}

pf::TVec2 nE_PartSysImpl::maskPointWorld() {
    nE_Object* mask = liveMask();
    if (!mask) return {0, 0};
    nE_RenderState world = mask->worldStateFromTop();
    return randomMaskPoint(*mask, world);
}

pf::TVec2 nE_PartSysImpl::randomMaskPoint(nE_Object& mask, nE_RenderState& maskWorld) {
    float mx = 0, my = 0;
    std::shared_ptr<nE_Texture> texture = std::dynamic_pointer_cast<nE_Texture>(mask.getResource());
    if (texture) {
        const nE_RenderState plain;
        const nE_Rect rect = texture->localRect(0);
        const int w = static_cast<int>(rect.w), h = static_cast<int>(rect.h);
        bool found = false;
        if (w > 0 && h > 0) {
            for (int i = 0; i < kMaskTries && !found; ++i) {
                // For a centred image: rand() % width - width / 2.
                mx = static_cast<float>(std::rand() % w) + rect.x;
                my = static_cast<float>(std::rand() % h) + rect.y;
                found = texture->hitTest(mx, my, plain);
            }
        }
        if (!found) {
            mx = rect.x + rect.w / 2;
            my = rect.y + rect.h / 2;
        }
    }
    return maskWorld.transform().Apply(mx, my);
}

void nE_PartSysImpl::beginQuads(nE_Render* renderer, const std::shared_ptr<nE_Texture>& texture,
                                nE_RenderState& world) {
    batchRenderer_ = renderer;
    batchTexture_ = &texture;
    batchState_ = &world;
    quadCount_ = 0;
}

void nE_PartSysImpl::addQuad(const float m[6], const nE_Rect& rect, float du, float dv, float r, float g,
                             float b, float a) {
    const float x0 = rect.x, y0 = rect.y, x1 = rect.x + rect.w, y1 = rect.y + rect.h;
    auto put = [&](nE_Vertex& v, float x, float y, float u, float t) {
        v.x = x * m[0] + y * m[2] + m[4];
        v.y = x * m[1] + y * m[3] + m[5];
        v.z = 0;
        v.r = r;
        v.g = g;
        v.b = b;
        v.a = a;
        v.u = u;
        v.v = t;
    };
    nE_Vertex* v = &vertices_[static_cast<size_t>(quadCount_) * 6];
    // Two triangles: top-left, top-right, bottom-left; top-right, bottom-left, bottom-right.
    put(v[0], x0, y0, 0, 0);
    put(v[1], x1, y0, du, 0);
    put(v[2], x0, y1, 0, dv);
    v[3] = v[1];
    v[4] = v[2];
    put(v[5], x1, y1, du, dv);
    if (++quadCount_ == kBatchParticles) flushQuads();
}

void nE_PartSysImpl::endQuads() {
    flushQuads();
    batchRenderer_ = nullptr;
    batchTexture_ = nullptr;
    batchState_ = nullptr;
}

void nE_PartSysImpl::flushQuads() {
    if (quadCount_ > 0 && batchRenderer_) {
        batchRenderer_->drawVertices(*batchTexture_, *batchState_, vertices_.data(), quadCount_ * 6, true);
    }
    quadCount_ = 0;
}

const tinyxml2::XMLElement* nE_PartSysImpl::readFile(const std::string& name, tinyxml2::XMLDocument& doc) {
    std::string text;
    if (name.empty() || !pf::TFile::ReadAll(nE_AssetFiles::particles(name), text) ||
        doc.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS)
        return nullptr;
    return doc.FirstChildElement();
}
