#!/usr/bin/python3
"""Makes a Halvern video from a storyboard: the Theora colour stream NAME.ogg (encoded by ffmpeg's
libtheora encoder), optionally its alpha companion (NAME.zalpha, written here, or NAME.oggalpha, a
grey Theora video whose brightness is the alpha) and optionally its subtitles (NAME.srt).

    /usr/bin/python3 tools/make_video.py STORYBOARD.json OUT/NAME [--stills DIR]

OUT/NAME is the video's resource name without extension, e.g. assets/video/intro; a scene shows it
with <video name="intro" res="assets/video/intro"/> and plays it with VidPlay("intro", "trigger").
--stills DIR also writes the first frame of every second as a PNG, to look at before encoding a
long cut-scene again. Needs Debian's python3, python3-pil, python3-numpy and ffmpeg.

The storyboard is JSON. Image paths are relative to the storyboard's folder.

    {
      "size": [640, 480],            picture size in pixels (odd sizes work; even ones compress best)
      "fps": 30,                     frames per second
      "quality": 7,                  Theora quality, 0 (smallest) to 10 (best); default 7
      "keyframes": 30,               a key frame at least this often (frames); default fps
      "background": [0, 0, 0, 255],  RGBA under every shot; alpha 0 leaves the video clear there
      "alpha": "zalpha",             "zalpha", "oggalpha" or "none" (the default: no alpha file)
      "shots": [
        {"image": "art/hall.png",    an image (PNG or JPEG, with or without alpha) ...
         "duration": 4.0,            seconds on screen
         "fit": "cover",             "cover" fills the picture, "contain" shows all, "none" is 1:1
         "from": {"zoom": 1.0, "x": 0.5, "y": 0.5},   the view at the start: zoom over the fit,
         "to":   {"zoom": 1.2, "x": 0.6, "y": 0.4},   centre as fractions of the image; "to" is
                                                      the view at the end (default: "from")
         "ease": "inout",            "inout" (slow start and end) or "linear"
         "fade_in": 0.5,             seconds from the background in, and out to it at the end
         "fade_out": 0.5,
         "crossfade": 0.0},          seconds blending over the previous shot's last picture
        {"colour": [0, 0, 0, 255], "duration": 1.0}   ... or a plain colour
      ],
      "subtitles": [                 optional; each text is one line, a key of assets/strings.xml
        {"start": 1.0, "end": 3.5, "text": "sub_intro_1"}
      ]
    }

The bundled intro and cut-scene are storyboards over the game's painted art: draw nothing here,
point the shots at the art, and pan, zoom and fade over it. A transparent video (an animated
object over a scene) uses a background of alpha 0, images with alpha, and "alpha": "zalpha".

NAME.zalpha holds one record per frame: a 4-byte little-endian length N, then N bytes of zlib data
that inflate to width x height alpha bytes, row by row. NAME.srt holds groups of four lines: a
counter, "HH:MM:SS,mmm --> HH:MM:SS,mmm", the text key and a blank line.
"""
import argparse
import json
import math
import os
import struct
import subprocess
import sys
import tempfile
import zlib

import numpy as np
from PIL import Image


class StoryboardError(Exception):
    pass


# --- frames ------------------------------------------------------------------------------------


def ease(kind, u):
    u = min(max(u, 0.0), 1.0)
    if kind == "linear":
        return u
    return (1 - math.cos(math.pi * u)) / 2


def view_at(shot, u):
    start = dict({"zoom": 1.0, "x": 0.5, "y": 0.5}, **shot.get("from", {}))
    end = dict(start, **shot.get("to", {}))
    k = ease(shot.get("ease", "inout"), u)
    return {key: start[key] + (end[key] - start[key]) * k for key in ("zoom", "x", "y")}


def render_view(image, size, fit, view):
    """The image seen through the view, as an RGBA picture of `size` (clear outside the image)."""
    width, height = size
    iw, ih = image.size
    if fit == "cover":
        base = max(width / iw, height / ih)
    elif fit == "contain":
        base = min(width / iw, height / ih)
    elif fit == "none":
        base = 1.0
    else:
        raise StoryboardError("unknown fit %r" % fit)
    scale = base * view["zoom"]
    if scale <= 0:
        raise StoryboardError("zoom must be above 0")
    # Output pixel (u, v) shows image point (a u + c, e v + f).
    a = 1 / scale
    c = view["x"] * iw - width / 2 / scale
    f = view["y"] * ih - height / 2 / scale
    return image.transform(size, Image.AFFINE, (a, 0, c, 0, a, f), resample=Image.BICUBIC,
                           fillcolor=(0, 0, 0, 0))


def with_opacity(picture, opacity):
    if opacity >= 1:
        return picture
    arr = np.asarray(picture).copy()
    arr[..., 3] = np.round(arr[..., 3] * max(opacity, 0.0)).astype(np.uint8)
    return Image.fromarray(arr, "RGBA")


class Storyboard:
    def __init__(self, path):
        with open(path, encoding="utf-8") as f:
            try:
                self.data = json.load(f)
            except json.JSONDecodeError as e:
                raise StoryboardError("%s: %s" % (path, e))
        self.folder = os.path.dirname(os.path.abspath(path))
        d = self.data
        self.size = tuple(int(v) for v in d.get("size", (640, 480)))
        if len(self.size) != 2 or min(self.size) < 1 or max(self.size) > 4096:
            raise StoryboardError("size must be two sides of 1 to 4096 pixels")
        self.fps = d.get("fps", 30)
        if not (isinstance(self.fps, int) and 1 <= self.fps <= 120):
            raise StoryboardError("fps must be a whole number from 1 to 120")
        self.quality = int(d.get("quality", 7))
        self.keyframes = int(d.get("keyframes", self.fps))
        self.background = tuple(int(v) for v in d.get("background", (0, 0, 0, 255)))
        self.alpha = d.get("alpha", "none")
        if self.alpha not in ("zalpha", "oggalpha", "none"):
            raise StoryboardError("alpha must be \"zalpha\", \"oggalpha\" or \"none\"")
        self.shots = d.get("shots", [])
        if not self.shots:
            raise StoryboardError("the storyboard has no shots")
        self.images = {}
        self.starts = []
        t = 0.0
        for shot in self.shots:
            if float(shot.get("duration", 0)) <= 0:
                raise StoryboardError("every shot needs a duration above 0")
            if "image" in shot:
                self.image(shot["image"])
            elif "colour" not in shot:
                raise StoryboardError("a shot needs an \"image\" or a \"colour\"")
            self.starts.append(t)
            t += float(shot["duration"])
        self.duration = t
        self.frame_count = max(1, int(round(self.duration * self.fps)))
        # Shots start on whole frames, so sums of durations such as 0.1 + 0.2 do not drift.
        self.start_frames = [int(round(start * self.fps)) for start in self.starts]
        self.subtitles = d.get("subtitles", [])
        for s in self.subtitles:
            text = str(s.get("text", ""))
            if "\n" in text or "\r" in text or len(text) > 1023 or not text:
                raise StoryboardError("a subtitle text is one line of 1 to 1023 characters: %r" % text)
            if float(s["end"]) < float(s["start"]):
                raise StoryboardError("subtitle %r ends before it starts" % text)

    def image(self, name):
        if name not in self.images:
            path = os.path.join(self.folder, name)
            try:
                self.images[name] = Image.open(path).convert("RGBA")
            except OSError as e:
                raise StoryboardError("cannot read image %s: %s" % (path, e))
        return self.images[name]

    def shot_picture(self, index, local):
        """Shot `index` at `local` seconds into it, faded, before any crossfade."""
        shot = self.shots[index]
        duration = float(shot["duration"])
        if "colour" in shot:
            picture = Image.new("RGBA", self.size, tuple(int(v) for v in shot["colour"]))
        else:
            u = local / duration if duration > 0 else 0
            picture = render_view(self.image(shot["image"]), self.size, shot.get("fit", "cover"),
                                  view_at(shot, u))
        opacity = 1.0
        fade_in, fade_out = float(shot.get("fade_in", 0)), float(shot.get("fade_out", 0))
        if fade_in > 0:
            opacity = min(opacity, local / fade_in)
        if fade_out > 0:
            opacity = min(opacity, (duration - local) / fade_out)
        return with_opacity(picture, opacity)

    def frame(self, i):
        """Frame i as an RGBA picture over the background."""
        index = 0
        while index + 1 < len(self.shots) and i >= self.start_frames[index + 1]:
            index += 1
        local = (i - self.start_frames[index]) / self.fps
        picture = self.shot_picture(index, local)
        crossfade = float(self.shots[index].get("crossfade", 0))
        if index > 0 and crossfade > 0 and local < crossfade:
            before = self.shot_picture(index - 1, float(self.shots[index - 1]["duration"]) - 1e-6)
            picture = Image.blend(before, picture, local / crossfade)
        return Image.alpha_composite(Image.new("RGBA", self.size, self.background), picture)


def bleed(rgba):
    """RGB bytes with the clear pixels' colour taken from their neighbourhood, so that lossy
    compression and chroma subsampling do not darken the edges of what is shown."""
    arr = np.asarray(rgba).astype(np.float32)
    alpha = arr[..., 3:4] / 255.0
    if alpha.min() > 0:
        return arr[..., :3].astype(np.uint8)
    height, width = arr.shape[:2]
    small = (max(1, width // 8), max(1, height // 8))

    def blur(channels):
        out = []
        for c in range(channels.shape[2]):
            im = Image.fromarray(channels[..., c], "F").resize(small, Image.BOX)
            out.append(np.asarray(im.resize((width, height), Image.BILINEAR)))
        return np.stack(out, axis=2)

    premultiplied = blur(arr[..., :3] * alpha)
    coverage = blur(alpha)
    fill = premultiplied / np.maximum(coverage, 1e-4)
    rgb = np.where(alpha > 0, arr[..., :3], fill)
    return np.clip(np.round(rgb), 0, 255).astype(np.uint8)


# --- Ogg ---------------------------------------------------------------------------------------

CRC_TABLE = []
for _n in range(256):
    _r = _n << 24
    for _ in range(8):
        _r = ((_r << 1) ^ 0x04C11DB7) if _r & 0x80000000 else (_r << 1)
    CRC_TABLE.append(_r & 0xFFFFFFFF)


def ogg_crc(data):
    crc = 0
    for b in data:
        crc = ((crc << 8) & 0xFFFFFFFF) ^ CRC_TABLE[((crc >> 24) & 0xFF) ^ b]
    return crc


def read_pages(data):
    pages, at = [], 0
    while at < len(data):
        if data[at:at + 4] != b"OggS":
            raise StoryboardError("ffmpeg wrote a broken Ogg file")
        count = data[at + 26]
        lacing = list(data[at + 27:at + 27 + count])
        body = at + 27 + count
        pages.append({
            "flags": data[at + 5],
            "granule": struct.unpack("<q", data[at + 6:at + 14])[0],
            "serial": struct.unpack("<I", data[at + 14:at + 18])[0],
            "lacing": lacing,
            "body": data[body:body + sum(lacing)],
        })
        at = body + sum(lacing)
    return pages


def write_pages(pages):
    out = bytearray()
    for sequence, p in enumerate(pages):
        head = struct.pack("<4sBBqIIIB", b"OggS", 0, p["flags"], p["granule"], p["serial"], sequence, 0,
                           len(p["lacing"])) + bytes(p["lacing"])
        crc = ogg_crc(head + p["body"])
        out += head[:22] + struct.pack("<I", crc) + head[26:] + p["body"]
    return bytes(out)


def theora_frames(path, frames):
    """Makes the Theora file hold exactly `frames` frames. ffmpeg may leave out the empty packets
    (repeated pictures) at the end of a stream; they are appended again."""
    with open(path, "rb") as f:
        pages = read_pages(f.read())
    packets = 0
    for p in pages:
        packets += sum(1 for size in p["lacing"] if size < 255)
    data_packets = packets - 3
    if data_packets == frames:
        return
    if data_packets > frames or not pages:
        raise StoryboardError("ffmpeg wrote %d frames, not %d" % (data_packets, frames))
    ident = pages[0]["body"]
    shift = ((ident[40] & 0x03) << 3) | (ident[41] >> 5)
    last = pages[-1]
    last["flags"] &= ~0x04
    keyframe, offset = last["granule"] >> shift, last["granule"] & ((1 << shift) - 1)
    for n in range(frames - data_packets):
        offset += 1
        if offset >= (1 << shift):
            raise StoryboardError("too many repeated frames after the last key frame; lower \"keyframes\"")
        pages.append({"flags": 0, "granule": (keyframe << shift) | offset, "serial": last["serial"],
                      "lacing": [0], "body": b""})
    pages[-1]["flags"] |= 0x04
    with open(path, "wb") as f:
        f.write(write_pages(pages))


class TheoraEncoder:
    """An ffmpeg process that encodes the RGB frames written to it into a Theora file."""

    def __init__(self, path, size, fps, quality, keyframes):
        self.path = path
        self.count = 0
        width, height = size
        command = ["ffmpeg", "-y", "-loglevel", "error", "-f", "rawvideo", "-pix_fmt", "rgb24", "-s",
                   "%dx%d" % (width, height), "-framerate", str(fps), "-i", "-", "-c:v", "libtheora",
                   "-q:v", str(quality), "-g", str(keyframes), "-pix_fmt", "yuv420p", "-fps_mode",
                   "passthrough",
                   # One page per packet keeps the empty packets of repeated pictures.
                   "-page_duration", "1", "-f", "ogg", path]
        self.process = subprocess.Popen(command, stdin=subprocess.PIPE)

    def write(self, rgb):
        self.process.stdin.write(np.ascontiguousarray(rgb, dtype=np.uint8).tobytes())
        self.count += 1

    def close(self):
        self.process.stdin.close()
        if self.process.wait() != 0:
            raise StoryboardError("ffmpeg failed on %s" % self.path)
        theora_frames(self.path, self.count)

    def abort(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


# --- companions --------------------------------------------------------------------------------


def srt_time(seconds):
    ms = int(round(seconds * 1000))
    return "%02d:%02d:%02d,%03d" % (ms // 3600000, ms // 60000 % 60, ms // 1000 % 60, ms % 1000)


def write_srt(path, subtitles):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        for n, s in enumerate(subtitles, 1):
            f.write("%d\n%s --> %s\n%s\n\n" % (n, srt_time(float(s["start"])), srt_time(float(s["end"])),
                                                s["text"]))


def zalpha_record(plane):
    packed = zlib.compress(np.ascontiguousarray(plane, dtype=np.uint8).tobytes(), 9)
    return struct.pack("<I", len(packed)) + packed


def build(storyboard_path, out_name, stills=None):
    board = Storyboard(storyboard_path)
    folder = os.path.dirname(os.path.abspath(out_name))
    os.makedirs(folder, exist_ok=True)
    if stills:
        os.makedirs(stills, exist_ok=True)
    # Everything is made in a scratch folder and moved into place once all of it is done.
    with tempfile.TemporaryDirectory(dir=folder) as scratch:
        made = os.path.join(scratch, "video")
        encoders = [TheoraEncoder(made + ".ogg", board.size, board.fps, board.quality, board.keyframes)]
        if board.alpha == "oggalpha":
            encoders.append(
                TheoraEncoder(made + ".oggalpha", board.size, board.fps, board.quality, board.keyframes))
        try:
            with open(made + ".zalpha", "wb") as zalpha:
                for i in range(board.frame_count):
                    picture = board.frame(i)
                    if stills and i % board.fps == 0:
                        picture.save(os.path.join(stills, "%s_%04d.png" % (os.path.basename(out_name), i)))
                    encoders[0].write(bleed(picture))
                    alpha = np.asarray(picture)[..., 3]
                    if board.alpha == "zalpha":
                        zalpha.write(zalpha_record(alpha))
                    elif board.alpha == "oggalpha":
                        encoders[1].write(np.repeat(alpha[..., None], 3, axis=2))
            for encoder in encoders:
                encoder.close()
        finally:
            for encoder in encoders:
                encoder.abort()
        if board.subtitles:
            write_srt(made + ".srt", board.subtitles)
        for ext in (".ogg", ".zalpha", ".oggalpha", ".srt"):
            target = out_name + ext
            if os.path.exists(target):
                os.remove(target)
            if ext == ".ogg" or (ext == ".zalpha" and board.alpha == "zalpha") or \
                    (ext == ".oggalpha" and board.alpha == "oggalpha") or (ext == ".srt" and board.subtitles):
                os.replace(made + ext, target)
    return board


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("storyboard")
    parser.add_argument("name", help="output resource name without extension")
    parser.add_argument("--stills", help="folder for a PNG of the first frame of every second")
    args = parser.parse_args()
    try:
        board = build(args.storyboard, args.name, args.stills)
    except (StoryboardError, OSError) as e:
        sys.exit("make_video: %s" % e)
    except (KeyError, ValueError, TypeError) as e:
        sys.exit("make_video: the storyboard is malformed: %s %s" % (type(e).__name__, e))
    print("%s: %d frames of %d x %d at %d fps%s%s" % (
        args.name, board.frame_count, board.size[0], board.size[1], board.fps,
        ", alpha in ." + board.alpha if board.alpha != "none" else "",
        ", %d subtitles" % len(board.subtitles) if board.subtitles else ""))


if __name__ == "__main__":
    main()
