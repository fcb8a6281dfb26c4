// Numbered messages between widgets that never call each other. Delivery is synchronous, in
// subscription order; listeners are not owned and must unsubscribe before they die.
#pragma once

#include <map>
#include <vector>

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
    // The list is re-read by index at each step: a listener added during the post is called in it,
    // and one that unsubscribes itself makes the next entry slip past this post.
    void post(unsigned int message, void* payload);
    // Posts to the program's mediator, when there is one.
    static void postToCurrent(unsigned int message, void* payload);

    // The program's game mediator (used by debug output), or none.
    static nE_Mediator* current();
    static void setCurrent(nE_Mediator* mediator);

    std::map<unsigned int, std::vector<nE_Listener*>> subscriptions;
};
