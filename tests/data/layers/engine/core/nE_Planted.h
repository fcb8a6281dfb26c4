// An engine header that reaches up into the game: the layer check must refuse it.
#pragma once
#include "game/core/nG_Game.h"
