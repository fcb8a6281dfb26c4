// Recorded input for halvern's --input, built step by step: pointer moves, clicks, presses, keys and
// waits, counted in loop steps; and the same as free functions of a tick.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tests/integration/HalvernRun.h"

namespace halverntest {

class Walk {
public:
    explicit Walk(int start = 0) : tick(start) {}
    Walk& at(int when) {
        tick = when;
        return *this;
    }
    Walk& wait(int ticks) {
        tick += ticks;
        return *this;
    }
    Walk& move(int x, int y) {
        line(4, x, y);
        return *this;
    }
    Walk& press(int x, int y) {
        line(1, x, y);
        line(3, x, y);
        return *this;
    }
    Walk& click(int x, int y) { return move(x, y).press(x, y); }
    // A click and the steps a puzzle piece takes to answer it before the next.
    Walk& tap(int x, int y) { return click(x, y).wait(12); }
    // In the bundled game: past the logo and the intro, a new player of this name, a new game, the
    // tips declined; the gate is playable at the tick this leaves.
    Walk& newGame(const std::string& name) {
        at(20).click(512, 600).at(40).key(27).at(100).click(250, 472).at(120).type(name).at(130).key(13);
        return at(150).click(703, 436).at(170).click(250, 340).at(420).click(282, 300).at(440);
    }
    Walk& key(int code) {
        text += std::to_string(tick++) + " 7 " + std::to_string(code) + " 0 0\n";
        text += std::to_string(tick++) + " 8 " + std::to_string(code) + " 0 0\n";
        return *this;
    }
    Walk& type(const std::string& word) {
        for (char c : word) key(c);
        return *this;
    }
    // The pointer on the strip raises it; the item in the given slot of the window is picked up, carried
    // to (x, y) and held there until the drop.
    Walk& carry(int slot, int x, int y) {
        const int sx = 242 + 90 * slot;
        move(sx, 762).wait(45).move(sx, 727).wait(5).press(sx, 727).wait(20);
        return move((sx + x) / 2, (727 + y) / 2).wait(10).move(x, y).wait(25);
    }
    Walk& drop(int x, int y) { return press(x, y); }
    // The same with the button held: down on the slot, the item carried to (x, y) and let go there.
    Walk& drag(int slot, int x, int y) {
        const int sx = 242 + 90 * slot;
        move(sx, 762).wait(45).move(sx, 727).wait(5);
        line(1, sx, 727);
        wait(20).move((sx + x) / 2, (727 + y) / 2).wait(10).move(x, y).wait(25);
        line(3, x, y);
        return *this;
    }

    std::string text;
    int tick;

private:
    void line(int type, int x, int y) {
        text += std::to_string(tick++) + " " + std::to_string(type) + " 0 " + std::to_string(x) + " " +
                std::to_string(y) + "\n";
    }
};

// The same input as lines of text, for walks written tick by tick: a click (the pointer moved there
// first), a typed text, a pointer move, and the way to the menu with the logo and the intro skipped.
inline std::string click(int tick, int x, int y) {
    const std::string at = " " + std::to_string(x) + " " + std::to_string(y) + "\n";
    return std::to_string(tick) + " 4 0" + at + std::to_string(tick + 1) + " 1 0" + at +
           std::to_string(tick + 2) + " 3 0" + at;
}
inline std::string keys(int tick, const std::string& text) {
    std::string lines;
    for (char c : text) {
        lines += std::to_string(tick++) + " 7 " + std::to_string(static_cast<int>(c)) + " 0 0\n";
        lines += std::to_string(tick++) + " 8 " + std::to_string(static_cast<int>(c)) + " 0 0\n";
    }
    return lines;
}
inline std::string move(int tick, int x, int y) {
    return std::to_string(tick) + " 4 0 " + std::to_string(x) + " " + std::to_string(y) + "\n";
}
// Plays the walk on the bundled game over the user folder up to the walk's end (or `frames`), with a
// screenshot user.file(name + ".png") at each (tick, name).
inline RunResult playBundled(const TempDir& user, const Walk& walk,
                             const std::vector<std::pair<int, std::string>>& shots = {}, int frames = 0) {
    user.write("input.txt", walk.text);
    std::vector<std::string> args = {
        "--headless", "--fixed-step",        "--frames",   std::to_string(frames > 0 ? frames : walk.tick),
        "--game-dir", HALVERN_SOURCE_DIR,    "--user-dir", user.path,
        "--input",    user.file("input.txt")};
    for (const auto& shot : shots) {
        args.push_back("--screenshot-at");
        args.push_back(std::to_string(shot.first) + ":" + user.file(shot.second + ".png"));
    }
    return runHalvern(args);
}

inline std::string toTheMenu() {
    return click(20, 512, 600) + "40 7 27 0 0\n41 8 27 0 0\n";
}

}  // namespace halverntest
