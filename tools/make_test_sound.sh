#!/usr/bin/env bash
# Writes the tiny Ogg Vorbis files the sound tests play (tests/data/sounds/). Needs sox with
# Vorbis support (Debian: sox, libsox-fmt-all). The output is committed; run again only to
# change the sounds. Usage: tools/make_test_sound.sh [--out DIR]   (DIR: write under DIR/tests/...)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
[ "${1:-}" = --out ] && root="${2:?--out needs a folder}"
out="$root/tests/data/sounds"
mkdir -p "$out"
# A tenth of a second of a quiet 440 Hz tone: plays to its end quickly.
sox -n -r 22050 -c 1 "$out/beep.ogg" synth 0.1 sine 440 vol 0.3
# Two seconds, for tests that must stop or pause a sound before it ends.
sox -n -r 22050 -c 1 "$out/long.ogg" synth 2 sine 330 vol 0.3
# Not an Ogg file at all, under the .ogg name.
printf 'this is not a sound\n' > "$out/corrupt.ogg"
