#!/usr/bin/python3
"""Writes the small images Pixmote's decoding tests load (tests/data/pixmote/images/): one picture, a
disc over a gradient with a transparent corner, stored in each PNG and JPEG form the decoder must read:
RGBA, palette with transparency, 16-bit grey with alpha interlaced, colour JPEG, grey JPEG and a CMYK
JPEG.

Run with Debian's python3 and python3-pil:  /usr/bin/python3 tools/make_pixmote_images.py [--out DIR]
Nothing is random. The output is committed.
"""
import os
import struct
import sys
import zlib

from PIL import Image, ImageDraw

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "lib"))
import outdir  # noqa: E402

OUT = os.path.join(outdir.take(), "tests", "data", "pixmote", "images")
SIDE = 24


def picture():
    image = Image.new("RGBA", (SIDE, SIDE))
    for y in range(SIDE):
        for x in range(SIDE):
            image.putpixel((x, y), (40 + 8 * x, 60 + 6 * y, 200 - 7 * x, 255))
    draw = ImageDraw.Draw(image)
    draw.ellipse((5, 5, 18, 18), fill=(240, 220, 30, 255))
    draw.rectangle((0, 0, 7, 3), fill=(0, 0, 0, 0))
    draw.rectangle((16, 20, 23, 23), fill=(255, 255, 255, 128))
    return image


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def write_grey16_interlaced(image, path):
    """Grey and alpha at 16 bits a sample, Adam7-interlaced: forms Pillow does not write."""
    w, h = image.size
    grey, alpha = image.getchannel("L"), image.getchannel("A")
    raw = bytearray()
    # The seven passes: start and step across, start and step down.
    for x0, dx, y0, dy in ((0, 8, 0, 8), (4, 8, 0, 8), (0, 4, 4, 8), (2, 4, 0, 4), (0, 2, 2, 4), (1, 2, 0, 2),
                           (0, 1, 1, 2)):
        if x0 >= w:
            continue
        for y in range(y0, h, dy):
            raw.append(0)
            for x in range(x0, w, dx):
                raw += struct.pack(">HH", grey.getpixel((x, y)) * 257, alpha.getpixel((x, y)) * 257)
    header = struct.pack(">IIBBBBB", w, h, 16, 4, 0, 0, 1)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) +
                  chunk(b"IEND", b""))


def main():
    os.makedirs(OUT, exist_ok=True)
    image = picture()
    image.save(os.path.join(OUT, "rgba.png"), optimize=True)
    image.quantize(16, method=Image.Quantize.FASTOCTREE).save(os.path.join(OUT, "palette.png"))
    write_grey16_interlaced(image.convert("LA"), os.path.join(OUT, "grey16_interlaced.png"))
    rgb = image.convert("RGB")
    rgb.save(os.path.join(OUT, "colour.jpg"), quality=95, subsampling=0)
    rgb.convert("L").save(os.path.join(OUT, "grey.jpg"), quality=95)
    # Pillow stores CMYK inverted, with the Adobe marker, as Photoshop does.
    rgb.convert("CMYK").save(os.path.join(OUT, "cmyk.jpg"), quality=95)


if __name__ == "__main__":
    main()
