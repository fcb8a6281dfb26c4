"""Hidden-object scene 1: Ysolde's cluttered workbench, seen from above."""
import math

import numpy as np

import bench_things as B
import kit
import props
import things
from ho import HOScene
from kit import Layer
from scene import Room

L = (-0.6, -0.7, 0.55)  # bench lamp, upper left
SEED = 404


def table(seed):
    cv = kit.wood(kit.H, kit.W, seed, "#8a6238", "#5e3f22", angle=0.05, freq=0.05)
    # scratches and stains
    rng = np.random.default_rng(seed)
    lay = Layer(kit.W, kit.H)
    for i in range(60):
        x, y = rng.random() * kit.W, 100 + rng.random() * 668
        a = rng.random() * math.pi
        l = 10 + rng.random() * 60
        lay.paint(kit.line([(x, y), (x + math.cos(a) * l, y + math.sin(a) * l)], 0.8), "#3a2614", 0.4)
    for i in range(6):
        x, y = rng.random() * kit.W, 150 + rng.random() * 500
        r = 14 + rng.random() * 24
        lay.paint(kit.subtract(kit.ellipse(x, y, r, r * 0.9), kit.ellipse(x, y, r - 2.5, r * 0.9 - 2.5)), "#3a2614", 0.3)
    kit.over_layer(cv, lay)
    # the back of the bench: a cabinet of little parts drawers with brass label frames
    wall = Layer(kit.W, kit.H)
    wm = kit.rect(0, 0, kit.W, 100)
    wall.paint(wm, kit.wood(kit.H, kit.W, seed + 1, "#4a2f1b", "#2e1c10", angle=0, freq=0.08))
    for i, x in enumerate(range(6, kit.W, 78)):
        for j, y in enumerate((6, 50)):
            d = kit.rect(x, y, x + 72, y + 40)
            props.solid(d, "#6a452a", L, 3, amb=0.6, lay=wall, tex=kit.wood(kit.H, kit.W, seed + 10 + i * 2 + j, "#6a452a", angle=0))
            frame = kit.subtract(kit.rect(x + 22, y + 8, x + 50, y + 22), kit.rect(x + 24, y + 10, x + 48, y + 20))
            props.solid(frame, "brass", L, 1, specular=0.8, lay=wall)
            wall.paint(kit.rect(x + 24, y + 10, x + 48, y + 20), "parchment", 0.85)
            wall.paint(kit.line([(x + 27, y + 15), (x + 27 + 6 + (i * 7 + j * 3) % 12, y + 15)], 1.0), "ink", 0.6)
            props.solid(kit.ellipse(x + 36, y + 31, 4, 4), "brass", L, 1.5, specular=0.9, lay=wall)
    edge = kit.rect(0, 92, kit.W, 106)
    props.solid(edge, "#6a4a2a", L, 3, lay=wall)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(edge.m, edge.x0, edge.y0), 0, 8, 6, 0.5))
    kit.over_layer(cv, wall)
    return cv


def back_clutter(cv, seed):
    rng = np.random.default_rng(seed)
    lay = Layer(kit.W, kit.H)
    # green baize cloth under the clock movement
    cloth = kit.poly([(420, 200), (780, 184), (812, 450), (446, 472)])
    lay.paint(cloth, kit.tex_noise(kit.H, kit.W, "#46663f", "#2e4630", 4, seed))
    lay.paint(kit.line([(420, 200), (780, 184), (812, 450), (446, 472), (420, 200)], 3), "#c8a060", 0.5)
    # papers with drawings of the tower clock, an open notebook of figures, a sealed letter
    things.paper(lay, 300, 190, 1.3, -0.12, seed + 1, L)
    things.paper(lay, 870, 245, 1.2, 0.2, seed + 2, L)
    things.paper(lay, 640, 575, 1.1, 0.05, seed + 3, L)
    things.paper(lay, 150, 560, 1.0, -0.3, seed + 5, L)
    B.notebook(lay, 262, 540, 1.05, 0.12, seed + 6, L)
    B.envelope(lay, 505, 610, 1.1, -0.18, seed + 7, L)
    for k, (x, y, s, a) in enumerate(((560, 130, 0.6, 0.4), (95, 300, 0.7, -0.5), (985, 365, 0.6, 1.2),
                                      (700, 520, 0.7, 0.3), (380, 520, 0.6, -0.2), (820, 150, 0.6, -0.3),
                                      (240, 420, 0.5, 0.6))):
        things.paper(lay, x, y, s, a, seed + 40 + k, L, drawing=k % 2 == 0)
    # a leather tool roll spread open on the right
    roll = kit.poly([(690, 470), (850, 452), (862, 560), (700, 578)])
    props.solid(roll, "#6a3a22", L, 6, amb=0.55, lay=lay, tex=kit.tex_noise(kit.H, kit.W, "#7a4628", "#4a2614", 3, seed + 8))
    for k in range(6):
        x = 712 + k * 24
        lay.paint(kit.line([(x, 466 - k * 2), (x + 10, 570 - k * 2)], 2), "#3a1e10", 0.6, cover=False)
    kit.over_layer(cv, lay)
    # shadow of everything so far sits flat; now the solid clutter
    sol = Layer(kit.W, kit.H)
    # clock movement: a train of wheels on the cloth
    for (x, y, r, t) in ((520, 265, 58, 40), (672, 236, 44, 32), (712, 352, 36, 28), (566, 402, 30, 24),
                         (470, 360, 24, 18), (626, 320, 16, 12), (760, 285, 20, 14), (760, 415, 18, 14)):
        g = props.gear(x, y, r, t, seed + x, "brass", 5 if r > 25 else 4, rng.random(), L)
        things.kit_paste(sol, g)
    # plates of the movement and its loose dial
    plate = kit.subtract(kit.rrect(430, 430, 540, 470, 10), kit.ellipse(460, 450, 6, 6))
    props.solid(plate, "brass", L, 3, specular=0.6, lay=sol)
    things.kit_paste(sol, props.dial(372, 430, 34, seed + 11, 9, 5, light=L, tide=False))
    # a wooden tray of parts
    tray = kit.rrect(40, 320, 230, 460, 8)
    props.solid(tray, "#6a4526", L, 5, lay=sol, tex=kit.wood(kit.H, kit.W, seed + 4, "#6a4526", angle=0))
    for (a, b) in ((50, 330), (140, 330), (50, 395), (140, 395)):
        sol.paint(kit.rect(a + 4, b + 4, a + 84, b + 58), "#2e1e10")
        for k in range(9):
            x = a + 14 + rng.random() * 60
            y = b + 12 + rng.random() * 40
            g = props.gear(x, y, 6 + rng.random() * 8, 10, seed + k, "brass", 0, rng.random(), L)
            things.kit_paste(sol, g)
    # jars of screws seen from above
    for (x, y, r) in ((100, 215, 40), (965, 440, 36)):
        props.solid(kit.ellipse(x, y, r, r), kit.mix("frost", "teal", 0.4), L, 8, amb=0.5, specular=0.9, lay=sol)
        sol.paint(kit.ellipse(x, y, r - 6, r - 6), "#2a2a2a", 0.5)
        for k in range(14):
            things.screw(sol, x + (rng.random() - 0.5) * r, y + (rng.random() - 0.5) * r, 0.7, rng.random() * 6, seed + k, L)
    # a cold cup of tea on its saucer
    props.solid(kit.ellipse(885, 372, 56, 48), "#e8e6e0", L, 6, specular=0.4, lay=sol)
    props.solid(kit.ellipse(885, 368, 34, 31), "#f0eee8", L, 5, specular=0.4, lay=sol)
    sol.paint(kit.ellipse(885, 368, 27, 24), "#4a2a14")
    props.solid(kit.subtract(kit.ellipse(925, 358, 11, 8), kit.ellipse(925, 358, 6, 4)), "#f0eee8", L, 2, lay=sol)
    # a stack of workshop books at the right and two more loose dials
    for k, (c, dx, a) in enumerate((("#2e4a63", 0, 0.1), ("moss", 6, -0.08), ("wine", -4, 0.22))):
        things.book_flat(sol, 985 + dx, 118 + k * 6, 1.05, a, seed + 50 + k, L, c=c)
    things.kit_paste(sol, props.dial(230, 385, 26, seed + 12, 2, 40, light=L, tide=False))
    things.kit_paste(sol, props.dial(965, 520, 30, seed + 13, 6, 15, light=L, tide=False))
    for (x, y, r) in ((180, 170, 16), (600, 440, 13), (330, 470, 14)):
        pts = [(x + (r - t * 0.8) * math.cos(t * 2.2), y + (r - t * 0.8) * math.sin(t * 2.2) * 0.8) for t in np.linspace(0, 14, 160)]
        props.solid(kit.line(pts, 1.6), "#d8a050", L, 0.7, specular=0.9, lay=sol)
    # a bench vice seen from above: fixed and sliding jaws, the screw and its tommy bar
    props.solid(kit.rrect(20, 500, 110, 570, 6), "#3e4a58", L, 6, specular=0.5, lay=sol)
    props.solid(kit.rrect(112, 506, 150, 564, 4), "#3e4a58", L, 5, specular=0.5, lay=sol)
    props.solid(kit.rect(150, 528, 220, 540), "#8a8e96", L, 2, specular=0.8, lay=sol)
    props.solid(kit.line([(214, 500), (222, 570)], 5), "#9aa0a8", L, 2, specular=0.8, lay=sol)
    # files, an awl and a fret saw
    for k in range(3):
        B.files(sol, 360 + k * 16, 520 - k * 9, 1.3, -0.45, seed + 20 + k, L)
    B.awl(sol, 300, 372, 1.3, 2.3, seed + 21, L)
    B.saw(sol, 246, 262, 1.2, 0.35, seed + 22, L)
    # rag
    rag = kit.poly([(720, 470), (800, 455), (840, 490), (820, 540), (760, 560), (710, 520)])
    props.solid(rag, "parchment_shade", L, 12, amb=0.5, lay=sol)
    # wood shavings
    for k in range(90):
        x, y = 30 + rng.random() * 970, 110 + rng.random() * 500
        pts = [(x + 8 * math.cos(t) * (1 - t / 12), y + 8 * math.sin(t) * (1 - t / 12)) for t in np.linspace(0, 8, 20)]
        sol.paint(kit.line(pts, 2), "#d8b070", 0.8)
    # loose wheels, pins, blocks and washers everywhere
    for k in range(260):
        x, y = 20 + rng.random() * 990, 108 + rng.random() * 520
        kind = k % 6
        if kind == 5:
            things.screw(sol, x, y, 0.8 + rng.random() * 0.4, rng.random() * 6.3, seed + 300 + k, L)
            continue
        if kind in (0, 1):
            g = props.gear(x, y, 7 + rng.random() * 14, 12, seed + 100 + k, "brass", 4 if kind else 0, rng.random(), L)
            things.kit_paste(sol, g)
        elif kind == 2:
            m = kit.line([(x, y), (x + 30 * math.cos(k), y + 30 * math.sin(k))], 3)
            props.solid(m, "#9aa0a8", L, 1, specular=0.7, lay=sol)
        elif kind == 3:
            m = kit.rrect(x - 10, y - 7, x + 10, y + 7, 3)
            props.solid(m, kit.mix("walnut", "brass", rng.random()), L, 3, lay=sol)
        else:
            m = kit.subtract(kit.ellipse(x, y, 7, 7), kit.ellipse(x, y, 3, 3))
            props.solid(m, "#b0b4ba", L, 1.5, specular=0.8, lay=sol)
    # a ruler and a pair of dividers by the drawings, pencils
    ruler = kit.poly([(300, 272), (470, 246), (472, 256), (302, 282)])
    props.solid(ruler, kit.mix("parchment", "brass", 0.4), L, 2, amb=0.6, lay=sol)
    for k in range(18):
        t = k / 17
        x0, y0 = 300 + 170 * t, 272 - 26 * t
        sol.paint(kit.line([(x0, y0), (x0 + 1, y0 + (6 if k % 2 else 3))], 1), "ink", 0.6)
    props.solid(kit.union(kit.line([(850, 170), (880, 240)], 3), kit.line([(850, 170), (826, 242)], 3),
                          kit.ellipse(850, 168, 5, 5)), "#aeb3ba", L, 1, specular=0.9, lay=sol)
    for k, c in enumerate(("#2e4a63", "wine", "moss")):
        props.solid(kit.line([(560 + k * 10, 540 - k * 4), (660 + k * 12, 514 - k * 6)], 5), c, L, 2, lay=sol)
    # the lamp's weighted brass foot in the near corner
    props.solid(kit.ellipse(30, 150, 60, 40), "brass", L, 8, specular=0.9, lay=sol)
    props.solid(kit.ellipse(30, 150, 18, 14), "#6a4a1e", L, 3, specular=0.6, lay=sol)
    # the candle in its chamberstick, an inkwell, a bottle of clock oil, a pendulum, twine, a watch chain,
    # a pincushion, a tin of buttons, a half-eaten apple, a pouch, a glue pot, a mug of pencils and a watch back
    B.candlestick(sol, *CANDLE, 1.3, 0, seed + 30, L)
    B.inkwell(sol, 205, 132, 1.1, 0.1, seed + 31, L)
    B.bottle_lying(sol, 330, 600, 1.2, -0.3, seed + 32, L)
    B.pendulum_bob(sol, 380, 142, 1.1, 0.05, seed + 33, L)
    B.string_ball(sol, 860, 585, 1.1, 0.4, seed + 34, L)
    B.chain(sol, 690, 440, 1.0, -0.2, seed + 35, L)
    B.pincushion(sol, 760, 130, 1.1, 0, seed + 36, L)
    B.tin(sol, 735, 515, 1.05, 0, seed + 37, L)
    B.apple(sol, 900, 140, 1.1, 0.4, seed + 38, L)
    B.bottle_lying(sol, 1000, 560, 1.0, 1.9, seed + 39, L, c="#5a2a2a", label=False)
    B.pouch(sol, 75, 478, 1.1, 0.2, seed + 40, L)
    B.gluepot(sol, 232, 612, 1.0, 0.3, seed + 41, L)
    B.pencil_mug(sol, 985, 598, 1.0, 0, seed + 42, L)
    B.watch_back(sol, 418, 302, 0.9, 0, seed + 43, L)
    # an empty clock case waiting for its movement
    case = kit.rrect(856, 620, 1020, 740, 14)
    props.solid(case, "mahogany", L, 8, lay=sol, tex=kit.wood(kit.H, kit.W, seed + 9, "#7a3b2a", angle=0))
    sol.paint(kit.ellipse(938, 670, 48, 40), "#1a0e08")
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(sol.a, 0, 0), 4, 6, 4, 0.45))
    kit.over_layer(cv, sol)
    # the painterly filter spares the clutter as it spares the finds, so no find stands out crisper
    PROTECT[:] = np.maximum(PROTECT, kit.blur(np.clip(sol.a * 1.5, 0, 1), 1.0) * 0.75)


PROTECT = np.zeros((kit.H, kit.W), np.float32)


def front_layers(seed):
    """Candidate clutter pieces to lay over hidden objects."""
    rng = np.random.default_rng(seed)
    out = []
    pieces = [("paper", 430, 590, 0.7, 0.3), ("gear", 500, 318, 20, 0), ("rag", 345, 395, 0, 0),
             ("gear", 228, 300, 18, 0), ("shavings", 580, 212, 0, 0), ("paper", 925, 520, 0.6, -0.4),
             ("gear", 668, 360, 14, 0), ("cloth", 135, 470, 0, 0), ("shavings", 330, 470, 0, 0),
             ("gear", 935, 262, 12, 0), ("paper", 780, 112, 0.55, 0.5), ("shavings", 255, 585, 0, 0),
             ("gear", 600, 520, 16, 0), ("shavings", 845, 300, 0, 0), ("rag", 985, 205, 0, 0),
             ("gear", 415, 505, 13, 0), ("shavings", 660, 600, 0, 0), ("paper", 560, 630, 0.5, 0.2),
             # pieces laid across the finds themselves, each hiding a part of one
             ("gear", 652, 340, 15, 0), ("paper", 515, 590, 0.42, 0.6), ("shavings", 762, 442, 0, 0),
             ("shavings", 878, 548, 0, 0), ("gear", 384, 584, 11, 0), ("pencil", 700, 168, 60, 2.7),
             ("gear", 86, 116, 13, 0), ("gear", 172, 394, 9, 0), ("shavings", 338, 336, 0, 0),
             ("paper", 236, 538, 0.4, 0.3), ("shavings", 796, 556, 0, 0), ("gear", 150, 262, 12, 0),
             ("shavings", 40, 428, 0, 0), ("pencil", 548, 192, 56, 0.9), ("gear", 884, 247, 11, 0),
             ("pencil", 410, 232, 50, 0.25), ("shavings", 896, 458, 0, 0), ("pencil", 610, 470, 54, 2.0)]
    for i, (kind, x, y, a, b) in enumerate(pieces):
        lay = Layer(kit.W, kit.H)
        if kind == "paper":
            things.paper(lay, x, y, a, b, seed + i, L, drawing=True)
        elif kind == "gear":
            g = props.gear(x, y, a, 14, seed + i, "brass", 4, rng.random(), L)
            things.kit_paste(lay, g)
        elif kind == "rag":
            m = kit.poly([(x - 30, y - 10), (x + 20, y - 24), (x + 40, y + 4), (x + 10, y + 26), (x - 26, y + 18)])
            props.solid(m, "parchment_shade", L, 9, amb=0.5, lay=lay)
        elif kind == "pencil":
            ca, sa = math.cos(b), math.sin(b)
            c = ("#2e4a63", "wine", "moss", "#c8a030")[i % 4]
            body = kit.line([(x - ca * a / 2, y - sa * a / 2), (x + ca * a / 2, y + sa * a / 2)], 5)
            props.solid(body, c, L, 2, specular=0.4, lay=lay)
            tip = kit.poly([(x + ca * a / 2 - sa * 2.5, y + sa * a / 2 + ca * 2.5), (x + ca * (a / 2 + 9), y + sa * (a / 2 + 9)),
                            (x + ca * a / 2 + sa * 2.5, y + sa * a / 2 - ca * 2.5)])
            lay.paint(tip, "#e0c090")
            lay.paint(kit.ellipse(x + ca * (a / 2 + 7.5), y + sa * (a / 2 + 7.5), 1.3, 1.3), "#2a1f17")
        elif kind == "cloth":
            m = kit.poly([(x - 40, y - 12), (x + 30, y - 20), (x + 44, y + 10), (x - 30, y + 22)])
            props.solid(m, "#3e5a3c", L, 7, amb=0.5, lay=lay)
        else:
            for k in range(7):
                xx, yy = x + (rng.random() - 0.5) * 50, y + (rng.random() - 0.5) * 30
                pts = [(xx + 9 * math.cos(t) * (1 - t / 12), yy + 9 * math.sin(t) * (1 - t / 12)) for t in np.linspace(0, 8, 20)]
                lay.paint(kit.line(pts, 2.2), "#d8b070", 0.9)
        out.append(kit.with_shadow(lay.cropped(2), 2, 3, 2, 0.35))
    return out


# The candle's wick stands here; the room's flame animation burns on it.
CANDLE = (470, 178)

HIDDEN = [
    # name, image, painter, x, y, scale, angle, extra
    ("ho_bench_watch", "watch", things.watch, 632, 318, 1.45, 0.3, {}),
    ("ho_bench_loupe", "loupe", B.loupe, 305, 470, 1.35, 0.5, {}),
    ("ho_bench_tweezers", "tweezers", things.tweezers, 468, 552, 1.6, 0.35, {}),
    ("ho_bench_screwdriver", "screwdriver", things.screwdriver, 772, 432, 1.55, -0.5, {"handle": "wine"}),
    ("ho_bench_spring", "spring", B.spring, 205, 290, 1.5, 0.3, {}),
    ("ho_bench_pliers", "pliers", B.pliers, 905, 522, 1.15, 2.6, {}),
    ("ho_bench_candle", "candle", things.candle, 598, 478, 1.7, 0.15, {}),
    ("ho_bench_thimble", "thimble", things.thimble, 402, 597, 1.6, 0.2, {}),
    ("ho_bench_spectacles", "spectacles", things.spectacles, 686, 152, 1.5, 0.15, {}),
    ("ho_bench_hammer", "hammer", B.hammer, 955, 172, 1.2, 1.9, {}),
    ("ho_bench_quill", "quill", things.quill, 112, 128, 1.45, 0.25, {}),
    ("ho_bench_screw_1", "screw_1", B.screw, 160, 378, 1.55, 0.7, {}),
    ("ho_bench_screw_2", "screw_2", B.screw, 330, 330, 1.55, 2.0, {}),
    ("ho_bench_screw_3", "screw_3", B.screw, 965, 302, 1.55, -1.0, {}),
    ("ho_bench_key", "key", B.key, 520, 332, 1.2, -0.5, {}),
    ("ho_bench_magnet", "magnet", B.magnet, 262, 512, 1.05, 2.5, {}),
    ("ho_bench_spool", "spool", B.spool, 815, 565, 1.05, -0.4, {}),
    ("ho_bench_spanner", "spanner", B.spanner, 140, 265, 0.95, -0.6, {}),
    ("ho_bench_padlock", "padlock", B.padlock, 42, 400, 1.15, 0.2, {}),
    ("ho_bench_matchbox", "matchbox", B.matchbox, 540, 176, 1.05, 0.35, {}),
    ("ho_bench_die", "die", B.die, 870, 232, 1.05, 0.4, {}),
    ("ho_bench_penknife", "penknife", B.penknife, 630, 590, 0.95, -0.25, {}),
    ("ho_bench_brush", "brush", B.brush, 400, 215, 1.05, 2.8, {}),
    ("ho_bench_teaspoon", "teaspoon", B.teaspoon, 870, 450, 1.15, 0.2, {}),
]


def light(cv):
    cv = cv * 0.62
    kit.lamp(cv, 130, 70, 1250, "amber", 0.8, 1.15)
    kit.lamp(cv, CANDLE[0], CANDLE[1] - 70, 430, "candle", 0.38, 1.7)
    return cv


FLAME_W, FLAME_H, WICK = 64, 104, (32, 92)


def flame_frames(seed, n=10):
    """The candle flame breathing and leaning in a draught: a soft halo, an amber body, a white core."""
    rng = np.random.default_rng(seed)
    frames = []
    for i in range(n):
        ph = 2 * math.pi * i / n
        h = 30 + 4 * math.sin(ph) + 2 * math.sin(3 * ph + 1) + rng.random()
        lean = 3.2 * math.sin(ph + 0.7) + 1.2 * math.sin(2 * ph)
        lay = Layer(FLAME_W, FLAME_H)
        wx, wy = WICK
        cx, cy = wx + lean * 0.3, wy - 4
        hal = kit.radial(FLAME_H, FLAME_W, cx + lean * 0.5, cy - h * 0.45, 30 + 2 * math.sin(ph), 1.6)
        lay.rgb[:] = kit.col("amber")
        lay.a = hal * (0.34 + 0.05 * math.sin(2 * ph))
        w = h * 0.3
        pts = [(cx + lean, cy - h)]
        for t in np.linspace(0.08, 1, 12):
            pts.append((cx + lean * (1 - t) ** 2 + w * math.sin(t * math.pi * 0.92) * (1 - 0.3 * t), cy - h + t * h))
        for t in np.linspace(1, 0.08, 12):
            pts.append((cx + lean * (1 - t) ** 2 - w * math.sin(t * math.pi * 0.92) * (1 - 0.3 * t), cy - h + t * h))
        body = kit.poly(pts)
        lay.paint(kit.Mask(kit.blur(body.full(FLAME_W, FLAME_H), 1.0)), "#ffb347", 0.95)
        lay.paint(kit.ellipse(cx + lean * 0.25, cy - h * 0.32, w * 0.55, h * 0.36), "#ffe9b0", 0.95)
        lay.paint(kit.ellipse(cx + lean * 0.15, cy - h * 0.22, w * 0.35, h * 0.22), "#fffaf0")
        lay.paint(kit.ellipse(cx, cy - 2, w * 0.35, 3.5), "#5a78c8", 0.55)
        lay.paint(kit.line([(wx, wy), (wx + lean * 0.2, wy - 6)], 1.4), "#1a1410")
        frames.append(np.dstack([np.clip(lay.rgb, 0, 1), np.clip(lay.a, 0, 1)]).astype(np.float32))
    return frames


def finish(cv, protect=None):
    kit.bloom(cv, 0.8, 8, 0.3)
    prot = PROTECT if protect is None else np.maximum(protect, PROTECT)
    return kit.finish(cv, SEED, vignette=0.4, stroke_angle=0.2, protect=prot)


def build():
    room = Room("bench")
    base = table(SEED)
    back_clutter(base, SEED + 1)
    sc = HOScene(room, SEED)
    for name, res, fn, x, y, s, a, kw in HIDDEN:
        sc.add(name, res, fn, x, y, s, a, L, **kw)
    for lay in front_layers(SEED + 2):
        sc.tuck(lay)
    sc.save(base, light, finish)
    # the reward shown in the dialog: the oil can
    oc = Layer(kit.W, kit.H)
    B.oilcan(oc, 512, 300, 1.8, 0.0, SEED, L)
    room.obj("bench_oilcan", "oilcan", kit.with_shadow(oc.cropped(2), 3, 4, 3, 0.0), 5)
    kit.save_anim("levels/level/bench/flame", flame_frames(SEED + 5), pivot=WICK, frametime=90, cols=5)
    room.write()
    return room


if __name__ == "__main__":
    build()
