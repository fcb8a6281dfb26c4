"""Compose the open diary for checking art: book, map (one room marked), a page picture and sample text.

usage: preview_diary.py <out.png> [page number 1..5] [marked room]
"""
import os
import re
import sys
import xml.etree.ElementTree as ET

from PIL import Image, ImageDraw, ImageFont

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
PAGE_PIC = (742, 200)  # centre of the page picture on screen
TITLE_Y, TEXT_Y, TEXT_X, WRAP = 350, 378, 562, 360


def anim_frame(res, idx):
    d = os.path.dirname(os.path.join(ROOT, res))
    an = ET.parse(os.path.join(ROOT, res + ".xml")).getroot()
    ft = ET.parse(os.path.join(d, an.get("frame_texture") + ".xml")).getroot()
    f = ft.findall("frame")[idx]
    sheet = Image.open(os.path.join(d, f.get("texture") + ".png")).convert("RGBA")
    l, t, w, h = (int(f.get(k)) for k in ("left", "top", "widht", "height"))
    return sheet.crop((l, t, l + w, t + h)), (int(f.get("x")), int(f.get("y")))


def main():
    out = sys.argv[1]
    page = int(sys.argv[2]) if len(sys.argv) > 2 else 1
    marked = sys.argv[3] if len(sys.argv) > 3 else "hall"
    img = Image.open(os.path.join(ROOT, "assets/diary/back.jpg")).convert("RGBA")
    for ln in open(os.path.join(ROOT, "assets/diary/map/objects.txt")):
        if ln.startswith("#") or not ln.strip():
            continue
        n, res, x, y, w, h, z = ln.split()
        x, y = int(x), int(y)
        if n == "map_back":
            im = Image.open(os.path.join(ROOT, res + ".png")).convert("RGBA")
            img.alpha_composite(im, (x - im.width // 2, y - im.height // 2))
        else:
            im, (px, py) = anim_frame(res, 1 if n == "map_room_" + marked else 0)
            img.alpha_composite(im, (x - px, y - py))
    pic = Image.open(os.path.join(ROOT, "assets/diary/pages/p%d.png" % page)).convert("RGBA")
    img.alpha_composite(pic, (PAGE_PIC[0] - pic.width // 2, PAGE_PIC[1] - pic.height // 2))
    d = ImageDraw.Draw(img)
    fdir = "/usr/share/fonts/opentype/ebgaramond"
    ft = ImageFont.truetype(os.path.join(fdir, "EBGaramond12-Regular.otf"), 20)
    fb = ImageFont.truetype(os.path.join(fdir, "EBGaramond12-Bold.otf"), 24)
    title, text = "Page %d" % page, ""
    design = open(os.path.join(ROOT, "docs/game-design.md")).read()
    m = re.search(r'\[diary_p%d_title\] "([^"]+)"' % page, design)
    if m:
        title = m.group(1)
    m = re.search(r'\[diary_p%d_text\] "(.+?)"\n\n' % page, design, re.S)
    if m:
        text = " ".join(m.group(1).split())
    d.text((PAGE_PIC[0], TITLE_Y), title, font=fb, fill=(42, 31, 23, 255), anchor="mm")
    words, line, y = text.split(), "", TEXT_Y
    for wd in words:
        t = (line + " " + wd).strip()
        if d.textlength(t, font=ft) > WRAP:
            d.text((TEXT_X, y), line, font=ft, fill=(42, 31, 23, 255))
            y += 24
            line = wd
        else:
            line = t
    d.text((TEXT_X, y), line, font=ft, fill=(42, 31, 23, 255))
    for name in ("page_%d" % page,):
        p = os.path.join(ROOT, "assets/diary/%s.png" % name)
        if os.path.exists(p):
            im = Image.open(p).convert("RGBA")
            img.alpha_composite(im, (728 - im.width // 2, 660 - im.height // 2))
    img.convert("RGB").save(out)


if __name__ == "__main__":
    main()
