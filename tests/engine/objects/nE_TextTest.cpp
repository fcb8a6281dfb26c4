// The text object: string-table lookups, rendering only on change, alignment anchoring, properties.
#include <gtest/gtest.h>
#include <tinyxml2.h>

#include "engine/core/nE_StringTable.h"
#include "engine/media/nE_Font.h"
#include "engine/media/nE_ResourceCache.h"
#include "engine/media/nE_Texture.h"
#include "engine/objects/nE_Text.h"
#include "engine/script/nE_SLHelper_XML.h"
#include "tests/engine/objects/SpriteTestSupport.h"
#include "tests/engine/script/ScriptTestFolder.h"

namespace {

// The bundled font as the game names it, with the source tree as the game folder.
const std::string kFontName = "assets/fonts/DejaVuSans";

class TextTest : public ::testing::Test {
protected:
    script_test::GameFolderAt game;
    void SetUp() override {
        nE_ResourceCache::create();
        strings.entries["greet"] = "Hello %1% and %2%!";
        strings.entries["plain"] = "Plain";
        nE_StringTable::setCurrent(&strings);
    }
    void TearDown() override {
        nE_StringTable::setCurrent(nullptr);
        nE_ResourceCache::destroy();
    }
    // A loaded text with the bundled font.
    nE_Text& loaded(const std::string& key, bool raw = false) {
        text.resourceName = kFontName;
        text.rawText = raw;
        text.text = key;
        text.activate();
        return text;
    }
    void loadXml(const std::string& attributes) {
        tinyxml2::XMLDocument doc;
        ASSERT_EQ(tinyxml2::XML_SUCCESS, doc.Parse(("<text " + attributes + "/>").c_str()));
        nE_SLHelper_XML helper(doc.RootElement());
        text.loadProperties(helper);
    }
    float blockWidth() const { return text.textTexture ? text.textTexture->width : 0; }

    nE_StringTable strings;
    nE_Text text;
};

}  // namespace

TEST_F(TextTest, KeysAreLookedUpWithTheirParametersAndMissingKeysShowHashes) {
    loaded("greet");
    text.setText("greet", "Ann", "Bob");
    EXPECT_EQ("Hello Ann and Bob!", text.displayedString());
    text.setText("no_such_key");
    EXPECT_EQ("#####", text.displayedString());
    ASSERT_TRUE(text.textTexture);
}

TEST_F(TextTest, RawTextIsShownAsWrittenPercentSignsIncluded) {
    loaded("50% off %1%", true);
    EXPECT_EQ("50% off %1%", text.displayedString());
    nE_StringTable::setCurrent(nullptr);
    text.rawText = false;
    EXPECT_EQ("50% off %1%", text.displayedString()) << "without a table the text is shown itself";
}

TEST_F(TextTest, SetTextRendersOnlyWhenOneOfTheSixStringsChanges) {
    loaded("greet");
    text.setText("greet", "Ann");
    const std::shared_ptr<nE_Texture> first = text.textTexture;
    ASSERT_TRUE(first);
    text.setText("greet", "Ann");
    EXPECT_EQ(first, text.textTexture);
    text.setText("greet", "Ann", "", "", "", "x");
    EXPECT_NE(first, text.textTexture);
}

TEST_F(TextTest, TheBlockIsAnchoredOnThePositionByTheAlignment) {
    loaded("plain");
    spritetest::DrawRecorder recorder;
    nE_RenderState world;
    for (int align : {0, 1, 2}) {
        text.align = align;
        text.render();
        const float w = blockWidth();
        ASSERT_GT(w, 0);
        const nE_Rect rect = text.getLocalRect();
        const float wantLeft = align == 0 ? 0 : align == 1 ? -w / 2 : -w;
        EXPECT_FLOAT_EQ(wantLeft, rect.x) << "align " << align;
        EXPECT_FLOAT_EQ(w, rect.w);
        // Clicks land on the drawn block.
        EXPECT_FLOAT_EQ(rect.x, text.inputRect.x) << "align " << align;
        recorder.draws.clear();
        text.drawSelf(&recorder, world);
        ASSERT_EQ(1u, recorder.draws.size());
        EXPECT_FLOAT_EQ(wantLeft + w / 2, recorder.draws[0].state.drawOffsetX) << "align " << align;
        EXPECT_EQ(text.textTexture, recorder.draws[0].texture);
    }
}

TEST_F(TextTest, ThreeWrappedLinesAtSizeTwentyMakeABlockSeventyHigh) {
    loaded("one two three", true);
    nE_Font& font = *text.font;
    nE_Font::Canvas probe;
    ASSERT_TRUE(font.renderCanvas("three ", 20, 0, 0, probe));
    text.maxWidth = probe.width;  // wider than each word, narrower than any two
    text.render();
    ASSERT_TRUE(text.textTexture);
    EXPECT_EQ(70.f, text.textTexture->height);
    EXPECT_FLOAT_EQ(70.f, text.getLocalRect().h);
}

TEST_F(TextTest, PropertiesRenderAgainAndSaveBack) {
    loaded("plain");
    const std::shared_ptr<nE_Texture> before = text.textTexture;
    loadXml("pos_x='3'");
    EXPECT_EQ(before, text.textTexture) << "a key that does not shape the text does not render";
    loadXml("fontsize='40' align='2' maxwidth='300' disprawtext='1' text='Raw %'");
    EXPECT_NE(before, text.textTexture);
    EXPECT_EQ(40, text.fontSize);
    EXPECT_EQ(2, text.align);
    EXPECT_EQ(300, text.maxWidth);
    EXPECT_TRUE(text.rawText);
    EXPECT_EQ(60.f, text.textTexture->height) << "one line at size 40: 40 + 20";

    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* element = doc.NewElement("text");
    doc.InsertEndChild(element);
    nE_SLHelper_XML out(element);
    text.saveProperties(out);
    EXPECT_STREQ(kFontName.c_str(), element->Attribute("res"));
    EXPECT_STREQ("Raw %", element->Attribute("text"));
    EXPECT_EQ(40, element->IntAttribute("fontsize"));
    EXPECT_EQ(2, element->IntAttribute("align"));
    EXPECT_EQ(300, element->IntAttribute("maxwidth"));
    EXPECT_TRUE(element->BoolAttribute("disprawtext"));

    nE_Text copy;
    nE_SLHelper_XML in(element);
    copy.loadProperties(in);
    EXPECT_EQ("Raw %", copy.text);
    EXPECT_EQ(40, copy.fontSize);
    EXPECT_EQ(kFontName, copy.resourceName);
}

TEST_F(TextTest, AMissingFontIsReportedDrawsNothingAndKeepsTheInputRectangle) {
    text.resourceName = "fonts/none";
    text.text = "plain";
    text.inputRect = nE_Rect{1, 2, 3, 4};
    testing::internal::CaptureStdout();
    text.activate();
    EXPECT_NE(std::string::npos,
              testing::internal::GetCapturedStdout().find("nE_Font::Could not find \"fonts/none\" file!"));
    EXPECT_FALSE(text.textTexture);
    EXPECT_FLOAT_EQ(3, text.inputRect.w);
    spritetest::DrawRecorder recorder;
    nE_RenderState world;
    text.drawSelf(&recorder, world);
    EXPECT_TRUE(recorder.draws.empty());
    const nE_Rect rect = text.getLocalRect();
    EXPECT_EQ(0.f, rect.w);
}

TEST_F(TextTest, AnExplicitInputRectangleIsLeftAlone) {
    text.inputRectSet = true;
    text.inputRect = nE_Rect{-1, -1, 2, 2};
    loaded("plain");
    EXPECT_FLOAT_EQ(2, text.inputRect.w);
}

TEST_F(TextTest, UnloadDropsTheTextureAndADeviceLossRendersAgain) {
    loaded("plain");
    const std::shared_ptr<nE_Texture> before = text.textTexture;
    text.restoreDeviceResources(true);
    ASSERT_TRUE(text.textTexture);
    EXPECT_NE(before, text.textTexture);
    EXPECT_EQ(text.font, text.getResource());
    text.deactivate();
    EXPECT_FALSE(text.textTexture);
    EXPECT_FALSE(text.font);
    text.restoreDeviceResources(true);
    EXPECT_FALSE(text.textTexture) << "nothing to render without a font";
}

TEST_F(TextTest, ResetAndFindText) {
    text.name = "label";
    text.fontSize = 33;
    text.maxWidth = 12;
    text.rawText = true;
    text.align = 0;
    text.resetState();
    EXPECT_EQ(20, text.fontSize);
    EXPECT_EQ(-1, text.maxWidth);
    EXPECT_FALSE(text.rawText);
    EXPECT_EQ(1, text.align);
    EXPECT_EQ("text", text.getTypeName());

    text.text = "menu_title";
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* node = doc.NewElement("found");
    doc.InsertEndChild(node);
    text.findText(node, "title", true);
    ASSERT_TRUE(node->FirstChildElement("label"));
    EXPECT_STREQ("misc", node->FirstChildElement("label")->Attribute("place"));
    text.findText(node, "absent", true);
    EXPECT_EQ(node->FirstChildElement("label"), node->LastChildElement("label"));
}
