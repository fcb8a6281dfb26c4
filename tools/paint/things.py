"""Small painted things: hidden objects, clutter and inventory items.

Each painter draws into a Layer at (x, y) with scale s and rotation ang, lit from `light`,
and returns the thing's coverage mask.
"""
import math

import numpy as np

import kit
import props


def T(x, y, s, ang):
    ca, sa = math.cos(ang), math.sin(ang)

    def P(u, v):
        return (x + (u * ca - v * sa) * s, y + (u * sa + v * ca) * s)
    return P


def _sol(lay, m, c, L, r=3, amb=0.45, specular=0.0, shin=14, tex=None):
    props.solid(m, c, L, r, amb=amb, specular=specular, shin=shin, lay=lay, tex=tex)
    return m


def watch(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    case = kit.ellipse(*P(0, 0), 24 * s, 24 * s)
    _sol(lay, case, "brass", L, 5 * s, specular=0.9, tex=props.brass_tex(lay.h, lay.w, seed))
    d = props.dial(P(0, 0)[0], P(0, 0)[1], 19 * s, seed, 3, 40, light=L, tide=False)
    kit_paste(lay, d)
    crown = kit.union(kit.line([P(0, -24), P(0, -31)], 5 * s), kit.ellipse(*P(0, -34), 5 * s, 5 * s))
    _sol(lay, crown, "brass", L, 2 * s, specular=0.9)
    ring = kit.subtract(kit.ellipse(*P(0, -42), 8 * s, 8 * s), kit.ellipse(*P(0, -42), 5 * s, 5 * s))
    _sol(lay, ring, "brass", L, 1.5 * s, specular=0.9)
    return kit.union(case, crown, ring)


def kit_paste(lay, src):
    m = kit.Mask(src.a, src.x0, src.y0)
    sl = lay.region(m)
    if sl is None:
        return
    ox, oy = lay.x0 + sl[1].start, lay.y0 + sl[0].start
    loc = np.zeros((sl[0].stop - sl[0].start, sl[1].stop - sl[1].start, 3), np.float32)
    for c in range(3):
        loc[..., c] = kit.crop_mask(kit.Mask(src.rgb[..., c], src.x0, src.y0), ox, oy, loc.shape[1], loc.shape[0])
    a = kit.crop_mask(m, ox, oy, loc.shape[1], loc.shape[0])
    lay.rgb[sl] = lay.rgb[sl] * (1 - a[..., None]) + loc * a[..., None]
    lay.a[sl] = lay.a[sl] + a * (1 - lay.a[sl])


def loupe(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    body = kit.poly([P(-16, -14), P(16, -14), P(12, 12), P(-12, 12)])
    _sol(lay, body, "#1f1b18", L, 4 * s, specular=0.5)
    lens = kit.ellipse(*P(0, -14), 16 * s, 5 * s)
    _sol(lay, lens, kit.mix("frost", "teal", 0.3), L, 2 * s, specular=1.0, shin=30)
    band = kit.line([P(-14, 2), P(14, 2)], 3 * s)
    lay.paint(band, "brass", 0.9)
    return kit.union(body, lens)


def tweezers(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    a = kit.poly([P(-34, -3), P(30, -1.5), P(30, 0), P(-34, 1)])
    b = kit.poly([P(-34, -1), P(30, 4), P(30, 5.5), P(-34, 3)])
    m = kit.union(a, b, kit.ellipse(*P(-34, 1), 3 * s, 3 * s))
    _sol(lay, m, "#b8bcc2", L, 1.2 * s, specular=0.9, shin=10)
    return m


def screwdriver(lay, x, y, s, ang, seed, L, handle="wine"):
    P = T(x, y, s, ang)
    shaft = kit.line([P(0, 0), P(40, 0)], 3.2 * s)
    _sol(lay, shaft, "#aeb3ba", L, 1 * s, specular=0.9)
    tip = kit.poly([P(40, -1.8), P(46, -1), P(46, 1), P(40, 1.8)])
    _sol(lay, tip, "#8e939a", L, 1 * s, specular=0.8)
    hd = kit.poly([P(-30, -6), P(-2, -5), P(0, -3), P(0, 3), P(-2, 5), P(-30, 6), P(-33, 3), P(-33, -3)])
    _sol(lay, hd, handle, L, 4 * s, specular=0.4)
    fer = kit.rect(*P(-3, -4), *P(2, 4)) if False else kit.poly([P(-3, -4.5), P(2, -4.5), P(2, 4.5), P(-3, 4.5)])
    _sol(lay, fer, "brass", L, 1 * s, specular=0.9)
    return kit.union(shaft, tip, hd, fer)


def spring(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    pts = [P(t * 4.2 - 26, 8 * math.sin(t * 1.9)) for t in np.linspace(0, 12.5, 160)]
    m = kit.line(pts, 2.2 * s)
    _sol(lay, m, "#c9c4b8", L, 0.8 * s, specular=0.9, shin=8)
    return m


def pliers(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    j1 = kit.poly([P(-36, -8), P(-4, -2), P(14, -3), P(30, -1), P(30, 1), P(12, 1), P(-4, 3), P(-36, -3)])
    j2 = kit.poly([P(-36, 8), P(-4, 2), P(14, 3), P(30, 1), P(30, 2.5), P(12, 5), P(-4, -3), P(-36, 3)])
    steel = kit.union(j1, j2)
    _sol(lay, steel, "#9aa0a8", L, 1.5 * s, specular=0.8)
    grips = kit.union(kit.line([P(-36, -6), P(-12, -2.5)], 5 * s), kit.line([P(-36, 6), P(-12, 2.5)], 5 * s))
    _sol(lay, grips, "#2e4a63", L, 2 * s, specular=0.3)
    pv = kit.ellipse(*P(-3, 0), 3 * s, 3 * s)
    _sol(lay, pv, "#6e7278", L, 1 * s, specular=0.9)
    return kit.union(steel, grips)


def candle(lay, x, y, s, ang, seed, L, lit=False):
    """A candle stub standing in a little brass dish, seen a little from above."""
    P = T(x, y, s, ang)
    dish = kit.ellipse(*P(0, 12), 17 * s, 7 * s)
    _sol(lay, dish, "brass", L, 2 * s, specular=0.9)
    lay.paint(kit.ellipse(*P(0, 11), 13 * s, 5 * s), kit.mix("brass", "walnut", 0.4), 0.7)
    ring = kit.subtract(kit.ellipse(*P(16, 12), 6 * s, 4 * s), kit.ellipse(*P(16, 12), 3.5 * s, 2 * s))
    _sol(lay, ring, "brass", L, 1 * s, specular=0.9)
    body = kit.union(kit.rect(*P(-8, -8), *P(8, 11)), kit.ellipse(*P(0, 11), 8 * s, 3 * s))
    wax = kit.tex_noise(lay.h, lay.w, "#f3e8cc", "#d8c8a0", 3 * s, seed)
    _sol(lay, body, "#efe2c0", L, 4 * s, amb=0.55, tex=wax)
    top = kit.ellipse(*P(0, -8), 8 * s, 3.2 * s)
    _sol(lay, top, "#f8f0dc", L, 1.5 * s, amb=0.8)
    lay.paint(kit.ellipse(*P(0, -8), 5 * s, 1.8 * s), "#e0cfa8", 0.8)
    drips = kit.union(kit.line([P(6, -8), P(6.5, 2)], 2.6 * s), kit.ellipse(*P(6.5, 3), 1.8 * s, 2.2 * s),
                      kit.line([P(-5, -7), P(-5.5, -1)], 2.2 * s), kit.ellipse(*P(-5.5, 0), 1.6 * s, 1.9 * s))
    _sol(lay, drips, "#fbf3e0", L, 1 * s, amb=0.75)
    wick = kit.line([P(0, -8), P(0.8, -14)], 1.5 * s)
    lay.paint(wick, "#1a1410")
    lay.paint(kit.ellipse(*P(0.8, -14), 1 * s, 1 * s), "#3a2a1a")
    return kit.union(dish, ring, body, top, drips, wick)


def thimble(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    body = kit.poly([P(-10, 12), P(10, 12), P(8, -6)] + [P(8 * math.cos(t), -6 - 6 * math.sin(t)) for t in np.linspace(0, math.pi, 12)] + [P(-8, -6)])
    _sol(lay, body, "#b9b6b0", L, 4 * s, specular=0.8)
    xx, yy = lay.grid()
    dots = ((np.mod(xx, 3 * s) < 1.2 * s) & (np.mod(yy, 3 * s) < 1.2 * s)).astype(np.float32)
    lay.rgb -= (dots * lay.local(body) * 0.12)[..., None]
    rim = kit.line([P(-10, 11), P(10, 11)], 2.5 * s)
    _sol(lay, rim, "#d0ccc4", L, 1 * s, specular=0.9)
    return body


def spectacles(lay, x, y, s, ang, seed, L):
    """Round wire spectacles set down with their arms folded behind the lenses."""
    P = T(x, y, s, ang)
    # the folded arms first, crossing behind the lenses
    arms = kit.union(kit.line([P(-27, -3), P(-6, 8), P(18, 9), P(22, 7)], 2.0 * s),
                     kit.line([P(27, -3), P(6, 10), P(-18, 11), P(-22, 9)], 2.0 * s))
    _sol(lay, arms, "brass", L, 0.8 * s, specular=0.8)
    lenses = []
    for cx in (-14, 14):
        lens = kit.ellipse(*P(cx, 0), 10.5 * s, 9 * s)
        lenses.append(lens)
        # the glass darkens a little and catches the lamp in a bright arc
        lay.paint(lens, kit.mix("frost", "teal", 0.35), 0.35)
        arc = [P(cx - 7 * math.cos(t), -6.5 * math.sin(t)) for t in np.linspace(0.25, 1.35, 10)]
        lay.paint(kit.line(arc, 1.6 * s), "#fffaf0", 0.85)
        lay.paint(kit.ellipse(*P(cx + 4, 4), 2 * s, 1.4 * s), "#fffaf0", 0.6)
    rims = kit.union(*[kit.subtract(kit.ellipse(*P(cx, 0), 13 * s, 11.5 * s), kit.ellipse(*P(cx, 0), 10.5 * s, 9 * s))
                       for cx in (-14, 14)])
    br = kit.line([P(-2, -3), P(0, -6), P(2, -3)], 2.4 * s)
    hinges = kit.union(kit.ellipse(*P(-27, -2), 2.5 * s, 2.5 * s), kit.ellipse(*P(27, -2), 2.5 * s, 2.5 * s))
    frame = kit.union(rims, br, hinges)
    _sol(lay, frame, "brass", L, 1.2 * s, specular=1.0, shin=10)
    return kit.union(frame, arms, *lenses)


def hammer(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    handle = kit.line([P(-34, 0), P(10, 0)], 5 * s)
    _sol(lay, handle, "#b07a45", L, 2 * s, tex=kit.wood(lay.h, lay.w, seed, "#b07a45", angle=ang, freq=0.3))
    head = kit.poly([P(8, -12), P(16, -12), P(16, 12), P(12, 14), P(8, 12)])
    _sol(lay, head, "#80868e", L, 2 * s, specular=0.8)
    return kit.union(handle, head)


def quill(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    vane = kit.poly([P(-40, 0)] + [P(-40 + t * 62, -9 * math.sin(math.pi * t ** 0.8)) for t in np.linspace(0, 1, 16)]
                    + [P(-40 + t * 62, 6 * math.sin(math.pi * t ** 0.8)) for t in np.linspace(1, 0, 16)])
    _sol(lay, vane, "#e8e2d4", L, 2 * s, amb=0.6)
    for i in range(14):
        t = i / 14
        p0 = P(-38 + t * 60, 0)
        p1 = P(-34 + t * 60, -8 * math.sin(math.pi * t ** 0.8))
        lay.paint(kit.line([p0, p1], 0.8 * s), "#b8b0a0", 0.7, cover=False)
    shaft = kit.line([P(-44, 0), P(26, 0)], 1.6 * s)
    _sol(lay, shaft, "#f0ead8", L, 0.6 * s)
    nib = kit.poly([P(26, -1), P(34, 0), P(26, 1)])
    lay.paint(nib, "#3a2a1a")
    return kit.union(vane, shaft, nib)


def screw(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    shank = kit.poly([P(-2, -3), P(14, -2.2), P(18, 0), P(14, 2.2), P(-2, 3)])
    _sol(lay, shank, "#c09050", L, 1 * s, specular=0.9)
    for t in range(5):
        lay.paint(kit.line([P(1 + t * 3, -3), P(2.5 + t * 3, 3)], 0.8 * s), "#6a4a24", 0.7, cover=False)
    head = kit.ellipse(*P(-4, 0), 4 * s, 6 * s)
    _sol(lay, head, "brass", L, 1.5 * s, specular=0.9)
    lay.paint(kit.line([P(-4, -4), P(-4, 4)], 1 * s), "#5a3a1a", 0.8, cover=False)
    return kit.union(shank, head)


def oilcan(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    body = kit.poly([P(-22, 24), P(22, 24), P(22, -4)] + [P(22 * math.cos(t), -4 - 10 * math.sin(t)) for t in np.linspace(0, math.pi, 16)] + [P(-22, -4)])
    _sol(lay, body, "#8a2f2a", L, 7 * s, specular=0.5, tex=None)
    band = kit.intersect(kit.poly([P(-24, 8), P(24, 8), P(24, 14), P(-24, 14)]), body)
    _sol(lay, band, "brass", L, 2 * s, specular=0.8)
    spout = kit.line([P(6, -12), P(30, -36), P(40, -46)], 4 * s)
    _sol(lay, spout, "brass", L, 1.5 * s, specular=0.9)
    cap = kit.ellipse(*P(0, -14), 6 * s, 3 * s)
    _sol(lay, cap, "brass", L, 1.5 * s, specular=0.9)
    handle = kit.subtract(kit.ellipse(*P(-24, 4), 12 * s, 14 * s), kit.ellipse(*P(-24, 4), 8 * s, 10 * s))
    handle = kit.subtract(handle, body)
    _sol(lay, handle, "#6a2622", L, 2 * s, specular=0.4)
    return kit.union(body, spout, cap, handle)


def key_small(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    bow = kit.subtract(kit.ellipse(*P(-16, 0), 9 * s, 9 * s), kit.union(kit.ellipse(*P(-19, 0), 2.5 * s, 2.5 * s), kit.ellipse(*P(-13, 0), 2.5 * s, 2.5 * s), kit.ellipse(*P(-16, -3), 2.5 * s, 2.5 * s)))
    shaft = kit.line([P(-8, 0), P(20, 0)], 3 * s)
    bit = kit.poly([P(13, 1), P(20, 1), P(20, 8), P(17, 8), P(17, 5), P(13, 5)])
    m = kit.union(bow, shaft, bit)
    _sol(lay, m, "brass", L, 1.5 * s, specular=0.9, shin=12)
    return m


def key_big(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    bow = kit.subtract(kit.ellipse(*P(-22, 0), 11 * s, 11 * s), kit.ellipse(*P(-22, 0), 5.5 * s, 5.5 * s))
    shaft = kit.line([P(-12, 0), P(26, 0)], 4.5 * s)
    bit = kit.poly([P(16, 1), P(26, 1), P(26, 12), P(22, 12), P(22, 8), P(16, 8)])
    collar = kit.line([P(-9, -4), P(-9, 4)], 3 * s)
    m = kit.union(bow, shaft, bit, collar)
    _sol(lay, m, "#b08a4e", L, 2 * s, specular=0.9, shin=12)
    return m


def crank(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    arm = kit.line([P(-26, 10), P(20, -10)], 6 * s)
    _sol(lay, arm, "#7a7e84", L, 2 * s, specular=0.8)
    sock = kit.poly([P(-34, 4), P(-20, 4), P(-20, 16), P(-34, 16)])
    _sol(lay, sock, "brass", L, 2 * s, specular=0.9)
    lay.paint(kit.poly([P(-30, 7), P(-24, 7), P(-24, 13), P(-30, 13)]), "#1a120a")
    knob = kit.poly([P(16, -26), P(26, -26), P(27, -6), P(15, -6)])
    _sol(lay, knob, "#5a3a22", L, 3 * s, tex=kit.wood(lay.h, lay.w, seed, "#7a4a2a", angle=1.5))
    return kit.union(arm, sock, knob)


def gearwheel(lay, x, y, s, ang, seed, L):
    g = props.gear(x, y, 34 * s, 16, seed, "brass", 5, ang, L)
    kit_paste(lay, g)
    return kit.Mask(g.a, g.x0, g.y0)


def clockhand(lay, x, y, s, ang, seed, L):
    m = props.hand_mask(x - 40 * s * math.cos(ang), y - 40 * s * math.sin(ang), 90 * s, ang, 7 * s)
    _sol(lay, m, "#2a211b", L, 1.5 * s, amb=0.55, specular=0.7, shin=10)
    boss = kit.ellipse(x - 40 * s * math.cos(ang), y - 40 * s * math.sin(ang), 6 * s, 6 * s)
    _sol(lay, boss, "brass", L, 2 * s, specular=0.9)
    return kit.union(m, boss)


# --- shelves things


def hourglass(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    glass = kit.poly([P(-11, -20), P(11, -20), P(2, 0), P(11, 20), P(-11, 20), P(-2, 0)])
    lay.paint(glass, kit.mix("frost", "teal", 0.3), 0.6)
    sand = kit.union(kit.poly([P(-9, 19), P(9, 19), P(0, 9)]), kit.poly([P(-5, -10), P(5, -10), P(0, -2)]))
    _sol(lay, sand, "#d9b77a", L, 2 * s, amb=0.6)
    caps = kit.union(kit.rect(*P(-15, -25), *P(15, -20)), kit.rect(*P(-15, 20), *P(15, 25)))
    posts = kit.union(kit.line([P(-13, -20), P(-13, 20)], 2.4 * s), kit.line([P(13, -20), P(13, 20)], 2.4 * s))
    wood = kit.union(caps, posts)
    _sol(lay, wood, "#6a3a24", L, 1.5 * s, specular=0.3)
    return kit.union(glass, wood)


def owl(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    body = kit.ellipse(*P(0, 6), 15 * s, 20 * s)
    head = kit.ellipse(*P(0, -14), 13 * s, 11 * s)
    ears = kit.union(kit.poly([P(-12, -18), P(-10, -28), P(-4, -22)]), kit.poly([P(12, -18), P(10, -28), P(4, -22)]))
    m = kit.union(body, head, ears)
    _sol(lay, m, "#8a6a44", L, 5 * s, amb=0.5)
    for ex in (-5, 5):
        lay.paint(kit.ellipse(*P(ex, -14), 4.5 * s, 4.5 * s), "#e8c060")
        lay.paint(kit.ellipse(*P(ex, -14), 2 * s, 2 * s), "#1a120a")
    lay.paint(kit.poly([P(-2, -10), P(2, -10), P(0, -6)]), "#4a3a1a")
    lay.paint(kit.ellipse(*P(0, 10), 9 * s, 12 * s), "#c4a57a", 0.5, cover=False)
    return m


def spyglass(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    segs = [(-34, -14, 6.5, "brass"), (-14, 6, 5.5, "#5a3a22"), (6, 22, 4.5, "brass"), (22, 34, 3.8, "brass")]
    ms = []
    for a, b, r, c in segs:
        m = kit.poly([P(a, -r), P(b, -r), P(b, r), P(a, r)])
        _sol(lay, m, c, L, 2 * s, specular=0.8)
        ms.append(m)
    lens = kit.ellipse(*P(-34, 0), 2 * s, 6.5 * s)
    lay.paint(lens, "frost", 0.8)
    return kit.union(*ms, lens)


def shell(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    pts = [P(0, 14)] + [P(20 * math.cos(t), -16 * math.sin(t) + 2) for t in np.linspace(0.15, math.pi - 0.15, 20)]
    m = kit.poly(pts)
    _sol(lay, m, "#e6c9b0", L, 4 * s, amb=0.55)
    for t in np.linspace(0.3, math.pi - 0.3, 8):
        lay.paint(kit.line([P(0, 12), P(19 * math.cos(t), -15 * math.sin(t) + 2)], 1.2 * s), "#b08870", 0.7, cover=False)
    hinge = kit.poly([P(-6, 10), P(6, 10), P(4, 16), P(-4, 16)])
    _sol(lay, hinge, "#d4b49a", L, 1.5 * s)
    return kit.union(m, hinge)


def candlestick(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    base = kit.ellipse(*P(0, 26), 14 * s, 4 * s)
    stem = kit.poly([P(-3, 24), P(3, 24), P(4, 4), P(2, -6), P(-2, -6), P(-4, 4)])
    cup = kit.poly([P(-8, -6), P(8, -6), P(5, -12), P(-5, -12)])
    m = kit.union(base, stem, cup, kit.ellipse(*P(0, 8), 5 * s, 3 * s))
    _sol(lay, m, "brass", L, 2 * s, specular=0.9)
    c = kit.rect(*P(-3.5, -30), *P(3.5, -12))
    _sol(lay, c, "#efe2c0", L, 2 * s, amb=0.6)
    return kit.union(m, c)


def bell(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    body = kit.poly([P(-16, 12), P(16, 12), P(12, 4), P(10, -8)] + [P(10 * math.cos(t), -8 - 8 * math.sin(t)) for t in np.linspace(0, math.pi, 10)] + [P(-10, -8), P(-12, 4)])
    _sol(lay, body, "brass", L, 5 * s, specular=0.9)
    handle = kit.line([P(0, -16), P(0, -30)], 4 * s)
    _sol(lay, handle, "#3a2216", L, 1.5 * s)
    knob = kit.ellipse(*P(0, -31), 4 * s, 4 * s)
    _sol(lay, knob, "#3a2216", L, 1.5 * s)
    return kit.union(body, handle, knob)


def teacup(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    cup = kit.poly([P(-14, -10), P(14, -10), P(11, 6), P(6, 10), P(-6, 10), P(-11, 6)])
    _sol(lay, cup, "#eef0f2", L, 5 * s, amb=0.55, specular=0.5)
    rim = kit.ellipse(*P(0, -10), 14 * s, 3 * s)
    lay.paint(rim, "#b8a890")
    handle = kit.subtract(kit.ellipse(*P(16, -2), 6 * s, 6 * s), kit.ellipse(*P(16, -2), 3.5 * s, 3.5 * s))
    _sol(lay, handle, "#e6e8ea", L, 1.5 * s)
    saucer = kit.ellipse(*P(0, 11), 19 * s, 4 * s)
    _sol(lay, saucer, "#e2e4e6", L, 1.5 * s)
    band = kit.intersect(kit.poly([P(-14, -5), P(14, -5), P(14, -2), P(-14, -2)]), cup)
    lay.paint(band, "#4a6a9a", 0.8)
    return kit.union(cup, handle, saucer, rim)


def scroll(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    body = kit.poly([P(-30, -6), P(30, -6), P(30, 6), P(-30, 6)])
    _sol(lay, body, "parchment", L, 4 * s, amb=0.55)
    ends = kit.union(kit.ellipse(*P(-30, 0), 3 * s, 6 * s), kit.ellipse(*P(30, 0), 3 * s, 6 * s))
    _sol(lay, ends, "parchment_shade", L, 1 * s)
    tie = kit.line([P(4, -7), P(4, 7)], 2.2 * s)
    lay.paint(tie, "wine")
    return kit.union(body, ends)


def anchor(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    ring = kit.subtract(kit.ellipse(*P(0, -22), 5 * s, 5 * s), kit.ellipse(*P(0, -22), 2.6 * s, 2.6 * s))
    shank = kit.line([P(0, -17), P(0, 18)], 3.5 * s)
    stock = kit.line([P(-9, -12), P(9, -12)], 3 * s)
    arms = kit.line([P(-16, 8)] + [P(16 * math.sin(t), 20 - 12 * math.cos(t) * 0 + 0 * t) for t in []] +
                    [P(-14, 14), P(-8, 19), P(0, 20), P(8, 19), P(14, 14), P(16, 8)], 3 * s)
    flukes = kit.union(kit.poly([P(-18, 4), P(-12, 10), P(-19, 12)]), kit.poly([P(18, 4), P(12, 10), P(19, 12)]))
    m = kit.union(ring, shank, stock, arms, flukes)
    _sol(lay, m, "#5d6670", L, 1.5 * s, specular=0.7)
    return m


def pipe(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    bowl = kit.poly([P(8, -12), P(22, -12), P(21, 4), P(15, 10), P(9, 4)])
    stem = kit.line([P(-30, -4), P(0, 2), P(12, 4)], 4 * s)
    m = kit.union(bowl, stem)
    _sol(lay, m, "#6a3a20", L, 3 * s, specular=0.4)
    lay.paint(kit.ellipse(*P(15, -12), 6 * s, 2 * s), "#1a100a")
    mouth = kit.line([P(-34, -5), P(-24, -3)], 3.5 * s)
    _sol(lay, mouth, "#1c1c1c", L, 1 * s, specular=0.6)
    return kit.union(m, mouth)


def starfish(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    pts = []
    for i in range(10):
        a = -math.pi / 2 + i * math.pi / 5
        r = 22 if i % 2 == 0 else 8
        pts.append(P(r * math.cos(a), r * math.sin(a)))
    m = kit.poly(pts)
    _sol(lay, m, "#d07a4a", L, 4 * s, amb=0.5)
    xx, yy = lay.grid()
    dots = ((np.mod(xx + yy * 0.5, 4 * s) < 1.3 * s) & (np.mod(yy, 4 * s) < 1.3 * s)).astype(np.float32)
    lay.glow(dots * lay.local(m) * 0.15, "candle")
    return m


def pawn(lay, x, y, s, ang, seed, L, c="#e8dcc0"):
    P = T(x, y, s, ang)
    base = kit.poly([P(-10, 16), P(10, 16), P(9, 12), P(5, 10), P(3, -2), P(6, -4), P(6, -6), P(-6, -6), P(-6, -4), P(-3, -2), P(-5, 10), P(-9, 12)])
    head = kit.ellipse(*P(0, -12), 6 * s, 6 * s)
    m = kit.union(base, head)
    _sol(lay, m, c, L, 3 * s, amb=0.5, specular=0.4)
    return m


def book_flat(lay, x, y, s, ang, seed, L, c="wine"):
    P = T(x, y, s, ang)
    m = kit.poly([P(-30, -20), P(30, -20), P(30, 20), P(-30, 20)])
    _sol(lay, m, c, L, 3 * s, amb=0.5)
    pages = kit.poly([P(-28, 20), P(28, 20), P(28, 24), P(-28, 24)])
    _sol(lay, pages, "parchment", L, 1 * s, amb=0.7)
    return kit.union(m, pages)


def paper(lay, x, y, s, ang, seed, L, drawing=True):
    """A sheet of drawing paper, slightly curled, with a wheel drawn on it and notes."""
    P = T(x, y, s, ang)
    m = kit.poly([P(-50, -36), P(50, -36), P(50, 36), P(-50, 36)])
    tex = kit.tex_noise(lay.h, lay.w, "parchment", kit.mix("parchment", "parchment_shade", 0.6), 30 * s, seed, 3)
    props.solid(m, "parchment", L, 6 * s, amb=0.8, lay=lay, tex=tex, strength=0.25)
    if drawing:
        rng = np.random.default_rng(seed)
        w = max(0.8, 0.9 * s)
        cx, cy = rng.random() * 20 - 22, rng.random() * 10 - 5
        r = 20 + rng.random() * 6
        g = props.gear_poly(*P(cx, cy), r * s, int(12 + rng.random() * 10), phase=ang)
        lay.paint(kit.line(g + [g[0]], w), "ink", 0.6, cover=False)
        for rr in (0.3, 0.7):
            pts = [P(cx + r * rr * math.cos(t), cy + r * rr * math.sin(t)) for t in np.linspace(0, 2 * math.pi, 30)]
            lay.paint(kit.line(pts, w * 0.8), "ink", 0.45, cover=False)
        lay.paint(kit.line([P(cx - r - 4, cy), P(cx + r + 4, cy)], w * 0.6), "ink", 0.35, cover=False)
        lay.paint(kit.line([P(cx, cy - r - 4), P(cx, cy + r + 4)], w * 0.6), "ink", 0.35, cover=False)
        # a dimension line with its arrows, and a few lines of notes on the right
        yv = cy + r + 8
        lay.paint(kit.line([P(cx - r, yv), P(cx + r, yv)], w * 0.7), "ink", 0.45, cover=False)
        for sd in (-1, 1):
            lay.paint(kit.line([P(cx + sd * r, yv), P(cx + sd * (r - 4), yv - 2), P(cx + sd * (r - 4), yv + 2), P(cx + sd * r, yv)], w * 0.6),
                      "ink", 0.45, cover=False)
        for i in range(5):
            yl = -26 + i * 8
            lay.paint(kit.line([P(14, yl), P(14 + 14 + rng.random() * 18, yl)], w * 0.7), "ink", 0.4, cover=False)
    return m


def diary_page(lay, x, y, s, ang, seed, L, pin=True):
    """A torn page of Ysolde's diary: handwriting, a little sketch, a brass pin."""
    P = T(x, y, s, ang)
    rng = np.random.default_rng(seed)
    edge = [P(-40, -52), P(40, -52)]
    for k in range(9):
        edge.append(P(40 + (rng.random() - 0.5) * 3, -52 + k * 13))
    edge.append(P(40, 52))
    for k in range(16):
        edge.append(P(40 - k * 5.3, 52 + (rng.random() - 0.5) * 4))
    edge.append(P(-40, 52))
    m = kit.poly(edge)
    tex = kit.tex_noise(lay.h, lay.w, "parchment", kit.mix("parchment", "parchment_shade", 0.7), 6 * s, seed)
    props.solid(m, "parchment", L, 3 * s, amb=0.75, lay=lay, tex=tex, strength=0.4)
    for k in range(10):
        yv = -42 + k * 8.5
        x1 = 32 - rng.random() * (30 if k in (3, 9) else 6)
        pts = [P(xx, yv + 0.8 * math.sin(xx * 0.9 + k)) for xx in np.linspace(-32, x1, 16)]
        lay.paint(kit.line(pts, max(0.6, 0.7 * s)), "ink", 0.55, cover=False)
    # a little sketch of a gear in the corner
    g = props.gear_poly(*P(20, 28), 9 * s, 8)
    lay.paint(kit.line(g + [g[0]], max(0.6, 0.6 * s)), "ink", 0.5, cover=False)
    if pin:
        props.solid(kit.ellipse(*P(0, -46), 3 * s, 3 * s), "wine", L, 1.5 * s, specular=0.7, lay=lay)
    return m
