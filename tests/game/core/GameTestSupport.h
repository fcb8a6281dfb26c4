// Shared fixture of the game object tests: a game folder with small images and a level module, the
// profile hub and settings, a renderer that makes render targets and records draws, a cursor that
// records its kinds, and a running game attached to the scene.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/core/nE_Factory.h"
#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Scene.h"
#include "engine/media/nE_Cursor.h"
#include "engine/media/nE_Render.h"
#include "engine/media/nE_ResourceCache.h"
#include "engine/media/nE_SoundHub.h"
#include "engine/media/nE_Texture.h"
#include "engine/objects/nE_ParticleSystem.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/script/nE_Module.h"
#include "engine/script/nE_TimerHub.h"
#include "engine/script/nE_TriggerHub.h"
#include "game/core/nG_Game.h"
#include "game/core/nG_ParticleSystemGm.h"
#include "game/core/nG_Room.h"
#include "game/core/nG_SubRoom.h"
#include "game/interface/nG_FrameSubroom.h"
#include "game/interface/nG_Interface.h"
#include "game/script/nG_ScriptFunctions.h"
#include "pflib/TPlatform.h"
#include "pflib/TTexture.h"
#include "tests/engine/script/ScriptTestFolder.h"
#include "tests/game/state/ProfileTestSupport.h"

namespace gametest {

// Render targets become plain textures of the target's size; every draw is recorded.
class TargetRenderer : public nE_Render {
public:
    struct Draw {
        std::shared_ptr<nE_Texture> texture;
        nE_RenderState state;
        bool inTarget;
    };
    void beginTarget(int width, int height) override {
        if (inTarget_) return;
        inTarget_ = true;
        width_ = width;
        height_ = height;
    }
    std::shared_ptr<nE_Texture> endTarget() override {
        if (!inTarget_) return nullptr;
        inTarget_ = false;
        auto texture = std::make_shared<nE_Texture>();
        texture->width = texture->sourceWidth = static_cast<float>(width_);
        texture->height = texture->sourceHeight = static_cast<float>(height_);
        targets.push_back(texture);
        return texture;
    }
    bool inRenderTarget() const override { return inTarget_; }
    void drawTexture(const std::shared_ptr<nE_Texture>& texture, nE_RenderState& state) override {
        draws.push_back({texture, state, inTarget_});
    }
    // The last on-screen draw of that texture, or none.
    const Draw* lastDrawOf(const std::shared_ptr<nE_Texture>& texture) const {
        for (auto it = draws.rbegin(); it != draws.rend(); ++it)
            if (it->texture == texture && !it->inTarget) return &*it;
        return nullptr;
    }

    std::vector<Draw> draws;
    std::vector<std::shared_ptr<nE_Texture>> targets;

private:
    bool inTarget_ = false;
    int width_ = 0, height_ = 0;
};

class KindCursor : public nE_Cursor {
public:
    void select(int index) override {
        kinds.push_back(index);
        currentIndex = index;
    }
    std::vector<int> kinds;
};

// Two rooms, a sub-room with a child, an item in the objects hub, and triggers that log what happens.
const char* const kLevel = R"(<module name="level"/>
<objs><obj name="level_root">
  <obj name="objects_hub"><spr name="key" res="dot" pos_x="300" pos_y="300"/></obj>
  <obj name="inventory_hub"/>
  <room name="room_a" res="room" drawoff_x="512" drawoff_y="384" inputrect_init="1" inputrect_x="0"
        inputrect_y="0" inputrect_w="1024" inputrect_h="768" trg_open="opened" trg_close="closed">
    <spr name="a_door" res="dot" pos_x="300" pos_y="300"/>
    <spr name="a_far" res="dot" pos_x="900" pos_y="700"/>
  </room>
  <room name="room_b" res="room" drawoff_x="512" drawoff_y="384" inputrect_init="1" inputrect_x="0"
        inputrect_y="0" inputrect_w="1024" inputrect_h="768" trg_open="opened" trg_close="closed">
    <spr name="b_door" res="dot" pos_x="300" pos_y="300"/>
  </room>
  <subroom name="sub_c" res="sub" start_x="100" start_y="200" end_x="512" end_y="300" trg_open="opened"
           trg_close="closed">
    <spr name="c_thing" res="dot" pos_x="0" pos_y="0"/>
  </subroom>
  <subroom name="sub_d" res="sub" end_x="400" end_y="400"/>
</obj></objs>
<trigs>
  <trig name="opened"><code>log = (log or "") .. "open " .. ne_params.sender .. ";"</code></trig>
  <trig name="closed"><code>log = (log or "") .. "close " .. ne_params.sender .. ";"</code></trig>
  <trig name="go_room"><code>log = (log or "") .. "go " .. ne_params.param_0 .. " from " .. ne_params.sender
    .. " seeing " .. tostring(GetCurrentRoom()) .. ";"</code></trig>
  <trig name="ng_function"><code>functions = (functions or 0) + 1</code></trig>
  <trig name="ng_startlevel"><code>for _, r in ipairs({"room_a", "room_b", "sub_c", "sub_d"}) do
    ObjAttach(r, "ng_rooms_hub") end; SwitchRoom("room_a", 0)</code></trig>
</trigs>)";

class GameTest : public profiletest::ProfileTest {
protected:
    void SetUp() override {
        ProfileTest::SetUp();
        const std::string game = pf::TPlatform::GetRunOptions().gameDir;
        writeImage(game + "/room.png", 64, 48);
        writeImage(game + "/sub.png", 72, 52);
        writeImage(game + "/dot.png", 8, 8);
        folder.write("assets/level.xml", kLevel);
        nE_ResourceCache::create();
        nE_Factory::registerType("spr", [] { return new nE_Sprite(); });
        nE_Factory::registerType("room", [] { return new nG_Room(); });
        nE_Factory::registerType("subroom", [] { return new nG_SubRoom(); });
        nE_Factory::registerType("partsys_gm", [] { return new nG_ParticleSystemGm(); });
        renderer.init(1024, 768);
        nE_Cursor::setCurrent(&cursor);
        hub = std::make_unique<nG_ProfileHub>(false);
        settings = std::make_unique<nG_Settings>(hub.get());
        nG_ProfileHub::setCurrent(hub.get());
        nG_Settings::setCurrent(settings.get());
        nG_ScriptFunctions::registerGameFunctions(L);
        ng = startGame();
    }
    void TearDown() override {
        nE_Core::destroy();
        nE_SoundHub::destroy();
        nG_Settings::setCurrent(nullptr);
        nG_ProfileHub::setCurrent(nullptr);
        nE_Cursor::setCurrent(nullptr);
        nE_ResourceCache::destroy();
        ProfileTest::TearDown();
    }

    // The bundled game's fonts and interface pictures, linked into the test's game folder.
    static void linkBundledInterface() {
        const std::string game = pf::TPlatform::GetRunOptions().gameDir, source = HALVERN_SOURCE_DIR;
        const std::string link = "mkdir -p '" + game + "/assets' && ln -s '" + source + "/assets/fonts' '" +
                                 game + "/assets/fonts' && ln -s '" + source + "/assets/interface' '" + game +
                                 "/assets/interface'";
        ASSERT_EQ(std::system(link.c_str()), 0);
    }
    static void writeImage(const std::string& file, int w, int h) {
        std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4, 200);
        pf::TTexture::WritePng(file, rgba.data(), w, h);
    }
    nE_Scene& scene() { return nE_Core::get()->scene(); }

    // A new game under the scene's root, as the screen makes one (the parked tree emptied first).
    nG_Game* startGame() {
        nE_Core::get()->triggerHub().clear();
        nE_Core::get()->timerHub().clear();
        scene().storage()->removeAllChildren();
        auto* g = new nG_Game();
        scene().attach(scene().root(), g);
        return g;
    }
    void endGame() {
        delete ng;
        ng = nullptr;
    }
    // Brings the level in and runs its start, as a new game does.
    void startLevel() {
        ng->startLevel(0, false, "assets/level", "ng_startlevel(1)");
        tick(0);
    }

    // One frame: queued triggers, timers, the scene's update, then a draw.
    void tick(float dt) {
        nE_Core::get()->triggerHub().runQueue();
        nE_Core::get()->timerHub().update(dt);
        scene().update(dt);
        scene().draw(&renderer);
    }
    void run(float seconds, float step = 0.05f) {
        for (float t = 0; t < seconds - 1e-4f; t += step) tick(step);
    }
    void send(int type, float x, float y) {
        nE_InputEvent event;
        event.type = type;
        event.code = 3840;
        event.x = x;
        event.y = y;
        scene().dispatch(event);
    }
    nG_Room* room(const std::string& name) { return dynamic_cast<nG_Room*>(scene().findObject(name)); }
    nG_SubRoom* sub(const std::string& name) { return dynamic_cast<nG_SubRoom*>(scene().findObject(name)); }
    void lua(const std::string& code) { ProfileTest::run(code); }

    script_test::GameFolder folder;
    TargetRenderer renderer;
    KindCursor cursor;
    std::unique_ptr<nG_ProfileHub> hub;
    std::unique_ptr<nG_Settings> settings;
    nG_Game* ng = nullptr;
};

}  // namespace gametest
