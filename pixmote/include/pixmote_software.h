/* The software device: rasterises Pixmote's triangles into a straight-alpha RGBA8 buffer, the same
 * pixels on every machine. For tests, headless rendering and hosts without a GPU. */
#ifndef PIXMOTE_SOFTWARE_H
#define PIXMOTE_SOFTWARE_H

#include "pixmote.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct pm_software pm_software;

/* A width x height target cleared to transparent black; NULL for a bad or too large size. */
PM_API pm_software* pm_software_create(int width, int height);
PM_API void pm_software_destroy(pm_software* sw);
/* The callback table to hand to pm_context_create; it lives as long as the device. */
PM_API const pm_device* pm_software_device(pm_software* sw);
/* Rows of width * 4 bytes, top row first. */
PM_API uint8_t* pm_software_pixels(pm_software* sw);
PM_API int pm_software_width(const pm_software* sw);
PM_API int pm_software_height(const pm_software* sw);
PM_API void pm_software_clear(pm_software* sw, uint8_t r, uint8_t g, uint8_t b, uint8_t a);
/* Writes the target to a PNG file (8-bit RGBA): PM_OK, or PM_ERROR_INVALID_ARGUMENT for a NULL
 * target or path, or PM_ERROR_IO when the file cannot be written. */
PM_API pm_result pm_software_write_png(const pm_software* sw, const char* path);

#ifdef __cplusplus
}
#endif

#endif
