#!/usr/bin/python3
"""Writes the image font Pixmote's tests, examples and benchmark draw text with: DejaVu Sans at 16 pixels
(ASCII, Latin-1, Cyrillic and U+FFFD), as a glyph table in the text format of bitmap fonts
(tests/data/pixmote/font/dejavu_16.fnt) beside its page image (dejavu_16.png, white glyphs whose
alpha is their coverage), with the font's kerning pairs between the ASCII letters.

Run with Debian's python3 and python3-pil (with libraqm0 for the kerning):  /usr/bin/python3 tools/make_pixmote_font.py [--out DIR]
Nothing is random: the same Pillow and font give the same files. The output is committed.
"""
import os
import sys

from PIL import Image, ImageDraw, ImageFont

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "lib"))
import outdir  # noqa: E402

ROOT = outdir.ROOT
OUT = os.path.join(outdir.take(), "tests", "data", "pixmote", "font")
NAME = "dejavu_16"
SIZE = 16
PAGE_WIDTH = 256
PAD = 1  # blank pixels around each glyph, so that no neighbour bleeds in when scaled

CODES = (list(range(0x20, 0x7F)) + list(range(0xA0, 0x100)) + list(range(0x400, 0x460)) + [0xFFFD])
KERNED = [c for c in range(0x21, 0x7F) if chr(c).isalnum() or chr(c) in ".,"]


def main():
    font = ImageFont.truetype(os.path.join(ROOT, "assets", "fonts", "DejaVuSans.ttf"), SIZE,
                              layout_engine=ImageFont.Layout.BASIC)
    ascent, descent = font.getmetrics()
    glyphs = []
    for code in CODES:
        ch = chr(code)
        advance = round(font.getlength(ch))
        left, top, right, bottom = font.getbbox(ch)
        if right <= left or bottom <= top:
            glyphs.append((code, None, 0, 0, advance))
            continue
        w, h = right - left + 2 * PAD, bottom - top + 2 * PAD
        image = Image.new("L", (w, h), 0)
        ImageDraw.Draw(image).text((PAD - left, PAD - top), ch, font=font, fill=255)
        glyphs.append((code, image, left - PAD, top - PAD, advance))

    # Shelves, tallest glyphs first, so that the page stays small.
    order = sorted((g for g in glyphs if g[1] is not None), key=lambda g: (-g[1].height, g[0]))
    places, x, y, shelf = {}, 0, 0, 0
    for code, image, _, _, _ in order:
        if x + image.width > PAGE_WIDTH:
            x, y, shelf = 0, y + shelf, 0
        places[code] = (x, y)
        x += image.width
        shelf = max(shelf, image.height)
    height = 1
    while height < y + shelf:
        height *= 2
    page = Image.new("RGBA", (PAGE_WIDTH, height), (255, 255, 255, 0))
    for code, image, _, _, _ in order:
        white = Image.new("RGBA", image.size, (255, 255, 255, 255))
        white.putalpha(image)
        page.paste(white, places[code])

    # The kerning the font's shaping applies between two letters, which single glyphs do not carry.
    shaper = ImageFont.truetype(os.path.join(ROOT, "assets", "fonts", "DejaVuSans.ttf"), SIZE,
                                layout_engine=ImageFont.Layout.RAQM)
    kernings = []
    for a in KERNED:
        for b in KERNED:
            pair = chr(a) + chr(b)
            amount = round(shaper.getlength(pair) - shaper.getlength(chr(a)) - shaper.getlength(chr(b)))
            if amount:
                kernings.append((a, b, amount))

    lines = [
        f'info face="DejaVu Sans" size={SIZE} bold=0 italic=0 charset="" unicode=1 stretchH=100 smooth=1 '
        f'aa=1 padding=0,0,0,0 spacing=1,1',
        f"common lineHeight={ascent + descent} base={ascent} scaleW={PAGE_WIDTH} scaleH={height} pages=1 "
        f"packed=0",
        f'page id=0 file="{NAME}.png"',
        f"chars count={len(glyphs)}",
    ]
    for code, image, xoff, yoff, advance in glyphs:
        px, py = places.get(code, (0, 0))
        w, h = (image.width, image.height) if image else (0, 0)
        lines.append(f"char id={code} x={px} y={py} width={w} height={h} xoffset={xoff} yoffset={yoff} "
                     f"xadvance={advance} page=0 chnl=15")
    lines.append(f"kernings count={len(kernings)}")
    lines += [f"kerning first={a} second={b} amount={amount}" for a, b, amount in kernings]

    os.makedirs(OUT, exist_ok=True)
    page.save(os.path.join(OUT, NAME + ".png"), optimize=True)
    with open(os.path.join(OUT, NAME + ".fnt"), "w", encoding="ascii", newline="\n") as out:
        out.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
