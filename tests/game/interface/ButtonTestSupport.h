// Shared fixture of the button tests: a fresh scene with a resource cache, a cursor service that
// records the kinds it is asked for, and pointer events sent through the scene's dispatch.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Object.h"
#include "engine/core/nE_Scene.h"
#include "engine/media/nE_Cursor.h"
#include "engine/media/nE_ResourceCache.h"

namespace buttontest {

inline std::string sprite(const std::string& name) {
    return std::string(HALVERN_TEST_DATA) + "/sprites/" + name;
}

class RecordingCursor : public nE_Cursor {
public:
    void select(int index) override {
        selected.push_back(index);
        currentIndex = index;
    }
    std::vector<int> selected;
};

class ButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (nE_Core::exists()) nE_Core::destroy();
        nE_ResourceCache::create();
        core = nE_Core::get();
        nE_Cursor::setCurrent(&cursor);
        ui = new nE_Object();
        ui->name = "ui";
        scene().attach(scene().root(), ui);
    }
    void TearDown() override {
        nE_Cursor::setCurrent(nullptr);
        nE_Core::destroy();
        nE_ResourceCache::destroy();
    }

    nE_Scene& scene() { return core->scene(); }
    void send(int type, float x, float y) {
        nE_InputEvent event;
        event.type = type;
        event.code = 3840;
        event.x = x;
        event.y = y;
        scene().dispatch(event);
    }
    void move(float x, float y) { send(nE_InputEvent::kPointerMove, x, y); }
    void press(float x, float y) { send(nE_InputEvent::kButtonDown, x, y); }
    void release(float x, float y) { send(nE_InputEvent::kButtonUp, x, y); }
    // Advances the scene in steps of 1/64 s (exact in binary).
    void run(float seconds) {
        for (int i = 0; i < static_cast<int>(seconds * 64); ++i) scene().update(1.f / 64);
    }

    nE_Core* core = nullptr;
    nE_Object* ui = nullptr;
    RecordingCursor cursor;
};

}  // namespace buttontest
