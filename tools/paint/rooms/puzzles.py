"""Mini-game boards and pieces: the gear-plate box and the sliding regulator dial."""
import math

import numpy as np

import common
import kit
import props
import things
from kit import Layer, col
from scene import Room

L = (-0.6, -0.7, 0.55)
CELL = 100
EDGES = {"straight": "WE", "corner": "NE", "tee": "WNE"}


def plate(kind, lit, seed):
    """A 100 x 100 brass plate carrying a wheel and pinions on its connected edges (rotation 0)."""
    lay = Layer(CELL, CELL, 0, 0)
    c = 50
    base = kit.rrect(3, 3, 97, 97, 8)
    props.solid(base, "#7a5a30" if not lit else "#b08440", L, 6, amb=0.5, spec=0.3, lay=lay,
                tex=props.brass_tex(CELL, CELL, seed, "#8a6a3a" if not lit else "#c8963e"))
    for sx, sy in ((12, 12), (88, 12), (12, 88), (88, 88)):
        props.solid(kit.ellipse(sx, sy, 3.5, 3.5), "#5a4020", L, 1.5, spec=0.8, lay=lay)
    pos = {"N": (50, 14), "E": (86, 50), "S": (50, 86), "W": (14, 50)}
    for e in EDGES[kind]:
        x, y = pos[e]
        lay.paint(kit.line([(c, c), (x, y)], 8), "#3a2a14", 0.8)
        g = props.gear(x, y, 14, 10, seed + ord(e), "brass" if lit else "#a07a40", 0, 0.2, L)
        things.kit_paste(lay, g)
    g = props.gear(c, c, 26, 16, seed, "brass" if lit else "#a07a40", 5, 0.0, L)
    things.kit_paste(lay, g)
    if lit:
        glow = kit.radial(CELL, CELL, c, c, 60, 1.5)
        lay.rgb += glow[..., None] * col("amber") * 0.25
    return lay


def gears(seed=707):
    room = Room("gears")
    cv = kit.wood(kit.H, kit.W, seed, "#4a2e1a", "#2e1c10", angle=0.02, freq=0.06)
    lay = Layer(kit.W, kit.H)
    # carved border and the recessed board
    props.solid(kit.rrect(170, 60, 854, 540, 18), "#6a4426", L, 10, amb=0.5, lay=lay,
                tex=kit.wood(kit.H, kit.W, seed + 1, "#7a4e2c", angle=0))
    lay.paint(kit.rrect(252, 90, 772, 510, 8), "#1e140c")
    for i in range(5):
        for j in range(4):
            x, y = 262 + i * CELL, 100 + j * CELL
            lay.paint(kit.rrect(x + 2, y + 2, x + CELL - 2, y + CELL - 2, 8), "#140d07")
    for (x, y) in ((182, 72), (842, 72), (182, 528), (842, 528)):
        props.solid(kit.poly([(x - 14, y), (x, y - 14), (x + 14, y), (x, y + 14)]), "brass", L, 3, spec=0.8, lay=lay)
    # bearings for the drive and the latch
    for (x, y) in ((212, 250), (812, 350)):
        props.solid(kit.ellipse(x, y, 40, 40), "#3a2614", L, 6, lay=lay)
    kit.over(cv, lay)
    cv *= 0.8
    common.lamp(cv, 512, 200, 700, "amber", 0.5, 1.2)
    cv = kit.finish(cv, seed, vignette=0.5)
    room.back(cv)
    # the compartment revealed when the latch lifts
    op = cv.copy()
    ol = Layer(kit.W, kit.H)
    ol.paint(kit.rrect(252, 90, 772, 510, 8), kit.tex_noise(kit.H, kit.W, "wine", "#5a1e1e", 6, seed))
    ol.paint(kit.rrect(262, 100, 762, 500, 8), kit.tex_noise(kit.H, kit.W, "#7a2a2a", "#4a1616", 3, seed + 1))
    kit.over(op, ol)
    room.obj("gears_open", "open", kit.layer_from_canvas(op, kit.rrect(250, 88, 774, 512, 8)), 1)
    drive = Layer(kit.W, kit.H)
    things.gearwheel(drive, 212, 250, 1.05, 0.0, seed, L)
    room.obj("gears_drive", "drive", drive, 3)
    latch = Layer(kit.W, kit.H)
    g = props.gear(812, 350, 34, 14, seed + 5, "#b0b4ba", 4, 0.1, L)
    things.kit_paste(latch, g)
    room.obj("gears_latch", "latch", latch, 3)
    hand = Layer(kit.W, kit.H)
    things.clockhand(hand, 512, 320, 2.2, -0.3, seed, L)
    room.obj("gears_hand", "hand", kit.with_shadow(hand.cropped(2), 4, 6, 4, 0.5), 4)
    for kind in ("straight", "corner", "tee"):
        for lit in (False, True):
            res = "tile_%s%s" % (kind, "_lit" if lit else "")
            room.obj("gears_" + res, res, plate(kind, lit, seed + len(kind)), 2, record=False, crop=False)
    room.exit_down("gears_exit")
    room.write()


START = (2, 3, 6, 5, 8, 7, 0, 1, 4)


def clockface(seed=808):
    room = Room("clockface")
    cv = kit.wood(kit.H, kit.W, seed, "#3a2414", "#24160c", angle=0.0)
    lay = Layer(kit.W, kit.H)
    props.solid(kit.rrect(262, 50, 762, 550, 24), "brass", L, 12, amb=0.5, spec=0.5, lay=lay,
                tex=props.brass_tex(kit.H, kit.W, seed))
    lay.paint(kit.rect(298, 86, 726, 514), "#1a120a")
    for (x, y) in ((285, 73), (739, 73), (285, 527), (739, 527)):
        props.solid(kit.ellipse(x, y, 8, 8), "#8a6a3a", L, 3, spec=0.8, lay=lay)
        lay.paint(kit.line([(x - 5, y - 5), (x + 5, y + 5)], 1.5), "#3a2a14")
    # engraved tide marks along the bezel
    for i in range(40):
        t = i / 40
        x = 300 + t * 424
        lay.paint(kit.line([(x, 62), (x + 6, 70)], 1), "#6a4a20", 0.6)
        lay.paint(kit.line([(x, 530), (x + 6, 538)], 1), "#6a4a20", 0.6)
    kit.over(cv, lay)
    cv *= 0.8
    common.lamp(cv, 380, 120, 800, "amber", 0.5, 1.2)
    cv = kit.finish(cv, seed, vignette=0.5)
    room.back(cv)
    # the dial, painted once and cut into nine tiles
    d = Layer(420, 420, 0, 0)
    d.paint(kit.rect(0, 0, 420, 420), kit.tex_noise(420, 420, "#2e3a4f", "#1b2433", 20, seed))
    dl = props.dial(210, 210, 200, seed, 0, 0, hands=False, light=L)
    things.kit_paste(d, dl)
    things.clockhand(d, 210 + 70 * math.cos(-1.55), 210 + 70 * math.sin(-1.55), 1.9, -math.pi / 2 - 0.02, seed, L)
    things.kit_paste(d, props.dial(210, 210, 1, seed, hands=False)) if False else None
    for k in range(9):
        r, c = divmod(k, 3)
        t = Layer(140, 140, 0, 0)
        t.rgb[:] = d.rgb[r * 140:(r + 1) * 140, c * 140:(c + 1) * 140]
        t.a[:] = 1
        # bevel so the pieces read as separate tiles
        bev = np.ones((140, 140), np.float32)
        bev[:3, :] *= 1.25
        bev[:, :3] *= 1.2
        bev[-3:, :] *= 0.6
        bev[:, -3:] *= 0.65
        t.rgb *= bev[..., None]
        room.obj("clockface_tile_%d" % (k + 1), "tile_%d" % (k + 1), t, 2, record=False, crop=False)
    for k, tile in enumerate(START):
        if tile:
            r, c = divmod(k, 3)
            room.rows.append(("clockface_tile_%d" % tile, room.res("tile_%d" % tile), 372 + c * 140, 160 + r * 140, 140, 140, 2))
    g = props.glow_layer(kit.ellipse(512, 300, 205, 205), "amber", 14, 0.6)
    room.obj("clockface_glow", "glow", g, 5)
    room.exit_down("clockface_exit")
    room.write()


def build():
    gears()
    clockface()


if __name__ == "__main__":
    build()
