"""Hidden-object scene 2: the crowded library shelves."""
import math

import numpy as np

import kit
import props
import curios
import things
import trinkets
from ho import HOScene
from kit import Layer, col
from scene import Room

L = (-0.7, 0.45, 0.55)  # firelight from the lower left
SEED = 606
SHELVES = (150, 292, 434, 576)
# the curios crowding the shelves round the findable things (none is a double of one)
SMALL = curios.CURIOS + [trinkets.teapot, trinkets.skull, trinkets.ivy_pot, trinkets.lantern, trinkets.lit_candle,
                         trinkets.plate, trinkets.teapot, trinkets.plate]
BIG = curios.BIG + [trinkets.birdcage, trinkets.maps]
BAYS = ((24, 330), (356, 668), (694, 1000))


def case(seed):
    cv = kit.wood(kit.H, kit.W, seed, "#3a2414", "#24160c", angle=math.pi / 2, freq=0.1)
    lay = Layer(kit.W, kit.H)
    for x0, x1 in BAYS:
        lay.paint(kit.rect(x0, 0, x1, 768), kit.wood(kit.H, kit.W, seed + 1, "#2e1c10", "#1e1208", angle=math.pi / 2) * 0.8)
    for x in (12, 342, 680, 1012):
        props.solid(kit.rect(x - 14, 0, x + 14, 768), "#5a3a22", L, 5, lay=lay,
                    tex=kit.wood(kit.H, kit.W, seed + 2, "#5a3a22", angle=math.pi / 2))
    kit.over_layer(cv, lay)
    return cv


def _segments(x0, x1, cuts):
    segs = [(x0, x1)]
    for gx0, gx1 in cuts:
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
    return segs


def _stack(lay, x0, x1, yb, seed, n=None):
    """Books lying flat, one on another, slightly askew."""
    rng = np.random.default_rng(seed)
    y = yb
    n = n or rng.integers(2, 6)
    for k in range(n):
        hgt = rng.integers(7, 13)
        inset = rng.integers(0, 6)
        c = ["wine", "moss", "#6b4a2b", "teal", "walnut", "dusk", "mahogany", "#3b4a3a"][rng.integers(8)]
        c = col(c) * (0.8 + 0.35 * rng.random())
        m = kit.rect(x0 + inset, y - hgt, x1 - rng.integers(0, 6), y)
        props.solid(m, c, L, 2, amb=0.5, specular=0.08, lay=lay)
        lay.paint(kit.rect(x1 - 8, y - hgt + 2, x1 - 3, y - 2), "parchment", 0.75, cover=False)
        lay.paint(kit.rect(x0 + inset, y - hgt * 0.55, x1 - 10, y - hgt * 0.45), "brass", 0.35, cover=False)
        y -= hgt
    return y


def contents(cv, seed, gaps):
    """Shelves crammed with books upright, leaning and stacked, and curios, leaving room for the hidden objects."""
    rng = np.random.default_rng(seed)
    # a back row of books in the shadow at the back of every shelf: no gap shows bare wood
    back = Layer(kit.W, kit.H)
    for j, y in enumerate(SHELVES):
        top = (SHELVES[j - 1] + 16) if j else 0
        hmax = min(126, y - top - 8)
        for (x0, x1) in BAYS:
            props.books_row(back, x0 + 2, x1 - 2, y - 4, int(hmax * 0.7), hmax, int(rng.integers(1 << 30)), light=L,
                            wmin=8, wmax=18)
    back.rgb *= 0.5
    kit.over_layer(cv, back)
    lay = Layer(kit.W, kit.H)
    for j, y in enumerate(SHELVES):
        top = (SHELVES[j - 1] + 16) if j else 0
        for (x0, x1) in BAYS:
            cuts = [(gx0, gx1) for gx0, gx1, gy in gaps if gy == j]
            for a, b in _segments(x0 + 4, x1 - 4, cuts):
                x = a
                hmax = min(126, y - top - 8)
                while b - x > 6:
                    room_left = b - x
                    r = rng.random()
                    if room_left < 40 or r < 0.4:
                        run = room_left if room_left < 40 else min(room_left, rng.integers(40, 110))
                        rows = props.books_row(lay, x, x + run, y - 2, int(hmax * 0.68), hmax,
                                               int(rng.integers(1 << 30)), light=L, wmin=6, wmax=15)
                        end = max([r_[1] + r_[2] for r_ in rows], default=x)
                        if rows and rng.random() < 0.5 and end - x > 40:
                            hmin = min(r_[3] for r_ in rows)
                            _stack(lay, x + 2, x + min(end - x, 64), y - 2 - hmin, int(rng.integers(1 << 30)),
                                   rng.integers(1, 3))
                        x = max(end, x + 6) + 1
                    elif r < 0.6:
                        w = min(room_left, rng.integers(44, 70))
                        ytop = _stack(lay, x, x + w, y - 2, int(rng.integers(1 << 30)), rng.integers(3, 8))
                        # something small sits on the pile
                        if ytop - top > 50 and rng.random() < 0.6:
                            fn = SMALL[rng.integers(len(SMALL))]
                            tmp = Layer(kit.W, kit.H)
                            ww = fn(tmp, x + 6, ytop, 0.9, int(rng.integers(1 << 30)), L)
                            if ww < w - 6:
                                things.kit_paste(lay, tmp)
                        x += w + 1
                    else:
                        big = room_left > 80 and rng.random() < 0.35
                        pick = BIG if big else SMALL
                        fn = pick[rng.integers(len(pick))]
                        tmp = Layer(kit.W, kit.H)
                        w = fn(tmp, x + 2, y - 2, 1.15, int(rng.integers(1 << 30)), L)
                        if w + 4 > room_left:
                            continue
                        things.kit_paste(lay, tmp)
                        x += w + 4
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(lay.a, 0, 0), 6, 2, 5, 0.55))
    kit.over_layer(cv, lay)
    crowd(cv, int(rng.integers(1 << 30)), gaps)
    sh = Layer(kit.W, kit.H)
    for y in SHELVES:
        for x0, x1 in BAYS:
            props.solid(kit.rect(x0 - 2, y, x1 + 2, y + 16), "#6a452a", L, 3, lay=sh,
                        tex=kit.wood(kit.H, kit.W, seed + y, "#6a452a", angle=0))
            # the shelf's shadow on the back panel and the books just under it
            sh.paint(kit.rect(x0, y + 16, x1, y + 26), "#0a0604", 0.35)
    # drawers in the cupboards under the lowest shelf
    for x0, x1 in BAYS:
        for k in range(2):
            d = kit.rect(x0 + 8 + k * (x1 - x0) / 2, 600, x0 + (k + 1) * (x1 - x0) / 2 - 8, 690)
            props.solid(d, "#4a2f1b", L, 3, amb=0.6, lay=sh, tex=kit.wood(kit.H, kit.W, seed + x0 + k, "#4a2f1b", angle=0))
            cx = x0 + (k + 0.5) * (x1 - x0) / 2
            props.solid(kit.rrect(cx - 14, 638, cx + 14, 646, 3), "brass", L, 1.5, specular=0.9, lay=sh)
    kit.over_layer(cv, sh)


def _paler(painter, k):
    """A painter whose colours are lifted by k: a dark iron thing would vanish against the dark wood."""
    def paint(lay, *args, **kw):
        m = painter(lay, *args, **kw)
        lay.rgb = np.clip(lay.rgb * k, 0, 1)
        return m
    return paint


def _spyglass(lay, x, y, s, ang, seed, L):
    """The spyglass with its leather grip in a light tan: a dark one splits it in two on the dark shelf."""
    m = things.spyglass(lay, x, y, s, ang, seed, L)
    P = things.T(x, y, s, ang)
    props.solid(kit.poly([P(-14, -5.5), P(6, -5.5), P(6, 5.5), P(-14, 5.5)]), "#a8743e", L, 2 * s, specular=0.4, lay=lay)
    return m


# The pool of findable things (a save's list asks for some of them): name, image, painter, centre, scale,
# angle, the shelf it stands on (its books close in round it) or None where it hangs or lies over them.
def crowd(cv, seed, gaps):
    """A second rank of curios stood in front of the books, overlapping them and one another, so that
    the shelves read as crammed and every findable thing has look-alikes of its colour round it."""
    rng = np.random.default_rng(seed)
    lay = Layer(kit.W, kit.H)
    for j, y in enumerate(SHELVES):
        for (x0, x1) in BAYS:
            taken = [(gx0 - 6, gx1 + 6) for gx0, gx1, gy in gaps if gy == j]
            used = set()
            for k in range(int(rng.integers(7, 10))):
                big = rng.random() < 0.2
                # the ship's sails run together into a pale blot when anything overlaps them
                pick = [f for f in (BIG if big else SMALL) if f is not curios.ship]
                fn = pick[rng.integers(len(pick))]
                if fn in used:
                    continue
                used.add(fn)
                x = x0 + 6 + rng.random() * (x1 - x0 - 70)
                tmp = Layer(kit.W, kit.H)
                w = fn(tmp, x, y - 1, 0.95 + 0.25 * rng.random(), int(rng.integers(1 << 30)), L)
                if x + w > x1 - 4 or any(x < b and x + w > a for a, b in taken):
                    continue
                things.kit_paste(lay, tmp)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(lay.a, 0, 0), 5, 2, 4, 0.6))
    kit.over_layer(cv, lay)
    # things hung from the shelves' undersides: dried herbs and tassels over the books below
    hang = Layer(kit.W, kit.H)
    for j, y in enumerate(SHELVES[:-1]):
        for (x0, x1) in BAYS:
            for k in range(int(rng.integers(1, 3))):
                x = x0 + 20 + rng.random() * (x1 - x0 - 40)
                if any(x > a - 20 and x < b + 20 for a, b, gy in gaps if gy == j + 1):
                    continue
                ln = 30 + rng.random() * 40
                hang.paint(kit.line([(x, y + 14), (x + 1, y + 14 + ln * 0.4)], 1.2), "#8a7a5a")
                if rng.random() < 0.5:
                    props.foliage(hang, x, y + 14 + ln * 0.7, 9, ln * 0.35, int(rng.integers(1 << 30)), base="#7a7a4a",
                                  light=L, n=40, leaf=(2.5, 4.5), elongate=2.2)
                else:
                    props.solid(kit.poly([(x - 5, y + 14 + ln * 0.4), (x + 5, y + 14 + ln * 0.4), (x + 7, y + 14 + ln),
                                          (x - 7, y + 14 + ln)]), "wine", L, 2, amb=0.5, lay=hang)
                    props.solid(kit.ellipse(x, y + 14 + ln * 0.4, 4, 4), "brass", L, 1.5, specular=0.8, lay=hang)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(hang.a, 0, 0), 4, 3, 3, 0.5))
    kit.over_layer(cv, hang)


def ivy(x, y, ln, seed):
    """A trail of ivy hanging from a shelf's edge."""
    rng = np.random.default_rng(seed)
    lay = Layer(kit.W, kit.H)
    n = int(ln / 7)
    px = x
    pts = []
    for k in range(n):
        px += (rng.random() - 0.5) * 5
        pts.append((px, y + k * 7))
    lay.paint(kit.line(pts, 1.4), "#3a4a2a")
    for k, (px, py) in enumerate(pts):
        side = 1 if k % 2 else -1
        c = kit.shade_of("moss", 0.75 + 0.6 * rng.random())
        leaf = kit.poly([(px, py), (px + side * 7, py - 3), (px + side * 11, py + 3), (px + side * 6, py + 8)])
        props.solid(leaf, c, L, 2, amb=0.55, specular=0.3, lay=lay)
    return kit.with_shadow(lay.cropped(2), 3, 3, 3, 0.45)


HIDDEN = [
    ("ho_shelves_hourglass", "hourglass", things.hourglass, 205, 150 - 38, 1.5, 0.0, 0),
    ("ho_shelves_crown", "crown", trinkets.crown, 470, 150 - 19, 1.3, 0.05, 0),
    ("ho_shelves_scroll", "scroll", things.scroll, 606, 150 - 9, 1.5, 0.0, 0),
    ("ho_shelves_candlestick", "candlestick", things.candlestick, 760, 150 - 45, 1.5, 0.0, 0),
    ("ho_shelves_anchor", "anchor", _paler(things.anchor, 1.7), 952, 150 - 31, 1.5, 0.15, 0),
    ("ho_shelves_butterfly", "butterfly", trinkets.butterfly, 342, 82, 1.25, 0.2, None),
    ("ho_shelves_pawn_1", "pawn_1", things.pawn, 92, 292 - 24, 1.5, 0.0, 1),
    ("ho_shelves_owl", "owl", things.owl, 520, 292 - 39, 1.5, 0.0, 1),
    ("ho_shelves_pipe", "pipe", things.pipe, 800, 292 - 15, 1.4, 0.0, 1),
    ("ho_shelves_goblet", "goblet", trinkets.goblet, 890, 292 - 30, 1.4, 0.0, 1),
    ("ho_shelves_mask", "mask", trinkets.mask, 680, 222, 1.25, -0.15, None),
    ("ho_shelves_dice", "dice", trinkets.dice, 250, 292 - 17, 1.4, 0.0, 1),
    ("ho_shelves_shell", "shell", things.shell, 160, 434 - 24, 1.4, 0.1, 2),
    ("ho_shelves_horseshoe", "horseshoe", trinkets.horseshoe, 262, 434 - 22, 1.3, 0.2, 2),
    ("ho_shelves_pawn_2", "pawn_2", things.pawn, 420, 434 - 24, 1.5, 0.0, 2),
    ("ho_shelves_starfish", "starfish", things.starfish, 565, 434 - 36, 1.3, 0.4, 2),
    ("ho_shelves_spyglass", "spyglass", _spyglass, 812, 434 - 11, 1.5, 0.0, 2),
    ("ho_shelves_magnifier", "magnifier", trinkets.magnifier, 945, 434 - 23, 1.3, -0.1, 2),
    ("ho_shelves_feather", "feather", trinkets.feather, 210, 516, 1.2, -0.75, None),
    ("ho_shelves_teacup", "teacup", things.teacup, 330, 576 - 23, 1.5, 0.0, 3),
    ("ho_shelves_envelope", "envelope", trinkets.envelope, 452, 576 - 40, 1.2, -1.45, 3),
    ("ho_shelves_apple", "apple", trinkets.apple, 548, 576 - 22, 1.4, 0.0, 3),
    ("ho_shelves_bell", "bell", things.bell, 626, 576 - 18, 1.4, 0.0, 3),
    ("ho_shelves_scissors", "scissors", trinkets.scissors, 842, 580, 1.3, 0.12, None),
    ("ho_shelves_pawn_3", "pawn_3", _paler(things.pawn, 1.35), 962, 576 - 24, 1.5, 0.0, 3),
]


def front_layers(seed):
    """Clutter laid over the shelves: leaning books and books lying across the shelf edge."""
    rng = np.random.default_rng(seed)
    out = []
    for i, (x, y, w, h, c, lean) in enumerate((
            (238, 150, 22, 60, "wine", 0.3), (548, 292, 20, 70, "moss", -0.25), (740, 434, 18, 56, "slate", -0.35),
            (185, 434, 16, 40, "mahogany", 0), (640, 576, 22, 50, "teal", -0.3), (330, 576, 20, 30, "walnut", 0),
            (980, 150, 16, 62, "moss", -0.3), (110, 292, 18, 34, "wine", 0.2), (445, 434, 18, 30, "dusk", 0),
            (196, 292, 20, 66, "#6b4a2b", -0.35), (652, 150, 18, 58, "wine", -0.3), (734, 292, 22, 64, "teal", 0.3),
            (404, 576, 20, 60, "mahogany", -0.3), (930, 434, 18, 52, "moss", -0.3), (60, 150, 20, 64, "dusk", 0.28))):
        out.append(_leaning(x, y, w, h, c, lean))
    # books lying open or shut across the front edge of a shelf
    for i, (x, y, w) in enumerate(((130, 434, 70), (480, 292, 60), (860, 576, 74), (300, 150, 64), (700, 434, 56),
                                   (30, 576, 60), (600, 434, 50))):
        lay = Layer(kit.W, kit.H)
        _stack(lay, x, x + w, y + 4, seed + 100 + i, rng.integers(1, 3))
        out.append(kit.with_shadow(lay.cropped(2), 2, 3, 3, 0.45))
    # ivy trailing from a pot on the top of the case down over the shelves' edges
    for i, (x, y, ln) in enumerate(((60, 150, 90), (300, 150, 60), (395, 150, 110), (640, 292, 80), (720, 150, 70),
                                    (180, 292, 100), (840, 292, 60), (990, 434, 90), (500, 434, 70), (360, 434, 100),
                                    (930, 150, 120), (560, 150, 50), (110, 434, 60), (760, 434, 100))):
        out.append(ivy(x, y + 12, ln, seed + 300 + i))
    # and more of them, and curios stood at the shelves' front edges, wherever they leave enough of
    # every findable thing in view (HOScene.tuck): the things sit in the clutter, not in clearings
    used = []
    for k in range(70):
        j = int(rng.integers(4))
        x0, x1 = BAYS[rng.integers(3)]
        x = x0 + 8 + rng.random() * (x1 - x0 - 50)
        y = SHELVES[j]
        r = rng.random()
        if r < 0.35:
            c = ["wine", "moss", "teal", "walnut", "dusk", "mahogany", "slate", "#6b4a2b"][rng.integers(8)]
            out.append(_leaning(x, y, int(rng.integers(14, 22)), int(rng.integers(40, 72)), c,
                                (rng.random() - 0.5) * 0.8))
        elif r < 0.55 and j < 3:
            out.append(ivy(x, y + 12, 40 + rng.random() * 80, seed + 500 + k))
        else:
            fn = SMALL[rng.integers(len(SMALL))]
            # no curio more than twice along the front: repeats read as a pattern
            if used.count(fn) >= 2:
                continue
            used.append(fn)
            lay = Layer(kit.W, kit.H)
            fn(lay, x, y + 4, 0.9 + 0.2 * rng.random(), int(rng.integers(1 << 30)), L)
            out.append(kit.with_shadow(lay.cropped(2), 3, 1, 3, 0.45))
    return out


def _leaning(x, y, w, h, c, lean):
    """A book leaning across the others from a shelf's front edge."""
    lay = Layer(kit.W, kit.H)
    dx = h * math.sin(lean)
    pts = [(x, y), (x + w, y), (x + w + dx, y - h), (x + dx, y - h)]
    props.solid(kit.poly(pts), c, L, 5, amb=0.5, lay=lay)
    lay.paint(kit.poly([(x + w * 0.2 + dx * 0.5, y - h * 0.5), (x + w * 0.8 + dx * 0.5, y - h * 0.5),
                        (x + w * 0.8 + dx * 0.55, y - h * 0.56), (x + w * 0.2 + dx * 0.55, y - h * 0.56)]), "brass", 0.5,
              cover=False)
    return kit.with_shadow(lay.cropped(2), 3, 0, 3, 0.4)


def light(cv):
    cv = cv * 0.62
    kit.lamp(cv, -80, 700, 1250, "amber", 1.1, 1.2)
    kit.lamp(cv, 120, 560, 500, "candle", 0.15, 1.5)
    return cv


def finish(cv, protect=None):
    kit.bloom(cv, 0.8, 8, 0.3)
    return kit.finish(cv, SEED, vignette=0.5, stroke_angle=1.4, protect=protect)


def build():
    room = Room("shelves")
    base = case(SEED)
    sc = HOScene(room, SEED)
    gaps = []
    for name, res, fn, x, y, s, a, shelf in HIDDEN:
        lay = sc.add(name, res, fn, x, y, s, a, L)
        if shelf is None:
            continue
        # the books close in right up to each object, so none of them stands alone in a gap
        solid = np.nonzero((lay.a > 0.5).any(axis=0))[0]
        gaps.append((lay.x0 + solid[0] - 1, lay.x0 + solid[-1] + 2, shelf))
    contents(base, SEED + 1, gaps)
    # a findable thing keeps three quarters of itself in view, so that its outline still reads
    for lay in front_layers(SEED + 2):
        sc.tuck(lay, 0.75)
    sc.save(base, light, finish)
    g = Layer(kit.W, kit.H)
    things.gearwheel(g, 512, 300, 1.8, 0.0, SEED, (-0.6, -0.7, 0.55))
    room.obj("shelves_gear", "gear", kit.with_shadow(g.cropped(2), 3, 4, 3, 0.0), 5)
    room.write()
    return room


if __name__ == "__main__":
    build()
