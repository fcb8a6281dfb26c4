#!/usr/bin/python3
"""Renders the music of scores.py to assets/audio/music/<name>.ogg.

Each piece is written as MIDI, played through FluidSynth with the FluidR3 General MIDI
soundfont, and made into a seamless loop: the render runs past the loop point so notes and
reverb can ring out, and that overspill is mixed back onto the start, which is exactly what the
listener hears when the last bar runs into the first. The loop is then set to the music
loudness target and encoded as Ogg Vorbis.

    /usr/bin/python3 tools/audio/make_music.py [name ...] [--balance] [--stems] [--out DIR]

The channel volumes come from mix.json next to this script. --balance renews them first: it
renders every part alone, measures its loudness and sets its volume so the part sits at its
role's level (notation.ROLES) relative to the lead. --stems prints each part's loudness in the
finished mix, to check the balance.
"""
import json
import os
import subprocess
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import dsp  # noqa: E402
import scores  # noqa: E402

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "lib"))
import outdir  # noqa: E402
ROOT = outdir.ROOT
OUT = os.path.join(outdir.take(), "assets", "audio", "music")
WORK = os.path.join(ROOT, "out", "audio", "music")
SOUNDFONT = "/usr/share/sounds/sf2/FluidR3_GM.sf2"
TARGET_LUFS = -18.0
CEILING_DB = -1.0  # true peak
QUALITY = 3  # Vorbis VBR quality: about 110 kbit/s for this material
MIX = os.path.join(os.path.dirname(os.path.abspath(__file__)), "mix.json")
REFERENCE_VOLUME = 100


def render(midi, wav):
    subprocess.run(
        ["fluidsynth", "-ni", "-q", "-O", "float", "-r", str(dsp.RATE), "-g", "0.4",
         "-o", "synth.polyphony=512",
         "-o", "synth.reverb.room-size=0.62", "-o", "synth.reverb.damp=0.35",
         "-o", "synth.reverb.width=0.9", "-o", "synth.reverb.level=0.7",
         "-o", "synth.chorus.active=0",
         "-F", wav, SOUNDFONT, midi],
        check=True, stdout=subprocess.DEVNULL)
    data = dsp.read_wav(wav)
    os.remove(wav)   # hundreds of megabytes per piece; the MIDI stays for inspection
    return data


def fold_loop(data, length):
    """Folds everything after the loop point back onto the start."""
    out = np.zeros((length, data.shape[1]))
    for k in range(0, len(data), length):
        chunk = data[k:k + length]
        out[:len(chunk)] += chunk
    return out


def solo(piece, part):
    one = scores.Piece(piece.name, piece.bpm, piece.bar)
    one.parts = [part]
    one.length = piece.length
    return one


def balance(piece):
    """Channel volumes that put each part at its role's loudness. Volume v scales the signal by
    (v/127)^2, i.e. 40*log10(v/127) dB."""
    os.makedirs(WORK, exist_ok=True)
    length = int(round(piece.seconds() * dsp.RATE))
    measured = {}
    for part in piece.parts:
        part.volume = REFERENCE_VOLUME
        path = os.path.join(WORK, "%s.stem.mid" % piece.name)
        solo(piece, part).write_midi(path)
        data = fold_loop(render(path, os.path.join(WORK, "stem.wav")), length)
        measured[part.name] = dsp.loudness(data, loop=True)
    ref_db = 40 * np.log10(REFERENCE_VOLUME / 127.0)
    # The loudest-needing part gets full volume; the others sit below it.
    top = min(measured[p.name] - p.role - ref_db for p in piece.parts)
    volumes = {}
    for part in piece.parts:
        change = top + part.role - measured[part.name]
        volumes[part.name] = int(round(127 * 10 ** ((ref_db + change) / 40.0)))
    return volumes


def make(piece, stems=False):
    os.makedirs(WORK, exist_ok=True)
    midi = os.path.join(WORK, piece.name + ".mid")
    wav = os.path.join(WORK, piece.name + ".raw.wav")
    piece.write_midi(midi)
    raw = render(midi, wav)
    length = int(round(piece.seconds() * dsp.RATE))
    loop = dsp.remove_dc(fold_loop(raw, length))
    level = dsp.loudness(loop, loop=True)
    gain = 10 ** ((TARGET_LUFS - level) / 20.0)
    loop *= gain
    tp = dsp.true_peak_db(loop)
    if tp > CEILING_DB:
        raise SystemExit("%s: true peak %.1f dB at %.1f LUFS; lower the loudest part"
                         % (piece.name, tp, TARGET_LUFS))
    dsp.encode_ogg(loop, os.path.join(OUT, piece.name + ".ogg"), QUALITY)
    print("%-13s %6.1f s  %6.1f LUFS  true peak %5.1f dB  (render gain %+.1f dB)"
          % (piece.name, length / dsp.RATE, dsp.loudness(loop, loop=True), tp, 20 * np.log10(gain)))
    if stems:
        for part in piece.parts:
            path = os.path.join(WORK, "%s.stem.mid" % piece.name)
            solo(piece, part).write_midi(path)
            data = fold_loop(render(path, os.path.join(WORK, "stem.wav")), length) * gain
            print("    %-18s %6.1f LUFS  peak %5.1f dB"
                  % (part.name, dsp.loudness(data, loop=True), dsp.peak_db(data)))


def main(argv):
    stems = "--stems" in argv
    names = [a for a in argv if not a.startswith("--")]
    mix = {}
    if os.path.exists(MIX):
        with open(MIX) as f:
            mix = json.load(f)
    for build in scores.PIECES:
        if names and build.__name__ not in names:
            continue
        piece = build()
        if "--balance" in argv:
            mix[piece.name] = balance(piece)
            with open(MIX, "w") as f:
                json.dump(mix, f, indent=1, sort_keys=True)
                f.write("\n")
        for part in piece.parts:
            part.volume = mix.get(piece.name, {}).get(part.name, REFERENCE_VOLUME)
        make(piece, stems)


if __name__ == "__main__":
    main(sys.argv[1:])
