#!/usr/bin/env bash
# Makes the intro shown before the main menu, assets/video/intro.ogg and .srt, from the storyboard
# tools/video/intro.json: the game's paintings and three frames painted for it (paint_intro.py),
# with slow pans, zooms and crossfades. About two minutes here.
#   tools/video/make_intro.sh [STILLS_DIR]   STILLS_DIR: also keep a PNG of every second to look at
# The storyboard's images are relative to a scratch folder holding the painted stills/ and a link
# to assets/, so the painted frames never land in the source tree.
set -euo pipefail
cd "$(dirname "$0")/../.."
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
ln -s "$PWD/assets" "$scratch/assets"
cp tools/video/intro.json "$scratch/intro.json"
/usr/bin/python3 tools/video/paint_intro.py "$scratch/stills"
/usr/bin/python3 tools/make_video.py "$scratch/intro.json" assets/video/intro ${1:+--stills "$1"}
ls -l assets/video/intro.*
