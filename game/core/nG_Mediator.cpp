#include "game/core/nG_Mediator.h"

nG_Mediator::nG_Mediator() = default;
nG_Mediator::~nG_Mediator() = default;
