#!/usr/bin/env bash
# Makes the ending film shown between Ysolde's words and the credits, assets/video/ending.ogg and .srt,
# from the storyboard tools/video/ending.json: the tower once the clock runs, the kettle and the
# teacups, the cliff before sunrise and the dawn (ending/back), with slow pans, zooms and crossfades.
# The film ends on the dawn painting at full size, which is the picture of room_ending, so the room
# takes over from it without a seam.
#   tools/video/make_ending.sh [--out DIR] [STILLS_DIR]   (see make_film.sh)
exec "$(dirname "$0")/make_film.sh" ending "$@"
