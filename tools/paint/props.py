"""Reusable painted props: shaded solids, brass gears, clock dials, books, panels, glass."""
import math

import numpy as np
from scipy import ndimage

import kit
from kit import Layer, col

LIGHT_UL = (-0.55, -0.75, 0.6)  # default key light: upper left


def solid(mk, base, light=LIGHT_UL, radius=5.0, amb=0.45, specular=0.0, shin=18, strength=1.0,
          spec_col="candle", lay=None, tex=None):
    """Paint a mask as a rounded solid lit from `light`; returns the layer (new or given)."""
    pad = int(radius * 2 + 2)
    g = kit.grow(mk, pad)
    if lay is None:
        lay = Layer(g.m.shape[1], g.m.shape[0], g.x0, g.y0)
    sl = lay.region(g)
    if sl is None:
        return lay
    ox, oy = lay.x0 + sl[1].start, lay.y0 + sl[0].start
    w, h = sl[1].stop - sl[1].start, sl[0].stop - sl[0].start
    m = kit.crop_mask(mk, ox, oy, w, h)
    dif, sp = kit.relief(m, radius, light, strength, specular, shin)
    if tex is not None:
        c = tex[sl]
    else:
        c = np.ones((h, w, 3), np.float32) * col(base)
    c = c * (amb + (1 - amb) * dif)[..., None] + sp[..., None] * col(spec_col)
    lay.rgb[sl] = lay.rgb[sl] * (1 - m[..., None]) + c * m[..., None]
    lay.a[sl] = lay.a[sl] + m * (1 - lay.a[sl])
    return lay


def brass_tex(h, w, seed, base="brass"):
    n = kit.noise(h, w, 8, seed, 3)
    b = col(base)
    return b * (0.85 + 0.25 * n[..., None])


def gear_poly(cx, cy, r, teeth, depth=None, phase=0.0, n_per=8):
    depth = depth if depth is not None else max(2.0, r * 0.14)
    pts = []
    for i in range(teeth):
        a0 = phase + 2 * math.pi * i / teeth
        step = 2 * math.pi / teeth
        for k, (f, rr) in enumerate(((0.0, r - depth), (0.18, r - depth), (0.3, r), (0.62, r),
                                      (0.74, r - depth), (1.0, r - depth))):
            a = a0 + f * step
            pts.append((cx + rr * math.cos(a), cy + rr * math.sin(a)))
    return pts


def gear(cx, cy, r, teeth, seed=0, base="brass", spokes=5, phase=0.0, light=LIGHT_UL, amb=0.45,
         hub=0.22, rim=0.72, lay=None):
    """A brass clock wheel with spokes, shaded as a relief."""
    outer = kit.poly(gear_poly(cx, cy, r, teeth, phase=phase))
    cut = None
    if spokes:
        holes = []
        ri, ro = r * (hub + 0.08), r * rim
        for i in range(spokes):
            a0 = phase + 2 * math.pi * i / spokes
            a1 = a0 + 2 * math.pi / spokes
            sw = 0.16 * (2 * math.pi / spokes)
            pts = kit.arc_pts(cx, cy, ro, ro, a0 + sw, a1 - sw, 16)
            pts += kit.arc_pts(cx, cy, ri, ri, a1 - sw * 1.8, a0 + sw * 1.8, 8)
            holes.append(kit.poly(pts))
        cut = kit.union(*holes)
        outer = kit.subtract(outer, cut)
    h = kit.ellipse(cx, cy, r * 0.08 + 1, r * 0.08 + 1)
    outer = kit.subtract(outer, h)
    g = kit.grow(outer, 8)
    tex = None
    if lay is None:
        lay = Layer(g.m.shape[1], g.m.shape[0], g.x0, g.y0)
    tex = brass_tex(lay.h, lay.w, seed, base)
    solid(outer, base, light, radius=max(1.5, r * 0.05), amb=amb, specular=0.7, shin=14, lay=lay, tex=tex)
    # raised rim and hub rings
    xx, yy = lay.grid()
    d = np.sqrt((xx - cx) ** 2 + (yy - cy) ** 2)
    ring = (np.abs(d - r * rim) < max(1.0, r * 0.035)) | (np.abs(d - r * (hub + 0.08)) < max(1.0, r * 0.03))
    lay.rgb[ring & (lay.a > 0.5)] *= 0.72
    return lay


def dial(cx, cy, r, seed=0, hour=11, minute=58, hands=True, face="parchment", numerals="ink",
         light=LIGHT_UL, reversed_=False, lay=None, rim_col="brass", tide=True):
    """A clock dial with Roman numerals and (optionally) hands."""
    if lay is None:
        lay = Layer(int(2 * r + 24), int(2 * r + 24), cx - r - 12, cy - r - 12)
    rim = kit.ellipse(cx, cy, r, r)
    solid(rim, rim_col, light, radius=r * 0.05, specular=0.6, lay=lay,
          tex=brass_tex(lay.h, lay.w, seed, rim_col))
    inner = kit.ellipse(cx, cy, r * 0.9, r * 0.9)
    tex = kit.tex_noise(lay.h, lay.w, face, kit.shade_of(face, 0.88), 30, seed + 3)
    xx, yy = lay.grid()
    d = np.sqrt((xx - cx) ** 2 + (yy - cy) ** 2) / r
    tex = tex * (1 - 0.25 * np.clip(d - 0.4, 0, 1))[..., None]
    lay.paint(inner, tex)
    ink = col(numerals)
    # minute ring
    for i in range(60):
        a = -math.pi / 2 + 2 * math.pi * i / 60
        l0 = 0.82 if i % 5 else 0.76
        p0 = (cx + r * l0 * math.cos(a), cy + r * l0 * math.sin(a))
        p1 = (cx + r * 0.86 * math.cos(a), cy + r * 0.86 * math.sin(a))
        lay.paint(kit.line([p0, p1], max(0.8, r * (0.012 if i % 5 else 0.025))), ink, 0.9)
    ring = kit.subtract(kit.ellipse(cx, cy, r * 0.865, r * 0.865), kit.ellipse(cx, cy, r * 0.85, r * 0.85))
    lay.paint(ring, ink, 0.8)
    names = ["XII", "I", "II", "III", "IIII", "V", "VI", "VII", "VIII", "IX", "X", "XI"]
    fs = max(8, int(r * 0.2))
    for i, nm in enumerate(names):
        a = -math.pi / 2 + 2 * math.pi * i / 12
        if reversed_:
            a = -math.pi / 2 - 2 * math.pi * i / 12
        x, y = cx + r * 0.64 * math.cos(a), cy + r * 0.64 * math.sin(a)
        tm = kit.text_patch(x, y, nm, fs)
        if reversed_:
            tm = kit.Mask(tm.m[:, ::-1], tm.x0, tm.y0)
        lay.paint(tm, ink, 0.92)
    if tide:
        ring2 = kit.subtract(kit.ellipse(cx, cy, r * 0.42, r * 0.42), kit.ellipse(cx, cy, r * 0.405, r * 0.405))
        lay.paint(ring2, ink, 0.5)
        for i in range(24):
            a = 2 * math.pi * i / 24
            w = r * 0.04 * (1.3 if i % 2 else 0.7)
            p = [(cx + (r * 0.42 + w * math.sin(t * 6)) * math.cos(a + t * 0.26),
                  cy + (r * 0.42 + w * math.sin(t * 6)) * math.sin(a + t * 0.26)) for t in np.linspace(0, 1, 8)]
            lay.paint(kit.line(p, max(0.6, r * 0.008)), ink, 0.35)
    if hands:
        hand(lay, cx, cy, r * 0.5, -math.pi / 2 + 2 * math.pi * ((hour % 12) + minute / 60) / 12, r * 0.05, light)
        hand(lay, cx, cy, r * 0.78, -math.pi / 2 + 2 * math.pi * minute / 60, r * 0.035, light)
    boss = kit.ellipse(cx, cy, r * 0.06 + 1, r * 0.06 + 1)
    solid(boss, rim_col, light, radius=2, specular=0.8, lay=lay)
    return lay


def hand_mask(cx, cy, length, ang, width):
    ca, sa = math.cos(ang), math.sin(ang)
    px, py = -sa, ca
    L, w = length, width
    pts = [(cx - ca * L * 0.18 + px * w * 0.5, cy - sa * L * 0.18 + py * w * 0.5),
           (cx + ca * L * 0.55 + px * w * 0.45, cy + sa * L * 0.55 + py * w * 0.45),
           (cx + ca * L * 0.68 + px * w * 1.3, cy + sa * L * 0.68 + py * w * 1.3),
           (cx + ca * L * 0.78 + px * w * 0.3, cy + sa * L * 0.78 + py * w * 0.3),
           (cx + ca * L, cy + sa * L),
           (cx + ca * L * 0.78 - px * w * 0.3, cy + sa * L * 0.78 - py * w * 0.3),
           (cx + ca * L * 0.68 - px * w * 1.3, cy + sa * L * 0.68 - py * w * 1.3),
           (cx + ca * L * 0.55 - px * w * 0.45, cy + sa * L * 0.55 - py * w * 0.45),
           (cx - ca * L * 0.18 - px * w * 0.5, cy - sa * L * 0.18 - py * w * 0.5)]
    m = kit.poly(pts)
    # pierced lozenge near the tip
    hole = kit.ellipse(cx + ca * L * 0.68, cy + sa * L * 0.68, w * 0.55, w * 0.55)
    return kit.subtract(m, hole)


def hand(lay, cx, cy, length, ang, width, light=LIGHT_UL, c="#241a14"):
    m = hand_mask(cx, cy, length, ang, width)
    sh = kit.shadow_layer(m, 2, 3, 1.5, 0.4)
    lay.paint(lay.local(kit.Mask(sh.a, sh.x0, sh.y0)), "ink", 1.0, cover=False)
    solid(m, c, light, radius=1.5, amb=0.6, specular=0.5, shin=10, lay=lay)


def glow_layer(mk, c="amber", soft=8, k=1.0, pad=None):
    pad = pad if pad is not None else int(soft * 3)
    g = kit.grow(mk, pad)
    m = ndimage.gaussian_filter(g.m, soft)
    m = np.clip(np.maximum(m * 1.6, g.m * 0.5) * k, 0, 1)
    lay = Layer(m.shape[1], m.shape[0], g.x0, g.y0)
    lay.rgb[:] = col(c)
    lay.a = m
    return lay


def outline_glow(mk, c="amber", soft=6, k=1.0):
    """A halo around (not over) a shape, for drag-over highlights."""
    pad = int(soft * 3)
    g = kit.grow(mk, pad)
    m = ndimage.gaussian_filter(ndimage.grey_dilation(g.m, size=(5, 5)), soft)
    m = np.clip(m * 1.8 * k, 0, 1) * (1 - 0.55 * g.m)
    lay = Layer(m.shape[1], m.shape[0], g.x0, g.y0)
    lay.rgb[:] = col(c)
    lay.a = m
    return lay


def panel_door(lay, x0, y0, x1, y1, seed, base="walnut", light=LIGHT_UL, panels=(2, 3), arch=False):
    """A panelled wooden door filling the box (drawn into lay)."""
    w, h = x1 - x0, y1 - y0
    if arch:
        pts = [(x0, y1), (x0, y0 + w / 2)] + kit.arc_pts((x0 + x1) / 2, y0 + w / 2, w / 2, w / 2, math.pi,
                                                          2 * math.pi, 24) + [(x1, y0 + w / 2), (x1, y1)]
        m = kit.poly(pts)
    else:
        m = kit.rect(x0, y0, x1, y1)
    tex = kit.wood(lay.h, lay.w, seed, base, kit.shade_of(base, 0.72), angle=math.pi / 2, freq=0.12)
    solid(m, base, light, radius=2, amb=0.7, lay=lay, tex=tex)
    cols, rows = panels
    mx, my = w * 0.12, h * 0.07
    pw = (w - mx * (cols + 1)) / cols
    top = y0 + (w / 2 if arch else 0) + my * 0.5
    ph = (y1 - top - my * (rows + 1)) / rows
    for i in range(cols):
        for j in range(rows):
            px = x0 + mx + i * (pw + mx)
            py = top + my + j * (ph + my)
            pm = kit.rect(px, py, px + pw, py + ph)
            # sunken panel: dark bevel on the lit side
            inner = kit.rect(px + 3, py + 3, px + pw - 3, py + ph - 3)
            lay.paint(pm, kit.shade_of(base, 0.6), 0.9, cover=False)
            tex2 = kit.wood(lay.h, lay.w, seed + 10 + i * 7 + j, base, kit.shade_of(base, 0.75),
                            angle=math.pi / 2, freq=0.1)
            solid(inner, base, (-light[0], -light[1], light[2]), radius=3, amb=0.75, lay=lay, tex=tex2 * 0.95)
    return m


def books_row(lay, x0, x1, ybase, hmin, hmax, seed, palette=None, lean=True, light=LIGHT_UL,
              gaps=0.0, wmin=9, wmax=22, masks=None):
    """A row of book spines standing on a shelf line; returns list of (mask, x, w, h)."""
    rng = np.random.default_rng(seed)
    palette = palette or ["wine", "mahogany", "moss", "walnut", "teal", "slate", "#6b4a2b", "#7b6540",
                          "dusk", "#3b4a3a", "parchment_shade"]
    out = []
    x = x0
    while x < x1 - wmin:
        w = rng.integers(wmin, wmax)
        if x + w > x1:
            break
        if gaps and rng.random() < gaps:
            x += rng.integers(8, 26)
            continue
        h = rng.integers(hmin, hmax)
        c = col(palette[rng.integers(len(palette))]) * (0.8 + 0.35 * rng.random())
        tilt = 0
        if lean and rng.random() < 0.12 and x + w + h * 0.3 < x1:
            tilt = h * 0.28
        pts = [(x, ybase), (x + w, ybase), (x + w + tilt, ybase - h), (x + tilt, ybase - h)]
        m = kit.poly(pts)
        solid(m, c, light, radius=max(2, w * 0.3), amb=0.5, specular=0.08, lay=lay, strength=0.7)
        # bands and a title plate
        for band in (0.12, 0.85):
            by = ybase - h * band
            bm = kit.intersect(kit.rect(x - 2, by - 2, x + w + tilt + 2, by + 1.5), m)
            lay.paint(bm, "brass", 0.55, cover=False)
        if rng.random() < 0.5:
            ty = ybase - h * 0.55
            tm = kit.intersect(kit.rect(x + w * 0.2 + tilt * 0.5, ty - h * 0.1, x + w * 0.8 + tilt * 0.5, ty), m)
            lay.paint(tm, "parchment_shade" if rng.random() < 0.5 else "ink", 0.45, cover=False)
        out.append((m, x, w, h))
        if masks is not None:
            masks.append(m)
        x += w + (tilt if tilt else 0) + rng.integers(0, 2)
    return out


def flame(lay, cx, cy, h, k=1.0):
    """A candle or lamp flame with its halo."""
    w = h * 0.32
    pts = [(cx, cy - h)] + [(cx + w * math.sin(t * math.pi) * (1 - 0.35 * t), cy - h + t * h)
                             for t in np.linspace(0.1, 1, 10)]
    pts += [(cx - w * math.sin(t * math.pi) * (1 - 0.35 * t), cy - h + t * h) for t in np.linspace(1, 0.1, 10)]
    m = kit.poly(pts)
    xx, yy = lay.grid()
    hal = kit.radial(lay.h, lay.w, cx - lay.x0, cy - h * 0.4 - lay.y0, h * 3.0, 2)
    lay.rgb += hal[..., None] * col("amber") * 0.6 * k
    lay.a = np.maximum(lay.a, hal * 0.0)
    lay.paint(m, "amber")
    core = kit.ellipse(cx, cy - h * 0.3, w * 0.45, h * 0.3)
    lay.paint(core, "#fff6dc")


def foliage(lay, cx, cy, rx, ry, seed, base="moss", light=LIGHT_UL, n=160, leaf=(4, 9), dark=0.35,
            bright=1.25, elongate=1.6):
    """A bush or leafy mass built from small lit leaf dabs."""
    rng = np.random.default_rng(seed)
    lx, ly = light[0], light[1]
    ln = math.hypot(lx, ly) or 1
    for i in range(n):
        r = math.sqrt(rng.random())
        a = rng.random() * 2 * math.pi
        dx, dy = math.cos(a) * r, math.sin(a) * r
        x, y = cx + dx * rx, cy + dy * ry
        lit = (dx * lx + dy * ly) / ln  # -1 .. 1, towards the light
        depth = r
        f = dark + (bright - dark) * (0.5 + 0.5 * lit) * (0.6 + 0.4 * (1 - depth * 0.3))
        f *= 0.85 + 0.3 * rng.random()
        s = leaf[0] + rng.random() * (leaf[1] - leaf[0])
        ang = rng.random() * math.pi
        ca, sa = math.cos(ang), math.sin(ang)
        pts = [(x + ca * s * elongate * math.cos(t) - sa * s * 0.6 * math.sin(t),
                y + sa * s * elongate * math.cos(t) + ca * s * 0.6 * math.sin(t)) for t in np.linspace(0, 2 * math.pi, 10)]
        lay.paint(kit.poly(pts), kit.shade_of(base, f) if f <= 1 else kit.shade_of(base, 1 + (f - 1) * 0.5))
