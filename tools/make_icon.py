#!/usr/bin/python3
"""Makes the program's icon from the game's own art: the hint clock's dial at midnight
(assets/interface/hint/timer_sheet.png, first frame) with the "H" of the title logo
(assets/menu/logo.png) on it, in the sizes the desktop's icon theme takes.

Run with Debian's python3 and python3-pil:  /usr/bin/python3 tools/make_icon.py [--out DIR]
Writes packaging/icons/halvern-SIZE.png; the output is committed.
"""
import os
import sys

from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "lib"))
import outdir  # noqa: E402

ROOT = outdir.ROOT
OUT = os.path.join(outdir.take(), "packaging", "icons")
SIZES = (32, 48, 64, 128, 256)


def icon(size):
    sheet = Image.open(os.path.join(ROOT, "assets/interface/hint/timer_sheet.png")).convert("RGBA")
    logo = Image.open(os.path.join(ROOT, "assets/menu/logo.png")).convert("RGBA")
    # The sheet holds 8 x 4 dials of 91 px; the first shows the hand at twelve.
    dial = sheet.crop((0, 0, 91, 91)).resize((size, size), Image.LANCZOS)
    letter = logo.crop((85, 25, 200, 135))
    letter = letter.crop(letter.getbbox())
    height = round(size * 0.59)
    width = round(letter.width * height / letter.height)
    letter = letter.resize((width, height), Image.LANCZOS)
    out = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    out.alpha_composite(dial)
    out.alpha_composite(letter, ((size - width) // 2, (size - height) // 2))
    return out


def main():
    os.makedirs(OUT, exist_ok=True)
    for size in SIZES:
        icon(size).save(os.path.join(OUT, "halvern-%d.png" % size), optimize=True)


if __name__ == "__main__":
    main()
