#!/usr/bin/python3
"""Contact sheets of the bundled game's rooms and of everything a player can find or use, read from
the room modules themselves (assets/levels/level/*/room.xml), so that they show whatever the rooms
hold today.

    /usr/bin/python3 tools/art/contact_objects.py [--objects] [--rooms] [--all] [--out DIR]

--objects (default with --rooms): every hidden object (a sprite whose click is ho_found), every
  inventory icon of level.xml and every other sprite of a room that answers a click, at 1x: on a
  neutral mid-grey and on the crop of its own backdrop around it, labelled with its name, room and
  size. Hit areas (near-transparent images) show their shape as an amber wash on the backdrop.
  Writes DIR/objects_N.png.
--rooms: every room and scene backdrop with its sprites laid in their places as a new game first
  shows them (--all: hidden sprites too, except those parked off the screen). Writes DIR/rooms/<room>.png
  at full size and DIR/rooms.png, all of them at half size on one sheet.
DIR defaults to /tmp/halvern_contact. Nothing is written into the repository.
"""
import argparse
import glob
import os
import re
import sys
import xml.etree.ElementTree as ET

from PIL import Image, ImageDraw, ImageFont

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
LEVEL = os.path.join("assets", "levels", "level")
FONT = "/usr/share/fonts/truetype/liberation2/LiberationSerif-Regular.ttf"
GREY = (128, 128, 128)
PAGE_W, PAGE_H = 1800, 1400
TRAY = "assets/interface/inventory_tasks/back"


def font(size):
    try:
        return ImageFont.truetype(FONT, size)
    except OSError:
        return ImageFont.load_default()


def load_image(res):
    for ext in (".png", ".jpg"):
        p = os.path.join(ROOT, res + ext)
        if os.path.isfile(p):
            try:
                return Image.open(p).convert("RGBA")
            except OSError:
                return None
    return None


def f(el, key, default=0.0):
    try:
        return float(el.get(key, default))
    except ValueError:
        return default


def objects_part(path):
    """The <objs> element of a module file (the file itself is several top-level elements)."""
    with open(path, encoding="utf-8", errors="replace") as fh:
        text = fh.read()
    m = re.search(r"<objs>.*</objs>", text, re.S)
    if not m:
        return None
    try:
        return ET.fromstring(m.group(0))
    except ET.ParseError as e:
        print("contact_objects: %s: %s" % (path, e), file=sys.stderr)
        return None


class Sprite:
    def __init__(self, el, x, y, z, visible, order):
        self.name = el.get("name", "")
        self.res = el.get("res", "")
        self.x, self.y, self.z = x, y, z
        self.sx, self.sy = f(el, "scale_x", 1), f(el, "scale_y", 1)
        self.alpha = f(el, "alp", 1)
        self.additive = el.get("blendmode") == "2"
        self.visible = visible
        self.click = el.get("event_mdown", "")
        self.order = order

    def image(self):
        im = load_image(self.res)
        if im is None:
            return None
        if (self.sx, self.sy) != (1, 1):
            im = im.resize((max(1, int(im.width * abs(self.sx))), max(1, int(im.height * abs(self.sy)))))
        return im

    def hidden_object(self):
        return self.click.startswith("ho_found")


class Room:
    """A room or sub-room: its backdrop and its sprites in backdrop pixels."""

    def __init__(self, module, el):
        self.module = module
        self.name = el.get("name", "")
        self.res = el.get("res", "")
        self.back = load_image(self.res)
        w, h = self.back.size if self.back else (1024, 768)
        # children stand relative to the image's centre shifted by the draw offset
        self.ox = w / 2 - f(el, "drawoff_x")
        self.oy = h / 2 - f(el, "drawoff_y")
        self.sprites = []
        self._walk(el, 0, 0, 0, True)

    def _walk(self, el, x, y, z, visible):
        for child in el:
            if not isinstance(child.tag, str):
                continue
            cx, cy = x + f(child, "pos_x"), y + f(child, "pos_y")
            cz = z + f(child, "pos_z")
            vis = visible and child.get("visible", "1") != "0"
            if child.tag == "spr" and child.get("res"):
                self.sprites.append(Sprite(child, cx + self.ox, cy + self.oy, cz, vis, len(self.sprites)))
            if child.tag not in ("room", "subroom"):
                self._walk(child, cx, cy, cz, vis)

    def composite(self, show_all=False, skip=None):
        if self.back is None:
            return None
        out = self.back.copy()
        for s in sorted(self.sprites, key=lambda s: (s.z, s.order)):
            if s is skip or not (s.visible or show_all) or abs(s.x) > 4000 or abs(s.y) > 4000:
                continue
            lay_in(out, s)
        return out


def lay_in(canvas, s):
    im = s.image()
    if im is None:
        return
    x0, y0 = int(round(s.x - im.width / 2)), int(round(s.y - im.height / 2))
    if s.alpha < 1:
        a = im.getchannel("A").point(lambda v: int(v * s.alpha))
        im.putalpha(a)
    if s.additive:
        from PIL import ImageChops
        box = (x0, y0, x0 + im.width, y0 + im.height)
        region = canvas.crop(box)
        rgb = Image.composite(im, Image.new("RGBA", im.size, (0, 0, 0, 255)), im.getchannel("A"))
        added = ImageChops.add(region.convert("RGB"), rgb.convert("RGB")).convert("RGBA")
        added.putalpha(region.getchannel("A"))
        canvas.paste(added, (x0, y0))
    else:
        canvas.alpha_composite(im, (max(0, x0), max(0, y0)),
                               (max(0, -x0), max(0, -y0)))


def read_rooms():
    rooms = []
    for path in sorted(glob.glob(os.path.join(ROOT, LEVEL, "*", "room.xml"))):
        objs = objects_part(path)
        if objs is None:
            continue
        module = os.path.basename(os.path.dirname(path))
        for el in objs.iter():
            if el.tag in ("room", "subroom") and el.get("res"):
                rooms.append(Room(module, el))
    return rooms


def inventory_icons():
    objs = objects_part(os.path.join(ROOT, LEVEL, "level.xml"))
    if objs is None:
        return []
    return [Sprite(el, 0, 0, 0, True, i) for i, el in enumerate(objs.iter("spr")) if el.get("res")]


# ---------------------------------------------------------------- the objects sheet


def object_cell(title, im, crop, label_font):
    """An object at 1x on mid-grey, beside its crop of the backdrop (or None), with a label."""
    pad = 10
    w = im.width + 2 * pad
    if crop is not None:
        w += crop.width + pad
    h = max(im.height, crop.height if crop is not None else 0) + 2 * pad + 34
    cell = Image.new("RGB", (max(w, 190), h), (40, 40, 44))
    grey = Image.new("RGBA", (im.width + 2 * pad - 4, im.height + 2 * pad - 4), GREY + (255,))
    grey.alpha_composite(im, (pad - 2, pad - 2))
    cell.paste(grey.convert("RGB"), (2, 2))
    if crop is not None:
        cell.paste(crop.convert("RGB"), (im.width + 2 * pad, 2))
    d = ImageDraw.Draw(cell)
    for i, line in enumerate(title):
        d.text((4, h - 32 + i * 15), line, font=label_font, fill=(235, 225, 195) if i == 0 else (180, 175, 160))
    return cell


def hit_area(im):
    return im.getchannel("A").getextrema()[1] < 16


def backdrop_crop(room, s, im, margin=28):
    if abs(s.x) > 4000 or abs(s.y) > 4000:
        return None
    base = room.composite(skip=s)
    if base is None:
        return None
    x0, y0 = int(round(s.x - im.width / 2)), int(round(s.y - im.height / 2))
    box = (max(0, x0 - margin), max(0, y0 - margin),
           min(base.width, x0 + im.width + margin), min(base.height, y0 + im.height + margin))
    if box[2] <= box[0] or box[3] <= box[1]:
        return None
    if hit_area(im):
        wash = Image.new("RGBA", im.size, (255, 170, 40, 0))
        wash.putalpha(im.getchannel("A").point(lambda v: 110 if v > 0 else 0))
        base.alpha_composite(wash, (max(0, x0), max(0, y0)), (max(0, -x0), max(0, -y0)))
    else:
        lay_in(base, s)
    return base.crop(box)


def pages_of(cells, title, label_font):
    pages = []
    page, x, y, row_h = None, 0, 0, 0
    for cell in cells:
        if cell.width > PAGE_W - 20:
            cell = cell.resize((PAGE_W - 20, int(cell.height * (PAGE_W - 20) / cell.width)))
        if page is None or y + cell.height > PAGE_H - 10 and x == 10:
            pass
        if page is not None and x + cell.width > PAGE_W - 10:
            x, y, row_h = 10, y + row_h + 8, 0
        if page is None or y + cell.height > PAGE_H - 10:
            page = Image.new("RGB", (PAGE_W, PAGE_H), (24, 24, 28))
            ImageDraw.Draw(page).text((10, 8), "%s, page %d (objects at 1x)" % (title, len(pages) + 1),
                                      font=label_font, fill=(235, 225, 195))
            pages.append(page)
            x, y, row_h = 10, 34, 0
        page.paste(cell, (x, y))
        x += cell.width + 8
        row_h = max(row_h, cell.height)
    return pages


def objects_sheet(rooms, out):
    lf = font(13)
    groups = {"hidden": [], "items": [], "clickable": []}
    tray = load_image(TRAY)
    for s in inventory_icons():
        im = s.image()
        if im is None:
            continue
        crop = None
        if tray is not None:
            crop = tray.crop((tray.width // 2 - im.width // 2 - 20, 0, tray.width // 2 + im.width // 2 + 20,
                              tray.height))
            crop.alpha_composite(im, (20, (tray.height - im.height) // 2))
        groups["items"].append(object_cell([s.name, "inventory icon %dx%d" % im.size], im, crop, lf))
    for room in rooms:
        # clickable sprites of one image (puzzle tiles) are shown once, with their count
        count = {}
        for s in room.sprites:
            if s.click and not s.hidden_object():
                count[s.res] = count.get(s.res, 0) + 1
        shown_res = set()
        for s in room.sprites:
            if not s.click or (not s.hidden_object() and s.res in shown_res):
                continue
            shown_res.add(s.res)
            im = s.image()
            if im is None:
                continue
            kind = "hidden object" if s.hidden_object() else ("hit area" if hit_area(im) else "clickable")
            many = " (%d like it)" % count[s.res] if not s.hidden_object() and count[s.res] > 1 else ""
            label = [s.name + many, "%s, %s %dx%d" % (room.name, kind, im.width, im.height)]
            shown = im
            if kind == "hit area":
                shown = Image.new("RGBA", im.size, (0, 0, 0, 0))
                shown.putalpha(im.getchannel("A").point(lambda v: 150 if v > 0 else 0))
            cell = object_cell(label, shown, backdrop_crop(room, s, im), lf)
            groups["hidden" if s.hidden_object() else "clickable"].append(cell)
    written = []
    n = 0
    for key, title in (("hidden", "Hidden objects"), ("items", "Inventory icons"), ("clickable", "Clickable sprites")):
        for page in pages_of(groups[key], title, lf):
            n += 1
            path = os.path.join(out, "objects_%d.png" % n)
            page.save(path)
            written.append(path)
    print("%d hidden objects, %d inventory icons, %d clickable sprites (one a picture)" %
          (len(groups["hidden"]), len(groups["items"]), len(groups["clickable"])))
    return written


# ---------------------------------------------------------------- the rooms sheet


def rooms_sheet(rooms, out, show_all):
    os.makedirs(os.path.join(out, "rooms"), exist_ok=True)
    lf = font(18)
    thumbs, written = [], []
    for room in rooms:
        im = room.composite(show_all)
        if im is None:
            continue
        path = os.path.join(out, "rooms", room.name + ".png")
        im.convert("RGB").save(path)
        written.append(path)
        t = im.convert("RGB")
        t.thumbnail((512, 384), Image.LANCZOS)
        thumbs.append((room, t))
    cols = 3
    rows = (len(thumbs) + cols - 1) // cols
    sheet = Image.new("RGB", (cols * 522 + 10, rows * 418 + 10), (24, 24, 28))
    d = ImageDraw.Draw(sheet)
    for i, (room, t) in enumerate(thumbs):
        x, y = 10 + (i % cols) * 522, 10 + (i // cols) * 418
        sheet.paste(t, (x + (512 - t.width) // 2, y))
        d.text((x, y + 388), "%s (%s) %dx%d, %d sprites" % (room.name, room.module, room.back.width,
                                                             room.back.height, len(room.sprites)),
               font=lf, fill=(235, 225, 195))
    path = os.path.join(out, "rooms.png")
    sheet.save(path)
    written.append(path)
    return written


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--objects", action="store_true")
    ap.add_argument("--rooms", action="store_true")
    ap.add_argument("--all", action="store_true", help="rooms: lay in hidden sprites too")
    ap.add_argument("--out", default="/tmp/halvern_contact")
    a = ap.parse_args(argv)
    both = not (a.objects or a.rooms)
    os.makedirs(a.out, exist_ok=True)
    rooms = read_rooms()
    written = []
    if a.objects or both:
        written += objects_sheet(rooms, a.out)
    if a.rooms or both:
        written += rooms_sheet(rooms, a.out, a.all)
    for p in written:
        if not p.startswith(os.path.join(a.out, "rooms", "")):
            print(p)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
