#!/usr/bin/python3
"""Composes the generated interface at the screen positions the game uses, over a dark stand-in
room, to judge sizes and looks together. Writes /tmp/halvern_preview_*.png.

Run:  /usr/bin/python3 tools/art/preview.py [outdir]
"""
import math
import os
import sys
import xml.etree.ElementTree as ET

import numpy as np
from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import style as S  # noqa: E402

GOLD = (255 / 255, 236 / 255, 108 / 255)
BLUE = (196 / 255, 213 / 255, 255 / 255)


def load(rel):
    for ext in (".png", ".jpg"):
        p = S.asset_path(rel) + ext
        if os.path.exists(p):
            return S.from_pil(Image.open(p))
    raise FileNotFoundError(rel)


def anim_frame(rel, func="DoAnim", pos=0, frame=None):
    """The image of one frame of an animation, and its pivot."""
    root = ET.parse(S.asset_path(rel) + ".xml").getroot()
    d = os.path.dirname(rel)
    ft = ET.parse(S.asset_path(d + "/" + root.get("frame_texture")) + ".xml").getroot()
    if frame is None:
        for f in root.iter("function"):
            if f.get("name") == func:
                idxs = [int(x.get("idx")) for x in f.iter("frame")]
                frame = idxs[pos % len(idxs)] if pos >= 0 else idxs[pos]
    fr = list(ft.iter("frame"))[frame]
    sheet = load(d + "/" + fr.get("texture"))
    l, t, w, h = (int(fr.get(k)) for k in ("left", "top", "widht", "height"))
    return sheet[t:t + h, l:l + w], (int(fr.get("x")), int(fr.get("y")))


def put(dst, img, x, y, sx=1.0, sy=1.0, alpha=1.0, pivot=None, additive=False, angle=0.0, colour=None):
    """Draws img like the engine: centred (or at its pivot) on (x, y), scaled, mirrored, rotated."""
    h, w = img.shape[:2]
    px, py = pivot if pivot else (w / 2, h / 2)
    src = img.copy()
    if colour is not None:
        src[..., :3] *= np.asarray(colour, np.float32)
    if sx < 0:
        src = src[:, ::-1]
        px = w - px
    if sy < 0:
        src = src[::-1]
        py = h - py
    asx, asy = abs(sx), abs(sy)
    if (asx, asy) != (1.0, 1.0):
        nw, nh = max(1, int(round(w * asx))), max(1, int(round(h * asy)))
        src = S.scale_img(src, size=(nw, nh))
        px, py = px * nw / w, py * nh / h
    if angle:
        hh, ww = src.shape[:2]
        padn = int(max(hh, ww))
        big = S.canvas(ww + 2 * padn, hh + 2 * padn)
        ox, oy = int(round(padn + ww / 2 - px)), int(round(padn + hh / 2 - py))
        S.over(big, src, ox, oy)
        src = S.rotate(big, -math.degrees(angle))
        px, py = src.shape[1] / 2, src.shape[0] / 2
    if additive:
        S.add_light(dst, src, int(round(x - px)), int(round(y - py)), alpha)
    else:
        S.over(dst, src, int(round(x - px)), int(round(y - py)), alpha)


def text(dst, s, x, y, kind="regular", size=20, colour=(1, 1, 1), align="mm", maxw=None):
    h, w = dst.shape[:2]
    m = S.text_mask(w, h, s, kind, size, x, y, anchor=align)
    S.over(dst, S.solid(m, colour))


def room(seed=1):
    """A dark painterly stand-in room: panelled wall, a rainy window, warm lamp light."""
    w, h = 1024, 768
    img = S.canvas(w, h, "night", 1)
    wall = S.wood(w, h, seed, "walnut", vertical=True, dark=0.45)
    img[..., :3] = wall
    win = S.rrect(w, h, (600, 120, 860, 470), 110)
    img = S.over(img, S.layer(S.slate(w, h, seed + 1, "teal", 0.1), win))
    floor = S.gradient_y(h, w, "walnut", "ink")
    fm = (np.mgrid[0:h, 0:w][0] > 520).astype(np.float32)
    img = S.over(img, S.layer(floor * 0.6, fm))
    light = S.glow_disc(700, "amber", 2.0)
    light[..., 3] *= 0.45
    S.over_center(img, light, 300, 330)
    return S.vignette(S.grain(img, 0.04, seed), 0.5)


def bar(dst, inv_y=797, tasks=None, minigame=0.0, hint_frame=-1):
    """The interface bar in draw order (the widgets' pos_z)."""
    # inventory (0) / tasks (1)
    if tasks is None:
        put(dst, load("interface/inventory_tasks/back"), 512, inv_y)
        put(dst, load("interface/inventory_tasks/part_2"), 512, inv_y - 45)
        if inv_y < 790:
            for i in range(7):
                x = 512 - 270 + 90 * i
                put(dst, load("interface/inventory_tasks/glow"), x, inv_y + 16)
                put(dst, item_icon(i), x, inv_y + 16, 0.7, 0.7)
            put(dst, load("interface/inventory_tasks/left_arrow"), 512 - 350, inv_y + 16, 0.9, 0.9, 0.4)
            put(dst, load("interface/inventory_tasks/right_arrow"), 512 + 350, inv_y + 16, 0.9, 0.9)
    else:
        ty = 711
        put(dst, load("interface/inventory_tasks/back"), 512, ty)
        for k, (label, state) in enumerate(tasks):
            x = 512 + (k % 4) * 180 - 270
            y = ty + (k // 4) * 23 - 10
            col = {0: GOLD, 1: BLUE, 2: (0.4, 0.4, 0.4)}[state]
            text(dst, label, x, y, "regular", 18, col)
        put(dst, load("interface/inventory_tasks/place"), 512 - 90, ty - 10, 1.3, 1.3, 0.6)
        hy = ty - 49
        put(dst, load("interface/inventory_tasks/part_1"), 512, hy)
        put(dst, load("interface/inventory_tasks/item_list"), 512 + 99, hy - 1)
        put(dst, load("interface/inventory_tasks/inventory_light"), 512 - 99, hy - 1, alpha=0.8)
    # right pod back (3), hint (6), minigame (7)
    put(dst, load("interface/main/lamp_right"), 921, 655)
    hint_alpha = 1 - minigame
    img, pv = anim_frame("interface/hint/timer", pos=hint_frame)
    put(dst, img, 984, 680, pivot=pv, alpha=hint_alpha)
    img, pv = anim_frame("interface/hint/mirror", pos=6)
    put(dst, img, 983, 681, pivot=pv, alpha=hint_alpha)
    put(dst, load("interface/hint/hint_layer"), 967, 615, alpha=hint_alpha)
    if minigame > 0:
        put(dst, load("interface/minigame/skip_layer"), 967, 615, alpha=minigame)
        img, pv = anim_frame("interface/minigame/timer", pos=12)
        put(dst, img, 984, 680, pivot=pv, alpha=minigame)
        ix = 1100 - 136 * math.sin(minigame * math.pi / 2)
        put(dst, load("interface/minigame/info"), ix, 500)
        text(dst, "Rules", ix, 500, "regular", 20, BLUE)
        put(dst, load("interface/hodialog/ok_1"), ix + 4, 565)
        text(dst, "Reset", ix + 4, 565, "regular", 20, GOLD)
    # right ornament (9), right light (10), bar (12), left pieces
    put(dst, load("interface/main/main_layer"), 940, 683, -1, 1)
    img, pv = anim_frame("interface/main/light", pos=3)
    put(dst, img, 924, 695, pivot=pv)
    put(dst, load("interface/main/main"), 512, 655)
    img, pv = anim_frame("assets_diary_clipboard" if False else "diary/clipboard", "Open", 0)
    put(dst, img, 46, 683, pivot=pv)
    put(dst, load("interface/main/main_layer"), 84, 683)
    img, pv = anim_frame("interface/main/light", pos=5)
    put(dst, img, 100, 695, pivot=pv)
    text(dst, "Menu", 44, 752, "regular", 20, BLUE)
    put(dst, load("interface/main/guide_btn"), 955, 749)
    text(dst, "Guide", 955 + 11, 749 + 2, "regular", 18, BLUE)


_icons = {}


def item_icon(i):
    """Stand-in inventory items (128 px): simple painted objects."""
    if i in _icons:
        return _icons[i]
    sz = 128
    img = S.canvas(sz, sz)
    kinds = ["key", "can", "gear", "hand", "page", "crank", "lens"]
    k = kinds[i % len(kinds)]
    if k == "gear":
        from ui_bar import cog_mask
        S.over(img, S.brass_layer(cog_mask(sz, 50, 40, 14, 10, spokes=5), 900 + i, 3, 7))
    elif k == "key":
        m = np.maximum(S.ring(sz, sz, 40, 64, 22, 12), S.rrect(sz, sz, (58, 58, 118, 70), 3))
        m = np.maximum(m, S.rrect(sz, sz, (96, 64, 104, 86), 2))
        m = np.maximum(m, S.rrect(sz, sz, (108, 64, 116, 80), 2))
        S.over(img, S.brass_layer(m, 901, 3, 7))
    elif k == "can":
        S.over(img, S.layer(S.leather(sz, sz, 5, "wine"), S.rrect(sz, sz, (30, 50, 98, 118), 10)))
        S.over(img, S.brass_layer(S.line_mask(sz, sz, [(64, 50), (64, 30), (100, 14)], 6), 902, 2, 5))
    elif k == "page":
        S.over(img, S.layer(S.parchment(sz, sz, 3), S.polygon(sz, sz, [(24, 14), (100, 20), (104, 116), (28, 110)])))
    elif k == "lens":
        S.over(img, S.solid(S.circle(sz, sz, 64, 64, 40), "frost", 0.5))
        S.over(img, S.brass_layer(S.ring(sz, sz, 64, 64, 44, 37), 903, 3, 6))
    else:
        S.over(img, S.brass_layer(S.line_mask(sz, sz, [(30, 100), (64, 64), (100, 30), (110, 40)], 10), 904, 3, 6))
        S.over(img, S.layer(S.wood(sz, sz, 9), S.circle(sz, sz, 30, 100, 14)))
    img = S.drop_shadow(img, 2, 3, 3, 0.6)
    _icons[i] = img
    return img


def save(img, outdir, name):
    p = os.path.join(outdir, "halvern_preview_%s.png" % name)
    S.to_pil(img).convert("RGB").save(p)
    return p


def main(outdir="/tmp"):
    out = []
    base = room()
    a = base.copy()
    bar(a, 797)
    out.append(save(a, outdir, "bar_rest"))
    b = base.copy()
    bar(b, 711, hint_frame=14)
    out.append(save(b, outdir, "bar_inventory"))
    c = base.copy()
    bar(c, 797, tasks=[("Pocket watch", 2), ("Brass key", 0), ("Quill", 0), ("Thimble", 0),
                       ("Candle stub", 1), ("3 Buttons", 0), ("Spectacles", 0), ("Tin soldier", 0),
                       ("Compass", 0), ("Feather", 0)], minigame=1.0)
    out.append(save(c, outdir, "bar_tasks_minigame"))
    for extra in ("panels", "menu", "diary", "subroom", "guide"):
        fn = globals().get("scene_" + extra)
        if fn:
            out.append(save(fn(base), outdir, extra))
    print("\n".join(out))


if __name__ == "__main__":
    main(*(sys.argv[1:2]))
