#!/usr/bin/env bash
# Makes one of the game's films, assets/video/NAME.ogg and .srt, from the storyboard
# tools/video/NAME.json and the stills that tools/video/paint_NAME.py paints for it:
#   tools/video/make_film.sh [--out DIR] NAME [STILLS_DIR]
# --out DIR writes DIR/assets/video/NAME.* instead of the repository's; STILLS_DIR also keeps a PNG of
# every second to look at. The storyboard's images are relative to a scratch folder holding the
# painted stills/ and a link to assets/, so the painted frames never land in the source tree.
set -euo pipefail
out=
args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --out) out="$(realpath -m "${2:?--out needs a folder}")"; shift ;;
    *) args+=("$1") ;;
  esac
  shift
done
name="${args[0]:?usage: make_film.sh [--out DIR] NAME [STILLS_DIR]}"
stills="${args[1]:-}"
[ -n "$stills" ] && stills="$(realpath -m "$stills")"
cd "$(dirname "$0")/../.."
out="${out:-$PWD}"
mkdir -p "$out/assets/video"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
ln -s "$PWD/assets" "$scratch/assets"
cp "tools/video/$name.json" "$scratch/$name.json"
/usr/bin/python3 "tools/video/paint_$name.py" "$scratch/stills"
/usr/bin/python3 tools/make_video.py "$scratch/$name.json" "$out/assets/video/$name" ${stills:+--stills "$stills"}
ls -l "$out/assets/video/$name".*
