#!/usr/bin/python3
"""Halvern's painting kit, shared by the interface art (tools/art), the room paintings (tools/paint)
and the video frames (tools/video): palette, fonts, masks, noise, materials, light and the writers.

Everything is deterministic: every random source takes an explicit seed, so a run reproduces the
committed files. Images are NumPy float32 arrays in 0..1. The kit works at two scales:

Patches (rooms, video frames): a `Mask` is a coverage patch placed at an integer offset on the
1024 x 768 screen (`poly`, `ellipse`, `rect`, `rrect`, `line`, `text_patch`, `union`, `subtract`...);
a `Layer` is an RGBA patch (straight alpha) that scenes stack back to front over an RGB `backdrop`
with `over_layer`; `noise`, `streaks`, `wood`, `relief`, `finish`; scenery (`storm_sky`, `sea`, `rain`,
`lamp`, `bloom`, `brick_courses`, `snow_tex`, `god_rays`, `motes`...); written by `save_layer` (PNG)
and `save_backdrop` (JPEG) to a path.

Whole images (interface): arrays (h, w, 4) of straight RGBA. `canvas`, `solid`, `layer`,
`over(dst, src, x, y)`; masks the size of the image (`draw_mask`, `rrect_mask`, `ellipse_mask`,
`circle`, `ring`, `polygon`, `line_mask`, `text_mask`, `svg_mask`); `value_noise`, `fbm`;
materials (`walnut_grain`, `brass`, `parchment`, `leather`, `slate`, `velvet`); light (`bevel`,
`metal`, `emboss`, `radial_mask`); effects (`drop_shadow`, `outer_glow`, `hover`...); parts (`plate`,
`button`, `bezel`, `jewel`); written by `save_png`, `save_jpg` and `save_anim` under assets/.

Needs Debian's python3 with python3-numpy, python3-pil and python3-scipy, fonts-ebgaramond and
fonts-liberation2; rsvg-convert (librsvg2-bin) for SVG; optipng is used when installed.
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
# Where save_png, save_jpg and save_anim write: the repository's assets/, or those under --out.
ASSETS = os.path.join(outdir.take(), "assets")

W, H = 1024, 768  # the screen, the size of a room's backdrop
SS = 4  # supersampling of drawn masks

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
    # the game's own bold face: Debian's Bold completed with German letters and Cyrillic
    # (tools/art/make_bold_font.py); for captions in other languages than English
    "bold_full": os.path.join(ROOT, "assets", "fonts", "garapremrpro_b.ttf"),
}


# ---------------------------------------------------------------- colours, fonts, blur


def col(c):
    """Colour from a palette name, '#rrggbb' or a tuple, as a float32 vector."""
    if isinstance(c, str):
        h = PALETTE.get(c, c).lstrip("#")
        return np.array([int(h[i:i + 2], 16) / 255.0 for i in (0, 2, 4)], np.float32)
    return np.asarray(c, np.float32)


def rgb(c):
    """col() cut to its red, green and blue."""
    return col(c)[:3]


def mix(a, b, t):
    return col(a) * (1 - t) + col(b) * t


def shade_of(c, f):
    """Darker (f < 1) or lighter (f > 1, towards white) tint of a colour."""
    c = col(c)
    if f <= 1:
        return c * f
    return c + (1 - c) * min(f - 1, 1)


def font(kind, size):
    """kind: regular, bold, italic (EB Garamond 12), bold_full (the game's completed bold) or serif
    (Liberation Serif)."""
    return ImageFont.truetype(FONTS[kind], size)


def blur(a, sigma):
    """Gaussian blur of a mask (h, w) or of each channel of an image (h, w, c)."""
    if sigma <= 0:
        return a
    if a.ndim == 3:
        return ndimage.gaussian_filter(a, (sigma, sigma, 0))
    return ndimage.gaussian_filter(a, sigma)


# ---------------------------------------------------------------------------------------------
# Masks


class Mask:
    """A coverage patch: array m (h, w) placed at (x0, y0)."""

    def __init__(self, m, x0=0, y0=0):
        self.m = m.astype(np.float32)
        self.x0, self.y0 = int(x0), int(y0)

    @property
    def shape(self):
        return self.m.shape

    def full(self, w=W, h=H):
        out = np.zeros((h, w), np.float32)
        paste_max(out, self)
        return out


def paste_max(out, mk, mode="max"):
    h, w = out.shape[:2]
    x0, y0 = mk.x0, mk.y0
    mh, mw = mk.m.shape
    ax0, ay0 = max(0, x0), max(0, y0)
    ax1, ay1 = min(w, x0 + mw), min(h, y0 + mh)
    if ax0 >= ax1 or ay0 >= ay1:
        return
    src = mk.m[ay0 - y0:ay1 - y0, ax0 - x0:ax1 - x0]
    if mode == "max":
        np.maximum(out[ay0:ay1, ax0:ax1], src, out=out[ay0:ay1, ax0:ax1])
    else:
        out[ay0:ay1, ax0:ax1] += src


def _draw_local(bbox, fn, pad=2):
    x0 = int(math.floor(bbox[0])) - pad
    y0 = int(math.floor(bbox[1])) - pad
    x1 = int(math.ceil(bbox[2])) + pad
    y1 = int(math.ceil(bbox[3])) + pad
    w, h = max(1, x1 - x0), max(1, y1 - y0)
    im = Image.new("L", (w * SS, h * SS), 0)
    d = ImageDraw.Draw(im)
    fn(d, lambda x, y: ((x - x0) * SS, (y - y0) * SS))
    im = im.resize((w, h), Image.BOX)
    return Mask(np.asarray(im, np.float32) / 255.0, x0, y0)


def poly(pts):
    pts = [(float(x), float(y)) for x, y in pts]
    xs, ys = [p[0] for p in pts], [p[1] for p in pts]
    return _draw_local((min(xs), min(ys), max(xs), max(ys)),
                       lambda d, t: d.polygon([t(x, y) for x, y in pts], fill=255))


def ellipse(cx, cy, rx, ry):
    return _draw_local((cx - rx, cy - ry, cx + rx, cy + ry),
                       lambda d, t: d.ellipse([t(cx - rx, cy - ry), t(cx + rx, cy + ry)], fill=255))


def rect(x0, y0, x1, y1):
    return poly([(x0, y0), (x1, y0), (x1, y1), (x0, y1)])


def rrect(x0, y0, x1, y1, r):
    return _draw_local((x0, y0, x1, y1), lambda d, t: d.rounded_rectangle(
        [t(x0, y0), t(x1, y1)], radius=r * SS, fill=255))


def line(pts, width):
    pts = [(float(x), float(y)) for x, y in pts]
    xs, ys = [p[0] for p in pts], [p[1] for p in pts]
    r = width / 2.0

    def fn(d, t):
        d.line([t(x, y) for x, y in pts], fill=255, width=max(1, int(width * SS)), joint="curve")
        for x, y in (pts[0], pts[-1]):
            a, b = t(x - r, y - r), t(x + r, y + r)
            d.ellipse([a, b], fill=255)
    return _draw_local((min(xs) - r, min(ys) - r, max(xs) + r, max(ys) + r), fn)


def arc_pts(cx, cy, rx, ry, a0, a1, n=48):
    return [(cx + rx * math.cos(a), cy + ry * math.sin(a))
            for a in np.linspace(a0, a1, n)]


def text_patch(x, y, s, size, style="Regular", anchor="mm"):
    f = font(style.lower(), size * SS)
    l, t, r, b = f.getbbox(s, anchor=anchor)
    w, h = (r - l) // SS + 6, (b - t) // SS + 6
    im = Image.new("L", (w * SS, h * SS), 0)
    ImageDraw.Draw(im).text((-l + 3 * SS, -t + 3 * SS), s, font=f, fill=255, anchor=anchor)
    im = im.resize((w, h), Image.BOX)
    return Mask(np.asarray(im, np.float32) / 255.0, x + l / SS - 3, y + t / SS - 3)


def union(*ms):
    x0 = min(m.x0 for m in ms)
    y0 = min(m.y0 for m in ms)
    x1 = max(m.x0 + m.m.shape[1] for m in ms)
    y1 = max(m.y0 + m.m.shape[0] for m in ms)
    out = np.zeros((y1 - y0, x1 - x0), np.float32)
    for m in ms:
        out[m.y0 - y0:m.y0 - y0 + m.m.shape[0], m.x0 - x0:m.x0 - x0 + m.m.shape[1]] = np.maximum(
            out[m.y0 - y0:m.y0 - y0 + m.m.shape[0], m.x0 - x0:m.x0 - x0 + m.m.shape[1]], m.m)
    return Mask(out, x0, y0)


def subtract(a, b):
    out = a.m.copy()
    bb = crop_mask(b, a.x0, a.y0, a.m.shape[1], a.m.shape[0])
    return Mask(out * (1 - bb), a.x0, a.y0)


def intersect(a, b):
    bb = crop_mask(b, a.x0, a.y0, a.m.shape[1], a.m.shape[0])
    return Mask(a.m * bb, a.x0, a.y0)


def crop_mask(mk, x0, y0, w, h):
    out = np.zeros((h, w), np.float32)
    tmp = Mask(mk.m, mk.x0 - x0, mk.y0 - y0)
    paste_max(out, tmp)
    return out


def grow(mk, pad):
    m = np.pad(mk.m, pad)
    return Mask(m, mk.x0 - pad, mk.y0 - pad)


# ---------------------------------------------------------------------------------------------
# Noise


def noise(h, w, scale, seed, octaves=4, persistence=0.5):
    """Fractal value noise in 0..1, feature size about `scale` pixels."""
    rng = np.random.default_rng(seed)
    out = np.zeros((h, w), np.float32)
    amp, tot = 1.0, 0.0
    s = float(scale)
    for _ in range(octaves):
        gh, gw = int(h / s) + 3, int(w / s) + 3
        g = rng.random((gh, gw)).astype(np.float32)
        z = ndimage.zoom(g, s, order=3, mode="reflect")
        out += amp * z[:h, :w] if z.shape[0] >= h and z.shape[1] >= w else amp * np.resize(z, (h, w))
        tot += amp
        amp *= persistence
        s = max(1.0, s / 2)
    out /= tot
    lo, hi = np.percentile(out, 1), np.percentile(out, 99)
    return np.clip((out - lo) / max(hi - lo, 1e-6), 0, 1)


def streaks(h, w, seed, length=18, angle=0.0, scale=3):
    """Directional brush-stroke texture in -1..1."""
    rng = np.random.default_rng(seed)
    n = rng.standard_normal((h // scale + 4, w // scale + 4)).astype(np.float32)
    n = ndimage.zoom(n, scale, order=1)[:h, :w]
    ca, sa = math.cos(angle), math.sin(angle)
    sy, sx = abs(sa) * length + 1, abs(ca) * length + 1
    n = ndimage.gaussian_filter(n, (sy / 3 + 0.6, sx / 3 + 0.6))
    return n / (np.abs(n).max() + 1e-6)


# ---------------------------------------------------------------------------------------------
# Canvas painting (backdrops: RGB float arrays)


def backdrop(c="night", w=W, h=H):
    return np.ones((h, w, 3), np.float32) * col(c)


def vgrad(h, w, stops):
    """Vertical gradient through [(t, colour), ...]."""
    t = np.linspace(0, 1, h, dtype=np.float32)
    ts = [s[0] for s in stops]
    out = np.zeros((h, 3), np.float32)
    for i in range(3):
        out[:, i] = np.interp(t, ts, [col(s[1])[i] for s in stops])
    return np.repeat(out[:, None, :], w, axis=1)


def radial(h, w, cx, cy, r, power=1.0):
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    d = np.sqrt((xx - cx) ** 2 + (yy - cy) ** 2) / r
    return np.clip(1 - d, 0, 1) ** power


def fill(cv, mk, c, alpha=1.0):
    """Paint colour (vector or per-pixel array matching the canvas) through a mask."""
    h, w = cv.shape[:2]
    x0, y0 = max(0, mk.x0), max(0, mk.y0)
    x1, y1 = min(w, mk.x0 + mk.m.shape[1]), min(h, mk.y0 + mk.m.shape[0])
    if x0 >= x1 or y0 >= y1:
        return
    m = mk.m[y0 - mk.y0:y1 - mk.y0, x0 - mk.x0:x1 - mk.x0][..., None] * alpha
    if isinstance(c, np.ndarray) and c.ndim == 3:
        src = c[y0:y1, x0:x1]
    else:
        src = col(c)
    cv[y0:y1, x0:x1] = cv[y0:y1, x0:x1] * (1 - m) + src * m


def multiply(cv, m):
    cv *= m[..., None] if m.ndim == 2 else m


def finish(cv, seed, grain=0.035, vignette=0.45, painterly=True, stroke_angle=0.6, protect=None):
    """Painterly smoothing, brush streaks, canvas grain and vignette.

    protect: optional (h, w) weights where the unsmoothed picture is kept (faces, fine lettering)."""
    h, w = cv.shape[:2]
    if painterly:
        sm = kuwahara(cv, 2)
        if protect is not None:
            p = protect[..., None]
            sm = sm * (1 - p) + cv * p
        s = streaks(h, w, seed, 14, stroke_angle)
        cv = sm * (1 + 0.05 * s[..., None])
    g = noise(h, w, 1.5, seed + 7, octaves=2)
    cv = cv * (1 + grain * (g[..., None] - 0.5) * 2)
    if vignette:
        yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
        d = np.sqrt(((xx - w / 2) / (w / 2)) ** 2 + ((yy - h / 2) / (h / 2)) ** 2)
        cv = cv * (1 - vignette * np.clip(d - 0.55, 0, 1) ** 1.5)[..., None]
    return np.clip(cv, 0, 1)


def kuwahara(img, r):
    """Kuwahara filter: flattens texture into brush-like patches, keeps edges."""
    o = r // 2 + 1
    pad = o + 2 * r + 2
    src = np.pad(img, ((pad, pad), (pad, pad), (0, 0)), mode="edge")
    lum = src.mean(axis=2)
    sg = r * 0.75
    mean = ndimage.gaussian_filter(src, (sg, sg, 0))
    mean_l = ndimage.gaussian_filter(lum, sg)
    var = ndimage.gaussian_filter(lum * lum, sg) - mean_l ** 2
    best = None
    bestv = None
    for dy, dx in ((-o, -o), (-o, o), (o, -o), (o, o)):
        v = np.roll(np.roll(var, dy, 0), dx, 1)
        m = np.roll(np.roll(mean, dy, 0), dx, 1)
        if best is None:
            best, bestv = m.copy(), v.copy()
        else:
            sel = v < bestv
            best[sel] = m[sel]
            bestv[sel] = v[sel]
    return best[pad:-pad, pad:-pad]


# ---------------------------------------------------------------------------------------------
# Materials and shape lighting


def relief(m, radius=6.0, light=(-0.6, -0.7, 0.5), strength=1.0, specular=0.0, shin=20, flat=0.0):
    """Lambert (+ specular) shading factor for a mask read as a rounded height field.

    Returns (diffuse, specular) arrays the size of m. light points from the surface to the light
    in screen axes (x right, y down, z towards the viewer).
    """
    hgt = ndimage.gaussian_filter(np.clip(m, 0, 1), radius)
    hgt = np.clip(hgt * 2, 0, 1) if flat == 0 else hgt
    gy, gx = np.gradient(hgt)
    k = radius * strength * 2.0
    nx, ny, nz = -gx * k, -gy * k, np.ones_like(gx)
    n = np.sqrt(nx * nx + ny * ny + nz * nz)
    nx, ny, nz = nx / n, ny / n, nz / n
    lx, ly, lz = light
    ln = math.sqrt(lx * lx + ly * ly + lz * lz)
    lx, ly, lz = lx / ln, ly / ln, lz / ln
    dif = np.clip(nx * lx + ny * ly + nz * lz, 0, 1)
    sp = np.zeros_like(dif)
    if specular:
        # half vector with the viewer (0, 0, 1)
        hx, hy, hz = lx, ly, lz + 1
        hn = math.sqrt(hx * hx + hy * hy + hz * hz)
        sp = specular * np.clip((nx * hx + ny * hy + nz * hz) / hn, 0, 1) ** shin
    return dif.astype(np.float32), sp.astype(np.float32)


def wood(h, w, seed, c0="walnut", c1=None, angle=0.0, freq=0.09, warp=9.0):
    """Wood grain texture (RGB): long fibres along `angle` (0 = horizontal) with soft rings."""
    c1 = c1 if c1 is not None else shade_of(c0, 0.62)
    rng = np.random.default_rng(seed)
    vertical = abs(math.sin(angle)) > 0.7
    long_, short = (40.0, 0.8)
    sig = (long_, short) if vertical else (short, long_)
    fib = ndimage.gaussian_filter(rng.standard_normal((h, w)).astype(np.float32), sig)
    fib /= np.abs(fib).max() + 1e-6
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    across = xx if vertical else yy
    along = yy if vertical else xx
    n = noise(h, w, 60, seed + 1, 3)
    rings = 0.5 + 0.5 * np.sin(across * freq * 2.2 + n * warp * 0.6 + np.sin(along * 0.004 + seed) * 3)
    t = np.clip(0.45 + 0.9 * fib * 0.5 + (rings ** 4) * 0.35 - 0.15, 0, 1)
    t = t * 0.8 + noise(h, w, 120, seed + 2, 2) * 0.2
    t = t[..., None]
    return col(c0) * (1 - t) + col(c1) * t


def tex_noise(h, w, c0, c1, scale, seed, octaves=4):
    n = noise(h, w, scale, seed, octaves)[..., None]
    return col(c0) * (1 - n) + col(c1) * n


# ---------------------------------------------------------------------------------------------
# Layers (objects with alpha)


class Layer:
    def __init__(self, w, h, x0=0, y0=0):
        self.rgb = np.zeros((h, w, 3), np.float32)
        self.a = np.zeros((h, w), np.float32)
        self.x0, self.y0 = int(x0), int(y0)

    @classmethod
    def around(cls, x0, y0, x1, y1):
        return cls(int(x1 - x0), int(y1 - y0), x0, y0)

    @property
    def w(self):
        return self.a.shape[1]

    @property
    def h(self):
        return self.a.shape[0]

    def local(self, mk):
        return crop_mask(mk, self.x0, self.y0, self.w, self.h)

    def region(self, mk, pad=0):
        """Slices of this layer covered by a mask's box (grown by pad), or None."""
        x0 = max(0, mk.x0 - pad - self.x0)
        y0 = max(0, mk.y0 - pad - self.y0)
        x1 = min(self.w, mk.x0 + mk.m.shape[1] + pad - self.x0)
        y1 = min(self.h, mk.y0 + mk.m.shape[0] + pad - self.y0)
        if x0 >= x1 or y0 >= y1:
            return None
        return (slice(y0, y1), slice(x0, x1))

    def paint(self, mk, c, alpha=1.0, cover=True):
        """Paint a colour (vector or local (h, w, 3) array) through a mask."""
        src = col(c) if not (isinstance(c, np.ndarray) and c.ndim == 3) else c
        if isinstance(mk, Mask):
            sl = self.region(mk)
            if sl is None:
                return None
            m = crop_mask(mk, self.x0 + sl[1].start, self.y0 + sl[0].start,
                        sl[1].stop - sl[1].start, sl[0].stop - sl[0].start) * alpha
        else:
            sl = (slice(0, self.h), slice(0, self.w))
            m = mk * alpha
        s3 = src[sl] if src.ndim == 3 else src
        self.rgb[sl] = self.rgb[sl] * (1 - m[..., None]) + s3 * m[..., None]
        if cover:
            self.a[sl] = self.a[sl] + m * (1 - self.a[sl])
        return m

    def tone(self, f, mk=None):
        """Multiply colours by a factor array (local) optionally through a mask."""
        if mk is None:
            self.rgb *= f[..., None] if np.ndim(f) == 2 else f
        else:
            m = self.local(mk)[..., None]
            ff = f[..., None] if np.ndim(f) == 2 else f
            self.rgb = self.rgb * (1 - m) + self.rgb * ff * m

    def glow(self, m, c, k=1.0):
        self.rgb = self.rgb + m[..., None] * col(c) * k

    def grid(self):
        yy, xx = np.mgrid[0:self.h, 0:self.w].astype(np.float32)
        return xx + self.x0, yy + self.y0

    def bbox(self, thr=1.0 / 255):
        ys, xs = np.nonzero(self.a >= thr)
        if len(xs) == 0:
            return None
        return xs.min(), ys.min(), xs.max() + 1, ys.max() + 1

    def cropped(self, pad=1):
        b = self.bbox()
        if b is None:
            return self
        x0, y0 = max(0, b[0] - pad), max(0, b[1] - pad)
        x1, y1 = min(self.w, b[2] + pad), min(self.h, b[3] + pad)
        # even sizes keep the centre on a whole pixel
        if (x1 - x0) % 2:
            x1, x0 = (x1 + 1, x0) if x1 < self.w else (x1, x0 - 1)
        if (y1 - y0) % 2:
            y1, y0 = (y1 + 1, y0) if y1 < self.h else (y1, y0 - 1)
        out = Layer(x1 - x0, y1 - y0, self.x0 + x0, self.y0 + y0)
        out.rgb = self.rgb[y0:y1, x0:x1].copy()
        out.a = self.a[y0:y1, x0:x1].copy()
        return out

    def centre(self):
        return self.x0 + self.w / 2.0, self.y0 + self.h / 2.0


def over_layer(cv, lay, alpha=1.0):
    """Composite a layer over an RGB canvas in place."""
    h, w = cv.shape[:2]
    x0, y0 = max(0, lay.x0), max(0, lay.y0)
    x1, y1 = min(w, lay.x0 + lay.w), min(h, lay.y0 + lay.h)
    if x0 >= x1 or y0 >= y1:
        return
    sl = (slice(y0 - lay.y0, y1 - lay.y0), slice(x0 - lay.x0, x1 - lay.x0))
    a = lay.a[sl][..., None] * alpha
    cv[y0:y1, x0:x1] = cv[y0:y1, x0:x1] * (1 - a) + lay.rgb[sl] * a


def add_layer(cv, lay, k=1.0):
    h, w = cv.shape[:2]
    x0, y0 = max(0, lay.x0), max(0, lay.y0)
    x1, y1 = min(w, lay.x0 + lay.w), min(h, lay.y0 + lay.h)
    sl = (slice(y0 - lay.y0, y1 - lay.y0), slice(x0 - lay.x0, x1 - lay.x0))
    cv[y0:y1, x0:x1] += lay.rgb[sl] * lay.a[sl][..., None] * k


def shadow_layer(mk, dx, dy, soft, strength=0.6, c="ink"):
    """A soft drop shadow layer from a mask."""
    pad = int(soft * 3 + abs(dx) + abs(dy) + 2)
    g = grow(mk, pad)
    m = ndimage.gaussian_filter(g.m, soft)
    m = ndimage.shift(m, (dy, dx), order=1)
    lay = Layer(m.shape[1], m.shape[0], g.x0, g.y0)
    lay.rgb[:] = col(c)
    lay.a = np.clip(m * strength, 0, 1)
    return lay


def with_shadow(lay, dx, dy, soft, strength):
    """A copy of a layer with a soft drop shadow merged underneath it."""
    sh = shadow_layer(Mask(lay.a, lay.x0, lay.y0), dx, dy, soft, strength)
    out = Layer(sh.w, sh.h, sh.x0, sh.y0)
    out.rgb[:] = sh.rgb
    out.a = sh.a.copy()
    ys, xs = lay.y0 - out.y0, lay.x0 - out.x0
    a = lay.a[..., None]
    reg = (slice(ys, ys + lay.h), slice(xs, xs + lay.w))
    out.rgb[reg] = out.rgb[reg] * (1 - a) + lay.rgb * a
    out.a[reg] = out.a[reg] + lay.a * (1 - out.a[reg])
    return out


def layer_from_canvas(cv, mk):
    """Cut a layer out of an RGB canvas with a mask."""
    h, w = mk.m.shape
    lay = Layer(w, h, mk.x0, mk.y0)
    x0, y0 = mk.x0, mk.y0
    full = np.zeros((h, w, 3), np.float32)
    ax0, ay0, ax1, ay1 = max(0, x0), max(0, y0), min(cv.shape[1], x0 + w), min(cv.shape[0], y0 + h)
    full[ay0 - y0:ay1 - y0, ax0 - x0:ax1 - x0] = cv[ay0:ay1, ax0:ax1]
    lay.rgb = full
    lay.a = mk.m.copy()
    return lay


# ---------------------------------------------------------------------------------------------
# Output


def save_backdrop(cv, path, q=88):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    im = Image.fromarray((np.clip(cv, 0, 1) * 255 + 0.5).astype(np.uint8), "RGB")
    im.save(path, "JPEG", quality=q, optimize=True, progressive=False, subsampling=0)


def to_image(lay):
    rgba = np.dstack([np.clip(lay.rgb, 0, 1), np.clip(lay.a, 0, 1)])
    arr = (rgba * 255 + 0.5).astype(np.uint8)
    return Image.fromarray(arr, "RGBA")


def save_layer(lay, path):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    im = to_image(lay)
    a = np.asarray(im)[..., 3]
    # transparent pixels carry no colour, so they compress well
    arr = np.asarray(im).copy()
    arr[a == 0, :3] = 0
    Image.fromarray(arr, "RGBA").save(path, optimize=True)


def save_rgb_png(cv, path):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    Image.fromarray((np.clip(cv, 0, 1) * 255 + 0.5).astype(np.uint8), "RGB").save(path, optimize=True)


def resize(a, w, h):
    """Resample a float image (h, w[, c]) to (w, h) with a Lanczos filter."""
    if a.ndim == 2:
        return np.asarray(Image.fromarray(a.astype(np.float32), "F").resize((w, h), Image.LANCZOS), np.float32)
    return np.dstack([resize(a[..., i], w, h) for i in range(a.shape[2])])


# ---------------------------------------------------------------------------------------------
# Scenery: storm skies, sea, rain, lamplight, stone, snow, light shafts


def storm_sky(h, w, seed, top="night", mid="slate", low="teal", moon=None, horizon=0.55):
    cv = vgrad(h, w, [(0, "#10161f"), (0.35, top), (horizon, mid), (1, low)])
    n = noise(h, w, 120, seed, 5)
    n2 = noise(h, w, 30, seed + 1, 4)
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    # cloud banks: lighter billows with dark undersides
    cl = np.clip((n * 0.75 + n2 * 0.25 - 0.42) * 2.6, 0, 1)
    under = np.clip(ndimage.shift(cl, (-6, 0), order=1) - cl, 0, 1)
    cv = cv * (1 - 0.35 * cl[..., None]) + col("#5b6b80") * 0.55 * cl[..., None]
    cv = cv * (1 - 0.4 * under[..., None])
    if moon is not None:
        mx, my, mr = moon
        g = radial(h, w, mx, my, mr * 6, 2.2)
        cv += g[..., None] * col("frost") * 0.35 * (0.4 + 0.6 * cl[..., None])
        disc = radial(h, w, mx, my, mr, 0.3)
        cv += (disc * (1 - cl * 0.85))[..., None] * col("frost") * 0.5
    return cv


def sea(cv, y0, y1, seed, c0="#1e3440", c1="teal", light_x=None):
    h, w = cv.shape[:2]
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    t = np.clip((yy - y0) / max(1, (y1 - y0)), 0, 1)
    base = col(c0) * (1 - t[..., None]) + col("night") * t[..., None]
    n = streaks(h, w, seed, 40, 0.0, 2)
    waves = np.clip(n * 3 - 0.6, 0, 1) * (1 - t) ** 0.5
    base = base + waves[..., None] * col("frost") * 0.25
    m = ((yy >= y0) & (yy < y1)).astype(np.float32)
    cv[:] = cv * (1 - m[..., None]) + base * m[..., None]


def rain(cv, seed, n=900, length=26, angle=0.25, k=0.12, c="frost", region=None):
    h, w = cv.shape[:2]
    rng = np.random.default_rng(seed)
    layer = np.zeros((h, w), np.float32)
    dx, dy = math.sin(angle) * length, math.cos(angle) * length
    from PIL import Image, ImageDraw
    im = Image.new("L", (w, h), 0)
    d = ImageDraw.Draw(im)
    for _ in range(n):
        x, y = rng.random() * (w + 100) - 50, rng.random() * (h + 40) - 40
        s = 0.5 + rng.random()
        d.line([(x, y), (x + dx * s, y + dy * s)], fill=int(120 + 135 * rng.random()), width=1)
    layer = ndimage.gaussian_filter(np.asarray(im, np.float32) / 255.0, 0.6)
    if region is not None:
        layer *= region
    cv += layer[..., None] * col(c) * k


def lamp(cv, x, y, r, c="amber", k=1.0, power=1.6, floor=0.0):
    """Warm light falloff brightening and tinting whatever it reaches."""
    h, w = cv.shape[:2]
    f = radial(h, w, x, y, r, power)
    cv *= (1 + f[..., None] * (col(c) * 1.6 * k - 0.0))
    return f


def bloom(cv, thr=0.75, s=12, k=0.35):
    lum = cv.mean(axis=2)
    b = np.clip(lum - thr, 0, 1)[..., None] * cv
    cv += blur(b, s) * k


def ambient(cv, c="slate", k=0.55):
    """Darken everything into a cool night tone."""
    cv[:] = cv * (col(c) * 0.6 + 0.4) * k + cv * (1 - k) * 0.0 + cv * (1 - k)


def stone_tex(h, w, seed, c0="#6b6e73", c1="#3f444c"):
    n = noise(h, w, 14, seed, 5)
    n2 = noise(h, w, 3, seed + 1, 2)
    t = (n * 0.7 + n2 * 0.3)[..., None]
    return col(c0) * (1 - t) + col(c1) * t


def brick_courses(lay, mk, seed, bw=46, bh=20, c0="#5d5f63", c1="#3e4248", mortar="#2b2f35"):
    """Stone block courses through a mask."""
    tex = stone_tex(lay.h, lay.w, seed, c0, c1)
    xx, yy = lay.grid()
    row = np.floor(yy / bh)
    off = (row % 2) * bw / 2
    gx = np.mod(xx + off, bw)
    gy = np.mod(yy, bh)
    mort = ((gx < 2.2) | (gy < 2.2)).astype(np.float32)
    mort = ndimage.gaussian_filter(mort, 0.7)
    tex = tex * (1 - mort[..., None] * 0.7) + col(mortar) * mort[..., None] * 0.3
    # per-block tone
    rng = np.random.default_rng(seed)
    tone = rng.random((int(lay.h / bh) + 3, int(lay.w / bw) + 3)).astype(np.float32)
    bi = np.clip(((xx - lay.x0 + off) / bw).astype(int), 0, tone.shape[1] - 1)
    bj = np.clip(((yy - lay.y0) / bh).astype(int), 0, tone.shape[0] - 1)
    tex = tex * (0.85 + 0.3 * tone[bj, bi])[..., None]
    lay.paint(mk, tex)
    return tex


def cells(n, size, seed):
    """Distance to the nearest cell border of a random tiling (0 on joints), wrapping."""
    rng = np.random.default_rng(seed)
    pts = rng.random((n, 2)) * size
    pts = np.concatenate([pts + [dx * size, dy * size] for dx in (-1, 0, 1) for dy in (-1, 0, 1)])
    yy, xx = np.mgrid[0:size, 0:size].astype(np.float32)
    d1 = np.full((size, size), 1e9, np.float32)
    d2 = np.full((size, size), 1e9, np.float32)
    idx = np.zeros((size, size), np.int32)
    for i, (px, py) in enumerate(pts):
        d = np.sqrt((xx - px) ** 2 + (yy - py) ** 2)
        closer = d < d1
        d2 = np.where(closer, d1, np.minimum(d2, d))
        idx = np.where(closer, i % n, idx)
        d1 = np.where(closer, d, d1)
    return (d2 - d1), idx


def perspective_paving(h, w, seed, y_h, cx, near_w, far_w, n=60, size=256):
    """Flagstone joints and per-stone tone for a ground plane seen in perspective."""
    edge, idx = cells(n, size, seed)
    rng = np.random.default_rng(seed + 1)
    tone = rng.random(n).astype(np.float32)[idx]
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    depth = np.clip((yy - y_h) / (h - y_h), 0.003, 1)
    half = far_w / 2 + (near_w - far_w) / 2 * depth
    u = (xx - cx) / half * 90 + size * 4
    v = (1.0 / depth) * 200
    coords = [np.mod(v, size), np.mod(u, size)]
    e = ndimage.map_coordinates(edge, coords, order=1, mode="wrap")
    t = ndimage.map_coordinates(tone, coords, order=0, mode="wrap")
    joint = np.clip(1 - e / (1.5 + 4 * depth ** 1.5 / 1), 0, 1)
    return joint, t, depth


def snow_tex(h, w, seed, warm=None, shade="dusk", k_warm=0.35):
    """Soft snow: gentle drifts, blue hollows and a few glints; warm where a low sun touches it."""
    n = noise(h, w, 90, seed, 3)
    n2 = noise(h, w, 22, seed + 1, 3)
    drift = np.clip(n * 0.7 + n2 * 0.3, 0, 1)
    c = col("frost")[None, None] * (0.78 + 0.3 * drift[..., None])
    hollow = np.clip(0.55 - drift, 0, 1)[..., None]
    c = c * (1 - hollow) + mix("frost", shade, 0.45) * hollow
    if warm is not None:
        c = c * (1 - warm[..., None] * k_warm) + mix("candle", "wine", 0.25) * warm[..., None] * k_warm * 1.1
    rng = np.random.default_rng(seed + 2)
    g = (rng.random((h, w)) > 0.9975).astype(np.float32)
    c += ndimage.gaussian_filter(g, 0.6)[..., None] * 1.5
    return c


def god_rays(src, cx, cy, reach=0.6, steps=24, decay=0.93):
    """Light shafts streaming from a bright source image (h, w) away from the point (cx, cy).

    Each step zooms the source out from (cx, cy) a little further; their weighted sum smears every
    bright pixel along the line away from the centre, with the shadows of whatever blocks it."""
    h, w = src.shape
    acc = np.zeros_like(src)
    wgt = 1.0
    tot = 0.0
    for i in range(steps):
        s = 1.0 + reach * (i + 1) / steps
        # output pixel p samples the source at c + (p - c) / s
        m = np.array([[1 / s, 0], [0, 1 / s]], np.float32)
        off = np.array([cy - cy / s, cx - cx / s], np.float32)
        z = ndimage.affine_transform(src, m, offset=off, order=1, mode="constant")
        acc += z * wgt
        tot += wgt
        wgt *= decay
    return acc / tot


def motes(h, w, seed, n, mask=None, size=0.9, bright=(0.4, 1.2)):
    """Specks of dust (or snow) as a (h, w) brightness map, optionally only where mask is lit."""
    rng = np.random.default_rng(seed)
    m = np.zeros((h, w), np.float32)
    xs = rng.integers(0, w, n)
    ys = rng.integers(0, h, n)
    m[ys, xs] = bright[0] + rng.random(n) * (bright[1] - bright[0])
    m = ndimage.gaussian_filter(m, size) * (size * 2.5) ** 2
    if mask is not None:
        m *= mask
    return m


def contact_shadow(cv, x0, x1, y, depth=14, k=0.5, soft=6):
    """Darken the floor just under an object standing on it (a soft band below x0..x1 at y)."""
    h, w = cv.shape[:2]
    m = rect(x0, y - depth * 0.3, x1, y + depth).full(w, h)
    m = ndimage.gaussian_filter(m, soft)
    cv *= (1 - k * m)[..., None]


# ---------------------------------------------------------------- whole images: compositing


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


def _overlap(dst, src, x, y):
    """The parts of src placed with its top-left at (x, y) and of dst that overlap, or None."""
    h, w = src.shape[:2]
    H, W = dst.shape[:2]
    x0, y0, x1, y1 = max(x, 0), max(y, 0), min(x + w, W), min(y + h, H)
    if x0 >= x1 or y0 >= y1:
        return None
    return src[y0 - y:y1 - y, x0 - x:x1 - x], dst[y0:y1, x0:x1]


def over(dst, src, x=0, y=0, opacity=1.0):
    """Composites src onto dst in place with its top-left at (x, y); returns dst."""
    parts = _overlap(dst, src, x, y)
    if parts is None:
        return dst
    s, d = parts
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
    parts = _overlap(dst, src, x, y)
    if parts is None:
        return dst
    s, d = parts
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

def draw_mask(w, h, fn, ss=SS):
    """fn(draw, s) draws in white with coordinates multiplied by s; returns an antialiased mask."""
    im = Image.new("L", (w * ss, h * ss), 0)
    fn(ImageDraw.Draw(im), ss)
    im = im.resize((w, h), Image.BOX)
    return np.asarray(im, np.float32) / 255.0


def rrect_mask(w, h, box=None, r=8):
    x0, y0, x1, y1 = box if box else (0, 0, w, h)
    return draw_mask(w, h, lambda d, s: d.rounded_rectangle(
        (x0 * s, y0 * s, x1 * s - 1, y1 * s - 1), radius=r * s, fill=255))


def ellipse_mask(w, h, box=None):
    x0, y0, x1, y1 = box if box else (0, 0, w, h)
    return draw_mask(w, h, lambda d, s: d.ellipse((x0 * s, y0 * s, x1 * s - 1, y1 * s - 1), fill=255))


def circle(w, h, cx, cy, r):
    return ellipse_mask(w, h, (cx - r, cy - r, cx + r, cy + r))


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


def walnut_grain(w, h, seed, base="walnut", vertical=False, figure=1.0, dark=0.0):
    """Walnut-like grain running along x (or y): fine streaks, gentle figure, stretched pores."""
    if vertical:
        return walnut_grain(h, w, seed, base, False, figure, dark).transpose(1, 0, 2)
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


def bevel(col, height, depth=6.0, ambient=0.55, diffuse=0.6, specular=0.25, shininess=18, light=LIGHT):
    """Lights an RGB array by a height field (top-left light)."""
    n = normals(height, depth)
    lam = np.clip((n * light).sum(-1), 0, 1)
    flat = light[2]
    shade = ambient + diffuse * (lam - flat) / max(flat, 1e-3) * 0.9 + diffuse * flat * 0.5
    h = light + np.array([0, 0, 1], np.float32)
    h = h / np.linalg.norm(h)
    sp = np.clip((n * h).sum(-1), 0, 1) ** shininess * specular
    out = col * shade[..., None] + sp[..., None] * rgb("candle")
    return np.clip(out, 0, 1)


def metal(col, height, depth=8.0, light=LIGHT, env=("#2a1a08", "#ffe9b0"), specular=0.9):
    """Brass lighting: strong env reflection from the normal plus a hot highlight."""
    n = normals(height, depth)
    lam = np.clip((n * light).sum(-1), 0, 1)
    refl = np.clip(0.5 + 0.9 * (-n[..., 1] * 0.6 - n[..., 0] * 0.4), 0, 1)
    envc = _ramp(refl, [(0.0, env[0]), (0.5, "#7a5a26"), (1.0, env[1])])
    h = light + np.array([0, 0, 1], np.float32)
    h = h / np.linalg.norm(h)
    sp = np.clip((n * h).sum(-1), 0, 1) ** 40 * specular
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


def radial_mask(w, h, cx, cy, r, power=2.0):
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
    a = radial_mask(size, size, r - 0.5, r - 0.5, r, power)
    if core:
        a = np.clip(a + core * radial_mask(size, size, r - 0.5, r - 0.5, r * 0.25, 1.5), 0, 1)
    img = solid(a, colour)
    c = radial_mask(size, size, r - 0.5, r - 0.5, r * 0.6, 1.0)[..., None]
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
    col = walnut_grain(w, h, seed, base, vertical, figure, dark)
    hgt = height_from_mask(mask, bevel_width, "round")
    return layer(bevel(col, hgt, depth, specular=0.12), mask)


def frame_masks(w, h, inset, border, radius=10):
    """Outer shape and inner window of a rounded frame: (outer, inner)."""
    outer = rrect_mask(w, h, (inset, inset, w - inset, h - inset), radius)
    b = inset + border
    inner = rrect_mask(w, h, (b, b, w - b, h - b), max(radius - border, 2))
    return outer, inner


def plate(w, h, seed, fill="wood", radius=12, margin=6, brass_w=5, wood_w=0, fill_base=None,
          shadow=True, rivets=True, fill_dark=0.0, fill_alpha=1.0):
    """A panel: a brass rim, an optional walnut band and a thin inner brass line, around a fill
    ('wood', 'parchment', 'slate', 'leather'). margin leaves room for the shadow."""
    img = canvas(w, h)

    def rr(inset, r):
        return rrect_mask(w, h, (inset, inset, w - inset, h - inset), max(r, 2))

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
        "wood": lambda: walnut_grain(w, h, seed + 3, fill_base or "walnut", dark=fill_dark),
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
    inner = rrect_mask(w, h, (margin + brass_w, margin + brass_w, w - margin - brass_w, h - margin - brass_w),
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
    lit = radial_mask(w, h, w / 2, h / 2, max(w, h) * 0.6, 1.2) * inner
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
