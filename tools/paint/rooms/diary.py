"""The diary: five page illustrations and the map of the house with its six rooms.

Pictures are painted at twice their size in ink and watercolour on a parchment sheet, then
reduced. Page pictures go to assets/diary/pages/p1..p5; the map to assets/diary/map/.
"""
import math
import os

import numpy as np

import ink
import kit
import props
from kit import col
from scene import OUT

PW, PH = 380, 250  # page picture size on screen
SS = 2
PAGES = "assets/diary/pages"
MAP = "assets/diary/map"


def _sheet(seed):
    h, w = PH * SS, PW * SS
    return ink.paper(h, w, seed, stains=3)


def _finish_sheet(cv, seed, mounts=True):
    """Reduce the sheet, cut its torn edge, add photo corners and a soft shadow on the page."""
    cv = kit.resize(np.clip(cv, 0, 1), PW, PH)
    a = ink.deckle(PH, PW, seed, margin=5, rough=3)
    pad = 8
    lay = kit.Layer(PW + 2 * pad, PH + 2 * pad, 0, 0)
    sh = kit.blur(np.pad(a, pad), 3)
    sh = np.roll(np.roll(sh, 3, 0), 2, 1)
    lay.rgb[:] = col("ink")
    lay.a = sh * 0.35
    sheet = kit.Layer(PW, PH, pad, pad)
    sheet.rgb, sheet.a = cv, a
    kit_over_layer(lay, sheet)
    if mounts:
        for (x, y, sx, sy) in ((pad, pad, 1, 1), (pad + PW, pad, -1, 1), (pad, pad + PH, 1, -1), (pad + PW, pad + PH, -1, -1)):
            m = kit.poly([(x - sx * 3, y - sy * 3), (x + sx * 30, y - sy * 3), (x - sx * 3, y + sy * 30)])
            mk = kit.Layer(lay.w, lay.h, 0, 0)
            props.solid(m, kit.mix("walnut", "ink", 0.3), (-0.5, -0.7, 0.6), 1.5, amb=0.6, specular=0.2, lay=mk)
            kit_over_layer(lay, mk)
    return lay


def kit_over_layer(dst, src):
    """Composite a layer over another layer (both straight alpha, same origin frame)."""
    x0, y0 = src.x0 - dst.x0, src.y0 - dst.y0
    sl = (slice(y0, y0 + src.h), slice(x0, x0 + src.w))
    a = src.a[..., None]
    da = dst.a[sl][..., None]
    out_a = a + da * (1 - a)
    rgb = (src.rgb * a + dst.rgb[sl] * da * (1 - a)) / np.maximum(out_a, 1e-6)
    dst.rgb[sl] = rgb
    dst.a[sl] = out_a[..., 0]


def _save(lay, rel):
    path = os.path.join(OUT, rel + ".png")
    kit.save_layer(lay, path)


def P(x, y):
    return (x * SS, y * SS)


def pts(seq):
    return [P(x, y) for x, y in seq]


def poly(seq):
    return kit.poly(pts(seq))


# ---------------------------------------------------------------------------------------------
# page pictures


def page1(seed):
    """From Wren's window in the village: the tower on the cliff in the storm, the letter on the sill."""
    cv = _sheet(seed)
    rng = np.random.default_rng(seed)
    # the night outside the window
    view = poly([(40, 12), (340, 12), (340, 168), (40, 168)])
    ink.wash(cv, view, kit.mix("slate", "teal", 0.3), seed, k=0.38)
    ink.wash(cv, poly([(40, 12), (340, 12), (340, 70), (40, 90)]), kit.mix("night", "dusk", 0.4), seed + 1, k=0.3, wet=4)
    # a break in the clouds where the moon is
    ink.wash(cv, kit.ellipse(*P(110, 52), 40 * SS, 22 * SS), "frost", seed + 2, k=0.25, wet=6)
    for k in range(5):
        cx, cy = 60 + k * 62, 30 + (k % 2) * 16
        cl = ink.spline([P(cx - 40, cy + 10), P(cx - 20, cy - 6), P(cx + 6, cy - 10), P(cx + 30, cy - 2), P(cx + 44, cy + 10)], 8)
        ink.pen(cv, cl, 1.2, seed + 10 + k, k=0.55)
        ink.hatch(cv, kit.intersect(kit.ellipse(cx * SS, (cy + 4) * SS, 40 * SS, 12 * SS), view), 0.35, 5, 1.0, seed + 20 + k, k=0.3)
    # the headland across the bay, the house and its tower, one lit window
    land = ink.spline([P(150, 168), P(190, 128), P(240, 112), P(300, 104), P(340, 110)], 10)
    ink.wash(cv, kit.poly(land + [P(340, 168)]), kit.mix("dusk", "ink", 0.35), seed + 3, k=0.65)
    ink.pen(cv, land, 1.4, seed + 4, k=0.8)
    sea = poly([(40, 150), (180, 150), (150, 168), (40, 168)])
    ink.wash(cv, sea, "teal", seed + 5, k=0.5)
    for k in range(7):
        x = 48 + k * 17
        ink.pen(cv, pts([(x, 160), (x + 5, 156), (x + 10, 160)]), 1.0, seed + 40 + k, k=0.6)
    house = [(244, 112), (244, 92), (262, 80), (280, 92), (280, 108)]
    tower = [(282, 106), (282, 58), (302, 58), (302, 104)]
    roof = [(278, 60), (292, 34), (306, 60)]
    for q in (house, tower, roof):
        ink.wash(cv, poly(q), kit.mix("ink", "dusk", 0.45), seed + 6, k=0.75)
        ink.outline(cv, pts(q), 1.2, seed + 7)
    ink.wash(cv, kit.ellipse(*P(292, 72), 8 * SS, 8 * SS), "parchment", seed + 8, k=0.95, bleed=0.4)
    ink.outline(cv, ink.circle_pts(*P(292, 72), 8 * SS, n=30), 1.0, seed + 9)
    ink.pen(cv, [P(292, 72), P(291.2, 66)], 1.0, seed, k=0.95, taper=False)
    ink.pen(cv, [P(292, 72), P(291.5, 67.5)], 1.5, seed + 1, k=0.95, taper=False)
    ink.wash(cv, poly([(256, 96), (263, 96), (263, 104), (256, 104)]), "amber", seed + 10, k=0.95, bleed=0.5)
    # rain slanting across the view
    for k in range(70):
        x, y = 40 + rng.random() * 310, 10 + rng.random() * 150
        ink.pen(cv, [P(x, y), P(x - 6, y + 16)], 0.7, seed + 100 + k, k=0.3, wobble=0.1, c="frost")
    # the window frame and its cross bars, the wall around
    wall = kit.subtract(poly([(0, 0), (380, 0), (380, 250), (0, 250)]), view)
    ink.wash(cv, wall, kit.mix("parchment_shade", "wine", 0.15), seed + 11, k=0.3)
    frame = kit.subtract(poly([(32, 4), (348, 4), (348, 176), (32, 176)]), view)
    frame = kit.union(frame, poly([(186, 12), (194, 12), (194, 168), (186, 168)]), poly([(40, 84), (340, 84), (340, 91), (40, 91)]))
    ink.wash(cv, frame, "walnut", seed + 12, k=0.8)
    ink.outline(cv, pts([(32, 4), (348, 4), (348, 176), (32, 176)]), 1.6, seed + 13)
    ink.outline(cv, pts([(40, 12), (340, 12), (340, 168), (40, 168)]), 1.2, seed + 14)
    # the sill, the letter lying open on it and a candle burning low
    sill = poly([(0, 176), (380, 176), (380, 250), (0, 250)])
    ink.wash(cv, sill, kit.mix("walnut", "mahogany", 0.4), seed + 15, k=0.45)
    ink.pen(cv, pts([(0, 178), (380, 178)]), 1.6, seed + 16, k=0.8)
    ink.hatch(cv, poly([(0, 200), (380, 200), (380, 250), (0, 250)]), 0.05, 6, 1.0, seed + 17, k=0.25)
    letter = [(110, 190), (236, 182), (246, 242), (118, 250)]
    ink.wash(cv, poly(letter), "parchment", seed + 18, k=0.95, gran=0.05, edge=0.1, bleed=0.5)
    ink.wash(cv, poly([(110, 190), (236, 182), (238, 196), (112, 204)]), "parchment_shade", seed + 19, k=0.5, bleed=0.5)
    ink.outline(cv, pts(letter), 1.2, seed + 20)
    ink.pen(cv, pts([(112, 204), (238, 196)]), 0.9, seed + 21, k=0.6)
    for k in range(4):
        y0 = 212 + k * 8
        xs = np.linspace(126, 222 - (k == 3) * 50, 30)
        ink.pen(cv, [P(x, y0 - (x - 126) * 0.06 + 1.2 * math.sin(x * 0.7 + k)) for x in xs], 0.8, seed + 22 + k, k=0.75, wobble=0.1)
    ink.pen(cv, pts([(196, 236), (200, 231), (203, 238), (207, 230)]), 1.0, seed + 30, k=0.85)
    ink.wash(cv, kit.ellipse(*P(228, 190), 8 * SS, 7 * SS), "wine", seed + 31, k=0.9, edge=0.8, bleed=0.6)
    cx = 320
    ink.wash(cv, poly([(cx - 8, 236), (cx + 8, 236), (cx + 8, 200), (cx - 8, 200)]), "parchment", seed + 32, k=0.9, bleed=0.5)
    ink.outline(cv, pts([(cx - 8, 236), (cx + 8, 236), (cx + 8, 200), (cx - 8, 200)]), 1.0, seed + 33)
    ink.wash(cv, kit.ellipse(*P(cx, 190), 4 * SS, 8 * SS), "amber", seed + 34, k=0.95, bleed=0.6)
    ink.wash(cv, kit.ellipse(*P(cx, 196), 40 * SS, 30 * SS), "amber", seed + 35, k=0.22, wet=10)
    ink.outline(cv, pts([(cx - 22, 240), (cx + 22, 240), (cx + 16, 234), (cx - 16, 234)]), 1.0, seed + 36)
    return cv


def page2(seed):
    """The Tidewarden: a tall shape of rain and wind on the sea, the tower small on its cliff."""
    cv = _sheet(seed)
    rng = np.random.default_rng(seed)
    ink.wash(cv, poly([(0, 0), (380, 0), (380, 250), (0, 250)]), kit.mix("slate", "teal", 0.5), seed, k=0.3)
    ink.wash(cv, poly([(0, 0), (380, 0), (380, 70), (0, 90)]), kit.mix("dusk", "night", 0.3), seed + 1, k=0.35, wet=6)
    # the spirit: a hood, broad shoulders of cloud, arms trailing veils of rain, a body of waves
    outline_pts = [(200, 16), (222, 26), (232, 52), (268, 66), (312, 72), (336, 90), (300, 92), (256, 96), (246, 130),
                   (258, 180), (284, 214), (236, 206), (200, 216), (162, 206), (118, 214), (146, 180), (156, 130),
                   (146, 96), (100, 92), (62, 90), (88, 72), (132, 66), (168, 52), (178, 26)]
    body = ink.spline([P(x, y) for x, y in outline_pts], 8, closed=True)
    bm = kit.poly(body)
    ink.wash(cv, bm, kit.mix("slate", "night", 0.3), seed + 2, k=0.6, edge=0.9)
    ink.wash(cv, bm, "teal", seed + 3, k=0.25, wet=4)
    hood = ink.spline([P(200, 22), P(216, 32), P(220, 56), P(200, 66), P(180, 56), P(184, 32)], 8, closed=True)
    ink.wash(cv, kit.poly(hood), "night", seed + 4, k=0.6)
    ink.pen(cv, body, 1.3, seed + 5, k=0.7)
    for k in range(40):
        cx, cy = 165 + rng.random() * 70, 70 + rng.random() * 130
        r = 6 + rng.random() * 14
        a0 = rng.random() * 6
        sp = [P(cx + r * (1 - t * 0.7) * math.cos(a0 + t * 5), cy + r * 0.55 * (1 - t * 0.7) * math.sin(a0 + t * 5))
              for t in np.linspace(0, 1, 16)]
        ink.pen(cv, sp, 0.8, seed + 20 + k, k=0.45, wobble=0.2, c=kit.mix("ink", "slate", 0.3))
    for ex in (192, 208):
        ink.wash(cv, kit.ellipse(*P(ex, 44), 4 * SS, 1.8 * SS), "frost", seed + 6, k=1.0, bleed=0.3, gran=0.0)
    # veils of rain falling from the arms
    for k in range(70):
        x = 70 + rng.random() * 260
        if abs(x - 200) < 50:
            continue
        y = 80 + rng.random() * 14
        ink.pen(cv, [P(x, y), P(x - 6, y + 70 + rng.random() * 60)], 0.7, seed + 100 + k, k=0.35, wobble=0.3)
    # lightning over the sea
    bolt = [(338, 8), (326, 40), (336, 44), (318, 84), (330, 88), (306, 132)]
    ink.pen(cv, pts(bolt), 1.6, seed + 7, k=0.9, taper=False, c="amber")
    ink.wash(cv, kit.ellipse(*P(326, 60), 30 * SS, 40 * SS), "amber", seed + 8, k=0.12, wet=8)
    # the sea heaving below it
    sea = poly([(0, 206), (380, 200), (380, 250), (0, 250)])
    ink.wash(cv, sea, kit.mix("teal", "slate", 0.3), seed + 9, k=0.6)
    for k in range(20):
        x, y = rng.random() * 370, 208 + rng.random() * 36
        ink.pen(cv, pts([(x, y), (x + 6, y - 4), (x + 12, y)]), 1.0, seed + 200 + k, k=0.65)
    # the cliff with the tiny tower and its lit window
    cliff = ink.spline([P(0, 180), P(40, 170), P(84, 172), P(104, 190), P(112, 250)], 8)
    ink.wash(cv, kit.poly(cliff + [P(0, 250)]), kit.mix("walnut", "ink", 0.35), seed + 10, k=0.7)
    ink.pen(cv, cliff, 1.4, seed + 11, k=0.85)
    ink.hatch(cv, kit.poly(cliff + [P(0, 250)]), 1.1, 5, 0.9, seed + 12, k=0.35)
    tw = [(46, 172), (46, 136), (58, 136), (58, 172)]
    ink.wash(cv, poly(tw), kit.mix("dusk", "ink", 0.35), seed + 13, k=0.85)
    ink.outline(cv, pts(tw), 1.0, seed + 14)
    ink.outline(cv, pts([(43, 138), (52, 120), (61, 138)]), 1.0, seed + 15)
    ink.wash(cv, kit.ellipse(*P(52, 146), 3.2 * SS, 3.2 * SS), "parchment", seed + 16, k=0.95, bleed=0.3)
    ink.wash(cv, poly([(49, 156), (55, 156), (55, 162), (49, 162)]), "amber", seed + 17, k=0.95, bleed=0.4)
    return cv


def page3(seed):
    """An exploded drawing of the regulator: crank, gear wheel and hand flying off the page."""
    cv = _sheet(seed)
    cx, cy = 190, 125
    # construction lines, dotted
    for a in (0.25, 2.5, 4.4):
        for t in np.arange(0.3, 1.0, 0.06):
            x, y = cx + math.cos(a) * 150 * t, cy + math.sin(a) * 110 * t
            ink.ink(cv, kit.ellipse(*P(x, y), 1.1 * SS, 1.1 * SS), 0.5)
    # the regulator dial in the middle
    ring = kit.subtract(kit.ellipse(*P(cx, cy), 46 * SS, 46 * SS), kit.ellipse(*P(cx, cy), 38 * SS, 38 * SS))
    ink.wash(cv, ring, "brass", seed, k=0.6)
    ink.wash(cv, kit.ellipse(*P(cx, cy), 38 * SS, 38 * SS), "parchment", seed + 1, k=0.4)
    for r in (46, 38):
        ink.outline(cv, ink.circle_pts(*P(cx, cy), r * SS), 1.8, seed + 2 + r)
    for i in range(12):
        a = -math.pi / 2 + i * math.pi / 6
        ink.pen(cv, [P(cx + 30 * math.cos(a), cy + 30 * math.sin(a)), P(cx + 36 * math.cos(a), cy + 36 * math.sin(a))],
                1.6, seed + 10 + i, k=0.85, taper=False)
    ink.wash(cv, kit.ellipse(*P(cx, cy), 4 * SS, 4 * SS), "brass", seed + 3, k=0.9)
    ink.outline(cv, ink.circle_pts(*P(cx, cy), 4 * SS, n=16), 1.2, seed + 4)
    # the gear wheel, top right
    gx, gy = 318, 54
    g = ink.gear_pts(*P(gx, gy), 30 * SS, 14)
    ink.wash(cv, kit.poly(g), "brass", seed + 5, k=0.7)
    ink.outline(cv, g, 1.6, seed + 6)
    ink.outline(cv, ink.circle_pts(*P(gx, gy), 8 * SS, n=20), 1.4, seed + 7)
    for i in range(5):
        a = i * 2 * math.pi / 5
        ink.pen(cv, [P(gx + 8 * math.cos(a), gy + 8 * math.sin(a)), P(gx + 22 * math.cos(a), gy + 22 * math.sin(a))],
                2.4, seed + 20 + i, k=0.8, taper=False)
    ink.hatch(cv, kit.intersect(kit.poly(g), kit.rect(*P(gx, gy - 40), *P(gx + 40, gy + 40))), -0.6, 5, 1.0, seed + 8, k=0.35)
    ink.arrow(cv, P(gx + 22, gy - 22), P(gx + 48, gy - 44), 1.6, seed + 9, head=14)
    # the crank, left
    kx, ky = 52, 80
    crank = kit.union(kit.line([P(kx, ky + 30), P(kx + 40, ky - 4)], 7 * SS),
                      kit.rect(*P(kx - 10, ky + 24), *P(kx + 6, ky + 40)),
                      kit.rect(*P(kx + 34, ky - 26), *P(kx + 46, ky - 2)))
    ink.wash(cv, crank, kit.mix("slate", "frost", 0.3), seed + 10, k=0.6)
    ink.wash(cv, kit.rect(*P(kx + 34, ky - 26), *P(kx + 46, ky - 2)), "walnut", seed + 11, k=0.7)
    for q in ([(kx - 10, ky + 24), (kx + 6, ky + 24), (kx + 6, ky + 40), (kx - 10, ky + 40)],
              [(kx + 34, ky - 26), (kx + 46, ky - 26), (kx + 46, ky - 2), (kx + 34, ky - 2)]):
        ink.outline(cv, pts(q), 1.5, seed + 12)
    ink.pen(cv, [P(kx + 3, ky + 27), P(kx + 38, ky - 1)], 1.4, seed + 13, k=0.8)
    ink.pen(cv, [P(kx - 1, ky + 22), P(kx + 34, ky - 6)], 1.4, seed + 14, k=0.8)
    ink.arrow(cv, P(kx - 2, ky + 46), P(kx - 26, ky + 70), 1.6, seed + 15, head=14)
    # the hand, below
    hx, hy = 120, 212
    hm = props.hand_mask(*P(hx, hy), 110 * SS, -0.12, 6 * SS)
    ink.wash(cv, hm, "ink", seed + 16, k=0.75)
    ink.arrow(cv, P(hx - 30, hy + 6), P(hx - 70, hy + 22), 1.6, seed + 17, head=14)
    # labels: small scribbled notes beside each piece
    rng = np.random.default_rng(seed)
    for (x, y, n) in ((248, 100, 3), (60, 150, 2), (240, 200, 3)):
        for k in range(n):
            xs = np.linspace(x, x + 40 + rng.random() * 30, 24)
            ink.pen(cv, [P(xx, y + k * 7 + 1.2 * math.sin(xx * 0.9)) for xx in xs], 0.9, seed + 50 + k + x, k=0.6, wobble=0.2)
    return cv


def page4(seed):
    """The puzzle box with its lid open and a train of gears across the plates."""
    cv = _sheet(seed)
    # box in three-quarter view
    front = [(70, 160), (280, 176), (280, 228), (70, 210)]
    side = [(280, 176), (330, 150), (330, 200), (280, 228)]
    top = [(70, 160), (120, 134), (330, 150), (280, 176)]
    lid = [(70, 160), (120, 134), (150, 30), (100, 52)]
    ink.wash(cv, poly(front), "walnut", seed, k=0.75)
    ink.wash(cv, poly(side), kit.mix("walnut", "ink", 0.4), seed + 1, k=0.8)
    ink.wash(cv, poly(top), kit.mix("walnut", "parchment", 0.4), seed + 2, k=0.55)
    ink.wash(cv, poly(lid), kit.mix("mahogany", "walnut", 0.5), seed + 3, k=0.7)
    for q in (front, side, top, lid):
        ink.outline(cv, pts(q), 2.0, seed + 4)
    ink.hatch(cv, poly(side), 1.1, 5, 1.1, seed + 5, k=0.35)
    # carved border on the front and a brass corner
    ink.outline(cv, pts([(82, 168), (268, 183), (268, 218), (82, 203)]), 1.2, seed + 6, k=0.6)
    # the plates on top with the train of gears
    def topP(u, v):
        x = 70 + (280 - 70) * u + (120 - 70) * v * (1 - u) + (330 - 280) * v * u
        y = 160 + (176 - 160) * u + (134 - 160) * v * (1 - u) + (150 - 176) * v * u
        return x, y
    for i in range(5):
        for j in range(2):
            q = [topP(i / 5 + 0.01, j / 2 + 0.04), topP((i + 1) / 5 - 0.01, j / 2 + 0.04),
                 topP((i + 1) / 5 - 0.01, (j + 1) / 2 - 0.04), topP(i / 5 + 0.01, (j + 1) / 2 - 0.04)]
            ink.outline(cv, pts(q), 1.0, seed + 10 + i * 2 + j, k=0.5)
    train = [(0.1, 0.25), (0.3, 0.25), (0.3, 0.75), (0.5, 0.75), (0.7, 0.75), (0.7, 0.25), (0.9, 0.25)]
    for k, (u, v) in enumerate(train):
        x, y = topP(u, v)
        r = 15 if k % 2 == 0 else 11
        g = [(P(x, y)[0] + (px - P(x, y)[0]), P(x, y)[1] + (py - P(x, y)[1]) * 0.5)
             for px, py in ink.gear_pts(*P(x, y), r * SS, 12 if r > 12 else 9, k * 0.3)]
        ink.wash(cv, kit.poly(g), "brass", seed + 30 + k, k=0.8, bleed=0.8)
        ink.outline(cv, g, 1.2, seed + 40 + k)
    # motion marks: little arcs showing the wheels turning
    for k, (u, v) in enumerate(train[::2]):
        x, y = topP(u, v)
        ink.pen(cv, ink.circle_pts(*P(x, y - 16), 10 * SS, 4 * SS, 12, math.pi * 1.1, math.pi * 1.7), 1.2, seed + 60 + k, k=0.6)
    # the drive (left) and the latch (right) labelled by arrows
    ink.arrow(cv, P(40, 120), P(70, 150), 1.5, seed + 70, head=12)
    ink.arrow(cv, P(360, 110), P(322, 142), 1.5, seed + 71, head=12)
    # the hand waiting in the lid's pocket
    hm = props.hand_mask(*P(118, 110), 70 * SS, -1.9, 4 * SS)
    ink.wash(cv, hm, "ink", seed + 72, k=0.7)
    return cv


def page5(seed):
    """The tall mirror in the tower, and in the glass a faint figure waiting."""
    cv = _sheet(seed)
    ink.wash(cv, poly([(0, 0), (380, 0), (380, 250), (0, 250)]), kit.mix("slate", "dusk", 0.5), seed, k=0.3, gran=0.6)
    # the clock mechanism sketched behind, faint
    for (x, y, r, t) in ((70, 80, 40, 18), (110, 150, 26, 12), (320, 70, 34, 16), (300, 170, 22, 10)):
        ink.outline(cv, ink.gear_pts(*P(x, y), r * SS, t), 1.0, seed + x, k=0.35)
    # the mirror's carved frame
    fr_out = [(140, 236)] + [(190 + 52 * math.cos(a), 70 + 58 * math.sin(a)) for a in np.linspace(math.pi, 2 * math.pi, 20)] + [(240, 236)]
    fr_in = [(152, 228)] + [(190 + 40 * math.cos(a), 72 + 46 * math.sin(a)) for a in np.linspace(math.pi, 2 * math.pi, 20)] + [(228, 228)]
    frame = kit.subtract(poly(fr_out), poly(fr_in))
    ink.wash(cv, frame, "walnut", seed + 1, k=0.75)
    ink.hatch(cv, frame, 0.9, 4, 1.0, seed + 2, k=0.3)
    ink.outline(cv, pts(fr_out), 2.2, seed + 3)
    ink.outline(cv, pts(fr_in), 1.6, seed + 4)
    # carving: leaves up the frame
    for k in range(8):
        t = k / 7
        for sd in (-1, 1):
            x = 190 + sd * 46
            y = 226 - t * 150
            ink.pen(cv, pts([(x, y), (x + sd * 5, y - 6), (x, y - 10)]), 1.1, seed + 10 + k * 2 + sd, k=0.55)
    # cold glass and the figure inside it
    glass = poly(fr_in)
    ink.wash(cv, glass, kit.mix("frost", "teal", 0.45), seed + 5, k=0.55, gran=0.4)
    fig = poly([(190, 84), (198, 90), (200, 104), (212, 116), (216, 180), (220, 222), (160, 222), (164, 180), (168, 116),
                (180, 104), (182, 90)])
    ink.wash(cv, fig, kit.mix("dusk", "frost", 0.3), seed + 6, k=0.35, wet=3)
    ink.wash(cv, kit.ellipse(*P(190, 92), 9 * SS, 11 * SS), kit.mix("frost", "parchment", 0.4), seed + 7, k=0.6, wet=2)
    ink.wash(cv, kit.ellipse(*P(190, 80), 7 * SS, 5 * SS), "frost", seed + 8, k=0.5, wet=1)
    ink.outline(cv, pts([(182, 90), (180, 104), (168, 116), (164, 180), (160, 222)]), 1.0, seed + 9, closed=False, k=0.35)
    ink.outline(cv, pts([(198, 90), (200, 104), (212, 116), (216, 180), (220, 222)]), 1.0, seed + 10, closed=False, k=0.35)
    # frost feathers in the glass corners, and a glint
    rng = np.random.default_rng(seed)
    for k in range(18):
        x = 156 + rng.random() * 68
        y = 190 + rng.random() * 36
        a = -math.pi / 2 + (rng.random() - 0.5) * 1.5
        ink.pen(cv, [P(x, y), P(x + math.cos(a) * 10, y + math.sin(a) * 10)], 1.0, seed + 30 + k, k=0.35,
                c=kit.mix("frost", "slate", 0.5))
    ink.pen(cv, pts([(166, 60), (178, 44)]), 2.0, seed + 50, k=0.5, c="frost")
    # the floor line and a stopped pendulum at the left
    ink.pen(cv, pts([(0, 236), (380, 232)]), 1.6, seed + 51, k=0.6)
    ink.pen(cv, pts([(40, 0), (40, 150)]), 1.4, seed + 52, k=0.6)
    ink.wash(cv, kit.ellipse(*P(40, 158), 10 * SS, 10 * SS), "brass", seed + 53, k=0.8)
    ink.outline(cv, ink.circle_pts(*P(40, 158), 10 * SS, n=24), 1.4, seed + 54)
    return cv


# ---------------------------------------------------------------------------------------------
# map


MAP_W, MAP_H = 400, 600
MAP_POS = (283, 370)  # centre of the map picture on screen (the left page of the open diary)
# room cells in map-picture pixels: (left, top, right, bottom)
CELLS = {
    "tower": (190, 96, 274, 176),
    "hall": (194, 330, 270, 420),
    "workshop": (114, 330, 190, 420),
    "library": (274, 330, 350, 420),
    "conservatory": (24, 352, 106, 420),
    "gate": (180, 504, 284, 566),
}


def map_back(seed):
    """Parchment plan of Halvern Point: the house cut away from the gate to the tower."""
    W, H = MAP_W * SS, MAP_H * SS
    cv = ink.paper(H, W, seed, stains=5)

    def Q(x, y):
        return (x * SS, y * SS)

    def qp(seq):
        return [Q(x, y) for x, y in seq]
    # the sea along the right and the cliff edge
    sea = kit.poly(qp([(356, 0), (400, 0), (400, 600), (330, 600), (352, 520), (370, 440), (360, 330), (372, 220), (356, 120)]))
    ink.wash(cv, sea, "teal", seed, k=0.45, gran=0.5)
    ink.outline(cv, qp([(356, 0), (356, 120), (372, 220), (360, 330), (370, 440), (352, 520), (330, 600)]), 2.0, seed + 1,
                closed=False)
    rng = np.random.default_rng(seed)
    for k in range(22):
        x, y = 366 + rng.random() * 30, 10 + rng.random() * 580
        ink.pen(cv, qp([(x, y), (x + 4, y - 3), (x + 8, y)]), 1.2, seed + 100 + k, k=0.55)
    # cliff hatching on the land side of the edge
    edge = kit.poly(qp([(340, 0), (356, 0), (356, 120), (372, 220), (360, 330), (370, 440), (352, 520), (330, 600), (314, 600),
                        (336, 520), (352, 440), (344, 330), (356, 220), (340, 120)]))
    ink.hatch(cv, edge, 1.2, 5, 1.1, seed + 2, k=0.45)
    # garden: lawn wash, path from the door down to the gate
    lawn = kit.poly(qp([(14, 420), (340, 420), (332, 590), (14, 590)]))
    ink.wash(cv, lawn, kit.mix("moss", "parchment", 0.35), seed + 3, k=0.4)
    path = kit.poly(qp([(222, 420), (242, 420), (246, 506), (218, 506)]))
    ink.wash(cv, path, "parchment_shade", seed + 4, k=0.7)
    ink.pen(cv, qp([(222, 420), (218, 506)]), 1.0, seed + 5, k=0.6, taper=False)
    ink.pen(cv, qp([(242, 420), (246, 506)]), 1.0, seed + 6, k=0.6, taper=False)
    for k in range(16):
        x, y = 24 + rng.random() * 300, 440 + rng.random() * 140
        if abs(x - 232) > 60:
            ink.pen(cv, qp([(x, y), (x + 2, y - 5), (x + 4, y)]), 0.8, seed + 200 + k, k=0.5)
    for (x, y) in ((60, 470), (110, 560), (320, 470), (300, 570)):
        ink.wash(cv, kit.ellipse(*Q(x, y), 14 * SS, 10 * SS), "moss", seed + x, k=0.55)
        ink.outline(cv, [Q(x + 14 * math.cos(a) * (1 + 0.15 * math.sin(a * 5)), y + 10 * math.sin(a) * (1 + 0.15 * math.sin(a * 5)))
                         for a in np.linspace(0, 2 * math.pi, 30)], 0.9, seed + x + 1, k=0.7)
    # the garden wall either side of the gate
    for x0, x1 in ((14, 180), (284, 334)):
        wl = kit.poly(qp([(x0, 532), (x1, 532), (x1, 542), (x0, 542)]))
        ink.wash(cv, wl, kit.mix("slate", "parchment_shade", 0.4), seed + x0, k=0.7)
        ink.outline(cv, qp([(x0, 532), (x1, 532), (x1, 542), (x0, 542)]), 1.0, seed + x0 + 1, k=0.8)
    # the house in section: walls, floors and roof
    house = kit.poly(qp([(108, 420), (108, 300), (160, 228), (304, 228), (352, 300), (352, 420)]))
    ink.wash(cv, house, kit.mix("parchment_shade", "walnut", 0.25), seed + 9, k=0.45)
    ink.hatch(cv, kit.poly(qp([(112, 300), (160, 236), (190, 236), (190, 326), (112, 326)])), 0.8, 6, 0.8, seed + 12, k=0.25)
    ink.hatch(cv, kit.poly(qp([(274, 236), (304, 236), (348, 300), (348, 326), (274, 326)])), -0.8, 6, 0.8, seed + 13, k=0.25)
    ink.pen(cv, qp([(100, 306), (160, 222), (190, 222)]), 2.0, seed + 10, k=0.9, taper=False)
    ink.pen(cv, qp([(274, 222), (304, 222), (360, 306)]), 2.0, seed + 11, k=0.9, taper=False)
    for x in (108, 352):
        ink.pen(cv, qp([(x, 300), (x, 422)]), 1.8, seed + 14 + x, k=0.85, taper=False)
    ink.pen(cv, qp([(14, 422), (356, 422)]), 2.0, seed + 15, k=0.85, taper=False)
    ink.pen(cv, qp([(112, 326), (348, 326)]), 1.2, seed + 16, k=0.7, taper=False)
    # the glass conservatory leaning on the west wall
    glass = kit.poly(qp([(20, 420), (20, 350), (108, 326), (108, 420)]))
    ink.wash(cv, glass, kit.mix("frost", "teal", 0.3), seed + 30, k=0.45)
    ink.outline(cv, qp([(20, 420), (20, 350), (108, 326)]), 1.4, seed + 31, closed=False)
    for k in range(1, 5):
        x = 20 + k * 17.6
        ink.pen(cv, qp([(x, 420), (x, 350 - (x - 20) * 0.27)]), 0.8, seed + 32 + k, k=0.6, taper=False)
    # the tower shaft rising from the hall to the clock room, and its spire
    tower = kit.poly(qp([(190, 330), (190, 92), (274, 92), (274, 330)]))
    ink.wash(cv, tower, kit.mix("parchment_shade", "slate", 0.3), seed + 17, k=0.4)
    for x in (190, 274):
        ink.pen(cv, qp([(x, 92), (x, 330)]), 1.8, seed + 18 + x, k=0.85, taper=False)
    spire = [(180, 96), (232, 24), (284, 96)]
    ink.wash(cv, kit.poly(qp(spire)), kit.mix("dusk", "slate", 0.4), seed + 19, k=0.6)
    ink.hatch(cv, kit.poly(qp(spire)), 0.6, 5, 0.8, seed + 20, k=0.3)
    ink.outline(cv, qp(spire), 1.8, seed + 21)
    ink.pen(cv, qp([(232, 24), (232, 8)]), 1.2, seed + 22, k=0.8)
    ink.pen(cv, qp([(190, 180), (274, 180)]), 1.2, seed + 23, k=0.7, taper=False)
    for k in range(10):
        y = 322 - k * 14
        ink.pen(cv, qp([(246, y), (260, y)]), 0.8, seed + 40 + k, k=0.55, taper=False)
    ink.pen(cv, qp([(246, 326), (246, 184)]), 0.8, seed + 50, k=0.55, taper=False)
    ink.pen(cv, qp([(260, 326), (260, 184)]), 0.8, seed + 51, k=0.55, taper=False)
    # the chimney and its smoke
    ink.outline(cv, qp([(310, 240), (310, 212), (324, 212), (324, 258)]), 1.2, seed + 52, closed=False)
    ink.pen(cv, ink.spline([Q(317, 208), Q(310, 190), Q(322, 172), Q(312, 150)], 8), 0.9, seed + 53, k=0.45)
    # a compass rose in the lower left and a tiny ship on the sea
    cx, cy = 312, 54
    for a in range(8):
        ang = a * math.pi / 4
        r = 30 if a % 2 == 0 else 16
        p = (cx + r * math.cos(ang), cy + r * math.sin(ang))
        q1 = (cx + 5 * math.cos(ang + math.pi / 2), cy + 5 * math.sin(ang + math.pi / 2))
        q2 = (cx + 5 * math.cos(ang - math.pi / 2), cy + 5 * math.sin(ang - math.pi / 2))
        tri = kit.poly(qp([p, q1, (cx, cy)]))
        ink.wash(cv, tri, "wine" if a == 6 else "ink", seed + 60 + a, k=0.6 if a % 2 == 0 else 0.3, bleed=0.5)
        ink.outline(cv, qp([p, q1, q2]), 1.0, seed + 70 + a, k=0.7)
    ink.outline(cv, ink.circle_pts(*Q(cx, cy), 22 * SS, n=40), 1.0, seed + 80, k=0.5)
    sx, sy = 382, 160
    ink.wash(cv, kit.poly(qp([(sx - 10, sy), (sx + 10, sy), (sx + 7, sy + 5), (sx - 7, sy + 5)])), "walnut", seed + 81, k=0.8)
    ink.wash(cv, kit.poly(qp([(sx, sy - 16), (sx, sy - 2), (sx + 9, sy - 3)])), "parchment", seed + 82, k=0.9)
    ink.outline(cv, qp([(sx, sy - 16), (sx, sy - 2), (sx + 9, sy - 3)]), 1.0, seed + 83)
    # a cartouche with the name of the place
    car = kit.rrect(*Q(22, 24), *Q(142, 64), 8 * SS)
    ink.wash(cv, car, "parchment", seed + 84, k=0.9, gran=0.1)
    ink.outline(cv, qp([(22, 32), (30, 24), (134, 24), (142, 32), (142, 56), (134, 64), (30, 64), (22, 56)]), 1.3, seed + 85)
    tm = kit.text_patch(82 * SS, 44 * SS, "Halvern Point", 16 * SS, "Italic")
    ink.ink(cv, kit.crop_mask(tm, 0, 0, W, H), 0.9)
    cv = kit.resize(np.clip(cv, 0, 1), MAP_W, MAP_H)
    a = ink.deckle(MAP_H, MAP_W, seed, margin=4, rough=5)
    lay = kit.Layer(MAP_W, MAP_H, 0, 0)
    lay.rgb, lay.a = cv, a
    return lay


def pictogram(cv, name, cx, cy, s, seed, k=0.85):
    """A small ink sign for each room, drawn into a map cell canvas."""
    def Q(x, y):
        return (cx + x * s, cy + y * s)
    if name == "tower":
        ink.outline(cv, ink.circle_pts(cx, cy, 16 * s, n=40), 1.6 * s, seed, k)
        for i in range(12):
            a = i * math.pi / 6
            ink.pen(cv, [Q(13 * math.cos(a), 13 * math.sin(a)), Q(15 * math.cos(a), 15 * math.sin(a))], 1.2 * s, seed + i, k,
                    taper=False)
        ink.pen(cv, [Q(0, 0), Q(-1, -11)], 1.6 * s, seed + 20, k, taper=False)
        ink.pen(cv, [Q(0, 0), Q(-0.6, -7)], 2.2 * s, seed + 21, k, taper=False)
    elif name == "hall":
        body = [(-7, 20), (7, 20), (7, -6), (9, -10), (9, -20), (0, -25), (-9, -20), (-9, -10), (-7, -6)]
        ink.outline(cv, [Q(x, y) for x, y in body], 1.4 * s, seed, k)
        ink.outline(cv, ink.circle_pts(*Q(0, -15), 5 * s, n=20), 1.2 * s, seed + 1, k)
        ink.pen(cv, [Q(0, -4), Q(0, 10)], 1.0 * s, seed + 2, k, taper=False)
        ink.outline(cv, ink.circle_pts(*Q(0, 12), 2.5 * s, n=12), 1.0 * s, seed + 3, k)
    elif name == "workshop":
        ink.outline(cv, ink.gear_pts(*Q(-5, 2), 12 * s, 10), 1.3 * s, seed, k)
        ink.outline(cv, ink.circle_pts(*Q(-5, 2), 3.5 * s, n=14), 1.0 * s, seed + 1, k)
        ink.pen(cv, [Q(4, -14), Q(16, 10)], 2.2 * s, seed + 2, k, taper=False)
        ink.pen(cv, [Q(0, -15), Q(9, -19)], 3.0 * s, seed + 3, k, taper=False)
    elif name == "library":
        for i, (x, hgt, lean) in enumerate(((-14, 26, 0), (-6, 30, 0), (2, 24, 0), (12, 26, 5))):
            q = [Q(x, 14), Q(x + 7, 14), Q(x + 7 + lean, 14 - hgt), Q(x + lean, 14 - hgt)]
            ink.outline(cv, q, 1.2 * s, seed + i, k)
            ink.pen(cv, [Q(x + 1 + lean * 0.3, 8 - hgt * 0.5), Q(x + 6 + lean * 0.3, 8 - hgt * 0.5)], 1.0 * s, seed + 10 + i, k,
                    taper=False)
        ink.pen(cv, [Q(-18, 15), Q(22, 15)], 1.4 * s, seed + 20, k, taper=False)
    elif name == "conservatory":
        ink.outline(cv, [Q(-8, 18), Q(8, 18), Q(10, 6), Q(-10, 6)], 1.3 * s, seed, k)
        for a in (-2.2, -1.9, -1.57, -1.25, -0.95):
            p0 = Q(0, 6)
            p1 = Q(18 * math.cos(a), 6 + 22 * math.sin(a))
            mid = Q(9 * math.cos(a) - 2, 6 + 13 * math.sin(a) - 3)
            ink.pen(cv, [p0, mid, p1], 1.2 * s, seed + int(a * 10), k)
            ink.pen(cv, [mid, Q(9 * math.cos(a) + 4 * math.cos(a + 1), 6 + 13 * math.sin(a) + 4 * math.sin(a + 1))],
                    1.0 * s, seed + 40 + int(a * 10), k)
    elif name == "gate":
        for x in (-18, 18):
            ink.outline(cv, [Q(x - 4, 14), Q(x + 4, 14), Q(x + 4, -12), Q(x - 4, -12)], 1.3 * s, seed + x, k)
        for i in range(6):
            x = -12 + i * 4.8
            top = -6 - 4 * math.sin(math.pi * (i + 0.5) / 6)
            ink.pen(cv, [Q(x, 14), Q(x, top)], 1.0 * s, seed + 10 + i, k, taper=False)
        ink.pen(cv, [Q(-14, 4), Q(14, 4)], 1.0 * s, seed + 30, k, taper=False)


def map_rooms(seed):
    """Two frames per room: the plain cell (ink on parchment) and the marked one (amber wash, brass edge)."""
    frames = {}
    for name, (l, t, r, b) in CELLS.items():
        w, h = r - l, b - t
        out = []
        for state in (0, 1):
            W, H = w * SS, h * SS
            cv = ink.paper(H, W, seed + l, stains=0)
            if state:
                ink.wash(cv, kit.rrect(3 * SS, 3 * SS, W - 3 * SS, H - 3 * SS, 6 * SS), "amber", seed + t, k=0.55, gran=0.3)
                glow = kit.radial(H, W, W / 2, H / 2, max(W, H) * 0.7, 1.5)
                cv += glow[..., None] * col("candle") * 0.15
            pictogram(cv, name, W / 2, H / 2, SS * min(1.0, min(w, h) / 62), seed + t, k=0.9)
            cv = kit.resize(np.clip(cv, 0, 1), w, h)
            lay = kit.Layer(w, h, 0, 0)
            lay.rgb = cv
            lay.a = np.ones((h, w), np.float32)
            if state:
                rim = kit.subtract(kit.rrect(0, 0, w, h, 6), kit.rrect(4, 4, w - 4, h - 4, 4))
                props.solid(rim, "brass", (-0.5, -0.7, 0.6), 1.5, specular=0.8, lay=lay)
                a = kit.rrect(0, 0, w, h, 6).full(w, h)
            else:
                edge = kit.subtract(kit.rrect(1, 1, w - 1, h - 1, 5), kit.rrect(3, 3, w - 3, h - 3, 4)).full(w, h)
                lay.rgb = lay.rgb * (1 - edge[..., None] * 0.85) + ink.INK * edge[..., None] * 0.85
                a = kit.rrect(1, 1, w - 1, h - 1, 5).full(w, h)
            lay.a = a
            out.append(lay)
        frames[name] = out
    return frames


def write_map(seed):
    back = map_back(seed)
    os.makedirs(os.path.join(OUT, MAP), exist_ok=True)
    _save(back, MAP + "/back")
    frames = map_rooms(seed + 1)
    # one sheet for all rooms: two columns (normal, marked), a row per room
    names = list(CELLS)
    cw = max(f[0].w for f in frames.values()) + 2
    ch = [frames[n][0].h + 2 for n in names]
    sheet = kit.Layer(cw * 2, sum(ch), 0, 0)
    rects = {}
    y = 0
    for n, hh in zip(names, ch):
        for c in (0, 1):
            f = frames[n][c]
            sheet.rgb[y:y + f.h, c * cw:c * cw + f.w] = f.rgb
            sheet.a[y:y + f.h, c * cw:c * cw + f.w] = f.a
        rects[n] = [(0, y, frames[n][0].w, frames[n][0].h), (cw, y, frames[n][1].w, frames[n][1].h)]
        y += hh
    kit.save_layer(sheet, os.path.join(OUT, MAP, "rooms_sheet.png"))
    lines = ["# diary map: object placement written by tools/paint (do not edit by hand)",
             "# name  image  x  y  w  h  z   (x, y = image centre, screen pixels; map objects sit under a holder at (0, 0))",
             "map_back  %s/back  %d  %d  %d  %d  0" % (MAP, MAP_POS[0], MAP_POS[1], MAP_W, MAP_H)]
    x0, y0 = MAP_POS[0] - MAP_W // 2, MAP_POS[1] - MAP_H // 2
    for n in names:
        l, t, r, b = CELLS[n]
        w, h = r - l, b - t
        ft = ['<frametexture>']
        for (fl, ftp, fw, fh) in rects[n]:
            ft.append('  <frame texture="rooms_sheet" left="%d" top="%d" widht="%d" height="%d" x="%d" y="%d"/>'
                      % (fl, ftp, fw, fh, fw // 2, fh // 2))
        ft.append('</frametexture>')
        with open(os.path.join(OUT, MAP, "room_%s_ft.xml" % n), "w") as f:
            f.write("\n".join(ft) + "\n")
        an = ['<animation frame_texture="room_%s_ft">' % n,
              '  <function name="Normal" frametime="100" loop="0">', '    <frame idx="0"/>', '  </function>',
              '  <function name="Active" frametime="100" loop="0">', '    <frame idx="1"/>', '  </function>',
              '</animation>']
        with open(os.path.join(OUT, MAP, "room_%s.xml" % n), "w") as f:
            f.write("\n".join(an) + "\n")
        lines.append("map_room_%s  %s/room_%s  %d  %d  %d  %d  1" % (n, MAP, n, x0 + l + w // 2, y0 + t + h // 2, w, h))
    with open(os.path.join(OUT, MAP, "objects.txt"), "w") as f:
        f.write("\n".join(lines) + "\n")


def build():
    ink.WSCALE = 1.8
    os.makedirs(os.path.join(OUT, PAGES), exist_ok=True)
    for i, fn in enumerate((page1, page2, page3, page4, page5), 1):
        seed = 1500 + i * 17
        _save(_finish_sheet(fn(seed), seed), "%s/p%d" % (PAGES, i))
    write_map(1600)


if __name__ == "__main__":
    build()
