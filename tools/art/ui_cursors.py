#!/usr/bin/python3
"""The nine pointer images. The game draws a cursor image centred on pointer + offset, so the hot
spot sits at image centre - offset: the arrow (offset 14, 19) is 30 x 40 with its tip at (1, 1);
the pointing hand (offset 24, 23) is 60 x 52 with the fingertip at (6, 3); all others (offset 0, 0)
have their hot spot in the middle. The "use" cursor is animated (a turning cog)."""
import math

import numpy as np

import kit as S
from ui_bar import cog_mask


def finish(mask, fill, seed, edge="ink"):
    """Fill a cursor shape with a material, a soft dark edge for legibility, and a drop shadow."""
    h, w = mask.shape
    img = S.canvas(w, h)
    sh = S.solid(S.blur(S.shift(mask, 2, 1), 1.4), "#000000", 0.55)
    S.over(img, sh)
    S.over(img, S.solid(S.dilate(mask, 1.1), edge, 0.9))
    S.over(img, fill)
    return img


def ivory(mask, seed):
    h, w = mask.shape
    col = S.parchment(w, h, seed, -0.15)
    hgt = S.height_from_mask(mask, 4, "round")
    return S.layer(S.bevel(col, hgt, 5, specular=0.3), mask)


def arrow_cursor(seed):
    w, h = 30, 40
    pts = [(1.5, 1.5), (1.5, 29), (8.5, 23), (13.5, 34.5), (18.5, 32.5), (13.8, 21.5), (23, 21.5)]
    m = S.polygon(w, h, pts)
    fill = S.brass_layer(m, seed, 2.5, 6.0, 0.12)
    return finish(m, fill, seed)


def capsule(w, h, x0, y0, x1, y1, r):
    return S.line_mask(w, h, [(x0, y0), (x1, y1)], 2 * r)


def pointing_hand(seed):
    w, h = 60, 52
    m = capsule(w, h, 6.5, 6, 6.5, 26, 4.6)                      # index finger, tip at (6, ~1.5)
    m = np.maximum(m, S.rrect_mask(w, h, (2, 22, 34, 46), 8))          # palm
    for x, y in ((15.5, 22), (23.5, 23), (30.5, 25.5)):           # curled fingers
        m = np.maximum(m, S.circle(w, h, x, y, 4.6))
        m = np.maximum(m, capsule(w, h, x, y, x, y + 8, 4.6))
    m = np.maximum(m, capsule(w, h, 3, 34, -1, 27, 4))            # thumb
    fill = ivory(m, seed)
    # knuckle creases
    cr = np.zeros((h, w), np.float32)
    for x in (11.2, 19.5, 27.2):
        cr = np.maximum(cr, S.line_mask(w, h, [(x, 21), (x, 29)], 0.8))
    fill[..., :3] *= (1 - cr[..., None] * 0.35)
    cuff = S.rrect_mask(w, h, (4, 43, 34, 51), 3)
    img = finish(np.maximum(m, cuff), fill, seed)
    S.over(img, S.brass_layer(cuff, seed + 1, 1.5, 5))
    return img


def grab_hand(seed):
    w, h = 56, 56
    m = S.rrect_mask(w, h, (14, 24, 42, 48), 10)
    for i, (x, top) in enumerate(((16, 10), (24, 6), (32, 7), (40, 12))):
        m = np.maximum(m, capsule(w, h, x, top + 3, x, 30, 4.2))
    m = np.maximum(m, capsule(w, h, 10, 26, 15, 38, 4.2))        # thumb
    fill = ivory(m, seed)
    cuff = S.rrect_mask(w, h, (15, 46, 41, 54), 3)
    img = finish(np.maximum(m, cuff), fill, seed)
    S.over(img, S.brass_layer(cuff, seed + 1, 1.5, 5))
    return img


def loupe(seed):
    s = 64
    c = s / 2
    lens_r = 13
    ringm = S.ring(s, s, c, c, lens_r + 4, lens_r)
    handle = capsule(s, s, c + 13, c + 13, c + 24, c + 24, 4)
    m = np.maximum(ringm, handle)
    img = S.canvas(s, s)
    S.over(img, S.solid(S.blur(S.shift(m, 2, 0), 1.4), "#000000", 0.5))
    S.over(img, S.solid(S.circle(s, s, c, c, lens_r) * 0.35, "frost"))
    S.over(img, S.solid(S.circle(s, s, c - 4, c - 5, 4) * 0.6, (1, 1, 1)))
    S.over(img, S.solid(S.dilate(m, 1.1), "ink", 0.9))
    S.over(img, S.brass_layer(ringm, seed, 2, 6, 0.1))
    S.over(img, S.layer(S.walnut_grain(s, s, seed + 1, "mahogany"), handle))
    return img


def direction(seed, d):
    s = 48
    a = S.arrow_mask(30, 34, "right", 0.4, 0.5)
    big = np.zeros((s, s), np.float32)
    big[7:41, 9:39] = a
    k = {"right": 0, "down": 3, "left": 2, "up": 1}[d]
    big = np.rot90(big, k).copy()
    fill = S.brass_layer(big, seed, 3, 7, 0.1)
    return finish(big, fill, seed)


def build():
    seed = 700
    S.save_png(arrow_cursor(seed), "cursors/cursor")
    S.save_png(pointing_hand(seed + 1), "cursors/cursor_hand")
    S.save_png(grab_hand(seed + 2), "cursors/cursor_get")
    S.save_png(loupe(seed + 3), "cursors/cursor_magglass")
    for i, d in enumerate(("down", "up", "left", "right")):
        S.save_png(direction(seed + 4 + i, d), "cursors/cursor_" + d)
    # use: a small cog that turns (animated), hot spot at its middle
    s = 48
    frames = []
    for k in range(8):
        m = cog_mask(s, 18, 13, 8, 4, angle=k / 8 * (2 * math.pi / 8))
        fill = S.brass_layer(m, seed + 9, 2, 6, 0.1)
        frames.append(finish(m, fill, seed))
    S.save_anim("cursors/cursor_use", frames, frametime=80, cols=4)
