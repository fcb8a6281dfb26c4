#!/usr/bin/python3
"""Reports the texture memory of every room module of the bundled game: the decoded RGBA bytes
(width x height x 4) of every image the room's room.xml and its script name, of the modules it brings
in (ModLoad), and of every image in the room's own folder (scripts also build names at run time),
plus the shared interface (assets/interface and the inventory icons of level.xml), which is loaded
beside every room.

    /usr/bin/python3 tools/art/texture_budget.py [--game-dir DIR] [--budget MIB] [-v]

Prints one line a room, largest first (-v: every image of each room). Exit status 1 when a room with
the shared interface passes the budget (32 MiB). Reads image headers only, so it takes a second.
"""
import argparse
import glob
import os
import re
import sys
import xml.etree.ElementTree as ET

from PIL import Image

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
IMAGE_EXT = (".png", ".jpg")
ASSET_NAME = re.compile(r"assets/[A-Za-z0-9_./-]+")
MIB = 1024 * 1024


def rgba_bytes(path):
    try:
        with Image.open(path) as im:
            w, h = im.size
    except OSError:
        return 0
    return w * h * 4


def text_of(path):
    try:
        with open(path, encoding="utf-8", errors="replace") as f:
            return f.read()
    except OSError:
        return ""


def images_of(game, name, seen):
    """The image files an asset name stands for: the image itself, or what an XML file (a module,
    an animation, its frame texture, a particle system) refers to, followed once each."""
    name = name.rstrip("/.")
    out = set()
    if name in seen:
        return out
    seen.add(name)
    base = os.path.join(game, name)
    stem, ext = os.path.splitext(base)
    if ext in IMAGE_EXT and os.path.isfile(base):
        return {base}
    for e in IMAGE_EXT:
        if os.path.isfile(base + e):
            out.add(base + e)
    xml = base if ext == ".xml" else base + ".xml"
    if os.path.isfile(xml):
        out |= images_in_xml(game, xml, seen)
    return out


def images_in_xml(game, xml, seen):
    out = set()
    text = text_of(xml)
    for ref in ASSET_NAME.findall(text):
        out |= images_of(game, ref, seen)
    # animations and frame textures name their sheets relative to their own folder
    folder = os.path.relpath(os.path.dirname(xml), game)
    try:
        tree = ET.fromstring(text)
    except ET.ParseError:
        return out
    for el in tree.iter():
        for key in ("frame_texture", "texture"):
            v = el.get(key)
            if v and not v.startswith("assets/"):
                out |= images_of(game, os.path.join(folder, v), seen)
    return out


def shared_images(game):
    out = set()
    for ext in IMAGE_EXT:
        out |= set(glob.glob(os.path.join(game, "assets", "interface", "**", "*" + ext), recursive=True))
    level = os.path.join(game, "assets", "levels", "level", "level.xml")
    if os.path.isfile(level):
        out |= images_in_xml(game, level, set())
    return {path for path in out if not language_twin(path)}


def language_twin(path):
    """True for another language's picture (X_de.png beside X.png): it is loaded in place of X,
    never beside it, so it adds nothing to a room's memory."""
    stem, ext = os.path.splitext(path)
    m = re.fullmatch(r"(.+)_[a-z]{2}", stem)
    return bool(m) and os.path.isfile(m.group(1) + ext)


def room_images(game, room_xml):
    out = images_in_xml(game, room_xml, set())
    folder = os.path.dirname(room_xml)
    for ext in IMAGE_EXT:
        out |= set(glob.glob(os.path.join(folder, "*" + ext)))
    return out


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--game-dir", default=ROOT)
    ap.add_argument("--budget", type=float, default=32.0, help="MiB a room may use with the shared interface")
    ap.add_argument("-v", "--verbose", action="store_true")
    a = ap.parse_args(argv)
    game = os.path.abspath(a.game_dir)
    shared = shared_images(game)
    shared_bytes = sum(rgba_bytes(p) for p in shared)
    rooms = sorted(glob.glob(os.path.join(game, "assets", "levels", "level", "*", "room.xml")))
    if not rooms:
        print("texture_budget: no room modules under %s" % game)
        return 1
    rows = []
    for xml in rooms:
        own = room_images(game, xml) - shared
        sizes = sorted(((rgba_bytes(p), p) for p in own), reverse=True)
        rows.append((sum(s for s, _ in sizes), os.path.basename(os.path.dirname(xml)), sizes))
    rows.sort(reverse=True)
    print("shared interface %6.2f MiB (%d images)" % (shared_bytes / MIB, len(shared)))
    print("%-14s %8s %8s %8s" % ("room", "own MiB", "total", "images"))
    over = []
    for own_bytes, name, sizes in rows:
        total = (own_bytes + shared_bytes) / MIB
        flag = ""
        if total > a.budget:
            flag = "  over %.0f MiB" % a.budget
            over.append(name)
        print("%-14s %8.2f %8.2f %8d%s" % (name, own_bytes / MIB, total, len(sizes), flag))
        if a.verbose:
            for s, p in sizes:
                print("    %7.2f MiB  %s" % (s / MIB, os.path.relpath(p, game)))
    if over:
        print("texture_budget: over the budget: %s" % ", ".join(over))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
