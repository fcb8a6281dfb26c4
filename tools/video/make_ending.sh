#!/usr/bin/env bash
# Makes the ending film shown between Ysolde's words and the credits, assets/video/ending.ogg and .srt,
# from the storyboard tools/video/ending.json: the tower once the clock runs, the kettle and the
# teacups, the cliff before sunrise and the dawn (ending/back), with slow pans, zooms and crossfades.
# The film ends on the dawn painting at full size, which is the picture of room_ending, so the room
# takes over from it without a seam.
#   tools/video/make_ending.sh [--out DIR] [STILLS_DIR]   STILLS_DIR: also keep a PNG of every second to
#   look at; --out DIR: write DIR/assets/video/ending.* instead of the repository's
# The storyboard's images are relative to a scratch folder holding the composed stills/ and a link to
# assets/, so the composed frames never land in the source tree.
set -euo pipefail
out=
if [ "${1:-}" = --out ]; then out="$(realpath -m "${2:?--out needs a folder}")"; shift 2; fi
cd "$(dirname "$0")/../.."
out="${out:-$PWD}"
mkdir -p "$out/assets/video"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
ln -s "$PWD/assets" "$scratch/assets"
cp tools/video/ending.json "$scratch/ending.json"
/usr/bin/python3 tools/video/paint_ending.py "$scratch/stills"
/usr/bin/python3 tools/make_video.py "$scratch/ending.json" "$out/assets/video/ending" ${1:+--stills "$1"}
ls -l "$out/assets/video/ending".*
