"""Trinkets of Ysolde's bookshelves: more things to find there and more clutter to hide them in.

Findable things draw like those of things.py: painter(lay, x, y, s, ang, seed, L) centred on (x, y),
returning the thing's mask. Clutter draws like curios.py: curio(lay, x, ybase, s, seed, L) standing
on a shelf line with x its left edge, returning the width it used. Every finable thing keeps a
silhouette of its own and a light part against the dark wood, so it reads at 1x once found.
"""
import math

import numpy as np

import kit
import props
import things
from things import T, _sol

STEEL = "#b4bac2"
GOLD = "#d9a640"


def magnifier(lay, x, y, s, ang, seed, L):
    """A reading glass: a brass ring round the lens and a turned wooden handle."""
    P = T(x, y, s, ang)
    rim = kit.subtract(kit.ellipse(*P(-8, 0), 15 * s, 15 * s), kit.ellipse(*P(-8, 0), 11.5 * s, 11.5 * s))
    lens = kit.ellipse(*P(-8, 0), 11.5 * s, 11.5 * s)
    lay.paint(lens, kit.mix("frost", "teal", 0.3), 0.45)
    lay.paint(kit.line([P(-15, -5), P(-11, -9), P(-5, -10)], 2 * s), "#fffaf0", 0.8)
    _sol(lay, rim, "brass", L, 1.5 * s, specular=0.9)
    neck = kit.line([P(7, 0), P(12, 0)], 5 * s)
    _sol(lay, neck, "brass", L, 1.5 * s, specular=0.9)
    handle = kit.union(kit.line([P(12, 0), P(34, 0)], 6.5 * s), kit.ellipse(*P(34, 0), 4 * s, 4 * s))
    _sol(lay, handle, "#9a5a30", L, 2.5 * s, specular=0.4)
    return kit.union(rim, lens, neck, handle)


def crown(lay, x, y, s, ang, seed, L):
    """A small gilt crown with five points and coloured stones."""
    P = T(x, y, s, ang)
    pts = [P(-20, 12), P(20, 12), P(22, -14)]
    for k in range(5):
        u = 22 - (k + 0.5) * 44 / 5
        pts += [P(u + 4.4, -2), P(u, -16 if k % 2 == 0 else -12)]
    pts += [P(-22, -14)]
    body = kit.poly(pts)
    _sol(lay, body, GOLD, L, 3 * s, specular=0.9, tex=props.brass_tex(lay.h, lay.w, seed, GOLD))
    band = kit.poly([P(-21, 5), P(21, 5), P(20, 12), P(-20, 12)])
    _sol(lay, band, kit.mix(GOLD, "walnut", 0.2), L, 1.5 * s, specular=0.9)
    balls = kit.union(*[kit.ellipse(*P(22 - (k + 0.5) * 44 / 5, -17 if k % 2 == 0 else -13), 2.6 * s, 2.6 * s) for k in range(5)])
    _sol(lay, balls, "#f4e6c0", L, 1 * s, specular=0.9)
    for k, c in enumerate(("wine", "teal", "wine")):
        u = -12 + k * 12
        _sol(lay, kit.ellipse(*P(u, 8.5), 3 * s, 2.5 * s), "#c0303a" if c == "wine" else "#2f8a8a", L, 1 * s, specular=1.0)
    return kit.union(body, balls)


def horseshoe(lay, x, y, s, ang, seed, L):
    """An old horseshoe, open end down, with its nail holes."""
    P = T(x, y, s, ang)
    outer = [P(18 * math.cos(t), -2 - 20 * math.sin(t)) for t in np.linspace(-0.35, math.pi + 0.35, 24)]
    inner = [P(10 * math.cos(t), -2 - 12 * math.sin(t)) for t in np.linspace(math.pi + 0.3, -0.3, 24)]
    m = kit.union(kit.poly(outer + inner), kit.rect(*P(-18, 2), *P(-11, 14)), kit.rect(*P(11, 2), *P(18, 14)))
    _sol(lay, m, "#9aa0a6", L, 3 * s, specular=0.7, tex=kit.tex_noise(lay.h, lay.w, "#a8aeb4", "#7a6a5a", 3 * s, seed))
    for t in np.linspace(0.2, math.pi - 0.2, 6):
        lay.paint(kit.ellipse(*P(14 * math.cos(t), -2 - 16 * math.sin(t)), 1.3 * s, 1.3 * s), "#2a2420")
    return m


def butterfly(lay, x, y, s, ang, seed, L):
    """A pinned butterfly: blue wings with dark tips and pale spots."""
    P = T(x, y, s, ang)
    up = [kit.poly([P(0, -2), P(sx * 10, -18), P(sx * 24, -20), P(sx * 26, -10), P(sx * 16, 0), P(0, 2)]) for sx in (-1, 1)]
    lo = [kit.poly([P(0, 1), P(sx * 16, 2), P(sx * 19, 12), P(sx * 10, 18), P(sx * 3, 12)]) for sx in (-1, 1)]
    wings = kit.union(*up, *lo)
    _sol(lay, wings, "#3f78b8", L, 2 * s, amb=0.6, specular=0.3)
    for sx in (-1, 1):
        lay.paint(kit.intersect(kit.poly([P(sx * 16, -22), P(sx * 30, -22), P(sx * 28, -6), P(sx * 20, -8)]), wings), "#1c2030", 0.9)
        lay.paint(kit.ellipse(*P(sx * 22, -14), 2.2 * s, 2.2 * s), "#f4ecd8", 0.9)
        lay.paint(kit.ellipse(*P(sx * 11, 9), 2.6 * s, 2.6 * s), "#e8a040", 0.9)
    body = kit.union(kit.ellipse(*P(0, 2), 2.4 * s, 12 * s), kit.ellipse(*P(0, -10), 2.8 * s, 2.8 * s))
    _sol(lay, body, "#2a2018", L, 1 * s)
    ant = kit.union(kit.line([P(-1, -12), P(-6, -22)], 1 * s), kit.line([P(1, -12), P(6, -22)], 1 * s))
    lay.paint(ant, "#2a2018")
    return kit.union(wings, body, ant)


def feather(lay, x, y, s, ang, seed, L):
    """A long pheasant feather, tawny with dark bars."""
    P = T(x, y, s, ang)
    top = [P(-36 + t * 74, -7 * math.sin(math.pi * t ** 0.7)) for t in np.linspace(0, 1, 18)]
    bot = [P(-36 + t * 74, 6 * math.sin(math.pi * t ** 0.7)) for t in np.linspace(1, 0, 18)]
    vane = kit.poly(top + bot)
    _sol(lay, vane, "#c88a4a", L, 2 * s, amb=0.6)
    for i in range(9):
        u = -30 + i * 7.5
        bar = kit.intersect(kit.poly([P(u, -9), P(u + 3, -9), P(u + 5, 9), P(u + 2, 9)]), vane)
        lay.paint(bar, "#4a2a18", 0.85)
    shaft = kit.line([P(-44, 0.5), P(38, 0)], 1.6 * s)
    lay.paint(shaft, "#f0e0c0")
    return kit.union(vane, shaft)


def scissors(lay, x, y, s, ang, seed, L):
    """Open tailor's scissors: long steel blades crossing at a screw, two brass finger rings."""
    P = T(x, y, s, ang)
    b1 = kit.poly([P(-4, -3), P(34, -12), P(36, -10), P(4, 3)])
    b2 = kit.poly([P(-4, 3), P(34, 12), P(36, 10), P(4, -3)])
    blades = kit.union(b1, b2)
    _sol(lay, blades, STEEL, L, 1.5 * s, specular=0.9)
    rings = []
    for sy in (-1, 1):
        r = kit.subtract(kit.ellipse(*P(-18, sy * 9), 8 * s, 6 * s), kit.ellipse(*P(-18, sy * 9), 5 * s, 3.5 * s))
        shank = kit.line([P(-4, sy * 2), P(-11, sy * 7)], 3.5 * s)
        rings.append(kit.union(r, shank))
    rm = kit.union(*rings)
    _sol(lay, rm, "brass", L, 1.5 * s, specular=0.9)
    _sol(lay, kit.ellipse(*P(0, 0), 2.4 * s, 2.4 * s), "#6a6e74", L, 1 * s, specular=0.9)
    return kit.union(blades, rm)


def dice(lay, x, y, s, ang, seed, L):
    """A pair of ivory dice, one on its corner against the other."""
    P = T(x, y, s, ang)
    ms = []
    for cx, cy, a, faces in ((-10, 2, 0.0, (5, 3)), (11, 0, 0.5, (2, 6))):
        Q = T(*P(cx, cy), s, ang + a)
        front = kit.poly([Q(-9, -5), Q(9, -5), Q(9, 11), Q(-9, 11)])
        topf = kit.poly([Q(-9, -5), Q(9, -5), Q(13, -10), Q(-5, -10)])
        side = kit.poly([Q(9, -5), Q(13, -10), Q(13, 6), Q(9, 11)])
        _sol(lay, front, "#f2ead6", L, 1.5, amb=0.7)
        _sol(lay, topf, "#fff8e8", L, 1, amb=0.8)
        _sol(lay, side, "#c8bca0", L, 1, amb=0.7)
        pips = {2: ((-4, -4), (4, 4)), 3: ((-4, -4), (0, 0), (4, 4)), 5: ((-4, -4), (4, -4), (0, 0), (-4, 4), (4, 4)),
                6: ((-4, -5), (4, -5), (-4, 0), (4, 0), (-4, 5), (4, 5))}[faces[0]]
        for px, py in pips:
            lay.paint(kit.ellipse(*Q(px, py + 3), 1.7 * s, 1.7 * s), "#8c2020" if faces[0] == 5 and (px, py) == (0, 0) else "#1e1410")
        ms.append(kit.union(front, topf, side))
    return kit.union(*ms)


def mask(lay, x, y, s, ang, seed, L):
    """A carnival half-mask: wine velvet, gilt edge, two eye holes and a ribbon."""
    P = T(x, y, s, ang)
    outline = [P(-26, -6), P(-18, -12), P(-6, -10), P(0, -6), P(6, -10), P(18, -12), P(26, -6), P(24, 4),
               P(14, 10), P(4, 6), P(0, 2), P(-4, 6), P(-14, 10), P(-24, 4)]
    face = kit.poly(outline)
    eyes = kit.union(kit.ellipse(*P(-11, -2), 6 * s, 3.5 * s), kit.ellipse(*P(11, -2), 6 * s, 3.5 * s))
    m = kit.subtract(face, eyes)
    _sol(lay, m, "#a8283a", L, 4 * s, amb=0.55, specular=0.4)
    edge = kit.subtract(m, kit.poly([P(-23, -5), P(-17, -9), P(-6, -7), P(0, -3), P(6, -7),
                                                                  P(17, -9), P(23, -5), P(21, 3), P(14, 7), P(4, 3), P(0, -1),
                                                                  P(-4, 3), P(-14, 7), P(-21, 3)]))
    lay.paint(edge, GOLD, 0.9)
    for sx in (-1, 1):
        rib = kit.line([P(sx * 25, -3), P(sx * 31, 6), P(sx * 28, 16)], 2 * s)
        _sol(lay, rib, GOLD, L, 0.8 * s, specular=0.6)
        m = kit.union(m, rib)
    return m


def apple(lay, x, y, s, ang, seed, L):
    """A red apple with a stalk and one leaf."""
    P = T(x, y, s, ang)
    body = kit.union(kit.ellipse(*P(-6, 2), 13 * s, 14 * s), kit.ellipse(*P(6, 2), 13 * s, 14 * s))
    tex = kit.tex_noise(lay.h, lay.w, "#d23a2c", "#a02a1e", 6 * s, seed, 3)
    _sol(lay, body, "#c8322a", L, 7 * s, amb=0.5, specular=0.6, shin=24, tex=tex)
    lay.paint(kit.ellipse(*P(0, -10), 4 * s, 2 * s), "#5a1a14", 0.8)
    stalk = kit.line([P(0, -10), P(2, -20)], 2 * s)
    lay.paint(stalk, "#4a3018")
    leaf = kit.poly([P(2, -17), P(10, -24), P(18, -22), P(10, -16)])
    _sol(lay, leaf, "#5a8a3a", L, 1.5 * s)
    return kit.union(body, stalk, leaf)


def envelope(lay, x, y, s, ang, seed, L):
    """A letter sealed with a red wax seal."""
    P = T(x, y, s, ang)
    body = kit.poly([P(-26, -16), P(26, -16), P(26, 16), P(-26, 16)])
    _sol(lay, body, "#efe4c8", L, 2 * s, amb=0.7)
    flap = kit.poly([P(-26, -16), P(26, -16), P(0, 4)])
    _sol(lay, flap, "#e2d4b0", L, 1.5 * s, amb=0.7)
    lay.paint(kit.line([P(-26, -16), P(0, 4), P(26, -16)], 1 * s), "#a89878", 0.8)
    seal = kit.ellipse(*P(0, 3), 6 * s, 6 * s)
    _sol(lay, seal, "#b0202a", L, 2 * s, specular=0.6)
    lay.paint(kit.ellipse(*P(0, 3), 3 * s, 3 * s), "#801820", 0.7)
    return body


def goblet(lay, x, y, s, ang, seed, L):
    """A silver goblet on a stem and a round foot."""
    P = T(x, y, s, ang)
    cup = kit.poly([P(-14, -24), P(14, -24)] + [P(14 * math.cos(t), -24 + 20 * math.sin(t)) for t in np.linspace(0, math.pi, 14)])
    stem = kit.poly([P(-2.5, -5), P(2.5, -5), P(2, 14), P(-2, 14)])
    knop = kit.ellipse(*P(0, 4), 4.5 * s, 3 * s)
    foot = kit.ellipse(*P(0, 16), 12 * s, 4 * s)
    m = kit.union(cup, stem, knop, foot)
    _sol(lay, m, "#c6ccd2", L, 3 * s, specular=1.0, shin=26)
    lay.paint(kit.ellipse(*P(0, -24), 14 * s, 3 * s), "#6a5060", 0.9)
    lay.paint(kit.rect(*P(-13, -19), *P(13, -16)), GOLD, 0.7, cover=False)
    return m


# Clutter: never one of the findable things' doubles.

def teapot(lay, x, yb, s, seed, L):
    w = 46 * s
    cx = x + w * 0.45
    body = kit.ellipse(cx, yb - 14 * s, 15 * s, 13 * s)
    spout = kit.line([(cx + 12 * s, yb - 12 * s), (cx + 20 * s, yb - 20 * s), (cx + 24 * s, yb - 26 * s)], 4 * s)
    handle = kit.subtract(kit.ellipse(cx - 16 * s, yb - 15 * s, 7 * s, 8 * s), kit.ellipse(cx - 16 * s, yb - 15 * s, 4 * s, 5 * s))
    lid = kit.union(kit.ellipse(cx, yb - 26 * s, 9 * s, 3 * s), kit.ellipse(cx, yb - 30 * s, 2.5 * s, 2.5 * s))
    m = kit.union(body, spout, handle, lid)
    props.solid(m, "#3a5a7a", L, 5 * s, amb=0.45, specular=0.7, lay=lay)
    lay.paint(kit.intersect(kit.rect(x, yb - 16 * s, x + w, yb - 12 * s), body), "parchment", 0.6, cover=False)
    return w


def skull(lay, x, yb, s, seed, L):
    w = 30 * s
    cx = x + w / 2
    head = kit.union(kit.ellipse(cx, yb - 20 * s, 14 * s, 13 * s), kit.rrect(cx - 8 * s, yb - 12 * s, cx + 8 * s, yb, 3 * s))
    props.solid(head, "#d8ccb0", L, 5 * s, amb=0.5, lay=lay)
    for ex in (-5.5, 5.5):
        lay.paint(kit.ellipse(cx + ex * s, yb - 16 * s, 4 * s, 3.5 * s), "#2a1e16")
    lay.paint(kit.poly([(cx - 1.5 * s, yb - 11 * s), (cx + 1.5 * s, yb - 11 * s), (cx, yb - 14 * s)]), "#2a1e16")
    for k in range(4):
        lay.paint(kit.line([(cx - 5 * s + k * 3.3 * s, yb - 6 * s), (cx - 5 * s + k * 3.3 * s, yb - 1 * s)], 0.8 * s), "#6a5a44")
    return w


def ivy_pot(lay, x, yb, s, seed, L):
    """A pot of ivy whose trails hang over the shelf's edge."""
    rng = np.random.default_rng(seed)
    w = 30 * s
    cx = x + w / 2
    pot = kit.poly([(x, yb - 22 * s), (x + w, yb - 22 * s), (x + w - 4 * s, yb), (x + 4 * s, yb)])
    props.solid(pot, "#a0502e", L, 4 * s, amb=0.5, lay=lay)
    props.foliage(lay, cx, yb - 30 * s, 20 * s, 12 * s, seed, base="moss", light=L, n=60, leaf=(3 * s, 5 * s))
    for k in range(3):
        px = cx + (k - 1) * 10 * s
        for j in range(int(5 + rng.integers(4))):
            yy = yb + j * 7 * s
            lay.paint(kit.ellipse(px + math.sin(j + k) * 3 * s, yy, 3.5 * s, 2.5 * s), kit.shade_of("moss", 0.8 + 0.4 * rng.random()))
    return w


def lantern(lay, x, yb, s, seed, L):
    w = 26 * s
    cx = x + w / 2
    frame = kit.union(kit.rect(x, yb - 6 * s, x + w, yb), kit.poly([(x + 2 * s, yb - 34 * s), (x + w - 2 * s, yb - 34 * s), (cx, yb - 44 * s)]),
                      kit.line([(x + 3 * s, yb - 6 * s), (x + 3 * s, yb - 34 * s)], 2 * s),
                      kit.line([(x + w - 3 * s, yb - 6 * s), (x + w - 3 * s, yb - 34 * s)], 2 * s))
    glass = kit.rect(x + 4 * s, yb - 33 * s, x + w - 4 * s, yb - 6 * s)
    lay.paint(glass, "#e8b860", 0.85)
    props.flame(lay, cx, yb - 12 * s, 12 * s, 0.5)
    props.solid(frame, "#2a2622", L, 1.5 * s, specular=0.8, lay=lay)
    ring = kit.subtract(kit.ellipse(cx, yb - 47 * s, 4 * s, 4 * s), kit.ellipse(cx, yb - 47 * s, 2 * s, 2 * s))
    props.solid(ring, "#2a2622", L, 1, lay=lay)
    return w


def birdcage(lay, x, yb, s, seed, L):
    w = 40 * s
    cx = x + w / 2
    bars = []
    for k in range(7):
        u = -1 + 2 * k / 6
        bars.append(kit.line([(cx + u * 18 * s, yb - 4 * s), (cx + u * 18 * s, yb - 30 * s), (cx + u * 8 * s, yb - 44 * s)], 1.2 * s))
    base = kit.rect(x + 1 * s, yb - 5 * s, x + w - 1 * s, yb)
    hoop = kit.line([(cx - 18 * s, yb - 30 * s), (cx + 18 * s, yb - 30 * s)], 1.5 * s)
    hook = kit.subtract(kit.ellipse(cx, yb - 48 * s, 4 * s, 4 * s), kit.ellipse(cx, yb - 48 * s, 2 * s, 2 * s))
    props.solid(kit.union(*bars, base, hoop, hook), "brass", L, 1, specular=0.9, lay=lay)
    perch = kit.line([(cx - 10 * s, yb - 16 * s), (cx + 10 * s, yb - 16 * s)], 1.5 * s)
    lay.paint(perch, "#5a3a22")
    return w


def maps(lay, x, yb, s, seed, L):
    """Rolled maps standing in a tall basket."""
    rng = np.random.default_rng(seed)
    w = 28 * s
    for k in range(5):
        px = x + 4 * s + k * 5 * s
        top = yb - (46 + rng.integers(0, 18)) * s
        lean = (k - 2) * 3 * s
        roll = kit.poly([(px - 3 * s, yb - 10 * s), (px + 3 * s, yb - 10 * s), (px + 3 * s + lean, top), (px - 3 * s + lean, top)])
        props.solid(roll, kit.mix("parchment", "parchment_shade", rng.random()), L, 2 * s, amb=0.6, lay=lay)
        lay.paint(kit.ellipse(px + lean, top, 3 * s, 1.5 * s), "parchment_shade")
    basket = kit.poly([(x, yb - 20 * s), (x + w, yb - 20 * s), (x + w - 3 * s, yb), (x + 3 * s, yb)])
    props.solid(basket, "#8a6a3a", L, 3 * s, amb=0.5, lay=lay,
                tex=kit.tex_noise(lay.h, lay.w, "#9a7a44", "#5a4020", 2 * s, seed, 2))
    return w


def lit_candle(lay, x, yb, s, seed, L):
    things.candle(lay, x + 17 * s, yb - 12 * s, s, 0.0, seed, L)
    props.flame(lay, x + 17.8 * s, yb - 26 * s, 9 * s, 0.3)
    return 36 * s


def plate(lay, x, yb, s, seed, L):
    """A painted plate propped on its edge."""
    r = 20 * s
    cx = x + r
    props.solid(kit.ellipse(cx, yb - r, r, r), "#e8e4dc", L, 3 * s, amb=0.6, specular=0.4, lay=lay)
    lay.paint(kit.subtract(kit.ellipse(cx, yb - r, r * 0.8, r * 0.8), kit.ellipse(cx, yb - r, r * 0.7, r * 0.7)), "#3a5a8a", 0.8)
    lay.paint(kit.ellipse(cx, yb - r, r * 0.35, r * 0.25), "#3a5a8a", 0.7)
    return 2 * r


CLUTTER = [teapot, skull, ivy_pot, lantern, birdcage, maps, lit_candle, plate]
