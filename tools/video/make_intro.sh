#!/usr/bin/env bash
# Makes the intro shown before the main menu, assets/video/intro.ogg and .srt, from the storyboard
# tools/video/intro.json: the game's paintings and three frames painted for it (paint_intro.py),
# with slow pans, zooms and crossfades. About two minutes here.
#   tools/video/make_intro.sh [--out DIR] [STILLS_DIR]   (see make_film.sh)
exec "$(dirname "$0")/make_film.sh" intro "$@"
