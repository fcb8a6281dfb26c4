#!/usr/bin/env bash
# Regenerates every sound of the game from the sources in this folder:
#   music    scores.py (notation) -> MIDI -> FluidSynth + FluidR3 GM -> seamless loop -> Ogg Vorbis
#            assets/audio/music/*.ogg                                         (make_music.py)
#   ambience synthesised periodic loops                  assets/audio/env/*.ogg   (make_env.py)
#   effects  synthesised one-shots  assets/audio/sfx/*.ogg and the interface's sounds in
#            assets/audio/ (hint, diary, inventory)                               (make_sfx.py)
# then measures all of them (check_audio.py: format, length, loudness, peaks, DC, loop seams,
# silent gaps, clicks at the edges) and fails if one is out of bounds.
#
#   tools/audio/make_all.sh              everything, with the committed mix levels (mix.json)
#   tools/audio/make_all.sh --balance    also re-measure the mix levels of every part first
#                                        (renders each part alone: several minutes)
#   tools/audio/make_all.sh --pictures   also write spectrograms and loop-seam close-ups to
#                                        out/audio/check/
#   tools/audio/make_all.sh --out DIR    write under DIR/assets/audio instead of the repository's
#
# Needs Debian's python3 with python3-mido, python3-numpy, python3-scipy and python3-pil, and
# fluidsynth, fluid-soundfont-gm, ffmpeg (libvorbis) and sox. The output is deterministic
# (seeded noise, bit-exact encoding) and committed; run again only to change the sounds.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
py=/usr/bin/python3
music_args=()
check_args=()
out=()
while [ $# -gt 0 ]; do
    case "$1" in
        --balance) music_args+=(--balance) ;;
        --pictures) check_args+=(--pictures) ;;
        --out) out=(--out "${2:?--out needs a folder}"); shift ;;
        *) echo "unknown option: $1" >&2; exit 2 ;;
    esac
    shift
done
"$py" "$here/make_music.py" "${music_args[@]}" "${out[@]}"
"$py" "$here/make_env.py" "${out[@]}"
"$py" "$here/make_sfx.py" "${out[@]}"
"$py" "$here/check_audio.py" "${check_args[@]}" "${out[@]}"
