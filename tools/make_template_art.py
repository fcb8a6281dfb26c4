#!/usr/bin/python3
"""Paints the pictures of the template game that `halvern --new-game` writes (template/assets/): the
menu's background, the hallway, the study, the attic (the hidden-object scene), the key and the lantern
with their inventory icons, the study's attic door, and the attic's four hidden objects. Simple shapes,
soft light and a little grain; everything is seeded, so the files come out the same each run.

Run with Debian's python3, python3-numpy and python3-pil:
    /usr/bin/python3 tools/make_template_art.py [--out DIR]
The output is committed; run again only to change it.
"""
import math
import os
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFilter

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "lib"))
import outdir  # noqa: E402

OUT = os.path.join(outdir.take(), "template", "assets")
W, H = 1024, 768


def save(image, relative):
    path = os.path.join(OUT, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    if relative.endswith(".jpg"):
        image.convert("RGB").save(path, quality=88, optimize=True)
    else:
        image.save(path, optimize=True)


def grain(image, seed, amount):
    """Adds a fixed noise so that flat areas do not look printed."""
    rng = np.random.default_rng(seed)
    a = np.asarray(image.convert("RGB")).astype(np.float32)
    n = rng.normal(0.0, amount, a.shape[:2])[..., None]
    return Image.fromarray(np.clip(a + n, 0, 255).astype(np.uint8))


def vertical(top, bottom, w, h):
    t = np.linspace(0.0, 1.0, h)[:, None, None]
    a = np.array(top, np.float32) * (1 - t) + np.array(bottom, np.float32) * t
    return Image.fromarray(np.repeat(a, w, axis=1).astype(np.uint8))


def light(image, cx, cy, radius, strength):
    """Brightens around a point and darkens the corners: a lamp in the room."""
    a = np.asarray(image.convert("RGB")).astype(np.float32)
    y, x = np.mgrid[0:a.shape[0], 0:a.shape[1]]
    d = np.sqrt((x - cx) ** 2 + (y - cy) ** 2) / radius
    f = 1.0 + strength * np.exp(-d * d) - 0.35 * np.clip(d - 0.8, 0, 1.5)
    return Image.fromarray(np.clip(a * f[..., None], 0, 255).astype(np.uint8))


def planks(draw, top, bottom, base, seed):
    rng = np.random.default_rng(seed)
    y = top
    while y < bottom:
        h = 34 + int(y - top) // 9
        shade = int(rng.integers(-14, 14))
        c = tuple(max(0, min(255, v + shade)) for v in base)
        draw.rectangle((0, y, W, y + h), fill=c)
        draw.line((0, y, W, y), fill=tuple(v // 2 for v in base), width=2)
        x = int(rng.integers(0, 300))
        while x < W:
            draw.line((x, y, x, y + h), fill=tuple(v * 2 // 3 for v in base), width=2)
            x += int(rng.integers(220, 380))
        y += h


def door(draw, box, wood, frame):
    x0, y0, x1, y1 = box
    draw.rectangle((x0 - 14, y0 - 14, x1 + 14, y1), fill=frame)
    draw.rectangle(box, fill=wood)
    for k in range(2):
        px0 = x0 + 18
        py0 = y0 + 20 + k * (y1 - y0 - 40) // 2
        draw.rectangle((px0, py0, x1 - 18, py0 + (y1 - y0 - 60) // 2),
                       outline=tuple(v * 3 // 4 for v in wood), width=5)
    draw.ellipse((x1 - 34, (y0 + y1) // 2 - 8, x1 - 18, (y0 + y1) // 2 + 8), fill=(210, 170, 80))


def supersampled(w, h, paint, scale=4):
    """Paints at a larger size and scales down, for smooth edges."""
    big = Image.new("RGBA", (w * scale, h * scale), (0, 0, 0, 0))
    paint(ImageDraw.Draw(big), scale)
    return big.resize((w, h), Image.LANCZOS)


def with_shadow(sprite, offset=4, blur=4, alpha=110):
    w, h = sprite.size
    out = Image.new("RGBA", (w + 2 * blur + offset, h + 2 * blur + offset), (0, 0, 0, 0))
    mask = sprite.split()[3].point(lambda v: v * alpha // 255)
    shadow = Image.new("RGBA", sprite.size, (0, 0, 0, 255))
    shadow.putalpha(mask)
    out.alpha_composite(shadow, (blur + offset, blur + offset))
    out = out.filter(ImageFilter.GaussianBlur(blur))
    out.alpha_composite(sprite, (blur, blur))
    return out


# --- the objects -----------------------------------------------------------------------------------


def key(w, h):
    def paint(d, s):
        gold, dark = (222, 178, 74, 255), (120, 84, 28, 255)
        r = h * s * 0.42
        cx, cy = r + 4 * s, h * s / 2
        d.ellipse((cx - r, cy - r, cx + r, cy + r), fill=gold, outline=dark, width=3 * s)
        d.ellipse((cx - r * 0.45, cy - r * 0.45, cx + r * 0.45, cy + r * 0.45), fill=(0, 0, 0, 0),
                  outline=dark, width=2 * s)
        d.rectangle((cx + r * 0.9, cy - 0.1 * h * s, w * s - 6 * s, cy + 0.1 * h * s), fill=gold, outline=dark,
                    width=2 * s)
        for k in (0.62, 0.8):
            x = w * s * k
            d.rectangle((x, cy, x + 0.06 * w * s, cy + 0.3 * h * s), fill=gold, outline=dark, width=2 * s)
    return supersampled(w, h, paint)


def lantern(w, h):
    def paint(d, s):
        metal, dark = (70, 64, 58, 255), (30, 26, 22, 255)
        W_, H_ = w * s, h * s
        d.arc((W_ * 0.3, 0, W_ * 0.7, H_ * 0.25), 180, 360, fill=metal, width=4 * s)
        d.polygon([(W_ * 0.2, H_ * 0.22), (W_ * 0.8, H_ * 0.22), (W_ * 0.7, H_ * 0.12), (W_ * 0.3, H_ * 0.12)],
                  fill=metal, outline=dark)
        d.rectangle((W_ * 0.24, H_ * 0.22, W_ * 0.76, H_ * 0.84), fill=(255, 214, 120, 235), outline=dark,
                    width=4 * s)
        d.ellipse((W_ * 0.4, H_ * 0.42, W_ * 0.6, H_ * 0.7), fill=(255, 250, 220, 255))
        for x in (0.24, 0.5, 0.76):
            d.line((W_ * x, H_ * 0.22, W_ * x, H_ * 0.84), fill=metal, width=4 * s)
        d.rectangle((W_ * 0.16, H_ * 0.84, W_ * 0.84, H_ * 0.95), fill=metal, outline=dark, width=2 * s)
    return supersampled(w, h, paint)


def candle(w, h):
    def paint(d, s):
        W_, H_ = w * s, h * s
        d.ellipse((W_ * 0.05, H_ * 0.82, W_ * 0.95, H_ * 0.98), fill=(150, 120, 70, 255), outline=(90, 70, 40, 255),
                  width=2 * s)
        d.rectangle((W_ * 0.32, H_ * 0.3, W_ * 0.68, H_ * 0.9), fill=(244, 236, 214, 255), outline=(170, 160, 140, 255),
                    width=2 * s)
        d.line((W_ * 0.5, H_ * 0.3, W_ * 0.5, H_ * 0.22), fill=(40, 30, 20, 255), width=2 * s)
        d.ellipse((W_ * 0.38, H_ * 0.02, W_ * 0.62, H_ * 0.26), fill=(255, 196, 80, 255))
        d.ellipse((W_ * 0.44, H_ * 0.1, W_ * 0.56, H_ * 0.24), fill=(255, 248, 210, 255))
    return supersampled(w, h, paint)


def cup(w, h):
    def paint(d, s):
        W_, H_ = w * s, h * s
        blue, dark = (70, 110, 170, 255), (30, 50, 90, 255)
        d.ellipse((W_ * 0.62, H_ * 0.3, W_ * 0.98, H_ * 0.68), outline=blue, width=6 * s)
        d.polygon([(W_ * 0.05, H_ * 0.2), (W_ * 0.75, H_ * 0.2), (W_ * 0.66, H_ * 0.92), (W_ * 0.14, H_ * 0.92)],
                  fill=blue, outline=dark)
        d.ellipse((W_ * 0.05, H_ * 0.12, W_ * 0.75, H_ * 0.28), fill=(40, 30, 24, 255), outline=dark, width=2 * s)
        d.line((W_ * 0.12, H_ * 0.55, W_ * 0.68, H_ * 0.55), fill=(230, 230, 240, 255), width=4 * s)
    return supersampled(w, h, paint)


def feather(w, h):
    def paint(d, s):
        W_, H_ = w * s, h * s
        pts = []
        for i in range(41):
            t = i / 40
            x = W_ * (0.1 + 0.8 * t)
            y = H_ * (0.85 - 0.7 * t) + math.sin(t * math.pi) * H_ * 0.12
            pts.append((x, y))
        for i, (x, y) in enumerate(pts[4:-2]):
            t = (i + 4) / 40
            length = H_ * 0.22 * math.sin(t * math.pi)
            d.line((x, y, x - length * 0.5, y - length), fill=(236, 232, 222, 255), width=3 * s)
            d.line((x, y, x + length * 0.6, y + length * 0.5), fill=(212, 206, 196, 255), width=3 * s)
        d.line(pts, fill=(120, 100, 80, 255), width=3 * s)
    return supersampled(w, h, paint)


def coin(w, h):
    def paint(d, s):
        W_, H_ = w * s, h * s
        d.ellipse((0, 0, W_ - 1, H_ - 1), fill=(214, 170, 64, 255), outline=(130, 92, 30, 255), width=4 * s)
        d.ellipse((W_ * 0.18, H_ * 0.18, W_ * 0.82, H_ * 0.82), outline=(160, 120, 40, 255), width=3 * s)
        d.polygon([(W_ * 0.5, H_ * 0.3), (W_ * 0.62, H_ * 0.62), (W_ * 0.38, H_ * 0.62)], fill=(160, 120, 40, 255))
    return supersampled(w, h, paint)


def attic_door(opened):
    w, h = 150, 250
    image = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    d = ImageDraw.Draw(image)
    d.rectangle((0, 0, w - 1, h - 1), fill=(74, 52, 34, 255))
    if opened:
        d.rectangle((14, 14, w - 15, h - 1), fill=(18, 14, 12, 255))
        for k in range(6):  # a ladder going up into the dark
            y = 40 + k * 34
            d.line((40, y, w - 40, y), fill=(120, 92, 60, 255), width=6)
        d.line((40, 20, 40, h), fill=(120, 92, 60, 255), width=7)
        d.line((w - 40, 20, w - 40, h), fill=(120, 92, 60, 255), width=7)
    else:
        door(d, (14, 14, w - 15, h - 1), (128, 84, 48), (74, 52, 34))
        d.rectangle((w - 44, h // 2 + 14, w - 22, h // 2 + 40), fill=(60, 60, 64), outline=(20, 20, 20))
    return image


# --- the rooms --------------------------------------------------------------------------------------


def hallway():
    image = vertical((176, 128, 92), (136, 96, 66), W, H)
    d = ImageDraw.Draw(image)
    for x in range(0, W, 48):  # striped wallpaper
        d.rectangle((x, 0, x + 20, 470), fill=(184, 136, 98))
    d.rectangle((0, 440, W, 470), fill=(96, 62, 40))
    planks(d, 470, H, (120, 80, 50), 11)
    door(d, (760, 170, 930, 470), (110, 72, 42), (70, 46, 28))
    d.rectangle((120, 80, 340, 290), fill=(60, 40, 26))  # a window onto the evening
    d.rectangle((134, 94, 326, 276), fill=(72, 96, 140))
    d.ellipse((250, 120, 300, 170), fill=(236, 226, 180))
    d.line((230, 94, 230, 276), fill=(60, 40, 26), width=10)
    d.line((134, 185, 326, 185), fill=(60, 40, 26), width=10)
    d.rectangle((200, 400, 440, 420), fill=(92, 58, 34))  # the table the key lies on
    d.rectangle((214, 420, 228, 560), fill=(80, 50, 30))
    d.rectangle((412, 420, 426, 560), fill=(80, 50, 30))
    image = light(image, 320, 300, 520, 0.25)
    return grain(image, 1, 4.0)


def study():
    image = vertical((92, 110, 120), (70, 84, 92), W, H)
    d = ImageDraw.Draw(image)
    planks(d, 480, H, (104, 70, 46), 12)
    d.rectangle((0, 455, W, 480), fill=(56, 40, 30))
    rng = np.random.default_rng(13)
    d.rectangle((60, 110, 380, 470), fill=(84, 56, 36))  # a bookcase
    for shelf in range(4):
        y = 130 + shelf * 84
        x = 76
        while x < 360:
            bw = int(rng.integers(14, 30))
            bh = int(rng.integers(50, 72))
            c = tuple(int(v) for v in rng.integers(60, 190, 3))
            d.rectangle((x, y + 72 - bh, x + bw, y + 72), fill=c)
            x += bw + 2
        d.rectangle((70, y + 72, 370, y + 82), fill=(64, 42, 26))
    d.rectangle((500, 250, 700, 300), fill=(90, 60, 40))  # a desk with a lamp
    d.rectangle((510, 300, 526, 470), fill=(74, 50, 32))
    d.rectangle((674, 300, 690, 470), fill=(74, 50, 32))
    d.polygon([(600, 170), (640, 170), (660, 215), (580, 215)], fill=(200, 170, 90))
    d.rectangle((616, 215, 624, 250), fill=(60, 56, 50))
    d.rectangle((0, 170, 90, 470), fill=(56, 38, 24))  # the doorway back to the hallway
    d.rectangle((0, 184, 76, 470), fill=(30, 22, 16))
    image = light(image, 620, 230, 420, 0.35)
    return grain(image, 2, 4.0)


def attic():
    image = vertical((96, 76, 60), (60, 46, 36), W, H)
    d = ImageDraw.Draw(image)
    d.polygon([(0, 0), (380, 0), (0, 300)], fill=(50, 38, 30))  # the sloping roof
    d.polygon([(W, 0), (W - 380, 0), (W, 300)], fill=(50, 38, 30))
    for x in range(120, W, 190):
        d.rectangle((x, 0, x + 24, 430), fill=(70, 50, 34))
    planks(d, 430, H, (96, 66, 44), 14)
    d.ellipse((440, 60, 584, 204), fill=(44, 34, 28))  # a round window with the moon behind
    d.ellipse((452, 72, 572, 192), fill=(70, 86, 120))
    d.line((512, 72, 512, 192), fill=(44, 34, 28), width=8)
    d.line((452, 132, 572, 132), fill=(44, 34, 28), width=8)
    d.rectangle((140, 330, 420, 560), fill=(120, 86, 54), outline=(70, 50, 32), width=6)  # crates
    d.line((140, 445, 420, 445), fill=(70, 50, 32), width=6)
    d.rectangle((620, 380, 900, 470), fill=(108, 76, 50), outline=(64, 44, 30), width=6)  # a trunk
    d.rectangle((620, 470, 900, 600), fill=(100, 70, 46), outline=(64, 44, 30), width=6)
    d.rectangle((740, 450, 780, 500), fill=(170, 140, 70))
    d.polygon([(430, 600), (600, 560), (700, 640), (470, 690)], fill=(130, 40, 40))  # a rug
    clutter(d, np.random.default_rng(15))
    image = light(image, 512, 160, 560, 0.3)
    return grain(image, 3, 5.0)


def clutter(d, rng):
    """Odds and ends for the hidden objects to hide among: jars and books on the crates and the trunk,
    boxes and bottles on the floor, a chair, a mirror and cobwebs under the roof."""
    for x in (260, 330, 380):  # jars on the crates
        h = int(rng.integers(30, 50))
        c = tuple(int(v) for v in rng.integers(80, 170, 3))
        d.rounded_rectangle((x - 14, 330 - h, x + 14, 330), radius=6, fill=c, outline=(50, 40, 30), width=2)
        d.rectangle((x - 9, 324 - h, x + 9, 332 - h), fill=(90, 70, 50))
    y = 380
    for k in range(4):  # a stack of books on the trunk
        w = int(rng.integers(70, 100))
        c = tuple(int(v) for v in rng.integers(60, 160, 3))
        d.rectangle((800 - w // 2, y - 14, 800 + w // 2, y), fill=c, outline=(40, 30, 24), width=2)
        y -= 14
    d.rectangle((630, 366, 660, 380), fill=(150, 150, 140), outline=(60, 60, 60))  # a tin
    for x, w, h in ((60, 90, 70), (960, 80, 110), (330, 110, 60)):  # boxes on the floor
        top = 600 - h
        d.rectangle((x - w // 2, top, x + w // 2, 600), fill=(138, 104, 66), outline=(80, 58, 36), width=4)
        d.line((x - w // 2, top + h // 3, x + w // 2, top + h // 3), fill=(80, 58, 36), width=3)
    for x in (455, 480, 505):  # bottles by the crates
        c = tuple(int(v) for v in rng.integers(40, 120, 3))
        d.rounded_rectangle((x - 9, 520, x + 9, 570), radius=5, fill=c, outline=(30, 30, 30), width=2)
        d.rectangle((x - 4, 505, x + 4, 522), fill=c, outline=(30, 30, 30))
    d.rectangle((930, 200, 1000, 300), fill=(150, 120, 70), outline=(90, 70, 40), width=6)  # a mirror
    d.rectangle((940, 210, 990, 290), fill=(140, 160, 180))
    d.line((950, 280, 980, 220), fill=(200, 215, 230), width=3)
    for ox, oy, sx in ((0, 0, 1), (W, 0, -1)):  # cobwebs in the roof's corners
        for r in (40, 80, 120):
            d.arc((ox - r, oy - r, ox + r, oy + r), 0 if sx > 0 else 90, 90 if sx > 0 else 180,
                  fill=(170, 160, 150), width=1)
        for a in (0.2, 0.7, 1.2):
            d.line((ox, oy, ox + sx * 130 * math.cos(a), oy + 130 * math.sin(a)), fill=(170, 160, 150), width=1)


def menu_back():
    image = vertical((34, 30, 46), (16, 14, 22), W, H)
    d = ImageDraw.Draw(image)
    d.polygon([(0, 620), (200, 540), (420, 600), (700, 520), (1024, 600), (1024, 768), (0, 768)],
              fill=(12, 10, 16))
    d.polygon([(620, 560), (620, 420), (700, 360), (780, 420), (780, 560)], fill=(20, 18, 24))  # a cottage
    d.rectangle((680, 460, 712, 500), fill=(240, 190, 100))
    rng = np.random.default_rng(21)
    for _ in range(120):
        x, y = int(rng.integers(0, W)), int(rng.integers(0, 420))
        v = int(rng.integers(120, 255))
        d.point((x, y), fill=(v, v, v))
    d.ellipse((840, 70, 920, 150), fill=(230, 224, 200))
    image = light(image, 696, 480, 260, 0.4)
    return grain(image, 4, 3.0)


def main():
    save(menu_back(), "menu/back.jpg")
    save(hallway(), "levels/level/hall/back.jpg")
    save(study(), "levels/level/study/back.jpg")
    save(attic(), "levels/level/attic/back.jpg")
    save(with_shadow(key(90, 40)), "levels/level/hall/key.png")
    save(attic_door(False), "levels/level/study/attic_door_closed.png")
    save(attic_door(True), "levels/level/study/attic_door_open.png")
    save(with_shadow(candle(40, 90)), "levels/level/attic/candle.png")
    save(with_shadow(cup(70, 56)), "levels/level/attic/cup.png")
    save(with_shadow(feather(90, 60)), "levels/level/attic/feather.png")
    save(with_shadow(coin(44, 44)), "levels/level/attic/coin.png")
    save(with_shadow(lantern(120, 180)), "levels/level/attic/lantern.png")
    # Inventory icons: a slot is 90 wide and shows its item at 0.7, so about 112 x 112.
    save(key(104, 46), "levels/level/items/key.png")
    save(lantern(72, 108), "levels/level/items/lantern.png")


if __name__ == "__main__":
    main()
