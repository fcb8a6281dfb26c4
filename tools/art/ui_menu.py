#!/usr/bin/python3
"""Main-menu art: the stormy backdrop of Halvern Point, the title lettering, the publisher mark,
buttons, panels and form controls, and the strategy guide's album."""
import math

import numpy as np

import kit as S



# ---------------------------------------------------------------- the backdrop


def storm_sky(w, h, seed):
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    t = yy / h
    sky = S._ramp(t * 1.35, [(0.0, S.darken("night", 0.35)), (0.35, "night"), (0.6, "dusk"),
                             (0.78, S.mix("dusk", "wine", 0.35)), (1.0, S.mix("dusk", "amber", 0.25))])
    # clouds: layered noise masses, darker above, lit from a low source behind the house
    c1 = S.fbm(w, h, 220, seed, 5)
    c2 = S.fbm(w, h, 90, seed + 1, 4)
    stretch = S.fbm(w, h, 60, seed + 2, 3)
    dens = np.clip((c1 * 0.65 + c2 * 0.35 - 0.42) * 2.6, 0, 1)
    dens = S.blur(dens, 1.2)
    lit = np.clip(S.radial_mask(w, h, 760, 420, 650, 1.4) * 1.3, 0, 1)
    cloud_dark = S.mix("night", "ink", 0.4)
    cloud_lit = S.mix("dusk", "amber", 0.35)
    rim = np.clip(dens - S.shift(dens, 6, -3), 0, 1) * 2.5 * lit
    rim[:8] = 0
    rim[:, -4:] = 0
    col = sky * (1 - dens[..., None] * 0.85) + S.rgb(cloud_dark) * dens[..., None] * 0.85
    col = col + rim[..., None] * S.rgb(cloud_lit) * 0.6
    col = col * (0.92 + 0.16 * stretch[..., None])
    return np.clip(col, 0, 1)


def house_mask(w, h, x0, base, k=1.0):
    """Silhouette of the clockmaker's house with its tower, standing on the cliff top at `base`,
    drawn k times its nominal size."""
    def fn(d, s):
        def P(pts):
            d.polygon([((x0 + (x - x0) * k) * s, (base + (y - base) * k) * s) for x, y in pts], fill=255)
        # main house: two gables
        P([(x0, base), (x0, base - 70), (x0 + 40, base - 112), (x0 + 80, base - 70), (x0 + 80, base - 80),
           (x0 + 125, base - 120), (x0 + 170, base - 80), (x0 + 170, base)])
        # chimneys
        P([(x0 + 20, base - 95), (x0 + 20, base - 128), (x0 + 30, base - 128), (x0 + 30, base - 104)])
        P([(x0 + 140, base - 108), (x0 + 140, base - 140), (x0 + 151, base - 140), (x0 + 151, base - 100)])
        # the tower on the right end
        tx = x0 + 170
        P([(tx - 6, base), (tx - 6, base - 170), (tx + 50, base - 170), (tx + 50, base)])
        P([(tx - 12, base - 168), (tx + 56, base - 168), (tx + 56, base - 176), (tx - 12, base - 176)])
        P([(tx - 8, base - 176), (tx + 22, base - 236), (tx + 52, base - 176)])
        P([(tx + 20, base - 236), (tx + 20, base - 258), (tx + 24, base - 258), (tx + 24, base - 236)])
        # lean-to on the left
        P([(x0 - 50, base), (x0 - 50, base - 40), (x0, base - 62), (x0, base)])
    return S.draw_mask(w, h, fn)


# The lightning is not painted into the backdrop: the menu flashes it now and then (assets/menu/module.xml,
# menu.lightning). Each bolt is a sprite at a fixed box, and "flash_lit" is what the flash adds to the
# painting (drawn additively): cloud masses, sea and cliff face turned to the bolts, rims of the house,
# the rain.
BOLTS = (  # seed offset, start x, start y, end y, sprite box (x, y, w, h)
    (5, 500.0, 205.0, 455, (390, 185, 160, 320)),
    (17, 610.0, 200.0, 390, (500, 180, 160, 260)),
)


def menu_back(seed):
    """The menu backdrop and the light a lightning flash adds to it (RGB, drawn additively)."""
    w, h = 1024, 768
    img = S.canvas(w, h, "night", 1)
    img[..., :3] = storm_sky(w, h, seed)
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    horizon = 470
    # a faint standing glow where the storm works
    S.over(img, S.solid(S.radial_mask(w, h, 520, 340, 300, 2.2) * 0.15, "frost"))
    # the sea
    sea = (yy >= horizon).astype(np.float32)
    sv = S.fbm(w, h, 40, seed + 6, 4)
    waves = S.blur(S.value_noise(w, h, 5, seed + 7), 0.8)
    waves = S.ndimage.gaussian_filter1d(waves, 14, axis=1)
    depth = np.clip((yy - horizon) / (h - horizon), 0, 1)
    seacol = S._ramp(depth, [(0.0, S.mix("teal", "dusk", 0.5)), (0.3, "teal"), (1.0, S.darken("night", 0.3))])
    seacol = seacol * (0.75 + 0.5 * sv[..., None] * (0.5 + waves[..., None]))
    foam = np.clip((waves - 0.7) * 5, 0, 1) * np.clip(1 - depth * 1.5, 0, 1) * 0.5
    seacol = seacol + foam[..., None] * S.rgb("frost") * 0.35
    # reflection of the warm sky band
    refl = np.exp(-((xx - 760) / 160) ** 2) * np.exp(-(yy - horizon) / 60) * (0.4 + 0.6 * waves)
    seacol = seacol + refl[..., None] * S.rgb("amber") * 0.25
    S.over(img, S.layer(np.clip(seacol, 0, 1), sea))
    # the cliff on the right: a rough mass rising from the sea
    edge_n = S.fbm(w, 1, 30, seed + 8, 4)[0]
    top = 472 - 52 * np.clip((np.arange(w) - 500) / 220, 0, 1) ** 0.7 + (edge_n - 0.5) * 26
    face_n = S.fbm(1, h, 18, seed + 13, 4)[:, 0]
    face_x = 540 - (yy - 430) * 0.22 + (face_n[:, None] - 0.5) * 70
    cliff = ((yy > top[None, :]) & (xx > face_x)).astype(np.float32)
    cliff = S.blur(cliff, 0.8)
    rock = S.fbm(w, h, 26, seed + 9, 5)
    cracks = S.ndimage.gaussian_filter1d(S.value_noise(w, h, 4, seed + 14), 6, axis=0)
    strata = 0.5 + 0.5 * np.sin(yy * 0.07 + rock * 7)
    rockcol = S._ramp(rock * 0.55 + strata * 0.25 + cracks * 0.2,
                      [(0.0, S.darken("night", 0.55)), (0.5, S.mix("slate", "night", 0.5)), (0.8, S.mix("slate", "dusk", 0.4)), (1.0, S.mix("slate", "frost", 0.2))])
    light_from_left = np.clip(1 - (xx - face_x) / 90, 0, 1) * 0.35
    rimlight = np.clip(1 - (yy - top[None, :]) / 14, 0, 1)
    grass = rimlight * (0.6 + 0.4 * S.value_noise(w, h, 3, seed + 15))
    rockcol = rockcol * (0.55 + light_from_left[..., None]) + rimlight[..., None] * S.rgb("dusk") * 0.35
    rockcol = rockcol * (1 - grass[..., None] * 0.5) + grass[..., None] * S.darken("moss", 0.3) * 0.5
    S.over(img, S.layer(np.clip(rockcol, 0, 1), cliff))
    # the house, a warm window-lit silhouette
    k = 1.12
    hx = 700
    base = int(top[760]) + 6
    hm = house_mask(w, h, hx, base, k)
    housecol = S.slate(w, h, seed + 10, "night", -0.2)
    edge = np.clip(hm - S.shift(hm, 2, 2), 0, 1)
    housecol = housecol + edge[..., None] * S.rgb("dusk") * 0.8
    S.over(img, S.layer(np.clip(housecol, 0, 1), hm))
    wins = np.zeros((h, w), np.float32)
    mull = np.zeros((h, w), np.float32)
    for x, y in ((705, base - 40), (735, base - 40), (792, base - 44), (825, base - 44), (735, base - 84), (808, base - 90), (878, base - 60), (878, base - 110)):
        X, Y = hx + (x - hx) * k, base + (y - base) * k
        wins = np.maximum(wins, S.rrect_mask(w, h, (int(X), int(Y), int(X + 14), int(Y + 22)), 3))
        mull[int(Y):int(Y + 22), int(X + 6):int(X + 8)] = 1
        mull[int(Y + 9):int(Y + 11), int(X):int(X + 14)] = 1
    S.over(img, S.solid(S.blur(wins, 9) * 0.7, "amber"))
    S.over(img, S.solid(wins, "candle"))
    S.over(img, S.solid(mull * wins * 0.8, "ink"))
    # warm light spilling on the cliff top in front of the house
    S.over(img, S.solid(S.radial_mask(w, h, 800, base + 10, 190, 2.0) * cliff * 0.35, "amber"))
    # the tower clock face: stopped, lit faintly from inside
    cx, cy = hx + (883 - hx) * k, base - 140 * k
    S.over(img, S.solid(S.blur(S.circle(w, h, cx, cy, 26), 8) * 0.35, "amber"))
    S.over(img, S.solid(S.circle(w, h, cx, cy, 19), S.mix("parchment", "amber", 0.3)))
    S.over(img, S.brass_layer(S.ring(w, h, cx, cy, 21, 18), seed + 16, 1, 3))
    hands = np.maximum(S.line_mask(w, h, [(cx, cy), (cx - 1.5, cy - 14)], 2), S.line_mask(w, h, [(cx, cy), (cx - 3, cy - 10)], 2.6))
    S.over(img, S.solid(hands, "ink"))
    # spray where the sea meets the cliff
    spray = S.fbm(w, h, 12, seed + 11, 3) * np.exp(-((xx - 470) / 90) ** 2) * np.exp(-((yy - 600) / 80) ** 2)
    S.over(img, S.solid(np.clip(spray * 1.4, 0, 1) * 0.5, "frost"))
    # rain: thin diagonal streaks
    rng = np.random.default_rng(seed + 12)
    rain = np.zeros((h, w), np.float32)
    for _ in range(900):
        x, y = rng.uniform(-100, w), rng.uniform(-50, h)
        ln = rng.uniform(10, 26)
        x1, y1 = x + ln * 0.28, y + ln
        n = int(ln)
        xs = np.clip(np.linspace(x, x1, n).astype(int), 0, w - 1)
        ys = np.clip(np.linspace(y, y1, n).astype(int), 0, h - 1)
        rain[ys, xs] = np.maximum(rain[ys, xs], rng.uniform(0.08, 0.32))
    rain = np.clip(S.blur(rain, 0.5) * 1.6, 0, 1)
    S.over(img, S.solid(rain, "frost"))
    # the top stays dark and quiet for the title
    img = S.vignette(S.grain(img, 0.03, seed), 0.55)
    return img, flash_light(w, h, seed, sea, waves, depth, cliff, face_x, rock, hm, spray, rain)


def flash_light(w, h, seed, sea, waves, depth, cliff, face_x, rock, hm, spray, rain):
    """The light of a flash in the open sky left of the house, as colour to add to the painting."""
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    near = np.clip(S.radial_mask(w, h, 540, 300, 760, 1.3), 0, 1)
    land = np.clip(sea + cliff + hm, 0, 1)
    sky = 1 - land
    # cloud masses light from within; their edges towards the bolts catch it hardest
    c1 = S.fbm(w, h, 220, seed, 5)
    c2 = S.fbm(w, h, 90, seed + 1, 4)
    dens = S.blur(np.clip((c1 * 0.65 + c2 * 0.35 - 0.42) * 2.6, 0, 1), 1.2)
    rim = np.clip(S.shift(dens, 8, 10) - dens, 0, 1) * 3
    glow = 0.10 + 0.30 * dens + 0.45 * rim
    cold = S.rgb("frost")
    out = (sky * near * glow)[..., None] * cold
    # the sea: a broken glitter under the bolts, dying away with distance
    glint = np.clip((waves - 0.5) * 3, 0, 1) * np.exp(-((xx - 470) / 260) ** 2) * (1 - depth * 0.8)
    sheen = np.exp(-((xx - 470) / 420) ** 2) * (0.08 + 0.1 * (1 - depth))
    out += (sea * (1 - cliff) * (glint * 0.45 + sheen))[..., None] * cold
    # the cliff face and its top turned to the left; the spray shines
    face = np.clip(1 - (xx - face_x) / 140, 0, 1) * (0.35 + 0.4 * rock)
    out += (cliff * (1 - hm) * (face * 0.35 + 0.06))[..., None] * S.mix("frost", "slate", 0.3)
    out += (np.clip(spray * 1.4, 0, 1) * 0.35)[..., None] * cold
    # the house: its left edges and roof slopes, a cold wash over the wall
    edges = np.clip(hm - S.shift(hm, 1, -3), 0, 1)
    out += (edges * 0.55 + hm * 0.07)[..., None] * cold
    # the rain catches the light everywhere
    out += (rain * (0.5 + 0.5 * near))[..., None] * cold * 0.75
    return np.clip(out, 0, 1)


def lightning(w, h, seed, x0=150.0, y0=150.0, y1=420):
    rng = np.random.default_rng(seed)
    pts = [(x0, y0)]
    x, y = pts[0]
    while y < y1:
        x += rng.uniform(-14, 12)
        y += rng.uniform(10, 22)
        pts.append((x, y))
    m = S.line_mask(w, h, pts, 1.6)
    bx, by = pts[len(pts) // 2]
    br = [(bx, by)]
    for _ in range(6):
        bx += rng.uniform(-16, -4)
        by += rng.uniform(8, 16)
        br.append((bx, by))
    m = np.maximum(m, S.line_mask(w, h, br, 1.0) * 0.7)
    # a second, thinner fork from the upper third
    bx, by = pts[len(pts) // 3]
    br = [(bx, by)]
    for _ in range(5):
        bx += rng.uniform(3, 14)
        by += rng.uniform(8, 15)
        br.append((bx, by))
    return np.maximum(m, S.line_mask(w, h, br, 0.8) * 0.5)


def bolt_sprite(seed, x0, y0, y1, box):
    """A bolt with its glow, cut to its box of the screen."""
    w, h = 1024, 768
    bolt = lightning(w, h, seed, x0, y0, y1)
    img = S.canvas(w, h)
    S.over(img, S.solid(np.clip(S.blur(bolt, 9) * 0.55, 0, 1), "frost"))
    S.over(img, S.solid(np.clip(S.blur(bolt, 3) * 0.8, 0, 1), (0.85, 0.9, 1.0)))
    S.over(img, S.solid(bolt, (0.97, 0.98, 1.0)))
    bx, by, bw, bh = box
    return img[by:by + bh, bx:bx + bw].copy()


def build_back(seed=880):
    back, lit = menu_back(seed)
    S.save_jpg(back, "menu/back", 88)
    S.save_jpg(np.dstack([lit, np.ones(lit.shape[:2], np.float32)]), "menu/flash_lit", 90)
    for i, (off, x0, y0, y1, box) in enumerate(BOLTS):
        S.save_png(bolt_sprite(seed + off, x0, y0, y1, box), "menu/bolt_%d" % (i + 1))
    # the whole-screen flash: a small plate of cold white, stretched
    S.save_png(S.canvas(16, 16, (0.82, 0.87, 1.0), 1), "menu/flash")


# ---------------------------------------------------------------- title and publisher


def metal_text(w, h, text, kind, size, seed, cx=None, cy=None, tracking=0, glow=0.6):
    m = S.text_mask(w, h, text, kind, size, cx, cy, tracking=tracking)
    img = S.canvas(w, h)
    S.over(img, S.solid(np.clip(S.blur(m, 8) * 1.8, 0, 1) * glow, "#0a0710"))
    S.over(img, S.solid(S.dilate(m, 1.5), S.darken("walnut", 0.5)))
    S.over(img, S.brass_layer(m, seed, 3.0, 7.0, 0.08))
    return img, m


def build_logo():
    w, h = 620, 220
    img = S.canvas(w, h)
    # a clock-face medallion behind the middle of the word
    med = S.canvas(w, h)
    S.over(med, S.solid(S.circle(w, h, w / 2, 92, 74), S.darken("night", 0.2), 0.55))
    S.over(med, S.bezel(w, 80, 72, 800, 12, 2.0, cx=w / 2, cy=92))
    ticks = np.zeros((h, w), np.float32)
    for i in range(60):
        a = i / 60 * 2 * math.pi
        r0 = 62 if i % 5 else 56
        ticks = np.maximum(ticks, S.line_mask(w, h, [(w / 2 + r0 * math.sin(a), 92 - r0 * math.cos(a)), (w / 2 + 68 * math.sin(a), 92 - 68 * math.cos(a))], 1.3 if i % 5 else 2.2))
    S.over(med, S.solid(ticks * 0.8, "brass"))
    med[..., 3] *= 0.85
    S.over(img, med)
    t, m = metal_text(w, h, "Halvern", "bold", 132, 801, w / 2, 96, tracking=3)
    S.over(img, t)
    # flourish beneath
    fl = flourish_wide(520, 40, 802)
    S.over_center(img, fl, w / 2, 182)
    S.save_png(img, "menu/logo")


def flourish_wide(w, h, seed):
    cy = h / 2
    def fn(d, s):
        for dx in (-1, 1):
            pts = [(w / 2 + dx * 22, cy), (w / 2 + dx * 120, cy - 4), (w / 2 + dx * 210, cy + 2)]
            pts += S.scroll_path(w / 2 + dx * 226, cy - 4, 9, 1.0, -dx, 30, math.pi / 2)
            d.line([(x * s, y * s) for x, y in pts], fill=255, width=int(3 * s), joint="curve")
            pts = S.scroll_path(w / 2 + dx * 40, cy + 6, 7, 0.9, dx, 24, -math.pi / 2)
            d.line([(x * s, y * s) for x, y in pts], fill=255, width=int(2 * s), joint="curve")
        r = 9
        d.polygon([((w / 2) * s, (cy - r) * s), ((w / 2 + r) * s, cy * s), ((w / 2) * s, (cy + r) * s), ((w / 2 - r) * s, cy * s)], fill=255)
    m = S.draw_mask(w, h, fn)
    return S.drop_shadow(S.brass_layer(m, seed, 1.6, 5), 1, 2, 2, 0.7)


def build_studio():
    w, h = 520, 200
    img = S.canvas(w, h)
    # emblem: a quill over a moor line inside a ring
    ex, ey = 100, 100
    emb = S.canvas(w, h)
    S.over(emb, S.solid(S.circle(w, h, ex, ey, 70), "night", 0.9))
    S.over(emb, S.bezel(w, 76, 68, 810, 0, cx=ex, cy=ey))
    hills = S.polygon(w, h, [(ex - 66, ey + 30), (ex - 40, ey + 12), (ex - 10, ey + 22), (ex + 22, ey + 6), (ex + 66, ey + 26), (ex + 66, ey + 70), (ex - 66, ey + 70)])
    hills = hills * S.circle(w, h, ex, ey, 66)
    S.over(emb, S.layer(S.slate(w, h, 811, "moss", 0.05), hills))
    S.over(emb, S.solid(S.circle(w, h, ex + 26, ey - 26, 12), "candle", 0.9))
    def quill(d, s):
        pts = [(ex - 40, ey + 44), (ex + 40, ey - 50)]
        d.line([(x * s, y * s) for x, y in pts], fill=255, width=int(2 * s))
        vane = [(ex - 22, ey + 22), (ex + 8, ey - 30), (ex + 40, ey - 50), (ex + 20, ey - 8), (ex - 14, ey + 24)]
        d.polygon([(x * s, y * s) for x, y in vane], fill=255)
    qm = S.draw_mask(w, h, quill)
    ql = S.layer(S.parchment(w, h, 812, -0.1), qm)
    ql[..., :3] = S.bevel(ql[..., :3], S.height_from_mask(qm, 3, "ridge"), 3, specular=0.2)
    S.over(emb, S.drop_shadow(ql, 2, 3, 2, 0.6))
    S.over(img, emb)
    t, _ = metal_text(w, h, "QUILLMOOR", "regular", 50, 813, 340, 92, tracking=5, glow=0.4)
    S.over(img, t)
    sub = S.text_mask(w, h, "·  STORYTELLERS  ·", "regular", 17, 340, 136, tracking=3)
    S.over(img, S.solid(sub, "parchment_shade", 0.9))
    S.save_png(img, "menu/studio")
    bg = S.canvas(1024, 768, "night", 1)
    bg[..., :3] = S.slate(1024, 768, 814, "night", -0.2)
    S.over(bg, S.solid(S.radial_mask(1024, 768, 512, 384, 520, 1.6) * 0.35, "dusk"))
    S.save_jpg(S.vignette(S.grain(bg, 0.03, 815), 0.6), "menu/studio_back", 90)


# ---------------------------------------------------------------- controls


def build_controls():
    seed = 820
    n, hv = S.button(320, 64, seed, "wood", 26, 4, 5)
    S.save_png(n, "menu/btn")
    S.save_png(hv, "menu/btn_over")
    n, hv = S.button(180, 48, seed + 1, "wood", 19, 3, 4)
    S.save_png(n, "menu/btn_small")
    S.save_png(hv, "menu/btn_small_over")
    S.save_png(S.grain(S.plate(640, 480, seed + 2, "parchment", 20, 8, 6, wood_w=18), 0.025, seed), "menu/panel")
    S.save_png(S.grain(S.plate(480, 300, seed + 3, "parchment", 18, 8, 5, wood_w=14), 0.025, seed), "menu/panel_small")
    # slider
    w, h = 300, 16
    tr = S.canvas(w, h)
    outer = S.rrect_mask(w, h, (1, 2, w - 1, h - 2), 6)
    S.over(tr, S.brass_layer(outer, seed + 4, 2, 5))
    groove = S.rrect_mask(w, h, (5, 5, w - 5, h - 5), 3)
    S.over(tr, S.inner_shadow(S.solid(groove, S.darken("walnut", 0.5)), 2, 0, 1, 0.8))
    S.save_png(tr, "menu/slider_track")
    s = 28
    knob = S.canvas(s, s)
    S.over(knob, S.solid(S.blur(S.circle(s, s, 14, 15.5, 11), 1.5), "#000000", 0.6))
    S.over(knob, S.brass_layer(S.circle(s, s, 14, 14, 11), seed + 5, 5, 8))
    S.over(knob, S.jewel(12, "wine", 0.1, seed + 6), 8, 8)
    S.save_png(knob, "menu/slider_knob")
    S.save_png(S.hover(knob, 0.15, 0.3, 0.9, 2.5), "menu/slider_knob_over")
    # check box
    s = 32
    box = S.canvas(s, s)
    S.over(box, S.brass_layer(S.rrect_mask(s, s, (3, 3, 29, 29), 5), seed + 7, 2, 5))
    S.over(box, S.inner_shadow(S.layer(S.parchment(s, s, seed + 8), S.rrect_mask(s, s, (6, 6, 26, 26), 3)), 2, 1, 1, 0.6))
    S.save_png(box, "menu/check_off")
    on = box.copy()
    tick = S.line_mask(s, s, [(9.5, 16.5), (14, 21.5), (23.5, 9.5)], 3.4)
    S.over(on, S.solid(tick, "ink"))
    S.save_png(on, "menu/check_on")
    S.save_png(S.hover(box, 0.12, 0.3, 0.9, 2.5), "menu/check_over")
    # text field
    w, h = 360, 48
    f = S.canvas(w, h)
    S.over(f, S.brass_layer(S.rrect_mask(w, h, (2, 3, w - 2, h - 3), 8), seed + 9, 2, 5))
    fi = S.layer(S.parchment(w, h, seed + 10, 0.05), S.rrect_mask(w, h, (6, 7, w - 6, h - 7), 5))
    S.over(f, S.inner_shadow(fi, 3, 1, 2, 0.6))
    S.save_png(f, "menu/field")
    # profile rows
    w, h = 360, 40
    base = S.rrect_mask(w, h, (2, 2, w - 2, h - 2), 6)
    row = S.solid(base, "parchment_shade", 0.35)
    S.over(row, S.solid(np.clip(base - S.erode(base, 1), 0, 1), "walnut", 0.35))
    S.save_png(row, "menu/row")
    ro = S.solid(base, S.mix("parchment", "amber", 0.5), 0.75)
    S.over(ro, S.solid(S.radial_mask(w, h, w / 2, h / 2, w / 1.6, 1.2) * base * 0.4, "candle"))
    S.over(ro, S.brass_layer(np.clip(base - S.erode(base, 2), 0, 1), seed + 11, 1, 3))
    S.save_png(ro, "menu/row_over")
    rs = S.solid(base, S.mix("wine", "mahogany", 0.4), 0.85)
    S.over(rs, S.brass_layer(np.clip(base - S.erode(base, 2), 0, 1), seed + 12, 1, 3))
    S.over(rs, S.solid(S.radial_mask(w, h, w / 2, 0, w / 1.4, 1.5) * base * 0.2, "candle"))
    S.save_png(rs, "menu/row_sel")
    # close
    s = 40
    c = S.canvas(s, s)
    S.over(c, S.bezel(s, 17, 12, seed + 13, 6, 1.0))
    S.over(c, S.layer(S.walnut_grain(s, s, seed + 14, "mahogany", dark=0.2), S.circle(s, s, 20, 20, 12)))
    cross = np.maximum(S.line_mask(s, s, [(15, 15), (25, 25)], 3), S.line_mask(s, s, [(25, 15), (15, 25)], 3))
    S.over(c, S.brass_layer(cross, seed + 15, 1.2, 4, 0.1))
    c = S.drop_shadow(c, 1, 1, 1.5, 0.6)
    S.save_png(c, "menu/close")
    S.save_png(S.hover(c, 0.15, 0.3, 0.9, 2.5), "menu/close_over")


# ---------------------------------------------------------------- strategy guide


def guide_back(seed):
    """A top-bound album lying open: a parchment strip above the binding (the title), and a large
    dark page below that holds the text and the photographs."""
    w, h = 1024, 768
    img = S.canvas(w, h, "ink", 1)
    img[..., :3] = S.walnut_grain(w, h, seed, "walnut", dark=0.45)
    cover = S.rrect_mask(w, h, (8, 6, 1016, 762), 22)
    S.over(img, S.solid(S.blur(S.shift(cover, 8, 0), 12), "#000000", 0.7))
    cl = S.layer(S.leather(w, h, seed + 1, "wine"), cover)
    cl[..., :3] = S.bevel(cl[..., :3], S.height_from_mask(cover, 10, "round"), 6.0, specular=0.1)
    S.over(img, cl)
    upper = S.rrect_mask(w, h, (24, 20, 1000, 108), 8)
    S.over(img, S.layer(S.parchment(w, h, seed + 2) * S.gradient_y(h, w, (1, 1, 1), (0.8, 0.8, 0.8)), upper))
    # binding: a leather hinge with brass rings
    hinge = S.rrect_mask(w, h, (20, 104, 1004, 124), 6)
    S.over(img, S.layer(S.bevel(S.leather(w, h, seed + 3, "wine") * 0.7, S.height_from_mask(hinge, 6, "ridge"), 4), hinge))
    for x in range(90, 1000, 140):
        S.over_center(img, S.bezel(28, 12, 7, seed + x, 0), x, 114)
    lower = S.rrect_mask(w, h, (24, 124, 1000, 748), 8)
    page = S.slate(w, h, seed + 4, "night", -0.12)
    page = page * (0.85 + 0.15 * S.fbm(w, h, 8, seed + 5, 2))[..., None]
    pl = S.inner_shadow(S.layer(page, lower), 10, 0, 8, 0.8)
    S.over(img, pl)
    # thin gilt border on the dark page, and a bottom rule under which the page number sits
    gb = np.clip(S.rrect_mask(w, h, (40, 140, 984, 732), 6) - S.rrect_mask(w, h, (42, 142, 982, 730), 5), 0, 1)
    S.over(img, S.solid(gb * 0.55, "brass"))
    S.over_center(img, S.solid(divider_mask(420, 22), "brass", 0.7), 512, 662)
    S.over_center(img, S.solid(divider_mask(300, 18), S.darken("walnut", 0.2), 0.55), 175, 92)
    img = S.vignette(S.grain(img, 0.03, seed), 0.4)
    return img


def divider_mask(w, h):
    cy = h / 2
    def fn(d, s):
        d.line([(4 * s, cy * s), ((w / 2 - 14) * s, cy * s)], fill=255, width=max(1, int(1.4 * s)))
        d.line([((w / 2 + 14) * s, cy * s), ((w - 4) * s, cy * s)], fill=255, width=max(1, int(1.4 * s)))
        r = 5
        d.polygon([((w / 2) * s, (cy - r) * s), ((w / 2 + r) * s, cy * s), ((w / 2) * s, (cy + r) * s), ((w / 2 - r) * s, cy * s)], fill=255)
    return S.draw_mask(w, h, fn)


def photo_frame(w, h, seed, win_w, win_h, lit=False):
    """A mount with brass photo corners around a transparent window of win_w x win_h."""
    img = S.canvas(w, h)
    x0, y0 = (w - win_w) / 2, (h - win_h) / 2
    b = max(1, min(7, int(min(x0, y0))))
    mount = np.clip(S.rrect_mask(w, h, (int(x0 - b), int(y0 - b), int(x0 + win_w + b), int(y0 + win_h + b)), 2)
                    - S.rrect_mask(w, h, (int(x0), int(y0), int(x0 + win_w), int(y0 + win_h)), 1), 0, 1)
    S.over(img, S.solid(S.blur(S.shift(mount, 1, 0), 1.5), "#000000", 0.6))
    S.over(img, S.layer(S.parchment(w, h, seed, -0.05), mount))
    for fx in (0, 1):
        for fy in (0, 1):
            cx = x0 + 1 if fx == 0 else x0 + win_w - 1
            cy = y0 + 1 if fy == 0 else y0 + win_h - 1
            sx = 1 if fx == 0 else -1
            sy = 1 if fy == 0 else -1
            tri = S.polygon(w, h, [(cx - sx * 2, cy - sy * 2), (cx + sx * 20, cy - sy * 2), (cx - sx * 2, cy + sy * 20)])
            S.over(img, S.brass_layer(tri, seed + fx * 2 + fy, 1.5, 4))
    if lit:
        img = S.hover(img, 0.1, 0.3, 1.0, 2.5)
    return img


def build_guide():
    seed = 860
    S.save_jpg(guide_back(seed), "menu/strguide/back", 90)
    # slots stand 190 x 140 apart: the frame fits that, its corners overlapping the picture
    S.save_png(photo_frame(190, 140, seed + 1, 178, 134), "menu/strguide/frame_normal")
    S.save_png(photo_frame(190, 140, seed + 1, 178, 134, lit=True), "menu/strguide/frame_focus")
    # the zoom frame around a 660 x 496 screenshot
    w, h = 720, 556
    z = S.plate(w, h, seed + 2, "wood", 16, 6, 5, wood_w=14, shadow=True)
    win = S.rrect_mask(w, h, (30, 30, w - 30, h - 30), 2)
    z[..., 3] *= (1 - win)
    S.save_png(z, "menu/strguide/frame_zoom")
    # contents entry hover: a soft amber band
    w, h = 520, 44
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    a = np.clip(1 - ((xx - w / 2) / (w / 2)) ** 4, 0, 1) * np.exp(-((yy - h / 2) / (h / 3.2)) ** 2)
    band = S.solid(a * 0.55, "amber")
    line = np.exp(-((yy - h + 6) / 1.0) ** 2) * np.clip(1 - ((xx - w / 2) / (w / 2.4)) ** 2, 0, 1)
    S.over(band, S.solid(line * 0.8, "candle"))
    S.save_png(band, "menu/strguide/light")
    # the guide window's own buttons (used by its module)
    for name, d in (("next", "right"), ("prev", "left")):
        b = S.canvas(72, 52)
        m = S.arrow_mask(52, 36, d, 0.38, 0.48)
        S.over(b, S.drop_shadow(S.crop_to(S.brass_layer(m, seed + 3, 3, 7, 0.05), 72, 52), 1, 2, 2, 0.6))
        S.save_png(b, "menu/strguide/" + name)
        S.save_png(S.hover(b, 0.15, 0.3, 0.9, 4), "menu/strguide/" + name + "_over")
    n, hv = S.button(180, 44, seed + 4, "wood", 17, 3, 4)
    S.save_png(n, "menu/strguide/toc")
    S.save_png(hv, "menu/strguide/toc_over")


def build():
    build_back()
    build_logo()
    build_studio()
    build_controls()
    build_guide()
