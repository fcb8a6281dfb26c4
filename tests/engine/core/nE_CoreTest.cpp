#include <gtest/gtest.h>

#include "engine/core/nE_Core.h"

extern "C" {
#include <lua.h>
}

#include "engine/core/nE_Object.h"
#include "engine/core/nE_Scene.h"
#include "engine/script/nE_TriggerHub.h"

TEST(Core, CreatedOnFirstUseAndDestroyedWithAllObjects) {
    if (nE_Core::exists()) nE_Core::destroy();  // left by an earlier test in this process
    nE_Core* core = nE_Core::get();
    EXPECT_TRUE(nE_Core::exists());
    EXPECT_EQ(nE_Core::get(), core);
    EXPECT_EQ(core->scene().root()->name, "ne_origin");
    EXPECT_EQ(core->scene().storage()->name, "ne_storage");
    ASSERT_NE(core->lua(), nullptr);
    lua_getglobal(core->lua(), "string");  // the standard libraries are open
    EXPECT_TRUE(lua_istable(core->lua(), -1));
    lua_pop(core->lua(), 1);

    // A hovered object dying with the scene queues its leave call into a hub that is still alive.
    auto* hovered = new nE_Object();
    hovered->eventTriggers[nE_Object::kEventLeave] = "gone";
    core->scene().attach(core->scene().root(), hovered);
    nE_Scene::setHover(hovered);
    nE_Core::destroy();
    EXPECT_FALSE(nE_Core::exists());
    EXPECT_EQ(nE_Scene::hover(), nullptr);
    nE_Core::destroy();  // twice: nothing
}
