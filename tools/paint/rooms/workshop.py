"""Room 3: the clockmaker's workshop - a wall of stopped clocks, the storm window, the great bench."""
import math

import numpy as np

import interior
import kit
import props
import things
from kit import Layer, col
from scene import Room

SEED = 303
BOX = interior.Box(150, 62, 874, 500)
LAMP = (420, 330)            # the green-shaded bench lamp
L = (-0.2, -0.85, 0.5)       # lamp above the bench
L_WIN = (0.8, -0.4, 0.45)    # storm window, right
WIN = (640, 96, 846, 326)


def shell(cv, seed):
    b = BOX
    lay = Layer(kit.W, kit.H)
    yy, xx = np.mgrid[0:kit.H, 0:kit.W].astype(np.float32)
    # warm lime plaster, stained and cracked, over a panelled dado
    plaster = kit.tex_noise(kit.H, kit.W, "#8a7452", "#5e4c34", 40, seed, 5)
    plaster *= 0.9 + 0.2 * kit.noise(kit.H, kit.W, 4, seed + 1, 2)[..., None]
    cracks = Layer(kit.W, kit.H)
    rng = np.random.default_rng(seed)
    for k in range(14):
        x, y = b.x0 + rng.random() * (b.x1 - b.x0), b.y0 + rng.random() * 300
        pts = [(x, y)]
        for j in range(6):
            x += (rng.random() - 0.5) * 20
            y += 6 + rng.random() * 10
            pts.append((x, y))
        cracks.paint(kit.line(pts, 0.9), "#3a2a1a", 0.5)
    kit.over_layer(plaster, cracks)
    lay.paint(kit.poly(b.back()), plaster)
    lay.paint(kit.poly(b.left()), plaster * 0.62)
    lay.paint(kit.poly(b.right()), plaster * 0.55)
    ceil = kit.wood(kit.H, kit.W, seed + 2, "#3a2616", "#24170d", angle=0, freq=0.05)
    lay.paint(kit.poly(b.ceiling()), ceil * 0.6)
    for i in range(4):
        u = (i + 0.5) / 4
        xb = b.x0 + (b.x1 - b.x0) * u
        xf = kit.W * u
        beam = kit.poly([(xf - 34, -4), (xf + 34, -4), (xb + 12, b.y0), (xb - 12, b.y0)])
        props.solid(beam, "#4a301b", L, 6, amb=0.5, lay=lay,
                    tex=kit.wood(kit.H, kit.W, seed + 20 + i, "#4a301b", angle=math.pi / 2 - (xf - xb) / 300))
    lay.paint(kit.poly(b.floor()), interior.boards(kit.H, kit.W, seed + 3, b, "#5a3a22", n=13))
    # dado panelling on the back wall and the left wall
    wy = b.y0 + (b.y1 - b.y0) * 0.7
    interior.wainscot(lay, [(b.x0, wy), (b.x1, wy), (b.x1, b.y1), (b.x0, b.y1)], seed + 4, "#4a301b")
    for x in np.arange(b.x0 + 8, b.x1 - 40, 58):
        props.solid(kit.rect(x + 6, wy + 12, x + 50, b.y1 - 12), "#4e321d", (0.3, 0.8, 0.5), 3, amb=0.8, lay=lay,
                    strength=0.5)
    props.solid(kit.rect(b.x0, wy - 7, b.x1, wy + 3), "#6a452a", L, 2, lay=lay)
    p0, p1, p2, p3 = b.left_at(0, 0.7), b.left_at(1, 0.7), b.left_at(1, 1), b.left_at(0, 1)
    interior.wainscot(lay, [p0, p1, p2, p3], seed + 5, "#4a301b")
    lay.paint(kit.line([p0, p1], 8), "#6a452a")
    q0, q1, q2, q3 = b.right_at(1, 0.7), b.right_at(0, 0.7), b.right_at(0, 1), b.right_at(1, 1)
    interior.wainscot(lay, [q0, q1, q2, q3], seed + 6, "#4a301b")
    lay.paint(kit.line([q0, q1], 8), "#6a452a")
    kit.over_layer(cv, lay)


def storm_window(cv, seed):
    x0, y0, x1, y1 = WIN
    lay = Layer(kit.W, kit.H)
    sky = kit.storm_sky(kit.H, kit.W, seed, moon=(800, 150, 16), horizon=0.42)
    kit.sea(sky, 262, kit.H, seed + 1)
    # the far headland and the lighthouse-like gleam of the village
    hill = kit.poly([(x0, 268), (700, 250), (760, 258), (x1, 240), (x1, 272), (x0, 276)])
    h2 = Layer(kit.W, kit.H)
    h2.paint(hill, "#151c26")
    for xv in (690, 712, 730):
        h2.paint(kit.rect(xv, 258, xv + 3, 262), "amber")
    kit.over_layer(sky, h2)
    kit.rain(sky, seed + 2, 2200, 20, 0.32, 0.3)
    # streaks of water on the glass
    yy, xx = np.mgrid[0:kit.H, 0:kit.W].astype(np.float32)
    lay.paint(kit.rect(x0, y0, x1, y1), sky)
    drops = Layer(kit.W, kit.H)
    rng = np.random.default_rng(seed + 3)
    for k in range(60):
        x, y = x0 + rng.random() * (x1 - x0), y0 + rng.random() * (y1 - y0)
        ln = 6 + rng.random() * 24
        drops.paint(kit.line([(x, y), (x + 1, y + ln)], 1.2), "#c8d8e4", 0.35)
    lay.rgb = lay.rgb * (1 - drops.a[..., None]) + drops.rgb * drops.a[..., None]
    # frame, glazing bars, a deep sill
    fr = kit.subtract(kit.rect(x0 - 14, y0 - 14, x1 + 14, y1 + 10), kit.rect(x0, y0, x1, y1))
    bars = [kit.rect((x0 + x1) / 2 - 4, y0, (x0 + x1) / 2 + 4, y1)]
    for k in (1, 2):
        y = y0 + (y1 - y0) * k / 3
        bars.append(kit.rect(x0, y - 3, x1, y + 3))
    props.solid(kit.union(fr, *bars), "#3e2716", L, 3, lay=lay, tex=kit.wood(kit.H, kit.W, seed + 4, "#4a301b", angle=1.5))
    sill = kit.poly([(x0 - 24, y1 + 8), (x1 + 24, y1 + 8), (x1 + 34, y1 + 24), (x0 - 34, y1 + 24)])
    props.solid(sill, "#6a452a", L, 3, lay=lay, tex=kit.wood(kit.H, kit.W, seed + 5, "#6a452a", angle=0))
    kit.over_layer(cv, lay)
    # things on the sill: an unlit oil lamp, a pot of herbs, a brass telescope
    sl = Layer(kit.W, kit.H)
    props.solid(kit.poly([(664, 334), (690, 334), (686, 300), (668, 300)]), "#8a3a2a", L_WIN, 4, lay=sl)
    props.foliage(sl, 676, 290, 22, 16, seed + 6, "#3e6a44", L_WIN, n=60, leaf=(3, 6))
    props.solid(kit.ellipse(780, 330, 14, 5), "brass", L_WIN, 2, specular=0.8, lay=sl)
    props.solid(kit.poly([(772, 330), (788, 330), (786, 300), (774, 300)]), kit.mix("frost", "teal", 0.3), L_WIN, 3,
                specular=0.9, amb=0.4, lay=sl)
    props.solid(kit.rect(776, 290, 784, 300), "brass", L_WIN, 2, specular=0.8, lay=sl)
    things.spyglass(sl, 730, 328, 1.0, -0.05, seed, L_WIN)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(sl.a, 0, 0), -4, 3, 2, 0.4))
    kit.over_layer(cv, sl)
    return kit.rect(x0, y0, x1, y1)


def clock_wall(cv, seed):
    """Forty clocks and not one ticking: round, octagonal, sunburst, cuckoo, a regulator, mantel clocks."""
    lay = Layer(kit.W, kit.H)
    wood = lambda s, c="#6a452a": kit.wood(kit.H, kit.W, s, c, angle=1.5, freq=0.12)

    def dial_at(x, y, r, s, face="parchment"):
        things.kit_paste(lay, props.dial(x, y, r, s, 11, 58, face=face, light=L, tide=False))

    # a long-case regulator in the middle of the wall
    rx = 440
    case = kit.rect(rx - 36, 84, rx + 36, 300)
    props.solid(case, "mahogany", L, 5, amb=0.5, specular=0.2, lay=lay, tex=wood(seed + 1, "mahogany"))
    props.solid(kit.poly([(rx - 44, 86), (rx + 44, 86), (rx, 64)]), "#6a2f20", L, 3, lay=lay)
    dial_at(rx, 124, 28, seed + 2)
    lay.paint(kit.rrect(rx - 22, 164, rx + 22, 290, 10), "#1a100a")
    props.solid(kit.line([(rx, 168), (rx, 262)], 2.5), "brass", L, 1, specular=0.8, lay=lay)
    props.solid(kit.ellipse(rx, 266, 12, 12), "brass", L, 4, specular=0.9, lay=lay)
    for k in range(2):
        props.solid(kit.rect(rx - 14 + k * 22, 176, rx - 8 + k * 22, 226), "#8a8e96", L, 2, specular=0.7, lay=lay)
    xx, yy = lay.grid()
    glint = np.clip(1 - np.abs((xx - rx + 10) + (yy - 220) * 0.3) / 5, 0, 1) * lay.local(kit.rect(rx - 22, 164, rx + 22, 290))
    lay.glow(glint * 0.25, "frost")
    # round and octagonal wall clocks around it
    spots = [(228, 110, 30, "round"), (300, 96, 22, "oct"), (360, 140, 18, "round"), (530, 100, 34, "sun"),
             (598, 136, 20, "round"), (246, 188, 24, "oct"), (318, 196, 30, "round"), (530, 196, 22, "round"),
             (590, 214, 26, "oct"), (214, 262, 18, "round"), (368, 226, 16, "round")]
    for i, (x, y, r, kind) in enumerate(spots):
        if kind == "oct":
            pts = [(x + (r + 9) * math.cos(a + math.pi / 8), y + (r + 9) * math.sin(a + math.pi / 8))
                   for a in np.linspace(0, 2 * math.pi, 9)[:-1]]
            props.solid(kit.poly(pts), "walnut", L, 4, amb=0.5, lay=lay, tex=wood(seed + 10 + i, "#5a3a22"))
            drop = kit.poly([(x - r * 0.6, y + r * 0.8), (x + r * 0.6, y + r * 0.8), (x + r * 0.4, y + r * 1.9), (x - r * 0.4, y + r * 1.9)])
            props.solid(drop, "walnut", L, 3, lay=lay, tex=wood(seed + 30 + i, "#5a3a22"))
            lay.paint(kit.rect(x - r * 0.2, y + r * 1.1, x + r * 0.2, y + r * 1.7), "#1a100a")
        elif kind == "sun":
            for k in range(16):
                a = k * math.pi / 8
                ray = kit.poly([(x + (r + 4) * math.cos(a - 0.1), y + (r + 4) * math.sin(a - 0.1)),
                                (x + (r + 26) * math.cos(a), y + (r + 26) * math.sin(a)),
                                (x + (r + 4) * math.cos(a + 0.1), y + (r + 4) * math.sin(a + 0.1))])
                props.solid(ray, "brass", L, 1.5, specular=0.8, lay=lay)
        else:
            props.solid(kit.ellipse(x, y, r + 7, r + 7), "#5a3a22", L, 4, amb=0.5, specular=0.2, lay=lay,
                        tex=wood(seed + 40 + i, "#6a452a"))
        dial_at(x, y, r, seed + 50 + i, "parchment" if i % 3 else kit.mix("parchment", "frost", 0.4))
    # a cuckoo clock with its pine-cone weights
    cx, cy = 600, 280 - 20
    house = kit.poly([(cx - 24, cy + 30), (cx + 24, cy + 30), (cx + 24, cy - 6), (cx, cy - 26), (cx - 24, cy - 6)])
    props.solid(house, "#5a3a22", L, 3, lay=lay, tex=wood(seed + 60, "#6a452a"))
    props.solid(kit.poly([(cx - 32, cy - 2), (cx, cy - 34), (cx + 32, cy - 2), (cx + 28, cy + 2), (cx, cy - 26), (cx - 28, cy + 2)]),
                "#3a2414", L, 2, lay=lay)
    dial_at(cx, cy + 8, 12, seed + 61)
    lay.paint(kit.rect(cx - 5, cy - 18, cx + 5, cy - 10), "#120a06")
    # (weights hang down past the shelf)
    # a shelf of mantel and carriage clocks
    props.solid(kit.rect(180, 300, 404, 310), "#6a452a", L, 2, lay=lay, tex=wood(seed + 70, "#6a452a"))
    props.solid(kit.rect(476, 300, 626, 310), "#6a452a", L, 2, lay=lay, tex=wood(seed + 71, "#6a452a"))
    for k, x in enumerate((206, 260, 330, 378, 500, 560)):
        if k % 2 == 0:
            arch = kit.union(kit.rect(x - 20, 268, x + 20, 300), kit.ellipse(x, 268, 20, 16))
            props.solid(arch, "mahogany" if k % 4 else "walnut", L, 4, amb=0.5, specular=0.2, lay=lay,
                        tex=wood(seed + 80 + k, "mahogany"))
            dial_at(x, 272, 12, seed + 90 + k)
        else:
            body = kit.rrect(x - 14, 272, x + 14, 300, 3)
            props.solid(body, "brass", L, 3, specular=0.8, lay=lay)
            lay.paint(kit.rect(x - 10, 276, x + 10, 296), kit.mix("frost", "teal", 0.3), 0.5)
            dial_at(x, 286, 8, seed + 95 + k)
            props.solid(kit.subtract(kit.ellipse(x, 268, 9, 6), kit.ellipse(x, 268, 6, 4)), "brass", L, 1, lay=lay)
    # pendulum weights of the cuckoo clock hanging on chains in front of the shelf
    for k, dx in enumerate((-8, 8)):
        props.solid(kit.line([(cx + dx, cy + 30), (cx + dx, cy + 60 + k * 16)], 1.4), "brass", L, 1, lay=lay)
        cone = kit.ellipse(cx + dx, cy + 72 + k * 16, 5, 12)
        props.solid(cone, "#4a2f1b", L, 3, lay=lay)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(lay.a, 0, 0), 5, 7, 5, 0.5))
    kit.over_layer(cv, lay)
    return kit.rect(180, 64, 640, 310)


def tool_board(cv, seed):
    """Pegboard of hanging tools on the left of the back wall, where the diary page is pinned."""
    lay = Layer(kit.W, kit.H)
    # a shelf of jars and tins on the left wall, in perspective
    for v in (0.22, 0.4):
        a, b = BOX.left_at(0.15, v), BOX.left_at(1.0, v)
        shelf = kit.poly([a, b, (b[0], b[1] + 8), (a[0], a[1] + 14)])
        props.solid(shelf, "#6a452a", L, 2, lay=lay)
        rng = np.random.default_rng(seed + int(v * 100))
        t = 0.25
        while t < 0.95:
            p = BOX.left_at(t, v)
            hgt = (18 + rng.random() * 22) * (0.5 + t * 0.5)
            wdt = (10 + rng.random() * 10) * (0.5 + t * 0.5)
            kind = rng.integers(3)
            m = kit.rrect(p[0] - wdt / 2, p[1] - hgt, p[0] + wdt / 2, p[1], 3)
            if kind == 0:
                props.solid(m, kit.mix("frost", "teal", 0.4), L, 3, amb=0.4, specular=0.9, lay=lay)
                lay.paint(kit.rect(p[0] - wdt / 2 + 2, p[1] - hgt * 0.6, p[0] + wdt / 2 - 2, p[1] - 2),
                          kit.mix("brass", "walnut", rng.random()), 0.7)
            elif kind == 1:
                props.solid(m, kit.mix("wine", "walnut", rng.random()), L, 3, specular=0.3, lay=lay)
                lay.paint(kit.rect(p[0] - wdt / 2, p[1] - hgt * 0.7, p[0] + wdt / 2, p[1] - hgt * 0.4), "parchment", 0.8)
            else:
                props.solid(m, kit.mix("slate", "brass", 0.3), L, 3, specular=0.6, lay=lay)
            t += 0.1 + rng.random() * 0.06
    # the pegboard on the back wall
    pb = kit.rect(158, 316, 332, 462)
    props.solid(pb, "#7a5a36", L, 3, amb=0.6, lay=lay)
    xx, yy = lay.grid()
    holes = (((np.mod(xx - 158, 14) - 7) ** 2 + (np.mod(yy - 316, 14) - 7) ** 2) < 3.5) * lay.local(pb)
    lay.rgb *= (1 - 0.55 * holes)[..., None]
    tools = [("saw", 190, 340), ("screwdriver", 232, 352), ("screwdriver", 248, 352), ("pliers", 276, 356),
             ("hammer", 306, 350), ("calipers", 214, 420), ("wire", 290, 424)]
    for i, (kind, x, y) in enumerate(tools):
        if kind == "saw":
            blade = kit.poly([(x - 14, y), (x + 10, y), (x + 14, y + 80), (x - 10, y + 80)])
            props.solid(blade, "#a8adb4", L, 2, specular=0.8, lay=lay)
            props.solid(kit.rrect(x - 16, y - 22, x + 14, y + 4, 6), "#8a5a30", L, 3, lay=lay)
        elif kind == "screwdriver":
            things.screwdriver(lay, x, y + 20, 0.9, math.pi / 2, seed + i, L, handle="wine" if i % 2 else "moss")
        elif kind == "pliers":
            things.pliers(lay, x, y + 26, 0.85, -math.pi / 2, seed + i, L)
        elif kind == "hammer":
            things.hammer(lay, x, y + 26, 0.85, math.pi / 2, seed + i, L)
        elif kind == "calipers":
            cal = kit.union(kit.line([(x, y), (x - 10, y + 34)], 3), kit.line([(x, y), (x + 10, y + 34)], 3),
                            kit.subtract(kit.ellipse(x, y - 4, 6, 6), kit.ellipse(x, y - 4, 3, 3)))
            props.solid(cal, "#9aa0a8", L, 1, specular=0.8, lay=lay)
        else:
            coil = kit.union(*[kit.subtract(kit.ellipse(x + k * 2, y + 14, 16, 14), kit.ellipse(x + k * 2, y + 14, 13.5, 11.5))
                               for k in range(4)])
            props.solid(coil, "#b07040", L, 1, specular=0.8, lay=lay)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(lay.a, 0, 0), 4, 6, 4, 0.5))
    kit.over_layer(cv, lay)


def lathe(cv, seed):
    """A treadle lathe on the right, its belt running up to a pulley."""
    lay = Layer(kit.W, kit.H)
    iron = "#2a2e34"
    legs = kit.union(kit.poly([(876, 560), (892, 560), (900, 440), (888, 440)]),
                     kit.poly([(990, 560), (1006, 560), (998, 440), (986, 440)]))
    props.solid(legs, iron, L_WIN, 3, specular=0.4, lay=lay)
    bed = kit.rect(860, 424, 1024, 446)
    props.solid(bed, "#3a4048", L_WIN, 4, specular=0.6, lay=lay)
    head = kit.rrect(870, 372, 922, 430, 6)
    props.solid(head, "#3a4048", L_WIN, 6, specular=0.5, lay=lay)
    tail = kit.rrect(968, 388, 1004, 428, 5)
    props.solid(tail, "#3a4048", L_WIN, 5, specular=0.5, lay=lay)
    props.solid(kit.rect(922, 396, 968, 402), "#aeb3ba", L_WIN, 1.5, specular=0.9, lay=lay)
    things.kit_paste(lay, props.gear(896, 392, 22, 18, seed, "brass", 5, 0.2, L_WIN))
    wheel = kit.subtract(kit.ellipse(940, 520, 40, 40), kit.ellipse(940, 520, 33, 33))
    spokes = kit.union(*[kit.line([(940, 520), (940 + 34 * math.cos(a), 520 + 34 * math.sin(a))], 3) for a in np.linspace(0, math.pi, 4)[:-1]])
    props.solid(kit.union(wheel, spokes), iron, L_WIN, 2, specular=0.5, lay=lay)
    belt = kit.line([(900, 394), (906, 486)], 3)
    props.solid(belt, "#5a3a22", L_WIN, 1, lay=lay)
    props.solid(kit.rect(880, 560, 1000, 568), iron, L_WIN, 2, lay=lay)
    # shavings curling on the floor under it
    rng = np.random.default_rng(seed)
    for k in range(16):
        x, y = 870 + rng.random() * 140, 560 + rng.random() * 30
        pts = [(x + 6 * math.cos(t) * (1 - t / 12), y + 4 * math.sin(t) * (1 - t / 12)) for t in np.linspace(0, 8, 16)]
        lay.paint(kit.line(pts, 1.6), "#c8a060", 0.9)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(lay.a, 0, 0), -8, 8, 6, 0.5))
    kit.over_layer(cv, lay)


def bench(seed):
    """The great workbench under its lamp, heaped with clutter; returns (layer, top, front)."""
    lay = Layer(kit.W, kit.H)
    top = kit.poly([(186, 436), (712, 436), (772, 516), (128, 516)])
    front = kit.rect(128, 516, 772, 552)
    props.solid(top, "#8a6238", L, 3, lay=lay, tex=kit.wood(kit.H, kit.W, seed, "#8a6238", "#5e3f22", angle=0, freq=0.06))
    props.solid(front, "#5a3a22", L, 3, lay=lay, tex=kit.wood(kit.H, kit.W, seed + 1, "#5a3a22", angle=0))
    for x in (140, 440, 740):
        props.solid(kit.rrect(x - 6, 524, x + 6, 544, 2), "brass", L, 1.5, specular=0.8, lay=lay)
    for x in (146, 736):
        props.solid(kit.rect(x, 552, x + 26, 700), "#4a2f1b", L, 3, lay=lay, tex=kit.wood(kit.H, kit.W, seed + 2, "#4a2f1b", angle=1.5))
    props.solid(kit.rect(160, 640, 750, 652), "#4a2f1b", L, 2, lay=lay)
    rng = np.random.default_rng(seed)
    # a vice on the left end
    props.solid(kit.rect(150, 452, 206, 478), "#4a5058", L, 4, specular=0.5, lay=lay)
    props.solid(kit.rect(140, 476, 214, 520), "#3a4048", L, 4, specular=0.5, lay=lay)
    props.solid(kit.line([(130, 500), (226, 500)], 4), "#8a8e96", L, 1, specular=0.8, lay=lay)
    # a clock movement half-assembled on a cloth, trays, jars, papers, the cold cup of tea
    cloth = kit.poly([(360, 446), (560, 442), (580, 496), (340, 500)])
    lay.paint(cloth, kit.tex_noise(kit.H, kit.W, "#3e5a3c", "#2e4630", 4, seed + 3))
    for k, (x, y, r) in enumerate(((420, 462, 26), (470, 470, 18), (510, 458, 22), (540, 480, 12), (446, 486, 10))):
        g = props.gear(x, y, r, 12 + r // 2, seed + 10 + k, "brass", 5 if r > 15 else 0, rng.random(), L)
        things.kit_paste(lay, kit.with_shadow(g, 2, 3, 2, 0.4))
    plate = kit.subtract(kit.rrect(370, 470, 410, 496, 6), kit.ellipse(390, 483, 4, 4))
    props.solid(plate, "brass", L, 2, specular=0.7, lay=lay)
    for k in range(3):
        things.paper(lay, 250 + k * 30, 470 + k * 6, 0.55, -0.2 + k * 0.25, seed + 20 + k, L)
    tray = kit.rrect(600, 448, 690, 490, 4)
    props.solid(tray, "#6a4526", L, 3, lay=lay)
    lay.paint(kit.rrect(606, 454, 684, 484, 3), "#2e1e10")
    for k in range(9):
        things.kit_paste(lay, props.gear(614 + (k % 5) * 15, 462 + (k // 5) * 14, 6, 8, seed + 30 + k, "brass", 0, k, L))
    for (x, y) in ((230, 446), (702, 458)):
        props.solid(kit.rrect(x - 14, y - 30, x + 14, y + 6, 5), kit.mix("frost", "teal", 0.4), L, 4, amb=0.4, specular=0.9, lay=lay)
        lay.paint(kit.rect(x - 10, y - 14, x + 10, y + 2), "#b08040", 0.6)
        props.solid(kit.rect(x - 12, y - 36, x + 12, y - 28), "brass", L, 2, specular=0.8, lay=lay)
    props.solid(kit.ellipse(640, 508, 20, 7), "#e8e6e0", L, 3, specular=0.4, lay=lay)
    props.solid(kit.poly([(626, 506), (654, 506), (650, 486), (630, 486)]), "#eef0f2", L, 4, specular=0.4, lay=lay)
    lay.paint(kit.ellipse(640, 487, 10, 3), "#4a2a14")
    # an empty mantel-clock case lying on its back, a stack of books, a candle stub, a rag
    case = kit.poly([(586, 440), (660, 436), (668, 452), (590, 458)])
    props.solid(case, "mahogany", L, 3, lay=lay, tex=kit.wood(kit.H, kit.W, seed + 50, "mahogany", angle=0))
    lay.paint(kit.ellipse(624, 446, 20, 5), "#1a0e08")
    for k, c in enumerate(("wine", "moss", "#6b4a2b", "teal")):
        bk = kit.poly([(236 - k * 2, 500 - k * 9), (300 - k * 2, 498 - k * 9), (302 - k * 2, 506 - k * 9), (238 - k * 2, 508 - k * 9)])
        props.solid(bk, c, L, 2, amb=0.5, lay=lay)
        lay.paint(kit.poly([(298 - k * 2, 499 - k * 9), (302 - k * 2, 499 - k * 9), (302 - k * 2, 505 - k * 9), (298 - k * 2, 505 - k * 9)]),
                  "parchment", 0.8)
    things.candle(lay, 344, 452, 0.7, 0.0, seed + 51, L)
    rag = kit.poly([(660, 492), (700, 486), (720, 500), (706, 516), (668, 514)])
    props.solid(rag, "parchment_shade", L, 6, amb=0.5, lay=lay)
    for k in range(14):
        x, y = 200 + rng.random() * 520, 450 + rng.random() * 60
        kind = k % 3
        if kind == 0:
            things.screw(lay, x, y, 0.6, rng.random() * 6, seed + 60 + k, L)
        elif kind == 1:
            things.kit_paste(lay, props.gear(x, y, 4 + rng.random() * 4, 8, seed + 70 + k, "brass", 0, rng.random(), L))
        else:
            pts = [(x + 5 * math.cos(t) * (1 - t / 12), y + 3 * math.sin(t) * (1 - t / 12)) for t in np.linspace(0, 8, 14)]
            lay.paint(kit.line(pts, 1.4), "#d8b070", 0.8)
    # tools lying about
    things.screwdriver(lay, 320, 506, 0.9, 0.1, seed + 40, L, handle="wine")
    things.tweezers(lay, 600, 500, 0.8, -0.2, seed + 41, L)
    things.hammer(lay, 700, 500, 0.8, 2.8, seed + 42, L)
    # a magnifier on an arm, clamped to the back edge
    props.solid(kit.line([(560, 440), (590, 390), (560, 370)], 4), "#8a8e96", L, 1.5, specular=0.8, lay=lay)
    ring = kit.subtract(kit.ellipse(548, 376, 20, 14), kit.ellipse(548, 376, 16, 11))
    props.solid(ring, "brass", L, 2, specular=0.9, lay=lay)
    lay.paint(kit.ellipse(548, 376, 16, 11), "frost", 0.15)
    # the green-shaded lamp on its arm
    lx, ly = LAMP
    props.solid(kit.line([(300, 444), (310, 370), (lx - 10, ly + 6)], 5), "brass", L, 2, specular=0.8, lay=lay)
    props.solid(kit.ellipse(300, 444, 18, 6), "brass", L, 2, specular=0.8, lay=lay)
    shade = kit.poly([(lx - 44, ly + 24), (lx + 44, ly + 24), (lx + 24, ly - 4), (lx - 24, ly - 4)])
    props.solid(shade, "moss", L, 5, amb=0.45, specular=0.5, lay=lay)
    lay.paint(kit.ellipse(lx, ly + 24, 44, 6), "#fff2c8")
    return lay, top, front


def paint(page=True):
    """The finished room; without the pinned diary page when page is false (the page is a sprite)."""
    cv = kit.backdrop("night")
    shell(cv, SEED)
    storm_window(cv, SEED + 1)
    clocks = clock_wall(cv, SEED + 2)
    tool_board(cv, SEED + 3)
    pg = Layer(kit.W, kit.H)
    things.diary_page(pg, 215, 250, 0.62, 0.06, SEED + 4, L)
    pg = kit.with_shadow(pg.cropped(2), 2, 3, 2, 0.45)
    if page:
        kit.over_layer(cv, pg)
    lathe(cv, SEED + 5)
    bl, top, front = bench(SEED + 6)
    kit.contact_shadow(cv, 130, 780, 700, 24, 0.55, 12)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(bl.a, 0, 0), 10, 16, 12, 0.5))
    kit.over_layer(cv, bl)
    # a stool in the near left corner, cut by the frame
    st = Layer(kit.W, kit.H)
    props.solid(kit.ellipse(60, 600, 70, 20), "#4a2f1b", L, 6, lay=st, tex=kit.wood(kit.H, kit.W, SEED + 7, "#5a3a22", angle=0))
    for x in (20, 96):
        props.solid(kit.rect(x, 604, x + 14, 768), "#3a2414", L, 3, lay=st)
    kit.over_layer(cv, st)
    # light: the warm pool of the bench lamp, cold storm light from the window, dark corners
    cv *= 0.42
    lx, ly = LAMP
    pool = interior.beam_light(kit.H, kit.W, [(lx - 40, ly + 24), (lx + 40, ly + 24), (lx + 330, 560), (lx - 330, 560)], 40, 1.0)
    cv *= 1 + pool[..., None] * col("amber") * 1.5
    kit.lamp(cv, lx, ly + 80, 560, "amber", 0.8, 1.5)
    kit.lamp(cv, lx, ly + 26, 120, "candle", 1.0, 2.0)
    wl = interior.beam_light(kit.H, kit.W, [(640, 96), (846, 96), (846, 326), (760, 560), (520, 560), (640, 326)], 40, 0.5)
    cv *= 1 + wl[..., None] * col("frost") * 0.9
    kit.lamp(cv, 745, 210, 260, "frost", 0.5, 1.5)
    kit.lamp(cv, 245, 380, 150, "amber", 0.5, 1.5)
    d = kit.motes(kit.H, kit.W, SEED + 8, 700, mask=pool, size=0.8)
    cv += d[..., None] * col("candle") * 0.6
    kit.bloom(cv, 0.7, 12, 0.45)
    cv = kit.finish(cv, SEED, vignette=0.55)
    return cv, pg, clocks, top, front


def build():
    room = Room("workshop")
    cv, pg, clocks, top, front = paint()
    # the backdrop has a bare pegboard: the page is taken into the diary
    bare = paint(page=False)[0]
    room.back(bare)
    room.cut(cv, kit.Mask(pg.a, pg.x0, pg.y0), "workshop_page", "page", 3)
    bm = kit.union(top, front)
    room.hit("workshop_bench", "bench_hit", bm, 2)
    room.obj("workshop_bench_glow", "bench_glow", props.outline_glow(bm, "amber", 6, 0.8), 4)
    room.hit("workshop_clocks", "clocks_hit", clocks, 1)
    # under the pointer the clocks' pale faces and brass light up (drawn additively)
    lum = bare[..., :3] @ np.array([0.3, 0.59, 0.11], np.float32)
    cg = Layer(kit.W, kit.H)
    cg.rgb[:] = col("candle")
    cg.a = np.clip((lum - 0.27) / 0.12, 0, 1) * kit.crop_mask(clocks, 0, 0, kit.W, kit.H) * 0.5
    room.obj("workshop_clocks_glow", "clocks_glow", cg, 4)
    # the light under the lamp's shade, which the room makes flicker
    lx, ly = LAMP
    room.obj("workshop_lamp_glow", "lamp_glow", props.glow_layer(kit.ellipse(lx, ly + 28, 50, 14), "amber", 14, 0.5), 5)
    room.exit_down("workshop_exit")
    room.write()
    return room


if __name__ == "__main__":
    build()
