// The scripted particle implementation: emitters and particles are moved by Lua code kept in the
// particle file and run in a Lua state private to this system (nE_PartSysScript). The engine supplies
// birth, death, the per-update hooks, keyframe channels over ten particle properties, named values per
// particle, and the batched drawing.
//
// A Lua error or a runaway in the effect's code is reported once and stops the system (emitters,
// particles and the Lua state go); PsStart runs it afresh.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/objects/nE_PartSysImpl.h"

class nE_PartSysScript;
class nE_Texture;

class nE_PartSysImpl_Complex : public nE_PartSysImpl {
public:
    // The script-visible particle properties, published to Lua as "ne_pos_x" … "ne_color_b".
    enum Property {
        kPosX = 0,
        kPosY = 1,
        kPosZ = 2,
        kScaleX = 3,
        kScaleY = 4,
        kAngle = 5,
        kAlpha = 6,
        kColorR = 7,
        kColorG = 8,
        kColorB = 9,
        kPropertyCount = 10
    };
    // Guards against code that would exhaust memory or time: live particles and emitters per system,
    // numbers kept per animation channel, channels and named values per particle, nested births.
    static constexpr int kMaxParticles = 50000;
    static constexpr int kMaxEmitters = 2000;
    static constexpr int kMaxChannelNumbers = 512;
    static constexpr int kMaxChannels = 32;
    static constexpr int kMaxValues = 64;
    static constexpr int kMaxBirthDepth = 8;

    struct EmitterType {
        std::string name;
        std::string textureName;
        std::shared_ptr<nE_Texture> texture;
        std::string bornCode, dieCode, processCode, particleCode;
    };

    struct Emitter {
        int typeIndex = 0;
        float x = 0, y = 0, z = 0;
        // Particles owed by CreateParticles calls that asked for fractions.
        float pending = 0;
        bool deleteMe = false;
    };

    struct Channel {
        int property = 0;
        int cursor = 0;
        // (time in percent of the lifetime, value) pairs, flat.
        std::vector<float> keys;
    };

    struct Particle {
        // Indexed by Property: position, scale, angle, alpha and colour.
        float prop[kPropertyCount] = {0, 0, 0, 1, 1, 0, 1, 1, 1, 1};
        // Where its emitter was at birth (plus the object's position for an independent particle).
        float originX = 0, originY = 0, originZ = 0;
        int typeIndex = 0;
        float lifetime = 0, age = 0;
        bool independent = false;
        std::vector<Channel> channels;
        std::vector<std::pair<std::string, float>> values;
    };

    // Starts at once: the system comes with a running Lua state.
    nE_PartSysImpl_Complex();
    ~nE_PartSysImpl_Complex() override;

    void load(const std::string& name) override;
    void loadResources() override;
    void unloadResources() override;
    void update(float dt) override;
    void draw(nE_Render* renderer, nE_RenderState& world) override;
    // A fresh Lua state (every global of the effect's code is lost), no emitter, "ps_state" 0.
    void start() override;
    // Emission and the system and emitter code stop; with clear the Lua state, emitters and particles go.
    void stop(bool clear) override;

    // --- what the effect's code does, through its script functions ---

    // An emitter of the first type named so (type 0 when none is) at (x, y); while a particle's code
    // runs, the emitter is placed relative to that particle.
    void createEmitter(std::string_view typeName, float x, float y);
    // For the current emitter: n more particles owed, and every whole one owed born now.
    void createParticles(float n);
    void deleteCurrentEmitter();
    // The current particle's lifetime.
    void dieAfter(float seconds);
    // A channel over alternating (time, value) numbers; a trailing odd number is dropped.
    void animate(int property, const std::vector<float>& numbers);
    void setIndependent();
    // Properties 0..9 (alpha and colour clamped to 0..1); other indices are ignored.
    void setProperty(int property, float value);
    float property(int property) const;
    void setValue(std::string_view name, float value);
    float value(std::string_view name) const;

    // The private Lua state, none while stopped with clearing.
    nE_PartSysScript* script() const { return script_.get(); }
    // The particle file (the resource name), for error reports.
    const std::string& fileName() const { return fileName_; }

    std::vector<EmitterType> emitterTypes;
    std::string systemCode;
    std::vector<Emitter> emitters;
    std::vector<Particle> particles;
    int psState = 0;

private:
    // Runs one of the code strings: slot 0 is the system code, then four per emitter type.
    bool run(size_t slot, const std::string& code);
    // Whether the effect's code has failed (or there is no Lua state to run it).
    bool failed() const;
    void birth(int emitterIndex);
    // The Lua state, emitters and particles go.
    void clearAll();
    // Ends everything after an error in the effect's code: it has been reported.
    void halt();

    std::unique_ptr<nE_PartSysScript> script_;
    std::string fileName_;
    // Indexed like the code slots.
    std::vector<std::string> chunkNames_;
    int currentEmitter_ = -1;
    Particle* current_ = nullptr;
    int birthDepth_ = 0;
};
