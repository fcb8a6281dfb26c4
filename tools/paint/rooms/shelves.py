"""Hidden-object scene 2: the crowded library shelves."""
import math

import numpy as np

import common
import kit
import props
import things
from ho import HOScene
from kit import Layer, col
from scene import Room

L = (-0.7, 0.45, 0.55)  # firelight from the lower left
SEED = 606
SHELVES = (150, 292, 434, 576)
BAYS = ((24, 330), (356, 668), (694, 1000))


def case(seed):
    cv = kit.wood(kit.H, kit.W, seed, "#3a2414", "#24160c", angle=math.pi / 2, freq=0.1)
    lay = Layer(kit.W, kit.H)
    for x0, x1 in BAYS:
        lay.paint(kit.rect(x0, 0, x1, 768), kit.wood(kit.H, kit.W, seed + 1, "#2e1c10", "#1e1208", angle=math.pi / 2) * 0.8)
    for x in (12, 342, 680, 1012):
        props.solid(kit.rect(x - 14, 0, x + 14, 768), "#5a3a22", L, 5, lay=lay,
                    tex=kit.wood(kit.H, kit.W, seed + 2, "#5a3a22", angle=math.pi / 2))
    kit.over(cv, lay)
    return cv


def contents(cv, seed, gaps):
    """Books on every shelf, leaving the gaps where hidden objects stand."""
    rng = np.random.default_rng(seed)
    lay = Layer(kit.W, kit.H)
    for j, y in enumerate(SHELVES):
        for (x0, x1) in BAYS:
            segs = [(x0 + 4, x1 - 4)]
            for gx0, gx1, gy in gaps:
                if gy == j:
                    new = []
                    for a, b in segs:
                        if gx1 <= a or gx0 >= b:
                            new.append((a, b))
                        else:
                            if gx0 > a:
                                new.append((a, gx0))
                            if gx1 < b:
                                new.append((gx1, b))
                    segs = new
            for a, b in segs:
                if b - a > 14:
                    props.books_row(lay, a, b, y - 2, 70, 128, int(seed + j * 31 + a), light=L, gaps=0.05)
    kit.over(cv, kit.shadow_layer(kit.Mask(lay.a, 0, 0), 6, 0, 5, 0.5))
    kit.over(cv, lay)
    sh = Layer(kit.W, kit.H)
    for y in SHELVES:
        for x0, x1 in BAYS:
            props.solid(kit.rect(x0 - 2, y, x1 + 2, y + 16), "#6a452a", L, 3, lay=sh,
                        tex=kit.wood(kit.H, kit.W, seed + y, "#6a452a", angle=0))
    # curios between the books: jars, a globe, boxes
    for (x, y, kind) in ((470, 434, "globe"), (900, 292, "jar"), (120, 576, "box"), (610, 150, "jar"),
                         (860, 576, "box"), (260, 292, "skull")):
        if kind == "globe":
            props.solid(kit.ellipse(x, y - 50, 38, 38), "#4f6b4a", L, 10, spec=0.3, lay=sh,
                        tex=kit.tex_noise(kit.H, kit.W, "#6a7e5a", "#3d5a63", 10, seed))
            props.solid(kit.rect(x - 3, y - 12, x + 3, y), "brass", L, 1, lay=sh)
            props.solid(kit.ellipse(x, y - 2, 18, 5), "brass", L, 2, lay=sh)
        elif kind == "jar":
            props.solid(kit.rrect(x - 22, y - 70, x + 22, y, 8), kit.mix("frost", "teal", 0.5), L, 6, amb=0.4, spec=0.9, lay=sh)
            sh.paint(kit.rect(x - 18, y - 40, x + 18, y - 4), "#6a4a2a", 0.6)
        elif kind == "box":
            props.solid(kit.rect(x - 40, y - 44, x + 40, y), "wine", L, 4, lay=sh)
            props.solid(kit.rect(x - 42, y - 50, x + 42, y - 40), "#6a2222", L, 2, lay=sh)
        else:
            props.solid(kit.ellipse(x, y - 30, 22, 26), "parchment", L, 8, lay=sh)
    kit.over(cv, sh)


HIDDEN = [
    ("ho_shelves_hourglass", "hourglass", things.hourglass, 210, 150 - 40, 1.6, 0.0, 0),
    ("ho_shelves_owl", "owl", things.owl, 520, 292 - 48, 1.6, 0.0, 1),
    ("ho_shelves_spyglass", "spyglass", things.spyglass, 820, 434 - 12, 1.6, 0.0, 2),
    ("ho_shelves_shell", "shell", things.shell, 160, 434 - 28, 1.4, 0.1, 2),
    ("ho_shelves_candlestick", "candlestick", things.candlestick, 760, 150 - 50, 1.6, 0.0, 0),
    ("ho_shelves_bell", "bell", things.bell, 610, 576 - 28, 1.4, 0.0, 3),
    ("ho_shelves_teacup", "teacup", things.teacup, 300, 576 - 22, 1.5, 0.0, 3),
    ("ho_shelves_scroll", "scroll", things.scroll, 430, 150 - 10, 1.6, 0.0, 0),
    ("ho_shelves_anchor", "anchor", things.anchor, 955, 150 - 38, 1.5, 0.15, 0),
    ("ho_shelves_pipe", "pipe", things.pipe, 745, 292 - 14, 1.5, 0.0, 1),
    ("ho_shelves_starfish", "starfish", things.starfish, 560, 434 - 38, 1.3, 0.4, 2),
    ("ho_shelves_pawn_1", "pawn_1", things.pawn, 90, 292 - 26, 1.5, 0.0, 1),
    ("ho_shelves_pawn_2", "pawn_2", things.pawn, 420, 434 - 26, 1.5, 0.0, 2),
    ("ho_shelves_pawn_3", "pawn_3", things.pawn, 960, 576 - 26, 1.5, 0.0, 3),
]


def front_layers(seed):
    rng = np.random.default_rng(seed)
    out = []
    for i, (x, y, w, h, c, lean) in enumerate((
            (238, 150, 22, 60, "wine", 0.3), (548, 292, 20, 70, "moss", -0.25), (790, 434, 18, 56, "slate", 0.35),
            (185, 434, 16, 40, "mahogany", 0), (640, 576, 22, 50, "teal", -0.3), (330, 576, 20, 30, "walnut", 0),
            (980, 150, 16, 62, "moss", -0.3), (110, 292, 18, 34, "wine", 0.2), (445, 434, 18, 30, "dusk", 0))):
        lay = Layer(kit.W, kit.H)
        dx = h * math.sin(lean)
        pts = [(x, y), (x + w, y), (x + w + dx, y - h), (x + dx, y - h)]
        props.solid(kit.poly(pts), c, L, 5, amb=0.5, lay=lay)
        out.append(kit.with_shadow(lay.cropped(2), 3, 0, 3, 0.4))
    return out


def light(cv):
    cv = cv * 0.75
    common.lamp(cv, -80, 700, 1200, "amber", 1.0, 1.1)
    return cv


def finish(cv):
    common.bloom(cv, 0.8, 8, 0.3)
    return kit.finish(cv, SEED, vignette=0.5, stroke_angle=1.4)


def build():
    room = Room("shelves")
    base = case(SEED)
    gaps = []
    for name, res, fn, x, y, s, a, shelf in HIDDEN:
        gaps.append((x - 20 * s, x + 20 * s, shelf))
    contents(base, SEED + 1, gaps)
    sc = HOScene(room, SEED)
    for name, res, fn, x, y, s, a, shelf in HIDDEN:
        sc.add(name, res, fn, x, y, s, a, L)
    for lay in front_layers(SEED + 2):
        sc.tuck(lay)
    sc.save(base, light, finish)
    g = Layer(kit.W, kit.H)
    things.gearwheel(g, 512, 300, 1.8, 0.0, SEED, (-0.6, -0.7, 0.55))
    room.obj("shelves_gear", "gear", kit.with_shadow(g.cropped(2), 3, 4, 3, 0.0), 5)
    room.exit_down("shelves_exit")
    room.write()
    return room


if __name__ == "__main__":
    build()
