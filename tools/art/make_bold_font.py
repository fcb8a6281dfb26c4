#!/usr/bin/python3
"""Completes the bold text font: EB Garamond 12 Bold, as Debian ships it, holds only ASCII and the
upper half of Latin-1's symbols, so German letters, typographic quotes and Cyrillic would be missing
from every bold caption. This writes assets/fonts/garapremrpro_b.ttf: the Bold font's own glyphs
unchanged, plus every glyph of the ranges below that it lacks, made from EB Garamond 12 Regular:
  - Cyrillic look-alikes (А, е, о, ...) built as references to the Bold Latin letters;
  - accented letters whose mark sits above the letter: the Bold base letter, with the Regular
    glyph's accent emboldened and centred over it;
  - everything else (ß, Cyrillic, quotes, dashes): the Regular glyph emboldened by FontForge's
    changeWeight, by about the difference between the two weights' stems.
Both sources are the pinned files of tools/manifest.toml ([fonts]); the result is OFL like them.
Run:  /usr/bin/python3 tools/art/make_bold_font.py [--out DIR]   (after copy_fonts.py)
"""
import hashlib
import os
import sys
import tomllib
import unicodedata

# FontForge stamps the font with this time instead of now, so that the output is the same every run.
os.environ.setdefault("SOURCE_DATE_EPOCH", "1700000000")
import fontforge  # noqa: E402
import psMat  # noqa: E402

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "lib"))
import outdir  # noqa: E402

MANIFEST = os.path.join(outdir.ROOT, "tools", "manifest.toml")
REGULAR = "assets/fonts/garapremrpro.ttf"
TARGET = "assets/fonts/garapremrpro_b.ttf"
BOLD_SOURCE = "/usr/share/fonts/opentype/ebgaramond/EBGaramond12-Bold.otf"
BOLD_SHA256 = "9a65d97bb80ebd3e564791de7a372312c86cc3f9bc3c2b673c786e61e7f15edb"
# Stem difference between the Bold and the Regular, in font units (1000 an em).
STEM_DELTA = 30
RANGES = [(0xA0, 0x17F), (0x400, 0x45F), (0x2010, 0x2026), (0x2039, 0x203A), (0x20AC, 0x20AC),
          (0x2116, 0x2116)]
# Combining marks drawn above the letter: the accent is lifted from the Regular glyph.
MARKS_ABOVE = set(range(0x300, 0x315))


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def pinned_regular():
    with open(MANIFEST, "rb") as f:
        entry = tomllib.load(f)["fonts"][REGULAR]
    if sha256(entry["source"]) != entry["sha256"]:
        sys.exit(f"make_bold_font: {entry['source']} is not the pinned file")
    return entry["source"]


def emboldened(regular, cp, contours=None):
    """A layer with the Regular glyph's contours (or the given ones) emboldened."""
    scratch = fontforge.font()
    scratch.em = regular.em
    g = scratch.createChar(cp)
    g.foreground = contours if contours is not None else regular[cp].foreground
    g.width = regular[cp].width
    g.changeWeight(STEM_DELTA, "auto", 0, 0, "retain")
    g.removeOverlap()
    return g.foreground, g.width


def compose(bold, regular, cp, base, top):
    """The Bold base letter with the Regular glyph's accent (the contours above the base) over it."""
    rb = regular[base].boundingBox()
    accent = fontforge.layer()
    for contour in regular[cp].foreground:
        box = contour.boundingBox()
        if box[1] >= top - 20:
            accent += contour
    if len(accent) == 0:
        return False
    layer, _ = emboldened(regular, cp, accent)
    bb = bold[base].boundingBox()
    layer.transform(psMat.translate((bb[0] + bb[2]) / 2 - (rb[0] + rb[2]) / 2, 0))
    g = bold.createChar(cp)
    g.clear()
    g.addReference(bold[base].glyphname)
    g.foreground += layer
    g.width = bold[base].width
    return True


def main():
    out = os.path.join(outdir.take(), TARGET)
    if sha256(BOLD_SOURCE) != BOLD_SHA256:
        sys.exit(f"make_bold_font: {BOLD_SOURCE} is not the pinned file")
    bold = fontforge.open(BOLD_SOURCE)
    regular = fontforge.open(pinned_regular())
    wanted = [cp for lo, hi in RANGES for cp in range(lo, hi + 1) if cp in regular and cp not in bold]
    original = {g.unicode for g in bold.glyphs() if g.unicode >= 0}
    made = {"built": 0, "composed": 0, "emboldened": 0}
    rest = []
    for cp in wanted:
        decomposition = unicodedata.decomposition(chr(cp)).split()
        # Look-alikes: FontForge builds Cyrillic А from Latin A and the like. Only letters: it would
        # build the curly quotes from the straight ones.
        g = bold.createChar(cp)
        if unicodedata.category(chr(cp)).startswith("L"):
            g.build()
        if len(g.references) > 0 and all(bold[r[0]].unicode in original for r in g.references):
            made["built"] += 1
            continue
        g.clear()
        if (len(decomposition) == 2 and not decomposition[0].startswith("<")
                and int(decomposition[1], 16) in MARKS_ABOVE):
            base = int(decomposition[0], 16)
            if base in original and chr(base) not in "ij":
                top = regular[base].boundingBox()[3]
                if compose(bold, regular, cp, base, top):
                    made["composed"] += 1
                    continue
        rest.append(cp)
    for cp in rest:
        layer, width = emboldened(regular, cp)
        g = bold.createChar(cp)
        g.clear()
        g.foreground = layer
        g.width = width + STEM_DELTA
        g.transform(psMat.translate(STEM_DELTA / 2, 0))
        made["emboldened"] += 1
    bold.fontname = "EBGaramond12-Bold-Halvern"
    bold.familyname = "EB Garamond 12"
    bold.fullname = "EB Garamond 12 Bold (Halvern)"
    os.makedirs(os.path.dirname(out), exist_ok=True)
    bold.generate(out, flags=("opentype", "omit-instructions"))
    print(f"make_bold_font: {out}: {made['built']} built, {made['composed']} composed, "
          f"{made['emboldened']} emboldened")


if __name__ == "__main__":
    main()
