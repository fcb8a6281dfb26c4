#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "engine/core/nE_Debug.h"
#include "engine/core/nE_Listener.h"
#include "engine/core/nE_Mediator.h"
#include "engine/core/nE_Object.h"
#include "game/core/nG_Mediator.h"
#include "game/core/nG_Messages.h"

namespace {

struct Probe : nE_Listener {
    Probe(std::string id, std::vector<std::string>* calls) : name(std::move(id)), log(calls) {}
    void onMessage(const nE_Message& message) override {
        log->push_back(name + ":" + std::to_string(message.number));
        if (react) react(message);
    }
    std::string name;
    std::vector<std::string>* log;
    std::function<void(const nE_Message&)> react;
};

// Whether post<Number> compiles with that payload, or with none.
template <unsigned int Number, typename Payload, typename = void>
struct CanPost : std::false_type {};
template <unsigned int Number, typename Payload>
struct CanPost<Number, Payload,
               std::void_t<decltype(std::declval<nE_Mediator&>().post<Number>(std::declval<Payload>()))>>
    : std::true_type {};
template <unsigned int Number, typename = void>
struct CanPostNothing : std::false_type {};
template <unsigned int Number>
struct CanPostNothing<Number, std::void_t<decltype(std::declval<nE_Mediator&>().post<Number>())>>
    : std::true_type {};

static_assert(CanPost<MSG_INV_REMOVE, std::string*>::value && CanPostNothing<MSG_SAVE_GAME>::value, "");
static_assert(!CanPost<MSG_INV_REMOVE, int*>::value, "a payload of another type");
static_assert(!CanPost<MSG_SAVE_GAME, bool*>::value, "a payload where none is carried");
static_assert(!CanPostNothing<MSG_INV_REMOVE>::value, "no payload where one is carried");
static_assert(!CanPost<33, int*>::value && !CanPostNothing<33>::value, "a number that is not declared");

}  // namespace

TEST(Mediator, DeliversInSubscriptionOrderAndCountsDoubleSubscriptions) {
    nG_Mediator mediator;
    std::vector<std::string> log;
    Probe a("a", &log), b("b", &log);
    mediator.subscribe(MSG_INV_ADD, &a);
    mediator.subscribe(MSG_INV_ADD, &b);
    mediator.subscribe(MSG_INV_ADD, &a);
    mediator.subscribe(MSG_INV_REMOVE, &b);
    mediator.post<MSG_INV_ADD>(nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"a:9", "b:9", "a:9"}));

    log.clear();
    mediator.unsubscribe(MSG_INV_ADD, &a);  // the first entry only
    mediator.unsubscribe(MSG_INV_ADD, &a);
    mediator.unsubscribe(MSG_INV_ADD, &a);  // absent: nothing
    mediator.post<MSG_INV_ADD>(nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"b:9"}));
}

TEST(Mediator, ListenersChangingTheListDuringAPost) {
    nE_Mediator mediator;
    std::vector<std::string> log;
    Probe quitter("quitter", &log), skipped("skipped", &log), late("late", &log);
    quitter.react = [&](const nE_Message&) { mediator.unsubscribe(MSG_BLUR, &quitter); };
    skipped.react = [&](const nE_Message&) { mediator.subscribe(MSG_BLUR, &late); };
    mediator.subscribe(MSG_BLUR, &quitter);
    mediator.subscribe(MSG_BLUR, &skipped);

    // The entry after one that leaves slips past this post.
    mediator.post<MSG_BLUR>(nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"quitter:47"}));

    // A listener added during a post is called in it.
    log.clear();
    mediator.post<MSG_BLUR>(nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"skipped:47", "late:47"}));
}

TEST(Mediator, QueryAnswersComeBackThroughThePayloadReadAsItsOwnType) {
    nE_Mediator mediator;
    std::vector<std::string> log;
    Probe game("game", &log);
    nE_Object room;
    game.react = [&](const nE_Message& message) {
        EXPECT_EQ(message.payload<MSG_INV_REMOVE>(), nullptr) << "not read as another message's payload";
        if (nE_Object** answer = message.payload<MSG_GET_CURRENT_ROOM>()) *answer = &room;
    };
    mediator.subscribe(MSG_GET_CURRENT_ROOM, &game);
    mediator.subscribe(MSG_BLUR, &game);
    nE_Object* answer = nullptr;
    mediator.post<MSG_GET_CURRENT_ROOM>(&answer);
    EXPECT_EQ(answer, &room);
    mediator.post<MSG_BLUR>(nullptr);
    EXPECT_EQ(log.size(), 2u);
}

TEST(Mediator, DebugOutputIsPostedToTheCurrentMediatorUntilItDies) {
    std::vector<std::string> log;
    Probe watcher("watcher", &log);
    std::string text;
    watcher.react = [&](const nE_Message& message) { text = message.payload<MSG_DEBUG_TEXT>(); };
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
