"""The two close-ups (720 x 520): the curio cabinet in the hall and the writing desk in the library."""
import math

import numpy as np

import curios
import kit
import props
import things
from kit import Layer
from rooms import hall
from scene import Room

W, H = 720, 520
L = (-0.35, -0.8, 0.5)        # the hall lamp, above left
L_CANDLE = (0.6, -0.6, 0.55)  # the desk candle, upper right


def _fin(c, seed, protect=None):
    return kit.finish(c, seed, vignette=0.35, protect=protect)


# ---------------------------------------------------------------------------------------------
# the curio cabinet


def tern(lay, x, yb, s, seed, light):
    """A stuffed tern on a little perch: white breast, grey wings, black cap, orange bill."""
    base = kit.rrect(x - 30 * s, yb - 10 * s, x + 30 * s, yb, 3 * s)
    props.solid(base, "walnut", light, 3 * s, lay=lay, tex=kit.wood(H, W, seed, "#6a452a", angle=0))
    props.solid(kit.line([(x, yb - 10 * s), (x, yb - 24 * s)], 3 * s), "#4a2f1b", light, 1, lay=lay)
    body = kit.poly([(x - 26 * s, yb - 34 * s), (x - 8 * s, yb - 46 * s), (x + 12 * s, yb - 50 * s), (x + 22 * s, yb - 44 * s),
                     (x + 20 * s, yb - 30 * s), (x + 4 * s, yb - 24 * s), (x - 16 * s, yb - 26 * s)])
    props.solid(body, "#f0f0ea", light, 6 * s, amb=0.55, lay=lay)
    wing = kit.poly([(x - 40 * s, yb - 30 * s), (x - 6 * s, yb - 44 * s), (x + 14 * s, yb - 42 * s), (x + 4 * s, yb - 34 * s),
                     (x - 20 * s, yb - 30 * s)])
    props.solid(wing, "#9aa4ae", light, 4 * s, amb=0.5, lay=lay)
    head = kit.ellipse(x + 20 * s, yb - 52 * s, 9 * s, 8 * s)
    props.solid(head, "#f0f0ea", light, 3 * s, amb=0.55, lay=lay)
    cap = kit.intersect(kit.ellipse(x + 19 * s, yb - 56 * s, 10 * s, 7 * s), head)
    props.solid(cap, "#1a1a1e", light, 2 * s, specular=0.4, lay=lay)
    bill = kit.poly([(x + 27 * s, yb - 53 * s), (x + 44 * s, yb - 50 * s), (x + 27 * s, yb - 49 * s)])
    props.solid(bill, "#e07030", light, 1 * s, specular=0.5, lay=lay)
    lay.paint(kit.ellipse(x + 23 * s, yb - 53 * s, 1.4 * s, 1.4 * s), "#050505")
    for dx in (-3, 3):
        lay.paint(kit.line([(x + dx * s, yb - 26 * s), (x + dx * s, yb - 20 * s)], 1.5 * s), "#c06030")


def ship_bottle(lay, x, y, s, seed, light):
    """A ship in a bottle lying on a wooden cradle."""
    for dx in (-30, 30):
        props.solid(kit.poly([(x + dx * s - 8 * s, y + 26 * s), (x + dx * s + 8 * s, y + 26 * s), (x + dx * s + 6 * s, y + 14 * s),
                              (x + dx * s - 6 * s, y + 14 * s)]), "walnut", light, 2, lay=lay)
    hull = kit.poly([(x - 30 * s, y + 6 * s), (x + 26 * s, y + 4 * s), (x + 20 * s, y + 12 * s), (x - 24 * s, y + 12 * s)])
    props.solid(hull, "walnut", light, 2 * s, lay=lay)
    for k, mx in enumerate((-14, 2, 16)):
        lay.paint(kit.line([(x + mx * s, y + 5 * s), (x + mx * s, y - (18 - k * 3) * s)], 1.2 * s), "#3a2a1a")
        for j in range(2):
            y0 = y - (16 - k * 3) * s + j * 10 * s
            props.solid(kit.poly([(x + (mx - 7) * s, y0), (x + (mx + 7) * s, y0), (x + (mx + 8) * s, y0 + 8 * s), (x + (mx - 8) * s, y0 + 8 * s)]),
                        "parchment", light, 2, amb=0.6, lay=lay)
    lay.paint(kit.rect(x - 40 * s, y + 10 * s, x + 34 * s, y + 16 * s), "teal", 0.7)
    bottle = kit.union(kit.rrect(x - 48 * s, y - 26 * s, x + 40 * s, y + 18 * s, 18 * s),
                       kit.rrect(x + 36 * s, y - 8 * s, x + 62 * s, y + 2 * s, 4 * s))
    lay.paint(bottle, kit.mix("frost", "teal", 0.4), 0.22)
    xx, yy = lay.grid()
    hl = np.clip(1 - np.abs(yy - (y - 18 * s)) / (2.5 * s), 0, 1) * lay.local(bottle)
    lay.glow(hl * 0.5, "frost")
    props.solid(kit.rect(x + 60 * s, y - 9 * s, x + 68 * s, y + 3 * s), "#8a6a4a", light, 1, lay=lay)


def cabinet_interior(seed):
    """The wall, the cabinet's carcass, its velvet-lined back and everything on its shelves except the crank."""
    cv = np.ones((H, W, 3), np.float32)
    cv[:] = hall.damask(H, W, seed, "#24382e", "#6a6a3e", step=40)  # the hall's paper
    lay = Layer(W, H)
    wood = lambda s_, c="#6a452a", a=1.5: kit.wood(H, W, s_, c, angle=a, freq=0.12)
    carcass = kit.rect(118, -10, 602, 530)
    props.solid(carcass, "walnut", L, 10, amb=0.5, lay=lay, tex=wood(seed, "#6a452a"))
    crown = kit.rect(100, -10, 620, 16)
    props.solid(crown, "#5a3a22", L, 4, lay=lay, tex=wood(seed + 1, "#5a3a22", 0))
    inside = kit.rect(150, 28, 570, 500)
    velvet = kit.tex_noise(H, W, kit.mix("wine", "ink", 0.45), kit.mix("wine", "ink", 0.7), 3, seed + 2)
    lay.paint(inside, velvet)
    # shelves with brass front edges
    for y in (176, 330):
        props.solid(kit.rect(150, y, 570, y + 12), "#6a452a", L, 2, lay=lay, tex=wood(seed + y, "#6a452a", 0))
        lay.paint(kit.rect(150, y + 12, 570, y + 22), "#0a0604", 0.45)
        props.solid(kit.rect(150, y - 2, 570, y + 1), "brass", L, 1, specular=0.8, lay=lay)
    # top shelf: the ship in a bottle, shells
    ship_bottle(lay, 260, 124, 1.45, seed + 3, L)
    props.solid(kit.poly([(430, 176), (476, 176), (470, 150), (446, 140), (424, 156)]), "#e6c9b0", L, 6, amb=0.55, lay=lay)
    for k in range(6):
        a = math.pi * (0.9 + 0.2 * k / 5)
        lay.paint(kit.line([(450, 174), (450 + 26 * math.cos(a + 1.2), 174 + 28 * math.sin(a + 1.2))], 1.2), "#b08870", 0.6)
    things.shell(lay, 520, 156, 1.1, 0.1, seed + 4, L)
    things.starfish(lay, 380, 160, 0.9, 0.3, seed + 5, L)
    # middle shelf: a sextant, a small clock (the crank is a separate picture)
    sx, sy = 220, 300
    arc = kit.subtract(kit.ellipse(sx, sy, 40, 40), kit.ellipse(sx, sy, 34, 34))
    arc = kit.intersect(arc, kit.poly([(sx, sy), (sx - 60, sy + 10), (sx - 50, sy + 60), (sx + 50, sy + 60), (sx + 60, sy + 10)]))
    frame = kit.union(arc, kit.line([(sx, sy - 20), (sx - 30, sy + 26)], 3), kit.line([(sx, sy - 20), (sx + 30, sy + 26)], 3))
    props.solid(frame, "brass", L, 1.5, specular=0.9, lay=lay)
    props.solid(kit.rect(480, 276, 540, 330), "mahogany", L, 4, lay=lay, tex=wood(seed + 6, "#7a3b2a"))
    things.kit_paste(lay, props.dial(510, 300, 20, seed + 7, 11, 58, light=L, tide=False))
    # bottom shelf: the row of pocket watches on little stands, and the stuffed tern
    for k in range(4):
        x = 190 + k * 56
        props.solid(kit.poly([(x - 10, 490), (x + 10, 490), (x + 3, 462), (x - 3, 462)]), "walnut", L, 2, lay=lay)
        things.watch(lay, x, 446, 0.95, 0.08 * (k - 1.5), seed + 10 + k, L)
    curios.compass(lay, 374, 490, 1.7, seed + 14, L)
    tern(lay, 470, 490, 1.6, seed + 11, L)
    # more curios: a small globe by the clock, a case of pinned butterflies and a silhouette portrait
    curios.globe(lay, 420, 330, 0.95, seed + 15, L)
    case = kit.rect(176, 198, 256, 250)
    props.solid(kit.subtract(kit.rect(170, 192, 262, 256), case), "walnut", L, 3, lay=lay, tex=wood(seed + 16, "#6a452a", 0))
    lay.paint(case, "#e6dcc4")
    for k, (bx, by, c) in enumerate(((196, 214, "#2a5a9a"), (226, 230, "#d88a2a"), (240, 208, "#8a2a4a"))):
        for sd in (-1, 1):
            props.solid(kit.ellipse(bx + sd * 6, by - 2, 6, 5), c, L, 2, amb=0.6, lay=lay)
            props.solid(kit.ellipse(bx + sd * 5, by + 5, 4, 3.5), kit.shade_of(c, 0.8), L, 1.5, amb=0.6, lay=lay)
        lay.paint(kit.line([(bx, by - 6), (bx, by + 7)], 1.6), "#1a1410")
    props.solid(kit.subtract(kit.ellipse(480, 76, 22, 28), kit.ellipse(480, 76, 16, 22)), "brass", L, 2, specular=0.8, lay=lay)
    lay.paint(kit.ellipse(480, 76, 16, 22), "#e8dcc0")
    # a lady's profile facing right: hair in a bun, brow, nose, lips, chin, neck and shoulders
    prof = kit.poly([(474, 94), (476, 84), (474, 80), (472, 72), (474, 63), (480, 58), (486, 60), (488, 65),
                     (491, 70), (488, 71), (489, 74), (487, 75), (488, 77), (485, 80), (484, 86), (490, 92),
                     (494, 98), (466, 98), (468, 94)])
    lay.paint(kit.union(prof, kit.ellipse(471, 62, 5, 5)), "#1a1410")
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(lay.a, 0, 0), 6, 8, 8, 0.5))
    kit.over_layer(cv, lay)
    return cv


def cabinet_doors(state, seed):
    """Glazed doors: 'closed' (the glass over the shelves, the lock between) or 'open' (swung out)."""
    lay = Layer(W, H)
    wood = lambda s_: kit.wood(H, W, s_, "#6a452a", angle=1.5, freq=0.12)
    if state == "closed":
        for x0, x1 in ((150, 360), (360, 570)):
            glass = kit.rect(x0 + 16, 42, x1 - 16, 486)
            lay.paint(glass, kit.mix("frost", "teal", 0.3), 0.2)
            xx, yy = lay.grid()
            streak = (np.clip(1 - np.abs((xx - x0 - 40) + (yy - 60) * 0.35) / 18, 0, 1) * 0.35
                      + np.clip(1 - np.abs((xx - x0 - 96) + (yy - 60) * 0.35) / 6, 0, 1) * 0.25)
            # the lamp behind the viewer mirrored in the upper panes
            streak += kit.radial(H, W, x0 + 60, 90, 90, 2.0) * 0.3
            lay.paint(np.clip(streak * lay.local(glass) * 1.6, 0, 1), kit.mix("frost", "candle", 0.3))
            fr = kit.subtract(kit.rect(x0, 28, x1, 500), glass)
            fr = kit.union(fr, kit.rect(x0 + 16, 172, x1 - 16, 180), kit.rect(x0 + 16, 326, x1 - 16, 334))
            props.solid(fr, "walnut", L, 4, amb=0.55, lay=lay, tex=wood(seed + x0))
            for y in (60, 460):
                props.solid(kit.rrect(x0 + (2 if x0 == 150 else x1 - x0 - 10), y - 16, x0 + (10 if x0 == 150 else x1 - x0 - 2), y + 16, 2),
                            "brass", L, 1.5, specular=0.9, lay=lay)
        lock = kit.rrect(346, 238, 374, 294, 4)
        props.solid(lock, "brass", L, 2, specular=0.9, lay=lay)
        lay.paint(kit.union(kit.ellipse(360, 258, 3.2, 3.2), kit.poly([(358.5, 259), (361.5, 259), (362.5, 270), (357.5, 270)])), "#120a04")
        for y in (244, 288):
            props.solid(kit.ellipse(360, y, 2, 2), "#6a4a1e", L, 1, lay=lay)
    else:
        # each door swung wide, seen edge-on in perspective at the sides
        for sd, hx in ((-1, 150), (1, 570)):
            ox = hx + sd * 110
            q = [(hx, 28), (ox, 8), (ox, 512), (hx, 500)]
            glass_q = [(hx + sd * 10, 46), (ox - sd * 10, 30), (ox - sd * 10, 492), (hx + sd * 10, 484)]
            lay.paint(kit.poly(glass_q), kit.mix("frost", "teal", 0.35), 0.22)
            fr = kit.subtract(kit.poly(q), kit.poly(glass_q))
            props.solid(fr, "walnut", L, 3, amb=0.55, lay=lay, tex=wood(seed + hx))
            for v in (0.33, 0.66):
                a = (hx + sd * 10, 46 + (484 - 46) * v)
                b = (ox - sd * 10, 30 + (492 - 30) * v)
                props.solid(kit.line([a, b], 7), "walnut", L, 2, lay=lay, tex=wood(seed + hx + 1))
    return lay


def crank_layer(seed):
    cr = Layer(W, H)
    props.solid(kit.poly([(300, 330), (410, 330), (400, 318), (310, 318)]), "#3a2414", L, 2, lay=cr)
    things.crank(cr, 356, 286, 1.6, 0.0, seed, L)
    return kit.with_shadow(cr.cropped(2), 3, 5, 3, 0.5)


def cabinet_room(room, seed):
    inner = cabinet_interior(seed)
    cr = crank_layer(seed + 1)
    closed = cabinet_doors("closed", seed + 2)
    opened = cabinet_doors("open", seed + 3)

    def light(c):
        c = c * 0.62
        kit.lamp(c, 160, 40, 640, "amber", 0.9, 1.3)
        kit.lamp(c, 360, 300, 300, "candle", 0.25, 1.5)
        kit.bloom(c, 0.75, 8, 0.35)
        return c

    prot = kit.blur(kit.Mask(cr.a, cr.x0, cr.y0).full(W, H), 1) * 0.7
    back = _fin(light(inner.copy()), seed)
    room.back(back)
    with_crank = inner.copy()
    kit.over_layer(with_crank, cr)
    wc = _fin(light(with_crank), seed, prot)
    room.cut(wc, kit.Mask(cr.a, cr.x0, cr.y0), "cabinet_crank", "crank", 1)
    c1 = with_crank.copy()
    kit.over_layer(c1, closed)
    room.cut(_fin(light(c1), seed), kit.Mask(closed.a, 0, 0), "cabinet_doors_closed", "doors_closed", 2)
    c2 = inner.copy()
    kit.over_layer(c2, opened)
    room.cut(_fin(light(c2), seed), kit.Mask(opened.a, 0, 0), "cabinet_doors_open", "doors_open", 2)
    room.obj("cabinet_lock_glow", "lock_glow", props.outline_glow(kit.rrect(346, 238, 374, 294, 4), "amber", 5), 4)


# ---------------------------------------------------------------------------------------------
# the writing desk


CANDLE = (612, 190)


def desk_top(seed):
    cv = kit.wood(H, W, seed, "#7a3b2a", "#4a2218", angle=0.0, freq=0.05)
    lay = Layer(W, H)
    # the tooled green leather writing surface
    leather = kit.rrect(70, 40, 650, 330, 6)
    lt = kit.tex_noise(H, W, kit.mix("moss", "ink", 0.25), kit.mix("moss", "ink", 0.5), 3, seed + 1)
    lay.paint(leather, lt)
    lay.paint(kit.subtract(kit.rrect(82, 52, 638, 318, 4), kit.rrect(86, 56, 634, 314, 3)), "brass", 0.55)
    # tooled leaves along the gilt border, worn where her wrists rest
    for k in range(36):
        x = 96 + k * 15.4
        for y in (64, 306):
            lay.paint(kit.ellipse(x, y, 4, 2), "brass", 0.35)
    lay.paint(kit.ellipse(300, 300, 120, 24), kit.mix("moss", "parchment_shade", 0.4), 0.25)
    # a blotter with her writing soaked into it backwards, letters and an envelope with a red seal
    blot = kit.rect(180, 120, 420, 290)
    props.solid(blot, kit.mix("parchment", "parchment_shade", 0.4), L_CANDLE, 2, amb=0.8, lay=lay)
    rng = np.random.default_rng(seed + 5)
    for k in range(9):
        y = 136 + k * 16 + rng.random() * 4
        x0 = 196 + rng.random() * 30
        pts = [(x, y + 2 * math.sin(x * 0.3 + k)) for x in np.linspace(x0, x0 + 120 + rng.random() * 80, 24)]
        lay.paint(kit.line(pts, 1.2), kit.mix("ink", "slate", 0.4), 0.35, cover=False)
    for k in range(4):
        x, y = 200 + rng.random() * 200, 140 + rng.random() * 130
        lay.paint(kit.ellipse(x, y, 3 + rng.random() * 6, 2 + rng.random() * 4), "ink", 0.55, cover=False)
    for k, (x, y, a) in enumerate(((240, 170, -0.12), (330, 210, 0.18), (170, 250, -0.3))):
        things.paper(lay, x, y, 1.05, a, seed + 10 + k, L_CANDLE)
    env = kit.poly([(430, 250), (540, 236), (548, 300), (438, 312)])
    props.solid(env, "parchment", L_CANDLE, 2, amb=0.8, lay=lay)
    lay.paint(kit.line([(430, 250), (490, 280), (540, 236)], 1.2), "parchment_shade", 0.9)
    props.solid(kit.ellipse(490, 278, 10, 9), "wine", L_CANDLE, 3, specular=0.5, lay=lay)
    # books stacked at the left, a pen tray, a paperweight
    for k, c in enumerate(("wine", "moss", "#6b4a2b", "teal")):
        bk = kit.rect(20 + k * 3, 40 + k * 26, 150 - k * 2, 64 + k * 26)
        props.solid(bk, c, L_CANDLE, 3, amb=0.5, lay=lay)
        lay.paint(kit.rect(140 - k * 2, 42 + k * 26, 148 - k * 2, 62 + k * 26), "parchment", 0.8)
    props.solid(kit.rrect(190, 60, 330, 86, 10), "walnut", L_CANDLE, 3, lay=lay)
    things.quill(lay, 262, 72, 1.2, 0.02, seed + 20, L_CANDLE)
    props.solid(kit.ellipse(120, 260, 26, 22), kit.mix("frost", "teal", 0.35), L_CANDLE, 10, amb=0.4, specular=1.0, lay=lay)
    lay.paint(kit.ellipse(120, 262, 12, 10), "wine", 0.5)
    # the inkwell: cut glass and a brass lid, a quill in it
    ix, iy = 540, 120
    props.solid(kit.ellipse(ix, iy + 8, 40, 16), "brass", L_CANDLE, 3, specular=0.8, lay=lay)
    well = kit.rrect(ix - 28, iy - 30, ix + 28, iy + 10, 10)
    props.solid(well, kit.mix("frost", "slate", 0.3), L_CANDLE, 8, amb=0.35, specular=1.0, lay=lay)
    lay.paint(kit.rrect(ix - 22, iy - 12, ix + 22, iy + 6, 8), "#05050a", 0.85)
    props.solid(kit.ellipse(ix, iy - 30, 18, 6), "brass", L_CANDLE, 2, specular=0.9, lay=lay)
    lay.paint(kit.ellipse(ix, iy - 30, 9, 3), "#05050a")
    things.quill(lay, ix + 26, iy - 70, 1.35, -1.15, seed + 21, L_CANDLE)
    # a cup of tea gone cold
    things.teacup(lay, 420, 80, 1.3, 0.0, seed + 22, L_CANDLE)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(lay.a, 0, 0), -6, 6, 5, 0.5))
    kit.over_layer(cv, lay)
    # the candle in its chamberstick
    cl = Layer(W, H)
    cx, cy = CANDLE
    props.solid(kit.ellipse(cx, cy + 40, 40, 14), "brass", L_CANDLE, 3, specular=0.9, lay=cl)
    props.solid(kit.subtract(kit.ellipse(cx + 40, cy + 36, 12, 8), kit.ellipse(cx + 40, cy + 36, 7, 4)), "brass", L_CANDLE, 1.5,
                specular=0.9, lay=cl)
    body = kit.rect(cx - 11, cy - 30, cx + 11, cy + 36)
    props.solid(body, "#efe2c0", L_CANDLE, 6, amb=0.7, lay=cl)
    props.solid(kit.union(kit.line([(cx + 7, cy - 28), (cx + 8, cy - 6)], 4), kit.ellipse(cx + 8, cy - 5, 3, 4)), "#fbf3e0",
                L_CANDLE, 1.5, amb=0.8, lay=cl)
    # the flame itself is an animation over the picture (desk/room.xml)
    lay_glow = kit.radial(H, W, cx, cy - 44, 60, 2)
    cl.rgb += lay_glow[..., None] * kit.col("amber") * 0.25
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(cl.a, 0, 0), -14, 8, 8, 0.4))
    kit.over_layer(cv, cl)
    # the desk's front apron below the top, in the candle's reach only at the right
    ap = Layer(W, H)
    props.solid(kit.rect(0, 348, W, H), "#5a2a1c", L_CANDLE, 4, lay=ap, tex=kit.wood(H, W, seed + 3, "#6a3222", angle=0))
    props.solid(kit.rect(0, 340, W, 354), "#8a4530", L_CANDLE, 2, lay=ap)
    for x in (60, 660):
        props.solid(kit.rect(x - 30, 380, x + 30, 470), "#6a3222", L_CANDLE, 3, amb=0.6, lay=ap)
        props.solid(kit.ellipse(x, 424, 6, 6), "brass", L_CANDLE, 2, specular=0.9, lay=ap)
    kit.over_layer(cv, ap)
    return cv


def drawer(state, seed):
    lay = Layer(W, H)
    wood = kit.wood(H, W, seed, "#8a4530", angle=0)
    if state == "closed":
        face = kit.rect(180, 372, 540, 470)
        props.solid(face, "#7a3b2a", L_CANDLE, 5, lay=lay, tex=wood)
        lay.paint(kit.subtract(kit.rect(190, 380, 530, 462), kit.rect(194, 384, 526, 458)), "#3a1a10", 0.6)
        pull = kit.union(kit.rrect(320, 410, 400, 424, 6), kit.ellipse(320, 417, 7, 7), kit.ellipse(400, 417, 7, 7))
        props.solid(pull, "brass", L_CANDLE, 2, specular=0.9, lay=lay)
        props.solid(kit.rrect(350, 394, 370, 404, 2), "brass", L_CANDLE, 1, specular=0.8, lay=lay)
        lay.paint(kit.ellipse(360, 399, 1.6, 1.6), "#120a04")
    else:
        # pulled out towards the chair: the sides in perspective, a shallow well of odds and ends
        box = kit.poly([(170, 350), (550, 350), (580, 500), (140, 500)])
        lay.paint(box, kit.mix("walnut", "ink", 0.5))
        inner = kit.poly([(184, 360), (536, 360), (560, 480), (160, 480)])
        lay.paint(inner, kit.tex_noise(H, W, "#3a1e12", "#2a140c", 6, seed))
        sides = kit.subtract(box, inner)
        props.solid(sides, "#7a3b2a", L_CANDLE, 3, amb=0.6, lay=lay, tex=wood)
        face = kit.rect(140, 480, 580, 518)
        props.solid(face, "#8a4530", L_CANDLE, 4, lay=lay, tex=wood)
        pull = kit.union(kit.rrect(320, 492, 400, 506, 6), kit.ellipse(320, 499, 7, 7), kit.ellipse(400, 499, 7, 7))
        props.solid(pull, "brass", L_CANDLE, 2, specular=0.9, lay=lay)
        rng = np.random.default_rng(seed)
        for k in range(3):
            props.solid(kit.line([(200 + k * 14, 372 + k * 4), (300 + k * 10, 368 + k * 6)], 4), ["#c8a040", "#4a6a8a", "wine"][k],
                        L_CANDLE, 1.5, lay=lay)
        for k in range(5):
            x, y = 470 + rng.random() * 60, 372 + rng.random() * 90
            props.solid(kit.ellipse(x, y, 7, 5), "brass", L_CANDLE, 2, specular=0.8, lay=lay)
        coil = kit.subtract(kit.ellipse(220, 455, 20, 12), kit.ellipse(220, 455, 14, 8))
        props.solid(coil, "parchment_shade", L_CANDLE, 2, lay=lay)
    return lay


def desk_room(room, seed):
    top = desk_top(seed)
    closed = drawer("closed", seed + 1)
    opened = drawer("open", seed + 2)
    key = Layer(W, H)
    things.key_small(key, 290, 420, 1.8, -0.3, seed, L_CANDLE)
    key = kit.with_shadow(key.cropped(2), 2, 3, 2, 0.5)
    pg = Layer(W, H)
    things.diary_page(pg, 420, 420, 0.62, 0.25, seed + 9, L_CANDLE, pin=False)
    pg = kit.with_shadow(pg.cropped(2), 2, 3, 2, 0.4)

    def light(c):
        c = c * 0.5
        cx, cy = CANDLE
        kit.lamp(c, cx, cy - 30, 620, "amber", 1.1, 1.3)
        kit.lamp(c, cx, cy - 30, 140, "candle", 0.8, 2.0)
        kit.bloom(c, 0.75, 10, 0.4)
        return c

    top = top * (1 + 0.07 * kit.streaks(H, W, seed + 40, 18, 0.3, 3)[..., None])
    room.back(_fin(light(top.copy()), seed))
    c1 = top.copy()
    kit.over_layer(c1, closed)
    room.cut(_fin(light(c1), seed), kit.Mask(closed.a, 0, 0), "desk_drawer_closed", "drawer_closed", 2)
    c3 = top.copy()
    kit.over_layer(c3, opened)
    room.cut(_fin(light(c3), seed), kit.Mask(opened.a, 0, 0), "desk_drawer_open", "drawer_open", 2)
    c2 = c3.copy()
    kit.over_layer(c2, pg)
    kit.over_layer(c2, key)
    prot = kit.blur(np.clip(kit.Mask(key.a, key.x0, key.y0).full(W, H) + kit.Mask(pg.a, pg.x0, pg.y0).full(W, H), 0, 1), 1) * 0.7
    f2 = _fin(light(c2), seed, prot)
    room.cut(f2, kit.Mask(key.a, key.x0, key.y0), "desk_smallkey", "smallkey", 3)
    room.cut(f2, kit.Mask(pg.a, pg.x0, pg.y0), "desk_page", "page", 3)
    # cut out of the picture, so the inkwell brightens under the pointer
    ix, iy = 540, 120
    quill = things.quill(Layer(W, H), ix + 26, iy - 70, 1.35, -1.15, seed + 21, L_CANDLE)
    well = kit.union(kit.ellipse(ix, iy + 8, 41, 17), kit.rrect(ix - 29, iy - 31, ix + 29, iy + 11, 10),
                     kit.ellipse(ix, iy - 30, 19, 7), quill)
    room.cut(_fin(light(top.copy()), seed), well, "desk_inkwell", "inkwell", 1)


def closeup(name, seed, painter):
    room = Room(name, size=(W, H))
    painter(room, seed)
    room.write()


def build():
    closeup("cabinet", 1212, cabinet_room)
    closeup("desk", 1313, desk_room)


if __name__ == "__main__":
    build()
