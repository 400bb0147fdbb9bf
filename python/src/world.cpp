// Taking the game's state into plain values and putting it back.
#include "python/src/world.h"

#include "game/ghosts/ghost.h"
#include "game/random.h"

namespace {

// The settings of game/game_state.h, in one order for both directions.
int32_t* const SETTINGS[9] = {
    &dot_value,          &powerpill_value,     &ghost_value,
    &fruit_value,        &n_moves_blue_ghosts, &n_moves_ghost_appears,
    &length_attack_mode, &length_scatter_mode, &powerpill_slowdown_factor};

}  // namespace

WorldGlobals CaptureGlobals() {
    WorldGlobals g;
    g.maze = MazeGrid;
    g.foodLeft = foodLeft;
    g.gameWon = gameWon;
    g.fruitVisible = fruitVisible;
    g.attackMode = attackMode;
    g.scatterCountdown = scatterCountdown;
    g.attackCountdown = attackCountdown;
    g.blueCountdown = blueCountdown;
    for (GhostColour colour : TICK_ORDER) {
        g.ghosts[colour] = GhostOf(colour);
    }
    g.player = playerAgent;
    for (int i = 0; i < 9; ++i) {
        g.settings[i] = *SETTINGS[i];
    }
    g.random = RandomState();
    return g;
}

void ApplyGlobals(const WorldGlobals& g) {
    MazeGrid = g.maze;
    foodLeft = g.foodLeft;
    gameWon = g.gameWon;
    fruitVisible = g.fruitVisible;
    attackMode = g.attackMode;
    scatterCountdown = g.scatterCountdown;
    attackCountdown = g.attackCountdown;
    blueCountdown = g.blueCountdown;
    for (GhostColour colour : TICK_ORDER) {
        GhostOf(colour) = g.ghosts[colour];
    }
    playerAgent = g.player;
    for (int i = 0; i < 9; ++i) {
        *SETTINGS[i] = g.settings[i];
    }
    SeedRandom(g.random);
}

SpriteMotion MotionOf(const Sprite& s) {
    return SpriteMotion{s.position, s.slowDown, s.slowCounter, s.direction, s.ghostId};
}

void SetMotion(Sprite& s, const SpriteMotion& m) {
    s.position = m.position;
    s.slowDown = m.slowDown;
    s.slowCounter = m.slowCounter;
    s.direction = m.direction;
    s.ghostId = m.ghostId;
}

WorldSnapshot TakeSnapshot(const GameRules& rules, const PlayerSprite& player) {
    WorldSnapshot s;
    s.globals = CaptureGlobals();
    for (GhostColour colour : TICK_ORDER) {
        const Ghost* ghost = GhostOf(colour);
        s.ghostPresent[colour] = ghost != nullptr;
        if (ghost != nullptr) {
            s.ghosts[colour] = GhostRecord{MotionOf(*ghost), ghost->released, ghost->blue,
                                           ghost->releaseCountdown};
        }
    }
    s.player = MotionOf(player);
    s.score = player.score;
    s.fruitCountdown = rules.fruitCountdown;
    s.playerCaught = rules.playerCaught;
    s.startScreen = rules.startScreen;
    return s;
}

void PutSnapshot(const WorldSnapshot& s, GameRules& rules, PlayerSprite& player) {
    WorldGlobals g = s.globals;
    for (GhostColour colour : TICK_ORDER) {
        g.ghosts[colour] = GhostOf(colour);
    }
    g.player = &player;
    ApplyGlobals(g);
    for (GhostColour colour : TICK_ORDER) {
        if (Ghost* ghost = GhostOf(colour)) {
            const GhostRecord& r = s.ghosts[colour];
            SetMotion(*ghost, r.motion);
            ghost->released = r.released;
            ghost->blue = r.blue;
            ghost->releaseCountdown = r.releaseCountdown;
        }
    }
    SetMotion(player, s.player);
    player.score = s.score;
    rules.fruitCountdown = s.fruitCountdown;
    rules.playerCaught = s.playerCaught;
    rules.startScreen = s.startScreen;
}
