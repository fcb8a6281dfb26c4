"""Room 1: the garden gate at night in the rain."""
import math

import numpy as np

import kit
import props
from kit import Layer, col
from scene import Room

LANTERN = (295, 158)
LIGHT = (-0.7, -0.55, 0.55)  # from the lantern, upper left


def house(cv, seed):
    lay = Layer(kit.W, kit.H)
    body = kit.poly([(520, 325), (520, 205), (600, 150), (680, 205), (680, 190), (860, 190), (860, 325)])
    wing = kit.poly([(845, 325), (845, 235), (905, 205), (940, 235), (940, 325)])
    tower = kit.poly([(655, 325), (655, 88), (745, 88), (745, 325)])
    roof = kit.poly([(645, 92), (700, 18), (755, 92)])
    sil = kit.union(body, wing, tower, roof)
    tex = kit.tex_noise(kit.H, kit.W, "#161d28", "#222c3b", 20, seed)
    lay.paint(sil, tex)
    # moonlit rims on the left edges
    rim = props.outline_glow(sil, "frost", 1.2, 0.5)
    xx, yy = lay.grid()
    cv_rim = np.clip(1 - (xx - 520) / 400, 0, 1)
    rim.a = rim.a * cv_rim[rim.y0:rim.y0 + rim.h, rim.x0:rim.x0 + rim.w] * 0.35
    kit.over_layer(cv, lay)
    kit.add_layer(cv, rim, 0.6)
    # windows: one warm, the rest dark glass catching the sky
    for (x, y, lit) in ((545, 255, 0), (585, 255, 0), (790, 235, 1), (825, 235, 0), (790, 285, 0),
                        (825, 285, 1), (700, 190, 0), (700, 250, 0), (880, 270, 0)):
        w = kit.rect(x - 9, y - 14, x + 9, y + 14)
        lay2 = Layer(kit.W, kit.H)
        lay2.paint(w, "#ffd98a" if lit else "#2c3a4e")
        kit.over_layer(cv, lay2, 0.9 if lit else 0.8)
        if lit:
            g = kit.radial(kit.H, kit.W, x, y, 45, 2)
            cv += g[..., None] * col("amber") * 0.25
    # the dark tower clock, stopped at two minutes to midnight
    d = props.dial(700, 128, 30, seed, 11, 58, face="#8d9aab", numerals="#111720", light=(-0.8, -0.4, 0.5),
                   rim_col="#6d6350", tide=False)
    kit.over_layer(cv, d, 1.0)


def ground(cv, seed):
    # headland behind the gate, falling into the sea on the right
    land = kit.poly([(0, 300), (200, 312), (420, 318), (640, 318), (860, 322), (905, 330), (930, 372),
                     (960, 420), (1024, 470), (1024, 768), (0, 768)])
    lay = Layer(kit.W, kit.H)
    tex = kit.tex_noise(kit.H, kit.W, "#1d2628", "#2b3634", 10, seed, 5)
    yy = np.mgrid[0:kit.H, 0:kit.W][0].astype(np.float32)
    mist = np.clip(1 - (yy - 300) / 160, 0, 1)[..., None]
    tex = tex * (1 - 0.5 * mist) + col("#4a5566") * 0.5 * mist
    lay.paint(land, tex)
    cliff = kit.poly([(905, 330), (935, 372), (965, 425), (1024, 470), (1024, 560), (990, 480), (950, 420)])
    lay.paint(cliff, kit.tex_noise(kit.H, kit.W, "#222830", "#3a4048", 6, seed + 1))
    kit.over_layer(cv, lay)
    # path of flagstones from the viewer to the front door
    path = kit.poly([(360, 768), (664, 768), (535, 322), (490, 322)])
    lay = Layer(kit.W, kit.H)
    tex = kit.stone_tex(kit.H, kit.W, seed + 2, "#62625f", "#3a3d42")
    joint, tone, depth = kit.perspective_paving(kit.H, kit.W, seed + 2, 322, 512, 310, 45)
    tex = tex * (0.8 + 0.3 * tone[..., None]) * (1 - 0.6 * joint[..., None])
    tex = tex * (0.55 + 0.45 * depth[..., None])
    lay.paint(path, tex)
    kit.over_layer(cv, lay)
    # hedges and low stone walls either side of the gateposts
    for side in (0, 1):
        x0, x1 = (0, 262) if side == 0 else (762, 1024)
        wall = kit.rect(x0, 470, x1, 612)
        wl = Layer(kit.W, kit.H)
        kit.brick_courses(wl, wall, seed + 5 + side, 52, 24, "#55585d", "#34383e")
        cap = kit.rect(x0, 458, x1, 474)
        props.solid(cap, "#6a6c70", LIGHT, 3, lay=wl)
        kit.over_layer(cv, wl)
        rng = np.random.default_rng(seed + 20 + side)
        hl = Layer(kit.W, kit.H)
        for i in range(9):
            cx = x0 + (i + 0.5) / 9 * (x1 - x0) + (rng.random() - 0.5) * 20
            cy = 440 + rng.random() * 20
            r = 30 + rng.random() * 20
            props.foliage(hl, cx, cy, r, r * 0.8, seed + 60 + i + side * 10, kit.mix("moss", "night", 0.35),
                          LIGHT, n=120, leaf=(4, 8))
        kit.over_layer(cv, hl)
    # wet grass verges along the path
    rng = np.random.default_rng(seed + 40)
    gl = Layer(kit.W, kit.H)
    for i in range(500):
        y = 600 + rng.random() * 168
        side = rng.integers(2)
        edge = 360 - (768 - y) * 0.3 if side == 0 else 664 + (768 - y) * 0.3
        x = edge - rng.random() * 360 if side == 0 else edge + rng.random() * 360
        hgt = 8 + rng.random() * 22
        lean = (rng.random() - 0.4) * 8
        gl.paint(kit.line([(x, y), (x + lean, y - hgt)], 1.6), kit.mix("moss", "night", 0.3 + 0.4 * rng.random()))
    kit.over_layer(cv, gl)


def pillar(cv, x0, x1, seed, lantern=False):
    lay = Layer(kit.W, kit.H)
    body = kit.rect(x0, 215, x1, 615)
    kit.brick_courses(lay, body, seed, 40, 28, "#6b6d70", "#3c4046")
    xx, yy = lay.grid()
    # rounded shading across the post
    t = np.clip((xx - x0) / (x1 - x0), 0, 1)
    lay.tone(0.65 + 0.45 * (1 - t) ** 0.7, body)
    cap = kit.poly([(x0 - 14, 215), (x1 + 14, 215), (x1 + 8, 196), (x0 - 8, 196)])
    props.solid(cap, "#75777b", LIGHT, 3, lay=lay)
    top = kit.poly([(x0 - 4, 198), (x1 + 4, 198), ((x0 + x1) / 2 + 18, 184), ((x0 + x1) / 2 - 18, 184)])
    props.solid(top, "#6a6c70", LIGHT, 3, lay=lay)
    base = kit.rect(x0 - 10, 592, x1 + 10, 620)
    props.solid(base, "#5d6064", LIGHT, 3, lay=lay)
    if lantern:
        cx = (x0 + x1) / 2
        post = kit.rect(cx - 4, 168, cx + 4, 188)
        props.solid(post, "#1d1b1a", LIGHT, 1, lay=lay)
        glass = kit.poly([(cx - 17, 170), (cx + 17, 170), (cx + 13, 128), (cx - 13, 128)])
        lay.paint(glass, "#ffe9b0")
        frame = kit.union(kit.rect(cx - 19, 166, cx + 19, 172), kit.rect(cx - 15, 124, cx + 15, 130),
                          kit.line([(cx, 128), (cx, 170)], 2), kit.line([(cx - 17, 170), (cx - 13, 128)], 2.5),
                          kit.line([(cx + 17, 170), (cx + 13, 128)], 2.5),
                          kit.poly([(cx - 20, 126), (cx + 20, 126), (cx, 104)]), kit.ellipse(cx, 102, 5, 5))
        props.solid(frame, "#2a2320", LIGHT, 1, specular=0.6, lay=lay)
        props.flame(lay, cx, 160, 16)
    kit.over_layer(cv, lay)


def gate_leaves(state):
    """The iron gate: 'closed' or 'open'; returns (layer, lock mask)."""
    lay = Layer(kit.W, kit.H)
    iron = "#1c1d22"
    parts = []
    lock = None
    if state == "closed":
        x0, x1 = 336, 690
        for i in range(17):
            x = x0 + 12 + i * (x1 - x0 - 24) / 16
            top = 262 - 36 * math.sin(math.pi * (x - x0) / (x1 - x0))
            parts.append(kit.line([(x, 600), (x, top)], 4.2))
            parts.append(kit.poly([(x - 5, top + 2), (x + 5, top + 2), (x, top - 14)]))
        for y in (300, 520, 590):
            parts.append(kit.line([(x0, y), (x1, y)], 6))
        arc = kit.arc_pts(513, 420, 176, 170, math.pi * 1.12, math.pi * 1.88, 40)
        parts.append(kit.line(arc, 5))
        # scrollwork between the rails
        for cx in (380, 450, 576, 646):
            for s in (1, -1):
                pts = [(cx + s * 22 * math.cos(t) * (1 - t / 9), 320 + 12 + 16 * math.sin(t) * (1 - t / 9))
                       for t in np.linspace(0, 7, 30)]
                parts.append(kit.line(pts, 2.6))
        parts.append(kit.line([(513, 300), (513, 600)], 7))
        lock = kit.rrect(490, 402, 536, 458, 5)
    else:
        for side in (0, 1):
            hx = 336 if side == 0 else 690
            fx = hx + (62 if side == 0 else -62)
            top_h, bot_h = 262, 600
            top_f, bot_f = 286, 566
            for i in range(7):
                t = i / 6
                x = hx + (fx - hx) * t
                parts.append(kit.line([(x, bot_h + (bot_f - bot_h) * t), (x, top_h + (top_f - top_h) * t - 10)], 4.5 - t))
            for yh, yf in ((300, 318), (520, 508), (590, 560)):
                parts.append(kit.line([(hx, yh), (fx, yf)], 6))
    for p in parts:
        props.solid(p, iron, LIGHT, 1.5, amb=0.55, specular=0.55, shin=8, spec_col="amber", lay=lay)
    if lock is not None:
        props.solid(lock, "#3b3024", LIGHT, 3, amb=0.5, specular=0.5, lay=lay)
        kh = kit.union(kit.ellipse(513, 423, 4.5, 4.5), kit.poly([(510, 424), (516, 424), (518, 441), (508, 441)]))
        lay.paint(kh, "#080604")
        plate = kit.subtract(kit.rrect(496, 410, 530, 450, 4), kit.rrect(500, 414, 526, 446, 3))
        props.solid(plate, "brass", LIGHT, 1.5, specular=0.7, lay=lay)
    return lay, lock


def urn(x, y, seed):
    lay = Layer(kit.W, kit.H)
    body = kit.poly([(x - 24, y + 56), (x + 24, y + 56), (x + 18, y + 42), (x + 40, y + 8), (x + 46, y - 18),
                     (x + 34, y - 34), (x + 46, y - 46), (x - 46, y - 46), (x - 34, y - 34), (x - 46, y - 18),
                     (x - 40, y + 8), (x - 18, y + 42)])
    tex = kit.stone_tex(kit.H, kit.W, seed, "#a09c92", "#6a6a68")
    props.solid(body, "#6c6e70", LIGHT, 10, amb=0.35, lay=lay, tex=tex)
    lip = kit.ellipse(x, y - 44, 42, 8)
    props.solid(lip, "#77797b", LIGHT, 3, lay=lay)
    lay.paint(kit.ellipse(x, y - 44, 34, 5), "#1f1c18")
    rng = np.random.default_rng(seed)
    for i in range(14):
        a = -math.pi / 2 + (rng.random() - 0.5) * 1.6
        L = 30 + rng.random() * 50
        p0 = (x + (rng.random() - 0.5) * 40, y - 44)
        pts = [p0, (p0[0] + math.cos(a) * L * 0.5, p0[1] + math.sin(a) * L * 0.5),
               (p0[0] + math.cos(a + 0.3) * L, p0[1] + math.sin(a + 0.3) * L)]
        lay.paint(kit.line(pts, 1.8), kit.mix("#6b5a3a", "night", 0.3 + rng.random() * 0.3))
    # moss on the foot
    moss = kit.intersect(kit.ellipse(x, y + 48, 26, 12), body)
    lay.paint(moss, "moss", 0.5, cover=False)
    return lay, body


def key_layer(x, y, scale=1.0, angle=-0.25, iron=False):
    """A big old gate key, bow to the left."""
    ca, sa = math.cos(angle), math.sin(angle)

    def P(u, v):
        return (x + (u * ca - v * sa) * scale, y + (u * sa + v * ca) * scale)
    bow = kit.subtract(kit.ellipse(*P(-22, 0), 11 * scale, 11 * scale), kit.ellipse(*P(-22, 0), 5.5 * scale, 5.5 * scale))
    shaft = kit.line([P(-12, 0), P(26, 0)], 4.5 * scale)
    bit = kit.poly([P(16, 1), P(26, 1), P(26, 12), P(22, 12), P(22, 8), P(16, 8)])
    collar = kit.line([P(-9, -4), P(-9, 4)], 3 * scale)
    m = kit.union(bow, shaft, bit, collar)
    return m


def build():
    room = Room("gate")
    seed = 101

    def paint(gate="closed", urn_state="base", key=False):
        cv = kit.storm_sky(kit.H, kit.W, seed, moon=(150, 70, 26), horizon=0.4)
        kit.sea(cv, 300, 768, seed + 3)
        house(cv, seed + 4)
        ground(cv, seed + 5)
        pillar(cv, 255, 335, seed + 6, lantern=True)
        pillar(cv, 690, 770, seed + 7)
        masks = {}
        if gate:
            g, lock = gate_leaves(gate)
            sh = kit.shadow_layer(kit.Mask(g.a, 0, 0), 28, 30, 3, 0.35)
            kit.over_layer(cv, sh)
            kit.over_layer(cv, g)
            masks["gate"] = kit.Mask(g.a, 0, 0)
        if key:
            km = key_layer(212, 573, 1.35)
            kl = Layer(kit.W, kit.H)
            kl.paint(kit.Mask(kit.shadow_layer(km, 2, 3, 1.5, 0.6).a, kit.shadow_layer(km, 2, 3, 1.5).x0,
                              kit.shadow_layer(km, 2, 3, 1.5).y0), "ink", 0.6)
            props.solid(km, "brass", LIGHT, 2, amb=0.5, specular=0.9, shin=12, lay=kl)
            kit.over_layer(cv, kl)
            masks["key"] = kit.Mask(kl.a, 0, 0)
        if urn_state:
            ux, uy = (205, 528) if urn_state == "base" else (148, 536)
            ul, body = urn(ux, uy, seed + 9)
            sh = kit.shadow_layer(body, 24, 10, 6, 0.5)
            kit.over_layer(cv, sh)
            kit.over_layer(cv, ul)
            m = np.maximum(ul.a, 0)
            masks["urn"] = kit.Mask(m, 0, 0)
        # lantern light and cold night air
        kit.ambient(cv, "slate", 0.35)
        kit.lamp(cv, LANTERN[0], LANTERN[1], 430, "amber", 0.9, 1.8)
        kit.lamp(cv, LANTERN[0], LANTERN[1], 120, "candle", 0.8, 2.0)
        kit.lamp(cv, 270, 560, 250, "amber", 0.45, 1.5)
        # puddle reflections on the path
        pud = kit.noise(kit.H, kit.W, 40, seed + 11, 3)
        yy, xx = np.mgrid[0:kit.H, 0:kit.W].astype(np.float32)
        pm = np.clip((pud - 0.62) * 6, 0, 1) * (yy > 600) * (np.abs(xx - 512) < 150 + (yy - 600) * 0.6)
        cv += pm[..., None] * col("amber") * 0.12 * kit.radial(kit.H, kit.W, 300, 700, 400)[..., None]
        cv += pm[..., None] * col("frost") * 0.05
        kit.rain(cv, seed + 12, 1800, 30, 0.22, 0.16)
        kit.bloom(cv, 0.7, 10, 0.5)
        cv = kit.finish(cv, seed, vignette=0.5, stroke_angle=1.2)
        return cv, masks

    # backdrop without the gate, urn or key (they are sprites)
    cv, _ = paint(gate=None, urn_state=None)
    room.back(cv)
    cv, m = paint("closed", "base")
    room.cut(cv, m["gate"], "gate_gate_closed", "gate_closed", 2)
    room.cut(cv, m["urn"], "gate_urn", "urn", 3)
    room.obj("gate_gate_glow", "gate_glow", props.outline_glow(m["gate"], "amber", 5, 0.9), 4)
    cv, m = paint("open", "moved", key=True)
    room.cut(cv, m["gate"], "gate_gate_open", "gate_open", 2)
    room.cut(cv, m["urn"], "gate_urn_moved", "urn_moved", 3)
    room.cut(cv, m["key"], "gate_key", "key", 4)
    lg = props.glow_layer(kit.ellipse(LANTERN[0], LANTERN[1] - 8, 16, 22), "amber", 10, 0.8)
    room.obj("gate_lantern", "lantern_glow", lg, 5)
    # the tower above the right gatepost (the post's cap is not the tower)
    tower = kit.poly([(655, 192), (655, 88), (700, 18), (745, 88), (745, 192)])
    room.hit("gate_tower", "tower_hit", tower, 1)
    # a small plate of cold white that the room stretches over the screen for a lightning flash
    fl = Layer(16, 16, 0, 0)
    fl.rgb[:] = (0.82, 0.87, 1.0)
    fl.a[:] = 1
    room.obj("gate_flash", "flash", fl, 9, record=False, crop=False)
    # under the pointer: a rim of light round the tower, its clock face brighter
    rim = props.outline_glow(tower, "amber", 5, 0.8)
    face = props.glow_layer(kit.ellipse(700, 128, 22, 22), "candle", 5, 0.5)
    tg = Layer(kit.W, kit.H)
    tg.rgb[:] = col("amber")
    inside = kit.crop_mask(tower, 0, 0, kit.W, kit.H)
    tg.a = np.maximum(kit.crop_mask(kit.Mask(rim.a, rim.x0, rim.y0), 0, 0, kit.W, kit.H) * (1 - inside * 0.85),
                      kit.crop_mask(kit.Mask(face.a, face.x0, face.y0), 0, 0, kit.W, kit.H))
    room.obj("gate_tower_glow", "tower_glow", tg, 4)
    room.write()
    return room


if __name__ == "__main__":
    build()
