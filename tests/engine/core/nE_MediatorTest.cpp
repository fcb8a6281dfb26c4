#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/core/nE_Debug.h"
#include "engine/core/nE_Listener.h"
#include "engine/core/nE_Mediator.h"
#include "engine/core/nE_Messages.h"
#include "game/core/nG_Mediator.h"

namespace {

struct Probe : nE_Listener {
    Probe(std::string id, std::vector<std::string>* calls) : name(std::move(id)), log(calls) {}
    void onMessage(unsigned int message, void* payload) override {
        log->push_back(name + ":" + std::to_string(message));
        if (react) react(payload);
    }
    std::string name;
    std::vector<std::string>* log;
    std::function<void(void*)> react;
};

}  // namespace

TEST(Mediator, DeliversInSubscriptionOrderAndCountsDoubleSubscriptions) {
    nG_Mediator mediator;
    std::vector<std::string> log;
    Probe a("a", &log), b("b", &log);
    mediator.subscribe(MSG_INV_ADD, &a);
    mediator.subscribe(MSG_INV_ADD, &b);
    mediator.subscribe(MSG_INV_ADD, &a);
    mediator.subscribe(MSG_INV_REMOVE, &b);
    mediator.post(MSG_INV_ADD, nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"a:9", "b:9", "a:9"}));

    log.clear();
    mediator.unsubscribe(MSG_INV_ADD, &a);  // the first entry only
    mediator.unsubscribe(MSG_INV_ADD, &a);
    mediator.unsubscribe(MSG_INV_ADD, &a);  // absent: nothing
    mediator.post(MSG_INV_ADD, nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"b:9"}));
}

TEST(Mediator, ListenersChangingTheListDuringAPost) {
    nE_Mediator mediator;
    std::vector<std::string> log;
    Probe quitter("quitter", &log), skipped("skipped", &log), late("late", &log);
    quitter.react = [&](void*) { mediator.unsubscribe(MSG_BLUR, &quitter); };
    skipped.react = [&](void*) { mediator.subscribe(MSG_BLUR, &late); };
    mediator.subscribe(MSG_BLUR, &quitter);
    mediator.subscribe(MSG_BLUR, &skipped);

    // The entry after one that leaves slips past this post.
    mediator.post(MSG_BLUR, nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"quitter:47"}));

    // A listener added during a post is called in it.
    log.clear();
    mediator.post(MSG_BLUR, nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"skipped:47", "late:47"}));
}

TEST(Mediator, QueryAnswersComeBackThroughThePayloadAndUnknownNumbersDoNothing) {
    nE_Mediator mediator;
    std::vector<std::string> log;
    Probe game("game", &log);
    game.react = [](void* payload) { *static_cast<int*>(payload) = 3; };
    mediator.subscribe(MSG_GET_CURRENT_ROOM, &game);
    int answer = -1;
    mediator.post(MSG_GET_CURRENT_ROOM, &answer);
    EXPECT_EQ(answer, 3);

    mediator.post(33, &answer);
    EXPECT_EQ(log.size(), 1u);
    EXPECT_TRUE(mediator.subscriptions.at(33).empty());
}

TEST(Mediator, DebugOutputIsPostedToTheCurrentMediatorUntilItDies) {
    std::vector<std::string> log;
    Probe watcher("watcher", &log);
    std::string text;
    watcher.react = [&](void* payload) { text = static_cast<const char*>(payload); };
    {
        nG_Mediator mediator;
        nE_Mediator::setCurrent(&mediator);
        mediator.subscribe(MSG_DEBUG_TEXT, &watcher);
        nE_Debug::writef("value %d", 42);
        EXPECT_EQ(text, "value 42");
    }
    EXPECT_EQ(nE_Mediator::current(), nullptr);
    nE_Debug::write("after");  // no mediator: still fine
}
