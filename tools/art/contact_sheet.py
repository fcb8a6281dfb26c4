#!/usr/bin/python3
"""Lays every generated interface image on a few contact-sheet pages (PNG) for review.

Run:  /usr/bin/python3 tools/art/contact_sheet.py [outdir]   (default /tmp; writes halvern_contact_N.png)
Images are drawn at their own size (large ones scaled down to fit their cell, marked with the scale)
on a dark checker so that transparency shows, each with its path and size.
"""
import os
import sys

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "lib"))
import kit as S  # noqa: E402

FOLDERS = ["interface", "diary", "menu", "cursors"]
PAGE_W, PAGE_H = 1600, 1200
MAX_CELL_W, MAX_CELL_H = 520, 300


def gather():
    out = []
    for f in FOLDERS:
        base = os.path.join(S.ASSETS, f)
        for dp, _, files in sorted(os.walk(base)):
            for name in sorted(files):
                if name.endswith((".png", ".jpg")):
                    out.append(os.path.join(dp, name))
    return out


def checker(w, h, a=(38, 40, 48), b=(52, 55, 64), step=8):
    im = Image.new("RGB", (w, h), a)
    d = ImageDraw.Draw(im)
    for y in range(0, h, step):
        for x in range((y // step) % 2 * step, w, step * 2):
            d.rectangle((x, y, x + step - 1, y + step - 1), fill=b)
    return im


def main(outdir="/tmp"):
    files = gather()
    label_font = ImageFont.truetype(S.FONTS["serif"], 13)
    pages = []
    page = Image.new("RGB", (PAGE_W, PAGE_H), (24, 26, 32))
    x = y = 10
    row_h = 0
    for path in files:
        im = Image.open(path).convert("RGBA")
        w, h = im.size
        k = min(1.0, MAX_CELL_W / w, MAX_CELL_H / h)
        if w * k < 24 and h * k < 24:
            k = min(8.0, 24 / max(w, h))  # blow up tiny pieces
        tw, th = max(1, int(w * k)), max(1, int(h * k))
        shown = im.resize((tw, th), Image.NEAREST if k > 1 else Image.LANCZOS)
        cw, ch = max(tw, 150) + 12, th + 34
        if x + cw > PAGE_W:
            x, y, row_h = 10, y + row_h, 0
        if y + ch > PAGE_H:
            pages.append(page)
            page = Image.new("RGB", (PAGE_W, PAGE_H), (24, 26, 32))
            x, y, row_h = 10, 10, 0
        bg = checker(tw, th)
        bg.paste(shown, (0, 0), shown)
        page.paste(bg, (x, y))
        rel = os.path.relpath(path, S.ASSETS)
        lab = "%s %dx%d%s" % (rel, w, h, "" if k == 1 else " @%.2f" % k)
        ImageDraw.Draw(page).text((x, y + th + 3), lab, font=label_font, fill=(220, 210, 180))
        x += cw + 6
        row_h = max(row_h, ch + 6)
    pages.append(page)
    out = []
    for i, p in enumerate(pages):
        fn = os.path.join(outdir, "halvern_contact_%d.png" % (i + 1))
        p.save(fn)
        out.append(fn)
    print("\n".join(out))


if __name__ == "__main__":
    main(*(sys.argv[1:2]))
