#!/usr/bin/python3
"""Placeholder screenshots for the strategy guide, until the rooms can be photographed.

Each screenshot is a 660 x 496 crop of the menu backdrop (assets/menu/back.jpg), tinted towards the
room's colour from the palette, vignetted, with the room and the step named on a parchment band.
The file names are the ones the guide uses (assets/menu/strguide/guide.xml) and stay the same when
real screenshots replace these.

Run with Debian's python3 (python3-numpy, python3-pil):
    /usr/bin/python3 tools/guide/make_placeholder_screens.py
"""
import os

import numpy as np
from PIL import Image, ImageDraw, ImageFont

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
BACK = os.path.join(ROOT, "assets", "menu", "back.jpg")
OUT = os.path.join(ROOT, "assets", "menu", "strguide", "screens")
FONT = os.path.join(ROOT, "assets", "fonts", "gara.ttf")
SIZE = (660, 496)

PALETTE = {
    "night": "#1b2433", "teal": "#3d5a63", "amber": "#f2c46d", "walnut": "#5a3a22",
    "mahogany": "#7a3b2a", "moss": "#4f6b4a", "frost": "#cfe0ea", "brass": "#c8963e",
    "parchment": "#eadbb8", "ink": "#2a1f17", "dusk": "#4a3b5c",
}

# name: (room colour, crop centre x, crop centre y, zoom, caption)
SCREENS = {
    "gate_01": ("teal", 760, 330, 1.3, "The garden gate"),
    "gate_02": ("teal", 520, 520, 1.8, "The lantern post"),
    "gate_03": ("teal", 830, 300, 2.0, "The gate opens"),
    "hall_01": ("amber", 880, 250, 2.4, "The entrance hall"),
    "hall_02": ("amber", 700, 330, 2.2, "The stopped clock"),
    "hall_03": ("amber", 800, 360, 1.6, "The workshop door"),
    "hall_04": ("amber", 860, 230, 2.8, "The tower door"),
    "workshop_01": ("walnut", 740, 330, 1.5, "The workshop"),
    "bench_01": ("walnut", 600, 560, 1.4, "The cluttered workbench"),
    "bench_02": ("walnut", 640, 600, 2.1, "The oil can"),
    "library_01": ("mahogany", 760, 310, 1.7, "The library"),
    "desk_01": ("mahogany", 560, 520, 2.3, "The desk drawer"),
    "shelves_01": ("mahogany", 450, 430, 1.3, "The crowded shelves"),
    "shelves_02": ("mahogany", 380, 520, 1.9, "The gear wheel"),
    "cabinet_01": ("dusk", 820, 330, 2.6, "The curio cabinet"),
    "conservatory_01": ("frost", 300, 300, 1.4, "The conservatory"),
    "gears_01": ("moss", 420, 380, 2.0, "The puzzle box"),
    "gears_02": ("moss", 450, 420, 2.6, "The clock hand"),
    "tower_01": ("brass", 880, 240, 3.0, "The clock mechanism"),
    "clockface_01": ("brass", 880, 255, 4.0, "The clock face"),
    "tower_02": ("night", 600, 300, 1.1, "Midnight strikes"),
}


def colour(name):
    h = PALETTE[name].lstrip("#")
    return np.array([int(h[i:i + 2], 16) / 255.0 for i in (0, 2, 4)], dtype=np.float32)


def crop(back, cx, cy, zoom):
    w, h = SIZE[0] / zoom * 1.2, SIZE[1] / zoom * 1.2
    left = min(max(cx - w / 2, 0), back.width - w)
    top = min(max(cy - h / 2, 0), back.height - h)
    return back.resize(SIZE, Image.LANCZOS, box=(left, top, left + w, top + h))


def shade(image, tint):
    a = np.asarray(image, dtype=np.float32) / 255.0
    lum = a @ np.array([0.3, 0.59, 0.11], dtype=np.float32)
    toned = 0.55 * a + 0.45 * (lum[..., None] * 1.6 * tint)
    yy, xx = np.mgrid[0:SIZE[1], 0:SIZE[0]].astype(np.float32)
    d = np.sqrt(((xx - SIZE[0] / 2) / (SIZE[0] / 2)) ** 2 + ((yy - SIZE[1] / 2) / (SIZE[1] / 2)) ** 2)
    vignette = np.clip(1.15 - 0.45 * d ** 2, 0.35, 1.0)
    return Image.fromarray((np.clip(toned * vignette[..., None], 0, 1) * 255).astype(np.uint8), "RGB")


def label(image, text):
    draw = ImageDraw.Draw(image, "RGBA")
    band = (0, SIZE[1] - 64, SIZE[0], SIZE[1])
    parchment = tuple(int(c * 255) for c in colour("parchment"))
    draw.rectangle(band, fill=parchment + (215,))
    draw.line((24, SIZE[1] - 60, SIZE[0] - 24, SIZE[1] - 60), fill=tuple(int(c * 255) for c in colour("brass")), width=2)
    font = ImageFont.truetype(FONT, 34)
    ink = tuple(int(c * 255) for c in colour("ink"))
    w = draw.textlength(text, font=font)
    draw.text(((SIZE[0] - w) / 2, SIZE[1] - 54), text, font=font, fill=ink)
    return image


def main():
    os.makedirs(OUT, exist_ok=True)
    back = Image.open(BACK).convert("RGB")
    for name, (room, cx, cy, zoom, caption) in sorted(SCREENS.items()):
        image = label(shade(crop(back, cx, cy, zoom), colour(room)), caption)
        image.save(os.path.join(OUT, name + ".jpg"), quality=86, optimize=True)
    print("wrote %d screenshots to %s" % (len(SCREENS), os.path.relpath(OUT, ROOT)))


if __name__ == "__main__":
    main()
