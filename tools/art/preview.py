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
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "lib"))
import kit as S  # noqa: E402

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
    wall = S.walnut_grain(w, h, seed, "walnut", vertical=True, dark=0.45)
    img[..., :3] = wall
    win = S.rrect_mask(w, h, (600, 120, 860, 470), 110)
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
        m = np.maximum(S.ring(sz, sz, 40, 64, 22, 12), S.rrect_mask(sz, sz, (58, 58, 118, 70), 3))
        m = np.maximum(m, S.rrect_mask(sz, sz, (96, 64, 104, 86), 2))
        m = np.maximum(m, S.rrect_mask(sz, sz, (108, 64, 116, 80), 2))
        S.over(img, S.brass_layer(m, 901, 3, 7))
    elif k == "can":
        S.over(img, S.layer(S.leather(sz, sz, 5, "wine"), S.rrect_mask(sz, sz, (30, 50, 98, 118), 10)))
        S.over(img, S.brass_layer(S.line_mask(sz, sz, [(64, 50), (64, 30), (100, 14)], 6), 902, 2, 5))
    elif k == "page":
        S.over(img, S.layer(S.parchment(sz, sz, 3), S.polygon(sz, sz, [(24, 14), (100, 20), (104, 116), (28, 110)])))
    elif k == "lens":
        S.over(img, S.solid(S.circle(sz, sz, 64, 64, 40), "frost", 0.5))
        S.over(img, S.brass_layer(S.ring(sz, sz, 64, 64, 44, 37), 903, 3, 6))
    else:
        S.over(img, S.brass_layer(S.line_mask(sz, sz, [(30, 100), (64, 64), (100, 30), (110, 40)], 10), 904, 3, 6))
        S.over(img, S.layer(S.walnut_grain(sz, sz, 9), S.circle(sz, sz, 30, 100, 14)))
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
    for extra in ("panels", "menu", "options", "profiles", "diary", "subroom", "guide", "guide_toc", "logo"):
        fn = globals().get("scene_" + extra)
        if fn:
            out.append(save(fn(base), outdir, extra))
    print("\n".join(out))



def scene_menu(base):
    img = load("menu/back").copy()
    put(img, load("menu/logo"), 512, 150)
    labels = ["Continue", "New Game", "Options", "Strategy Guide", "Quit"]
    for i, lab in enumerate(labels):
        y = 330 + i * 74
        put(img, load("menu/btn_over" if i == 1 else "menu/btn"), 512, y)
        text(img, lab, 512, y, "regular", 28, GOLD if i == 1 else BLUE)
    return img


def scene_options(base):
    img = load("menu/back").copy()
    put(img, load("interface/main/black"), 512, 384, 512, 384, 0.5)
    put(img, load("menu/panel"), 512, 384)
    text(img, "Options", 512, 190, "bold", 34, S.rgb("ink"))
    ink = S.rgb("ink")
    for i, lab in enumerate(["Music", "Sound", "Ambience"]):
        y = 260 + i * 54
        text(img, lab, 300, y, "regular", 24, ink)
        put(img, load("menu/slider_track"), 560, y)
        put(img, load("menu/slider_knob_over" if i == 1 else "menu/slider_knob"), 460 + 60 * i, y)
    put(img, load("menu/check_on"), 380, 430)
    text(img, "Full screen", 470, 430, "regular", 24, ink)
    put(img, load("menu/check_over"), 380, 476)
    text(img, "System cursor", 484, 476, "regular", 24, ink)
    put(img, load("menu/btn_small"), 420, 560)
    text(img, "Back", 420, 560, "regular", 24, BLUE)
    put(img, load("menu/btn_small_over"), 610, 560)
    text(img, "Profiles", 610, 560, "regular", 24, GOLD)
    put(img, load("menu/close"), 806, 176)
    # profile panel
    put(img, load("menu/panel_small"), 512, 140 - 400 + 400 + 0, alpha=0)
    return img


def scene_profiles(base):
    img = load("menu/back").copy()
    put(img, load("menu/panel_small"), 512, 384)
    ink = S.rgb("ink")
    text(img, "Who is playing?", 512, 270, "bold", 28, ink)
    for i, (lab, kind) in enumerate([("Wren", "row_sel"), ("Ysolde", "row_over"), ("Guest", "row")]):
        put(img, load("menu/" + kind), 512, 320 + i * 44)
        text(img, lab, 512, 320 + i * 44, "regular", 22, (1, 1, 1) if kind == "row_sel" else ink)
    put(img, load("menu/field"), 512, 462)
    text(img, "Name", 512, 462, "italic", 22, ink * 1.5)
    put(img, load("menu/close_over"), 712, 262)
    return img


def scene_panels(base):
    img = base.copy()
    bar(img, 797)
    put(img, load("interface/main/black"), 512, 384, 512, 384, 0.35)
    put(img, load("interface/hodialog/back"), 512, 354)
    put(img, item_icon(2), 512, 312)
    text(img, "A fine brass gear!", 512, 452, "bold", 22, GOLD)
    text(img, "It will fit the little puzzle box.", 512, 478, "regular", 20, GOLD)
    put(img, load("interface/hodialog/ok_1"), 512, 519)
    text(img, "Take it", 512, 519, "regular", 21, GOLD)
    put(img, load("interface/bbtext/back"), 512, 42, alpha=0.8)
    text(img, "The tower clock has stopped at two minutes to midnight.", 512, 40, "regular", 24, GOLD)
    dialog_box(img, "The door is stuck fast. Perhaps a little oil would help.", 230, 200)
    popup_box(img, "A locked drawer", 820, 160)
    ach = load("interface/achievements/back")
    put(img, ach, 190, 340 + 170 - 170)
    put(img, load("interface/achievements/ach_first_item"), 190 - 210 + 78, 340)
    text(img, "Magpie", 190 + 70, 320, "bold", 22)
    text(img, "Pick up your first item", 190 + 70, 352, "regular", 18)
    return img


def dialog_box(dst, s, x, y, size=24, wrap=400):
    """The speech box as the dialog renders it: frame pieces around the text."""
    tw, th = min(wrap, S.text_size(s, "regular", size)[0]), size + 8
    words, lines, cur = s.split(), [], ""
    for wd in words:
        t = (cur + " " + wd).strip()
        if S.text_size(t, "regular", size)[0] > wrap and cur:
            lines.append(cur)
            cur = wd
        else:
            cur = t
    lines.append(cur)
    tw = max(S.text_size(l, "regular", size)[0] for l in lines)
    th = len(lines) * int(size * 1.25)
    W, H = tw + 62 + 24, th + 50 + 10
    box = nine(W, H, "interface/dialogs/frame_0", "interface/dialogs/frame_1", "interface/dialogs/frame_2", "interface/dialogs/frame_3")
    for i, l in enumerate(lines):
        text(box, l, W / 2, H / 2 - th / 2 + (i + 0.5) * int(size * 1.25), "regular", size, GOLD)
    put(dst, box, x, y)


def nine(W, H, c, t, l, m):
    """Corners at the box corners, edges stretched between them, the middle stretched inside."""
    c, t, l, m = load(c), load(t), load(l), load(m)
    cw, ch = c.shape[1], c.shape[0]
    box = S.canvas(W, H)
    put(box, m, W / 2, H / 2, (W - 2 * cw + 2) / m.shape[1], (H - 2 * ch + 2) / m.shape[0])
    put(box, t, W / 2, ch / 2, (W - 2 * cw) / t.shape[1], 1)
    put(box, t, W / 2, H - ch / 2, (W - 2 * cw) / t.shape[1], -1)
    put(box, l, cw / 2, H / 2, 1, (H - 2 * ch) / l.shape[0])
    put(box, l, W - cw / 2, H / 2, -1, (H - 2 * ch) / l.shape[0])
    for sx, sy, x, y in ((1, 1, cw / 2, ch / 2), (-1, 1, W - cw / 2, ch / 2), (1, -1, cw / 2, H - ch / 2), (-1, -1, W - cw / 2, H - ch / 2)):
        put(box, c, x, y, sx, sy)
    return box


def popup_box(dst, s, x, y):
    """The pop-up as laid out by the game: corners 8/6 outside the text, edges and middle stretched."""
    w = max(100, S.text_size(s, "regular", 18)[0] + 1)
    h = 22
    W, H = w + 32, h + 26
    box = S.canvas(W, H)
    cx, cy = W / 2, H / 2
    c, e1, e2, m = load("interface/popup/popup_0"), load("interface/popup/popup_1"), load("interface/popup/popup_2"), load("interface/popup/popup_3")
    put(box, m, cx, cy, (w - 2) / 2, (h - 8) / 2)
    put(box, e2, cx - w / 2 - 8, cy, 1, h - 8)
    put(box, e2, cx + w / 2 + 8, cy, -1, h - 8)
    put(box, e1, cx, cy - h / 2 - 6, (w - 2) / 64, 1)
    put(box, e1, cx, cy + h / 2 + 6, (w - 2) / 64, -1)
    for sx, sy in ((1, 1), (1, -1), (-1, -1), (-1, 1)):
        put(box, c, cx + sx * -(w / 2 + 8), cy + sy * -(h / 2 + 6), sx, sy)
    text(box, s, cx, cy, "regular", 18, GOLD)
    put(dst, box, x, y)


def scene_diary(base):
    img = base.copy()
    bar(img, 797)
    put(img, load("diary/back"), 512, 384)
    text(img, "The tower clock", 292, 120, "italic", 30, S.rgb("ink"))
    put(img, load("diary/arrow_right_focus"), 888, 660)
    put(img, load("diary/arrow_left"), 568, 660)
    put(img, load("diary/page_3"), 728, 660)
    put(img, load("diary/flare_alpha"), 512, 788, 7, 1, 0.6, colour=(0.6, 0.6, 1.0))
    put(img, load("diary/close_normal"), 512, 752)
    text(img, "Close", 512, 752, "italic", 20, (1, 1, 1))
    img2, pv = anim_frame("diary/clipboard", "Open", -1)
    put(img, img2, 46, 683, pivot=pv)
    return img


def scene_subroom(base):
    img = base.copy()
    bar(img, 797)
    put(img, load("interface/main/black"), 512, 384, 512, 384, 0.4)
    w, h = 720, 520
    cx, cy = 512, 330
    sub = S.canvas(w, h, "walnut", 1)
    sub[..., :3] = S.walnut_grain(w, h, 77, "mahogany", dark=0.3)
    S.over(sub, S.solid(S.radial_mask(w, h, w / 2, h / 2, 400, 1.5) * 0.5, "amber"))
    put(img, sub, cx, cy)
    c, t, l, cr = (load("interface/subroom/frame_%d" % i) for i in range(4))
    th = t.shape[0]
    put(img, t, cx, cy - h / 2 - th / 2 + 6, w / 64, 1)
    put(img, t, cx, cy + h / 2 + th / 2 - 6, w / 64, -1)
    put(img, l, cx - w / 2 - th / 2 + 6, cy, 1, h / 64)
    put(img, l, cx + w / 2 + th / 2 - 6, cy, -1, h / 64)
    off_x, off_y = w / 2 + th - 6 - 50, h / 2 + th - 6 - 50
    for sx, sy in ((1, 1), (-1, 1), (1, -1), (-1, -1)):
        put(img, c, cx - sx * off_x, cy - sy * off_y, sx, sy)
    put(img, cr, cx, cy - h / 2 - th / 2 + 6)
    put(img, load("interface/subroom/btn_close"), cx + w / 2 + 10, cy - h / 2 - 10)
    f, pv = anim_frame("interface/main/light", pos=3)
    put(img, f, cx + w / 2 + 10, cy - h / 2 - 10, 0.85, 0.85, pivot=pv, alpha=0.6)
    # the tutorial box, its arrow and the mini-game panel
    put(img, load("interface/tutorial/back_for_text"), 512, 690 - 60)
    text(img, "Click the drawer to look inside.", 512, 620, "regular", 20)
    put(img, load("interface/tutorial/yes_focus"), 512 + 230, 630 + 10 - 25)
    text(img, "Yes", 512 + 230, 615 + 10, "regular", 20, GOLD)
    put(img, load("interface/tutorial/no"), 512 - 230, 615 + 10)
    text(img, "No", 512 - 230, 615 + 10, "regular", 20, BLUE)
    a, pv = anim_frame("interface/tutorial/arrow", pos=3)
    put(img, a, 700, 420, pivot=pv, angle=-0.6)
    return img


def scene_guide(base):
    img = load("menu/strguide/back").copy()
    text(img, "2. The Entrance Hall", 175, 62, "bold", 24, (71 / 255, 59 / 255, 56 / 255))
    lines = ["- Take the oil can from the workbench.", "- Oil the conservatory door.", "- Open the cabinet with the small key."]
    for i, l in enumerate(lines):
        text(img, l, 40, 190 + i * 30, "regular", 20, (1, 1, 1), align="lm")
    for slot, (x, y) in enumerate(((880, 230), (690, 230), (880, 370))):
        shot = S.scale_img(S.canvas(660, 496, "teal", 1), 0.27)
        shot[..., :3] = S.slate(shot.shape[1], shot.shape[0], slot, "teal", 0.1)
        put(img, shot, x, y)
        put(img, load("menu/strguide/frame_focus" if slot == 1 else "menu/strguide/frame_normal"), x, y)
    text(img, "4", 512, 690, "regular", 22, (212 / 255, 173 / 255, 1.0))
    put(img, load("menu/strguide/prev"), 120, 690)
    put(img, load("menu/strguide/next_over"), 900, 690)
    put(img, load("menu/strguide/toc"), 512, 730)
    text(img, "Contents", 512, 730, "regular", 20, BLUE)
    put(img, load("menu/close"), 980, 40)
    put(img, load("menu/strguide/light"), 512, 300, alpha=0.0)
    return img


def scene_guide_toc(base):
    img = load("menu/strguide/back").copy()
    text(img, "Contents", 175, 62, "bold", 26, (71 / 255, 59 / 255, 56 / 255))
    for i, l in enumerate(["1. The Garden Gate", "2. The Entrance Hall", "3. The Workshop", "4. The Library"]):
        if i == 1:
            put(img, load("menu/strguide/light"), 512, 200 + 50 * i)
        text(img, l, 512, 200 + 50 * i, "bold", 22)
    put(img, load("interface/main/black"), 512, 384, 512, 384, 0.6)
    z = S.canvas(660, 496)
    z[..., :3] = S.slate(660, 496, 4, "teal", 0.1)
    z[..., 3] = 1
    put(img, z, 512, 384)
    put(img, load("menu/strguide/frame_zoom"), 512, 384)
    return img


def scene_logo(base):
    img = load("menu/studio_back").copy()
    put(img, load("menu/studio"), 512, 384)
    return img


if __name__ == "__main__":
    main(*(sys.argv[1:2]))
