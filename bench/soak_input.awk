# Writes a random but reproducible input file for halvern (see `halvern --help`): clicks, double
# clicks, drags, pointer moves, key presses (Escape most of all), focus loss and return, the pointer
# leaving the window, display toggles, trips to the menu and back, and now and then a quit.
#   awk -v seed=S -v frames=N -v start=new|continue|walk [-v walk=FILE -v walkend=STEP] \
#       -f bench/soak_input.awk
# new: a new player and game; continue: the menu's continue; walk: the events of a scripted walk
# (scripts/playthrough.awk's input) before a random step up to STEP, so that later rooms see random
# play too. Then random events to the end.
# Half of the presses aim near the places that do something (menu buttons, the bar, the rooms'
# doors, items and exits, the inventory slots, dialog buttons), the rest anywhere on the canvas.
function rnd(a, b) { return a + int(rand() * (b - a + 1)) }
function ev(type, code, x, y) {
    if (t >= frames) return
    printf "%d %d %d %d %d\n", t, type, code, x, y
    ++t
}
function wait(n) { t += n }
function spot(   i) {
    if (rand() < 0.5) {
        i = rnd(1, nspots)
        px = hx[i] + rnd(-12, 12)
        py = hy[i] + rnd(-12, 12)
    } else {
        px = rnd(0, 1023)
        py = rnd(0, 767)
    }
}
function click(x, y) { ev(4, 0, x, y); ev(1, 0, x, y); ev(3, 0, x, y) }
function key(code) { ev(7, code, 0, 0); if (rand() < 0.9) ev(8, code, 0, 0) }
function newGame() {
    t = 20; click(512, 600); t = 40; key(27); t = 100; click(250, 472)
    t = 120; key(87); key(114); key(101); key(110); t = 130; key(13)
    t = 150; click(703, 436); t = 170; click(250, 340); t = 420; click(282, 300)
}
function carryOn() { t = 20; click(512, 600); t = 40; key(27); t = 100; click(250, 408); t = 300 }
function walkTo(file, until,   f) {
    while ((getline f < file) > 0) {
        split(f, w, " ")
        if (w[1] + 0 >= until || w[1] + 0 >= frames) break
        print f
    }
    close(file)
    t = until
}
BEGIN {
    srand(seed)
    n = split("250 340 250 408 250 472 250 540 250 608 703 436 282 300 742 300 512 420 512 600 " \
              "56 612 44 752 955 748 512 750 940 660 242 727 332 727 422 727 512 727 602 727 692 727 " \
              "220 496 212 573 514 408 514 426 401 402 96 479 263 378 244 500 513 462 441 469 574 463 " \
              "512 574 674 399 907 164 519 461 860 355 513 381 712 470 217 253 295 150 700 172 773 502 " \
              "546 352 870 120 1000 20", v, " ")
    nspots = 0
    for (i = 1; i < n; i += 2) { ++nspots; hx[nspots] = v[i]; hy[nspots] = v[i + 1] }
    if (start == "new") newGame(); else if (start == "walk") walkTo(walk, rnd(440, walkend)); else carryOn()
    while (t < frames) {
        wait(rnd(0, 2) == 0 ? rnd(20, 90) : rnd(1, 12))
        r = rand()
        if (r < 0.34) {                      # a click
            spot(); click(px, py)
        } else if (r < 0.44) {               # a double click
            spot(); click(px, py); wait(rnd(0, 4)); ev(1, 0, px, py); ev(3, 0, px, py)
        } else if (r < 0.58) {               # a drag: an inventory slot or anywhere, to anywhere
            if (rand() < 0.5) { ev(4, 0, 512, 762); wait(rnd(5, 50)); px = 242 + 90 * rnd(0, 5); py = 727 }
            else spot()
            ev(4, 0, px, py); ev(1, 0, px, py)
            steps = rnd(1, 8)
            for (s = 0; s < steps; ++s) { spot(); wait(rnd(0, 10)); ev(4, 0, px, py) }
            wait(rnd(0, 30)); ev(3, 0, px, py)
        } else if (r < 0.66) {               # the pointer wanders
            steps = rnd(1, 6)
            for (s = 0; s < steps; ++s) { spot(); ev(4, 0, px, py); wait(rnd(0, 5)) }
        } else if (r < 0.78) {               # Escape, sometimes twice
            key(27); if (rand() < 0.3) key(27)
        } else if (r < 0.83) {               # some other key
            k = rnd(0, 9)
            if (k < 3) key(rnd(65, 90)); else if (k == 3) key(13); else if (k == 4) key(8)
            else if (k == 5) key(32); else if (k == 6) key(rnd(-126, -123)); else key(rnd(-100, -89))
        } else if (r < 0.89) {               # focus lost, maybe pressed meanwhile, then back
            ev(12, 0, 0, 0); wait(rnd(0, 120))
            if (rand() < 0.3) { spot(); click(px, py) }
            ev(12, 1, 0, 0)
        } else if (r < 0.91) {               # the pointer leaves the window
            ev(5, 0, 0, 0)
        } else if (r < 0.975) {              # to the menu and back into the game
            click(44, 752); wait(rnd(1, 120))
            if (rand() < 0.3) { spot(); click(px, py); wait(rnd(1, 60)) }
            if (rand() < 0.2) key(27)
            click(250, 408)
        } else if (r < 0.99) {               # a press on the middle of the screen mid-fade
            click(512, 384); wait(rnd(1, 3)); click(512, 384)
        } else if (r < 0.995) {              # full screen and back
            ev(13, 0, 0, 0); wait(rnd(1, 30)); ev(13, 0, 0, 0)
        } else if (rand() < 0.25) {          # the window closes: this run ends here
            ev(0, 0, 0, 0)
        }
    }
}
