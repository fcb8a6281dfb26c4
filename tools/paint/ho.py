"""Hidden-object scene assembly.

Back clutter is painted into the canvas; each hidden object is its own layer; front clutter
layers are laid over some objects so that they are partly tucked away. The backdrop is the scene
without the objects; each object's image is its visible part cut from the finished full scene,
so that the hit mask is exact and the picture is seamless when it is in place.
"""
import numpy as np

import kit
from kit import Layer
from scene import visible


class HOScene:
    def __init__(self, room, seed):
        self.room = room
        self.seed = seed
        self.objects = []  # (name, res, layer)
        self.front = []    # clutter layers over the objects

    def add(self, name, res, painter, x, y, s, ang, light, shadow=0.35, **kw):
        lay = Layer(kit.W, kit.H)
        painter(lay, x, y, s, ang, self.seed + len(self.objects) * 13, light, **kw)
        lay = lay.cropped(4)
        if shadow:
            lay = kit.with_shadow(lay, 2.5, 3.5, 1.8, shadow).cropped(1)
        self.objects.append((name, res, lay))
        return lay

    def tuck(self, lay, min_visible=0.62):
        """Add a front clutter layer if no object loses too much of itself behind it."""
        for name, res, ob in self.objects:
            v = visible(ob, self.front + [lay])
            tot = ob.a.sum()
            if tot and v.m.sum() / tot < min_visible:
                return False
        self.front.append(lay)
        return True

    def render(self, base, light_fn, finish_fn):
        full = base.copy()
        back = base.copy()
        for _, _, ob in self.objects:
            kit.over_layer(full, ob)
        for f in self.front:
            kit.over_layer(full, f)
            kit.over_layer(back, f)
        # the painterly filter would blur small objects' glints and edges: spare them in the full scene
        prot = np.zeros((kit.H, kit.W), np.float32)
        for _, _, ob in self.objects:
            kit.paste_max(prot, kit.Mask(np.clip(ob.a * 1.5, 0, 1), ob.x0, ob.y0))
        full = finish_fn(light_fn(full), protect=kit.blur(prot, 1.0) * 0.75)
        back = finish_fn(light_fn(back))
        return back, full

    def save(self, base, light_fn, finish_fn):
        back, full = self.render(base, light_fn, finish_fn)
        self.room.back(back)
        for name, res, ob in self.objects:
            vis = visible(ob, self.front)
            self.room.cut(full, vis, name, res, 2, thr=0.04)
        return back, full
