/* Pixmote: a small 2-D drawing library that draws through a device its host hands in.
 *
 * The host fills a pm_device with callbacks (textures, batches of triangles, clip, frame), creates a
 * pm_context on it and draws between pm_begin_frame and pm_end_frame. Every call returns a pm_result
 * (or NULL / 0 for constructors and queries); pm_last_error gives the last failure of this thread.
 * Bad input is refused with an error code and draws nothing. Coordinates are in pixels, y down, and
 * every shape goes through the current transform. Colours are straight (not premultiplied) RGBA8
 * unless the blend mode says otherwise. */
#ifndef PIXMOTE_H
#define PIXMOTE_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#define PM_API __declspec(dllexport)
#else
#define PM_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define PM_VERSION_MAJOR 0
#define PM_VERSION_MINOR 1
#define PM_VERSION_PATCH 0

typedef struct pm_context pm_context;
typedef struct pm_image pm_image;
typedef struct pm_font pm_font;

/* Every enum here spans the whole int range, so that any value a host passes is a value of the type
 * and can be refused rather than being undefined. */
#define PM_ENUM_SPAN_(name) name##_MIN_ = -0x7fffffff - 1, name##_MAX_ = 0x7fffffff

typedef enum pm_result {
    PM_OK = 0,
    PM_ERROR_INVALID_ARGUMENT = 1, /* a null handle, NaN, a coordinate out of range, a bad enum */
    PM_ERROR_DEVICE = 2,           /* a device callback is missing or reported a failure */
    PM_ERROR_DECODE = 3,           /* an image or font file is malformed or truncated */
    PM_ERROR_OUT_OF_MEMORY = 4,
    PM_ERROR_TOO_LARGE = 5,   /* more points, pixels or glyphs than the library accepts */
    PM_ERROR_STATE = 6,       /* drawing outside a frame, a pop without a push, ... */
    PM_ERROR_IO = 7,          /* a file could not be read */
    PM_ERROR_UNSUPPORTED = 8, /* declared, not implemented in this build */
    PM_ENUM_SPAN_(PM_RESULT)
} pm_result;

typedef enum pm_blend_mode {
    PM_BLEND_NORMAL = 0,        /* source over, straight alpha */
    PM_BLEND_ADDITIVE = 1,      /* destination + source * alpha */
    PM_BLEND_MULTIPLY = 2,      /* destination * source, weighted by alpha */
    PM_BLEND_SCREEN = 3,        /* 1 - (1 - destination) * (1 - source), weighted by alpha */
    PM_BLEND_PREMULTIPLIED = 4, /* source over, the source's colour already multiplied by its alpha */
    PM_ENUM_SPAN_(PM_BLEND)
} pm_blend_mode;
#define PM_BLEND_MODE_COUNT 5

typedef enum pm_fill_rule { PM_FILL_NONZERO = 0, PM_FILL_EVENODD = 1, PM_ENUM_SPAN_(PM_FILL) } pm_fill_rule;
typedef enum pm_line_cap {
    PM_CAP_BUTT = 0,
    PM_CAP_ROUND = 1,
    PM_CAP_SQUARE = 2,
    PM_ENUM_SPAN_(PM_CAP)
} pm_line_cap;
typedef enum pm_line_join {
    PM_JOIN_MITER = 0,
    PM_JOIN_ROUND = 1,
    PM_JOIN_BEVEL = 2,
    PM_ENUM_SPAN_(PM_JOIN)
} pm_line_join;
typedef enum pm_align {
    PM_ALIGN_LEFT = 0,
    PM_ALIGN_CENTER = 1,
    PM_ALIGN_RIGHT = 2,
    PM_ENUM_SPAN_(PM_ALIGN)
} pm_align;

/* One corner of a triangle handed to the device: position in device pixels, texture coordinates in
 * 0..1 over the texture, and a straight-alpha colour the texel is multiplied by. */
typedef struct pm_vertex {
    float x, y;
    float u, v;
    uint8_t r, g, b, a;
} pm_vertex;

/* An affine transform: x' = a*x + c*y + e, y' = b*x + d*y + f. */
typedef struct pm_transform {
    float a, b, c, d, e, f;
} pm_transform;

/* Texture 0 means "no texture": the vertex colour alone. */
#define PM_NO_TEXTURE 0u

/* Pixels x0 .. x1 - 1 of a row, covered by coverage / 255 of a fill. */
typedef struct pm_run {
    int32_t x0, x1;
    uint8_t coverage;
} pm_run;

/* The host's graphics device. Every callback is required but fill_runs (geometric_antialias is a
 * flag). Pixmote calls them only from the thread that draws on the context. */
typedef struct pm_device {
    void* user;
    /* A new w x h texture from rows of straight RGBA8 (w * 4 bytes each); returns its id, 0 on failure. */
    uint32_t (*create_texture)(void* user, int w, int h, const uint8_t* rgba);
    /* Replaces a sub-rectangle of a texture; stride is the byte distance between rows. 0 on success. */
    int (*update_texture)(void* user, uint32_t texture, int x, int y, int w, int h, const uint8_t* rgba,
                          int stride);
    void (*destroy_texture)(void* user, uint32_t texture);
    /* count vertices, three a triangle. 0 on success. */
    int (*draw_triangles)(void* user, const pm_vertex* vertices, int count, uint32_t texture,
                          pm_blend_mode blend);
    /* Limits drawing to the rectangle, or lifts the limit when enabled is 0. */
    void (*set_clip)(void* user, int enabled, int x, int y, int w, int h);
    void (*begin_frame)(void* user, int width, int height);
    void (*end_frame)(void* user);
    /* Optional (NULL, as a zero-initialised table leaves it, to do without): a fill's coverage
     * straight onto the target, for devices that draw on the CPU, instead of quads over its box textured
     * by its coverage mask (a texture made for each batch). Rows y0 .. y1 - 1 each take the same runs,
     * left to right, inside the frame and the clip: their pixels are drawn in color (straight RGBA8,
     * or premultiplied under PM_BLEND_PREMULTIPLIED) with its alpha, and under PM_BLEND_PREMULTIPLIED
     * its colour channels too, scaled by the coverage as (c * coverage + 127) / 255. Batched
     * triangles are sent first. 0 on success. */
    int (*fill_runs)(void* user, int y0, int y1, const pm_run* runs, int count, const uint8_t color[4],
                     pm_blend_mode blend);
    /* Optional (0 to do without): nonzero asks for antialiasing by geometry, for devices where
     * triangles are cheap and coverage computed on the CPU is not (a GPU). Antialiased fills whose
     * outline is convex or a star (rectangles, turned or not, rounded rectangles, ovals, pie slices,
     * convex and star polygons, single lines), the outlines of rectangles, rounded rectangles and
     * ovals, and gently bending open strokes with any caps then come through draw_triangles as
     * plain coloured triangles (untextured, or sampling an opaque white texel of the batch's coverage
     * texture when they share its batch): the inside inset by half a pixel, and a fringe a pixel wide
     * across each edge whose outer vertices have alpha 0 (under PM_BLEND_PREMULTIPLIED, colour 0
     * too). Edges come
     * within a step or two of the computed coverage, sharp corners and parts thinner than two pixels
     * less close. Other shapes come as before. Ignored when antialiasing is off. */
    int geometric_antialias;
} pm_device;

/* --- errors and version ------------------------------------------------------------------------ */
PM_API pm_result pm_last_error(void);
PM_API const char* pm_error_string(pm_result result);
PM_API const char* pm_version_string(void);
/* Where refusals are reported, one line each (the function and the reason); NULL for silence, the
 * default. Process-wide; set it before drawing starts. */
typedef void (*pm_log_fn)(void* user, const char* message);
PM_API void pm_set_log(pm_log_fn log, void* user);

/* --- context and frames ------------------------------------------------------------------------ */
/* The device table is copied. NULL (and PM_ERROR_INVALID_ARGUMENT) for a missing callback. */
PM_API pm_context* pm_context_create(const pm_device* device);
PM_API void pm_context_destroy(pm_context* ctx);
/* Starts a frame of width x height pixels: identity transform, no clip, opaque white, normal blend. */
PM_API pm_result pm_begin_frame(pm_context* ctx, int width, int height);
/* Sends what is batched and ends the frame. */
PM_API pm_result pm_end_frame(pm_context* ctx);
/* Sends what is batched now (the device is not told anything else). */
PM_API pm_result pm_flush(pm_context* ctx);

/* --- state ------------------------------------------------------------------------------------- */
PM_API pm_result pm_set_color(pm_context* ctx, uint8_t r, uint8_t g, uint8_t b, uint8_t a);
PM_API pm_result pm_set_blend_mode(pm_context* ctx, pm_blend_mode mode);
/* Antialiased edges are on by default. */
PM_API pm_result pm_set_antialias(pm_context* ctx, int enabled);
/* A clip rectangle in device pixels (not transformed). */
PM_API pm_result pm_set_clip(pm_context* ctx, int x, int y, int w, int h);
PM_API pm_result pm_reset_clip(pm_context* ctx);
/* Line width in user units (1 by default; 0 draws nothing), butt caps and miter joins by default. A
 * miter longer than 4 line widths becomes a bevel. */
PM_API pm_result pm_set_line_width(pm_context* ctx, float width);
PM_API pm_result pm_set_line_cap(pm_context* ctx, pm_line_cap cap);
PM_API pm_result pm_set_line_join(pm_context* ctx, pm_line_join join);

/* --- transform stack (each call composes with the current transform, applied first) ------------ */
PM_API pm_result pm_push(pm_context* ctx);
PM_API pm_result pm_pop(pm_context* ctx);
PM_API pm_result pm_identity(pm_context* ctx);
PM_API pm_result pm_translate(pm_context* ctx, float x, float y);
/* Radians, clockwise on screen (y down). */
PM_API pm_result pm_rotate(pm_context* ctx, float radians);
PM_API pm_result pm_scale(pm_context* ctx, float sx, float sy);
/* Skew angles in radians along x and y. */
PM_API pm_result pm_skew(pm_context* ctx, float ax, float ay);
PM_API pm_result pm_set_transform(pm_context* ctx, const pm_transform* transform);
PM_API pm_result pm_get_transform(const pm_context* ctx, pm_transform* out);

/* --- rectangles, ovals, arcs ------------------------------------------------------------------- */
PM_API pm_result pm_fill_rect(pm_context* ctx, float x, float y, float w, float h);
/* The outline lies inside the rectangle, line width thick. */
PM_API pm_result pm_stroke_rect(pm_context* ctx, float x, float y, float w, float h);
PM_API pm_result pm_fill_rounded_rect(pm_context* ctx, float x, float y, float w, float h, float radius);
PM_API pm_result pm_stroke_rounded_rect(pm_context* ctx, float x, float y, float w, float h, float radius);
/* The oval inscribed in the rectangle. */
PM_API pm_result pm_fill_oval(pm_context* ctx, float x, float y, float w, float h);
/* Like a rectangle's, the outlines of rounded rectangles and ovals lie inside the shape. */
PM_API pm_result pm_stroke_oval(pm_context* ctx, float x, float y, float w, float h);
/* A pie slice of the oval from angle start over sweep (radians, clockwise from +x); a sweep of a whole
 * turn or more is the whole oval. Stroked, the stretch of the oval's outline, ended by the caps. */
PM_API pm_result pm_fill_arc(pm_context* ctx, float x, float y, float w, float h, float start, float sweep);
PM_API pm_result pm_stroke_arc(pm_context* ctx, float x, float y, float w, float h, float start, float sweep);

/* --- lines and polygons ------------------------------------------------------------------------ */
PM_API pm_result pm_line(pm_context* ctx, float x0, float y0, float x1, float y1);
/* xy holds count points as x, y pairs. */
PM_API pm_result pm_polyline(pm_context* ctx, const float* xy, size_t count);
/* A closed polygon, convex, concave or self-intersecting. At most PM_MAX_POLYGON_POINTS points; an
 * outline whose edges cross the target's rows tens of millions of times is refused as too large. */
PM_API pm_result pm_fill_polygon(pm_context* ctx, const float* xy, size_t count, pm_fill_rule rule);
PM_API pm_result pm_stroke_polygon(pm_context* ctx, const float* xy, size_t count);
#define PM_MAX_POLYGON_POINTS 1000000

/* --- images ------------------------------------------------------------------------------------ */
/* PNG or JPEG, told apart by their first bytes, decoded to straight RGBA8. PNG in every colour type
 * and depth (palette, grey, 16-bit samples cut to 8, interlaced; tRNS becomes alpha); JPEG in colour,
 * grey or CMYK, opaque. The image's texture is made on the context's device and can be drawn only
 * there; the image may outlive the context. NULL and pm_last_error: PM_ERROR_IO for a file that
 * cannot be read, PM_ERROR_DECODE for anything else, truncated or corrupt (a JPEG libjpeg would patch
 * with grey is refused, and so is a header claiming more pixels than the file's bytes could encode),
 * PM_ERROR_TOO_LARGE for a side over 16384 pixels (both from the header, before the pixels are
 * allocated), PM_ERROR_DEVICE when the device makes no texture. */
PM_API pm_image* pm_image_load_file(pm_context* ctx, const char* path);
PM_API pm_image* pm_image_load_memory(pm_context* ctx, const void* data, size_t size);
/* From rows of straight RGBA8, stride bytes apart. */
PM_API pm_image* pm_image_create_rgba(pm_context* ctx, int w, int h, const uint8_t* rgba, int stride);
PM_API void pm_image_destroy(pm_image* image);
PM_API pm_result pm_image_size(const pm_image* image, int* w, int* h);
/* Draws the image at (x, y), tinted by the current colour. */
PM_API pm_result pm_draw_image(pm_context* ctx, const pm_image* image, float x, float y);
/* Draws the source rectangle of the image into the destination rectangle. */
PM_API pm_result pm_draw_image_rect(pm_context* ctx, const pm_image* image, float sx, float sy, float sw,
                                    float sh, float dx, float dy, float dw, float dh);

/* --- image fonts (text glyph tables beside page images) ---------------------------------------- */
/* The common text format of bitmap fonts: lines "common lineHeight= base= scaleW= scaleH= pages=",
 * "page id= file=", "chars count=", "char id= x= y= width= height= xoffset= yoffset= xadvance= page=",
 * "kernings count=", "kerning first= second= amount=" (keys in any order, values quoted or not;
 * other lines and keys, chnl included, are ignored: pages are drawn as RGBA, tinted by the colour).
 * A table that lies is refused whole with PM_ERROR_DECODE: no common line, a count that differs from
 * its lines, a page or character id given twice, a page id past pages=, a glyph on a missing page or
 * reaching outside its page image, a number out of range (metrics beyond +-16384, ids past U+10FFFF,
 * more than 64 pages, 131072 glyphs or 1048576 kerning pairs) or not a number, an unclosed quote.
 * A kerning pair given twice keeps its last amount. */
/* A font description file; its page images are read from beside it (file= relative to the
 * description's folder). The font owns those pages and destroys them with itself. */
PM_API pm_font* pm_font_load_file(pm_context* ctx, const char* path);
/* A font description in memory with its one page image already loaded (the description must declare
 * one page, or none). The font does not own the page: the caller destroys it, after the font. */
PM_API pm_font* pm_font_load_memory(pm_context* ctx, const char* description, size_t size, pm_image* page);
PM_API void pm_font_destroy(pm_font* font);
/* The distance between lines; 0 (and PM_ERROR_INVALID_ARGUMENT) for NULL. */
PM_API float pm_font_line_height(const pm_font* font);
/* Text is NUL-terminated UTF-8. An invalid or cut sequence becomes U+FFFD, drawn with the font's
 * U+FFFD glyph, else its '?', else as a missing character. A character the font lacks draws nothing
 * and advances as far as the font's space (half the line height when it has no space). Kerning
 * applies between neighbours on a line. '\n' starts a new line ('\r' is ignored). With
 * wrap_width > 0 a line breaks at its last run of spaces before the first character whose advance
 * would pass wrap_width; a word wider than the line alone is broken between characters (every line
 * holds at least one). Spaces at the end of a wrapped line are dropped, and at the end of any line not
 * counted in its width. A line's width runs from its start to the advance of its last character that
 * is not a space.
 * The block is w x h: w the widest line, h the number of lines times the line height; empty text is
 * 0 x 0. At most 1048576 characters (PM_ERROR_TOO_LARGE past that). */
PM_API pm_result pm_measure_text(const pm_font* font, const char* text, float wrap_width, float* w, float* h);
/* Draws text with its block's top at y: line n's top is y + n * line height, each glyph at the pen
 * plus its xoffset and yoffset. Each line starts at
 *   left:   x
 *   center: x + round((wrap_width - line width) / 2), or x - round(line width / 2) without wrapping
 *   right:  x + wrap_width - line width,              or x - line width without wrapping
 * so integer positions keep glyphs on whole pixels. Through the transform, tinted by the colour, in
 * the blend mode; a string on one page is one batch. A string any of whose glyphs would fall out of
 * the coordinate range draws nothing. */
PM_API pm_result pm_draw_text(pm_context* ctx, const pm_font* font, const char* text, float x, float y,
                              float wrap_width, pm_align align);

/* --- collision tests (each shape under its own transform; NULL means identity) -----------------
 * Geometry is in the space the transforms lead to (device pixels when they are the drawing's), in
 * double precision, and exact up to its rounding: no curve is flattened.
 * - A shape is its open interior. A point on an outline is not inside; shapes that only touch (along
 *   an edge or at a corner) do not overlap; a shape with no area (a zero width or height, a polygon
 *   that encloses nothing, a singular transform, which flattens it onto a line) contains no point and
 *   overlaps nothing.
 * - Rectangles and ovals take x, y, w, h as drawn; a negative side spans the other way.
 * - The answer goes to *hit: 1 or 0. On any refusal *hit is 0 (a NULL hit is refused too).
 * - Refused with PM_ERROR_INVALID_ARGUMENT: NaN, infinite or beyond 10,000,000 coordinates, sizes or
 *   transform entries, a point or corner the transform throws beyond that range, a NULL polygon or
 *   image, fewer than 3 polygon points, an unknown fill rule. With PM_ERROR_TOO_LARGE: more than
 *   PM_MAX_POLYGON_POINTS points, and the rare pair of huge outlines that run alongside each other
 *   without crossing (tens of millions of edge pairs to compare), or images whose overlap would need
 *   tens of millions of pixels looked at. */
PM_API pm_result pm_point_in_rect(float px, float py, float x, float y, float w, float h,
                                  const pm_transform* t, int* hit);
PM_API pm_result pm_point_in_oval(float px, float py, float x, float y, float w, float h,
                                  const pm_transform* t, int* hit);
/* Inside under the fill rule, as pm_fill_polygon fills it. */
PM_API pm_result pm_point_in_polygon(float px, float py, const float* xy, size_t count, pm_fill_rule rule,
                                     const pm_transform* t, int* hit);
/* Separating axes on the two transformed rectangles (parallelograms). */
PM_API pm_result pm_rects_overlap(float ax, float ay, float aw, float ah, const pm_transform* ta, float bx,
                                  float by, float bw, float bh, const pm_transform* tb, int* hit);
/* Any affine transform makes an oval an ellipse; in the space where one is the unit disc, they overlap
 * when the other's nearest point (found to full precision) is nearer than 1 to its centre. */
PM_API pm_result pm_ovals_overlap(float ax, float ay, float aw, float ah, const pm_transform* ta, float bx,
                                  float by, float bw, float bh, const pm_transform* tb, int* hit);
/* Convex, concave or self-intersecting polygons, both filled under the non-zero rule (the regions a
 * self-crossing outline winds round twice count as inside). Edges that cross answer at once; outlines
 * that touch or nest are settled by the winding numbers beside the pieces of their edges. */
PM_API pm_result pm_polygons_overlap(const float* axy, size_t acount, const pm_transform* ta,
                                     const float* bxy, size_t bcount, const pm_transform* tb, int* hit);
/* Pixel-exact, as nearest-sampled drawing lights the pixels. Each image lies at the origin of its
 * transform (put its position in the transform), texel (i, j) covering [i, i + 1) x [j, j + 1). A
 * device pixel (x, y) shows the texel its centre (x + 0.5, y + 0.5) falls in through the transform.
 * The images overlap when some pixel shows a texel of each whose alpha is above the threshold. Only
 * the pixels inside both transformed outlines are looked at, a run of equal texels at a time. */
PM_API pm_result pm_images_overlap(const pm_image* a, const pm_transform* ta, const pm_image* b,
                                   const pm_transform* tb, uint8_t alpha_threshold, int* hit);

#ifdef __cplusplus
}
#endif

#endif
