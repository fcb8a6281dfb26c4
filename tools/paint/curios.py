"""Shelf curios: the things that crowd Ysolde's bookshelves around the hidden objects.

Each painter draws standing on a shelf line: curio(lay, x, ybase, s, seed, L) with x the left
edge; it returns the width it used. None of them is a hidden object's double.
"""
import math

import numpy as np

import kit
import props
import things
from kit import col

GLASS = kit.mix("frost", "teal", 0.45)


def jar(lay, x, yb, s, seed, L):
    rng = np.random.default_rng(seed)
    w, h = 22 * s, (30 + rng.random() * 16) * s
    m = kit.rrect(x, yb - h, x + w, yb, 5 * s)
    props.solid(m, GLASS, L, 4 * s, amb=0.35, specular=0.9, lay=lay)
    fill = ["#8a5a2a", "#6a7a3a", "#9a3a2a", "#c8a060", "#4a3a5a"][rng.integers(5)]
    lay.paint(kit.rect(x + 3 * s, yb - h * 0.7, x + w - 3 * s, yb - 2 * s), fill, 0.75)
    lay.paint(kit.rect(x + 4 * s, yb - h * 0.55, x + w - 4 * s, yb - h * 0.3), "parchment", 0.8)
    props.solid(kit.rect(x - 1 * s, yb - h - 5 * s, x + w + 1 * s, yb - h + 1 * s), "brass" if rng.random() < 0.5 else "walnut",
                L, 1.5 * s, specular=0.6, lay=lay)
    return w


def bottle(lay, x, yb, s, seed, L):
    rng = np.random.default_rng(seed)
    w, h = 16 * s, (36 + rng.random() * 20) * s
    c = ["#2f5a3a", "#5a2a2a", "#2a3a5a", "#6a5a2a"][rng.integers(4)]
    body = kit.union(kit.rrect(x, yb - h * 0.65, x + w, yb, 4 * s), kit.rect(x + w * 0.32, yb - h, x + w * 0.68, yb - h * 0.6))
    props.solid(body, c, L, 4 * s, amb=0.35, specular=0.9, shin=20, lay=lay)
    props.solid(kit.rect(x + w * 0.3, yb - h - 5 * s, x + w * 0.7, yb - h + 1), "#8a6a4a", L, 1, lay=lay)
    lay.paint(kit.rect(x + 2 * s, yb - h * 0.45, x + w - 2 * s, yb - h * 0.22), "parchment", 0.85)
    return w


def box(lay, x, yb, s, seed, L):
    rng = np.random.default_rng(seed)
    w, h = (34 + rng.random() * 16) * s, (18 + rng.random() * 10) * s
    c = ["wine", "walnut", "moss", "#6a4a2b"][rng.integers(4)]
    props.solid(kit.rect(x, yb - h, x + w, yb), c, L, 3 * s, amb=0.5, lay=lay,
                tex=kit.wood(lay.h, lay.w, seed, col(c) * 1.2, angle=0) if c != "wine" else None)
    props.solid(kit.rect(x - 2 * s, yb - h - 5 * s, x + w + 2 * s, yb - h + 1 * s), kit.shade_of(c, 1.2), L, 2 * s, lay=lay)
    props.solid(kit.rrect(x + w / 2 - 4 * s, yb - h + 2 * s, x + w / 2 + 4 * s, yb - h + 8 * s, 1), "brass", L, 1, specular=0.9, lay=lay)
    return w


def globe(lay, x, yb, s, seed, L):
    r = 22 * s
    cx = x + r + 4 * s
    tex = kit.tex_noise(lay.h, lay.w, kit.mix("parchment", "teal", 0.4), kit.mix("moss", "parchment_shade", 0.3), 8 * s, seed, 3)
    props.solid(kit.ellipse(cx, yb - r - 12 * s, r, r), "teal", L, 8 * s, amb=0.5, specular=0.3, lay=lay, tex=tex)
    ring = kit.subtract(kit.ellipse(cx, yb - r - 12 * s, r + 4 * s, r + 4 * s), kit.ellipse(cx, yb - r - 12 * s, r + 2 * s, r + 2 * s))
    props.solid(kit.intersect(ring, kit.rect(cx - r - 6 * s, yb - 2 * r - 20 * s, cx + 2 * s, yb)), "brass", L, 1, specular=0.9, lay=lay)
    props.solid(kit.rect(cx - 2 * s, yb - 12 * s, cx + 2 * s, yb - 4 * s), "brass", L, 1, lay=lay)
    props.solid(kit.ellipse(cx, yb - 3 * s, 12 * s, 3.5 * s), "walnut", L, 2, lay=lay)
    return 2 * r + 8 * s


def vase(lay, x, yb, s, seed, L):
    """A vase of dried flowers and grasses."""
    rng = np.random.default_rng(seed)
    w, h = 20 * s, 30 * s
    cx = x + w / 2
    body = kit.poly([(x + 3 * s, yb), (x + w - 3 * s, yb), (x + w, yb - h * 0.5), (cx + 4 * s, yb - h), (cx - 4 * s, yb - h), (x, yb - h * 0.5)])
    props.solid(body, ["#4a6a8a", "#8a4a3a", "#6a6a4a"][rng.integers(3)], L, 5 * s, amb=0.45, specular=0.6, lay=lay)
    for k in range(7):
        a = -math.pi / 2 + (rng.random() - 0.5) * 1.2
        ln = (30 + rng.random() * 26) * s
        tip = (cx + math.cos(a) * ln, yb - h + math.sin(a) * ln)
        lay.paint(kit.line([(cx, yb - h), tip], 1.2 * s), "#8a7a4a")
        lay.paint(kit.ellipse(tip[0], tip[1], 3.5 * s, 3.5 * s), ["#c8a060", "#a05a5a", "parchment"][k % 3])
    return w


def mantel_clock(lay, x, yb, s, seed, L):
    w, h = 40 * s, 34 * s
    cx = x + w / 2
    case = kit.union(kit.rect(x, yb - h * 0.6, x + w, yb), kit.ellipse(cx, yb - h * 0.6, w / 2, h * 0.4))
    props.solid(case, "mahogany", L, 4 * s, amb=0.5, specular=0.2, lay=lay, tex=kit.wood(lay.h, lay.w, seed, "#7a3b2a", angle=1.5))
    things.kit_paste(lay, props.dial(cx, yb - h * 0.55, 11 * s, seed, 11, 58, light=L, tide=False))
    props.solid(kit.rect(x - 2 * s, yb - 4 * s, x + w + 2 * s, yb), "#4a2218", L, 1, lay=lay)
    return w


def ship(lay, x, yb, s, seed, L):
    """A model ship on a little stand."""
    w = 56 * s
    hull = kit.poly([(x, yb - 18 * s), (x + w, yb - 20 * s), (x + w * 0.86, yb - 8 * s), (x + w * 0.12, yb - 8 * s)])
    props.solid(hull, "walnut", L, 3 * s, lay=lay, tex=kit.wood(lay.h, lay.w, seed, "#6a452a", angle=0))
    lay.paint(kit.line([(x + 2 * s, yb - 16 * s), (x + w - 2 * s, yb - 18 * s)], 1.5 * s), "brass", 0.8)
    for k, mx in enumerate((0.3, 0.55, 0.78)):
        px = x + w * mx
        top = yb - (60 - k * 8) * s
        lay.paint(kit.line([(px, yb - 18 * s), (px, top)], 1.5 * s), "#3a2a1a")
        for j in range(2):
            y0 = top + 6 * s + j * 18 * s
            sail = kit.poly([(px - 10 * s, y0), (px + 10 * s, y0), (px + 12 * s, y0 + 14 * s), (px - 12 * s, y0 + 14 * s)])
            props.solid(sail, "parchment", L, 3 * s, amb=0.6, lay=lay)
    props.solid(kit.rect(x + w * 0.3, yb - 8 * s, x + w * 0.34, yb), "#4a2f1b", L, 1, lay=lay)
    props.solid(kit.rect(x + w * 0.66, yb - 8 * s, x + w * 0.7, yb), "#4a2f1b", L, 1, lay=lay)
    return w


def frame(lay, x, yb, s, seed, L):
    """A small framed picture propped against the back of the shelf."""
    rng = np.random.default_rng(seed)
    w, h = (30 + rng.random() * 10) * s, (38 + rng.random() * 8) * s
    props.solid(kit.rect(x, yb - h, x + w, yb), "brass" if rng.random() < 0.5 else "walnut", L, 2 * s, specular=0.6, lay=lay)
    inner = kit.rect(x + 5 * s, yb - h + 5 * s, x + w - 5 * s, yb - 5 * s)
    sky = kit.vgrad(lay.h, lay.w, [(0, "#3a4a5a"), (0.5, "#6a7a8a"), (1, "#2a3a3a")])
    lay.paint(inner, sky)
    lay.paint(kit.ellipse(x + w / 2, yb - h * 0.45, w * 0.18, h * 0.14), "#c8a888", 0.8)
    lay.paint(kit.poly([(x + w * 0.3, yb - 5 * s), (x + w * 0.7, yb - 5 * s), (x + w * 0.62, yb - h * 0.35), (x + w * 0.38, yb - h * 0.35)]),
              "#3a2a3a", 0.9)
    return w


def armillary(lay, x, yb, s, seed, L):
    r = 18 * s
    cx, cy = x + r + 2 * s, yb - r - 12 * s
    rings = []
    for k in range(3):
        a = k * math.pi / 3
        rx, ry = r, r * (0.3 + 0.7 * abs(math.cos(a)))
        rings.append(kit.subtract(kit.ellipse(cx, cy, rx, ry), kit.ellipse(cx, cy, rx - 2 * s, max(0.5, ry - 2 * s))))
    rings.append(kit.subtract(kit.ellipse(cx, cy, 2 * s + 1, r), kit.ellipse(cx, cy, 0.8, r - 2 * s)))
    props.solid(kit.union(*rings), "brass", L, 1, specular=0.9, lay=lay)
    props.solid(kit.ellipse(cx, cy, 4 * s, 4 * s), "wine", L, 2, lay=lay)
    props.solid(kit.rect(cx - 2 * s, yb - 12 * s, cx + 2 * s, yb - 3 * s), "brass", L, 1, lay=lay)
    props.solid(kit.ellipse(cx, yb - 3 * s, 10 * s, 3 * s), "walnut", L, 2, lay=lay)
    return 2 * r + 4 * s


def letters(lay, x, yb, s, seed, L):
    """A bundle of letters tied with a ribbon, lying flat."""
    w, h = 40 * s, 12 * s
    for k in range(4):
        m = kit.rect(x + k * 1.5 * s, yb - (k + 1) * 3 * s, x + w - k * 1.5 * s, yb - k * 3 * s)
        props.solid(m, kit.mix("parchment", "parchment_shade", k * 0.3), L, 1, amb=0.7, lay=lay)
    lay.paint(kit.rect(x + w * 0.45, yb - h, x + w * 0.55, yb), "wine", 0.9)
    lay.paint(kit.ellipse(x + w * 0.5, yb - h, 5 * s, 3 * s), "wine", 0.9)
    return w


def inkwell(lay, x, yb, s, seed, L):
    w = 20 * s
    body = kit.poly([(x, yb), (x + w, yb), (x + w * 0.8, yb - 14 * s), (x + w * 0.2, yb - 14 * s)])
    props.solid(body, "#1a1a22", L, 3 * s, specular=0.9, lay=lay)
    props.solid(kit.rect(x + w * 0.35, yb - 19 * s, x + w * 0.65, yb - 13 * s), "brass", L, 1, specular=0.9, lay=lay)
    return w


def mortar(lay, x, yb, s, seed, L):
    w = 30 * s
    bowl = kit.poly([(x, yb - 16 * s), (x + w, yb - 16 * s), (x + w * 0.8, yb), (x + w * 0.2, yb)])
    props.solid(bowl, "#8a8a84", L, 5 * s, amb=0.45, lay=lay)
    props.solid(kit.line([(x + w * 0.5, yb - 14 * s), (x + w * 0.85, yb - 36 * s)], 5 * s), "#a0a098", L, 2, lay=lay)
    return w


def compass(lay, x, yb, s, seed, L):
    r = 12 * s
    cx = x + r
    props.solid(kit.ellipse(cx, yb - r * 0.4, r, r * 0.45), "brass", L, 2 * s, specular=0.9, lay=lay)
    lay.paint(kit.ellipse(cx, yb - r * 0.45, r * 0.8, r * 0.33), "parchment", 0.9)
    lay.paint(kit.line([(cx - r * 0.6, yb - r * 0.5), (cx + r * 0.6, yb - r * 0.4)], 1.2 * s), "wine", 0.9)
    return 2 * r


def horse(lay, x, yb, s, seed, L):
    """A little carved horse (a knight from a broken chess set)."""
    w = 20 * s
    cx = x + w / 2
    m = kit.union(kit.poly([(x, yb), (x + w, yb), (x + w * 0.85, yb - 6 * s), (x + w * 0.15, yb - 6 * s)]),
                  kit.poly([(cx - 6 * s, yb - 6 * s), (cx + 6 * s, yb - 6 * s), (cx + 7 * s, yb - 20 * s), (cx + 2 * s, yb - 30 * s),
                            (cx - 9 * s, yb - 26 * s), (cx - 10 * s, yb - 20 * s), (cx - 2 * s, yb - 20 * s)]))
    props.solid(m, "#2a1f17", L, 3 * s, amb=0.5, specular=0.6, lay=lay)
    return w


CURIOS = [jar, bottle, box, vase, mantel_clock, frame, letters, inkwell, mortar, compass, horse, jar, bottle, box]
BIG = [globe, ship, armillary]
