"""Mini-game boards and pieces: the gear-plate box and the sliding regulator dial."""
import math

import numpy as np

import kit
import props
import things
from kit import Layer, col
from rooms import tower
from scene import Room

L = (-0.6, -0.7, 0.55)
CELL = 100
EDGES = {"straight": "WE", "corner": "NE", "tee": "WNE"}


def plate(kind, lit, seed):
    """A 100 x 100 brass plate carrying a wheel and pinions on its connected edges (rotation 0)."""
    lay = Layer(CELL, CELL, 0, 0)
    c = 50
    base = kit.rrect(3, 3, 97, 97, 8)
    props.solid(base, "#7a5a30" if not lit else "#b08440", L, 6, amb=0.5, specular=0.3, lay=lay,
                tex=props.brass_tex(CELL, CELL, seed, "#8a6a3a" if not lit else "#c8963e"))
    for sx, sy in ((12, 12), (88, 12), (12, 88), (88, 88)):
        props.solid(kit.ellipse(sx, sy, 3.5, 3.5), "#5a4020", L, 1.5, specular=0.8, lay=lay)
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
    # the box on a dark cloth, lit by the oil lamp beside it
    cv = kit.tex_noise(kit.H, kit.W, kit.mix("moss", "night", 0.55), kit.mix("moss", "night", 0.75), 5, seed, 3)
    cv *= (0.85 + 0.3 * kit.noise(kit.H, kit.W, 90, seed + 9, 3))[..., None]
    lay = Layer(kit.W, kit.H)
    # the lid's carved walnut border with a running vine, brass stringing and corner brackets
    border = kit.rrect(170, 60, 854, 540, 18)
    props.solid(border, "#6a4426", L, 10, amb=0.5, lay=lay, tex=kit.wood(kit.H, kit.W, seed + 1, "#7a4e2c", angle=0))
    band = []
    for t in np.linspace(0, 1, 120, endpoint=False):
        # walk round the middle of the band
        per = 2 * (640 + 450)
        d = t * per
        if d < 640:
            x, y, a = 192 + d, 75, 0.0
        elif d < 640 + 450:
            x, y, a = 832, 75 + (d - 640), math.pi / 2
        elif d < 2 * 640 + 450:
            x, y, a = 832 - (d - 1090), 525, math.pi
        else:
            x, y, a = 192, 525 - (d - 1730), -math.pi / 2
        band.append((x, y, a))
    for k, (x, y, a) in enumerate(band):
        sd = 1 if k % 2 else -1
        la = a + sd * 0.9
        lx, ly = x + math.cos(la) * 8, y + math.sin(la) * 8
        ca, sa = math.cos(la), math.sin(la)
        leaf = kit.poly([(lx + ca * 9 * math.cos(q) - sa * 4 * math.sin(q), ly + sa * 9 * math.cos(q) + ca * 4 * math.sin(q))
                         for q in np.linspace(0, 2 * math.pi, 12)])
        props.solid(leaf, "#4a2c18", L, 2.5, amb=0.35, specular=0.2, lay=lay)
        if k % 2:
            lay.paint(kit.line([(x, y), (band[(k + 1) % len(band)][0], band[(k + 1) % len(band)][1])], 2), "#3a2212", 0.8)
    for x0, y0, x1, y1 in ((184, 74, 840, 526), (242, 84, 782, 516)):
        lay.paint(kit.subtract(kit.rrect(x0, y0, x1, y1, 12), kit.rrect(x0 + 2, y0 + 2, x1 - 2, y1 - 2, 11)), "brass", 0.7)
    lay.paint(kit.rrect(252, 90, 772, 510, 8), kit.tex_noise(kit.H, kit.W, kit.mix("wine", "ink", 0.5), kit.mix("wine", "ink", 0.75), 3, seed + 2))
    for i in range(5):
        for j in range(4):
            x, y = 262 + i * CELL, 100 + j * CELL
            lay.paint(kit.rrect(x + 2, y + 2, x + CELL - 2, y + CELL - 2, 8), "#140d07")
            lay.paint(kit.subtract(kit.rrect(x + 1, y + 1, x + CELL - 1, y + CELL - 1, 9), kit.rrect(x + 3, y + 3, x + CELL - 3, y + CELL - 3, 8)),
                      "#6a4426", 0.5)
    for (x, y, sx, sy) in ((170, 60, 1, 1), (854, 60, -1, 1), (170, 540, 1, -1), (854, 540, -1, -1)):
        br = kit.poly([(x, y), (x + sx * 70, y), (x + sx * 70, y + sy * 14), (x + sx * 14, y + sy * 14), (x + sx * 14, y + sy * 70), (x, y + sy * 70)])
        props.solid(br, "brass", L, 3, specular=0.8, lay=lay, tex=props.brass_tex(kit.H, kit.W, seed + x + y))
        for (u, v) in ((7, 7), (58, 7), (7, 58)):
            props.solid(kit.ellipse(x + sx * u, y + sy * v, 3, 3), "#6a4a1e", L, 1, specular=0.8, lay=lay)
    # brass bearings for the drive and the latch
    for (x, y) in ((212, 250), (812, 350)):
        props.solid(kit.ellipse(x, y, 44, 44), "brass", L, 4, specular=0.8, lay=lay)
        props.solid(kit.ellipse(x, y, 38, 38), "#3a2614", L, 6, lay=lay)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(border.m, border.x0, border.y0), -10, 14, 12, 0.55))
    kit.over_layer(cv, lay)
    cv *= 0.62
    kit.lamp(cv, 700, 160, 900, "amber", 0.9, 1.2)
    cv = kit.finish(cv, seed, vignette=0.5)
    room.back(cv)
    # the compartment revealed when the latch lifts
    op = cv.copy()
    ol = Layer(kit.W, kit.H)
    ol.paint(kit.rrect(252, 90, 772, 510, 8), kit.tex_noise(kit.H, kit.W, "wine", "#5a1e1e", 6, seed))
    ol.paint(kit.rrect(262, 100, 762, 500, 8), kit.tex_noise(kit.H, kit.W, "#7a2a2a", "#4a1616", 3, seed + 1))
    kit.over_layer(op, ol)
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
    room.write()


START = (2, 3, 6, 5, 8, 7, 0, 1, 4)


def clockface(seed=808):
    room = Room("clockface")
    # the mechanism's iron frame and wheels around the regulator plate
    # the tower's rough stone behind the mechanism, as in room_tower
    cv = kit.backdrop("night")
    wall = Layer(kit.W, kit.H)
    tower.rubble(wall, kit.rect(0, 0, kit.W, kit.H), seed, 70, 38, "#5e5a5e", "#34323a", "#16161a")
    kit.over_layer(cv, wall)
    cv *= (0.55 + 0.5 * kit.noise(kit.H, kit.W, 80, seed + 1, 3))[..., None]
    back = Layer(kit.W, kit.H)
    for (x, y, r, t) in ((150, 180, 150, 60), (890, 230, 130, 52), (200, 560, 110, 44), (840, 580, 120, 48), (512, 700, 90, 36)):
        g = props.gear(x, y, r, t, seed + x, kit.mix("brass", "#6a5030", 0.3), 6, 0.1 * x, L, amb=0.35)
        things.kit_paste(back, kit.with_shadow(g, 8, 10, 8, 0.55))
        props.solid(kit.ellipse(x, y, max(5, r * 0.08), max(5, r * 0.08)), "#8a8e96", L, 2, specular=0.8, lay=back)
    iron = kit.union(kit.rect(216, 0, 244, kit.H), kit.rect(780, 0, 808, kit.H), kit.rect(0, 600, kit.W, 626))
    props.solid(iron, "#202226", L, 3, amb=0.5, specular=0.45, shin=8, spec_col="frost", lay=back)
    for (x, y) in ((230, 613), (794, 613), (230, 40), (794, 40), (230, 320), (794, 320)):
        props.solid(kit.ellipse(x, y, 5, 5), "#4a4c52", L, 1.5, specular=0.8, lay=back)
    webs = Layer(kit.W, kit.H)
    tower.cobweb(webs, 0, 0, 0.05, math.pi / 2 - 0.05, 150, seed + 2, 0.35)
    tower.cobweb(webs, kit.W, 0, math.pi / 2 + 0.05, math.pi - 0.05, 130, seed + 3, 0.35)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(back.a, 0, 0), 6, 8, 8, 0.5))
    kit.over_layer(cv, back)
    kit.over_layer(cv, webs)
    cv *= 0.55
    # cold light from the great glass dial above, warm from the lantern below left
    kit.lamp(cv, 512, -120, 700, "frost", 0.35, 1.3)
    kit.lamp(cv, 60, 760, 500, "amber", 0.5, 1.5)
    lay = Layer(kit.W, kit.H)
    plate = kit.rrect(262, 50, 762, 550, 24)
    props.solid(plate, "brass", L, 12, amb=0.5, specular=0.5, lay=lay, tex=props.brass_tex(kit.H, kit.W, seed))
    # engraved tide-marks: rows of little waves around the well
    for band_y in (62, 74, 526, 538):
        pts = [(x, band_y + 3 * math.sin(x * 0.25)) for x in np.arange(292, 734, 2)]
        lay.paint(kit.line(pts, 1.1), "#6a4a20", 0.65)
    for band_x in (274, 286, 738, 750):
        pts = [(band_x + 3 * math.sin(y * 0.25), y) for y in np.arange(92, 510, 2)]
        lay.paint(kit.line(pts, 1.1), "#6a4a20", 0.65)
    bevel = kit.subtract(kit.rect(292, 80, 732, 520), kit.rect(298, 86, 726, 514))
    props.solid(bevel, "#8a6a3a", (0.6, 0.7, 0.5), 2, specular=0.6, lay=lay)
    lay.paint(kit.rect(298, 86, 726, 514), "#1a120a")
    for (x, y) in ((285, 73), (739, 73), (285, 527), (739, 527)):
        props.solid(kit.ellipse(x, y, 9, 9), "#8a6a3a", L, 3, specular=0.8, lay=lay)
        lay.paint(kit.line([(x - 6, y - 6), (x + 6, y + 6)], 1.8), "#3a2a14")
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(plate.m, plate.x0, plate.y0), 8, 12, 10, 0.6))
    kit.over_layer(cv, lay)
    cv *= 0.85
    kit.lamp(cv, 380, 120, 800, "amber", 0.6, 1.2)
    kit.lamp(cv, 512, 300, 420, "frost", 0.15, 1.4)
    cv = kit.finish(cv, seed, vignette=0.5)
    room.back(cv)
    # the dial, painted once and cut into nine tiles
    d = Layer(420, 420, 0, 0)
    d.paint(kit.rect(0, 0, 420, 420), kit.tex_noise(420, 420, "#2e3a4f", "#1b2433", 20, seed))
    dl = props.dial(210, 210, 200, seed, 0, 0, hands=False, light=L)
    things.kit_paste(d, dl)
    things.clockhand(d, 210 + 70 * math.cos(-1.55), 210 + 70 * math.sin(-1.55), 1.9, -math.pi / 2 - 0.02, seed, L)
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
    room.write()


def build():
    gears()
    clockface()


if __name__ == "__main__":
    build()
