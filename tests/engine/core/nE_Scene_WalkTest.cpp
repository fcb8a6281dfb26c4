// The update, draw and hit-test walks while handlers destroy, park and re-attach objects under them;
// deferred destruction.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "engine/core/nE_InputEvent.h"
#include "engine/core/nE_Object.h"
#include "engine/core/nE_Scene.h"
#include "tests/engine/core/nE_SceneTestSupport.h"

namespace {

using Hook = std::function<void(nE_Object*)>;

// Hooks live outside the objects: a hook may destroy the object that runs it.
std::map<std::string, Hook> g_onUpdate, g_onDraw, g_onInput;
std::vector<std::string> g_log;
int g_destroyed = 0;

class Actor : public nE_Object {
public:
    explicit Actor(const std::string& actorName) {
        name = actorName;
        scenetest::setRect(this, 0, 0, 100, 100);
    }
    ~Actor() override { ++g_destroyed; }
    void update(float) override { run(g_onUpdate, "u:"); }
    void drawSelf(nE_Render*, nE_RenderState&) override { run(g_onDraw, "d:"); }
    bool handleInput(const nE_InputEvent&, nE_RenderState&) override {
        g_log.push_back("i:" + name);
        auto hook = g_onInput.find(name);
        if (hook == g_onInput.end()) return true;
        const Hook copy = hook->second;
        copy(this);
        return true;
    }

private:
    void run(const std::map<std::string, Hook>& hooks, const char* tag) {
        g_log.push_back(tag + name);
        auto hook = hooks.find(name);
        if (hook == hooks.end()) return;
        const Hook copy = hook->second;
        copy(this);
    }
};

class SceneWalk : public ::testing::Test {
protected:
    SceneWalk() {
        g_onUpdate.clear();
        g_onDraw.clear();
        g_onInput.clear();
        g_log.clear();
        g_destroyed = 0;
    }
    Actor* add(const std::string& actorName, nE_Object* parent = nullptr) {
        auto* actor = new Actor(actorName);
        scene.attach(parent ? parent : scene.root(), actor);
        return actor;
    }
    std::vector<std::string> take() {
        std::vector<std::string> out;
        out.swap(g_log);
        return out;
    }
    void click(float x, float y) {
        nE_InputEvent event;
        event.type = nE_InputEvent::kButtonDown;
        event.code = 3840;
        event.x = x;
        event.y = y;
        scene.dispatch(event);
    }

    scenetest::QueueRecorder queue;
    nE_Scene scene;
};

using Log = std::vector<std::string>;

TEST_F(SceneWalk, UpdateSkipsWhatHandlersDestroyOrMoveAndUpdatesNothingTwice) {
    Actor* a = add("a");
    add("b");
    Actor* c = add("c");
    Actor* d = add("d");
    add("e");
    Actor* kid = add("kid", d);
    g_onUpdate["a"] = [&](nE_Object*) {
        delete scene.findObject("b");  // the next sibling, destroyed outright
        scene.park(c);
        scene.attach(d, a);  // itself, further along: not updated again in this walk
    };
    g_onUpdate["kid"] = [](nE_Object* self) { delete self->parent; };  // takes its own parent with it
    scene.update(0.016f);
    EXPECT_EQ(take(), (Log{"u:a", "u:d", "u:kid", "u:e"}));
    EXPECT_EQ(4, g_destroyed) << "b, d, and with d its children kid and a";
    EXPECT_EQ(scene.storage(), c->parent);
    (void)kid;

    g_onUpdate.clear();
    scene.update(0.016f);
    EXPECT_EQ(take(), (Log{"u:e"}));
}

TEST_F(SceneWalk, DrawSkipsWhatHandlersDestroyOrPark) {
    Actor* a = add("a");
    add("b", a);
    add("c", a);
    add("d");
    g_onDraw["b"] = [&](nE_Object* self) {
        delete scene.findObject("c");
        scene.park(self);
    };
    g_onDraw["d"] = [](nE_Object* self) { delete self; };
    scene.draw(nullptr);
    EXPECT_EQ(take(), (Log{"d:a", "d:b", "d:d"}));
    scene.draw(nullptr);
    EXPECT_EQ(take(), (Log{"d:a"}));
}

TEST_F(SceneWalk, AnObjectThatTakesAClickAndGoesSpendsItAndTheOthersAreToldSafely) {
    add("under");
    Actor* top = add("top");
    top->editLocalState()->z = 1;
    scene.root()->sortChildren();
    g_onInput["top"] = [&](nE_Object* self) {
        delete scene.findObject("under");
        delete self;
    };
    click(10, 10);
    EXPECT_EQ(take(), (Log{"i:top"})) << "nothing below takes a click that was already taken";
    EXPECT_EQ(2, g_destroyed);

    // The parent told of the hit destroys the child that took it.
    class Panel : public Actor {
    public:
        Panel() : Actor("panel") {}
        void childWasHit(nE_Object* hit, const nE_InputEvent&) override { delete hit; }
    };
    auto* panel = new Panel();
    scene.attach(scene.root(), panel);
    add("button", panel);
    click(10, 10);
    EXPECT_EQ(take(), (Log{"i:button"}));
    EXPECT_EQ(nullptr, scene.findObject("button"));
}

TEST_F(SceneWalk, DestroyLaterTakesTheObjectOutAtOnceAndDestroysItAfterTheWalk) {
    Actor* dialog = add("dialog");
    add("label", dialog);
    add("after");
    bool stillThere = false;
    g_onUpdate["dialog"] = [&](nE_Object* self) {
        nE_Scene::destroyLater(self);
        nE_Scene::destroyLater(self);  // twice: once
        stillThere = self->name == "dialog" && self->parent == nullptr && g_destroyed == 0;
    };
    scene.update(0.016f);
    EXPECT_TRUE(stillThere) << "alive, out of the tree, until the walk is over";
    EXPECT_EQ(take(), (Log{"u:dialog", "u:after"})) << "its children are no longer walked";
    EXPECT_EQ(2, g_destroyed);
    EXPECT_EQ(0u, nE_Scene::pendingDestroyCount());

    // Outside a walk the flush comes with the next one; the tops are refused.
    Actor* later = add("later");
    nE_Scene::destroyLater(later);
    nE_Scene::destroyLater(scene.root());
    EXPECT_EQ(1u, nE_Scene::pendingDestroyCount());
    scene.draw(nullptr);
    EXPECT_EQ(3, g_destroyed);
    EXPECT_NE(nullptr, scene.root());
}

}  // namespace
