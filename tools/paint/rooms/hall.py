"""Room 2: the entrance hall."""
import math

import numpy as np

import curios
import interior
import kit
import props
import things
from kit import Layer, col
from scene import Room

LAMP = (430, 96)
CANDLE = (86, 578)   # the candle on the hall table, bottom left
SCONCE = (967, 180)
STAND_DX = 58        # the hall stand and the scarf are drawn from x 840 and moved right by this
LIGHT = (-0.25, -0.8, 0.55)  # hanging lamp, above and left of centre
BOX = interior.Box(185, 55, 790, 560)


def walls(cv, seed):
    b = BOX
    lay = Layer(kit.W, kit.H)
    paper = damask(kit.H, kit.W, seed, "#24382e", "#6a6a3e")
    lay.paint(kit.poly(b.back()), paper)
    lay.paint(kit.poly(b.left()), paper * 0.8)
    lay.paint(kit.poly(b.right()), paper * 0.75)
    ceil = kit.wood(kit.H, kit.W, seed + 1, "#3a2616", "#24170d", angle=0, freq=0.05)
    lay.paint(kit.poly(b.ceiling()), ceil * 0.7)
    # ceiling beams running to the back
    for i in range(5):
        u = (i + 0.5) / 5
        xb = b.x0 + (b.x1 - b.x0) * u
        xf = kit.W * u
        beam = kit.poly([(xf - 26, 0), (xf + 26, 0), (xb + 9, b.y0), (xb - 9, b.y0)])
        props.solid(beam, "#4a301b", LIGHT, 6, amb=0.5, lay=lay)
    lay.paint(kit.poly(b.floor()), interior.boards(kit.H, kit.W, seed + 2, b, "#6e4a2c"))
    # wainscot: back wall and left wall
    wy = b.y0 + (b.y1 - b.y0) * 0.72
    interior.wainscot(lay, [(b.x0, wy), (b.x1, wy), (b.x1, b.y1), (b.x0, b.y1)], seed + 3)
    for x in np.arange(b.x0 + 10, b.x1 - 40, 62):
        pm = kit.rect(x + 6, wy + 14, x + 52, b.y1 - 14)
        props.solid(pm, "#5e3d24", (0.3, 0.8, 0.5), 3, amb=0.8, lay=lay, strength=0.5)
    rail = kit.rect(b.x0, wy - 6, b.x1, wy + 4)
    props.solid(rail, "#6a452a", LIGHT, 2, lay=lay)
    p0, p1, p2, p3 = b.left_at(0, 0.72), b.left_at(1, 0.72), b.left_at(1, 1), b.left_at(0, 1)
    interior.wainscot(lay, [p0, p1, p2, p3], seed + 4)
    lay.paint(kit.line([p0, p1], 8), "#6a452a")
    skirting = kit.poly([(b.x0, b.y1 - 10), (b.x1, b.y1 - 10), (b.x1, b.y1), (b.x0, b.y1)])
    lay.paint(skirting, "#2d1d10")
    kit.over_layer(cv, lay)


def rug(cv, seed):
    """A patterned rug in perspective: wine field, brass border, a medallion."""
    lay = Layer(kit.W, kit.H)
    y0, y1 = 590, 740
    m = kit.poly([(330, y0), (700, y0), (820, y1), (210, y1)])
    xx, yy = lay.grid()
    t = np.clip((yy - y0) / (y1 - y0), 0, 1)
    left = 330 - 120 * t
    right = 700 + 120 * t
    u = (xx - left) / np.maximum(right - left, 1)
    v = t
    field = kit.tex_noise(kit.H, kit.W, "#8a2626", "#5e1a1c", 4, seed)
    # the field: a lattice of small lozenges, each with a cream heart
    lu, lv = np.mod(u * 9, 1) - 0.5, np.mod(v * 5 + np.floor(u * 9) * 0.5, 1) - 0.5
    loz = np.clip((0.32 - (np.abs(lu) + np.abs(lv))) * 12, 0, 1)
    heart = np.clip((0.1 - (np.abs(lu) + np.abs(lv))) * 20, 0, 1)
    tex = field * (1 - loz[..., None] * 0.7) + kit.mix("#1e3046", "teal", 0.3) * loz[..., None] * 0.7
    tex = tex * (1 - heart[..., None]) + col("#d8c8a0") * heart[..., None]
    # border: navy band with gold hooks running along it
    border = ((u < 0.08) | (u > 0.92) | (v < 0.13) | (v > 0.87)).astype(np.float32)
    along = np.where((u < 0.08) | (u > 0.92), v * 12, u * 26)
    hooks = np.clip(np.abs(np.sin(along * math.pi)) - 0.8, 0, 1) * 3 * np.clip(1 - np.abs(np.mod(along, 1) - 0.5) * 1.2, 0, 1)
    btex = kit.mix("#2a2a3a", "#5e1a1c", 0.35) * (1 - hooks[..., None] * 0.6) + col("#b08a50") * hooks[..., None] * 0.6
    tex = tex * (1 - border[..., None]) + btex * border[..., None]
    inner_b = ((np.abs(u - 0.085) < 0.007) | (np.abs(u - 0.915) < 0.007) | (np.abs(v - 0.135) < 0.012)
               | (np.abs(v - 0.865) < 0.012)).astype(np.float32)
    tex = tex * (1 - inner_b[..., None]) + col("#d8c8a0") * inner_b[..., None]
    # the medallion: an eight-pointed star in a ring
    du, dv = (u - 0.5) / 0.2, (v - 0.5) / 0.3
    rr = np.hypot(du, dv)
    ang = np.arctan2(dv, du)
    star = rr < (0.75 + 0.25 * np.abs(np.cos(ang * 4)))
    tex = np.where(star[..., None], tex * 0.3 + kit.mix("#1e3046", "night", 0.2) * 0.7, tex)
    tex = np.where((np.abs(rr - (0.75 + 0.25 * np.abs(np.cos(ang * 4)))) < 0.06)[..., None], col("#c29a5a"), tex)
    tex = np.where((rr < 0.35)[..., None], col("#9a3026"), tex)
    tex = np.where((rr < 0.14)[..., None], col("#d8c8a0"), tex)
    # pile and wear
    pile = kit.noise(kit.H, kit.W, 1.5, seed + 1, 2)
    wear = np.clip((kit.noise(kit.H, kit.W, 40, seed + 2, 3) - 0.55) * 2, 0, 1)
    tex = tex * (0.88 + 0.2 * pile[..., None])
    tex = tex * (1 - wear[..., None] * 0.3) + col("#a08870") * wear[..., None] * 0.2
    lay.paint(m, tex)
    # fringe at the near and far ends
    for k in range(60):
        tt = k / 59
        x0 = 330 + 370 * tt
        lay.paint(kit.line([(x0, y0), (x0, y0 - 5)], 0.9), "parchment_shade", 0.6)
        x1 = 210 + 610 * tt
        lay.paint(kit.line([(x1, y1), (x1, y1 + 8)], 1.0), "parchment_shade", 0.6)
    kit.over_layer(cv, lay)


def stair_dressing(cv, seed):
    """A wine runner held by brass rods up the stairs, and the cup of tea Ysolde left on a step."""
    lay = Layer(kit.W, kit.H)
    n = 13
    for i in range(n):
        yb = 640 - i * 30
        xl = 780 + i * 6
        tread = kit.poly([(xl + 60, yb - 29), (xl + 150, yb - 31), (xl + 150, yb + 3), (xl + 60, yb - 1)])
        tex = kit.tex_noise(kit.H, kit.W, "wine", "#5e1e1e", 3, seed + i)
        lay.paint(tread, tex * (0.85 if i % 2 else 0.7))
        lay.paint(kit.line([(xl + 62, yb - 26), (xl + 148, yb - 28)], 1.2), "#c29a5a", 0.6)
        props.solid(kit.line([(xl + 54, yb - 27), (xl + 156, yb - 30)], 2.6), "brass", LIGHT, 1, specular=0.9, lay=lay)
    kit.over_layer(cv, lay)
    cup = Layer(kit.W, kit.H)
    things.teacup(cup, 834, 512, 0.9, 0.0, seed, LIGHT)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(cup.a, 0, 0), 4, 3, 2, 0.5))
    kit.over_layer(cv, cup)


# ------------------------------------------------------------------------------------------------
# the framed pictures: each one painted small on its own canvas, then hung on a wall


def _canvas(w, h):
    lay = Layer(w, h)
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    return lay, xx / w, yy / h


def pic_captain(w, h, seed):
    """A sea captain in a peaked cap, white beard, dark coat with brass buttons, on a brown ground."""
    lay, u, v = _canvas(w, h)
    g = np.clip(1 - np.hypot(u - 0.4, v - 0.35) * 1.4, 0, 1)
    bg = col("#2a1e14") * (0.7 + 0.8 * g[..., None]) * (0.9 + 0.2 * kit.noise(h, w, 8, seed, 3)[..., None])
    lay.paint(kit.rect(0, 0, w, h), bg)
    L = (-0.6, -0.6, 0.55)
    s = w / 100.0
    coat = kit.ellipse(50 * s, 128 * s, 52 * s, 46 * s)
    props.solid(coat, "#1e2840", L, 10 * s, amb=0.4, lay=lay)
    lay.paint(kit.poly([(42 * s, 92 * s), (58 * s, 92 * s), (50 * s, 112 * s)]), "#e8e4da")
    for by in (104, 116, 128):
        props.solid(kit.ellipse(37 * s, by * s, 2.6 * s, 2.6 * s), "brass", L, 1, specular=0.9, lay=lay)
        props.solid(kit.ellipse(63 * s, by * s, 2.6 * s, 2.6 * s), "brass", L, 1, specular=0.9, lay=lay)
    face = kit.ellipse(50 * s, 62 * s, 17 * s, 21 * s)
    props.solid(face, "#c99272", L, 8 * s, amb=0.5, lay=lay)
    beard = kit.union(kit.ellipse(50 * s, 80 * s, 19 * s, 16 * s), kit.ellipse(50 * s, 72 * s, 16 * s, 6 * s))
    props.solid(beard, "#dcd8d0", L, 6 * s, amb=0.55, lay=lay)
    lay.paint(kit.ellipse(50 * s, 73 * s, 5 * s, 1.6 * s), "#6a3a2a")
    for ex in (43, 57):
        lay.paint(kit.ellipse(ex * s, 58 * s, 2.2 * s, 1.6 * s), "#1a120c")
        lay.paint(kit.line([((ex - 4) * s, 53 * s), ((ex + 4) * s, 53 * s)], 1.6 * s), "#d8d4cc")
    props.solid(kit.line([(50 * s, 58 * s), (51 * s, 67 * s)], 3 * s), "#b07a5e", L, 1, lay=lay)
    cap = kit.poly([(31 * s, 46 * s), (69 * s, 46 * s), (72 * s, 32 * s), (28 * s, 32 * s)])
    props.solid(cap, "#1a2236", L, 4 * s, amb=0.45, lay=lay)
    props.solid(kit.ellipse(50 * s, 47 * s, 21 * s, 4 * s), "#0e121c", L, 2 * s, specular=0.5, lay=lay)
    props.solid(kit.ellipse(50 * s, 39 * s, 4 * s, 3 * s), "brass", L, 1, specular=0.9, lay=lay)
    return lay.rgb


def pic_point(w, h, seed):
    """The point at sunset: the house and its tower on the headland, the sea below."""
    lay, u, v = _canvas(w, h)
    sky = kit.vgrad(h, w, [(0, "#34405e"), (0.35, "#8a6a78"), (0.55, "#e8a860"), (0.62, "#f0c878")])
    cl = kit.noise(h, w, 10, seed, 3)
    sky = sky * (0.9 + 0.2 * cl[..., None])
    lay.paint(kit.rect(0, 0, w, h), sky)
    sea = kit.vgrad(h, w, [(0.6, "#c08a58"), (0.7, "#4a5a6a"), (1, "#24323e")])
    sea = sea * (0.85 + 0.3 * kit.streaks(h, w, seed + 1, 12, 0.0, 2)[..., None] * 0.5)
    lay.paint(kit.rect(0, 0.62 * h, w, h), sea)
    lay.paint(kit.ellipse(0.72 * w, 0.6 * h, 0.06 * w, 0.06 * w), "#ffe0a0")
    land = kit.poly([(0, 0.52 * h), (0.2 * w, 0.48 * h), (0.42 * w, 0.5 * h), (0.5 * w, 0.58 * h),
                     (0.56 * w, 0.8 * h), (0.62 * w, h), (0, h)])
    lay.paint(land, kit.tex_noise(h, w, "#2a3a26", "#44502e", 4, seed + 2))
    lay.paint(kit.poly([(0.46 * w, 0.55 * h), (0.52 * w, 0.6 * h), (0.58 * w, 0.86 * h), (0.5 * w, 0.9 * h)]), "#5a4a3e")
    house = kit.union(kit.rect(0.14 * w, 0.36 * h, 0.34 * w, 0.5 * h), kit.poly([(0.12 * w, 0.37 * h), (0.24 * w, 0.28 * h), (0.36 * w, 0.37 * h)]),
                      kit.rect(0.26 * w, 0.14 * h, 0.32 * w, 0.5 * h), kit.poly([(0.25 * w, 0.15 * h), (0.29 * w, 0.05 * h), (0.33 * w, 0.15 * h)]))
    lay.paint(house, "#1e1a24")
    lay.paint(kit.ellipse(0.29 * w, 0.22 * h, 0.018 * w, 0.018 * w), "#d8cca8")
    lay.paint(kit.rect(0.18 * w, 0.41 * h, 0.2 * w, 0.45 * h), "#ffd070")
    return lay.rgb


def pic_storm(w, h, seed):
    """A brig heeling in a storm: black waves with foam, torn clouds, a fork of lightning."""
    lay, u, v = _canvas(w, h)
    sky = kit.vgrad(h, w, [(0, "#141a22"), (0.4, "#3a4a52"), (0.6, "#56686a")])
    sky = sky * (0.7 + 0.6 * kit.noise(h, w, 9, seed, 4)[..., None])
    lay.paint(kit.rect(0, 0, w, h), sky)
    lay.paint(kit.line([(0.78 * w, 0), (0.72 * w, 0.2 * h), (0.8 * w, 0.24 * h), (0.7 * w, 0.5 * h)], max(1.2, w / 70)), "#f4f8ff")
    wave = 0.58 + 0.06 * np.sin(u * 9 + 1) + 0.03 * np.sin(u * 23 + 2)
    sea = kit.vgrad(h, w, [(0.5, "#2a4a48"), (1, "#0e1a1c")])
    sea = sea * (0.8 + 0.4 * kit.streaks(h, w, seed + 1, 8, 0.5, 2)[..., None] * 0.5)
    seam = (v > wave).astype(np.float32)
    lay.paint(seam, sea)
    foam = np.clip(1 - np.abs(v - wave) * h / 2.5, 0, 1) * (0.4 + 0.6 * kit.noise(h, w, 3, seed + 2, 2))
    lay.glow(foam, "#dde8e4", 0.8)
    # the brig, heeled over to the right
    a = 0.28
    cx, cy = 0.42 * w, 0.58 * h
    ca, sa = math.cos(a), math.sin(a)

    def P(x, y):
        x, y = x * w, y * h
        return (cx + x * ca - y * sa, cy + x * sa + y * ca)
    lay.paint(kit.poly([P(-0.22, -0.02), P(0.24, -0.04), P(0.17, 0.06), P(-0.16, 0.07)]), "#1a120c")
    for mx, top in ((-0.07, -0.42), (0.08, -0.48)):
        lay.paint(kit.line([P(mx, -0.02), P(mx, top)], max(1, w / 90)), "#1a120c")
        for k in range(3):
            y0 = top + 0.04 + k * 0.12
            lay.paint(kit.poly([P(mx - 0.08 + k * 0.01, y0), P(mx + 0.08 - k * 0.01, y0 + 0.01), P(mx + 0.09, y0 + 0.1), P(mx - 0.09, y0 + 0.1)]),
                      "#d8d0b8" if k != 1 else "#c8bca0")
    fw = np.clip(1 - np.abs(v - (wave + 0.02)) * h / 4, 0, 1) * (np.abs(u - 0.42) < 0.2)
    lay.glow(fw, "#e8f0ec", 0.6)
    return lay.rgb


def pic_stilllife(w, h, seed):
    """A still life: a pewter jug, apples and a lemon on a cloth, a dark wine bottle, a dark ground."""
    lay, u, v = _canvas(w, h)
    g = np.clip(1 - np.hypot(u - 0.35, v - 0.3), 0, 1)
    lay.paint(kit.rect(0, 0, w, h), col("#1e1a12") * (0.6 + 0.9 * g[..., None]))
    L = (-0.7, -0.5, 0.55)
    s = w / 100.0
    lay.paint(kit.rect(0, 68 * s, w, h), kit.tex_noise(h, w, "#5a3a22", "#3e2716", 6, seed))
    cloth = kit.poly([(10 * s, 66 * s), (70 * s, 64 * s), (80 * s, 90 * s), (60 * s, h), (4 * s, h)])
    props.solid(cloth, "#e6dcc6", L, 6 * s, amb=0.5, lay=lay)
    bottle = kit.union(kit.rrect(68 * s, 30 * s, 86 * s, 72 * s, 5 * s), kit.rect(74 * s, 14 * s, 80 * s, 32 * s))
    props.solid(bottle, "#1e3222", L, 6 * s, amb=0.4, specular=0.8, lay=lay)
    jug = kit.union(kit.ellipse(36 * s, 52 * s, 16 * s, 18 * s), kit.poly([(26 * s, 40 * s), (46 * s, 40 * s), (48 * s, 26 * s), (24 * s, 26 * s)]))
    props.solid(jug, "#8a8c90", L, 8 * s, amb=0.45, specular=0.8, lay=lay)
    props.solid(kit.subtract(kit.ellipse(54 * s, 46 * s, 8 * s, 11 * s), kit.ellipse(54 * s, 46 * s, 4.5 * s, 7.5 * s)), "#7a7c80", L, 2 * s, lay=lay)
    for (x, y, r, c) in ((22, 74, 8, "#a8281e"), (36, 78, 8, "#b83a1e"), (52, 72, 7, "#e8c040"), (64, 80, 7, "#8a3a1e")):
        props.solid(kit.ellipse(x * s, y * s, r * s, r * s * 0.92), c, L, r * s * 0.9, amb=0.4, specular=0.5, lay=lay)
    lay.paint(kit.line([(36 * s, 70 * s), (38 * s, 66 * s)], 1.2 * s), "#3a2a1a")
    return lay.rgb


def hang(lay, img, x0, y0, x1, y1, seed, frame=7, light=LIGHT, gilt="brass"):
    """A framed picture, flat on the back wall."""
    w, h = int(x1 - x0), int(y1 - y0)
    fr = kit.subtract(kit.rect(x0 - frame, y0 - frame, x1 + frame, y1 + frame), kit.rect(x0, y0, x1, y1))
    props.solid(fr, gilt, light, frame * 0.6, amb=0.45, specular=0.7, lay=lay, tex=props.brass_tex(kit.H, kit.W, seed, gilt))
    full = np.zeros((kit.H, kit.W, 3), np.float32)
    full[int(y0):int(y0) + h, int(x0):int(x0) + w] = kit.resize(img, w, h)
    lay.paint(kit.rect(x0, y0, x1, y1), full)
    lay.paint(kit.rect(x0 + 2, y1 - 2, x1 - 2, y1), "#000000", 0.3)
    return kit.rect(x0 - frame, y0 - frame, x1 + frame, y1 + frame)


def hang_side(lay, img, q, seed, frame=6, light=LIGHT):
    """A framed picture on a side wall: q is (top-left, top-right, bottom-right, bottom-left) with upright sides."""
    (xa, ya0), (xb, yb0), (_, yb1), (_, ya1) = q
    xx, yy = lay.grid()
    t = (xx - xa) / (xb - xa)
    top = ya0 + (yb0 - ya0) * t
    bot = ya1 + (yb1 - ya1) * t
    vv = (yy - top) / np.maximum(bot - top, 1)
    ih, iw = img.shape[:2]
    iu = np.clip((t * iw).astype(int), 0, iw - 1)
    iv = np.clip((vv * ih).astype(int), 0, ih - 1)
    warped = img[iv, iu]
    kx = frame * abs(xb - xa) / 60.0

    def grown(d):
        f = d / max(1.0, abs(xb - xa))
        return [(xa - d, ya0 - d - (yb0 - ya0) * f), (xb + d, yb0 - d + (yb0 - ya0) * f), (xb + d, yb1 + d + (yb1 - ya1) * f), (xa - d, ya1 + d - (yb1 - ya1) * f)]
    fr = kit.subtract(kit.poly(grown(kx)), kit.poly(q))
    props.solid(fr, "brass", light, kx * 0.6, amb=0.45, specular=0.7, lay=lay, tex=props.brass_tex(kit.H, kit.W, seed, "brass"))
    lay.paint(kit.poly(q), warped)
    return kit.poly(grown(kx))


def wall_pictures(cv, seed):
    """Four different pictures: the captain over the cabinet, the point over the library door, a brig in a
    storm over the conservatory door, a still life on the left wall over the workshop door."""
    lay = Layer(kit.W, kit.H)
    hang(lay, pic_captain(200, 240, seed), 226, 98, 300, 186, seed, 7)
    hang(lay, pic_point(300, 200, seed + 1), 350, 148, 452, 216, seed + 1, 7)
    hang(lay, pic_storm(240, 270, seed + 2), 638, 112, 710, 192, seed + 2, 7)
    b = BOX
    q = [b.left_at(0.4, 0.1), b.left_at(0.72, 0.1), b.left_at(0.72, 0.25), b.left_at(0.4, 0.25)]
    hang_side(lay, pic_stilllife(200, 170, seed + 3), q, seed + 3, 7)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(lay.a, 0, 0), 4, 6, 4, 0.5))
    kit.over_layer(cv, lay)


def lunette(cv, seed):
    """Half-moon window above the clock, with the storm outside."""
    cx, cy, r = 545, 128, 62
    lay = Layer(kit.W, kit.H)
    pts = kit.arc_pts(cx, cy, r, r, math.pi, 2 * math.pi, 40)
    glass = kit.poly(pts)
    sky = kit.storm_sky(kit.H, kit.W, seed, horizon=0.2)
    sky = sky * 0.9 + col("teal") * 0.1
    kit.rain(sky, seed + 1, 1400, 16, 0.35, 0.25)
    lay.paint(glass, sky)
    for a in np.linspace(math.pi, 2 * math.pi, 5)[1:-1]:
        lay.paint(kit.line([(cx, cy), (cx + r * math.cos(a), cy + r * math.sin(a))], 3), "#2a1c10")
    frame = kit.subtract(kit.poly(kit.arc_pts(cx, cy, r + 9, r + 9, math.pi, 2 * math.pi, 40)), glass)
    frame = kit.union(frame, kit.rect(cx - r - 9, cy - 2, cx + r + 9, cy + 6))
    props.solid(frame, "#6a452a", LIGHT, 3, lay=lay)
    kit.over_layer(cv, lay)


def door_frame(lay, x0, y0, x1, y1, seed, arch=False):
    fr = kit.rect(x0 - 12, y0 - 14, x1 + 12, y1)
    props.solid(fr, "#6a452a", LIGHT, 3, lay=lay, tex=kit.wood(lay.h, lay.w, seed, "#6a452a", angle=math.pi / 2))
    lay.paint(kit.rect(x0, y0, x1, y1), "#120b07")


def grain(lay, mk, seed):
    """Deepen a door's grain and wear: long streaks along the boards, darker towards the edges and the foot."""
    st = kit.streaks(kit.H, kit.W, seed, 60, math.pi / 2, 2)
    n = kit.noise(kit.H, kit.W, 14, seed + 1, 3)
    lay.tone(0.82 + 0.16 * st + 0.2 * n, mk)


def library_door(state, seed):
    lay = Layer(kit.W, kit.H)
    x0, y0, x1, y1 = 350, 262, 452, 556
    door_frame(lay, x0, y0, x1, y1, seed)
    if state == "closed":
        props.panel_door(lay, x0, y0, x1, y1, seed + 1, "#5a3a22", LIGHT, (2, 3))
        grain(lay, kit.rect(x0, y0, x1, y1), seed + 2)
        knob = kit.ellipse(x1 - 14, 420, 5, 5)
        props.solid(knob, "brass", LIGHT, 2, specular=0.9, lay=lay)
    else:
        # firelit room beyond, the door swung inwards
        g = kit.radial(kit.H, kit.W, 420, 470, 150, 1.2)
        inner = np.ones((kit.H, kit.W, 3), np.float32) * col("#2a160c")
        inner += g[..., None] * col("amber") * 0.7
        lay.paint(kit.rect(x0, y0, x1, y1), inner)
        books = kit.rect(x0 + 30, y0 + 40, x1, y1 - 60)
        lay.paint(books, "#3a1e12", 0.6)
        leaf = kit.poly([(x0, y0), (x0 + 26, y0 + 14), (x0 + 26, y1 - 6), (x0, y1)])
        props.solid(leaf, "#4a2f1b", LIGHT, 2, lay=lay)
    mask = kit.rect(x0 - 12, y0 - 14, x1 + 12, y1)
    return lay, mask


def workshop_door(state, seed):
    """Door on the left wall, drawn in perspective."""
    lay = Layer(kit.W, kit.H)
    b = BOX
    t0, t1 = 0.24, 0.8
    v0 = 0.36
    q = [b.left_at(t0, v0), b.left_at(t1, v0), b.left_at(t1, 1), b.left_at(t0, 1)]
    fq = [b.left_at(t0 - 0.06, v0 - 0.03), b.left_at(t1 + 0.05, v0 - 0.03), b.left_at(t1 + 0.05, 1), b.left_at(t0 - 0.06, 1)]
    props.solid(kit.poly(fq), "#6a452a", LIGHT, 3, lay=lay, tex=kit.wood(kit.H, kit.W, seed, "#6a452a", angle=math.pi / 2))
    if state == "closed":
        tex = kit.wood(kit.H, kit.W, seed + 1, "#5a3a22", "#3e2716", angle=math.pi / 2 + 0.1, freq=0.1)
        lay.paint(kit.poly(q), tex * 0.85)
        # two sunken panels in perspective
        for (a, c) in ((0.42, 0.62), (0.68, 0.94)):
            pq = [b.left_at(t0 + 0.1, a), b.left_at(t1 - 0.1, a), b.left_at(t1 - 0.1, c), b.left_at(t0 + 0.1, c)]
            pq = [(x, y + (q[0][1] - b.left_at(t0, 0)[1]) * 0) for x, y in pq]
            m = kit.poly([interp_q(q, u, v) for u, v in ((0.16, a), (0.84, a), (0.84, c), (0.16, c))])
            props.solid(m, "#4e321d", (0.6, 0.6, 0.5), 3, amb=0.75, lay=lay, strength=0.5)
        grain(lay, kit.poly(q), seed + 3)
        knob = kit.ellipse(*interp_q(q, 0.86, 0.58), 4, 5)
        props.solid(knob, "brass", LIGHT, 2, specular=0.9, lay=lay)
    else:
        inner = np.ones((kit.H, kit.W, 3), np.float32) * col("#1a120c")
        g = kit.radial(kit.H, kit.W, 90, 500, 130, 1.3)
        inner += g[..., None] * col("#9fd08a") * 0.25 + g[..., None] * col("amber") * 0.2
        lay.paint(kit.poly(q), inner)
        leaf = kit.poly([q[1], interp_q(q, 1.25, 0.02), interp_q(q, 1.25, 0.98), q[2]])
        props.solid(leaf, "#4a2f1b", LIGHT, 2, lay=lay)
    return lay, kit.poly(fq)


def interp_q(q, u, v):
    """Bilinear point in a quad (top-left, top-right, bottom-right, bottom-left)."""
    tl, tr, br, bl = q
    top = (tl[0] + (tr[0] - tl[0]) * u, tl[1] + (tr[1] - tl[1]) * u)
    bot = (bl[0] + (br[0] - bl[0]) * u, bl[1] + (br[1] - bl[1]) * u)
    return (top[0] + (bot[0] - top[0]) * v, top[1] + (bot[1] - top[1]) * v)


def conservatory_door(state, seed):
    lay = Layer(kit.W, kit.H)
    x0, y0, x1, y1 = 628, 250, 720, 556
    door_frame(lay, x0, y0, x1, y1, seed)
    # the snowy glass room beyond (seen through the panes or the opening)
    yy, xx = np.mgrid[0:kit.H, 0:kit.W].astype(np.float32)
    beyond = kit.vgrad(kit.H, kit.W, [(0, "#8fa9bd"), (0.5, "#5b7890"), (1, "#2d3f52")])
    n = kit.noise(kit.H, kit.W, 12, seed + 5, 3)
    beyond = beyond * (0.85 + 0.25 * n[..., None])
    leaves = Layer(kit.W, kit.H)
    props.foliage(leaves, 660, 470, 40, 60, seed + 6, "#2e4a3a", (0.3, -0.9, 0.5), n=90, leaf=(4, 9))
    props.foliage(leaves, 700, 360, 30, 40, seed + 7, "#2e4a3a", (0.3, -0.9, 0.5), n=60, leaf=(4, 9))
    kit.over_layer(beyond, leaves)
    if state == "closed":
        frame = kit.rect(x0, y0, x1, y1)
        props.solid(frame, "#5a3a22", LIGHT, 2, lay=lay, tex=kit.wood(kit.H, kit.W, seed + 2, "#5a3a22", angle=math.pi / 2))
        for i in range(2):
            for j in range(4):
                px0 = x0 + 10 + i * 38
                py0 = y0 + 12 + j * 62
                pane = kit.rect(px0, py0, px0 + 32, py0 + 54)
                fr = kit.noise(kit.H, kit.W, 5, seed + 8 + i * 4 + j, 3)
                frost = np.clip((fr - 0.35) * 1.5, 0, 1) * np.clip(((py0 + 54) - yy) / 70 * 0 + (xx - px0) * 0 + 1, 0, 1)
                g = beyond * (1 - 0.55 * frost[..., None]) + col("frost") * 0.55 * frost[..., None]
                lay.paint(pane, g)
        low = kit.rect(x0 + 10, y0 + 262, x1 - 10, y1 - 10)
        props.solid(low, "#4e321d", (0.5, 0.7, 0.5), 3, amb=0.75, lay=lay)
        knob = kit.ellipse(x1 - 13, 420, 5, 5)
        props.solid(knob, "brass", LIGHT, 2, specular=0.9, lay=lay)
    else:
        lay.paint(kit.rect(x0, y0, x1, y1), beyond)
        leaf = kit.poly([(x1, y0), (x1 + 30, y0 - 8), (x1 + 30, y1 + 6), (x1, y1)])
        props.solid(leaf, "#5a3a22", LIGHT, 2, lay=lay)
        for j in range(4):
            py0 = y0 + 10 + j * 62
            lay.paint(kit.poly([(x1 + 6, py0), (x1 + 24, py0 - 5), (x1 + 24, py0 + 48), (x1 + 6, py0 + 52)]),
                      "#8fb0c8", 0.8)
    mask = kit.rect(x0 - 12, y0 - 14, x1 + 12 + (30 if state == "open" else 0), y1 + 6)
    return lay, mask


def clock(seed):
    lay = Layer(kit.W, kit.H)
    cx = 545
    tex = kit.wood(kit.H, kit.W, seed, "mahogany", "#4a2218", angle=math.pi / 2, freq=0.13)
    hood = kit.poly([(cx - 42, 262), (cx + 42, 262), (cx + 42, 180), (cx + 30, 166), (cx, 158), (cx - 30, 166), (cx - 42, 180)])
    trunk = kit.rect(cx - 32, 262, cx + 32, 470)
    base = kit.rect(cx - 40, 470, cx + 40, 552)
    for m in (trunk, base, hood):
        props.solid(m, "mahogany", LIGHT, 5, amb=0.5, lay=lay, tex=tex, specular=0.15)
    cap = kit.rect(cx - 46, 258, cx + 46, 268)
    props.solid(cap, "#6a2f20", LIGHT, 2, lay=lay)
    plinth = kit.rect(cx - 46, 546, cx + 46, 556)
    props.solid(plinth, "#4a2218", LIGHT, 2, lay=lay)
    d = props.dial(cx, 215, 31, seed + 1, 11, 58, light=LIGHT, tide=False)
    kit.over_layer(lay.rgb, d) if False else None
    lay_d = d
    # paint dial into lay
    m = kit.crop_mask(kit.Mask(lay_d.a, lay_d.x0, lay_d.y0), 0, 0, kit.W, kit.H)
    rgb = np.zeros((kit.H, kit.W, 3), np.float32)
    rgb[lay_d.y0:lay_d.y0 + lay_d.h, lay_d.x0:lay_d.x0 + lay_d.w] = lay_d.rgb
    lay.paint(m, rgb)
    # trunk window with the still pendulum
    win = kit.rrect(cx - 18, 290, cx + 18, 450, 14)
    lay.paint(win, "#1c110b")
    rod = kit.line([(cx, 292), (cx, 410)], 2.5)
    props.solid(rod, "brass", LIGHT, 1, specular=0.6, lay=lay)
    bob = kit.ellipse(cx, 416, 13, 13)
    props.solid(bob, "brass", LIGHT, 4, specular=0.9, shin=10, lay=lay)
    glass = kit.rrect(cx - 18, 290, cx + 18, 450, 14)
    xx, yy = lay.grid()
    streak = np.clip(1 - np.abs((xx - cx + 8) + (yy - 370) * 0.3) / 5, 0, 1) * 0.25
    lay.glow(streak * lay.local(glass), "frost")
    finial = kit.ellipse(cx, 152, 6, 6)
    props.solid(finial, "brass", LIGHT, 2, specular=0.9, lay=lay)
    return lay


def cabinet(seed):
    lay = Layer(kit.W, kit.H)
    x0, y0, x1, y1 = 216, 228, 308, 540
    tex = kit.wood(kit.H, kit.W, seed, "walnut", angle=math.pi / 2, freq=0.12)
    body = kit.rect(x0, y0, x1, y1)
    props.solid(body, "walnut", LIGHT, 4, amb=0.55, lay=lay, tex=tex)
    crown = kit.poly([(x0 - 8, y0), (x1 + 8, y0), (x1 + 4, y0 - 14), (x0 - 4, y0 - 14)])
    props.solid(crown, "#6a452a", LIGHT, 2, lay=lay)
    gl = kit.rect(x0 + 8, y0 + 10, x1 - 8, y0 + 230)
    lay.paint(gl, "#21160f")
    rng = np.random.default_rng(seed)
    for j, sy in enumerate((y0 + 80, y0 + 155, y0 + 228)):
        lay.paint(kit.rect(x0 + 8, sy - 3, x1 - 8, sy + 1), "#6a452a")
        xs = x0 + 14
        while xs < x1 - 20:
            w = 8 + rng.random() * 14
            h = 14 + rng.random() * 40
            kind = rng.integers(3)
            if kind == 0:
                m = kit.ellipse(xs + w / 2, sy - 3 - w / 2, w / 2, w / 2)
                props.solid(m, "brass", LIGHT, 2, specular=0.6, lay=lay)
            elif kind == 1:
                m = kit.rrect(xs, sy - 3 - h, xs + w, sy - 3, 3)
                props.solid(m, kit.mix("frost", "teal", 0.5), LIGHT, 3, amb=0.5, specular=0.6, lay=lay)
            else:
                m = kit.ellipse(xs + w / 2, sy - 3 - h * 0.25, w / 2 + 2, h * 0.25)
                props.solid(m, "parchment", LIGHT, 3, amb=0.5, lay=lay)
            xs += w + 3
    xx, yy = lay.grid()
    refl = np.clip(1 - np.abs((xx - x0 - 30) + (yy - y0) * 0.35 - 10) / 12, 0, 1) * lay.local(gl) * 0.22
    lay.glow(refl, "frost")
    lay.paint(kit.line([((x0 + x1) / 2, y0 + 10), ((x0 + x1) / 2, y0 + 230)], 3), "#5a3a22")
    plate = kit.rrect((x0 + x1) / 2 - 6, y0 + 120, (x0 + x1) / 2 + 6, y0 + 140, 2)
    props.solid(plate, "brass", LIGHT, 1.5, specular=0.9, lay=lay)
    for dy in (y0 + 250, y0 + 282):
        dr = kit.rect(x0 + 8, dy, x1 - 8, dy + 26)
        props.solid(dr, "#5e3d24", LIGHT, 2, amb=0.7, lay=lay)
        props.solid(kit.ellipse((x0 + x1) / 2, dy + 13, 4, 4), "brass", LIGHT, 1.5, specular=0.9, lay=lay)
    return lay


def stairs(cv, seed):
    lay = Layer(kit.W, kit.H)
    tex = kit.wood(kit.H, kit.W, seed, "walnut", angle=0, freq=0.06)
    n = 13
    for i in range(n):
        t = i / (n - 1)
        yb = 640 - i * 30
        xl = 780 + i * 6
        tread = kit.poly([(xl - 8, yb - 30), (1024, yb - 36), (1024, yb - 30), (xl - 8, yb - 24)])
        riser = kit.poly([(xl - 8, yb - 24), (1024, yb - 30), (1024, yb + 6), (xl - 8, yb)])
        lay.paint(riser, tex * 0.5)
        lay.paint(tread, tex * 1.1)
        lay.paint(kit.line([(xl - 8, yb - 29), (1024, yb - 35)], 2.2), "#a2724a", 0.8)
    # landing and its wall
    landing = kit.poly([(850, 256), (1024, 250), (1024, 270), (850, 272)])
    props.solid(landing, "#6a452a", LIGHT, 2, lay=lay)
    # stringer along the open side
    string = kit.poly([(770, 660), (790, 660), (862, 270), (846, 262)])
    props.solid(string, "#4a301b", LIGHT, 3, lay=lay, tex=tex)
    # banister with balusters
    rail_pts = [(770, 470), (858, 124)]
    for i in range(14):
        t = (i + 0.5) / 14
        x = 774 + (856 - 774) * t
        yb = 650 - (650 - 268) * t
        yt = 470 - (470 - 124) * t
        bal = kit.line([(x, yb), (x, yt)], 3)
        props.solid(bal, "#5e3d24", LIGHT, 1, lay=lay)
    rail = kit.line(rail_pts, 9)
    props.solid(rail, "#6a3a24", LIGHT, 3, specular=0.3, lay=lay)
    newel = kit.rect(760, 452, 782, 664)
    props.solid(newel, "#5e3d24", LIGHT, 4, lay=lay, tex=tex)
    cap = kit.ellipse(771, 448, 15, 10)
    props.solid(cap, "#6a3a24", LIGHT, 4, specular=0.4, lay=lay)
    kit.over_layer(cv, lay)


def tower_door(state, seed):
    lay = Layer(kit.W, kit.H)
    q = [(872, 100), (942, 86), (942, 252), (872, 250)]
    fr = kit.poly([(862, 90), (952, 72), (952, 256), (862, 254)])
    props.solid(fr, "#4a4440", LIGHT, 3, lay=lay, tex=kit.stone_tex(kit.H, kit.W, seed, "#6a6560", "#45403c"))
    if state == "closed":
        tex = kit.wood(kit.H, kit.W, seed + 1, "#4a2f1b", angle=math.pi / 2 - 0.1, freq=0.15)
        lay.paint(kit.poly(q), tex)
        for v in (0.2, 0.5, 0.8):
            a, b2 = interp_q(q, 0.02, v), interp_q(q, 0.98, v)
            props.solid(kit.line([a, b2], 6), "#2a2624", LIGHT, 2, specular=0.4, lay=lay)
            for u in (0.1, 0.5, 0.9):
                props.solid(kit.ellipse(*interp_q(q, u, v), 2.5, 2.5), "#5a5450", LIGHT, 1, specular=0.6, lay=lay)
        # the winding lock with its square socket
        lc = interp_q(q, 0.5, 0.6)
        lk = kit.ellipse(lc[0], lc[1], 15, 17)
        props.solid(lk, "brass", LIGHT, 4, specular=0.8, lay=lay)
        lay.paint(kit.rect(lc[0] - 4, lc[1] - 4, lc[0] + 4, lc[1] + 4), "#120c06")
    else:
        g = np.ones((kit.H, kit.W, 3), np.float32) * col("#0d1018")
        gl = kit.radial(kit.H, kit.W, 905, 150, 90, 1.5)
        g += gl[..., None] * col("frost") * 0.25
        lay.paint(kit.poly(q), g)
        steps = [kit.poly([(880, 250 - i * 22), (935, 248 - i * 22), (935, 240 - i * 22), (880, 242 - i * 22)]) for i in range(6)]
        for s in steps:
            lay.paint(s, "#2a2e38")
        leaf = kit.poly([(942, 86), (990, 60), (990, 262), (942, 252)])
        props.solid(leaf, "#4a2f1b", LIGHT, 2, lay=lay, tex=kit.wood(kit.H, kit.W, seed + 2, "#4a2f1b", angle=1.4))
    return lay, kit.poly([(862, 90), (952, 72), (952, 256), (862, 254)]) if state == "closed" else \
        kit.poly([(862, 60), (992, 56), (992, 264), (862, 256)])


def lamp_layer(seed):
    lay = Layer(kit.W, kit.H)
    x, y = LAMP
    lay.paint(kit.line([(x, 0), (x, y - 30)], 2.5), "#2a2016")
    crown = kit.poly([(x - 20, y - 28), (x + 20, y - 28), (x + 8, y - 38), (x - 8, y - 38)])
    props.solid(crown, "brass", LIGHT, 2, specular=0.8, lay=lay)
    globe = kit.ellipse(x, y - 8, 22, 22)
    lay.paint(globe, "#fff0c8")
    props.flame(lay, x, y - 2, 14)
    rim = kit.ellipse(x, y + 14, 14, 4)
    props.solid(rim, "brass", LIGHT, 2, specular=0.8, lay=lay)
    return lay


def damask(h, w, seed, base, motif, step=46):
    """Flocked damask paper: a staggered ogee motif in a faint trellis, mottled, faded and stained."""
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    sy = step * 1.45
    row = np.floor(yy / sy)
    gx = np.mod(xx + (row % 2) * step / 2, step) / step - 0.5
    gy = np.mod(yy, sy) / sy - 0.5
    prof = 0.3 * (0.3 + 0.7 * np.cos(np.pi * gy) ** 2) * (1 - 0.45 * np.abs(np.sin(3 * np.pi * gy)))
    outer = np.clip((prof - np.abs(gx)) * step * 0.7, 0, 1)
    inner = np.clip((prof * 0.5 - np.abs(gx)) * step * 0.7, 0, 1)
    bud = np.clip((0.07 - np.hypot(gx, (gy + 0.38) * 0.8)) * step * 0.7, 0, 1)
    m = np.clip(outer - inner * 0.6 + bud, 0, 1)
    trellis = np.clip(1 - np.abs(np.abs(gx) + np.abs(gy) * 0.7 - 0.48) * step * 0.9, 0, 1) * 0.6
    n = kit.noise(h, w, 30, seed, 4)
    fine = kit.noise(h, w, 2.5, seed + 1, 2)
    c = col(base) * (0.78 + 0.34 * n[..., None]) * (0.94 + 0.12 * fine[..., None])
    c = c * (1 - (m * 0.6 + trellis * 0.3)[..., None]) + col(motif) * (m * 0.6 + trellis * 0.3)[..., None] * (0.8 + 0.4 * fine[..., None])
    seams = np.clip(1 - np.abs(np.mod(xx, 118) - 59) / 1.2, 0, 1) * 0.12
    stain = np.clip((kit.noise(h, w, 70, seed + 2, 3) - 0.55) * 3, 0, 1) * 0.25
    return c * (1 - seams - stain)[..., None]


def console(seed):
    """A half-moon hall table near the viewer, bottom left: letters, a brass bowl of keys, gloves, a vase
    of dried flowers and a lit candlestick."""
    lay = Layer(kit.W, kit.H)
    Lc = (0.5, -0.7, 0.5)
    tex = kit.wood(kit.H, kit.W, seed, "mahogany", "#3e1c12", angle=0.05, freq=0.07)
    top = kit.poly([(-10, 640), (168, 636), (214, 650), (226, 668), (-10, 676)])
    props.solid(top, "mahogany", Lc, 4, amb=0.55, specular=0.35, lay=lay, tex=tex)
    apron = kit.poly([(-10, 676), (226, 668), (224, 694), (-10, 704)])
    props.solid(apron, "#4a2218", Lc, 3, amb=0.5, lay=lay, tex=tex * 0.7)
    lay.paint(kit.line([(-10, 690), (224, 682)], 2), "brass", 0.5)
    props.solid(kit.ellipse(118, 687, 5, 4), "brass", Lc, 1.5, specular=0.9, lay=lay)
    for (x0, x1) in ((196, 216), (30, 48)):
        leg = kit.poly([(x0, 692), (x1, 690), (x1 - 4, 780), (x0 + 3, 780)])
        props.solid(leg, "#4a2218", Lc, 4, amb=0.5, lay=lay, tex=tex * 0.8)
    # things on the top, back to front
    curios.vase(lay, 26, 650, 1.5, seed + 1, Lc)
    things.candlestick(lay, 86, 618, 1.2, 0.0, seed + 2, Lc)
    props.flame(lay, 86, 580, 11)
    bowl = kit.intersect(kit.ellipse(150, 646, 28, 14), kit.rect(110, 646, 190, 670))
    props.solid(kit.union(bowl, kit.ellipse(150, 647, 28, 5)), "brass", Lc, 5, specular=0.8, lay=lay,
                tex=props.brass_tex(kit.H, kit.W, seed + 3))
    lay.paint(kit.ellipse(150, 647, 25, 4), "#3a2410")
    things.key_small(lay, 142, 644, 0.5, 0.5, seed + 4, Lc)
    things.key_small(lay, 158, 645, 0.45, -0.7, seed + 5, Lc)
    curios.letters(lay, 100, 668, 1.3, seed + 6, Lc)
    glove = kit.poly([(176, 664), (206, 660), (214, 664), (210, 668), (180, 671)])
    props.solid(glove, "#3a2a22", Lc, 3, amb=0.5, lay=lay)
    for k in range(3):
        lay.paint(kit.line([(206, 661 + k * 2), (216, 659 + k * 3)], 1.6), "#3a2a22")
    return lay


def hall_stand(seed):
    """A hall stand near the viewer, bottom right: mirror, hooks with coats and a hat, umbrellas, boots."""
    lay = Layer(kit.W, kit.H)
    Ls = (-0.4, -0.75, 0.55)
    tex = kit.wood(kit.H, kit.W, seed, "#8a5a34", "#4a2e1a", angle=math.pi / 2, freq=0.1)
    board = kit.union(kit.rect(872, 300, 1004, 700), kit.poly([(866, 300), (1010, 300), (990, 276), (938, 262), (886, 276)]))
    props.solid(board, "#8a5a34", Ls, 6, amb=0.6, specular=0.3, lay=lay, tex=tex)
    for x in (872, 1004):
        props.solid(kit.rect(x - 9, 290, x + 9, 760), "#3e2716", Ls, 4, amb=0.5, lay=lay, tex=tex * 0.9)
        props.solid(kit.ellipse(x, 288, 10, 10), "#4a301b", Ls, 4, specular=0.3, lay=lay)
    # the mirror: dark glass catching the lamp and the lit doorway
    mirror = kit.ellipse(938, 392, 40, 62)
    props.solid(kit.ellipse(938, 392, 48, 70), "brass", Ls, 5, specular=0.7, lay=lay, tex=props.brass_tex(kit.H, kit.W, seed + 1))
    xx, yy = lay.grid()
    glass = kit.vgrad(kit.H, kit.W, [(0.3, "#3a3e4a"), (0.6, "#1a1c24")])
    glass += kit.radial(kit.H, kit.W, 920, 350, 50, 1.5)[..., None] * col("amber") * 0.6
    streak = np.clip(1 - np.abs((xx - 925) + (yy - 392) * 0.45) / 7, 0, 1) * 0.3
    glass += streak[..., None] * col("frost")
    lay.paint(mirror, glass)
    # the umbrella tray and the umbrellas and a stick standing in it
    for k, (x, c) in enumerate(((902, "#1e2226"), (948, "#2a3a30"), (978, "#3a2a1e"))):
        if k < 2:
            um = kit.poly([(x - 4, 700), (x + 4, 700), (x + 14, 600), (x + 6, 560), (x - 6, 560), (x - 14, 600)])
            props.solid(um, c, Ls, 6, amb=0.45, specular=0.4, lay=lay)
            for j in range(3):
                lay.paint(kit.line([(x - 8 + j * 8, 598), (x - 2 + j * 2, 562)], 1), "#000000", 0.3)
            hook = kit.subtract(kit.ellipse(x + 6, 546, 10, 10), kit.ellipse(x + 6, 546, 6, 6))
            hook = kit.subtract(hook, kit.rect(x - 10, 546, x + 20, 560))
            props.solid(kit.union(hook, kit.rect(x - 1.5, 546, x + 1.5, 562)), "#5a3a22", Ls, 2, specular=0.4, lay=lay)
        else:
            props.solid(kit.line([(x, 700), (x + 6, 520)], 5), "#6a452a", Ls, 2, specular=0.3, lay=lay)
            props.solid(kit.ellipse(x + 6, 516, 6, 6), "brass", Ls, 2, specular=0.9, lay=lay)
    tray = kit.poly([(876, 690), (1000, 690), (996, 730), (880, 730)])
    props.solid(tray, "#2a2624", Ls, 4, amb=0.5, specular=0.6, lay=lay)
    props.solid(kit.rect(860, 728, 1016, 744), "#3e2716", Ls, 3, lay=lay, tex=tex)
    # hooks, the bowler hat, a dark oilskin on the right
    for x in (886, 990, 938):
        props.solid(kit.line([(x, 318), (x, 330), (x + 8, 336)], 4), "brass", Ls, 1.5, specular=0.9, lay=lay)
    hat = kit.union(kit.intersect(kit.ellipse(938, 300, 22, 20), kit.rect(910, 276, 966, 302)), kit.ellipse(938, 302, 32, 6))
    props.solid(hat, "#1e1a18", Ls, 5, amb=0.45, specular=0.4, lay=lay)
    lay.paint(kit.rect(917, 294, 959, 298), "#4a2a22")
    oil = kit.poly([(984, 326), (1000, 330), (1030, 360), (1036, 640), (992, 652), (976, 600), (980, 360)])
    props.solid(oil, "#2e3a26", Ls, 10, amb=0.45, specular=0.5, lay=lay, tex=kit.tex_noise(kit.H, kit.W, "#2e3a26", "#1e2818", 5, seed + 2))
    # the camel coat on the left hook, the scarf goes over it
    coat = kit.poly([(880, 326), (894, 328), (904, 360), (912, 470), (920, 640), (870, 656), (840, 640), (850, 470),
                     (862, 360)])
    ctex = kit.tex_noise(kit.H, kit.W, "#a08058", "#7a5e40", 3, seed + 3)
    props.solid(coat, "#a08058", Ls, 12, amb=0.5, lay=lay, tex=ctex)
    for y in (420, 470, 520):
        props.solid(kit.ellipse(896, y, 3.5, 3.5), "#3a2a1a", Ls, 1, specular=0.5, lay=lay)
    lay.paint(kit.line([(884, 360), (893, 640)], 2), "#5a4430", 0.6)
    # boots on the floor to the left of the stand
    for k, x in enumerate((826, 850)):
        boot = kit.poly([(x - 8, 690 + k * 6), (x + 8, 690 + k * 6), (x + 10, 740 + k * 6), (x + 26, 746 + k * 6), (x + 28, 756 + k * 6),
                         (x - 10, 756 + k * 6)])
        props.solid(boot, "#2a1e16", Ls, 5, amb=0.45, specular=0.6, lay=lay)
    return lay


def scarf(seed):
    """Ysolde's scarf over the camel coat: crimson wool with cream bands and fringes, two tails."""
    lay = Layer(kit.W, kit.H)
    Ls = (-0.4, -0.75, 0.55)
    loop = kit.poly([(872, 322), (902, 322), (906, 352), (888, 360), (868, 352)])
    tail_a = kit.poly([(870, 346), (886, 350), (884, 470), (888, 520), (868, 524), (862, 470)])
    tail_b = kit.poly([(888, 350), (906, 346), (914, 440), (918, 492), (898, 496), (892, 440)])
    m = kit.union(loop, tail_a, tail_b)
    xx, yy = lay.grid()
    tex = kit.tex_noise(kit.H, kit.W, "#c8282a", "#8a1418", 2.5, seed)
    knit = 0.9 + 0.1 * np.sin(xx * 1.6 + np.sin(yy * 0.9) * 0.8)
    tex = tex * knit[..., None]
    band = (((yy > 452) & (yy < 459)) | ((yy > 468) & (yy < 472)) | ((yy > 420) & (yy < 423))).astype(np.float32)
    tex = tex * (1 - band[..., None]) + col("#efe4cc") * band[..., None]
    props.solid(m, "#c8282a", Ls, 6, amb=0.55, lay=lay, tex=tex)
    lay.paint(kit.line([(886, 352), (884, 520)], 1.6), "#5a0c10", 0.6)
    for (x0, y0, x1) in ((866, 522, 888), (896, 494, 918)):
        for k in range(8):
            x = x0 + (x1 - x0) * k / 7
            lay.paint(kit.line([(x, y0), (x + 0.5, y0 + 10)], 1.4), "#e8d8b8")
    return lay


def glow(x, y, r, c, k):
    """An additive halo around a flame."""
    lay = Layer(kit.W, kit.H)
    lay.rgb[:] = col(c)
    lay.a = kit.radial(kit.H, kit.W, x, y, r, 2.2) * k
    return lay


def build():
    room = Room("hall")
    seed = 202

    def paint(doors):
        cv = kit.backdrop("night")
        walls(cv, seed)
        lunette(cv, seed + 1)
        rug(cv, seed + 2)
        stairs(cv, seed + 3)
        stair_dressing(cv, seed + 11)
        wall_pictures(cv, seed + 12)
        masks = {}
        parts = {
            "workshop": workshop_door(doors.get("workshop", "closed"), seed + 4),
            "library": library_door(doors.get("library", "closed"), seed + 5),
            "conservatory": conservatory_door(doors.get("conservatory", "closed"), seed + 6),
            "tower": tower_door(doors.get("tower", "closed"), seed + 7),
        }
        for k, (lay, mk) in parts.items():
            kit.over_layer(cv, lay)
            masks[k] = mk
        cl = clock(seed + 8)
        kit.over_layer(cv, kit.shadow_layer(kit.Mask(cl.a, 0, 0), 6, 4, 6, 0.45))
        kit.over_layer(cv, cl)
        masks["clock"] = kit.Mask(cl.a, 0, 0)
        cb = cabinet(seed + 9)
        kit.over_layer(cv, kit.shadow_layer(kit.Mask(cb.a, 0, 0), 6, 4, 6, 0.45))
        kit.over_layer(cv, cb)
        masks["cabinet"] = kit.Mask(cb.a, 0, 0)
        kit.over_layer(cv, lamp_layer(seed))
        sconce = Layer(kit.W, kit.H)
        props.solid(kit.rect(962, 186, 972, 206), "brass", LIGHT, 2, specular=0.8, lay=sconce)
        props.flame(sconce, 967, 182, 12)
        kit.over_layer(cv, sconce)
        for (x0, x1, y) in ((210, 316, 544), (496, 596, 556), (340, 462, 558), (620, 728, 558)):
            kit.contact_shadow(cv, x0, x1, y, 10, 0.55, 5)
        st = hall_stand(seed + 13)
        st.x0 = STAND_DX
        kit.contact_shadow(cv, 870, 1024, 752, 14, 0.6, 6)
        kit.over_layer(cv, kit.shadow_layer(kit.Mask(st.a, STAND_DX, 0), -10, 8, 10, 0.5))
        kit.over_layer(cv, st)
        sc = scarf(seed + 10)
        sc.x0 = STAND_DX
        kit.over_layer(cv, kit.shadow_layer(kit.Mask(sc.a, STAND_DX, 0), -3, 3, 3, 0.5))
        kit.over_layer(cv, sc)
        masks["scarf"] = kit.Mask(sc.a, STAND_DX, 0)
        con = console(seed + 14)
        kit.over_layer(cv, kit.shadow_layer(kit.Mask(con.a, 0, 0), 8, 10, 10, 0.55))
        kit.over_layer(cv, con)
        masks["workshop"] = kit.subtract(masks["workshop"], kit.Mask(con.a, 0, 0))
        # the painted surface: a faint mottle so that no area is a smooth gradient
        cv *= (0.9 + 0.2 * kit.noise(kit.H, kit.W, 5, seed + 15, 3))[..., None]
        # light: a warm lamp pool, cold light from the glass door and the moon through the lunette, dark corners
        cv *= 0.52
        beam = interior.beam_light(kit.H, kit.W, [(488, 128), (602, 128), (700, 600), (420, 600)], 30, 0.22)
        cv += beam[..., None] * col("frost") * 0.09
        kit.lamp(cv, LAMP[0], LAMP[1] + 60, 760, "amber", 0.85, 1.3)
        kit.lamp(cv, LAMP[0], LAMP[1], 200, "candle", 0.5, 2)
        kit.lamp(cv, 960, 190, 260, "amber", 0.7, 1.6)
        kit.lamp(cv, 930 + STAND_DX / 2, 320, 240, "candle", 0.6, 1.5)
        kit.lamp(cv, 900, 560, 320, "amber", 0.4, 1.4)
        kit.lamp(cv, CANDLE[0], CANDLE[1] + 20, 300, "amber", 0.9, 1.5)
        kit.lamp(cv, CANDLE[0], CANDLE[1], 90, "candle", 0.6, 2)
        spill = interior.beam_light(kit.H, kit.W, [(630, 556), (720, 556), (860, 700), (600, 700)], 25, 0.35)
        spill += kit.radial(kit.H, kit.W, 674, 400, 150, 1.5) * 0.25
        cv += spill[..., None] * col("frost") * 0.35 * cv.mean(axis=2, keepdims=True) * 3
        kit.bloom(cv, 0.7, 12, 0.45)
        cv = kit.finish(cv, seed, vignette=0.42)
        return cv, masks

    cv, m = paint({})
    room.back(cv)
    for k in ("workshop", "library", "conservatory", "tower"):
        room.cut(cv, m[k], "hall_door_%s" % k if k in ("workshop", "library") else "hall_door_%s" % k,
                 "door_%s_closed" % k, 2)
    room.cut(cv, m["cabinet"], "hall_cabinet", "cabinet", 2)
    room.cut(cv, m["clock"], "hall_clock", "clock", 2)
    room.cut(cv, m["scarf"], "hall_scarf", "scarf", 3)
    room.obj("hall_door_conservatory_glow", "door_conservatory_glow", props.outline_glow(m["conservatory"], "amber", 6), 4)
    room.obj("hall_door_tower_glow", "door_tower_glow", props.outline_glow(m["tower"], "amber", 6), 4)
    cv, m = paint({"workshop": "open", "library": "open", "conservatory": "open", "tower": "open"})
    for k in ("workshop", "library", "conservatory", "tower"):
        room.cut(cv, m[k], "hall_door_%s_open" % k, "door_%s_open" % k, 2)
    # the flames' glow, flickered by the room's script
    room.obj("hall_lamp_glow", "lamp_glow", glow(LAMP[0], LAMP[1] - 4, 150, "amber", 0.55), 5)
    room.obj("hall_candle_glow", "candle_glow", glow(CANDLE[0], CANDLE[1] - 4, 90, "amber", 0.6), 5)
    room.obj("hall_sconce_glow", "sconce_glow", glow(SCONCE[0], SCONCE[1], 80, "amber", 0.55), 5)
    room.exit_down("hall_exit")
    room.write()
    return room


if __name__ == "__main__":
    build()
