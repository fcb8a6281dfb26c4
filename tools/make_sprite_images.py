#!/usr/bin/python3
"""Writes the images of the sprite tests (tests/data/sprites/) and of the sprite example module
(tests/examples/sprites/images/). All art is drawn here from plain shapes.

Run with Debian's python3 and python3-pil:  /usr/bin/python3 tools/make_sprite_images.py [--out DIR]
The output is committed; run again only to change the images.
"""
import os
import sys

from PIL import Image, ImageDraw

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "lib"))
import outdir  # noqa: E402

OUT = outdir.take()
DATA = os.path.join(OUT, "tests", "data", "sprites")
EXAMPLE = os.path.join(OUT, "tests", "examples", "sprites", "images")

CLEAR = (0, 0, 0, 0)


def save(image, folder, name):
    os.makedirs(folder, exist_ok=True)
    image.save(os.path.join(folder, name), optimize=True)


def square(size, colour):
    return Image.new("RGBA", (size, size), colour)


def disc(size, colour):
    image = Image.new("RGBA", (size, size), CLEAR)
    ImageDraw.Draw(image).ellipse((0, 0, size - 1, size - 1), fill=colour)
    return image


def ring(size, hole, colour):
    """A disc with a transparent round hole in the middle."""
    image = disc(size, colour)
    lo = (size - hole) // 2
    ImageDraw.Draw(image).ellipse((lo, lo, lo + hole - 1, lo + hole - 1), fill=CLEAR)
    return image


def strip(side, colours):
    """Frames of side x side next to each other, each filled with its colour."""
    image = Image.new("RGBA", (side * len(colours), side), CLEAR)
    draw = ImageDraw.Draw(image)
    for i, colour in enumerate(colours):
        draw.rectangle((i * side, 0, i * side + side - 1, side - 1), fill=colour)
    return image


def test_data():
    # 16 x 16 opaque red with a transparent 6 x 6 hole at pixels 5..10.
    hole = square(16, (255, 0, 0, 255))
    ImageDraw.Draw(hole).rectangle((5, 5, 10, 10), fill=CLEAR)
    save(hole, DATA, "hole.png")
    # Four 8 x 8 frames: red, green, blue, white; the last one transparent in its right half.
    frames = strip(8, [(255, 0, 0, 255), (0, 255, 0, 255), (0, 0, 255, 255), (255, 255, 255, 255)])
    ImageDraw.Draw(frames).rectangle((28, 0, 31, 7), fill=CLEAR)
    save(frames, DATA, "strip.png")


def example():
    # A dark backdrop with a lighter band, drawn at four times its size.
    backdrop = Image.new("RGBA", (256, 192), (24, 32, 48, 255))
    ImageDraw.Draw(backdrop).rectangle((0, 120, 255, 191), fill=(40, 56, 72, 255))
    save(backdrop, EXAMPLE, "backdrop.png")
    save(square(64, (220, 40, 40, 255)), EXAMPLE, "red_square.png")
    save(disc(64, (40, 80, 230, 255)), EXAMPLE, "blue_disc.png")
    save(disc(64, (40, 200, 80, 255)), EXAMPLE, "green_disc.png")
    save(ring(128, 64, (240, 200, 40, 255)), EXAMPLE, "ring.png")
    save(square(48, (90, 90, 90, 255)), EXAMPLE, "lamp_off.png")
    save(square(48, (255, 250, 200, 255)), EXAMPLE, "lamp_on.png")
    # The spinner's sheet: four 48 x 48 frames, magenta, cyan, orange, white.
    save(strip(48, [(200, 40, 200, 255), (40, 200, 200, 255), (240, 140, 20, 255), (250, 250, 250, 255)]),
         EXAMPLE, "spinner_sheet.png")


def main():
    test_data()
    example()


if __name__ == "__main__":
    main()
