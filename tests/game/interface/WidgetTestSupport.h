// Shared fixture of the interface widget tests: a running game (as in the game object tests) whose
// level holds items in its inventory hub and two rooms and a sub-room, the interface's real inventory
// and task-list pictures and fonts, a stand-in bar mask over the two pods only, a strings table, and
// the pointer moved together with the cursor.
#pragma once

#include <string>
#include <vector>

#include "engine/core/nE_StringTable.h"
#include "engine/objects/nE_AnimSprite.h"
#include "game/interface/nG_Inventory.h"
#include "game/interface/nG_Task.h"
#include "game/interface/nG_Tasks.h"
#include "game/interface/nG_TasksHeader.h"
#include "pflib/recording/TRecordingSound.h"
#include "tests/game/core/GameTestSupport.h"

namespace widgettest {

inline std::string items(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        const std::string name = "inv_" + std::to_string(i);
        text += "<spr name=\"" + name + "\" res=\"item\" drag=\"1\" event_dragdrop=\"use(" + name +
                ",a_door)\"/>";
    }
    return text;
}

// Items inv_a, inv_b and inv_0 .. inv_9 (used on a_door), one without its picture; rooms room_a and
// room_b and the sub-room sub_c; triggers that count what happens.
inline std::string level() {
    return R"xml(<module name="level"/>
<objs><obj name="level_root">
  <obj name="objects_hub"/>
  <obj name="inventory_hub">
    <spr name="inv_a" res="item" drag="1" event_dragdrop="use(inv_a,a_door)"/>
    <spr name="inv_b" res="item" drag="1" event_dragdrop="use(inv_b,a_door)"/>
    <spr name="inv_blank" res="no_such_picture" drag="1"/>)xml" +
           items(10) + R"xml(
  </obj>
  <room name="room_a" res="room" drawoff_x="512" drawoff_y="384" inputrect_init="1" inputrect_x="0"
        inputrect_y="0" inputrect_w="1024" inputrect_h="768">
    <spr name="a_door" res="door" pos_x="300" pos_y="300"/>
    <spr name="a_far" res="dot" pos_x="900" pos_y="100"/>
  </room>
  <room name="room_b" res="room" drawoff_x="512" drawoff_y="384" inputrect_init="1" inputrect_x="0"
        inputrect_y="0" inputrect_w="1024" inputrect_h="768">
    <spr name="b_thing" res="dot" pos_x="500" pos_y="300"/>
  </room>
  <subroom name="sub_c" res="sub" start_x="100" start_y="200" end_x="512" end_y="300">
    <spr name="c_thing" res="dot" pos_x="0" pos_y="0"/>
  </subroom>
</obj></objs>
<trigs>
  <trig name="use"><code>uses = (uses or 0) + 1;
    if ApplyObj(ne_params.param_0, ne_params.param_1) then DelObjectFromInv(ne_params.param_0); applied = (applied or 0) + 1 end</code></trig>
  <trig name="picked"><code>picked = (picked or 0) + 1</code></trig>
  <trig name="done"><code>done = (done or 0) + 1; doneBy = ne_params.sender; doneWith = ne_params.param_0</code></trig>
  <trig name="ng_diarybtnlocked"><code>locked = (locked or 0) + 1; lockedBy = ne_params.sender</code></trig>
  <trig name="ng_function"/>
  <trig name="ng_startlevel"><code>for _, r in ipairs({"room_a", "room_b", "sub_c"}) do ObjAttach(r, "ng_rooms_hub") end;
    SwitchRoom("room_a", 0); HideInterface(0, 0); SetInterfaceInputEnable(1)</code></trig>
</trigs>)xml";
}

const char* const kStrings = R"(<Workbook><Table>
<Row><Cell><Data>task_mul</Data></Cell><Cell><Data>%1% x %2%</Data></Cell></Row>
<Row><Cell><Data>task_screw</Data></Cell><Cell><Data>Brass screw</Data></Cell></Row>
<Row><Cell><Data>task_watch</Data></Cell><Cell><Data>Pocket watch</Data></Cell></Row>
</Table></Workbook>)";

// Counts the posts of the messages it listens to.
struct Counter : nE_Listener {
    void onMessage(const nE_Message& message) override {
        ids.push_back(message.number);
        if (const auto* request = message.payload<MSG_HO_DIALOG_SHOW>()) dialog = *request;
    }
    int count(unsigned int message) const {
        int n = 0;
        for (unsigned int id : ids) n += id == message;
        return n;
    }
    std::vector<unsigned int> ids;
    nG_HoDialogRequest dialog;
};

class WidgetTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        pf::testing::ResetSounds();
        const std::string game = pf::TPlatform::GetRunOptions().gameDir;
        const std::string source = HALVERN_SOURCE_DIR;
        std::system(("mkdir -p '" + game + "/assets/interface/main' '" + game + "/assets/fonts'").c_str());
        link(source + "/assets/interface/inventory_tasks", game + "/assets/interface/inventory_tasks");
        link(source + "/assets/fonts/garapremrpro.ttf", game + "/assets/fonts/garapremrpro.ttf");
        for (const char* file : {"light.xml", "light_ft.xml", "light_sheet.png"})
            link(source + "/assets/interface/main/" + file, game + "/assets/interface/main/" + file);
        writePodMask(game + "/assets/interface/main/main_mask.png");
        std::system(("mkdir -p '" + game + "/assets/audio' && cp '" + std::string(HALVERN_TEST_DATA) +
                     "/sounds/beep.ogg' '" + game + "/assets/audio/common_s_gettoinv.ogg'")
                        .c_str());
        writeImage(game + "/item.png", 64, 64);
        writeImage(game + "/door.png", 100, 100);
        folder.write("assets/level.xml", level());
        folder.write("assets/strings.xml", kStrings);
        strings.load("assets/strings");
        nE_StringTable::setCurrent(&strings);
        // A game whose interface found its pictures.
        endGame();
        ng = startGame();
        startLevel();
        tick(0);
    }
    void TearDown() override {
        for (unsigned int id : listened) nE_Mediator::current()->unsubscribe(id, &counter);
        nE_StringTable::setCurrent(nullptr);
        GameTest::TearDown();
        pf::testing::ResetSounds();
    }

    static void link(const std::string& from, const std::string& to) {
        std::system(("ln -s '" + from + "' '" + to + "'").c_str());
    }
    // Opaque over the two pods at the ends of the bar, clear over the strip between them.
    static void writePodMask(const std::string& file) {
        const int w = 1024, h = 170;
        std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4, 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (x < 130 || x >= w - 130) rgba[(static_cast<size_t>(y) * w + x) * 4 + 3] = 255;
        pf::TTexture::WritePng(file, rgba.data(), w, h);
    }

    void listen(std::initializer_list<unsigned int> ids) {
        for (unsigned int id : ids) {
            nE_Mediator::current()->subscribe(id, &counter);
            listened.push_back(id);
        }
    }
    template <unsigned int Message, typename... Payload>
    void post(Payload... payload) {
        nE_Mediator::current()->post<Message>(payload...);
    }

    // The pointer moves there; the cursor follows it as the platform makes it.
    void pointer(float x, float y) {
        cursor.x = x;
        cursor.y = y;
        send(nE_InputEvent::kPointerMove, x, y);
    }
    void press(float x, float y) {
        pointer(x, y);
        send(nE_InputEvent::kButtonDown, x, y);
        send(nE_InputEvent::kButtonUp, x, y);
    }
    // Frames of 1/64 s (exact in binary) for the given time.
    void frames(float seconds) {
        for (int i = 0; i < static_cast<int>(seconds * 64 + 0.5f); ++i) tick(1.f / 64);
    }

    nG_Inventory* inventory() { return ng->interface->inventory; }
    nG_Tasks* tasks() { return ng->interface->tasks; }
    nG_TasksHeader* header() { return ng->interface->tasksHeader; }
    nE_Object* object(const std::string& name) { return scene().findObject(name); }
    const nG_Inventory::Item& item(int index) { return inventory()->items.at(static_cast<size_t>(index)); }
    // Where an item's slot is on the screen.
    pf::TVec2 slot(int index) {
        return {inventory()->localState().x + item(index).x, inventory()->localState().y + item(index).y};
    }
    bool soundRequested(const std::string& part) {
        for (const auto& name : pf::testing::RequestedSounds())
            if (std::string(name).find(part) != std::string::npos) return true;
        return false;
    }

    nE_StringTable strings;
    Counter counter;
    std::vector<unsigned int> listened;
};

}  // namespace widgettest
