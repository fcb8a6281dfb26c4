#include "game/interface/nG_Widget.h"

#include "engine/core/nE_Core.h"
#include "engine/core/nE_Mediator.h"
#include "engine/media/nE_SoundHub.h"

nG_Widget::~nG_Widget() {
    unsubscribeAll();
}

void nG_Widget::unsubscribeAll() {
    if (nE_Mediator* mediator = nE_Mediator::current())
        for (unsigned int message : subscribed_) mediator->unsubscribe(message, this);
    subscribed_.clear();
}

void nG_Widget::subscribe(std::initializer_list<unsigned int> messages) {
    nE_Mediator* mediator = nE_Mediator::current();
    if (!mediator) return;
    for (unsigned int message : messages) {
        mediator->subscribe(message, this);
        subscribed_.push_back(message);
    }
}

nE_Scene* nG_Widget::scene() {
    return nE_Core::exists() ? &nE_Core::get()->scene() : nullptr;
}

void nG_Widget::playSound(const std::string& name) {
    if (nE_SoundHub* hub = nE_SoundHub::get()) hub->play(name, "sfx", false, "", 0);
}
