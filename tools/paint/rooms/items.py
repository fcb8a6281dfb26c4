"""Inventory icons (112 x 112) for the six items of the chain."""
import kit
import things
from kit import Layer
from scene import Room

L = (-0.6, -0.7, 0.55)
ICONS = [
    ("inv_key", "key", things.key_big, 1.7, -0.6),
    ("inv_oilcan", "oilcan", things.oilcan, 1.1, 0.0),
    ("inv_smallkey", "smallkey", things.key_small, 2.2, -0.6),
    ("inv_crank", "crank", things.crank, 1.3, 0.0),
    ("inv_gear", "gear", things.gearwheel, 1.4, 0.0),
    ("inv_hand", "hand", things.clockhand, 0.85, -0.75),
]


def build():
    room = Room("items")
    for name, res, fn, s, a in ICONS:
        lay = Layer(112, 112, 0, 0)
        fn(lay, 56, 58, s, a, 7, L)
        out = kit.with_shadow(lay, 2, 3, 2, 0.45)
        # keep the fixed 112 x 112 frame so every icon sits the same in its slot
        frame = Layer(112, 112, 0, 0)
        ys, xs = -out.y0, -out.x0
        frame.rgb[:] = out.rgb[ys:ys + 112, xs:xs + 112]
        frame.a[:] = out.a[ys:ys + 112, xs:xs + 112]
        room.obj(name, res, frame, 1, crop=False)
    room.write()


if __name__ == "__main__":
    build()
