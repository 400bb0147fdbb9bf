// The settings files of the behaviour corpus and the games played over each: every key in
// range, below, above and negative, ghosts left out, readings cut short, no file, the
// shipped file.
#pragma once

#include <cstdint>
#include <vector>

namespace corpus {

// Settings "files" that are not written by the test.
const char* const NO_FILE = "(none)";
const char* const SHIPPED = "(shipped data/config.txt)";

struct GameRun {
    const char* agent;
    uint32_t firstSeed;
    int games;
    int64_t maxTicks;
};

struct Variant {
    const char* name;
    // The file's text, NO_FILE or SHIPPED.
    const char* text;
    std::vector<GameRun> runs;
};

const std::vector<GameRun> USUAL = {{"planner", 1, 12, 30000}, {"nearest-food", 1, 4, 30000}};

// Every key with a value in range, below it, above it and negative; ghosts left out alone and
// together; a key given twice; readings cut short; no file; the shipped file. Games long enough
// that the timers at their largest (10000 ticks) run out inside them.
const std::vector<Variant> VARIANTS = {
    {"shipped",
     SHIPPED,
     {{"planner", 1, 30, 30000}, {"planner", 31, 4, 2500}, {"nearest-food", 1, 8, 30000}}},
    {"no-file", NO_FILE, USUAL},
    {"in-range",
     "control 3\nred_ghost 1\ngreen_ghost 1\norange_ghost 1\nturquoise_ghost 1\n"
     "red_ghost_slow_down_factor 3\ngreen_ghost_slow_down_factor 2\n"
     "orange_ghost_slow_down_factor 4\nturquoise_ghost_slow_down_factor 1\n"
     "powerpill_slowdown_factor 3\nn_moves_blue_ghosts 300\nn_moves_ghost_appears 70\n"
     "length_attack_mode 700\nlength_scatter_mode 400\nn_moves_fruit_appears 150\n"
     "dot_value 7\npowerpill_value 60\nghost_value 333\nfruit_value 222\nfps 9\n",
     USUAL},
    {"below-range",
     "control 0\nred_ghost_slow_down_factor 0\ngreen_ghost_slow_down_factor 0\n"
     "orange_ghost_slow_down_factor 0\nturquoise_ghost_slow_down_factor 0\n"
     "powerpill_slowdown_factor 0\nn_moves_blue_ghosts 99\nn_moves_ghost_appears 49\n"
     "length_attack_mode 99\nlength_scatter_mode 99\nn_moves_fruit_appears 49\ndot_value 0\n"
     "powerpill_value 9\nghost_value 9\nfruit_value 9\nfps 0\n",
     USUAL},
    {"above-range",
     "control 7\nred_ghost_slow_down_factor 6\ngreen_ghost_slow_down_factor 9\n"
     "orange_ghost_slow_down_factor 6\nturquoise_ghost_slow_down_factor 7\n"
     "powerpill_slowdown_factor 6\nn_moves_blue_ghosts 1001\nn_moves_ghost_appears 501\n"
     "length_attack_mode 10001\nlength_scatter_mode 10001\nn_moves_fruit_appears 1001\n"
     "dot_value 51\npowerpill_value 501\nghost_value 501\nfruit_value 501\nfps 21\n",
     USUAL},
    // The scatter phase at its longest starts after a short attack phase, so that it ends
    // inside a game.
    {"long-scatter",
     "length_attack_mode 100\nlength_scatter_mode 20000\nn_moves_blue_ghosts 1000\n"
     "red_ghost_slow_down_factor 3\ngreen_ghost_slow_down_factor 3\n"
     "orange_ghost_slow_down_factor 3\nturquoise_ghost_slow_down_factor 3\n",
     USUAL},
    {"at-the-limits",
     "red_ghost_slow_down_factor 5\ngreen_ghost_slow_down_factor 1\n"
     "orange_ghost_slow_down_factor 5\nturquoise_ghost_slow_down_factor 1\n"
     "powerpill_slowdown_factor 5\nn_moves_blue_ghosts 1000\nn_moves_ghost_appears 500\n"
     "length_attack_mode 10000\nlength_scatter_mode 100\nn_moves_fruit_appears 50\n"
     "dot_value 50\npowerpill_value 500\nghost_value 500\nfruit_value 500\nfps 20\n",
     USUAL},
    {"negative",
     "control -1\nred_ghost -1\ngreen_ghost -1\norange_ghost -1\nturquoise_ghost -1\n"
     "red_ghost_slow_down_factor -2\ngreen_ghost_slow_down_factor -3\n"
     "orange_ghost_slow_down_factor -4\nturquoise_ghost_slow_down_factor -5\n"
     "powerpill_slowdown_factor -1\nn_moves_blue_ghosts -200\nn_moves_ghost_appears -100\n"
     "length_attack_mode -1500\nlength_scatter_mode -250\nn_moves_fruit_appears -400\n"
     "dot_value -10\npowerpill_value -100\nghost_value -250\nfruit_value -100\nfps -20\n",
     USUAL},
    {"only-red", "green_ghost 0\norange_ghost 0\nturquoise_ghost 0\n", USUAL},
    {"only-green", "red_ghost 0\norange_ghost 2\nturquoise_ghost 0\n", USUAL},
    {"only-orange", "red_ghost 0\ngreen_ghost 0\nturquoise_ghost 5\n", USUAL},
    {"only-turquoise", "red_ghost 0\ngreen_ghost 0\norange_ghost 0\n", USUAL},
    {"red-and-turquoise",
     "green_ghost 0\norange_ghost 0\nred_ghost_slow_down_factor 2\n"
     "turquoise_ghost_slow_down_factor 2\n",
     USUAL},
    {"no-ghosts",
     "red_ghost 0\ngreen_ghost 0\norange_ghost 0\nturquoise_ghost 0\n",
     {{"planner", 1, 2, 6000}, {"planner", 3, 2, 1500}, {"nearest-food", 1, 4, 30000}}},
    // The last value of a key counts.
    {"given-twice",
     "n_moves_blue_ghosts 900\nred_ghost 0\nfruit_value 400\nfps 3\nn_moves_blue_ghosts 150\n"
     "red_ghost 1\nfruit_value 20\ngreen_ghost_slow_down_factor 4\n"
     "green_ghost_slow_down_factor 2\nfps 12\n",
     USUAL},
    // Reading stops at a value that is not a number: the keys after it keep their defaults.
    {"stops-at-word",
     "dot_value 20\nred_ghost_slow_down_factor 2\nghost_value many\nfruit_value 400\n"
     "green_ghost 0\nfps 15\n",
     USUAL},
    {"stops-at-overflow",
     "powerpill_value 300\nn_moves_blue_ghosts 4294967496\nturquoise_ghost 0\nfps 2\n", USUAL},
    {"unknown-keys", "contrl 0\ndot_valu 40\nred_ghost 1 green_ghost 0\nfps 20\n", USUAL},
};

}  // namespace corpus
