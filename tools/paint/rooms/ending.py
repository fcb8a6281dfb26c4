"""The dawn after the storm, the credits backdrop and Ysolde's framed portrait."""
import math

import numpy as np
from scipy import ndimage

import interior
import kit
import portrait
import props
import things
from kit import Layer, col
from scene import Room

SUN = (840, 434)
HORIZON = 436
SUN_LIGHT = (0.75, -0.3, 0.55)  # low sun from the right


def dawn_sky(h, w, seed, horizon=HORIZON, sun=SUN):
    cv = kit.vgrad(h, w, [(0, kit.mix("dusk", "night", 0.35)), (0.22, "dusk"), (0.42, kit.mix("wine", "dusk", 0.35)),
                          (0.5, kit.mix("wine", "amber", 0.45)), (horizon / h, kit.mix("amber", "candle", 0.5)),
                          (1, "amber")])
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    # long strata of cloud, lit from beneath by the low sun
    n = ndimage.zoom(np.random.default_rng(seed).random((h // 24 + 3, w // 160 + 3)).astype(np.float32), (24, 160),
                     order=3)[:h, :w]
    n2 = kit.noise(h, w, 18, seed + 1, 4)
    band = np.clip((n * 0.8 + n2 * 0.35 - 0.62) * 3.2, 0, 1) * np.clip((horizon - 30 - yy) / 200, 0, 1)
    under = np.clip(band - ndimage.shift(band, (5, 0), order=1), 0, 1)
    warm = np.clip(1 - np.hypot((xx - sun[0]) / 700, (yy - sun[1]) / 380), 0, 1)
    cloud_col = kit.mix("dusk", "wine", 0.45)[None, None] * (1 - warm[..., None]) + kit.mix("wine", "amber", 0.6) * warm[..., None]
    cv = cv * (1 - band[..., None] * 0.75) + cloud_col * band[..., None] * 0.75
    cv += under[..., None] * col("candle") * (0.25 + 0.6 * warm[..., None])
    g = kit.radial(h, w, sun[0], sun[1], 520, 2.0)
    cv += g[..., None] * col("amber") * 0.55
    cv += kit.radial(h, w, sun[0], sun[1], 120, 1.5)[..., None] * col("candle") * 0.8
    return cv


def dawn_sea(cv, seed, horizon=HORIZON, sun=SUN):
    h, w = cv.shape[:2]
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    t = np.clip((yy - horizon) / (h - horizon), 0, 1)
    sea = kit.mix("#b08a80", "amber", 0.2)[None, None] * (1 - t[..., None]) ** 2 + kit.mix("teal", "slate", 0.5) * (1 - (1 - t[..., None]) ** 2)
    wav = kit.streaks(h, w, seed, 60, 0.0, 2)
    sea = sea * (1 + 0.12 * wav[..., None] * (0.3 + t[..., None]))
    # glitter path under the sun
    path = np.exp(-((xx - sun[0]) / (30 + 160 * t)) ** 2)
    glint = np.clip(wav * 4 - 1.2, 0, 1) * path
    sea += glint[..., None] * col("candle") * 1.0 + path[..., None] * col("amber") * 0.15 * (1 - t[..., None])
    m = (yy >= horizon).astype(np.float32)
    cv[:] = cv * (1 - m[..., None]) + sea * m[..., None]


def sun_disc(cv, sun=SUN, r=44, horizon=HORIZON):
    lay = Layer(cv.shape[1], cv.shape[0])
    lay.paint(kit.intersect(kit.ellipse(sun[0], sun[1], r, r), kit.rect(0, 0, cv.shape[1], horizon + 1)), "#fff3d0")
    kit.over_layer(cv, lay)


def house_on_cliff(cv, seed, light=SUN_LIGHT, clock_hm=(6, 0)):
    """Halvern Point at dawn: cliff with snow, the house and its clock tower."""
    lay = Layer(kit.W, kit.H)
    # far headland, hazy, with the sun rising behind its shoulder
    far = kit.poly([(590, HORIZON + 2), (640, 424), (700, 420), (730, 424), (760, 431), (800, HORIZON + 2)])
    far2 = kit.poly([(880, HORIZON + 2), (930, 420), (1024, 410), (1024, HORIZON + 2)])
    lay.paint(kit.union(far, far2), kit.mix("dusk", "wine", 0.5) * 1.1)
    kit.over_layer(cv, lay)
    lay = Layer(kit.W, kit.H)
    yy, xx = np.mgrid[0:kit.H, 0:kit.W].astype(np.float32)
    warm = np.clip(1 - np.hypot((xx - SUN[0]) / 800, (yy - SUN[1]) / 520), 0, 1)
    # the headland: a sunlit rock face dropping to the sea on the right
    land = kit.poly([(0, 352), (120, 346), (300, 352), (470, 362), (540, 378), (580, 405), (606, 470), (650, 560),
                     (700, 640), (770, 710), (840, 768), (0, 768)])
    rock = kit.stone_tex(kit.H, kit.W, seed, "#7a6a6e", "#2e2a36")
    strata = np.sin(yy * 0.11 + xx * 0.05 + kit.noise(kit.H, kit.W, 40, seed + 1, 3) * 5) * 0.5 + 0.5
    rock = rock * (0.7 + 0.4 * strata[..., None])
    rock = rock * (kit.mix("amber", "wine", 0.35) * 1.25 * (0.5 + warm[..., None])) * 0.9
    lay.paint(land, rock)
    # surf where the rocks meet the sea
    foam = kit.line([(612, 470 + 0 * 1), (650, 560), (700, 640), (770, 710), (840, 768)], 6)
    kit.over_layer(cv, lay)
    fl = Layer(kit.W, kit.H)
    fl.paint(foam, "frost", 0.35)
    fl.a = kit.blur(fl.a, 3)
    kit.over_layer(cv, fl)
    lay = Layer(kit.W, kit.H)
    # snow over the top and the long slope down to the garden gate
    edge = [(540, 376), (566, 398), (572, 440), (560, 500), (582, 560), (600, 640), (640, 700), (676, 768)]
    snow = kit.poly([(0, 350), (120, 344), (300, 350), (470, 360)] + edge + [(0, 768)])
    sn = kit.snow_tex(kit.H, kit.W, seed + 2, warm)
    # the slope darkens into blue shade towards the viewer
    # warm where the low sun grazes the top, blue shade down the slope towards the viewer
    shade = np.clip((yy - 360) / 380, 0, 1)[..., None]
    sn = sn * (1 - shade) * kit.mix(kit.mix("candle", "wine", 0.3), "frost", 0.4) * 1.1 + sn * shade * kit.mix("frost", "dusk", 0.5) * 0.95
    lay.paint(snow, sn)
    # rocks poking through, and the trodden path up to the house
    rng = np.random.default_rng(seed + 5)
    path = [(250, 768), (260, 690), (300, 620), (330, 540), (310, 470), (290, 410), (260, 360)]
    for i in range(len(path) - 1):
        (x0, y0), (x1, y1) = path[i], path[i + 1]
        wdt = 4 + (y0 - 340) / 18
        lay.paint(kit.line([(x0, y0), (x1, y1)], wdt), kit.mix("frost", "dusk", 0.55), 0.45)
    for k in range(40):
        t = k / 39
        i = min(int(t * (len(path) - 1)), len(path) - 2)
        f = t * (len(path) - 1) - i
        x = path[i][0] + (path[i + 1][0] - path[i][0]) * f + (4 if k % 2 else -4) * (1 - t * 0.7)
        y = path[i][1] + (path[i + 1][1] - path[i][1]) * f
        sz = 1.5 + 4 * (1 - t)
        lay.paint(kit.ellipse(x, y, sz, sz * 0.6), kit.mix("dusk", "slate", 0.5), 0.6)
    for k in range(40):
        x, y = rng.random() * 560, 430 + rng.random() * 330
        for j in range(4):
            a = -math.pi / 2 + (rng.random() - 0.5) * 1.0
            ln = 6 + rng.random() * 16 * (y / 700)
            lay.paint(kit.line([(x + j * 2, y), (x + j * 2 + math.cos(a) * ln, y + math.sin(a) * ln)], 1.3),
                      kit.mix("#6b5a3a", "dusk", 0.3), 0.75)
    kit.over_layer(cv, lay)
    # the house
    hl = Layer(kit.W, kit.H)
    body = kit.poly([(150, 352), (150, 262), (360, 262), (360, 352)])
    wall = kit.tex_noise(kit.H, kit.W, "#7a6a70", "#4a4050", 8, seed + 3)
    hl.paint(body, wall)
    wing = kit.poly([(360, 352), (360, 290), (450, 290), (450, 356)])
    hl.paint(wing, wall * kit.mix("amber", "wine", 0.3) * 1.5)
    roof = kit.poly([(138, 266), (255, 196), (372, 266)])
    props.solid(roof, "#4a3a48", light, 4, lay=hl)
    wroof = kit.poly([(352, 294), (404, 258), (460, 294)])
    props.solid(wroof, "#5a4458", light, 4, lay=hl)
    # snow on the roofs
    for pts in ([(138, 266), (255, 196), (372, 266), (360, 262), (255, 206), (150, 262)],
                [(352, 294), (404, 258), (460, 294), (450, 290), (404, 266), (362, 290)]):
        hl.paint(kit.poly(pts), kit.mix("frost", "candle", 0.2))
    chim = kit.rect(300, 200, 322, 240)
    props.solid(chim, "#5a4a50", light, 2, lay=hl)
    # tower
    tw = kit.rect(210, 150, 282, 300)
    hl.paint(tw, wall * 1.05)
    tw_lit = kit.rect(262, 150, 282, 300)
    hl.paint(tw_lit, wall * kit.mix("amber", "wine", 0.3) * 1.6, 0.8)
    troof = kit.poly([(202, 154), (246, 82), (290, 154)])
    props.solid(troof, "#4a3a48", light, 4, lay=hl)
    hl.paint(kit.poly([(246, 82), (290, 154), (282, 154), (246, 94)]), kit.mix("frost", "candle", 0.25), 0.9)
    props.solid(kit.line([(246, 82), (246, 62)], 2.5), "brass", light, 1, specular=0.8, lay=hl)
    # windows warm in the dawn
    for (x, y) in ((180, 300), (222, 300), (330, 300), (390, 318), (425, 318), (246, 238)):
        hl.paint(kit.rect(x - 9, y - 13, x + 9, y + 13), kit.mix("amber", "candle", 0.4))
        hl.paint(kit.rect(x - 1, y - 13, x + 1, y + 13), "#3a2a30", 0.8)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(hl.a, 0, 0), -10, 4, 6, 0.35))
    kit.over_layer(cv, hl)
    # the tower clock shows the right time again
    hh, mm = clock_hm
    d = props.dial(246, 190, 24, seed, hh, mm, face=kit.mix("parchment", "amber", 0.2), tide=False, light=light)
    kit.over_layer(cv, d)
    # chimney smoke drifting inland
    sm = Layer(kit.W, kit.H)
    rng = np.random.default_rng(seed + 9)
    for k in range(18):
        t = k / 17
        x = 311 - t * 180 + math.sin(t * 5) * 14
        y = 196 - t * 110
        r = 8 + t * 34
        sm.paint(kit.ellipse(x, y, r, r * 0.7), kit.mix("frost", "wine", 0.25), 0.14 * (1 - t * 0.7))
    sm.rgb = kit.blur(sm.rgb, 3)
    sm.a = kit.blur(sm.a, 4)
    kit.over_layer(cv, sm)
    for x, y in ((180, 300), (222, 300), (330, 300), (390, 318), (425, 318)):
        cv += kit.radial(kit.H, kit.W, x, y, 40, 2)[..., None] * col("amber") * 0.18


def gulls(cv, seed, n=4):
    lay = Layer(kit.W, kit.H)
    rng = np.random.default_rng(seed)
    for k in range(n):
        x, y = 520 + rng.random() * 380, 150 + rng.random() * 150
        s = 6 + rng.random() * 7
        pts = [(x - s, y - s * 0.2), (x - s * 0.45, y - s * 0.45), (x, y), (x + s * 0.45, y - s * 0.5), (x + s, y - s * 0.15)]
        lay.paint(kit.line(pts, 1.6), kit.mix("ink", "dusk", 0.4), 0.85)
    kit.over_layer(cv, lay)


def dawn(room, seed):
    cv = dawn_sky(kit.H, kit.W, seed)
    sun_disc(cv)
    dawn_sea(cv, seed + 1)
    house_on_cliff(cv, seed + 2)
    gulls(cv, seed + 3)
    # the garden wall running off either side of the gate, and snowy gorse
    lay = Layer(kit.W, kit.H)
    for x0, x1, y0, y1 in ((-10, 96, 600, 640),):
        wall = kit.poly([(x0, y0), (x1, y0 + (y1 - y0) * 0.2), (x1, 790), (x0, 790)])
        kit.brick_courses(lay, wall, seed + x0 + 40, 40, 20, "#5a5460", "#34303a")
        cap = kit.poly([(x0, y0 - 10), (x1, y0 + (y1 - y0) * 0.2 - 10), (x1, y0 + (y1 - y0) * 0.2 + 2), (x0, y0 + 2)])
        lay.paint(cap, kit.mix("frost", "candle", 0.2))
    for k, (x, y, r) in enumerate(((600, 560, 44), (40, 560, 40), (520, 470, 26))):
        props.foliage(lay, x, y, r * 1.3, r * 0.8, seed + 70 + k, kit.mix("moss", "night", 0.3), SUN_LIGHT, n=120,
                      leaf=(3, 7))
        for j in range(10):
            rng = np.random.default_rng(seed + 80 + k * 10 + j)
            a = rng.random() * math.pi
            lay.paint(kit.ellipse(x + math.cos(a) * r, y - math.sin(a) * r * 0.6, r * 0.3, r * 0.12),
                      kit.mix("frost", "candle", 0.2), 0.9)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(lay.a, 0, 0), -18, 6, 6, 0.35))
    kit.over_layer(cv, lay)
    # the open garden gate and the spent lantern in the snowy foreground
    lay = Layer(kit.W, kit.H)
    for x in (120, 392):
        post = kit.rect(x - 24, 540, x + 24, 790)
        kit.brick_courses(lay, post, seed + x, 32, 24, "#6a646c", "#3a3640")
        xx = lay.grid()[0]
        lay.tone(0.7 + 0.5 * np.clip((xx - x + 24) / 48, 0, 1), post)
        props.solid(kit.rect(x - 32, 526, x + 32, 544), "#7a7480", SUN_LIGHT, 3, lay=lay)
        lay.paint(kit.poly([(x - 34, 528), (x + 34, 528), (x + 26, 516), (x - 26, 516)]), kit.mix("frost", "candle", 0.25))
    # the right leaf swung wide open towards the viewer
    for i in range(9):
        x = 414 + i * 15
        lay.paint(kit.line([(x, 790 + i * 4), (x, 600 + i * 6)], 3.4), "#1c1d22")
        lay.paint(kit.poly([(x - 4, 602 + i * 6), (x + 4, 602 + i * 6), (x, 588 + i * 6)]), "#1c1d22")
    for y0 in (620, 740):
        lay.paint(kit.line([(414, y0), (534, y0 + 34)], 5), "#1c1d22")
    lx = 120
    props.solid(kit.poly([(lx - 16, 518), (lx + 16, 518), (lx + 12, 480), (lx - 12, 480)]), "#3a3a3a", SUN_LIGHT, 2,
                lay=lay)
    lay.paint(kit.poly([(lx - 11, 514), (lx + 11, 514), (lx + 8, 484), (lx - 8, 484)]), kit.mix("frost", "amber", 0.3), 0.6)
    props.solid(kit.poly([(lx - 18, 482), (lx + 18, 482), (lx, 462)]), "#1c1d22", SUN_LIGHT, 2, lay=lay)
    lay.paint(kit.poly([(lx - 18, 482), (lx, 462), (lx + 4, 466), (lx - 10, 480)]), kit.mix("frost", "candle", 0.25))
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(lay.a, 0, 0), -18, 6, 6, 0.35))
    kit.over_layer(cv, lay)
    kit.bloom(cv, 0.72, 18, 0.45)
    cv = kit.finish(cv, seed, vignette=0.35, stroke_angle=0.1)
    room.back(cv)


def credits_back(room, seed):
    """A quiet wall at dawn for the rolling credits; the portrait hangs on the right."""
    cv = kit.backdrop("night")
    lay = Layer(kit.W, kit.H)
    paper = interior.wallpaper(kit.H, kit.W, seed, "#3a2e48", "#4a3d5c", step=40)
    lay.paint(kit.rect(0, 0, kit.W, 560), paper)
    interior.wainscot(lay, [(0, 560), (kit.W, 560), (kit.W, 660), (0, 660)], seed + 1)
    for x in range(10, kit.W, 96):
        props.solid(kit.rect(x + 8, 574, x + 84, 648), "#5e3d24", (0.3, 0.8, 0.5), 3, amb=0.8, lay=lay, strength=0.5)
    props.solid(kit.rect(0, 552, kit.W, 564), "#6a452a", SUN_LIGHT, 2, lay=lay)
    # the side wall on the right with its window: dawn over a calm sea, frost in the corners
    side = [(900, 0), (kit.W, 0), (kit.W, 768), (900, 560)]
    lay.paint(kit.poly(side), paper * 0.6)
    win = [(924, 92), (1004, 64), (1004, 500), (924, 480)]
    sky = dawn_sky(kit.H, kit.W, seed + 2, horizon=330, sun=(985, 322))
    sun_disc(sky, (985, 322), 20, 330)
    dawn_sea(sky, seed + 3, horizon=330, sun=(985, 322))
    yy, xx = np.mgrid[0:kit.H, 0:kit.W].astype(np.float32)
    fr = kit.noise(kit.H, kit.W, 6, seed + 4, 4)
    cd = np.minimum(np.minimum(xx - 924, 1004 - xx), np.minimum(yy - 80, 490 - yy))
    frost = np.clip((fr - 0.45) * 2.5 - cd / 18 + 0.3, 0, 1)
    sky = sky * (1 - 0.6 * frost[..., None]) + col("frost") * 0.6 * frost[..., None]
    lay.paint(kit.poly(win), sky)
    fr_m = kit.subtract(kit.poly([(910, 84), (1018, 46), (1018, 516), (910, 492)]), kit.poly(win))
    fr_m = kit.union(fr_m, kit.poly([(924, 282), (1004, 276), (1004, 286), (924, 291)]),
                     kit.poly([(961, 80), (968, 78), (968, 492), (961, 490)]))
    props.solid(fr_m, "#5a3a22", SUN_LIGHT, 3, lay=lay, tex=kit.wood(kit.H, kit.W, seed + 5, "#5a3a22", angle=math.pi / 2))
    props.solid(kit.poly([(896, 492), (1024, 516), (1024, 534), (896, 506)]), "#6a452a", SUN_LIGHT, 3, lay=lay)
    kit.over_layer(cv, lay)
    # a table across the bottom with the morning's things
    tl = Layer(kit.W, kit.H)
    top = kit.poly([(0, 664), (kit.W, 664), (kit.W, 768), (0, 768)])
    tl.paint(top, kit.wood(kit.H, kit.W, seed + 6, "mahogany", kit.shade_of("mahogany", 0.6), angle=0.02, freq=0.04))
    props.solid(kit.rect(0, 660, kit.W, 672), "#8a4a34", SUN_LIGHT, 2, lay=tl)
    kit.over_layer(cv, tl)
    things_l = Layer(kit.W, kit.H)
    # kettle
    kx, ky = 850, 690
    body = kit.poly([(kx - 50, ky + 30), (kx + 50, ky + 30), (kx + 56, ky), (kx + 44, ky - 34), (kx + 20, ky - 46),
                     (kx - 20, ky - 46), (kx - 44, ky - 34), (kx - 56, ky)])
    props.solid(body, kit.mix("mahogany", "brass", 0.5), SUN_LIGHT, 14, specular=0.8, shin=12, lay=things_l,
                tex=props.brass_tex(kit.H, kit.W, seed + 7, kit.mix("mahogany", "brass", 0.5)))
    spout = kit.line([(kx - 46, ky - 4), (kx - 76, ky - 26), (kx - 88, ky - 40)], 9)
    props.solid(spout, kit.mix("mahogany", "brass", 0.5), SUN_LIGHT, 3, specular=0.8, lay=things_l)
    handle = kit.subtract(kit.ellipse(kx, ky - 52, 36, 24), kit.ellipse(kx, ky - 52, 30, 19))
    handle = kit.subtract(handle, kit.rect(kx - 60, ky - 46, kx + 60, ky))
    props.solid(handle, "ink", SUN_LIGHT, 2, specular=0.5, lay=things_l)
    props.solid(kit.ellipse(kx, ky - 46, 10, 5), "ink", SUN_LIGHT, 2, specular=0.5, lay=things_l)
    # two teacups and the pocket watch, open, at six
    for (cx, cy) in ((660, 712), (740, 720)):
        things.teacup(things_l, cx, cy, 1.5, 0.0, seed, SUN_LIGHT)
    things.watch(things_l, 560, 716, 1.2, 0.0, seed + 8, SUN_LIGHT)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(things_l.a, 0, 0), -12, 6, 5, 0.45))
    kit.over_layer(cv, things_l)
    # steam from the spout
    st = Layer(kit.W, kit.H)
    for k in range(16):
        t = k / 15
        x = kx - 92 - t * 30 + math.sin(t * 7) * 12
        y = ky - 48 - t * 150
        st.paint(kit.ellipse(x, y, 6 + t * 18, 8 + t * 14), "frost", 0.18 * (1 - t))
    st.rgb = kit.blur(st.rgb, 3)
    st.a = kit.blur(st.a, 5)
    kit.over_layer(cv, st)
    # the portrait on the wall: a cord, a nail and its shadow
    px, py = 690, 300
    pl = portrait.framed(seed + 9, 300, 384, scene="dawn", light=SUN_LIGHT)
    pl.x0, pl.y0 = px - pl.w // 2, py - pl.h // 2
    cord = Layer(kit.W, kit.H)
    cord.paint(kit.line([(px - 60, py - 170), (px, py - 226), (px + 60, py - 170)], 3), kit.mix("wine", "brass", 0.4))
    props.solid(kit.ellipse(px, py - 228, 5, 5), "brass", SUN_LIGHT, 2, specular=0.9, lay=cord)
    kit.over_layer(cv, cord)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(pl.a, pl.x0, pl.y0), -18, 14, 12, 0.6))
    # light: a dim cool room, a warm slanting beam from the window over the portrait and the table
    cv *= 0.42
    # the window's light thrown across the back wall, crossed by the shadows of its bars
    patch = kit.poly([(520, 150), (800, 120), (800, 560), (520, 560)]).full()
    bars = kit.union(kit.poly([(520, 352), (800, 338), (800, 356), (520, 370)]), kit.rect(655, 100, 672, 560)).full()
    patch = kit.blur(patch * (1 - bars * 0.85), 6)
    shaft = interior.beam_light(kit.H, kit.W, [(924, 92), (924, 480), (800, 560), (520, 560), (520, 150)], 40, 0.35)
    beam = np.clip(patch + shaft, 0, 1)
    table_lit = kit.blur(kit.poly([(560, 664), (1024, 664), (1024, 768), (430, 768)]).full(), 12)
    patch = np.maximum(patch, table_lit * 0.8)
    cv *= 1 + patch[..., None] * (col("amber") * 1.6) + shaft[..., None] * col("amber") * 0.8
    cv += patch[..., None] * col("amber") * 0.06
    cv += kit.radial(kit.H, kit.W, 965, 320, 260, 2)[..., None] * col("amber") * 0.3
    lit = Layer(pl.w, pl.h, pl.x0, pl.y0)
    lit.rgb = pl.rgb * (0.85 + 0.2 * beam[pl.y0:pl.y0 + pl.h, pl.x0:pl.x0 + pl.w, None] * col("candle"))
    lit.a = pl.a
    kit.over_layer(cv, lit)
    # dust in the beam
    rng = np.random.default_rng(seed + 10)
    dl = np.zeros((kit.H, kit.W), np.float32)
    for k in range(260):
        x, y = 300 + rng.random() * 600, 80 + rng.random() * 640
        dl[int(y), int(x)] = 0.5 + rng.random()
    dl = kit.blur(dl, 0.8) * beam * 3
    cv += dl[..., None] * col("candle")
    kit.bloom(cv, 0.7, 16, 0.35)
    protect = np.zeros((kit.H, kit.W), np.float32)
    protect[pl.y0:pl.y0 + pl.h, pl.x0:pl.x0 + pl.w] = pl.a
    cv = kit.finish(cv, seed, vignette=0.5, stroke_angle=0.5, protect=protect)
    kit.save_backdrop(cv, room.path("credits", ".jpg"))
    return (px, py)


def build():
    room = Room("ending")
    seed = 1111
    dawn(room, seed)
    credits_back(room, seed + 100)
    # the framed portrait on its own, for the last dialog and the credits
    pl = portrait.framed(seed + 200, 360, 460, scene="dawn")
    pl.x0, pl.y0 = 512 - 180, 300 - 230
    room.obj("ending_ysolde", "ysolde", pl, 5, crop=False)
    room.write()


if __name__ == "__main__":
    build()
