#!/usr/bin/python3
"""Takes the strategy guide's screenshots from the running game, headless:

    /usr/bin/python3 tools/guide/take_screens.py [--halvern build/halvern] [--jobs 2] [--out DIR] [NAME ...]

Each screenshot is one short run of the game (halvern -e --headless --fixed-step) on a scratch copy of
the game folder whose level file starts in the shot's room with the story's flags already set
("before", Lua run before the level starts), runs "after" a second later (open a close-up, hand over
an item, start a puzzle), optionally replays pointer input, and is photographed after "frames" ticks.
The picture is cut to a 4:3 box (centre and width in screen pixels) and scaled to the guide's
660 x 496. The names are the ones assets/menu/strguide/guide.xml uses; a shot whose room is not in
the level yet is left as it is. Needs Debian's python3 with python3-pil.
"""
import argparse
import concurrent.futures
import os
import re
import shutil
import subprocess
import sys
import tempfile

from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "lib"))
import outdir  # noqa: E402

ROOT = outdir.ROOT
LEVEL = os.path.join(ROOT, "assets", "levels", "level", "level.xml")
OUT = os.path.join(outdir.take(), "assets", "menu", "strguide", "screens")
SIZE = (660, 496)

# Every room already visited (no first-visit narration over the picture) and the tips declined.
SEEN = ("ng_var.seen = { gate = true, hall = true, workshop = true, bench = true, library = true, "
        "shelves = true, conservatory = true, potting = true, gears = true, tower = true, clockface = true }; "
        "ng_global = ng_global or {}; ng_global.tutorial_done = true; ng_var.pages = { p5 = true }; ")
HALL_OPEN = "ng_var.gate_open = true; ng_var.gate_urn_moved = true; ng_var.gate_key_taken = true; "
DOORS = HALL_OPEN + "ng_var.hall_cons_open = true; ng_var.hall_tower_open = true; "


def carry(slot, x, y, start):
    """Input lines: the item in the inventory's slot picked up and held over (x, y)."""
    sx = 242 + 90 * slot
    steps = [(0, 4, sx, 762), (45, 4, sx, 727), (5, 1, sx, 727), (1, 3, sx, 727),
             (20, 4, (sx + x) // 2, (727 + y) // 2), (10, 4, x, y)]
    lines, t = [], start
    for dt, kind, px, py in steps:
        t += dt
        lines.append("%d %d %d %d %d" % (t, kind, 1 if kind in (1, 3) else 0, px, py))
    return lines


def click(x, y, t):
    return ["%d 4 0 %d %d" % (t, x, y), "%d 1 1 %d %d" % (t + 1, x, y), "%d 3 1 %d %d" % (t + 2, x, y)]


# name: room shown first, Lua before the start, Lua a second after, input lines, ticks, crop (cx, cy, w)
SHOTS = {
    "gate_01": dict(room="room_gate", frames=200, crop=(512, 300, 800)),
    "gate_02": dict(room="room_gate", before="ng_var.gate_urn_moved = true; ", frames=200,
                    crop=(300, 380, 560)),
    "gate_03": dict(room="room_gate", before=HALL_OPEN, frames=200, crop=(512, 330, 720)),
    "hall_01": dict(room="room_hall", before=HALL_OPEN, frames=200, crop=(512, 300, 800)),
    "hall_02": dict(room="room_hall", before=HALL_OPEN, frames=200, crop=(560, 330, 560)),
    "hall_03": dict(room="room_hall", before=HALL_OPEN, after='OpenSubRoom("sub_cabinet", 263, 378, 512, 300)',
                    frames=200, crop=(512, 300, 760)),
    "hall_04": dict(room="room_hall", before=DOORS, frames=200, crop=(780, 260, 560)),
    "workshop_01": dict(room="room_workshop", before=HALL_OPEN, frames=200, crop=(512, 300, 800)),
    "bench_01": dict(room="room_bench", before=HALL_OPEN, frames=200, crop=(512, 384, 1024), needs="bench"),
    "bench_02": dict(room="room_hall", before=HALL_OPEN, after='AddObjectToInv("inv_oilcan")',
                     input=carry(0, 674, 399, 150), frames=240, crop=(600, 360, 640)),
    "library_01": dict(room="room_library", before=HALL_OPEN, frames=200, crop=(512, 300, 800)),
    "desk_01": dict(room="room_library", before=HALL_OPEN + "ng_var.desk_drawer_open = true; ng_var.desk_tasks = true; ",
                    after='OpenSubRoom("sub_desk", 244, 500, 512, 300)', frames=200, crop=(512, 300, 760)),
    "shelves_01": dict(room="room_shelves", before=HALL_OPEN, frames=200, crop=(512, 384, 1024),
                       needs="shelves"),
    "shelves_02": dict(room="room_library", before=HALL_OPEN, frames=200, crop=(740, 300, 480)),
    "cabinet_01": dict(room="room_hall", before=HALL_OPEN + "ng_var.cabinet_unlocked = true; ",
                       after='OpenSubRoom("sub_cabinet", 263, 378, 512, 300)', frames=200, crop=(512, 300, 760)),
    "conservatory_01": dict(room="room_conservatory", before=DOORS, after='AddObjectToInv("inv_gear")',
                            input=carry(0, 519, 461, 150), frames=240, crop=(560, 340, 720)),
    "potting_01": dict(room="room_potting", before=DOORS, after='potting.act("drawer")', frames=200,
                       crop=(512, 384, 1024), needs="potting"),
    "gears_01": dict(room="room_conservatory", before=DOORS + "ng_var.cons_gear_placed = true; ng_var.cons_box_wound = true; ",
                     after="gears.start()", frames=380, crop=(512, 384, 1024), needs="gears"),
    "gears_02": dict(room="room_conservatory", before=DOORS + "ng_var.cons_gear_placed = true; ng_var.cons_box_wound = true; ",
                     after="gears.start(); gears.skip()", frames=420, crop=(512, 384, 1024), needs="gears"),
    "tower_01": dict(room="room_tower", before=DOORS, frames=200, crop=(512, 300, 800)),
    "clockface_01": dict(room="room_tower", before=DOORS + "ng_var.tower_hand_fitted = true; ",
                         after="clockface.start()", frames=260, crop=(512, 384, 1024), needs="clockface"),
    "tower_02": dict(room="room_tower", before=DOORS + "ng_var.tower_hand_fitted = true; ",
                     after='tower.refresh(); ObjSet("tower_mirror_glow", { visible = 1, alp = 1 }); '
                           'ObjSet("tower_ysolde", { visible = 1, alp = 1 })',
                     frames=200, crop=(640, 300, 800)),
}


def level_rooms():
    with open(LEVEL, encoding="utf-8") as f:
        return set(re.findall(r'module = "(\w+)"', f.read()))


def game_folder(scratch, shot):
    """A copy of the game folder made of links, with the level file changed for the shot."""
    game = os.path.join(scratch, "game")
    level_dir = os.path.join(game, "assets", "levels", "level")
    os.makedirs(level_dir)
    for name in os.listdir(os.path.join(ROOT, "assets")):
        if name != "levels":
            os.symlink(os.path.join(ROOT, "assets", name), os.path.join(game, "assets", name))
    for name in os.listdir(os.path.join(ROOT, "assets", "levels")):
        if name != "level":
            os.symlink(os.path.join(ROOT, "assets", "levels", name), os.path.join(game, "assets", "levels", name))
    for name in os.listdir(os.path.join(ROOT, "assets", "levels", "level")):
        if name != "level.xml":
            os.symlink(os.path.join(ROOT, "assets", "levels", "level", name), os.path.join(level_dir, name))
    with open(LEVEL, encoding="utf-8") as f:
        text = f.read()
    escape = lambda s: s.replace("&", "&amp;").replace("<", "&lt;")
    text = text.replace('level.first = "room_gate";', 'level.first = "%s";' % shot["room"], 1)
    start = '<trig name="ng_startlevel"><code>'
    if start not in text or "level.first" not in text:
        raise SystemExit("take_screens: the level file has changed; teach this script its new start")
    text = text.replace(start, start + escape(SEEN + shot.get("before", "")), 1)
    text = text.replace("<trigs>", '<trigs>\n  <trig name="guide_shot"><code>%s</code></trig>'
                        % escape(shot.get("after", "")), 1)
    text = text.replace("SwitchRoom(level.first, 0);",
                        'SwitchRoom(level.first, 0); TimerStart("guide_shot", "guide_shot", 1);', 1)
    with open(os.path.join(level_dir, "level.xml"), "w", encoding="utf-8") as f:
        f.write(text)
    return game


def take(halvern, name, shot):
    scratch = tempfile.mkdtemp(prefix="halvern-guide-")
    try:
        game = game_folder(scratch, shot)
        user = os.path.join(scratch, "user")
        os.makedirs(user)
        walk = os.path.join(scratch, "input.txt")
        with open(walk, "w") as f:
            # The pointer leaves the window first, so no cursor stands in the picture.
            f.write("\n".join(["1 5 0 0 0"] + shot.get("input", [])) + "\n")
        png = os.path.join(scratch, "shot.png")
        run = subprocess.run([halvern, "-e", "--headless", "--fixed-step", "--frames", str(shot["frames"]),
                              "--game-dir", game, "--user-dir", user, "--input", walk, "--screenshot", png],
                             capture_output=True, text=True)
        problems = [line for line in (run.stdout + run.stderr).splitlines()
                    if "error" in line.lower() or "could not" in line.lower()]
        if run.returncode != 0 or not os.path.exists(png):
            return "%s: the run failed (%d)\n%s" % (name, run.returncode, run.stdout + run.stderr)
        cx, cy, w = shot["crop"]
        h = w * 3 // 4
        left = min(max(cx - w // 2, 0), 1024 - w)
        top = min(max(cy - h // 2, 0), 768 - h)
        picture = Image.open(png).convert("RGB").crop((left, top, left + w, top + h))
        picture.resize(SIZE, Image.LANCZOS).save(os.path.join(OUT, name + ".jpg"), quality=88, optimize=True)
        return "%s: taken%s" % (name, "".join("\n  " + p for p in problems))
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--halvern", default=os.path.join(ROOT, "build", "halvern"))
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("names", nargs="*")
    args = parser.parse_args()
    names = args.names or sorted(SHOTS)
    unknown = [n for n in names if n not in SHOTS]
    if unknown:
        sys.exit("take_screens: no shot named " + ", ".join(unknown))
    rooms = level_rooms()
    todo = []
    for name in names:
        needs = SHOTS[name].get("needs")
        if needs and needs not in rooms:
            print("%s: left as it is (the level has no %s yet)" % (name, needs))
        else:
            todo.append(name)
    os.makedirs(OUT, exist_ok=True)
    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, args.jobs)) as pool:
        for report in pool.map(lambda n: take(args.halvern, n, SHOTS[n]), todo):
            print(report, flush=True)


if __name__ == "__main__":
    main()
