"""Compose a room's backdrop with chosen objects from its objects.txt (for checking art).

usage: preview.py <room folder> <out.png> [object names...]   (no names: all objects)
"""
import os
import sys

from PIL import Image

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))


def main():
    folder, out = sys.argv[1], sys.argv[2]
    names = sys.argv[3:]
    d = os.path.join(ROOT, folder)
    back = Image.open(os.path.join(d, "back.jpg")).convert("RGBA")
    rows = []
    for ln in open(os.path.join(d, "objects.txt")):
        if ln.startswith("#") or not ln.strip():
            continue
        n, res, x, y, w, h, z = ln.split()
        if names and n not in names:
            continue
        rows.append((float(z), n, res, int(x), int(y)))
    for z, n, res, x, y in sorted(rows):
        im = Image.open(os.path.join(ROOT, res + ".png")).convert("RGBA")
        back.alpha_composite(im, (x - im.width // 2, y - im.height // 2))
    back.convert("RGB").save(out)


if __name__ == "__main__":
    main()
