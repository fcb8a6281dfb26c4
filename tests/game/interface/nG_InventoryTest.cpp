// The inventory in a running game: items flying in with their pop and sound, the window of seven slots
// and its arrows, dragging out onto the scene and flying back, the complete hide for the task list, the
// saved element, and what bad requests do.
#include <tinyxml2.h>

#include <cmath>

#include "engine/script/nE_SLHelper_XML.h"
#include "game/interface/nG_Cursor.h"
#include "game/interface/nG_SimpleButton.h"
#include "tests/game/interface/WidgetTestSupport.h"

namespace {

using widgettest::WidgetTest;

class InventoryTest : public WidgetTest {
protected:
    // Adds the items one by one without a flight and lets them settle into their slots.
    void addAll(int count) {
        for (int i = 0; i < count; ++i) lua("AddObjectToInv('inv_" + std::to_string(i) + "')");
        frames(1);
    }
    std::string dump() {
        tinyxml2::XMLDocument doc;
        doc.InsertEndChild(inventory()->dumpState(doc));
        tinyxml2::XMLPrinter printer(nullptr, true);
        doc.Accept(&printer);
        return printer.CStr();
    }
};

TEST_F(InventoryTest, AnItemFliesFromTheSceneIntoItsSlotWithAPopAndASound) {
    nE_Object* door = object("a_door");
    lua("AddObjectToInv('inv_a', 'a_door', 'picked')");
    ASSERT_EQ(inventory()->items.size(), 1u);
    const nG_Inventory::Item& a = item(0);
    EXPECT_EQ(a.object->name, "inv_a");
    EXPECT_EQ(a.object->parent, inventory());
    EXPECT_FLOAT_EQ(a.object->localState().alpha, 0);
    EXPECT_FLOAT_EQ(a.object->localState().z, 10);
    ASSERT_NE(a.slotGlow, nullptr);
    EXPECT_EQ(a.slotGlow->name, "inv_a_bg ") << "the slot's glow keeps its trailing blank";
    EXPECT_EQ(a.state, nG_Inventory::kArriving);
    EXPECT_FLOAT_EQ(a.x, -270) << "the first slot of the window";
    ASSERT_EQ(a.flyer, door);
    EXPECT_EQ(door->parent, ng->interface) << "the flyer leaves the room for the interface";
    EXPECT_FLOAT_EQ(door->localState().x, 300);
    EXPECT_FLOAT_EQ(door->localState().y, 300);
    EXPECT_FLOAT_EQ(door->localState().z, 1000);
    EXPECT_FALSE(door->input);

    frames(0.3125f);
    EXPECT_NEAR(door->localState().scaleX, 1.5f, 0.03f) << "the pop peaks at 0.3 s";
    EXPECT_GT(inventory()->slide, 0) << "the strip rises while something arrives";
    frames(0.6875f);
    EXPECT_EQ(item(0).state, nG_Inventory::kAppearing);
    EXPECT_TRUE(soundRequested("assets/audio/common_s_gettoinv")) << "the pick-up sound when it lands";
    EXPECT_NEAR(door->localState().scaleX, 1.f, 0.03f);
    frames(0.25f);
    EXPECT_EQ(eval("picked"), "1") << "the code runs a second later";
    // The last half second the flyer sits on the slot and fades out.
    const pf::TVec2 at = slot(0);
    EXPECT_FLOAT_EQ(door->localState().x, at.x);
    EXPECT_FLOAT_EQ(door->localState().y, at.y);
    EXPECT_NEAR(door->localState().alpha, 0.5f, 0.03f);
    frames(0.3125f);
    EXPECT_EQ(object("a_door"), nullptr) << "the flyer is gone";
    EXPECT_EQ(item(0).flyer, nullptr);
    EXPECT_EQ(item(0).state, nG_Inventory::kResting);
    EXPECT_FLOAT_EQ(item(0).object->localState().scaleX, 0.7f);
    EXPECT_FLOAT_EQ(item(0).object->localState().alpha, 1);
    EXPECT_FLOAT_EQ(item(0).slotGlow->localState().alpha, 1);

    // Nothing more arrives and the pointer is elsewhere: the strip goes back down.
    frames(1);
    EXPECT_EQ(inventory()->mode, nG_Inventory::kSlidingOut);
    EXPECT_FLOAT_EQ(inventory()->slide, 0);
    EXPECT_FLOAT_EQ(inventory()->localState().y, 797);
}

TEST_F(InventoryTest, AnItemAddedAgainIsNotDuplicatedButFliesAndRunsItsCodeAgain) {
    lua("AddObjectToInv('inv_a')");
    EXPECT_EQ(item(0).state, nG_Inventory::kAppearing) << "without a flyer it fades in at once";
    frames(0.5f);
    EXPECT_EQ(item(0).state, nG_Inventory::kResting);
    EXPECT_FALSE(soundRequested("common_s_gettoinv")) << "and without the pick-up sound";

    lua("AddObjectToInv('inv_a', 'a_far', 'picked')");
    ASSERT_EQ(inventory()->items.size(), 1u);
    EXPECT_EQ(item(0).state, nG_Inventory::kArriving);
    EXPECT_EQ(item(0).flyer, object("a_far"));
    frames(1.5f);
    EXPECT_EQ(eval("picked"), "1");
    EXPECT_EQ(object("a_far"), nullptr);
    EXPECT_EQ(item(0).state, nG_Inventory::kResting);
}

TEST_F(InventoryTest, TheWindowHoldsSevenItemsAndScrollsToTheNewest) {
    addAll(7);
    nG_Inventory* inv = inventory();
    EXPECT_EQ(inv->first, 0u);
    EXPECT_EQ(inv->shownCount, 7u);
    for (int i = 0; i < 7; ++i) EXPECT_FLOAT_EQ(item(i).x, -270 + 90.f * i) << i;
    EXPECT_FALSE(inv->leftArrow->input);
    EXPECT_FLOAT_EQ(inv->leftArrow->localState().alpha, 0.4f);
    EXPECT_FALSE(inv->rightArrow->input);

    // The eighth scrolls the window so that it is the last one shown.
    lua("AddObjectToInv('inv_7')");
    EXPECT_EQ(inv->first, 1u);
    EXPECT_EQ(inv->shownCount, 7u);
    EXPECT_TRUE(inv->leftArrow->input);
    EXPECT_FLOAT_EQ(inv->leftArrow->localState().alpha, 1);
    EXPECT_FLOAT_EQ(item(0).toX, -360) << "parked left of the window";
    EXPECT_FLOAT_EQ(item(7).toX, 270);
    frames(1);
    EXPECT_FLOAT_EQ(item(0).x, -360);
    EXPECT_FLOAT_EQ(item(0).object->localState().alpha, 0) << "parked outside, invisible";
    EXPECT_FLOAT_EQ(item(0).object->localState().scaleX, 0);
    EXPECT_FLOAT_EQ(item(0).slotGlow->localState().alpha, 0) << "and so is its slot";

    // The arrows scroll by one item; a click on the left arrow brings the first one back.
    frames(0.5f);
    const pf::TVec2 arrow{inv->localState().x - 350, inv->localState().y + 16};
    press(arrow.x, arrow.y);
    EXPECT_EQ(inv->first, 0u);
    EXPECT_TRUE(inv->rightArrow->input);
    EXPECT_FALSE(inv->leftArrow->input);
    EXPECT_FLOAT_EQ(item(7).toX, 360);
    frames(0.2f);
    EXPECT_GT(item(0).x, -360) << "sliding in";
    EXPECT_LT(item(0).x, -270);
    EXPECT_LT(item(0).object->localState().alpha, 1) << "fading at the window's edge";
    frames(0.25f);
    EXPECT_FLOAT_EQ(item(0).x, -270) << "0.4 s per slide";
    inv->scrollRight();
    EXPECT_EQ(inv->first, 1u);
    inv->scrollRight();
    EXPECT_EQ(inv->first, 1u) << "already at the end";

    // Removing an item while the window shows the end keeps it aligned to the end.
    lua("AddObjectToInv('inv_8')");
    EXPECT_EQ(inv->first, 2u);
    lua("DelObjectFromInv('inv_4')");
    EXPECT_EQ(inv->items.size(), 8u);
    EXPECT_EQ(inv->first, 1u);
    EXPECT_EQ(inv->first + inv->shownCount, 8u);
    EXPECT_EQ(object("inv_4"), nullptr) << "the item is destroyed";
    EXPECT_EQ(object("inv_4_bg "), nullptr) << "with its slot";
    inv->scrollLeft();
    lua("DelObjectFromInv('inv_8')");
    EXPECT_EQ(inv->first, 0u) << "not showing the end: the window stays";
}

TEST_F(InventoryTest, AWindowOfOneWideItemSpreadsWithoutAGap) {
    addAll(2);
    inventory()->items[0].width = 400;
    inventory()->items[1].width = 400;
    inventory()->first = 0;
    inventory()->shownCount = inventory()->fit(0);
    EXPECT_EQ(inventory()->shownCount, 1u);
    inventory()->layout();
    EXPECT_FLOAT_EQ(item(0).toX, -115) << "one visible item, more following: no division by zero";
    EXPECT_TRUE(inventory()->rightArrow->input);
}

TEST_F(InventoryTest, ADraggedItemThatNothingTakesFliesBackInATimeThatGrowsWithTheDistance) {
    lua("AddObjectToInv('inv_a')");
    frames(1.5f);
    nE_Object* a = item(0).object;
    // Over the strip it rises; at rest its slot is at the bottom of the screen.
    EXPECT_FLOAT_EQ(inventory()->localState().y, 797);
    pointer(slot(0).x, 790);
    frames(1);
    EXPECT_EQ(inventory()->mode, nG_Inventory::kSlidingIn);
    EXPECT_FLOAT_EQ(inventory()->localState().y, 711);
    const pf::TVec2 home = slot(0);

    pointer(home.x, home.y);
    frames(0.25f);
    EXPECT_EQ(item(0).state, nG_Inventory::kHovered) << "pointed at, it grows";
    EXPECT_FLOAT_EQ(a->localState().scaleX, 0.8f);

    send(nE_InputEvent::kButtonDown, home.x, home.y);
    send(nE_InputEvent::kButtonUp, home.x, home.y);
    EXPECT_EQ(nE_Scene::dragged(), a);
    tick(0);
    EXPECT_EQ(item(0).state, nG_Inventory::kDragStart);
    EXPECT_EQ(a->parent, ng->interface) << "lifted out of the strip";
    EXPECT_FLOAT_EQ(a->localState().z, 2000);
    EXPECT_FALSE(a->input);
    EXPECT_EQ(cursor.kinds.back(), nG_Cursor::kNull) << "the item is the pointer";
    EXPECT_EQ(inventory()->draggedItem, a);

    pointer(700, 200);
    frames(0.5f);
    EXPECT_EQ(item(0).state, nG_Inventory::kDragging);
    EXPECT_FLOAT_EQ(a->localState().x, 700);
    EXPECT_FLOAT_EQ(a->dragPosition().x, 700);
    EXPECT_FLOAT_EQ(a->localState().scaleX, 1);
    EXPECT_FLOAT_EQ(item(0).slotGlow->localState().alpha, 0);

    // Dropped where nothing takes it: its trigger runs, it flies home.
    send(nE_InputEvent::kButtonDown, 700, 200);
    tick(1.f / 64);
    EXPECT_EQ(eval("uses"), "1");
    EXPECT_EQ(eval("applied"), "nil");
    EXPECT_EQ(item(0).state, nG_Inventory::kReturning);
    EXPECT_EQ(cursor.kinds.back(), nG_Cursor::kDefault);
    const float far = item(0).returnTime;
    const float distance = std::hypot(700 - item(0).dragStartX, 200 - item(0).dragStartY);
    EXPECT_NEAR(far, distance / 1500 + 0.2f, 0.01f);
    frames(far + 0.05f);
    EXPECT_EQ(item(0).state, nG_Inventory::kResting);
    EXPECT_EQ(a->parent, inventory()) << "back in its slot";
    EXPECT_TRUE(a->input);
    EXPECT_FLOAT_EQ(a->localState().z, 10);
    EXPECT_EQ(inventory()->draggedItem, nullptr);

    // A shorter way home takes less time.
    pointer(slot(0).x, slot(0).y);
    send(nE_InputEvent::kButtonDown, slot(0).x, slot(0).y);
    frames(0.5f);
    pointer(slot(0).x + 150, slot(0).y - 100);
    frames(0.25f);
    send(nE_InputEvent::kButtonDown, slot(0).x + 150, slot(0).y - 100);
    tick(1.f / 64);
    EXPECT_EQ(item(0).state, nG_Inventory::kReturning);
    EXPECT_LT(item(0).returnTime, far);
    EXPECT_GE(item(0).returnTime, 0.2f);
}

TEST_F(InventoryTest, AnItemDroppedOnItsTargetIsUsedAndOneDroppedOnADeletedTargetComesBack) {
    lua("AddObjectToInv('inv_a'); AddObjectToInv('inv_b')");
    frames(1.5f);
    pointer(slot(0).x, 790);
    frames(1);
    pointer(slot(0).x, slot(0).y);
    send(nE_InputEvent::kButtonDown, slot(0).x, slot(0).y);
    frames(0.25f);
    pointer(300, 300);
    frames(0.5f);
    send(nE_InputEvent::kButtonDown, 300, 300);
    tick(1.f / 64);
    EXPECT_EQ(eval("applied"), "1") << "on the door: its trigger uses it";
    ASSERT_EQ(inventory()->items.size(), 1u);
    EXPECT_EQ(item(0).object->name, "inv_b");
    EXPECT_EQ(nE_Scene::dragged(), nullptr);
    frames(0.1f);
    EXPECT_EQ(cursor.kinds.back(), nG_Cursor::kDefault) << "the pointer is back";

    // The target goes while the item is on its way to it: the drop finds nothing and it flies back.
    frames(1.5f);
    pointer(slot(0).x, 790);
    frames(1);
    pointer(slot(0).x, slot(0).y);
    send(nE_InputEvent::kButtonDown, slot(0).x, slot(0).y);
    frames(0.25f);
    pointer(300, 300);
    delete object("a_door");
    frames(0.5f);
    send(nE_InputEvent::kButtonDown, 300, 300);
    tick(1.f / 64);
    EXPECT_EQ(eval("uses"), "2");
    EXPECT_EQ(eval("applied"), "1");
    EXPECT_EQ(item(0).state, nG_Inventory::kReturning);
    frames(1);
    EXPECT_EQ(item(0).state, nG_Inventory::kResting);
}

TEST_F(InventoryTest, AFullHideOvershootsReportsAndComesBack) {
    // The strip by itself: the task list would answer its report by coming up.
    nE_Mediator::current()->unsubscribe(MSG_INV_HIDDEN, tasks());
    listen({MSG_INV_HIDDEN});
    lua("AddObjectToInv('inv_a')");
    frames(1);
    post<MSG_INV_HIDE_ALL>();
    EXPECT_EQ(inventory()->mode, nG_Inventory::kHiding);
    float lowest = inventory()->localState().y;
    for (int i = 0; i < 128 && inventory()->mode == nG_Inventory::kHiding; ++i) {
        tick(1.f / 64);
        lowest = std::max(lowest, inventory()->localState().y);
    }
    EXPECT_EQ(inventory()->mode, nG_Inventory::kHidden);
    EXPECT_FLOAT_EQ(inventory()->slide, -0.33f);
    EXPECT_NEAR(lowest, 797 + 86 * std::sin(0.33f * 3.141592f / 2), 0.01f) << "below its resting place";
    EXPECT_EQ(counter.count(MSG_INV_HIDDEN), 1);
    EXPECT_FALSE(inventory()->visible || inventory()->input);
    EXPECT_FALSE(inventory()->title->visible);
    EXPECT_FALSE(inventory()->background->input);

    // Hidden already: another hide reports at once, so that nobody waits for it.
    post<MSG_INV_HIDE_ALL>();
    tick(1.f / 64);
    EXPECT_EQ(counter.count(MSG_INV_HIDDEN), 2);

    post<MSG_INV_RETURN>();
    EXPECT_EQ(inventory()->mode, nG_Inventory::kComingBack);
    EXPECT_TRUE(inventory()->visible && inventory()->input && inventory()->title->visible);
    frames(0.5f);
    EXPECT_EQ(inventory()->mode, nG_Inventory::kComingBack);
    frames(0.1f);
    EXPECT_EQ(inventory()->mode, nG_Inventory::kSlidingOut);
    EXPECT_FLOAT_EQ(inventory()->localState().y, 797);

    float y = 700;
    post<MSG_INV_SET_Y>(&y);
    EXPECT_FLOAT_EQ(inventory()->localState().y, 700);
    post<MSG_INV_SHOW>();
    EXPECT_FLOAT_EQ(inventory()->localState().z, 3);
    post<MSG_INV_HIDE>();
    EXPECT_FLOAT_EQ(inventory()->localState().z, 2);
    EXPECT_FALSE(inventory()->visible);
    nE_Mediator::current()->subscribe(MSG_INV_HIDDEN, tasks());
}

TEST_F(InventoryTest, TheSavedItemsComeBackElementForElementWithoutASound) {
    lua("AddObjectToInv('inv_a'); AddObjectToInv('inv_b', 'a_far')");
    frames(2);
    const std::string saved = dump();
    EXPECT_NE(saved.find("<inventory><spr name=\"inv_a\""), std::string::npos) << saved;
    EXPECT_NE(saved.find("<spr name=\"inv_b\""), std::string::npos);
    pf::testing::ResetSounds();

    tinyxml2::XMLDocument doc;
    doc.Parse(("<interface>" + saved + "</interface>").c_str());
    inventory()->restoreState(doc.RootElement());
    ASSERT_EQ(inventory()->items.size(), 2u);
    EXPECT_EQ(item(0).object->name, "inv_a");
    EXPECT_EQ(item(1).object->name, "inv_b");
    EXPECT_EQ(item(1).state, nG_Inventory::kAppearing);
    EXPECT_EQ(item(1).flyer, nullptr);
    frames(1);
    EXPECT_FALSE(soundRequested("common_s_gettoinv"));
    EXPECT_EQ(object("inv_a"), item(0).object) << "only the restored objects carry the names";
    EXPECT_EQ(dump(), saved);

    // A restore without an "inventory" element leaves the items alone.
    tinyxml2::XMLDocument empty;
    empty.Parse("<interface/>");
    inventory()->restoreState(empty.RootElement());
    EXPECT_EQ(inventory()->items.size(), 2u);
}

TEST_F(InventoryTest, BadRequestsAreReportedInOneLineAndChangeNothing) {
    lua("AddObjectToInv('no_such_item')");
    EXPECT_TRUE(logged("nG_Inventory: no object \"no_such_item\" to put in the inventory"));
    lua("AddObjectToInv('ng_inventory_bg'); AddObjectToInv('ng_interface'); AddObjectToInv('ne_storage')");
    EXPECT_TRUE(inventory()->items.empty())
        << "neither the strip's parts, nor what holds it, nor a tree's top";
    EXPECT_EQ(object("ng_inventory_bg")->parent, inventory());

    lua("AddObjectToInv('inv_a', 'ng_interface')");
    EXPECT_TRUE(logged("nG_Inventory: \"ng_interface\" cannot fly into the inventory"));
    ASSERT_EQ(inventory()->items.size(), 1u);
    EXPECT_EQ(item(0).flyer, nullptr) << "the item comes without a flight";
    lua("AddObjectToInv('inv_b', 'inv_a')");
    EXPECT_EQ(item(1).flyer, nullptr) << "another item cannot be a flyer";
    EXPECT_EQ(item(0).object->parent, inventory());

    lua("DelObjectFromInv('inv_zzz')");
    EXPECT_TRUE(logged("nG_Inventory: no item \"inv_zzz\" to take out of the inventory"));

    // An item whose picture is missing takes its slot and nothing breaks.
    lua("AddObjectToInv('inv_blank', 'a_door')");
    frames(2);
    ASSERT_EQ(inventory()->items.size(), 3u);
    EXPECT_EQ(item(2).state, nG_Inventory::kResting);
    EXPECT_EQ(object("a_door"), nullptr) << "its flyer still landed and went";

    // Taken away by a script, an item leaves the strip with its slot.
    lua("ObjAttach('inv_b', 'objects_hub')");
    tick(0);
    ASSERT_EQ(inventory()->items.size(), 2u);
    EXPECT_EQ(object("inv_b_bg "), nullptr);
}

}  // namespace
