#!/usr/bin/python3
"""Regenerates every interface image of Halvern: fonts, cursors, the interface bar and its widgets,
dialogs and frames, the diary's chrome, the menu and the strategy guide's album.

Run from anywhere (Debian's python3 with python3-numpy, python3-pil, python3-scipy; rsvg-convert;
optipng is used when installed to shrink the PNGs):

    /usr/bin/python3 tools/art/make_ui.py            # everything (about two minutes)
    /usr/bin/python3 tools/art/make_ui.py bar menu   # only some parts
    /usr/bin/python3 tools/art/make_ui.py --out DIR  # write under DIR/assets instead

Parts: fonts, bar, panels, diary, cursors, menu. Output goes under assets/ (PNG with alpha, JPEG
for the full-screen opaque backdrops; animations as <name>.xml + <name>_ft.xml + <name>_sheet.png).
Everything is deterministic (fixed seeds). Review with tools/art/contact_sheet.py and
tools/art/preview.py, which write PNGs to /tmp.
"""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "lib"))

import copy_fonts  # noqa: E402
import ui_bar  # noqa: E402
import ui_cursors  # noqa: E402
import ui_diary  # noqa: E402
import ui_menu  # noqa: E402
import ui_panels  # noqa: E402

PARTS = {
    "fonts": copy_fonts.main,
    "bar": ui_bar.build,
    "panels": ui_panels.build,
    "diary": ui_diary.build,
    "cursors": ui_cursors.build,
    "menu": ui_menu.build,
}


def main(args):
    names = args or list(PARTS)
    unknown = [n for n in names if n not in PARTS]
    if unknown:
        sys.stderr.write("unknown part(s): %s; parts are %s\n" % (", ".join(unknown), ", ".join(PARTS)))
        return 2
    for n in names:
        t = time.time()
        PARTS[n]()
        print("%-8s %5.1f s" % (n, time.time() - t))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
