#include <gtest/gtest.h>

#include "engine/core/nE_AnimLine.h"
#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Object.h"
#include "engine/core/nE_Scene.h"
#include "engine/media/nE_Cursor.h"
#include "tests/engine/core/nE_SceneTestSupport.h"

using scenetest::LoggingObject;
using scenetest::QueueRecorder;
using scenetest::setRect;
using Strings = std::vector<std::string>;

namespace {

nE_InputEvent pointer(int type, float x, float y) {
    nE_InputEvent e;
    e.type = type;
    e.code = 3840;
    e.x = x;
    e.y = y;
    return e;
}

// An object whose eight triggers are "<name>_<event>".
LoggingObject* makeTarget(const std::string& name, float x, float y) {
    static const char* kSuffix[] = {"down",       "up",         "enter", "leave",
                                    "enter_drag", "leave_drag", "drop",  "drag"};
    auto* object = new LoggingObject(name, nullptr);
    for (int i = 0; i < nE_Object::kEventCount; ++i) object->eventTriggers[i] = name + "_" + kSuffix[i];
    object->editLocalState()->x = x;
    object->editLocalState()->y = y;
    setRect(object, 0, 0, 10, 10);
    return object;
}

class DragTest : public ::testing::Test {
protected:
    void SetUp() override {
        item = makeTarget("item", 0, 0);
        item->drag = true;
        scene.attach(scene.root(), item);
        cursor.setPosition(5, 5);
        nE_Cursor::setCurrent(&cursor);
    }
    void TearDown() override { nE_Cursor::setCurrent(nullptr); }

    void move(float x, float y) {
        cursor.setPosition(x, y);
        scene.dispatch(pointer(4, x, y));
    }
    void press(float x, float y) { scene.dispatch(pointer(2, x, y)); }
    void release(float x, float y) { scene.dispatch(pointer(3, x, y)); }

    QueueRecorder queue;
    nE_Scene scene;
    nE_Cursor cursor;
    LoggingObject* item = nullptr;
};

}  // namespace

TEST_F(DragTest, ClickDownStartsTheDragAfterTheMouseDownAndLeaveTriggers) {
    move(5, 5);
    move(6, 6);  // still over the same object: no second enter
    EXPECT_EQ(queue.take(), (Strings{"item_enter"}));
    press(6, 6);
    EXPECT_EQ(queue.take(), (Strings{"item_down", "item_leave"}));
    EXPECT_EQ(nE_Scene::dragged(), item);
    EXPECT_EQ(nE_Scene::hover(), nullptr);
    EXPECT_FLOAT_EQ(item->dragPosition().x, 6);  // where the cursor is

    // The drag trigger comes with every move, also the synthetic one at rest.
    move(40, 30);
    move(40, 30);
    EXPECT_EQ(queue.take(), (Strings{"item_drag", "item_drag"}));
    EXPECT_FLOAT_EQ(item->dragPosition().x, 40);
    EXPECT_FLOAT_EQ(item->dragPosition().y, 30);

    // The dragged object is drawn at the pointer, and never takes events itself.
    scene.draw(nullptr);
    EXPECT_FLOAT_EQ(item->lastDrawn.matrix.m[12], 40);
    EXPECT_FLOAT_EQ(item->lastDrawn.matrix.m[13], 30);
    EXPECT_EQ(scene.root()->hitTest(pointer(2, 41, 31), nullptr), nullptr);
    EXPECT_EQ(scene.root()->hitTest(pointer(2, 5, 5), nullptr), nullptr);
}

TEST_F(DragTest, WithoutRealDragReleaseKeepsTheDragAndTheNextPressDrops) {
    move(5, 5);
    press(5, 5);
    queue.take();
    release(5, 5);
    EXPECT_EQ(nE_Scene::dragged(), item);
    EXPECT_TRUE(queue.take().empty());

    press(60, 60);
    EXPECT_EQ(queue.take(), (Strings{"item_drop"}));
    EXPECT_TRUE(scene.dropPending);
    move(61, 61);  // no drag trigger while the drop is pending
    EXPECT_TRUE(queue.take().empty());
    EXPECT_EQ(nE_Scene::dragged(), item);  // the drop trigger still sees it

    scene.update(0.016f);
    EXPECT_EQ(nE_Scene::dragged(), nullptr);
    EXPECT_FALSE(scene.dropPending);
}

TEST_F(DragTest, WithRealDragReleaseDropsAndTheHoverObjectIsEnteredAgain) {
    item->realDrag = true;
    LoggingObject* box = makeTarget("box", 100, 100);
    scene.attach(scene.root(), box);
    move(5, 5);
    press(5, 5);
    queue.take();

    move(105, 105);
    EXPECT_EQ(queue.take(), (Strings{"item_drag", "box_enter_drag"}));
    EXPECT_EQ(nE_Scene::hover(), box);
    release(105, 105);
    EXPECT_EQ(queue.take(), (Strings{"item_drop"}));
    scene.update(0.016f);
    EXPECT_EQ(nE_Scene::dragged(), nullptr);
    EXPECT_EQ(queue.take(), (Strings{"box_enter"}));

    // Leaving after the drag is a plain leave.
    move(300, 300);
    EXPECT_EQ(queue.take(), (Strings{"box_leave"}));
}

TEST_F(DragTest, LeavingWhileDraggingQueuesTheDragLeave) {
    LoggingObject* box = makeTarget("box", 100, 100);
    scene.attach(scene.root(), box);
    press(5, 5);
    move(105, 105);
    queue.take();
    move(300, 300);
    EXPECT_EQ(queue.take(), (Strings{"item_drag", "box_leave_drag"}));
}

TEST_F(DragTest, KeepDraggingSetByTheDropKeepsTheObjectOnThePointerOnce) {
    press(5, 5);
    press(5, 5);                // drop
    scene.keepDragging = true;  // what ObjDoNotDrop does from the drop trigger
    scene.update(0.016f);
    EXPECT_EQ(nE_Scene::dragged(), item);
    EXPECT_FALSE(scene.keepDragging);

    press(5, 5);
    scene.update(0.016f);
    EXPECT_EQ(nE_Scene::dragged(), nullptr);
}

TEST_F(DragTest, KeepDraggingSetOutsideADropCancelsTheNextDrop) {
    scene.keepDragging = true;
    press(5, 5);
    scene.update(0.016f);
    EXPECT_EQ(nE_Scene::dragged(), item);
    EXPECT_TRUE(scene.keepDragging);
    press(5, 5);
    scene.update(0.016f);
    EXPECT_EQ(nE_Scene::dragged(), item);
    press(5, 5);
    scene.update(0.016f);
    EXPECT_EQ(nE_Scene::dragged(), nullptr);
}

TEST_F(DragTest, StartDragTakesTheCursorPositionOrZeroWithoutCursor) {
    cursor.setPosition(7, 8);
    scene.startDrag(item);
    EXPECT_FLOAT_EQ(item->dragPosition().x, 7);
    EXPECT_FLOAT_EQ(item->dragPosition().y, 8);
    nE_Cursor::setCurrent(nullptr);
    scene.startDrag(item);
    EXPECT_FLOAT_EQ(item->dragPosition().x, 0);
    EXPECT_FLOAT_EQ(item->dragPosition().y, 0);
}

TEST_F(DragTest, DestroyingTheDraggedObjectEndsTheDrag) {
    press(5, 5);
    delete item;
    EXPECT_EQ(nE_Scene::dragged(), nullptr);
    press(5, 5);  // nothing to drop, nothing to start
    scene.update(0.016f);
    EXPECT_FALSE(scene.dropPending);
}

// --- animation lines ---

class AnimLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        object = new LoggingObject("spinner", nullptr);
        scene.attach(scene.root(), object);
    }
    QueueRecorder queue;
    nE_Scene scene;
    LoggingObject* object = nullptr;
};

TEST_F(AnimLineTest, LoopedLineStepsResetsAndQueuesItsEndEachPass) {
    const float keys[] = {0, 0, 1, 10};
    nE_Scene::addAnimLine(object, 0, false, true, "lap(1)", keys, 4);
    const float expected[] = {4, 8, 10, 4, 8, 10};
    for (float x : expected) {
        scene.update(0.4f);
        EXPECT_NEAR(object->localState().x, x, 1e-4);
    }
    ASSERT_EQ(queue.calls.size(), 2u);
    EXPECT_EQ(queue.calls[0], (scenetest::Call{"spinner", "lap(1)"}));
    ASSERT_EQ(object->animLines.size(), 1u);
    EXPECT_FLOAT_EQ(object->animLines[0].line->currentTime, 0);
}

TEST_F(AnimLineTest, RelativeLinesOffsetOnlyTheFrameAbsoluteOnesChangeTheProperty) {
    const float fade[] = {0, 1, 1, 0};
    nE_Scene::addAnimLine(object, 8, true, false, "", fade, 4);
    scene.update(0.25f);
    EXPECT_FLOAT_EQ(object->localState().alpha, 1);
    EXPECT_FLOAT_EQ(object->combinedState(0).alpha, 0.75f);
    scene.draw(nullptr);
    EXPECT_FLOAT_EQ(object->lastDrawn.alpha, 0.75f);

    nE_Scene::addAnimLine(object, 8, false, false, "", fade, 4);  // replaces the relative one
    ASSERT_EQ(object->animLines.size(), 1u);
    scene.update(0.25f);
    EXPECT_FLOAT_EQ(object->localState().alpha, 0.75f);
    EXPECT_FLOAT_EQ(object->animState().alpha, 1);
}

TEST_F(AnimLineTest, FinishedLineIsRemovedAndItsOffsetGoes) {
    const float move[] = {0, 0, 0.5f, 20};
    nE_Scene::addAnimLine(object, 0, true, false, "arrived", move, 4);
    scene.update(0.25f);
    EXPECT_FLOAT_EQ(object->animState().x, 10);
    scene.update(0.5f);
    EXPECT_FLOAT_EQ(object->animState().x, 20);  // last key reached this frame
    EXPECT_TRUE(object->animLines.empty());
    EXPECT_EQ(queue.callStrings(), (Strings{"arrived"}));
    scene.update(0.25f);
    EXPECT_FLOAT_EQ(object->animState().x, 0);
    EXPECT_EQ(queue.calls.size(), 1u);
}

TEST_F(AnimLineTest, EveryTypeDrivesItsProperty) {
    // Each line is a single key, so its values apply at once.
    const float one[] = {0, 0.5f};
    const float two[] = {0, 0.5f, 3};
    const float three[] = {0, 0.2f, 0.4f, 2};
    for (int type = 0; type < 15; ++type) {
        const int n = nE_AnimLine::valuesForType(type);
        const float* numbers = n == 1 ? one : n == 2 ? two : three;
        nE_Scene::addAnimLine(object, type, false, false, "", numbers, n + 1);
    }
    scene.update(0.1f);
    const nE_RenderState& s = object->localState();
    EXPECT_FLOAT_EQ(s.x, 0.5f);  // type 3 ran after 0: x, y = 0.5, 3
    EXPECT_FLOAT_EQ(s.y, 3);
    EXPECT_FLOAT_EQ(s.z, 0.5f);
    EXPECT_FLOAT_EQ(s.scaleX, 0.5f);
    EXPECT_FLOAT_EQ(s.scaleY, 3);
    EXPECT_FLOAT_EQ(s.angle, 0.5f);
    EXPECT_FLOAT_EQ(s.alpha, 0.5f);
    EXPECT_FLOAT_EQ(s.red, 0.2f);
    EXPECT_FLOAT_EQ(s.green, 0.4f);
    EXPECT_FLOAT_EQ(s.blue, 1);  // 2 clamped
    EXPECT_FLOAT_EQ(s.tilingX, 0.5f);
    EXPECT_FLOAT_EQ(s.tilingY, 0.5f);
}

TEST_F(AnimLineTest, RelativeTypesAddOrMultiply) {
    object->editLocalState()->x = 100;
    object->editLocalState()->scaleX = 2;
    const float pos[] = {0, 5, 7};
    const float scale[] = {0, 3, 4};
    nE_Scene::addAnimLine(object, 3, true, false, "", pos, 3);
    nE_Scene::addAnimLine(object, 6, true, false, "", scale, 3);
    scene.update(0.1f);
    const nE_RenderState c = object->combinedState(0);
    EXPECT_FLOAT_EQ(c.x, 105);
    EXPECT_FLOAT_EQ(c.y, 7);
    EXPECT_FLOAT_EQ(c.scaleX, 6);
    EXPECT_FLOAT_EQ(c.scaleY, 4);
}

TEST_F(AnimLineTest, MalformedLinesDoNothing) {
    const float keys[] = {0, 1, 1, 2};
    nE_Scene::addAnimLine(object, 0, false, false, "never", keys, 1);   // no whole key
    nE_Scene::addAnimLine(object, 99, false, false, "never", keys, 4);  // no such type
    nE_Scene::addAnimLine(object, 1, false, false, "never", nullptr, 0);
    scene.update(0.5f);
    EXPECT_TRUE(object->animLines.empty());
    EXPECT_FLOAT_EQ(object->localState().x, 0);
    EXPECT_FLOAT_EQ(object->localState().y, 0);
    EXPECT_TRUE(queue.calls.empty());
    nE_Scene::addAnimLine(nullptr, 0, false, false, "", keys, 4);
}

TEST_F(AnimLineTest, BeforeItsFirstKeyALineHoldsTheFirstValues) {
    const float late[] = {0.5f, 10, 1, 20};
    nE_Scene::addAnimLine(object, 0, false, false, "", late, 4);
    scene.update(0.2f);
    EXPECT_FLOAT_EQ(object->localState().x, 10);
    scene.update(0.55f);
    EXPECT_FLOAT_EQ(object->localState().x, 15);
}

TEST_F(AnimLineTest, RemoveTakesTheFirstLineOfTheType) {
    const float keys[] = {0, 0, 1, 10};
    object->appendAnimLine(0, false, std::make_unique<nE_AnimLine>(1, keys, 4, false, "", "spinner"));
    object->appendAnimLine(0, true, std::make_unique<nE_AnimLine>(1, keys, 4, false, "", "spinner"));
    nE_Scene::removeAnimLine(object, 0);
    ASSERT_EQ(object->animLines.size(), 1u);
    EXPECT_TRUE(object->animLines[0].relative);
    EXPECT_FALSE(object->removeAnimLine(5));
}

// --- intersect ---

TEST(SceneIntersect, CornersDecideAndCrossingShapesDoNot) {
    nE_Scene scene;
    auto* a = new nE_Object();
    auto* b = new nE_Object();
    setRect(a, 0, 0, 10, 10);
    setRect(b, 0, 0, 10, 10);
    scene.attach(scene.root(), a);
    scene.attach(scene.root(), b);
    b->editLocalState()->x = 5;
    b->editLocalState()->y = 5;
    EXPECT_TRUE(nE_Scene::intersect(a, b));
    b->editLocalState()->x = 20;
    EXPECT_FALSE(nE_Scene::intersect(a, b));

    // A plus sign: the bars cross but neither holds a corner of the other.
    setRect(a, 0, 4, 10, 2);
    setRect(b, 4, 0, 2, 10);
    b->editLocalState()->x = b->editLocalState()->y = 0;
    EXPECT_FALSE(nE_Scene::intersect(a, b));

    // b wholly inside a: a corner of b lies in a.
    setRect(a, 0, 0, 10, 10);
    setRect(b, 2, 2, 2, 2);
    EXPECT_TRUE(nE_Scene::intersect(a, b));
    EXPECT_TRUE(nE_Scene::intersect(b, a));

    // Placement goes through the parent chain.
    auto* holder = new nE_Object();
    holder->editLocalState()->x = 100;
    scene.attach(scene.root(), holder);
    scene.attach(holder, b);
    EXPECT_FALSE(nE_Scene::intersect(a, b));
    EXPECT_FALSE(nE_Scene::intersect(a, nullptr));
}

TEST(SceneTrees, AttachActivatesUnderTheRootOnlyAndSceneDeathClearsLinks) {
    auto* scene = new nE_Scene();
    EXPECT_TRUE(scene->root()->loaded);
    EXPECT_FALSE(scene->storage()->loaded);
    auto* a = new nE_Object();
    a->name = "a";
    scene->park(a);
    EXPECT_FALSE(a->loaded);
    EXPECT_EQ(a->parent, scene->storage());
    scene->attach(scene->root(), a);
    EXPECT_TRUE(a->loaded);
    scene->attach(nullptr, a);
    EXPECT_EQ(a->parent, scene->root());
    nE_Scene::setHover(a);
    delete scene;
    EXPECT_EQ(nE_Scene::hover(), nullptr);
}

TEST(SceneTrees, TheTopsOfBothTreesCannotBeMoved) {
    nE_Scene scene;
    auto* a = new nE_Object();
    a->name = "a";
    scene.attach(scene.root(), a);
    scene.attach(a, scene.storage());
    scene.attach(scene.storage(), scene.root());
    EXPECT_EQ(scene.storage()->parent, nullptr);
    EXPECT_EQ(scene.root()->parent, nullptr);
    EXPECT_TRUE(scene.root()->loaded);
}
