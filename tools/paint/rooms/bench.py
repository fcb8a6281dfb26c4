"""Hidden-object scene 1: Ysolde's cluttered workbench, seen from above."""
import math

import numpy as np

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
    cloth = kit.poly([(420, 210), (760, 190), (800, 440), (450, 470)])
    lay.paint(cloth, kit.tex_noise(kit.H, kit.W, "#3e5a3c", "#2e4630", 4, seed))
    # papers with drawings of the tower clock
    things.paper(lay, 300, 180, 1.3, -0.12, seed + 1, L)
    things.paper(lay, 860, 230, 1.2, 0.2, seed + 2, L)
    things.paper(lay, 640, 560, 1.1, 0.05, seed + 3, L)
    kit.over_layer(cv, lay)
    # shadow of everything so far sits flat; now the solid clutter
    sol = Layer(kit.W, kit.H)
    # clock movement: a train of wheels on the cloth
    for (x, y, r, t) in ((520, 270, 58, 40), (660, 240, 44, 32), (700, 360, 36, 28), (560, 400, 30, 24),
                         (470, 360, 24, 18), (620, 330, 16, 12), (760, 290, 20, 14)):
        g = props.gear(x, y, r, t, seed + x, "brass", 5 if r > 25 else 4, rng.random(), L)
        things.kit_paste(sol, g)
    # plates of the movement
    plate = kit.subtract(kit.rrect(430, 430, 540, 470, 10), kit.ellipse(460, 450, 6, 6))
    props.solid(plate, "brass", L, 3, specular=0.6, lay=sol)
    # a wooden tray of parts
    tray = kit.rrect(60, 330, 250, 470, 8)
    props.solid(tray, "#6a4526", L, 5, lay=sol, tex=kit.wood(kit.H, kit.W, seed + 4, "#6a4526", angle=0))
    for (a, b) in ((70, 340), (160, 340), (70, 405), (160, 405)):
        sol.paint(kit.rect(a + 4, b + 4, a + 84, b + 58), "#2e1e10")
        for k in range(8):
            x = a + 14 + rng.random() * 60
            y = b + 12 + rng.random() * 40
            g = props.gear(x, y, 6 + rng.random() * 8, 10, seed + k, "brass", 0, rng.random(), L)
            things.kit_paste(sol, g)
    # jars seen from above
    for (x, y, r) in ((110, 200, 40), (950, 430, 36)):
        props.solid(kit.ellipse(x, y, r, r), kit.mix("frost", "teal", 0.4), L, 8, amb=0.5, specular=0.9, lay=sol)
        sol.paint(kit.ellipse(x, y, r - 6, r - 6), "#2a2a2a", 0.5)
        for k in range(14):
            things.screw(sol, x + (rng.random() - 0.5) * r, y + (rng.random() - 0.5) * r, 0.7, rng.random() * 6, seed + k, L)
    # a cold cup of tea
    props.solid(kit.ellipse(880, 360, 46, 40), "#e8e6e0", L, 6, specular=0.4, lay=sol)
    props.solid(kit.ellipse(880, 358, 30, 28), "#f0eee8", L, 5, specular=0.4, lay=sol)
    sol.paint(kit.ellipse(880, 358, 24, 22), "#4a2a14")
    # vice and files
    # a bench vice seen from above: fixed and sliding jaws, the screw and its tommy bar
    props.solid(kit.rrect(20, 520, 110, 590, 6), "#3e4a58", L, 6, specular=0.5, lay=sol)
    props.solid(kit.rrect(112, 526, 150, 584, 4), "#3e4a58", L, 5, specular=0.5, lay=sol)
    for y in (528, 582):
        props.solid(kit.rect(104, y - 6, 118, y), "#9aa0a8", L, 1, specular=0.8, lay=sol)
    props.solid(kit.rect(150, 548, 220, 560), "#8a8e96", L, 2, specular=0.8, lay=sol)
    props.solid(kit.line([(214, 520), (222, 590)], 5), "#9aa0a8", L, 2, specular=0.8, lay=sol)
    for y in (518, 592):
        props.solid(kit.ellipse(214 + (y - 518) / 74 * 8, y, 6, 6), "#9aa0a8", L, 2, specular=0.8, lay=sol)
    for k in range(3):
        m = kit.line([(300 + k * 18, 590 - k * 8), (420 + k * 18, 520 - k * 6)], 5)
        props.solid(m, "#6a6e76", L, 2, specular=0.5, lay=sol)
    # rag
    rag = kit.poly([(720, 470), (800, 455), (840, 490), (820, 540), (760, 560), (710, 520)])
    props.solid(rag, "parchment_shade", L, 12, amb=0.5, lay=sol)
    # wood shavings
    for k in range(30):
        x, y = 150 + rng.random() * 760, 120 + rng.random() * 470
        pts = [(x + 8 * math.cos(t) * (1 - t / 12), y + 8 * math.sin(t) * (1 - t / 12)) for t in np.linspace(0, 8, 20)]
        sol.paint(kit.line(pts, 2), "#d8b070", 0.8)
    for k in range(70):
        x, y = 40 + rng.random() * 950, 120 + rng.random() * 460
        kind = k % 5
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
    ruler = kit.poly([(300, 262), (470, 236), (472, 246), (302, 272)])
    props.solid(ruler, kit.mix("parchment", "brass", 0.4), L, 2, amb=0.6, lay=sol)
    for k in range(18):
        t = k / 17
        x0, y0 = 300 + 170 * t, 262 - 26 * t
        sol.paint(kit.line([(x0, y0), (x0 + 1, y0 + (6 if k % 2 else 3))], 1), "ink", 0.6)
    props.solid(kit.union(kit.line([(850, 160), (880, 230)], 3), kit.line([(850, 160), (826, 232)], 3),
                          kit.ellipse(850, 158, 5, 5)), "#aeb3ba", L, 1, specular=0.9, lay=sol)
    for k, c in enumerate(("#2e4a63", "wine", "moss")):
        props.solid(kit.line([(560 + k * 10, 600 - k * 4), (660 + k * 12, 574 - k * 6)], 5), c, L, 2, lay=sol)
    # the lamp's weighted brass foot in the near corner
    props.solid(kit.ellipse(30, 150, 60, 40), "brass", L, 8, specular=0.9, lay=sol)
    props.solid(kit.ellipse(30, 150, 18, 14), "#6a4a1e", L, 3, specular=0.6, lay=sol)
    # an empty clock case waiting for its movement
    case = kit.rrect(856, 600, 1020, 720, 14)
    props.solid(case, "mahogany", L, 8, lay=sol, tex=kit.wood(kit.H, kit.W, seed + 9, "#7a3b2a", angle=0))
    sol.paint(kit.ellipse(938, 650, 48, 40), "#1a0e08")
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(sol.a, 0, 0), 4, 6, 4, 0.45))
    kit.over_layer(cv, sol)


def front_layers(seed):
    """Candidate clutter pieces to lay over hidden objects."""
    rng = np.random.default_rng(seed)
    out = []
    specs = [("paper", 430, 590, 0.7, 0.3), ("gear", 590, 320, 22, 0), ("rag", 360, 265, 0, 0),
             ("gear", 200, 280, 18, 0), ("shavings", 720, 180, 0, 0), ("paper", 905, 535, 0.6, -0.4),
             ("gear", 555, 432, 14, 0), ("cloth", 120, 440, 0, 0), ("shavings", 330, 470, 0, 0),
             ("gear", 935, 262, 12, 0), ("paper", 790, 120, 0.55, 0.5), ("shavings", 240, 575, 0, 0)]
    for i, (kind, x, y, a, b) in enumerate(specs):
        lay = Layer(kit.W, kit.H)
        if kind == "paper":
            things.paper(lay, x, y, a, b, seed + i, L, drawing=True)
        elif kind == "gear":
            g = props.gear(x, y, a, 14, seed + i, "brass", 4, rng.random(), L)
            things.kit_paste(lay, g)
        elif kind == "rag":
            m = kit.poly([(x - 30, y - 10), (x + 20, y - 24), (x + 40, y + 4), (x + 10, y + 26), (x - 26, y + 18)])
            props.solid(m, "parchment_shade", L, 9, amb=0.5, lay=lay)
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


HIDDEN = [
    # name, image, painter, x, y, scale, angle, extra
    ("ho_bench_watch", "watch", things.watch, 625, 330, 1.5, 0.3, {}),
    ("ho_bench_loupe", "loupe", things.loupe, 300, 480, 1.6, 0.5, {}),
    ("ho_bench_tweezers", "tweezers", things.tweezers, 470, 540, 1.7, 0.35, {}),
    ("ho_bench_screwdriver", "screwdriver", things.screwdriver, 770, 420, 1.6, -0.5, {"handle": "wine"}),
    ("ho_bench_spring", "spring", things.spring, 190, 270, 1.6, 0.3, {}),
    ("ho_bench_pliers", "pliers", things.pliers, 900, 530, 1.7, 2.6, {}),
    ("ho_bench_candle", "candle", things.candle, 398, 236, 1.6, 0.15, {}),
    ("ho_bench_thimble", "thimble", things.thimble, 225, 555, 1.5, 0.2, {}),
    ("ho_bench_spectacles", "spectacles", things.spectacles, 690, 152, 1.6, 0.15, {}),
    ("ho_bench_hammer", "hammer", things.hammer, 975, 170, 1.6, 1.9, {}),
    ("ho_bench_quill", "quill", things.quill, 120, 140, 1.5, 0.25, {}),
    ("ho_bench_screw_1", "screw_1", things.screw, 545, 445, 1.5, 0.7, {}),
    ("ho_bench_screw_2", "screw_2", things.screw, 330, 335, 1.5, 2.0, {}),
    ("ho_bench_screw_3", "screw_3", things.screw, 960, 300, 1.5, -1.0, {}),
]


def light(cv):
    cv = cv * 0.5
    kit.lamp(cv, 120, 80, 1150, "amber", 0.8, 1.3)
    kit.lamp(cv, 220, 180, 460, "candle", 0.35, 1.6)
    return cv


def finish(cv, protect=None):
    kit.bloom(cv, 0.8, 8, 0.3)
    return kit.finish(cv, SEED, vignette=0.5, stroke_angle=0.2, protect=protect)


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
    things.oilcan(oc, 512, 300, 1.6, 0.0, SEED, L)
    room.obj("bench_oilcan", "oilcan", kit.with_shadow(oc.cropped(2), 3, 4, 3, 0.0), 5)
    room.write()
    return room


if __name__ == "__main__":
    build()
