#!/usr/bin/python3
"""Writes the tiny videos of the video tests (tests/data/videos/) through tools/make_video.py.

Every frame of the small clips is one flat colour from COLOURS, so a test can check a decoded pixel
against it; alpha planes vary per frame so that a test can tell the records apart.

Run with Debian's python3, python3-pil, python3-numpy and ffmpeg:
    /usr/bin/python3 tools/make_test_videos.py [--out DIR]
The output is committed; run again only to change the videos.
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "lib"))
import outdir  # noqa: E402
import make_video  # noqa: E402

OUT = os.path.join(outdir.take(), "tests", "data", "videos")

# The frames' colours, in order (tests/engine/objects/VideoTestSupport.h holds the same list).
COLOURS = [(200, 40, 40), (40, 180, 60), (50, 70, 210), (230, 230, 230), (120, 120, 120), (220, 200, 40)]
SIZE = (32, 24)
FPS = 10


def storyboard(folder, name, **fields):
    board = {"size": list(SIZE), "fps": FPS, "quality": 10, "keyframes": 4,
             "shots": [{"colour": list(c) + [255], "duration": 1 / FPS} for c in COLOURS]}
    board.update(fields)
    path = os.path.join(folder, name + ".json")
    with open(path, "w") as f:
        json.dump(board, f)
    return path


def zalpha(name, planes):
    with open(os.path.join(OUT, name + ".zalpha"), "wb") as f:
        for plane in planes:
            f.write(make_video.zalpha_record(plane))


def halves(left, right, size=SIZE):
    plane = np.full((size[1], size[0]), left, dtype=np.uint8)
    plane[:, size[0] // 2:] = right
    return plane


def grey_video(name, planes, ext):
    encoder = make_video.TheoraEncoder(os.path.join(OUT, name + ext), SIZE, FPS, 10, 4)
    try:
        for plane in planes:
            encoder.write(np.repeat(plane[..., None], 3, axis=2))
        encoder.close()
    finally:
        encoder.abort()


def chroma_video(name, size, pix_fmt):
    """Flat colours in another chroma layout, straight through ffmpeg."""
    path = os.path.join(OUT, name + ".ogg")
    frames = b"".join(bytes(c) * (size[0] * size[1]) for c in COLOURS)
    subprocess.run(["ffmpeg", "-y", "-loglevel", "error", "-f", "rawvideo", "-pix_fmt", "rgb24", "-s",
                    "%dx%d" % size, "-framerate", str(FPS), "-i", "-", "-c:v", "libtheora", "-q:v", "10",
                    "-pix_fmt", pix_fmt, "-page_duration", "1", "-f", "ogg", path], input=frames, check=True)
    make_video.theora_frames(path, len(COLOURS))


def main():
    if os.path.isdir(OUT):
        shutil.rmtree(OUT)
    os.makedirs(OUT)
    with tempfile.TemporaryDirectory() as scratch:
        # Opaque, no companions.
        make_video.build(storyboard(scratch, "plain"), os.path.join(OUT, "plain"))
        # The same with ".zalpha": left half opaque, right half 40 x the frame's index.
        make_video.build(storyboard(scratch, "alpha"), os.path.join(OUT, "alpha"))
        zalpha("alpha", [halves(255, 40 * i) for i in range(len(COLOURS))])
        # With ".oggalpha": left half opaque, right half clear.
        make_video.build(storyboard(scratch, "oggalpha"), os.path.join(OUT, "oggalpha"))
        grey_video("oggalpha", [halves(255, 0)] * len(COLOURS), ".oggalpha")
        # Both companions, saying opposite things: ".zalpha" (right half clear) wins.
        make_video.build(storyboard(scratch, "both"), os.path.join(OUT, "both"))
        zalpha("both", [halves(255, 0)] * len(COLOURS))
        grey_video("both", [halves(0, 255)] * len(COLOURS), ".oggalpha")
        # Odd sides.
        make_video.build(storyboard(scratch, "odd", size=[33, 17]), os.path.join(OUT, "odd"))
        # 25 frames a second, 20 frames.
        make_video.build(
            storyboard(scratch, "fps25", fps=25, keyframes=8,
                       shots=[{"colour": list(COLOURS[i % len(COLOURS)]) + [255], "duration": 1 / 25}
                              for i in range(20)]),
            os.path.join(OUT, "fps25"))
    chroma_video("chroma422", SIZE, "yuv422p")
    chroma_video("chroma444", (33, 17), "yuv444p")
    # Repeated pictures: three frames of one colour, then three of another.
    with tempfile.TemporaryDirectory() as scratch:
        make_video.build(storyboard(scratch, "repeats", shots=[
            {"colour": list(COLOURS[0]) + [255], "duration": 0.3},
            {"colour": list(COLOURS[2]) + [255], "duration": 0.3}]), os.path.join(OUT, "repeats"))
    for name in sorted(os.listdir(OUT)):
        print(name, os.path.getsize(os.path.join(OUT, name)))


if __name__ == "__main__":
    main()
