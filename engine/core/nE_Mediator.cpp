#include "engine/core/nE_Mediator.h"

#include <algorithm>

#include "engine/core/nE_Listener.h"

static nE_Mediator* g_mediator = nullptr;

nE_Mediator::~nE_Mediator() {
    // Debug output must not reach a mediator that is gone.
    if (g_mediator == this) g_mediator = nullptr;
}

void nE_Mediator::subscribe(unsigned int message, nE_Listener* listener) {
    subscriptions[message].push_back(listener);
}

void nE_Mediator::unsubscribe(unsigned int message, nE_Listener* listener) {
    auto found = subscriptions.find(message);
    if (found == subscriptions.end()) return;
    std::vector<nE_Listener*>& list = found->second;
    auto entry = std::find(list.begin(), list.end(), listener);
    if (entry != list.end()) list.erase(entry);
}

void nE_Mediator::deliver(unsigned int message, void* payload) {
    // std::map keeps the list's address while other numbers are subscribed during the post.
    std::vector<nE_Listener*>& list = subscriptions[message];
    for (size_t i = 0; i < list.size(); ++i) {
        if (nE_Listener* listener = list[i]) listener->onMessage(nE_Message(message, payload));
    }
}

nE_Mediator* nE_Mediator::current() {
    return g_mediator;
}

void nE_Mediator::setCurrent(nE_Mediator* mediator) {
    g_mediator = mediator;
}
