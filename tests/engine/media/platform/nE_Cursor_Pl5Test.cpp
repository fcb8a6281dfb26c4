// The platform cursor service: entries from files, selection, updating and drawing after the scene.
#include <gtest/gtest.h>

#include "engine/media/nE_ResourceCache.h"
#include "engine/media/platform/nE_Cursor_Pl5.h"
#include "engine/objects/nE_AnimSprite.h"
#include "engine/objects/nE_Sprite.h"
#include "tests/engine/objects/SpriteTestSupport.h"

namespace {

std::string data(const std::string& name) {
    return std::string(HALVERN_TEST_DATA) + "/" + name;
}

// Records drawn textures and the 2-D brackets around them.
class Recorder : public spritetest::DrawRecorder {
public:
    void begin2d() override { ++begins; }
    void end2d() override { ++ends; }
    int begins = 0, ends = 0;
};

class CursorTest : public ::testing::Test {
protected:
    void SetUp() override {
        nE_ResourceCache::create();
        still = cursor.add({data("sprites/hole"), 14, 19, 32512});
        animated = cursor.add({data("cursors/spin"), 0, 0, 32649});
        missing = cursor.add({data("cursors/none"), 0, 0, 0});
    }
    void TearDown() override { nE_ResourceCache::destroy(); }
    nE_AnimSprite* animation() {
        return static_cast<nE_AnimSprite*>(cursor.entries()[animated].object.get());
    }

    nE_Cursor_Pl5 cursor;
    int still = -1, animated = -1, missing = -1;
    Recorder recorder;
};

}  // namespace

TEST_F(CursorTest, EntriesComeFromAnAnimationAnImageOrNothing) {
    EXPECT_EQ(0, still);
    EXPECT_EQ(1, animated);
    EXPECT_EQ(2, missing);
    const auto& entries = cursor.entries();
    ASSERT_TRUE(entries[still].object);
    EXPECT_FALSE(entries[still].animated);
    EXPECT_EQ("spr", entries[still].object->getTypeName());
    EXPECT_FLOAT_EQ(19, entries[still].offsetY);
    ASSERT_TRUE(entries[animated].object);
    EXPECT_TRUE(entries[animated].animated);
    ASSERT_TRUE(animation()->current());
    EXPECT_EQ("DoAnim", animation()->current()->name);
    EXPECT_TRUE(animation()->playing);
    EXPECT_FALSE(entries[missing].object);
    EXPECT_EQ(-1, cursor.currentIndex) << "nothing selected until asked";
}

TEST_F(CursorTest, SelectingTheCurrentCursorDoesNotRestartItsAnimation) {
    cursor.select(animated);
    for (int i = 0; i < 5; ++i) cursor.update(0.1f);
    const int position = animation()->position;
    const float timer = animation()->timer;
    EXPECT_GT(position, 0) << "the animation runs with the cursor's updates";
    cursor.select(animated);
    EXPECT_EQ(position, animation()->position);
    EXPECT_FLOAT_EQ(timer, animation()->timer);
    EXPECT_TRUE(animation()->playing);
}

TEST_F(CursorTest, OutOfRangeSelectionsAreIgnored) {
    cursor.select(still);
    cursor.select(-1);
    cursor.select(3);
    EXPECT_EQ(still, cursor.currentIndex);
}

TEST_F(CursorTest, DrawsTheSelectedCursorAtThePointerPlusItsOffsetInItsOwnBracket) {
    cursor.select(still);
    cursor.setPosition(100, 200);
    cursor.draw(&recorder);
    ASSERT_EQ(1u, recorder.draws.size());
    EXPECT_FLOAT_EQ(114, recorder.draws[0].state.x);
    EXPECT_FLOAT_EQ(219, recorder.draws[0].state.y);
    EXPECT_EQ(1, recorder.begins);
    EXPECT_EQ(1, recorder.ends);
}

TEST_F(CursorTest, HiddenUntilTheNextPosition) {
    cursor.select(still);
    cursor.hidden = true;
    cursor.draw(&recorder);
    EXPECT_TRUE(recorder.draws.empty());
    EXPECT_EQ(0, recorder.begins);
    cursor.setPosition(5, 5);
    EXPECT_FALSE(cursor.hidden);
    cursor.draw(&recorder);
    EXPECT_EQ(1u, recorder.draws.size());
}

TEST_F(CursorTest, ACursorWithoutFilesOrNoSelectionDrawsNothing) {
    cursor.draw(&recorder);
    cursor.select(missing);
    cursor.update(0.1f);
    cursor.draw(&recorder);
    EXPECT_TRUE(recorder.draws.empty());
}

TEST_F(CursorTest, WithSystemCursorsTheDrawnOneIsNeitherDrawnNorUpdated) {
    cursor.select(animated);
    cursor.setUseSystem(true);
    EXPECT_TRUE(cursor.isUsingSystem());
    for (int i = 0; i < 5; ++i) cursor.update(0.1f);
    EXPECT_EQ(0, animation()->position);
    cursor.setPosition(10, 10);
    cursor.draw(&recorder);
    EXPECT_TRUE(recorder.draws.empty());
    cursor.setUseSystem(false);
    cursor.draw(&recorder);
    EXPECT_EQ(1u, recorder.draws.size());
}

TEST(CursorSystemShapes, WindowsIdentifiersMapToSdlShapes) {
    EXPECT_LT(nE_Cursor_Pl5::systemCursorFor(0), 0);
    const int arrow = nE_Cursor_Pl5::systemCursorFor(32512);
    const int hand = nE_Cursor_Pl5::systemCursorFor(32649);
    const int move = nE_Cursor_Pl5::systemCursorFor(32646);
    EXPECT_GE(arrow, 0);
    EXPECT_NE(arrow, hand);
    EXPECT_NE(hand, move);
    EXPECT_NE(arrow, move);
}
