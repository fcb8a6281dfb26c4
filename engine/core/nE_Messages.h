// The messages the engine itself posts to the program's mediator. The game declares its own, from 3 on,
// in game/core/nG_Messages.h.
#pragma once

#include "engine/core/nE_Message.h"

// A subtitle line shown or taken away; its payload, nE_Subtitles::Message, is declared with it.
constexpr unsigned int MSG_SUBTITLES = 0;
NE_MESSAGE(MSG_FULLSCREEN_CHANGED, 1, bool);  // the result of the display toggle
NE_MESSAGE(MSG_DEBUG_TEXT, 2, const char);    // the text of a debug message
