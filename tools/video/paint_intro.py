#!/usr/bin/python3
"""Paints the intro's own frames, which the rooms do not provide, into a folder:

    /usr/bin/python3 tools/video/paint_intro.py OUT_DIR

letter.png      Ysolde's letter on the desk by candlelight: "If the tower clock ever stops, come at
                once. -- Y."
dial_1157.png   the tower clock seen close from outside in the storm at 11:57,
dial_1158.png   and the same at 11:58, where it stops (the video cuts from one to the other).

Built on the room painter's kit (tools/paint), with fixed seeds, so every run paints the same
pictures. Needs Debian's python3 with python3-numpy, python3-scipy, python3-pil and
fonts-ebgaramond.
"""
import math
import os
import sys

import numpy as np
from PIL import Image, ImageDraw
from scipy import ndimage

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "paint"))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "lib"))

import kit  # noqa: E402
import props  # noqa: E402
from kit import Layer, col  # noqa: E402

CANDLE = (-0.7, -0.55, 0.6)  # the candle stands to the upper left of the letter


def text_patch(x, y, s, size, style="Regular", anchor="mm"):
    """kit.text_patch, drawing with the anchor it measures with (kit's draws every text from its
    left baseline, so a centred text comes out shifted and cut; the dial's numerals use this)."""
    f = kit.font(style.lower(), size * kit.SS)
    left, top, right, bottom = f.getbbox(s, anchor=anchor)
    w, h = (right - left) // kit.SS + 6, (bottom - top) // kit.SS + 6
    im = Image.new("L", (w * kit.SS, h * kit.SS), 0)
    ImageDraw.Draw(im).text((-left + 3 * kit.SS, -top + 3 * kit.SS), s, font=f, fill=255, anchor=anchor)
    im = im.resize((w, h), Image.BOX)
    return kit.Mask(np.asarray(im, np.float32) / 255.0, x + left / kit.SS - 3, y + top / kit.SS - 3)


kit.text_patch = text_patch


def save(cv, folder, name):
    Image.fromarray((np.clip(cv, 0, 1) * 255 + 0.5).astype(np.uint8), "RGB").save(
        os.path.join(folder, name + ".png"), optimize=True)


def rotated(lay, degrees, cx, cy):
    """The layer turned about its centre and placed with its centre at (cx, cy)."""
    pad = int(max(lay.w, lay.h) * 0.3)
    rgb = np.pad(lay.rgb, ((pad, pad), (pad, pad), (0, 0)))
    a = np.pad(lay.a, ((pad, pad), (pad, pad)))
    # Premultiplied while turning, so the edges do not pick up the black around them.
    pre = ndimage.rotate(rgb * a[..., None], degrees, reshape=False, order=1)
    a = np.clip(ndimage.rotate(a, degrees, reshape=False, order=1), 0, 1)
    out = Layer(a.shape[1], a.shape[0], int(cx - a.shape[1] / 2), int(cy - a.shape[0] / 2))
    out.rgb = pre / np.maximum(a, 1e-4)[..., None]
    out.a = a
    return out


def paper(w, h, seed, c0="parchment", c1="parchment_shade"):
    """A sheet of parchment with mottling, darker edges and a fold across the middle."""
    lay = Layer(w, h)
    tex = kit.tex_noise(h, w, c0, c1, 40, seed, 5)
    fine = kit.noise(h, w, 4, seed + 1, 3)
    tex = tex * (0.94 + 0.1 * fine[..., None])
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    edge = np.minimum(np.minimum(xx, w - 1 - xx), np.minimum(yy, h - 1 - yy))
    tex = tex * (0.78 + 0.22 * np.clip(edge / 28, 0, 1))[..., None]
    lay.paint(kit.rrect(0, 0, w, h, 3), tex)
    return lay


def letter(folder, seed=1201):
    cv = kit.wood(kit.H, kit.W, seed, "#5a3a22", "#3a2414", angle=0.04, freq=0.05)
    cv *= 0.75
    # the envelope beneath, its flap open and the seal broken
    env = paper(470, 300, seed + 1, "#d9c9a2", "#b9a478")
    env.paint(kit.poly([(0, 0), (235, 150), (470, 0)]), "#000000", 0.12)
    env.paint(kit.line([(0, 0), (235, 150), (470, 0)], 1.5), "#7a6a4a", 0.5)
    seal = kit.poly([(235 + 26 * math.cos(a) * (1 + 0.08 * math.sin(5 * a)),
                      150 + 24 * math.sin(a) * (1 + 0.08 * math.sin(5 * a)))
                     for a in np.linspace(0, 2 * math.pi, 40)])
    props.solid(seal, "wine", CANDLE, 5, specular=0.5, lay=env)
    env.paint(kit.line([(220, 140), (236, 160), (250, 146)], 2), "#4a1616", 0.8)
    env = rotated(env, 9, 700, 520)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(env.a, env.x0, env.y0), 10, 14, 8, 0.55))
    kit.over_layer(cv, env)

    # the candle in the corner
    cl = Layer(kit.W, kit.H)
    props.solid(kit.ellipse(94, 338, 62, 16), "#6a4a22", CANDLE, 4, lay=cl)
    props.solid(kit.ellipse(94, 330, 56, 14), "brass", CANDLE, 6, specular=0.7, lay=cl,
                tex=props.brass_tex(kit.H, kit.W, seed + 4))
    props.solid(kit.rrect(72, 130, 116, 332, 6), "#efe2c4", CANDLE, 10, amb=0.6, lay=cl)
    kit.over_layer(cv, cl)
    # Brush the desk before the letter goes on: the painterly filter would eat the handwriting.
    cv = kit.finish(cv, seed, grain=0, vignette=0)

    # the letter, written in Ysolde's hand
    page = paper(560, 380, seed + 2)
    fold = np.where(np.abs(np.arange(380) - 190) < 2, 0.88, 1.0).astype(np.float32)
    page.tone(fold[:, None] * np.ones((380, 560), np.float32))
    page.rgb[:190] *= 1.03
    ink = col("ink")
    lines = [("Wren,", 34, 60, 64, "lm"),
             ("If the tower clock ever stops,", 44, 280, 160, "mm"),
             ("come at once.", 44, 280, 226, "mm"),
             ("\u2014 Y.", 40, 470, 310, "mm")]
    rng = np.random.default_rng(seed)
    for text, size, x, y, anchor in lines:
        m = text_patch(x, y, text, size, "Italic", anchor)
        # Iron-gall ink: uneven, a little feathered into the paper.
        m.m = np.clip(ndimage.gaussian_filter(m.m, 0.45) * (0.85 + 0.25 * rng.random(m.m.shape)), 0, 1)
        page.paint(m, ink, 0.92)
    page = rotated(page, -4, 440, 330)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(page.a, page.x0, page.y0), 12, 16, 9, 0.6))
    kit.over_layer(cv, page)

    flame = Layer(kit.W, kit.H)
    props.flame(flame, 94, 126, 34)
    kit.over_layer(cv, flame)
    kit.lamp(cv, 94, 110, 1000, "amber", 0.32, 1.2)
    cv *= 0.9
    kit.bloom(cv, 0.8, 10, 0.3)
    save(kit.finish(cv, seed, painterly=False, vignette=0.6), folder, "letter")


def dials(folder, seed=1301):
    sky = kit.storm_sky(kit.H, kit.W, seed, moon=(880, 70, 26), horizon=0.6)
    # the tower's face of stone blocks, the dial set in a round of dressed stone
    wall = Layer(kit.W, kit.H)
    kit.brick_courses(wall, kit.rect(90, 0, 934, kit.H), seed, 64, 30, "#555a63", "#363b44")
    props.solid(kit.ellipse(512, 372, 318, 318), "#4a4f58", (0, -1, 0.6), 14, lay=wall,
                tex=kit.stone_tex(kit.H, kit.W, seed + 2, "#5d626b", "#3a3f48"))
    wall.paint(kit.ellipse(512, 372, 292, 292), "#14181f")
    # the eaves of the roof above
    props.solid(kit.poly([(40, 0), (984, 0), (984, 36), (40, 36)]), "#2a2624", (0, -1, 0.6), 6, lay=wall)
    base = sky.copy()
    kit.over_layer(base, wall)
    base *= kit.vgrad(kit.H, kit.W, [(0, (0.55, 0.55, 0.6)), (0.5, (0.8, 0.8, 0.85)), (1, (0.5, 0.5, 0.55))])
    base = kit.finish(base, seed, grain=0, vignette=0)
    for minute, name in ((57, "dial_1157"), (58, "dial_1158")):
        cv = base.copy()
        # The dial is glass, lit from inside the tower: warm against the storm.
        cv += kit.radial(kit.H, kit.W, 512, 372, 460, 2.0)[..., None] * col("amber") * 0.35
        d = props.dial(512, 372, 280, seed + 3, 11, minute, face="#f0dca8", numerals="ink",
                       light=(0.2, -1, 0.6), rim_col="#8a6a3a", tide=True)
        kit.over_layer(cv, d)
        kit.lamp(cv, 700, 0, 900, "frost", 0.3, 1.4)
        kit.rain(cv, seed + 5, n=1400, length=30, angle=0.22, k=0.16)
        kit.rain(cv, seed + 6, n=500, length=60, angle=0.22, k=0.1)
        kit.bloom(cv, 0.75, 14, 0.3)
        save(kit.finish(cv, seed, painterly=False, vignette=0.65), folder, name)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: paint_intro.py OUT_DIR")
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    letter(folder)
    dials(folder)


if __name__ == "__main__":
    main()
