#!/usr/bin/python3
"""Message panels and frames: the found-object dialog, the speech dialog and pop-up pieces, the
narration bar, achievement notices and icons, the sub-room frame and the tutorial box."""
import math

import numpy as np

import kit as S
from ui_bar import cog_mask, star_mask

FILL = S.mix("night", "ink", 0.35)   # the flat fill of stretchable boxes
FILL_ALPHA = 0.94


def boxed(w, h, seed, rim_inset=(5, 5), radius=12, rim=3, corner_orn=True, fill_alpha=FILL_ALPHA):
    """A flat-filled box with a brass rim, the source the nine pieces are cut from. Only the rim and
    the corners carry detail so that edges and middle can be stretched."""
    ix, iy = rim_inset
    img = S.canvas(w, h)
    outer = S.rrect_mask(w, h, (ix, iy, w - ix, h - iy), radius)
    inner = S.rrect_mask(w, h, (ix + rim, iy + rim, w - ix - rim, h - iy - rim), max(radius - rim, 2))
    fl = S.solid(outer, FILL, fill_alpha)
    S.over(img, fl)
    br = S.brass_layer(np.clip(outer - inner, 0, 1), seed, rim * 0.45, 5.0)
    # the brass must look the same along the straight runs: flatten its noise there
    S.over(img, br)
    # a faint inner line
    il = np.clip(S.rrect_mask(w, h, (ix + rim + 4, iy + rim + 4, w - ix - rim - 4, h - iy - rim - 4), max(radius - rim - 4, 2))
                 - S.rrect_mask(w, h, (ix + rim + 5, iy + rim + 5, w - ix - rim - 5, h - iy - rim - 5), max(radius - rim - 5, 2)), 0, 1)
    S.over(img, S.solid(il * 0.45, "brass"))
    return img


def uniform_run(img, axis):
    """Replaces a strip by its middle line repeated, so that stretching it shows no seams."""
    out = img.copy()
    if axis == 1:   # constant along x
        mid = img[:, img.shape[1] // 2:img.shape[1] // 2 + 1]
        out[:] = mid
    else:
        mid = img[img.shape[0] // 2:img.shape[0] // 2 + 1]
        out[:] = mid
    return out


def nine_pieces(box, cw, ch, edge_len=64, centre=(2, 2)):
    """Cuts (corner, top edge, left edge, centre) from a box image: corner cw x ch top-left, the top
    edge edge_len x ch, the left edge cw x edge_len, and a flat centre."""
    h, w = box.shape[:2]
    corner = box[:ch, :cw].copy()
    top = uniform_run(box[:ch, w // 2 - edge_len // 2:w // 2 + edge_len - edge_len // 2].copy(), 1)
    left = uniform_run(box[h // 2 - edge_len // 2:h // 2 + edge_len - edge_len // 2, :cw].copy(), 0)
    c = box[h // 2:h // 2 + 1, w // 2:w // 2 + 1]
    mid = np.broadcast_to(c, (centre[1], centre[0], 4)).copy()
    return corner, top, left, mid


def corner_orn(img, x, y, seed, size=26, flip=False):
    orn = S.corner_flourish(size, seed, 2.2)
    S.over(img, orn, x, y)


def build_dialog_frames():
    # speech dialog: corner 40 x 30, top edge 64 x 30, left edge 40 x 64, middle 8 x 8
    cw, ch = 40, 30
    box = boxed(240, 200, 600, (5, 5), 14, 3)
    corner, top, left, mid = nine_pieces(box, cw, ch, 64, (8, 8))
    corner_orn(corner, 9, 9, 601, 24)
    S.save_png(corner, "interface/dialogs/frame_0")
    S.save_png(top, "interface/dialogs/frame_1")
    S.save_png(left, "interface/dialogs/frame_2")
    S.save_png(mid, "interface/dialogs/frame_3")
    # pop-up: corner 18 x 20 (the rim 1 px in from the left, 3 px from the top: the outer pixels may
    # be cut by the pop-up's render target), top edge 64 x 20, left edge 18 x 1, middle 2 x 2
    box = boxed(200, 160, 610, (1, 3), 8, 2)
    corner, top, left, mid = nine_pieces(box, 18, 20, 64, (2, 2))
    left = left[32:33]
    S.save_png(corner, "interface/popup/popup_0")
    S.save_png(top, "interface/popup/popup_1")
    S.save_png(left, "interface/popup/popup_2")
    S.save_png(mid, "interface/popup/popup_3")


def build_hodialog():
    seed = 620
    w, h = 540, 430
    img = S.plate(w, h, seed, "slate", 22, 8, 6, wood_w=16, fill_base="night")
    cx, cy = w / 2, h / 2
    # the display niche where the found object stands (centre at y -42)
    ny = cy - 42
    niche = S.rrect_mask(w, h, (cx - 150, ny - 118, cx + 150, ny + 92), 26)
    arch = S.ellipse_mask(w, h, (cx - 150, ny - 150, cx + 150, ny - 40))
    niche = np.clip(np.maximum(niche, arch * (np.mgrid[0:h, 0:w][0] < ny - 60)), 0, 1)
    nl = S.layer(S.velvet(w, h, seed + 1, "dusk"), niche)
    nl = S.inner_shadow(nl, 10, 0, 6, 0.85)
    spot = S.radial_mask(w, h, cx, ny - 10, 170, 1.6) * niche
    nl[..., :3] = np.clip(nl[..., :3] + spot[..., None] * S.rgb("amber") * 0.55, 0, 1)
    S.over(img, nl)
    rim = np.clip(S.dilate(niche, 4) - niche, 0, 1)
    S.over(img, S.brass_layer(rim, seed + 2, 1.6, 5.0))
    # keystone ornament at the arch top and a divider above the title
    ks = S.polygon(w, h, [(cx - 14, ny - 156), (cx + 14, ny - 156), (cx + 9, ny - 132), (cx - 9, ny - 132)])
    S.over(img, S.brass_layer(ks, seed + 3, 3, 6))
    S.over_center(img, S.jewel(16, "wine", 0.3, seed + 4), cx, ny - 146)
    div = divider(360, 24, seed + 5)
    S.over_center(img, div, cx, cy + 76)
    S.save_png(S.grain(img, 0.03, seed), "interface/hodialog/back")
    n, hv = S.button(110, 42, seed + 6, "wood", 13, 3, 4)
    n[..., :3] *= 0.72
    S.save_png(n, "interface/hodialog/ok")
    S.save_png(S.hover(n, 0.14, 0.3, 0.9, 4), "interface/hodialog/ok_1")


def divider(w, h, seed):
    cy = h / 2
    def fn(d, s):
        d.line([(10 * s, cy * s), ((w / 2 - 26) * s, cy * s)], fill=255, width=int(2 * s))
        d.line([((w / 2 + 26) * s, cy * s), ((w - 10) * s, cy * s)], fill=255, width=int(2 * s))
        for dx in (-1, 1):
            pts = S.scroll_path(w / 2 + dx * 18, cy - 2, 6, 0.85, dx, 24, math.pi / 2)
            d.line([(x * s, y * s) for x, y in pts], fill=255, width=int(2 * s))
        r = 7
        d.polygon([((w / 2) * s, (cy - r) * s), ((w / 2 + r) * s, cy * s), ((w / 2) * s, (cy + r) * s), ((w / 2 - r) * s, cy * s)], fill=255)
        for x in (10, w - 10):
            d.ellipse(((x - 3) * s, (cy - 3) * s, (x + 3) * s, (cy + 3) * s), fill=255)
    return S.brass_layer(S.draw_mask(w, h, fn), seed, 1.2, 4.0)


def build_bbtext():
    w, h = 1024, 84
    img = S.canvas(w, h)
    body = np.zeros((h, w), np.float32)
    body[:76] = 1
    body[76:] = np.linspace(0.8, 0, h - 76)[:, None]
    col = S.slate(w, h, 630, "night", -0.1)
    col = col * S.gradient_y(h, w, (0.7, 0.7, 0.7), (1.0, 1.0, 1.0))
    S.over(img, S.layer(col, body))
    line = np.zeros((h, w), np.float32)
    line[74:77, 40:w - 40] = 1
    fade = np.clip(1 - np.abs(np.arange(w) - w / 2) / (w / 2 - 40), 0, 1) ** 0.3
    S.over(img, S.brass_layer(line * fade[None, :], 631, 1.0, 3.0))
    S.over_center(img, S.brass_layer(S.polygon(40, 20, [(20, 2), (30, 10), (20, 18), (10, 10)]), 632, 2, 4), w / 2, 75)
    S.save_png(img, "interface/bbtext/back")


ACH_W, ACH_H = 420, 140
ACH_ICON = (78, 70)   # socket centre in the notice (left part)


def build_achievements():
    seed = 640
    w, h = ACH_W, ACH_H
    img = S.canvas(w, h)
    shape = S.rrect_mask(w, h, (-40, 10, w - 8, h - 10), 36)
    S.over(img, S.solid(S.blur(S.shift(shape, 4, 0), 5), "#000000", 0.6))
    S.over(img, S.wood_layer(shape, seed, 6, 5, dark=0.15))
    rim = np.clip(shape - S.erode(shape, 4), 0, 1)
    S.over(img, S.brass_layer(rim, seed + 1, 1.8, 5))
    inner = S.rrect_mask(w, h, (150, 22, w - 22, h - 22), 16)
    il = S.inner_shadow(S.layer(S.slate(w, h, seed + 2, "night", -0.05), inner), 5, 1, 3, 0.7)
    S.over(img, il)
    S.over(img, S.brass_layer(np.clip(S.dilate(inner, 2) - inner, 0, 1), seed + 3, 1, 3))
    sock = S.circle(w, h, ACH_ICON[0], ACH_ICON[1], 54)
    sl = S.inner_shadow(S.layer(S.slate(w, h, seed + 4, "slate", -0.2), sock), 5, 1, 3, 0.8)
    S.over(img, sl)
    S.over(img, S.bezel(w, 58, 52, seed + 5, 8, cx=ACH_ICON[0], cy=ACH_ICON[1]))
    S.save_png(S.grain(img, 0.03, seed), "interface/achievements/back")
    for name, fn in (("ach_first_item", icon_key), ("ach_ho_no_hints", icon_loupe), ("ach_minigame_no_skip", icon_gear),
                     ("ach_game_finished", icon_clock), ("ach_explorer", icon_compass)):
        S.save_png(medal(fn, seed + sum(map(ord, name)) % 97), "interface/achievements/" + name)


def medal(emblem, seed, size=96):
    """A round enamel medal with a brass emblem."""
    c = size / 2
    img = S.canvas(size, size)
    disc = S.circle(size, size, c, c, 44)
    enamel = S.slate(size, size, seed, "wine", 0.05)
    shade = S.radial_mask(size, size, c - 12, c - 14, 70, 1.0)
    el = S.layer(enamel * (0.7 + 0.5 * shade[..., None]), disc)
    S.over(img, el)
    S.over(img, S.bezel(size, 46, 40, seed + 1, 16, 1.4))
    em = emblem(size, seed + 2)
    S.over(img, S.drop_shadow(em, 1, 2, 1.5, 0.7))
    # a little glint
    S.over(img, S.solid(star_mask(size, size, 28, 24, 9) * 0.8, (1, 0.97, 0.88)))
    return img


def icon_key(size, seed):
    c = size / 2
    m = np.maximum(S.ring(size, size, c - 16, c, 11, 5), S.rrect_mask(size, size, (c - 6, c - 3, c + 24, c + 3), 2))
    m = np.maximum(m, S.rrect_mask(size, size, (c + 12, c, c + 17, c + 12), 1))
    m = np.maximum(m, S.rrect_mask(size, size, (c + 19, c, c + 24, c + 9), 1))
    return S.brass_layer(m, seed, 2, 6, 0.1)


def icon_loupe(size, seed):
    c = size / 2
    m = np.maximum(S.ring(size, size, c - 5, c - 5, 17, 12), S.line_mask(size, size, [(c + 8, c + 8), (c + 20, c + 20)], 7))
    img = S.brass_layer(m, seed, 2, 6, 0.1)
    S.over(img, S.solid(S.circle(size, size, c - 5, c - 5, 12) * 0.45, "frost"))
    S.over(img, S.solid(star_mask(size, size, c - 5, c - 5, 9), "candle"))
    return img


def icon_gear(size, seed):
    return S.brass_layer(cog_mask(size, 27, 21, 10, 6, spokes=5), seed, 2, 6, 0.1)


def icon_clock(size, seed):
    c = size / 2
    img = S.canvas(size, size)
    S.over(img, S.solid(S.circle(size, size, c, c, 24), "parchment"))
    S.over(img, S.brass_layer(S.ring(size, size, c, c, 27, 23), seed, 2, 6, 0.1))
    ticks = np.zeros((size, size), np.float32)
    for i in range(12):
        a = i / 12 * 2 * math.pi
        ticks = np.maximum(ticks, S.line_mask(size, size, [(c + 18 * math.sin(a), c - 18 * math.cos(a)), (c + 21 * math.sin(a), c - 21 * math.cos(a))], 1.5))
    hands = np.maximum(S.line_mask(size, size, [(c, c), (c, c - 17)], 2.5), S.line_mask(size, size, [(c, c), (c - 2, c - 11)], 3))
    S.over(img, S.solid(ticks, "ink"))
    S.over(img, S.solid(hands, "ink"))
    return img


def icon_compass(size, seed):
    c = size / 2
    img = S.canvas(size, size)
    S.over(img, S.brass_layer(S.ring(size, size, c, c, 26, 21), seed, 2, 6, 0.1))
    e = S.polygon(size, size, [(c - 18, c), (c, c - 4), (c + 18, c), (c, c + 4)])
    S.over(img, S.brass_layer(e, seed + 1, 1.5, 5))
    S.over(img, S.solid(S.polygon(size, size, [(c, c - 22), (c + 6, c), (c - 6, c)]), "frost"))
    S.over(img, S.solid(S.polygon(size, size, [(c, c + 22), (c + 6, c), (c - 6, c)]), "wine"))
    return img


def build_subroom():
    """Frame for a close-up (about 720 x 520): corner 100 x 100, top edge 64 x 40, left edge 40 x 64,
    a crest for the top middle, and the round close button."""
    seed = 660
    t = 40            # band thickness; the picture's edge lies at the band's inner side
    W, H = 360, 300   # a sample frame to cut from
    img = S.canvas(W, H)
    outer = S.rrect_mask(W, H, (2, 2, W - 2, H - 2), 14)
    inner = S.rrect_mask(W, H, (t, t, W - t, H - t), 4)
    band = np.clip(outer - inner, 0, 1)
    S.over(img, S.solid(S.blur(np.clip(S.dilate(outer, 1) - inner, 0, 1), 2), "#000000", 0.5))
    # straight grain along each side: paint horizontal grain on top/bottom, vertical on the sides
    wh = S.walnut_grain(W, H, seed, "walnut", dark=0.1)
    wv = S.walnut_grain(W, H, seed + 1, "walnut", vertical=True, dark=0.1)
    yy, xx = np.mgrid[0:H, 0:W].astype(np.float32)
    dx = np.minimum(xx, W - 1 - xx)
    dy = np.minimum(yy, H - 1 - yy)
    side = (dx < dy)[..., None]
    col = np.where(side, wv, wh)
    hgt = S.height_from_mask(band, 8, "ridge") * 0.6 + S.height_from_mask(band, 3, "round") * 0.4
    S.over(img, S.layer(S.bevel(col, hgt, 5, specular=0.12), band))
    for a, b in ((6, 9), (t - 7, t - 4)):
        ln = np.clip(S.rrect_mask(W, H, (a, a, W - a, H - a), max(14 - a, 3)) - S.rrect_mask(W, H, (b, b, W - b, H - b), max(14 - b, 3)), 0, 1)
        S.over(img, S.brass_layer(ln, seed + 2 + a, 1.0, 3.0))
    inner_lip = np.clip(S.rrect_mask(W, H, (t - 3, t - 3, W - t + 3, H - t + 3), 5) - inner, 0, 1)
    S.over(img, S.solid(inner_lip, "#000000", 0.5))
    corner, top, left, _ = nine_pieces(img, 100, t, 64)
    corner = img[:100, :100].copy()
    # corner bracket ornament
    br = S.corner_flourish(70, seed + 5, 3.0)
    S.over(corner, br, 3, 3)
    S.over_center(corner, S.rivet_img(14, seed + 6), 20, 20)
    top = uniform_run(img[:t, W // 2 - 32:W // 2 + 32].copy(), 1)
    left = uniform_run(img[H // 2 - 32:H // 2 + 32, :t].copy(), 0)
    S.save_png(corner, "interface/subroom/frame_0")
    S.save_png(top, "interface/subroom/frame_1")
    S.save_png(left, "interface/subroom/frame_2")
    # crest: a brass cartouche with a small clock medallion, to sit on the top edge's middle
    cw, ch = 200, 64
    crest = S.canvas(cw, ch)
    cm = S.polygon(cw, ch, [(8, 32), (40, 14), (160, 14), (192, 32), (160, 50), (40, 50)])
    S.over(crest, S.solid(S.blur(S.shift(cm, 3, 0), 3), "#000000", 0.5))
    S.over(crest, S.wood_layer(cm, seed + 7, 4, 4, dark=0.1))
    S.over(crest, S.brass_layer(np.clip(cm - S.erode(cm, 3), 0, 1), seed + 8, 1.2, 4))
    S.over(crest, S.bezel(cw, 26, 20, seed + 9, 12, cx=cw / 2, cy=ch / 2))
    S.over(crest, S.solid(S.circle(cw, ch, cw / 2, ch / 2, 20), "parchment"))
    hands = np.maximum(S.line_mask(cw, ch, [(cw / 2, ch / 2), (cw / 2, ch / 2 - 15)], 2), S.line_mask(cw, ch, [(cw / 2, ch / 2), (cw / 2 - 3, ch / 2 - 9)], 2.5))
    S.over(crest, S.solid(hands, "ink"))
    for dx in (-1, 1):
        S.over_center(crest, S.jewel(14, "wine", 0.2, seed + 10), cw / 2 + dx * 66, ch / 2)
    S.save_png(crest, "interface/subroom/frame_3")
    # close button: a brass knob with an engraved cross
    s = 60
    b = S.canvas(s, s)
    S.over(b, S.bezel(s, 26, 19, seed + 11, 8, 1.4))
    S.over(b, S.layer(S.walnut_grain(s, s, seed + 12, "mahogany", dark=0.2), S.circle(s, s, s / 2, s / 2, 19)))
    cross = np.maximum(S.line_mask(s, s, [(22, 22), (38, 38)], 4), S.line_mask(s, s, [(38, 22), (22, 38)], 4))
    S.over(b, S.brass_layer(cross, seed + 13, 1.5, 5, 0.1))
    S.save_png(S.drop_shadow(b, 1, 2, 2, 0.6), "interface/subroom/btn_close")


def build_tutorial():
    seed = 680
    w, h = 660, 170
    img = S.plate(w, h, seed, "slate", 18, 8, 5, wood_w=10, fill_base="night")
    # a small owl-less emblem: a brass quill nib at the top middle
    S.over_center(img, divider(260, 20, seed + 1), w / 2, 28)
    S.save_png(S.grain(img, 0.03, seed), "interface/tutorial/back_for_text")
    for name, base in (("yes", "moss"), ("no", "wine")):
        n, _ = S.button(124, 44, seed + 2, "wood", 14, 3, 4)
        tinted = S.tint(n, base, 0.0)
        inner = S.rrect_mask(124, 44, (7, 7, 117, 37), 11)
        tinted[..., :3] = tinted[..., :3] * (1 - inner[..., None] * 0.45) + S.rgb(base)[None, None, :] * inner[..., None] * 0.3
        S.save_png(tinted, "interface/tutorial/" + name)
        S.save_png(S.hover(tinted, 0.14, 0.3, 0.9, 4), "interface/tutorial/" + name + "_focus")
    # pointing arrow: points right (angle 0), tip at the frame's pivot, bobbing along its axis
    fw, fh = 120, 60
    frames = []
    n = 12
    shape = S.canvas(96, 48)
    m = S.arrow_mask(96, 48, "right", 0.38, 0.42)
    al = S.brass_layer(m, seed + 3, 4, 7, 0.05)
    al = S.outer_glow(al, 4, "amber", 0.6)
    S.over(shape, al)
    for k in range(n):
        off = 10 * (0.5 - 0.5 * math.cos(k / n * 2 * math.pi))
        img = S.canvas(fw, fh)
        S.over(img, shape, int(round(fw - 4 - 96 - off)), (fh - 48) // 2)
        frames.append(img)
    S.save_anim("interface/tutorial/arrow", frames, pivot=(fw - 4, fh // 2), frametime=60, cols=4)


def build():
    build_dialog_frames()
    build_hodialog()
    build_bbtext()
    build_achievements()
    build_subroom()
    build_tutorial()
