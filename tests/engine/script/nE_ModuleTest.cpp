#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <algorithm>
#include <string>

#include "engine/core/nE_Object.h"
#include "engine/core/nE_Scene.h"
#include "engine/script/nE_Module.h"
#include "engine/script/nE_TriggerHub.h"
#include "tests/engine/script/ScriptTestFolder.h"
#include "tests/engine/script/ScriptTestSupport.h"

using script_test::DebugLines;
using script_test::eval;

namespace {

const char* const kLevel =
    "<module name=\"first level\"/>"
    "<objs><obj name=\"level_root\"><obj name=\"door\" pos_x=\"5\"/><obj name=\"key\" "
    "visible=\"0\"/></obj></objs>"
    "<trigs>"
    "<trig name=\"open\"><code>opened = (opened or 0) + 1</code></trig>"
    "<trig name=\"empty\"/>"
    "<trig name=\"broken\"><code>this is not lua</code></trig>"
    "</trigs>"
    "<code>loads = (loads or 0) + 1</code>";

class ModuleTest : public ::testing::Test {
protected:
    ModuleTest() : hub(lua) {}
    std::string get(const std::string& expression) { return eval(lua, expression); }

    script_test::GameFolder folder;
    script_test::LuaState lua;
    nE_TriggerHub hub;
};

}  // namespace

TEST(ModuleFile, PathRules) {
    EXPECT_EQ(nE_Module::fileName("level1"), "level1.xml");
    EXPECT_EQ(nE_Module::fileName("level1.xml"), "level1.xml");
    EXPECT_EQ(nE_Module::fileName("a\\b"), "a/b.xml");
    EXPECT_EQ(nE_Module::fileName("assets\\levels\\l1"), "assets/levels/l1.xml");
    // ".xml" anywhere in the path counts as present.
    EXPECT_EQ(nE_Module::fileName("x.xml.bak"), "x.xml.bak");
}

TEST_F(ModuleTest, LoadReadsEveryPart) {
    folder.write("levels/level1.xml", kLevel);
    std::unique_ptr<nE_Module> module = nE_Module::load("levels/level1");
    EXPECT_EQ(module->name, "first level");
    EXPECT_EQ(module->path, "levels/level1");
    ASSERT_TRUE(module->root);
    EXPECT_EQ(module->root->name, "level_root");
    ASSERT_EQ(module->root->children.size(), 2u);
    EXPECT_EQ(module->root->children[0]->localState().x, 5);
    ASSERT_EQ(module->triggers.size(), 3u);
    EXPECT_EQ(module->triggers[0]->name, "open");
    EXPECT_EQ(module->triggers[1]->code, "");
    EXPECT_EQ(module->code, "loads = (loads or 0) + 1");

    // The same file through ".xml" and through a backslash.
    EXPECT_EQ(nE_Module::load("levels/level1.xml")->name, "first level");
    EXPECT_EQ(nE_Module::load("levels\\level1")->name, "first level");
    // Without a "module" element the name is the path.
    folder.write("a/b.xml", "<code>x = 1</code>");
    std::unique_ptr<nE_Module> plain = nE_Module::load("a\\b");
    EXPECT_EQ(plain->name, "a\\b");
    EXPECT_EQ(plain->code, "x = 1");
    EXPECT_FALSE(plain->root);
}

TEST_F(ModuleTest, MissingAndMalformedFilesGiveEmptyModules) {
    folder.write("bad.xml", "<module name=\"bad\"/>\n<objs>\n<obj name=\"a\">\n</objs>\n");
    DebugLines parseErrors;
    for (const char* path : {"nowhere/level", "bad"}) {
        std::unique_ptr<nE_Module> module = nE_Module::load(path);
        EXPECT_EQ(module->path, path);
        EXPECT_EQ(module->name, "");
        EXPECT_FALSE(module->root);
        EXPECT_TRUE(module->triggers.empty());
        EXPECT_EQ(module->code, "");
    }
    // A missing file says nothing; a malformed one where it goes wrong: at the closing tag that came
    // instead, not at the element the parser was in.
    ASSERT_EQ(parseErrors.lines.size(), 1u);
    EXPECT_EQ(
        parseErrors.lines[0],
        "bad.xml:4: Module error: XML is not well-formed (</objs> where <obj> (line 3) should be closed "
        "first); nothing of it is loaded");
    // Brought in, a missing module is still remembered as used.
    DebugLines debug;
    nE_Scene scene;
    nE_Module::bringInWithObjects(nE_Module::load("nowhere/level"), scene, hub);
    EXPECT_EQ(hub.usedModules(), std::vector<std::string>{"nowhere/level"});
    EXPECT_TRUE(debug.lines.empty());
    EXPECT_TRUE(scene.storage()->children.empty());
}

TEST_F(ModuleTest, BringingInParksObjectsRegistersTriggersAndRunsCode) {
    folder.write("levels/level1.xml", kLevel);
    nE_Scene scene;
    nE_Module::bringInWithObjects(nE_Module::load("levels/level1"), scene, hub);
    nE_Object* door = scene.findObject("door");
    ASSERT_TRUE(door);
    EXPECT_EQ(door->parent, scene.storage());
    EXPECT_FALSE(door->loaded);
    EXPECT_TRUE(scene.findObject("key"));
    EXPECT_FALSE(scene.findObject("level_root"));  // the root is only a carrier
    EXPECT_EQ(hub.triggerCount(), 3u);
    EXPECT_EQ(get("loads"), "1");

    // A second bring-in registers nothing twice and lists the path once; its code runs again.
    hub.find("open")->code = "opened = 'edited'";
    nE_Module::bringInWithObjects(nE_Module::load("levels/level1.xml"), scene, hub);
    EXPECT_EQ(hub.triggerCount(), 3u);
    EXPECT_EQ(hub.find("open")->code, "opened = 'edited'");
    EXPECT_EQ(hub.usedModules(), (std::vector<std::string>{"levels/level1", "levels/level1.xml"}));
    nE_Module::bringInWithObjects(nE_Module::load("levels/level1"), scene, hub);
    EXPECT_EQ(hub.usedModules().size(), 2u);
    EXPECT_EQ(get("loads"), "3");
}

// Developer mode's inspector names where an object is described; a saved tree knows no module.
TEST_F(ModuleTest, ObjectsKnowTheirModuleFileAndLine) {
    folder.write("levels/hall.xml",
                 "<module name=\"hall\"/>\n<objs>\n<obj name=\"top\">\n\n  <obj name=\"door\">\n"
                 "    <obj name=\"knob\"/>\n  </obj>\n</obj>\n</objs>\n");
    std::unique_ptr<nE_Module> module = nE_Module::load("levels\\hall");
    ASSERT_TRUE(module->root);
    nE_Object* door = module->root->find("door", true);
    nE_Object* knob = module->root->find("knob", true);
    ASSERT_TRUE(door && knob && door->sourceFile && knob->sourceFile);
    EXPECT_EQ(*door->sourceFile, "levels/hall.xml");
    EXPECT_EQ(*knob->sourceFile, "levels/hall.xml");
    EXPECT_EQ(module->root->sourceLine, 3);
    EXPECT_EQ(door->sourceLine, 5);
    EXPECT_EQ(knob->sourceLine, 6);
}

// Objects arrive in one batch: they must land as one add after another would put them.
TEST_F(ModuleTest, ManyObjectsParkInStableZOrderAndNameCyclesAreDropped) {
    std::string xml = "<objs><obj name=\"carrier\">";
    for (int i = 0; i < 300; ++i)
        xml += "<obj name=\"o" + std::to_string(i) + "\" pos_z=\"" + std::to_string((i * 7) % 5) + "\"/>";
    // Bears the storage's name below it, so the storage must refuse it.
    xml += "<obj name=\"cycle\"><obj name=\"ne_storage\"/></obj></obj></objs>";
    folder.write("many.xml", xml);
    nE_Scene scene;
    nE_Object* early = new nE_Object();
    early->name = "early";
    early->editLocalState()->z = 2;
    scene.attach(scene.storage(), early);
    nE_Module::bringInWithObjects(nE_Module::load("many"), scene, hub);
    const std::vector<nE_Object*>& parked = scene.storage()->children;
    ASSERT_EQ(parked.size(), 301u);
    EXPECT_FALSE(scene.findObject("cycle"));
    for (size_t i = 1; i < parked.size(); ++i) {
        ASSERT_LE(parked[i - 1]->localState().z, parked[i]->localState().z) << i;
        if (parked[i - 1]->localState().z == parked[i]->localState().z && parked[i - 1] != early) {
            EXPECT_LT(std::stoi(parked[i - 1]->name.substr(1)), std::stoi(parked[i]->name.substr(1)));
        }
        EXPECT_EQ(parked[i]->parent, scene.storage());
    }
    // Earlier objects of equal z stay in front of the new ones.
    EXPECT_EQ(std::find_if(parked.begin(), parked.end(), [](nE_Object* o) { return o->localState().z == 2; }),
              std::find(parked.begin(), parked.end(), early));
}

TEST_F(ModuleTest, BrokenCodeIsReported) {
    DebugLines debug;
    folder.write("broken.xml",
                 "<trigs><trig name=\"broken\"><code>this is not lua</code></trig></trigs>"
                 "<code>error('module failed')</code>");
    nE_Module::bringInWithoutObjects(nE_Module::load("broken"), hub);
    ASSERT_EQ(debug.lines.size(), 2u);
    EXPECT_EQ(debug.lines[0], "broken.xml:1: Module error: broken module failed");
    EXPECT_EQ(hub.usedModules(), std::vector<std::string>{"broken"});

    folder.write("syntax.xml", "<code>local = 1</code>");
    nE_Module::bringInWithoutObjects(nE_Module::load("syntax"), hub);
    ASSERT_EQ(debug.lines.size(), 3u);
    EXPECT_EQ(debug.lines[2].rfind("syntax.xml:1: Module error: syntax ", 0), 0u) << debug.lines[2];

    // A trigger with a syntax error reports when it is called, and the hub goes on.
    debug.lines.clear();
    EXPECT_TRUE(hub.executeNow("", "broken"));
    ASSERT_EQ(debug.lines.size(), 1u);
    EXPECT_EQ(debug.lines[0].rfind("broken.xml:1: Trigger error: broken ", 0), 0u) << debug.lines[0];
}

TEST_F(ModuleTest, RestoreBringsModulesBackWithoutObjectsAndRequeues) {
    folder.write("levels/level1.xml", kLevel);
    nE_Scene scene;
    nE_Module::bringInWithObjects(nE_Module::load("levels/level1"), scene, hub);
    hub.queueCall("door", "open(1, 2)");
    hub.queueCall("", "empty");
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* slot = doc.NewElement("slot");
    doc.InsertEndChild(slot);
    hub.dump(slot);
    // Make a queued entry name a trigger nobody registers.
    slot->FirstChildElement("trg_dump")
        ->FirstChildElement("queue")
        ->FirstChildElement("trig")
        ->NextSiblingElement()
        ->SetAttribute("name", "unknown");

    script_test::LuaState otherLua;
    nE_TriggerHub restored(otherLua);
    restored.restore(slot);
    EXPECT_EQ(restored.usedModules(), std::vector<std::string>{"levels/level1"});
    EXPECT_EQ(restored.triggerCount(), 3u);
    EXPECT_EQ(eval(otherLua, "loads"), "1");
    ASSERT_EQ(restored.queue().size(), 1u);
    EXPECT_EQ(restored.queue()[0].trigger->name, "open");
    EXPECT_EQ(restored.queue()[0].params, "1, 2");
    EXPECT_EQ(restored.queue()[0].sender, "door");
    restored.runQueue();
    EXPECT_EQ(eval(otherLua, "opened"), "1");
}
