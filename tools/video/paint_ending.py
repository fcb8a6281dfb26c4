#!/usr/bin/python3
"""Composes the ending film's own frames from the game's paintings into a folder:

    /usr/bin/python3 tools/video/paint_ending.py OUT_DIR

tower_dawn.png   the clock room once the clock runs again: the hand on the regulator, the mirror
                 glowing and Ysolde standing before it (the tower's backdrop with its placed
                 pieces, at the positions of assets/levels/level/tower/objects.txt).
cliff_night.png  the house on the cliff before sunrise: the dawn painting in the cold blue of the
                 last hour of night, the sun not yet up (the film crossfades it into the dawn).

Nothing is painted here: both are grades and layers of committed art, so every run gives the same
pictures. Needs Debian's python3 with python3-numpy and python3-pil.
"""
import os
import sys

import numpy as np
from PIL import Image

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
LEVEL = os.path.join(ROOT, "assets", "levels", "level")


def load(path, mode="RGBA"):
    return np.asarray(Image.open(path).convert(mode), np.float32) / 255.0


def placements(room):
    """name -> (image, x, y) from a room's objects.txt."""
    out = {}
    with open(os.path.join(LEVEL, room, "objects.txt")) as f:
        for line in f:
            parts = line.split()
            if len(parts) >= 4 and not parts[0].startswith("#"):
                out[parts[0]] = (parts[1], int(parts[2]), int(parts[3]))
    return out


def layer(canvas, name, places, add=False, alpha=1.0):
    """Draws a placed piece centred on its position: normally, or added like the game's glows."""
    image, x, y = places[name]
    src = load(os.path.join(ROOT, image + ".png"))
    h, w = src.shape[:2]
    left, top = x - w // 2, y - h // 2
    region = canvas[top:top + h, left:left + w]
    a = src[..., 3:4] * alpha
    if add:
        region += src[..., :3] * a
    else:
        region[:] = region * (1 - a) + src[..., :3] * a
    np.clip(region, 0, 1, out=region)


def tower_dawn(folder):
    places = placements("tower")
    cv = load(os.path.join(LEVEL, "tower", "back.jpg"), "RGB").copy()
    layer(cv, "tower_hand", places)
    layer(cv, "tower_mirror_glow", places, add=True)
    layer(cv, "tower_ysolde", places)
    save(cv, folder, "tower_dawn")


def cliff_night(folder):
    cv = load(os.path.join(LEVEL, "ending", "back.jpg"), "RGB")
    h, w = cv.shape[:2]
    lum = cv @ np.array([0.3, 0.55, 0.15], np.float32)
    # Night: the picture's light pressed down and turned towards night and slate; the brightest parts
    # (the sun, its path on the sea) held back hardest, the lit windows kept warm.
    night = np.array([0x1b, 0x24, 0x33], np.float32) / 255
    frost = np.array([0xcf, 0xe0, 0xea], np.float32) / 255
    ys = np.arange(h, dtype=np.float32)[:, None] / h
    xs = np.arange(w, dtype=np.float32)[None, :] / w
    # The sun and its glow on the sky and the sea are not up yet: their light is taken back first.
    warm = np.clip((cv[..., 0] - cv[..., 2]) * 2.2, 0, 1) * np.clip((xs - 0.45) / 0.2, 0, 1)
    lum = lum * (1 - 0.75 * warm)
    cold = night[None, None] + (frost - night)[None, None] * (lum[..., None] ** 1.5) * 0.6
    out = cold * 0.8 + cv * np.array([0.12, 0.14, 0.2], np.float32) * (1 - warm[..., None])
    # The house's windows stay lit: warm pixels on the house, left of the sea.
    windows = (cv[..., 0] > 0.7) & (cv[..., 1] > 0.5) & (cv[..., 2] < 0.5) & (ys < 0.48) & (xs < 0.45)
    out[windows] = cv[windows] * 0.85
    save(out, folder, "cliff_night")


def save(cv, folder, name):
    Image.fromarray((np.clip(cv, 0, 1) * 255 + 0.5).astype(np.uint8), "RGB").save(
        os.path.join(folder, name + ".png"), optimize=True)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    tower_dawn(folder)
    cliff_night(folder)


if __name__ == "__main__":
    main()
