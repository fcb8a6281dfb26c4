// Shared fixture of the hidden-object collector, reward dialog and hint tests: a running game with the
// hint's pictures and sound, and a log of the calls the scene queues.
#pragma once

#include <tinyxml2.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/objects/nE_ParticleSystem.h"
#include "game/interface/nG_Hint.h"
#include "game/interface/nG_HoCollector.h"
#include "game/interface/nG_HoDialog.h"
#include "game/interface/nG_InterfButton.h"
#include "game/interface/nG_Interface.h"
#include "tests/game/interface/WidgetTestSupport.h"

namespace howidgettest {

using widgettest::WidgetTest;

class HoWidgetsTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        const std::string game = pf::TPlatform::GetRunOptions().gameDir;
        link(std::string(HALVERN_SOURCE_DIR) + "/assets/interface/hint", game + "/assets/interface/hint");
        std::system(("cp '" + std::string(HALVERN_TEST_DATA) + "/sounds/beep.ogg' '" + game +
                     "/assets/audio/common_s_hint.ogg'")
                        .c_str());
        // The clock's picture and frames are there now.
        endGame();
        ng = startGame();
        startLevel();
        tick(0);
        nE_Scene::setQueueHook([this](const std::string& sender, const std::string& call) {
            queued.push_back(sender + ": " + call);
        });
    }
    void TearDown() override {
        nE_Scene::setQueueHook(nullptr);
        WidgetTest::TearDown();
    }
    nG_HoCollector* collector() { return ng->interface->hoCollector; }
    nG_HoDialog* dialog() { return ng->interface->hoDialog; }
    nG_Hint* hint() { return ng->interface->hint; }
    bool queuedCall(const std::string& text) const {
        for (const std::string& call : queued)
            if (call == text) return true;
        return false;
    }
    nG_Task* task(const std::string& textId) {
        for (nG_Task* t : tasks()->groups["room_a"].tasks)
            if (t->textId == textId) return t;
        return nullptr;
    }
    std::string print(tinyxml2::XMLElement* element) {
        tinyxml2::XMLDocument doc;
        doc.InsertEndChild(element->DeepClone(&doc));
        tinyxml2::XMLPrinter printer(nullptr, true);
        doc.Accept(&printer);
        return printer.CStr();
    }
    std::vector<std::string> queued;
};

}  // namespace howidgettest
