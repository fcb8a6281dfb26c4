#!/usr/bin/python3
"""tests/web/browser_test.py [--web DIR] [--keep DIR] [--timeout S] [--update]: plays the start of the bundled
game's walk in headless Chromium, from the page that scripts/web builds (DIR, default out/web).

The walk (tests/data/playthrough: the menu, a new player, a new game, the gate, the hall) is turned
into the game's input files by scripts/playthrough.awk and replayed with --fixed-step, as on the
desktop, so every step is the same; the input file is placed in the game's file system before it
starts. The window closes in the hall; the page is reloaded and the game continues from the autosave
kept in the browser's storage. The shots the game writes are read back through the page and compared
with the desktop's references, reduced by four as scripts/playthrough does. Last, a plain load of the
page in a wider window (the canvas letterboxed, the loading bar following the whole download, a real click on the canvas
starting the audio) and one in a browser without WebGL 2, which must get the page's note.
The continued hall has a reference of its own in tests/data/web/ (the room's greeting is not shown
again): --update writes it from the desktop build's run of the same walk.

Prints the time to the first frame and to the menu, the frame times in the hall and the difference
of every shot. Exit status 0 when every shot matches."""

import argparse
import base64
import io
import json
import os
import subprocess
import sys
import tempfile
import time
import urllib.parse

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "scripts"))

from chromium_page import Browser, BrowserError, find_chromium  # noqa: E402

WALK = os.path.join(ROOT, "tests", "data", "playthrough")
# References of the shots this walk takes that the whole walk does not (written by --update).
OWN = os.path.join(ROOT, "tests", "data", "web")
# The same rule as the desktop's screen comparisons: a reduced pixel differs when a channel is
# further off than this, and half a percent of them may.
CHANNEL_TOLERANCE = 24
ALLOWED_SHARE = 1 / 200
# The walk steps on which the menu is shown (a new player is clicked) and the hall's stretch.
MENU_STEP = 100

# Counts the animation frames the game is given and how long each takes, before the page's scripts
# run, so that timings need nothing from the program.
FRAME_PROBE = """
(function () {
  var times = window.halvernFrames = [];
  var raf = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = function (callback) {
    return raf(function (stamp) {
      var start = performance.now();
      callback(stamp);
      if (times.length < 100000) times.push([start, performance.now() - start]);
    });
  };
})();
"""


def walk_files(folder):
    """The walk to the hall, a close there, and the continue from the menu into the hall again."""
    def lines(name):
        with open(os.path.join(WALK, name), encoding="utf-8") as f:
            return f.read().splitlines()

    walk = lines("010_menu.txt") + lines("020_gate.txt")
    for line in lines("030_hall.txt"):
        walk.append(line)
        if line.split("#")[0].split() == ["shot", "hall"]:
            break
    walk.append("quit")
    after_quit = False
    for line in lines("070_continue.txt"):
        words = line.split("#")[0].split()
        if words == ["quit"]:
            after_quit = True
        elif after_quit:
            if words[:1] == ["shot"]:
                walk.append("shot hall_continued")
                break
            walk.append(line)
    path = os.path.join(folder, "walk.txt")
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(walk) + "\n")
    subprocess.run(["awk", "-v", f"dir={folder}", "-f", os.path.join(ROOT, "scripts", "playthrough.awk"), path],
                   check=True)
    runs = []
    with open(os.path.join(folder, "runs.txt")) as f:
        for line in f:
            run, steps = line.split()
            with open(os.path.join(folder, f"input-{run}.txt")) as g:
                events = g.read()
            with open(os.path.join(folder, f"shots-{run}.txt")) as g:
                shots = [(int(s), n) for s, n in (x.split() for x in g if x.strip())]
            runs.append((int(run), int(steps), events, shots))
    return runs


def reduced(image):
    """The image scaled down by four with a box filter, rounded as the desktop's tools do."""
    w, h = image.width // 4, image.height // 4
    pixels = image.convert("RGBA").load()
    out = []
    for y in range(h):
        row = []
        for x in range(w):
            sums = [8, 8, 8, 8]
            for dy in range(4):
                for dx in range(4):
                    p = pixels[x * 4 + dx, y * 4 + dy]
                    for c in range(4):
                        sums[c] += p[c]
            row.append(tuple(s // 16 for s in sums))
        out.append(row)
    return out, w, h


def compare(shot_png, reference_path):
    """(differing pixels, allowed, mean difference per channel) of a shot against its reference."""
    from PIL import Image

    got, w, h = reduced(Image.open(io.BytesIO(shot_png)))
    reference = Image.open(reference_path).convert("RGBA")
    if reference.size != (w, h):
        raise ValueError(f"the shot reduces to {w}x{h}, its reference is {reference.width}x{reference.height}")
    ref = reference.load()
    differing = 0
    total = 0
    for y in range(h):
        for x in range(w):
            a, b = got[y][x], ref[x, y]
            deltas = [abs(a[c] - b[c]) for c in range(3)]
            total += sum(deltas)
            if max(deltas) > CHANNEL_TOLERANCE:
                differing += 1
    return differing, int(w * h * ALLOWED_SHARE), total / (w * h * 3)


def reference(name):
    own = os.path.join(OWN, name + ".png")
    return own if os.path.exists(own) else os.path.join(WALK, name + ".png")


def update(runs, build):
    """Plays the same runs with the desktop build and writes the references only this walk needs."""
    from PIL import Image

    program = os.path.join(build, "halvern")
    with tempfile.TemporaryDirectory(prefix="halvern-web-update-") as work:
        user = os.path.join(work, "user")
        os.makedirs(user)
        env = {**os.environ, "SDL_VIDEODRIVER": "offscreen", "SDL_AUDIODRIVER": "dummy", "LC_ALL": "", "LANG": "C"}
        for run, steps, events, shots in runs:
            inputs = os.path.join(work, f"input-{run}.txt")
            with open(inputs, "w") as f:
                f.write(events)
            args = [program, "--headless", "--fixed-step", "--lang", "en", "--frames", str(steps),
                    "--input", inputs, "--user-dir", user]
            for step, name in shots:
                args += ["--screenshot-at", f"{step}:{work}/{name}-{run}.png"]
            subprocess.run(args, check=True, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            for step, name in shots:
                if os.path.exists(os.path.join(WALK, name + ".png")):
                    continue
                pixels, w, h = reduced(Image.open(f"{work}/{name}-{run}.png"))
                image = Image.new("RGBA", (w, h))
                image.putdata([p for row in pixels for p in row])
                os.makedirs(OWN, exist_ok=True)
                image.save(os.path.join(OWN, name + ".png"), optimize=True)
                print(f"browser test: wrote {os.path.join(OWN, name + '.png')} (step {step}); look at it")
    return 0


def place_input(run, events):
    """The script that writes the run's input file into the game's file system before it starts."""
    return ("window.halvernBeforeRun = function (Module) {"
            " Module.FS_createPath('/', 'walk', true, true);"
            " Module.FS_createPath('/', 'shots', true, true);"
            f" Module.FS_createDataFile('/walk', 'input-{run}.txt', {json.dumps(events)}, true, true);"
            "};")


READ_FILE = """
(function (path) {
  var fs = (typeof FS !== 'undefined') ? FS : Module.FS;
  try { var bytes = fs.readFile(path); } catch (e) { return null; }
  var text = '';
  for (var i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
  return btoa(text);
})(%s)
"""


def frame_figures(frames, first, last):
    """Mean callback time and mean interval (ms) of the animation frames FIRST..LAST."""
    span = frames[first:last]
    if len(span) < 2:
        return None
    busy = sum(f[1] for f in span) / len(span)
    interval = (span[-1][0] - span[0][0]) / (len(span) - 1)
    return busy, interval


def step_figures(stats, first, last):
    """Means of the game's own --frame-stats lines (tick,update_ms,draw_ms,wall_ms) FIRST..LAST."""
    rows = []
    for line in stats.splitlines()[1:]:
        fields = line.split(",")
        if len(fields) == 4 and first <= int(fields[0]) < last:
            rows.append([float(f) for f in fields[1:]])
    if not rows:
        return "no frame statistics"
    update, draw, wall = (sum(r[i] for r in rows) / len(rows) for i in range(3))
    return f"the game counts {update:.2f} ms update, {draw:.2f} ms draw, {wall:.2f} ms to the finished frame"


def main():
    sys.stdout.reconfigure(line_buffering=True)
    parser = argparse.ArgumentParser()
    parser.add_argument("--web", default=os.path.join(ROOT, "out", "web"))
    parser.add_argument("--keep", help="write the shots and the page's screenshots into this folder")
    parser.add_argument("--timeout", type=float, default=900, help="seconds a run may take")
    parser.add_argument("--update", action="store_true",
                        help="write the references the whole walk lacks from the desktop build (HALVERN_BUILD)")
    options = parser.parse_args()
    if options.update:
        with tempfile.TemporaryDirectory(prefix="halvern-web-walk-") as folder:
            return update(walk_files(folder), os.environ.get("HALVERN_BUILD", os.path.join(ROOT, "build")))

    if not os.path.isfile(os.path.join(options.web, "index.html")):
        print(f"browser test: {options.web} holds no index.html; build it with scripts/web", file=sys.stderr)
        return 1
    if not find_chromium():
        print("browser test: chromium is missing (scripts/deps --web installs it)", file=sys.stderr)
        return 1
    keep = options.keep
    if keep:
        os.makedirs(keep, exist_ok=True)

    started = time.monotonic()
    scratch = tempfile.mkdtemp(prefix="halvern-web-")
    runs = walk_files(scratch)
    server = subprocess.Popen([sys.executable, os.path.join(ROOT, "scripts", "web-serve"), options.web, "0"],
                              stdout=subprocess.PIPE, env={**os.environ, "HALVERN_SERVE_QUIET": "1"}, text=True)
    address = server.stdout.readline().split(" at ")[-1].strip()
    browser = None
    failed = False
    try:
        browser = Browser()
        probe = browser.before_load(FRAME_PROBE)
        for run, steps, events, shots in runs:
            args = ["--fixed-step", "--lang", "en", "--frames", str(steps), "--input", f"/walk/input-{run}.txt"]
            for step, name in shots:
                args += ["--screenshot-at", f"{step}:/shots/{name}-{run}.png"]
            args += ["--frame-stats", f"/shots/frames-{run}.txt"]
            url = address + "index.html?args=" + urllib.parse.quote(" ".join(args))
            placing = browser.before_load(place_input(run, events))
            run_started = time.monotonic()
            browser.navigate(url)  # a second run is a reload of the same page with its own steps
            state = browser.wait_for("['ended','failed'].indexOf(document.documentElement.dataset.state) >= 0"
                                     " && document.documentElement.dataset.state", options.timeout, poll=1)
            browser.forget_before_load(placing)
            seconds = time.monotonic() - run_started
            if state != "ended":
                print(f"browser test: run {run} did not end normally ({state or 'timed out'}) after {seconds:.0f} s",
                      file=sys.stderr)
                print("\n".join(browser.console[-20:]), file=sys.stderr)
                failed = True
                break
            frames = browser.evaluate("window.halvernFrames") or []
            print(f"browser test: run {run}: {steps} steps in {seconds:.1f} s")
            # The last STEPS animation frames were the game's steps; those before waited for the storage.
            first = max(0, len(frames) - steps)
            if run == 0 and len(frames) > first + MENU_STEP:
                print(f"browser test: the first step {frames[first][0] / 1000:.2f} s after the page was asked "
                      f"for, the menu (step {MENU_STEP}) {frames[first + MENU_STEP][0] / 1000:.2f} s")
            stats = browser.evaluate(READ_FILE % json.dumps(f"/shots/frames-{run}.txt"))
            stats = base64.b64decode(stats).decode() if stats else ""
            for step, name in shots:
                data = browser.evaluate(READ_FILE % json.dumps(f"/shots/{name}-{run}.png"))
                if not data:
                    print(f"browser test: the shot {name} (run {run}, step {step}) was not written", file=sys.stderr)
                    failed = True
                    continue
                png = base64.b64decode(data)
                if keep:
                    with open(os.path.join(keep, f"{name}-{run}.png"), "wb") as f:
                        f.write(png)
                if name == "hall" and run == 0:
                    figures = frame_figures(frames, first + step - 50, first + step)
                    if figures:
                        print(f"browser test: the hall's last 50 frames: {figures[0]:.2f} ms in the frame's "
                              f"callback, one every {figures[1]:.2f} ms; {step_figures(stats, step - 50, step)}")
                try:
                    differing, allowed, mean = compare(png, reference(name))
                except (OSError, ValueError) as e:
                    print(f"browser test: {name} (run {run}): {e}", file=sys.stderr)
                    failed = True
                    continue
                verdict = "looks as it should" if differing <= allowed else "DIFFERS"
                print(f"browser test: {name} (run {run}, step {step}) {verdict}: {differing} reduced pixels "
                      f"differ (at most {allowed}), mean difference {mean:.2f} of 255")
                failed = failed or differing > allowed

        browser.forget_before_load(probe)
        if not failed:
            failed = not check_page(browser, address, keep)
        if not failed:
            failed = not check_without_webgl2(address)
    except BrowserError as e:
        print(f"browser test: {e}", file=sys.stderr)
        if browser:
            print("\n".join(browser.console[-20:]), file=sys.stderr)
        failed = True
    finally:
        if browser:
            browser.close()
        server.terminate()
        server.wait()
    print(f"browser test: {'FAILED' if failed else 'passed'} in {time.monotonic() - started:.0f} s")
    return 1 if failed else 0


def check_page(browser, address, keep):
    """A plain start in a wide window: the canvas letterboxed with its aspect, and audio on a click."""
    browser.call("Emulation.setDeviceMetricsOverride", session=True, width=1280, height=720,
                 deviceScaleFactor=1, mobile=False)
    browser.navigate(address + "index.html")
    if browser.wait_for("document.documentElement.dataset.state == 'running'", 120) is None:
        print("browser test: the page did not start the game", file=sys.stderr)
        return False
    box = browser.evaluate("(function () { var r = document.getElementById('canvas').getBoundingClientRect();"
                           " return [r.left, r.top, r.width, r.height]; })()")
    ok = True
    if abs(box[2] / box[3] - 4 / 3) > 0.01 or abs(box[0] * 2 + box[2] - 1280) > 2 or box[3] > 720:
        print(f"browser test: the canvas is not centred with its aspect kept: {box}", file=sys.stderr)
        ok = False
    time.sleep(2)
    browser.click(box[0] + box[2] / 2, box[1] + box[3] / 2)
    time.sleep(1)
    audio = browser.evaluate("(function () { var s = Module.SDL2; return s && s.audioContext ?"
                             " s.audioContext.state : 'no audio context'; })()")
    print(f"browser test: the canvas at {box[2]:.0f}x{box[3]:.0f} in 1280x720; audio after a click: {audio}")
    if audio not in ("running", "no audio context"):
        print("browser test: a click on the canvas did not start the audio", file=sys.stderr)
        ok = False
    download = (browser.evaluate("document.documentElement.dataset.download") or "0/0").split("/")
    if download[0] != download[1] or float(download[1]) == 0:
        print(f"browser test: the loading bar saw {'/'.join(download)} bytes of the data", file=sys.stderr)
        ok = False
    if keep:
        browser.screenshot(os.path.join(keep, "page.png"))
    return ok


def check_without_webgl2(address):
    """A browser without WebGL 2 gets the page's note, and the engine is not even loaded."""
    browser = Browser(extra_flags=["--disable-webgl2"])
    try:
        browser.navigate(address + "index.html")
        state = browser.wait_for("document.documentElement.dataset.state", 60)
        loaded = browser.evaluate("typeof Module !== 'undefined' || typeof FS !== 'undefined'")
    finally:
        browser.close()
    if state != "nogl" or loaded:
        print(f"browser test: without WebGL 2 the page is {state or 'stuck'}, the engine "
              f"{'loaded' if loaded else 'not loaded'}", file=sys.stderr)
        return False
    print("browser test: without WebGL 2 the page says so")
    return True


if __name__ == "__main__":
    sys.exit(main())
