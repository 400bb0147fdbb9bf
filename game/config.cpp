#include <algorithm>
#include <fstream>
#include <string>

#include "game/game_rules.h"
#include "game/game_state.h"

namespace {

int32_t Clamp(int32_t v, int32_t lo, int32_t hi) {
    return std::min(std::max(v, lo), hi);
}

}  // namespace

void GameRules::LoadConfig() {
    LoadConfigFrom("data//config.txt");
}

bool GameRules::LoadConfigFrom(const char* fileName) {
    keyboardControl = true;
    n_moves_blue_ghosts = 25;
    n_moves_ghost_appears = 10;
    for (bool& enabled : ghostEnabled) {
        enabled = true;
    }
    length_attack_mode = 1500;
    length_scatter_mode = 250;
    powerpill_slowdown_factor = 2;
    ghost_value = 250;
    powerpill_value = 100;
    dot_value = 10;
    fruitDelay = 100;
    fruit_value = 100;
    fps = 5;
    for (int32_t& factor : ghostSlowDown) {
        factor = 1;
    }
    scatterCountdown = 250;
    attackCountdown = 1500;

    std::ifstream file(fileName);
    if (!file) {
        return false;
    }
    std::string key;
    int32_t v = 0;
    // A key without a readable 32-bit value ends the reading; that key is not applied.
    while (file >> key && file >> v) {
        if (v < 0) {
            continue;
        }
        if (key == "control") {
            keyboardControl = (v == 0);
        } else if (key == "n_moves_blue_ghosts") {
            n_moves_blue_ghosts = Clamp(v, 100, 1000);
        } else if (key == "n_moves_ghost_appears") {
            n_moves_ghost_appears = Clamp(v, 50, 500);
        } else if (key == "red_ghost") {
            ghostEnabled[GHOST_RED] = (v == 1);
        } else if (key == "green_ghost") {
            ghostEnabled[GHOST_GREEN] = (v == 1);
        } else if (key == "orange_ghost") {
            ghostEnabled[GHOST_ORANGE] = (v == 1);
        } else if (key == "turquoise_ghost") {
            ghostEnabled[GHOST_TURQUOISE] = (v == 1);
        } else if (key == "length_attack_mode") {
            length_attack_mode = Clamp(v, 100, 10000);
        } else if (key == "length_scatter_mode") {
            length_scatter_mode = Clamp(v, 100, 10000);
        } else if (key == "powerpill_slowdown_factor") {
            powerpill_slowdown_factor = Clamp(v, 1, 5);
        } else if (key == "ghost_value") {
            ghost_value = Clamp(v, 10, 500);
        } else if (key == "powerpill_value") {
            powerpill_value = Clamp(v, 10, 500);
        } else if (key == "dot_value") {
            dot_value = Clamp(v, 1, 50);
        } else if (key == "n_moves_fruit_appears") {
            fruitDelay = Clamp(v, 50, 1000);
        } else if (key == "fruit_value") {
            fruit_value = Clamp(v, 10, 500);
        } else if (key == "fps") {
            fps = Clamp(v, 1, 20);
        } else if (key == "red_ghost_slow_down_factor") {
            ghostSlowDown[GHOST_RED] = Clamp(v, 1, 5);
        } else if (key == "green_ghost_slow_down_factor") {
            ghostSlowDown[GHOST_GREEN] = Clamp(v, 1, 5);
        } else if (key == "orange_ghost_slow_down_factor") {
            ghostSlowDown[GHOST_ORANGE] = Clamp(v, 1, 5);
        } else if (key == "turquoise_ghost_slow_down_factor") {
            ghostSlowDown[GHOST_TURQUOISE] = Clamp(v, 1, 5);
        }
    }
    return true;
}
