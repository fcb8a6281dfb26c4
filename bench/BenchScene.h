// Shared set-up of the engine benchmarks: the engine's services on the recording stand-in of pf
// (with its log switched off, so that only the engine's own work is measured), module files
// written into a scratch folder, and the hidden-object scene every frame benchmark uses.
#pragma once

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_EngineTypes.h"
#include "engine/core/nE_Factory.h"
#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Scene.h"
#include "engine/media/nE_Font.h"
#include "engine/media/nE_ResourceCache.h"
#include "engine/media/platform/nE_Bindings_Pl5.h"
#include "engine/media/platform/nE_Render_Pl5.h"
#include "engine/objects/nE_AnimSprite.h"
#include "engine/objects/nE_ParticleSystem.h"
#include "engine/objects/nE_Sprite.h"
#include "engine/objects/nE_Text.h"
#include "engine/script/nE_Module.h"
#include "engine/script/nE_TimerHub.h"
#include "engine/script/nE_TriggerHub.h"
#include "pflib/recording/TRecordingRenderer.h"

namespace bench {

inline std::string source(const std::string& relative) {
    return std::string(HALVERN_SOURCE_DIR) + "/" + relative;
}

// A folder of this process under /tmp for generated files, removed when the program ends.
inline std::string scratch() {
    struct Folder {
        Folder() : path("/tmp/halvern_bench_" + std::to_string(getpid())) { mkdir(path.c_str(), 0700); }
        ~Folder() {
            if (DIR* dir = opendir(path.c_str())) {
                while (const dirent* entry = readdir(dir)) {
                    const std::string name = entry->d_name;
                    if (name != "." && name != "..") unlink((path + "/" + name).c_str());
                }
                closedir(dir);
            }
            rmdir(path.c_str());
        }
        std::string path;
    };
    static const Folder folder;
    return folder.path;
}

inline bool writeFile(const std::string& path, const std::string& text) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

// The engine's object types, font library, resource cache and core, as the program starts them.
inline void startEngine() {
    static const bool started = [] {
        nE_EngineTypes::registerAll();
        nE_Bindings_Pl5::install();
        nE_Font::initLibrary();
        nE_ResourceCache::create();
        pf::testing::Recorder().keepLog = false;
        return true;
    }();
    (void)started;
    nE_Core::get();
}

// Takes every object and trigger away, so that the next benchmark starts from an empty core.
inline void stopEngine() {
    nE_Core::destroy();
}

// Steady particle effect: `born` births each 0.017 s frame, each living 100 frames.
inline std::string writeEffect(int index, const std::string& image, int born, int blend) {
    const std::string path = scratch() + "/effect" + std::to_string(index);
    char xml[1024];
    std::snprintf(xml, sizeof xml,
                  "<particles type=\"vell\"><emit res=\"%s\" lifetime=\"100\" born_count=\"%d\" "
                  "preproc=\"120\" blend=\"%d\" pos_x_delta=\"60\" pos_y_delta=\"10\" speed_x_delta=\"1\" "
                  "speed_y=\"-1\" speed_y_delta=\"0.5\" speed_xf=\"1\" speed_yf=\"1\" grav=\"0.01\" "
                  "gravf=\"1\" scale_x=\"0.8\" scale_x_delta=\"0.3\" scale_mode=\"1\" "
                  "scale_x_speed=\"-0.002\" scale_xf=\"1\" rotate_delta=\"180\" rotate_speed=\"2\" "
                  "rotatef=\"1\" grotatef=\"1\" alpha=\"0.8\" alpha_mode=\"1\" color_r=\"255\" "
                  "color_g=\"180\" color_b=\"60\" color_g_speed=\"-1\"/></particles>",
                  image.c_str(), born, blend);
    writeFile(path + ".xml", xml);
    return path;
}

// The objects of a hidden-object room as module XML: a full-screen backdrop and `items` sprites of
// mixed sizes in four layers (every fourth turned, every fifth with looping relative animation
// lines), `texts` text objects, four particle systems of 500 live particles each and two animated
// sprites. Triggers "pulse", "count" and "note" stand for the calls object events queue.
inline std::string hiddenObjectModule(int items, int texts) {
    static const char* const kImages[] = {
        "tests/examples/sprites/images/blue_disc",   "tests/examples/sprites/images/green_disc",
        "tests/examples/sprites/images/lamp_off",    "tests/examples/sprites/images/lamp_on",
        "tests/examples/sprites/images/red_square",  "tests/examples/sprites/images/ring",
        "tests/examples/particles/images/ring_mask", "tests/examples/particles/images/flame",
        "tests/examples/particles/images/spark"};
    const int imageCount = sizeof kImages / sizeof kImages[0];
    std::string xml = "<?xml version=\"1.0\"?>\n<module name=\"ho_room\"/>\n<objs><obj name=\"ho_module\">\n";
    xml += "<obj name=\"ho_room\">\n";
    xml += "<spr name=\"backdrop\" res=\"" + source("tests/examples/sprites/images/backdrop") +
           "\" pos_x=\"512\" pos_y=\"384\" scale_x=\"4\" scale_y=\"4\" event_mdown=\"count\"/>\n";
    char line[1024];
    for (int layer = 0; layer < 4; ++layer) {
        std::snprintf(line, sizeof line, "<obj name=\"layer%d\" pos_z=\"%d\">\n", layer, layer + 1);
        xml += line;
        for (int i = layer; i < items; i += 4) {
            const float scale = 0.5f + 0.25f * static_cast<float>(i % 5);
            const float angle = i % 4 == 3 ? 0.1f * static_cast<float>(i % 7) : 0.0f;
            std::snprintf(line, sizeof line,
                          "<spr name=\"item%d\" res=\"%s\" pos_x=\"%d\" pos_y=\"%d\" pos_z=\"%d\" "
                          "scale_x=\"%g\" scale_y=\"%g\" ang=\"%g\" event_mdown=\"pulse(item%d)\" "
                          "event_menter=\"note(item%d, enter)\" event_mleave=\"note(item%d, leave)\"",
                          i, source(kImages[i % imageCount]).c_str(), 40 + (i * 97) % 944,
                          40 + (i * 61) % 688, i % 3, scale, scale, angle, i, i, i);
            xml += line;
            if (i % 5 == 4) {
                // A bob, a sway and a pulse of alpha, offsets of this frame only.
                xml +=
                    "><animlines>"
                    "<line type=\"3\" relative=\"1\" looped=\"1\" numpoints=\"3\"><data val=\"0\"/>"
                    "<data val=\"0\"/><data val=\"0\"/><data val=\"1\"/><data val=\"0\"/><data val=\"-8\"/>"
                    "<data val=\"2\"/><data val=\"0\"/><data val=\"0\"/></line>"
                    "<line type=\"7\" relative=\"1\" looped=\"1\" numpoints=\"3\"><data val=\"0\"/>"
                    "<data val=\"-0.1\"/><data val=\"1.5\"/><data val=\"0.1\"/><data val=\"3\"/>"
                    "<data val=\"-0.1\"/></line>"
                    "<line type=\"8\" relative=\"1\" looped=\"1\" numpoints=\"2\"><data val=\"0\"/>"
                    "<data val=\"1\"/><data val=\"0.8\"/><data val=\"0.6\"/></line>"
                    "</animlines></spr>\n";
            } else {
                xml += "/>\n";
            }
        }
        xml += "</obj>\n";
    }
    for (int i = 0; i < texts; ++i) {
        std::snprintf(
            line, sizeof line,
            "<text name=\"label%d\" res=\"%s\" pos_x=\"%d\" pos_y=\"%d\" pos_z=\"6\" fontsize=\"%d\" "
            "align=\"%d\" disprawtext=\"1\" text=\"Item %d of the list\"/>\n",
            i, source("assets/fonts/DejaVuSans").c_str(), 120 + (i % 4) * 220, 620 + (i / 4) * 28,
            16 + i % 4 * 4, i % 3, i);
        xml += line;
    }
    static const char* const kParticleImages[] = {"tests/examples/particles/images/flame",
                                                  "tests/examples/particles/images/spark"};
    for (int i = 0; i < 4; ++i) {
        const std::string effect = writeEffect(i, source(kParticleImages[i % 2]), 5, i % 2 ? 2 : 0);
        std::snprintf(line, sizeof line,
                      "<partsys name=\"fx%d\" res=\"%s\" pos_x=\"%d\" pos_y=\"%d\" pos_z=\"5\"/>\n", i,
                      effect.c_str(), 150 + 240 * i, 420 + 60 * (i % 2));
        xml += line;
    }
    for (int i = 0; i < 2; ++i) {
        std::snprintf(line, sizeof line,
                      "<anim name=\"spinner%d\" res=\"%s\" pos_x=\"%d\" pos_y=\"60\" pos_z=\"5\"/>\n", i,
                      source("tests/examples/sprites/images/spinner").c_str(), 900 + 60 * i);
        xml += line;
    }
    xml +=
        "</obj>\n</obj></objs>\n<trigs>\n"
        "<trig name=\"pulse\"><code>ObjSet(ne_params.param_0, { alp = 0.9 })</code></trig>\n"
        "<trig name=\"count\"><code>hits = (hits or 0) + 1</code></trig>\n"
        "<trig name=\"note\"><code>last_note = ne_params.param_0 .. ' ' .. ne_params.param_1</code></trig>\n"
        "</trigs>\n<code>\n"
        "ObjAttach('ho_room', 'ne_origin')\n"
        "AnmPlay('spinner0', 'spin', '')\n"
        "AnmPlay('spinner1', 'spin', '')\n"
        "for i = 1, 10 do TimerStart('wait' .. i, 'count', 1e9) end\n"
        "</code>\n";
    return xml;
}

// The room brought in through the module path, drawn by the engine's renderer on the recording pf.
class HiddenObjectScene {
public:
    static constexpr float kStep = 1.f / 60.f;

    HiddenObjectScene(int items = 199, int texts = 20) {
        startEngine();
        const std::string path = scratch() + "/ho_room.xml";
        writeFile(path, hiddenObjectModule(items, texts));
        nE_Module::bringIn(path, true);
        renderer.init(1024, 768);
        renderer.createSolidTextures();
    }
    ~HiddenObjectScene() {
        renderer.shutdown();
        stopEngine();
    }

    nE_Scene& scene() { return nE_Core::get()->scene(); }

    // What object events queue in a busy frame: `calls` trigger calls.
    void queueEvents(int calls) {
        nE_TriggerHub& hub = nE_Core::get()->triggerHub();
        for (int i = 0; i < calls; ++i) {
            const int item = (frame_ * 7 + i * 13) % 199;
            switch (i % 3) {
                case 0:
                    hub.queueCall("item" + std::to_string(item), "pulse(item" + std::to_string(item) + ")");
                    break;
                case 1:
                    hub.queueCall("backdrop", "count");
                    break;
                default:
                    hub.queueCall("item" + std::to_string(item),
                                  "note(item" + std::to_string(item) + ", enter)");
                    break;
            }
        }
    }

    // A pointer move, as the engine dispatches one at the start of every tick.
    void pointerMove() {
        nE_InputEvent move;
        move.type = nE_InputEvent::kPointerMove;
        move.code = 3840;
        move.x = static_cast<float>((frame_ * 37) % 1024);
        move.y = static_cast<float>((frame_ * 23) % 768);
        scene().dispatch(move);
    }

    // One tick and one draw, in the order of the engine's frame.
    void frame(int calls) {
        nE_Core* core = nE_Core::get();
        queueEvents(calls);
        pointerMove();
        core->triggerHub().runQueue();
        core->timerHub().update(kStep);
        scene().update(kStep);
        renderer.beginFrame();
        renderer.clear();
        renderer.begin2d();
        scene().draw(&renderer);
        renderer.end2d();
        renderer.endFrame();
        ++frame_;
    }

    nE_Render_Pl5 renderer;

private:
    int frame_ = 0;
};

}  // namespace bench
