// What a particle system object delegates to: loading its file, holding textures, moving and drawing
// particles. The file-driven emitter and the scripted one both derive from it. The base keeps what both
// share: the owner, the emitting switch, the mask object and the batched quad drawing.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/core/nE_RenderState.h"
#include "engine/media/nE_Render.h"

namespace tinyxml2 {
class XMLDocument;
class XMLElement;
}  // namespace tinyxml2
class nE_Object;
class nE_Texture;

class nE_PartSysImpl {
public:
    // One draw call takes at most this many particles (six vertices each).
    static constexpr int kBatchParticles = 128;
    static constexpr int kBatchVertices = kBatchParticles * 6;
    // Tries at finding an opaque mask pixel before the mask's centre is taken instead.
    static constexpr int kMaskTries = 1000;

    nE_PartSysImpl();
    virtual ~nE_PartSysImpl();
    nE_PartSysImpl(const nE_PartSysImpl&) = delete;
    nE_PartSysImpl& operator=(const nE_PartSysImpl&) = delete;

    // Reads the particle file `name` + ".xml".
    virtual void load(const std::string& name) = 0;
    virtual void loadResources() {}
    virtual void unloadResources() {}
    virtual void update(float dt) = 0;
    // `world` is the owner's world state: its transform, colour, alpha and blend mode.
    virtual void draw(nE_Render* renderer, nE_RenderState& world) = 0;
    virtual void start() { emitting = true; }
    virtual void stop(bool clear) {
        (void)clear;
        emitting = false;
    }
    virtual void setEmitting(bool flag) { emitting = flag; }

    // The mask is not owned. Its name is kept so that a mask destroyed meanwhile is noticed before
    // its memory is touched (see liveMask).
    void setMaskObject(nE_Object* mask);
    // The mask object while it is still one of the scene's objects, otherwise none (and forgotten).
    // Without a scene to look in, the object is taken as alive.
    nE_Object* liveMask();
    // A random opaque point of the live mask, in world space; (0, 0) without a mask.
    pf::TVec2 maskPointWorld();
    // A random opaque point of `mask` placed by `maskWorld` (its world state). A mask without a
    // texture, or whose texture shows no opaque pixel in kMaskTries tries, gives its centre.
    static pf::TVec2 randomMaskPoint(nE_Object& mask, nE_RenderState& maskWorld);

    // The C library's rand spread: base - delta + (rand() % 10000) * 2 * delta / 10000.
    static float rnd(float base, float delta);

    // Parses the particle file name + ".xml" (backslashes read as slashes) into doc; its root
    // element, or none when the file is missing or malformed.
    static const tinyxml2::XMLElement* readFile(const std::string& name, tinyxml2::XMLDocument& doc);

    nE_Object* owner = nullptr;
    nE_Object* maskObject = nullptr;
    bool emitting = false;

protected:
    // Quad drawing in batches: beginQuads, one addQuad per particle, endQuads. A full batch goes out by
    // itself. `m` is the particle's affine placement (m0, m1, m4, m5, m12, m13 of a pf::TMat4); the
    // quad `rect` spans texture coordinates (0, 0)..(du, dv).
    void beginQuads(nE_Render* renderer, const std::shared_ptr<nE_Texture>& texture, nE_RenderState& world);
    void addQuad(const float m[6], const nE_Rect& rect, float du, float dv, float r, float g, float b,
                 float a);
    void endQuads();

    // Zero-filled at construction; one batch long.
    std::vector<nE_Vertex> vertices_;

private:
    void flushQuads();

    std::string maskName_;
    int quadCount_ = 0;
    nE_Render* batchRenderer_ = nullptr;
    const std::shared_ptr<nE_Texture>* batchTexture_ = nullptr;
    nE_RenderState* batchState_ = nullptr;
};
