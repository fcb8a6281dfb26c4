// A profile header that reaches up into the widgets: the game's own layers must refuse it too.
#pragma once
#include "game/interface/nG_Interface.h"
