"""A small text notation for the game's music, and the MIDI writer behind it.

A piece is a set of parts (one General MIDI instrument each) filled from notation lines, chord
progressions and accompaniment patterns, all measured in quarter-note beats from the start.

Note lines, tokens separated by spaces:
    A4:q  C#5:e.  Bb3        note with octave (C4 = middle C) and an optional duration; a token
                             without a duration keeps the previous one
    D4/F4/A4:h               several notes struck together
    r:q                      rest
    ~ after a note           tie into the next note of the same pitch (A4:h~ A4:e)
    ! or ? after a note      accent or soften this note
    @mp  @72                 dynamic (pp p mp mf f ff, or a MIDI velocity) for what follows
    |                        bar line: checked against the metre, so a miscounted bar fails loudly
    k76:q                    a raw MIDI key (percussion)
Durations: w h q e s (whole .. sixteenth), t (eighth-note triplet), a trailing '.' dots one,
and '+' adds (h.+q). Chord lines use the same durations with chord symbols; a chord written
without a length fills a whole bar:
    Dm | Bb | Gm:q A7:h | Fmaj7/C
"""
import re

import mido

DURATIONS = {"w": 4.0, "h": 2.0, "q": 1.0, "e": 0.5, "s": 0.25, "t": 1.0 / 3.0, "x": 1.0 / 6.0}
DYNAMICS = {"ppp": 22, "pp": 34, "p": 48, "mp": 62, "mf": 76, "f": 90, "ff": 104}
PITCH_CLASS = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}

# Intervals above the root for each chord quality we write.
QUALITIES = {
    "": (0, 4, 7),
    "m": (0, 3, 7),
    "7": (0, 4, 7, 10),
    "m7": (0, 3, 7, 10),
    "maj7": (0, 4, 7, 11),
    "m(maj7)": (0, 3, 7, 11),
    "dim": (0, 3, 6),
    "dim7": (0, 3, 6, 9),
    "m7b5": (0, 3, 6, 10),
    "aug": (0, 4, 8),
    "sus4": (0, 5, 7),
    "sus2": (0, 2, 7),
    "7sus4": (0, 5, 7, 10),
    "add9": (0, 4, 7, 14),
    "madd9": (0, 3, 7, 14),
    "m6": (0, 3, 7, 9),
    "6": (0, 4, 7, 9),
    "9": (0, 4, 7, 10, 14),
    "m9": (0, 3, 7, 10, 14),
    "5": (0, 7),
}


def parse_duration(text):
    total = 0.0
    for part in text.split("+"):
        dots = len(part) - len(part.rstrip("."))
        base = part.rstrip(".")
        if base in DURATIONS:
            value = DURATIONS[base]
        else:
            value = float(base)
        value *= 2.0 - 0.5 ** dots
        total += value
    return total


def parse_pitch(text):
    if text.startswith("k"):  # a raw key number, for the percussion channel
        return int(text[1:])
    m = re.fullmatch(r"([A-G])([#b]*)(-?\d)", text)
    if not m:
        raise ValueError("bad pitch %r" % text)
    pc = PITCH_CLASS[m.group(1)] + m.group(2).count("#") - m.group(2).count("b")
    return 12 * (int(m.group(3)) + 1) + pc


def parse_pitch_class(text):
    m = re.fullmatch(r"([A-G])([#b]?)", text)
    if not m:
        raise ValueError("bad pitch class %r" % text)
    return (PITCH_CLASS[m.group(1)] + m.group(2).count("#") - m.group(2).count("b")) % 12


class Chord:
    def __init__(self, symbol):
        m = re.fullmatch(r"([A-G][#b]?)([^/]*)(?:/([A-G][#b]?))?", symbol)
        if not m or m.group(2) not in QUALITIES:
            raise ValueError("bad chord %r" % symbol)
        self.symbol = symbol
        self.root = parse_pitch_class(m.group(1))
        self.intervals = QUALITIES[m.group(2)]
        self.bass = parse_pitch_class(m.group(3)) if m.group(3) else self.root

    def pitch_classes(self):
        return [(self.root + i) % 12 for i in self.intervals]

    def degree(self, n):
        """Pitch class of chord degree n (1 root, 3 third, 5 fifth, 7 seventh, 9 ninth)."""
        index = {1: 0, 3: 1, 5: 2, 7: 3, 9: 4}[n]
        if index < len(self.intervals):
            return (self.root + self.intervals[index]) % 12
        return (self.root + {3: 4, 5: 7, 7: 10, 9: 14}[n]) % 12

    def tones_in(self, lo, hi):
        pcs = set(self.pitch_classes())
        return [p for p in range(lo, hi + 1) if p % 12 in pcs]


def lowest_at_or_above(pc, lo):
    return lo + (pc - lo) % 12


class Note:
    __slots__ = ("start", "dur", "pitch", "vel")

    def __init__(self, start, dur, pitch, vel):
        self.start, self.dur, self.pitch, self.vel = start, dur, pitch, vel


def _tokens(text):
    return text.replace("\n", " ").split()


def check_bar(pos, origin, bar, where):
    beats = pos - origin
    if abs(beats / bar - round(beats / bar)) > 1e-6:
        raise ValueError("bar line at beat %.3f is not on a bar boundary (%s)" % (beats, where))


def notes(text, start=0.0, bar=None, vel=62):
    """Parses a note line; returns (notes, end beat)."""
    out = []
    pos = start
    dur = 1.0
    ties = {}  # pitch -> note still held by a tie
    for tok in _tokens(text):
        if tok == "|":
            if bar:
                check_bar(pos, start, bar, text[:40])
            continue
        if tok.startswith("@"):
            word = tok[1:]
            vel = DYNAMICS[word] if word in DYNAMICS else int(word)
            continue
        m = re.fullmatch(r"([^:~!?]+)(?::([^~!?]+))?([~!?]*)", tok)
        if not m:
            raise ValueError("bad token %r" % tok)
        if m.group(2):
            dur = parse_duration(m.group(2))
        flags = m.group(3)
        if m.group(1) != "r":
            v = vel + (14 if "!" in flags else 0) - (14 if "?" in flags else 0)
            held = {}
            for name in m.group(1).split("/"):
                p = parse_pitch(name)
                if p in ties:
                    n = ties.pop(p)
                    n.dur += dur
                else:
                    n = Note(pos, dur, p, v)
                    out.append(n)
                if "~" in flags:
                    held[p] = n
            ties = held
        else:
            ties = {}
        pos += dur
    return out, pos


def chords(text, start=0.0, bar=None):
    """Parses a chord line; returns ([(start, dur, Chord)], end beat)."""
    out = []
    pos = start
    for tok in _tokens(text):
        dur = bar or 4.0  # a chord without a length fills a bar
        if tok == "|":
            if bar:
                check_bar(pos, start, bar, text[:40])
            continue
        sym, _, d = tok.partition(":")
        if d:
            dur = parse_duration(d)
        if sym == "r":
            pos += dur
            continue
        if out and sym == "%":  # repeat the previous chord
            out.append((pos, dur, out[-1][2]))
        else:
            out.append((pos, dur, Chord(sym)))
        pos += dur
    return out, pos


def transpose(ns, semitones):
    return [Note(n.start, n.dur, n.pitch + semitones, n.vel) for n in ns]


def shift(ns, beats):
    return [Note(n.start + beats, n.dur, n.pitch, n.vel) for n in ns]


def scale_vel(ns, factor, add=0):
    return [Note(n.start, n.dur, n.pitch, int(round(n.vel * factor + add))) for n in ns]


def _voicings(chord, lo, hi, count):
    tones = chord.tones_in(lo, hi)
    pcs = chord.pitch_classes()
    result = []

    def rec(i, chosen):
        if len(chosen) == count:
            if chosen[-1] - chosen[0] <= 19 and {p % 12 for p in chosen} >= set(pcs[: min(3, count)]):
                result.append(tuple(chosen))
            return
        for j in range(i, len(tones)):
            rec(j + 1, chosen + [tones[j]])

    rec(0, [])
    return result


def voiced(prog, lo, hi, voices):
    """Yields (start, dur, voicing) for each chord, choosing voicings that move as little as
    possible from one chord to the next."""
    prev = None
    for start, dur, chord in prog:
        options = _voicings(chord, lo, hi, voices)
        if not options:
            raise ValueError("no voicing of %s in %d..%d" % (chord.symbol, lo, hi))
        if prev is None:
            centre = (lo + hi) / 2.0
            best = min(options, key=lambda v: abs(sum(v) / len(v) - centre))
        else:
            best = min(options, key=lambda v: sum(abs(a - b) for a, b in zip(v, prev)) + 0.01 * sum(v))
        prev = best
        yield start, dur, best


def pad(prog, lo, hi, voices=4, vel=50, legato=1.0, hold_common=True):
    """Sustained chords; common tones are held across changes."""
    out = []
    held = [None] * voices
    for start, dur, best in voiced(prog, lo, hi, voices):
        for k, p in enumerate(best):
            if hold_common and held[k] is not None and held[k].pitch == p and \
                    abs(held[k].start + held[k].dur - start) < 1e-6:
                held[k].dur += dur * legato
            else:
                n = Note(start, dur * legato, p, vel)
                out.append(n)
                held[k] = n
    return out


def strum(prog, lo, hi, voices, offsets, length, vel=50):
    """Chords struck at the given beat offsets within each chord (waltz after-beats, stabs)."""
    out = []
    for start, dur, best in voiced(prog, lo, hi, voices):
        for off in offsets:
            if off < dur - 1e-6:
                for p in best:
                    out.append(Note(start + off, min(length, dur - off), p, vel))
    return out


def arp(prog, lo, hi, pattern, step=0.5, vel=50, ring=1.0, accent_first=6):
    """Broken chords: pattern indexes the chord tones between lo and hi (ascending)."""
    out = []
    for start, dur, chord in prog:
        tones = chord.tones_in(lo, hi)
        count = int(round(dur / step))
        for i in range(count):
            idx = pattern[i % len(pattern)]
            if idx is None:
                continue
            p = tones[min(idx, len(tones) - 1)]
            v = vel + (accent_first if i == 0 else 0)
            out.append(Note(start + i * step, step * ring, p, v))
    return out


def bass(prog, lo, pattern, vel=60):
    """Bass figures per chord. pattern: list of (beat offset, length, degree) where degree is
    'b' (the chord's bass note), 1/3/5/7, or 8 (root an octave up); the figure repeats to fill
    the chord."""
    out = []
    for start, dur, chord in prog:
        span = max(o + l for o, l, _ in pattern)
        t = 0.0
        while t < dur - 1e-6:
            for offset, length, degree in pattern:
                if t + offset >= dur - 1e-6:
                    break
                if degree == "b":
                    p = lowest_at_or_above(chord.bass, lo)
                elif degree == 8:
                    p = lowest_at_or_above(chord.root, lo) + 12
                else:
                    p = lowest_at_or_above(chord.degree(degree), lo)
                out.append(Note(start + t + offset, min(length, dur - t - offset), p, vel))
            t += span
    return out


def roll(pitch, start, dur, v0, v1, step=1.0 / 6.0):
    """A drum roll (timpani) as fast repeated strokes with a velocity ramp."""
    count = max(1, int(round(dur / step)))
    return [Note(start + i * step, step, pitch, int(round(v0 + (v1 - v0) * i / max(1, count - 1))))
            for i in range(count)]


def swell(start, end, v0, v1, steps=None):
    """Expression (CC11) ramp as a list of (beat, value)."""
    steps = steps or max(2, int((end - start) * 4))
    return [(start + (end - start) * i / steps, int(round(v0 + (v1 - v0) * i / steps)))
            for i in range(steps + 1)]


# Where each kind of part sits in a mix, in loudness units relative to the lead line. The balance
# pass of make_music.py sets every part's channel volume so its measured loudness lands here.
ROLES = {"lead": 0.0, "counter": -4.0, "ostinato": -6.0, "accomp": -7.0, "bass": -7.0, "pad": -9.0,
         "accent": -9.0, "tick": -14.0, "clock": -17.0}


class Part:
    def __init__(self, name, program, role="accomp", pan=64, reverb=60, chorus=0, drums=False, volume=100):
        self.name, self.program, self.volume, self.pan = name, program, volume, pan
        self.role = ROLES[role] if isinstance(role, str) else float(role)
        self.reverb, self.chorus, self.drums = reverb, chorus, drums
        self.notes = []
        self.expression = []  # (beat, value)

    def add(self, ns):
        self.notes.extend(ns)
        return self


class Piece:
    def __init__(self, name, bpm, bar):
        self.name, self.bpm, self.bar = name, bpm, bar
        self.parts = []
        self.length = 0.0  # beats; the loop length

    def part(self, *args, **kwargs):
        p = Part(*args, **kwargs)
        self.parts.append(p)
        return p

    def tempo_us(self):
        return int(round(60e6 / self.bpm))

    def seconds(self, beats=None):
        return (self.length if beats is None else beats) * self.tempo_us() / 1e6

    def write_midi(self, path, tail_seconds=8.0, humanise=True):
        """Writes the piece followed by a silent tail long enough for release and reverb to ring
        out, so the renderer captures everything that spills over the loop point."""
        tpb = 480
        mid = mido.MidiFile(ticks_per_beat=tpb, type=1)
        meta = mido.MidiTrack()
        mid.tracks.append(meta)
        meta.append(mido.MetaMessage("set_tempo", tempo=self.tempo_us(), time=0))
        num = int(round(self.bar)) if abs(self.bar - round(self.bar)) < 1e-6 else int(round(self.bar * 2))
        den = 4 if abs(self.bar - round(self.bar)) < 1e-6 else 8
        meta.append(mido.MetaMessage("time_signature", numerator=num, denominator=den, time=0))
        end_tick = int(round((self.length + tail_seconds * self.bpm / 60.0) * tpb))
        meta.append(mido.MetaMessage("end_of_track", time=end_tick))
        channel = 0
        for part in self.parts:
            if part.drums:
                ch = 9
            else:
                ch = channel
                channel += 1
                if channel == 9:
                    channel = 10
            if ch > 15:
                raise ValueError("too many parts in %s" % self.name)
            events = []  # (tick, order, message)
            events.append((0, 0, mido.Message("program_change", channel=ch, program=part.program)))
            setup = ((7, part.volume), (10, part.pan), (91, part.reverb), (93, part.chorus), (11, 127))
            for cc, value in setup:
                events.append((0, 1, mido.Message("control_change", channel=ch, control=cc, value=value)))
            for beat, value in part.expression:
                msg = mido.Message("control_change", channel=ch, control=11, value=max(0, min(127, value)))
                events.append((int(round(beat * tpb)), 1, msg))
            # A re-struck pitch cuts the previous one just before, so a note-off never kills the new note.
            by_pitch = {}
            for n in sorted(part.notes, key=lambda n: (n.start, n.pitch)):
                on = int(round(n.start * tpb))
                off = int(round((n.start + n.dur) * tpb))
                prev = by_pitch.get(n.pitch)
                if prev is not None and prev[1] > on:
                    prev[1] = max(prev[0] + 1, on - 1)
                rec = [on, off, n]
                by_pitch[n.pitch] = rec
                events.append(rec)
            msgs = []
            for e in events:
                if isinstance(e, list):
                    on, off, n = e
                    v = n.vel
                    if humanise:
                        # Gentle metric accent and a fixed pseudo-random spread keep repeated figures
                        # from sounding mechanical while the render stays reproducible.
                        beat_in_bar = (n.start % self.bar)
                        if beat_in_bar < 1e-6:
                            v += 5
                        elif abs(beat_in_bar - round(beat_in_bar)) > 1e-6:
                            v -= 4
                        v += ((n.pitch * 7919 + on * 104729) % 9) - 4
                    v = max(1, min(127, int(v)))
                    msgs.append((on, 2, mido.Message("note_on", channel=ch, note=n.pitch, velocity=v)))
                    msgs.append((max(off, on + 1), 0 if off > on else 3,
                                 mido.Message("note_off", channel=ch, note=n.pitch, velocity=0)))
                else:
                    msgs.append(e)
            msgs.sort(key=lambda m: (m[0], m[1]))
            track = mido.MidiTrack()
            track.append(mido.MetaMessage("track_name", name=part.name, time=0))
            last = 0
            for tick, _, msg in msgs:
                track.append(msg.copy(time=tick - last))
                last = tick
            mid.tracks.append(track)
        mid.save(path)
