"""Hidden-object scene 3: the potting bench in the conservatory, seen from the front at a slant.

A scene of finds some of which lie behind an action: the seed drawer opens, the sacking lifts, the
upturned pot tips over and the seed box's lid opens. Each action object is painted twice (closed and
open); the backdrop holds neither, and the finds behind them are cut from the scene with them open.
"""
import math

import numpy as np

import kit
import props
import things
from kit import Layer, col
from rooms import conservatory
from scene import Room, visible

SEED = 1313
L = (-0.55, -0.75, 0.5)      # the oil lantern on the shelf at the upper left
LANTERN = (92, 150)
T = things.T
_sol = things._sol
TOP = 214                    # back edge of the bench top
FRONT = 508                  # front edge of the bench top; the apron with its drawers below


# ---- garden things ------------------------------------------------------------------------------

def trowel(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    blade = kit.poly([P(0, -9), P(22, -11), P(40, -4), P(44, 0), P(40, 4), P(22, 11), P(0, 9)])
    _sol(lay, blade, "#9aa2aa", L, 3 * s, specular=0.9, shin=10)
    lay.paint(kit.line([P(4, 0), P(38, 0)], 1.2 * s), "#6a7078", 0.6)
    neck = kit.line([P(-8, 0), P(2, 0)], 3 * s)
    _sol(lay, neck, "#7a7e84", L, 1 * s, specular=0.8)
    hd = kit.poly([P(-40, -5), P(-10, -4.5), P(-8, 0), P(-10, 4.5), P(-40, 5), P(-43, 0)])
    _sol(lay, hd, "#b0783e", L, 3 * s, specular=0.3, tex=kit.wood(lay.h, lay.w, seed, "#b0783e", angle=ang, freq=0.3))
    return kit.union(blade, neck, hd)


def fork(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    ms = []
    for v in (-9, -3, 3, 9):
        ms.append(kit.line([P(4, v * 0.6), P(20, v), P(40, v), P(44, v * 1.05)], 2.6 * s))
    ms.append(kit.line([P(2, -6), P(6, -9), P(8, 9), P(2, 6)], 3 * s))
    ms.append(kit.line([P(-8, 0), P(4, 0)], 3.4 * s))
    steel = kit.union(*ms)
    _sol(lay, steel, "#8e969e", L, 1.2 * s, specular=0.9, shin=10)
    hd = kit.poly([P(-38, -5), P(-9, -4.5), P(-7, 0), P(-9, 4.5), P(-38, 5), P(-41, 0)])
    _sol(lay, hd, "#2f5a3e", L, 3 * s, specular=0.4)
    return kit.union(steel, hd)


def secateurs(lay, x, y, s, ang, seed, L):
    """Pruning shears: two curved red-gripped handles, a hooked blade and a spring between them."""
    P = T(x, y, s, ang)
    h1 = kit.line([P(-40, -12), P(-24, -9), P(-6, -4)], 6 * s)
    h2 = kit.line([P(-40, 12), P(-24, 9), P(-6, 4)], 6 * s)
    _sol(lay, kit.union(h1, h2), "#b0302a", L, 2.5 * s, specular=0.5)
    blade = kit.poly([P(-8, -5), P(10, -8), P(26, -6), P(34, -1), P(20, 0), P(-4, 2)])
    hook = kit.poly([P(-8, 5), P(10, 3), P(24, 6), P(30, 12), P(18, 10), P(-4, 8)])
    _sol(lay, kit.union(blade, hook), "#b8bec6", L, 1.5 * s, specular=0.9, shin=10)
    sp = kit.line([P(-28 + 3 * k, (4 if k % 2 else -4)) for k in range(6)], 1.4 * s)
    lay.paint(sp, "#d8dce0")
    pv = kit.ellipse(*P(-4, 0), 3.2 * s, 3.2 * s)
    _sol(lay, pv, "brass", L, 1 * s, specular=0.9)
    return kit.union(h1, h2, blade, hook, pv)


def seed_packet(lay, x, y, s, ang, seed, L, c="#d8a03a", flower="#b02a3a"):
    """A paper seed packet with a printed flower and a title band."""
    P = T(x, y, s, ang)
    m = kit.poly([P(-18, -24), P(18, -24), P(18, 24), P(-18, 24)])
    _sol(lay, m, "#efe4c8", L, 2 * s, amb=0.75)
    lay.paint(kit.poly([P(-15, -21), P(15, -21), P(15, 10), P(-15, 10)]), c, 0.9)
    for k in range(6):
        a = k * math.pi / 3
        lay.paint(kit.ellipse(*P(5 * math.cos(a), -6 + 5 * math.sin(a)), 4.2 * s, 4.2 * s), flower)
    lay.paint(kit.ellipse(*P(0, -6), 3 * s, 3 * s), "#f0d040")
    lay.paint(kit.line([P(0, 0), P(0, 9)], 1.6 * s), "#3e6a2e")
    lay.paint(kit.line([P(-10, 15), P(10, 15)], 1.6 * s), "ink", 0.7)
    lay.paint(kit.line([P(-7, 19), P(7, 19)], 1.2 * s), "ink", 0.5)
    lay.paint(kit.poly([P(-18, -24), P(18, -24), P(15, -28), P(-15, -28)]), "#e0d4b4")
    return kit.union(m, kit.poly([P(-18, -24), P(18, -24), P(15, -28), P(-15, -28)]))


def label(lay, x, y, s, ang, seed, L):
    """A white plant label: a pointed stake with a pencilled name."""
    P = T(x, y, s, ang)
    m = kit.poly([P(-30, -7), P(22, -7), P(34, 0), P(22, 7), P(-30, 7)])
    _sol(lay, m, "#f4f0e6", L, 2 * s, amb=0.75)
    for k, w in enumerate((14, 9, 12)):
        x0 = -24 + k * 16
        lay.paint(kit.line([P(x0, 0), P(x0 + w * 0.4, -2), P(x0 + w * 0.8, 1), P(x0 + w, -1)], 1.3 * s), "#3a3a44", 0.8)
    return m


def twine(lay, x, y, s, ang, seed, L):
    """A ball of garden twine with a loose end."""
    P = T(x, y, s, ang)
    ball = kit.ellipse(*P(0, 0), 20 * s, 18 * s)
    _sol(lay, ball, "#c8a060", L, 7 * s, amb=0.5)
    rng = np.random.default_rng(seed)
    for k in range(14):
        a = rng.random() * math.pi
        pts = [P(19 * math.cos(t) * math.cos(a) - 6 * math.sin(t) * math.sin(a),
                 17 * math.cos(t) * math.sin(a) + 6 * math.sin(t) * math.cos(a)) for t in np.linspace(-1.4, 1.4, 12)]
        lay.paint(kit.intersect(kit.line(pts, 1.1 * s), ball), "#8a6a34", 0.7)
    end = kit.line([P(16, 8), P(28, 16), P(36, 12), P(46, 20)], 1.8 * s)
    lay.paint(end, "#b89050")
    return kit.union(ball, end)


def snail(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    body = kit.union(kit.poly([P(-26, 10), P(20, 10), P(26, 4), P(24, -2), P(16, 2), P(-22, 4)]),
                     kit.line([P(18, 0), P(24, -14)], 2 * s), kit.line([P(22, 0), P(32, -12)], 2 * s))
    _sol(lay, body, "#a89078", L, 3 * s, amb=0.5, specular=0.5)
    for tx, ty in ((24, -14), (32, -12)):
        lay.paint(kit.ellipse(*P(tx, ty), 2 * s, 2 * s), "#3a2a1a")
    shell = kit.ellipse(*P(-4, -8), 17 * s, 15 * s)
    _sol(lay, shell, "#b06a2e", L, 6 * s, amb=0.5, specular=0.5)
    pts = [P(-4 + r * math.cos(t), -8 + r * 0.9 * math.sin(t)) for t, r in zip(np.linspace(0, 4.5 * math.pi, 60), np.linspace(1, 15, 60))]
    lay.paint(kit.line(pts, 1.8 * s), "#5a3216", 0.9)
    return kit.union(body, shell)


def butterfly(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    wings = []
    for sd in (-1, 1):
        up = kit.poly([P(0, -2), P(sd * 12, -22), P(sd * 26, -20), P(sd * 24, -6), P(sd * 4, 2)])
        lo = kit.poly([P(0, 2), P(sd * 20, 2), P(sd * 18, 16), P(sd * 8, 18), P(sd * 2, 6)])
        wings += [up, lo]
    w = kit.union(*wings)
    _sol(lay, w, "#e07a2a", L, 3 * s, amb=0.6)
    for sd in (-1, 1):
        lay.paint(kit.ellipse(*P(sd * 18, -15), 4 * s, 3 * s), "#1e1410")
        lay.paint(kit.ellipse(*P(sd * 12, 11), 3 * s, 3 * s), "#f4e0a0")
        lay.paint(kit.line([P(sd * 2, -2), P(sd * 13, -22), P(sd * 26, -20)], 1.6 * s), "#2a1a10", 0.9)
    body = kit.union(kit.ellipse(*P(0, 2), 2.4 * s, 12 * s), kit.line([P(0, -9), P(-6, -20)], 1 * s), kit.line([P(0, -9), P(6, -20)], 1 * s))
    lay.paint(body, "#1e1410")
    return kit.union(w, body)


def glove(lay, x, y, s, ang, seed, L):
    """A gardening glove lying flat: leather palm and fingers, a canvas cuff."""
    P = T(x, y, s, ang)
    palm = kit.rrect(*P(-16, -14), *P(16, 16), 7 * s) if ang == 0 else kit.poly(
        [P(-16, -12), P(16, -12), P(17, 14), P(-15, 16)])
    fingers = kit.union(*[kit.line([P(-12 + k * 8, -10), P(-13 + k * 8.5, -34 + abs(k - 1.5) * 5)], 7 * s) for k in range(4)],
                        kit.line([P(15, 6), P(30, -6)], 8 * s))
    m = kit.union(palm, fingers)
    _sol(lay, m, "#8a5a34", L, 4 * s, amb=0.5, tex=kit.tex_noise(lay.h, lay.w, "#96643a", "#6e4424", 3 * s, seed))
    cuff = kit.poly([P(-17, 14), P(17, 12), P(19, 32), P(-16, 34)])
    _sol(lay, cuff, "#d8cfb4", L, 3 * s, amb=0.6)
    lay.paint(kit.line([P(-17, 22), P(18, 20)], 2 * s), "#4a6a8a", 0.8)
    return kit.union(m, cuff)


def lemon(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    m = kit.union(kit.ellipse(*P(0, 0), 18 * s, 13 * s), kit.ellipse(*P(19, 0), 3 * s, 3 * s), kit.ellipse(*P(-19, 0), 2.5 * s, 2.5 * s))
    _sol(lay, m, "#f2cc2a", L, 6 * s, amb=0.5, specular=0.6)
    leaf = kit.poly([P(-18, -2), P(-28, -14), P(-40, -16), P(-30, -6)])
    _sol(lay, leaf, "#3e7a34", L, 2 * s, amb=0.55)
    return kit.union(m, leaf)


def pinecone(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    body = kit.poly([P(12 * math.cos(t), 22 * math.sin(t)) for t in np.linspace(0, 2 * math.pi, 32)])
    _sol(lay, body, "#6a4222", L, 4 * s, amb=0.45)
    for j in range(7):
        v = -18 + j * 6
        w = 11 * math.sqrt(max(0.05, 1 - (v / 22) ** 2))
        for k in range(3):
            u = -w + (k + 0.5 + (j % 2) * 0.5) * (2 * w / 3.2)
            sc = kit.poly([P(u - 3, v), P(u + 3, v), P(u, v + 5)])
            _sol(lay, kit.intersect(sc, body), "#a8743e", L, 1.2 * s, amb=0.5)
    stem = kit.line([P(0, -22), P(1, -28)], 2.5 * s)
    _sol(lay, stem, "#4a2e16", L, 1 * s)
    return kit.union(body, stem)


def magnifier(lay, x, y, s, ang, seed, L):
    """A reading glass: a brass rim round a pale lens, a turned wooden handle."""
    P = T(x, y, s, ang)
    lens = kit.poly([P(16 * math.cos(t), 16 * math.sin(t)) for t in np.linspace(0, 2 * math.pi, 32)])
    lay.paint(lens, "#b8d0d8", 0.55)
    lay.paint(kit.line([P(-8, -8), P(-2, -12)], 2.4 * s), "#ffffff", 0.7)
    rim = kit.subtract(kit.poly([P(19 * math.cos(t), 19 * math.sin(t)) for t in np.linspace(0, 2 * math.pi, 32)]), lens)
    _sol(lay, rim, "brass", L, 2 * s, specular=0.9)
    neck = kit.line([P(19, 0), P(26, 0)], 5 * s)
    _sol(lay, neck, "brass", L, 1.5 * s, specular=0.9)
    hd = kit.poly([P(26, -4), P(52, -5), P(56, 0), P(52, 5), P(26, 4)])
    _sol(lay, hd, "#5a3018", L, 3 * s, specular=0.4)
    return kit.union(lens, rim, neck, hd)


def frog(lay, x, y, s, ang, seed, L):
    """A little glazed frog (a garden ornament), sitting."""
    P = T(x, y, s, ang)
    body = kit.union(kit.ellipse(*P(0, 4), 20 * s, 13 * s), kit.ellipse(*P(0, -8), 14 * s, 10 * s))
    legs = kit.union(kit.ellipse(*P(-17, 10), 9 * s, 6 * s), kit.ellipse(*P(17, 10), 9 * s, 6 * s),
                     kit.ellipse(*P(-24, 15), 7 * s, 3 * s), kit.ellipse(*P(24, 15), 7 * s, 3 * s))
    m = kit.union(body, legs)
    _sol(lay, m, "#4e9a3a", L, 5 * s, amb=0.5, specular=0.8, shin=16)
    eyes = kit.union(kit.ellipse(*P(-8, -16), 5 * s, 5 * s), kit.ellipse(*P(8, -16), 5 * s, 5 * s))
    _sol(lay, eyes, "#6ab04a", L, 2 * s, amb=0.5, specular=0.8)
    for sd in (-1, 1):
        lay.paint(kit.ellipse(*P(sd * 8, -16), 2.4 * s, 2.6 * s), "#1a1a10")
        lay.paint(kit.ellipse(*P(sd * 8 - 0.8, -17), 0.8 * s, 0.8 * s), "#f0f0e0")
    lay.paint(kit.line([P(-8, -4), P(0, -2), P(8, -4)], 1.2 * s), "#1e3a14", 0.8)
    lay.paint(kit.ellipse(*P(0, 6), 10 * s, 6 * s), "#c8d890", 0.5)
    return kit.union(m, eyes)


def bulb(lay, x, y, s, ang, seed, L):
    """A tulip bulb: papery brown skin, a pale tip, roots at its base."""
    P = T(x, y, s, ang)
    body = kit.poly([P(-15, 6)] + [P(15 * math.cos(t), 6 - 14 * math.sin(t)) for t in np.linspace(math.pi, 0, 12)][1:] +
                    [P(15, 6), P(10, 14), P(-10, 14)])
    tip = kit.poly([P(-8, -4), P(8, -4), P(1, -24), P(-1, -24)])
    m = kit.union(body, tip)
    _sol(lay, m, "#c08a54", L, 5 * s, amb=0.5, tex=kit.tex_noise(lay.h, lay.w, "#c89460", "#8a5a30", 2 * s, seed))
    lay.paint(kit.intersect(tip, kit.rect(*P(-8, -24), *P(8, -12))), "#e8dcc0", 0.6)
    for k in range(7):
        u = -8 + k * 2.6
        lay.paint(kit.line([P(u, 13), P(u * 1.4, 19 + (k % 3) * 2)], 1 * s), "#e0d0b0", 0.9)
    return kit.union(m, kit.rect(*P(-12, 12), *P(12, 20)))


def mushroom(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    stem = kit.poly([P(-5, 0), P(5, 0), P(7, 18), P(-7, 18)])
    _sol(lay, stem, "#efe6d2", L, 3 * s, amb=0.6)
    cap = kit.poly([P(-20, 2)] + [P(20 * math.cos(t), 2 - 16 * math.sin(t)) for t in np.linspace(math.pi, 0, 16)][1:])
    _sol(lay, cap, "#c0302a", L, 6 * s, amb=0.5, specular=0.5)
    for (u, v, r) in ((-10, -4, 2.8), (2, -10, 3.2), (12, -3, 2.4), (-3, -2, 2)):
        lay.paint(kit.ellipse(*P(u, v), r * s, r * 0.8 * s), "#f4ecdc")
    return kit.union(stem, cap)


def boxkey(lay, x, y, s, ang, seed, L):
    """The puzzle box's winding key: a brass butterfly bow on a square-socket barrel."""
    P = T(x, y, s, ang)
    wings = kit.union(
        kit.poly([P(-2, -6), P(-26, -22), P(-32, -8), P(-26, 8), P(-2, 6)]),
        kit.poly([P(2, -6), P(26, -22), P(32, -8), P(26, 8), P(2, 6)]))
    holes = kit.union(kit.ellipse(*P(-20, -6), 5 * s, 6 * s), kit.ellipse(*P(20, -6), 5 * s, 6 * s))
    bow = kit.subtract(wings, holes)
    _sol(lay, bow, "brass", L, 3 * s, specular=0.9, tex=props.brass_tex(lay.h, lay.w, seed))
    barrel = kit.poly([P(-5, 4), P(5, 4), P(5, 40), P(-5, 40)])
    _sol(lay, barrel, "brass", L, 2.5 * s, specular=0.9)
    collar = kit.rrect(*P(-9, 2), *P(9, 10), 2 * s)
    _sol(lay, collar, "#b08a3a", L, 2 * s, specular=0.9)
    lay.paint(kit.rect(*P(-2.5, 34), *P(2.5, 40)), "#3a2a10")
    return kit.union(bow, barrel, collar)


# ---- the room ------------------------------------------------------------------------------------

def tpot(lay, x, y, w, h, seed, c="#b0603a"):
    return conservatory.pot(lay, x, y, w, h, seed, L, c)


def backdrop(seed):
    """Glass wall and snow behind, a plank shelf, the bench top of boards and soil, its apron."""
    view = conservatory.outside(seed)
    cv = view.copy()
    lay = Layer(kit.W, kit.H)
    # iron glazing bars and frost on the panes
    fr = kit.noise(kit.H, kit.W, 4, seed + 1, 3)
    yy, xx = np.mgrid[0:kit.H, 0:kit.W].astype(np.float32)
    frost = np.clip((yy - 80) / 110 + (fr - 0.5) * 0.9, 0, 1) * (yy < 200)
    cv[:] = cv * (1 - frost[..., None] * 0.55) + frost[..., None] * col("frost") * 0.55
    for x in range(0, kit.W + 1, 170):
        props.solid(kit.rect(x - 5, 0, x + 5, 200), "#22282e", L, 2, specular=0.4, lay=lay)
    props.solid(kit.rect(0, 60, kit.W, 68), "#22282e", L, 2, specular=0.4, lay=lay)
    # the brick kneewall under the glass
    wall = kit.rect(0, 178, kit.W, 230)
    kit.brick_courses(lay, wall, seed + 2, 44, 16, "#8a4a34", "#6a3424", "#3a2620")
    # a plank shelf along the wall
    props.solid(kit.rect(0, 170, kit.W, 184), "#6a452a", L, 3, lay=lay, tex=kit.wood(kit.H, kit.W, seed + 3, "#7a5032", angle=0))
    # the bench top: scrubbed boards, soil spilt over them
    top = kit.rect(0, TOP, kit.W, FRONT)
    boards = kit.wood(kit.H, kit.W, seed + 4, "#86684a", "#5a4430", angle=0.02, freq=0.06)
    boards *= (0.85 + 0.3 * kit.noise(kit.H, kit.W, 60, seed + 10, 3))[..., None]
    for k in range(1, 7):
        y = TOP + k * (FRONT - TOP) / 7
        boards[int(y) - 1:int(y) + 1] *= 0.55
    lay.paint(top, boards)
    # spilt soil: thin drifts and crumbs, thickest round the soil heap in the middle
    drift = kit.noise(kit.H, kit.W, 14, seed + 5, 4) + 0.35 * kit.radial(kit.H, kit.W, 470, 420, 260, 1.2)
    soil = kit.blur(np.clip((drift - 0.62) * 4, 0, 1), 1.5) * (yy > TOP + 6) * (yy < FRONT - 4)
    crumbs = kit.motes(kit.H, kit.W, seed + 9, 2600, size=1.1, bright=(0.6, 1.0)) * (yy > TOP + 6) * (yy < FRONT - 4)
    lay.paint(kit.Mask(np.clip(soil * 0.8 + crumbs * 0.9, 0, 1), 0, 0),
              kit.tex_noise(kit.H, kit.W, "#4a3422", "#2a1c12", 2, seed + 6))
    props.solid(kit.rect(0, FRONT - 4, kit.W, FRONT + 8), "#7a5434", L, 3, lay=lay)
    # the apron with two seed drawers (the left one is a sprite), and the legs below
    apron = kit.rect(0, FRONT + 8, kit.W, kit.H)
    lay.paint(apron, kit.wood(kit.H, kit.W, seed + 7, "#6a452a", "#4a2f1b", angle=0, freq=0.08))
    lay.paint(kit.rect(0, 600, kit.W, kit.H), "#1e140c", 0.7)
    x0 = 640
    props.solid(kit.rect(x0, 520, x0 + 220, 590), "#7a5032", L, 4, amb=0.55, lay=lay,
                tex=kit.wood(kit.H, kit.W, seed + 8, "#7a5032", angle=0))
    props.solid(kit.rrect(x0 + 90, 545, x0 + 130, 562, 6), "brass", L, 2, specular=0.9, lay=lay)
    lay.paint(kit.rect(x0 + 80, 528, x0 + 140, 540), "parchment", 0.8)
    lay.paint(kit.line([(x0 + 86, 534), (x0 + 130, 534)], 1.2), "ink", 0.6)
    kit.over_layer(cv, lay)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(np.ones((14, kit.W), np.float32), 0, FRONT + 6), 0, 4, 5, 0.5))
    return cv


def hanging(cv, seed):
    """Bunches of drying herbs and lavender from the glazing bar, a lemon branch at the right."""
    lay = Layer(kit.W, kit.H)
    rng = np.random.default_rng(seed)
    for k, x in enumerate((250, 420, 560, 760)):
        y = 70 + rng.random() * 20
        lay.paint(kit.line([(x, 64), (x, y)], 1.2), "#c8a060")
        c = ("#8a6ab0", "#6a8a4a", "#8a6ab0", "#7a9a5a")[k]
        for j in range(16):
            a = math.pi / 2 + (rng.random() - 0.5) * 0.7
            ln = 40 + rng.random() * 30
            lay.paint(kit.line([(x, y), (x + math.cos(a) * ln, y + math.sin(a) * ln)], 1.4), "#5a6a3a")
            lay.paint(kit.ellipse(x + math.cos(a) * ln, y + math.sin(a) * ln, 2.6, 6), kit.shade_of(c, 0.8 + 0.4 * rng.random()))
        props.solid(kit.rect(x - 4, y - 2, x + 4, y + 6), "#b08a5a", L, 1, lay=lay)
    # the lemon tree reaching in at the top right
    props.solid(kit.line([(1024, 30), (960, 60), (900, 74)], 5), "#5a3a22", L, 2, lay=lay)
    props.foliage(lay, 950, 70, 80, 36, seed + 1, "#3e6a3c", L, n=220, leaf=(4, 8))
    for (x, y) in ((930, 96), (985, 88)):
        props.solid(kit.ellipse(x, y, 9, 7), "#e8c040", L, 3, specular=0.5, lay=lay)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(lay.a, 0, 0), 3, 5, 4, 0.35))
    kit.over_layer(cv, lay)


def shelf_things(cv, seed):
    """The shelf: the lantern, seed jars, little pots, a cactus, a bell jar, a stack of trays."""
    lay = Layer(kit.W, kit.H)
    import curios
    lx, ly = LANTERN
    props.solid(kit.rrect(lx - 22, ly + 6, lx + 22, ly + 22, 3), "#2a2a2a", L, 2, specular=0.6, lay=lay)
    lay.paint(kit.rrect(lx - 18, ly - 36, lx + 18, ly + 6, 4), "#fff0cc", 0.35)
    for dx in (-18, 18):
        props.solid(kit.rect(lx + dx - 2, ly - 38, lx + dx + 2, ly + 8), "#2a2a2a", L, 1, lay=lay)
    props.solid(kit.poly([(lx - 22, ly - 36), (lx + 22, ly - 36), (lx, ly - 54)]), "#2a2a2a", L, 2, specular=0.5, lay=lay)
    lay.paint(kit.subtract(kit.ellipse(lx, ly - 60, 7, 7), kit.ellipse(lx, ly - 60, 4, 4)), "#2a2a2a")
    props.flame(lay, lx, ly - 8, 26)
    for k, x in enumerate((150, 180, 860, 890, 918)):
        curios.jar(lay, x, 172, 0.9, seed + k, L)
    for k, x in enumerate((240, 290, 470, 520)):
        tpot(lay, x, 172, 30, 24, seed + 10 + k)
        props.foliage(lay, x, 140, 16, 12, seed + 20 + k, "#4f7a48", L, n=26, leaf=(3, 6))
    # a cactus and a flowering geranium
    tpot(lay, 360, 172, 34, 26, seed + 30)
    props.solid(kit.union(kit.ellipse(360, 128, 11, 22), kit.ellipse(374, 120, 5, 10)), "#4a7a40", L, 4, lay=lay)
    tpot(lay, 660, 172, 44, 30, seed + 31)
    props.foliage(lay, 660, 126, 30, 20, seed + 32, "#3e6a34", L, n=60, leaf=(4, 7))
    for k in range(6):
        a = k * 1.1
        lay.paint(kit.ellipse(652 + 18 * math.cos(a), 116 + 8 * math.sin(a), 5, 5), "#d03a4a")
    # a glass bell jar over a seedling
    props.foliage(lay, 760, 160, 10, 8, seed + 33, "#5a8a48", L, n=14, leaf=(3, 5))
    jar = kit.union(kit.rect(734, 126, 786, 172), kit.ellipse(760, 126, 26, 20))
    lay.paint(jar, "#cfe0e8", 0.18)
    lay.paint(kit.line([(742, 168), (742, 124), (752, 112)], 2.5), "#ffffff", 0.45)
    props.solid(kit.ellipse(760, 104, 5, 4), "#cfe0e8", L, 1, lay=lay)
    # stacked seed trays
    for k in range(3):
        props.solid(kit.rect(560 + k * 2, 150 + k * 8, 630 - k * 2, 158 + k * 8), "#8a6238", L, 2, lay=lay)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(lay.a, 0, 0), 3, 4, 3, 0.4))
    kit.over_layer(cv, lay)


def bench_clutter(cv, seed):
    """What stands on the bench: seedling trays, pots, the watering can, a sack, a sieve, a trug."""
    rng = np.random.default_rng(seed)
    lay = Layer(kit.W, kit.H)
    # a sack of potting soil slumped against the right end
    sack = kit.poly([(900, 250), (990, 236), (1024, 250), (1024, 470), (930, 480), (880, 420), (890, 320)])
    yy, xx = np.mgrid[0:kit.H, 0:kit.W].astype(np.float32)
    weave = (0.88 + 0.12 * np.sin(xx * 1.9) * np.sin(yy * 1.9))[..., None]
    folds = (0.8 + 0.35 * kit.noise(kit.H, kit.W, 40, seed + 1, 2))[..., None]
    props.solid(sack, "#b8a070", L, 16, amb=0.5, lay=lay,
                tex=kit.tex_noise(kit.H, kit.W, "#c0a878", "#8a7448", 2, seed) * weave * folds)
    lay.paint(kit.text_patch(962, 318, "SEED", 22, "Bold"), "#5a2a1e", 0.55)
    lay.paint(kit.text_patch(962, 338, "& SOIL", 14, "Bold"), "#5a2a1e", 0.5)
    lay.paint(kit.poly([(900, 250), (990, 236), (975, 270), (915, 272)]), "#2e2014", 0.9)
    lay.paint(kit.line([(920, 360), (1000, 350)], 3), "#6a3a2a", 0.7)
    lay.paint(kit.line([(925, 380), (990, 372)], 3), "#6a3a2a", 0.7)
    # a pile of old newspapers for wrapping cuttings, under the notebook
    for k in range(3):
        m = kit.poly([(30 + k * 4, 420 - k * 5), (150 + k * 3, 410 - k * 6), (156 + k * 3, 488 - k * 5), (36 + k * 4, 496 - k * 5)])
        props.solid(m, kit.mix("parchment", "parchment_shade", 0.3 + 0.2 * k), L, 3, amb=0.7, lay=lay)
        for j in range(5):
            lay.paint(kit.line([(44 + k * 4, 430 + j * 12 - k * 5), (140 + k * 3, 422 + j * 12 - k * 5)], 1), "ink", 0.25)
    # a tray of cuttings in little pots between the trays and the heap
    for k in range(4):
        tpot(lay, 560 + k * 22, 380 - (k % 2) * 4, 18, 16, seed + 90 + k)
        props.foliage(lay, 560 + k * 22, 356, 9, 8, seed + 95 + k, "#5a8a48", L, n=10, leaf=(2, 5))
    # the watering can on the left
    wc = kit.union(kit.rrect(24, 250, 120, 330, 14), kit.ellipse(72, 250, 48, 10))
    props.solid(wc, "#5a7a6a", L, 8, specular=0.6, lay=lay)
    spout = kit.line([(118, 318), (170, 262), (180, 250)], 9)
    props.solid(spout, "#5a7a6a", L, 3, specular=0.6, lay=lay)
    props.solid(kit.ellipse(184, 246, 10, 7), "#4a6a5a", L, 2, specular=0.6, lay=lay)
    handle = kit.subtract(kit.ellipse(60, 246, 38, 34), kit.ellipse(60, 246, 31, 27))
    props.solid(kit.intersect(handle, kit.rect(0, 200, 200, 248)), "#4a6a5a", L, 3, specular=0.6, lay=lay)
    # seedling trays in the middle with labels standing in them
    for k, (x0, y0) in enumerate(((430, 232), (560, 238))):
        tray = kit.rect(x0, y0, x0 + 120, y0 + 56)
        props.solid(tray, "#8a6238", L, 4, lay=lay, tex=kit.wood(kit.H, kit.W, seed + k, "#8a6238", angle=0))
        lay.paint(kit.rect(x0 + 4, y0 + 4, x0 + 116, y0 + 30), "#2e2014")
        for j in range(5):
            props.foliage(lay, x0 + 14 + j * 23, y0 + 12, 9, 7, seed + 40 + k * 5 + j, "#5a9a4a", L, n=14, leaf=(2, 5))
        lay.paint(kit.poly([(x0 + 100, y0 + 2), (x0 + 106, y0 + 2), (x0 + 106, y0 + 24), (x0 + 103, y0 + 28), (x0 + 100, y0 + 24)]), "#f4f0e6")
    # a stack of pots and single ones
    for k in range(4):
        tpot(lay, 300 + k * 3, 300 - k * 14, 58 - k * 2, 26, seed + 50 + k)
    tpot(lay, 236, 330, 46, 40, seed + 55)
    props.foliage(lay, 236, 276, 26, 20, seed + 56, "#4f7a48", L, n=60, leaf=(4, 8))
    tpot(lay, 820, 300, 60, 50, seed + 57, "#a0502e")
    props.foliage(lay, 820, 232, 40, 30, seed + 58, "#3e6a34", L, n=90, leaf=(4, 8))
    for k in range(5):
        a = k * 1.3
        lay.paint(kit.ellipse(806 + 26 * math.cos(a), 222 + 12 * math.sin(a), 6, 6), "#e8e0f0")
    # a riddle (soil sieve): a wooden ring, a wire mesh
    props.solid(kit.subtract(kit.ellipse(690, 420, 66, 26), kit.ellipse(690, 418, 58, 20)), "#9a7048", L, 4, lay=lay)
    mesh = kit.ellipse(690, 418, 58, 20)
    lay.paint(mesh, "#3a2a1c", 0.8)
    xx, yy = lay.grid()
    grid = ((np.mod(xx, 6) < 1) | (np.mod(yy, 5) < 1)).astype(np.float32)
    lay.paint(kit.Mask(grid * lay.local(mesh), 0, 0), "#9a9ea4", 0.7)
    # a heap of soil with a dibber in it
    heap = kit.ellipse(470, 420, 80, 26)
    props.solid(heap, "#3e2a1c", L, 14, amb=0.4, lay=lay, tex=kit.tex_noise(kit.H, kit.W, "#4a3422", "#22160e", 2, seed + 60))
    props.solid(kit.line([(500, 420), (540, 360)], 7), "#c8a070", L, 2, lay=lay)
    props.solid(kit.ellipse(542, 356, 6, 6), "#c8a070", L, 2, lay=lay)
    # a trug basket at the front right
    trug = kit.poly([(760, 470), (900, 470), (880, 500), (780, 500)])
    props.solid(trug, "#b08a5a", L, 5, lay=lay, tex=kit.wood(kit.H, kit.W, seed + 61, "#b08a5a", angle=0, freq=0.2))
    props.solid(kit.subtract(kit.ellipse(830, 470, 62, 40), kit.ellipse(830, 470, 56, 34)) if False else
                kit.intersect(kit.subtract(kit.ellipse(830, 470, 62, 44), kit.ellipse(830, 470, 56, 38)), kit.rect(700, 400, 960, 470)),
                "#8a6a3a", L, 2, lay=lay)
    for k in range(4):
        props.solid(kit.ellipse(790 + k * 26, 464, 12, 8), ("#d8c8a0", "#c85a3a", "#d8c8a0", "#e8d070")[k], L, 3, lay=lay)
    # an old garden notebook and a pencil
    things.book_flat(lay, 150, 450, 1.1, -0.15, seed + 62, L, c="#3e5a3c")
    props.solid(kit.line([(190, 470), (250, 480)], 4), "#d8a03a", L, 1, lay=lay)
    # a hand brush, a box of matches, pebbles, broken shards, leaves
    props.solid(kit.rrect(330, 470, 400, 486, 6), "#6a4222", L, 3, lay=lay)
    for k in range(14):
        lay.paint(kit.line([(334 + k * 5, 486), (333 + k * 5, 500)], 1.4), "#2a1e14")
    props.solid(kit.rect(260, 396, 300, 418), "#c8b080", L, 2, lay=lay)
    lay.paint(kit.rect(262, 400, 298, 410), "#a03a2a", 0.8)
    for k in range(20):
        x, y = 120 + rng.random() * 780, TOP + 90 + rng.random() * 190
        if k % 2:
            props.solid(kit.ellipse(x, y, 4 + rng.random() * 4, 3 + rng.random() * 2), kit.mix("slate", "parchment", rng.random()), L, 2, lay=lay)
        else:
            a = rng.random() * math.pi
            props.solid(kit.poly([(x, y), (x + 14 * math.cos(a), y + 8 * math.sin(a)), (x + 6, y + 10)]), "#a0502e", L, 2, lay=lay)
    for k in range(26):
        x, y = 60 + rng.random() * 900, TOP + 40 + rng.random() * 250
        a = rng.random() * math.pi
        lay.paint(kit.poly([(x, y), (x + 8 * math.cos(a + 0.5), y + 8 * math.sin(a + 0.5)), (x + 16 * math.cos(a), y + 16 * math.sin(a)),
                            (x + 8 * math.cos(a - 0.5), y + 8 * math.sin(a - 0.5))]), kit.mix("moss", "amber", rng.random() * 0.6), 0.9)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(lay.a, 0, 0), 4, 6, 4, 0.45))
    kit.over_layer(cv, lay)
    more_clutter(cv, seed + 70)


def more_clutter(cv, seed):
    """A second heap of things: bulbs in a bowl, a tin of seed packets, lemons by the trug, a string of
    onions, a jug, buttons, a bundle of canes, a tin bucket, spare clock wheels and a cracked saucer."""
    rng = np.random.default_rng(seed)
    lay = Layer(kit.W, kit.H)
    # a tin bucket of canes at the back right of the watering can
    props.solid(kit.poly([(176, 300), (226, 300), (220, 250), (182, 250)]), "#8a9098", L, 5, specular=0.7, lay=lay)
    lay.paint(kit.ellipse(201, 250, 20, 5), "#3a3a3a")
    for k in range(7):
        x = 186 + k * 5
        props.solid(kit.line([(x, 252), (x - 14 + k * 4, 120 + k * 6)], 3), "#c8a868", L, 1, lay=lay)
    # a tin of seed packets standing on end
    props.solid(kit.rect(660, 350, 700, 392), "#3e6a8a", L, 4, specular=0.5, lay=lay)
    for k, c in enumerate(("#c05a3a", "#e0b040", "#6a9a4a", "#a04a8a")):
        seed_packet(lay, 664 + k * 10, 340 - (k % 2) * 6, 0.55, -0.3 + k * 0.2, seed + k, L, c=c, flower="#f0e0a0")
    props.solid(kit.rect(660, 362, 700, 392), "#3e6a8a", L, 4, specular=0.5, lay=lay)
    lay.paint(kit.rect(664, 370, 696, 382), "parchment", 0.8)
    # lemons by the trug, the colour of the one that is asked for
    for (x, y, a) in ((930, 500, 0.4), (1010, 500, -0.2)):
        props.solid(kit.ellipse(x, y, 15, 11), "#e8c030", L, 5, specular=0.5, lay=lay)
    # onions and bulbs in a shallow bowl
    bowl = kit.intersect(kit.ellipse(300, 484, 48, 20), kit.rect(240, 484, 360, 506))
    for k in range(6):
        x, y = 268 + (k % 3) * 22 + (k // 3) * 10, 478 - (k // 3) * 10
        props.solid(kit.ellipse(x, y, 11, 10), kit.mix("#c08a54", "#a05a2a", rng.random()), L, 4, amb=0.5, lay=lay)
        lay.paint(kit.line([(x, y - 9), (x + 1, y - 15)], 1.5), "#d8c8a0")
    props.solid(bowl, "#4a6a8a", L, 5, specular=0.6, lay=lay)
    props.solid(kit.ellipse(300, 484, 48, 6), "#5a7a9a", L, 2, specular=0.6, lay=lay)
    # a cream jug by the teacup's shelf end and a cracked saucer on the bench
    props.solid(kit.union(kit.poly([(948, 172), (976, 172), (980, 136), (944, 136)]), kit.poly([(944, 136), (934, 128), (946, 132)])),
                "#e8e0cc", L, 5, specular=0.4, lay=lay)
    props.solid(kit.subtract(kit.ellipse(986, 150, 8, 12), kit.ellipse(986, 150, 4, 8)), "#e8e0cc", L, 2, lay=lay)
    props.solid(kit.ellipse(560, 490, 30, 9), "#e8e6e0", L, 3, specular=0.4, lay=lay)
    lay.paint(kit.line([(540, 488), (556, 492), (566, 486)], 1), "#6a5a4a", 0.8)
    # buttons and a few spare clock wheels (Ysolde brings her work everywhere)
    for k in range(8):
        x, y = 330 + rng.random() * 120, 430 + rng.random() * 60
        props.solid(kit.ellipse(x, y, 4, 4), kit.mix("#c8c0b0", "#6a4a3a", rng.random()), L, 1.5, specular=0.4, lay=lay)
    for k, (x, y, r) in enumerate(((620, 270, 12), (150, 480, 9), (860, 440, 10))):
        things.kit_paste(lay, props.gear(x, y, r, 12, seed + 30 + k, "brass", 4, rng.random(), L))
    # a string of onions hung from the shelf's end and a coil of wire
    for k in range(5):
        props.solid(kit.ellipse(16, 196 + k * 18, 11, 10), "#b07a3a", L, 4, amb=0.5, lay=lay)
    lay.paint(kit.line([(16, 180), (16, 280)], 1.5), "#c8a060")
    for k in range(4):
        lay.paint(kit.subtract(kit.ellipse(140, 220 + 2 * k, 16 - k, 8 - k * 0.5), kit.ellipse(140, 220 + 2 * k, 14 - k, 6.5 - k * 0.5)), "#8a8e94", 0.9)
    # radishes and a carrot by the sieve
    for k in range(3):
        props.solid(kit.ellipse(760 + k * 14, 430 + (k % 2) * 6, 7, 6), "#c0304a", L, 3, specular=0.4, lay=lay)
        lay.paint(kit.line([(760 + k * 14, 424), (752 + k * 16, 410)], 2), "#4a8a3a")
    props.solid(kit.poly([(800, 448), (846, 432), (848, 440)]), "#e07a2a", L, 2, lay=lay)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(lay.a, 0, 0), 3, 5, 3, 0.45))
    kit.over_layer(cv, lay)


def front_bits(seed):
    """Little clutter laid over some finds: leaves, soil clods, a label stake, a strand of twine."""
    rng = np.random.default_rng(seed)
    out = []
    pieces = [("leaf", 408, 256), ("clod", 598, 350), ("leaf", 158, 376), ("twine", 700, 300), ("clod", 286, 452),
             ("leaf", 520, 470), ("leaf", 858, 378), ("clod", 410, 392), ("leaf", 966, 500), ("twine", 120, 300)]
    for i, (kind, x, y) in enumerate(pieces):
        lay = Layer(kit.W, kit.H)
        if kind == "leaf":
            for k in range(3):
                a = rng.random() * math.pi * 2
                xx, yy = x + (rng.random() - 0.5) * 20, y + (rng.random() - 0.5) * 12
                pts = [(xx, yy), (xx + 11 * math.cos(a + 0.5), yy + 11 * math.sin(a + 0.5)), (xx + 22 * math.cos(a), yy + 22 * math.sin(a)),
                       (xx + 11 * math.cos(a - 0.5), yy + 11 * math.sin(a - 0.5))]
                props.solid(kit.poly(pts), kit.mix("moss", "amber", rng.random() * 0.5), L, 2, amb=0.55, lay=lay)
        elif kind == "clod":
            for k in range(5):
                props.solid(kit.ellipse(x + (rng.random() - 0.5) * 26, y + (rng.random() - 0.5) * 10, 6 + rng.random() * 5, 4 + rng.random() * 3),
                            "#3a2818", L, 3, amb=0.45, lay=lay)
        else:
            pts = [(x - 30 + t * 6, y + 6 * math.sin(t * 0.9)) for t in range(11)]
            lay.paint(kit.line(pts, 2), "#c8a060")
        out.append(kit.with_shadow(lay.cropped(2), 2, 3, 2, 0.35))
    # trails of ivy from the pots, lying across the bench and over a few finds
    for k, (pts, n) in enumerate((([(236, 318), (214, 350), (196, 372), (150, 392), (112, 430)], 9),
                                  ([(826, 290), (860, 330), (884, 376), (930, 420), (1000, 430)], 10))):
        lay = Layer(kit.W, kit.H)
        lay.paint(kit.line(pts, 1.6), "#4a5a2a")
        for j in range(n):
            t = (j + 0.5) / n
            i = min(len(pts) - 2, int(t * (len(pts) - 1)))
            f = t * (len(pts) - 1) - i
            px = pts[i][0] + (pts[i + 1][0] - pts[i][0]) * f
            py = pts[i][1] + (pts[i + 1][1] - pts[i][1]) * f
            a = rng.random() * 2 * math.pi
            r = 7 + rng.random() * 3
            leaf = kit.poly([(px, py), (px + r * math.cos(a - 0.8), py + r * math.sin(a - 0.8)),
                             (px + 1.6 * r * math.cos(a), py + 1.6 * r * math.sin(a)), (px + r * math.cos(a + 0.8), py + r * math.sin(a + 0.8))])
            props.solid(leaf, kit.mix("#2e5a2a", "#5a8a3a", rng.random()), L, 2, amb=0.5, specular=0.3, lay=lay)
        out.append(kit.with_shadow(lay.cropped(2), 2, 3, 2, 0.35))
    return out


# The finds in plain sight (camouflaged among the clutter): name, image, painter, x, y, scale, angle
PLAIN = [
    ("ho_potting_trowel", "trowel", trowel, 706, 494, 1.2, 0.1),
    ("ho_potting_fork", "fork", fork, 236, 382, 1.2, -0.5),
    ("ho_potting_secateurs", "secateurs", secateurs, 985, 380, 1.15, 1.9),
    ("ho_potting_packet", "packet", seed_packet, 575, 340, 1.2, 0.25),
    ("ho_potting_label", "label", label, 365, 262, 1.2, -0.2),
    ("ho_potting_twine", "twine", twine, 150, 330, 1.2, 0.0),
    ("ho_potting_butterfly", "butterfly", butterfly, 232, 152, 1.0, 0.2),
    ("ho_potting_glove", "glove", glove, 912, 410, 1.2, 0.5),
    ("ho_potting_lemon", "lemon", lemon, 985, 470, 1.2, -0.3),
    ("ho_potting_pinecone", "pinecone", pinecone, 470, 474, 1.2, 1.3),
    ("ho_potting_feather", "feather", things.quill, 470, 316, 1.2, -0.35),
    ("ho_potting_spectacles", "spectacles", things.spectacles, 700, 210, 1.0, 0.1),
    ("ho_potting_thimble", "thimble", things.thimble, 312, 436, 1.3, 0.3),
    ("ho_potting_teacup", "teacup", things.teacup, 1000, 152, 1.2, 0.0),
    ("ho_potting_bell", "bell", things.bell, 400, 150, 1.1, 0.15),
    ("ho_potting_pipe", "pipe", things.pipe, 640, 306, 1.1, 0.2),
    ("ho_potting_loupe", "loupe", magnifier, 80, 388, 1.1, -0.9),
    ("ho_potting_mushroom", "mushroom", mushroom, 500, 390, 1.1, 0.0),
]

# The actions: object, closed image, open image, and the find each one hides.
ACTIONS = [
    ("drawer", "ho_potting_watch", "watch"),
    ("sack", "ho_potting_frog", "frog"),
    ("pot", "ho_potting_snail", "snail"),
    ("box", "ho_potting_bulb", "bulb"),
]


def action_layer(kind, state, seed):
    """An action object, closed (as found) or open, and its glow."""
    lay = Layer(kit.W, kit.H)
    if kind == "drawer":
        if state == "closed":
            props.solid(kit.rect(150, 520, 370, 590), "#7a5032", L, 4, amb=0.55, lay=lay,
                        tex=kit.wood(kit.H, kit.W, seed, "#7a5032", angle=0))
            props.solid(kit.rrect(240, 545, 280, 562, 6), "brass", L, 2, specular=0.9, lay=lay)
            lay.paint(kit.rect(230, 528, 290, 540), "parchment", 0.8)
            lay.paint(kit.line([(236, 534), (282, 534)], 1.2), "ink", 0.6)
        else:
            # pulled out towards us: the inside with seed packets, the front lower down
            props.solid(kit.poly([(150, 516), (370, 516), (384, 560), (136, 560)]), "#4a2f1b", L, 2, amb=0.5, lay=lay)
            lay.paint(kit.poly([(158, 520), (362, 520), (372, 556), (148, 556)]), "#2a1a10")
            for k, (x, c) in enumerate(((176, "#3a6aa0"), (330, "#c05a3a"), (356, "#d8a03a"))):
                seed_packet(lay, x, 536, 0.6, 0.3 * (k - 1), seed + k, L, c=c, flower="#f0e0a0")
            props.solid(kit.rect(136, 556, 384, 598), "#7a5032", L, 4, amb=0.55, lay=lay,
                        tex=kit.wood(kit.H, kit.W, seed, "#7a5032", angle=0))
            props.solid(kit.rrect(240, 570, 280, 587, 6), "brass", L, 2, specular=0.9, lay=lay)
    elif kind == "sack":
        if state == "closed":
            m = kit.poly([(700, 306), (760, 292), (830, 300), (858, 330), (850, 372), (800, 388), (728, 384), (694, 352)])
            yy, xx = np.mgrid[0:kit.H, 0:kit.W].astype(np.float32)
            weave = (0.86 + 0.14 * np.sin(xx * 2.1) * np.sin(yy * 2.1))[..., None]
            props.solid(m, "#a89060", L, 12, amb=0.5, lay=lay,
                        tex=kit.tex_noise(kit.H, kit.W, "#b09868", "#7a6440", 2, seed) * weave)
            # folds where it slumps over what it covers, a frayed hem, a string round it
            for pts in (((722, 316), (760, 340), (790, 372)), ((800, 304), (812, 336), (834, 360)), ((744, 300), (742, 330), (724, 360))):
                lay.paint(kit.line(list(pts), 4), "#5a4428", 0.45)
            for k in range(14):
                x = 730 + k * 8
                lay.paint(kit.line([(x, 384 - abs(k - 7) * 0.6), (x + 1, 392 - abs(k - 7) * 0.6)], 1), "#8a7448", 0.8)
            lay.paint(kit.line([(700, 338), (760, 352), (852, 340)], 2.2), "#c8a060")
        else:
            # thrown back into a heap against the tray behind
            m = kit.poly([(716, 292), (790, 282), (846, 290), (858, 310), (820, 322), (760, 324), (720, 314)])
            props.solid(m, "#a89060", L, 10, amb=0.5, lay=lay, tex=kit.tex_noise(kit.H, kit.W, "#b09868", "#7a6440", 2, seed))
            lay.paint(kit.line([(730, 306), (790, 300), (840, 306)], 3), "#6a5434", 0.5)
    elif kind == "pot":
        if state == "closed":
            # upturned on the bench: the wide rim down, the drainage hole up
            m = kit.poly([(352, 360), (432, 360), (416, 300), (368, 300)])
            conservatory_pot = kit.tex_noise(kit.H, kit.W, "#b0603a", "#84432a", 5, seed)
            props.solid(m, "#b0603a", L, 8, amb=0.45, lay=lay, tex=conservatory_pot)
            props.solid(kit.rect(346, 346, 438, 364), "#bc6a42", L, 3, amb=0.5, lay=lay)
            lay.paint(kit.ellipse(392, 302, 8, 3), "#2a1a10")
        else:
            # tipped over on its side and rolled away to the left
            m = kit.poly([(300, 338), (346, 316), (350, 366), (306, 360)])
            props.solid(m, "#b0603a", L, 8, amb=0.45, lay=lay, tex=kit.tex_noise(kit.H, kit.W, "#b0603a", "#84432a", 5, seed))
            props.solid(kit.ellipse(348, 341, 10, 26), "#bc6a42", L, 3, amb=0.5, lay=lay)
            lay.paint(kit.ellipse(350, 341, 6, 21), "#2a1a10")
            lay.paint(kit.ellipse(300, 349, 6, 9), "#9a5030")
    else:
        # a little wooden seed box with a hinged lid and a brass hasp
        wood = kit.wood(kit.H, kit.W, seed, "#8a5a32", "#5a3a1e", angle=0, freq=0.12)
        props.solid(kit.rect(540, 436, 640, 480), "#8a5a32", L, 4, amb=0.5, lay=lay, tex=wood)
        lay.paint(kit.rect(556, 448, 624, 468), "parchment", 0.75)
        lay.paint(kit.line([(564, 458), (612, 458)], 1.4), "ink", 0.6)
        if state == "closed":
            props.solid(kit.poly([(536, 436), (644, 436), (634, 418), (546, 418)]), "#9a6a3a", L, 3, amb=0.55, lay=lay, tex=wood)
            props.solid(kit.rect(584, 430, 596, 444), "brass", L, 1.5, specular=0.9, lay=lay)
        else:
            # lid thrown back, the inside dark with seed
            props.solid(kit.poly([(546, 418), (634, 418), (640, 376), (550, 380)]), "#9a6a3a", L, 3, amb=0.55, lay=lay, tex=wood)
            lay.paint(kit.poly([(540, 436), (640, 436), (632, 418), (548, 418)]), "#2a1a10")
            rng = np.random.default_rng(seed)
            for k in range(40):
                lay.paint(kit.ellipse(552 + rng.random() * 76, 422 + rng.random() * 12, 1.6, 1.1), "#c8a878", 0.8)
    return lay


# Where each hidden find lies once its action is done.
HIDDEN_AT = {
    "ho_potting_watch": (things.watch, 262, 528, 0.95, 0.5),
    "ho_potting_frog": (frog, 772, 348, 1.1, 0.0),
    "ho_potting_snail": (snail, 392, 340, 1.0, 0.1),
    "ho_potting_bulb": (bulb, 590, 418, 1.0, 0.3),
}


def light(cv):
    cv = cv * 0.5
    cv *= 0.78 + 0.3 * col("frost")
    lx, ly = LANTERN
    # the lantern's warm pool over the left and middle of the bench, snow-light cold along the glass
    kit.lamp(cv, lx + 260, ly + 230, 900, "amber", 1.05, 1.5)
    kit.lamp(cv, lx, ly - 10, 150, "candle", 1.1, 2.0)
    yy = np.mgrid[0:kit.H, 0:kit.W][0].astype(np.float32)
    cv += (np.clip(1 - yy / 260, 0, 1) ** 2 * 0.12)[..., None] * col("frost")
    pool = kit.radial(kit.H, kit.W, lx + 60, ly + 60, 300, 1.6)
    cv += kit.motes(kit.H, kit.W, SEED + 5, 500, mask=pool, size=0.8)[..., None] * col("candle") * 0.6
    return cv


def finish(cv, protect=None):
    kit.bloom(cv, 0.8, 10, 0.35)
    return kit.finish(cv, SEED, vignette=0.45, stroke_angle=0.3, protect=protect)


def _shadowed(lay, k=0.4):
    return kit.with_shadow(lay.cropped(2), 2.5, 3.5, 2, k)


def build():
    room = Room("potting")
    base = backdrop(SEED)
    hanging(base, SEED + 1)
    shelf_things(base, SEED + 2)
    bench_clutter(base, SEED + 3)
    finds = []
    for i, (name, res, fn, x, y, s, a) in enumerate(PLAIN):
        lay = Layer(kit.W, kit.H)
        fn(lay, x, y, s, a, SEED + 100 + i * 7, L)
        finds.append((name, res, _shadowed(lay)))
    front = front_bits(SEED + 4)
    closed = {k: _shadowed(action_layer(k, "closed", SEED + 200 + i), 0.5) for i, (k, _, _) in enumerate(ACTIONS)}
    opened = {k: _shadowed(action_layer(k, "open", SEED + 200 + i), 0.5) for i, (k, _, _) in enumerate(ACTIONS)}
    hidden = {}
    for i, (kind, name, res) in enumerate(ACTIONS):
        fn, x, y, s, a = HIDDEN_AT[name]
        lay = Layer(kit.W, kit.H)
        fn(lay, x, y, s, a, SEED + 300 + i * 7, L)
        hidden[name] = (res, _shadowed(lay))

    def render(layers, prot_layers=()):
        cv = base.copy()
        for ly in layers:
            kit.over_layer(cv, ly)
        prot = None
        if prot_layers:
            prot = np.zeros((kit.H, kit.W), np.float32)
            for ly in prot_layers:
                kit.paste_max(prot, kit.Mask(np.clip(ly.a * 1.5, 0, 1), ly.x0, ly.y0))
            prot = kit.blur(prot, 1.0) * 0.75
        return finish(light(cv), protect=prot)

    find_layers = [f[2] for f in finds]
    back = render(front)
    full = render(find_layers + front + list(closed.values()), find_layers)
    hid = [h[1] for h in hidden.values()]
    open_full = render(front + list(opened.values()) + hid, hid)
    open_empty = render(front + list(opened.values()))
    room.back(back)
    for name, res, ob in finds:
        vis = visible(ob, front)
        if vis.m.sum() < 0.6 * ob.a.sum():
            print("potting: %s is mostly covered (%.0f %% shows)" % (name, 100 * vis.m.sum() / ob.a.sum()))
        room.cut(full, vis, name, res, 2, thr=0.04)
    for kind, name, res in ACTIONS:
        c, o = closed[kind], opened[kind]
        cm = kit.Mask(c.a, c.x0, c.y0)
        room.cut(full, cm, "potting_%s" % kind, "%s_closed" % kind, 3)
        room.obj("potting_%s_glow" % kind, "%s_glow" % kind, props.outline_glow(cm, "amber", 5, 0.7), 5)
        room.cut(open_empty, kit.Mask(o.a, o.x0, o.y0), "potting_%s_open" % kind, "%s_open" % kind, 3)
        hres, hl = hidden[name]
        room.cut(open_full, visible(hl, []), name, hres, 4, thr=0.04)
    # the reward shown in the dialog: the puzzle box's winding key, and its inventory icon
    rk = Layer(kit.W, kit.H)
    boxkey(rk, 512, 300, 2.0, 0.0, SEED, L)
    room.obj("potting_boxkey", "boxkey", kit.with_shadow(rk.cropped(2), 3, 4, 3, 0.0), 6)
    icon = Layer(112, 112, 0, 0)
    boxkey(icon, 56, 50, 1.35, -0.6, 7, L)
    out = kit.with_shadow(icon, 2, 3, 2, 0.45)
    frame = Layer(112, 112, 0, 0)
    ys, xs = -out.y0, -out.x0
    frame.rgb[:] = out.rgb[ys:ys + 112, xs:xs + 112]
    frame.a[:] = out.a[ys:ys + 112, xs:xs + 112]
    Room("items").obj("inv_boxkey", "boxkey", frame, 1, crop=False, record=False)
    room.write()
    return room


if __name__ == "__main__":
    build()
