"""Room output: saves backdrops and cut-outs and records where every object goes."""
import os

import numpy as np

import kit
import outdir

# Where the pictures go: the repository, or the folder of --out.
OUT = outdir.take()
LEVEL = "assets/levels/level"


class Room:
    def __init__(self, name, folder=None, size=(kit.W, kit.H)):
        self.name = name
        self.folder = folder or "%s/%s" % (LEVEL, name)
        self.size = size
        self.rows = []

    def path(self, res, ext):
        return os.path.join(OUT, self.res(res) + ext)

    def res(self, res):
        """Image name: relative to the room's folder unless it starts with 'assets/'."""
        return res if res.startswith("assets/") else "%s/%s" % (self.folder, res)

    def exit_down(self, name):
        """The shared invisible strip along the bottom of the room that walks back."""
        self.hit(name, "assets/levels/level/common/exit_down", kit.rect(212, 546, 812, 602), 1)

    def back(self, cv, q=88):
        kit.save_backdrop(cv, self.path("back", ".jpg"), q)

    def obj(self, name, res, lay, z=1, record=True, crop=True):
        """Save a layer as PNG (cropped to its pixels) and record its centre."""
        lay = lay.cropped() if crop else lay
        kit.save_layer(lay, self.path(res, ".png"))
        cx, cy = lay.centre()
        if record:
            self.rows.append((name, self.res(res), cx, cy, lay.w, lay.h, z))
        return lay

    def hit(self, name, res, mk, z=1):
        """An invisible click region in the shape of a mask (alpha 1/255)."""
        lay = kit.Layer(mk.m.shape[1], mk.m.shape[0], mk.x0, mk.y0)
        lay.a = np.where(mk.m > 0.5, 1.0 / 255 + 1e-4, 0).astype(np.float32)
        lay.rgb[:] = 0
        return self.obj(name, res, lay, z)

    def cut(self, cv, mk, name, res, z=1, thr=0.02):
        """Cut an object out of a finished composite with its coverage mask."""
        m = kit.Mask(np.where(mk.m >= thr, mk.m, 0), mk.x0, mk.y0)
        lay = kit.layer_from_canvas(cv, m)
        return self.obj(name, res, lay, z)

    def write(self):
        p = self.path("objects", ".txt")
        os.makedirs(os.path.dirname(p), exist_ok=True)
        with open(p, "w") as f:
            f.write("# %s: object placement written by tools/paint (do not edit by hand)\n" % self.name)
            f.write("# name  image  x  y  w  h  z   (x, y = image centre%s)\n" %
                    (", in sub-room image pixels" if self.size != (kit.W, kit.H) else ", screen pixels"))
            for r in self.rows:
                f.write("%s  %s  %d  %d  %d  %d  %g\n" % (r[0], r[1], round(r[2]), round(r[3]), r[4], r[5], r[6]))


def visible(lay, front, thr=0.0):
    """The part of `lay` not covered by the layers in `front` (list), as a mask patch."""
    m = lay.a.copy()
    for f in front:
        cov = kit.crop_mask(kit.Mask(f.a, f.x0, f.y0), lay.x0, lay.y0, lay.w, lay.h)
        m *= 1 - cov
    return kit.Mask(m, lay.x0, lay.y0)
