#!/usr/bin/env bash
# Makes the intro shown before the main menu, assets/video/intro.ogg and .srt, from the storyboard
# tools/video/intro.json: the game's paintings and three frames painted for it (paint_intro.py),
# with slow pans, zooms and crossfades. About two minutes here.
#   tools/video/make_intro.sh [--out DIR] [STILLS_DIR]   STILLS_DIR: also keep a PNG of every second to
#   look at; --out DIR: write DIR/assets/video/intro.* instead of the repository's
# The storyboard's images are relative to a scratch folder holding the painted stills/ and a link
# to assets/, so the painted frames never land in the source tree.
set -euo pipefail
out=
if [ "${1:-}" = --out ]; then out="$(realpath -m "${2:?--out needs a folder}")"; shift 2; fi
cd "$(dirname "$0")/../.."
out="${out:-$PWD}"
mkdir -p "$out/assets/video"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
ln -s "$PWD/assets" "$scratch/assets"
cp tools/video/intro.json "$scratch/intro.json"
/usr/bin/python3 tools/video/paint_intro.py "$scratch/stills"
/usr/bin/python3 tools/make_video.py "$scratch/intro.json" "$out/assets/video/intro" ${1:+--stills "$1"}
ls -l "$out/assets/video/intro".*
