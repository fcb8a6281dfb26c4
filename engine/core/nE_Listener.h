// A subscriber of the mediator. Game widgets carry it as a second base next to nE_Object.
#pragma once

class nE_Listener {
public:
    virtual ~nE_Listener() = default;
    // The payload belongs to the poster; query messages are answered by writing into it.
    virtual void onMessage(unsigned int message, void* payload) = 0;
};
