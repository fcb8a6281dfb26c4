"""Room 7: the conservatory - iron and glass, snow outside, plants on a tiled floor, the puzzle box."""
import math

import numpy as np

import interior
import kit
import props
import things
from kit import Layer, col
from scene import Room

SEED = 909
BOX = interior.Box(196, 92, 828, 452)
LAMP = (624, 424)
L = (0.1, -0.9, 0.45)        # snow-light through the glass, from above
L_LAMP = (0.55, -0.5, 0.6)   # the oil lamp on the table (right of the box)
TABLE = (512, 500)


def outside(seed):
    """The snowy garden at night beyond the glass, seen whole (the glazing goes over it)."""
    cv = kit.storm_sky(kit.H, kit.W, seed, "#22304a", "#3e5470", "#7890a8", moon=(330, 120, 20), horizon=0.55)
    lay = Layer(kit.W, kit.H)
    # dark firs and a garden wall under snow, the house's lit window far off
    rng = np.random.default_rng(seed)
    for k in range(9):
        x = 60 + k * 120 + rng.random() * 40
        hgt = 120 + rng.random() * 110
        base = 420
        pts = [(x, base - hgt)]
        for j in range(5):
            t = (j + 1) / 5
            pts += [(x + 18 + t * 40, base - hgt + t * hgt), (x + 6 + t * 20, base - hgt + t * hgt + 4)]
        pts += [(x - 6 - 20, base), (x - 18 - 40, base)]
        pts = [(x, base - hgt)] + [(x + (t * 46), base - hgt + t * hgt) for t in np.linspace(0.1, 1, 6)] + \
              [(x - (t * 46), base - hgt + t * hgt) for t in np.linspace(1, 0.1, 6)]
        lay.paint(kit.poly(pts), kit.mix("night", "moss", 0.25))
        for j in range(4):
            t = 0.3 + j * 0.18
            lay.paint(kit.poly([(x - t * 40, base - hgt + t * hgt), (x + t * 40, base - hgt + t * hgt), (x, base - hgt + t * hgt - 10)]),
                      kit.mix("frost", "slate", 0.3), 0.9)
    ground = kit.rect(0, 410, kit.W, kit.H)
    lay.paint(ground, kit.vgrad(kit.H, kit.W, [(0, kit.mix("frost", "slate", 0.45)), (1, kit.mix("frost", "slate", 0.7))]))
    props.solid(kit.rect(0, 388, 300, 420), "#4a4e58", L, 3, lay=lay)
    lay.paint(kit.rect(0, 384, 300, 392), "frost")
    lay.paint(kit.rect(760, 300, 778, 326), "amber")
    kit.over_layer(cv, lay)
    cv += kit.radial(kit.H, kit.W, 769, 313, 40, 2)[..., None] * col("amber") * 0.3
    # falling snow
    kit.rain(cv, seed + 2, 500, 3, 0.4, 0.35, c="frost")
    return cv


def glasshouse(cv, seed):
    """Glass walls and roof on iron ribs, frost creeping up the panes, a brick kneewall."""
    b = BOX
    view = outside(seed)
    yy, xx = np.mgrid[0:kit.H, 0:kit.W].astype(np.float32)
    fr = kit.noise(kit.H, kit.W, 3, seed + 4, 3) * 0.6 + kit.noise(kit.H, kit.W, 12, seed + 14, 3) * 0.4
    # frost grows up from the bottom bar of every pane, thickest low down
    nxt = np.full((kit.H, kit.W), 9999.0, np.float32)
    for yr in (b.y0, b.y0 + 120, b.y0 + 240, b.y1 - 40, 9999):
        nxt = np.where((yy < yr) & (nxt > yr), yr, nxt)
    d = nxt - yy
    frost = np.clip((fr - 0.42) * 2.4 + (1 - d / 46) + (yy - 300) / 500, 0, 1) * (yy > b.y0 * 0.5)
    glass = view * (1 - 0.55 * frost[..., None]) + col("frost") * 0.6 * frost[..., None]
    glass = glass * 0.92 + col("teal") * 0.06
    cv[:] = glass
    lay = Layer(kit.W, kit.H)
    iron = "#1a2126"
    bars = []
    # back wall glazing
    for x in np.linspace(b.x0, b.x1, 7):
        bars.append(kit.rect(x - 4, b.y0, x + 4, b.y1))
    for y in (b.y0, b.y0 + 120, b.y0 + 240):
        bars.append(kit.rect(b.x0, y - 3, b.x1, y + 3))
    # side walls: uprights in perspective, rails converging
    for side in (0, 1):
        f = b.left_at if side == 0 else b.right_at
        for t in (0.0, 0.3, 0.58, 0.82, 1.0):
            p0, p1 = f(t, 0.0), f(t, 1.0)
            bars.append(kit.line([p0, p1], 10 - 6 * t))
        for v in (0.34, 0.62):
            bars.append(kit.line([f(0, v), f(1, v)], 5))
    # the roof: curved ribs from the sides over to the back
    for i in range(7):
        u = i / 6
        xb = b.x0 + (b.x1 - b.x0) * u
        xf = -200 + (kit.W + 400) * u
        pts = [(xf, -20), ((xf + xb) / 2, b.y0 * 0.35), (xb, b.y0)]
        bars.append(kit.line(pts, 9 - 4 * abs(u - 0.5)))
    for yv in (0.3, 0.65):
        y = b.y0 * yv
        bars.append(kit.line([(b.x0 * yv - 10, y), (kit.W - (kit.W - b.x1) * yv + 10, y)], 4))
    frame = kit.union(*bars)
    props.solid(frame, iron, L, 2, amb=0.5, specular=0.5, shin=8, spec_col="frost", lay=lay)
    # snow lying on the glass roof in soft drifts between the ribs
    roofsnow = np.clip((kit.noise(kit.H, kit.W, 30, seed + 5, 3) - 0.6) * 2.5, 0, 1) * np.clip((b.y0 * 0.7 - yy) / 30, 0, 1)
    lay.rgb = lay.rgb * (1 - roofsnow[..., None]) + col("frost") * 0.85 * roofsnow[..., None]
    lay.a = np.maximum(lay.a, roofsnow * 0.8)
    # the kneewall: old brick under a stone sill, behind the planting
    kw = kit.poly([(b.x0, b.y1 - 40), (b.x1, b.y1 - 40), (b.x1, b.y1), (b.x0, b.y1)])
    kit.brick_courses(lay, kw, seed + 6, 34, 14, "#7a4a3a", "#4a2a22", mortar="#3a302a")
    for side in (0, 1):
        f = b.left_at if side == 0 else b.right_at
        q = [f(0, 0.86), f(1, 0.89), f(1, 1), f(0, 1)]
        kit.brick_courses(lay, kit.poly(q), seed + 7 + side, 40, 18, "#6a4034", "#3a221c", mortar="#2a221e")
    sill = kit.rect(b.x0 - 4, b.y1 - 46, b.x1 + 4, b.y1 - 38)
    props.solid(sill, "#8a8880", L, 2, lay=lay)
    kit.over_layer(cv, lay)


def tiled_floor(cv, seed, vpx=512, horizon=196):
    """Terracotta and cream tiles laid on the diagonal, in true perspective from the eye level."""
    b = BOX
    h, w = kit.H, kit.W
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    dy = np.maximum(yy - horizon, 1)
    K = 5.4
    u = (xx - vpx) / dy * K
    v = 3600.0 / dy
    a, c = (u + v) / 1.414, (u - v) / 1.414
    chk = (np.floor(a) + np.floor(c)) % 2
    tone = kit.noise(h, w, 30, seed, 3)
    terracotta = kit.mix("mahogany", "brass", 0.25)
    cream = kit.mix("parchment", "parchment_shade", 0.5)
    tex = terracotta[None, None] * (1 - chk[..., None]) + cream * chk[..., None] * 0.9
    tex *= (0.8 + 0.35 * tone[..., None])
    ja = np.abs(np.mod(a, 1) - 0.5)
    jc = np.abs(np.mod(c, 1) - 0.5)
    px = 1.414 / (dy / K)  # one screen pixel in tile units, for even joint lines
    joint = np.clip(1 - (0.5 - np.maximum(ja, jc)) / (1.2 * px), 0, 1)
    tex *= (1 - 0.55 * joint[..., None])
    depth = np.clip((yy - b.y1) / (h - b.y1), 0, 1)
    tex *= (0.55 + 0.45 * depth)[..., None]
    lay = Layer(w, h)
    lay.paint(kit.poly(b.floor()), tex)
    kit.over_layer(cv, lay)


def pot(lay, x, y, w, h, seed, light=L, c="#a0502e"):
    """A terracotta pot standing with its foot at y."""
    m = kit.poly([(x - w / 2, y - h), (x + w / 2, y - h), (x + w * 0.36, y), (x - w * 0.36, y)])
    tex = kit.tex_noise(kit.H, kit.W, c, kit.shade_of(c, 0.75), 5, seed)
    props.solid(m, c, light, max(3, w * 0.15), amb=0.45, lay=lay, tex=tex)
    rim = kit.rect(x - w / 2 - 3, y - h - 8, x + w / 2 + 3, y - h + 2)
    props.solid(rim, kit.shade_of(c, 1.1), light, 2, amb=0.5, lay=lay)
    lay.paint(kit.ellipse(x, y - h - 8, w / 2, 3), "#2a1a10")
    return m


def palm(lay, x, y, seed, spread=90, light=L, n=9):
    rng = np.random.default_rng(seed)
    for k in range(n):
        a = -math.pi / 2 + (k - (n - 1) / 2) / n * 2.6 + (rng.random() - 0.5) * 0.2
        ln = spread * (0.7 + rng.random() * 0.4)
        pts = [(x, y)]
        for t in np.linspace(0.1, 1, 10):
            pts.append((x + math.cos(a) * ln * t, y + math.sin(a) * ln * t + (t ** 2) * ln * 0.45))
        props.solid(kit.line(pts, 2.5), "#4a5a30", light, 1, lay=lay)
        for j, (px, py) in enumerate(pts[1:]):
            t = (j + 1) / len(pts)
            for sd in (-1, 1):
                la = a + sd * 1.2 + t * 0.3 * sd
                ll = 22 * (1 - t * 0.6)
                tip = (px + math.cos(la) * ll, py + math.sin(la) * ll + ll * 0.5)
                shade = 0.7 + 0.5 * (1 - abs(math.sin(la)))
                lay.paint(kit.line([(px, py), tip], 3.2 * (1 - t * 0.5)), kit.shade_of("#4f7a48", shade * (0.8 + 0.3 * rng.random())))


def fern(lay, x, y, seed, r=50, light=L, n=16):
    rng = np.random.default_rng(seed)
    for k in range(n):
        a = -math.pi + k / (n - 1) * math.pi + (rng.random() - 0.5) * 0.3
        ln = r * (0.6 + rng.random() * 0.5)
        pts = [(x + math.cos(a) * ln * t, y + math.sin(a) * ln * t * 0.8 + (t ** 2) * ln * 0.6) for t in np.linspace(0, 1, 12)]
        lay.paint(kit.line(pts, 1.5), "#3e5a30")
        for j, (px, py) in enumerate(pts[1:]):
            t = (j + 1) / len(pts)
            ll = 7 * (1 - t * 0.7)
            for sd in (-1, 1):
                la = a + sd * 1.4
                lay.paint(kit.line([(px, py), (px + math.cos(la) * ll, py + math.sin(la) * ll + 2)], 1.8),
                          kit.shade_of("#5a8a48", 0.7 + 0.5 * rng.random()))


def lemon_tree(lay, x, y, seed, light=L):
    pot(lay, x, y, 96, 70, seed, light, "#8a4a2e")
    props.solid(kit.line([(x, y - 76), (x - 4, y - 150), (x + 4, y - 200)], 7), "#5a3a22", light, 2, lay=lay)
    for k, (dx, dy, r) in enumerate(((0, -230, 70), (-50, -200, 48), (48, -196, 52), (0, -280, 44))):
        props.foliage(lay, x + dx, y + dy, r, r * 0.8, seed + k, "#3e6a3c", light, n=int(r * 3.2), leaf=(4, 8))
    rng = np.random.default_rng(seed)
    for k in range(14):
        a = rng.random() * 2 * math.pi
        rr = math.sqrt(rng.random()) * 60
        lx, ly = x + math.cos(a) * rr, y - 225 + math.sin(a) * rr * 0.8
        if k % 3:
            props.solid(kit.ellipse(lx, ly, 7, 5.5), "#e8c040", light, 3, specular=0.5, lay=lay)
        else:
            for j in range(5):
                aa = j * 2 * math.pi / 5
                lay.paint(kit.ellipse(lx + 3 * math.cos(aa), ly + 3 * math.sin(aa), 2.4, 2.4), "#fff8ec")


def table_and_lamp(seed):
    lay = Layer(kit.W, kit.H)
    cx, cy = TABLE
    iron = "#22282e"
    # wrought-iron table: round top, three curled legs
    for dx in (-70, 0, 70):
        leg = [(cx + dx * 0.4, cy + 10), (cx + dx * 0.8, cy + 60), (cx + dx, cy + 96), (cx + dx * 1.2, cy + 100)]
        props.solid(kit.line(leg, 6), iron, L, 2, specular=0.5, lay=lay)
        curl = [(cx + dx * 1.2 + 8 * math.cos(t) * (1 - t / 8), cy + 92 + 8 * math.sin(t) * (1 - t / 8)) for t in np.linspace(0, 6, 16)]
        props.solid(kit.line(curl, 3), iron, L, 1, lay=lay)
    props.solid(kit.line([(cx - 70, cy + 60), (cx + 70, cy + 60)], 4), iron, L, 1, lay=lay)
    props.solid(kit.ellipse(cx, cy + 4, 134, 31), iron, L_LAMP, 3, amb=0.5, specular=0.6, lay=lay)
    top = kit.ellipse(cx, cy, 130, 28)
    marble = kit.tex_noise(kit.H, kit.W, kit.mix("parchment", "frost", 0.5), kit.mix("parchment_shade", "slate", 0.3), 16, seed)
    veins = np.abs(kit.noise(kit.H, kit.W, 26, seed + 1, 4) - 0.5) < 0.02
    marble = marble * (1 - veins[..., None] * 0.3)
    props.solid(top, "parchment", L_LAMP, 5, amb=0.55, specular=0.5, shin=20, lay=lay, tex=marble)
    # the oil lamp: brass font, glass chimney, a warm flame
    lx, ly = LAMP
    props.solid(kit.ellipse(lx, ly + 62, 20, 6), "brass", L_LAMP, 2, specular=0.9, lay=lay)
    props.solid(kit.poly([(lx - 6, ly + 62), (lx + 6, ly + 62), (lx + 4, ly + 40), (lx - 4, ly + 40)]), "brass", L_LAMP, 2,
                specular=0.9, lay=lay)
    props.solid(kit.ellipse(lx, ly + 34, 18, 12), "brass", L_LAMP, 4, specular=0.9, lay=lay)
    chim = kit.union(kit.ellipse(lx, ly + 8, 12, 14), kit.rect(lx - 6, ly - 30, lx + 6, ly + 8))
    lay.paint(chim, "#fff0cc", 0.5)
    props.flame(lay, lx, ly + 14, 18)
    return lay


def box_layer(state, seed):
    """The carved puzzle box on the table: 'empty' (socket showing), 'gear' (gear seated) or 'open'."""
    b = Layer(kit.W, kit.H)
    front = kit.rect(446, 440, 578, 488)
    side = kit.poly([(578, 440), (596, 428), (596, 474), (578, 488)])
    wood = kit.wood(kit.H, kit.W, seed, "#7a4e2c", "#4a2f1b", angle=0, freq=0.1)
    props.solid(front, "walnut", L_LAMP, 4, amb=0.5, lay=b, tex=wood)
    props.solid(side, "walnut", L_LAMP, 3, amb=0.4, lay=b, tex=wood * 0.7)
    # carved border and brass corners on the front
    b.paint(kit.subtract(kit.rect(452, 446, 572, 482), kit.rect(456, 450, 568, 478)), "#3a2414", 0.7)
    for k in range(6):
        x = 470 + k * 18
        b.paint(kit.ellipse(x, 464, 5, 7), "#3a2414", 0.5)
    for (x, y) in ((446, 440), (578, 440), (446, 488), (578, 488)):
        props.solid(kit.poly([(x - 6, y), (x, y - 6), (x + 6, y), (x, y + 6)]), "brass", L_LAMP, 1.5, specular=0.9, lay=b)
    props.solid(kit.rrect(504, 468, 520, 480, 2), "brass", L_LAMP, 1.5, specular=0.9, lay=b)
    if state != "open":
        lid = kit.poly([(446, 440), (578, 440), (596, 428), (466, 428)])
        props.solid(lid, "#6a452a", L, 3, amb=0.55, lay=b, tex=kit.wood(kit.H, kit.W, seed + 1, "#8a5a32", angle=0))
        # the round socket with teeth around its rim
        ring = kit.subtract(kit.ellipse(520, 434, 24, 7), kit.ellipse(520, 434, 19, 5))
        props.solid(ring, "brass", L, 1.5, specular=0.9, lay=b)
        for k in range(16):
            a = k * 2 * math.pi / 16
            b.paint(kit.ellipse(520 + 21.5 * math.cos(a), 434 + 6 * math.sin(a), 1.6, 1.0), "#6a4a1e", 0.9)
        if state == "gear":
            g = props.gear(520, 432, 22, 14, seed + 2, "brass", 5, 0.2, L)
            # seen at a slant: squash it into the lid's plane
            sq = Layer(g.w, int(g.h * 0.34) + 2, g.x0, 0)
            sq.rgb = kit.resize(g.rgb, g.w, sq.h)
            sq.a = kit.resize(g.a, g.w, sq.h)
            sq.y0 = int(432 - sq.h / 2)
            things.kit_paste(b, kit.with_shadow(sq, 1, 2, 1, 0.5))
        else:
            b.paint(kit.ellipse(520, 434, 18, 4.6), "#140c06")
    else:
        # lid swung up and back; inside, a shallow tray of little wheels around an empty cradle
        lid = kit.poly([(450, 436), (574, 436), (592, 426), (584, 356), (468, 366)])
        props.solid(lid, "#6a452a", L_LAMP, 4, amb=0.5, lay=b, tex=kit.wood(kit.H, kit.W, seed + 3, "#8a5a32", angle=1.5))
        b.paint(kit.poly([(462, 432), (566, 432), (576, 424), (568, 372), (476, 378)]), "#4a2a18", 0.6)
        inner = kit.poly([(450, 442), (574, 442), (590, 432), (466, 432)])
        b.paint(inner, "#2a160c")
        for k in range(5):
            things.kit_paste(b, props.gear(470 + k * 24, 437, 6, 8, seed + 10 + k, "brass", 0, k, L_LAMP))
    return b


def page_layer(seed):
    lay = Layer(kit.W, kit.H)
    things.diary_page(lay, 792, 528, 0.55, -0.35, seed, L_LAMP, pin=False)
    return kit.with_shadow(lay.cropped(2), 2, 3, 2, 0.45)


def build():
    room = Room("conservatory")
    cv = kit.backdrop("night")
    glasshouse(cv, SEED)
    tiled_floor(cv, SEED + 1)
    plants_back = Layer(kit.W, kit.H)
    # along the kneewall: pots, a bench of seedlings, palms
    props.solid(kit.rect(600, 400, 820, 410), "#6a452a", L, 2, lay=plants_back)
    for x in (612, 808):
        props.solid(kit.rect(x - 4, 410, x + 4, 452), "#4a2f1b", L, 1.5, lay=plants_back)
    for k, x in enumerate((628, 662, 700, 744, 784)):
        pot(plants_back, x, 400, 26, 22, SEED + 20 + k)
        props.foliage(plants_back, x, 372, 16, 12, SEED + 30 + k, "#4f7a48", L, n=30, leaf=(3, 6))
    for k, (x, y) in enumerate(((250, 452), (420, 452))):
        pot(plants_back, x, y, 54, 44, SEED + 40 + k)
        fern(plants_back, x, y - 52, SEED + 50 + k, r=56)
    pot(plants_back, 330, 452, 40, 36, SEED + 45)
    palm(plants_back, 330, 410, SEED + 46, spread=110)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(plants_back.a, 0, 0), 4, 6, 4, 0.4))
    kit.over_layer(cv, plants_back)
    # hanging baskets under the roof
    hang = Layer(kit.W, kit.H)
    for k, (x, y) in enumerate(((300, 150), (724, 140))):
        for dx in (-18, 0, 18):
            hang.paint(kit.line([(x, 40), (x + dx, y)], 1.2), "#2a2a2a", 0.9)
        props.solid(kit.ellipse(x, y + 8, 24, 12), "#6a4a2a", L, 4, lay=hang)
        fern(hang, x, y + 4, SEED + 60 + k, r=44)
    kit.over_layer(cv, hang)
    # the big plants at the sides and front: a lemon tree, palms, ferns in pots
    front = Layer(kit.W, kit.H)
    lemon_tree(front, 160, 560, SEED + 70)
    pot(front, 900, 580, 110, 84, SEED + 71, c="#9a5432")
    palm(front, 900, 500, SEED + 72, spread=170, n=11)
    pot(front, 780, 586, 60, 48, SEED + 73)
    fern(front, 780, 536, SEED + 74, r=64)
    # a watering can and stacked pots on the floor
    wc = kit.union(kit.rrect(300, 548, 352, 590, 8), kit.line([(352, 560), (384, 532)], 5), kit.subtract(kit.ellipse(326, 548, 20, 16), kit.ellipse(326, 548, 15, 11)))
    props.solid(wc, kit.mix("moss", "slate", 0.4), L, 4, specular=0.6, lay=front)
    for k in range(3):
        pot(front, 660 + k * 4, 596 - k * 12, 40 - k * 2, 18, SEED + 80 + k)
    kit.contact_shadow(cv, 100, 220, 562, 10, 0.5, 6)
    kit.contact_shadow(cv, 840, 960, 582, 10, 0.5, 6)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(front.a, 0, 0), 6, 8, 6, 0.45))
    kit.over_layer(cv, front)
    tb = table_and_lamp(SEED + 8)
    kit.contact_shadow(cv, 380, 650, 600, 12, 0.5, 8)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(tb.a, 0, 0), 6, 10, 8, 0.45))
    kit.over_layer(cv, tb)
    pg = page_layer(SEED + 9)
    kit.over_layer(cv, pg)
    pg_a = kit.crop_mask(kit.Mask(pg.a, pg.x0, pg.y0), 0, 0, kit.W, kit.H)

    def light(c):
        c = c * 0.6
        yy, xx = np.mgrid[0:kit.H, 0:kit.W].astype(np.float32)
        # everything takes a cold cast from the snow-light; the lamp makes a warm pool
        c = c * (0.75 + 0.35 * col("frost"))
        lx, ly = LAMP
        kit.lamp(c, lx, ly + 20, 520, "amber", 1.1, 1.5)
        kit.lamp(c, lx, ly + 14, 90, "candle", 1.0, 2.0)
        pool = kit.radial(kit.H, kit.W, lx, ly + 20, 240, 1.6)
        d = kit.motes(kit.H, kit.W, SEED + 10, 900, mask=pool, size=0.8)
        c += d[..., None] * col("candle") * 0.9
        # a wet gleam of the lamp on the tiles
        gleam = kit.radial(kit.H, kit.W, lx, 640, 160, 2.0) * (yy > 600)
        c += gleam[..., None] * col("amber") * 0.15
        kit.bloom(c, 0.74, 12, 0.45)
        return c

    # where the view outside shows through (for the falling snow, laid on after the finish)
    occ = np.clip(plants_back.a + hang.a + front.a + tb.a + pg_a, 0, 1)
    yy = np.mgrid[0:kit.H, 0:kit.W][0].astype(np.float32)
    view = (1 - occ) * (yy < BOX.y1 - 40)
    flakes = kit.motes(kit.H, kit.W, SEED + 12, 900, size=0.7, bright=(0.5, 1.3)) * view
    flakes += kit.motes(kit.H, kit.W, SEED + 13, 140, size=1.3, bright=(0.4, 0.9)) * view
    base = light(cv.copy())

    protect = view * 0.75

    def fin(c):
        c = kit.finish(c, SEED, vignette=0.5, protect=protect)
        return np.clip(c + flakes[..., None] * col("frost") * 0.7, 0, 1)
    outs = {}
    for st in ("empty", "gear", "open"):
        c2 = cv.copy()
        bl = box_layer(st, SEED + 11)
        kit.over_layer(c2, kit.shadow_layer(kit.Mask(bl.a, 0, 0), 4, 5, 4, 0.5))
        kit.over_layer(c2, bl)
        outs[st] = (fin(light(c2)), kit.Mask(bl.a, 0, 0))
    c0 = fin(base)
    # the backdrop has no box: the sprites swap on the bare table top
    room.back(c0)
    room.cut(outs["empty"][0], outs["empty"][1], "conservatory_box", "box", 2)
    room.obj("conservatory_box_glow", "box_glow", props.outline_glow(outs["empty"][1], "amber", 6), 4)
    room.cut(outs["gear"][0], outs["gear"][1], "conservatory_box_gear", "box_gear", 3)
    room.cut(outs["open"][0], outs["open"][1], "conservatory_box_open", "box_open", 3)
    room.cut(c0, kit.Mask(pg.a, pg.x0, pg.y0), "conservatory_page", "page", 3)
    # the bench of seedlings on the kneewall leads to the potting bench (room_potting): a click region in
    # its shape and a halo shown on hover
    bm = kit.Mask(plants_back.a[344:456, 596:824].copy(), 596, 344)
    room.hit("conservatory_potting", "potting_hit", kit.Mask(np.maximum(bm.m, 0.6 * (bm.m > 0.02)), 596, 344), 2)
    room.obj("conservatory_potting_glow", "potting_glow", props.outline_glow(bm, "amber", 6, 0.8), 4)
    # the oil lamp's flame and chimney, which the room makes flicker
    lx, ly = LAMP
    room.obj("conservatory_lamp_glow", "lamp_glow", props.glow_layer(kit.ellipse(lx, ly + 4, 12, 22), "amber", 12, 0.7), 5)
    room.exit_down("conservatory_exit")
    room.write()
    return room


if __name__ == "__main__":
    build()
