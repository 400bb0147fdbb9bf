// The whole state of one game as plain values: the process-wide variables, every sprite and
// the rules' per-game members, to be taken and put back.
#pragma once

#include <cstdint>
#include <string>

#include "episode/record.h"
#include "game/game_rules.h"
#include "game/game_state.h"
#include "game/maze.h"

namespace gulper {

// The process-wide variables of game/game_state.h and game/maze.h, and the generator's state.
struct WorldGlobals : GameStateValues {
    // As after SeedRandom(1), the generator's state at process start.
    uint32_t random = 1;
};

WorldGlobals CaptureGlobals();
void ApplyGlobals(const WorldGlobals& globals);

// What moves of a sprite: everything but its pictures.
struct SpriteMotion {
    GridPoint position;
    int32_t slowDown = 1;
    int32_t slowCounter = 0;
    int32_t direction = 0;
    int32_t ghostId = 0;
};

SpriteMotion MotionOf(const Sprite& sprite);
void SetMotion(Sprite& sprite, const SpriteMotion& motion);

struct GhostRecord {
    SpriteMotion motion;
    bool released = false;
    bool blue = false;
    int32_t releaseCountdown = 0;
};

// One game at one moment, sprites by value. Put back into the session it came from (or one
// with the same settings, whose ghosts it owns), the game goes on as from the moment taken.
struct WorldSnapshot {
    WorldGlobals globals;  // its sprite pointers are not used when put back
    bool ghostPresent[GHOST_COLOURS] = {false, false, false, false};
    GhostRecord ghosts[GHOST_COLOURS];
    SpriteMotion player;
    int32_t score = 0;
    int32_t fruitCountdown = 0;
    bool playerCaught = false;
    bool startScreen = false;
    // The session's own count of the game.
    int64_t ticks = 0;
    int64_t decisions = 0;
    uint32_t seed = 0;
    std::string configPath;
    // The decisions since the start, for a replay file.
    GameRecord record;
    // The ghosts' draws were started afresh at some point (a sampled future), so the record
    // no longer plays back this game.
    bool sampled = false;
};

// The generator's state for ghosts' draws started afresh from `seed`: scrambled, so that no
// sampled future starts the generator where a game of the same seed starts it, and one to one,
// so that different seeds never share a future.
uint32_t SampledRandomState(uint32_t seed);

// Takes the live game (the process-wide state must be the game's own) into a snapshot.
WorldSnapshot TakeSnapshot(const GameRules& rules, const PlayerSprite& player);
// Puts a snapshot back into the live game, keeping the live sprites and their pictures.
void PutSnapshot(const WorldSnapshot& snapshot, GameRules& rules, PlayerSprite& player);

}  // namespace gulper
