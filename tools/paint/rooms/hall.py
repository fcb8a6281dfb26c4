"""Room 2: the entrance hall."""
import math

import numpy as np

import interior
import kit
import props
from kit import Layer, col
from scene import Room

LAMP = (430, 96)
LIGHT = (-0.25, -0.8, 0.55)  # hanging lamp, above and left of centre
BOX = interior.Box(185, 55, 790, 560)


def walls(cv, seed):
    b = BOX
    lay = Layer(kit.W, kit.H)
    paper = interior.wallpaper(kit.H, kit.W, seed, "#3a2d4a", "#4e3f62")
    lay.paint(kit.poly(b.back()), paper)
    lay.paint(kit.poly(b.left()), paper * 0.8)
    lay.paint(kit.poly(b.right()), paper * 0.75)
    ceil = kit.wood(kit.H, kit.W, seed + 1, "#3a2616", "#24170d", angle=0, freq=0.05)
    lay.paint(kit.poly(b.ceiling()), ceil * 0.7)
    # ceiling beams running to the back
    for i in range(5):
        u = (i + 0.5) / 5
        xb = b.x0 + (b.x1 - b.x0) * u
        xf = kit.W * u
        beam = kit.poly([(xf - 26, 0), (xf + 26, 0), (xb + 9, b.y0), (xb - 9, b.y0)])
        props.solid(beam, "#4a301b", LIGHT, 6, amb=0.5, lay=lay)
    lay.paint(kit.poly(b.floor()), interior.boards(kit.H, kit.W, seed + 2, b, "#5a3a22"))
    # wainscot: back wall and left wall
    wy = b.y0 + (b.y1 - b.y0) * 0.72
    interior.wainscot(lay, [(b.x0, wy), (b.x1, wy), (b.x1, b.y1), (b.x0, b.y1)], seed + 3)
    for x in np.arange(b.x0 + 10, b.x1 - 40, 62):
        pm = kit.rect(x + 6, wy + 14, x + 52, b.y1 - 14)
        props.solid(pm, "#5e3d24", (0.3, 0.8, 0.5), 3, amb=0.8, lay=lay, strength=0.5)
    rail = kit.rect(b.x0, wy - 6, b.x1, wy + 4)
    props.solid(rail, "#6a452a", LIGHT, 2, lay=lay)
    p0, p1, p2, p3 = b.left_at(0, 0.72), b.left_at(1, 0.72), b.left_at(1, 1), b.left_at(0, 1)
    interior.wainscot(lay, [p0, p1, p2, p3], seed + 4)
    lay.paint(kit.line([p0, p1], 8), "#6a452a")
    skirting = kit.poly([(b.x0, b.y1 - 10), (b.x1, b.y1 - 10), (b.x1, b.y1), (b.x0, b.y1)])
    lay.paint(skirting, "#2d1d10")
    kit.over_layer(cv, lay)


def rug(cv, seed):
    """A patterned rug in perspective: wine field, brass border, a medallion."""
    lay = Layer(kit.W, kit.H)
    y0, y1 = 590, 740
    m = kit.poly([(330, y0), (700, y0), (820, y1), (210, y1)])
    xx, yy = lay.grid()
    t = np.clip((yy - y0) / (y1 - y0), 0, 1)
    left = 330 - 120 * t
    right = 700 + 120 * t
    u = (xx - left) / np.maximum(right - left, 1)
    v = t
    field = kit.tex_noise(kit.H, kit.W, "wine", "#6e2424", 4, seed)
    pat = np.clip((np.abs(np.sin(u * 30 + np.sin(v * 10) * 1.2) * np.sin(v * 16)) - 0.6) * 4, 0, 1)
    tex = field * (1 - pat[..., None] * 0.35) + kit.mix("teal", "night", 0.3) * pat[..., None] * 0.35
    border = ((u < 0.06) | (u > 0.94) | (v < 0.1) | (v > 0.9)).astype(np.float32)
    inner_b = ((np.abs(u - 0.075) < 0.008) | (np.abs(u - 0.925) < 0.008) | (np.abs(v - 0.12) < 0.012)
               | (np.abs(v - 0.88) < 0.012)).astype(np.float32)
    tex = tex * (1 - border[..., None]) + kit.mix("brass", "walnut", 0.45) * border[..., None]
    tex = tex * (1 - inner_b[..., None]) + col("#c29a5a") * inner_b[..., None]
    med = (u - 0.5) ** 2 / 0.03 + (v - 0.5) ** 2 / 0.07
    tex = np.where((med < 1)[..., None], tex * 0.4 + kit.mix("brass", "wine", 0.45) * 0.6, tex)
    tex = np.where((np.abs(med - 1) < 0.12)[..., None], col("#c29a5a"), tex)
    tex = np.where((med < 0.25)[..., None], kit.mix("slate", "night", 0.3), tex)
    lay.paint(m, tex)
    # fringe at the near and far ends
    for k in range(60):
        tt = k / 59
        x0 = 330 + 370 * tt
        lay.paint(kit.line([(x0, y0), (x0, y0 - 5)], 1.2), "parchment_shade", 0.8)
        x1 = 210 + 610 * tt
        lay.paint(kit.line([(x1, y1), (x1, y1 + 8)], 1.4), "parchment_shade", 0.8)
    kit.over_layer(cv, lay)


def stair_dressing(cv, seed):
    """A wine runner held by brass rods up the stairs, and the cup of tea Ysolde left on a step."""
    lay = Layer(kit.W, kit.H)
    n = 13
    for i in range(n):
        yb = 640 - i * 30
        xl = 780 + i * 6
        tread = kit.poly([(xl + 60, yb - 29), (xl + 150, yb - 31), (xl + 150, yb + 3), (xl + 60, yb - 1)])
        tex = kit.tex_noise(kit.H, kit.W, "wine", "#5e1e1e", 3, seed + i)
        lay.paint(tread, tex * (0.85 if i % 2 else 0.7))
        lay.paint(kit.line([(xl + 62, yb - 26), (xl + 148, yb - 28)], 1.2), "#c29a5a", 0.6)
        props.solid(kit.line([(xl + 54, yb - 27), (xl + 156, yb - 30)], 2.6), "brass", LIGHT, 1, specular=0.9, lay=lay)
    kit.over_layer(cv, lay)
    cup = Layer(kit.W, kit.H)
    import things
    things.teacup(cup, 930, 495, 0.9, 0.0, seed, LIGHT)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(cup.a, 0, 0), 4, 3, 2, 0.5))
    kit.over_layer(cv, cup)


def wall_pictures(cv, seed):
    """A seascape over the library door and a small barometer beside the clock."""
    lay = Layer(kit.W, kit.H)
    x0, y0, x1, y1 = 352, 132, 450, 214
    props.solid(kit.rect(x0, y0, x1, y1), "brass", LIGHT, 3, specular=0.6, lay=lay)
    sea = kit.vgrad(kit.H, kit.W, [(0, "#3a4a5a"), (0.12, "#6a7a88"), (0.2, "#3a4a56"), (0.3, "#24323c")])
    lay.paint(kit.rect(x0 + 8, y0 + 8, x1 - 8, y1 - 8), sea)
    lay.paint(kit.poly([(390, 186), (414, 186), (410, 192), (394, 192)]), "#1a1410")
    lay.paint(kit.poly([(402, 164), (402, 186), (412, 184)]), "#c8c0a8", 0.9)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(lay.a, 0, 0), 4, 6, 4, 0.5))
    kit.over_layer(cv, lay)


def lunette(cv, seed):
    """Half-moon window above the clock, with the storm outside."""
    cx, cy, r = 545, 128, 62
    lay = Layer(kit.W, kit.H)
    pts = kit.arc_pts(cx, cy, r, r, math.pi, 2 * math.pi, 40)
    glass = kit.poly(pts)
    sky = kit.storm_sky(kit.H, kit.W, seed, horizon=0.2)
    sky = sky * 0.9 + col("teal") * 0.1
    kit.rain(sky, seed + 1, 1400, 16, 0.35, 0.25)
    lay.paint(glass, sky)
    for a in np.linspace(math.pi, 2 * math.pi, 5)[1:-1]:
        lay.paint(kit.line([(cx, cy), (cx + r * math.cos(a), cy + r * math.sin(a))], 3), "#2a1c10")
    frame = kit.subtract(kit.poly(kit.arc_pts(cx, cy, r + 9, r + 9, math.pi, 2 * math.pi, 40)), glass)
    frame = kit.union(frame, kit.rect(cx - r - 9, cy - 2, cx + r + 9, cy + 6))
    props.solid(frame, "#6a452a", LIGHT, 3, lay=lay)
    kit.over_layer(cv, lay)


def door_frame(lay, x0, y0, x1, y1, seed, arch=False):
    fr = kit.rect(x0 - 12, y0 - 14, x1 + 12, y1)
    props.solid(fr, "#6a452a", LIGHT, 3, lay=lay, tex=kit.wood(lay.h, lay.w, seed, "#6a452a", angle=math.pi / 2))
    lay.paint(kit.rect(x0, y0, x1, y1), "#120b07")


def library_door(state, seed):
    lay = Layer(kit.W, kit.H)
    x0, y0, x1, y1 = 350, 262, 452, 556
    door_frame(lay, x0, y0, x1, y1, seed)
    if state == "closed":
        props.panel_door(lay, x0, y0, x1, y1, seed + 1, "#5a3a22", LIGHT, (2, 3))
        knob = kit.ellipse(x1 - 14, 420, 5, 5)
        props.solid(knob, "brass", LIGHT, 2, specular=0.9, lay=lay)
    else:
        # firelit room beyond, the door swung inwards
        g = kit.radial(kit.H, kit.W, 420, 470, 150, 1.2)
        inner = np.ones((kit.H, kit.W, 3), np.float32) * col("#2a160c")
        inner += g[..., None] * col("amber") * 0.7
        lay.paint(kit.rect(x0, y0, x1, y1), inner)
        books = kit.rect(x0 + 30, y0 + 40, x1, y1 - 60)
        lay.paint(books, "#3a1e12", 0.6)
        leaf = kit.poly([(x0, y0), (x0 + 26, y0 + 14), (x0 + 26, y1 - 6), (x0, y1)])
        props.solid(leaf, "#4a2f1b", LIGHT, 2, lay=lay)
    mask = kit.rect(x0 - 12, y0 - 14, x1 + 12, y1)
    return lay, mask


def workshop_door(state, seed):
    """Door on the left wall, drawn in perspective."""
    lay = Layer(kit.W, kit.H)
    b = BOX
    t0, t1 = 0.24, 0.8
    v0 = 0.36
    q = [b.left_at(t0, v0), b.left_at(t1, v0), b.left_at(t1, 1), b.left_at(t0, 1)]
    fq = [b.left_at(t0 - 0.06, v0 - 0.03), b.left_at(t1 + 0.05, v0 - 0.03), b.left_at(t1 + 0.05, 1), b.left_at(t0 - 0.06, 1)]
    props.solid(kit.poly(fq), "#6a452a", LIGHT, 3, lay=lay, tex=kit.wood(kit.H, kit.W, seed, "#6a452a", angle=math.pi / 2))
    if state == "closed":
        tex = kit.wood(kit.H, kit.W, seed + 1, "#5a3a22", "#3e2716", angle=math.pi / 2 + 0.1, freq=0.1)
        lay.paint(kit.poly(q), tex * 0.85)
        # two sunken panels in perspective
        for (a, c) in ((0.42, 0.62), (0.68, 0.94)):
            pq = [b.left_at(t0 + 0.1, a), b.left_at(t1 - 0.1, a), b.left_at(t1 - 0.1, c), b.left_at(t0 + 0.1, c)]
            pq = [(x, y + (q[0][1] - b.left_at(t0, 0)[1]) * 0) for x, y in pq]
            m = kit.poly([interp_q(q, u, v) for u, v in ((0.16, a), (0.84, a), (0.84, c), (0.16, c))])
            props.solid(m, "#4e321d", (0.6, 0.6, 0.5), 3, amb=0.75, lay=lay, strength=0.5)
        knob = kit.ellipse(*interp_q(q, 0.86, 0.58), 4, 5)
        props.solid(knob, "brass", LIGHT, 2, specular=0.9, lay=lay)
    else:
        inner = np.ones((kit.H, kit.W, 3), np.float32) * col("#1a120c")
        g = kit.radial(kit.H, kit.W, 90, 500, 130, 1.3)
        inner += g[..., None] * col("#9fd08a") * 0.25 + g[..., None] * col("amber") * 0.2
        lay.paint(kit.poly(q), inner)
        leaf = kit.poly([q[1], interp_q(q, 1.25, 0.02), interp_q(q, 1.25, 0.98), q[2]])
        props.solid(leaf, "#4a2f1b", LIGHT, 2, lay=lay)
    return lay, kit.poly(fq)


def interp_q(q, u, v):
    """Bilinear point in a quad (top-left, top-right, bottom-right, bottom-left)."""
    tl, tr, br, bl = q
    top = (tl[0] + (tr[0] - tl[0]) * u, tl[1] + (tr[1] - tl[1]) * u)
    bot = (bl[0] + (br[0] - bl[0]) * u, bl[1] + (br[1] - bl[1]) * u)
    return (top[0] + (bot[0] - top[0]) * v, top[1] + (bot[1] - top[1]) * v)


def conservatory_door(state, seed):
    lay = Layer(kit.W, kit.H)
    x0, y0, x1, y1 = 628, 250, 720, 556
    door_frame(lay, x0, y0, x1, y1, seed)
    # the snowy glass room beyond (seen through the panes or the opening)
    yy, xx = np.mgrid[0:kit.H, 0:kit.W].astype(np.float32)
    beyond = kit.vgrad(kit.H, kit.W, [(0, "#8fa9bd"), (0.5, "#5b7890"), (1, "#2d3f52")])
    n = kit.noise(kit.H, kit.W, 12, seed + 5, 3)
    beyond = beyond * (0.85 + 0.25 * n[..., None])
    leaves = Layer(kit.W, kit.H)
    props.foliage(leaves, 660, 470, 40, 60, seed + 6, "#2e4a3a", (0.3, -0.9, 0.5), n=90, leaf=(4, 9))
    props.foliage(leaves, 700, 360, 30, 40, seed + 7, "#2e4a3a", (0.3, -0.9, 0.5), n=60, leaf=(4, 9))
    kit.over_layer(beyond, leaves)
    if state == "closed":
        frame = kit.rect(x0, y0, x1, y1)
        props.solid(frame, "#5a3a22", LIGHT, 2, lay=lay, tex=kit.wood(kit.H, kit.W, seed + 2, "#5a3a22", angle=math.pi / 2))
        for i in range(2):
            for j in range(4):
                px0 = x0 + 10 + i * 38
                py0 = y0 + 12 + j * 62
                pane = kit.rect(px0, py0, px0 + 32, py0 + 54)
                fr = kit.noise(kit.H, kit.W, 5, seed + 8 + i * 4 + j, 3)
                frost = np.clip((fr - 0.35) * 1.5, 0, 1) * np.clip(((py0 + 54) - yy) / 70 * 0 + (xx - px0) * 0 + 1, 0, 1)
                g = beyond * (1 - 0.55 * frost[..., None]) + col("frost") * 0.55 * frost[..., None]
                lay.paint(pane, g)
        low = kit.rect(x0 + 10, y0 + 262, x1 - 10, y1 - 10)
        props.solid(low, "#4e321d", (0.5, 0.7, 0.5), 3, amb=0.75, lay=lay)
        knob = kit.ellipse(x1 - 13, 420, 5, 5)
        props.solid(knob, "brass", LIGHT, 2, specular=0.9, lay=lay)
    else:
        lay.paint(kit.rect(x0, y0, x1, y1), beyond)
        leaf = kit.poly([(x1, y0), (x1 + 30, y0 - 8), (x1 + 30, y1 + 6), (x1, y1)])
        props.solid(leaf, "#5a3a22", LIGHT, 2, lay=lay)
        for j in range(4):
            py0 = y0 + 10 + j * 62
            lay.paint(kit.poly([(x1 + 6, py0), (x1 + 24, py0 - 5), (x1 + 24, py0 + 48), (x1 + 6, py0 + 52)]),
                      "#8fb0c8", 0.8)
    mask = kit.rect(x0 - 12, y0 - 14, x1 + 12 + (30 if state == "open" else 0), y1 + 6)
    return lay, mask


def clock(seed):
    lay = Layer(kit.W, kit.H)
    cx = 545
    tex = kit.wood(kit.H, kit.W, seed, "mahogany", "#4a2218", angle=math.pi / 2, freq=0.13)
    hood = kit.poly([(cx - 42, 262), (cx + 42, 262), (cx + 42, 180), (cx + 30, 166), (cx, 158), (cx - 30, 166), (cx - 42, 180)])
    trunk = kit.rect(cx - 32, 262, cx + 32, 470)
    base = kit.rect(cx - 40, 470, cx + 40, 552)
    for m in (trunk, base, hood):
        props.solid(m, "mahogany", LIGHT, 5, amb=0.5, lay=lay, tex=tex, specular=0.15)
    cap = kit.rect(cx - 46, 258, cx + 46, 268)
    props.solid(cap, "#6a2f20", LIGHT, 2, lay=lay)
    plinth = kit.rect(cx - 46, 546, cx + 46, 556)
    props.solid(plinth, "#4a2218", LIGHT, 2, lay=lay)
    d = props.dial(cx, 215, 31, seed + 1, 11, 58, light=LIGHT, tide=False)
    kit.over_layer(lay.rgb, d) if False else None
    lay_d = d
    # paint dial into lay
    m = kit.crop_mask(kit.Mask(lay_d.a, lay_d.x0, lay_d.y0), 0, 0, kit.W, kit.H)
    rgb = np.zeros((kit.H, kit.W, 3), np.float32)
    rgb[lay_d.y0:lay_d.y0 + lay_d.h, lay_d.x0:lay_d.x0 + lay_d.w] = lay_d.rgb
    lay.paint(m, rgb)
    # trunk window with the still pendulum
    win = kit.rrect(cx - 18, 290, cx + 18, 450, 14)
    lay.paint(win, "#1c110b")
    rod = kit.line([(cx, 292), (cx, 410)], 2.5)
    props.solid(rod, "brass", LIGHT, 1, specular=0.6, lay=lay)
    bob = kit.ellipse(cx, 416, 13, 13)
    props.solid(bob, "brass", LIGHT, 4, specular=0.9, shin=10, lay=lay)
    glass = kit.rrect(cx - 18, 290, cx + 18, 450, 14)
    xx, yy = lay.grid()
    streak = np.clip(1 - np.abs((xx - cx + 8) + (yy - 370) * 0.3) / 5, 0, 1) * 0.25
    lay.glow(streak * lay.local(glass), "frost")
    finial = kit.ellipse(cx, 152, 6, 6)
    props.solid(finial, "brass", LIGHT, 2, specular=0.9, lay=lay)
    return lay


def cabinet(seed):
    lay = Layer(kit.W, kit.H)
    x0, y0, x1, y1 = 216, 228, 308, 540
    tex = kit.wood(kit.H, kit.W, seed, "walnut", angle=math.pi / 2, freq=0.12)
    body = kit.rect(x0, y0, x1, y1)
    props.solid(body, "walnut", LIGHT, 4, amb=0.55, lay=lay, tex=tex)
    crown = kit.poly([(x0 - 8, y0), (x1 + 8, y0), (x1 + 4, y0 - 14), (x0 - 4, y0 - 14)])
    props.solid(crown, "#6a452a", LIGHT, 2, lay=lay)
    gl = kit.rect(x0 + 8, y0 + 10, x1 - 8, y0 + 230)
    lay.paint(gl, "#21160f")
    rng = np.random.default_rng(seed)
    for j, sy in enumerate((y0 + 80, y0 + 155, y0 + 228)):
        lay.paint(kit.rect(x0 + 8, sy - 3, x1 - 8, sy + 1), "#6a452a")
        xs = x0 + 14
        while xs < x1 - 20:
            w = 8 + rng.random() * 14
            h = 14 + rng.random() * 40
            kind = rng.integers(3)
            if kind == 0:
                m = kit.ellipse(xs + w / 2, sy - 3 - w / 2, w / 2, w / 2)
                props.solid(m, "brass", LIGHT, 2, specular=0.6, lay=lay)
            elif kind == 1:
                m = kit.rrect(xs, sy - 3 - h, xs + w, sy - 3, 3)
                props.solid(m, kit.mix("frost", "teal", 0.5), LIGHT, 3, amb=0.5, specular=0.6, lay=lay)
            else:
                m = kit.ellipse(xs + w / 2, sy - 3 - h * 0.25, w / 2 + 2, h * 0.25)
                props.solid(m, "parchment", LIGHT, 3, amb=0.5, lay=lay)
            xs += w + 3
    xx, yy = lay.grid()
    refl = np.clip(1 - np.abs((xx - x0 - 30) + (yy - y0) * 0.35 - 10) / 12, 0, 1) * lay.local(gl) * 0.22
    lay.glow(refl, "frost")
    lay.paint(kit.line([((x0 + x1) / 2, y0 + 10), ((x0 + x1) / 2, y0 + 230)], 3), "#5a3a22")
    plate = kit.rrect((x0 + x1) / 2 - 6, y0 + 120, (x0 + x1) / 2 + 6, y0 + 140, 2)
    props.solid(plate, "brass", LIGHT, 1.5, specular=0.9, lay=lay)
    for dy in (y0 + 250, y0 + 282):
        dr = kit.rect(x0 + 8, dy, x1 - 8, dy + 26)
        props.solid(dr, "#5e3d24", LIGHT, 2, amb=0.7, lay=lay)
        props.solid(kit.ellipse((x0 + x1) / 2, dy + 13, 4, 4), "brass", LIGHT, 1.5, specular=0.9, lay=lay)
    return lay


def stairs(cv, seed):
    lay = Layer(kit.W, kit.H)
    tex = kit.wood(kit.H, kit.W, seed, "walnut", angle=0, freq=0.06)
    n = 13
    for i in range(n):
        t = i / (n - 1)
        yb = 640 - i * 30
        xl = 780 + i * 6
        tread = kit.poly([(xl - 8, yb - 30), (1024, yb - 36), (1024, yb - 30), (xl - 8, yb - 24)])
        riser = kit.poly([(xl - 8, yb - 24), (1024, yb - 30), (1024, yb + 6), (xl - 8, yb)])
        lay.paint(riser, tex * 0.5)
        lay.paint(tread, tex * 1.1)
        lay.paint(kit.line([(xl - 8, yb - 29), (1024, yb - 35)], 2.2), "#a2724a", 0.8)
    # landing and its wall
    landing = kit.poly([(850, 256), (1024, 250), (1024, 270), (850, 272)])
    props.solid(landing, "#6a452a", LIGHT, 2, lay=lay)
    # stringer along the open side
    string = kit.poly([(770, 660), (790, 660), (862, 270), (846, 262)])
    props.solid(string, "#4a301b", LIGHT, 3, lay=lay, tex=tex)
    # banister with balusters
    rail_pts = [(770, 470), (858, 124)]
    for i in range(14):
        t = (i + 0.5) / 14
        x = 774 + (856 - 774) * t
        yb = 650 - (650 - 268) * t
        yt = 470 - (470 - 124) * t
        bal = kit.line([(x, yb), (x, yt)], 3)
        props.solid(bal, "#5e3d24", LIGHT, 1, lay=lay)
    rail = kit.line(rail_pts, 9)
    props.solid(rail, "#6a3a24", LIGHT, 3, specular=0.3, lay=lay)
    newel = kit.rect(760, 452, 782, 664)
    props.solid(newel, "#5e3d24", LIGHT, 4, lay=lay, tex=tex)
    cap = kit.ellipse(771, 448, 15, 10)
    props.solid(cap, "#6a3a24", LIGHT, 4, specular=0.4, lay=lay)
    kit.over_layer(cv, lay)


def tower_door(state, seed):
    lay = Layer(kit.W, kit.H)
    q = [(872, 100), (942, 86), (942, 252), (872, 250)]
    fr = kit.poly([(862, 90), (952, 72), (952, 256), (862, 254)])
    props.solid(fr, "#4a4440", LIGHT, 3, lay=lay, tex=kit.stone_tex(kit.H, kit.W, seed, "#6a6560", "#45403c"))
    if state == "closed":
        tex = kit.wood(kit.H, kit.W, seed + 1, "#4a2f1b", angle=math.pi / 2 - 0.1, freq=0.15)
        lay.paint(kit.poly(q), tex)
        for v in (0.2, 0.5, 0.8):
            a, b2 = interp_q(q, 0.02, v), interp_q(q, 0.98, v)
            props.solid(kit.line([a, b2], 6), "#2a2624", LIGHT, 2, specular=0.4, lay=lay)
            for u in (0.1, 0.5, 0.9):
                props.solid(kit.ellipse(*interp_q(q, u, v), 2.5, 2.5), "#5a5450", LIGHT, 1, specular=0.6, lay=lay)
        # the winding lock with its square socket
        lc = interp_q(q, 0.5, 0.6)
        lk = kit.ellipse(lc[0], lc[1], 15, 17)
        props.solid(lk, "brass", LIGHT, 4, specular=0.8, lay=lay)
        lay.paint(kit.rect(lc[0] - 4, lc[1] - 4, lc[0] + 4, lc[1] + 4), "#120c06")
    else:
        g = np.ones((kit.H, kit.W, 3), np.float32) * col("#0d1018")
        gl = kit.radial(kit.H, kit.W, 905, 150, 90, 1.5)
        g += gl[..., None] * col("frost") * 0.25
        lay.paint(kit.poly(q), g)
        steps = [kit.poly([(880, 250 - i * 22), (935, 248 - i * 22), (935, 240 - i * 22), (880, 242 - i * 22)]) for i in range(6)]
        for s in steps:
            lay.paint(s, "#2a2e38")
        leaf = kit.poly([(942, 86), (990, 60), (990, 262), (942, 252)])
        props.solid(leaf, "#4a2f1b", LIGHT, 2, lay=lay, tex=kit.wood(kit.H, kit.W, seed + 2, "#4a2f1b", angle=1.4))
    return lay, kit.poly([(862, 90), (952, 72), (952, 256), (862, 254)]) if state == "closed" else \
        kit.poly([(862, 60), (992, 56), (992, 264), (862, 256)])


def lamp_layer(seed):
    lay = Layer(kit.W, kit.H)
    x, y = LAMP
    lay.paint(kit.line([(x, 0), (x, y - 30)], 2.5), "#2a2016")
    crown = kit.poly([(x - 20, y - 28), (x + 20, y - 28), (x + 8, y - 38), (x - 8, y - 38)])
    props.solid(crown, "brass", LIGHT, 2, specular=0.8, lay=lay)
    globe = kit.ellipse(x, y - 8, 22, 22)
    lay.paint(globe, "#fff0c8")
    props.flame(lay, x, y - 2, 14)
    rim = kit.ellipse(x, y + 14, 14, 4)
    props.solid(rim, "brass", LIGHT, 2, specular=0.8, lay=lay)
    return lay


def scarf(seed):
    lay = Layer(kit.W, kit.H)
    pts = [(760, 452), (784, 450), (792, 470), (788, 540), (778, 548), (774, 478), (766, 478), (764, 520),
           (754, 526), (752, 468)]
    m = kit.poly(pts)
    tex = kit.tex_noise(kit.H, kit.W, "wine", "#6a1f1f", 3, seed)
    xx, yy = lay.grid()
    stripes = (np.mod(yy, 14) < 4)[..., None]
    tex = np.where(stripes, tex * 0.6 + col("parchment") * 0.3, tex)
    props.solid(m, "wine", LIGHT, 5, amb=0.5, lay=lay, tex=tex)
    for x in (782, 758):
        for k in range(4):
            lay.paint(kit.line([(x - 4 + k * 3, 540 if x > 770 else 520), (x - 5 + k * 3, 552 if x > 770 else 532)], 1.2), "#8c3f3f")
    return lay


def build():
    room = Room("hall")
    seed = 202

    def paint(doors):
        cv = kit.backdrop("night")
        walls(cv, seed)
        lunette(cv, seed + 1)
        rug(cv, seed + 2)
        stairs(cv, seed + 3)
        stair_dressing(cv, seed + 11)
        wall_pictures(cv, seed + 12)
        masks = {}
        parts = {
            "workshop": workshop_door(doors.get("workshop", "closed"), seed + 4),
            "library": library_door(doors.get("library", "closed"), seed + 5),
            "conservatory": conservatory_door(doors.get("conservatory", "closed"), seed + 6),
            "tower": tower_door(doors.get("tower", "closed"), seed + 7),
        }
        for k, (lay, mk) in parts.items():
            kit.over_layer(cv, lay)
            masks[k] = mk
        cl = clock(seed + 8)
        kit.over_layer(cv, kit.shadow_layer(kit.Mask(cl.a, 0, 0), 6, 4, 6, 0.45))
        kit.over_layer(cv, cl)
        masks["clock"] = kit.Mask(cl.a, 0, 0)
        cb = cabinet(seed + 9)
        kit.over_layer(cv, kit.shadow_layer(kit.Mask(cb.a, 0, 0), 6, 4, 6, 0.45))
        kit.over_layer(cv, cb)
        masks["cabinet"] = kit.Mask(cb.a, 0, 0)
        sc = scarf(seed + 10)
        kit.over_layer(cv, sc)
        masks["scarf"] = kit.Mask(sc.a, 0, 0)
        kit.over_layer(cv, lamp_layer(seed))
        sconce = Layer(kit.W, kit.H)
        props.solid(kit.rect(962, 186, 972, 206), "brass", LIGHT, 2, specular=0.8, lay=sconce)
        props.flame(sconce, 967, 182, 12)
        kit.over_layer(cv, sconce)
        for (x0, x1, y) in ((210, 316, 544), (496, 596, 556), (340, 462, 558), (620, 728, 558)):
            kit.contact_shadow(cv, x0, x1, y, 10, 0.55, 5)
        # light: a warm lamp pool, cold light from the glass door and the moon through the lunette, dark corners
        cv *= 0.46
        beam = interior.beam_light(kit.H, kit.W, [(488, 128), (602, 128), (700, 600), (420, 600)], 30, 0.22)
        cv += beam[..., None] * col("frost") * 0.09
        kit.lamp(cv, LAMP[0], LAMP[1] + 60, 720, "amber", 0.75, 1.3)
        kit.lamp(cv, LAMP[0], LAMP[1], 200, "candle", 0.5, 2)
        kit.lamp(cv, 960, 190, 260, "amber", 0.7, 1.6)
        spill = interior.beam_light(kit.H, kit.W, [(630, 556), (720, 556), (860, 700), (600, 700)], 25, 0.35)
        spill += kit.radial(kit.H, kit.W, 674, 400, 150, 1.5) * 0.25
        cv += spill[..., None] * col("frost") * 0.35 * cv.mean(axis=2, keepdims=True) * 3
        kit.bloom(cv, 0.7, 12, 0.45)
        cv = kit.finish(cv, seed, vignette=0.55)
        return cv, masks

    cv, m = paint({})
    room.back(cv)
    for k in ("workshop", "library", "conservatory", "tower"):
        room.cut(cv, m[k], "hall_door_%s" % k if k in ("workshop", "library") else "hall_door_%s" % k,
                 "door_%s_closed" % k, 2)
    room.cut(cv, m["cabinet"], "hall_cabinet", "cabinet", 2)
    room.cut(cv, m["clock"], "hall_clock", "clock", 2)
    room.cut(cv, m["scarf"], "hall_scarf", "scarf", 3)
    room.obj("hall_door_conservatory_glow", "door_conservatory_glow", props.outline_glow(m["conservatory"], "amber", 6), 4)
    room.obj("hall_door_tower_glow", "door_tower_glow", props.outline_glow(m["tower"], "amber", 6), 4)
    cv, m = paint({"workshop": "open", "library": "open", "conservatory": "open", "tower": "open"})
    for k in ("workshop", "library", "conservatory", "tower"):
        room.cut(cv, m[k], "hall_door_%s_open" % k, "door_%s_open" % k, 2)
    room.exit_down("hall_exit")
    room.write()
    return room


if __name__ == "__main__":
    build()
