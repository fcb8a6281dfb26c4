"""Ysolde Marrow, painted: face, hair, spectacles, dress, shawl and (for the full figure) skirt.

The face and the cloth are height fields lit per pixel (key light plus a cool rim light), so
the figure has volume rather than a flat silhouette. Everything is measured in head units:
`s` pixels per unit, head centre at (fx, fy), crown at v = -0.48, chin at v = +0.48.
"""
import math

import numpy as np
from scipy import ndimage

import kit
import props
from kit import col

SKIN = kit.mix("parchment", "mahogany", 0.17)
SKIN_DARK = kit.mix("mahogany", "ink", 0.35)
HAIR = kit.mix("frost", "parchment", 0.45)
DRESS = kit.mix("dusk", "night", 0.35)
SHAWL = col("wine")


def _norm(v):
    v = np.asarray(v, np.float32)
    return v / (np.linalg.norm(v) + 1e-6)


def _soft(d, px):
    """Antialiased coverage from a signed distance d (negative inside), px = unit size in pixels."""
    return np.clip(0.5 - d * px, 0, 1).astype(np.float32)


def _g(u, v, cu, cv, ru, rv):
    return np.exp(-(((u - cu) / ru) ** 2 + ((v - cv) / rv) ** 2))


def _light_field(h, s, key, rim, amb=0.32, rim_k=0.55, specular=0.0, shin=16):
    """Diffuse, rim and specular terms of a height field h (in head units) at s px per unit."""
    gy, gx = np.gradient(h)
    nx, ny, nz = -gx * s, -gy * s, np.ones_like(h)
    n = np.sqrt(nx * nx + ny * ny + nz * nz)
    nx, ny, nz = nx / n, ny / n, nz / n
    k = _norm(key)
    r = _norm(rim)
    dif = np.clip(nx * k[0] + ny * k[1] + nz * k[2], 0, 1)
    rl = np.clip(nx * r[0] + ny * r[1] + nz * r[2], 0, 1) ** 2.2
    sp = np.zeros_like(dif)
    if specular:
        hv = _norm(k + np.array([0, 0, 1], np.float32))
        sp = specular * np.clip(nx * hv[0] + ny * hv[1] + nz * hv[2], 0, 1) ** shin
    return dif, rl * rim_k, sp, (nx, ny, nz)


class Figure:
    """Paints Ysolde into a layer. light/rim point from the figure towards the light sources."""

    def __init__(self, lay, fx, fy, s, seed=0, key=(-0.55, -0.6, 0.6), rim=(0.85, -0.2, 0.25),
                 key_col="candle", rim_col="frost", spectacles=True, shawl=True, frost=0.0, turn=0.5):
        self.lay, self.fx, self.fy, self.s = lay, fx, fy, s
        self.seed = seed
        self.key, self.rim = key, rim
        self.key_col, self.rim_col = col(key_col), col(rim_col)
        self.spectacles, self.shawl = spectacles, shawl
        self.frost = frost
        self.turn = turn
        xx, yy = lay.grid()
        self.u = (xx - fx) / s
        self.v = (yy - fy) / s
        self.px = s  # pixels per unit, for antialiasing

    def P(self, u, v):
        return (self.fx + u * self.s, self.fy + v * self.s)

    def PF(self, u, v):
        """A point on the face, turned a little: features slide towards the far side, which narrows."""
        t = self.turn
        return self.P(t * 0.06 + u * (1 - 0.28 * t * (1 if u > 0 else -1) * min(1, abs(u) / 0.2)), v)

    # -------------------------------------------------------------------- helpers

    def _shade(self, base, dark, h, mask, specular=0.0, shin=16, amb=0.3, rim_k=0.55, tex=None, cool_shadow=0.0, fill=0.28):
        """Light a height field through a mask. base/dark: colours or (h, w, 3) albedo maps."""
        dif, rl, sp, nrm = _light_field(h, self.s, self.key, self.rim, rim_k=rim_k, specular=specular, shin=shin)
        # a soft frontal fill keeps the side away from the key from going muddy
        t = np.clip(amb + (1 - amb) * ((1 - fill) * dif + fill * nrm[2] ** 2), 0, 1)[..., None]
        b = base if isinstance(base, np.ndarray) and base.ndim == 3 else col(base)
        d = dark if isinstance(dark, np.ndarray) and dark.ndim == 3 else col(dark)
        c = d * (1 - t) + b * t
        c = c * (0.55 + 0.6 * self.key_col * t)
        if cool_shadow:
            c = c + (1 - t) * cool_shadow * col("slate") * 0.3
        if tex is not None:
            c = c * tex
        c = c + rl[..., None] * self.rim_col * 0.9 + sp[..., None] * self.key_col
        self.lay.paint(mask, c)
        return dif

    def _frost(self, m, seed):
        """Rime on cloth: a pale bloom towards the edges and fine glittering crystals."""
        lay = self.lay
        loc = lay.local(m)
        edge = np.clip(loc - kit.blur(loc, max(1.5, self.s * 0.05)), 0, 1) * 2.5
        n = kit.noise(lay.h, lay.w, max(1.5, self.s * 0.04), seed, 3)
        rime = np.clip(edge + (n - 0.6) * 1.5, 0, 1) * loc
        lay.rgb = lay.rgb * (1 - rime[..., None] * 0.45 * self.frost) + col("frost") * rime[..., None] * 0.45 * self.frost
        rng = np.random.default_rng(seed)
        sp = (rng.random((lay.h, lay.w)) > 0.994).astype(np.float32) * loc * (rime > 0.2)
        lay.glow(ndimage.gaussian_filter(sp, 0.5) * 1.5 * self.frost, "frost")

    def _mask(self, m):
        return np.clip(m, 0, 1).astype(np.float32)

    # -------------------------------------------------------------------- body

    def _mirror_poly(self, right):
        """A closed outline from right-side points (u >= 0), mirrored to the left."""
        pts = [self.P(u, v) for u, v in right] + [self.P(-u, v) for u, v in reversed(right)]
        return kit.poly(pts)

    def bust(self, bottom=1.7):
        """Shoulders, bodice, collar, shawl and brooch of a half-length portrait."""
        u, v, lay = self.u, self.v, self.lay
        body = self._mirror_poly([(0.14, 0.55), (0.3, 0.64), (0.55, 0.75), (0.74, 0.84), (0.87, 0.92), (0.95, 1.02),
                                  (0.99, 1.12), (1.01, bottom + 0.3)])
        hgt = np.sqrt(np.clip(1 - (u / 1.02) ** 2, 0, 1)) * 0.55
        for sd in (-1, 1):
            hgt += 0.1 * _g(u, v, sd * 0.85, 0.95, 0.2, 0.25)  # shoulder balls
            hgt += 0.05 * _g(u, v, sd * 0.3, 1.25, 0.2, 0.2)
        folds = kit.streaks(lay.h, lay.w, self.seed + 3, 30, math.pi / 2, 4)
        hgt = hgt + folds * 0.004
        tex = 1 + 0.08 * (kit.noise(lay.h, lay.w, 3, self.seed + 4, 2)[..., None] - 0.5)
        self._shade(DRESS * 1.3, kit.mix("night", "ink", 0.5), hgt, body, specular=0.12, shin=8, tex=tex)
        for k in range(5):
            bv = 0.98 + k * 0.16
            if bv < bottom + 0.2:
                self._button(0.0, bv, 0.026)
        # watch chain from a button to the waist pocket
        chain = [(-0.3 * t, 1.14 + 0.16 * math.sin(t * math.pi) + 0.08 * t) for t in np.linspace(0, 1, 16)]
        props.solid(kit.line([self.P(*c) for c in chain], max(1.0, self.s * 0.011)), "brass", self.key, 1, specular=0.9,
                    lay=lay)
        for c in chain[1:-1:2]:
            x, y = self.P(*c)
            lay.glow(kit.radial(lay.h, lay.w, x - lay.x0, y - lay.y0, self.s * 0.014, 1) * 0.5, "candle")
        if self.shawl:
            self._shawl(bottom)
        # lace collar
        cm = self._mirror_poly([(0.0, 0.53), (0.17, 0.52), (0.24, 0.6), (0.26, 0.66), (0.14, 0.72), (0.0, 0.76)])
        props.solid(cm, kit.mix("parchment", "frost", 0.3), self.key, self.s * 0.02, amb=0.55, lay=lay)
        for k in range(13):
            a = math.pi * (0.06 + 0.88 * k / 12)
            x, y = self.P(0.245 * math.cos(a), 0.63 + 0.115 * math.sin(a))
            lay.paint(kit.ellipse(x, y, self.s * 0.016, self.s * 0.016), "parchment_shade", 0.6, cover=False)
        # brooch: a tiny brass clock at the throat
        bx, by = self.P(0, 0.71)
        props.solid(kit.ellipse(bx, by, self.s * 0.052, self.s * 0.052), "brass", self.key, self.s * 0.012,
                    specular=0.9, lay=lay)
        lay.paint(kit.ellipse(bx, by, self.s * 0.036, self.s * 0.036), "parchment", 0.95)
        for a, ln in ((-math.pi / 2, 0.028), (-math.pi / 2 - 0.2 * math.pi, 0.02)):
            lay.paint(kit.line([(bx, by), (bx + math.cos(a) * self.s * ln, by + math.sin(a) * self.s * ln)],
                               max(0.8, self.s * 0.006)), "ink", 0.9)

    def _button(self, cu, cv, r):
        x, y = self.P(cu, cv)
        props.solid(kit.ellipse(x, y, r * self.s, r * self.s), "brass", self.key, max(1, r * self.s * 0.4),
                    specular=0.9, lay=self.lay)

    def _shawl(self, bottom, width=1.0):
        """A wine-red knitted shawl over the shoulders, open in front, with a fringe."""
        u, v, lay = self.u, self.v, self.lay
        wd = lambda a: a if a < 0.3 else 0.3 + (a - 0.3) * width
        for sd in (-1, 1):
            pts = [(0.16, 0.54), (0.32, 0.61), (0.56, 0.72), (0.76, 0.81), (0.9, 0.9), (0.99, 1.01), (1.03, 1.14),
                   (1.05, bottom - 0.12), (0.96, bottom + 0.02), (0.8, bottom + 0.09), (0.64, bottom + 0.03),
                   (0.5, 1.3), (0.3, 1.0), (0.2, 0.78), (0.15, 0.64)]
            m = kit.poly([self.P(sd * wd(a), b) for a, b in pts])
            hgt = np.sqrt(np.clip(1 - ((u - sd * 0.62) / 0.6) ** 2, 0, 1)) * 0.35
            hgt += 0.08 * _g(u, v, sd * 0.86, 0.92, 0.22, 0.22)
            # drape folds running down the hanging end
            hgt += 0.02 * np.sin((u * sd) * 28 + v * 4) * np.clip((v - 1.0) / 0.5, 0, 1)
            rib = kit.noise(lay.h, lay.w, 1.5, self.seed + 20 + sd, 2)
            hgt = hgt + rib * 0.002
            # two cream stripes along the inner edge
            edge_d = (u * sd - (0.15 + (v - 0.6) * 0.55))
            stripe = ((np.abs(edge_d - 0.07) < 0.018) | (np.abs(edge_d - 0.12) < 0.01)).astype(np.float32)
            stripe = ndimage.gaussian_filter(stripe, 0.7) * (v > 0.62)
            st = stripe[..., None]
            base = SHAWL * 1.05 * (1 - st) + kit.mix("parchment", "wine", 0.25) * st
            dark = kit.mix("wine", "ink", 0.65) * (1 - st) + kit.mix("parchment_shade", "ink", 0.55) * st
            self._shade(base, dark, hgt, m, specular=0.04, tex=1 - 0.08 * rib[..., None], cool_shadow=0.5)
            if self.frost:
                self._frost(m, self.seed + 50 + sd)
            for k in range(14):
                t = k / 13
                x0 = sd * wd(0.66 + 0.36 * t)
                y0 = bottom + 0.03 + 0.07 * math.sin(math.pi * t) - 0.14 * t ** 3
                p0 = self.P(x0, y0)
                p1 = self.P(x0 + 0.012 * sd, y0 + 0.12)
                lay.paint(kit.line([p0, p1], max(0.8, self.s * 0.01)), kit.mix("wine", "parchment", 0.2), 0.9)

    # -------------------------------------------------------------------- head

    def neck(self):
        u, v = self.u, self.v
        d = np.maximum(np.abs(u) - 0.16 - 0.08 * np.clip(v - 0.45, 0, 1), np.abs(v - 0.5) - 0.2)
        m = self._mask(_soft(d, self.px))
        hgt = np.sqrt(np.clip(1 - (u / 0.19) ** 2, 0, 1)) * 0.12
        self._shade(SKIN, SKIN_DARK, hgt, m, amb=0.25)
        # shadow of the jaw on the neck
        jaw = np.clip(1 - (v - 0.4) / 0.14, 0, 1) * m
        self.lay.rgb *= (1 - 0.5 * jaw)[..., None]
        # the cords and creases of an old neck
        if self.s > 60:
            for sd in (-1, 1):
                self.lay.paint(kit.line([self.P(sd * 0.06, 0.46), self.P(sd * 0.1, 0.58)], self.s * 0.012), SKIN_DARK, 0.3)
            for k in range(2):
                self.lay.paint(kit.line([self.P(-0.12, 0.5 + k * 0.04), self.P(0, 0.52 + k * 0.04), self.P(0.12, 0.5 + k * 0.04)],
                                        max(0.6, self.s * 0.005)), SKIN_DARK, 0.25)

    def head(self):
        u, v = self.u, self.v
        s = self.s
        # an old face: a broad jaw softening into jowls, not a doll's egg
        a = 0.36 * (1 - 0.24 * np.clip(v / 0.48, 0, 1) ** 2.2)
        rr = np.sqrt((u / a) ** 2 + (v / np.where(v > 0, 0.45, 0.48)) ** 2)
        face = self._mask(_soft((rr - 1) * 0.4, self.px))
        hgt = np.sqrt(np.clip(1 - rr ** 2, 0, 1)) * 0.5
        t = self.turn
        un = u - t * 0.06
        # nose ridge, tip and wings (a long, slightly hooked nose)
        ridge = np.exp(-(un / 0.042) ** 2) * np.clip((v + 0.08) / 0.24, 0, 1) ** 1.2 * (v < 0.18)
        hgt += ridge * 0.11
        hgt += _g(un, v, 0, 0.15, 0.05, 0.042) * 0.055
        for sd in (-1, 1):
            hgt += _g(un, v, sd * 0.052, 0.17, 0.03, 0.025) * 0.025
            hgt += _g(u, v, sd * 0.2, 0.36, 0.07, 0.06) * 0.02  # jowls
            hgt -= _g(u, v, sd * 0.2, 0.08, 0.06, 0.06) * 0.02  # hollow under the cheekbone
            # eye sockets, cheekbones, temples
            hgt -= _g(u, v, sd * 0.145, -0.02, 0.075, 0.055) * 0.05
            hgt += _g(u, v, sd * 0.19, 0.12, 0.08, 0.065) * 0.045  # cheeks lifted by the smile
            hgt += _g(u, v, sd * 0.11, 0.3, 0.06, 0.03) * -0.012  # smile grooves
        hgt += np.exp(-((v + 0.1) / 0.035) ** 2) * (np.abs(u) < 0.27) * 0.03  # brow
        hgt += _g(u, v, 0, 0.285, 0.08, 0.028) * 0.02  # lips
        hgt += _g(u, v, 0, 0.41, 0.08, 0.05) * 0.025  # chin
        hgt = ndimage.gaussian_filter(hgt, max(0.6, s * 0.004))
        tone = np.ones((self.lay.h, self.lay.w, 3), np.float32)
        # a painter's three zones: a golden brow, warm red cheeks, nose and ears, a cooler, greyer jaw
        blush = (_g(u, v, -0.19, 0.13, 0.09, 0.07) + _g(u, v, 0.19, 0.13, 0.09, 0.07) + _g(un, v, 0, 0.15, 0.045, 0.035) * 0.8)
        tone = tone * (1 - blush[..., None] * 0.24) + blush[..., None] * kit.mix("wine", "mahogany", 0.4) * 1.3 * 0.24
        brow = np.clip((-0.05 - v) / 0.15, 0, 1)[..., None]
        tone = tone * (1 - brow * 0.12) + kit.mix("parchment", "amber", 0.4) * 1.1 * brow * 0.12
        jaw = np.clip((v - 0.3) / 0.15, 0, 1)[..., None]
        tone = tone * (1 - jaw * 0.08) + kit.mix("slate", "parchment_shade", 0.6) * 1.3 * jaw * 0.08
        tone *= 1 + 0.1 * (kit.noise(self.lay.h, self.lay.w, max(2, self.s * 0.03), self.seed + 7, 2)[..., None] - 0.5)
        # the face takes the key light from the side more than from above, so the chin is not lost in shade
        key = self.key
        self.key = (key[0] * 1.2, key[1] * 0.35, key[2] + 0.35)
        self._shade(SKIN, SKIN_DARK, hgt, face, specular=0.12, shin=10, amb=0.14, tex=tone, rim_k=0.6, cool_shadow=0.45,
                    fill=0.22)
        self.key = key
        # the side turned from the key falls into a soft, cool half-shadow, as in an oil portrait
        side = -1 if key[0] < 0 else 1
        fall = np.clip((-side * (u - t * 0.06) - 0.04) / 0.28, 0, 1) ** 1.3
        shade = 1 - 0.38 * fall * face
        self.lay.rgb = self.lay.rgb * shade[..., None] + (1 - shade)[..., None] * col("slate") * 0.12
        self._ears()
        self._features()

    def _ears(self):
        lay = self.lay
        for sd in (-1, 1):
            x, y = self.P(sd * 0.345, 0.1)
            m = kit.ellipse(x, y, self.s * 0.028, self.s * 0.06)
            props.solid(m, SKIN * 0.78, self.key, self.s * 0.02, amb=0.5, lay=lay)

    def _features(self):
        lay, s, P = self.lay, self.s, self.PF
        small = s < 70
        ink = kit.mix("ink", "mahogany", 0.2)
        for sd in (-1, 1):
            ex, ey = P(sd * 0.145, -0.015)
            ew, eh = 0.056 * s, 0.024 * s
            if small:
                lay.paint(kit.ellipse(ex, ey, ew * 0.7, eh * 0.9), ink, 0.85)
                continue
            # lid shadow above, the eye white, iris, pupil, catch-light
            lay.paint(kit.ellipse(ex, ey - eh * 0.6, ew * 1.25, eh * 1.8), SKIN_DARK, 0.38, cover=False)
            eye = kit.poly([(ex - ew, ey + eh * 0.1)] + kit.arc_pts(ex, ey + eh * 0.1, ew, eh * 1.1, math.pi, 2 * math.pi, 16)[1:-1]
                           + [(ex + ew, ey + eh * 0.1)] + kit.arc_pts(ex, ey + eh * 0.1, ew, eh * 0.8, 0, math.pi, 16)[1:-1])
            # at small sizes the whites would stare: keep them dim and the iris large
            mid = s < 130
            lay.paint(eye, kit.mix(kit.mix("parchment", "frost", 0.3) * 0.85, SKIN_DARK, 0.35 if mid else 0.0))
            iris = kit.intersect(kit.ellipse(ex + sd * ew * 0.08, ey + eh * 0.15, eh * (1.15 if mid else 1.0),
                                             eh * (1.15 if mid else 1.0)), eye)
            lay.paint(iris, kit.mix("teal", "slate", 0.3))
            lay.paint(kit.intersect(kit.ellipse(ex + sd * ew * 0.08, ey + eh * 0.15, eh * 0.5, eh * 0.5), eye), "ink")
            lay.paint(kit.ellipse(ex + sd * ew * 0.08 - eh * 0.35, ey - eh * 0.2, eh * 0.22, eh * 0.22), "#fff6e6", 0.9)
            # age: the upper lid droops over the eye in a soft fold
            lay.paint(kit.intersect(kit.ellipse(ex + sd * ew * 0.25, ey - eh * 0.75, ew * 1.1, eh * 1.1), eye), SKIN * 0.82, 0.9)
            # upper lid line and lashes, a softer lower lid
            up = kit.arc_pts(ex, ey + eh * 0.1, ew * 1.02, eh * 1.15, math.pi * 1.02, math.pi * 1.98, 20)
            lay.paint(kit.line(up, max(1.0, s * 0.009)), ink, 0.9)
            lo = kit.arc_pts(ex, ey + eh * 0.1, ew * 0.95, eh * 0.85, math.pi * 0.1, math.pi * 0.9, 14)
            lay.paint(kit.line(lo, max(0.7, s * 0.004)), SKIN_DARK, 0.5)
            # crow's feet and the bag under the eye
            for k in range(3):
                a = -0.35 + k * 0.35
                p0 = (ex + sd * ew * 1.15, ey + eh * (0.2 + k * 0.5))
                p1 = (p0[0] + sd * s * 0.035 * math.cos(a), p0[1] + s * 0.035 * math.sin(a))
                lay.paint(kit.line([p0, p1], max(0.6, s * 0.003)), SKIN_DARK, 0.3)
            bag = kit.arc_pts(ex, ey + eh * 0.6, ew * 0.8, eh * 1.6, math.pi * 0.2, math.pi * 0.8, 10)
            lay.paint(kit.line(bag, max(0.6, s * 0.004)), SKIN_DARK, 0.22)
            # brows: soft grey strokes
            bpts = [P(sd * (0.07 + 0.16 * t), -0.085 - 0.03 * math.sin(math.pi * (t * 0.8 + 0.1))) for t in np.linspace(0, 1, 12)]
            lay.paint(kit.line(bpts, s * 0.018), kit.mix(HAIR, "slate", 0.35), 0.8)
        if not small:
            for k in range(2):
                fl = [P(-0.13 + 0.26 * t, -0.17 - k * 0.035 + 0.01 * math.sin(t * math.pi * 2)) for t in np.linspace(0, 1, 14)]
                lay.paint(kit.line(fl, max(0.6, s * 0.005)), SKIN_DARK, 0.3)
            for sd in (-1, 1):
                nl = [P(sd * (0.075 + 0.05 * t + 0.02 * math.sin(t * math.pi)), 0.16 + 0.15 * t) for t in np.linspace(0, 1, 10)]
                lay.paint(kit.line(nl, max(0.8, s * 0.009)), SKIN_DARK, 0.45)
                ml = [P(sd * (0.085 + 0.02 * t), 0.285 + 0.09 * t) for t in np.linspace(0, 1, 6)]
                lay.paint(kit.line(ml, max(0.7, s * 0.006)), SKIN_DARK, 0.3)
                # the soft line of the jowl
                jl = [P(sd * (0.2 + 0.06 * t), 0.3 + 0.1 * t) for t in np.linspace(0, 1, 6)]
                lay.paint(kit.line(jl, max(0.7, s * 0.008)), SKIN_DARK, 0.18)
        # nose: nostrils and a shade under the tip
        if not small:
            for sd in (-1, 1):
                lay.paint(kit.ellipse(*P(sd * 0.032, 0.178), s * 0.014, s * 0.008), SKIN_DARK, 0.7)
            lay.paint(kit.ellipse(*P(0.0, 0.195), s * 0.05, s * 0.01), SKIN_DARK, 0.2, cover=False)
        # mouth: a warm line, a fuller lower lip, a small kind smile
        mw = 0.088
        curve = [P(-mw + 2 * mw * t, 0.272 + 0.011 * math.sin(math.pi * t) - 0.02 * (abs(t - 0.5) * 2) ** 2.2)
                 for t in np.linspace(0, 1, 16)]
        if small:
            lay.paint(kit.line(curve, max(0.8, s * 0.012)), kit.mix("wine", "ink", 0.3), 0.8)
        else:
            upper = kit.poly(curve + [P(mw * 0.6, 0.262), P(0.015, 0.255), P(0, 0.258), P(-0.015, 0.255), P(-mw * 0.6, 0.262)])
            lay.paint(upper, kit.mix("wine", "mahogany", 0.5), 0.35)
            lower = kit.poly(curve[::-1] + [P(-mw * 0.7, 0.29), P(0, 0.305), P(mw * 0.7, 0.29)])
            lay.paint(lower, kit.mix("wine", "parchment", 0.3), 0.32)
            lay.paint(kit.line(curve, max(0.8, s * 0.006)), kit.mix("wine", "ink", 0.5), 0.85)
            for sd in (-1, 1):
                lay.paint(kit.ellipse(*P(sd * (mw + 0.005), 0.268), s * 0.008, s * 0.006), SKIN_DARK, 0.5)
        if self.spectacles:
            self._spectacles()

    def _spectacles(self):
        s, P, lay = self.s, self.PF, self.lay
        w = max(1.0, s * 0.01)
        rings = []
        for sd in (-1, 1):
            cx, cy = P(sd * 0.145, 0.0)
            r = s * 0.085
            ring = kit.subtract(kit.ellipse(cx, cy, r + w, r * 0.85 + w), kit.ellipse(cx, cy, r, r * 0.85))
            rings.append(ring)
            # the lens: a faint cool sheen and a glint
            lay.paint(kit.ellipse(cx, cy, r, r * 0.85), "frost", 0.08, cover=False)
            gl = kit.line([(cx - r * 0.5, cy - r * 0.2), (cx - r * 0.15, cy - r * 0.55)], max(1, s * 0.012))
            lay.paint(gl, "#fffaf0", 0.45, cover=False)
            arm = kit.line([P(sd * 0.23, -0.01), P(sd * 0.34, -0.03)], w)
            rings.append(arm)
        rings.append(kit.line([P(-0.06, -0.005), P(0, -0.03), P(0.06, -0.005)], w))
        props.solid(kit.union(*rings), "brass", self.key, max(0.8, w * 0.6), specular=0.9, lay=lay)

    def hair(self):
        """Silver hair swept up into a bun, strand by strand."""
        u, v, s, lay = self.u, self.v, self.s, self.lay
        rng = np.random.default_rng(self.seed + 11)
        cap = (u / 0.395) ** 2 + ((v + 0.12) / 0.42) ** 2
        bunr = (u / 0.17) ** 2 + ((v + 0.52) / 0.125) ** 2
        # hairline: the forehead shows under a soft curve, the sides come down over the temples
        au = np.abs(u)
        t = np.clip((au - 0.2) / 0.16, 0, 1)
        # swept back from a soft, uneven line, thinning onto the brow (an old woman's hair, not a wig)
        hairline = -0.25 + 0.28 * t * t * (3 - 2 * t) - 0.008 * np.cos(u * 22) * (au < 0.2)
        bump = (kit.noise(lay.h, lay.w, max(3, s * 0.05), self.seed + 14, 2) - 0.5) * 0.035
        d1 = np.maximum((np.sqrt(cap) - 1) * 0.42 + bump, np.maximum(v - hairline, v - 0.05) * np.where(au < 0.35, 1, 0.0)
                        + np.where(au < 0.35, 0, (v - 0.06)))
        d2 = (np.sqrt(bunr) - 1) * 0.15
        mask = self._mask(_soft(np.minimum(d1, d2), s * 0.3 if s > 60 else s))
        hgt = np.sqrt(np.clip(1 - cap, 0, 1)) * 0.42
        hgt = np.maximum(hgt, (0.32 + 0.12 * np.sqrt(np.clip(1 - bunr, 0, 1))) * (bunr < 1))
        # strands: fine streaks flowing from the hairline up to the bun
        ang = np.arctan2(v + 0.55, u)
        wob = kit.noise(lay.h, lay.w, max(4, s * 0.08), self.seed + 12, 3)
        grooves = np.sin(ang * 90 + wob * 5) * 0.5 + np.sin(ang * 37 + wob * 3) * 0.5
        bang = np.arctan2((v + 0.52) / 0.125, u / 0.17)
        bgro = np.sin(bang * 2 + np.sqrt(bunr) * 16 + wob * 2)
        hgt = hgt + np.where(bunr < 1, bgro * 0.0022, grooves * 0.0035)
        hgt = ndimage.gaussian_filter(hgt, max(0.5, s * 0.003))
        tex = 1 + 0.18 * (kit.streaks(lay.h, lay.w, self.seed + 13, 6, 1.2, 1)[..., None])
        tex *= 1 - 0.25 * np.clip(v - 0.0, 0, 0.1)[..., None] * 10  # darker where it tucks behind the ears
        self._shade(HAIR, kit.mix("slate", "dusk", 0.35), hgt, kit.Mask(mask, lay.x0, lay.y0), specular=0.18, shin=10,
                    amb=0.35, tex=tex, rim_k=0.7)
        if s > 60:
            # loose wisps at the temples and the nape of the bun
            for k in range(16):
                sd = -1 if k % 2 else 1
                a0 = rng.random()
                P0 = self.P(sd * (0.26 + a0 * 0.12), -0.25 + a0 * 0.25)
                pts = [P0] + [(P0[0] + sd * s * 0.025 * tt + s * 0.01 * math.sin(tt * 5 + k), P0[1] + s * 0.07 * tt)
                              for tt in np.linspace(0.2, 1, 6)]
                lay.paint(kit.line(pts, max(0.6, s * 0.0035)), HAIR * 1.05, 0.5, cover=False)
            # a pencil tucked into the bun
            props.solid(kit.line([self.P(0.04, -0.67), self.P(0.3, -0.45)], s * 0.02), "#b07a45", self.key, 1.5, lay=lay)
            props.solid(kit.line([self.P(0.3, -0.45), self.P(0.325, -0.425)], s * 0.012), "ink", self.key, 1, lay=lay)

    # -------------------------------------------------------------------- full figure

    def standing(self, hem=6.6, waist=2.5):
        """A standing figure: long skirt, bodice, shawl, clasped hands holding her pocket watch."""
        u, v, lay = self.u, self.v, self.lay
        # skirt: flares from the waist to a hem that sweeps slightly
        hw = 0.56 + 0.54 * np.clip((v - waist) / (hem - waist), 0, 1) ** 0.8
        d = np.maximum(np.abs(u) - hw, np.maximum(waist - 0.05 - v, v - hem - 0.05 * np.cos(u * 7)))
        sk = kit.Mask(self._mask(_soft(d, self.px)), lay.x0, lay.y0)
        # heavy wool falling in deep, uneven folds, stroked on with the brush
        folds = (np.sin(u * 13 + np.sin(v * 1.3) * 1.2) * 0.7 + np.sin(u * 23 + v * 0.8) * 0.3) * np.clip((v - waist) / 2.2, 0, 1)
        hgt = np.sqrt(np.clip(1 - (u / (hw + 0.05)) ** 2, 0, 1)) * 0.6 + folds * 0.08
        tex = 1 + 0.14 * kit.streaks(lay.h, lay.w, self.seed + 71, 14, math.pi / 2, 2)[..., None]
        self._shade(DRESS * 1.25, kit.mix("night", "ink", 0.5), hgt, sk, specular=0.1, shin=6, tex=tex)
        # the clockmaker's leather apron, a pocket of tools
        ab = hem - 1.0
        apron = kit.poly([self.P(-0.36, waist), self.P(0.36, waist), self.P(0.5, ab - 0.3), self.P(0.44, ab - 0.05),
                          self.P(0.3, ab + 0.06), self.P(0, ab + 0.1), self.P(-0.3, ab + 0.06), self.P(-0.44, ab - 0.05),
                          self.P(-0.5, ab - 0.3)])
        hgt = np.sqrt(np.clip(1 - (u / 0.62) ** 2, 0, 1)) * 0.3 + np.sin(u * 20) * 0.01 * np.clip((v - waist) / 2, 0, 1)
        tex = 1 + 0.1 * (kit.noise(lay.h, lay.w, 3, self.seed + 70, 3)[..., None] - 0.5)
        self._shade(kit.mix("walnut", "mahogany", 0.3) * 0.85, kit.mix("walnut", "ink", 0.65), hgt, apron, specular=0.25,
                    shin=10, tex=tex)
        pk = kit.rrect(*self.P(-0.3, waist + 1.0), *self.P(0.12, waist + 1.55), max(2, self.s * 0.04))
        props.solid(pk, kit.mix("walnut", "mahogany", 0.3), self.key, self.s * 0.03, amb=0.5, lay=lay)
        props.solid(kit.line([self.P(-0.2, waist + 1.05), self.P(-0.24, waist + 0.7)], self.s * 0.06), "wine", self.key,
                    self.s * 0.02, lay=lay)
        props.solid(kit.line([self.P(0.0, waist + 1.05), self.P(0.04, waist + 0.8)], self.s * 0.035), "#aeb3ba", self.key,
                    self.s * 0.01, specular=0.8, lay=lay)
        lay.paint(kit.line([self.P(-0.38, waist + 0.02), self.P(-0.62, waist + 0.5)], max(1, self.s * 0.025)),
                  kit.mix("walnut", "ink", 0.3), 0.9)
        # bodice
        body = self._mirror_poly([(0.14, 0.55), (0.32, 0.63), (0.6, 0.74), (0.8, 0.88), (0.83, 1.15), (0.72, 1.7),
                                  (0.56, waist), (0.54, waist + 0.1)])
        hgt = np.sqrt(np.clip(1 - (u / 0.9) ** 2, 0, 1)) * 0.5
        self._shade(DRESS * 1.3, kit.mix("night", "ink", 0.5), hgt, body, specular=0.12, shin=8)
        for k in range(6):
            self._button(0.0, 1.0 + k * 0.22, 0.035)
        # sleeves down to the clasped hands
        for sd in (-1, 1):
            sl = kit.poly([self.P(sd * 0.68, 0.78), self.P(sd * 0.9, 0.98), self.P(sd * 0.9, 1.6), self.P(sd * 0.72, 2.15),
                           self.P(sd * 0.24, waist + 0.1), self.P(sd * 0.1, waist - 0.08), self.P(sd * 0.56, 1.9),
                           self.P(sd * 0.62, 1.2)])
            h2 = np.sqrt(np.clip(1 - ((u - sd * 0.7) / 0.3) ** 2, 0, 1)) * 0.3
            self._shade(DRESS * 1.2, kit.mix("night", "ink", 0.55), h2, sl, specular=0.1)
            if self.frost:
                self._frost(sl, self.seed + 60 + sd)
        if self.shawl:
            self._shawl(waist - 0.5, width=0.88)
        cm = self._mirror_poly([(0.0, 0.53), (0.17, 0.52), (0.24, 0.6), (0.26, 0.66), (0.14, 0.72), (0.0, 0.76)])
        props.solid(cm, kit.mix("parchment", "frost", 0.3), self.key, self.s * 0.03, amb=0.55, lay=lay)
        hx, hy = self.P(0, waist + 0.02)
        # her hands cupped round the open watch
        hm = kit.union(kit.ellipse(hx - self.s * 0.12, hy, self.s * 0.14, self.s * 0.1),
                       kit.ellipse(hx + self.s * 0.12, hy + self.s * 0.03, self.s * 0.14, self.s * 0.1))
        props.solid(hm, SKIN, self.key, self.s * 0.05, amb=0.5, lay=lay)
        wx, wy = self.P(0.02, waist + 0.1)
        props.solid(kit.ellipse(wx, wy - self.s * 0.1, self.s * 0.1, self.s * 0.05), "brass", self.key, self.s * 0.02,
                    specular=0.9, lay=lay)
        props.solid(kit.ellipse(wx, wy, self.s * 0.1, self.s * 0.1), "brass", self.key, self.s * 0.02, specular=0.9, lay=lay)
        lay.paint(kit.ellipse(wx, wy, self.s * 0.07, self.s * 0.07), "parchment", 0.95)
        lay.paint(kit.line([(wx, wy), (wx, wy - self.s * 0.05)], max(0.6, self.s * 0.01)), "ink", 0.8)
        chain = [self.P(0.02 - 0.25 * t, waist + 0.2 + 0.5 * math.sin(t * math.pi * 0.9)) for t in np.linspace(0, 1, 12)]
        props.solid(kit.line(chain, max(0.8, self.s * 0.02)), "brass", self.key, 1, specular=0.9, lay=lay)
        # boots peeping under the hem
        for sd in (-1, 1):
            bx, by = self.P(sd * 0.2, hem + 0.02)
            props.solid(kit.ellipse(bx, by, self.s * 0.16, self.s * 0.07), "ink", self.key, 2, specular=0.4, lay=lay)


def _tilted_head(lay, fx, fy, s, seed, tilt, kw):
    """Head and hair painted apart and tilted about the chin, so she does not sit bolt upright."""
    tmp = kit.Layer(lay.w, lay.h, lay.x0, lay.y0)
    g = Figure(tmp, fx, fy, s, seed, **kw)
    g.head()
    g.hair()
    a = math.radians(tilt)
    ca, sa = math.cos(a), math.sin(a)
    c = np.array([fy + 0.42 * s - lay.y0, fx - lay.x0], np.float64)
    m = np.array([[ca, -sa], [sa, ca]])
    off = c - m @ c
    rgb = np.dstack([ndimage.affine_transform(tmp.rgb[..., k], m, off, order=1) for k in range(3)])
    al = np.clip(ndimage.affine_transform(tmp.a, m, off, order=1), 0, 1)
    lay.rgb = lay.rgb * (1 - al[..., None]) + rgb * al[..., None]
    lay.a = al + lay.a * (1 - al)


def portrait_bust(lay, fx, fy, s, seed, tilt=4.0, **kw):
    """Half-length Ysolde: neck, bust, head, hair, in painting order."""
    f = Figure(lay, fx, fy, s, seed, **kw)
    f.neck()
    f.bust()
    _tilted_head(lay, fx, fy, s, seed, tilt, kw)
    return f


def full_figure(lay, fx, fy, s, seed, hem=6.6, tilt=-5.0, head=1.14, **kw):
    """Standing Ysolde, head unit s; the hem at v = hem. The head is drawn `head` times larger about its
    centre: a woman of some seven heads' height, not a fashion plate's eight."""
    f = Figure(lay, fx, fy, s, seed, **kw)
    f.neck()
    f.standing(hem)
    _tilted_head(lay, fx, fy, s * head, seed, tilt, kw)
    return f
