#!/usr/bin/python3
"""Synthesises the game's sound effects into assets/audio/sfx/ and the interface sounds under
assets/audio/ (hint, diary, inventory).

Every effect is built from the same few physical pieces - struck modes (wood, brass, glass,
bells), stick-slip click trains through resonant bodies (hinges, runners, ratchets), shaped noise
(paper, air, rumble) - and placed in one of two synthetic rooms: the house's wooden interior or
the open night outside. Each is then high-passed, faded at both ends, trimmed of its inaudible
tail and set to the common effect level: peak -3 dBFS, but no louder than -13 LUFS over any
200 ms, so ringing chimes and long rumbles do not tower over knocks and clicks. Hover, heard
constantly, sits lower.

    /usr/bin/python3 tools/audio/make_sfx.py [name ...] [--out DIR]
"""
import os
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import dsp  # noqa: E402
from dsp import RATE, bell, butter, chime, exp_env, impulses, modal, noise, resonate  # noqa: E402

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "lib"))
import outdir  # noqa: E402
AUDIO = os.path.join(outdir.take(), "assets", "audio")
PEAK_DB = -3.2  # the encoder overshoots by a tenth or two
MAX_SHORT = -13.0
QUIETER = {"sfx/hover": -20.0}  # loudness caps of sounds meant to stay in the background
QUALITY = 4
LEAD_IN = 0.004

ROOM = dsp.room_ir(1.6, 0.7, seed=11, brightness=5000.0)   # lamp-lit wooden rooms
NIGHT = dsp.room_ir(3.0, 1.6, seed=12, brightness=3500.0, early=False)  # the garden, the cliff
HALL = dsp.room_ir(3.5, 2.4, seed=13, brightness=4000.0)  # the tower and its bell


def note(name):
    pcs = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}
    pc = pcs[name[0]] + name[1:-1].count("#") - name[1:-1].count("b")
    midi = 12 * (int(name[-1]) + 1) + pc
    return 440.0 * 2 ** ((midi - 69) / 12.0)


def place(buf, x, at):
    """Mixes x into buf at time at; returns buf, grown when x runs past its end."""
    i = int(round(at * RATE))
    if i + len(x) > len(buf):
        buf = np.concatenate([buf, np.zeros(i + len(x) - len(buf))])
    buf[i:i + len(x)] += x
    return buf


def blank(seconds):
    return np.zeros(int(round(seconds * RATE)))


def knock_wood(f=180.0, seed=0, decay=0.05, bright=1.0):
    """A knuckle or a wooden part landing: a few low body modes and a short noisy contact."""
    modes = modal([f, f * 2.3, f * 3.9, f * 6.1], [1.0, 0.6 * bright, 0.35 * bright, 0.2 * bright],
                  [decay, decay * 0.6, decay * 0.4, decay * 0.25], decay * 6, seed=seed)
    hit = noise(int(0.004 * RATE), seed + 1) * np.linspace(1, 0, int(0.004 * RATE)) ** 2
    modes = place(modes, 0.4 * bright * butter(hit, "band", (800, 5000)), 0)
    return modes


def clink_metal(f=2400.0, seed=0, decay=0.04, amp=1.0):
    """A small brass or iron part: sparse, inharmonic, bright modes."""
    r = dsp.rng(seed)
    ratios = [1.0, 1.47 + 0.05 * r.random(), 2.09, 2.83 + 0.1 * r.random(), 3.6]
    return amp * modal([f * k for k in ratios], [1.0, 0.7, 0.5, 0.35, 0.2],
                       [decay, decay * 0.8, decay * 0.6, decay * 0.4, decay * 0.3], decay * 8, seed=seed)


def creak(seconds, rate, body, seed, env=None, grit=0.15):
    """A hinge or runner under load: stick-slip clicks through the resonances of the body."""
    x = impulses(seconds, rate, seed)
    x = np.convolve(x, np.exp(-np.arange(int(0.0006 * RATE)) / (0.00015 * RATE)))[:len(x)]
    y = resonate(x, body)
    y /= np.abs(y).max() + 1e-12
    y += grit * butter(noise(len(x), seed + 7), "band", (1500, 6000))
    if env is not None:
        y *= np.interp(np.arange(len(y)), np.linspace(0, len(y) - 1, len(env)), env)
    return y


def slide(seconds, band, seed, roughness=25.0, env=None):
    """Wood over wood: band-limited noise chattering at the runner's roughness rate."""
    n = int(round(seconds * RATE))
    x = butter(noise(n, seed), "band", band, 2)
    chatter = 0.55 + 0.45 * butter(np.abs(noise(n, seed + 1)), "low", roughness, 2) * 3
    x *= np.clip(chatter, 0, None)
    if env is not None:
        x *= np.interp(np.arange(n), np.linspace(0, n - 1, len(env)), env)
    return x


def shimmer(seconds, lo, hi, seed, count=14, decay=0.25, rise=True):
    """A scatter of tiny high chimes drifting upward (or down): magic, sparkle."""
    out = blank(seconds + decay * 6)
    r = dsp.rng(seed)
    for k in range(count):
        at = seconds * (k / count) + r.uniform(0, seconds / count)
        frac = k / max(1, count - 1)
        f = lo * (hi / lo) ** (frac if rise else 1 - frac) * r.uniform(0.97, 1.03)
        out = place(out, chime(f, decay * 6, decay=decay * r.uniform(0.6, 1.2), seed=seed + k) *
              r.uniform(0.35, 0.8) * (0.6 + 0.4 * np.sin(np.pi * frac)), at)
    return out


def air(seconds, band, seed, env):
    """A breath of air: swelling noise, for whooshes and the hint's sweep."""
    n = int(round(seconds * RATE))
    x = butter(noise(n, seed), "band", band, 2)
    return x * np.interp(np.arange(n), np.linspace(0, n - 1, len(env)), env)


def paper(seconds, seed, weight=1.0):
    """A page turning: crinkle (fast random flutter of bright noise) over a soft swish."""
    n = int(round(seconds * RATE))
    t = np.arange(n) / n
    r = dsp.rng(seed)
    swish = butter(noise(n, seed), "band", (500 / weight, 6000), 2) * np.sin(np.pi * t) ** 1.5
    flutter = np.abs(butter(noise(n, seed + 1), "low", 60, 2))
    flutter = flutter / flutter.max()
    crinkle = butter(noise(n, seed + 2), "high", 2500, 2) * flutter ** 2
    crinkle *= np.clip(np.sin(np.pi * np.clip(t * 1.2 - 0.05, 0, 1)), 0, 1)
    snaps = blank(seconds)
    for _ in range(6):
        at = r.uniform(0.2, 0.85) * seconds
        snap = clink_metal(r.uniform(3000, 6000), seed=int(r.integers(1000)), decay=0.003, amp=0.3)
        snaps = place(snaps, snap, at)
    end_flap = knock_wood(140 * weight, seed=seed + 3, decay=0.02, bright=0.5) * 0.5
    out = butter(0.8 * swish + 1.2 * crinkle + snaps, "low", 9000, 2)   # paper, not static
    out = place(out, end_flap, seconds * 0.82)
    return out


# ------------------------------------------------------------------ effects

def click():
    x = knock_wood(900.0, seed=1, decay=0.012, bright=1.0)
    x = place(x, clink_metal(3600.0, seed=2, decay=0.008, amp=0.5), 0.0)
    return x[: int(0.12 * RATE)], ROOM, 0.08


def hover():
    x = chime(note("E7"), 0.5, decay=0.07, seed=3) * 0.6
    x += chime(note("B7"), 0.5, decay=0.05, seed=4) * 0.25
    x += air(0.5, (4000, 12000), 5, [0, 1, 0.2, 0, 0]) * 0.15
    return x, ROOM, 0.12


def door_open():
    out = blank(2.4)
    # The latch lifts...
    out = place(out, clink_metal(2100.0, seed=6, decay=0.03), 0.02)
    out = place(out, knock_wood(220.0, seed=7, decay=0.04, bright=0.6) * 0.5, 0.05)
    # ...and the old hinges complain as the door swings.
    rate = np.concatenate([np.linspace(35, 120, 30), np.linspace(120, 70, 40), np.linspace(70, 45, 30)])
    env = np.concatenate([np.linspace(0, 1, 10), np.ones(60), np.linspace(1, 0, 30)])
    body = [(420, 12, 1.0), (870, 14, 0.8), (1650, 16, 0.5), (2600, 18, 0.3)]
    out = place(out, creak(1.3, rate, body, seed=8, env=env) * 0.6, 0.18)
    out = place(out, slide(1.2, (150, 900), seed=9, roughness=8, env=[0, 0.6, 0.8, 0.4, 0]) * 0.25, 0.2)
    return out, ROOM, 0.22


def door_locked():
    out = blank(0.9)
    r = dsp.rng(10)
    for k, at in enumerate([0.0, 0.1, 0.19, 0.42, 0.5]):
        knock = knock_wood(170.0 * r.uniform(0.9, 1.1), seed=20 + k, decay=0.04)
        out = place(out, knock * (0.9 if k in (0, 3) else 0.6), at)
        bolt = clink_metal(2600.0 * r.uniform(0.9, 1.1), seed=30 + k, decay=0.02, amp=0.55)
        out = place(out, bolt, at + 0.004)
    return out, ROOM, 0.2


def pickup():
    out = blank(1.2)
    out = place(out, chime(note("D6"), 1.2, decay=0.35, seed=40), 0.0)
    out = place(out, chime(note("A6"), 1.2, decay=0.4, seed=41) * 0.9, 0.09)
    out = place(out, air(0.25, (3000, 9000), 42, [0, 1, 0]) * 0.08, 0.0)
    return out, ROOM, 0.2


def wrong():
    out = blank(0.8)
    for k, (f, at) in enumerate([(note("A3"), 0.0), (note("F3"), 0.16)]):
        n = int(0.2 * RATE)
        t = np.arange(n) / RATE
        tone = np.tanh(2.0 * np.sin(2 * np.pi * f * t)) * np.exp(-t / 0.07)
        tone = dsp.fade_edges(butter(tone, "low", 1400, 2), 0.001, 0.03)
        out = place(out, tone * 0.6, at)
        out = place(out, knock_wood(150.0, seed=50 + k, decay=0.05, bright=0.5) * 0.7, at)
    return out, ROOM, 0.15


def success():
    out = blank(2.4)
    for k, name in enumerate(["D5", "F#5", "A5", "D6"]):
        out = place(out, chime(note(name), 2.0, decay=0.9, seed=60 + k) * (0.7 + 0.1 * k), 0.11 * k)
    out = place(out, bell(note("D5"), 2.2, brightness=0.6, decay=0.9, seed=65) * 0.25, 0.33)
    return out, ROOM, 0.25


def ho_found():
    out = blank(1.4)
    for k, name in enumerate(["A6", "D7", "F#7"]):
        out = place(out, chime(note(name), 1.0, decay=0.3, seed=70 + k) * (0.9 - 0.15 * k), 0.06 * k)
    out = place(out, shimmer(0.35, 3000, 9000, 74, count=10, decay=0.05) * 0.35, 0.05)
    return out, ROOM, 0.2


def gear_turn():
    out = blank(0.8)
    r = dsp.rng(80)
    for k in range(6):
        at = 0.045 * k + r.uniform(-0.004, 0.004)
        out = place(out, clink_metal(3800 * r.uniform(0.92, 1.08), seed=81 + k, decay=0.012, amp=0.7), at)
        out = place(out, knock_wood(600, seed=90 + k, decay=0.01, bright=0.4) * 0.3, at)
    grind = slide(0.3, (300, 1200), seed=97, roughness=22, env=[0, 1, 1, 0.6, 0]) * 0.25
    out = place(out, resonate(grind, [(520, 6, 1.0), (1240, 8, 0.6)]) * 2.0, 0.0)
    out = place(out, clink_metal(1500, seed=98, decay=0.05, amp=0.9), 0.29)
    out = place(out, knock_wood(260, seed=99, decay=0.05, bright=0.8) * 0.8, 0.29)
    return out, ROOM, 0.15


def tile_slide():
    out = blank(0.7)
    out = place(out, slide(0.28, (500, 3500), seed=100, roughness=40, env=[0, 0.7, 1, 0.8, 0.3, 0]) * 0.55,
                0.0)
    out = place(out, knock_wood(320, seed=101, decay=0.035, bright=0.8), 0.27)
    return out, ROOM, 0.15


def drawer_open():
    out = blank(1.3)
    env = [0, 0.8, 1, 0.9, 0.7, 0.3, 0]
    out = place(out, slide(0.7, (250, 2200), seed=110, roughness=18, env=env) * 0.7, 0.02)
    out = place(out, creak(0.6, np.linspace(25, 40, 20), [(520, 8, 1.0), (1150, 10, 0.6)], seed=111,
                     env=[0, 1, 0.8, 0.3, 0]) * 0.25, 0.05)
    r = dsp.rng(112)
    for k in range(4):  # the odd bits in the drawer rolling about
        bit = clink_metal(r.uniform(2500, 5200), seed=113 + k, decay=0.015, amp=0.25)
        out = place(out, bit, 0.2 + 0.14 * k + r.uniform(0, 0.05))
    out = place(out, knock_wood(190, seed=118, decay=0.06, bright=0.7) * 0.9, 0.72)
    return out, ROOM, 0.2


def cabinet_open():
    out = blank(1.5)
    out = place(out, clink_metal(3000, seed=120, decay=0.02, amp=0.8), 0.0)   # the small brass lock
    out = place(out, clink_metal(1800, seed=121, decay=0.03, amp=0.6), 0.05)
    hinge = [(1900, 18, 1.0), (2900, 20, 0.7), (4300, 20, 0.4)]
    squeak = creak(0.6, np.linspace(160, 260, 20), hinge, seed=122, env=[0, 1, 0.9, 0.5, 0])
    out = place(out, squeak * 0.35, 0.16)
    for k in range(5):  # the glass door shivers in its frame
        pane = modal([2900 + 300 * k, 4700 + 200 * k, 6900], [0.6, 0.4, 0.2], [0.12, 0.08, 0.05], 0.6,
                     seed=123 + k)
        out = place(out, pane * 0.18, 0.7 + 0.03 * k)
    out = place(out, knock_wood(260, seed=130, decay=0.03, bright=0.5) * 0.4, 0.7)
    return out, ROOM, 0.2


def gate_open():
    out = blank(3.6)
    out = place(out, clink_metal(900, seed=140, decay=0.15, amp=0.7), 0.0)   # the bolt draws back
    out = place(out, clink_metal(1400, seed=141, decay=0.08, amp=0.5), 0.06)
    rate = np.concatenate([np.linspace(18, 55, 40), np.linspace(55, 30, 40), np.linspace(30, 22, 20)])
    body = [(610, 30, 1.0), (1370, 35, 0.8), (2550, 40, 0.5), (3810, 40, 0.3), (880, 25, 0.4)]
    out = place(out, creak(2.0, rate, body, seed=142, env=[0, 0.8, 1, 1, 0.7, 0.5, 0], grit=0.08) * 0.7, 0.3)
    iron = modal([182, 417, 781, 1133, 1705, 2390], [1.0, 0.8, 0.6, 0.45, 0.3, 0.2],
                 [0.9, 0.7, 0.5, 0.35, 0.25, 0.15], 2.5, seed=143)
    out = place(out, iron * 0.8, 2.35)   # and it swings against its stop
    return out, NIGHT, 0.3


def thunder():
    n = int(7.0 * RATE)
    t = np.arange(n) / RATE
    r = dsp.rng(150)
    out = np.zeros(n)
    m = int(0.35 * RATE)
    crack = butter(noise(m, 151), "band", (300, 6000), 2) * exp_env(m, 0.06, 0.002)
    crack *= 1.0 + 0.6 * np.sign(noise(len(crack), 152)) * (r.random(len(crack)) > 0.995)
    out = place(out, crack * 0.9, 0.05)
    rumble = butter(np.cumsum(noise(n, 153)), "high", 20, 2)
    rumble = butter(rumble, "low", 220, 3)
    rumble /= np.abs(rumble).max()
    env = np.zeros(n)
    peals = [(0.1, 1.0, 1.2), (0.7, 0.7, 1.0), (1.4, 0.9, 1.5), (2.6, 0.5, 1.6), (3.6, 0.35, 1.8)]
    for at, size, decay in peals:
        i = int(at * RATE)
        env[i:] += size * np.exp(-(t[i:] - at) / decay) * (1 - np.exp(-(t[i:] - at) / 0.08))
    out += rumble * env * 0.9
    mid = butter(noise(n, 154), "band", (80, 900), 2)
    out += mid * env * 0.15
    return out, NIGHT, 0.35


def achievement():
    out = blank(3.0)
    for k, name in enumerate(["D5", "A5", "D6", "F#6", "A6"]):
        out = place(out, chime(note(name), 2.4, decay=1.0, seed=160 + k) * (0.55 + 0.08 * k), 0.08 * k)
    out = place(out, bell(note("D4"), 2.8, brightness=0.5, decay=1.2, seed=166) * 0.35, 0.0)
    out = place(out, shimmer(0.8, 2500, 8000, 167, count=16, decay=0.08) * 0.3, 0.35)
    return out, ROOM, 0.28


def hint_ready():
    out = blank(1.8)
    out = place(out, shimmer(0.9, 1200, 4800, 170, count=12, decay=0.18) * 0.8, 0.0)
    out = place(out, air(1.0, (2000, 8000), 171, [0, 0.5, 1, 0.6, 0]) * 0.08, 0.0)
    out = place(out, chime(note("A6"), 1.0, decay=0.4, seed=172) * 0.35, 0.85)
    return out, ROOM, 0.3


def minigame_solved():
    out = blank(3.4)
    r = dsp.rng(180)
    for k in range(4):  # the mechanism locks into place
        pawl = clink_metal(3200 * r.uniform(0.9, 1.1), seed=181 + k, decay=0.015, amp=0.6)
        out = place(out, pawl, 0.06 * k)
    out = place(out, knock_wood(240, seed=186, decay=0.06), 0.24)
    out = place(out, clink_metal(1200, seed=187, decay=0.08, amp=0.7), 0.24)
    for k, name in enumerate(["A5", "D6", "E6", "F#6", "A6", "D7"]):  # the music box runs up the theme
        out = place(out, chime(note(name), 1.8, decay=0.7, seed=188 + k) * 0.55, 0.38 + 0.075 * k)
    out = place(out, bell(note("D5"), 2.8, brightness=0.55, decay=1.3, seed=195) * 0.4, 0.8)
    return out, ROOM, 0.28


def page_turn():
    return paper(0.55, 200), ROOM, 0.15


def clock_strike():
    out = blank(5.5)
    out = place(out, knock_wood(300, seed=210, decay=0.02, bright=0.8) * 0.4, 0.0)   # the hammer
    out = place(out, bell(note("E4"), 5.4, brightness=0.75, decay=1.8, seed=211), 0.01)
    return out, HALL, 0.3


# The interface's fixed sounds.

def common_s_hint():
    out = blank(2.0)
    out = place(out, air(1.1, (800, 7000), 220, [0, 0.4, 1, 0.7, 0]) * 0.2, 0.0)
    out = place(out, shimmer(1.0, 900, 7000, 221, count=20, decay=0.12) * 0.7, 0.05)
    out = place(out, chime(note("D7"), 1.0, decay=0.45, seed=222) * 0.4, 1.0)
    return out, ROOM, 0.32


def common_s_diary():
    return paper(0.6, 230, weight=1.3), ROOM, 0.15


def common_s_todiary():
    out = blank(1.2)
    # A quick quill stroke, then a small chime as the page settles in.
    stroke = slide(0.22, (2500, 8000), seed=240, roughness=70, env=[0, 1, 0.8, 1, 0]) * 0.35
    out = place(out, stroke, 0.0)
    out = place(out, slide(0.15, (2500, 8000), seed=241, roughness=70, env=[0, 1, 0.6, 0]) * 0.3, 0.26)
    out = place(out, chime(note("F#6"), 0.9, decay=0.3, seed=242) * 0.55, 0.42)
    out = place(out, chime(note("D6"), 0.9, decay=0.35, seed=243) * 0.45, 0.5)
    return out, ROOM, 0.2


def s_common_open_diary():
    out = blank(1.2)
    out = place(out, creak(0.25, np.linspace(60, 90, 10), [(300, 5, 1.0), (700, 6, 0.6)], seed=250,
                     env=[0, 1, 0.6, 0]) * 0.3, 0.0)     # the leather spine
    out = place(out, knock_wood(120, seed=251, decay=0.06, bright=0.4), 0.22)   # the cover lands
    out = place(out, paper(0.45, 252, weight=1.4) * 0.7, 0.26)
    return out, ROOM, 0.18


def s_common_flyend_indiary():
    out = blank(1.1)
    out = place(out, air(0.4, (600, 5000), 260, [0, 0.3, 1, 0.2, 0]) * 0.35, 0.0)
    out = place(out, chime(note("A6"), 0.8, decay=0.25, seed=261) * 0.6, 0.33)
    out = place(out, knock_wood(500, seed=262, decay=0.015, bright=0.5) * 0.25, 0.33)
    return out, ROOM, 0.18


def common_s_gettoinv():
    out = blank(0.9)
    out = place(out, knock_wood(130, seed=270, decay=0.05, bright=0.35), 0.0)   # into the satchel
    rustle = butter(noise(int(0.06 * RATE), 271), "band", (400, 3000)) * exp_env(int(0.06 * RATE), 0.015)
    out = place(out, dsp.fade_edges(rustle, 0.001, 0.02) * 0.2, 0.0)
    out = place(out, chime(note("D7"), 0.7, decay=0.2, seed=272) * 0.35, 0.03)
    return out, ROOM, 0.15


EFFECTS = {
    "sfx/click": click, "sfx/hover": hover, "sfx/door_open": door_open, "sfx/door_locked": door_locked,
    "sfx/pickup": pickup, "sfx/wrong": wrong, "sfx/success": success, "sfx/ho_found": ho_found,
    "sfx/gear_turn": gear_turn, "sfx/tile_slide": tile_slide, "sfx/drawer_open": drawer_open,
    "sfx/cabinet_open": cabinet_open, "sfx/gate_open": gate_open, "sfx/thunder": thunder,
    "sfx/achievement": achievement, "sfx/hint_ready": hint_ready, "sfx/minigame_solved": minigame_solved,
    "sfx/page_turn": page_turn, "sfx/clock_strike": clock_strike,
    "common_s_hint": common_s_hint, "common_s_diary": common_s_diary, "common_s_todiary": common_s_todiary,
    "s_common_open_diary": s_common_open_diary, "s_common_flyend_indiary": s_common_flyend_indiary,
    "common_s_gettoinv": common_s_gettoinv,
}


def finish(dry, ir, wet, cap=MAX_SHORT):
    dry = butter(dry, "high", 30, 2)   # no sub-sonic drift or DC
    dry = np.concatenate([np.zeros(int(LEAD_IN * RATE)), dry])  # start from silence, not on the hit
    wide = dsp.reverb(dry, ir, wet)
    wide = dsp.trim_tail(wide, floor_db=-62.0, keep=0.04)
    wide = dsp.fade_edges(wide, fade_in=0.001, fade_out=0.03)
    wide *= 10 ** (PEAK_DB / 20.0) / np.max(np.abs(wide))
    loud = dsp.momentary_max(wide, 0.2)
    if loud > cap:
        wide *= 10 ** ((cap - loud) / 20.0)
    return wide


def main(argv):
    for name, fn in EFFECTS.items():
        if argv and name.split("/")[-1] not in argv:
            continue
        dry, ir, wet = fn()
        out = finish(dry, ir, wet, QUIETER.get(name, MAX_SHORT))
        dsp.encode_ogg(out, os.path.join(AUDIO, name + ".ogg"), QUALITY)
        print("%-26s %5.2f s  peak %5.1f dB  loudest 200 ms %6.1f LUFS"
              % (name, len(out) / RATE, dsp.peak_db(out), dsp.momentary_max(out, 0.2)))


if __name__ == "__main__":
    main(sys.argv[1:])
