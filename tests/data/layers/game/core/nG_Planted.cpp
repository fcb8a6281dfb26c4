// A game file that opens SDL itself: the layer check must refuse it.
#include <SDL.h>
