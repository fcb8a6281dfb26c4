"""Interior helpers: a one-point-perspective room box, boards, wallpaper and panelling."""
import numpy as np

import kit
import props
from kit import col


class Box:
    """Back wall rectangle (x0, y0, x1, y1) inside the screen frame; walls run to the screen edges."""

    def __init__(self, x0, y0, x1, y1, w=kit.W, h=kit.H):
        self.x0, self.y0, self.x1, self.y1 = x0, y0, x1, y1
        self.w, self.h = w, h

    def left(self):
        return [(0, 0), (self.x0, self.y0), (self.x0, self.y1), (0, self.h)]

    def right(self):
        return [(self.x1, self.y0), (self.w, 0), (self.w, self.h), (self.x1, self.y1)]

    def floor(self):
        return [(self.x0, self.y1), (self.x1, self.y1), (self.w, self.h), (0, self.h)]

    def ceiling(self):
        return [(0, 0), (self.w, 0), (self.x1, self.y0), (self.x0, self.y0)]

    def back(self):
        return [(self.x0, self.y0), (self.x1, self.y0), (self.x1, self.y1), (self.x0, self.y1)]

    def left_at(self, t, v):
        """Point on the left wall: t 0 = screen edge .. 1 = back corner; v 0 = top .. 1 = floor."""
        x = self.x0 * t
        yt = self.y0 * t
        yb = self.h + (self.y1 - self.h) * t
        return (x, yt + (yb - yt) * v)

    def right_at(self, t, v):
        x = self.w + (self.x1 - self.w) * t
        yt = self.y0 * t
        yb = self.h + (self.y1 - self.h) * t
        return (x, yt + (yb - yt) * v)


def boards(h, w, seed, box, base="walnut", n=14):
    """Floorboards converging on the back wall's floor line."""
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    t = np.clip((yy - box.y1) / (h - box.y1), 0.002, 1)
    # horizontal position on the floor, 0..1 from left to right edge of the back wall at that depth
    left = box.x0 * (1 - t)
    right = box.x1 + (w - box.x1) * t
    u = (xx - left) / np.maximum(right - left, 1)
    u = u * (box.x1 - box.x0) / w * n * 2.2
    tex = kit.wood(h, w, seed, base, kit.shade_of(base, 0.7), angle=0, freq=0.05)
    seam = np.abs(np.mod(u, 1) - 0.5) > 0.47
    # staggered board ends
    v = 1 / t
    rng = np.random.default_rng(seed)
    off = rng.random(64).astype(np.float32)
    bi = np.mod(np.floor(u).astype(int), 64)
    ends = np.abs(np.mod(v * 0.9 + off[bi] * 7, 3.0) - 1.5) > 1.47
    tone = 0.85 + 0.3 * off[np.mod(bi * 7 + np.floor(v * 0.3).astype(int), 64)]
    tex = tex * tone[..., None] * (1 - 0.5 * (seam | ends)[..., None])
    # darker with distance, a soft polish sheen
    tex *= (0.55 + 0.45 * t)[..., None]
    return tex


def wallpaper(h, w, seed, base="#4a3b5c", motif="#6a5a7a", step=34):
    """A damask-like wallpaper: staggered soft lozenges over a mottled ground."""
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    gx = np.mod(xx + (np.floor(yy / step) % 2) * step / 2, step) - step / 2
    gy = np.mod(yy, step) - step / 2
    d = np.abs(gx) / (step * 0.32) + np.abs(gy) / (step * 0.45)
    m = np.clip((1 - d) * 3, 0, 1)
    stripe = (np.abs(np.mod(xx, step) - step / 2) < 1.0).astype(np.float32) * 0.3
    n = kit.noise(h, w, 25, seed, 4)
    c = col(base) * (0.8 + 0.3 * n[..., None])
    c = c * (1 - m[..., None] * 0.5) + col(motif) * (m[..., None] * 0.5)
    c = c * (1 - stripe[..., None] * 0.2)
    return c


def wainscot(lay, pts, seed, base="walnut", light=props.LIGHT_UL):
    """Wood panelling inside a quad (given as a polygon)."""
    m = kit.poly(pts)
    tex = kit.wood(lay.h, lay.w, seed, base, kit.shade_of(base, 0.7), angle=0, freq=0.08)
    lay.paint(m, tex)
    return m


def beam_light(h, w, pts, soft=30, k=0.3):
    """A soft light shaft through a polygon."""
    m = kit.poly(pts).full(w, h)
    return kit.blur(m, soft) * k
