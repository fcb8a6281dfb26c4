"""Framed portraits of Ysolde: an oval painting in a gilt frame (ending, credits, library mantel)."""
import math

import numpy as np

import figure
import kit
import props
import things
from kit import Layer, col

KEY = (-0.6, -0.55, 0.6)


def painting(w, h, seed, scene="clock", frost=0.0, ss=2):
    """The picture inside the frame: Ysolde before a dark studio ground (an RGB canvas).

    Painted at ss times the size and reduced, so the face keeps its small features."""
    W0, H0 = w, h
    w, h = w * ss, h * ss
    cv = kit.vgrad(h, w, [(0, kit.mix("moss", "night", 0.55)), (1, kit.mix("walnut", "night", 0.5))])
    n = kit.noise(h, w, 60, seed, 4)
    cv *= (0.8 + 0.4 * n[..., None])
    lay = Layer(w, h)
    if scene == "clock":
        # the clock behind her shoulder, at two minutes to midnight
        d = props.dial(w * 0.8, h * 0.3, w * 0.2, seed, 11, 58, light=KEY, tide=False)
        things.kit_paste(lay, d)
        kit.over_layer(cv, lay)
    else:
        # a window at dawn behind her
        win = kit.rrect(w * 0.58, h * 0.1, w * 1.05, h * 0.62, 12)
        sky = kit.vgrad(h, w, [(0, "dusk"), (0.25, kit.mix("wine", "amber", 0.5)), (0.45, "amber"), (0.5, "#9a8a8a"),
                               (1, "teal")])
        lay.paint(win, sky)
        bars = kit.union(kit.rect(w * 0.58, h * 0.34, w * 1.05, h * 0.35 + 6), kit.rect(w * 0.8, h * 0.1, w * 0.8 + 8, h * 0.62))
        props.solid(kit.union(bars, kit.subtract(kit.rrect(w * 0.56, h * 0.08, w * 1.07, h * 0.64, 16), win)),
                    "walnut", KEY, 6, lay=lay)
        kit.over_layer(cv, lay)
        cv += kit.radial(h, w, w * 0.85, h * 0.4, w * 0.6, 2)[..., None] * col("amber") * 0.25
    cv += kit.radial(h, w, w * 0.42, h * 0.35, w * 0.55, 1.6)[..., None] * col("amber") * 0.25
    cv = kit.finish(cv, seed, grain=0.0, vignette=0.0, stroke_angle=0.9)
    lay = Layer(w, h)
    s = w * 0.46
    rim = (0.85, -0.25, 0.3) if scene != "clock" else (0.8, -0.3, 0.25)
    figure.portrait_bust(lay, w * 0.5, h * 0.36, s, seed + 1, key=KEY, rim=rim,
                         rim_col="amber" if scene != "clock" else "frost", frost=frost)
    kit.over_layer(cv, kit.shadow_layer(kit.Mask(lay.a, lay.x0, lay.y0), 20, 12, 24, 0.5))
    fig = Layer(w, h)
    # laid in with the brush: smoothed into patches, then stroked across the forms
    strokes = kit.streaks(h, w, seed + 3, 10, 0.9, 2) * 0.6 + kit.streaks(h, w, seed + 4, 16, 2.4, 3) * 0.4
    fig.rgb = (kit.kuwahara(lay.rgb, 2) * 0.65 + lay.rgb * 0.35) * (1 + 0.09 * strokes[..., None])
    fig.a = lay.a
    kit.over_layer(cv, fig)
    kit.lamp(cv, w * 0.3, h * 0.25, w * 1.1, "candle", 0.25, 1.4)
    cv = kit.resize(cv, W0, H0)
    cv = kit.finish(cv, seed, grain=0.05, vignette=0.6, painterly=False)
    cv = cv * (0.9 + 0.1 * col("amber"))
    return np.clip(cv, 0, 1)


def framed(seed, w=360, h=460, scene="clock", frost=0.0, light=KEY):
    """An oval gilt frame around the painting; transparent outside the frame."""
    lay = Layer(w, h, 0, 0)
    cx, cy = w / 2, h / 2
    rx, ry = w / 2 - 6, h / 2 - 6
    band = max(14, 26 * w / 360)
    inner_rx, inner_ry = rx - band, ry - band
    pic = painting(w, h, seed, scene, frost)
    lay.paint(kit.ellipse(cx, cy, inner_rx + 1, inner_ry + 1), pic)
    # inner shadow of the frame on the canvas
    ring = kit.ellipse(cx, cy, inner_rx, inner_ry)
    sh = 1 - kit.blur(1 - lay.local(ring), 5)
    lay.rgb *= (0.55 + 0.45 * sh)[..., None]
    frame = kit.subtract(kit.ellipse(cx, cy, rx, ry), kit.ellipse(cx, cy, inner_rx, inner_ry))
    tex = props.brass_tex(h, w, seed + 5)
    props.solid(frame, "brass", light, 7, amb=0.4, specular=0.8, shin=14, lay=lay, tex=tex)
    # a beaded inner moulding and an engraved outer bead
    nb = int(72 * min(1, w / 300))
    for k in range(nb):
        a = 2 * math.pi * k / nb
        x, y = cx + (inner_rx + band * 0.2) * math.cos(a), cy + (inner_ry + band * 0.2) * math.sin(a)
        props.solid(kit.ellipse(x, y, band * 0.1, band * 0.1), "brass", light, 1.2, specular=0.9, lay=lay)
    lay.paint(kit.subtract(kit.ellipse(cx, cy, rx - 9, ry - 9), kit.ellipse(cx, cy, rx - 11, ry - 11)), "#6a4a1e", 0.6,
              cover=False)
    # a shell crest at the top and a leaf at the bottom
    crest = kit.poly([(cx - 30, 14), (cx + 30, 14), (cx + 16, -2), (cx, -6), (cx - 16, -2)])
    crest = kit.union(kit.intersect(crest, kit.rect(0, 0, w, h)), kit.ellipse(cx, 12, 22, 12))
    props.solid(crest, "brass", light, 4, specular=0.8, lay=lay, tex=tex)
    for k in range(7):
        a = math.pi * (1.1 + 0.8 * k / 6)
        lay.paint(kit.line([(cx, 20), (cx + 20 * math.cos(a), 20 + 14 * math.sin(a))], 1.2), "#6a4a1e", 0.7, cover=False)
    leaf = kit.union(kit.ellipse(cx - 14, h - 12, 16, 7), kit.ellipse(cx + 14, h - 12, 16, 7))
    props.solid(leaf, "brass", light, 3, specular=0.8, lay=lay, tex=tex)
    return lay
