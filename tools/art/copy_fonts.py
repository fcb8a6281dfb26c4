#!/usr/bin/python3
"""Copies the game's fonts from their Debian packages into assets/fonts under the names the game
loads, with the packages' copyright files beside them.

  fonts-ebgaramond  -> garapremrpro.ttf (12 Regular), garapremrpro_b.ttf (12 Bold), gara.ttf (12 Italic)
  fonts-liberation2 -> tnr.ttf (Liberation Serif Regular)

The EB Garamond files are OpenType (CFF); FreeType opens them under the .ttf name.
Run:  /usr/bin/python3 tools/art/copy_fonts.py   (make_ui.py runs it too)
"""
import os
import shutil
import sys

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
FONTS = os.path.join(ROOT, "assets", "fonts")

COPIES = [
    ("/usr/share/fonts/opentype/ebgaramond/EBGaramond12-Regular.otf", "garapremrpro.ttf"),
    ("/usr/share/fonts/opentype/ebgaramond/EBGaramond12-Bold.otf", "garapremrpro_b.ttf"),
    ("/usr/share/fonts/opentype/ebgaramond/EBGaramond12-Italic.otf", "gara.ttf"),
    ("/usr/share/fonts/truetype/liberation2/LiberationSerif-Regular.ttf", "tnr.ttf"),
    ("/usr/share/doc/fonts-ebgaramond/copyright", "LICENSE-EBGaramond.txt"),
    ("/usr/share/doc/fonts-liberation2/copyright", "LICENSE-Liberation.txt"),
]


def main():
    missing = [src for src, _ in COPIES if not os.path.exists(src)]
    if missing:
        sys.stderr.write("missing (apt-get install fonts-ebgaramond fonts-liberation2): %s\n" % ", ".join(missing))
        return 1
    os.makedirs(FONTS, exist_ok=True)
    for src, name in COPIES:
        shutil.copyfile(src, os.path.join(FONTS, name))
    return 0


if __name__ == "__main__":
    sys.exit(main())
