#!/usr/bin/python3
"""Synthesises the ambience loops into assets/audio/env/.

Each loop is periodic by construction, so it repeats without a seam: its noise is made in the
frequency domain over exactly one loop length, its slow modulations complete whole cycles
within the loop, its events (drops, crackles, ticks) wrap past the end onto the start, and
anything with memory (time-varying filters, reverb) runs over two periods of which the second
is kept. Every loop is then set to the ambience loudness target.

    /usr/bin/python3 tools/audio/make_env.py [name ...] [--out DIR]
"""
import os
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import dsp  # noqa: E402
from dsp import (RATE, add_wrapped, butter, colored_noise_loop, filter_loop, periodic_lfo,  # noqa: E402
                 tv_filter)
from make_sfx import clink_metal, creak, knock_wood, modal  # noqa: E402

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "lib"))
import outdir  # noqa: E402
OUT = os.path.join(outdir.take(), "assets", "audio", "env")
TARGET_LUFS = -20.0
CEILING_DB = -1.5   # true peak
QUALITY = 2.5

ROOM = dsp.room_ir(1.6, 0.7, seed=21, brightness=5000.0)
TOWER = dsp.room_ir(4.0, 2.6, seed=22, brightness=3500.0)
GLASS = dsp.room_ir(2.5, 1.4, seed=23, brightness=7000.0)


def pan(mono, position):
    """Constant-power placement, position -1 (left) .. 1 (right)."""
    a = (position + 1) * np.pi / 4
    return np.stack([mono * np.cos(a), mono * np.sin(a)], axis=1)


def gusts(n, seed, cycles=(3, 5, 7), smooth=True):
    """0..1 gust strength that repeats over n samples."""
    r = dsp.rng(seed)
    t = np.arange(n) / n
    g = np.zeros(n)
    for k, c in enumerate(cycles):
        g += r.uniform(0.5, 1.0) / (k + 1) * np.sin(2 * np.pi * c * t + r.uniform(0, 2 * np.pi))
    g = (g - g.min()) / (g.max() - g.min())
    g = 0.12 + 0.88 * g   # the storm never quite drops
    return g ** 1.5 if smooth else g


def rain():
    n = 30 * RATE
    r = dsp.rng(300)
    # Rain is mostly many tiny impacts; a soft wash underneath fills the gaps.
    out = 0.06 * colored_noise_loop(n, 301, -3.0, lo=500, hi=9000)
    out += 0.22 * colored_noise_loop(n, 303, -4.5, lo=60, hi=2500)
    swell = 1.0 + periodic_lfo(n, 2, 302, depth=0.15)
    for c in range(2):
        drops = np.zeros(n)
        for _ in range(3200):
            f = r.uniform(1500, 6500)
            tau = r.uniform(0.001, 0.005)
            m = int(tau * 6 * RATE)
            tt = np.arange(m) / RATE
            d = np.sin(2 * np.pi * f * tt * (1 + 0.3 * tt / (tau * 6))) * np.exp(-tt / tau)
            add_wrapped(drops, d * r.lognormal(-1.3, 0.7), int(r.integers(0, n)))
        out[:, c] += 0.3 * drops
    out *= swell[:, None]
    # Heavier drips from the eaves, each with the rising chirp of a bubble.
    drips = np.zeros((n, 2))
    for _ in range(26):
        f = r.uniform(700, 1600)
        m = int(0.06 * RATE)
        tt = np.arange(m) / RATE
        d = np.sin(2 * np.pi * f * tt * (1 + 4.0 * tt)) * np.exp(-tt / 0.012)
        add_wrapped(drips, pan(d * r.uniform(0.3, 0.6), r.uniform(-0.8, 0.8)), int(r.integers(0, n)))
    out += drips
    return dsp.reverb_loop(out, ROOM, wet=0.18)


def storm_wind():
    n = 40 * RATE
    g = gusts(n, 310, cycles=(3, 5, 8))
    out = np.zeros((n, 2))
    for c in range(2):
        gc = np.roll(g, int(0.7 * RATE) * c)   # the gust reaches one ear a little later
        gc = np.clip(gc * (1.0 + periodic_lfo(n, 67, 315 + c, depth=0.18, harmonics=4)), 0, 1.2)
        base = colored_noise_loop(n, 311 + c, -3.0, lo=40, hi=9000, channels=1)[:, 0]
        body = filter_loop(base, lambda x: tv_filter(x, np.tile(250 + 1400 * gc, 2), 0.7, kind="low"))
        howl1 = filter_loop(base, lambda x: tv_filter(x, np.tile(260 + 420 * gc, 2), 14.0))
        howl2 = filter_loop(base, lambda x: tv_filter(x, np.tile(620 + 700 * gc ** 1.3, 2), 22.0))
        rumble = filter_loop(colored_noise_loop(n, 320 + c, -6.0, lo=20, hi=300, channels=1)[:, 0],
                             lambda x: butter(x, "low", 140, 2))
        out[:, c] = (0.5 * body * (0.35 + 0.65 * gc) + 1.4 * howl1 * gc ** 2 + 1.0 * howl2 * gc ** 3
                     + 0.35 * rumble * (0.5 + 0.5 * gc))
    # The sea breaking below the cliff.
    r = dsp.rng(330)
    for at in (0.0, 8.7, 17.1, 27.6, 33.4):
        m = int(12.0 * RATE)
        tt = np.arange(m) / RATE
        env = (1 - np.exp(-tt / 1.2)) * np.exp(-tt / 2.2) * np.minimum(1, (12.0 - tt) / 2.0)
        surf = butter(dsp.noise(m, int(r.integers(1 << 30)), channels=2), "band", (90, 900), 2)
        add_wrapped(out, surf * env[:, None] * r.uniform(0.5, 0.8), int(at * RATE))
    return out


def fire():
    n = 30 * RATE
    r = dsp.rng(340)
    flicker = 1.0 + periodic_lfo(n, 37, 341, depth=0.25, harmonics=4) + periodic_lfo(n, 5, 342, depth=0.2)
    roar = colored_noise_loop(n, 343, -6.0, lo=30, hi=500)
    out = 0.35 * roar * flicker[:, None]
    hiss = colored_noise_loop(n, 344, -3.0, lo=1200, hi=8000)
    out += 0.02 * hiss * (1.0 + periodic_lfo(n, 41, 345, depth=0.4, harmonics=4))[:, None]
    crack = np.zeros((n, 2))
    t = 0.0
    while t < 30.0:   # sap and embers: bursts of sharp clicks, mostly small, now and then big
        burst = int(r.integers(1, 7))
        p = r.uniform(-0.7, 0.7)
        amp = r.pareto(2.2) * 0.2 + 0.04
        for k in range(burst):
            f = r.uniform(1500, 7000)
            c = modal([f, f * 1.7, f * 0.45], [1.0, 0.5, 0.4], [r.uniform(0.0006, 0.0025)] * 3, 0.02,
                      seed=int(r.integers(1 << 30)))
            add_wrapped(crack, pan(c * amp * r.uniform(0.3, 1.0), p + r.uniform(-0.1, 0.1)),
                        int((t + k * r.uniform(0.003, 0.025)) * RATE))
        t += r.exponential(1.0 / 9.0)
    for _ in range(9):   # the odd log settling: a soft pop
        at = int(r.integers(0, n))
        pop = knock_wood(r.uniform(180, 320), seed=int(r.integers(1 << 30)), decay=0.03, bright=0.6)
        add_wrapped(crack, pan(pop * 0.5, r.uniform(-0.4, 0.4)), at)
    out += crack
    return dsp.reverb_loop(out, ROOM, wet=0.15)


def clock_tick():
    """The workshop's clocks: a longcase beating seconds, a mantel clock at 80 a minute and a
    watch ticking five times a second; together they repeat every 3 s, the loop every 30 s."""
    n = 30 * RATE
    r = dsp.rng(350)
    out = np.zeros((n, 2))
    for k in range(30):
        tick = k % 2 == 0
        body = knock_wood(360 if tick else 330, seed=351 + k % 2, decay=0.05, bright=0.7)
        esc = clink_metal(2900 if tick else 2500, seed=353 + k % 2, decay=0.014, amp=0.55)
        s = np.zeros(max(len(body), len(esc)))
        s[:len(body)] += body
        s[:len(esc)] += esc
        add_wrapped(out, pan(s * r.uniform(0.92, 1.0), 0.0), int((k + r.uniform(-0.002, 0.002)) * RATE))
    for k in range(40):
        s = clink_metal(4200 if k % 2 else 3900, seed=360 + k % 2, decay=0.008, amp=0.3)
        add_wrapped(out, pan(s, 0.5), int(k * 0.75 * RATE))
    for k in range(150):
        s = clink_metal(4800, seed=370 + k % 2, decay=0.004, amp=0.06)
        add_wrapped(out, pan(s, -0.6), int(k * 0.2 * RATE))
    out += 0.004 * colored_noise_loop(n, 380, -3.0, lo=60, hi=8000)   # room tone
    return dsp.reverb_loop(out, ROOM, wet=0.3)


def snow_wind():
    n = 32 * RATE
    g = gusts(n, 390, cycles=(3, 4, 7))
    out = np.zeros((n, 2))
    for c in range(2):
        gc = np.roll(g, int(0.5 * RATE) * c)
        gc = np.clip(gc * (1.0 + periodic_lfo(n, 45, 398 + c, depth=0.15, harmonics=4)), 0, 1.2)
        base = colored_noise_loop(n, 391 + c, -2.0, lo=200, hi=12000, channels=1)[:, 0]
        air = filter_loop(base, lambda x: tv_filter(x, np.tile(1100 + 2200 * gc, 2), 1.2))
        whistle = filter_loop(base, lambda x: tv_filter(x, np.tile(880 + 520 * gc, 2), 30.0))
        low = filter_loop(colored_noise_loop(n, 395 + c, -6.0, lo=30, hi=400, channels=1)[:, 0],
                          lambda x: butter(x, "low", 200, 2))
        out[:, c] = 0.35 * air * (0.3 + 0.7 * gc) + 1.1 * whistle * gc ** 2.5 + 0.12 * low
    # Flakes ticking on the glass.
    r = dsp.rng(399)
    for _ in range(140):
        f = r.uniform(5000, 9000)
        s = modal([f, f * 1.4], [1.0, 0.4], [0.002, 0.0015], 0.015, seed=int(r.integers(1 << 30)))
        add_wrapped(out, pan(s * r.uniform(0.02, 0.06), r.uniform(-0.9, 0.9)), int(r.integers(0, n)))
    return dsp.reverb_loop(out, GLASS, wet=0.2)


def tower_gears():
    """The great clock's works: the escapement every two seconds, a ratchet four times a
    second, the hum of the gear train, a creak from the big wheel every eight seconds, and the
    storm against the louvres."""
    n = 32 * RATE
    r = dsp.rng(400)
    out = np.zeros((n, 2))
    iron = [182, 417, 781, 1133, 1705]
    for k in range(16):
        tick = k % 2 == 0
        clunk = knock_wood(95 if tick else 85, seed=401 + k % 2, decay=0.09, bright=0.7)
        ring = modal([f * (1.0 if tick else 0.94) for f in iron], [0.5, 0.4, 0.3, 0.2, 0.1],
                     [0.35, 0.3, 0.22, 0.15, 0.1], 1.5, seed=403 + k % 2)
        s = np.zeros(len(ring))
        s[:len(clunk)] += clunk
        s += 0.6 * ring
        add_wrapped(out, pan(s, -0.2 if tick else 0.2), int(k * 2.0 * RATE))
    for k in range(128):
        s = clink_metal(3400 * r.uniform(0.8, 1.2), seed=410 + k, decay=0.006, amp=0.12)
        add_wrapped(out, pan(s, 0.45), int(k * 0.25 * RATE))
    t = np.arange(n) / RATE
    hum = filter_loop(colored_noise_loop(n, 420, -3.0, lo=40, hi=400),
                      lambda x: butter(x, "band", (60, 260), 2))
    out += 0.22 * hum * (0.75 + 0.25 * np.sin(2 * np.pi * 12 * t))[:, None]
    whirr = filter_loop(colored_noise_loop(n, 421, -3.0, lo=200, hi=2000),
                        lambda x: butter(x, "band", (380, 900), 2))
    out += 0.05 * whirr * (0.6 + 0.4 * np.sin(2 * np.pi * 4 * t))[:, None]
    for k in range(4):
        c = creak(1.4, np.linspace(22, 34, 20), [(330, 10, 1.0), (740, 12, 0.7), (1510, 14, 0.4)],
                  seed=430 + k, env=[0, 0.7, 1, 0.6, 0])
        add_wrapped(out, pan(c * 0.12, r.uniform(-0.5, 0.5)), int((k * 8.0 + 3.1) * RATE))
    # The wind loop is 40 s; blend a seamless 32 s version by folding its remainder back in.
    wind_full = storm_wind()
    wind = wind_full[:n].copy()
    rest = wind_full[n:]
    fade = np.linspace(0, 1, len(rest))[:, None]
    wind[:len(rest)] = wind[:len(rest)] * fade + rest * (1 - fade)
    out += 0.25 * filter_loop(wind, lambda x: butter(x, "low", 1200, 2))
    return dsp.reverb_loop(out, TOWER, wet=0.32)


LOOPS = {"rain": rain, "storm_wind": storm_wind, "fire": fire, "clock_tick": clock_tick,
         "snow_wind": snow_wind, "tower_gears": tower_gears}


def main(argv):
    for name, fn in LOOPS.items():
        if argv and name not in argv:
            continue
        loop = dsp.remove_dc(fn())
        loop *= 10 ** ((TARGET_LUFS - dsp.loudness(loop, loop=True)) / 20.0)
        tp = dsp.true_peak_db(loop)
        if tp > CEILING_DB:
            loop *= 10 ** ((CEILING_DB - tp) / 20.0)
        dsp.encode_ogg(loop, os.path.join(OUT, name + ".ogg"), QUALITY)
        print("%-12s %5.1f s  %6.1f LUFS  true peak %5.1f dB"
              % (name, len(loop) / RATE, dsp.loudness(loop, loop=True), dsp.true_peak_db(loop)))


if __name__ == "__main__":
    main(sys.argv[1:])
