"""Room 5: the library - fire, bookcases, Ysolde's portrait over the mantel, the desk and the wing chair.

The fire and the candle flames are not in the backdrop: they are looped sprite animations painted here
(fire, candle), with a soft firelight glow (firelight) that pulses over the whole scene."""
import math

import numpy as np
from scipy import ndimage

import curios
import interior
import kit
import portrait
import props
import things
from kit import Layer, col
from scene import Room

SEED = 505
BOX = interior.Box(186, 48, 838, 522)
FIRE = (512, 500)
L = (-0.1, 0.5, 0.6)        # firelight from low in the middle
L_DESK = (0.4, -0.8, 0.5)   # the desk lamp, above the desk at the left
PORTRAIT = (512, 178, 150, 190)
MANTEL_Y = 296              # top of the fireplace surround; the shelf sits just above
CANDLES = ((428, 236), (596, 236), (372, 411))  # flame bases: the two mantel candlesticks, the desk candle
FIRE_FRAME = (136, 116)     # one frame of the fire animation; its bottom edge sits on the logs
FIRE_POS = (512, 454)       # centre of a fire frame on screen


# ------------------------------------------------------------------------------------ helpers


def quad_picture(lay, quad, pic):
    """Map a flat picture (h, w, 3) onto a screen quad [tl, tr, br, bl] whose sides are vertical (a
    picture hanging on a side wall seen in perspective)."""
    (xl, yt0), (xr, yt1), (_, yb1), (_, yb0) = quad
    h, w = pic.shape[:2]
    xx, yy = lay.grid()
    u = (xx - xl) / (xr - xl)
    yt = yt0 + (yt1 - yt0) * u
    yb = yb0 + (yb1 - yb0) * u
    v = (yy - yt) / np.maximum(yb - yt, 1)
    inside = ((u >= 0) & (u <= 1) & (v >= 0) & (v <= 1)).astype(np.float32)
    inside = ndimage.gaussian_filter(inside, 0.5)
    out = np.zeros((lay.h, lay.w, 3), np.float32)
    for c in range(3):
        out[..., c] = ndimage.map_coordinates(pic[..., c], [np.clip(v, 0, 1) * (h - 1), np.clip(u, 0, 1) * (w - 1)],
                                              order=1)
    lay.rgb = lay.rgb * (1 - inside[..., None]) + out * inside[..., None]
    lay.a = np.maximum(lay.a, inside)
    return kit.Mask(inside, lay.x0, lay.y0)


def sub_quad(quad, u0, v0, u1, v1):
    """The part of a vertical-sided quad between u0..u1 across and v0..v1 down."""
    (xl, yt0), (xr, yt1), (_, yb1), (_, yb0) = quad

    def at(u, v):
        x = xl + (xr - xl) * u
        yt = yt0 + (yt1 - yt0) * u
        yb = yb0 + (yb1 - yb0) * u
        return (x, yt + (yb - yt) * v)
    return [at(u0, v0), at(u1, v0), at(u1, v1), at(u0, v1)]


def model(lay, seed, toward=FIRE, reach=520):
    """Paint-like modelling on a piece of furniture: broad mottled tone, the side towards the fire
    lighter, the parts near the floor in shadow (so it is not an evenly bevelled cut-out)."""
    xx, yy = lay.grid()
    mott = 0.82 + 0.36 * kit.noise(lay.h, lay.w, 26, seed, 3)
    near = 0.62 + 0.55 * np.clip(1 - np.hypot(xx - toward[0], yy - toward[1]) / reach, 0, 1)
    low = 1 - 0.3 * np.clip((yy - 540) / 80, 0, 1)
    lay.rgb *= (mott * near * low)[..., None]


def brushwork(cv, seed, k=0.1):
    """Crossing brush strokes in the paint, stronger in the light, so broad surfaces keep a hand-made
    texture through the final smoothing."""
    h, w = cv.shape[:2]
    s1 = kit.streaks(h, w, seed, 22, 0.35, 3)
    s2 = kit.streaks(h, w, seed + 1, 12, 2.0, 2)
    pick = kit.noise(h, w, 40, seed + 2, 2)
    s = s1 * pick + s2 * (1 - pick)
    lum = np.clip(cv.mean(axis=2) * 3, 0.3, 1)
    return cv * (1 + k * s * lum)[..., None]


# ------------------------------------------------------------------------------- the pictures


def pic_headland(w, h, seed):
    """The headland at sunset: a lighthouse on the cliff, sea going dark, warm sky."""
    cv = kit.vgrad(h, w, [(0, "#2a2a44"), (0.25, "#6a4a5a"), (0.45, "#d08a4a"), (0.55, "#f0c070"), (0.56, "#4a5a66"),
                          (1, "#1a2a30")])
    cv *= 0.85 + 0.3 * kit.noise(h, w, 6, seed, 3)[..., None]
    lay = Layer(w, h)
    # cloud bands lit from below
    for k in range(5):
        y = h * (0.12 + 0.07 * k)
        lay.paint(kit.ellipse(w * (0.2 + 0.17 * k), y, w * 0.3, h * 0.025), kit.mix("#e0a070", "wine", 0.3 + 0.1 * k), 0.55)
    # the sun on the water
    lay.paint(kit.ellipse(w * 0.62, h * 0.55, w * 0.08, h * 0.03), "#fff0c0", 0.9)
    for k in range(6):
        y = h * (0.59 + 0.06 * k)
        lay.paint(kit.rect(w * (0.58 - 0.01 * k), y, w * (0.66 + 0.01 * k), y + 2), "#f0c070", 0.6 - 0.08 * k)
    cliff = kit.poly([(0, h * 0.46), (w * 0.18, h * 0.44), (w * 0.32, h * 0.52), (w * 0.42, h * 0.7), (w * 0.5, h),
                      (0, h)])
    lay.paint(cliff, kit.tex_noise(h, w, "#3a3a2a", "#1a1a14", 4, seed + 1, 3))
    lay.paint(kit.poly([(0, h * 0.46), (w * 0.18, h * 0.44), (w * 0.3, h * 0.5), (0, h * 0.52)]), "#4a5a2a", 0.7)
    tower = kit.poly([(w * 0.13, h * 0.44), (w * 0.19, h * 0.44), (w * 0.18, h * 0.24), (w * 0.14, h * 0.24)])
    lay.paint(tower, "#e8dcc8")
    for k in range(3):
        lay.paint(kit.rect(w * 0.13, h * (0.28 + k * 0.06), w * 0.19, h * (0.3 + k * 0.06)), "wine", 0.9)
    lay.paint(kit.rect(w * 0.135, h * 0.2, w * 0.185, h * 0.24), "#fff2b0")
    lay.paint(kit.poly([(w * 0.13, h * 0.2), (w * 0.19, h * 0.2), (w * 0.16, h * 0.16)]), "#2a2020")
    kit.over_layer(cv, lay)
    cv += kit.radial(h, w, w * 0.16, h * 0.22, w * 0.5, 2)[..., None] * col("candle") * 0.3
    return kit.finish(cv, seed, grain=0.04, vignette=0.4, stroke_angle=0.2)


def pic_still_life(w, h, seed):
    """Flowers in a blue jug, lemons and a pear on a table edge, against a dark ground."""
    cv = kit.vgrad(h, w, [(0, "#4a4030"), (0.7, "#5a4a30"), (0.72, "#7a5232"), (1, "#4a3020")])
    cv *= 0.85 + 0.3 * kit.noise(h, w, 8, seed, 3)[..., None]
    lay = Layer(w, h)
    Lp = (-0.6, -0.6, 0.6)
    jug = kit.union(kit.ellipse(w * 0.42, h * 0.6, w * 0.14, h * 0.13), kit.rect(w * 0.36, h * 0.42, w * 0.48, h * 0.56))
    props.solid(jug, "#4a6a9a", Lp, 6, amb=0.4, specular=0.6, lay=lay)
    rng = np.random.default_rng(seed)
    for k in range(16):
        a = rng.random() * math.pi - math.pi
        r = w * (0.1 + rng.random() * 0.18)
        x, y = w * 0.42 + r * math.cos(a) * 1.1, h * 0.36 + r * math.sin(a) * 0.9
        lay.paint(kit.line([(w * 0.42, h * 0.42), (x, y)], 1.2), "#3a5a2a", 0.9)
        c = ["#d04030", "#f0e0c8", "#e8a040", "#c02850", "#f0f0e0"][rng.integers(5)]
        props.solid(kit.ellipse(x, y, w * 0.045, w * 0.04), c, Lp, 3, amb=0.5, lay=lay)
    for k in range(8):
        a = rng.random() * math.pi - math.pi
        x, y = w * 0.42 + w * 0.25 * math.cos(a), h * 0.38 + h * 0.18 * math.sin(a)
        lay.paint(kit.ellipse(x, y, w * 0.04, w * 0.015), "#4a6a2a", 0.9)
    for x, c in ((0.7, "#e8c840"), (0.82, "#d8b830")):
        props.solid(kit.ellipse(w * x, h * 0.74, w * 0.07, h * 0.045), c, Lp, 5, amb=0.45, specular=0.3, lay=lay)
    props.solid(kit.union(kit.ellipse(w * 0.2, h * 0.74, w * 0.07, h * 0.06), kit.ellipse(w * 0.2, h * 0.66, w * 0.04, h * 0.05)),
                "#8a9a3a", Lp, 5, amb=0.45, specular=0.2, lay=lay)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(lay.a, 0, 0), 4, 3, 3, 0.5))
    kit.over_layer(cv, lay)
    cv += kit.radial(h, w, w * 0.35, h * 0.4, w * 0.7, 1.5)[..., None] * col("candle") * 0.25
    return kit.finish(cv, seed, grain=0.04, vignette=0.6, stroke_angle=1.0)


def pic_winter_wood(w, h, seed):
    """Bare birches in snow at dusk, a cart track going off between them."""
    cv = kit.vgrad(h, w, [(0, "#4a5a7a"), (0.5, "#a0a8b8"), (0.55, "#d8dce0"), (1, "#9aa4b0")])
    cv *= 0.9 + 0.2 * kit.noise(h, w, 5, seed, 3)[..., None]
    lay = Layer(w, h)
    rng = np.random.default_rng(seed)
    for k in range(9):
        x = w * (0.05 + 0.11 * k + rng.random() * 0.04)
        lay.paint(kit.line([(x, h * 0.85), (x + rng.random() * 3 - 1.5, h * (0.05 + rng.random() * 0.2))], 1.5 + rng.random() * 2),
                  kit.mix("#3a3030", "frost", rng.random() * 0.5), 0.9)
    lay.paint(kit.poly([(w * 0.45, h * 0.55), (w * 0.55, h * 0.55), (w * 0.8, h), (w * 0.25, h)]), "#7a7a80", 0.4)
    lay.paint(kit.rect(w * 0.7, h * 0.48, w * 0.74, h * 0.52), "amber", 0.9)
    kit.over_layer(cv, lay)
    return kit.finish(cv, seed, grain=0.04, vignette=0.4, stroke_angle=1.5)


def wall_paintings(cv, seed):
    """Three different pictures in gilt frames on the side walls, in perspective."""
    lay = Layer(kit.W, kit.H)
    hangs = ((BOX.left_at, (0.28, 0.7), (0.17, 0.45), pic_headland, 170, 120),
             (BOX.left_at, (0.76, 0.93), (0.18, 0.33), pic_winter_wood, 90, 110),
             (BOX.right_at, (0.3, 0.74), (0.16, 0.48), pic_still_life, 140, 170))
    for k, (f, (t0, t1), (v0, v1), fn, pw, ph) in enumerate(hangs):
        q = [f(t0, v0), f(t1, v0), f(t1, v1), f(t0, v1)]
        if f is BOX.right_at:
            q = [q[1], q[0], q[3], q[2]]
        props.solid(kit.poly(q), "brass", L, 4, specular=0.7, lay=lay, tex=props.brass_tex(kit.H, kit.W, seed + k))
        inner = sub_quad(q, 0.1, 0.09, 0.9, 0.91)
        lay.paint(kit.poly(sub_quad(q, 0.07, 0.06, 0.93, 0.94)), "#5a3a14", 0.8)
        quad_picture(lay, inner, np.clip(fn(pw, ph, seed + 10 + k) * 1.3, 0, 1))
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(lay.a, 0, 0), 0, 7, 6, 0.55))
    kit.over_layer(cv, lay)


# ------------------------------------------------------------------------------- the room


def shell(cv, seed):
    b = BOX
    lay = Layer(kit.W, kit.H)
    paper = interior.wallpaper(kit.H, kit.W, seed, "#4a2020", "#6e3430", step=34)
    # old paper: faded in streaks, stained near the ceiling
    paper *= (0.82 + 0.3 * kit.noise(kit.H, kit.W, 60, seed + 9, 3)[..., None]) * (1 + 0.06 * kit.streaks(kit.H, kit.W, seed + 8, 40, 1.57, 4)[..., None])
    lay.paint(kit.poly(b.back()), paper)
    lay.paint(kit.poly(b.left()), paper * 0.66)
    lay.paint(kit.poly(b.right()), paper * 0.6)
    ceil = kit.wood(kit.H, kit.W, seed + 1, "#3a2616", "#24170d", angle=0, freq=0.05)
    lay.paint(kit.poly(b.ceiling()), ceil * 0.55)
    # coffered ceiling: beams across and along
    for i in range(5):
        u = (i + 0.5) / 5
        xb = b.x0 + (b.x1 - b.x0) * u
        xf = kit.W * u
        props.solid(kit.poly([(xf - 22, -4), (xf + 22, -4), (xb + 8, b.y0), (xb - 8, b.y0)]), "#4a301b", L, 5, amb=0.5, lay=lay,
                    tex=kit.wood(kit.H, kit.W, seed + 20 + i, "#4a301b", angle=1.3))
    props.solid(kit.rect(b.x0 - 6, b.y0 - 10, b.x1 + 6, b.y0 + 4), "#5a3a22", L, 3, lay=lay)
    lay.paint(kit.poly(b.floor()), interior.boards(kit.H, kit.W, seed + 2, b, "#5a3422", n=14))
    # dado on the back and side walls
    wy = b.y0 + (b.y1 - b.y0) * 0.72
    interior.wainscot(lay, [(b.x0, wy), (b.x1, wy), (b.x1, b.y1), (b.x0, b.y1)], seed + 3, "#4a2a1a")
    props.solid(kit.rect(b.x0, wy - 7, b.x1, wy + 3), "#6a3a22", L, 2, lay=lay)
    for side in (0, 1):
        f = b.left_at if side == 0 else b.right_at
        q = [f(0, 0.72), f(1, 0.72), f(1, 1), f(0, 1)]
        interior.wainscot(lay, q, seed + 4 + side, "#3e2416")
        lay.paint(kit.line([q[0], q[1]], 8), "#5a3422")
        # raised panels along the dado, in perspective
        for k in range(4):
            t0, t1 = 0.08 + k * 0.23, 0.25 + k * 0.23
            pq = [f(t0, 0.77), f(t1, 0.77), f(t1, 0.95), f(t0, 0.95)]
            lay.paint(kit.poly(pq), "#2a160c", 0.35)
    kit.over_layer(cv, lay)


def shelf_curio(lay, a, b, yb, seed, light):
    """One curio standing in a gap on a shelf: a globe, jar, bottle, clock, vase, box, skull-less things."""
    rng = np.random.default_rng(seed)
    kind = rng.integers(7)
    s = 0.55
    if kind == 0:
        curios.globe(lay, a, yb, s, seed, light)
    elif kind == 1:
        curios.jar(lay, a + 2, yb, s * 1.1, seed, light)
    elif kind == 2:
        curios.bottle(lay, a + 4, yb, s * 1.2, seed, light)
    elif kind == 3:
        curios.mantel_clock(lay, a, yb, s, seed, light)
    elif kind == 4:
        curios.vase(lay, a + 2, yb, s * 1.1, seed, light)
    elif kind == 5:
        curios.box(lay, a, yb, s * 0.8, seed, light)
    else:
        things.kit_paste(lay, props.gear((a + b) / 2, yb - 14, 12, 10, seed, "brass", 4, 0.3, light))


def bookcase(lay, x0, x1, y0, y1, seed, light=L, shelves=5):
    """A tall bookcase crowded with books, stacks lying flat, books leaning, and curios; returns its mask."""
    rng = np.random.default_rng(seed)
    body = kit.rect(x0, y0, x1, y1)
    props.solid(body, "#3a2414", light, 6, amb=0.6, lay=lay, tex=kit.wood(kit.H, kit.W, seed, "#4a2f1b", angle=1.5))
    back = kit.rect(x0 + 12, y0 + 26, x1 - 12, y1 - 20)
    lay.paint(back, kit.wood(kit.H, kit.W, seed + 5, "#1e120a", "#120a05", angle=1.5))
    cornice = kit.rect(x0 - 10, y0 - 4, x1 + 10, y0 + 24)
    props.solid(cornice, "#5a3a22", light, 4, lay=lay, tex=kit.wood(kit.H, kit.W, seed + 1, "#5a3a22", angle=0))
    for k in range(int((x1 - x0) / 14)):
        x = x0 - 6 + k * 14
        props.solid(kit.rect(x, y0 + 16, x + 7, y0 + 22), "#6a4a2a", light, 1, lay=lay)
    plinth = kit.rect(x0 - 6, y1 - 22, x1 + 6, y1)
    props.solid(plinth, "#4a2f1b", light, 3, lay=lay)
    step = (y1 - 22 - (y0 + 26)) / shelves
    pal = ["wine", "mahogany", "moss", "walnut", "teal", "slate", "#6b4a2b", "#7b6540", "dusk", "#3b4a3a",
           "parchment_shade", "#8a6a3a", "#2a3a5a", "#5a1a1a"]
    for j in range(shelves):
        yb = y0 + 26 + step * (j + 1)
        xs = x0 + 14
        segs = []
        while xs < x1 - 14:
            run = rng.integers(46, 120)
            segs.append((xs, min(x1 - 14, xs + run), "books"))
            xs += run
            if xs < x1 - 44 and rng.random() < 0.5:
                w = rng.integers(28, 40)
                segs.append((xs, xs + w, "stack" if rng.random() < 0.55 else "curio"))
                xs += w
        for a, b, kind in segs:
            if kind == "books":
                props.books_row(lay, a, b, yb - 1, int(step * 0.62), int(step * 0.94), int(rng.integers(1 << 30)), light=light,
                                palette=pal, gaps=0.0, wmin=5, wmax=13)
            elif kind == "stack":
                y = yb - 1
                for k in range(rng.integers(3, 6)):
                    hgt = rng.integers(4, 8)
                    c = pal[rng.integers(len(pal))]
                    sh = rng.integers(0, 4)
                    m = kit.rect(a + sh, y - hgt, b - 3 + sh - rng.integers(0, 4), y)
                    props.solid(m, c, light, 2, amb=0.5, lay=lay)
                    lay.paint(kit.rect(b - 7 + sh, y - hgt + 1, b - 4 + sh, y - 1), "parchment", 0.6)
                    y -= hgt
                if rng.random() < 0.5:
                    shelf_curio(lay, a + 4, b, y, int(rng.integers(1 << 30)), light)
            else:
                shelf_curio(lay, a, b, yb - 1, int(rng.integers(1 << 30)), light)
        sh = kit.rect(x0 + 8, yb, x1 - 8, yb + 9)
        props.solid(sh, "#5a3a22", light, 2, lay=lay, tex=kit.wood(kit.H, kit.W, seed + 30 + j, "#5a3a22", angle=0))
        # the shelf's shadow under its lip, on the books below
        lay.paint(kit.rect(x0 + 12, yb + 9, x1 - 12, yb + 16), "ink", 0.45, cover=False)
    # dust and age: darker towards the top, where the fire does not reach
    xx, yy = lay.grid()
    lay.tone(1 - 0.35 * np.clip((300 - yy) / 250, 0, 1), body)
    return body


def fireplace(cv, seed):
    lay = Layer(kit.W, kit.H)
    x0, x1, y0, y1 = 408, 616, MANTEL_Y, 522
    stone = kit.stone_tex(kit.H, kit.W, seed, "#857868", "#3e342a")
    surround = kit.rect(x0, y0, x1, y1)
    stone = stone * 0.82 * (0.9 + 0.1 * col("amber"))
    props.solid(surround, "#7a746c", L, 6, amb=0.55, lay=lay, tex=stone)
    # laid in ashlar courses, warm sandstone
    ash = Layer(kit.W, kit.H)
    kit.brick_courses(ash, surround, seed + 11, 52, 30, "#8a7a64", "#5a4a3a", mortar="#3a3028")
    lay.paint(surround, ash.rgb * (0.8 + 0.2 * stone / np.maximum(stone.max(), 1e-3)), 0.75)
    # dressed stone blocks around the opening
    for k in range(6):
        yk = y0 + 20 + k * 34
        for x in (x0 + 4, x1 - 34):
            props.solid(kit.rect(x, yk, x + 30, yk + 32), "#8a8278", L, 3, amb=0.55, lay=lay, tex=stone * (0.95 + 0.05 * (k % 2)))
    # carved frieze under the shelf
    props.solid(kit.rect(x0 + 4, y0 + 14, x1 - 4, y0 + 32), "#8a8278", L, 3, amb=0.55, lay=lay, tex=stone * 1.05)
    for k in range(12):
        xk = x0 + 20 + k * 15.5
        props.solid(kit.ellipse(xk, y0 + 23, 5, 5), "#9a9288", L, 2, amb=0.5, lay=lay)
    mantel = kit.rect(x0 - 24, y0 - 8, x1 + 24, y0 + 14)
    props.solid(mantel, "#5a3a22", L, 4, lay=lay, tex=kit.wood(kit.H, kit.W, seed + 1, "#5a3a22", angle=0))
    opening = kit.rrect(x0 + 40, y0 + 70, x1 - 40, y1 + 20, 40)
    # the firebox: sooty brick glowing orange low down, where the flames will be
    xx, yy = lay.grid()
    brick = Layer(kit.W, kit.H)
    kit.brick_courses(brick, opening, seed + 3, 26, 11, "#5a2a18", "#3a1a10", mortar="#1a0c06")
    glow = np.clip(1 - np.hypot((xx - FIRE[0]) / 110, (yy - FIRE[1]) / 90), 0, 1) ** 1.2
    soot = np.clip((yy - (y0 + 70)) / 140, 0, 1)
    brick.rgb *= (0.25 + 0.9 * soot * 0.5 + 1.6 * glow)[..., None] * (0.7 + 0.3 * col("amber"))
    brick.rgb = np.clip(brick.rgb, 0, 1)
    lay.paint(opening, brick.rgb)
    lay.paint(kit.ellipse((x0 + x1) / 2, y0 + 80, 70, 18), "#0a0604", 0.6, cover=False)
    # grate, logs and the bed of embers (the flames are the animation)
    for k, (a, b) in enumerate((((460, 506), (562, 498)), ((474, 496), (550, 510)), ((490, 486), (536, 488)))):
        props.solid(kit.line([a, b], 12 - k * 2), "#3a2216", L, 4, lay=lay, tex=kit.wood(kit.H, kit.W, seed + 2 + k, "#4a2a18", angle=0))
        # charred, glowing cracks along each log
        for j in range(6):
            t = (j + 0.5) / 6
            px, py = a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t
            lay.paint(kit.ellipse(px, py + 2, 4, 1.5), "#ff7a2a", 0.8)
    embers = kit.ellipse(512, 512, 58, 8)
    ember_tex = kit.tex_noise(kit.H, kit.W, "#ffb040", "#8a1a08", 2, seed + 6, 2)
    lay.paint(embers, ember_tex, 0.95)
    for x in (456, 568):
        props.solid(kit.rect(x - 4, 486, x + 4, 518), "#1a1a1e", L, 2, specular=0.5, lay=lay)
        props.solid(kit.ellipse(x, 482, 7, 7), "brass", L, 2, specular=0.9, lay=lay)
    fender = kit.subtract(kit.rrect(x0 + 20, y1 - 12, x1 - 20, y1 + 6, 4), kit.rrect(x0 + 24, y1 - 8, x1 - 24, y1 + 2, 3))
    props.solid(fender, kit.shade_of("brass", 0.6), L, 1.5, specular=0.4, lay=lay)
    # fire irons on a stand to the right of the hearth
    for k, x in enumerate((624, 632, 640)):
        props.solid(kit.line([(x, 446), (x + 1, 532)], 3), "#2a2a30", L, 1, specular=0.6, lay=lay)
        props.solid(kit.ellipse(x, 444, 4, 4), "brass", L, 1.5, specular=0.9, lay=lay)
    props.solid(kit.ellipse(632, 534, 14, 4), "#2a2a30", L, 1.5, lay=lay)
    # on the mantel: candlesticks (flames animated), a carriage clock, a brass spyglass, a little vase
    for x, y in CANDLES[:2]:
        things.candlestick(lay, x, y + 30, 0.9, 0.0, seed + x, L_DESK)
    things.spyglass(lay, 556, y0 - 16, 0.6, 0.05, seed + 8, L_DESK)
    curios.vase(lay, 446, y0 - 8, 0.75, seed + 9, L_DESK)
    props.solid(kit.rrect(598, y0 - 20, 626, y0 - 8, 3), "#6b4a2b", L_DESK, 2, lay=lay)
    return lay


def desk(seed):
    """The writing desk at the front left (its own picture: opens the close-up)."""
    lay = Layer(kit.W, kit.H)
    top = kit.poly([(112, 438), (392, 438), (414, 468), (88, 468)])
    props.solid(top, "mahogany", L_DESK, 4, lay=lay, tex=kit.wood(kit.H, kit.W, seed, "#7a3b2a", "#4a2218", angle=0, freq=0.06))
    inset = kit.poly([(130, 442), (376, 442), (392, 462), (112, 462)])
    lay.paint(inset, kit.tex_noise(kit.H, kit.W, "#3a5a3a", "#1a2a1a", 3, seed + 2, 3), 0.9)
    body = kit.rect(100, 468, 402, 594)
    props.solid(body, "#5a2a1c", L_DESK, 4, lay=lay, tex=kit.wood(kit.H, kit.W, seed + 1, "#6a3222", angle=0))
    for (a, b) in ((112, 232), (262, 390)):
        for r, (ya, yb) in enumerate(((482, 520), (528, 566))):
            props.solid(kit.rect(a, ya, b, yb), "#6a3222", L_DESK, 3, amb=0.6, lay=lay,
                        tex=kit.wood(kit.H, kit.W, seed + 40 + r, "#6e3424", angle=0))
            props.solid(kit.rrect((a + b) / 2 - 12, (ya + yb) / 2 - 4, (a + b) / 2 + 12, (ya + yb) / 2 + 4, 3), "brass", L_DESK,
                        1.5, specular=0.9, lay=lay)
    props.solid(kit.rect(236, 482, 258, 594), "#4a2218", L_DESK, 2, lay=lay)
    # the banker's lamp, papers, an open ledger, the inkwell and quill, a candle, books
    props.solid(kit.rect(150, 424, 158, 440), "brass", L_DESK, 1.5, specular=0.8, lay=lay)
    props.solid(kit.ellipse(154, 440, 20, 5), "brass", L_DESK, 2, specular=0.8, lay=lay)
    shade = kit.poly([(122, 424), (186, 424), (178, 404), (130, 404)])
    props.solid(shade, "moss", L_DESK, 4, specular=0.6, lay=lay)
    lay.paint(kit.ellipse(154, 424, 32, 4), "#fff2c8")
    for k in range(4):
        things.paper(lay, 244 + k * 22, 452 + (k % 2) * 3, 0.5, -0.4 + k * 0.25, seed + 10 + k, L_DESK)
    things.quill(lay, 336, 430, 0.7, -1.1, seed + 20, L_DESK)
    props.solid(kit.ellipse(326, 446, 10, 7), "#1a1a22", L_DESK, 3, specular=0.9, lay=lay)
    for k, c in enumerate(("wine", "moss", "teal", "#6b4a2b")):
        props.solid(kit.rect(194 + k * 2, 446 - k * 7, 236 + k * 3, 452 - k * 7), c, L_DESK, 2, amb=0.5, lay=lay)
        lay.paint(kit.rect(230 + k * 3, 447 - k * 7, 234 + k * 3, 451 - k * 7), "parchment", 0.7)
    # a chamberstick with a candle (its flame animated) at the right end
    props.solid(kit.ellipse(372, 448, 14, 4), "brass", L_DESK, 2, specular=0.9, lay=lay)
    props.solid(kit.rect(367, 412, 377, 446), "#efe2c0", L_DESK, 2, amb=0.6, lay=lay)
    lay.paint(kit.ellipse(372, 412, 5, 2), "#fff6dc", 0.9)
    lay.paint(kit.line([(372, 410), (372, 402)], 1), "ink", 0.9)
    return lay, kit.Mask(lay.a, 0, 0)


def chair(seed):
    """The wing chair at the front right with a throw, a side table with a decanter, glasses and an open book."""
    lay = Layer(kit.W, kit.H)
    vel = kit.tex_noise(kit.H, kit.W, "wine", kit.shade_of("wine", 0.62), 3, seed)
    vel = vel * (1 + 0.1 * kit.streaks(kit.H, kit.W, seed + 5, 10, 1.57, 2)[..., None])
    back = kit.union(kit.rrect(700, 356, 846, 520, 34), kit.ellipse(720, 380, 34, 40), kit.ellipse(826, 380, 34, 40))
    props.solid(back, "wine", L, 16, amb=0.45, specular=0.15, lay=lay, tex=vel)
    # buttoned tufting on the back
    for j in range(4):
        for i in range(5 - j % 2):
            x = 724 + i * 24 + (j % 2) * 12
            y = 392 + j * 26
            lay.paint(kit.ellipse(x, y, 2.5, 2.5), kit.shade_of("wine", 0.4), 0.9)
            lay.paint(kit.line([(x - 10, y - 6), (x, y), (x + 10, y - 6)], 1), kit.shade_of("wine", 0.55), 0.5)
    # creases where the back meets the arms and the seat
    for a, b in (((700, 452), (712, 556)), ((846, 452), (836, 556)), ((704, 474), (842, 474))):
        lay.paint(kit.line([a, b], 5), kit.shade_of("wine", 0.3), 0.5, cover=False)
    seat = kit.rrect(690, 470, 858, 560, 22)
    props.solid(seat, "wine", L, 14, amb=0.45, lay=lay, tex=vel)
    cushion = kit.rrect(712, 478, 838, 520, 14)
    props.solid(cushion, kit.mix("wine", "mahogany", 0.3), L, 10, amb=0.5, lay=lay, tex=vel * 1.08)
    for x in (672, 852):
        arm = kit.rrect(x - 22, 440, x + 22, 560, 20)
        props.solid(arm, "wine", L, 14, amb=0.45, lay=lay, tex=vel)
        props.solid(kit.ellipse(x, 446, 22, 10), kit.shade_of("wine", 1.1), L, 6, amb=0.5, lay=lay, tex=vel * 1.1)
    for x in (692, 846):
        props.solid(kit.rect(x - 5, 560, x + 5, 600), "#3a2014", L, 2, lay=lay)
        props.solid(kit.ellipse(x, 600, 6, 3), "brass", L, 1, specular=0.8, lay=lay)
    # the throw over the arm and seat: moss and wine checks, folds and a fringe
    bl = kit.poly([(648, 436), (694, 438), (730, 452), (762, 500), (752, 548), (740, 584), (700, 604), (668, 590), (660, 560)])
    xx, yy = lay.grid()
    checks = kit.blur(((np.mod(xx + yy * 0.3, 24) < 12) ^ (np.mod(yy - xx * 0.2, 24) < 12)).astype(np.float32), 1.0)
    tex = col("moss")[None, None] * (1 - checks[..., None] * 0.6) + kit.mix("moss", "parchment_shade", 0.35) * checks[..., None] * 0.6
    stripe = kit.blur((np.abs(np.mod(xx + yy * 0.3, 48) - 24) < 2.5).astype(np.float32), 0.8)[..., None]
    tex = tex * (1 - stripe) + col("wine") * stripe
    folds = 1 + 0.22 * np.sin((xx * 0.8 - yy * 0.35) * 0.16)[..., None] * np.clip((yy - 470) / 80, 0, 1)[..., None]
    props.solid(bl, "moss", L, 10, amb=0.5, lay=lay, tex=tex * folds)
    for k in range(14):
        t = k / 13
        x = 668 + (740 - 668) * t
        y = 590 + 14 * math.sin(t * math.pi) - 6 * t
        lay.paint(kit.line([(x, y), (x + 1, y + 9)], 1.4), kit.mix("moss", "parchment_shade", 0.4), 0.9)
    # side table: decanter, two glasses, an open book, a pipe
    props.solid(kit.ellipse(924, 470, 60, 15), "#5a3a22", L, 4, lay=lay, tex=kit.wood(kit.H, kit.W, seed + 1, "#6a452a", angle=0))
    props.solid(kit.rect(918, 482, 930, 584), "#3a2414", L, 2, lay=lay)
    props.solid(kit.poly([(884, 600), (964, 600), (930, 580), (918, 580)]), "#3a2414", L, 2, lay=lay)
    glass = kit.mix("frost", "teal", 0.3)
    dec = kit.union(kit.ellipse(906, 446, 17, 18), kit.rect(901, 414, 911, 434))
    props.solid(dec, glass, L_DESK, 6, amb=0.3, specular=1.0, lay=lay)
    lay.paint(kit.intersect(kit.ellipse(906, 450, 15, 14), kit.rect(880, 444, 930, 470)), "#8a3a14", 0.85)
    props.solid(kit.ellipse(906, 410, 6, 6), glass, L_DESK, 2, amb=0.3, specular=1.0, lay=lay)
    lay.paint(kit.line([(898, 436), (896, 452)], 1.5), "#fffaf0", 0.6)
    for x in (934, 950):
        props.solid(kit.poly([(x - 6, 446), (x + 6, 446), (x + 4, 458), (x - 4, 458)]), glass, L_DESK, 2, amb=0.35,
                    specular=0.9, lay=lay)
        lay.paint(kit.rect(x - 1, 458, x + 1, 466), glass, 0.8)
        lay.paint(kit.ellipse(x, 466, 5, 1.5), glass, 0.8)
    book = kit.poly([(940, 470), (980, 464), (984, 472), (944, 478)])
    props.solid(book, "parchment", L, 2, amb=0.7, lay=lay)
    lay.paint(kit.line([(962, 467), (964, 475)], 1), "ink", 0.6)
    return lay, kit.Mask(lay.a, 0, 0)


def floor_globe(seed):
    """A terrestrial globe on a turned stand at the front left by the wall."""
    lay = Layer(kit.W, kit.H)
    cx, cy, r = 54, 420, 40
    wood = kit.wood(kit.H, kit.W, seed, "#6a452a", angle=1.5)
    for a, b in (((cx - 30, 610), (cx - 8, 500)), ((cx + 30, 610), (cx + 8, 500)), ((cx, 620), (cx, 500))):
        props.solid(kit.line([a, b], 6), "#5a3a22", L, 2, lay=lay, tex=wood)
    props.solid(kit.rect(cx - 5, 462, cx + 5, 504), "#5a3a22", L, 2, lay=lay, tex=wood)
    props.solid(kit.ellipse(cx, 496, 22, 7), "#6a452a", L, 3, lay=lay, tex=wood)
    xx, yy = lay.grid()
    u = (xx - cx) / r
    v = (yy - cy) / r
    lon = np.arcsin(np.clip(u / np.sqrt(np.maximum(1 - v * v, 1e-3)), -1, 1))
    lat = np.arcsin(np.clip(v, -1, 1))
    land = kit.noise(kit.H, kit.W, 14, seed + 1, 3)
    land = ndimage.map_coordinates(land, [(lat + 1.6) * 60, (lon + 1.6) * 60 + 200], order=1)
    sea = kit.mix("#3a6a7a", "parchment_shade", 0.25)
    earth = kit.mix("#c8a060", "moss", 0.3)
    tex = np.where((land > 0.55)[..., None], earth, sea)
    grid = ((np.abs(np.mod(lat * 6 / math.pi * 2, 1) - 0.5) > 0.46) | (np.abs(np.mod(lon * 6 / math.pi * 2, 1) - 0.5) > 0.46))
    tex = tex * (1 - 0.3 * grid[..., None])
    props.solid(kit.ellipse(cx, cy, r, r), "teal", L, 16, amb=0.45, specular=0.35, lay=lay, tex=tex)
    mer = kit.subtract(kit.ellipse(cx, cy, r + 6, r + 6), kit.ellipse(cx, cy, r + 3, r + 3))
    props.solid(kit.intersect(mer, kit.rect(cx - r - 8, cy - r - 8, cx + 2, cy + r + 8)), "brass", L, 1.5, specular=0.9, lay=lay)
    props.solid(kit.ellipse(cx, cy + 30, r + 10, 6), "#6a452a", L, 2, lay=lay, tex=wood)
    lay.paint(kit.ellipse(cx, cy + 30, r + 2, 3), "#2a1a0a", 0.6)
    return lay


def floor_clutter(seed):
    """Papers fallen from the desk, a pile of books by the chair, a log basket at the front right."""
    lay = Layer(kit.W, kit.H)
    # the log basket: woven willow, birch and oak logs piled in it
    xx, yy = lay.grid()
    weave = (np.sin(xx * 0.9) * np.sin(yy * 0.7) > 0).astype(np.float32)
    wtex = col("#8a6a3a") * (0.75 + 0.35 * kit.blur(weave, 0.6)[..., None])
    logs = [((884, 606), (952, 594), "#d8d0c0"), ((892, 598), (964, 606), "#5a3a22"), ((880, 588), (940, 580), "#6a4a2a"),
            ((904, 584), (972, 590), "#d0c8b8")]
    for k, (a, b, c) in enumerate(logs):
        birch = c.startswith("#d")
        tex = None if birch else kit.wood(kit.H, kit.W, seed + 30 + k, c, angle=0)
        props.solid(kit.line([a, b], 13), c, L, 4, amb=0.5, lay=lay, tex=tex)
        props.solid(kit.ellipse(a[0], a[1], 5, 7), "#b08a5a", L, 2, lay=lay)
        lay.paint(kit.ellipse(a[0], a[1], 2, 3), "#6a4a2a", 0.8)
        if birch:
            for j in range(4):
                x = a[0] + (b[0] - a[0]) * (0.2 + 0.2 * j)
                y = a[1] + (b[1] - a[1]) * (0.2 + 0.2 * j)
                lay.paint(kit.line([(x, y - 4), (x + 6, y - 4)], 1.5), "#2a2420", 0.8)
    basket = kit.poly([(872, 612), (980, 612), (970, 676), (884, 676)])
    props.solid(basket, "#7a5a30", L, 6, amb=0.5, lay=lay, tex=wtex)
    props.solid(kit.rrect(868, 606, 984, 618, 5), "#6a4a24", L, 3, amb=0.5, lay=lay, tex=wtex * 0.9)
    for k in range(3):
        things.paper(lay, 150 + k * 46, 626 + (k % 2) * 12, 0.42, -0.6 + k * 0.5, seed + k, L)
    lay.rgb *= 0.7
    y = 612
    for k, c in enumerate(("moss", "wine", "#2a3a5a", "#7b6540")):
        hgt = 9 - k
        props.solid(kit.poly([(592 + k * 2, y), (650 - k * 3, y), (648 - k * 3, y - hgt), (594 + k * 2, y - hgt)]), c, L, 2,
                    amb=0.5, lay=lay)
        lay.paint(kit.rect(640 - k * 3, y - hgt + 1, 646 - k * 3, y - 1), "parchment", 0.7)
        y -= hgt
    things.book_flat(lay, 624, 592, 0.6, 0.3, seed + 9, L, "teal")
    return lay


def rug(cv, seed):
    lay = Layer(kit.W, kit.H)
    pts = [(300, 548), (724, 548), (820, 700), (204, 700)]
    m = kit.poly(pts)
    xx, yy = lay.grid()
    t = np.clip((yy - 548) / 152, 0, 1)
    left = 300 - 96 * t
    right = 724 + 96 * t
    u = (xx - left) / np.maximum(right - left, 1)
    v = t
    pat = np.clip((np.abs(np.sin(u * 28 + np.sin(v * 12) * 1.5) * np.sin(v * 18)) - 0.55) * 4, 0, 1)
    border = ((u < 0.07) | (u > 0.93) | (v < 0.1) | (v > 0.9)).astype(np.float32)
    inner_b = ((np.abs(u - 0.07) < 0.008) | (np.abs(u - 0.93) < 0.008) | (np.abs(v - 0.1) < 0.012) | (np.abs(v - 0.9) < 0.012))
    tex = col("wine")[None, None] * (1 - pat[..., None] * 0.4) + col("teal") * pat[..., None] * 0.25
    bpat = np.clip(np.sin(u * 160) * np.sin(v * 40) * 2, 0, 1)[..., None]
    btex = kit.mix("brass", "walnut", 0.4) * (1 - bpat * 0.4) + col("night") * bpat * 0.4
    tex = tex * (1 - border[..., None]) + btex * border[..., None]
    tex = tex * (1 - inner_b[..., None] * 0.5) + col("parchment_shade") * inner_b[..., None] * 0.5
    med = ((u - 0.5) ** 2 / 0.04 + (v - 0.5) ** 2 / 0.09 < 1).astype(np.float32)
    med_in = ((u - 0.5) ** 2 / 0.02 + (v - 0.5) ** 2 / 0.045 < 1).astype(np.float32)
    tex = tex * (1 - med[..., None] * 0.6) + kit.mix("brass", "wine", 0.5) * med[..., None] * 0.6
    tex = tex * (1 - med_in[..., None] * 0.5) + kit.mix("wine", "teal", 0.4) * med_in[..., None] * 0.5
    # worn pile and a fringe at the front
    tex *= 0.8 + 0.35 * kit.noise(kit.H, kit.W, 3, seed, 2)[..., None]
    tex *= 1 - 0.25 * kit.noise(kit.H, kit.W, 40, seed + 1, 2)[..., None] * (1 - border[..., None])
    lay.paint(m, tex)
    for k in range(70):
        x = 206 + k * 8.8
        lay.paint(kit.line([(x, 700), (x + 1, 708)], 1.2), "parchment_shade", 0.7)
    kit.over_layer(cv, lay)


# ------------------------------------------------------------------------------ animations


def _wrap_noise(h, w, cell, seed, octaves=3):
    """Fractal noise that repeats every h pixels down (so scrolling it loops seamlessly)."""
    rng = np.random.default_rng(seed)
    out = np.zeros((h, w), np.float32)
    amp, tot = 1.0, 0.0
    c = cell
    for _ in range(octaves):
        gh = max(2, int(round(h / c)))
        gw = int(w / c) + 3
        g = rng.random((gh, gw)).astype(np.float32)
        yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
        out += amp * ndimage.map_coordinates(g, [yy * gh / h, xx / c], order=3, mode="grid-wrap")
        tot += amp
        amp *= 0.5
        c = max(2, c / 2)
    return out / tot


def fire_frames(seed, n=20):
    """The hearth fire: tongues of flame rising from the logs, a seamless loop of n frames."""
    fw, fh = FIRE_FRAME
    P = fh * 2
    base = _wrap_noise(P, fw, 22, seed)
    fine = _wrap_noise(P, fw, 8, seed + 1, 2)
    yy, xx = np.mgrid[0:fh, 0:fw].astype(np.float32)
    # height above the log line, 0 at the bottom .. 1 at the top of the frame
    hgt = (fh - 6 - yy) / (fh - 10)
    frames = []
    for f in range(n):
        ph = f / n
        sway = 3 * math.sin(2 * math.pi * ph) * np.clip(hgt, 0, 1) ** 1.5
        # the field scrolls up one period per loop; finer detail twice as fast
        y1 = np.mod(yy + ph * P, P).astype(int)
        y2 = np.mod(yy + 2 * ph * P, P).astype(int)
        xs = np.clip(xx - sway, 0, fw - 1).astype(int)
        nz = base[y1, xs] * 0.7 + fine[y2, xs] * 0.3
        # envelope: wide at the logs, narrowing into tongues; several peaks across the grate
        cx = (xx - fw / 2) / (fw * 0.42)
        peaks = 0.55 + 0.45 * np.cos(cx * 7.5 + 0.6 * math.sin(2 * math.pi * ph + 1.3))
        env = np.clip(1 - cx ** 2, 0, 1) * (0.45 + 0.55 * peaks)
        inten = env * (1.25 - hgt * 1.3) + (nz - 0.5) * 0.9 - hgt * 0.25
        inten = np.clip(inten * (hgt > -0.05), 0, 1.2)
        a = np.clip((inten - 0.18) / 0.25, 0, 1)
        t = np.clip((inten - 0.18) / 0.8, 0, 1)[..., None]
        c0, c1, c2, c3 = col("#8a1e06"), col("#f06a12"), col("#ffc040"), col("#fff4d0")
        rgb = np.where(t < 0.35, c0 + (c1 - c0) * (t / 0.35),
                       np.where(t < 0.7, c1 + (c2 - c1) * ((t - 0.35) / 0.35), c2 + (c3 - c2) * ((t - 0.7) / 0.3)))
        a = ndimage.gaussian_filter(a, 0.7)
        # a faint warm haze around the flames
        halo = ndimage.gaussian_filter(a, 6) * 0.35
        alpha = np.clip(a + halo * (1 - a), 0, 1)
        rgb = (rgb * a[..., None] + col("#ff8a30") * (halo * (1 - a))[..., None]) / np.maximum(alpha, 1e-4)[..., None]
        frames.append(np.dstack([np.clip(rgb, 0, 1), alpha]).astype(np.float32))
    return frames


def candle_frames(seed, n=12):
    """A candle flame that sways and gutters, with its halo (a loop of n frames)."""
    fw, fh = 24, 40
    rng = np.random.default_rng(seed)
    yy, xx = np.mgrid[0:fh, 0:fw].astype(np.float32)
    frames = []
    jit = rng.random(n)
    for f in range(n):
        ph = 2 * math.pi * f / n
        h = 17 + 3 * math.sin(ph) + 2.5 * (jit[f] - 0.5)
        lean = 2.2 * math.sin(ph * 2 + 0.7) + 0.8 * (jit[(f + 3) % n] - 0.5)
        cy0 = fh - 6
        v = (cy0 - yy) / h                       # 0 at the wick .. 1 at the tip
        xc = fw / 2 + lean * np.clip(v, 0, 1) ** 1.5
        half = 4.2 * np.clip(np.sin(np.clip(v, 0, 1) * math.pi), 0, 1) ** 0.7 * (1 - 0.4 * np.clip(v, 0, 1))
        d = np.abs(xx - xc) - half
        body = np.clip(0.5 - d, 0, 1) * (v > -0.05) * (v < 1)
        core = np.clip(1 - np.hypot((xx - xc) / 1.8, (v - 0.28) * h / 4.5), 0, 1)
        blue = np.clip(1 - np.hypot((xx - fw / 2) / 2.5, (yy - cy0) / 2.5), 0, 1)
        rgb = col("#ffb648") * (1 - core[..., None]) + col("#fffbe8") * core[..., None]
        rgb = rgb * (1 - blue[..., None] * 0.6) + col("#5a6aa0") * blue[..., None] * 0.6
        halo = kit.radial(fh, fw, fw / 2 + lean * 0.5, cy0 - h * 0.45, 12, 2) * (0.4 + 0.08 * math.sin(ph * 3))
        alpha = np.clip(body + halo * (1 - body), 0, 1)
        rgb = (rgb * body[..., None] + col("#ffcf70") * (halo * (1 - body))[..., None]) / np.maximum(alpha, 1e-4)[..., None]
        frames.append(np.dstack([np.clip(rgb, 0, 1), alpha]).astype(np.float32))
    return frames


def firelight_frames(seed, n=12):
    """The warm glow the fire throws on the room, breathing unevenly (drawn additively, at a sixth of the
    size and scaled up). An animation rather than a fading sprite, so a saved game holds no passing state."""
    w, h = 128, 96
    rng = np.random.default_rng(seed)
    level = 0.75 + 0.5 * rng.random(n)
    frames = []
    for f in range(n):
        dx = (rng.random() - 0.5) * 4
        g = kit.radial(h, w, w / 2 + dx, h * 0.72, w * 0.55, 1.8) * level[f] * 0.14
        img = np.zeros((h, w, 4), np.float32)
        img[..., :3] = col("#ffa048")
        img[..., 3] = g
        frames.append(img)
    return frames


def save_animations(room):
    folder = room.folder.split("assets/", 1)[1]
    frames = fire_frames(SEED + 50)
    fw, fh = FIRE_FRAME
    kit.save_anim(folder + "/fire", frames, frametime=80, cols=5)
    room.rows.append(("library_fire", room.res("fire"), FIRE_POS[0], FIRE_POS[1], fw, fh, 3))
    cf = candle_frames(SEED + 51)
    order = list(range(len(cf)))
    # two loops at different paces, so neighbouring candles do not flicker in step
    kit.save_anim(folder + "/candle", cf, cols=6, functions=[
        ("DoAnim", 90, True, order), ("Other", 110, True, order[5:] + order[:5])])
    for k, (x, y) in enumerate(CANDLES):
        # the wick sits 14 pixels below the frame's centre
        room.rows.append(("library_candle_%d" % (k + 1), room.res("candle"), x, y - 14, 24, 40, 4))
    kit.save_anim(folder + "/firelight", firelight_frames(SEED + 52), frametime=110, cols=4)
    room.rows.append(("library_firelight", room.res("firelight"), FIRE[0], 384, 128, 96, 5))


def build():
    room = Room("library")
    cv = kit.backdrop("night")
    shell(cv, SEED)
    wall_paintings(cv, SEED + 1)
    rug(cv, SEED + 2)
    bc = Layer(kit.W, kit.H)
    bookcase(bc, 196, 398, 58, 530, SEED + 3)
    right_bc = bookcase(bc, 626, 828, 58, 530, SEED + 4)
    # a library ladder leaning on the right bookcase
    lad = Layer(kit.W, kit.H)
    for x0 in (740, 780):
        props.solid(kit.line([(x0, 70), (x0 + 40, 540)], 6), "#7a4e2c", L, 2, lay=lad,
                    tex=kit.wood(kit.H, kit.W, SEED + 12, "#7a4e2c", angle=1.48))
    for k in range(10):
        y = 110 + k * 44
        xa = 740 + (y - 70) / 470 * 40
        props.solid(kit.line([(xa, y), (xa + 40, y)], 4), "#6a452a", L, 1.5, lay=lad)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(bc.a, 0, 0), 0, 8, 8, 0.5))
    kit.over_layer(cv, bc)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(lad.a, 0, 0), 6, 6, 4, 0.5))
    kit.over_layer(cv, lad)
    fp = fireplace(cv, SEED + 5)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(fp.a, 0, 0), 0, 6, 6, 0.4))
    kit.over_layer(cv, fp)
    # Ysolde's portrait over the mantel, with the clock behind her at two minutes to midnight
    px, py, pw, ph = PORTRAIT
    pl = portrait.framed(SEED + 6, pw, ph, scene="clock", light=L)
    pl.x0, pl.y0 = px - pw // 2, py - ph // 2
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(pl.a, pl.x0, pl.y0), 0, 10, 8, 0.6))
    ch, chm = chair(SEED + 7)
    dk, dkm = desk(SEED + 8)
    gl = floor_globe(SEED + 9)
    fc = floor_clutter(SEED + 10)

    def light(c):
        # night in the corners: a cool, dim ground the warm light falls into
        c = c * (0.27 + 0.1 * col("slate") / col("slate").max())
        yy, xx = np.mgrid[0:kit.H, 0:kit.W].astype(np.float32)
        # the fire: a warm pool, strongest low and in the middle, reaching into the room
        f = kit.radial(kit.H, kit.W, FIRE[0], FIRE[1], 780, 1.25)
        c *= 1 + f[..., None] * col("amber") * 2.6
        kit.lamp(c, FIRE[0], FIRE[1] - 10, 170, "candle", 0.55, 2.0)
        # the floor before the hearth and the fronts of the furniture catch most of it
        fl = np.clip(1 - np.hypot((xx - FIRE[0]) / 460, (yy - 620) / 190), 0, 1) ** 1.3
        c *= 1 + fl[..., None] * col("amber") * 0.8
        kit.lamp(c, 154, 430, 270, "amber", 1.0, 1.5)
        for x, y in CANDLES:
            kit.lamp(c, x, y - 8, 70, "candle", 0.5, 2.0)
        return c

    full = cv.copy()
    for k, lay in enumerate((gl, ch, dk)):
        model(lay, SEED + 60 + k)
        bb = lay.bbox()
        kit.contact_shadow(full, bb[0], bb[2], bb[3], 10, 0.5, 5)
        kit.over_layer(full, kit.shadow_layer(kit.Mask(lay.a, 0, 0), 8, 6, 8, 0.45))
        kit.over_layer(full, lay)
    kit.over_layer(full, kit.shadow_layer(kit.Mask(fc.a, 0, 0), 3, 3, 3, 0.5))
    kit.over_layer(full, fc)
    full = brushwork(full, SEED + 30)
    full = light(full)
    lit = Layer(pl.w, pl.h, pl.x0, pl.y0)
    lit.rgb = pl.rgb * (0.85 + 0.25 * col("amber"))
    lit.a = pl.a
    kit.over_layer(full, lit)
    kit.bloom(full, 0.72, 14, 0.5)
    protect = np.zeros((kit.H, kit.W), np.float32)
    protect[pl.y0:pl.y0 + pl.h, pl.x0:pl.x0 + pl.w] = pl.a
    full = kit.finish(full, SEED, vignette=0.5, protect=protect)
    room.back(full)
    sm = kit.subtract(right_bc, kit.grow(chm, 2))
    room.hit("library_shelves", "shelves_hit", sm, 1)
    room.obj("library_shelves_glow", "shelves_glow", props.outline_glow(right_bc, "amber", 6, 0.7), 4)
    room.cut(full, dkm, "library_desk", "desk", 2)
    # the portrait is cut out of the finished picture, so it brightens under the pointer
    room.cut(full, kit.Mask(pl.a, pl.x0, pl.y0), "library_portrait", "portrait", 1)
    room.exit_down("library_exit")
    save_animations(room)
    room.write()
    return room


if __name__ == "__main__":
    build()
