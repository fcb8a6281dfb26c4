// Numbered messages between widgets that never call each other. Delivery is synchronous, in
// subscription order; listeners are not owned and must unsubscribe before they die.
#pragma once

#include <map>
#include <type_traits>
#include <vector>

#include "engine/core/nE_Message.h"

class nE_Listener;

class nE_Mediator {
public:
    nE_Mediator() = default;
    virtual ~nE_Mediator();
    nE_Mediator(const nE_Mediator&) = delete;
    nE_Mediator& operator=(const nE_Mediator&) = delete;

    // Subscribing twice makes two entries.
    void subscribe(unsigned int message, nE_Listener* listener);
    // Removes the first entry equal to the listener; nothing if absent.
    void unsubscribe(unsigned int message, nE_Listener* listener);
    // Posts message Number with a payload of its declared type (or with none: nothing, not even a null
    // pointer, for a message that carries nothing). The list is re-read by index at each step: a listener
    // added during the post is called in it, and one that unsubscribes itself makes the next entry slip
    // past this post.
    template <unsigned int Number>
    std::enable_if_t<!std::is_void<nE_MessagePayload<Number>>::value> post(
        nE_MessagePayload<Number>* payload) {
        deliver(Number, const_cast<void*>(static_cast<const void*>(payload)));
    }
    template <unsigned int Number>
    std::enable_if_t<std::is_void<nE_MessagePayload<Number>>::value> post() {
        deliver(Number, nullptr);
    }
    // Posts to the program's mediator, when there is one.
    template <unsigned int Number, typename... Payload>
    static void postToCurrent(Payload... payload) {
        if (nE_Mediator* mediator = current()) mediator->post<Number>(payload...);
    }

    // The program's game mediator (used by debug output), or none.
    static nE_Mediator* current();
    static void setCurrent(nE_Mediator* mediator);

    std::map<unsigned int, std::vector<nE_Listener*>> subscriptions;

private:
    void deliver(unsigned int message, void* payload);
};
