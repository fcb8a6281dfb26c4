// A subscriber of the mediator. Game widgets carry it (through nG_Widget) as a second base next to
// nE_Object.
#pragma once

#include "engine/core/nE_Message.h"

class nE_Listener {
public:
    virtual ~nE_Listener() = default;
    // The payload belongs to the poster; query messages are answered by writing into it.
    virtual void onMessage(const nE_Message& message) = 0;
};
