// The game's mediator: the one instance the program creates at start-up.
#pragma once

#include "engine/core/nE_Mediator.h"

class nG_Mediator : public nE_Mediator {
public:
    nG_Mediator();
    ~nG_Mediator() override;
};
