#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <cmath>

#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Object.h"
#include "engine/core/nE_Scene.h"
#include "tests/engine/core/nE_SceneTestSupport.h"

using scenetest::LoggingObject;
using scenetest::QueueRecorder;
using scenetest::setRect;

namespace {

nE_InputEvent pointer(int type, float x, float y) {
    nE_InputEvent e;
    e.type = type;
    e.code = 3840;
    e.x = x;
    e.y = y;
    return e;
}

class RecordingRender : public nE_Render {
public:
    bool pushClip(const nE_Rect& rect) override {
        pushed.push_back(rect);
        return nE_Render::pushClip(rect);
    }
    void popClip() override {
        ++pops;
        nE_Render::popClip();
    }
    std::vector<nE_Rect> pushed;
    int pops = 0;
};

class ObjectTest : public ::testing::Test {
protected:
    LoggingObject* add(nE_Object* under, const std::string& name, float z = 0) {
        auto* object = new LoggingObject(name, &drawn);
        object->editLocalState()->z = z;
        scene.attach(under, object);
        return object;
    }
    nE_Object* hitAt(float x, float y) { return scene.root()->hitTest(pointer(2, x, y), nullptr); }

    QueueRecorder queue;
    nE_Scene scene;
    std::vector<std::string> drawn;
};

}  // namespace

TEST_F(ObjectTest, EqualZKeepsInsertionOrderForDrawingAndHitting) {
    LoggingObject* a = add(scene.root(), "a");
    LoggingObject* b = add(scene.root(), "b");
    LoggingObject* c = add(scene.root(), "c", -1);
    for (nE_Object* o : {(nE_Object*)a, (nE_Object*)b, (nE_Object*)c}) setRect(o, 0, 0, 10, 10);

    scene.draw(nullptr);
    EXPECT_EQ(drawn, (std::vector<std::string>{"c", "a", "b"}));
    // Drawn last, hit first.
    EXPECT_EQ(hitAt(5, 5), b);
    b->input = false;
    EXPECT_EQ(hitAt(5, 5), a);
    a->input = false;
    EXPECT_EQ(hitAt(5, 5), c);
}

TEST_F(ObjectTest, ChangedZIsSortedAtTheNextUpdate) {
    LoggingObject* a = add(scene.root(), "a");
    add(scene.root(), "b");
    add(scene.root(), "c");
    a->editLocalState()->z = 5;
    scene.update(0.01f);
    scene.draw(nullptr);
    EXPECT_EQ(drawn, (std::vector<std::string>{"b", "c", "a"}));
}

TEST_F(ObjectTest, InputFlagsHideSubtrees) {
    LoggingObject* group = add(scene.root(), "group");
    LoggingObject* child = add(group, "child");
    setRect(group, 0, 0, 100, 100);
    setRect(child, 0, 0, 10, 10);
    EXPECT_EQ(hitAt(5, 5), child);

    group->input = false;
    EXPECT_EQ(hitAt(5, 5), nullptr);
    EXPECT_EQ(hitAt(50, 50), nullptr);

    group->input = true;
    group->inputChildren = false;
    EXPECT_EQ(hitAt(5, 5), group);  // the group itself still takes the point
}

TEST_F(ObjectTest, KeyEventsAndDefaultRectangleNeverHitTheBaseObject) {
    LoggingObject* a = add(scene.root(), "a");
    EXPECT_EQ(hitAt(0, 0), nullptr);  // (0, 0, 0, 0) rectangle
    setRect(a, 0, 0, 10, 10);
    nE_InputEvent key;
    key.type = nE_InputEvent::kKeyDown;
    key.code = 'A';
    EXPECT_EQ(scene.root()->hitTest(key, nullptr), nullptr);
}

TEST_F(ObjectTest, HitQueuesMouseTriggersWithTheObjectAsSender) {
    LoggingObject* a = add(scene.root(), "lever");
    setRect(a, 0, 0, 10, 10);
    a->eventTriggers[nE_Object::kEventMouseDown] = "pull(1)";
    a->eventTriggers[nE_Object::kEventMouseUp] = "";
    EXPECT_EQ(scene.root()->hitTest(pointer(2, 5, 5), nullptr), a);
    EXPECT_EQ(scene.root()->hitTest(pointer(3, 5, 5), nullptr), a);  // empty trigger: nothing queued
    ASSERT_EQ(queue.calls.size(), 1u);
    EXPECT_EQ(queue.calls[0], (scenetest::Call{"lever", "pull(1)"}));
}

TEST_F(ObjectTest, InputWentElsewhereReachesTheChildrenBelowTheHit) {
    struct Watcher : LoggingObject {
        using LoggingObject::LoggingObject;
        void inputWentElsewhere(nE_Object* hit, const nE_InputEvent& e) override {
            told = hit;
            LoggingObject::inputWentElsewhere(hit, e);
        }
        void childWasHit(nE_Object* hit, const nE_InputEvent&) override { childHit = hit; }
        nE_Object* told = nullptr;
        nE_Object* childHit = nullptr;
    };
    auto* below = new Watcher("below", nullptr);
    auto* group = new Watcher("group", nullptr);
    scene.attach(scene.root(), below);
    scene.attach(scene.root(), group);
    LoggingObject* top = add(group, "top");
    setRect(top, 0, 0, 10, 10);
    EXPECT_EQ(hitAt(5, 5), top);
    EXPECT_EQ(below->told, top);
    EXPECT_EQ(group->childHit, top);
    EXPECT_EQ(group->told, nullptr);
}

TEST_F(ObjectTest, CyclicAndSelfAttachAreRefused) {
    LoggingObject* a = add(scene.root(), "a");
    LoggingObject* b = add(a, "b");
    LoggingObject* c = add(b, "c");

    scene.attach(c, a);  // a below its own grandchild
    EXPECT_EQ(a->parent, scene.root());
    EXPECT_EQ(c->parent, b);
    EXPECT_FALSE(a->addChild(a));

    // Refused by name too: an object below the child bears the new parent's name.
    auto* other = new LoggingObject("c", nullptr);
    scene.attach(scene.root(), other);
    scene.attach(other, a);
    EXPECT_EQ(a->parent, scene.root());
    EXPECT_TRUE(other->children.empty());
}

TEST_F(ObjectTest, FindLooksAtDirectChildrenBeforeSubtrees) {
    LoggingObject* a = add(scene.root(), "a");
    LoggingObject* deep = add(a, "x");
    LoggingObject* shallow = add(scene.root(), "x");
    EXPECT_EQ(scene.root()->find("x", true), shallow);
    EXPECT_EQ(a->find("x", false), deep);
    EXPECT_EQ(scene.root()->find("nope", true), nullptr);
    EXPECT_EQ(scene.findObject("ne_origin"), scene.root());
    EXPECT_EQ(scene.findObject("ne_storage"), scene.storage());

    EXPECT_EQ(scene.root()->removeChild(deep, false), nullptr);
    EXPECT_EQ(scene.root()->removeChild(deep, true), deep);
    EXPECT_EQ(deep->parent, nullptr);
    EXPECT_TRUE(a->children.empty());
    delete deep;
}

TEST_F(ObjectTest, ParkingUnloadsAndAttachingLoadsTheSubtree) {
    auto* a = new LoggingObject("a", nullptr);
    auto* b = new LoggingObject("b", nullptr);
    a->addChild(b);
    scene.attach(scene.root(), a);
    EXPECT_TRUE(a->loaded && b->loaded);
    EXPECT_EQ(b->loads, 1);

    scene.park(a);
    EXPECT_FALSE(a->loaded || b->loaded);
    EXPECT_EQ(a->unloads, 1);
    EXPECT_EQ(b->unloads, 1);
    EXPECT_EQ(scene.findObject("b"), b);  // parked objects are still found

    scene.attach(scene.root(), a);
    a->setResourceName("other");  // loaded: reloads
    EXPECT_EQ(a->loads, 3);
    a->setResourceName("other");  // unchanged: nothing
    EXPECT_EQ(a->loads, 3);
}

TEST_F(ObjectTest, DestroyLeavesTheParentAndTheHoverLink) {
    LoggingObject* a = add(scene.root(), "a");
    LoggingObject* b = add(a, "b");
    b->eventTriggers[nE_Object::kEventLeave] = "b_leave";
    nE_Scene::setHover(b);
    delete a;
    EXPECT_TRUE(scene.root()->children.empty());
    EXPECT_EQ(nE_Scene::hover(), nullptr);
    EXPECT_EQ(queue.callStrings(), (std::vector<std::string>{"b_leave"}));
}

TEST_F(ObjectTest, FindTextReportsNamesTriggersAndResources) {
    LoggingObject* a = add(scene.root(), "door_a");
    a->eventTriggers[nE_Object::kEventMouseDown] = "open_door";
    LoggingObject* b = add(a, "key");
    b->resourceName = "doorkey";
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* results = doc.NewElement("found");
    doc.InsertEndChild(results);
    a->findText(results, "door", true);
    std::vector<std::string> got;
    for (auto* e = results->FirstChildElement(); e; e = e->NextSiblingElement())
        got.push_back(std::string(e->Name()) + ":" + e->Attribute("place"));
    EXPECT_EQ(got, (std::vector<std::string>{"door_a:name", "door_a:event", "key:res"}));
}

// Grandparent at (10, 10); parent at (100, 50), turned a quarter, scaled 2; child at (5, 0).
class AttachTypeTest : public ObjectTest,
                       public ::testing::WithParamInterface<std::tuple<int, float, float>> {};

TEST_P(AttachTypeTest, DropsThePartsOfTheParentThatTheTypeIgnores) {
    LoggingObject* grand = add(scene.root(), "grand");
    grand->editLocalState()->x = grand->editLocalState()->y = 10;
    LoggingObject* parent = add(grand, "parent");
    parent->editLocalState()->x = 100;
    parent->editLocalState()->y = 50;
    parent->editLocalState()->angle = 1.5707964f;
    parent->editLocalState()->scaleX = parent->editLocalState()->scaleY = 2;
    parent->editLocalState()->alpha = 0.5f;
    LoggingObject* child = add(parent, "child");
    child->editLocalState()->x = 5;
    child->setAttachType(std::get<0>(GetParam()));

    scene.draw(nullptr);
    EXPECT_NEAR(child->lastDrawn.matrix.m[12], std::get<1>(GetParam()), 1e-3);
    EXPECT_NEAR(child->lastDrawn.matrix.m[13], std::get<2>(GetParam()), 1e-3);
    EXPECT_FLOAT_EQ(child->lastDrawn.alpha, 0.5f);  // colour is inherited whatever the type
    EXPECT_NEAR(child->lastWorldState().matrix.m[12], std::get<1>(GetParam()), 1e-3);
}

INSTANTIATE_TEST_SUITE_P(AllTypes, AttachTypeTest,
                         ::testing::Values(std::make_tuple(0, 110.f, 50.f), std::make_tuple(1, 120.f, 60.f),
                                           std::make_tuple(2, 115.f, 60.f), std::make_tuple(3, 15.f, 10.f)));

TEST_F(ObjectTest, CropRectClipsDrawingButNotHits) {
    LoggingObject* panel = add(scene.root(), "panel");
    panel->editLocalState()->x = panel->editLocalState()->y = 10;
    panel->editLocalState()->scaleX = panel->editLocalState()->scaleY = 2;
    panel->cropRectSet = true;
    panel->cropRect = nE_Rect{1, 2, 5, 5};
    LoggingObject* item = add(panel, "item");
    setRect(item, 20, 20, 10, 10);  // wholly outside the crop

    RecordingRender render;
    scene.draw(&render);
    ASSERT_EQ(render.pushed.size(), 1u);
    EXPECT_FLOAT_EQ(render.pushed[0].x, 12);
    EXPECT_FLOAT_EQ(render.pushed[0].y, 14);
    EXPECT_FLOAT_EQ(render.pushed[0].w, 10);
    EXPECT_FLOAT_EQ(render.pushed[0].h, 10);
    EXPECT_EQ(render.pops, 1);
    EXPECT_EQ(drawn, (std::vector<std::string>{"panel", "item"}));

    EXPECT_EQ(hitAt(10 + 25 * 2, 10 + 25 * 2), item);

    // A refused (empty) clip is not popped.
    panel->cropRect.w = 0;
    scene.draw(&render);
    EXPECT_EQ(render.pops, 1);
}

TEST_F(ObjectTest, HiddenObjectsAndNoDrawChildrenStopTheDrawWalk) {
    LoggingObject* a = add(scene.root(), "a");
    add(a, "a1");
    LoggingObject* b = add(scene.root(), "b");
    add(b, "b1");
    a->visible = false;
    b->drawChildren = false;
    scene.draw(nullptr);
    EXPECT_EQ(drawn, (std::vector<std::string>{"b"}));
}

TEST_F(ObjectTest, InactiveObjectsAreNotUpdated) {
    LoggingObject* a = add(scene.root(), "a");
    const float line[] = {0, 0, 1, 10};
    nE_Scene::addAnimLine(a, 0, false, false, "", line, 4);
    a->active = false;
    scene.update(0.5f);
    EXPECT_FLOAT_EQ(a->localState().x, 0);
    a->active = true;
    scene.update(0.5f);
    EXPECT_FLOAT_EQ(a->localState().x, 5);
}

// World states are kept between the frame's hit test and its draw: every input they are made of
// must still reach the drawn state at once.
TEST_F(ObjectTest, DrawnWorldStatesFollowEveryChangeOfTheirInputs) {
    LoggingObject* grand = add(scene.root(), "grand");
    LoggingObject* parent = add(grand, "parent");
    parent->editLocalState()->x = 100;
    LoggingObject* child = add(parent, "child");
    child->editLocalState()->x = 5;
    setRect(child, -5, -5, 10, 10);
    LoggingObject* other = add(scene.root(), "other");
    other->editLocalState()->y = 40;
    auto drawnAt = [&](LoggingObject* o) {
        drawn.clear();
        scene.draw(nullptr);
        return std::make_pair(o->lastDrawn.matrix.m[12], o->lastDrawn.matrix.m[13]);
    };

    EXPECT_EQ(hitAt(105, 0), child);
    EXPECT_EQ(drawnAt(child), std::make_pair(105.f, 0.f));
    EXPECT_EQ(drawn, (std::vector<std::string>{"grand", "parent", "child", "other"}));
    parent->editLocalState()->x = 200;  // the parent moved: its children follow
    EXPECT_EQ(drawnAt(child), std::make_pair(205.f, 0.f));
    parent->editLocalState()->scaleX = 2;
    EXPECT_EQ(drawnAt(child), std::make_pair(210.f, 0.f));
    parent->editLocalState()->alpha = 0.5f;
    scene.draw(nullptr);
    EXPECT_FLOAT_EQ(child->lastDrawn.alpha, 0.5f);
    child->editAnimState()->y = 7;  // an offset of this frame only
    EXPECT_EQ(drawnAt(child), std::make_pair(210.f, 7.f));
    scene.update(0.01f);
    EXPECT_EQ(drawnAt(child), std::make_pair(210.f, 0.f));
    child->editLocalState()->frameIndex = 3;
    scene.draw(nullptr);
    EXPECT_EQ(child->lastDrawn.frameIndex, 3);
    grand->editLocalState()->y = 30;  // further up the chain
    EXPECT_EQ(drawnAt(child), std::make_pair(210.f, 30.f));
    {
        const nE_Object::StateEdit edit = grand->editLocalState();  // asked for while still open
        edit->y = 60;
        EXPECT_EQ(child->worldStateFromTop().matrix.m[13], 60.f);
        edit->y = 20;
        EXPECT_EQ(child->worldStateFromTop().matrix.m[13], 20.f);
    }
    nE_RenderState elsewhere;  // a placement of the caller's own, then the tree's again
    elsewhere.y = 500;
    parent->drawWalk(nullptr, &elsewhere);
    EXPECT_EQ(child->lastDrawn.matrix.m[13], 500.f);
    EXPECT_EQ(drawnAt(child), std::make_pair(210.f, 20.f));
    parent->drawWalk(nullptr, nullptr);  // as its own top, the way a room draws its snapshot
    EXPECT_EQ(child->lastDrawn.matrix.m[13], 0.f);
    EXPECT_EQ(drawnAt(child), std::make_pair(210.f, 20.f));

    scene.attach(other, child);  // another parent
    EXPECT_EQ(drawnAt(child), std::make_pair(5.f, 40.f));
    EXPECT_EQ(child->worldStateFromTop().matrix.m[13], 40.f);
    child->setAttachType(3);  // keeps the grandparent only: the root at the origin
    EXPECT_EQ(drawnAt(child), std::make_pair(5.f, 0.f));
    child->setAttachType(0);
    EXPECT_EQ(drawnAt(child), std::make_pair(5.f, 40.f));

    // Dragged, it follows the pointer; dropped, it is back in its place.
    child->drag = true;
    scene.startDrag(child);
    child->setDragPosition(pf::TVec2{300, 300});
    EXPECT_EQ(drawnAt(child), std::make_pair(300.f, 300.f));
    nE_Scene::setDragged(nullptr);
    EXPECT_EQ(drawnAt(child), std::make_pair(5.f, 40.f));
}
