#!/usr/bin/python3
"""Writes the images of the author's guide examples that the game's own art does not provide
(docs/examples/animation/wheel_sheet.png: eight frames of a turning brass wheel), and copies the
example video from the video example module of the tests (tests/examples/video/videos/lantern).

Run with Debian's python3 and python3-pil:  /usr/bin/python3 tools/make_doc_examples.py [--out DIR]
The output is committed; run again only to change it.
"""
import math
import os
import shutil
import sys

from PIL import Image, ImageDraw

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "lib"))
import outdir  # noqa: E402

ROOT = outdir.ROOT
DOCS = os.path.join(outdir.take(), "docs", "examples")

BRASS = (201, 160, 72, 255)
DARK = (92, 64, 24, 255)
SIDE = 64
FRAMES = 8


def wheel(angle):
    image = Image.new("RGBA", (SIDE * 4, SIDE * 4), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    c = SIDE * 2
    draw.ellipse((8, 8, SIDE * 4 - 9, SIDE * 4 - 9), outline=DARK, width=28)
    draw.ellipse((12, 12, SIDE * 4 - 13, SIDE * 4 - 13), outline=BRASS, width=20)
    for k in range(4):
        a = angle + k * math.pi / 2
        draw.line((c, c, c + math.cos(a) * 100, c + math.sin(a) * 100), fill=BRASS, width=16)
    draw.ellipse((c - 22, c - 22, c + 22, c + 22), fill=BRASS, outline=DARK, width=6)
    # Drawn at four times the size and scaled down for smooth edges.
    return image.resize((SIDE, SIDE), Image.LANCZOS)


def main():
    folder = os.path.join(DOCS, "animation")
    os.makedirs(folder, exist_ok=True)
    sheet = Image.new("RGBA", (SIDE * FRAMES, SIDE), (0, 0, 0, 0))
    for i in range(FRAMES):
        # A quarter turn over the eight frames: the four spokes make it a full cycle.
        sheet.alpha_composite(wheel(i * (math.pi / 2) / FRAMES), (i * SIDE, 0))
    sheet.save(os.path.join(folder, "wheel_sheet.png"), optimize=True)

    video = os.path.join(DOCS, "video")
    os.makedirs(video, exist_ok=True)
    for ext in (".ogg", ".zalpha"):
        shutil.copyfile(os.path.join(ROOT, "tests", "examples", "video", "videos", "lantern" + ext),
                        os.path.join(video, "lantern" + ext))


if __name__ == "__main__":
    main()
