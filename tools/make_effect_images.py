#!/usr/bin/python3
"""Writes the textures of the bundled weather and sparkle effects (assets/levels/common/) and the art
of their example modules (tests/examples/effects/images/). Everything is drawn here from plain shapes
and gradients.

Run with Debian's python3, python3-pil and python3-numpy:
    /usr/bin/python3 tools/make_effect_images.py [--out DIR]
The output is committed; run again only to change the images.
"""
import os
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFilter

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "lib"))
import outdir  # noqa: E402

OUT = outdir.take()
COMMON = os.path.join(OUT, "assets", "levels", "common")
EXAMPLE = os.path.join(OUT, "tests", "examples", "effects", "images")

W, H = 1024, 768
# The window of the rain example, in canvas pixels: its glass spans this rectangle.
WINDOW = (392, 170, 632, 470)


def save(array_or_image, folder, name):
    os.makedirs(folder, exist_ok=True)
    image = array_or_image
    if isinstance(image, np.ndarray):
        image = Image.fromarray(np.clip(image, 0, 255).astype(np.uint8), "RGBA")
    image.save(os.path.join(folder, name), optimize=True)


def rgba(colour, alpha):
    """An RGBA array of one colour with the given alpha plane (0..1)."""
    h, w = alpha.shape
    out = np.zeros((h, w, 4), np.float64)
    out[..., :3] = colour
    out[..., 3] = np.clip(alpha, 0, 1) * 255
    return out


def grid(w, h):
    y, x = np.mgrid[0:h, 0:w].astype(np.float64)
    return x, y


def raindrop():
    """A streak drawn from its tail (top, clear) to its head (bottom, bright), soft across."""
    x, y = grid(8, 64)
    across = np.exp(-(((x - 3.5) / 1.5) ** 2))
    along = (y / 63.0) ** 1.6
    return rgba((205, 222, 245), across * along)


def snowflake():
    """A soft white disc with a brighter core."""
    x, y = grid(24, 24)
    d = np.hypot(x - 11.5, y - 11.5) / 12.0
    alpha = np.clip(1.0 - d, 0, 1) ** 1.3 + 0.4 * np.exp(-((d / 0.25) ** 2))
    return rgba((255, 255, 255), alpha)


def dust_mote():
    """A faint warm speck of dust."""
    x, y = grid(16, 16)
    d = np.hypot(x - 7.5, y - 7.5) / 8.0
    return rgba((255, 238, 205), np.clip(1.0 - d, 0, 1) ** 2)


def sparkle_star():
    """A four-pointed star with a round glow, white (the effect tints it)."""
    x, y = grid(48, 48)
    dx, dy = np.abs(x - 23.5), np.abs(y - 23.5)
    rays = np.exp(-dy / 1.3) * np.clip(1 - dx / 24, 0, 1) ** 2 + np.exp(-dx / 1.3) * np.clip(1 - dy / 24, 0, 1) ** 2
    d = np.hypot(dx, dy) / 24.0
    glow = 0.55 * np.clip(1 - d, 0, 1) ** 3 + np.exp(-((d / 0.12) ** 2))
    return rgba((255, 255, 255), np.maximum(rays, glow))


def wall_with_window():
    """A dim panelled wall, lit from the left, with a four-pane window whose glass is transparent."""
    x, y = grid(W, H)
    light = 0.55 + 0.45 * np.exp(-(((x - 300) / 520) ** 2 + ((y - 250) / 600) ** 2))
    base = np.stack([70 * light, 52 * light, 40 * light], axis=-1)
    # Vertical boards with darker seams.
    seams = (np.mod(x, 96) < 3).astype(np.float64)
    base *= (1 - 0.35 * seams)[..., None]
    # A dado rail and a darker lower wall.
    base[560:, :] *= 0.75
    base[552:560, :] = base[552:560, :] * 0.5 + 40
    out = np.zeros((H, W, 4))
    out[..., :3] = base
    out[..., 3] = 255
    image = Image.fromarray(out.astype(np.uint8), "RGBA")
    draw = ImageDraw.Draw(image)
    x0, y0, x1, y1 = WINDOW
    # Frame, sill, then the glass cut out, then the mullions over it.
    draw.rectangle((x0 - 22, y0 - 22, x1 + 21, y1 + 21), fill=(92, 70, 50, 255))
    draw.rectangle((x0 - 14, y0 - 14, x1 + 13, y1 + 13), fill=(60, 44, 32, 255))
    draw.rectangle((x0 - 34, y1 + 14, x1 + 33, y1 + 30), fill=(110, 84, 60, 255))
    draw.rectangle((x0, y0, x1 - 1, y1 - 1), fill=(0, 0, 0, 0))
    mx, my = (x0 + x1) // 2, (y0 + y1) // 2
    draw.rectangle((mx - 5, y0, mx + 4, y1 - 1), fill=(60, 44, 32, 255))
    draw.rectangle((x0, my - 5, x1 - 1, my + 4), fill=(60, 44, 32, 255))
    return image


def night_sky():
    """What the window shows: a stormy night sky over a dark line of trees."""
    w, h = WINDOW[2] - WINDOW[0] + 40, WINDOW[3] - WINDOW[1] + 40
    x, y = grid(w, h)
    t = y / h
    sky = np.stack([18 + 22 * t, 26 + 30 * t, 46 + 36 * t], axis=-1)
    clouds = 8 * np.sin(x / 23.0 + np.sin(y / 17.0) * 2) * np.exp(-t * 3)
    sky += clouds[..., None]
    trees = h * 0.78 + 10 * np.sin(x / 9.0) + 6 * np.sin(x / 3.3)
    sky[y > trees] = (10, 16, 14)
    out = np.zeros((h, w, 4))
    out[..., :3] = sky
    out[..., 3] = 255
    return out


def snowy_night():
    """An outdoor night scene for the snow: sky, far hills, snowy ground and a few dark firs."""
    x, y = grid(W, H)
    t = y / H
    img = np.stack([14 + 30 * t, 20 + 36 * t, 44 + 50 * t], axis=-1)
    hills = 470 + 40 * np.sin(x / 140.0) + 18 * np.sin(x / 47.0)
    img[y > hills] = np.stack([60 + 0 * x, 70 + 0 * x, 96 + 0 * x], axis=-1)[y > hills]
    ground = 600 + 14 * np.sin(x / 200.0)
    snow = np.clip((y - ground) / 160.0, 0, 1)
    mask = y > ground
    img[mask] = np.stack([170 + 50 * snow, 180 + 48 * snow, 200 + 40 * snow], axis=-1)[mask]
    out = np.zeros((H, W, 4))
    out[..., :3] = img
    out[..., 3] = 255
    image = Image.fromarray(out.astype(np.uint8), "RGBA")
    draw = ImageDraw.Draw(image)
    for fx, fy, fh in ((140, 640, 230), (230, 625, 160), (820, 650, 260), (905, 630, 150), (610, 615, 110)):
        for i in range(6):
            top = fy - fh + i * fh / 7
            half = (i + 1) * fh / 16
            draw.polygon(((fx, top), (fx - half, top + fh / 4), (fx + half, top + fh / 4)), fill=(14, 26, 24, 255))
        draw.rectangle((fx - 5, fy - 8, fx + 5, fy + 12), fill=(30, 22, 16, 255))
    return image


def attic():
    """A dim attic: dark boards, and a slanted bright beam from a small high window at the left."""
    x, y = grid(W, H)
    wood = 34 + 10 * np.sin(x / 7.0 + np.sin(y / 40.0)) * 0.3
    img = np.stack([wood * 1.25, wood * 0.95, wood * 0.7], axis=-1)
    img[np.mod(y, 64) < 3] *= 0.6
    out = np.zeros((H, W, 4))
    out[..., :3] = img
    out[..., 3] = 255
    image = Image.fromarray(out.astype(np.uint8), "RGBA")
    draw = ImageDraw.Draw(image)
    draw.rectangle((90, 60, 210, 170), fill=(200, 190, 150, 255))
    draw.rectangle((146, 60, 154, 170), fill=(40, 30, 24, 255))
    draw.rectangle((90, 111, 210, 119), fill=(40, 30, 24, 255))
    return image


def light_beam():
    """The beam falling from the attic window to the floor: a soft slanted band (also the dust's mask)."""
    image = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    draw.polygon(((100, 120), (205, 120), (760, 700), (470, 700)), fill=(255, 236, 190, 70))
    return image.filter(ImageFilter.GaussianBlur(14))


def hidden_objects():
    """A table top with three small objects to find; each is its own image."""
    x, y = grid(W, H)
    grain = 66 + 4 * np.sin(y / 3.0 + np.sin(x / 160.0) * 4) + 3 * np.sin(x / 57.0 + y / 40.0)
    grain[np.mod(y, 128) < 3] *= 0.55
    table = np.stack([grain * 1.45, grain * 1.0, grain * 0.66], axis=-1)
    out = np.zeros((H, W, 4))
    out[..., :3] = table
    out[..., 3] = 255
    back = Image.fromarray(out.astype(np.uint8), "RGBA")

    key = Image.new("RGBA", (150, 60), (0, 0, 0, 0))
    d = ImageDraw.Draw(key)
    d.ellipse((2, 8, 46, 52), fill=(196, 160, 60, 255))
    d.ellipse((14, 20, 34, 40), fill=(0, 0, 0, 0))
    d.rectangle((44, 26, 146, 34), fill=(196, 160, 60, 255))
    d.rectangle((112, 34, 120, 50), fill=(196, 160, 60, 255))
    d.rectangle((130, 34, 138, 46), fill=(196, 160, 60, 255))

    cup = Image.new("RGBA", (110, 100), (0, 0, 0, 0))
    d = ImageDraw.Draw(cup)
    d.polygon(((8, 10), (82, 10), (72, 96), (18, 96)), fill=(210, 214, 222, 255))
    d.ellipse((70, 26, 108, 70), outline=(210, 214, 222, 255), width=8)
    d.rectangle((8, 10, 82, 18), fill=(120, 60, 50, 255))

    book = Image.new("RGBA", (150, 110), (0, 0, 0, 0))
    d = ImageDraw.Draw(book)
    d.rectangle((0, 0, 149, 109), fill=(110, 30, 34, 255))
    d.rectangle((10, 0, 18, 109), fill=(70, 18, 20, 255))
    d.rectangle((40, 40, 120, 60), fill=(190, 160, 80, 255))
    return back, key, cup, book


def main():
    save(raindrop(), COMMON, "raindrop.png")
    save(snowflake(), COMMON, "snowflake.png")
    save(dust_mote(), COMMON, "dust_mote.png")
    save(sparkle_star(), COMMON, "sparkle_star.png")

    save(wall_with_window(), EXAMPLE, "wall.png")
    save(night_sky(), EXAMPLE, "night_sky.png")
    save(snowy_night(), EXAMPLE, "snowy_night.png")
    save(attic(), EXAMPLE, "attic.png")
    save(light_beam(), EXAMPLE, "light_beam.png")
    back, key, cup, book = hidden_objects()
    save(back, EXAMPLE, "table.png")
    save(key, EXAMPLE, "key.png")
    save(cup, EXAMPLE, "cup.png")
    save(book, EXAMPLE, "book.png")


if __name__ == "__main__":
    main()
