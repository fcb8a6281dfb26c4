#include "engine/script/nE_TimerHub.h"

void nE_TimerHub::update(float) {}
