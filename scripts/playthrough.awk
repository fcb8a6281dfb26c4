# Turns the playthrough's walk (tests/data/playthrough/*.txt, read in order) into halvern input files.
# One command a line, times in loop steps (60 a second); '#' starts a comment:
#   at N            the step counter of this run jumps to N
#   wait N          N steps pass
#   move X Y        the pointer moves to (X, Y) (one step)
#   press X Y       a left button press and release at (X, Y) (two steps)
#   click X Y       move, then press (three steps)
#   key CODE        a key pressed and released (CODE as in `halvern --help`: 27 Escape, 13 Enter)
#   type WORD       the word's letters and digits typed one by one
#   carry SLOT X Y  the bar raised, the inventory item in SLOT (0 = leftmost) picked up and carried to
#                   (X, Y), held there still; `drop X Y` lets it go
#   drop X Y        a press at (X, Y) that ends a carry
#   shot NAME       a screenshot of this step, compared with tests/data/playthrough/NAME.png
#   quit            the window closes here; the next command starts a new run on the same user folder
# Writes DIR/input-R.txt and DIR/shots-R.txt ("STEP NAME" lines) for every run R and DIR/runs.txt
# ("R STEPS" lines: the steps that run needs).
function line(type, code, x, y) {
    printf "%d %d %d %d %d\n", tick, type, code, x, y > (dir "/input-" run ".txt")
    ++tick
}
function key(code) { line(7, code, 0, 0); line(8, code, 0, 0) }
function endRun() {
    printf "" > (dir "/input-" run ".txt")
    printf "" > (dir "/shots-" run ".txt")
    print run, tick + 30 > (dir "/runs.txt")
}
function bad(why) {
    printf "%s:%d: %s: %s\n", FILENAME, FNR, why, $0 > "/dev/stderr"
    failed = 1
}
BEGIN {
    run = 0; tick = 0
    for (c = 48; c < 127; ++c) code[sprintf("%c", c)] = c
}
{ sub(/#.*/, "") }
NF == 0 { next }
$1 == "at" && NF == 2 { if ($2 + 0 < tick) bad("steps only go forward"); tick = $2 + 0; next }
$1 == "wait" && NF == 2 { tick += $2; next }
$1 == "move" && NF == 3 { line(4, 0, $2, $3); next }
$1 == "press" && NF == 3 { line(1, 0, $2, $3); line(3, 0, $2, $3); next }
$1 == "drop" && NF == 3 { line(1, 0, $2, $3); line(3, 0, $2, $3); next }
$1 == "click" && NF == 3 { line(4, 0, $2, $3); line(1, 0, $2, $3); line(3, 0, $2, $3); next }
$1 == "key" && NF == 2 { key($2 + 0); next }
$1 == "type" && NF == 2 { n = length($2); for (i = 1; i <= n; ++i) key(code[substr($2, i, 1)]); next }
$1 == "carry" && NF == 4 {
    sx = 242 + 90 * $2
    line(4, 0, sx, 762); tick += 45; line(4, 0, sx, 727); tick += 5
    line(1, 0, sx, 727); line(3, 0, sx, 727); tick += 20
    line(4, 0, int((sx + $3) / 2), int((727 + $4) / 2)); tick += 10
    line(4, 0, $3, $4); tick += 25
    next
}
$1 == "shot" && NF == 2 { print tick, $2 > (dir "/shots-" run ".txt"); ++tick; next }
$1 == "quit" && NF == 1 { line(0, 0, 0, 0); endRun(); close(dir "/input-" run ".txt"); ++run; tick = 0; next }
{ bad("not a walk command") }
END {
    if (failed) exit 1
    endRun()
}
