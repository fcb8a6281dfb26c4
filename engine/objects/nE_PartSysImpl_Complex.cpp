#include "engine/objects/nE_PartSysImpl_Complex.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/core/nE_Debug.h"
#include "engine/core/nE_Easing.h"
#include "engine/core/nE_Object.h"
#include "engine/core/nE_Path.h"
#include "engine/media/nE_ResourceCache.h"
#include "engine/media/nE_Texture.h"
#include "engine/script/nE_PartSysScript.h"

namespace {

constexpr size_t kPartsPerType = 4;
enum Part { kBorn = 0, kDie = 1, kProcess = 2, kParticle = 3 };
const char* const kPartNames[kPartsPerType] = {"bornpart", "diepart", "process", "processpart"};

size_t slotOf(int typeIndex, Part part) {
    return 1 + static_cast<size_t>(typeIndex) * kPartsPerType + part;
}

std::string textOf(const tinyxml2::XMLElement* parent, const char* name) {
    const tinyxml2::XMLElement* element = parent ? parent->FirstChildElement(name) : nullptr;
    const char* text = element ? element->GetText() : nullptr;
    return text ? text : "";
}

}  // namespace

nE_PartSysImpl_Complex::nE_PartSysImpl_Complex() {
    start();
}

nE_PartSysImpl_Complex::~nE_PartSysImpl_Complex() = default;

void nE_PartSysImpl_Complex::load(const std::string& name) {
    fileName_ = name;
    // Emitters and particles refer to the emitter types by index.
    emitters.clear();
    particles.clear();
    emitterTypes.clear();
    systemCode.clear();
    chunkNames_.clear();
    if (script_) script_->forgetChunks();
    tinyxml2::XMLDocument doc;
    const tinyxml2::XMLElement* root = readFile(name, doc);
    if (!root) {
        nE_Debug::writef("nE_PartSysImpl_Complex::Could not find \"%s\" file!\n", name.c_str());
        return;
    }
    // The blend mode is written as the document's first node: <!-- Blend: 2 -->.
    int blend = 0;
    if (const tinyxml2::XMLComment* comment = doc.FirstChild() ? doc.FirstChild()->ToComment() : nullptr) {
        if (comment->Value() && std::sscanf(comment->Value(), " Blend: %d", &blend) != 1) blend = 0;
    }
    if (owner) owner->editLocalState()->blendMode = blend;

    const tinyxml2::XMLElement* emit = root->FirstChildElement("emit");
    for (const tinyxml2::XMLElement* e = emit ? emit->FirstChildElement() : nullptr; e;
         e = e->NextSiblingElement()) {
        EmitterType type;
        type.name = e->Name();
        if (const char* res = e->Attribute("res"))
            type.textureName = nE_Path::resolve(res, nE_Path::kGameOrUserFolder, "nE_ParticleSystem");
        type.bornCode = textOf(e, "bornpart");
        type.dieCode = textOf(e, "diepart");
        type.processCode = textOf(e, "process");
        type.particleCode = textOf(e, "processpart");
        emitterTypes.push_back(std::move(type));
    }
    systemCode = textOf(root, "process");

    // Error reports name the file and the part whose code failed.
    const std::string file = name + ".xml:";
    chunkNames_.push_back(file + "process");
    for (const EmitterType& type : emitterTypes)
        for (const char* part : kPartNames) chunkNames_.push_back(file + type.name + ":" + part);
}

void nE_PartSysImpl_Complex::loadResources() {
    nE_ResourceCache* cache = nE_ResourceCache::instance();
    for (EmitterType& type : emitterTypes)
        type.texture = cache ? cache->getTexture(type.textureName) : nullptr;
}

void nE_PartSysImpl_Complex::unloadResources() {
    for (EmitterType& type : emitterTypes) type.texture.reset();
}

void nE_PartSysImpl_Complex::clearAll() {
    script_.reset();
    emitters.clear();
    particles.clear();
    current_ = nullptr;
    currentEmitter_ = -1;
}

void nE_PartSysImpl_Complex::start() {
    if (emitting) return;
    // A state kept by a stop without clearing goes now, with its emitters and particles: the new state
    // could not run their code's globals anyway.
    clearAll();
    psState = 0;
    script_ = std::make_unique<nE_PartSysScript>(this);
    if (!script_->isOpen()) {
        nE_Debug::writef("nE_PartSysImpl_Complex::No Lua state for \"%s\"\n", fileName_.c_str());
        script_.reset();
        return;
    }
    emitting = true;
}

void nE_PartSysImpl_Complex::stop(bool clear) {
    if (!emitting) return;
    emitting = false;
    if (clear) clearAll();
}

void nE_PartSysImpl_Complex::halt() {
    emitting = false;
    clearAll();
}

bool nE_PartSysImpl_Complex::run(size_t slot, const std::string& code) {
    if (code.empty()) return true;
    static const std::string kUnnamed = "(particle code)";
    return script_ && script_->run(slot, code, slot < chunkNames_.size() ? chunkNames_[slot] : kUnnamed);
}

bool nE_PartSysImpl_Complex::failed() const {
    return !script_ || script_->failed();
}

void nE_PartSysImpl_Complex::update(float dt) {
    if (!script_) return;
    script_->beginStep();
    script_->setStepGlobals(psState, dt);
    currentEmitter_ = -1;
    current_ = nullptr;

    if (emitting) {
        run(0, systemCode);
        if (failed()) return halt();
        psState = script_->readPsState(psState);
        // By index: the code may add emitters, which then take their turn in this same pass.
        for (size_t i = 0; i < emitters.size();) {
            currentEmitter_ = static_cast<int>(i);
            const int type = emitters[i].typeIndex;
            run(slotOf(type, kProcess), emitterTypes[static_cast<size_t>(type)].processCode);
            currentEmitter_ = -1;
            if (failed()) return halt();
            if (emitters[i].deleteMe)
                emitters.erase(emitters.begin() + static_cast<std::ptrdiff_t>(i));
            else
                ++i;
        }
    }

    // Removal in place, keeping the order. No code run here can add particles: none has a current
    // emitter.
    size_t kept = 0;
    for (size_t i = 0; i < particles.size(); ++i) {
        Particle& q = particles[i];
        const EmitterType& type = emitterTypes[static_cast<size_t>(q.typeIndex)];
        q.age += dt;
        // A particle whose code never set a lifetime dies on its first update.
        const float life = q.lifetime > 0 ? q.age * 100 / q.lifetime : 100;
        if (life >= 100) {
            run(slotOf(q.typeIndex, kDie), type.dieCode);
            if (failed()) return halt();
            continue;
        }
        for (Channel& channel : q.channels) {
            const int keys = static_cast<int>(channel.keys.size() / 2);
            if (keys == 0 || channel.cursor < 0 || channel.cursor >= keys) continue;
            if (channel.cursor + 1 < keys && life >= channel.keys[2 * (channel.cursor + 1)]) ++channel.cursor;
            const float* a = &channel.keys[2 * channel.cursor];
            float value = a[1];
            // Past the last key the last value holds.
            if (channel.cursor + 1 < keys) {
                const float* b = a + 2;
                const float span = std::fabs(b[0] - a[0]);
                value = span > 0 ? a[1] + (b[1] - a[1]) * (life - a[0]) / span : b[1];
            }
            q.prop[channel.property] = channel.property >= kAlpha ? nE_Easing::clamp01(value) : value;
        }
        if (!type.particleCode.empty()) {
            current_ = &q;
            run(slotOf(q.typeIndex, kParticle), type.particleCode);
            current_ = nullptr;
            if (failed()) return halt();
        }
        if (kept != i) particles[kept] = std::move(q);
        ++kept;
    }
    particles.resize(kept);
}

void nE_PartSysImpl_Complex::createEmitter(std::string_view typeName, float x, float y) {
    if (emitterTypes.empty() || emitters.size() >= static_cast<size_t>(kMaxEmitters)) return;
    Emitter emitter;
    for (size_t i = 0; i < emitterTypes.size(); ++i)
        if (emitterTypes[i].name == typeName) {
            emitter.typeIndex = static_cast<int>(i);
            break;
        }
    emitter.x = x;
    emitter.y = y;
    if (current_) {
        // Where the particle is, in the system's space.
        emitter.x += current_->originX + current_->prop[kPosX];
        emitter.y += current_->originY + current_->prop[kPosY];
        emitter.z += current_->originZ + current_->prop[kPosZ];
        if (current_->independent && owner) {
            emitter.x -= owner->localState().x;
            emitter.y -= owner->localState().y;
            emitter.z -= owner->localState().z;
        }
    }
    emitters.push_back(emitter);
}

void nE_PartSysImpl_Complex::createParticles(float n) {
    if (!std::isfinite(n) || currentEmitter_ < 0 || currentEmitter_ >= static_cast<int>(emitters.size()) ||
        birthDepth_ >= kMaxBirthDepth)
        return;
    const int index = currentEmitter_;
    const float cap = static_cast<float>(kMaxParticles);
    float& owed = emitters[static_cast<size_t>(index)].pending;
    owed = std::fmax(-cap, std::fmin(cap, owed + n));
    // The emitter list may grow while birth code runs: it is indexed afresh each time.
    while (emitters[static_cast<size_t>(index)].pending >= 1) {
        if (particles.size() >= static_cast<size_t>(kMaxParticles) || failed()) {
            emitters[static_cast<size_t>(index)].pending = 0;
            break;
        }
        emitters[static_cast<size_t>(index)].pending -= 1;
        birth(index);
    }
}

void nE_PartSysImpl_Complex::birth(int emitterIndex) {
    const int typeIndex = emitters[static_cast<size_t>(emitterIndex)].typeIndex;
    Particle q;
    Particle* outer = current_;
    current_ = &q;
    ++birthDepth_;
    run(slotOf(typeIndex, kBorn), emitterTypes[static_cast<size_t>(typeIndex)].bornCode);
    --birthDepth_;
    current_ = outer;
    if (failed() || particles.size() >= static_cast<size_t>(kMaxParticles)) return;
    const Emitter& emitter = emitters[static_cast<size_t>(emitterIndex)];
    q.typeIndex = typeIndex;
    q.originX = emitter.x;
    q.originY = emitter.y;
    q.originZ = emitter.z;
    if (q.independent && owner) {
        q.originX += owner->localState().x;
        q.originY += owner->localState().y;
        q.originZ += owner->localState().z;
    }
    particles.push_back(std::move(q));
}

void nE_PartSysImpl_Complex::deleteCurrentEmitter() {
    if (currentEmitter_ >= 0 && currentEmitter_ < static_cast<int>(emitters.size()))
        emitters[static_cast<size_t>(currentEmitter_)].deleteMe = true;
}

void nE_PartSysImpl_Complex::dieAfter(float seconds) {
    // NaN would make the particle immortal by accident; an infinite lifetime is asked for.
    if (current_) current_->lifetime = std::isnan(seconds) ? 0 : seconds;
}

void nE_PartSysImpl_Complex::animate(int propertyIndex, const std::vector<float>& numbers) {
    if (!current_ || propertyIndex < 0 || propertyIndex >= kPropertyCount || numbers.size() < 2 ||
        current_->channels.size() >= static_cast<size_t>(kMaxChannels))
        return;
    Channel channel;
    channel.property = propertyIndex;
    const size_t count = std::min(numbers.size(), static_cast<size_t>(kMaxChannelNumbers)) / 2 * 2;
    channel.keys.assign(numbers.begin(), numbers.begin() + static_cast<std::ptrdiff_t>(count));
    current_->channels.push_back(std::move(channel));
}

void nE_PartSysImpl_Complex::setIndependent() {
    if (current_) current_->independent = true;
}

void nE_PartSysImpl_Complex::setProperty(int propertyIndex, float value) {
    if (!current_ || propertyIndex < 0 || propertyIndex >= kPropertyCount) return;
    current_->prop[propertyIndex] = propertyIndex >= kAlpha ? nE_Easing::clamp01(value) : value;
}

float nE_PartSysImpl_Complex::property(int propertyIndex) const {
    if (!current_ || propertyIndex < 0 || propertyIndex >= kPropertyCount) return 0;
    return current_->prop[propertyIndex];
}

void nE_PartSysImpl_Complex::setValue(std::string_view name, float value) {
    if (!current_) return;
    for (auto& entry : current_->values)
        if (entry.first == name) {
            entry.second = value;
            return;
        }
    if (current_->values.size() < static_cast<size_t>(kMaxValues)) current_->values.emplace_back(name, value);
}

float nE_PartSysImpl_Complex::value(std::string_view name) const {
    if (!current_) return 0;
    for (const auto& entry : current_->values)
        if (entry.first == name) return entry.second;
    return 0;
}

void nE_PartSysImpl_Complex::draw(nE_Render* renderer, nE_RenderState& world) {
    if (!renderer || particles.empty() || emitterTypes.empty()) return;
    const std::shared_ptr<nE_Texture>& texture = emitterTypes.front().texture;
    if (!texture) return;
    const nE_Rect rect = texture->localRect(0);
    const nE_Rect uv = texture->texCoordRect(world);
    const float* w = world.transform().m;
    const float wa = w[0], wb = w[1], wc = w[4], wd = w[5], we = w[12], wf = w[13];

    beginQuads(renderer, texture, world);
    for (const Particle& q : particles) {
        const float c = std::cos(q.prop[kAngle]), s = std::sin(q.prop[kAngle]);
        const float sx = q.prop[kScaleX], sy = q.prop[kScaleY];
        const float p0 = sx * c, p1 = -sx * s, p4 = sy * s, p5 = sy * c;
        const float tx = q.originX + q.prop[kPosX], ty = q.originY + q.prop[kPosY];
        if (q.independent) {
            // Stays where it was born: only the object's scale applies, not its placement.
            const float m[6] = {p0, p1, p4, p5, tx * world.scaleX, ty * world.scaleY};
            addQuad(m, rect, uv.w, uv.h, q.prop[kColorR] * world.red, q.prop[kColorG] * world.green,
                    q.prop[kColorB] * world.blue, q.prop[kAlpha] * world.alpha);
        } else {
            const float m[6] = {p0 * wa + p1 * wc, p0 * wb + p1 * wd,      p4 * wa + p5 * wc,
                                p4 * wb + p5 * wd, tx * wa + ty * wc + we, tx * wb + ty * wd + wf};
            addQuad(m, rect, uv.w, uv.h, q.prop[kColorR] * world.red, q.prop[kColorG] * world.green,
                    q.prop[kColorB] * world.blue, q.prop[kAlpha] * world.alpha);
        }
    }
    endQuads();
}
