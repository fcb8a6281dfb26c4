#!/usr/bin/env bash
# Writes a three-minute Ogg Vorbis track (a slow chord) for the sound benchmark: the size of a piece of
# music or ambience. Made at build time into the build folder, never committed.
# Usage: tools/make_long_track.sh OUTPUT.ogg    (needs sox with Vorbis support: sox, libsox-fmt-base)
set -euo pipefail
out="${1:?usage: make_long_track.sh OUTPUT.ogg}"
mkdir -p "$(dirname "$out")"
sox -n -r 44100 -c 2 "$out" synth 180 sine 220 sine 277 tremolo 0.5 40 vol 0.3
