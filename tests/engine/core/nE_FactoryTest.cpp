#include <gtest/gtest.h>

#include "engine/core/nE_Factory.h"
#include "engine/core/nE_Object.h"

TEST(Factory, CreatesRegisteredTypesAndReplacesOnRegisteringAgain) {
    nE_Object* plain = nE_Factory::create("obj");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->getTypeName(), "obj");
    delete plain;
    EXPECT_EQ(nE_Factory::create("no_such_type"), nullptr);

    nE_Factory::registerType("test_thing", [] {
        auto* o = new nE_Object();
        o->name = "first";
        return o;
    });
    nE_Factory::registerType("test_thing", [] {
        auto* o = new nE_Object();
        o->name = "second";
        return o;
    });
    nE_Object* made = nE_Factory::create("test_thing");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->name, "second");
    delete made;
    nE_Factory::registerType("test_thing", nullptr);
    EXPECT_FALSE(nE_Factory::has("test_thing"));
}
