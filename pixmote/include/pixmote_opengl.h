/* The OpenGL 3.3 core device: draws Pixmote's triangles into whatever framebuffer the host has bound
 * when the frame begins. It links no GL library: the host hands in its loader (SDL_GL_GetProcAddress,
 * glfwGetProcAddress, eglGetProcAddress, ...) and the device looks up only the functions it uses.
 *
 * Every call, pm_opengl_destroy included, needs the host's GL 3.3 (or later, core or compatibility)
 * context current on the calling thread. On an opaque target the pixels match the software device's
 * within a step or two of rounding, in every blend mode.
 *
 * The device saves and restores no GL state: it sets what it needs and leaves it set. After
 * begin_frame or draw_triangles the host finds: the device's program, vertex array and array buffer
 * bound; texture unit 0 active with one of the device's textures bound; blending on with the last
 * blend mode's functions and GL_FUNC_ADD; depth test, stencil test and face culling off; the scissor
 * test on or off as the clip was last set; the viewport (0, 0, width, height) of the frame;
 * GL_UNPACK_ALIGNMENT 1, GL_UNPACK_ROW_LENGTH and the unpack skips 0 and no pixel unpack buffer bound
 * after a texture upload. It never touches the framebuffer binding or the clear colour. A host that
 * draws on its own between frames sets its own state again. */
#ifndef PIXMOTE_OPENGL_H
#define PIXMOTE_OPENGL_H

#include "pixmote.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct pm_opengl pm_opengl;

/* Returns the address of a GL function by name, NULL when there is none. */
typedef void* (*pm_gl_loader)(const char* name);

/* Loads the functions, compiles the one shader and makes the buffers on the current context. NULL when
 * the loader is NULL, a function is missing or the shader does not build (pm_opengl_error says which). */
PM_API pm_opengl* pm_opengl_create(pm_gl_loader loader);
/* Deletes the device's textures, buffers and program. */
PM_API void pm_opengl_destroy(pm_opengl* gl);
/* The callback table to hand to pm_context_create; it lives as long as the device. */
PM_API const pm_device* pm_opengl_device(pm_opengl* gl);
/* Why the last pm_opengl_create of this thread failed, in one line; "" after a success. */
PM_API const char* pm_opengl_error(void);

#ifdef __cplusplus
}
#endif

#endif
