"""The workbench scene's own things: findable tools and trinkets, and the clutter they hide among.

Seen from above at a slant, lit by the bench lamp. Each painter draws into a Layer at (x, y) with
scale s and rotation ang and returns its coverage mask, as the painters of things.py do. Shapes are
drawn for their silhouette first: a find must be named at a glance once the eye lands on it.
"""
import math

import numpy as np

import kit
import props
from things import T, _sol

STEEL = "#a9afb8"
DARK_STEEL = "#6c727b"


def pliers(lay, x, y, s, ang, seed, L):
    """Slip-joint pliers: short blunt ridged jaws, a big rivet, long straight handles dipped in red."""
    P = T(x, y, s, ang)
    # the two halves cross at the rivet; each is a blunt jaw ahead of it and a handle behind
    jaw_a = kit.poly([P(0, -7), P(10, -9), P(26, -7), P(30, -4), P(30, 0), P(0, 2)])
    jaw_b = kit.poly([P(0, 7), P(10, 9), P(26, 7), P(30, 4), P(30, 0.5), P(0, -2)])
    boss = kit.ellipse(*P(0, 0), 9 * s, 9 * s)
    h_a = kit.poly([P(-2, -5), P(-48, -15), P(-50, -10), P(-2, 1)])
    h_b = kit.poly([P(-2, 5), P(-48, 15), P(-50, 10), P(-2, -1)])
    steel = kit.union(jaw_a, jaw_b, boss, h_a, h_b)
    _sol(lay, steel, STEEL, L, 2 * s, specular=0.9, shin=12)
    # ridges across the jaws and the dark gap between them
    for k in range(6):
        u = 12 + k * 3
        lay.paint(kit.line([P(u, -7), P(u + 1, -1)], 0.9 * s), "#3a3e44", 0.7, cover=False)
        lay.paint(kit.line([P(u, 7), P(u + 1, 1)], 0.9 * s), "#3a3e44", 0.7, cover=False)
    lay.paint(kit.line([P(4, 0.2), P(30, 0.2)], 1.2 * s), "#22252a", 0.9, cover=False)
    grips = kit.union(kit.poly([P(-16, -8), P(-58, -19), P(-60, -12), P(-16, -2)]),
                      kit.poly([P(-16, 8), P(-58, 19), P(-60, 12), P(-16, 2)]))
    _sol(lay, grips, "#b3372c", L, 3 * s, specular=0.4, shin=8)
    rivet = kit.ellipse(*P(0, 0), 4 * s, 4 * s)
    _sol(lay, rivet, "#d6dae0", L, 1.5 * s, specular=1.0)
    lay.paint(kit.line([P(-2.5, 0), P(2.5, 0)], 1 * s), "#3a3e44", 0.8, cover=False)
    return kit.union(steel, grips)


def hammer(lay, x, y, s, ang, seed, L):
    """A small hammer: a long pale ash handle and a steel head across its end, flat face and wedge peen."""
    P = T(x, y, s, ang)
    handle = kit.poly([P(-50, -3.4), P(2, -4.4), P(2, 4.4), P(-50, 3.4), P(-53, 0)])
    _sol(lay, handle, "#f2d29a", L, 2.5 * s, amb=0.7,
         tex=kit.wood(lay.h, lay.w, seed, "#f6d8a0", "#d8a868", angle=ang, freq=0.25))
    lay.paint(kit.line([P(-53, 0), P(-44, 0)], 6 * s), "#5a3a22", 0.5, cover=False)
    # the head: a block with a round striking face at one end and a tapering peen at the other
    block = kit.poly([P(-6, -16), P(10, -16), P(10, 8), P(8, 12), P(5, 24), P(-1, 24), P(-4, 12), P(-6, 8)])
    face = kit.poly([P(-8, -24), P(12, -24), P(10, -16), P(-6, -16)])
    _sol(lay, block, "#59606a", L, 3 * s, specular=0.9, shin=14)
    _sol(lay, face, "#b9bec6", L, 2 * s, specular=1.0)
    lay.paint(kit.line([P(1, 22), P(3, 22)], 2.4 * s), "#c9ced6", 0.9, cover=False)
    lay.paint(kit.poly([P(-2, -3), P(6, -3), P(6, 3), P(-2, 3)]), "#9a7040", 0.85)
    return kit.union(handle, block, face)


def key(lay, x, y, s, ang, seed, L):
    """An old brass key with a trefoil bow."""
    P = T(x, y, s, ang)
    bow = kit.union(*[kit.ellipse(*P(-28 + 7 * math.cos(t), 7 * math.sin(t)), 7 * s, 7 * s)
                      for t in (0, 2.094, 4.189)])
    holes = kit.union(*[kit.ellipse(*P(-28 + 7 * math.cos(t), 7 * math.sin(t)), 3 * s, 3 * s)
                        for t in (0, 2.094, 4.189)])
    bow = kit.subtract(bow, holes)
    shaft = kit.union(kit.line([P(-20, 0), P(26, 0)], 4.5 * s), kit.line([P(-16, -4), P(-16, 4)], 3 * s))
    bit = kit.subtract(kit.poly([P(14, 1), P(27, 1), P(27, 13), P(14, 13)]), kit.rect(*P(19, 6), *P(22, 14)))
    m = kit.union(bow, shaft, bit)
    _sol(lay, m, "#d7a64c", L, 2 * s, specular=1.0, shin=12, tex=props.brass_tex(lay.h, lay.w, seed, "#d7a64c"))
    return m


def magnet(lay, x, y, s, ang, seed, L):
    """A red horseshoe magnet with bright steel pole tips."""
    P = T(x, y, s, ang)
    arc_o = [P(-2 + 22 * math.cos(t), 22 * math.sin(t)) for t in np.linspace(math.pi / 2, 3 * math.pi / 2, 24)]
    arc_i = [P(-2 + 10 * math.cos(t), 10 * math.sin(t)) for t in np.linspace(3 * math.pi / 2, math.pi / 2, 24)]
    body = kit.poly(arc_o + [P(30, -22), P(30, -10)] + arc_i + [P(30, 10), P(30, 22)])
    _sol(lay, body, "#c0302a", L, 4 * s, specular=0.6, shin=10)
    tips = kit.union(kit.poly([P(30, 22), P(42, 22), P(42, 10), P(30, 10)]),
                     kit.poly([P(30, -22), P(42, -22), P(42, -10), P(30, -10)]))
    _sol(lay, tips, "#dfe3e8", L, 2 * s, specular=1.0)
    return kit.union(body, tips)


def spool(lay, x, y, s, ang, seed, L, thread="#2f6fb0"):
    """A cotton reel lying on its side: two wooden flanges and a barrel of coloured thread."""
    P = T(x, y, s, ang)
    barrel = kit.poly([P(-18, -13), P(18, -13), P(18, 13), P(-18, 13)])
    _sol(lay, barrel, thread, L, 5 * s, specular=0.3)
    for k in range(14):
        u = -17 + k * 2.6
        lay.paint(kit.line([P(u, -13), P(u + 1.2, 13)], 0.7 * s), kit.shade_of(thread, 0.6), 0.5, cover=False)
    fl = kit.union(kit.ellipse(*P(-21, 0), 5 * s, 19 * s), kit.ellipse(*P(21, 0), 5 * s, 19 * s))
    _sol(lay, fl, "#d9b07a", L, 3 * s, tex=kit.wood(lay.h, lay.w, seed, "#d9b07a", angle=ang, freq=0.2))
    lay.paint(kit.ellipse(*P(22, 0), 2 * s, 4 * s), "#3a2614", 0.9)
    loose = kit.line([P(10, 13), P(16, 22), P(30, 26), P(44, 22)], 1.3 * s)
    lay.paint(loose, thread, 0.95)
    return kit.union(barrel, fl, loose)


def spanner(lay, x, y, s, ang, seed, L):
    """A double open-ended spanner."""
    P = T(x, y, s, ang)
    shank = kit.poly([P(-34, -4), P(34, -4), P(34, 4), P(-34, 4)])
    heads = []
    for sx in (-1, 1):
        r = 11 if sx > 0 else 9
        hd = kit.ellipse(*P(sx * 40, 0), r * s, r * s)
        gap = kit.poly([P(sx * 38, -r * 0.45), P(sx * (40 + r + 4), -r * 0.55), P(sx * (40 + r + 4), r * 0.55),
                        P(sx * 38, r * 0.45)])
        heads.append(kit.subtract(hd, gap))
    m = kit.union(shank, *heads)
    _sol(lay, m, STEEL, L, 2.5 * s, specular=0.95, shin=10)
    lay.paint(kit.line([P(-20, 0), P(20, 0)], 2.4 * s), "#80868f", 0.45, cover=False)
    return m


def padlock(lay, x, y, s, ang, seed, L):
    """A brass padlock with its steel shackle and a keyhole."""
    P = T(x, y, s, ang)
    shackle = kit.subtract(
            kit.union(kit.ellipse(*P(0, -14), 13 * s, 13 * s), kit.poly([P(-13, -14), P(13, -14), P(13, 0), P(-13, 0)])),
            kit.union(kit.ellipse(*P(0, -14), 8 * s, 8 * s), kit.poly([P(-8, -14), P(8, -14), P(8, 0), P(-8, 0)])))
    _sol(lay, shackle, "#c2c7ce", L, 2 * s, specular=1.0)
    body = kit.poly([P(-17, -4), P(17, -4), P(19, 2), P(19, 20), P(15, 24), P(-15, 24), P(-19, 20), P(-19, 2)])
    _sol(lay, body, "#c8963e", L, 5 * s, specular=0.8, tex=props.brass_tex(lay.h, lay.w, seed))
    hole = kit.union(kit.ellipse(*P(0, 8), 3.2 * s, 3.2 * s), kit.poly([P(-1.6, 8), P(1.6, 8), P(2.4, 17), P(-2.4, 17)]))
    lay.paint(hole, "#1a120a")
    return kit.union(shackle, body)


def matchbox(lay, x, y, s, ang, seed, L):
    """A matchbox with its tray half open: red-headed matches and a blue and yellow label."""
    P = T(x, y, s, ang)
    tray = kit.poly([P(-4, -14), P(40, -14), P(40, 14), P(-4, 14)])
    _sol(lay, tray, "#d8c49a", L, 2 * s)
    lay.paint(kit.poly([P(-2, -11), P(38, -11), P(38, 11), P(-2, 11)]), "#8a6a40", 0.6)
    for k in range(6):
        v = -9 + k * 3.6
        stick = kit.line([P(-2, v), P(30, v + 0.3)], 2.2 * s)
        _sol(lay, stick, "#e8d2a0", L, 0.8 * s)
        _sol(lay, kit.ellipse(*P(32, v + 0.3), 3.2 * s, 2.3 * s), "#c02a20", L, 1 * s, specular=0.5)
    sleeve = kit.poly([P(-34, -16), P(8, -16), P(8, 16), P(-34, 16)])
    _sol(lay, sleeve, "#2e5a9a", L, 2.5 * s, amb=0.55)
    lay.paint(kit.poly([P(-28, -10), P(2, -10), P(2, 10), P(-28, 10)]), "#e8c44a", 0.95)
    lay.paint(kit.ellipse(*P(-13, 0), 7 * s, 6 * s), "#c02a20", 0.9)
    lay.paint(kit.line([P(-33, -16), P(-33, 16)], 2.5 * s), "#5a3a2a", 0.7, cover=False)
    return kit.union(tray, sleeve)


def die(lay, x, y, s, ang, seed, L):
    """An ivory die: its top face square to the eye, two sides falling away in shade, black pips."""
    P = T(x, y, s, ang)
    top = kit.poly([P(-14, -14), P(14, -14), P(14, 14), P(-14, 14)])
    side_r = kit.poly([P(14, -14), P(20, -9), P(20, 19), P(14, 14)])
    side_b = kit.poly([P(-14, 14), P(14, 14), P(20, 19), P(-8, 19)])
    _sol(lay, side_r, "#b8a88a", L, 1.5 * s, amb=0.5)
    _sol(lay, side_b, "#cbbd9e", L, 1.5 * s, amb=0.55)
    _sol(lay, top, "#f3ead6", L, 3 * s, amb=0.7, specular=0.4)
    for (u, v) in ((-8, -8), (8, -8), (0, 0), (-8, 8), (8, 8)):
        lay.paint(kit.ellipse(*P(u, v), 2.8 * s, 2.8 * s), "#1c1410")
    for (u, v) in ((17, -2), (17, 12)):
        lay.paint(kit.ellipse(*P(u, v), 1.4 * s, 2.2 * s), "#2a2018", 0.9)
    lay.paint(kit.ellipse(*P(3, 16.5), 2.2 * s, 1.2 * s), "#2a2018", 0.9)
    return kit.union(top, side_r, side_b)


def penknife(lay, x, y, s, ang, seed, L):
    """A folding knife, its blade half out: a stag-horn handle between brass bolsters."""
    P = T(x, y, s, ang)
    blade = kit.poly([P(18, -5), P(40, -7), P(58, -3), P(60, 0), P(40, 3), P(18, 3)])
    _sol(lay, blade, "#cfd4da", L, 1.5 * s, specular=1.0, shin=20)
    lay.paint(kit.line([P(22, 0.5), P(52, -1.5)], 0.9 * s), "#8a9098", 0.6, cover=False)
    handle = kit.poly([P(-30, -5), P(16, -7), P(20, -3), P(20, 4), P(16, 7), P(-30, 6), P(-34, 0)])
    _sol(lay, handle, "#8a5a34", L, 4 * s, tex=kit.tex_noise(lay.h, lay.w, "#9a6a40", "#5a361c", 3 * s, seed))
    bol = kit.union(kit.poly([P(12, -7), P(20, -6), P(20, 6), P(12, 7)]), kit.poly([P(-34, -4), P(-26, -5.5), P(-26, 5.5), P(-34, 4)]))
    _sol(lay, bol, "#d7a64c", L, 1.5 * s, specular=1.0)
    for u in (-18, 2):
        lay.paint(kit.ellipse(*P(u, 0), 1.6 * s, 1.6 * s), "#e8c070")
    return kit.union(blade, handle, bol)


def brush(lay, x, y, s, ang, seed, L):
    """A painter's brush: a black lacquered handle, a bright ferrule and a tuft of bristles."""
    P = T(x, y, s, ang)
    handle = kit.poly([P(-46, -2), P(-10, -4), P(6, -4.5), P(6, 4.5), P(-10, 4), P(-46, 2), P(-48, 0)])
    _sol(lay, handle, "#23201e", L, 2.5 * s, specular=0.9, shin=20)
    fer = kit.poly([P(6, -4.5), P(20, -5), P(20, 5), P(6, 4.5)])
    _sol(lay, fer, "#d0d4da", L, 2 * s, specular=1.0)
    tuft = kit.poly([P(20, -5), P(30, -6), P(38, -2), P(40, 0), P(38, 2), P(30, 6), P(20, 5)])
    _sol(lay, tuft, "#e0b070", L, 2 * s)
    for k in range(5):
        lay.paint(kit.line([P(21, -4 + k * 2), P(37, -1.5 + k * 0.8)], 0.6 * s), "#8a5a2a", 0.5, cover=False)
    lay.paint(kit.ellipse(*P(37, 0), 3 * s, 2 * s), "#2f6fb0", 0.8)
    return kit.union(handle, fer, tuft)


def teaspoon(lay, x, y, s, ang, seed, L):
    """A silver teaspoon, bowl up."""
    P = T(x, y, s, ang)
    bowl = kit.ellipse(*P(22, 0), 13 * s, 8.5 * s)
    stem = kit.poly([P(-32, -3.5), P(-26, -4), P(10, -1.6), P(10, 1.6), P(-26, 4), P(-32, 3.5), P(-34, 0)])
    m = kit.union(bowl, stem)
    _sol(lay, m, "#d6dbe2", L, 2 * s, specular=1.0, shin=16)
    lay.paint(kit.ellipse(*P(23, 1), 9 * s, 5.5 * s), "#8e959e", 0.45, cover=False)
    lay.paint(kit.ellipse(*P(18, -3), 3 * s, 1.5 * s), "#ffffff", 0.8, cover=False)
    return m


def loupe(lay, x, y, s, ang, seed, L):
    """A reading glass: a brass-rimmed lens that catches the lamp, on a turned ebony handle."""
    P = T(x, y, s, ang)
    handle = kit.poly([P(16, -3.5), P(46, -4.5), P(50, 0), P(46, 4.5), P(16, 3.5)])
    _sol(lay, handle, "#2a201a", L, 3 * s, specular=0.8, shin=18)
    neck = kit.poly([P(12, -3), P(19, -3.5), P(19, 3.5), P(12, 3)])
    _sol(lay, neck, "#d7a64c", L, 1.2 * s, specular=1.0)
    rim = kit.subtract(kit.ellipse(*P(-4, 0), 18 * s, 18 * s), kit.ellipse(*P(-4, 0), 14.5 * s, 14.5 * s))
    glass = kit.ellipse(*P(-4, 0), 14.5 * s, 14.5 * s)
    lay.paint(glass, "#a8c8d4", 0.55)
    lay.paint(kit.line([P(-4 - 10 * math.cos(t), -10 * math.sin(t)) for t in np.linspace(0.3, 1.5, 12)], 2.2 * s),
              "#ffffff", 0.9)
    lay.paint(kit.ellipse(*P(3, 6), 3 * s, 2 * s), "#ffffff", 0.6)
    _sol(lay, rim, "#d7a64c", L, 1.8 * s, specular=1.0, shin=12)
    return kit.union(handle, neck, rim, glass)


def spring(lay, x, y, s, ang, seed, L):
    """A coil spring lying on its side: bright steel loops along its length."""
    P = T(x, y, s, ang)
    n = 9
    pts = [P(-26 + 52 * t / (2 * math.pi * n) + 3.5 * math.cos(t), 9 * math.sin(t)) for t in np.linspace(0, 2 * math.pi * n, 360)]
    m = kit.line(pts, 2.6 * s)
    _sol(lay, m, "#c9ccd2", L, 1.0 * s, specular=1.0, shin=10)
    ends = kit.union(kit.line([P(-30, 0), P(-23, 0)], 2.6 * s), kit.line([P(26, 0), P(32, 0)], 2.6 * s))
    _sol(lay, ends, "#c9ccd2", L, 1.0 * s, specular=1.0)
    return kit.union(m, ends)


def screw(lay, x, y, s, ang, seed, L):
    """A long brass wood screw: a domed slotted head and a threaded shank to its point."""
    P = T(x, y, s, ang)
    shank = kit.poly([P(-2, -3.4), P(20, -2.6), P(27, 0), P(20, 2.6), P(-2, 3.4)])
    _sol(lay, shank, "#d3a458", L, 1 * s, specular=0.9)
    for t in range(7):
        lay.paint(kit.line([P(1 + t * 3, -3.4), P(3 + t * 3, 3.4)], 0.9 * s), "#6a4a24", 0.75, cover=False)
    head = kit.ellipse(*P(-5, 0), 4.5 * s, 7 * s)
    _sol(lay, head, "#e0b262", L, 1.8 * s, specular=1.0)
    lay.paint(kit.line([P(-5, -5.5), P(-5, 5.5)], 1.2 * s), "#5a3a1a", 0.85, cover=False)
    return kit.union(shank, head)


# ---------------------------------------------------------------- clutter


def candlestick(lay, x, y, s, ang, seed, L):
    """A brass chamberstick with a tall candle (its flame is an animation of the room)."""
    P = T(x, y, s, 0)
    dish = kit.ellipse(*P(0, 20), 30 * s, 12 * s)
    _sol(lay, dish, "brass", L, 3 * s, specular=0.9, tex=props.brass_tex(lay.h, lay.w, seed))
    lay.paint(kit.ellipse(*P(0, 18), 24 * s, 9 * s), kit.mix("brass", "walnut", 0.35), 0.6)
    handle = kit.subtract(kit.ellipse(*P(30, 18), 9 * s, 6 * s), kit.ellipse(*P(30, 18), 5 * s, 3 * s))
    _sol(lay, handle, "brass", L, 1.5 * s, specular=0.9)
    cup = kit.union(kit.rect(*P(-9, 2), *P(9, 16)), kit.ellipse(*P(0, 16), 9 * s, 4 * s), kit.ellipse(*P(0, 2), 11 * s, 4 * s))
    _sol(lay, cup, "brass", L, 2 * s, specular=0.9)
    body = kit.union(kit.rect(*P(-6.5, -44), *P(6.5, 2)), kit.ellipse(*P(0, 2), 6.5 * s, 2.5 * s))
    wax = kit.tex_noise(lay.h, lay.w, "#f6ecd2", "#dccca4", 3 * s, seed)
    _sol(lay, body, "#f2e6c6", L, 3.5 * s, amb=0.6, tex=wax)
    _sol(lay, kit.ellipse(*P(0, -44), 6.5 * s, 2.5 * s), "#fbf4e2", L, 1 * s, amb=0.85)
    drip = kit.union(kit.line([P(4.5, -44), P(5, -30)], 2.4 * s), kit.ellipse(*P(5, -29), 1.8 * s, 2.2 * s))
    _sol(lay, drip, "#fff8e8", L, 1 * s, amb=0.8)
    lay.paint(kit.line([P(0, -44), P(0.5, -49)], 1.4 * s), "#1a1410")
    return kit.union(dish, handle, cup, body)


def inkwell(lay, x, y, s, ang, seed, L):
    """A square glass inkwell from above, its brass lid thrown back."""
    P = T(x, y, s, ang)
    glass = kit.poly([P(-18, -18), P(18, -18), P(18, 18), P(-18, 18)])
    _sol(lay, glass, kit.mix("frost", "teal", 0.5), L, 5 * s, amb=0.4, specular=1.0, shin=30)
    lay.paint(kit.ellipse(*P(0, 0), 9 * s, 9 * s), "#141820", 0.95)
    lid = kit.ellipse(*P(0, -26), 11 * s, 6 * s)
    _sol(lay, lid, "brass", L, 2 * s, specular=0.9)
    return kit.union(glass, lid)


def bottle_lying(lay, x, y, s, ang, seed, L, c="#2f5a3a", label=True):
    """A glass bottle on its side: body, shoulder, neck and cork."""
    P = T(x, y, s, ang)
    body = kit.union(kit.poly([P(-30, -13), P(14, -13), P(14, 13), P(-30, 13)]),
                     kit.poly([P(14, -13), P(24, -5), P(24, 5), P(14, 13)]))
    _sol(lay, body, c, L, 6 * s, amb=0.35, specular=1.0, shin=24)
    neck = kit.poly([P(23, -4.5), P(34, -4), P(34, 4), P(23, 4.5)])
    _sol(lay, neck, c, L, 2 * s, amb=0.35, specular=1.0)
    cork = kit.poly([P(34, -4), P(41, -4), P(41, 4), P(34, 4)])
    _sol(lay, cork, "#b08a5a", L, 1.5 * s)
    if label:
        lay.paint(kit.poly([P(-22, -11), P(2, -11), P(2, 11), P(-22, 11)]), "parchment", 0.85)
        lay.paint(kit.line([P(-18, -3), P(-2, -3)], 1 * s), "ink", 0.5)
        lay.paint(kit.line([P(-18, 3), P(-6, 3)], 1 * s), "ink", 0.5)
    lay.paint(kit.line([P(-26, -8), P(20, -8)], 1.6 * s), "#ffffff", 0.35, cover=False)
    return kit.union(body, neck, cork)


def string_ball(lay, x, y, s, ang, seed, L):
    """A ball of twine with a loose end."""
    P = T(x, y, s, ang)
    ball = kit.ellipse(*P(0, 0), 20 * s, 18 * s)
    _sol(lay, ball, "#c8a878", L, 7 * s)
    rng = np.random.default_rng(seed)
    for k in range(16):
        a = rng.random() * math.pi
        pts = [P(19 * math.cos(t) * math.cos(a) - 6 * math.sin(t) * math.sin(a),
                 17 * math.cos(t) * math.sin(a) + 6 * math.sin(t) * math.cos(a)) for t in np.linspace(0, math.pi, 14)]
        lay.paint(kit.line(pts, 0.8 * s), "#7a5a34", 0.45, cover=False)
    end = kit.line([P(16, 8), P(30, 20), P(48, 18), P(60, 28)], 1.4 * s)
    lay.paint(end, "#b89868", 0.95)
    return kit.union(ball, end)


def saw(lay, x, y, s, ang, seed, L):
    """A jeweller's fret saw: a steel U-frame, a fine blade and a wooden grip."""
    P = T(x, y, s, ang)
    frame = kit.line([P(-30, 0), P(-30, -30), P(40, -30), P(40, 0)], 3 * s)
    _sol(lay, frame, STEEL, L, 1.2 * s, specular=0.9)
    lay.paint(kit.line([P(-30, 0), P(40, 0)], 0.9 * s), "#d8dce2", 0.9)
    grip = kit.poly([P(-34, 0), P(-26, 0), P(-25, 24), P(-30, 28), P(-35, 24)])
    _sol(lay, grip, "#8a5a30", L, 3 * s, tex=kit.wood(lay.h, lay.w, seed, "#8a5a30", angle=ang + 1.57, freq=0.3))
    return kit.union(frame, grip)


def awl(lay, x, y, s, ang, seed, L):
    P = T(x, y, s, ang)
    hd = kit.ellipse(*P(-14, 0), 16 * s, 6 * s)
    _sol(lay, hd, "#7a4a28", L, 4 * s, specular=0.4)
    pt = kit.poly([P(0, -1.6), P(30, -0.5), P(32, 0), P(30, 0.5), P(0, 1.6)])
    _sol(lay, pt, STEEL, L, 0.8 * s, specular=0.9)
    return kit.union(hd, pt)


def chain(lay, x, y, s, ang, seed, L, n=12):
    """A loose length of watch chain."""
    P = T(x, y, s, ang)
    out = []
    for k in range(n):
        t = k / n
        u, v = -40 + 80 * t, 10 * math.sin(t * 5)
        lk = kit.subtract(kit.ellipse(*P(u, v), 4.5 * s, 3 * s), kit.ellipse(*P(u, v), 2.5 * s, 1.2 * s))
        out.append(lk)
        _sol(lay, lk, "#d8b060", L, 0.8 * s, specular=0.9)
    return kit.union(*out)


def envelope(lay, x, y, s, ang, seed, L):
    """A sealed letter, its red wax seal up."""
    P = T(x, y, s, ang)
    m = kit.poly([P(-40, -24), P(40, -24), P(40, 24), P(-40, 24)])
    _sol(lay, m, "#eee2c4", L, 2 * s, amb=0.75)
    lay.paint(kit.line([P(-40, -24), P(0, 6), P(40, -24)], 1 * s), "#a89870", 0.6, cover=False)
    seal = kit.ellipse(*P(0, 6), 8 * s, 8 * s)
    _sol(lay, seal, "#9a2020", L, 3 * s, specular=0.5)
    lay.paint(kit.line([P(-22, 14), P(14, 14)], 1 * s), "ink", 0.45)
    return m


def pincushion(lay, x, y, s, ang, seed, L):
    """A red pincushion stuck with pins."""
    P = T(x, y, s, ang)
    m = kit.ellipse(*P(0, 0), 20 * s, 16 * s)
    _sol(lay, m, "#a8302a", L, 8 * s, tex=kit.tex_noise(lay.h, lay.w, "#b0362e", "#7a2020", 2 * s, seed))
    rng = np.random.default_rng(seed)
    for k in range(9):
        a = rng.random() * 6.28
        r = rng.random() * 12
        u, v = r * math.cos(a), r * math.sin(a) * 0.8
        lay.paint(kit.line([P(u, v), P(u + 4, v - 7)], 0.8 * s), "#d8dce2", 0.9)
        _sol(lay, kit.ellipse(*P(u + 4, v - 8), 2 * s, 2 * s), ["#e8c44a", "#2f6fb0", "#f0f0f0"][k % 3], L, 0.8 * s, specular=0.9)
    return m


def apple(lay, x, y, s, ang, seed, L):
    """A half-eaten apple, forgotten at noon."""
    P = T(x, y, s, ang)
    m = kit.subtract(kit.ellipse(*P(0, 0), 20 * s, 19 * s), kit.ellipse(*P(20, 4), 11 * s, 13 * s))
    _sol(lay, m, "#b8402a", L, 7 * s, specular=0.5, tex=kit.tex_noise(lay.h, lay.w, "#c04a2a", "#8a8a30", 6 * s, seed))
    lay.paint(kit.intersect(m, kit.ellipse(*P(20, 4), 15 * s, 17 * s)), "#f0e0b0", 0.95)
    lay.paint(kit.line([P(-2, -14), P(-5, -22)], 1.6 * s), "#4a3018")
    return m


def tin(lay, x, y, s, ang, seed, L):
    """A round tin of buttons, its lid beside it."""
    P = T(x, y, s, ang)
    box = kit.ellipse(*P(0, 0), 26 * s, 24 * s)
    _sol(lay, box, "#7a8a8a", L, 4 * s, specular=0.8)
    lay.paint(kit.ellipse(*P(0, 0), 22 * s, 20 * s), "#3a3430", 0.9)
    rng = np.random.default_rng(seed)
    for k in range(12):
        a, r = rng.random() * 6.28, rng.random() * 15
        c = ["#e8e0d0", "#2a2a30", "#8a2a2a", "#c8963e", "#3a5a8a"][k % 5]
        b = kit.ellipse(*P(r * math.cos(a), r * math.sin(a)), 4.5 * s, 4.5 * s)
        _sol(lay, b, c, L, 1.5 * s, specular=0.5)
        lay.paint(kit.ellipse(*P(r * math.cos(a) - 1, r * math.sin(a)), 0.8 * s, 0.8 * s), "#1a1410", 0.6)
    return box


def notebook(lay, x, y, s, ang, seed, L):
    """An open notebook of figures, held by a pencil."""
    P = T(x, y, s, ang)
    m = kit.poly([P(-52, -34), P(52, -34), P(52, 34), P(-52, 34)])
    _sol(lay, m, "#5a2a22", L, 3 * s)
    for sx in (-1, 1):
        pg = kit.poly([P(sx * 1, -31), P(sx * 49, -31), P(sx * 49, 31), P(sx * 1, 31)])
        _sol(lay, pg, "parchment", L, 4 * s, amb=0.8)
        for k in range(7):
            v = -22 + k * 7
            lay.paint(kit.line([P(sx * 8, v), P(sx * (12 + (k * 13 + seed) % 30), v)], 0.9 * s), "ink", 0.5, cover=False)
    lay.paint(kit.line([P(0, -31), P(0, 31)], 1.5 * s), "#8a7a5a", 0.7, cover=False)
    return m


def pendulum_bob(lay, x, y, s, ang, seed, L):
    """A pendulum: a long flat rod and its brass lens bob."""
    P = T(x, y, s, ang)
    rod = kit.line([P(-70, 0), P(0, 0)], 3 * s)
    _sol(lay, rod, "#8a8e96", L, 1 * s, specular=0.8)
    bob = kit.ellipse(*P(12, 0), 16 * s, 16 * s)
    _sol(lay, bob, "brass", L, 6 * s, specular=1.0, shin=24, tex=props.brass_tex(lay.h, lay.w, seed))
    return kit.union(rod, bob)


def files(lay, x, y, s, ang, seed, L):
    """A needle file with its crosshatched cut."""
    P = T(x, y, s, ang)
    f = kit.poly([P(-10, -2.5), P(40, -1.6), P(44, 0), P(40, 1.6), P(-10, 2.5)])
    _sol(lay, f, "#6a6e76", L, 1 * s, specular=0.5)
    tang = kit.poly([P(-34, -3), P(-10, -3), P(-10, 3), P(-34, 3)])
    _sol(lay, tang, "#3a2a1a", L, 1.5 * s, specular=0.3)
    return kit.union(f, tang)


def pouch(lay, x, y, s, ang, seed, L):
    """A soft leather pouch tied with a thong, a few wheels spilt from it."""
    P = T(x, y, s, ang)
    m = kit.poly([P(-26, -14), P(-8, -22), P(20, -18), P(30, 0), P(22, 18), P(-4, 22), P(-28, 10)])
    _sol(lay, m, "#7a5034", L, 9 * s, amb=0.5, tex=kit.tex_noise(lay.h, lay.w, "#86583a", "#5a3620", 3 * s, seed))
    lay.paint(kit.line([P(-30, -4), P(-40, -10), P(-48, -4)], 1.6 * s), "#3a2414", 0.9)
    lay.paint(kit.line([P(-24, -12), P(-22, 12)], 1.4 * s), "#3a2414", 0.7, cover=False)
    return m


def gluepot(lay, x, y, s, ang, seed, L):
    """A glue pot from above: a black iron rim, amber glue and a brush leaning out of it."""
    P = T(x, y, s, ang)
    pot = kit.ellipse(*P(0, 0), 20 * s, 20 * s)
    _sol(lay, pot, "#2e2a28", L, 5 * s, specular=0.6)
    lay.paint(kit.ellipse(*P(0, 0), 15 * s, 15 * s), "#a8681e", 0.95)
    lay.paint(kit.ellipse(*P(-4, -4), 5 * s, 3 * s), "#f0c070", 0.5, cover=False)
    stick = kit.line([P(2, 2), P(34, 22)], 4 * s)
    _sol(lay, stick, "#8a6a48", L, 1.5 * s)
    return kit.union(pot, stick)


def pencil_mug(lay, x, y, s, ang, seed, L):
    """A stoneware mug of pencils seen from above: the rim and a fan of coloured pencil ends."""
    P = T(x, y, s, ang)
    mug = kit.ellipse(*P(0, 0), 22 * s, 22 * s)
    _sol(lay, mug, "#5a7a8a", L, 6 * s, specular=0.5)
    lay.paint(kit.ellipse(*P(0, 0), 17 * s, 17 * s), "#1e1a18", 0.9)
    rng = np.random.default_rng(seed)
    for k in range(7):
        a = k * 0.9 + rng.random() * 0.4
        c = ["#c8a030", "#2e6a3a", "#8a2a2a", "#2e4a8a", "#d0c0a0"][k % 5]
        u, v = 9 * math.cos(a), 9 * math.sin(a)
        _sol(lay, kit.ellipse(*P(u, v), 3.4 * s, 3.4 * s), c, L, 1 * s)
        lay.paint(kit.ellipse(*P(u, v), 1 * s, 1 * s), "#2a1f17")
    return mug


def watch_back(lay, x, y, s, ang, seed, L):
    """The engraved back of a watch case, lying open like a dish."""
    P = T(x, y, s, ang)
    m = kit.ellipse(*P(0, 0), 20 * s, 20 * s)
    _sol(lay, m, "brass", L, 6 * s, specular=0.9, tex=props.brass_tex(lay.h, lay.w, seed))
    for r in (14, 9):
        pts = [P(r * math.cos(t), r * math.sin(t)) for t in np.linspace(0, 2 * math.pi, 40)]
        lay.paint(kit.line(pts, 0.8 * s), "#6a4a1e", 0.6, cover=False)
    return m


def oilcan(lay, x, y, s, ang, seed, L):
    """Ysolde's oil can, seen from the side: a red enamelled body with brass bands, a domed brass top,
    a thumb pump, a long tapering spout and a strap handle."""
    P = T(x, y, s, ang)
    handle = kit.subtract(kit.ellipse(*P(-26, -2), 14 * s, 17 * s), kit.ellipse(*P(-26, -2), 9 * s, 12 * s))
    handle = kit.subtract(handle, kit.poly([P(-20, -30), P(30, -30), P(30, 30), P(-20, 30)]))
    _sol(lay, handle, "#7a241e", L, 2.5 * s, specular=0.6)
    spout = kit.poly([P(10, -18), P(14, -22), P(50, -50), P(52, -48), P(16, -14)])
    _sol(lay, spout, "#d7a64c", L, 1.5 * s, specular=1.0, shin=14)
    tipm = kit.ellipse(*P(51, -49), 2 * s, 2 * s)
    _sol(lay, tipm, "#8a6a30", L, 0.8 * s)
    body = kit.poly([P(-22, -12), P(22, -12), P(26, 22), P(-26, 22)])
    _sol(lay, body, "#a8302a", L, 7 * s, specular=0.7, shin=16)
    for v in (-9, 17):
        band = kit.intersect(kit.poly([P(-30, v), P(30, v), P(30, v + 4), P(-30, v + 4)]), body)
        _sol(lay, band, "#d7a64c", L, 1.5 * s, specular=1.0)
    label = kit.poly([P(-12, -1), P(12, -1), P(13, 10), P(-13, 10)])
    lay.paint(label, "#ead9b0", 0.92)
    lay.paint(kit.line([P(-8, 3), P(8, 3)], 1 * s), "ink", 0.6)
    lay.paint(kit.line([P(-6, 6.5), P(6, 6.5)], 0.8 * s), "ink", 0.5)
    dome = kit.union(kit.ellipse(*P(0, -12), 22 * s, 7 * s), kit.ellipse(*P(0, -15), 14 * s, 6 * s))
    _sol(lay, dome, "#d7a64c", L, 3 * s, specular=1.0, shin=14, tex=props.brass_tex(lay.h, lay.w, seed, "#d7a64c"))
    pump = kit.union(kit.poly([P(-3, -26), P(3, -26), P(3, -18), P(-3, -18)]), kit.poly([P(-14, -30), P(6, -27), P(6, -24), P(-14, -26)]))
    _sol(lay, pump, "#c8cdd4", L, 1.2 * s, specular=1.0)
    base = kit.poly([P(-28, 20), P(28, 20), P(28, 25), P(-28, 25)])
    _sol(lay, base, "#b8863a", L, 1.5 * s, specular=0.9)
    return kit.union(handle, spout, body, dome, pump, base)
