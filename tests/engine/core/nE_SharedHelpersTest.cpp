// The helpers every loader and object shares: attribute reading, path normalisation, the placed-rectangle
// geometry and colour clamping. Each edge here used to be handled (or not) in several copies.
#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>

#include "engine/core/nE_Colour.h"
#include "engine/core/nE_Easing.h"
#include "engine/core/nE_Geometry.h"
#include "engine/core/nE_Path.h"
#include "engine/core/nE_RenderState.h"
#include "engine/core/nE_Xml.h"

TEST(SharedHelpers, AttributesGiveTheFallbackWhenMissingOrNoNumber) {
    tinyxml2::XMLDocument doc;
    ASSERT_EQ(
        tinyxml2::XML_SUCCESS,
        doc.Parse("<e a=\"12px\" b=\"abc\" c=\" -7\" d=\"99999999999\" f=\"0.25\" g=\"nan\" t=\"x\"/>"));
    const tinyxml2::XMLElement* e = doc.RootElement();
    EXPECT_EQ(12, nE_Xml::integer(e, "a"));
    EXPECT_EQ(-1, nE_Xml::integer(e, "b", -1));
    EXPECT_EQ(-7, nE_Xml::integer(e, "c"));
    EXPECT_EQ(std::numeric_limits<int>::max(), nE_Xml::integer(e, "d")) << "held, not undefined";
    EXPECT_EQ(5, nE_Xml::integer(e, "missing", 5));
    EXPECT_FLOAT_EQ(0.25f, nE_Xml::number(e, "f"));
    EXPECT_TRUE(std::isnan(nE_Xml::number(e, "g")));
    EXPECT_FLOAT_EQ(2.f, nE_Xml::number(e, "b", 2.f));
    EXPECT_EQ("x", nE_Xml::text(e, "t"));
    EXPECT_EQ("dflt", nE_Xml::text(e, "missing", "dflt"));
    EXPECT_EQ("", nE_Xml::text(nullptr, "t"));
}

TEST(SharedHelpers, PathsAreNormalisedAndKeptInsideTheirFolder) {
    using P = nE_Path;
    EXPECT_EQ("assets/levels/hall", P::normalise("assets\\levels\\hall"));
    const std::pair<std::string, std::string> inside[] = {{"assets\\levels\\hall", "assets/levels/hall"},
                                                          {"a..b/c", "a..b/c"},
                                                          {"./x", "x"},
                                                          {"x/.../y", "x/.../y"},
                                                          {"a\\..\\x", "x"},
                                                          {"a//b/./c/", "a/b/c"}};
    for (const auto& [name, file] : inside) EXPECT_EQ(file, P::resolve(name, P::kGameFolder, "t")) << name;
    const std::string outside[] = {"/etc/passwd", "\\share\\x", "../x", "a/../../x", "..",
                                   "user:p",      "C:\\x",      "a/..", ".",         std::string("a\0b", 3)};
    for (const std::string& name : outside) EXPECT_EQ("", P::resolve(name, P::kGameFolder, "t")) << name;

    EXPECT_EQ("user:p/q", P::resolve("user:p\\q", P::kGameOrUserFolder, "t"));
    for (const char* name : {"user:../p", "user:/p", "user:", "user:a/../../p", "user:c:/p"})
        EXPECT_EQ("", P::resolve(name, P::kGameOrUserFolder, "t")) << name;

    // Names inside asset files climb only within the top their own file came from.
    EXPECT_EQ("data/sprites/strip", P::resolveBeside("data/cursors/", "../sprites/strip", "t"));
    EXPECT_EQ("/abs/x", P::resolveBeside("/abs/dir/", "../x", "t"));
    EXPECT_EQ("user:b", P::resolveBeside("user:a/", "..\\b", "t"));
    for (const auto& [folder, name] :
         std::initializer_list<std::pair<const char*, const char*>>{{"assets/", "../../x"},
                                                                    {"assets/", "/etc/x"},
                                                                    {"user:a/", "../../b"},
                                                                    {"", "user:x"},
                                                                    {"a/", "C:x"}})
        EXPECT_EQ("", P::resolveBeside(folder, name, "t")) << folder << name;
}

TEST(SharedHelpers, PlacedRectanglesAndPointsTakenBack) {
    nE_RenderState state;
    state.x = 100;
    state.y = 50;
    state.scaleX = 2;
    state.scaleY = 0.5f;
    state.angle = 0.5f;
    const pf::TMat4 m = state.transform();
    const nE_Rect rect{0, 0, 10, 20};
    const pf::TVec2 inside = m.Apply(5, 10);
    const pf::TVec2 outside = m.Apply(11, 10);
    EXPECT_TRUE(nE_Geometry::pointInQuad(inside.x, inside.y, rect, m));
    EXPECT_FALSE(nE_Geometry::pointInQuad(outside.x, outside.y, rect, m));
    float lx = 0, ly = 0;
    ASSERT_TRUE(nE_Geometry::toLocal(m, inside.x, inside.y, lx, ly));
    EXPECT_NEAR(5, lx, 1e-4);
    EXPECT_NEAR(10, ly, 1e-4);

    nE_RenderState flat;
    flat.scaleY = 0;
    float inv[6] = {9, 9, 9, 9, 9, 9};
    EXPECT_FALSE(nE_Geometry::invertAffine(flat.transform(), inv)) << "a collapsed matrix";
    EXPECT_EQ(9, inv[0]);
    EXPECT_FALSE(nE_Geometry::pointInQuad(0, 0, nE_Rect{}, pf::TMat4::Identity()))
        << "an empty rectangle holds nothing";
}

TEST(SharedHelpers, ColourChannelsAndCurvesAreHeldWithinRange) {
    EXPECT_EQ(0.f, nE_Easing::clamp01(std::nanf("")));
    EXPECT_EQ(0.f, nE_Easing::clamp01(-2));
    EXPECT_EQ(1.f, nE_Easing::clamp01(7));
    EXPECT_EQ(0.5f, nE_Easing::clamp01(0.5f));
    for (float (*curve)(float) : {nE_Easing::sineIn, nE_Easing::sineOut, nE_Easing::sineInOut}) {
        EXPECT_NEAR(0, curve(0), 1e-6);
        EXPECT_NEAR(1, curve(1), 1e-6);
    }
    EXPECT_EQ(0, nE_Colour::toByte(std::nanf("")));
    EXPECT_EQ(255, nE_Colour::toByte(2));
    EXPECT_EQ(127, nE_Colour::toByte(0.5f)) << "the fraction dropped";
}
