#include <gtest/gtest.h>
#include <tinyxml2.h>

#include "engine/core/nE_AnimLine.h"
#include "engine/core/nE_Object.h"
#include "engine/script/nE_SLHelper_Lua.h"
#include "engine/script/nE_SLHelper_XML.h"
#include "tests/engine/script/ScriptTestSupport.h"

using script_test::eval;

namespace {

std::string print(const tinyxml2::XMLNode* node) {
    tinyxml2::XMLPrinter printer(nullptr, true);
    node->Accept(&printer);
    return printer.CStr();
}

std::string saved(nE_Object& object, bool skipDefaults) {
    tinyxml2::XMLDocument doc;
    return print(nE_SLHelper_XML::save(object, doc, true, skipDefaults));
}

std::unique_ptr<nE_Object> built(const std::string& text) {
    tinyxml2::XMLDocument doc;
    EXPECT_EQ(doc.Parse(text.c_str()), tinyxml2::XML_SUCCESS) << text;
    return nE_SLHelper_XML::build(doc.RootElement());
}

// An object whose every base property differs from its default.
void fillEveryProperty(nE_Object& o) {
    o.name = "full";
    o.editLocalState()->x = 1.5f;
    o.editLocalState()->y = -2;
    o.editLocalState()->z = 0.25f;
    o.editLocalState()->angle = 0.1f;
    o.editLocalState()->scaleX = 2;
    o.editLocalState()->scaleY = 3;
    o.editLocalState()->alpha = 0.5f;
    o.editLocalState()->red = 0.25f;
    o.editLocalState()->green = 0.75f;
    o.editLocalState()->blue = 0;
    o.editLocalState()->blendMode = 2;
    o.setAttachType(3);
    o.active = false;
    o.input = false;
    o.visible = false;
    o.drag = true;
    o.realDrag = true;
    o.inputRectSet = true;
    o.inputRect = {1, 2, 30, 40};
    o.cropRectSet = true;
    o.cropRect = {5, 6, 70, 80};
    o.editLocalState()->drawOffsetX = 4;
    o.editLocalState()->drawOffsetY = 1e6f;
    o.editLocalState()->tilingX = 2;
    o.editLocalState()->tilingY = 0.5f;
    for (int i = 0; i < nE_Object::kEventCount; ++i) o.eventTriggers[i] = "t" + std::to_string(i) + "(x)";
}

const char* const kFullXml =
    "<obj name=\"full\" pos_x=\"1.5\" pos_y=\"-2\" pos_z=\"0.25\" ang=\"0.1\" scale_x=\"2\" scale_y=\"3\" "
    "alp=\"0.5\" color_r=\"0.25\" color_g=\"0.75\" color_b=\"0\" blendmode=\"2\" attachtype=\"3\" "
    "active=\"0\" "
    "input=\"0\" visible=\"0\" drag=\"1\" realdrag=\"1\" inputrect_init=\"1\" inputrect_x=\"1\" "
    "inputrect_y=\"2\" inputrect_w=\"30\" inputrect_h=\"40\" croprect_init=\"1\" croprect_x=\"5\" "
    "croprect_y=\"6\" croprect_w=\"70\" croprect_h=\"80\" drawoff_x=\"4\" drawoff_y=\"1e+06\" tiling_x=\"2\" "
    "tiling_y=\"0.5\" event_mdown=\"t0(x)\" event_mup=\"t1(x)\" event_menter=\"t2(x)\" "
    "event_mleave=\"t3(x)\" "
    "event_menter_drag=\"t4(x)\" event_mleave_drag=\"t5(x)\" event_dragdrop=\"t6(x)\" event_drag=\"t7(x)\"/>";

}  // namespace

TEST(SLHelperXml, FreshObjectSavesOnlyItsName) {
    nE_Object o;
    o.name = "A";
    EXPECT_EQ(saved(o, true), "<obj name=\"A\"/>");
}

TEST(SLHelperXml, WithoutSkippingEveryDefaultIsWrittenButNoUnsetRectangle) {
    nE_Object o;
    o.name = "A";
    EXPECT_EQ(
        saved(o, false),
        "<obj name=\"A\" pos_x=\"0\" pos_y=\"0\" pos_z=\"0\" ang=\"0\" scale_x=\"1\" scale_y=\"1\" alp=\"1\" "
        "color_r=\"1\" color_g=\"1\" color_b=\"1\" blendmode=\"0\" attachtype=\"0\" active=\"1\" input=\"1\" "
        "visible=\"1\" drag=\"0\" realdrag=\"0\" inputrect_init=\"0\" croprect_init=\"0\" drawoff_x=\"0\" "
        "drawoff_y=\"0\" tiling_x=\"1\" tiling_y=\"1\" event_mdown=\"\" event_mup=\"\" event_menter=\"\" "
        "event_mleave=\"\" event_menter_drag=\"\" event_mleave_drag=\"\" event_dragdrop=\"\" "
        "event_drag=\"\"/>");
}

TEST(SLHelperXml, EveryBasePropertyRoundTrips) {
    nE_Object o;
    fillEveryProperty(o);
    EXPECT_EQ(saved(o, true), kFullXml);
    EXPECT_EQ(saved(o, false), kFullXml);  // nothing is at its default

    std::unique_ptr<nE_Object> back = built(kFullXml);
    ASSERT_TRUE(back);
    EXPECT_EQ(saved(*back, true), kFullXml);
    EXPECT_FLOAT_EQ(back->localState().angle, 0.1f);
    EXPECT_EQ(back->inputRect.w, 30);
    EXPECT_EQ(back->eventTriggers[nE_Object::kEventDrop], "t6(x)");

    // A default-valued object read with every key written keeps its defaults.
    nE_Object plain;
    plain.name = "A";
    std::unique_ptr<nE_Object> plainBack = built(saved(plain, false));
    EXPECT_EQ(saved(*plainBack, true), "<obj name=\"A\"/>");
}

TEST(SLHelperXml, LoadingLeavesUnmentionedPropertiesAlone) {
    tinyxml2::XMLDocument doc;
    doc.Parse("<obj pos_x=\"7\" inputrect_x=\"99\"/>");
    nE_Object o;
    o.name = "kept";
    o.visible = false;
    o.inputRect.x = 3;
    nE_SLHelper_XML helper(doc.RootElement());
    o.loadProperties(helper);
    EXPECT_EQ(o.name, "kept");
    EXPECT_FALSE(o.visible);
    EXPECT_EQ(o.localState().x, 7);
    // The rectangle is read only when its flag says so.
    EXPECT_EQ(o.inputRect.x, 3);
}

TEST(SLHelperXml, ValueEncodings) {
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* e = doc.NewElement("e");
    doc.InsertEndChild(e);
    nE_SLHelper_XML helper(e, true);
    helper.writeFloat("f", 0.1f);
    helper.writeFloat("big", 1e6f);
    helper.writeVec2("v2", 1.5f, -2);
    helper.writeVec3("v3", 1, 2, 3);
    helper.writeInt("i", -7);
    helper.writeUInt("u", 4000000000u);
    helper.writeBool("b", true);
    helper.writeInt("skipped", 4, 4);
    helper.writeString("s_skipped", "x", "x");
    EXPECT_EQ(
        print(e),
        "<e f=\"0.1\" big=\"1e+06\" v2=\"1.500000;-2.000000\" v3=\"1.000000;2.000000;3.000000\" i=\"-7\" "
        "u=\"4000000000\" b=\"1\"/>");

    float x = 0, y = 0, z = 0;
    EXPECT_TRUE(helper.readVec3("v3", x, y, z));
    EXPECT_EQ(z, 3);
    EXPECT_TRUE(helper.readVec2("v2", x, y));
    EXPECT_EQ(x, 1.5f);
    unsigned u = 0;
    EXPECT_TRUE(helper.readUInt("u", u));
    EXPECT_EQ(u, 4000000000u);
    int i = 1;
    EXPECT_FALSE(helper.readInt("missing", i));
    EXPECT_EQ(i, 1);

    // Wrong or huge text reads as the C conversions would, without overflow.
    e->SetAttribute("junk", "abc");
    e->SetAttribute("huge", "99999999999999999999");
    float f = 5;
    EXPECT_TRUE(helper.readFloat("junk", f));
    EXPECT_EQ(f, 0);
    EXPECT_TRUE(helper.readInt("huge", i));
    EXPECT_EQ(i, INT_MAX);
    bool b = false;
    EXPECT_TRUE(helper.readBool("v2", b));
    EXPECT_TRUE(b);
}

TEST(SLHelperXml, NestingNeverLeavesTheObjectsElement) {
    tinyxml2::XMLDocument doc;
    doc.Parse("<outer><e><c/><c n=\"1\"/></e></outer>");
    tinyxml2::XMLElement* e = doc.RootElement()->FirstChildElement("e");
    nE_SLHelper_XML helper(e, true);
    EXPECT_FALSE(helper.enterChild("c", 2));
    EXPECT_FALSE(helper.enterChild("c", -1));
    EXPECT_EQ(helper.current(), e);
    ASSERT_TRUE(helper.enterChild("c", 1));
    int n = 0;
    EXPECT_TRUE(helper.readInt("n", n));
    EXPECT_EQ(n, 1);
    helper.leaveChild();
    helper.leaveChild();
    helper.endChild();
    EXPECT_EQ(helper.current(), e);
    helper.writeInt("after", 1);
    EXPECT_EQ(print(doc.RootElement()), "<outer><e after=\"1\"><c/><c n=\"1\"/></e></outer>");
}

TEST(SLHelperXml, AnimationLinesNestAndRoundTrip) {
    const std::string text =
        "<obj name=\"fader\"><animlines>"
        "<line type=\"8\" looped=\"0\" relative=\"0\" endtrig=\"\" numpoints=\"2\" curtime=\"0\">"
        "<data val=\"0\"/><data val=\"1\"/><data val=\"1.5\"/><data val=\"0\"/></line>"
        "<line type=\"12\" looped=\"1\" relative=\"1\" endtrig=\"done(x)\" numpoints=\"1\" curtime=\"0.25\">"
        "<data val=\"0\"/><data val=\"0.5\"/><data val=\"0.25\"/><data val=\"1\"/></line>"
        "</animlines><obj name=\"child\"/></obj>";
    std::unique_ptr<nE_Object> o = built(text);
    ASSERT_TRUE(o);
    ASSERT_EQ(o->animLines.size(), 2u);
    EXPECT_EQ(o->animLines[0].type, 8);
    EXPECT_FALSE(o->animLines[0].relative);
    const nE_AnimLine& fade = *o->animLines[0].line;
    EXPECT_EQ(fade.keyCount, 2);
    EXPECT_EQ(fade.keys[1].time, 1.5f);
    EXPECT_EQ(fade.sender, "fader");
    const nE_AnimLine& colour = *o->animLines[1].line;
    EXPECT_TRUE(colour.looped);
    EXPECT_TRUE(o->animLines[1].relative);
    EXPECT_EQ(colour.endTrigger, "done(x)");
    EXPECT_EQ(colour.currentTime, 0.25f);
    EXPECT_EQ(colour.keys[0].value[2], 1.0f);
    // "animlines" is not an object type: the only child object is "child".
    ASSERT_EQ(o->children.size(), 1u);
    EXPECT_EQ(o->children[0]->name, "child");
    EXPECT_EQ(saved(*o, true), text);
}

TEST(SLHelperXml, LinesWithMissingDataKeepTheKeysThatAreThere) {
    std::unique_ptr<nE_Object> o = built(
        "<obj name=\"a\"><animlines>"
        "<line type=\"3\" numpoints=\"3\"><data val=\"0\"/><data val=\"1\"/><data val=\"2\"/>"
        "<data val=\"1\"/><data val=\"5\"/></line>"
        "<line type=\"0\" numpoints=\"2000000000\"><data val=\"0\"/><data val=\"4\"/></line>"
        "<line type=\"0\" numpoints=\"-5\"/>"
        "<line type=\"77\" numpoints=\"2\"><data val=\"0\"/></line>"
        "</animlines></obj>");
    ASSERT_TRUE(o);
    ASSERT_EQ(o->animLines.size(), 4u);
    EXPECT_EQ(o->animLines[0].line->keyCount, 1);
    EXPECT_EQ(o->animLines[0].line->keys[0].value[1], 2.0f);
    EXPECT_EQ(o->animLines[1].line->keyCount, 1);
    EXPECT_EQ(o->animLines[2].line->keyCount, 0);
    // Empty lines and lines of unknown types are finished and do nothing.
    EXPECT_TRUE(o->animLines[2].line->finished);
    EXPECT_TRUE(o->animLines[3].line->finished);
}

TEST(SLHelperXml, UnknownTypesBuildNothing) {
    EXPECT_FALSE(built("<nosuchtype name=\"x\"><obj name=\"y\"/></nosuchtype>"));
    std::unique_ptr<nE_Object> o =
        built("<obj name=\"p\"><bogus><obj name=\"lost\"/></bogus><obj name=\"kept\"/></obj>");
    ASSERT_TRUE(o);
    ASSERT_EQ(o->children.size(), 1u);
    EXPECT_EQ(o->children[0]->name, "kept");
    EXPECT_FALSE(nE_SLHelper_XML::build(nullptr));
}

TEST(SLHelperLua, SavingWritesEveryKeyWithDefaults) {
    script_test::LuaState lua;
    nE_Object o;
    o.name = "A";
    o.editLocalState()->x = 12;
    lua_newtable(lua);
    nE_SLHelper_Lua helper(lua);
    o.saveProperties(helper);
    lua_setglobal(lua, "t");
    EXPECT_EQ(eval(lua, "t.name"), "A");
    EXPECT_EQ(eval(lua, "t.pos_x"), "12");
    EXPECT_EQ(eval(lua, "t.scale_y"), "1");
    EXPECT_EQ(eval(lua, "t.visible"), "true");
    EXPECT_EQ(eval(lua, "t.drag"), "false");
    EXPECT_EQ(eval(lua, "t.event_mdown"), "");
    EXPECT_EQ(eval(lua, "t.inputrect_x"), "nil");
    EXPECT_EQ(eval(lua, "t.blendmode"), "0");
    EXPECT_EQ(lua_gettop(lua), 0);
}

TEST(SLHelperLua, LinesAreWrittenFlatAndNotRead) {
    script_test::LuaState lua;
    std::unique_ptr<nE_Object> o = built(
        "<obj name=\"a\"><animlines><line type=\"0\" numpoints=\"2\" endtrig=\"e\"><data val=\"0\"/>"
        "<data val=\"1\"/><data val=\"2\"/><data val=\"3\"/></line></animlines></obj>");
    lua_newtable(lua);
    nE_SLHelper_Lua helper(lua);
    o->saveProperties(helper);
    o->loadProperties(helper);
    lua_setglobal(lua, "t");
    EXPECT_EQ(eval(lua, "t.val"), "3");
    EXPECT_EQ(eval(lua, "t.numpoints"), "2");
    EXPECT_EQ(eval(lua, "t.endtrig"), "e");
    EXPECT_EQ(o->animLines.size(), 1u);
}

TEST(SLHelperLua, LoadingReadsPresentKeysOnly) {
    script_test::LuaState lua;
    script_test::run(lua,
                     "t = { pos_y = 5, visible = 0, drag = true, input = '0', name = {}, alp = 'x', "
                     "inputrect_init = 1, inputrect_w = 9, v = { 1, 2, 3 } }");
    lua_getglobal(lua, "t");
    nE_Object o;
    o.name = "kept";
    o.editLocalState()->x = 3;
    nE_SLHelper_Lua helper(lua);
    o.loadProperties(helper);
    EXPECT_EQ(o.name, "kept");  // a table has no string form
    EXPECT_EQ(o.localState().x, 3);
    EXPECT_EQ(o.localState().y, 5);
    EXPECT_EQ(o.localState().alpha, 0);  // a non-number converts to 0
    EXPECT_FALSE(o.visible);
    EXPECT_TRUE(o.drag);
    EXPECT_FALSE(o.input);
    EXPECT_TRUE(o.inputRectSet);
    EXPECT_EQ(o.inputRect.w, 9);
    float x = 0, y = 0, z = 0;
    EXPECT_TRUE(helper.readVec3("v", x, y, z));
    EXPECT_EQ(z, 3);
    EXPECT_FALSE(helper.readVec2("pos_y", x, y));
    EXPECT_EQ(lua_gettop(lua), 1);

    // With no table on top the helper finds nothing and writes nothing.
    lua_pushnumber(lua, 1);
    nE_SLHelper_Lua noTable(lua);
    EXPECT_FALSE(noTable.readFloat("pos_y", x));
    noTable.writeFloat("pos_y", 1);
    o.saveProperties(noTable);
    EXPECT_EQ(lua_gettop(lua), 2);
}
