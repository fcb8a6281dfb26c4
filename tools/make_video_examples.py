#!/usr/bin/python3
"""Draws the art of the video example module (tests/examples/video/) and makes its video with
tools/make_video.py from the committed storyboard (tests/examples/video/storyboard/lantern.json):
a lantern that glows up and sways, dissolving into a crescent moon, on a clear background, with two
subtitle lines. Also draws the scene's backdrop.

Run with Debian's python3, python3-pil, python3-numpy and ffmpeg:
    /usr/bin/python3 tools/make_video_examples.py [--out DIR]
The output is committed; run again only to change the example.
"""
import os
import shutil
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFilter

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "lib"))
import outdir  # noqa: E402
import make_video  # noqa: E402

# The storyboard is an input: read from the repository, written beside the art it names.
STORYBOARD = os.path.join(outdir.ROOT, "tests", "examples", "video", "storyboard", "lantern.json")
EXAMPLE = os.path.join(outdir.take(), "tests", "examples", "video")
ART = os.path.join(EXAMPLE, "storyboard", "art")


def glow(size, centre, radius, colour, strength=1.0):
    """A soft round light: colour with alpha falling off from the centre."""
    w, h = size
    y, x = np.mgrid[0:h, 0:w].astype(np.float32)
    d = np.sqrt((x - centre[0]) ** 2 + (y - centre[1]) ** 2) / radius
    a = np.clip(1 - d, 0, 1) ** 2 * strength
    arr = np.zeros((h, w, 4), np.uint8)
    arr[..., 0], arr[..., 1], arr[..., 2] = colour
    arr[..., 3] = np.round(a * 255).astype(np.uint8)
    return Image.fromarray(arr, "RGBA")


def lantern():
    size = (384, 288)
    image = Image.new("RGBA", size, (0, 0, 0, 0))
    image.alpha_composite(glow(size, (192, 150), 80, (255, 190, 90), 0.8))
    d = ImageDraw.Draw(image)
    # Chain and handle.
    d.line((192, 0, 192, 70), fill=(60, 50, 45, 255), width=4)
    d.arc((162, 58, 222, 110), 180, 360, fill=(70, 60, 50, 255), width=6)
    # Cap, glass and base.
    d.polygon([(150, 92), (234, 92), (216, 72), (168, 72)], fill=(58, 48, 40, 255))
    d.rectangle((156, 92, 228, 206), fill=(255, 214, 120, 235))
    inner = glow(size, (192, 150), 46, (255, 250, 220), 1.0)
    image.alpha_composite(inner)
    d = ImageDraw.Draw(image)
    for x in (156, 180, 204, 228):
        d.line((x, 92, x, 206), fill=(58, 48, 40, 255), width=5)
    d.rectangle((146, 206, 238, 222), fill=(58, 48, 40, 255))
    # A flame.
    d.ellipse((184, 132, 200, 166), fill=(255, 140, 40, 255))
    d.ellipse((188, 142, 196, 164), fill=(255, 240, 200, 255))
    return image


def moon():
    size = (384, 288)
    image = Image.new("RGBA", size, (0, 0, 0, 0))
    image.alpha_composite(glow(size, (200, 140), 80, (170, 190, 255), 0.7))
    disc = Image.new("L", size, 0)
    ImageDraw.Draw(disc).ellipse((140, 80, 260, 200), fill=255)
    ImageDraw.Draw(disc).ellipse((172, 64, 292, 184), fill=0)
    disc = disc.filter(ImageFilter.GaussianBlur(1.2))
    body = Image.new("RGBA", size, (240, 236, 210, 255))
    body.putalpha(disc)
    image.alpha_composite(body)
    d = ImageDraw.Draw(image)
    for x, y, r in ((60, 50, 3), (320, 70, 2), (300, 230, 3), (90, 220, 2), (40, 140, 2), (350, 160, 2)):
        d.ellipse((x - r, y - r, x + r, y + r), fill=(255, 255, 240, 255))
    return image


def backdrop():
    """A night wall: dark blue above a brown floor, so clear parts of the video show it."""
    image = Image.new("RGB", (256, 192), (30, 36, 64))
    ImageDraw.Draw(image).rectangle((0, 136, 255, 191), fill=(70, 50, 36))
    return image


def main():
    os.makedirs(ART, exist_ok=True)
    lantern().save(os.path.join(ART, "lantern.png"), optimize=True)
    moon().save(os.path.join(ART, "moon.png"), optimize=True)
    os.makedirs(os.path.join(EXAMPLE, "images"), exist_ok=True)
    backdrop().save(os.path.join(EXAMPLE, "images", "backdrop.png"), optimize=True)
    board_path = os.path.join(EXAMPLE, "storyboard", "lantern.json")
    if os.path.abspath(board_path) != os.path.abspath(STORYBOARD):
        shutil.copyfile(STORYBOARD, board_path)
    board = make_video.build(board_path,
                             os.path.join(EXAMPLE, "videos", "lantern"))
    print("lantern: %d frames" % board.frame_count)


if __name__ == "__main__":
    main()
