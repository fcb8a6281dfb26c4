"""Inventory icons (112 x 112) for the six items of the chain.

They sit on the dark blue tray and are read at a glance, so each keeps a bold silhouette at 1x: the
small key carries a red tassel (it would pass for the gate key otherwise), the crank is a thick
Z of steel with a turned grip, and the dark clock hand is blued steel on a faint pale halo."""
import math

import numpy as np

import kit
import props
import things
from kit import Layer
from scene import Room

L = (-0.6, -0.7, 0.55)


def small_key_tagged(lay, x, y, s, ang, seed, L):
    """The desk drawer's small key with a red silk tassel hanging from its bow."""
    bx, by = things.T(x, y, s, ang)(-16, 0)
    cord = kit.line([(bx, by + 12), (bx - 1, by + 19), (bx - 2, by + 25)], 2.2)
    knot = kit.ellipse(bx - 2, by + 26, 4.5, 4)
    tassel = kit.poly([(bx - 6, by + 28), (bx + 2, by + 28), (bx + 6, by + 46), (bx - 10, by + 46)])
    props.solid(kit.union(cord, knot), "#b8342c", L, 1.5, amb=0.55, specular=0.5, lay=lay)
    props.solid(tassel, "#a4261f", L, 3, amb=0.55, lay=lay)
    for k in range(6):
        u = bx - 8 + k * 2.8
        lay.paint(kit.line([(u + (k - 2.5) * 0.4, by + 31), (u + (k - 2.5) * 1.1, by + 45)], 0.8), "#5e120e", 0.7,
                  cover=False)
    return kit.union(things.key_small(lay, x, y, s, ang, seed, L), cord, tassel, knot)


def crank_bold(lay, x, y, s, ang, seed, L):
    """The winding crank: square brass socket, a cranked steel arm, a turned wooden grip."""
    P = things.T(x, y, s, ang)
    arm = kit.line([P(-24, 14), P(-8, 14), P(14, -10), P(22, -10)], 7 * s)
    props.solid(arm, "#a7acb4", L, 2.5 * s, amb=0.5, specular=0.9, shin=16, lay=lay)
    sock = kit.rrect(*P(-36, 4), *P(-18, 24), 3 * s)
    props.solid(sock, "brass", L, 3 * s, specular=0.9, lay=lay)
    lay.paint(kit.rect(*P(-31, 10), *P(-23, 18)), "#1a120a")
    grip = kit.union(kit.ellipse(*P(22, -22), 7 * s, 6 * s), kit.rrect(*P(17, -34), *P(27, -12), 4 * s),
                     kit.ellipse(*P(22, -36), 6 * s, 4 * s))
    props.solid(grip, "#6a3f22", L, 4 * s, amb=0.5, specular=0.5,
                tex=kit.wood(lay.h, lay.w, seed, "#8a552e", angle=1.5), lay=lay)
    return kit.union(arm, sock, grip)


def hand_blued(lay, x, y, s, ang, seed, L):
    """The clock's missing hand, blued steel with a brass boss."""
    cx, cy = x - 40 * s * math.cos(ang), y - 40 * s * math.sin(ang)
    m = props.hand_mask(cx, cy, 90 * s, ang, 12 * s)
    props.solid(m, "#3c4d72", L, 2 * s, amb=0.6, specular=1.0, shin=14, lay=lay)
    boss = kit.ellipse(cx, cy, 7 * s, 7 * s)
    props.solid(boss, "brass", L, 2.5 * s, specular=0.9, lay=lay)
    lay.paint(kit.ellipse(cx, cy, 2.2 * s, 2.2 * s), "#1a120a")
    return kit.union(m, boss)


# name, image, painter, centre, scale, angle, halo (a pale glow behind dark things)
ICONS = [
    ("inv_key", "key", things.key_big, (56, 58), 1.7, -0.6, 0.0),
    ("inv_oilcan", "oilcan", things.oilcan, (56, 58), 1.1, 0.0, 0.0),
    ("inv_smallkey", "smallkey", small_key_tagged, (62, 44), 1.75, -0.6, 0.0),
    ("inv_crank", "crank", crank_bold, (56, 58), 1.25, 0.0, 0.25),
    ("inv_gear", "gear", things.gearwheel, (56, 58), 1.4, 0.0, 0.0),
    ("inv_hand", "hand", hand_blued, (56, 58), 0.95, -0.75, 0.45),
]


def build():
    room = Room("items")
    for name, res, fn, (x, y), s, a, halo in ICONS:
        lay = Layer(112, 112, 0, 0)
        fn(lay, x, y, s, a, 7, L)
        out = kit.with_shadow(lay, 2, 3, 2, 0.45)
        # keep the fixed 112 x 112 frame so every icon sits the same in its slot
        frame = Layer(112, 112, 0, 0)
        ys, xs = -out.y0, -out.x0
        frame.rgb[:] = out.rgb[ys:ys + 112, xs:xs + 112]
        frame.a[:] = out.a[ys:ys + 112, xs:xs + 112]
        if halo:
            g = props.glow_layer(kit.Mask(lay.a, 0, 0), "parchment", 5, halo, pad=0)
            ga = kit.crop_mask(kit.Mask(g.a, g.x0, g.y0), 0, 0, 112, 112)
            a = frame.a + ga * (1 - frame.a)
            frame.rgb[:] = (frame.rgb * frame.a[..., None] + kit.col("parchment") * (ga * (1 - frame.a))[..., None]) \
                / np.maximum(a, 1e-6)[..., None]
            frame.a[:] = a
        room.obj(name, res, frame, 1, crop=False)
    room.write()


if __name__ == "__main__":
    build()
