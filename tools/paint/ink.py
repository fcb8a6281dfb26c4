"""Ink and watercolour on parchment: the diary's illustrations and the map of the house.

A sheet is an RGB float canvas of paper; washes darken it like transparent pigment (with
granulation and darker edges where the water dried), and pen lines wobble and swell a little.
Everything takes explicit seeds.
"""
import math

import numpy as np
import kit
from kit import col

INK = kit.mix("ink", "mahogany", 0.15)
WSCALE = 1.0  # pen widths are multiplied by this (pictures painted large and reduced set it higher)


def paper(h, w, seed, base="parchment", shade="parchment_shade", stains=4):
    """A parchment sheet: mottled ground, fibres, a few tide-mark stains, darker edges."""
    n = kit.noise(h, w, max(20, w / 8), seed, 5)
    cv = col(base)[None, None] * (1 - 0.35 * n[..., None]) + col(shade) * 0.35 * n[..., None]
    fib = kit.streaks(h, w, seed + 1, 10, 0.2, 1)
    cv *= 1 + 0.03 * fib[..., None]
    rng = np.random.default_rng(seed + 2)
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    for _ in range(stains):
        cx, cy = rng.random() * w, rng.random() * h
        r = (0.08 + rng.random() * 0.2) * min(w, h)
        wob = kit.noise(h, w, r / 2, int(rng.integers(1 << 30)), 2)
        d = np.hypot(xx - cx, yy - cy) / r + (wob - 0.5) * 0.5
        ring = np.exp(-((d - 1) / 0.04) ** 2) * 0.035 + np.clip(1 - d, 0, 1) * 0.03
        cv *= (1 - ring[..., None] * (1 - col("mahogany") * 0.8))
    edge = np.minimum(np.minimum(xx, w - 1 - xx), np.minimum(yy, h - 1 - yy))
    cv *= (1 - 0.3 * np.exp(-edge / (0.06 * min(w, h))))[..., None]
    return cv


def deckle(h, w, seed, margin=6, rough=4.0):
    """Alpha for a sheet with soft, torn edges."""
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    edge = np.minimum(np.minimum(xx, w - 1 - xx), np.minimum(yy, h - 1 - yy))
    n = kit.noise(h, w, 6, seed, 3)
    return np.clip((edge - margin + (n - 0.5) * rough * 2) / 1.5, 0, 1).astype(np.float32)


def _full(mk, h, w):
    if isinstance(mk, kit.Mask):
        return kit.crop_mask(mk, 0, 0, w, h)
    return mk


def wash(cv, mk, c, seed, k=0.55, gran=0.2, edge=0.5, bleed=1.5, wet=0.0):
    """A transparent watercolour wash through a mask (Mask or full array)."""
    h, w = cv.shape[:2]
    m = _full(mk, h, w)
    if bleed:
        wob = kit.noise(h, w, 8, seed, 3)
        m = np.clip(kit.blur(m, bleed) * (1.0 + (wob - 0.5) * 0.6), 0, 1)
    g = kit.noise(h, w, 3.0, seed + 1, 2)
    bloom = kit.noise(h, w, 30, seed + 2, 3)
    a = m * k * (1 - gran * 0.5 + gran * g) * (0.8 + 0.4 * bloom)
    # pigment gathers where the wash dried at its border
    rim = np.clip(m - kit.blur(m, 3), 0, 1) * edge * 2
    a = np.clip(a + rim * k, 0, 1)
    if wet:
        a = kit.blur(a, wet)
    cc = col(c)
    cv *= 1 - a[..., None] * (1 - cc)
    return cv


def ink(cv, mk, k=0.9, c=None):
    h, w = cv.shape[:2]
    m = _full(mk, h, w) * k
    cc = INK if c is None else col(c)
    cv[:] = cv * (1 - m[..., None]) + cc * m[..., None]
    return cv


def pen(cv, pts, width, seed, k=0.9, wobble=0.5, taper=True, c=None):
    """A pen stroke along a polyline: a little wobble, swelling in the middle, tapering ends."""
    rng = np.random.default_rng(seed)
    width = width * WSCALE
    wobble = wobble * WSCALE
    pts = [(float(x), float(y)) for x, y in pts]
    # resample the path so the wobble and the pressure can vary along it
    seg = []
    for i in range(len(pts) - 1):
        (x0, y0), (x1, y1) = pts[i], pts[i + 1]
        n = max(1, int(math.hypot(x1 - x0, y1 - y0) / 6))
        for j in range(n):
            t = j / n
            seg.append((x0 + (x1 - x0) * t, y0 + (y1 - y0) * t))
    seg.append(pts[-1])
    ph = rng.random() * 10
    out = []
    for i, (x, y) in enumerate(seg):
        out.append((x + wobble * math.sin(i * 0.7 + ph), y + wobble * math.cos(i * 0.55 + ph * 1.3)))
    n = len(out)
    h, w = cv.shape[:2]
    acc = np.zeros((h, w), np.float32)
    for i in range(n - 1):
        t = i / max(1, n - 2)
        p = (math.sin(math.pi * t) ** 0.5) if taper else 1.0
        wd = width * (0.45 + 0.55 * p) * (0.85 + 0.3 * rng.random())
        mk = kit.line([out[i], out[i + 1]], wd)
        kit.paste_max(acc, mk)
    return ink(cv, acc, k, c)


def outline(cv, pts, width, seed, k=0.9, closed=True, wobble=0.4):
    p = list(pts) + ([pts[0]] if closed else [])
    return pen(cv, p, width, seed, k, wobble, taper=False)


def hatch(cv, mk, angle, spacing, width, seed, k=0.6, c=None, broken=0.35):
    """Parallel pen hatching clipped to a mask; `broken` lets the lines skip like a real pen."""
    h, w = cv.shape[:2]
    m = _full(mk, h, w)
    width, spacing = width * WSCALE, spacing * WSCALE
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    ca, sa = math.cos(angle), math.sin(angle)
    wob = kit.noise(h, w, 20, seed, 2)
    d = (xx * -sa + yy * ca) + wob * spacing * 0.6
    ph = np.mod(d, spacing) - spacing / 2
    line = np.clip(width / 2 + 0.5 - np.abs(ph), 0, 1)
    if broken:
        gaps = kit.noise(h, w, 7, seed + 1, 2)
        line *= np.clip((gaps - broken * 0.6) * 4, 0, 1)
    return ink(cv, line * m, k, c)


def stipple(cv, mk, density, seed, r=0.8, k=0.8):
    h, w = cv.shape[:2]
    m = _full(mk, h, w)
    rng = np.random.default_rng(seed)
    dots = (rng.random((h, w)) < density * m).astype(np.float32)
    dots = np.clip(kit.blur(dots, r * 0.6) * 3, 0, 1)
    return ink(cv, dots, k)


def arrow(cv, p0, p1, width, seed, k=0.85, head=10):
    pen(cv, [p0, p1], width, seed, k, 0.3, taper=False)
    a = math.atan2(p1[1] - p0[1], p1[0] - p0[0])
    for da in (2.6, -2.6):
        q = (p1[0] + head * math.cos(a + da), p1[1] + head * math.sin(a + da))
        pen(cv, [p1, q], width, seed + 1, k, 0.2, taper=False)


def gear_pts(cx, cy, r, teeth, phase=0.0):
    import props
    return props.gear_poly(cx, cy, r, teeth, phase=phase)


def circle_pts(cx, cy, rx, ry=None, n=48, a0=0.0, a1=2 * math.pi):
    ry = rx if ry is None else ry
    return [(cx + rx * math.cos(a), cy + ry * math.sin(a)) for a in np.linspace(a0, a1, n)]


def sheet_layer(cv, alpha, x0=0, y0=0):
    lay = kit.Layer(cv.shape[1], cv.shape[0], x0, y0)
    lay.rgb = cv.astype(np.float32)
    lay.a = alpha.astype(np.float32)
    return lay


def spline(points, n=12, closed=False):
    """Catmull-Rom curve through the points: organic outlines from a few control points."""
    P = [np.asarray(p, np.float32) for p in points]
    if closed:
        P = [P[-1]] + P + [P[0], P[1]]
    else:
        P = [P[0]] + P + [P[-1]]
    out = []
    for i in range(1, len(P) - 2):
        p0, p1, p2, p3 = P[i - 1], P[i], P[i + 1], P[i + 2]
        for t in np.linspace(0, 1, n, endpoint=False):
            t2, t3 = t * t, t * t * t
            q = 0.5 * ((2 * p1) + (-p0 + p2) * t + (2 * p0 - 5 * p1 + 4 * p2 - p3) * t2 + (-p0 + 3 * p1 - 3 * p2 + p3) * t3)
            out.append((float(q[0]), float(q[1])))
    out.append((float(P[-2][0]), float(P[-2][1])))
    return out
