"""Room 5: the library - fire, bookcases, Ysolde's portrait over the mantel, the desk and the wing chair."""
import numpy as np

import interior
import kit
import portrait
import props
import things
from kit import Layer, col
from scene import Room

SEED = 505
BOX = interior.Box(186, 48, 838, 522)
FIRE = (512, 500)
L = (-0.1, 0.5, 0.6)        # firelight from low in the middle
L_DESK = (0.4, -0.8, 0.5)   # the desk lamp, above the desk at the left
PORTRAIT = (512, 178, 150, 190)


def shell(cv, seed):
    b = BOX
    lay = Layer(kit.W, kit.H)
    paper = interior.wallpaper(kit.H, kit.W, seed, "#4a2222", "#6a3030", step=38)
    lay.paint(kit.poly(b.back()), paper)
    lay.paint(kit.poly(b.left()), paper * 0.62)
    lay.paint(kit.poly(b.right()), paper * 0.55)
    ceil = kit.wood(kit.H, kit.W, seed + 1, "#3a2616", "#24170d", angle=0, freq=0.05)
    lay.paint(kit.poly(b.ceiling()), ceil * 0.55)
    # coffered ceiling: beams across and along
    for i in range(5):
        u = (i + 0.5) / 5
        xb = b.x0 + (b.x1 - b.x0) * u
        xf = kit.W * u
        props.solid(kit.poly([(xf - 22, -4), (xf + 22, -4), (xb + 8, b.y0), (xb - 8, b.y0)]), "#4a301b", L, 5, amb=0.5, lay=lay)
    props.solid(kit.rect(b.x0 - 6, b.y0 - 10, b.x1 + 6, b.y0 + 4), "#5a3a22", L, 3, lay=lay)
    lay.paint(kit.poly(b.floor()), interior.boards(kit.H, kit.W, seed + 2, b, "#5a3422", n=14))
    # dado on the back and side walls
    wy = b.y0 + (b.y1 - b.y0) * 0.72
    interior.wainscot(lay, [(b.x0, wy), (b.x1, wy), (b.x1, b.y1), (b.x0, b.y1)], seed + 3, "#4a2a1a")
    props.solid(kit.rect(b.x0, wy - 7, b.x1, wy + 3), "#6a3a22", L, 2, lay=lay)
    for side in (0, 1):
        f = b.left_at if side == 0 else b.right_at
        q = [f(0, 0.72), f(1, 0.72), f(1, 1), f(0, 1)]
        interior.wainscot(lay, q, seed + 4 + side, "#3e2416")
        lay.paint(kit.line([q[0], q[1]], 8), "#5a3422")
    kit.over_layer(cv, lay)


def side_paintings(cv, seed):
    """Dark seascapes in gilt frames on the side walls, in perspective."""
    lay = Layer(kit.W, kit.H)
    for side, (t0, t1) in ((0, (0.35, 0.75)), (1, (0.35, 0.75))):
        f = BOX.left_at if side == 0 else BOX.right_at
        q = [f(t0, 0.2), f(t1, 0.2), f(t1, 0.48), f(t0, 0.48)]
        if side == 1:
            q = [q[1], q[0], q[3], q[2]]
        outer = kit.poly(q)
        props.solid(outer, "brass", L, 3, specular=0.6, lay=lay)
        cx = sum(p[0] for p in q) / 4
        cy = sum(p[1] for p in q) / 4
        inner = [(cx + (p[0] - cx) * 0.82, cy + (p[1] - cy) * 0.82) for p in q]
        sea = kit.vgrad(kit.H, kit.W, [(0, "#2a3440"), (0.3, "#4a5a66"), (0.5, "#2a3a44"), (1, "#1a2228")])
        lay.paint(kit.poly(inner), sea)
        ship = kit.poly([(cx - 10, cy + 8), (cx + 12, cy + 8), (cx + 8, cy + 12), (cx - 6, cy + 12)])
        lay.paint(ship, "#1a1410")
        lay.paint(kit.poly([(cx, cy - 12), (cx, cy + 8), (cx + 9, cy + 6)]), "#c8c0a8", 0.8)
    kit.over_layer(cv, lay)


def bookcase(lay, x0, x1, y0, y1, seed, light=L, shelves=5):
    """A tall bookcase crowded with books, a few lying flat, and curios; returns its mask."""
    rng = np.random.default_rng(seed)
    body = kit.rect(x0, y0, x1, y1)
    props.solid(body, "#3a2414", light, 6, amb=0.6, lay=lay, tex=kit.wood(kit.H, kit.W, seed, "#4a2f1b", angle=1.5))
    lay.paint(kit.rect(x0 + 12, y0 + 26, x1 - 12, y1 - 20), "#160d07")
    cornice = kit.rect(x0 - 10, y0 - 4, x1 + 10, y0 + 24)
    props.solid(cornice, "#5a3a22", light, 4, lay=lay, tex=kit.wood(kit.H, kit.W, seed + 1, "#5a3a22", angle=0))
    plinth = kit.rect(x0 - 6, y1 - 22, x1 + 6, y1)
    props.solid(plinth, "#4a2f1b", light, 3, lay=lay)
    step = (y1 - 22 - (y0 + 26)) / shelves
    for j in range(shelves):
        yb = y0 + 26 + step * (j + 1)
        xs = x0 + 14
        segs = []
        # leave room for a stack lying flat or a curio now and then
        while xs < x1 - 14:
            run = rng.integers(40, 110)
            segs.append((xs, min(x1 - 14, xs + run), "books"))
            xs += run
            if xs < x1 - 50 and rng.random() < 0.55:
                w = rng.integers(26, 42)
                segs.append((xs, xs + w, "stack" if rng.random() < 0.6 else "curio"))
                xs += w
        for a, b, kind in segs:
            if kind == "books":
                props.books_row(lay, a, b, yb - 1, int(step * 0.6), int(step * 0.92), int(rng.integers(1 << 30)), light=light,
                                gaps=0.0, wmin=6, wmax=13)
            elif kind == "stack":
                y = yb - 1
                for k in range(rng.integers(2, 5)):
                    hgt = rng.integers(5, 9)
                    c = ["wine", "moss", "#6b4a2b", "teal", "walnut", "dusk"][rng.integers(6)]
                    m = kit.rect(a + rng.integers(0, 4), y - hgt, b - rng.integers(0, 4), y)
                    props.solid(m, c, light, 2, amb=0.5, lay=lay)
                    lay.paint(kit.rect(b - 5, y - hgt + 1, b - 2, y - 1), "parchment", 0.7)
                    y -= hgt
            else:
                c = rng.integers(3)
                cx = (a + b) / 2
                if c == 0:
                    props.solid(kit.ellipse(cx, yb - 14, 12, 12), "#e6c9b0", light, 4, lay=lay)
                elif c == 1:
                    props.solid(kit.rrect(cx - 9, yb - 30, cx + 9, yb - 1, 4), kit.mix("frost", "teal", 0.4), light, 3,
                                amb=0.4, specular=0.9, lay=lay)
                else:
                    props.solid(kit.ellipse(cx, yb - 16, 13, 13), "moss", light, 5, specular=0.3, lay=lay)
                    props.solid(kit.rect(cx - 2, yb - 5, cx + 2, yb - 1), "brass", light, 1, lay=lay)
        sh = kit.rect(x0 + 8, yb, x1 - 8, yb + 9)
        props.solid(sh, "#5a3a22", light, 2, lay=lay)
    return body


def fireplace(cv, seed):
    lay = Layer(kit.W, kit.H)
    x0, x1, y0, y1 = 408, 616, 296, 522
    stone = kit.stone_tex(kit.H, kit.W, seed, "#8a8278", "#4a4540")
    surround = kit.rect(x0, y0, x1, y1)
    props.solid(surround, "#7a746c", L, 6, amb=0.55, lay=lay, tex=stone)
    # carved uprights and the mantel shelf
    for x in (x0 + 4, x1 - 28):
        props.solid(kit.rect(x, y0 + 20, x + 24, y1), "#8a8278", L, 4, amb=0.55, lay=lay, tex=stone * 1.05)
    mantel = kit.rect(x0 - 24, y0 - 8, x1 + 24, y0 + 14)
    props.solid(mantel, "#5a3a22", L, 4, lay=lay, tex=kit.wood(kit.H, kit.W, seed + 1, "#5a3a22", angle=0))
    box = kit.rrect(x0 + 40, y0 + 70, x1 - 40, y1 + 20, 40)
    lay.paint(box, kit.vgrad(kit.H, kit.W, [(0, "#0a0604"), (0.6, "#1a0c06"), (1, "#2a1208")]))
    # soot above the opening, glowing brick at the back
    lay.paint(kit.ellipse((x0 + x1) / 2, y0 + 74, 60, 16), "#1a120c", 0.5, cover=False)
    # logs, andirons, the fire itself
    for k, (a, b) in enumerate((((460, 508), (560, 500)), ((476, 498), (548, 510)))):
        props.solid(kit.line([a, b], 12), "#3a2216", L, 4, lay=lay, tex=kit.wood(kit.H, kit.W, seed + 2 + k, "#4a2a18", angle=0))
    for x in (456, 568):
        props.solid(kit.rect(x - 4, 486, x + 4, 518), "#1a1a1e", L, 2, specular=0.5, lay=lay)
        props.solid(kit.ellipse(x, 484, 6, 6), "brass", L, 2, specular=0.9, lay=lay)
    for k, (x, h) in enumerate(((486, 36), (502, 52), (516, 62), (530, 46), (544, 32))):
        props.flame(lay, x, 504, h * 0.8, k=0.35)
    embers = kit.ellipse(512, 512, 56, 7)
    lay.paint(embers, "#ff8a3a", 0.8)
    fender = kit.subtract(kit.rrect(x0 + 20, y1 - 12, x1 - 20, y1 + 6, 4), kit.rrect(x0 + 24, y1 - 8, x1 - 24, y1 + 2, 3))
    props.solid(fender, "brass", L, 1.5, specular=0.9, lay=lay)
    # on the mantel: a stopped clock, candlesticks, a ship in a bottle
    for x in (428, 596):
        things.candlestick(lay, x, y0 - 34, 0.9, 0.0, seed + x, L_DESK)
    bottle = kit.union(kit.rrect(550, y0 - 26, 586, y0 - 10, 7), kit.rect(584, y0 - 21, 594, y0 - 15))
    props.solid(bottle, kit.mix("frost", "teal", 0.4), L_DESK, 3, amb=0.4, specular=0.9, lay=lay)
    lay.paint(kit.poly([(556, y0 - 14), (578, y0 - 14), (574, y0 - 24), (566, y0 - 24)]), "#e8e0d0", 0.8)
    props.solid(kit.rrect(440, y0 - 22, 470, y0 - 8, 3), "#6b4a2b", L_DESK, 2, lay=lay)
    return lay


def desk(seed):
    """The writing desk at the front left (its own picture: opens the close-up)."""
    lay = Layer(kit.W, kit.H)
    top = kit.poly([(96, 438), (392, 438), (414, 468), (72, 468)])
    props.solid(top, "mahogany", L_DESK, 4, lay=lay, tex=kit.wood(kit.H, kit.W, seed, "#7a3b2a", "#4a2218", angle=0, freq=0.06))
    body = kit.rect(84, 468, 402, 594)
    props.solid(body, "#5a2a1c", L_DESK, 4, lay=lay, tex=kit.wood(kit.H, kit.W, seed + 1, "#6a3222", angle=0))
    for (a, b) in ((96, 226), (258, 390)):
        props.solid(kit.rect(a, 482, b, 520), "#6a3222", L_DESK, 3, amb=0.6, lay=lay)
        props.solid(kit.rrect((a + b) / 2 - 12, 496, (a + b) / 2 + 12, 504, 3), "brass", L_DESK, 1.5, specular=0.9, lay=lay)
    props.solid(kit.rect(230, 482, 254, 594), "#4a2218", L_DESK, 2, lay=lay)
    # the banker's lamp, papers, the inkwell and quill, a candle, books
    props.solid(kit.rect(150, 424, 158, 440), "brass", L_DESK, 1.5, specular=0.8, lay=lay)
    props.solid(kit.ellipse(154, 440, 20, 5), "brass", L_DESK, 2, specular=0.8, lay=lay)
    shade = kit.poly([(122, 424), (186, 424), (178, 404), (130, 404)])
    props.solid(shade, "moss", L_DESK, 4, specular=0.6, lay=lay)
    lay.paint(kit.ellipse(154, 424, 32, 4), "#fff2c8")
    for k in range(3):
        things.paper(lay, 250 + k * 26, 452 + (k % 2) * 3, 0.5, -0.3 + k * 0.3, seed + 10 + k, L_DESK)
    props.solid(kit.ellipse(350, 446, 12, 8), "#1a1a22", L_DESK, 3, specular=0.9, lay=lay)
    things.quill(lay, 362, 430, 0.7, -1.1, seed + 20, L_DESK)
    for k, c in enumerate(("wine", "moss", "teal")):
        props.solid(kit.rect(196 + k * 2, 444 - k * 8, 236 + k * 2, 452 - k * 8), c, L_DESK, 2, amb=0.5, lay=lay)
    return lay, kit.Mask(lay.a, 0, 0)


def chair(seed):
    """The wing chair at the front right with a blanket, a side table with a cup and an open book."""
    lay = Layer(kit.W, kit.H)
    vel = kit.tex_noise(kit.H, kit.W, "wine", kit.shade_of("wine", 0.7), 3, seed)
    back = kit.union(kit.rrect(700, 356, 846, 520, 34), kit.ellipse(720, 380, 34, 40), kit.ellipse(826, 380, 34, 40))
    props.solid(back, "wine", L, 16, amb=0.45, specular=0.15, lay=lay, tex=vel)
    seat = kit.rrect(690, 470, 858, 560, 22)
    props.solid(seat, "wine", L, 14, amb=0.45, lay=lay, tex=vel)
    for x in (672, 852):
        arm = kit.rrect(x - 22, 440, x + 22, 560, 20)
        props.solid(arm, "wine", L, 14, amb=0.45, lay=lay, tex=vel)
    for x in (692, 846):
        props.solid(kit.rect(x - 5, 560, x + 5, 600), "#3a2014", L, 2, lay=lay)
    # the blanket thrown over the arm and seat: moss and wine checks
    bl = kit.poly([(650, 440), (720, 452), (760, 500), (740, 580), (700, 600), (660, 560)])
    xx, yy = lay.grid()
    checks = kit.blur(((np.mod(xx + yy * 0.3, 16) < 8) ^ (np.mod(yy - xx * 0.2, 16) < 8)).astype(np.float32), 1.0)
    tex = col("moss")[None, None] * (1 - checks[..., None] * 0.6) + kit.mix("moss", "parchment_shade", 0.35) * checks[..., None] * 0.6
    stripe = kit.blur((np.abs(np.mod(xx + yy * 0.3, 48) - 24) < 1.5).astype(np.float32), 0.8)[..., None]
    tex = tex * (1 - stripe) + col("wine") * stripe
    props.solid(bl, "moss", L, 10, amb=0.5, lay=lay, tex=tex)
    # side table with a teacup and an open book
    props.solid(kit.ellipse(920, 470, 56, 14), "#5a3a22", L, 4, lay=lay, tex=kit.wood(kit.H, kit.W, seed + 1, "#6a452a", angle=0))
    props.solid(kit.rect(914, 480, 926, 590), "#3a2414", L, 2, lay=lay)
    things.teacup(lay, 900, 456, 0.9, 0.0, seed, L)
    book = kit.poly([(920, 466), (960, 460), (964, 468), (924, 474)])
    props.solid(book, "parchment", L, 2, amb=0.7, lay=lay)
    lay.paint(kit.line([(942, 463), (944, 471)], 1), "ink", 0.6)
    return lay, kit.Mask(lay.a, 0, 0)


def rug(cv, seed):
    lay = Layer(kit.W, kit.H)
    pts = [(300, 548), (724, 548), (820, 700), (204, 700)]
    m = kit.poly(pts)
    xx, yy = lay.grid()
    t = np.clip((yy - 548) / 152, 0, 1)
    left = 300 - 96 * t
    right = 724 + 96 * t
    u = (xx - left) / np.maximum(right - left, 1)
    v = t
    pat = np.clip((np.abs(np.sin(u * 28 + np.sin(v * 12) * 1.5) * np.sin(v * 18)) - 0.55) * 4, 0, 1)
    border = ((u < 0.07) | (u > 0.93) | (v < 0.1) | (v > 0.9)).astype(np.float32)
    tex = col("wine")[None, None] * (1 - pat[..., None] * 0.4) + col("teal") * pat[..., None] * 0.25
    tex = tex * (1 - border[..., None]) + kit.mix("brass", "walnut", 0.4) * border[..., None]
    med = ((u - 0.5) ** 2 / 0.04 + (v - 0.5) ** 2 / 0.09 < 1).astype(np.float32)
    tex = tex * (1 - med[..., None] * 0.6) + kit.mix("brass", "wine", 0.5) * med[..., None] * 0.6
    tex *= 0.85 + 0.3 * kit.noise(kit.H, kit.W, 3, seed, 2)[..., None]
    lay.paint(m, tex)
    kit.over_layer(cv, lay)


def build():
    room = Room("library")
    cv = kit.backdrop("night")
    shell(cv, SEED)
    side_paintings(cv, SEED + 1)
    rug(cv, SEED + 2)
    bc = Layer(kit.W, kit.H)
    bookcase(bc, 196, 398, 58, 530, SEED + 3)
    right_bc = bookcase(bc, 626, 828, 58, 530, SEED + 4)
    # a library ladder leaning on the right bookcase
    lad = Layer(kit.W, kit.H)
    for x0 in (740, 780):
        props.solid(kit.line([(x0, 70), (x0 + 40, 540)], 6), "#7a4e2c", L, 2, lay=lad)
    for k in range(10):
        y = 110 + k * 44
        xa = 740 + (y - 70) / 470 * 40
        props.solid(kit.line([(xa, y), (xa + 40, y)], 4), "#6a452a", L, 1.5, lay=lad)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(bc.a, 0, 0), 0, 8, 8, 0.5))
    kit.over_layer(cv, bc)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(lad.a, 0, 0), 6, 6, 4, 0.5))
    kit.over_layer(cv, lad)
    fp = fireplace(cv, SEED + 5)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(fp.a, 0, 0), 0, 6, 6, 0.4))
    kit.over_layer(cv, fp)
    # Ysolde's portrait over the mantel, with the clock behind her at two minutes to midnight
    px, py, pw, ph = PORTRAIT
    pl = portrait.framed(SEED + 6, pw, ph, scene="clock", light=L)
    pl.x0, pl.y0 = px - pw // 2, py - ph // 2
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(pl.a, pl.x0, pl.y0), 0, 10, 8, 0.6))
    ch, chm = chair(SEED + 7)
    dk, dkm = desk(SEED + 8)

    def light(c, fire_k=1.0):
        c = c * 0.34
        yy, xx = np.mgrid[0:kit.H, 0:kit.W].astype(np.float32)
        # the fire: a warm flickering pool, strongest low and in the middle
        f = kit.radial(kit.H, kit.W, FIRE[0], FIRE[1], 760, 1.3)
        c *= 1 + f[..., None] * col("amber") * 1.7 * fire_k
        kit.lamp(c, FIRE[0], FIRE[1] - 10, 150, "candle", 0.45, 2.0)
        kit.lamp(c, 154, 430, 260, "amber", 0.9, 1.5)
        return c

    full = cv.copy()
    for lay in (ch, dk):
        kit.contact_shadow(full, lay.bbox()[0], lay.bbox()[2], lay.bbox()[3], 10, 0.5, 5)
        kit.over_layer(full, kit.shadow_layer(kit.Mask(lay.a, 0, 0), 8, 6, 8, 0.45))
        kit.over_layer(full, lay)
    full = light(full)
    lit = Layer(pl.w, pl.h, pl.x0, pl.y0)
    lit.rgb = pl.rgb * (0.85 + 0.25 * col("amber"))
    lit.a = pl.a
    kit.over_layer(full, lit)
    kit.bloom(full, 0.72, 14, 0.5)
    protect = np.zeros((kit.H, kit.W), np.float32)
    protect[pl.y0:pl.y0 + pl.h, pl.x0:pl.x0 + pl.w] = pl.a
    full = kit.finish(full, SEED, vignette=0.55, protect=protect)
    room.back(full)
    sm = kit.subtract(right_bc, kit.grow(chm, 2))
    room.hit("library_shelves", "shelves_hit", sm, 1)
    room.obj("library_shelves_glow", "shelves_glow", props.outline_glow(right_bc, "amber", 6, 0.7), 4)
    room.cut(full, dkm, "library_desk", "desk", 2)
    room.hit("library_portrait", "portrait_hit", kit.Mask(pl.a, pl.x0, pl.y0), 1)
    room.exit_down("library_exit")
    room.write()
    return room


if __name__ == "__main__":
    build()
