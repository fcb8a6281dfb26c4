// Rooms and sub-rooms on their own: the four states, the fades and where the snapshot is drawn, the
// triggers, the zoom, and what they save.
#include <tinyxml2.h>

#include <cmath>

#include "engine/script/nE_SLHelper_XML.h"
#include "tests/game/core/GameTestSupport.h"

namespace {

using gametest::GameTest;

class RoomTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        startLevel();
        a = room("room_a");
        b = room("room_b");
        c = sub("sub_c");
    }
    std::string log() { return eval("log"); }
    void clearLog() { lua("log = ''"); }
    // The screen rectangle a draw covers: its texture's rectangle and offsets through its matrix.
    static nE_Rect covered(const gametest::TargetRenderer::Draw& draw) {
        nE_RenderState s = draw.state;
        nE_Rect r = draw.texture->localRect(0);
        const pf::TVec2 tl = s.transform().Apply(r.x + s.drawOffsetX, r.y + s.drawOffsetY);
        const pf::TVec2 br = s.transform().Apply(r.x + r.w + s.drawOffsetX, r.y + r.h + s.drawOffsetY);
        return {tl.x, tl.y, br.x - tl.x, br.y - tl.y};
    }

    nG_Room* a = nullptr;
    nG_Room* b = nullptr;
    nG_SubRoom* c = nullptr;
};

TEST_F(RoomTest, ARoomShownAtOnceIsOpenAndTakesInputInTheSameStep) {
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(ng->currentRoom, a);
    EXPECT_EQ(a->state, nG_Room::kOpen);
    EXPECT_FLOAT_EQ(a->localState().alpha, 1);
    EXPECT_TRUE(a->input && a->updateChildren);
    EXPECT_EQ(a->snapshot, nullptr);
    tick(0);
    EXPECT_EQ(log(), "open room_a;");
    EXPECT_EQ(b->state, nG_Room::kClosed);
    EXPECT_EQ(b->parent, ng->roomsHub) << "rooms that are not shown wait in the hub";
    EXPECT_FALSE(b->input);
}

TEST_F(RoomTest, AnAnimatedRoomFadesInFromItsSnapshotOverSixTenthsOfASecond) {
    tick(0);
    clearLog();
    lua("SwitchRoom('room_b')");
    EXPECT_EQ(b->state, nG_Room::kOpening);
    EXPECT_FLOAT_EQ(b->localState().alpha, 0) << "the room itself is invisible while its snapshot fades in";
    EXPECT_FALSE(b->input || ng->input);
    ASSERT_NE(b->snapshot, nullptr);
    EXPECT_FLOAT_EQ(b->snapshot->width, 1024) << "the snapshot has the input rectangle's size";
    EXPECT_FLOAT_EQ(b->snapshot->height, 768);
    EXPECT_EQ(a->state, nG_Room::kClosing);
    EXPECT_FLOAT_EQ(a->localState().z, 0);
    EXPECT_FLOAT_EQ(b->localState().z, 1);
    tick(0);
    EXPECT_EQ(log(), "close room_a;") << "a plain room reports its close when the close starts";

    // Not yet drawn: the fade waits for the first frame.
    b->drawn = false;
    scene().update(0.3f);
    EXPECT_FLOAT_EQ(b->fadeTime, 0) << "a room never drawn stays where it is";
    scene().draw(&renderer);
    const float shown[] = {0.1f, 0.2f, 0.2f};
    for (float dt : shown) {
        tick(dt);
        const auto* draw = renderer.lastDrawOf(b->snapshot);
        ASSERT_NE(draw, nullptr);
        EXPECT_NEAR(draw->state.alpha, b->fadeTime / 0.6f, 1e-5);
        const nE_Rect r = covered(*draw);
        EXPECT_NEAR(r.x, 0, 1e-3);
        EXPECT_NEAR(r.y, 0, 1e-3);
        EXPECT_NEAR(r.w, 1024, 1e-3) << "the snapshot covers the room's rectangle";
        EXPECT_NEAR(r.h, 768, 1e-3);
    }
    EXPECT_EQ(b->state, nG_Room::kOpening);
    EXPECT_NEAR(b->fadeTime, 0.5f, 1e-5);
    tick(0.15f);
    EXPECT_EQ(b->state, nG_Room::kOpen);
    EXPECT_EQ(b->snapshot, nullptr) << "released once open";
    EXPECT_FLOAT_EQ(b->localState().alpha, 1);
    EXPECT_TRUE(b->input);
    tick(0);
    EXPECT_TRUE(ng->input) << "the game takes input again once the room is open";
    EXPECT_EQ(a->parent, ng->roomsHub) << "the closed room went back to the hub";
    EXPECT_EQ(log(), "close room_a;open room_b;");
}

TEST_F(RoomTest, ChildrenOfAnOpeningRoomAreNotUpdated) {
    nE_Object* door = scene().findObject("b_door");
    const float keys[] = {0, 0, 1, 100};
    nE_Scene::addAnimLine(door, 0, false, false, "", keys, 4);
    lua("SwitchRoom('room_b')");
    tick(0.1f);
    tick(0.1f);
    EXPECT_FLOAT_EQ(door->localState().x, 300) << "frozen while the room fades in";
    tick(0.5f);
    tick(0.1f);
    EXPECT_GT(door->localState().x, 0.f);
    EXPECT_NE(door->localState().x, 300.f) << "animated once the room is open";
}

TEST_F(RoomTest, SwitchingToTheCurrentRoomClosesAndOpensItInOneStep) {
    tick(0);
    clearLog();
    lua("SwitchRoom('room_a', 0)");
    EXPECT_EQ(ng->currentRoom, a);
    EXPECT_EQ(a->state, nG_Room::kOpen);
    EXPECT_FLOAT_EQ(a->localState().z, 1);
    tick(0);
    EXPECT_EQ(log(), "close room_a;open room_a;");
    EXPECT_EQ(a->parent, ng->level);
}

TEST_F(RoomTest, ASubRoomZoomsOutOfItsStartAndReportsItsCloseOnlyWhenShrunkBack) {
    tick(0);
    clearLog();
    lua("OpenSubRoom('sub_c', 0, 0, 0, 0)");
    EXPECT_EQ(c->state, nG_Room::kOpening);
    EXPECT_EQ(c->startX, 100) << "all four coordinates 0 keep the stored ones";
    EXPECT_EQ(c->endY, 300);
    ASSERT_NE(c->snapshot, nullptr);
    EXPECT_FLOAT_EQ(c->snapshot->width, 72) << "a sub-room's snapshot is its image";
    EXPECT_TRUE(c->cropRectSet);
    EXPECT_FLOAT_EQ(c->cropRect.w, 72);
    tick(0);
    tick(0.3f);
    // Halfway: the eased value is 1 - cos(pi/4) of the way, about 29 %.
    const float eased = 1 - std::cos(3.14159265f / 4);
    EXPECT_NEAR(nG_SubRoom::ease(0, 1, 0.5f), eased, 1e-5);
    EXPECT_NEAR(c->localState().x, 100 + 412 * eased, 1e-2);
    EXPECT_NEAR(c->zoom.scaleX, eased, 1e-5);
    const auto* draw = renderer.lastDrawOf(c->snapshot);
    ASSERT_NE(draw, nullptr);
    const nE_Rect r = covered(*draw);
    EXPECT_NEAR(r.w, 72 * eased, 1e-3) << "the snapshot is drawn at the zoom's scale";
    EXPECT_NEAR(r.x + r.w / 2, c->localState().x, 1e-3) << "centred on the sub-room";
    EXPECT_NEAR(draw->state.alpha, eased, 1e-5);
    tick(0.3f);
    tick(0);
    EXPECT_EQ(c->state, nG_Room::kOpen);
    EXPECT_FLOAT_EQ(c->localState().x, 512);
    EXPECT_FLOAT_EQ(c->zoom.alpha, 1);
    EXPECT_EQ(log(), "open sub_c;");

    clearLog();
    c->close(true);
    EXPECT_EQ(c->state, nG_Room::kClosing);
    EXPECT_FLOAT_EQ(c->localState().alpha, 0) << "only its snapshot shows while it shrinks";
    const auto firstSnapshot = c->snapshot;
    ASSERT_NE(firstSnapshot, nullptr);
    c->close(true);
    EXPECT_EQ(c->snapshot, firstSnapshot) << "closing a closing sub-room does nothing";
    tick(0.3f);
    EXPECT_NEAR(c->localState().x, 100 + 412 * eased, 1e-2) << "the way back retraces the way out";
    tick(0);
    EXPECT_EQ(log(), "") << "no close report while shrinking";
    tick(0.3f);
    EXPECT_EQ(c->state, nG_Room::kClosed);
    tick(0);
    EXPECT_EQ(log(), "close sub_c;");
    EXPECT_FLOAT_EQ(c->localState().x, 100);
    EXPECT_EQ(c->snapshot, nullptr);
}

TEST_F(RoomTest, NonZeroCoordinatesReplaceAllFourAndZeroesZoomFromTheOrigin) {
    nG_SubRoom* d = sub("sub_d");
    ASSERT_NE(d, nullptr);
    lua("OpenSubRoom('sub_d')");
    EXPECT_EQ(d->startX, 0);
    EXPECT_EQ(d->endX, 400);
    tick(0);
    tick(0.3f);
    EXPECT_NEAR(d->localState().x, 400 * nG_SubRoom::ease(0, 1, 0.5f), 1e-2) << "from the screen's origin";
    run(0.6f);
    lua("CloseSubRoom()");
    run(0.7f);
    lua("OpenSubRoom('sub_d', 0, 0, 0, 5)");
    EXPECT_EQ(d->endX, 0);
    EXPECT_EQ(d->endY, 5);
}

TEST_F(RoomTest, PropertiesAndReferencesAreSavedAndFound) {
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* saved = nE_SLHelper_XML::save(*c, doc, true, true);
    EXPECT_STREQ(saved->Name(), "subroom");
    EXPECT_STREQ(saved->Attribute("trg_open"), "opened");
    EXPECT_EQ(saved->IntAttribute("start_x"), 100);
    EXPECT_EQ(saved->IntAttribute("end_y"), 300);
    std::unique_ptr<nE_Object> copy = nE_SLHelper_XML::build(saved);
    auto* again = dynamic_cast<nG_SubRoom*>(copy.get());
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->trgClose, "closed");
    EXPECT_EQ(again->startY, 200);
    EXPECT_EQ(again->state, nG_Room::kClosed);
    EXPECT_FLOAT_EQ(again->localState().x, 100) << "a closed sub-room waits at its start";
    ASSERT_NE(again->find("c_thing", false), nullptr);

    tinyxml2::XMLElement* found = doc.NewElement("found");
    a->findText(found, "open", false);
    ASSERT_NE(found->FirstChildElement("room_a"), nullptr);
    EXPECT_STREQ(found->FirstChildElement("room_a")->Attribute("place"), "event");
    found->DeleteChildren();
    a->findText(found, "ed", false);
    int entries = 0;
    for (auto* e = found->FirstChildElement(); e; e = e->NextSiblingElement()) ++entries;
    EXPECT_EQ(entries, 2) << "one entry for each trigger text that matches";
}

}  // namespace
