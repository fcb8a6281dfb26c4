"""The game's music, written out in the notation of notation.py.

One musical language runs through all eight pieces: D minor at home, a ticking clockwork
accompaniment (music box, pizzicato, wood blocks), and the Halvern theme, whose opening figure
(A-D-E-F-E-D: fifth, root, and a turn around the tonic) belongs to the house and its clock. The
full theme is heard in the menu, the house and, turned to D major, in the ending; the other
pieces quote its opening figure. Every piece ends on its dominant so the loop falls back into
its first bar.

General MIDI programs used (0-based): 0 piano, 8 celesta, 9 glockenspiel, 10 music box,
11 vibraphone, 12 marimba, 14 tubular bells, 42 cello, 43 contrabass, 44 tremolo
strings, 45 pizzicato strings, 46 harp, 47 timpani, 48/49 string ensembles, 56 trumpet,
57 trombone, 58 tuba, 60 french horn, 68 oboe, 69 english horn, 70 bassoon, 71 clarinet,
73 flute; percussion keys 76/77 high/low wood block.
"""
from notation import Piece, arp, bass, chords, notes, pad, roll, scale_vel, strum, swell, transpose

# The Halvern theme: sixteen bars of 3/4 in D minor.
THEME_CHORDS = "Dm | Bb | Gm | A | Dm | F | Gm:q A:h | Dm | Gm | C | F | Bb | Gm | A | Bbmaj7 | A7"
THEME = ("A4:q D5 E5 | F5:q. E5:e D5:q | G4:q Bb4 D5 | C#5:h. | A4:q D5 E5 | F5:q. G5:e A5:q | "
         "Bb5:q A5:e G5:e E5:q | D5:h. | Bb4:q D5 G5 | G5:q. F5:e E5:q | A4:q C5 F5 | F5:q. E5:e D5:q | "
         "D5:q. E5:e F5:q | E5:q. D5:e C#5:q | D5:q F5 A5 | G5:q E5 C#5")

# The same theme in D major, for the dawn after the storm.
THEME_MAJOR_CHORDS = ("D | Bm | G | A | D | D/F# | G:q A:h | D | G | Em | F#m | Bm | Gmaj7 | A | "
                      "Gmaj7 | A7")
THEME_MAJOR = ("A4:q D5 E5 | F#5:q. E5:e D5:q | G4:q B4 D5 | C#5:h. | A4:q D5 E5 | F#5:q. G5:e A5:q | "
               "B5:q A5:e G5:e E5:q | D5:h. | B4:q D5 G5 | G5:q. F#5:e E5:q | A4:q C#5 F#5 | "
               "F#5:q. E5:e D5:q | D5:q. E5:e F#5:q | E5:q. D5:e C#5:q | D5:q F#5 A5 | G5:q E5 C#5")

# The theme's first four bars, as the music box plays them between sections.
MOTIF = "A5:q D6 E6 | F6:q. E6:e D6:q | G5:q Bb5 D6 | C#6:h."

MUSIC_BOX_FIGURE = [0, 3, 1, 3, 2, 3]  # low, high, middle, high...: the ticking wind-up figure
HARP_WALTZ = [0, 2, 4, 5, 4, 2]


def phrase_swells(part, start, bars, bar, lo, hi, every=4):
    """Expression rising through each phrase and easing at its end."""
    for k in range(0, bars, every):
        a = start + k * bar
        mid = a + every * bar * 0.6
        b = a + every * bar
        part.expression += swell(a, mid, lo, hi) + swell(mid, b, hi, lo)


def menu():
    p = Piece("menu", bpm=80, bar=3)
    B = 3
    mbox = p.part("music box", 10, role="accomp", pan=84, reverb=72)
    celesta = p.part("celesta", 8, role="lead", pan=70, reverb=70)
    flute = p.part("flute", 73, role="counter", pan=58, reverb=70)
    clarinet = p.part("clarinet", 71, role="lead", pan=60, reverb=64)
    violins = p.part("violins", 48, role="lead", pan=52, reverb=70)
    harp = p.part("harp", 46, role="accomp", pan=40, reverb=70)
    strings = p.part("strings", 49, role="pad", pan=74, reverb=80)
    horn = p.part("horn", 60, role="pad", pan=46, reverb=80)
    cello = p.part("cello", 42, role="bass", pan=44, reverb=64)
    pizz = p.part("pizzicato", 45, role="tick", pan=80, reverb=60)
    tick = [(0, 1, 1), (1, 1, 5), (2, 1, 5)]

    # Intro: the music box winds up alone over a ticking pizzicato.
    t = 0
    prog, end = chords("Dm | Bb | Gm | A", t, B)
    mbox.add(arp(prog, 69, 93, MUSIC_BOX_FIGURE, vel=54))
    pizz.add(bass(prog, 50, tick, vel=38))
    strings.add(pad(prog[2:], 57, 74, 3, vel=30))
    t = end

    # A: the theme on celesta and flute.
    prog, end = chords(THEME_CHORDS, t, B)
    celesta.add(transpose(notes(THEME, t, B, vel=74)[0], 12))
    flute.add(notes(THEME, t, B, vel=56)[0])
    harp.add(arp(prog, 50, 74, HARP_WALTZ, vel=44, ring=2))
    strings.add(pad(prog, 55, 72, 4, vel=40))
    phrase_swells(strings, t, 16, B, 80, 118)
    cello.add(bass(prog, 38, [(0, 3, "b")], vel=54))
    pizz.add(bass(prog, 50, tick, vel=32))
    t = end

    # B: a clarinet song in the relative major.
    prog, end = chords("Bb | F | Gm | Dm | Bb | C | A | A7", t, B)
    clarinet.add(notes("D5:h C5:e Bb4:e | C5:h. | Bb4:q A4 G4 | A4:h. | F5:h D5:e Bb4:e | "
                       "E5:h D5:e C5:e | C#5:q E5 A5 | G5:h E5:q", t, B, vel=74)[0])
    harp.add(arp(prog, 50, 74, HARP_WALTZ, vel=40, ring=2))
    strings.add(pad(prog, 55, 72, 4, vel=42))
    phrase_swells(strings, t, 8, B, 80, 118)
    cello.add(bass(prog, 38, [(0, 2, "b"), (2, 1, 5)], vel=50))
    t = end

    # A': the theme on strings, the music box turning above, the horn warming the second half.
    prog, end = chords(THEME_CHORDS, t, B)
    violins.add(notes(THEME, t, B, vel=74)[0])
    second_half = [n for n in notes(THEME, t, B, vel=52)[0] if n.start >= t + 8 * B]
    flute.add(transpose(second_half, 12))
    mbox.add(arp(prog, 69, 93, MUSIC_BOX_FIGURE, vel=42))
    harp.add(arp(prog, 50, 74, HARP_WALTZ, vel=40, ring=2))
    strings.add(pad(prog, 50, 67, 4, vel=40))
    phrase_swells(strings, t, 16, B, 84, 120)
    horn.add(pad(prog[8:], 53, 65, 2, vel=44))
    cello.add(bass(prog, 38, [(0, 2, "b"), (2, 1, 5)], vel=56))
    t = end

    # Outro: the music box remembers the opening and stops on the dominant.
    prog, end = chords("Dm | Bb | Gm | A", t, B)
    mbox.add(notes(MOTIF, t, B, vel=58)[0])
    strings.add(pad(prog, 55, 72, 3, vel=34))
    pizz.add(bass(prog, 50, tick, vel=36))
    harp.add(arp(prog[3:], 50, 74, HARP_WALTZ, vel=36, ring=2))
    p.length = end
    return p


def house():
    p = Piece("house", bpm=69, bar=3)
    B = 3
    piano = p.part("piano", 0, role="accomp", pan=56, reverb=62)
    clarinet = p.part("clarinet", 71, role="lead", pan=72, reverb=62)
    ehorn = p.part("english horn", 69, role="lead", pan=50, reverb=64)
    cello = p.part("cello", 42, role="lead", pan=40, reverb=62)
    strings = p.part("strings", 49, role="pad", pan=80, reverb=78)
    pizz = p.part("pizzicato", 45, role="bass", pan=34, reverb=58)
    mbox = p.part("music box", 10, role="counter", pan=90, reverb=72)
    piano_arp = [0, 2, 4, 2, 3, 2]

    # Intro: the piano alone, lamplight.
    t = 0
    prog, end = chords("Dm | Gm/D | Dm | A7/C#", t, B)
    piano.add(bass(prog, 38, [(0, 3, "b")], vel=48))
    piano.add(arp(prog, 53, 77, piano_arp, vel=42, ring=1.6))
    strings.add(pad(prog, 57, 72, 3, vel=28))
    t = end

    # A: the Halvern theme on the clarinet.
    prog, end = chords(THEME_CHORDS, t, B)
    clarinet.add(notes(THEME, t, B, vel=70)[0])
    piano.add(bass(prog, 38, [(0, 3, "b")], vel=46))
    piano.add(arp(prog, 53, 77, piano_arp, vel=40, ring=1.6))
    cello.add(bass(prog, 38, [(0, 3, "b")], vel=44))
    strings.add(pad(prog, 50, 67, 3, vel=34))
    phrase_swells(strings, t, 16, B, 78, 112)
    t = end

    # B: a slow waltz in F, the english horn singing.
    prog, end = chords("F | C/E | Dm | Bb | Gm | C | F | A | Bb | F/A | Gm | Dm | Bb | Gm | Em7b5 | A7", t, B)
    ehorn.add(notes("C5:h A4:q | G4:h. | F4:q A4 D5 | D5:h C5:q | Bb4:h A4:e G4:e | G4:h. | A4:q C5 F5 | "
                    "E5:h. | F5:q. E5:e D5:q | C5:h A4:q | Bb4:q A4 G4 | F4:h A4:q | D5:q. C5:e Bb4:q | "
                    "G4:q Bb4 D5 | G4:h Bb4:q | C#5:h.", t, B, vel=72)[0])
    pizz.add(bass(prog, 38, [(0, 1, "b")], vel=56))
    piano.add(strum(prog, 55, 69, 3, [1, 2], 0.8, vel=36))
    strings.add(pad(prog, 57, 72, 3, vel=32))
    phrase_swells(strings, t, 16, B, 78, 110)
    t = end

    # A': the theme down in the cello, the clarinet holding a line above.
    prog, end = chords(THEME_CHORDS, t, B)
    cello.add(transpose(notes(THEME, t, B, vel=74)[0], -12))
    clarinet.add(pad(prog, 62, 74, 1, vel=48))
    piano.add(bass(prog, 38, [(0, 3, "b")], vel=44))
    piano.add(arp(prog, 53, 77, piano_arp, vel=38, ring=1.6))
    strings.add(pad(prog, 57, 72, 3, vel=34))
    phrase_swells(strings, t, 16, B, 80, 114)
    t = end

    # Codetta: the music box, and back to the piano's first bar.
    prog, end = chords("Dm | Bb | Gm | A", t, B)
    mbox.add(notes(MOTIF, t, B, vel=52)[0])
    piano.add(bass(prog, 38, [(0, 3, "b")], vel=44))
    piano.add(arp(prog, 53, 77, piano_arp, vel=38, ring=1.6))
    strings.add(pad(prog, 57, 72, 3, vel=30))
    cello.add(bass(prog, 38, [(0, 3, "b")], vel=40))
    p.length = end
    return p


def outside():
    p = Piece("outside", bpm=58, bar=4)
    B = 4
    tremolo = p.part("tremolo strings", 44, role="pad", pan=58, reverb=90)
    high = p.part("high strings", 49, role="pad", pan=80, reverb=100)
    bassline = p.part("contrabass", 43, role="bass", pan=48, reverb=70)
    ehorn = p.part("english horn", 69, role="lead", pan=66, reverb=84)
    violin = p.part("violins", 48, role="lead", pan=76, reverb=96)
    cello = p.part("cello", 42, role="lead", pan=44, reverb=80)
    harp = p.part("harp", 46, role="accomp", pan=34, reverb=90)
    celesta = p.part("celesta", 8, role="accent", pan=96, reverb=110)
    timpani = p.part("timpani", 47, role="accent", pan=64, reverb=80)
    drift = [0, 1, 2, 3, 4, 3, 2, 1]
    a_chords = "Dm | Bbmaj7 | Gm | A | Dm | F | Gm:h A:h | Dm"
    a_melody = "A4:h D5:h | E5:h F5:h | D5:h. Bb4:q | C#5:w | A4:h D5:q E5:q | F5:h. E5:q | D5:h C#5:h | D5:w"

    # Intro: cold tremolo and a low drone; a few drops of celesta.
    t = 0
    prog, end = chords("Dm | Dm | Bbmaj7 | A", t, B)
    tremolo.add(pad(prog, 50, 65, 3, vel=40))
    bassline.add(bass(prog, 38, [(0, 4, "b")], vel=58))
    celesta.add(notes("r:h A6:q r:q | r:w | r:q F6:q r:h | r:w", t, B, vel=40)[0])
    timpani.add(roll(45, t + 3 * B, B, 18, 42))
    tremolo.expression += swell(t, t + 2 * B, 70, 110) + swell(t + 2 * B, end, 110, 90)
    t = end

    # A: the theme's opening, slowed to a walk, on the english horn.
    prog, end = chords(a_chords, t, B)
    ehorn.add(notes(a_melody, t, B, vel=70)[0])
    harp.add(arp(prog, 50, 74, drift, vel=36, ring=2))
    tremolo.add(pad(prog, 50, 65, 3, vel=38))
    bassline.add(bass(prog, 38, [(0, 4, "b")], vel=54))
    phrase_swells(tremolo, t, 8, B, 80, 112)
    t = end

    # B: a thin violin high above, snow-light celesta.
    prog, end = chords("Bb | C | Am | Dm | Gm | Bb | A | A7", t, B)
    violin.add(notes("F5:w | E5:h G5:h | E5:w | D5:h F5:h | D5:h. C5:q | Bb4:h D5:h | C#5:w | E5:h G5:h",
                     t, B, vel=60)[0])
    celesta.add(arp(prog, 81, 98, [0, None, None, 2, None, 1, None, None], vel=36))
    high.add(pad(prog, 62, 79, 3, vel=34))
    tremolo.add(pad(prog, 48, 62, 2, vel=32))
    bassline.add(bass(prog, 38, [(0, 4, "b")], vel=50))
    phrase_swells(high, t, 8, B, 76, 116)
    t = end

    # A': the cello takes the walk; the timpani rises and falls as the wind does.
    prog, end = chords(a_chords, t, B)
    cello.add(transpose(notes(a_melody, t, B, vel=72)[0], -12))
    harp.add(arp(prog, 50, 74, drift, vel=34, ring=2))
    tremolo.add(pad(prog, 53, 69, 3, vel=40))
    high.add(pad(prog, 65, 79, 2, vel=28))
    bassline.add(bass(prog, 38, [(0, 4, "b")], vel=56))
    timpani.add(roll(45, t + 6 * B, B, 22, 58))
    timpani.add(notes("D3:w", t + 7 * B, B, vel=44)[0])
    phrase_swells(tremolo, t, 8, B, 80, 116)
    p.length = end
    return p


def conservatory():
    p = Piece("conservatory", bpm=72, bar=3)  # 6/8: six eighths to the bar
    B = 3
    celesta = p.part("celesta", 8, role="accomp", pan=78, reverb=96)
    harp = p.part("harp", 46, role="accomp", pan=40, reverb=90)
    vib = p.part("vibraphone", 11, role="counter", pan=88, reverb=96)
    flute = p.part("flute", 73, role="lead", pan=60, reverb=90)
    violins = p.part("violins", 48, role="lead", pan=50, reverb=90)
    strings = p.part("strings", 49, role="pad", pan=70, reverb=100)
    cello = p.part("cello", 42, role="bass", pan=40, reverb=80)
    glock = p.part("glockenspiel", 9, role="accent", pan=96, reverb=110)
    snow = [0, 2, 4, 3, 2, 1]
    a_chords = "Bm | Gmaj7 | D | A | Bm | Gmaj7 | Em7 | F#"
    a_melody = ("F#4:q B4:e C#5:q D5:e | C#5:q. B4:q. | A4:q D5:e F#5:q A5:e | E5:h. | "
                "F#5:q B5:e A5:q F#5:e | G5:q. F#5:q. | E5:q G5:e D5:q B4:e | C#5:q. A#4:q.")
    b_chords = "G | D/F# | Em | Bm | G | D | Em7 | F#7"
    b_melody = ("B4:q. D5:q. | A4:h. | G4:q B4:e E5:q. | D5:h. | D5:q. G5:q. | F#5:h. | E5:q D5:e B4:q. | "
                "A#4:q. C#5:q.")

    def bed(prog, t, bars, arp_vel=44, pad_vel=32):
        celesta.add(arp(prog, 71, 95, snow, vel=arp_vel, ring=1.5))
        strings.add(pad(prog, 62, 79, 3, vel=pad_vel))
        cello.add(bass(prog, 40, [(0, 3, "b")], vel=40))
        phrase_swells(strings, t, bars, B, 76, 112)

    t = 0
    prog, end = chords("Bm | Gmaj7 | Bm | Gmaj7", t, B)
    bed(prog, t, 4, arp_vel=42, pad_vel=28)
    t = end

    prog, end = chords(a_chords, t, B)
    bed(prog, t, 8)
    flute.add(notes(a_melody, t, B, vel=70)[0])
    vib.add(pad(prog, 66, 79, 2, vel=36))
    t = end

    prog, end = chords(a_chords, t, B)
    bed(prog, t, 8)
    violins.add(notes(a_melody, t, B, vel=66)[0])
    glock.add(arp(prog, 83, 100, [2, None, None, None, None, None], vel=40))
    harp.add(bass(prog, 47, [(0, 1.5, "b"), (1.5, 1.5, 5)], vel=44))
    t = end

    prog, end = chords(b_chords, t, B)
    bed(prog, t, 8)
    flute.add(notes(b_melody, t, B, vel=70)[0])
    harp.add(arp(prog, 50, 74, [0, 1, 2, 3, 4, 5], vel=38, ring=2))
    t = end

    prog, end = chords(b_chords, t, B)
    bed(prog, t, 8, arp_vel=36)
    vib.add(notes(b_melody, t, B, vel=66)[0])
    celesta.add(transpose(notes(b_melody, t, B, vel=46)[0], 12))
    t = end

    prog, end = chords(a_chords, t, B)
    bed(prog, t, 8)
    flute.add(transpose(notes(a_melody, t, B, vel=62)[0], 12))
    violins.add(notes(a_melody, t, B, vel=56)[0])
    harp.add(bass(prog, 47, [(0, 1.5, "b"), (1.5, 1.5, 5)], vel=40))
    t = end

    prog, end = chords("Bm | Gmaj7 | Em7 | F#", t, B)
    bed(prog, t, 4, arp_vel=40, pad_vel=30)
    vib.add(pad(prog, 66, 79, 2, vel=32))
    p.length = end
    return p


def tower():
    p = Piece("tower", bpm=96, bar=4)
    B = 4
    ost = p.part("ostinato strings", 48, role="ostinato", pan=76, reverb=60)
    low = p.part("low strings", 43, role="ostinato", pan=46, reverb=56)
    violins = p.part("violins", 48, role="lead", pan=58, reverb=64)
    horns = p.part("horns", 60, role="lead", pan=44, reverb=70)
    trombones = p.part("trombones", 57, role="counter", pan=70, reverb=66)
    tuba = p.part("tuba", 58, role="bass", pan=54, reverb=60)
    trumpet = p.part("trumpet", 56, role="counter", pan=84, reverb=72)
    timpani = p.part("timpani", 47, role="accent", pan=64, reverb=66)
    bells = p.part("tubular bells", 14, role="accent", pan=30, reverb=90)
    blocks = p.part("wood blocks", 0, role="clock", pan=64, reverb=50, drums=True)
    cog = [0, 1, 0, 2, 0, 1, 0, 2]  # D F D A ...: the escapement
    low_fig = [(0, .4, "b"), (.5, .4, "b"), (1, .4, 8), (1.5, .4, "b"),
               (2, .4, "b"), (2.5, .4, "b"), (3, .4, 8), (3.5, .4, 5)]
    a_chords = "Dm | Em7b5:h Bb:h | Gm | A | Dm | Bb | Eb | A7"
    a_melody = "A3:h D4:h | E4:h F4:h | G4:h. F4:q | E4:w | A3:h D4:h | F4:h Bb4:h | G4:h. F4:q | E4:h C#4:h"

    def machine(prog, start, bars, vel=50, timp=True, tick=True):
        ost.add(arp(prog, 62, 74, cog, step=0.5, vel=vel, ring=0.7))
        low.add(bass(prog, 38, low_fig, vel=vel + 6))
        if timp:
            timpani.add(bass(prog, 38, [(0, 1, 1), (2, 1, 5)], vel=62))
        if tick:
            for b in range(bars):
                blocks.add(notes("k77:q k76 k77 k76", start + b * B, B, vel=40)[0])

    t = 0
    prog, end = chords("Dm | Dm | Dm | Dm", t, B)
    machine(prog[:2], t, 4, vel=44, timp=False)
    machine(prog[2:], t + 2 * B, 0, vel=48)
    t = end

    # A: the horns call the theme's opening, slow and heavy.
    prog, end = chords(a_chords, t, B)
    machine(prog, t, 8)
    horns.add(notes(a_melody, t, B, vel=78)[0])
    tuba.add(bass(prog, 33, [(0, 4, "b")], vel=56))
    bells.add(notes("D5:w", t, B, vel=62)[0])
    t = end

    prog, end = chords(a_chords, t, B)
    machine(prog, t, 8)
    horns.add(notes(a_melody, t, B, vel=80)[0])
    trombones.add(transpose(notes(a_melody, t, B, vel=70)[0], -12))
    trumpet.add(notes("D5:w | D5:w | D5:w | C#5:w | D5:w | D5:w | Eb5:w | E5:w", t, B, vel=54)[0])
    tuba.add(bass(prog, 33, [(0, 4, "b")], vel=58))
    bells.add(notes("D5:w | r:w | r:w | r:w | A4:w", t, B, vel=58)[0])
    t = end

    # B: the strings climb while the brass strikes each bar.
    prog, end = chords("Gm | Gm | Dm | Dm | Eb | Eb | A | A7", t, B)
    machine(prog, t, 8, vel=52)
    violins.add(notes("G5:q. F5:e D5:q Bb4:q | G4:q Bb4 D5 G5 | F5:q. E5:e D5:q A4:q | F4:q A4 D5 F5 | "
                      "G5:q. F5:e Eb5:q Bb4:q | G4:q Bb4 Eb5 G5 | A5:q. G5:e E5:q C#5:q | A4:q C#5 E5 G5",
                      t, B, vel=80)[0])
    horns.add(strum(prog, 53, 67, 3, [0], 1.2, vel=66))
    trombones.add(strum(prog, 43, 55, 2, [0], 1.2, vel=62))
    tuba.add(bass(prog, 33, [(0, 1.2, "b")], vel=60))
    t = end

    # A': everything, the theme in three octaves.
    prog, end = chords(a_chords, t, B)
    machine(prog, t, 8, vel=56)
    horns.add(notes(a_melody, t, B, vel=86)[0])
    trombones.add(transpose(notes(a_melody, t, B, vel=76)[0], -12))
    violins.add(transpose(notes(a_melody, t, B, vel=78)[0], 12))
    tuba.add(bass(prog, 33, [(0, 4, "b")], vel=62))
    bells.add(notes("D5:w | r:w | Bb4:w | r:w | D5:w | r:w | G4:w | r:w", t, B, vel=60)[0])
    t = end

    # Bridge: the bass walks down under held brass; the trumpet sings over it.
    prog, end = chords("Dm | Dm/C | Bbmaj7 | A | Gm | Gm/F | Eb | A7", t, B)
    machine(prog, t, 8, vel=48, timp=False)
    horns.add(pad(prog, 53, 67, 3, vel=56))
    trombones.add(bass(prog, 40, [(0, 4, "b")], vel=60))
    trumpet.add(notes("F5:w | F5:w | D5:w | E5:w | D5:w | D5:w | Eb5:w | C#5:w", t, B, vel=60)[0])
    timpani.add(roll(45, t + 3 * B, B, 30, 62))
    timpani.add(roll(45, t + 7 * B, B, 30, 66))
    t = end

    # Outro: the dominant, the machine thinning to its ticking before the loop begins again.
    prog, end = chords("A | A | A7 | A7", t, B)
    machine(prog[:3], t, 4, vel=50)
    machine(prog[3:], t + 3 * B, 0, vel=45, timp=False)
    horns.add(notes("E4:w | E4:w | C#4:w | r:w", t, B, vel=60)[0])
    p.length = end
    return p


def ho():
    p = Piece("ho", bpm=88, bar=4)
    B = 4
    pizz = p.part("pizzicato", 45, role="bass", pan=44, reverb=56)
    pizz_chords = p.part("pizzicato chords", 45, role="pad", pan=80, reverb=56)
    clarinet = p.part("clarinet", 71, role="lead", pan=60, reverb=60)
    bassoon = p.part("bassoon", 70, role="lead", pan=50, reverb=60)
    flute = p.part("flute", 73, role="counter", pan=72, reverb=66)
    celesta = p.part("celesta", 8, role="accomp", pan=90, reverb=74)
    strings = p.part("strings", 49, role="pad", pan=64, reverb=80)
    blocks = p.part("wood blocks", 0, role="clock", pan=64, reverb=50, drums=True)
    walk = [(0, .9, "b"), (1, .9, 5), (2, .9, 8), (3, .9, 5)]
    a_chords = "Gm | Gm | Cm | D7 | Gm | Eb | Am7b5 | D7"
    a_melody = ("D5:e r:e G5:e r:e F5:e Eb5:e D5:q | Bb4:e r:e D5:e r:e C5:e Bb4:e A4:q | "
                "G4:e r:e C5:e r:e Eb5:e D5:e C5:q | F#4:e G4:e A4:e C5:e D5:h | "
                "D5:e r:e G5:e r:e A5:e Bb5:e A5:q | G5:q. F5:e Eb5:q Bb4:q | C5:q. Bb4:e A4:q Eb5:q | "
                "D5:h. r:q")
    b_chords = "Eb | Bb | Cm | Gm | Eb | Bb/D | Cm6 | D7"
    b_melody = ("Eb3:q G3 Bb3 G3 | D3:q F3 Bb3:h | C3:q Eb3 G3 Eb3 | D3:q G3 Bb3:h | G3:q Bb3 Eb4 D4 | "
                "F3:q Bb3 D4:h | Eb4:q C4 A3 C4 | D4:h C4:q A3:q")

    def bed(prog, start, bars, pad_vel=30):
        pizz.add(bass(prog, 38, walk, vel=56))
        pizz_chords.add(strum(prog, 55, 67, 3, [1, 3], 0.5, vel=38))
        strings.add(pad(prog, 55, 70, 3, vel=pad_vel))
        for b in range(bars):
            blocks.add(notes("r:q k76:q r:q k76:q", start + b * B, B, vel=30)[0])

    t = 0
    prog, end = chords("Gm | Gm | Cm | D7", t, B)
    bed(prog, t, 4, pad_vel=24)
    celesta.add(notes("r:w | r:h D6:e r:e G6:e r:e | r:w | r:h F#6:e r:e A6:e r:e", t, B, vel=44)[0])
    t = end

    prog, end = chords(a_chords, t, B)
    bed(prog, t, 8)
    clarinet.add(notes(a_melody, t, B, vel=72)[0])
    t = end

    prog, end = chords(a_chords, t, B)
    bed(prog, t, 8)
    flute.add(notes(a_melody, t, B, vel=66)[0])
    clarinet.add(pad(prog, 58, 70, 1, vel=44))
    t = end

    prog, end = chords(b_chords, t, B)
    bed(prog, t, 8)
    bassoon.add(notes(b_melody, t, B, vel=76)[0])
    celesta.add(arp(prog, 72, 96, [None, None, None, None, 2, 3, 4, None], vel=40))
    t = end

    prog, end = chords(b_chords, t, B)
    bed(prog, t, 8)
    bassoon.add(notes(b_melody, t, B, vel=70)[0])
    clarinet.add(transpose(notes(b_melody, t, B, vel=60)[0], 12))
    flute.add(arp(prog, 74, 91, [None, None, None, None, None, None, 2, 1], vel=40))
    t = end

    prog, end = chords(a_chords, t, B)
    bed(prog, t, 8)
    clarinet.add(notes(a_melody, t, B, vel=70)[0])
    celesta.add(transpose(notes(a_melody, t, B, vel=50)[0], 12))
    t = end

    prog, end = chords("Gm | Cm | Am7b5 | D7", t, B)
    bed(prog, t, 4, pad_vel=26)
    celesta.add(notes("r:h D6:e r:e G6:e r:e | r:w | r:h C6:e r:e Eb6:e r:e | r:h F#6:e r:e A6:e r:e",
                      t, B, vel=42)[0])
    p.length = end
    return p


def minigame():
    p = Piece("minigame", bpm=104, bar=4)
    B = 4
    marimba = p.part("marimba", 12, role="ostinato", pan=70, reverb=56)
    pizz = p.part("pizzicato", 45, role="bass", pan=44, reverb=52)
    oboe = p.part("oboe", 68, role="lead", pan=56, reverb=62)
    clarinet = p.part("clarinet", 71, role="lead", pan=60, reverb=62)
    strings = p.part("strings", 49, role="pad", pan=80, reverb=80)
    glock = p.part("glockenspiel", 9, role="accent", pan=90, reverb=76)
    blocks = p.part("wood blocks", 0, role="clock", pan=64, reverb=46, drums=True)
    gears = [0, 2, 1, 3, 0, 2, 1, 3]
    a_chords = "Am | Fmaj7 | Dm7 | E7sus4:h E7:h | Am | Fmaj7 | Dm7 | E7"
    a_melody = ("E4:q A4 B4 C5 | C5:q. B4:e A4:h | F4:q A4 C5 D5 | E5:h. D5:q | C5:q. B4:e A4:q E5:q | "
                "A5:h G5:q F5:q | F5:q. E5:e D5:q C5:q | B4:w")
    b_chords = "Fmaj7 | G | Em7 | Am | Dm7 | G | Cmaj7 | E7"
    b_melody = "A4:h. C5:q | B4:w | G4:h. B4:q | C5:w | A4:h. D5:q | B4:w | G4:h E4:h | G#4:w"

    def bed(prog, start, bars, vel=50, pad_vel=30):
        marimba.add(arp(prog, 57, 81, gears, step=0.5, vel=vel, ring=0.9))
        pizz.add(bass(prog, 33, [(0, .9, "b"), (2, .9, 5)], vel=56))
        if pad_vel:
            strings.add(pad(prog, 57, 72, 3, vel=pad_vel))
        for b in range(bars):
            blocks.add(notes("k77:q k76 k77 k76", start + b * B, B, vel=32)[0])

    t = 0
    prog, end = chords("Am | Am | Fmaj7 | E7", t, B)
    bed(prog, t, 4, vel=46, pad_vel=0)
    t = end
    prog, end = chords(a_chords, t, B)
    bed(prog, t, 8, pad_vel=0)
    oboe.add(notes(a_melody, t, B, vel=70)[0])
    t = end
    prog, end = chords(a_chords, t, B)
    bed(prog, t, 8)
    oboe.add(notes(a_melody, t, B, vel=70)[0])
    glock.add(transpose(notes(a_melody, t, B, vel=36)[0], 24))
    t = end
    prog, end = chords(b_chords, t, B)
    bed(prog, t, 8)
    clarinet.add(notes(b_melody, t, B, vel=70)[0])
    t = end
    prog, end = chords(b_chords, t, B)
    bed(prog, t, 8)
    clarinet.add(notes(b_melody, t, B, vel=66)[0])
    oboe.add(pad(prog, 72, 84, 1, vel=50))
    t = end
    prog, end = chords(a_chords, t, B)
    bed(prog, t, 8, vel=54, pad_vel=34)
    oboe.add(notes(a_melody, t, B, vel=74)[0])
    clarinet.add(transpose(notes(a_melody, t, B, vel=50)[0], -12))
    glock.add(transpose(notes(a_melody, t, B, vel=34)[0], 24))
    t = end
    prog, end = chords("Am | Fmaj7 | Dm7 | E7", t, B)
    bed(prog, t, 4, vel=48, pad_vel=26)
    p.length = end
    return p


def ending():
    p = Piece("ending", bpm=76, bar=3)
    B = 3
    bells = p.part("tubular bells", 14, role="accent", pan=36, reverb=96)
    harp = p.part("harp", 46, role="accomp", pan=40, reverb=80)
    flute = p.part("flute", 73, role="lead", pan=62, reverb=80)
    violins = p.part("violins", 48, role="lead", pan=54, reverb=80)
    strings = p.part("strings", 49, role="pad", pan=76, reverb=90)
    horn = p.part("horn", 60, role="counter", pan=44, reverb=86)
    cello = p.part("cello", 42, role="bass", pan=42, reverb=76)
    piano = p.part("piano", 0, role=-4, pan=60, reverb=72)
    celesta = p.part("celesta", 8, role="accomp", pan=90, reverb=86)
    clarinet = p.part("clarinet", 71, role="lead", pan=66, reverb=76)
    mbox = p.part("music box", 10, role="counter", pan=88, reverb=86)
    timpani = p.part("timpani", 47, role="accent", pan=64, reverb=80)

    t = 0
    prog, end = chords("D | G | D | A", t, B)
    bells.add(notes("D5:h. | A4:h. | D5:h. | A4:h.", t, B, vel=52)[0])
    harp.add(arp(prog, 50, 74, HARP_WALTZ, vel=42, ring=2))
    strings.add(pad(prog, 55, 72, 3, vel=30))
    t = end

    prog, end = chords(THEME_MAJOR_CHORDS, t, B)
    flute.add(notes(THEME_MAJOR, t, B, vel=72)[0])
    harp.add(arp(prog, 50, 74, HARP_WALTZ, vel=42, ring=2))
    strings.add(pad(prog, 55, 72, 4, vel=38))
    phrase_swells(strings, t, 16, B, 80, 116)
    cello.add(bass(prog, 38, [(0, 3, "b")], vel=50))
    t = end

    prog, end = chords(THEME_MAJOR_CHORDS, t, B)
    violins.add(notes(THEME_MAJOR, t, B, vel=76)[0])
    horn.add(pad(prog, 55, 67, 1, vel=50))
    celesta.add(arp(prog, 74, 98, MUSIC_BOX_FIGURE, vel=36))
    strings.add(pad(prog, 50, 67, 4, vel=40))
    phrase_swells(strings, t, 16, B, 84, 120)
    cello.add(bass(prog, 38, [(0, 2, "b"), (2, 1, 5)], vel=56))
    harp.add(arp(prog, 50, 74, HARP_WALTZ, vel=38, ring=2))
    timpani.add(notes("D3:q r:h | r:h. | r:h. | r:h. | D3:q r:h | r:h. | r:h. | r:h. | "
                      "G2:q r:h | r:h. | r:h. | r:h. | G2:q r:h | A2:q r:h | r:h. | A2:q r:h",
                      t, B, vel=44)[0])
    t = end

    prog, end = chords("G | D | Em | Bm | G | A | F#m | A7", t, B)
    clarinet.add(notes("D5:h C#5:e B4:e | A4:h. | B4:q C#5 D5 | F#5:h. | G5:h F#5:e E5:e | E5:h. | "
                       "F#5:q E5 C#5 | E5:h C#5:q", t, B, vel=72)[0])
    piano.add(arp(prog, 55, 79, [0, 2, 4, 2, 3, 2], vel=40, ring=1.6))
    strings.add(pad(prog, 55, 72, 3, vel=36))
    phrase_swells(strings, t, 8, B, 80, 112)
    cello.add(bass(prog, 38, [(0, 3, "b")], vel=50))
    t = end

    first_half = [n for n in notes(THEME_MAJOR, t, B, vel=64)[0] if n.start < t + 8 * B]
    prog, end = chords(" | ".join(THEME_MAJOR_CHORDS.split(" | ")[:8]), t, B)
    piano.add(first_half)
    piano.add(bass(prog, 38, [(0, 3, "b")], vel=44))
    mbox.add(scale_vel(transpose(first_half, 12), 0.75))
    strings.add(pad(prog, 55, 72, 3, vel=30))
    t = end

    prog, end = chords("D | G | Em7 | A7", t, B)
    bells.add(notes("D5:h. | r:h. | r:h. | A4:h.", t, B, vel=48)[0])
    harp.add(arp(prog, 50, 74, HARP_WALTZ, vel=40, ring=2))
    strings.add(pad(prog, 55, 72, 3, vel=34))
    cello.add(bass(prog, 38, [(0, 3, "b")], vel=46))
    p.length = end
    return p


PIECES = [menu, house, outside, conservatory, tower, ho, minigame, ending]
