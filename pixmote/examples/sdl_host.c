/* A Pixmote host on SDL2 with the OpenGL 3.3 device: a window showing a scene of every primitive.
 *
 *   sdl_host [--image FILE.png] [--font FILE.fnt]     the scene in a window, until it is closed
 *   sdl_host --screenshot OUT.png [...]                one frame drawn off-screen, written as a PNG
 *   sdl_host --software OUT.png [...]                  the same frame on the software device
 *
 * --screenshot needs no display: it asks SDL for its offscreen video driver (Mesa through EGL) and
 * draws into a framebuffer object of its own. Parts of the scene this build of Pixmote cannot draw
 * yet are left out. Build:
 *   cc sdl_host.c $(pkg-config --cflags --libs pixmote pixmote-opengl pixmote-software sdl2 libpng)
 */
#include <SDL.h>
#include <SDL_opengl.h>
#include <pixmote.h>
#include <pixmote_opengl.h>
#include <pixmote_software.h>
#include <png.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { WIDTH = 640, HEIGHT = 480 };
static const uint8_t BACKGROUND[4] = {236, 232, 220, 255};

typedef struct Assets {
    pm_image* checker; /* made from pixels, so there is always an image to draw */
    pm_image* picture; /* --image, when this build decodes PNG */
    pm_font* font;     /* --font, when this build reads image fonts */
} Assets;

static void load_assets(pm_context* ctx, Assets* assets, const char* image_path, const char* font_path) {
    uint8_t pixels[16 * 16 * 4];
    int x, y;
    for (y = 0; y < 16; ++y) {
        for (x = 0; x < 16; ++x) {
            uint8_t* p = pixels + (y * 16 + x) * 4;
            int dark = ((x / 4) + (y / 4)) % 2;
            p[0] = dark ? 40 : 250, p[1] = dark ? 60 : 200, p[2] = dark ? 140 : 60;
            p[3] = (x == 0 || y == 0) ? 128 : 255;
        }
    }
    assets->checker = pm_image_create_rgba(ctx, 16, 16, pixels, 16 * 4);
    assets->picture = image_path ? pm_image_load_file(ctx, image_path) : NULL;
    assets->font = font_path ? pm_font_load_file(ctx, font_path) : NULL;
}

static void free_assets(Assets* assets) {
    pm_font_destroy(assets->font);
    pm_image_destroy(assets->picture);
    pm_image_destroy(assets->checker);
}

/* Row 1: rectangles, rounded rectangles, ovals and arcs, filled and outlined. */
static void draw_shapes(pm_context* ctx) {
    pm_set_line_width(ctx, 3);
    pm_set_color(ctx, 200, 50, 40, 255);
    pm_fill_rect(ctx, 20, 20, 60, 50);
    pm_stroke_rect(ctx, 95, 20, 60, 50);
    pm_set_color(ctx, 40, 120, 200, 255);
    pm_fill_rounded_rect(ctx, 170, 20, 60, 50, 12);
    pm_stroke_rounded_rect(ctx, 245, 20, 60, 50, 18);
    pm_set_color(ctx, 60, 160, 70, 255);
    pm_fill_oval(ctx, 320, 20, 70, 50);
    pm_stroke_oval(ctx, 400, 20, 50, 50);
    pm_set_color(ctx, 220, 150, 20, 255);
    pm_fill_arc(ctx, 465, 20, 60, 50, 0.4f, 4.4f);
    pm_set_line_cap(ctx, PM_CAP_ROUND);
    pm_stroke_arc(ctx, 545, 20, 70, 50, 3.3f, 3.6f);
}

/* Row 2: lines with each cap, polylines with each join. */
static void draw_strokes(pm_context* ctx) {
    static const pm_line_cap caps[3] = {PM_CAP_BUTT, PM_CAP_ROUND, PM_CAP_SQUARE};
    static const pm_line_join joins[3] = {PM_JOIN_MITER, PM_JOIN_ROUND, PM_JOIN_BEVEL};
    int i;
    pm_set_line_width(ctx, 10);
    pm_set_color(ctx, 50, 50, 60, 255);
    for (i = 0; i < 3; ++i) {
        pm_set_line_cap(ctx, caps[i]);
        pm_line(ctx, 30, 100 + i * 22.0f, 170, 92 + i * 22.0f);
    }
    pm_set_line_cap(ctx, PM_CAP_BUTT);
    pm_set_color(ctx, 140, 40, 160, 200);
    for (i = 0; i < 3; ++i) {
        float ox = 200 + i * 140.0f;
        float zigzag[8] = {ox, 160, ox + 30, 95, ox + 60, 160, ox + 110, 110};
        pm_set_line_join(ctx, joins[i]);
        pm_polyline(ctx, zigzag, 4);
    }
    pm_set_line_width(ctx, 1);
    pm_set_color(ctx, 0, 0, 0, 255);
    pm_line(ctx, 610, 90, 630, 170);
}

/* Row 3: a concave polygon and a self-intersecting star under both fill rules, and an outline. */
static void draw_polygons(pm_context* ctx) {
    static const float concave[] = {0, 0, 70, 0, 70, 60, 50, 60, 50, 20, 20, 20, 20, 60, 0, 60};
    static const float star[] = {35, 0, 56, 62, 0, 24, 70, 24, 14, 62};
    static const float loops[] = {0, 0, 70, 0, 70, 60, 10, 60, 10, 10, 60, 10, 60, 50, 0, 50};
    const pm_fill_rule rules[2] = {PM_FILL_NONZERO, PM_FILL_EVENODD};
    int i;
    for (i = 0; i < 2; ++i) {
        pm_push(ctx);
        pm_translate(ctx, 20 + i * 270.0f, 185);
        pm_set_color(ctx, 30, 110, 120, 255);
        pm_fill_polygon(ctx, concave, 8, rules[i]);
        pm_translate(ctx, 85, 0);
        pm_set_color(ctx, 210, 80, 30, 255);
        pm_fill_polygon(ctx, star, 5, rules[i]);
        pm_translate(ctx, 85, 0);
        pm_set_color(ctx, 90, 40, 150, 255);
        pm_fill_polygon(ctx, loops, 8, rules[i]);
        pm_pop(ctx);
    }
    pm_set_line_width(ctx, 2);
    pm_set_line_join(ctx, PM_JOIN_MITER);
    pm_set_color(ctx, 20, 20, 20, 255);
    pm_push(ctx);
    pm_translate(ctx, 560, 185);
    pm_stroke_polygon(ctx, star, 5);
    pm_pop(ctx);
}

/* Row 4, left: a group under push/pop with rotate, scale and skew, and a clipped shape. */
static void draw_transformed(pm_context* ctx, const Assets* assets) {
    static const float hook[] = {-30, 20, -10, -20, 10, 20, 30, -20};
    pm_push(ctx);
    pm_translate(ctx, 80, 320);
    pm_rotate(ctx, 0.5f);
    pm_scale(ctx, 1.3f, 0.8f);
    pm_set_color(ctx, 60, 130, 60, 255);
    pm_fill_rect(ctx, -40, -30, 80, 60);
    pm_push(ctx);
    pm_skew(ctx, 0.4f, 0.0f);
    pm_set_color(ctx, 250, 230, 90, 230);
    pm_fill_oval(ctx, -25, -18, 50, 36);
    pm_pop(ctx);
    pm_set_line_width(ctx, 4);
    pm_set_color(ctx, 20, 40, 120, 255);
    pm_polyline(ctx, hook, 4);
    if (assets->checker) pm_draw_image(ctx, assets->checker, 20, 10);
    pm_pop(ctx);

    pm_set_clip(ctx, 160, 280, 60, 40);
    pm_set_color(ctx, 180, 30, 90, 255);
    pm_fill_oval(ctx, 175, 290, 80, 80);
    pm_reset_clip(ctx);
}

/* Row 4, right: the five blend modes, each an oval over a two-tone bar. */
static void draw_blends(pm_context* ctx) {
    static const pm_blend_mode modes[PM_BLEND_MODE_COUNT] = {
        PM_BLEND_NORMAL, PM_BLEND_ADDITIVE, PM_BLEND_MULTIPLY, PM_BLEND_SCREEN, PM_BLEND_PREMULTIPLIED};
    int i;
    for (i = 0; i < PM_BLEND_MODE_COUNT; ++i) {
        float x = 250 + i * 78.0f;
        pm_set_blend_mode(ctx, PM_BLEND_NORMAL);
        pm_set_color(ctx, 30, 60, 160, 255);
        pm_fill_rect(ctx, x, 280, 70, 30);
        pm_set_color(ctx, 230, 200, 60, 255);
        pm_fill_rect(ctx, x, 310, 70, 30);
        pm_set_blend_mode(ctx, modes[i]);
        /* The premultiplied mode takes the colour already multiplied by its alpha. */
        if (modes[i] == PM_BLEND_PREMULTIPLIED)
            pm_set_color(ctx, 110, 20, 60, 160);
        else
            pm_set_color(ctx, 220, 40, 120, 160);
        pm_fill_oval(ctx, x + 10, 290, 50, 40);
    }
    pm_set_blend_mode(ctx, PM_BLEND_NORMAL);
}

/* Row 5: images (tinted, rotated, a part of one) and text. */
static void draw_images_and_text(pm_context* ctx, const Assets* assets) {
    if (assets->checker) {
        pm_set_color(ctx, 255, 255, 255, 255);
        pm_draw_image_rect(ctx, assets->checker, 0, 0, 16, 16, 20, 370, 64, 64);
        pm_set_color(ctx, 255, 120, 120, 200);
        pm_draw_image_rect(ctx, assets->checker, 4, 4, 8, 8, 95, 370, 64, 64);
        pm_push(ctx);
        pm_translate(ctx, 205, 402);
        pm_rotate(ctx, 0.7f);
        pm_set_color(ctx, 255, 255, 255, 255);
        pm_draw_image_rect(ctx, assets->checker, 0, 0, 16, 16, -24, -24, 48, 48);
        pm_pop(ctx);
    }
    pm_set_color(ctx, 255, 255, 255, 255);
    if (assets->picture) {
        int w = 0, h = 0;
        pm_image_size(assets->picture, &w, &h);
        /* Fitted into 64 x 64: whole texels on whole pixels for a 64-pixel picture. */
        if (w > 0 && h > 0)
            pm_draw_image_rect(ctx, assets->picture, 0, 0, (float)w, (float)h, 250, 372, 64, 64);
    }
    if (assets->font) {
        pm_set_color(ctx, 30, 30, 40, 255);
        pm_draw_text(ctx, assets->font, "Pixmote draws every primitive.", 350, 370, 0, PM_ALIGN_LEFT);
        /* Right-aligned rather than centred: a centred line may start half a pixel in, and glyph texels
         * split by pixel centres come out differently on different devices. */
        pm_draw_text(ctx, assets->font, "Text aligned right wraps to a width of 260 pixels.", 350, 400, 260,
                     PM_ALIGN_RIGHT);
    }
}

static void draw_scene(pm_context* ctx, const Assets* assets) {
    draw_shapes(ctx);
    draw_strokes(ctx);
    draw_polygons(ctx);
    draw_transformed(ctx, assets);
    draw_blends(ctx);
    draw_images_and_text(ctx, assets);
}

/* A context on the device with the scene's images and font. */
static pm_context* open_scene(const pm_device* device, Assets* assets, const char* image_path,
                              const char* font_path) {
    pm_context* ctx = pm_context_create(device);
    if (!ctx) {
        fprintf(stderr, "sdl_host: %s\n", pm_error_string(pm_last_error()));
        return NULL;
    }
    load_assets(ctx, assets, image_path, font_path);
    return ctx;
}

static void close_scene(pm_context* ctx, Assets* assets) {
    free_assets(assets);
    pm_context_destroy(ctx);
}

/* One frame of the scene; the target was cleared to the background. */
static int frame(pm_context* ctx, const Assets* assets) {
    pm_result result = pm_begin_frame(ctx, WIDTH, HEIGHT);
    if (result == PM_OK) {
        draw_scene(ctx, assets);
        result = pm_end_frame(ctx);
    }
    if (result != PM_OK) fprintf(stderr, "sdl_host: %s\n", pm_error_string(result));
    return result == PM_OK;
}

static int write_png(const char* path, const uint8_t* rgba) {
    png_image image;
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = WIDTH;
    image.height = HEIGHT;
    image.format = PNG_FORMAT_RGBA;
    if (png_image_write_to_file(&image, path, 0, rgba, 0, NULL)) return 1;
    fprintf(stderr, "sdl_host: cannot write %s\n", path);
    return 0;
}

static int software_png(const char* path, const char* image_path, const char* font_path) {
    pm_software* target = pm_software_create(WIDTH, HEIGHT);
    Assets assets = {NULL, NULL, NULL};
    pm_context* ctx = target ? open_scene(pm_software_device(target), &assets, image_path, font_path) : NULL;
    int ok = 0;
    if (ctx) {
        pm_software_clear(target, BACKGROUND[0], BACKGROUND[1], BACKGROUND[2], BACKGROUND[3]);
        ok = frame(ctx, &assets) && write_png(path, pm_software_pixels(target));
        close_scene(ctx, &assets);
    }
    pm_software_destroy(target);
    return ok;
}

/* The few GL calls the host makes itself, for its clear and its off-screen framebuffer. */
typedef void(APIENTRYP ClearColorFn)(GLfloat, GLfloat, GLfloat, GLfloat);
typedef void(APIENTRYP ClearFn)(GLbitfield);
typedef void(APIENTRYP ReadPixelsFn)(GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, void*);
typedef void(APIENTRYP PixelStoreiFn)(GLenum, GLint);
typedef struct HostGl {
    ClearColorFn ClearColor;
    ClearFn Clear;
    ReadPixelsFn ReadPixels;
    PixelStoreiFn PixelStorei;
    PFNGLGENFRAMEBUFFERSPROC GenFramebuffers;
    PFNGLBINDFRAMEBUFFERPROC BindFramebuffer;
    PFNGLGENRENDERBUFFERSPROC GenRenderbuffers;
    PFNGLBINDRENDERBUFFERPROC BindRenderbuffer;
    PFNGLRENDERBUFFERSTORAGEPROC RenderbufferStorage;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC FramebufferRenderbuffer;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC CheckFramebufferStatus;
} HostGl;

static int load_host_gl(HostGl* gl) {
    gl->ClearColor = (ClearColorFn)SDL_GL_GetProcAddress("glClearColor");
    gl->Clear = (ClearFn)SDL_GL_GetProcAddress("glClear");
    gl->ReadPixels = (ReadPixelsFn)SDL_GL_GetProcAddress("glReadPixels");
    gl->PixelStorei = (PixelStoreiFn)SDL_GL_GetProcAddress("glPixelStorei");
    gl->GenFramebuffers = (PFNGLGENFRAMEBUFFERSPROC)SDL_GL_GetProcAddress("glGenFramebuffers");
    gl->BindFramebuffer = (PFNGLBINDFRAMEBUFFERPROC)SDL_GL_GetProcAddress("glBindFramebuffer");
    gl->GenRenderbuffers = (PFNGLGENRENDERBUFFERSPROC)SDL_GL_GetProcAddress("glGenRenderbuffers");
    gl->BindRenderbuffer = (PFNGLBINDRENDERBUFFERPROC)SDL_GL_GetProcAddress("glBindRenderbuffer");
    gl->RenderbufferStorage = (PFNGLRENDERBUFFERSTORAGEPROC)SDL_GL_GetProcAddress("glRenderbufferStorage");
    gl->FramebufferRenderbuffer =
        (PFNGLFRAMEBUFFERRENDERBUFFERPROC)SDL_GL_GetProcAddress("glFramebufferRenderbuffer");
    gl->CheckFramebufferStatus =
        (PFNGLCHECKFRAMEBUFFERSTATUSPROC)SDL_GL_GetProcAddress("glCheckFramebufferStatus");
    return gl->ClearColor && gl->Clear && gl->ReadPixels && gl->PixelStorei && gl->GenFramebuffers &&
           gl->BindFramebuffer && gl->GenRenderbuffers && gl->BindRenderbuffer && gl->RenderbufferStorage &&
           gl->FramebufferRenderbuffer && gl->CheckFramebufferStatus;
}

static void clear(const HostGl* gl) {
    gl->ClearColor(BACKGROUND[0] / 255.0f, BACKGROUND[1] / 255.0f, BACKGROUND[2] / 255.0f, 1.0f);
    gl->Clear(GL_COLOR_BUFFER_BIT);
}

/* Draws one frame into a framebuffer object and writes it out, top row first. */
static int screenshot(const HostGl* gl, pm_context* ctx, const Assets* assets, const char* path) {
    GLuint fbo = 0, colour = 0;
    uint8_t* rows;
    int y, ok;
    gl->GenFramebuffers(1, &fbo);
    gl->BindFramebuffer(GL_FRAMEBUFFER, fbo);
    gl->GenRenderbuffers(1, &colour);
    gl->BindRenderbuffer(GL_RENDERBUFFER, colour);
    gl->RenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, WIDTH, HEIGHT);
    gl->FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    if (gl->CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        fprintf(stderr, "sdl_host: cannot make an off-screen framebuffer\n");
        return 0;
    }
    clear(gl);
    if (!frame(ctx, assets)) return 0;
    rows = (uint8_t*)malloc((size_t)WIDTH * HEIGHT * 4 * 2);
    if (!rows) return 0;
    gl->PixelStorei(GL_PACK_ALIGNMENT, 1);
    gl->ReadPixels(0, 0, WIDTH, HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, rows);
    /* GL reads bottom row first. */
    for (y = 0; y < HEIGHT; ++y)
        memcpy(rows + (size_t)WIDTH * HEIGHT * 4 + (size_t)y * WIDTH * 4,
               rows + (size_t)(HEIGHT - 1 - y) * WIDTH * 4, (size_t)WIDTH * 4);
    ok = write_png(path, rows + (size_t)WIDTH * HEIGHT * 4);
    free(rows);
    return ok;
}

static void show(SDL_Window* window, const HostGl* gl, pm_context* ctx, const Assets* assets) {
    int running = 1;
    while (running) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_QUIT || (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE))
                running = 0;
        }
        clear(gl);
        if (!frame(ctx, assets)) running = 0;
        SDL_GL_SwapWindow(window);
        SDL_Delay(30);
    }
}

/* Headless runs take SDL's offscreen driver; without it, whatever SDL finds. */
static int start_video(int headless) {
    if (headless && !getenv("SDL_VIDEODRIVER")) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
        if (SDL_Init(SDL_INIT_VIDEO) == 0) return 1;
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "");
    }
    return SDL_Init(SDL_INIT_VIDEO) == 0;
}

int main(int argc, char** argv) {
    const char *shot = NULL, *soft = NULL, *image_path = NULL, *font_path = NULL;
    SDL_Window* window;
    SDL_GLContext context;
    pm_opengl* device;
    pm_context* ctx = NULL;
    Assets assets = {NULL, NULL, NULL};
    HostGl gl;
    int i, ok = 1;
    for (i = 1; i < argc; ++i) {
        const char** slot = !strcmp(argv[i], "--screenshot") ? &shot
                            : !strcmp(argv[i], "--software") ? &soft
                            : !strcmp(argv[i], "--image")    ? &image_path
                            : !strcmp(argv[i], "--font")     ? &font_path
                                                             : NULL;
        if (!slot || i + 1 >= argc) {
            fprintf(stderr,
                    "usage: %s [--screenshot OUT.png | --software OUT.png] [--image FILE] [--font FILE]\n",
                    argv[0]);
            return 2;
        }
        *slot = argv[++i];
    }
    if (soft) return software_png(soft, image_path, font_path) ? 0 : 1;

    if (!start_video(shot != NULL)) {
        fprintf(stderr, "sdl_host: no video: %s\n", SDL_GetError());
        return 3;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
#ifdef __APPLE__
    /* macOS gives a core profile only forward-compatible. */
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, SDL_GL_CONTEXT_FORWARD_COMPATIBLE_FLAG);
#endif
    window = SDL_CreateWindow("Pixmote", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, WIDTH, HEIGHT,
                              SDL_WINDOW_OPENGL | (shot ? SDL_WINDOW_HIDDEN : SDL_WINDOW_SHOWN));
    context = window ? SDL_GL_CreateContext(window) : NULL;
    /* Exit status 3: no OpenGL 3.3 here, which a caller may take as "cannot test", not "broken". */
    if (!context) {
        fprintf(stderr, "sdl_host: no OpenGL 3.3 context: %s\n", SDL_GetError());
        if (window) SDL_DestroyWindow(window);
        SDL_Quit();
        return 3;
    }
    device = load_host_gl(&gl) ? pm_opengl_create(SDL_GL_GetProcAddress) : NULL;
    if (!device)
        fprintf(stderr, "sdl_host: %s\n", *pm_opengl_error() ? pm_opengl_error() : "GL functions missing");
    else
        ctx = open_scene(pm_opengl_device(device), &assets, image_path, font_path);
    if (!ctx)
        ok = 0;
    else if (shot)
        ok = screenshot(&gl, ctx, &assets, shot);
    else
        show(window, &gl, ctx, &assets);
    if (ctx) close_scene(ctx, &assets);
    pm_opengl_destroy(device);
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return ok ? 0 : 1;
}
