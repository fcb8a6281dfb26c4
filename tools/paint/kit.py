"""Painting toolkit: layers, anti-aliased shapes, noise, materials, light and finishing.

Images are float32 arrays in 0..1. A Layer is a local RGBA patch (straight alpha) placed at an
integer offset on a canvas; scenes stack layers back to front. Every random choice takes an
explicit seed so that a run always paints the same pictures.
"""
import math
import os

import numpy as np
from PIL import Image, ImageDraw, ImageFont
from scipy import ndimage

W, H = 1024, 768
SS = 4  # supersampling factor for shape masks

PAL = {
    "night": "#1b2433", "slate": "#2e3a4f", "dusk": "#4a3b5c", "teal": "#3d5a63",
    "brass": "#c8963e", "amber": "#f2c46d", "candle": "#ffe3a3", "parchment": "#eadbb8",
    "parch_shade": "#c9b48a", "ink": "#2a1f17", "walnut": "#5a3a22", "mahogany": "#7a3b2a",
    "wine": "#8c2f2f", "moss": "#4f6b4a", "frost": "#cfe0ea",
}

FONT_DIR = "/usr/share/fonts/opentype/ebgaramond"


def col(c):
    """Colour from a palette name, '#rrggbb' or a tuple, as a float32 RGB vector."""
    if isinstance(c, str):
        c = PAL.get(c, c)
        c = c.lstrip("#")
        return np.array([int(c[i:i + 2], 16) / 255.0 for i in (0, 2, 4)], np.float32)
    return np.asarray(c, np.float32)


def mix(a, b, t):
    return col(a) * (1 - t) + col(b) * t


def shade_of(c, f):
    """Darker (f < 1) or lighter (f > 1, towards white) tint of a colour."""
    c = col(c)
    if f <= 1:
        return c * f
    return c + (1 - c) * min(f - 1, 1)


def font(size, style="Regular"):
    return ImageFont.truetype(os.path.join(FONT_DIR, "EBGaramond12-%s.otf" % style), size)


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


def text_mask(x, y, s, size, style="Regular", anchor="mm"):
    f = font(size * SS, style)
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
    bb = crop_to(b, a.x0, a.y0, a.m.shape[1], a.m.shape[0])
    return Mask(out * (1 - bb), a.x0, a.y0)


def intersect(a, b):
    bb = crop_to(b, a.x0, a.y0, a.m.shape[1], a.m.shape[0])
    return Mask(a.m * bb, a.x0, a.y0)


def crop_to(mk, x0, y0, w, h):
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


def canvas(c="night", w=W, h=H):
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


def add_light(cv, m, c, k=1.0):
    cv += m[..., None] * col(c) * k


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


def blur(a, s):
    if a.ndim == 3:
        return ndimage.gaussian_filter(a, (s, s, 0))
    return ndimage.gaussian_filter(a, s)


# ---------------------------------------------------------------------------------------------
# Materials and shape lighting


def relief(m, radius=6.0, light=(-0.6, -0.7, 0.5), strength=1.0, spec=0.0, shin=20, flat=0.0):
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
    if spec:
        # half vector with the viewer (0, 0, 1)
        hx, hy, hz = lx, ly, lz + 1
        hn = math.sqrt(hx * hx + hy * hy + hz * hz)
        sp = spec * np.clip((nx * hx + ny * hy + nz * hz) / hn, 0, 1) ** shin
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
        return crop_to(mk, self.x0, self.y0, self.w, self.h)

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
            m = crop_to(mk, self.x0 + sl[1].start, self.y0 + sl[0].start,
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


def over(cv, lay, alpha=1.0):
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


def save_jpg(cv, path, q=88):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    im = Image.fromarray((np.clip(cv, 0, 1) * 255 + 0.5).astype(np.uint8), "RGB")
    im.save(path, "JPEG", quality=q, optimize=True, progressive=False, subsampling=0)


def to_image(lay):
    rgba = np.dstack([np.clip(lay.rgb, 0, 1), np.clip(lay.a, 0, 1)])
    arr = (rgba * 255 + 0.5).astype(np.uint8)
    return Image.fromarray(arr, "RGBA")


def save_png(lay, path):
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
