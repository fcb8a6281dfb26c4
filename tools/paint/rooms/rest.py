"""The two close-ups: the curio cabinet and the writing desk."""
import math

import numpy as np

import common
import interior
import kit
import props
import things
from kit import Layer, col
from scene import Room

L = (-0.5, -0.7, 0.55)


def shell_room(seed, box, paper=("#3f3150", "#5d4c70"), floor="#5a3a22"):
    cv = kit.canvas("night")
    lay = Layer(kit.W, kit.H)
    pp = interior.wallpaper(kit.H, kit.W, seed, *paper)
    lay.paint(kit.poly(box.back()), pp)
    lay.paint(kit.poly(box.left()), pp * 0.75)
    lay.paint(kit.poly(box.right()), pp * 0.7)
    lay.paint(kit.poly(box.ceiling()), kit.wood(kit.H, kit.W, seed + 1, "#3a2616", angle=0) * 0.6)
    lay.paint(kit.poly(box.floor()), interior.boards(kit.H, kit.W, seed + 2, box, floor))
    kit.over(cv, lay)
    return cv


def page_layer(x, y, ang, seed):
    lay = Layer(kit.W, kit.H)
    things.paper(lay, x, y, 0.55, ang, seed, L, drawing=True)
    lay.paint(kit.ellipse(x, y - 16, 3, 3), "wine")
    return kit.with_shadow(lay.cropped(2), 2, 3, 2, 0.4)


def window(lay, x0, y0, x1, y1, seed, snow=False):
    sky = common.storm_sky(kit.H, kit.W, seed, horizon=0.5)
    if snow:
        sky = sky * 0.7 + col("frost") * 0.2
    else:
        common.sea(sky, int(y0 + (y1 - y0) * 0.62), kit.H, seed + 1)
        common.rain(sky, seed + 2, 1500, 18, 0.3, 0.25)
    lay.paint(kit.rect(x0, y0, x1, y1), sky)
    fr = kit.subtract(kit.rect(x0 - 10, y0 - 10, x1 + 10, y1 + 10), kit.rect(x0, y0, x1, y1))
    fr = kit.union(fr, kit.rect((x0 + x1) / 2 - 3, y0, (x0 + x1) / 2 + 3, y1), kit.rect(x0, (y0 + y1) / 2 - 3, x1, (y0 + y1) / 2 + 3))
    props.solid(fr, "#4a301b", L, 3, lay=lay)


def closeup(name, seed, painter):
    room = Room(name, size=(720, 520))
    painter(room, seed)
    room.write()


def cabinet_room(room, seed):
    W, H = 720, 520
    cv = kit.wood(H, W, seed, "#3a2414", angle=1.5)
    lay = Layer(W, H)
    props.solid(kit.rect(150, 10, 570, 510), "walnut", L, 8, lay=lay, tex=kit.wood(H, W, seed + 1, "#6a452a", angle=1.5))
    lay.paint(kit.rect(176, 36, 544, 484), "#1e140c")
    for y in (180, 330, 480):
        props.solid(kit.rect(176, y - 8, 544, y), "#6a452a", L, 2, lay=lay)
    things.kit_paste(lay, props.dial(230, 140, 28, seed, 11, 58, light=L, tide=False))
    props.solid(kit.ellipse(320, 150, 30, 22), "#e6c9b0", L, 8, lay=lay)
    props.solid(kit.rrect(400, 70, 520, 170, 20), kit.mix("frost", "teal", 0.4), L, 8, spec=0.8, lay=lay)
    props.solid(kit.ellipse(470, 440, 40, 30), "parch_shade", L, 10, lay=lay)
    for k in range(4):
        things.watch(lay, 220 + k * 50, 450, 0.8, 0.2 * k, seed + k, L)
    kit.over(cv, lay)
    base = cv * 0.7
    common.lamp(base, 200, 100, 600, "amber", 0.8, 1.3)
    cr = Layer(W, H)
    things.crank(cr, 360, 300, 1.6, 0.0, seed, L)
    kit.over(base, kit.with_shadow(cr.cropped(2), 3, 4, 3, 0.5))
    doors = Layer(W, H)
    for x0, x1 in ((176, 360), (360, 544)):
        fr = kit.subtract(kit.rect(x0, 36, x1, 484), kit.rect(x0 + 14, 50, x1 - 14, 470))
        props.solid(fr, "walnut", L, 4, lay=doors, tex=kit.wood(H, W, seed + x0, "#6a452a", angle=1.5))
        doors.paint(kit.rect(x0 + 14, 50, x1 - 14, 470), "frost", 0.12)
    props.solid(kit.rrect(346, 240, 374, 290, 4), "brass", L, 2, spec=0.9, lay=doors)
    doors.paint(kit.ellipse(360, 260, 3, 3), "#120a04")
    opened = Layer(W, H)
    for x0, x1 in ((110, 176), (544, 610)):
        props.solid(kit.rect(x0, 30, x1, 490), "walnut", L, 4, lay=opened)
        opened.paint(kit.rect(x0 + 10, 50, x1 - 10, 470), "frost", 0.15)
    full = base.copy()
    kit.over(full, doors)
    room.back(kit.finish(base, seed, vignette=0.3))
    room.cut(kit.finish(full, seed, vignette=0.3), kit.Mask(doors.a, 0, 0), "cabinet_doors_closed", "doors_closed", 2)
    o2 = base.copy()
    kit.over(o2, opened)
    room.cut(kit.finish(o2, seed, vignette=0.3), kit.Mask(opened.a, 0, 0), "cabinet_doors_open", "doors_open", 2)
    room.obj("cabinet_lock_glow", "lock_glow", props.outline_glow(kit.rrect(346, 240, 374, 290, 4), "amber", 5), 4)
    room.cut(kit.finish(base, seed, vignette=0.3), kit.Mask(cr.a, 0, 0), "cabinet_crank", "crank", 3)


def desk_room(room, seed):
    W, H = 720, 520
    cv = kit.wood(H, W, seed, "#7a3b2a", "#4a2218", angle=0.0)
    lay = Layer(W, H)
    things.paper(lay, 200, 160, 1.5, -0.2, seed, L)
    things.paper(lay, 330, 200, 1.3, 0.3, seed + 1, L)
    props.solid(kit.ellipse(560, 130, 40, 40), "#1a1a22", L, 8, spec=0.9, lay=lay)
    lay.paint(kit.ellipse(560, 128, 14, 14), "#05050a")
    things.quill(lay, 600, 110, 1.5, -1.0, seed, L)
    things.candle(lay, 640, 260, 1.4, 0.0, seed, L)
    kit.over(cv, lay)
    props_l = Layer(W, H)
    props.solid(kit.rect(0, 330, W, 520), "#5a2a1c", L, 4, lay=props_l, tex=kit.wood(H, W, seed + 3, "#6a3222", angle=0))
    kit.over(cv, props_l)
    base = cv * 0.8
    common.lamp(base, 640, 240, 500, "amber", 0.9, 1.3)
    closed = Layer(W, H)
    props.solid(kit.rect(180, 370, 540, 470), "#7a3b2a", L, 5, lay=closed, tex=kit.wood(H, W, seed + 4, "#8a4530", angle=0))
    props.solid(kit.rrect(330, 410, 390, 426, 6), "brass", L, 2, spec=0.9, lay=closed)
    opened = Layer(W, H)
    opened.paint(kit.rect(170, 350, 550, 500), "#2a140c")
    props.solid(kit.subtract(kit.rect(160, 345, 560, 510), kit.rect(176, 355, 544, 480)), "#7a3b2a", L, 4, lay=opened)
    props.solid(kit.rect(160, 480, 560, 515), "#8a4530", L, 4, lay=opened)
    fin = lambda c: kit.finish(c, seed, vignette=0.3)
    room.back(fin(base))
    c1 = base.copy()
    kit.over(c1, closed)
    room.cut(fin(c1), kit.Mask(closed.a, 0, 0), "desk_drawer_closed", "drawer_closed", 2)
    c2 = base.copy()
    kit.over(c2, opened)
    key = Layer(W, H)
    things.key_small(key, 280, 420, 1.6, -0.3, seed, L)
    pg = Layer(W, H)
    things.paper(pg, 430, 420, 0.7, 0.2, seed + 9, L)
    kit.over(c2, pg)
    kit.over(c2, kit.with_shadow(key.cropped(2), 2, 3, 2, 0.5))
    f2 = fin(c2)
    c3 = base.copy()
    kit.over(c3, opened)
    room.cut(fin(c3), kit.Mask(opened.a, 0, 0), "desk_drawer_open", "drawer_open", 2)
    room.cut(f2, kit.Mask(key.a, 0, 0), "desk_smallkey", "smallkey", 3)
    room.cut(f2, kit.Mask(pg.a, 0, 0), "desk_page", "page", 3)
    room.hit("desk_inkwell", "inkwell_hit", kit.ellipse(560, 130, 42, 42), 1)


def build():
    closeup("cabinet", 1212, cabinet_room)
    closeup("desk", 1313, desk_room)


if __name__ == "__main__":
    build()
