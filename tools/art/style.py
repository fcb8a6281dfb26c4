#!/usr/bin/python3
"""Halvern's shared look: palette, materials, lighting and the writers for images and animations.

Used by every art tool under tools/art/ (interface, rooms, video frames). Images are NumPy float32
arrays of shape (h, w, 4): straight (not premultiplied) RGBA in 0..1. Everything is deterministic:
every random source takes an explicit seed.

Run with Debian's python3 (python3-numpy, python3-pil, python3-scipy; rsvg-convert for SVG; optipng
is used when installed):  /usr/bin/python3 tools/art/make_ui.py

Short API tour
  rgb(name_or_hex)                     palette colour as a float array (PALETTE holds the names)
  canvas(w, h[, colour, alpha])        new image;  over(dst, src, x, y) composites src onto dst
  solid(mask, colour)                  fill a mask;  with_alpha(img, mask) multiplies alpha
  masks: rrect, ellipse, polygon, ring, draw_mask(w, h, fn), text_mask, svg_render, svg_mask
  noise: value_noise, fbm;  materials: wood, brass, parchment, leather, slate, velvet, glass
  light: height_from_mask, bevel(rgb, height, ...), metal(...), emboss
  effects: blur, drop_shadow, outer_glow, inner_shadow, grain, vignette, hover (amber hover look)
  widgets: plate(w, h, ...) walnut panel in brass, brass_frame, ornament_scroll, corner_flourish
  output: save_png, save_jpg, save_anim (sheet + frame texture XML + animation XML)
"""
import math
import os
import shutil
import subprocess
from io import BytesIO

import numpy as np
from PIL import Image, ImageDraw, ImageFont
from scipy import ndimage

import outdir

ROOT = outdir.ROOT
# Where the images go: the repository's assets/, or those under the folder of --out.
ASSETS = os.path.join(outdir.take(), "assets")

PALETTE = {
    "night": "#1b2433",
    "slate": "#2e3a4f",
    "dusk": "#4a3b5c",
    "teal": "#3d5a63",
    "brass": "#c8963e",
    "amber": "#f2c46d",
    "candle": "#ffe3a3",
    "parchment": "#eadbb8",
    "parchment_shade": "#c9b48a",
    "ink": "#2a1f17",
    "walnut": "#5a3a22",
    "mahogany": "#7a3b2a",
    "wine": "#8c2f2f",
    "moss": "#4f6b4a",
    "frost": "#cfe0ea",
}

FONTS = {
    "regular": "/usr/share/fonts/opentype/ebgaramond/EBGaramond12-Regular.otf",
    "bold": "/usr/share/fonts/opentype/ebgaramond/EBGaramond12-Bold.otf",
    "italic": "/usr/share/fonts/opentype/ebgaramond/EBGaramond12-Italic.otf",
    "serif": "/usr/share/fonts/truetype/liberation2/LiberationSerif-Regular.ttf",
}


# ---------------------------------------------------------------- colours and compositing


def rgb(c):
    """Palette name, '#rrggbb' or an (r, g, b) triple in 0..1 -> float32 array of 3."""
    if isinstance(c, str):
        h = PALETTE.get(c, c).lstrip("#")
        return np.array([int(h[i:i + 2], 16) / 255.0 for i in (0, 2, 4)], np.float32)
    return np.asarray(c, np.float32)[:3]


def mix(a, b, t):
    return rgb(a) * (1 - t) + rgb(b) * t


def lighten(c, t):
    return mix(c, (1, 1, 1), t)


def darken(c, t):
    return rgb(c) * (1 - t)


def canvas(w, h, colour=(0, 0, 0), alpha=0.0):
    img = np.zeros((h, w, 4), np.float32)
    img[..., :3] = rgb(colour)
    img[..., 3] = alpha
    return img


def solid(mask, colour, alpha=1.0):
    img = np.zeros(mask.shape + (4,), np.float32)
    img[..., :3] = rgb(colour)
    img[..., 3] = np.clip(mask, 0, 1) * alpha
    return img


def layer(rgb_arr, mask):
    """An RGB array (h, w, 3) cut by a mask into an image."""
    img = np.empty(mask.shape + (4,), np.float32)
    img[..., :3] = rgb_arr
    img[..., 3] = np.clip(mask, 0, 1)
    return img


def with_alpha(img, mask):
    out = img.copy()
    out[..., 3] *= np.clip(mask, 0, 1)
    return out


def over(dst, src, x=0, y=0, opacity=1.0):
    """Composites src onto dst in place with its top-left at (x, y); returns dst."""
    h, w = src.shape[:2]
    H, W = dst.shape[:2]
    x0, y0, x1, y1 = max(x, 0), max(y, 0), min(x + w, W), min(y + h, H)
    if x0 >= x1 or y0 >= y1:
        return dst
    s = src[y0 - y:y1 - y, x0 - x:x1 - x]
    d = dst[y0:y1, x0:x1]
    sa = s[..., 3:4] * opacity
    da = d[..., 3:4]
    oa = sa + da * (1 - sa)
    safe = np.where(oa > 1e-6, oa, 1)
    d[..., :3] = (s[..., :3] * sa + d[..., :3] * da * (1 - sa)) / safe
    d[..., 3:4] = oa
    return dst


def over_center(dst, src, cx, cy, opacity=1.0):
    h, w = src.shape[:2]
    return over(dst, src, int(round(cx - w / 2)), int(round(cy - h / 2)), opacity)


def add_light(dst, src, x=0, y=0, strength=1.0):
    """Additive light (colour times alpha) onto dst's colour, keeping dst's alpha."""
    h, w = src.shape[:2]
    H, W = dst.shape[:2]
    x0, y0, x1, y1 = max(x, 0), max(y, 0), min(x + w, W), min(y + h, H)
    if x0 >= x1 or y0 >= y1:
        return dst
    s = src[y0 - y:y1 - y, x0 - x:x1 - x]
    d = dst[y0:y1, x0:x1]
    d[..., :3] = np.clip(d[..., :3] + s[..., :3] * s[..., 3:4] * strength, 0, 1)
    return dst


def crop_to(img, w, h):
    """Centres img in a w x h canvas (cropping or padding)."""
    out = canvas(w, h)
    return over(out, img, (w - img.shape[1]) // 2, (h - img.shape[0]) // 2)


def mirror_x(img):
    return img[:, ::-1].copy()


def mirror_y(img):
    return img[::-1].copy()


def rotate(img, degrees, order=1):
    """Rotates about the centre, counter-clockwise on screen, same size."""
    out = np.empty_like(img)
    pm = img.copy()
    pm[..., :3] *= pm[..., 3:4]
    for c in range(4):
        out[..., c] = ndimage.rotate(pm[..., c], degrees, reshape=False, order=order, mode="constant")
    a = np.clip(out[..., 3:4], 0, 1)
    out[..., :3] = np.where(a > 1e-5, out[..., :3] / np.maximum(a, 1e-5), 0)
    out[..., 3:4] = a
    return np.clip(out, 0, 1)


def scale_img(img, factor=None, size=None):
    h, w = img.shape[:2]
    if size is None:
        size = (max(1, int(round(w * factor))), max(1, int(round(h * factor))))
    pm = img.copy()
    pm[..., :3] *= pm[..., 3:4]
    chans = []
    for c in range(4):
        ch = Image.fromarray(pm[..., c].astype(np.float32), "F").resize(size, Image.LANCZOS)
        chans.append(np.asarray(ch, np.float32))
    out = np.stack(chans, -1)
    a = np.clip(out[..., 3:4], 0, 1)
    out[..., :3] = np.where(a > 1e-5, out[..., :3] / np.maximum(a, 1e-5), 0)
    out[..., 3:4] = a
    return np.clip(out, 0, 1)


# ---------------------------------------------------------------- masks

SS = 4  # supersampling of drawn masks


def draw_mask(w, h, fn, ss=SS):
    """fn(draw, s) draws in white with coordinates multiplied by s; returns an antialiased mask."""
    im = Image.new("L", (w * ss, h * ss), 0)
    fn(ImageDraw.Draw(im), ss)
    im = im.resize((w, h), Image.BOX)
    return np.asarray(im, np.float32) / 255.0


def rrect(w, h, box=None, r=8):
    x0, y0, x1, y1 = box if box else (0, 0, w, h)
    return draw_mask(w, h, lambda d, s: d.rounded_rectangle(
        (x0 * s, y0 * s, x1 * s - 1, y1 * s - 1), radius=r * s, fill=255))


def ellipse(w, h, box=None):
    x0, y0, x1, y1 = box if box else (0, 0, w, h)
    return draw_mask(w, h, lambda d, s: d.ellipse((x0 * s, y0 * s, x1 * s - 1, y1 * s - 1), fill=255))


def circle(w, h, cx, cy, r):
    return ellipse(w, h, (cx - r, cy - r, cx + r, cy + r))


def ring(w, h, cx, cy, r_out, r_in):
    return np.clip(circle(w, h, cx, cy, r_out) - circle(w, h, cx, cy, r_in), 0, 1)


def polygon(w, h, pts):
    return draw_mask(w, h, lambda d, s: d.polygon([(x * s, y * s) for x, y in pts], fill=255))


def line_mask(w, h, pts, width):
    def fn(d, s):
        d.line([(x * s, y * s) for x, y in pts], fill=255, width=max(1, int(width * s)), joint="curve")
        r = width * s / 2
        for x, y in (pts[0], pts[-1]):
            d.ellipse((x * s - r, y * s - r, x * s + r, y * s + r), fill=255)
    return draw_mask(w, h, fn)


def font(kind, size):
    return ImageFont.truetype(FONTS[kind], size)


def text_size(text, kind="regular", size=32):
    f = font(kind, size)
    x0, y0, x1, y1 = f.getbbox(text)
    return x1 - x0, y1 - y0


def text_mask(w, h, text, kind="regular", size=32, cx=None, cy=None, anchor="mm", tracking=0):
    """Text as a mask centred on (cx, cy) (default the middle), drawn supersampled."""
    cx = w / 2 if cx is None else cx
    cy = h / 2 if cy is None else cy
    f = font(kind, size * SS)

    def fn(d, s):
        if not tracking:
            d.text((cx * s, cy * s), text, font=f, fill=255, anchor=anchor)
            return
        widths = [f.getlength(ch) + tracking * s for ch in text]
        x = cx * s - (sum(widths) - tracking * s) / 2
        for ch, wd in zip(text, widths):
            d.text((x, cy * s), ch, font=f, fill=255, anchor="lm" if anchor[1] == "m" else "ls")
            x += wd
    return draw_mask(w, h, fn)


def svg_render(svg, w, h):
    """Renders an SVG document (string) with rsvg-convert at w x h; returns an image."""
    exe = shutil.which("rsvg-convert")
    if not exe:
        raise RuntimeError("rsvg-convert is missing (apt-get install librsvg2-bin)")
    png = subprocess.run([exe, "-w", str(w), "-h", str(h), "-f", "png"], input=svg.encode(),
                         stdout=subprocess.PIPE, check=True).stdout
    im = Image.open(BytesIO(png)).convert("RGBA")
    return np.asarray(im, np.float32) / 255.0


def svg_mask(w, h, body, viewbox=None):
    """Alpha of SVG elements (body: inner SVG markup, drawn in white) as a mask."""
    vb = viewbox or (0, 0, w, h)
    doc = ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="%g %g %g %g">'
           '<g fill="#fff" stroke="#fff">%s</g></svg>' % (w, h, vb[0], vb[1], vb[2], vb[3], body))
    return svg_render(doc, w, h)[..., 3]


# ---------------------------------------------------------------- noise


def value_noise(w, h, cell, seed, octave_offset=0):
    """Smooth noise in 0..1 with features about `cell` pixels wide."""
    rng = np.random.default_rng(seed)
    gw, gh = int(math.ceil(w / cell)) + 3, int(math.ceil(h / cell)) + 3
    grid = rng.random((gh, gw)).astype(np.float32)
    ys = np.arange(h, dtype=np.float32) / cell + 1
    xs = np.arange(w, dtype=np.float32) / cell + 1
    yy, xx = np.meshgrid(ys, xs, indexing="ij")
    return np.clip(ndimage.map_coordinates(grid, [yy, xx], order=3, mode="nearest"), 0, 1)


def fbm(w, h, cell, seed, octaves=4, gain=0.5):
    total = np.zeros((h, w), np.float32)
    amp, norm = 1.0, 0.0
    for o in range(octaves):
        total += value_noise(w, h, max(1.0, cell / (2 ** o)), seed * 101 + o) * amp
        norm += amp
        amp *= gain
    return total / norm


def grain_field(w, h, seed, sigma=0.6):
    rng = np.random.default_rng(seed)
    return ndimage.gaussian_filter(rng.standard_normal((h, w)).astype(np.float32), sigma)


# ---------------------------------------------------------------- materials (RGB arrays)


def _ramp(t, stops):
    """t in 0..1 through colour stops [(pos, colour), ...]."""
    t = np.clip(t, 0, 1)
    out = np.zeros(t.shape + (3,), np.float32)
    for (p0, c0), (p1, c1) in zip(stops[:-1], stops[1:]):
        m = (t >= p0) & (t <= p1)
        k = ((t - p0) / max(p1 - p0, 1e-6))[..., None]
        out = np.where(m[..., None], rgb(c0) * (1 - k) + rgb(c1) * k, out)
    return out


def wood(w, h, seed, base="walnut", vertical=False, figure=1.0, dark=0.0):
    """Walnut-like grain running along x (or y): fine streaks, gentle figure, stretched pores."""
    if vertical:
        return wood(h, w, seed, base, False, figure, dark).transpose(1, 0, 2)
    rng = np.random.default_rng(seed)
    warp = (fbm(w, h, 140, seed + 1, 3) - 0.5) * 26 * figure
    yy = np.arange(h, dtype=np.float32)[:, None] + warp
    lines = value_noise(1, int(h + 80), 1.6, seed + 2)[:, 0]
    lines = ndimage.gaussian_filter1d(lines, 0.8)
    idx = np.clip(yy + 40, 0, len(lines) - 1)
    streak = np.interp(idx.ravel(), np.arange(len(lines)), lines).reshape(h, w)
    broad = 0.5 + 0.5 * np.sin(yy * rng.uniform(0.045, 0.06) + fbm(w, h, 60, seed + 3, 2) * 4)
    pores = ndimage.gaussian_filter1d(value_noise(w, h, 1.5, seed + 4), 7, axis=1)
    blotch = fbm(w, h, 160, seed + 5, 3)
    t = 0.34 * streak + 0.22 * broad + 0.2 * pores + 0.24 * blotch
    t = (t - 0.5) * 1.5 + 0.55
    b = rgb(base)
    stops = [(0.0, darken(b, 0.6)), (0.4, darken(b, 0.28)), (0.72, b), (1.0, lighten(mix(b, "mahogany", 0.25), 0.1))]
    col = _ramp(t, stops)
    return np.clip(col * (1 - dark), 0, 1)


def brass(w, h, seed, tone=0.0):
    """Brushed, slightly aged brass (use with metal() for lighting)."""
    brush = value_noise(w, h, 2, seed)
    brush = ndimage.gaussian_filter1d(brush, 6, axis=1)
    patina = fbm(w, h, 30, seed + 5, 3)
    t = 0.55 + 0.25 * (brush - 0.5) + 0.35 * (patina - 0.5) + tone
    stops = [(0.0, "#4a3414"), (0.35, "#8a6426"), (0.6, "brass"), (0.85, "#e2b964"), (1.0, "#f6dc98")]
    return _ramp(t, stops)


def parchment(w, h, seed, shade=0.0, stains=1.0):
    big = fbm(w, h, 160, seed, 4)
    fib = fbm(w, h, 12, seed + 1, 2)
    spots = np.clip((fbm(w, h, 25, seed + 2, 3) - 0.62) * 4, 0, 1)
    t = 0.2 + 0.55 * big + 0.15 * fib - 0.25 * spots * stains + shade
    col = _ramp(1 - t, [(0.0, lighten("parchment", 0.35)), (0.45, "parchment"), (0.8, "parchment_shade"),
                        (1.0, darken("parchment_shade", 0.35))])
    return col


def leather(w, h, seed, base="wine"):
    pores = value_noise(w, h, 2.2, seed)
    crease = fbm(w, h, 22, seed + 1, 3)
    mottle = fbm(w, h, 110, seed + 2, 3)
    t = 0.45 + 0.25 * (pores - 0.5) + 0.35 * (crease - 0.5) + 0.4 * (mottle - 0.5)
    b = rgb(base)
    return _ramp(t, [(0.0, darken(b, 0.7)), (0.5, darken(b, 0.25)), (1.0, lighten(b, 0.1))])


def slate(w, h, seed, base="night", light=0.0):
    m = fbm(w, h, 140, seed, 4)
    t = 0.5 + 0.5 * (m - 0.5) + light
    b = rgb(base)
    return _ramp(t, [(0.0, darken(b, 0.45)), (0.55, b), (1.0, lighten(mix(b, "slate", 0.6), 0.08))])


def velvet(w, h, seed, base="wine"):
    m = fbm(w, h, 18, seed, 3)
    b = rgb(base)
    return _ramp(0.3 + 0.5 * m, [(0.0, darken(b, 0.6)), (1.0, darken(b, 0.1))])


# ---------------------------------------------------------------- light


def blur(a, sigma):
    if sigma <= 0:
        return a
    if a.ndim == 2:
        return ndimage.gaussian_filter(a, sigma)
    return np.stack([ndimage.gaussian_filter(a[..., c], sigma) for c in range(a.shape[2])], -1)


def height_from_mask(mask, width, profile="round"):
    """0..1 height: rises from the mask's edge over `width` pixels, flat inside."""
    inside = mask > 0.5
    d = ndimage.distance_transform_edt(inside).astype(np.float32)
    d += (mask - 0.5) * inside  # sub-pixel edge
    t = np.clip(d / max(width, 1e-3), 0, 1)
    if profile == "round":
        t = np.sqrt(1 - (1 - t) ** 2)
    elif profile == "smooth":
        t = t * t * (3 - 2 * t)
    elif profile == "ridge":
        t = np.sin(t * math.pi)
    return ndimage.gaussian_filter(t * np.clip(mask * 2, 0, 1), 0.7)


def normals(height, depth):
    gy, gx = np.gradient(height * depth)
    n = np.stack([-gx, -gy, np.ones_like(gx)], -1)
    return n / np.linalg.norm(n, axis=-1, keepdims=True)


LIGHT = np.array([-0.45, -0.65, 0.62], np.float32)
LIGHT = LIGHT / np.linalg.norm(LIGHT)


def bevel(col, height, depth=6.0, ambient=0.55, diffuse=0.6, spec=0.25, shininess=18, light=LIGHT):
    """Lights an RGB array by a height field (top-left light)."""
    n = normals(height, depth)
    lam = np.clip((n * light).sum(-1), 0, 1)
    flat = light[2]
    shade = ambient + diffuse * (lam - flat) / max(flat, 1e-3) * 0.9 + diffuse * flat * 0.5
    h = light + np.array([0, 0, 1], np.float32)
    h = h / np.linalg.norm(h)
    sp = np.clip((n * h).sum(-1), 0, 1) ** shininess * spec
    out = col * shade[..., None] + sp[..., None] * rgb("candle")
    return np.clip(out, 0, 1)


def metal(col, height, depth=8.0, light=LIGHT, env=("#2a1a08", "#ffe9b0"), spec=0.9):
    """Brass lighting: strong env reflection from the normal plus a hot highlight."""
    n = normals(height, depth)
    lam = np.clip((n * light).sum(-1), 0, 1)
    refl = np.clip(0.5 + 0.9 * (-n[..., 1] * 0.6 - n[..., 0] * 0.4), 0, 1)
    envc = _ramp(refl, [(0.0, env[0]), (0.5, "#7a5a26"), (1.0, env[1])])
    h = light + np.array([0, 0, 1], np.float32)
    h = h / np.linalg.norm(h)
    sp = np.clip((n * h).sum(-1), 0, 1) ** 40 * spec
    out = col * (0.35 + 0.75 * lam)[..., None] * 0.8 + envc * 0.35 + sp[..., None] * rgb("candle")
    return np.clip(out, 0, 1)


def emboss(col, mask, depth=2.0, sigma=1.0, strength=0.5, invert=False):
    """Raises (or, with invert, engraves) a mask into an RGB surface."""
    hgt = blur(mask, sigma) * (-1 if invert else 1)
    gy, gx = np.gradient(hgt * depth)
    k = np.clip(1 + (gx * LIGHT[0] + gy * LIGHT[1]) * -strength * 4, 0.2, 2.0)
    return np.clip(col * k[..., None], 0, 1)


def gradient_y(h, w, c0, c1, power=1.0):
    t = (np.linspace(0, 1, h, dtype=np.float32) ** power)[:, None, None]
    return np.broadcast_to(rgb(c0) * (1 - t) + rgb(c1) * t, (h, w, 3)).copy()


def radial(w, h, cx, cy, r, power=2.0):
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    d = np.sqrt((xx - cx) ** 2 + (yy - cy) ** 2) / max(r, 1e-3)
    return np.clip(1 - d, 0, 1) ** power


# ---------------------------------------------------------------- effects on images


def drop_shadow(img, dx=3, dy=5, sigma=5, opacity=0.6, colour="#0b0806"):
    """Returns a same-size image: a soft shadow under img (keep margins for it)."""
    a = shift(img[..., 3], dy, dx)
    sh = solid(blur(a, sigma), colour, opacity)
    return over(sh, img)


def outer_glow(img, sigma=8, colour="amber", strength=1.0, spread=1.6):
    a = np.clip(blur(img[..., 3], sigma) * spread, 0, 1) * strength
    g = solid(a, colour)
    return over(g, img)


def inner_shadow(img, sigma=4, dx=2, dy=3, opacity=0.6, colour="#000000"):
    a = img[..., 3]
    inv = 1 - a
    sh = shift(blur(inv, sigma), dy, dx)
    out = img.copy()
    k = np.clip(sh * opacity, 0, 1)[..., None]
    out[..., :3] = out[..., :3] * (1 - k) + rgb(colour) * k
    return out


def grain(img, amount=0.035, seed=7, sigma=0.55):
    """Fine paper/canvas grain on the colour (alpha untouched)."""
    h, w = img.shape[:2]
    g = grain_field(w, h, seed, sigma)
    g = g / (np.std(g) + 1e-6)
    out = img.copy()
    out[..., :3] = np.clip(out[..., :3] * (1 + g[..., None] * amount), 0, 1)
    return out


def vignette(img, strength=0.45, power=2.2):
    h, w = img.shape[:2]
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    d = np.sqrt(((xx - w / 2) / (w / 2)) ** 2 + ((yy - h / 2) / (h / 2)) ** 2) / math.sqrt(2)
    k = 1 - strength * np.clip(d, 0, 1) ** power
    out = img.copy()
    out[..., :3] *= k[..., None]
    return out


def tint(img, colour, t):
    out = img.copy()
    out[..., :3] = out[..., :3] * (1 - t) + rgb(colour) * t
    return out


def hover(img, light=0.18, warmth=0.22, glow=0.85, sigma=6, inner=True):
    """The amber hover look: lighter and warmer, with a soft glow around and a faint one inside."""
    out = img.copy()
    c = out[..., :3]
    warm = c * np.array([1.12, 1.0, 0.78], np.float32)
    c = c * (1 - warmth) + warm * warmth
    c = c + (1 - c) * light
    if inner:
        edge = np.clip(img[..., 3] - blur(img[..., 3], 3), 0, 1)
        c = c + edge[..., None] * rgb("amber") * 0.3
    out[..., :3] = np.clip(c, 0, 1)
    if glow > 0:
        a = np.clip(blur(img[..., 3], sigma) * 1.4, 0, 1) * glow
        g = solid(a, "amber")
        out = over(g, out)
    return out


def glow_disc(size, colour="amber", power=2.0, core=0.0):
    """Soft round light (alpha falloff), for additive or normal blending."""
    r = size / 2
    a = radial(size, size, r - 0.5, r - 0.5, r, power)
    if core:
        a = np.clip(a + core * radial(size, size, r - 0.5, r - 0.5, r * 0.25, 1.5), 0, 1)
    img = solid(a, colour)
    c = radial(size, size, r - 0.5, r - 0.5, r * 0.6, 1.0)[..., None]
    img[..., :3] = img[..., :3] * (1 - c * 0.6) + rgb("candle") * c * 0.6 + c * 0.2
    img[..., :3] = np.clip(img[..., :3], 0, 1)
    return img


# ---------------------------------------------------------------- building blocks


def brass_layer(mask, seed, bevel_width=3.0, depth=7.0, tone=0.0, profile="round"):
    h, w = mask.shape
    col = brass(w, h, seed, tone)
    hgt = height_from_mask(mask, bevel_width, profile)
    return layer(metal(col, hgt, depth), mask)


def wood_layer(mask, seed, bevel_width=6.0, depth=5.0, base="walnut", vertical=False, dark=0.0, figure=1.0):
    h, w = mask.shape
    col = wood(w, h, seed, base, vertical, figure, dark)
    hgt = height_from_mask(mask, bevel_width, "round")
    return layer(bevel(col, hgt, depth, spec=0.12), mask)


def frame_masks(w, h, inset, border, radius=10):
    """Outer shape and inner window of a rounded frame: (outer, inner)."""
    outer = rrect(w, h, (inset, inset, w - inset, h - inset), radius)
    b = inset + border
    inner = rrect(w, h, (b, b, w - b, h - b), max(radius - border, 2))
    return outer, inner


def plate(w, h, seed, fill="wood", radius=12, margin=6, brass_w=5, wood_w=0, fill_base=None,
          shadow=True, rivets=True, fill_dark=0.0, fill_alpha=1.0):
    """A panel: a brass rim, an optional walnut band and a thin inner brass line, around a fill
    ('wood', 'parchment', 'slate', 'leather'). margin leaves room for the shadow."""
    img = canvas(w, h)

    def rr(inset, r):
        return rrect(w, h, (inset, inset, w - inset, h - inset), max(r, 2))

    outer = rr(margin, radius)
    b1 = margin + brass_w
    mid = rr(b1, radius - brass_w)
    if shadow:
        over(img, solid(blur(shift(outer, 4, 0), 5), "#0a0705", 0.6))
    over(img, brass_layer(np.clip(outer - mid, 0, 1), seed, max(1.5, brass_w / 2.2), 6.0))
    inner = mid
    if wood_w:
        b2 = b1 + wood_w
        inner2 = rr(b2, radius - brass_w - wood_w)
        inner3 = rr(b2 + 2, radius - brass_w - wood_w - 2)
        over(img, wood_layer(np.clip(mid - inner2, 0, 1), seed + 1, 3.0, 4.0))
        over(img, brass_layer(np.clip(inner2 - inner3, 0, 1), seed + 2, 1.0, 3.0))
        inner = inner3
    fill_rgb = {
        "wood": lambda: wood(w, h, seed + 3, fill_base or "walnut", dark=fill_dark),
        "parchment": lambda: parchment(w, h, seed + 3, stains=0.5),
        "slate": lambda: slate(w, h, seed + 3, fill_base or "night"),
        "leather": lambda: leather(w, h, seed + 3, fill_base or "wine"),
    }[fill]()
    fl = inner_shadow(layer(fill_rgb, inner), 5, 2, 3, 0.55)
    fl[..., 3] *= fill_alpha
    over(img, fl)
    if rivets:
        off = margin + brass_w / 2 + radius * 0.29
        for cx in (off, w - off):
            for cy in (off, h - off):
                over_center(img, rivet_img(max(6, brass_w + 4), seed + int(cx + cy)), cx, cy)
    return img


def rivet_img(size, seed):
    m = circle(size, size, size / 2, size / 2, size / 2 - 1)
    return brass_layer(m, seed, size / 2.5, 6.0, 0.05)


def engraved_text(surface_img, text, kind, size, cx, cy, colour="ink", depth=0.8, tracking=0):
    """Cuts text into a surface (inked engraving with a light lower lip)."""
    h, w = surface_img.shape[:2]
    m = text_mask(w, h, text, kind, size, cx, cy, tracking=tracking)
    out = surface_img.copy()
    lip = np.clip(shift(m, 1, 1) - m, 0, 1)
    out[..., :3] = out[..., :3] * (1 - lip[..., None] * 0.5) + lip[..., None] * rgb("candle") * 0.5
    out[..., :3] = out[..., :3] * (1 - m[..., None] * depth) + rgb(colour) * m[..., None] * depth
    return out


def scroll_path(cx, cy, r, turns=1.25, direction=1, steps=60, start_angle=0.0):
    """Points of a spiral curl (a simple acanthus-like scroll end)."""
    pts = []
    for i in range(steps + 1):
        t = i / steps
        a = start_angle + direction * t * turns * 2 * math.pi
        rr = r * (1 - 0.75 * t)
        pts.append((cx + rr * math.cos(a), cy + rr * math.sin(a)))
    return pts


def corner_flourish(size, seed, thickness=3.0):
    """A brass corner ornament for the top-left corner: two curls meeting at a leaf."""
    s = size
    def fn(d, k):
        w = max(1, int(thickness * k))
        # outer L with curled ends
        pts1 = [(s * 0.12, s * 0.95), (s * 0.12, s * 0.3)] + scroll_path(s * 0.3, s * 0.3, s * 0.18, 0.75, 1, 30, math.pi)[:]
        d.line([(x * k, y * k) for x, y in pts1], fill=255, width=w, joint="curve")
        pts2 = [(s * 0.95, s * 0.12), (s * 0.45, s * 0.12)]
        d.line([(x * k, y * k) for x, y in pts2], fill=255, width=w, joint="curve")
        c = scroll_path(s * 0.62, s * 0.28, s * 0.11, 1.1, -1, 40, -math.pi / 2)
        d.line([(x * k, y * k) for x, y in c], fill=255, width=max(1, int(w * 0.8)), joint="curve")
        c = scroll_path(s * 0.28, s * 0.62, s * 0.11, 1.1, 1, 40, math.pi)
        d.line([(x * k, y * k) for x, y in c], fill=255, width=max(1, int(w * 0.8)), joint="curve")
        # leaf/diamond at the corner
        r = s * 0.09
        cx, cy = s * 0.12, s * 0.12
        d.polygon([((cx) * k, (cy - r * 1.2) * k), ((cx + r) * k, cy * k), (cx * k, (cy + r * 1.2) * k),
                   ((cx - r) * k, cy * k)], fill=255)
    m = draw_mask(s, s, fn)
    return brass_layer(m, seed, 1.6, 5.0)


# ---------------------------------------------------------------- output


def _to_uint8(img):
    return (np.clip(img, 0, 1) * 255 + 0.5).astype(np.uint8)


def to_pil(img):
    return Image.fromarray(_to_uint8(img), "RGBA")


def from_pil(im):
    return np.asarray(im.convert("RGBA"), np.float32) / 255.0


def asset_path(rel):
    return os.path.join(ASSETS, rel)


def _optimise(path):
    exe = shutil.which("optipng")
    if exe:
        subprocess.run([exe, "-quiet", "-o2", "-strip", "all", path], check=False)


def save_png(img, rel, optimise=True):
    """Writes assets/<rel>.png (rel without extension). Clears colour where alpha is 0."""
    path = asset_path(rel) + ".png"
    os.makedirs(os.path.dirname(path), exist_ok=True)
    out = img.copy()
    out[..., :3] *= (out[..., 3:4] > 0.002)
    im = to_pil(out)
    if img.shape[2] == 4 and np.all(out[..., 3] >= 0.999):
        im = im.convert("RGB")
    im.save(path, optimize=True)
    if optimise:
        _optimise(path)
    return path


def save_jpg(img, rel, quality=88):
    path = asset_path(rel) + ".jpg"
    os.makedirs(os.path.dirname(path), exist_ok=True)
    to_pil(img).convert("RGB").save(path, quality=quality, optimize=True, progressive=True)
    return path


def pack_sheet(frames, cols=None, pad=1):
    """Lays equal or unequal frames on a grid; returns (sheet, rects[(left, top, w, h)])."""
    n = len(frames)
    cols = cols or int(math.ceil(math.sqrt(n)))
    rows = int(math.ceil(n / cols))
    cw = max(f.shape[1] for f in frames) + pad
    ch = max(f.shape[0] for f in frames) + pad
    sheet = canvas(cols * cw, rows * ch)
    rects = []
    for i, f in enumerate(frames):
        x, y = (i % cols) * cw, (i // cols) * ch
        sheet[y:y + f.shape[0], x:x + f.shape[1]] = f
        rects.append((x, y, f.shape[1], f.shape[0]))
    return sheet, rects


def write_frame_texture(rel_xml, sheet_name, rects, pivots):
    path = asset_path(rel_xml) + ".xml"
    os.makedirs(os.path.dirname(path), exist_ok=True)
    lines = ["<frametexture>"]
    for (l, t, w, h), (px, py) in zip(rects, pivots):
        lines.append('  <frame texture="%s" left="%d" top="%d" widht="%d" height="%d" x="%d" y="%d"/>'
                     % (sheet_name, l, t, w, h, px, py))
    lines.append("</frametexture>")
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


def write_animation(rel_xml, ft_name, functions):
    """functions: [(name, frametime_ms, loop (bool), [frame indices])]."""
    path = asset_path(rel_xml) + ".xml"
    os.makedirs(os.path.dirname(path), exist_ok=True)
    lines = ['<animation frame_texture="%s">' % ft_name]
    for name, ms, loop, idxs in functions:
        lines.append('  <function name="%s" frametime="%d" loop="%d">' % (name, ms, 1 if loop else 0))
        lines += ['    <frame idx="%d"/>' % i for i in idxs]
        lines.append("  </function>")
    lines.append("</animation>")
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


def save_anim(rel, frames, functions=None, pivot=None, cols=None, frametime=80, loop=True):
    """Writes <rel>.xml (animation), <rel>_ft.xml (frame texture) and <rel>_sheet.png.
    pivot: None = frame centre, or (x, y) in frame pixels. functions default to one looped
    "DoAnim" over all frames."""
    sheet, rects = pack_sheet(frames, cols)
    d, name = os.path.split(rel)
    save_png(sheet, rel + "_sheet")
    pivots = [(r[2] // 2, r[3] // 2) if pivot is None else pivot for r in rects]
    write_frame_texture(rel + "_ft", name + "_sheet", rects, pivots)
    if functions is None:
        functions = [("DoAnim", frametime, loop, list(range(len(frames))))]
    write_animation(rel, name + "_ft", functions)
    return sheet


# ---------------------------------------------------------------- common interface parts


def button(w, h, seed, fill="wood", radius=None, brass_w=3, margin=4, text=None, text_kind="bold",
           text_size=None, text_colour="candle", fill_base=None):
    """A button in both looks, same size: (normal, hover). The hover is lit amber from inside."""
    radius = h // 2 - margin if radius is None else radius
    normal = plate(w, h, seed, fill, radius, margin, brass_w, fill_base=fill_base, rivets=False, shadow=False)
    inner = rrect(w, h, (margin + brass_w, margin + brass_w, w - margin - brass_w, h - margin - brass_w),
                  max(radius - brass_w, 2))
    # soft top sheen so it reads as raised
    sheen = np.clip(gradient_y(h, w, (1, 1, 1), (0, 0, 0))[..., 0] - 0.45, 0, 1) * inner * 0.22
    normal[..., :3] = np.clip(normal[..., :3] + sheen[..., None], 0, 1)
    if text:
        m = text_mask(w, h, text, text_kind, text_size or int(h * 0.5), w / 2, h / 2 + 1)
        sh = shift(m, 1, 1)
        normal = over(normal, solid(sh, "#000000", 0.6))
        normal = over(normal, solid(m, text_colour))
    hov = normal.copy()
    lit = radial(w, h, w / 2, h / 2, max(w, h) * 0.6, 1.2) * inner
    hov[..., :3] = np.clip(hov[..., :3] * (1 + 0.35 * lit[..., None]) + lit[..., None] * rgb("amber") * 0.28, 0, 1)
    hov = hover(hov, light=0.08, warmth=0.25, glow=0.9, sigma=max(2, margin * 0.8), inner=True)
    return normal, hov


def bezel(size, r_out, r_in, seed, studs=12, stud_r=None, cx=None, cy=None):
    """A round brass bezel (ring with hour studs) on a size x size canvas."""
    cx = size / 2 if cx is None else cx
    cy = size / 2 if cy is None else cy
    m = ring(size, size, cx, cy, r_out, r_in)
    img = brass_layer(m, seed, (r_out - r_in) * 0.45, 8.0, 0.0, "round")
    # fine inner groove
    groove = ring(size, size, cx, cy, r_in + (r_out - r_in) * 0.36, r_in + (r_out - r_in) * 0.3)
    img[..., :3] *= (1 - groove[..., None] * 0.45)
    if studs:
        sr = stud_r or max(1.5, (r_out - r_in) * 0.16)
        rr = (r_out + r_in) / 2 + (r_out - r_in) * 0.12
        for i in range(studs):
            a = i / studs * 2 * math.pi - math.pi / 2
            s = rivet_img(int(sr * 2 + 4), seed + i)
            over_center(img, s, cx + rr * math.cos(a), cy + rr * math.sin(a))
    return img


def jewel(size, colour="amber", lit=0.0, seed=3):
    """A glass cabochon in a brass setting (size x size)."""
    c = size / 2
    img = canvas(size, size)
    over(img, brass_layer(circle(size, size, c, c, c - 1), seed, size * 0.12, 7.0))
    gr = c * 0.62
    g = circle(size, size, c, c, gr)
    base = rgb(colour)
    yy, xx = np.mgrid[0:size, 0:size].astype(np.float32)
    d = np.sqrt((xx - c) ** 2 + (yy - c) ** 2) / gr
    body = np.clip(1 - d, 0, 1)
    col = darken(base, 0.65 - 0.5 * lit)[None, None, :] * (1 - body[..., None]) + \
        lighten(base, 0.1 + 0.4 * lit)[None, None, :] * body[..., None]
    glass = layer(np.clip(col, 0, 1), g)
    hl = circle(size, size, c - gr * 0.35, c - gr * 0.4, gr * 0.28)
    glass = over(glass, solid(blur(hl, 0.8), (1, 1, 1), 0.75))
    over(img, glass)
    return img


def arrow_mask(w, h, direction="right", shaft=0.34, head=0.5):
    """A stout arrow filling w x h, pointing in direction."""
    if direction in ("left", "right"):
        hw = w * head
        pts = [(0, h * (0.5 - shaft / 2)), (w - hw, h * (0.5 - shaft / 2)), (w - hw, 0), (w, h / 2),
               (w - hw, h), (w - hw, h * (0.5 + shaft / 2)), (0, h * (0.5 + shaft / 2))]
        if direction == "left":
            pts = [(w - x, y) for x, y in pts]
    else:
        hh = h * head
        pts = [(w * (0.5 - shaft / 2), 0), (w * (0.5 + shaft / 2), 0), (w * (0.5 + shaft / 2), h - hh), (w, h - hh),
               (w / 2, h), (0, h - hh), (w * (0.5 - shaft / 2), h - hh)]
        if direction == "up":
            pts = [(x, h - y) for x, y in pts]
    return polygon(w, h, pts)


def pad(img, l, t=None, r=None, b=None):
    t = l if t is None else t
    r = l if r is None else r
    b = t if b is None else b
    out = canvas(img.shape[1] + l + r, img.shape[0] + t + b)
    return over(out, img, l, t)


def alpha_bbox(img, thr=0.004):
    ys, xs = np.where(img[..., 3] > thr)
    if len(xs) == 0:
        return 0, 0, 1, 1
    return xs.min(), ys.min(), xs.max() + 1, ys.max() + 1


def erode(mask, px):
    """Shrinks a soft mask by px pixels (0 returns it unchanged)."""
    if px <= 0:
        return mask
    d = ndimage.distance_transform_edt(mask > 0.5)
    return np.clip((d - px) + 0.5, 0, 1).astype(np.float32) * (mask > 0.5) + 0 * mask


def dilate(mask, px):
    d = ndimage.distance_transform_edt(mask < 0.5)
    return np.clip(px - d + 0.5, 0, 1).astype(np.float32)


def shift(a, dy, dx):
    """Moves an array by (dy, dx) pixels, filling with zeros (no wrap-around)."""
    out = np.zeros_like(a)
    h, w = a.shape[:2]
    ys, yd = (slice(0, h - dy), slice(dy, h)) if dy >= 0 else (slice(-dy, h), slice(0, h + dy))
    xs, xd = (slice(0, w - dx), slice(dx, w)) if dx >= 0 else (slice(-dx, w), slice(0, w + dx))
    out[yd, xd] = a[ys, xs]
    return out
