"""Room 8: the clock room at the top of the tower, the great glass dial seen from inside."""
import math

import numpy as np

import figure
import interior
import kit
import props
import things
from kit import Layer, col
from scene import Room

SEED = 1010
DIAL = (512, 214, 232)   # the great glass dial: centre and radius
REG = (512, 380, 70)     # the regulator dial on the mechanism
LANTERN = (164, 566)
MIRROR = (790, 170, 930, 540)
L_TOP = (0.05, -0.85, 0.5)     # moonlight through the dial, from above and behind
L_LEFT = (-0.75, -0.2, 0.6)    # the lantern on the floor, left
BOX = interior.Box(176, 30, 848, 520)


def rubble(lay, mk, seed, bw, bh, c0, c1, mortar):
    """Rough-dressed stone in uneven courses: blocks of varying length and tone, worn edges, deep joints."""
    xx, yy = lay.grid()
    h, w = lay.h, lay.w
    yw = yy + (kit.noise(h, w, 24, seed, 3) - 0.5) * 8
    row = np.floor(yw / bh)
    rng = np.random.default_rng(seed)
    rr = rng.random(512).astype(np.float32)
    ri = np.mod(row.astype(int), 512)
    bwr = bw * (0.75 + 0.5 * rr[ri])
    xw = xx + rr[np.mod(ri * 7 + 3, 512)] * bw + (kit.noise(h, w, 18, seed + 1, 3) - 0.5) * 8
    col_i = np.floor(xw / bwr)
    gx = xw - col_i * bwr
    gy = yw - row * bh
    edge = np.minimum(np.minimum(gx, bwr - gx), np.minimum(gy, bh - gy))
    chip = kit.noise(h, w, 4, seed + 2, 2) * 3
    joint = np.clip(1 - (edge - chip * 0.5) / 2.2, 0, 1)
    tone = rr[np.mod((row * 31 + col_i * 17).astype(int), 512)]
    warm = rr[np.mod((row * 13 + col_i * 29 + 5).astype(int), 512)] > 0.75
    base = col(c0) * (1 - tone[..., None]) + col(c1) * tone[..., None]
    base = np.where(warm[..., None], base * 0.8 + col("#6a5848") * 0.2, base)
    surf = 0.78 + 0.3 * kit.noise(h, w, 3, seed + 3, 3) + 0.15 * kit.noise(h, w, 12, seed + 4, 3)
    ao = np.clip(edge / 7, 0, 1)
    lit = np.clip(1 - np.abs(gy - 3) / 2.5, 0, 1) * (edge > 1.5) * 0.18
    tex = base * (surf * (0.62 + 0.38 * ao) + lit)[..., None]
    tex = tex * (1 - joint[..., None]) + col(mortar) * joint[..., None]
    lay.paint(mk, tex)


def stone_walls(cv, seed):
    b = BOX
    lay = Layer(kit.W, kit.H)
    yy, xx = np.mgrid[0:kit.H, 0:kit.W].astype(np.float32)
    back = kit.poly(b.back())
    rubble(lay, back, seed, 62, 32, "#6a666a", "#3e3c42", "#1c1c20")
    left = kit.poly(b.left())
    right = kit.poly(b.right())
    for m, sd in ((left, 0), (right, 1)):
        tmp = Layer(kit.W, kit.H)
        rubble(tmp, m, seed + 1 + sd, 48, 36, "#64605e", "#38363a", "#1a1a1e")
        # courses follow the perspective: darken towards the viewer
        t = np.clip(xx / b.x0, 0, 1) if sd == 0 else np.clip((kit.W - xx) / (kit.W - b.x1), 0, 1)
        tmp.rgb *= (0.45 + 0.45 * t)[..., None]
        lay.paint(m, tmp.rgb)
    ceil = kit.poly(b.ceiling())
    lay.paint(ceil, kit.wood(kit.H, kit.W, seed + 3, "#2e2016", "#1c130c", angle=0, freq=0.05) * 0.6)
    # heavy beams overhead, running back to the dial wall
    for i in range(6):
        u = (i + 0.5) / 6
        xb = b.x0 + (b.x1 - b.x0) * u
        xf = kit.W * u
        beam = kit.poly([(xf - 30, -4), (xf + 30, -4), (xb + 10, b.y0), (xb - 10, b.y0)])
        props.solid(beam, "#3a2716", L_TOP, 6, amb=0.45, lay=lay,
                    tex=kit.wood(kit.H, kit.W, seed + 10 + i, "#4a301b", angle=math.pi / 2 - (xf - xb) / 300))
    # old stone: damp patches, rain seeping down in streaks, a green bloom low on the walls
    damp = np.clip((kit.noise(kit.H, kit.W, 60, seed + 30, 3) - 0.45) * 2.5, 0, 1)
    seep = kit.streaks(kit.H, kit.W, seed + 31, 50, math.pi / 2, 3)
    low = np.clip((yy - 300) / 400, 0, 1)
    walls_m = np.clip(lay.a - kit.poly(b.ceiling()).full(), 0, 1)
    f = 1 - (0.3 * damp + 0.1 * seep) * walls_m
    lay.rgb *= f[..., None]
    lay.rgb += (damp * low * walls_m * 0.06)[..., None] * col("moss")
    # floor boards, dusty, with wood shavings and straw
    fl = interior.boards(kit.H, kit.W, seed + 4, b, "#5a4030", n=12)
    dust = kit.noise(kit.H, kit.W, 25, seed + 32, 3)
    fl = fl * (0.8 + 0.35 * dust[..., None]) + col("#8a7a60") * (np.clip(dust - 0.6, 0, 1) * 0.3)[..., None]
    lay.paint(kit.poly(b.floor()), fl)
    rng = np.random.default_rng(seed + 33)
    for k in range(60):
        x, y = 180 + rng.random() * 700, 600 + rng.random() * 160
        a = rng.random() * math.pi
        ln = 4 + rng.random() * 10
        lay.paint(kit.line([(x, y), (x + math.cos(a) * ln, y + math.sin(a) * ln * 0.4)], 1.2), "#b09a6a", 0.5)
    kit.over_layer(cv, lay)


def glass_dial(seed):
    """The great dial from inside: storm sky through frosted glass, iron frame, reversed numerals.

    Returns (layer, glow) where glow is the brightness of the glass for the light shafts."""
    cx, cy, r = DIAL
    lay = Layer(kit.W, kit.H)
    # the sky behind: storm clouds, the moon, a lightning fork
    sky = kit.storm_sky(kit.H, kit.W, seed, "#243247", "#4a6078", "#6f8aa3", moon=(cx + 90, cy - 60, 30),
                           horizon=0.45)
    bolt = Layer(kit.W, kit.H)
    pts = [(cx - 150, -10), (cx - 120, 60), (cx - 140, 70), (cx - 95, 150), (cx - 112, 158), (cx - 60, 260)]
    bolt.paint(kit.line(pts, 3), "#eef6ff")
    bolt.paint(kit.line([(cx - 120, 60), (cx - 170, 110), (cx - 160, 150)], 1.6), "#eef6ff")
    g = props.glow_layer(kit.Mask(bolt.a, 0, 0), "frost", 10, 0.7)
    kit.add_layer(sky, g, 0.6)
    kit.over_layer(sky, bolt)
    # frosted glass: the view blurs and brightens, frost thickens towards the rim
    glass_rgb = kit.blur(sky, 5) * 0.8 + col("frost") * 0.22
    yy, xx = np.mgrid[0:kit.H, 0:kit.W].astype(np.float32)
    d = np.hypot(xx - cx, yy - cy) / r
    fr = kit.noise(kit.H, kit.W, 3, seed + 1, 3) * 0.5 + kit.noise(kit.H, kit.W, 18, seed + 11, 3) * 0.5
    frost = np.clip((fr - 0.5) * 2.0 + (d - 0.7) * 2.4, 0, 1)
    glass_rgb = glass_rgb * (1 - 0.5 * frost[..., None]) + col("frost") * 0.75 * frost[..., None]
    # rain running down the outside of the glass
    rain = Layer(kit.W, kit.H)
    rng = np.random.default_rng(seed + 2)
    for k in range(160):
        x, y = cx + (rng.random() - 0.5) * 2 * r, cy + (rng.random() - 0.5) * 2 * r
        ln = 8 + rng.random() * 26
        rain.paint(kit.line([(x, y), (x + rng.random() * 2 - 1, y + ln)], 1.1), "#dbe8f2", 0.35)
        rain.paint(kit.ellipse(x, y + ln, 1.6, 2.0), "#eef6ff", 0.5)
    kit.over_layer(glass_rgb, rain)
    glass = kit.ellipse(cx, cy, r * 0.93, r * 0.93)
    lay.paint(glass, glass_rgb)
    glow = glass.full() * (0.55 + 0.45 * kit.blur(sky.mean(axis=2), 10) / max(1e-6, sky.mean())) * 0.8
    # the cast-iron frame: outer ring, chapter ring, spokes, and reversed numerals
    iron = "#15161a"
    parts = []
    parts.append(kit.subtract(kit.ellipse(cx, cy, r + 18, r + 18), kit.ellipse(cx, cy, r * 0.93, r * 0.93)))
    parts.append(kit.subtract(kit.ellipse(cx, cy, r * 0.72, r * 0.72), kit.ellipse(cx, cy, r * 0.69, r * 0.69)))
    parts.append(kit.subtract(kit.ellipse(cx, cy, r * 0.36, r * 0.36), kit.ellipse(cx, cy, r * 0.33, r * 0.33)))
    for i in range(12):
        a = -math.pi / 2 + i * math.pi / 6
        parts.append(kit.line([(cx + r * 0.35 * math.cos(a), cy + r * 0.35 * math.sin(a)),
                               (cx + r * 0.93 * math.cos(a), cy + r * 0.93 * math.sin(a))], 5))
    for i in range(60):
        a = -math.pi / 2 + i * math.pi / 30
        l0 = 0.86 if i % 5 else 0.8
        parts.append(kit.line([(cx + r * l0 * math.cos(a), cy + r * l0 * math.sin(a)),
                               (cx + r * 0.92 * math.cos(a), cy + r * 0.92 * math.sin(a))], 2.4 if i % 5 else 4.5))
    names = ["XII", "I", "II", "III", "IIII", "V", "VI", "VII", "VIII", "IX", "X", "XI"]
    for i, nm in enumerate(names):
        # seen from inside, the face runs anticlockwise and every numeral is mirrored
        a = -math.pi / 2 - i * math.pi / 6
        x, y = cx + r * 0.56 * math.cos(a), cy + r * 0.56 * math.sin(a)
        tm = kit.text_patch(x, y, nm, 44, "Bold")
        parts.append(kit.Mask(tm.m[:, ::-1], tm.x0, tm.y0))
    frame = kit.union(*parts)
    props.solid(frame, iron, L_TOP, 2.5, amb=0.5, specular=0.4, shin=8, spec_col="frost", lay=lay)
    # the hands outside, seen as soft shadows through the frosted glass (11:58, mirrored)
    hl = Layer(kit.W, kit.H)
    for length, ang, wd in ((r * 0.55, -math.pi / 2 + 0.0175 * 2, 16), (r * 0.8, -math.pi / 2 + 0.0105 * 2, 11)):
        hm = props.hand_mask(cx, cy, length, ang, wd)
        hl.paint(hm, "#1b2433", 0.7)
    hl.a = kit.blur(hl.a, 3)
    lay.rgb = lay.rgb * (1 - hl.a[..., None] * 0.7 * lay.a[..., None]) + col("night") * hl.a[..., None] * 0.7 * lay.a[..., None]
    glow *= 1 - hl.a * 0.8
    glow *= 1 - frame.full() * 1.0
    # a bronze boss where the hands' arbor comes through
    props.solid(kit.ellipse(cx, cy, 26, 26), "#6a5a3a", L_TOP, 6, specular=0.6, lay=lay)
    props.solid(kit.ellipse(cx, cy, 12, 12), "brass", L_TOP, 4, specular=0.9, lay=lay)
    return lay, glow


def mechanism(seed):
    """The iron bird-cage frame with its train of brass wheels; the regulator dial is separate."""
    lay = Layer(kit.W, kit.H)
    cx, cy, _ = REG
    iron = "#202226"
    # leading-off rod up to the dial's arbor, with a bevel box at the top of the frame
    rod = kit.rect(cx - 5, DIAL[1] + 20, cx + 5, 292)
    props.solid(rod, "#6a6e76", L_TOP, 2, specular=0.7, lay=lay)
    things.kit_paste(lay, props.gear(cx, 286, 22, 14, seed + 1, "brass", 0, 0.1, L_TOP))
    # wheels behind the frame, back to front
    wheels = ((392, 372, 96, 60, 6), (640, 352, 82, 52, 6), (428, 500, 62, 40, 5), (604, 506, 66, 44, 5),
              (330, 470, 36, 22, 4), (700, 456, 40, 24, 4), (560, 300, 30, 20, 4), (460, 296, 26, 18, 0))
    for i, (x, y, r, t, sp) in enumerate(wheels):
        g = props.gear(x, y, r, t, seed + 10 + i, "brass", sp, 0.13 * i, L_TOP, amb=0.42)
        things.kit_paste(lay, kit.with_shadow(g, 4, 6, 4, 0.45))
        # arbors
        props.solid(kit.ellipse(x, y, max(4, r * 0.09), max(4, r * 0.09)), "#8a8e96", L_TOP, 2, specular=0.8, lay=lay)
    # winding drums with their cables on the lower sides
    for x in (340, 684):
        drum = kit.rect(x - 28, 520, x + 28, 572)
        props.solid(drum, "#5a3a22", L_TOP, 8, amb=0.5, lay=lay, tex=kit.wood(kit.H, kit.W, seed + x, "#6a452a", angle=math.pi / 2))
        for k in range(7):
            props.solid(kit.line([(x - 26, 524 + k * 7), (x + 26, 526 + k * 7)], 2.6), "#8a8272", L_TOP, 1, lay=lay)
    # the pendulum: rod down the middle, the bob below the regulator
    props.solid(kit.rect(cx - 3, 300, cx + 3, 540), "#7a7e86", L_TOP, 1.5, specular=0.7, lay=lay)
    props.solid(kit.ellipse(cx, 548, 30, 30), "brass", L_TOP, 8, specular=0.9, shin=12, lay=lay)
    props.solid(kit.ellipse(cx, 548, 12, 12), "#c8a050", L_TOP, 3, specular=0.9, lay=lay)
    # escapement: the anchor over the escape wheel
    things.kit_paste(lay, props.gear(cx, 318, 30, 30, seed + 3, "brass", 4, 0.05, L_TOP))
    anchor = kit.union(kit.line([(cx - 38, 338), (cx, 300), (cx + 38, 338)], 6), kit.ellipse(cx, 300, 7, 7))
    props.solid(anchor, "#6a6e76", L_TOP, 2, specular=0.8, lay=lay)
    # the frame: posts, rails and feet, riveted
    posts = [kit.rect(300, 290, 318, 590), kit.rect(706, 290, 724, 590)]
    rails = [kit.rect(292, 280, 732, 298), kit.rect(300, 440, 724, 452), kit.rect(286, 572, 738, 590)]
    diag = [kit.line([(318, 298), (400, 440)], 8), kit.line([(706, 298), (624, 440)], 8)]
    fr = kit.union(*(posts + rails + diag))
    props.solid(fr, iron, L_TOP, 3, amb=0.5, specular=0.45, shin=8, spec_col="frost", lay=lay)
    for (x, y) in ((309, 289), (715, 289), (309, 446), (715, 446), (309, 581), (715, 581), (512, 289), (512, 581)):
        props.solid(kit.ellipse(x, y, 4, 4), "#4a4c52", L_TOP, 1.5, specular=0.8, lay=lay)
    for x in (280, 744):
        props.solid(kit.rect(x - 16, 584, x + 16, 598), iron, L_TOP, 2, lay=lay)
    # the regulator's mounting plate (the dial itself is a separate picture)
    plate = kit.rrect(cx - 86, cy - 86, cx + 86, cy + 86, 14)
    props.solid(plate, "#2a2c30", L_TOP, 5, amb=0.5, specular=0.4, lay=lay)
    for (x, y) in ((cx - 72, cy - 72), (cx + 72, cy - 72), (cx - 72, cy + 72), (cx + 72, cy + 72)):
        props.solid(kit.ellipse(x, y, 6, 6), "brass", L_TOP, 2, specular=0.9, lay=lay)
    return lay


def regulator(seed):
    lay = Layer(kit.W, kit.H)
    cx, cy, r = REG
    things.kit_paste(lay, props.dial(cx, cy, r, seed, 0, 0, hands=False, light=L_TOP, tide=True))
    return lay


def mirror_layer(seed):
    """The tall mirror in a carved frame, its glass dark and cold."""
    x0, y0, x1, y1 = MIRROR
    lay = Layer(kit.W, kit.H)
    cxm = (x0 + x1) / 2
    arch_r = (x1 - x0) / 2
    outer = kit.union(kit.ellipse(cxm, y0 + arch_r, arch_r, arch_r), kit.rect(x0, y0 + arch_r, x1, y1))
    inner = kit.union(kit.ellipse(cxm, y0 + arch_r, arch_r - 16, arch_r - 16), kit.rect(x0 + 16, y0 + arch_r, x1 - 16, y1 - 16))
    tex = kit.wood(kit.H, kit.W, seed, "#7a4e2c", "#4a2f1b", angle=math.pi / 2, freq=0.14)
    props.solid(kit.subtract(outer, inner), "#5a3a22", L_LEFT, 6, amb=0.5, specular=0.25, lay=lay, tex=tex)
    # carving: a crest of leaves on the arch and beads down the sides
    crest = kit.union(kit.ellipse(cxm, y0 + 2, 22, 12), kit.ellipse(cxm - 20, y0 + 10, 12, 8), kit.ellipse(cxm + 20, y0 + 10, 12, 8))
    props.solid(crest, "#6a452a", L_LEFT, 4, specular=0.3, lay=lay, tex=tex)
    for yb in np.arange(y0 + arch_r + 10, y1 - 20, 22):
        for xb in (x0 + 8, x1 - 8):
            props.solid(kit.ellipse(xb, yb, 4, 6), "#6a452a", L_LEFT, 2, lay=lay)
    feet = kit.union(kit.rect(x0 - 6, y1 - 6, x0 + 22, y1 + 10), kit.rect(x1 - 22, y1 - 6, x1 + 6, y1 + 10))
    props.solid(feet, "#4a2f1b", L_LEFT, 3, lay=lay)
    # the glass: it shows the room, dimly, and a cold sheen of the dial
    yy, xx = np.mgrid[0:kit.H, 0:kit.W].astype(np.float32)
    g = kit.vgrad(kit.H, kit.W, [(0, "#34445a"), (0.5, "#1e2836"), (1, "#121822")])
    # it shows the room: a dim, reversed glimpse of the great dial's glow on the left
    refl = kit.radial(kit.H, kit.W, x0 - 20, y0 + 60, 170, 1.3)
    g += refl[..., None] * col("frost") * 0.4
    ring = np.abs(np.hypot(xx - x0 + 40, yy - y0 - 40) - 150) < 5
    g += (kit.blur(ring.astype(np.float32), 2) * 0.12)[..., None] * col("frost")
    streak = np.clip(1 - np.abs((xx - x0 - 40) + (yy - y0) * 0.25) / 14, 0, 1) * 0.16
    g += streak[..., None] * col("frost")
    fr = kit.noise(kit.H, kit.W, 4, seed + 5, 3)
    cd = np.minimum(np.minimum(xx - x0 - 16, x1 - 16 - xx), y1 - 16 - yy)
    rime = np.clip((fr - 0.5) * 2 - cd / 22 + 0.5, 0, 1)
    g = g * (1 - rime[..., None] * 0.5) + col("frost") * rime[..., None] * 0.45
    lay.paint(inner, g)
    return lay, outer, inner


def lantern(seed):
    lay = Layer(kit.W, kit.H)
    x, y = LANTERN
    base = kit.rect(x - 22, y + 22, x + 22, y + 30)
    body = kit.poly([(x - 18, y + 22), (x + 18, y + 22), (x + 15, y - 22), (x - 15, y - 22)])
    lay.paint(body, "#ffe8b0")
    cage = kit.union(base, kit.rect(x - 19, y - 28, x + 19, y - 22), kit.line([(x - 18, y + 22), (x - 15, y - 22)], 3),
                     kit.line([(x + 18, y + 22), (x + 15, y - 22)], 3), kit.line([(x, y + 22), (x, y - 22)], 2),
                     kit.poly([(x - 22, y - 26), (x + 22, y - 26), (x, y - 48)]))
    props.solid(cage, "#1e1a18", L_LEFT, 1.5, specular=0.6, spec_col="amber", lay=lay)
    ring = kit.subtract(kit.ellipse(x, y - 54, 8, 8), kit.ellipse(x, y - 54, 5, 5))
    props.solid(ring, "#1e1a18", L_LEFT, 1, lay=lay)
    props.flame(lay, x, y + 12, 20)
    return lay


def bell_rope(lay, seed):
    """The alarm bell hanging in the corner and its rope."""
    bx, by = 96, 40
    yoke = kit.rect(bx - 80, by - 60, bx + 80, by - 44)
    props.solid(yoke, "#3a2716", L_LEFT, 4, lay=lay, tex=kit.wood(kit.H, kit.W, seed, "#4a301b", angle=0))
    bell = kit.poly([(bx - 62, by + 70), (bx + 62, by + 70), (bx + 54, by + 58), (bx + 40, by + 10)]
                    + kit.arc_pts(bx, by + 10, 40, 50, 0, -math.pi, 20)[1:-1] + [(bx - 40, by + 10), (bx - 54, by + 58)])
    props.solid(bell, kit.mix("brass", "mahogany", 0.35), L_LEFT, 12, amb=0.4, specular=0.7, shin=10, lay=lay,
                tex=props.brass_tex(kit.H, kit.W, seed, kit.mix("brass", "mahogany", 0.35)))
    lip = kit.ellipse(bx, by + 70, 62, 9)
    props.solid(lip, kit.mix("brass", "mahogany", 0.45), L_LEFT, 3, specular=0.6, lay=lay)
    lay.paint(kit.ellipse(bx, by + 72, 54, 5), "#120c08")
    for y in (by + 22, by + 50):
        lay.paint(kit.line([(bx - 44, y), (bx + 44, y)], 2), "#6a4a1e", 0.6, cover=False)
    wheel = kit.subtract(kit.ellipse(bx + 96, by - 10, 28, 28), kit.ellipse(bx + 96, by - 10, 22, 22))
    props.solid(wheel, "#3a2716", L_LEFT, 2, lay=lay)
    pts = [(bx + 124, by - 10), (bx + 126, 200), (bx + 122, 380), (bx + 118, 500)]
    props.solid(kit.line(pts, 6), "#8a7250", L_LEFT, 2, lay=lay)
    for k in range(36):
        y = by + k * 13
        lay.paint(kit.line([(bx + 121, y), (bx + 127, y + 6)], 1.2), "#5a4a30", 0.5)
    tassel = kit.poly([(bx + 110, 500), (bx + 126, 500), (bx + 132, 540), (bx + 106, 540)])
    props.solid(tassel, "wine", L_LEFT, 3, lay=lay)


def floor_things(seed):
    lay = Layer(kit.W, kit.H)
    # a box of spare parts and the oil can
    box = kit.poly([(820, 560), (960, 560), (980, 640), (800, 640)])
    props.solid(box, "#5a3a22", L_LEFT, 4, lay=lay, tex=kit.wood(kit.H, kit.W, seed, "#6a452a", angle=0))
    for k in range(5):
        things.kit_paste(lay, props.gear(840 + k * 26, 556 - (k % 2) * 8, 14 + (k % 3) * 4, 12, seed + k, "brass", 4, k * 0.4, L_LEFT))
    things.oilcan(lay, 770, 610, 0.8, 0.0, seed, L_LEFT)
    return lay


def cobweb(lay, cx, cy, a0, a1, r, seed, k=0.4):
    """A corner cobweb: threads fanning from (cx, cy) between angles a0..a1, sagging rings across them."""
    rng = np.random.default_rng(seed)
    n = 7
    angs = [a0 + (a1 - a0) * (i + rng.random() * 0.3) / (n - 1) for i in range(n)]
    for a in angs:
        lay.paint(kit.line([(cx, cy), (cx + r * math.cos(a), cy + r * math.sin(a))], 1.3), "#dde4ea", k)
    for j in range(1, 7):
        rr = r * j / 7 * (0.9 + rng.random() * 0.15)
        pts = []
        for i in range(n - 1):
            for t in np.linspace(0, 1, 6):
                a = angs[i] + (angs[i + 1] - angs[i]) * t
                sag = 1 - 0.12 * math.sin(t * math.pi)
                pts.append((cx + rr * sag * math.cos(a), cy + rr * sag * math.sin(a)))
        lay.paint(kit.line(pts, 1.1), "#dde4ea", k * 0.8)


def crate(lay, x0, y0, x1, y1, seed, light, label=None):
    """A plank crate seen from the front with a sliver of its top."""
    tex = kit.wood(kit.H, kit.W, seed, "#a27a4a", "#6a4a2c", angle=0.02, freq=0.08)
    props.solid(kit.rect(x0, y0, x1, y1), "#8a6a40", light, 3, amb=0.6, lay=lay, tex=tex)
    top = kit.poly([(x0, y0), (x1, y0), (x1 - 10, y0 - 12), (x0 + 8, y0 - 12)])
    props.solid(top, "#8a6a44", light, 2, amb=0.6, lay=lay, tex=tex * 1.1)
    n = max(2, int((y1 - y0) / 22))
    for k in range(1, n):
        y = y0 + (y1 - y0) * k / n
        lay.paint(kit.line([(x0, y), (x1, y)], 1.4), "#241810", 0.7)
    for x in (x0 + 5, x1 - 5):
        props.solid(kit.rect(x - 5, y0, x + 5, y1), "#5a3e26", light, 2, amb=0.5, lay=lay, tex=tex * 0.85)
    props.solid(kit.line([(x0 + 8, y1 - 6), (x1 - 8, y0 + 6)], 8), "#5a3e26", light, 2, amb=0.5, lay=lay, tex=tex * 0.85)
    for (x, y) in ((x0 + 5, y0 + 6), (x1 - 5, y0 + 6), (x0 + 5, y1 - 6), (x1 - 5, y1 - 6)):
        lay.paint(kit.ellipse(x, y, 1.6, 1.6), "#1a1410")
    if label:
        tm = kit.text_patch((x0 + x1) / 2, (y0 + y1) / 2 - 6, label, 20, "Bold")
        lay.paint(tm, "#1e1610", 0.55)


def rope_coil(lay, cx, cy, r, seed, light):
    """A coil of thick hemp rope lying flat on the floor, each turn a lit tube with a dark gap, its end trailing."""
    ry = 0.46
    lay.paint(kit.ellipse(cx, cy, r + 1, (r + 1) * ry), "#2a1e12")
    for k in range(4):
        rr = r - k * 11
        ring = kit.subtract(kit.ellipse(cx, cy, rr - 1, (rr - 1) * ry), kit.ellipse(cx, cy, rr - 10, (rr - 10) * ry))
        props.solid(ring, "#b8986a", light, 4, amb=0.4, specular=0.2, lay=lay)
        for t in np.linspace(0, 2 * math.pi, int(rr * 0.7), endpoint=False):
            x, y = cx + (rr - 5.5) * math.cos(t), cy + (rr - 5.5) * ry * math.sin(t)
            lay.paint(kit.line([(x - 2.5, y - 2), (x + 2.5, y + 2)], 1.3), "#4a3620", 0.6)
    lay.paint(kit.ellipse(cx, cy, r - 44, (r - 44) * ry), "#1e160e")
    tail = [(cx + r - 4, cy + 4), (cx + r + 16, cy + 20), (cx + r + 46, cy + 26), (cx + r + 70, cy + 40)]
    props.solid(kit.line(tail, 9), "#b8986a", light, 3.5, amb=0.45, lay=lay)
    props.solid(kit.ellipse(tail[-1][0] + 2, tail[-1][1] + 1, 6, 5), "#d8c090", light, 2, amb=0.5, lay=lay)


def tin(lay, x, yb, s, seed, light, c="#4a5a48"):
    """A tall oil tin with a label band, a screw cap and a thin spout."""
    body = kit.rrect(x - 14 * s, yb - 44 * s, x + 14 * s, yb, 3 * s)
    props.solid(body, c, light, 6 * s, amb=0.45, specular=0.5, lay=lay)
    props.solid(kit.rect(x - 14 * s, yb - 30 * s, x + 14 * s, yb - 16 * s), "#c8b078", light, 2 * s, amb=0.6, lay=lay)
    lay.paint(kit.rect(x - 8 * s, yb - 26 * s, x + 8 * s, yb - 20 * s), "#6a2a1e", 0.7)
    top = kit.poly([(x - 14 * s, yb - 44 * s), (x + 14 * s, yb - 44 * s), (x + 6 * s, yb - 52 * s), (x - 6 * s, yb - 52 * s)])
    props.solid(top, c, light, 2 * s, amb=0.5, specular=0.5, lay=lay)
    props.solid(kit.line([(x + 3 * s, yb - 51 * s), (x + 12 * s, yb - 70 * s)], 2.4 * s), "#8a8e96", light, 1, specular=0.8, lay=lay)
    props.solid(kit.rect(x - 6 * s, yb - 56 * s, x, yb - 51 * s), "#8a8e96", light, 1, specular=0.8, lay=lay)


def ladder(lay, x0, y0, x1, y1, seed, light):
    """A wooden ladder leaning on the wall: two rails from the floor (x0, y0) up to (x1, y1), rungs between."""
    tex = kit.wood(kit.H, kit.W, seed, "#7a5a3a", "#4a3420", angle=math.pi / 2, freq=0.1)
    for dx in (0, 40):
        props.solid(kit.line([(x0 + dx, y0), (x1 + dx * 0.85, y1)], 7), "#6a4a2e", light, 3, amb=0.5, lay=lay, tex=tex)
    for k in range(1, 11):
        t = k / 11
        ax, ay = x0 + (x1 - x0) * t, y0 + (y1 - y0) * t
        props.solid(kit.line([(ax + 3, ay), (ax + 40 - 6 * t - 3, ay)], 5), "#6a4a2e", light, 2, amb=0.5, lay=lay, tex=tex)


def clutter(seed):
    """What the tower's keepers left: crates, a coil of rope, oil cans, spare wheels against the wall,
    a sack, ropes and a pulley overhead."""
    back = Layer(kit.W, kit.H)
    # spare wheels leaning against the right wall beside the mirror, and a long cable on a hook
    for k, (x, y, r, t) in enumerate(((984, 560, 52, 40), (948, 600, 34, 26), (1010, 610, 30, 22))):
        g = props.gear(x, y, r, t, seed + 40 + k, kit.mix("brass", "#5a4a3a", 0.45), 5, 0.3 * k, L_LEFT, amb=0.4)
        things.kit_paste(back, kit.with_shadow(g, -6, 4, 5, 0.5))
    ladder(back, 236, 600, 250, 250, seed + 60, L_LEFT)
    # a pulley block hanging from a beam on a rope, its rope running down to a cleat
    props.solid(kit.line([(700, -4), (702, 150)], 5), "#8a7250", L_TOP, 2, lay=back)
    blk = kit.rrect(690, 150, 716, 196, 8)
    props.solid(blk, "#4a301b", L_TOP, 4, lay=back, tex=kit.wood(kit.H, kit.W, seed + 50, "#5a3a22", angle=math.pi / 2))
    props.solid(kit.ellipse(703, 172, 9, 9), "#6a6e76", L_TOP, 2, specular=0.8, lay=back)
    props.solid(kit.line([(694, 172), (688, 260), (690, 300)], 4), "#8a7250", L_TOP, 1.5, lay=back)
    props.solid(kit.line([(712, 172), (730, 250), (760, 290), (770, 300)], 4), "#8a7250", L_TOP, 1.5, lay=back)
    hook = kit.subtract(kit.ellipse(690, 310, 9, 10), kit.ellipse(690, 310, 5, 6))
    props.solid(kit.subtract(hook, kit.rect(680, 298, 690, 310)), "#3a3c40", L_TOP, 2, specular=0.6, lay=back)
    front = Layer(kit.W, kit.H)
    # crates stacked in the near left corner, stencilled with the clockmaker's mark
    crate(front, -8, 616, 128, 760, seed + 1, L_LEFT, "HALVERN")
    crate(front, 12, 540, 104, 616, seed + 2, L_LEFT)
    rope_coil(front, 262, 652, 52, seed + 3, L_LEFT)
    # a sack slumped against the crates
    sack = kit.poly([(128, 700), (150, 640), (176, 636), (196, 660), (204, 720), (140, 728)])
    props.solid(sack, "#8a7a5a", L_LEFT, 12, amb=0.45, lay=front, tex=kit.tex_noise(kit.H, kit.W, "#8a7a5a", "#5a4a34", 2, seed + 4))
    front.paint(kit.line([(150, 646), (180, 642)], 3), "#4a3a24", 0.8)
    # oil cans by the box of parts, one on its side
    tin(front, 742, 676, 0.9, seed + 5, L_LEFT)
    tin(front, 772, 690, 0.75, seed + 6, L_LEFT, "#5a4a3a")
    # a spanner and a few screws on the boards
    props.solid(kit.line([(380, 700), (446, 684)], 6), "#5a5c62", L_LEFT, 2, specular=0.7, lay=front)
    props.solid(kit.subtract(kit.ellipse(452, 683, 10, 8), kit.rect(452, 679, 470, 687)), "#5a5c62", L_LEFT, 2, specular=0.7, lay=front)
    for k, (x, y) in enumerate(((600, 702), (612, 708), (590, 716))):
        things.screw(front, x, y, 0.35, k * 1.3, seed + 7 + k, L_LEFT)
    webs = Layer(kit.W, kit.H)
    cobweb(webs, 176, 30, 0.0, math.pi / 2, 120, seed + 10, 0.5)
    cobweb(webs, 848, 30, math.pi / 2, math.pi, 110, seed + 11, 0.5)
    cobweb(webs, 0, 0, 0.05, math.pi / 2 - 0.05, 90, seed + 12, 0.5)
    cobweb(webs, 300, 290, math.pi * 0.55, math.pi * 0.95, 60, seed + 13, 0.5)
    return back, front, webs


def ysolde_layer(seed):
    lay = Layer(kit.W, kit.H)
    x0, y0, x1, y1 = MIRROR
    figure.full_figure(lay, (x0 + x1) / 2, 272, 38, seed, hem=6.85, key=(-0.6, -0.3, 0.6), rim=(0.5, -0.6, -0.3),
                       key_col="candle", rim_col="candle", frost=0.8)
    # lit from behind by the glowing glass: a darker front, the bright rim stays
    lay.rgb *= 0.8
    return lay


def ray_map(glow):
    """Soft shafts from the glass, fading with distance from the dial."""
    src = kit.blur(glow, 5)
    rays = kit.god_rays(src, DIAL[0], DIAL[1], reach=1.3, steps=36, decay=0.94)
    yy, xx = np.mgrid[0:kit.H, 0:kit.W].astype(np.float32)
    fall = np.clip(1.25 - np.hypot(xx - DIAL[0], (yy - DIAL[1]) * 0.9) / 700, 0, 1)
    outside = 1 - kit.blur(kit.ellipse(DIAL[0], DIAL[1], DIAL[2], DIAL[2]).full(), 8)
    return np.clip(rays * 1.4 * fall * (0.35 + 0.65 * outside), 0, 1)


def build():
    room = Room("tower")
    cv = kit.backdrop("night")
    stone_walls(cv, SEED)
    dial_l, glow = glass_dial(SEED + 1)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(dial_l.a, 0, 0), 0, 10, 10, 0.5))
    kit.over_layer(cv, dial_l)
    back_c, front_c, webs = clutter(SEED + 20)
    kit.over_layer(cv, back_c)
    mech = mechanism(SEED + 2)
    kit.contact_shadow(cv, 280, 744, 596, 16, 0.6, 8)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(mech.a, 0, 0), 10, 16, 10, 0.45))
    kit.over_layer(cv, mech)
    mir, mir_outer, mir_inner = mirror_layer(SEED + 3)
    kit.contact_shadow(cv, MIRROR[0], MIRROR[2], MIRROR[3] + 6, 12, 0.6, 6)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(mir.a, 0, 0), 12, 8, 10, 0.5))
    kit.over_layer(cv, mir)
    deco = Layer(kit.W, kit.H)
    bell_rope(deco, SEED)
    kit.over_layer(cv, deco)
    ft = floor_things(SEED + 4)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(ft.a, 0, 0), 8, 6, 5, 0.5))
    kit.over_layer(cv, ft)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(front_c.a, 0, 0), 10, 6, 6, 0.55))
    kit.over_layer(cv, front_c)
    lt = lantern(SEED + 5)
    kit.contact_shadow(cv, LANTERN[0] - 26, LANTERN[0] + 26, LANTERN[1] + 30, 8, 0.6, 4)
    kit.over_layer(cv, lt)

    # whatever stands in front of the glass blocks its light (and casts its shadow into the shafts)
    occ = np.clip(mech.a + mir.a + deco.a + ft.a + lt.a + back_c.a + front_c.a, 0, 1)
    glow = glow * (1 - occ)
    rays = ray_map(glow)

    def light(c):
        c = c * 0.42
        # moonlight pouring through the glass dial in shafts, crossed by the shadows of the frame
        c *= 1 + rays[..., None] * col("frost") * 1.0
        haze = 0.6 + 0.8 * kit.noise(kit.H, kit.W, 60, SEED + 8, 3)
        c += (rays * haze)[..., None] * col("frost") * 0.16
        kit.lamp(c, 880, 420, 320, "frost", 0.25, 1.5)
        c += (glow * 0.25)[..., None] * col("frost")
        kit.lamp(c, LANTERN[0], LANTERN[1] - 10, 640, "amber", 1.2, 1.4)
        kit.lamp(c, LANTERN[0], LANTERN[1], 160, "candle", 0.7, 2.0)
        d = kit.motes(kit.H, kit.W, SEED + 9, 900, mask=rays, size=0.8)
        c += d[..., None] * col("frost") * 0.8
        kit.bloom(c, 0.72, 14, 0.5)
        w = webs.rgb * 0 + col("#a8aeb4")
        c[:] = c * (1 - webs.a[..., None]) + w * webs.a[..., None]
        return c

    reg = regulator(SEED + 6)
    full = cv.copy()
    kit.over_layer(full, kit.shadow_layer(kit.Mask(reg.a, 0, 0), 3, 5, 4, 0.5))
    kit.over_layer(full, reg)
    full = light(full)
    protect = np.maximum(kit.blur(kit.ellipse(REG[0], REG[1], REG[2] + 4, REG[2] + 4).full(), 2),
                         kit.ellipse(DIAL[0], DIAL[1], DIAL[2] * 0.93, DIAL[2] * 0.93).full() * 0.6)
    fin = lambda c: kit.finish(c, SEED, vignette=0.55, stroke_angle=1.2, protect=protect)
    back = fin(full)
    room.back(back)
    room.cut(back, kit.Mask(reg.a, 0, 0), "tower_dial", "dial", 2)
    room.obj("tower_dial_glow", "dial_glow", props.outline_glow(kit.Mask(reg.a, 0, 0), "amber", 6), 4)
    hl = Layer(kit.W, kit.H)
    things.clockhand(hl, REG[0], REG[1] - 22, 0.7, -math.pi / 2, SEED, L_TOP)
    room.obj("tower_hand", "hand", kit.with_shadow(hl.cropped(2), 2, 3, 2, 0.5), 3)
    room.hit("tower_mirror", "mirror_hit", mir_outer, 1)
    # under the pointer the frame lights up, the glass stays dark
    hv = props.outline_glow(mir_outer, "amber", 6, 0.9)
    hv.a *= 1 - 0.85 * kit.crop_mask(mir_inner, hv.x0, hv.y0, hv.w, hv.h)
    room.obj("tower_mirror_hover", "mirror_hover", hv, 4)
    # the mirror brightening like a lamp at the end
    mg = props.glow_layer(mir_inner, "candle", 18, 0.9)
    room.obj("tower_mirror_glow", "mirror_glow", mg, 5)
    ys = ysolde_layer(SEED + 7)
    ysl = Layer(kit.W, kit.H)
    ysl.rgb = kit.kuwahara(ys.rgb, 1) * 0.4 + ys.rgb * 0.6
    ysl.a = ys.a
    room.obj("tower_ysolde", "ysolde", kit.with_shadow(ysl.cropped(2), 4, 4, 5, 0.35), 6)
    # lightning: the glass blazes and the room flashes blue-white
    fl = Layer(kit.W, kit.H)
    fl.rgb[:] = col("frost")
    fl.a = np.clip(0.25 * kit.radial(kit.H, kit.W, DIAL[0], DIAL[1], 800, 0.8) + glow * 0.5 + rays * 0.6, 0, 1)
    room.obj("tower_flash", "flash", fl, 9, crop=False)
    room.exit_down("tower_exit")
    room.write()
    return room


if __name__ == "__main__":
    build()
