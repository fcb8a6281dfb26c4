// What every game widget shares besides its scene object: the mediator's messages it listens to, posting,
// and the scene, sound and cursor it works with. Carried next to nE_Object, as nE_Listener is.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "engine/core/nE_Listener.h"
#include "engine/core/nE_Mediator.h"
#include "game/interface/nG_Cursor.h"

class nE_Scene;

class nG_Widget : public nE_Listener {
public:
    nG_Widget() = default;
    // Leaves every message it listens to, so that no post reaches a widget that is gone.
    ~nG_Widget() override;
    nG_Widget(const nG_Widget&) = delete;
    nG_Widget& operator=(const nG_Widget&) = delete;

protected:
    // Listens to the messages at the program's mediator; nothing without one.
    void subscribe(std::initializer_list<unsigned int> messages);
    // Leaves them now: for a destructor that tears more down before the base's turn comes.
    void unsubscribeAll();
    // Posts message Number to the program's mediator with its payload, or with none.
    template <unsigned int Number, typename... Payload>
    static void post(Payload... payload) {
        nE_Mediator::postToCurrent<Number>(payload...);
    }
    // The running scene, or none before the engine is up.
    static nE_Scene* scene();
    // A sound effect, through the sound hub (made on first use), when there is sound.
    static void playSound(const std::string& name);
    static void selectCursor(nG_Cursor::Kind kind) { nG_Cursor::select(kind); }

private:
    std::vector<unsigned int> subscribed_;
};
