#include "engine/core/nE_AnimLine.h"
#include "engine/media/nE_Texture.h"
#include "engine/script/nE_ObjFunctions.h"
#include "tests/engine/objects/SpriteTestSupport.h"
#include "tests/engine/script/ScriptFunctionsTestSupport.h"
#include "tests/engine/script/ScriptTestFolder.h"

namespace {

using script_test::ScriptFunctionsTest;
using spritetest::data;

class ObjFunctionsTest : public ScriptFunctionsTest {};

TEST_F(ObjFunctionsTest, DeleteThenAttachReloadsTheSpritesTexture) {
    auto* sprite = add<nE_Sprite>("door");
    sprite->setResourceName(data("hole"));
    ASSERT_TRUE(sprite->texture);
    EXPECT_EQ("", run("ObjDelete('door')"));
    EXPECT_EQ(scene().storage(), sprite->parent);
    EXPECT_FALSE(sprite->loaded);
    EXPECT_FALSE(sprite->texture);
    EXPECT_EQ("", run("ObjAttach('door', 'ne_origin')"));
    EXPECT_EQ(scene().root(), sprite->parent);
    EXPECT_TRUE(sprite->loaded);
    ASSERT_TRUE(sprite->texture);
    EXPECT_FLOAT_EQ(16, sprite->texture->width);
}

TEST_F(ObjFunctionsTest, AttachMovesBetweenTreesAndRefusesCycles) {
    nE_Object* room = add("room");
    nE_Object* lamp = add("lamp", room);
    run("ObjDetach('room')");
    EXPECT_FALSE(lamp->loaded);
    run("ObjAttach('room', 'lamp')");
    EXPECT_EQ(scene().storage(), room->parent) << "an object under its own child is refused";
    run("ObjAttach('lamp', 'ne_origin')");
    EXPECT_TRUE(lamp->loaded);
    run("ObjAttach('lamp', 'nobody') ObjAttach('nobody', 'lamp')");
    EXPECT_EQ(scene().root(), lamp->parent);
}

TEST_F(ObjFunctionsTest, TreeTopsStayWhereTheSceneKeepsThem) {
    nE_Object* parked = add("parked", scene().storage());
    run("ObjAttach('ne_origin', 'parked') ObjAttach('ne_storage', 'parked') ObjDelete('ne_origin') "
        "ObjDetach('ne_storage')");
    EXPECT_EQ(nullptr, scene().root()->parent);
    EXPECT_EQ(nullptr, scene().storage()->parent);
    EXPECT_TRUE(parked->children.empty());
}

TEST_F(ObjFunctionsTest, GetWritesEveryKeyAndSetReadsOnlyThoseGiven) {
    auto* sprite = add<nE_Sprite>("door");
    sprite->editLocalState()->x = 12;
    EXPECT_EQ("12", eval("ObjGet('door').pos_x"));
    EXPECT_EQ("1", eval("ObjGet('door').scale_x")) << "defaults too";
    EXPECT_EQ("true", eval("ObjGet('door').visible"));
    EXPECT_EQ("", eval("ObjGet('door').res"));
    EXPECT_EQ("nil", eval("ObjGet('door').frame"));

    script_test::GameFolderAt game;
    run("ObjSet('door', { pos_y = 40, visible = 0, res = '" + game.data("sprites/hole") + "' })");
    EXPECT_FLOAT_EQ(12, sprite->localState().x);
    EXPECT_FLOAT_EQ(40, sprite->localState().y);
    EXPECT_FALSE(sprite->visible);
    ASSERT_TRUE(sprite->texture) << "a new image on a live sprite shows at once";
    EXPECT_FLOAT_EQ(16, sprite->texture->width);
}

TEST_F(ObjFunctionsTest, AnimateBuildsWholeKeysFromTheLeadingNumbers) {
    nE_Object* box = add("box");
    // Type 3 takes three numbers per key: five numbers make one key.
    run("ObjAnimate('box', 3, 0, 0, 'moved', {0, 1, 2, 3, 4})");
    ASSERT_EQ(1u, box->animLines.size());
    EXPECT_EQ(3, box->animLines[0].type);
    EXPECT_EQ(1, box->animLines[0].line->keyCount);
    EXPECT_EQ("moved", box->animLines[0].line->endTrigger);
    EXPECT_EQ("box", box->animLines[0].line->sender);

    // A hole ends the keys; a later line of the type replaces the first.
    run("local k = {0, 10, 1, 20, 2} k[7] = 30 ObjAnimate('box', 3, 1, 1, nil, k)");
    ASSERT_EQ(1u, box->animLines.size());
    EXPECT_EQ(1, box->animLines[0].line->keyCount);
    EXPECT_TRUE(box->animLines[0].line->looped);
    EXPECT_TRUE(box->animLines[0].relative);
    EXPECT_EQ(" ", box->animLines[0].line->endTrigger) << "a space when the end trigger is not a string";

    run("ObjAnimate('box', 0, 0, 0, 'x', {0, 5, 1, 15, 'stop', 9, 9})");
    ASSERT_EQ(2u, box->animLines.size());
    EXPECT_EQ(2, box->animLines[1].line->keyCount);

    run("ObjStopAnimate('box', 3)");
    ASSERT_EQ(1u, box->animLines.size());
    EXPECT_EQ(0, box->animLines[0].type);
}

TEST_F(ObjFunctionsTest, AnimateWithTooFewNumbersOrAnUnknownTypeMovesNothing) {
    nE_Object* box = add("box");
    box->editLocalState()->x = 7;
    run("ObjAnimate('box', 0, 0, 0, '', {0})");
    run("ObjAnimate('box', 99, 0, 0, '', {0, 1, 1, 2})");
    run("ObjAnimate('box', -1, 0, 0, '', {0, 1, 1, 2})");
    run("ObjAnimate('box', 0, 0, 0, '', 'not a table')");
    for (int i = 0; i < 3; ++i) scene().update(0.5f);
    EXPECT_FLOAT_EQ(7, box->localState().x);
    EXPECT_TRUE(box->animLines.empty()) << "lines without keys are finished at once";
}

TEST_F(ObjFunctionsTest, AnimatedLineMovesTheObjectAndQueuesItsEndTrigger) {
    nE_Object* box = add("box");
    trigger("arrived", "arrived_by = ne_params.sender");
    run("ObjAnimate('box', 3, 0, 0, 'arrived', {0, 0, 0, 1, 100, 50})");
    scene().update(0.5f);
    EXPECT_FLOAT_EQ(50, box->localState().x);
    EXPECT_FLOAT_EQ(25, box->localState().y);
    scene().update(0.5f);
    core->triggerHub().runQueue();
    EXPECT_FLOAT_EQ(100, box->localState().x);
    EXPECT_EQ("box", eval("arrived_by"));
}

}  // namespace
