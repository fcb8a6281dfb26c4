// The text entry field: what it takes, its length limit, the preset's clearing, Enter, the caret.
#include <gtest/gtest.h>
#include <tinyxml2.h>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Scene.h"
#include "engine/media/nE_Font.h"
#include "engine/media/nE_ResourceCache.h"
#include "engine/script/nE_SLHelper_XML.h"
#include "engine/script/nE_Trigger.h"
#include "engine/script/nE_TriggerHub.h"
#include "game/shell/nG_TextEdit.h"

namespace {

const std::string kFont = std::string(HALVERN_SOURCE_DIR) + "/assets/fonts/DejaVuSans";

class TextEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (nE_Core::exists()) nE_Core::destroy();
        nE_ResourceCache::create();
        core = nE_Core::get();
        field = new nG_TextEdit();
        field->name = "field";
        field->resourceName = kFont;
        field->fontSize = 20;
        core->scene().attach(core->scene().root(), field);
    }
    void TearDown() override {
        nE_Core::destroy();
        nE_ResourceCache::destroy();
    }
    // One key down through the scene, as the player presses it; whether an object took it is not told
    // by the scene, so the field is asked directly.
    bool key(int code) {
        nE_InputEvent event;
        event.type = nE_InputEvent::kKeyDown;
        event.code = code;
        nE_RenderState world;
        return field->handleInput(event, world);
    }
    void type(const std::string& keys) {
        for (char c : keys) key(static_cast<unsigned char>(c));
    }
    bool rightEdgesRise() const {
        for (size_t i = 1; i < field->charRight.size(); ++i)
            if (field->charRight[i] <= field->charRight[i - 1]) return false;
        return field->charRight.size() == nE_Font::decodeUtf8(field->text).size();
    }

    nE_Core* core = nullptr;
    nG_TextEdit* field = nullptr;
};

}  // namespace

TEST_F(TextEditTest, TakesLettersDigitsAndSpacesUpToItsLimit) {
    EXPECT_TRUE(field->rawText) << "typed text is shown as it is";
    EXPECT_EQ(field->getTypeName(), "textedit");
    field->maxChars = 5;
    type("Ab 1!-_z9x");
    EXPECT_EQ(field->text, "Ab 1z") << "spaces are taken, punctuation is not; the sixth character is ignored";
    EXPECT_EQ(field->caretIndex, 5);
    EXPECT_TRUE(rightEdgesRise());
    EXPECT_FALSE(key('!')) << "a refused key is left to others";
    EXPECT_FALSE(key(-100)) << "function keys too";
    EXPECT_TRUE(key('q')) << "a letter past the limit is taken and ignored";
    EXPECT_EQ(field->text, "Ab 1z");

    field->maxChars = 40;
    field->setText(std::string(45, 'a'));
    EXPECT_EQ(field->text.size(), 40u) << "a preset text is cut to the limit";
    EXPECT_EQ(field->caretIndex, 40);
}

TEST_F(TextEditTest, CaretMovesWithinTheTextAndEditsWhereItStands) {
    type("abc");
    const float afterC = field->caretX;
    EXPECT_TRUE(key(nG_TextEdit::kKeyLeft));
    EXPECT_LT(field->caretX, afterC);
    key(nG_TextEdit::kKeyLeft);
    key(nG_TextEdit::kKeyLeft);
    key(nG_TextEdit::kKeyLeft);
    EXPECT_EQ(field->caretIndex, 0) << "clamped at the start";
    EXPECT_TRUE(key(nG_TextEdit::kKeyBackspace)) << "taken, and nothing to remove";
    EXPECT_EQ(field->text, "abc");
    key('X');
    EXPECT_EQ(field->text, "Xabc");
    EXPECT_EQ(field->caretIndex, 1);
    for (int i = 0; i < 9; ++i) key(nG_TextEdit::kKeyRight);
    EXPECT_EQ(field->caretIndex, 4) << "clamped at the end";
    key(nG_TextEdit::kKeyLeft);
    key(nG_TextEdit::kKeyBackspace);
    EXPECT_EQ(field->text, "Xac");
    EXPECT_EQ(field->caretIndex, 2);
    EXPECT_TRUE(rightEdgesRise());
    // The edges after the edits match a fresh measurement of the same text, up to the even rounding of
    // each measured width.
    const std::vector<float> edited = field->charRight;
    field->setText("Xac");
    ASSERT_EQ(field->charRight.size(), edited.size());
    for (size_t i = 0; i < edited.size(); ++i) EXPECT_NEAR(field->charRight[i], edited[i], 3.f) << i;
}

TEST_F(TextEditTest, EnterQueuesItsTriggerAndTheCaretBlinks) {
    EXPECT_TRUE(key(nG_TextEdit::kKeyEnter)) << "taken even without a trigger";
    EXPECT_TRUE(core->triggerHub().queue().empty());
    core->triggerHub().registerTrigger(std::make_unique<nE_Trigger>("done", ""));
    field->enterTrigger = "done";
    key(nG_TextEdit::kKeyEnter);
    ASSERT_EQ(core->triggerHub().queue().size(), 1u);
    EXPECT_EQ(core->triggerHub().queue()[0].sender, "field");

    field->update(0.25f);
    EXPECT_EQ(field->caretAlpha, 1.f);
    field->update(0.5f);
    EXPECT_EQ(field->caretAlpha, 0.f) << "off in the second half second";
    key('a');
    field->update(0.1f);
    EXPECT_EQ(field->caretAlpha, 1.f) << "an edit shows the caret at once";
}

TEST_F(TextEditTest, ThePresetGoesOnTheFirstKeyAndTheFlagIsSaved) {
    tinyxml2::XMLDocument doc;
    ASSERT_EQ(doc.Parse("<textedit text=\"Your name\" clearonfirstinput=\"1\" maxchars=\"8\" "
                        "trg_enter=\"go\"/>"),
              tinyxml2::XML_SUCCESS);
    nE_SLHelper_XML helper(doc.RootElement());
    field->loadProperties(helper);
    EXPECT_EQ(field->text, "Your nam") << "cut to maxchars";
    EXPECT_EQ(field->enterTrigger, "go");
    type("W");
    EXPECT_EQ(field->text, "W") << "the first letter replaces the preset";
    type("ren");
    key(nG_TextEdit::kKeyBackspace);
    EXPECT_EQ(field->text, "Wre") << "later keys edit";

    tinyxml2::XMLDocument saved;
    saved.InsertEndChild(nE_SLHelper_XML::save(*field, saved, false, true));
    const tinyxml2::XMLElement* e = saved.RootElement();
    EXPECT_STREQ(e->Name(), "textedit");
    EXPECT_STREQ(e->Attribute("clearedonfirstinput"), "1");
    EXPECT_STREQ(e->Attribute("maxchars"), "8");
    nG_TextEdit again;
    nE_SLHelper_XML back(const_cast<tinyxml2::XMLElement*>(e));
    again.loadProperties(back);
    EXPECT_TRUE(again.clearedOnFirstInput);
    EXPECT_EQ(again.text, "Wre");
}
