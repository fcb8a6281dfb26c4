#!/usr/bin/python3
"""Writes the images of the particle tests (tests/data/particles/) and of the particle example module
(tests/examples/particles/images/). All art is drawn here from plain shapes.

Run with Debian's python3 and python3-pil:  /usr/bin/python3 tools/make_particle_images.py [--out DIR]
The output is committed; run again only to change the images.
"""
import math
import os
import sys

from PIL import Image, ImageDraw

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "lib"))
import outdir  # noqa: E402

OUT = outdir.take()
DATA = os.path.join(OUT, "tests", "data", "particles")
EXAMPLE = os.path.join(OUT, "tests", "examples", "particles", "images")

CLEAR = (0, 0, 0, 0)


def save(image, folder, name):
    os.makedirs(folder, exist_ok=True)
    image.save(os.path.join(folder, name), optimize=True)


def soft_blob(size):
    """White, with alpha falling from the centre to the edge as a smooth cone."""
    image = Image.new("RGBA", (size, size), CLEAR)
    centre = (size - 1) / 2
    for y in range(size):
        for x in range(size):
            d = math.hypot(x - centre, y - centre) / (size / 2)
            a = max(0.0, 1.0 - d) ** 1.5
            image.putpixel((x, y), (255, 255, 255, int(round(255 * a))))
    return image


def star(size):
    """A small white plus with a bright centre."""
    image = Image.new("RGBA", (size, size), CLEAR)
    draw = ImageDraw.Draw(image)
    mid = size // 2
    draw.line((0, mid, size - 1, mid), fill=(255, 255, 255, 200))
    draw.line((mid, 0, mid, size - 1), fill=(255, 255, 255, 200))
    draw.rectangle((mid - 1, mid - 1, mid + 1, mid + 1), fill=(255, 255, 255, 255))
    return image


def ring(size, hole, colour):
    """A disc with a transparent round hole in the middle."""
    image = Image.new("RGBA", (size, size), CLEAR)
    draw = ImageDraw.Draw(image)
    draw.ellipse((0, 0, size - 1, size - 1), fill=colour)
    lo = (size - hole) // 2
    draw.ellipse((lo, lo, lo + hole - 1, lo + hole - 1), fill=CLEAR)
    return image


def main():
    # 4 x 4 opaque white: a particle texture whose size the draw tests know.
    save(Image.new("RGBA", (4, 4), (255, 255, 255, 255)), DATA, "dot.png")
    save(soft_blob(32), EXAMPLE, "flame.png")
    save(star(9), EXAMPLE, "spark.png")
    # The sparkles' emitter area: a ring 200 pixels across with a hole of 120.
    save(ring(200, 120, (90, 90, 90, 255)), EXAMPLE, "ring_mask.png")


if __name__ == "__main__":
    main()
