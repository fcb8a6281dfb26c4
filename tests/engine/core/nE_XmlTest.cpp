#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <cmath>
#include <limits>

#include "engine/core/nE_Xml.h"

TEST(Xml, AttributesGiveTheFallbackWhenMissingOrNoNumber) {
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
