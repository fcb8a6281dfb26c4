/* Compiled as strict C so that the public headers stay usable from C. */
#include "pixmote/include/pixmote.h"
#include "pixmote/include/pixmote_opengl.h"
#include "pixmote/include/pixmote_software.h"

int pm_header_check_unused(void);
