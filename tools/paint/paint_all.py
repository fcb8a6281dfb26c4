"""Regenerate every painted game picture: `python3 tools/paint/paint_all.py [--out DIR]` (DIR: write
under DIR instead of the repository).

Writes the room backdrops, sprites, hidden objects, puzzle pieces and inventory icons under
assets/levels/level/ with each room's objects.txt (where every object goes), the dawn, credits
backdrop and portrait of the ending, and the diary's page pictures and map under assets/diary/.
Every picture is painted from fixed seeds, so a run reproduces the committed files. Needs Debian's
python3 with python3-numpy, python3-scipy and python3-pil, and fonts-ebgaramond. About 6 minutes
on 2 cores. Check the results with preview.py (a room with its objects) and preview_diary.py.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "lib"))

from rooms import (bench, closeups, conservatory, diary, ending, gate, hall, items, library, potting,  # noqa: E402
                   puzzles, shelves, tower, workshop)


def main():
    for mod in (gate, hall, closeups, workshop, bench, library, shelves, conservatory, potting, items, puzzles,
                tower, ending, diary):
        print("painting", mod.__name__.split(".")[-1], flush=True)
        mod.build()


if __name__ == "__main__":
    main()
