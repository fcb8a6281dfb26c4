#!/usr/bin/python3
"""Measures every sound under assets/audio/ as the game will decode it, and fails loudly when
one breaks the rules the sounds are made to:

- 44.1 kHz stereo Ogg Vorbis that decodes to the intended length;
- no clipping (sample peak below -0.1 dBFS, true peak below -0.5 dBFS), no DC offset;
- music near -18 LUFS and ambience near -20 LUFS, measured as loops (ffmpeg's ebur128 filter
  is run as a second, independent meter); effects peaking at or below -3 dBFS;
- loops without a seam: the jump from the last sample to the first is no bigger than the
  signal's ordinary sample-to-sample movement, and the level across the seam changes no more
  than it does elsewhere in the file; no silent gaps inside music or ambience;
- one-shots that start and end at silence (no click at either end).

It also writes spectrograms (sox) and seam close-ups into out/audio/check/ to look at.

    /usr/bin/python3 tools/audio/check_audio.py [--pictures] [--out DIR] [part-of-name ...]
"""
import glob
import os
import re
import subprocess
import sys

import numpy as np
from PIL import Image, ImageDraw

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import dsp  # noqa: E402

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "lib"))
import outdir  # noqa: E402
ROOT = outdir.ROOT
AUDIO = os.path.join(outdir.take(), "assets", "audio")
CHECK = os.path.join(ROOT, "out", "audio", "check")


def decode(path):
    raw = subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-f", "f32le", "-acodec", "pcm_f32le", "-"],
                         check=True, capture_output=True).stdout
    return np.frombuffer(raw, dtype=np.float32).reshape(-1, 2).astype(np.float64)


def probe(path):
    out = subprocess.run(["ffprobe", "-v", "error", "-show_entries", "stream=codec_name,sample_rate,channels",
                          "-of", "default=nw=1", path], check=True, capture_output=True, text=True).stdout
    return dict(line.split("=", 1) for line in out.split())


def ebur128(path, loop):
    """Integrated loudness from ffmpeg; loops are measured over two passes so the meter's
    warm-up does not count."""
    src = ["-stream_loop", "1"] if loop else []
    err = subprocess.run(["ffmpeg", "-hide_banner", "-nostats"] + src + ["-i", path, "-af", "ebur128",
                          "-f", "null", "-"], capture_output=True, text=True).stderr
    m = re.findall(r"I:\s+(-?[\d.]+|-inf) LUFS", err)
    return float(m[-1]) if m else float("nan")


def windows_rms_db(x, win):
    n = len(x) // win
    frames = x[: n * win].reshape(n, win, -1)
    return 10 * np.log10(np.mean(frames ** 2, axis=(1, 2)) + 1e-20)


def seam(x):
    """How the loop point compares with the rest of the file: the sample jump against the
    largest ordinary sample-to-sample step, the 50 ms level change against the level changes
    everywhere else (a loop may restart on a note, which is a change like any other onset),
    and the 3 s loudness at the end against the start."""
    d = np.abs(np.diff(x, axis=0)).max(axis=1)
    jump = np.abs(x[0] - x[-1]).max()
    typical = np.percentile(d, 99.9)
    win = int(0.05 * dsp.RATE)
    wrapped = np.concatenate([x[-win:], x[:win]])
    levels = windows_rms_db(wrapped, win)
    across = abs(levels[1] - levels[0])
    steps = np.abs(np.diff(windows_rms_db(x, win)))
    rank = 100.0 * np.mean(steps < across)
    three = 3 * dsp.RATE
    drift = abs(dsp.loudness(x[-three:]) - dsp.loudness(x[:three]))
    return jump, typical, across, steps.max(), rank, drift


def longest_silence(x, floor_db=-60.0):
    win = int(0.05 * dsp.RATE)
    quiet = windows_rms_db(x, win) < floor_db
    best = run = 0
    for q in quiet:
        run = run + 1 if q else 0
        best = max(best, run)
    return best * 0.05


def picture(path, x, name):
    os.makedirs(CHECK, exist_ok=True)
    flat = name.replace("/", "_")
    subprocess.run(["sox", path, "-n", "remix", "1,2", "spectrogram", "-x", "900", "-y", "257", "-z", "90",
                    "-t", name, "-o", os.path.join(CHECK, flat + ".spec.png")], check=True)
    # The 50 ms either side of the loop point, last samples first.
    win = int(0.05 * dsp.RATE)
    wrapped = np.concatenate([x[-win:], x[:win]])[:, 0]
    w, h = 900, 200
    img = Image.new("RGB", (w, h), (250, 246, 236))
    draw = ImageDraw.Draw(img)
    scale = max(np.abs(wrapped).max(), 1e-6)
    pts = [(int(i * (w - 1) / (len(wrapped) - 1)), int(h / 2 - wrapped[i] / scale * (h / 2 - 8)))
           for i in range(len(wrapped))]
    draw.line(pts, fill=(42, 31, 23))
    draw.line([(w // 2, 0), (w // 2, h)], fill=(140, 47, 47))
    draw.text((6, 4), "%s: last 50 ms | first 50 ms (peak %.3f)" % (name, scale), fill=(90, 58, 34))
    img.save(os.path.join(CHECK, flat + ".seam.png"))
    # Short-term loudness (3 s windows) across the file, with the -18/-20 LUFS targets marked.
    if len(x) > 6 * dsp.RATE:
        k = dsp._kweighted(x)
        sq = np.concatenate([[0.0], np.cumsum(np.sum(k ** 2, axis=1))])
        block, hop = 3 * dsp.RATE, dsp.RATE // 2
        starts = np.arange(0, len(x) - block, hop)
        st = -0.691 + 10 * np.log10((sq[starts + block] - sq[starts]) / block + 1e-20)
        img = Image.new("RGB", (w, h), (250, 246, 236))
        draw = ImageDraw.Draw(img)

        def y(v):
            return int(h - 10 - (np.clip(v, -40, -5) + 40) / 35 * (h - 30))
        for ref, col in ((-18, (200, 150, 62)), (-20, (61, 90, 99))):
            draw.line([(0, y(ref)), (w, y(ref))], fill=col)
        pts = [(int(i * (w - 1) / max(1, len(st) - 1)), y(v)) for i, v in enumerate(st)]
        draw.line(pts, fill=(42, 31, 23), width=2)
        draw.text((6, 4), "%s: 3 s loudness, -40..-5 LUFS (lines: -18 and -20)" % name, fill=(90, 58, 34))
        img.save(os.path.join(CHECK, flat + ".loud.png"))


def main(argv):
    files = sorted(glob.glob(os.path.join(AUDIO, "**", "*.ogg"), recursive=True))
    wanted = [a for a in argv if not a.startswith("--")]
    if wanted:
        files = [f for f in files if any(w in os.path.relpath(f, AUDIO) for w in wanted)]
    problems = []
    total = 0
    print("%-32s %7s %6s %7s %7s %7s %6s  %s"
          % ("file", "seconds", "kbit/s", "LUFS", "ffmpeg", "peak", "tpeak", "notes"))
    for path in files:
        name = os.path.relpath(path, AUDIO)[:-4]
        info = probe(path)
        x = decode(path)
        size = os.path.getsize(path)
        total += size
        seconds = len(x) / dsp.RATE
        loop = name.startswith("music/") or name.startswith("env/")
        lufs = dsp.loudness(x, loop=loop)
        ff = ebur128(path, loop)
        peak = dsp.peak_db(x)
        tpeak = dsp.true_peak_db(x)
        dc = dsp.db(np.abs(x.mean(axis=0)).max())
        notes = []
        bad = []
        fmt = (info.get("codec_name"), info.get("sample_rate"), info.get("channels"))
        if fmt != ("vorbis", "44100", "2"):
            bad.append("format %s" % info)
        if peak > -0.1 or tpeak > -0.5:
            bad.append("clips")
        if dc > -60:
            bad.append("DC %.1f dB" % dc)
        if loop:
            target = -18.0 if name.startswith("music/") else -20.0
            if abs(lufs - target) > 1.0:
                bad.append("loudness %.1f, wanted %.0f" % (lufs, target))
            jump, typical, across, biggest, rank, drift = seam(x)
            notes.append("seam: jump %.4f (99.9%% step %.4f), 50 ms level change %.1f dB (larger than %.0f%% "
                         "of changes, largest %.1f), end/start 3 s %.1f LU" % (jump, typical, across, rank,
                                                                              biggest, drift))
            if jump > typical or across > biggest or drift > 6.0:
                bad.append("audible seam")
            gap = longest_silence(x)
            if gap > 0.2:
                bad.append("silent gap %.2f s" % gap)
            if name.startswith("music/") and not 90 <= seconds <= 180:
                bad.append("length")
            if name.startswith("env/") and not 20 <= seconds <= 40:
                bad.append("length")
        else:
            if peak > -2.9:
                bad.append("peak above -3 dBFS")
            start, end = dsp.db(np.abs(x[:8]).max()), dsp.db(np.abs(x[-8:]).max())
            notes.append("start %.0f dB, end %.0f dB, loudest 200 ms %.1f LUFS"
                         % (start, end, dsp.momentary_max(x, 0.2)))
            if max(start, end) > -50:
                bad.append("click at an edge")
        kbps = size * 8 / seconds / 1000
        flags = ("  ** " + ", ".join(bad)) if bad else ""
        print("%-32s %7.2f %6.0f %7.1f %7.1f %7.1f %6.1f  %s%s"
              % (name, seconds, kbps, lufs, ff, peak, tpeak, "; ".join(notes), flags))
        if bad:
            problems.append(name)
        if "--pictures" in argv:
            picture(path, x, name)
    print("%d files, %.1f MB" % (len(files), total / 1e6))
    if problems:
        print("PROBLEMS: " + ", ".join(problems))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
