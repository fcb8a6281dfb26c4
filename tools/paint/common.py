"""Shared scenery: storm skies, sea, rain, lamplight."""
import math

import numpy as np
from scipy import ndimage

import kit
from kit import col


def storm_sky(h, w, seed, top="night", mid="slate", low="teal", moon=None, horizon=0.55):
    cv = kit.vgrad(h, w, [(0, "#10161f"), (0.35, top), (horizon, mid), (1, low)])
    n = kit.noise(h, w, 120, seed, 5)
    n2 = kit.noise(h, w, 30, seed + 1, 4)
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    # cloud banks: lighter billows with dark undersides
    cl = np.clip((n * 0.75 + n2 * 0.25 - 0.42) * 2.6, 0, 1)
    under = np.clip(ndimage.shift(cl, (-6, 0), order=1) - cl, 0, 1)
    cv = cv * (1 - 0.35 * cl[..., None]) + col("#5b6b80") * 0.55 * cl[..., None]
    cv = cv * (1 - 0.4 * under[..., None])
    if moon is not None:
        mx, my, mr = moon
        g = kit.radial(h, w, mx, my, mr * 6, 2.2)
        cv += g[..., None] * col("frost") * 0.35 * (0.4 + 0.6 * cl[..., None])
        disc = kit.radial(h, w, mx, my, mr, 0.3)
        cv += (disc * (1 - cl * 0.85))[..., None] * col("frost") * 0.5
    return cv


def sea(cv, y0, y1, seed, c0="#1e3440", c1="teal", light_x=None):
    h, w = cv.shape[:2]
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    t = np.clip((yy - y0) / max(1, (y1 - y0)), 0, 1)
    base = col(c0) * (1 - t[..., None]) + col("night") * t[..., None]
    n = kit.streaks(h, w, seed, 40, 0.0, 2)
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
    f = kit.radial(h, w, x, y, r, power)
    cv *= (1 + f[..., None] * (col(c) * 1.6 * k - 0.0))
    return f


def bloom(cv, thr=0.75, s=12, k=0.35):
    lum = cv.mean(axis=2)
    b = np.clip(lum - thr, 0, 1)[..., None] * cv
    cv += kit.blur(b, s) * k


def ambient(cv, c="slate", k=0.55):
    """Darken everything into a cool night tone."""
    cv[:] = cv * (col(c) * 0.6 + 0.4) * k + cv * (1 - k) * 0.0 + cv * (1 - k)


def stone_tex(h, w, seed, c0="#6b6e73", c1="#3f444c"):
    n = kit.noise(h, w, 14, seed, 5)
    n2 = kit.noise(h, w, 3, seed + 1, 2)
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
    n = kit.noise(h, w, 90, seed, 3)
    n2 = kit.noise(h, w, 22, seed + 1, 3)
    drift = np.clip(n * 0.7 + n2 * 0.3, 0, 1)
    c = col("frost")[None, None] * (0.78 + 0.3 * drift[..., None])
    hollow = np.clip(0.55 - drift, 0, 1)[..., None]
    c = c * (1 - hollow) + kit.mix("frost", shade, 0.45) * hollow
    if warm is not None:
        c = c * (1 - warm[..., None] * k_warm) + kit.mix("candle", "wine", 0.25) * warm[..., None] * k_warm * 1.1
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
    m = kit.rect(x0, y - depth * 0.3, x1, y + depth).full(w, h)
    m = ndimage.gaussian_filter(m, soft)
    cv *= (1 - k * m)[..., None]
