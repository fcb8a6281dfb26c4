#!/usr/bin/python3
"""Makes the 640 x 480, 30 fps clip the video benchmarks play: four seconds of slow pan and zoom over
a detailed painted-looking picture (layered noise down to single pixels, hills, a sun and scattered
strokes, drawn here) at a high quality setting, a harder case than an intro over the game's art,
with a ".zalpha" whose edge is soft.

    /usr/bin/python3 bench/video/make_clip.py OUT_FOLDER

writes OUT_FOLDER/clip640.{ogg,zalpha} through tools/make_video.py (bench/run calls it).
"""
import json
import os
import sys

import numpy as np
from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools"))
import make_video  # noqa: E402


def painting(width=1280, height=960, seed=7):
    rng = np.random.default_rng(seed)
    field = np.zeros((height, width, 3), np.float32)
    # Noise at several scales gives the texture of brush work.
    for scale, weight in ((160, 0.45), (40, 0.25), (8, 0.2), (2, 0.1)):
        small = rng.random((height // scale + 2, width // scale + 2, 3)).astype(np.float32)
        layer = np.asarray(Image.fromarray((small * 255).astype(np.uint8), "RGB")
                           .resize((width, height), Image.BICUBIC), np.float32) / 255
        field += layer * weight
    sky = np.linspace([70, 90, 150], [230, 170, 120], height)[:, None, :]
    image = np.clip(sky * (0.7 + 0.6 * field), 0, 255).astype(np.uint8)
    picture = Image.fromarray(image, "RGB")
    d = ImageDraw.Draw(picture)
    d.ellipse((880, 160, 1040, 320), fill=(255, 230, 170))
    for i, colour in enumerate(((60, 90, 60), (45, 70, 50), (30, 50, 40))):
        base = 560 + i * 120
        points = [(x, base + 60 * np.sin(x / (140 + 40 * i) + i)) for x in range(0, width + 40, 40)]
        d.polygon(points + [(width, height), (0, height)], fill=colour)
    for _ in range(400):
        x, y = rng.integers(0, width), rng.integers(height // 2, height)
        c = tuple(int(v) for v in rng.integers(20, 200, 3))
        d.line((x, y, x + rng.integers(-20, 20), y - rng.integers(5, 30)), fill=c, width=2)
    return picture


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(out, exist_ok=True)
    art = os.path.join(out, "painting.png")
    rgba = painting().convert("RGBA")
    # A soft vignette of alpha, so that the clip has a real alpha plane to inflate and blend.
    h, w = rgba.size[1], rgba.size[0]
    y, x = np.mgrid[0:h, 0:w].astype(np.float32)
    d = np.sqrt(((x - w / 2) / (w / 2)) ** 2 + ((y - h / 2) / (h / 2)) ** 2)
    alpha = np.clip((1.15 - d) * 4, 0, 1) * 255
    arr = np.asarray(rgba).copy()
    arr[..., 3] = alpha.astype(np.uint8)
    Image.fromarray(arr, "RGBA").save(art)
    board = {
        "size": [640, 480], "fps": 30, "quality": 8, "keyframes": 30, "background": [0, 0, 0, 0],
        "alpha": "zalpha",
        "shots": [{"image": "painting.png", "duration": 4.0, "fit": "cover",
                   "from": {"zoom": 1.0, "x": 0.45, "y": 0.5}, "to": {"zoom": 1.25, "x": 0.58, "y": 0.44},
                   "ease": "linear"}],
    }
    path = os.path.join(out, "clip640.json")
    with open(path, "w") as f:
        json.dump(board, f)
    make_video.build(path, os.path.join(out, "clip640"))


if __name__ == "__main__":
    main()
