#!/usr/bin/python3
"""The diary's chrome: the open journal backdrop, page arrows, page numbers, the close ribbon, the
quit glow, and the journal icon on the bar that opens and closes ("clipboard")."""
import math

import numpy as np

import kit as S

PAGE_COUNT = 12


def journal_frame(theta, seed, size=92):
    """The small journal at cover angle theta (0 closed .. pi open), centred in size x size."""
    img = S.canvas(size, size)
    bw, bh = 40, 58
    c = size / 2
    t = theta / math.pi
    spine = c - bw / 2 + bw / 2 * t  # the book's middle drifts to the spine as it opens
    top = c - bh / 2
    # pages block (right side) and, once open, the left page
    right_pages = S.polygon(size, size, [(spine, top + 2), (spine + bw - 2, top + 3), (spine + bw - 2, top + bh - 3), (spine, top + bh - 2)])
    back = S.rrect_mask(size, size, (int(spine - 1), int(top), int(spine + bw + 1), int(top + bh)), 4)
    shadow = S.solid(S.blur(S.shift(back, 3, 2), 2.5), "#000000", 0.6)
    S.over(img, shadow)
    S.over(img, S.layer(S.leather(size, size, seed, "wine") * 0.8, back))
    S.over(img, S.layer(S.parchment(size, size, seed + 1), right_pages))
    lines = np.zeros((size, size), np.float32)
    if t > 0.5:
        for k in range(6):
            y = top + 12 + k * 7
            lines = np.maximum(lines, S.line_mask(size, size, [(spine + 5, y), (spine + bw - 8, y)], 0.8))
            lines = np.maximum(lines, S.line_mask(size, size, [(spine - bw + 8, y), (spine - 5, y)], 0.8))
        left_pages = S.polygon(size, size, [(spine, top + 2), (spine - bw + 2, top + 3), (spine - bw + 2, top + bh - 3), (spine, top + bh - 2)])
        lb = S.rrect_mask(size, size, (int(spine - bw - 1), int(top), int(spine + 1), int(top + bh)), 4)
        S.over(img, S.layer(S.leather(size, size, seed + 2, "wine") * 0.8, lb))
        S.over(img, S.layer(S.parchment(size, size, seed + 3) * 0.95, left_pages))
        S.over(img, S.solid(lines * 0.5, "ink"))
        gut = S.line_mask(size, size, [(spine, top + 3), (spine, top + bh - 3)], 2)
        S.over(img, S.solid(S.blur(gut, 1.5), "ink", 0.5))
    # the cover
    cw = bw * math.cos(theta)
    if abs(cw) > 1.5:
        x0, x1 = (spine, spine + cw) if cw > 0 else (spine + cw, spine)
        lift = 4 * math.sin(theta)
        cover = S.polygon(size, size, [(x0, top - lift * (cw < 0)), (x1, top - lift * (cw > 0)), (x1, top + bh + lift * (cw > 0) * 0.3),
                                        (x0, top + bh)])
        if cw > 0:
            col = S.leather(size, size, seed + 4, "wine")
            shade = 0.75 + 0.25 * math.cos(theta)
            cl = S.layer(col * shade, cover)
            hgt = S.height_from_mask(cover, 3, "round")
            cl[..., :3] = S.bevel(cl[..., :3], hgt, 3.0, specular=0.1)
            S.over(img, cl)
            # brass corners and clasp
            if cw > 12:
                tool = S.ring(size, size, (x0 + x1) / 2, c, min(cw, bw) * 0.28, min(cw, bw) * 0.28 - 2.0)
                S.over(img, S.brass_layer(tool, seed + 5, 0.8, 3.0))
                for yy in (top + 2, top + bh - 9):
                    S.over(img, S.brass_layer(S.polygon(size, size, [(x1 - 8 * cw / bw, yy), (x1, yy), (x1, yy + 7)]), seed + 6, 1, 3))
                clasp = S.rrect_mask(size, size, (int(x1 - 5), int(c - 4), int(x1 + 3), int(c + 4)), 2)
                S.over(img, S.brass_layer(clasp, seed + 7, 1.5, 5))
        else:
            col = S.parchment(size, size, seed + 8, 0.15)
            S.over(img, S.layer(col * 0.85, cover))
            S.over(img, S.layer(S.leather(size, size, seed + 9, "wine") * 0.7,
                                np.clip(cover - S.erode(cover, 2), 0, 1)))
    return img


def build_clipboard():
    n = 9
    frames = [journal_frame(i / (n - 1) * math.pi, 500) for i in range(n)]
    S.save_anim("diary/clipboard", frames, functions=[
        ("Open", 45, False, list(range(n))),
        ("Close", 45, False, list(range(n - 1, -1, -1))),
    ], cols=5)


def book_back(seed):
    """The open journal filling the screen, lying on the desk in lamplight."""
    w, h = 1024, 768
    img = S.canvas(w, h, "ink", 1)
    desk = S.walnut_grain(w, h, seed, "walnut", dark=0.35)
    img[..., :3] = desk
    # leather cover, a little larger than the pages
    cover = S.rrect_mask(w, h, (44, 22, 980, 716), 26)
    S.over(img, S.solid(S.blur(S.shift(cover, 10, 0), 14), "#000000", 0.7))
    cl = S.layer(S.leather(w, h, seed + 1, "wine"), cover)
    cl[..., :3] = S.bevel(cl[..., :3], S.height_from_mask(cover, 10, "round"), 6.0, specular=0.1)
    S.over(img, cl)
    # gilt tooling line on the cover's edge
    tool = np.clip(S.rrect_mask(w, h, (56, 34, 968, 704), 20) - S.rrect_mask(w, h, (59, 37, 965, 701), 18), 0, 1)
    S.over(img, S.brass_layer(tool, seed + 2, 0.8, 3.0))
    # page stacks (several page edges), then the two pages with a curved gutter
    for k in range(5, 0, -1):
        pm = S.rrect_mask(w, h, (72 - k, 46 + k, 952 + k, 694 + k), 10)
        pl = S.layer(S.parchment(w, h, seed + 3, 0.25 + k * 0.02) * (0.82 - k * 0.02), pm)
        S.over(img, pl)
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    pages = S.rrect_mask(w, h, (72, 44, 952, 692), 10)
    # the middle sags a bit: pages bow toward the gutter
    sag = 6 * np.exp(-((xx - 512) / 60) ** 2)
    pages = np.clip(pages - ((yy < 44 + sag) | (yy > 692 - sag * 0.3)), 0, 1)
    pc = S.parchment(w, h, seed + 4, -0.08, stains=0.35)
    gutter = np.exp(-((xx - 512) / 17) ** 2)
    curl = 0.88 + 0.12 * np.clip(np.abs(xx - 512) / 440, 0, 1) ** 0.5
    edge = 1 - 0.18 * np.clip((np.abs(xx - 512) - 400) / 40, 0, 1)
    pc = pc * (curl * edge * (1 - 0.38 * gutter))[..., None]
    S.over(img, S.layer(pc, pages))
    # faint ruled lines on both pages, a margin rule, and a small ornament at the page heads
    rules = np.zeros((h, w), np.float32)
    for y in range(118, 630, 30):
        rules[y, 110:478] = 1
        rules[y, 548:914] = 1
    rules = S.blur(rules, 0.5) * 1.6
    S.over(img, S.solid(np.clip(rules, 0, 1) * 0.16 * pages, "#6b7f96"))
    for x in (126, 564):
        m = np.zeros((h, w), np.float32)
        m[80:640, x] = 1
        S.over(img, S.solid(S.blur(m, 0.6) * 1.5 * 0.18, "wine"))
    for cx in (292, 732):
        S.over_center(img, flourish_line(220, 24, seed + cx), cx, 74)
    # bottom of the right page: a slightly darker band holding the arrows and the number
    light = S.glow_disc(1300, "candle", 2.0)
    light[..., 3] *= 0.18
    S.over_center(img, light, 380, 260)
    img = S.vignette(S.grain(img, 0.035, seed), 0.5)
    return img


def flourish_line(w, h, seed, colour="ink"):
    """An inked rule with a small diamond and curls in the middle."""
    def fn(d, s):
        cy = h / 2
        d.line([(6 * s, cy * s), ((w / 2 - 20) * s, cy * s)], fill=255, width=max(1, int(1.2 * s)))
        d.line([((w / 2 + 20) * s, cy * s), ((w - 6) * s, cy * s)], fill=255, width=max(1, int(1.2 * s)))
        r = 6
        d.polygon([((w / 2) * s, (cy - r) * s), ((w / 2 + r) * s, cy * s), ((w / 2) * s, (cy + r) * s), ((w / 2 - r) * s, cy * s)], fill=255)
        for dx in (-1, 1):
            pts = S.scroll_path(w / 2 + dx * 14, cy - 3, 5, 0.8, dx, 20, math.pi / 2)
            d.line([(x * s, y * s) for x, y in pts], fill=255, width=max(1, int(1.2 * s)))
    m = S.draw_mask(w, h, fn)
    return S.solid(m, colour, 0.7)


def build():
    seed = 520
    S.save_jpg(book_back(seed), "diary/back", 90)
    # page arrows at (568, 660) and (888, 660): inked hands-drawn arrows on the page
    for name, d in (("arrow_right", 1), ("arrow_left", -1)):
        w, h = 64, 48
        img = S.canvas(w, h)
        def fn(dr, s, d=d):
            pts = [(8, 26), (22, 20), (38, 24), (52, 22)]
            if d < 0:
                pts = [(w - x, y) for x, y in pts]
            dr.line([(x * s, y * s) for x, y in pts], fill=255, width=int(3 * s), joint="curve")
            tip = pts[-1]
            dr.polygon([(tip[0] * s + d * 8 * s, tip[1] * s), ((tip[0] - d * 6) * s, (tip[1] - 9) * s), ((tip[0] - d * 6) * s, (tip[1] + 9) * s)], fill=255)
            tail = pts[0]
            for dy in (-6, 6):
                dr.line([(tail[0] * s, tail[1] * s), ((tail[0] - d * 6) * s, (tail[1] + dy) * s)], fill=255, width=int(2 * s))
        m = S.draw_mask(w, h, fn)
        S.over(img, S.solid(m, "ink", 0.85))
        S.save_png(img, "diary/" + name)
        foc = S.canvas(w, h)
        S.over(foc, S.solid(np.clip(S.blur(m, 5) * 2.0, 0, 1) * 0.75, "amber"))
        S.over(foc, S.solid(m, "wine", 0.95))
        S.save_png(foc, "diary/" + name + "_focus")
    # page numbers, inked italic numerals between small rules
    for i in range(1, PAGE_COUNT + 1):
        w, h = 96, 40
        img = S.canvas(w, h)
        s = str(i)
        m = S.text_mask(w, h, s, "italic", 26, w / 2, h / 2)
        S.over(img, S.solid(m, "ink", 0.85))
        tw = S.text_size(s, "italic", 26)[0]
        for dx in (-1, 1):
            x0 = w / 2 + dx * (tw / 2 + 7)
            x1 = w / 2 + dx * (tw / 2 + 22)
            lm = S.line_mask(w, h, [(x0, h / 2 + 1), (x1, h / 2 + 1)], 1.2)
            dm = S.circle(w, h, x1 + dx * 3, h / 2 + 1, 1.8)
            S.over(img, S.solid(np.maximum(lm, dm), "ink", 0.6))
        S.save_png(img, "diary/page_%d" % i)
    # close ribbon (512, 752): a wine silk bookmark tab with brass ends; the caption is drawn on it
    w, h = 190, 46
    rib = S.polygon(w, h, [(4, 6), (w - 4, 6), (w - 16, h / 2 + 1), (w - 4, h - 5), (4, h - 5), (16, h / 2 + 1)])
    img = S.canvas(w, h)
    S.over(img, S.solid(S.blur(S.shift(rib, 3, 0), 3), "#000000", 0.55))
    col = S.velvet(w, h, 521, "wine")
    folds = 0.85 + 0.15 * np.sin(np.linspace(0, 9, w))[None, :]
    rl = S.layer(col * folds[..., None], rib)
    rl[..., :3] = S.bevel(rl[..., :3], S.height_from_mask(rib, 4, "round"), 3.0, specular=0.15)
    S.over(img, rl)
    stitch = np.zeros((h, w), np.float32)
    for x in range(20, w - 20, 6):
        stitch[9, x:x + 3] = 1
        stitch[h - 9, x:x + 3] = 1
    S.over(img, S.solid(stitch * 0.7, "amber"))
    S.save_png(img, "diary/close_normal")
    S.save_png(S.hover(img, 0.15, 0.3, 0.9, 4), "diary/close_focus")
    # quit glow: drawn at scale_x 7 and tinted blue by the code, so white and soft
    w, h = 128, 120
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    a = np.clip(1 - ((xx - w / 2) / (w / 2)) ** 2 - ((yy - h / 2) / (h / 2)) ** 2, 0, 1) ** 1.6
    S.save_png(S.solid(a, (1, 1, 1)), "diary/flare_alpha")
    build_clipboard()
