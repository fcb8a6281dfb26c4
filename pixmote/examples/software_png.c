/* Pixmote on its software device, no window and no GPU: draws a small picture and writes it to the PNG
 * file named on the command line.
 *
 *   cc software_png.c $(pkg-config --cflags --libs pixmote pixmote-software) -o software_png
 *   ./software_png picture.png
 */
#include <pixmote.h>
#include <pixmote_software.h>
#include <stdio.h>

static void draw(pm_context* ctx) {
    static const float star[] = {0, -70, 41, 57, -66, -22, 66, -22, -41, 57};
    static const float wave[] = {20, 220, 60, 190, 100, 230, 140, 190, 180, 230, 220, 190};
    int i;

    /* A rotated card with a translucent star on it, the star's middle left open by the even-odd rule. */
    pm_push(ctx);
    pm_translate(ctx, 128, 118);
    pm_rotate(ctx, 0.3f);
    pm_set_color(ctx, 40, 90, 200, 255);
    pm_fill_rounded_rect(ctx, -70, -50, 140, 100, 14);
    pm_set_color(ctx, 240, 200, 0, 200);
    pm_fill_polygon(ctx, star, 5, PM_FILL_EVENODD);
    pm_pop(ctx);

    /* Rings of dots around it, lighter towards the end. */
    for (i = 0; i < 12; ++i) {
        pm_push(ctx);
        pm_translate(ctx, 128, 118);
        pm_rotate(ctx, i * 0.5235988f);
        pm_set_color(ctx, 200, 60, 40, (uint8_t)(255 - i * 15));
        pm_fill_oval(ctx, 92, -7, 14, 14);
        pm_pop(ctx);
    }

    /* A wavy line with round caps and joins, and an outlined oval under it. */
    pm_set_line_width(ctx, 6);
    pm_set_line_cap(ctx, PM_CAP_ROUND);
    pm_set_line_join(ctx, PM_JOIN_ROUND);
    pm_set_color(ctx, 30, 140, 70, 255);
    pm_polyline(ctx, wave, 6);
    pm_set_line_width(ctx, 2);
    pm_set_color(ctx, 20, 20, 20, 255);
    pm_stroke_oval(ctx, 150, 196, 90, 44);

    /* A glow added on top. */
    pm_set_blend_mode(ctx, PM_BLEND_ADDITIVE);
    pm_set_color(ctx, 90, 60, 0, 255);
    pm_fill_oval(ctx, 160, 20, 70, 70);
}

int main(int argc, char** argv) {
    pm_software* target;
    pm_context* ctx;
    pm_result result;
    if (argc != 2) {
        fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
        return 2;
    }
    target = pm_software_create(256, 256);
    ctx = pm_context_create(pm_software_device(target));
    if (!ctx) {
        fprintf(stderr, "pixmote: %s\n", pm_error_string(pm_last_error()));
        pm_software_destroy(target);
        return 1;
    }
    pm_software_clear(target, 245, 240, 228, 255);
    pm_begin_frame(ctx, 256, 256);
    draw(ctx);
    result = pm_end_frame(ctx);
    if (result == PM_OK) result = pm_software_write_png(target, argv[1]);
    if (result != PM_OK) fprintf(stderr, "pixmote: %s: %s\n", argv[1], pm_error_string(result));
    pm_context_destroy(ctx);
    pm_software_destroy(target);
    return result == PM_OK ? 0 : 1;
}
