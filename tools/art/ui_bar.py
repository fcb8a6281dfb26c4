#!/usr/bin/python3
"""The interface bar and what lives in it: the two end pods (diary on the left, hint clock on the
right), lamps, hint and mini-game clocks and effects, and the inventory/tasks tray.

Screen layout the pieces are cut for (the code places them):
  main (512, 655) above the tray; its left end is the diary pod's back, the middle is open so the
  tray shows; main_layer is the brass bezel ornament at (84, 683) and mirrored at (940, 683);
  lamp_right (921, 655) is the right pod's back (under the hint clock at (984, 680));
  the lamp glows sit on the jewels at (100, 695) and (924, 695).

Pictures with words engraved into them are drawn once per language: the English one under its plain
name, the others beside it as <name>_de.png and <name>_ru.png, which the engine takes in that language.
"""
import math

import numpy as np

import kit as S

# pods: local frame of the 206 x 226 end pieces (screen y 542..768; left end at x 0)
POD_W, POD_H, POD_TOP = 206, 226, 542
WELL = (44, 683 - POD_TOP)          # porthole centre
BEZEL_OUT, BEZEL_IN = 53, 44
JEWEL = (100, 695)                  # left lamp (screen)

LANGS = ("en", "de", "ru")
# The engraved words in the other languages. A longer word is cut smaller to stay on its plate
# (see label()); the names stay short where a long one would have to shrink too far.
WORDS = {
    "Diary": {"de": "Tagebuch", "ru": "Дневник"},
    "Paused": {"de": "Pause", "ru": "Пауза"},
    "Hint": {"de": "Hinweis", "ru": "Подсказка"},
    "Skip": {"de": "Überspringen", "ru": "Пропуск"},
    "Inventory": {"de": "Inventar", "ru": "Инвентарь"},
    "Tasks": {"de": "Aufgaben", "ru": "Задачи"},
}


def named(rel, lang):
    """The language's twin of a picture's name: the plain name for English."""
    return rel if lang == "en" else rel + "_" + lang


def label(word, lang, size, tracking, room):
    """(text, font kind, size, tracking) of an engraved word in a language. English keeps the face
    and size it was cut with; another language takes the completed bold face (German letters,
    Cyrillic) and, when the word is wider than room pixels, first loses its letter spacing, then
    shrinks until it fits."""
    if lang == "en":
        return word, "bold", size, tracking
    text = WORDS[word][lang]

    def width(sz, tr):
        f = S.font("bold_full", sz)
        return sum(f.getlength(ch) for ch in text) + tr * (len(text) - 1)
    if width(size, tracking) <= room:
        return text, "bold_full", size, tracking
    tracking = 0
    while size > 8 and width(size, tracking) > room:
        size -= 1
    return text, "bold_full", size, tracking


def engrave(img, word, lang, size, cx, cy, room, tracking=1, **kw):
    text, kind, sz, tr = label(word, lang, size, tracking, room)
    return S.engraved_text(img, text, kind, sz, cx, cy, tracking=tr, **kw)


def pod_shape():
    w, h = POD_W, POD_H
    cx, cy = WELL
    boss = S.circle(w, h, cx, cy, 62)
    base = S.rrect_mask(w, h, (-30, 164, 134, h + 30), 28)
    return np.clip(boss + base, 0, 1)


def pod_back(seed, label, lang="en"):
    """Walnut housing with a brass edge, the dark well behind the porthole and a name plaque."""
    w, h = POD_W, POD_H
    shape = pod_shape()
    img = S.canvas(w, h)
    over_shadow = S.solid(S.blur(S.shift(shape, -3, 0), 6), "#07050a", 0.55)
    S.over(img, over_shadow)
    body = S.wood_layer(shape, seed, 8.0, 6.0, dark=0.1)
    S.over(img, body)
    rim = np.clip(shape - S.erode(shape, 4), 0, 1)
    S.over(img, S.brass_layer(rim, seed + 1, 1.8, 5.0))
    # the well
    cx, cy = WELL
    well = S.circle(w, h, cx, cy, BEZEL_IN + 4)
    wl = S.layer(S.slate(w, h, seed + 2, "night", -0.15), well)
    wl = S.inner_shadow(wl, 7, 2, 4, 0.85)
    S.over(img, wl)
    # name plaque above the boss
    if label:
        pl = S.plate(108, 36, seed + 3, "wood", 9, 3, 3, rivets=False, fill_dark=0.25)
        pl = engrave(pl, label, lang, 17, 54, 18, 86, colour="amber", depth=0.9)
        S.over_center(img, pl, 57, 73 - 2)
    return img, shape


def build_bar():
    seed = 100
    # ---- main: left pod back + menu plaque; everything else open
    for lang in LANGS:
        main = S.canvas(1024, 226)
        left, _ = pod_back(seed, "Diary", lang)
        S.over(main, left, 0, 0)
        plaque = S.plate(92, 34, seed + 5, "wood", 10, 3, 3, rivets=False, fill_dark=0.35, shadow=False)
        S.over_center(main, plaque, 44, 752 - POD_TOP)
        S.save_png(S.grain(main, 0.03, seed), named("interface/main/main", lang))
    mo = S.canvas(112, 50)
    lit = S.plate(92, 34, seed + 5, "wood", 10, 3, 3, rivets=False, fill_dark=0.1, shadow=False)
    S.over_center(mo, S.hover(lit, 0.12, 0.3, 0.0), 56, 25)
    mo = S.hover(mo, 0.0, 0.0, 0.9, 5, inner=False)
    S.save_png(mo, "interface/main/menu_btn_over")

    # ---- right pod back (called lamp_right by the code), a mirror of the left one
    right, _ = pod_back(seed + 20, None)
    S.save_png(S.grain(S.mirror_x(right), 0.03, seed + 1), "interface/main/lamp_right")

    # ---- bezel ornament (main_layer), 168 x 170 centred (84, 683)
    ow, oh = 168, 170
    orn = S.canvas(ow, oh)
    cx, cy = 44, 85
    ring = S.bezel(ow, BEZEL_OUT, BEZEL_IN, seed + 30, studs=12, cx=cx, cy=cy)
    scroll_m = scroll_mask(ow, oh, cx, cy)
    scroll = S.brass_layer(scroll_m, seed + 31, 1.8, 6.0, -0.05)
    S.over(orn, scroll)
    S.over(orn, ring)
    jx, jy = JEWEL[0] - 84 + ow // 2, JEWEL[1] - 683 + oh // 2
    S.over_center(orn, S.jewel(26, "amber", 0.0, seed + 32), jx, jy)
    orn = S.drop_shadow(orn, 2, 3, 3, 0.55)
    S.save_png(orn, "interface/main/main_layer")

    # ---- main_mask: invisible catcher over the two pods (alpha 1/255), 1024 x 170 at (512, 683)
    mask = np.zeros((170, 1024), np.float32)
    ps = pod_shape()[226 - 170:]
    mask[:, :POD_W] = np.maximum(mask[:, :POD_W], ps)
    mask[:, 1024 - POD_W:] = np.maximum(mask[:, 1024 - POD_W:], ps[:, ::-1])
    mk = S.canvas(1024, 170)
    mk[..., 3] = (mask > 0.5) * (1.0 / 255.0)
    S.save_png(mk, "interface/main/main_mask")

    # ---- guide button (955, 749)
    n, h = S.button(112, 38, seed + 40, "wood", 13, 3, 4, fill_base="walnut")
    n = darken_fill(n, 0.25)
    S.save_png(n, "interface/main/guide_btn")
    S.save_png(S.hover(n, 0.12, 0.3, 0.9, 4), "interface/main/guide_btn_over")

    # ---- back button of the hidden-object scenes and puzzles: the guide button's wood, longer, with a
    # brass arrow at its left end (the caption is the game's text)
    n, _ = S.button(136, 40, seed + 45, "wood", 14, 3, 4, fill_base="walnut")
    n = darken_fill(n, 0.25)
    arrow = S.arrow_mask(18, 14, "left", shaft=0.4, head=0.55)
    S.over_center(n, S.solid(S.shift(arrow, 1, 1), "#000000", 0.6), 24, 20)
    S.over_center(n, S.solid(arrow, "amber"), 23, 19)
    S.save_png(n, "interface/main/back_btn")
    S.save_png(S.hover(n, 0.12, 0.3, 0.9, 4), "interface/main/back_btn_over")

    # ---- lamp glow animation
    build_light()

    # ---- black (stretched overlay) and the pause label
    black = S.canvas(2, 2, (0, 0, 0), 1.0)
    S.save_png(black, "interface/main/black", optimise=False)
    for lang in LANGS:
        build_paused(lang)


def darken_fill(img, t):
    out = img.copy()
    out[..., :3] *= (1 - t)
    return out


def scroll_mask(w, h, cx, cy):
    """Brass scrollwork: an arm over the bezel's top-right and one along its lower right to the jewel."""
    def fn(d, s):
        def ln(pts, width):
            d.line([(x * s, y * s) for x, y in pts], fill=255, width=int(width * s), joint="curve")
        a = [(cx + 40, cy - 38), (cx + 58, cy - 46), (cx + 76, cy - 44)]
        a += S.scroll_path(cx + 80, cy - 32, 12, 0.85, 1, 30, -math.pi / 2)
        ln(a, 5)
        ln(S.scroll_path(cx + 62, cy - 52, 6, 0.9, -1, 20, 0.0), 2.5)
        b = [(cx + 20, cy + 52), (cx + 44, cy + 58), (cx + 70, cy + 54)]
        b += S.scroll_path(cx + 76, cy + 44, 10, 0.9, -1, 30, math.pi / 2)
        ln(b, 5)
    return S.draw_mask(w, h, fn)


def build_light():
    size = 96
    frames = []
    rng = np.random.default_rng(5)
    levels = [0.0] + [0.9 + 0.1 * math.sin(i * 0.9) * rng.uniform(0.6, 1.0) for i in range(1, 17)]
    for i, lv in enumerate(levels):
        img = S.canvas(size, size)
        if lv > 0:
            g = S.glow_disc(size, "amber", 1.8, core=0.6)
            g[..., 3] *= lv
            r = 1.0 + 0.04 * math.sin(i * 1.7)
            if abs(r - 1) > 0.005:
                g = S.crop_to(S.scale_img(g, r), size, size)
            S.over(img, g)
            # thin horizontal flare
            fl = S.canvas(size, size)
            yy, xx = np.mgrid[0:size, 0:size].astype(np.float32)
            a = np.exp(-((yy - size / 2) / 1.6) ** 2) * np.clip(1 - abs(xx - size / 2) / (size / 2), 0, 1) ** 1.5
            fl = S.solid(a * 0.6 * lv, "candle")
            S.over(img, fl)
        frames.append(img)
    S.save_anim("interface/main/light", frames,
                functions=[("DoAnim", 90, True, list(range(1, 17)))], cols=6)


def build_paused(lang):
    w, h = 380, 132
    img = S.plate(w, h, 140, "slate", 18, 8, 5, wood_w=8, fill_base="night")
    text, kind, size, tr = label("Paused", lang, 56, 2, 270)
    img = S.engraved_text(img, text, kind, size, w / 2, h / 2 - 4, colour="amber", depth=1.0, tracking=tr)
    m = S.text_mask(w, h, text, kind, size, w / 2, h / 2 - 4, tracking=tr)
    img = S.over(img, S.solid(np.clip(S.blur(m, 4) * 1.2, 0, 1) * (1 - m), "amber", 0.35))
    for dx in (-1, 1):
        orn = S.canvas(60, 20)
        S.over(orn, S.brass_layer(S.line_mask(60, 20, [(4, 10), (56, 10)], 2), 141, 1, 3))
        S.over_center(orn, S.brass_layer(S.polygon(60, 20, [(30, 3), (37, 10), (30, 17), (23, 10)]), 142, 2, 4), 30, 10)
        S.over_center(img, orn, w / 2 + dx * 150, h / 2 + 34)
    S.save_png(S.grain(img, 0.03, 140), named("interface/main/paused", lang))


# ---------------------------------------------------------------- hint device


def dial_frames(n, seed, fill_colour, face="night", tick="brass", hand_colour="#ead7a0", teeth=False):
    """Clock dial frames 0..n-1: an amber (or other) sector fills clockwise from twelve."""
    size = 90
    c = size / 2
    r = 42
    yy, xx = np.mgrid[0:size, 0:size].astype(np.float32)
    ang = (np.degrees(np.arctan2(xx - c + 0.5, -(yy - c + 0.5))) + 360) % 360  # 0 at twelve, clockwise
    dist = np.sqrt((xx - c + 0.5) ** 2 + (yy - c + 0.5) ** 2)
    disc = S.circle(size, size, c, c, r)
    base = S.canvas(size, size)
    face_rgb = S.slate(size, size, seed, face, 0.05)
    shade = np.clip(1.15 - dist / r * 0.55, 0, 1.2)
    fl = S.layer(face_rgb * shade[..., None], disc)
    fl = S.inner_shadow(fl, 4, 1, 2, 0.7)
    S.over(base, fl)
    # ticks
    tick_m = np.zeros((size, size), np.float32)
    for i in range(12):
        a = i / 12 * 2 * math.pi
        r0, r1 = (r - 11, r - 3) if i % 3 == 0 else (r - 8, r - 3)
        pts = [(c + r0 * math.sin(a), c - r0 * math.cos(a)), (c + r1 * math.sin(a), c - r1 * math.cos(a))]
        tick_m = np.maximum(tick_m, S.line_mask(size, size, pts, 2.4 if i % 3 == 0 else 1.5))
    if teeth:
        for i in range(24):
            a = (i + 0.5) / 24 * 2 * math.pi
            tick_m = np.maximum(tick_m, S.circle(size, size, c + (r - 14) * math.sin(a), c - (r - 14) * math.cos(a), 1.2))
    ticks = S.brass_layer(tick_m, seed + 1, 1.0, 3.0)
    frames = []
    for k in range(n):
        p = k / (n - 1)
        img = base.copy()
        deg = p * 360
        sector = ((ang <= deg) if p < 1 else np.ones_like(ang, bool)).astype(np.float32)
        sector = S.blur(sector, 0.6) * disc
        if p > 0:
            glow = np.clip(0.35 + 0.65 * (dist / r), 0, 1) * 0.75
            sl = S.solid(sector * glow, fill_colour)
            sl[..., :3] = np.clip(sl[..., :3] * (0.8 + 0.4 * (1 - dist / r))[..., None], 0, 1)
            S.over(img, sl)
            if p < 1:  # bright rim at the leading edge
                lead = np.clip(1 - np.abs(((ang - deg + 180) % 360) - 180) / 6, 0, 1) * disc * (dist < r - 2)
                S.over(img, S.solid(lead * 0.7, "candle"))
        S.over(img, ticks)
        # hand
        a = math.radians(deg)
        hx, hy = c + (r - 9) * math.sin(a), c - (r - 9) * math.cos(a)
        tx, ty = c - 8 * math.sin(a), c + 8 * math.cos(a)
        hm = S.line_mask(size, size, [(tx, ty), (hx, hy)], 2.6)
        hand = S.brass_layer(hm, seed + 2, 1.0, 4.0, 0.15)
        S.over(img, S.drop_shadow(hand, 1, 2, 1.2, 0.6))
        S.over_center(img, S.rivet_img(10, seed + 3), c, c)
        if p >= 1:
            S.over(img, S.solid(S.ring(size, size, c, c, r, r - 3) * 0.8, "candle"))
        frames.append(S.grain(img, 0.025, seed + k))
    return frames


def build_hint():
    seed = 200
    S.save_anim("interface/hint/timer", dial_frames(31, seed, "amber"), frametime=100, loop=False, cols=8)
    # mirror: a glint sweeping over the glass while charged (frames 0..23, sweep in the first 10)
    size = 90
    c = size / 2
    disc = S.circle(size, size, c, c, 42)
    yy, xx = np.mgrid[0:size, 0:size].astype(np.float32)
    frames = []
    for k in range(24):
        img = S.canvas(size, size)
        # steady glass sheen
        sheen = np.clip(1 - ((xx - 30) ** 2 + (yy - 26) ** 2) / 30 ** 2, 0, 1) ** 2 * 0.28
        S.over(img, S.solid(sheen * disc, "frost"))
        rim = S.ring(size, size, c, c, 42, 38) * 0.35
        S.over(img, S.solid(rim, "amber"))
        if k < 12:
            t = k / 11
            pos = -50 + t * 100
            band = np.exp(-(((xx - c) + (yy - c) - pos * 1.2) / 7) ** 2) * disc
            S.over(img, S.solid(band * 0.75 * math.sin(t * math.pi), (1, 0.97, 0.88)))
        if 4 <= k <= 10:  # star glint
            t = (k - 4) / 6
            a = math.sin(t * math.pi)
            st = star_mask(size, size, 62, 26, 16 * a + 2)
            S.over(img, S.solid(st * a, (1, 0.98, 0.9)))
        frames.append(img)
    S.save_anim("interface/hint/mirror", frames, frametime=70, loop=True, cols=8)
    # charge flash (additive, rotated by the code) and use flash
    S.save_png(starburst(128, seed + 5), "interface/hint/timer_light")
    fx = S.glow_disc(120, "candle", 1.4, core=0.8)
    S.save_png(fx, "interface/hint/hint_fx")
    S.save_png(sparkle_ring(150, seed + 6), "interface/hint/hint_effect")
    # hint plaque (967, 615)
    for lang in LANGS:
        pl = S.plate(104, 36, seed + 7, "wood", 10, 3, 3, rivets=False, fill_dark=0.25)
        pl = engrave(pl, "Hint", lang, 19, 52, 17, 80, colour="amber", depth=0.95)
        S.save_png(pl, named("interface/hint/hint_layer", lang))
    # hardcore padlock over the clock (984, 680)
    S.save_png(padlock(84, seed + 8), "interface/hint/hardcore_mode")


def star_mask(w, h, cx, cy, r):
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    dx, dy = np.abs(xx - cx), np.abs(yy - cy)
    arms = np.exp(-dy / 0.9) * np.clip(1 - dx / max(r, 1e-3), 0, 1) + np.exp(-dx / 0.9) * np.clip(1 - dy / max(r, 1e-3), 0, 1)
    core = np.exp(-((dx ** 2 + dy ** 2) / (r * 0.18 + 0.5) ** 2))
    return np.clip(arms + core, 0, 1)


def starburst(size, seed):
    c = size / 2
    yy, xx = np.mgrid[0:size, 0:size].astype(np.float32)
    d = np.sqrt((xx - c + 0.5) ** 2 + (yy - c + 0.5) ** 2) / c
    a = np.arctan2(yy - c, xx - c)
    rng = np.random.default_rng(seed)
    rays = np.zeros_like(d)
    for k in range(14):
        th = rng.uniform(0, 2 * math.pi)
        wdt = rng.uniform(0.03, 0.09)
        ln = rng.uniform(0.6, 1.0)
        diff = np.abs((a - th + math.pi) % (2 * math.pi) - math.pi)
        rays += np.exp(-(diff / wdt) ** 2) * np.clip(1 - d / ln, 0, 1) ** 1.3
    body = np.clip(1 - d, 0, 1) ** 2.2
    alpha = np.clip(body * 0.9 + rays * 0.7, 0, 1)
    img = S.solid(alpha, "amber")
    core = np.clip(1 - d * 2.2, 0, 1)[..., None]
    img[..., :3] = np.clip(img[..., :3] * (1 - core) + S.rgb("candle") * core + core * 0.1, 0, 1)
    return img


def sparkle_ring(size, seed):
    c = size / 2
    img = S.canvas(size, size)
    r = size * 0.36
    ringm = S.ring(size, size, c, c, r + 2, r - 2)
    S.over(img, S.solid(S.blur(ringm, 3) * 0.8, "amber"))
    S.over(img, S.solid(ringm * 0.9, "candle"))
    dash = np.zeros((size, size), np.float32)
    for i in range(12):
        a = i / 12 * 2 * math.pi
        p0 = (c + (r + 6) * math.cos(a), c + (r + 6) * math.sin(a))
        p1 = (c + (r + 13) * math.cos(a + 0.12), c + (r + 13) * math.sin(a + 0.12))
        dash = np.maximum(dash, S.line_mask(size, size, [p0, p1], 3))
    S.over(img, S.solid(dash, "amber"))
    for i in range(4):
        a = i / 4 * 2 * math.pi + 0.4
        st = star_mask(size, size, c + r * math.cos(a), c + r * math.sin(a), 14)
        S.over(img, S.solid(st, (1, 0.97, 0.86)))
    return img


def padlock(size, seed):
    img = S.canvas(size, size)
    w = size
    shackle = S.ring(w, w, w / 2, w * 0.4, w * 0.24, w * 0.15) * (np.mgrid[0:w, 0:w][0] < w * 0.45)
    shackle = np.maximum(shackle, S.rrect_mask(w, w, (w * 0.26, w * 0.38, w * 0.35, w * 0.52), 2))
    shackle = np.maximum(shackle, S.rrect_mask(w, w, (w * 0.65, w * 0.38, w * 0.74, w * 0.52), 2))
    S.over(img, S.brass_layer(shackle, seed, 2.5, 6.0, 0.1))
    body = S.rrect_mask(w, w, (w * 0.18, w * 0.46, w * 0.82, w * 0.92), 9)
    S.over(img, S.brass_layer(body, seed + 1, 5.0, 7.0))
    hole = np.maximum(S.circle(w, w, w / 2, w * 0.63, w * 0.07),
                      S.polygon(w, w, [(w * 0.47, w * 0.65), (w * 0.53, w * 0.65), (w * 0.55, w * 0.8), (w * 0.45, w * 0.8)]))
    S.over(img, S.solid(hole, "ink"))
    return S.drop_shadow(img, 2, 3, 3, 0.6)


# ---------------------------------------------------------------- mini-game timer


def cog_mask(size, r_out, r_in, teeth, hole, angle=0.0, cx=None, cy=None, spokes=0):
    cx = size / 2 if cx is None else cx
    cy = size / 2 if cy is None else cy
    pts = []
    for i in range(teeth * 4):
        a = angle + i / (teeth * 4) * 2 * math.pi
        rr = r_out if (i % 4) in (1, 2) else r_in
        pts.append((cx + rr * math.cos(a), cy + rr * math.sin(a)))
    m = S.polygon(size, size, pts)
    m = np.clip(m - S.circle(size, size, cx, cy, hole), 0, 1)
    if spokes:
        ringm = S.circle(size, size, cx, cy, r_in * 0.72)
        m = np.clip(m - ringm, 0, 1)
        for i in range(spokes):
            a = angle + i / spokes * 2 * math.pi
            m = np.maximum(m, S.line_mask(size, size, [(cx, cy), (cx + r_in * 0.75 * math.cos(a), cy + r_in * 0.75 * math.sin(a))], r_in * 0.16))
        m = np.maximum(m, S.ring(size, size, cx, cy, hole + 5, hole))
    return m


def build_minigame():
    seed = 300
    S.save_anim("interface/minigame/timer", dial_frames(31, seed, "#7fb6c4", face="slate", teeth=True),
                frametime=100, loop=False, cols=8)
    size = 90
    # charged: a cog turning over the dial (12 teeth, 12 frames = one tooth step)
    frames = []
    for k in range(12):
        img = S.canvas(size, size)
        S.over(img, S.solid(S.circle(size, size, 45, 45, 42) * 0.35, "amber"))
        m = cog_mask(size, 40, 33, 12, 7, angle=k / 12 * (2 * math.pi / 12), spokes=6)
        cg = S.brass_layer(m, seed + 2, 2.5, 7.0, 0.05)
        S.over(img, S.drop_shadow(cg, 1, 2, 2, 0.6))
        frames.append(img)
    S.save_anim("interface/minigame/cogwheel", frames, frametime=70, loop=True, cols=6)
    # skipped: the cog cracks and bursts apart, then is gone (non-looped)
    cog = S.crop_to(S.brass_layer(cog_mask(size, 40, 33, 12, 7, 0, spokes=6), seed + 2, 2.5, 7.0, 0.05), 140, 140)
    size = 140
    rng = np.random.default_rng(seed + 3)
    n_sh = 7
    cuts = sorted(rng.uniform(0, 2 * math.pi, n_sh))
    yy, xx = np.mgrid[0:size, 0:size].astype(np.float32)
    ang = np.arctan2(yy - 70, xx - 70) % (2 * math.pi)
    shards = []
    for i in range(n_sh):
        a0, a1 = cuts[i], cuts[(i + 1) % n_sh]
        sel = ((ang >= a0) & (ang < a1)) if a0 < a1 else ((ang >= a0) | (ang < a1))
        mid = (a0 + ((a1 - a0) % (2 * math.pi)) / 2)
        sh = cog.copy()
        sh[..., 3] *= sel
        shards.append((sh, mid))
    frames = []
    n = 16
    for k in range(n):
        img = S.canvas(size, size)
        if k < 3:  # shake and crack
            c = cog.copy()
            crack = np.zeros((size, size), np.float32)
            for a0 in cuts[:k * 3 + 1]:
                crack = np.maximum(crack, S.line_mask(size, size, [(70 + 8 * math.cos(a0), 70 + 8 * math.sin(a0)),
                                                                   (70 + 40 * math.cos(a0), 70 + 40 * math.sin(a0))], 1.2))
            c[..., :3] *= (1 - crack[..., None] * 0.9)
            S.over(img, c, int(rng.integers(-2, 3)), int(rng.integers(-2, 3)))
            S.over(img, S.solid(S.circle(size, size, 70, 70, 44) * 0.25 * (k + 1), "candle"))
        else:
            u = (k - 3) / (n - 4)
            fl = max(0.0, 1 - u * 2.5)
            if fl > 0:
                g = S.crop_to(S.glow_disc(110, "candle", 1.5, core=1.0), size, size)
                g[..., 3] *= fl
                S.over(img, g)
            for sh, mid in shards:
                d = 34 * u ** 0.7
                rot = S.rotate(sh, (mid * 57.3 % 40 - 20) * u * 3)
                piece = rot.copy()
                piece[..., 3] *= max(0.0, 1 - u ** 1.5)
                S.over(img, piece, int(round(d * math.cos(mid))), int(round(d * math.sin(mid) + 20 * u * u)))
        frames.append(img)
    frames.append(S.canvas(size, size))
    S.save_anim("interface/minigame/mirror_gears_break", frames, frametime=60, loop=False, cols=6)
    S.save_png(starburst(128, seed + 6), "interface/minigame/timer_light")
    for lang in LANGS:
        pl = S.plate(104, 36, seed + 7, "wood", 10, 3, 3, rivets=False, fill_dark=0.25)
        pl = engrave(pl, "Skip", lang, 19, 52, 17, 80, colour="amber", depth=0.95)
        S.save_png(pl, named("interface/minigame/skip_layer", lang))
    n, h = S.button(116, 40, seed + 8, "wood", 12, 3, 4)
    n = darken_fill(n, 0.3)
    S.save_png(n, "interface/minigame/info")
    S.save_png(S.hover(n, 0.12, 0.3, 0.9, 4), "interface/minigame/info_over")


# ---------------------------------------------------------------- inventory and tasks tray


TRAY_W, TRAY_H = 840, 118


def build_tray():
    seed = 400
    w, h = TRAY_W, TRAY_H
    img = S.canvas(w, h)
    outer = S.rrect_mask(w, h, (4, 6, w - 4, h + 20), 22)
    S.over(img, S.solid(S.blur(S.shift(outer, -3, 0), 5), "#050407", 0.6))
    S.over(img, S.wood_layer(outer, seed, 7.0, 5.0, dark=0.05))
    rim = np.clip(outer - S.rrect_mask(w, h, (8, 10, w - 8, h + 20), 19), 0, 1)
    S.over(img, S.brass_layer(rim, seed + 1, 1.8, 5.0))
    well = S.rrect_mask(w, h, (20, 24, w - 20, h - 6), 14)
    wl = S.layer(S.slate(w, h, seed + 2, "night", -0.05), well)
    wl = S.inner_shadow(wl, 6, 2, 4, 0.8)
    S.over(img, wl)
    line = np.clip(S.rrect_mask(w, h, (17, 21, w - 17, h - 3), 16) - well, 0, 1)
    S.over(img, S.brass_layer(line, seed + 3, 1.0, 3.0))
    for x in (34, w - 34):
        S.over_center(img, S.rivet_img(10, seed + x), x, 15)
    img = S.grain(img, 0.03, seed)
    S.save_png(img, "interface/inventory_tasks/back")

    # inventory title (part_2), at the tray's top edge
    for lang in LANGS:
        pl = S.plate(190, 38, seed + 5, "wood", 12, 4, 3, rivets=False, fill_dark=0.2)
        pl = engrave(pl, "Inventory", lang, 20, 95, 18, 160, colour="amber", depth=0.95)
        S.save_png(pl, named("interface/inventory_tasks/part_2", lang))

    # arrows (simple buttons, 40 x 46 hit box)
    for name, d in (("left_arrow", "left"), ("right_arrow", "right")):
        a = S.canvas(44, 50)
        m = S.arrow_mask(30, 34, d, 0.36, 0.55)
        am = S.canvas(44, 50)
        S.over(am, S.brass_layer(m, seed + 6, 3.0, 7.0, 0.05), 7, 8)
        S.over(a, S.drop_shadow(am, 1, 2, 2, 0.6))
        S.save_png(a, "interface/inventory_tasks/" + name)

    # slot backdrop
    sz = 86
    g = S.canvas(sz, sz)
    dish = S.circle(sz, sz, 43, 43, 38)
    dl = S.layer(S.slate(sz, sz, seed + 7, "night", -0.1), dish)
    dl[..., 3] *= 0.7
    dl = S.inner_shadow(dl, 4, 1, 3, 0.7)
    S.over(g, dl)
    S.over(g, S.solid(S.radial_mask(sz, sz, 43, 43, 38, 1.5) * 0.22, "amber"))
    rm = S.ring(sz, sz, 43, 43, 39, 37)
    r = S.brass_layer(rm, seed + 8, 1.0, 3.0)
    r[..., 3] *= 0.75
    S.over(g, r)
    S.save_png(g, "interface/inventory_tasks/glow")

    # task-complete flash
    fw, fh = 200, 40
    yy, xx = np.mgrid[0:fh, 0:fw].astype(np.float32)
    a = np.clip(1 - ((xx - fw / 2) / (fw / 2)) ** 2 - ((yy - fh / 2) / (fh / 2)) ** 2, 0, 1) ** 1.5
    fl = S.solid(a, "amber")
    core = np.clip(1 - ((xx - fw / 2) / (fw / 3)) ** 2 - ((yy - fh / 2) / (fh / 5)) ** 2, 0, 1)
    fl[..., :3] = np.clip(fl[..., :3] + core[..., None] * 0.5, 0, 1)
    S.save_png(fl, "interface/inventory_tasks/place")

    # tasks header: two tabs at -99 and +99
    for lang in LANGS:
        build_tabs(seed, lang)
    # blinking highlight over the inventory tab (additive)
    bw, bh = 170, 64
    yy, xx = np.mgrid[0:bh, 0:bw].astype(np.float32)
    a = np.clip(1 - ((xx - bw / 2) / (bw / 2)) ** 2 - ((yy - bh / 2) / (bh / 2)) ** 2, 0, 1) ** 1.2
    S.save_png(S.solid(a, "amber"), "interface/inventory_tasks/inv_btn_light")


def build_tabs(seed, lang):
    """The tasks header (two tabs at -99 and +99) and each tab's selected and hover looks; the
    words fit the 136-pixel tab with some margin."""
    hw, hh = 420, 50
    hdr = S.plate(hw, hh, seed + 10, "wood", 16, 4, 3, rivets=False, fill_dark=0.2)
    for x, word in ((hw / 2 - 99, "Inventory"), (hw / 2 + 99, "Tasks")):
        hdr = engrave(hdr, word, lang, 20, x, hh / 2 - 1, 116, colour=S.mix("amber", "walnut", 0.35), depth=0.8)
    sep = S.brass_layer(S.polygon(hw, hh, [(hw / 2, 9), (hw / 2 + 5, hh / 2), (hw / 2, hh - 9), (hw / 2 - 5, hh / 2)]), seed + 11, 2, 4)
    S.over(hdr, sep)
    S.save_png(S.grain(hdr, 0.03, seed + 10), named("interface/inventory_tasks/part_1", lang))
    for name, word in (("inventory", "Inventory"), ("item_list", "Tasks")):
        tw, th = 136, 44
        text, kind, size, tr = label(word, lang, 20, 1, 116)
        # selected look: a lit brass-rimmed tab
        sel = S.plate(tw, th, seed + 12, "wood", 14, 3, 3, rivets=False, fill_base="mahogany", shadow=False)
        sel = S.engraved_text(sel, text, kind, size, tw / 2, th / 2 - 1, colour="candle", depth=1.0, tracking=tr)
        S.save_png(sel, named("interface/inventory_tasks/" + name, lang))
        # hover look: same lettering glowing over the header, no plate
        hv = S.canvas(tw, th)
        m = S.text_mask(tw, th, text, kind, size, tw / 2, th / 2 - 1, tracking=tr)
        S.over(hv, S.solid(np.clip(S.blur(m, 5) * 2.2, 0, 1) * 0.55, "amber"))
        S.over(hv, S.solid(S.radial_mask(tw, th, tw / 2, th / 2, tw / 2, 2.0) * 0.3, "amber"))
        S.over(hv, S.solid(m, "candle"))
        S.save_png(hv, named("interface/inventory_tasks/" + name + "_light", lang))


def build():
    build_bar()
    build_hint()
    build_minigame()
    build_tray()
