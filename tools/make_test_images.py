#!/usr/bin/python3
"""Writes the tiny images the texture and cache tests load (tests/data/textures/).

Run with Debian's python3 and python3-pil:  /usr/bin/python3 tools/make_test_images.py [--out DIR]
The output is committed; run again only to change the images.
"""
import os
import sys

from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "lib"))
import outdir  # noqa: E402

OUT = os.path.join(outdir.take(), "tests", "data", "textures")


def save(image, name):
    image.save(os.path.join(OUT, name), optimize=True)


def main():
    os.makedirs(OUT, exist_ok=True)

    # Same name as .png and .jpg: the .png (4 x 2) must win over the .jpg (8 x 8).
    save(Image.new("RGBA", (4, 2), (255, 0, 0, 255)), "both.png")
    save(Image.new("RGB", (8, 8), (0, 0, 255)), "both.jpg")
    # Only a .jpg: fully opaque.
    save(Image.new("RGB", (6, 4), (0, 255, 0)), "onlyjpg.jpg")

    # 40 x 3, transparent except for a few pixels, to check the mask's column blocks: alpha 1 at
    # (0, 0), 255 at (31, 1), 128 at (32, 0), 1 at (39, 2); alpha 0 with white colour at (1, 0).
    mask = Image.new("RGBA", (40, 3), (0, 0, 0, 0))
    mask.putpixel((0, 0), (10, 20, 30, 1))
    mask.putpixel((1, 0), (255, 255, 255, 0))
    mask.putpixel((31, 1), (0, 0, 0, 255))
    mask.putpixel((32, 0), (0, 0, 0, 128))
    mask.putpixel((39, 2), (0, 0, 0, 1))
    save(mask, "mask.png")

    # A sprite sheet of two 8 x 4 frames side by side: the left frame opaque in its left half only,
    # the right one fully opaque.
    sheet = Image.new("RGBA", (16, 4), (0, 0, 0, 0))
    for y in range(4):
        for x in range(4):
            sheet.putpixel((x, y), (255, 255, 255, 255))
        for x in range(8, 16):
            sheet.putpixel((x, y), (255, 0, 0, 255))
    save(sheet, "sheet.png")


if __name__ == "__main__":
    main()
