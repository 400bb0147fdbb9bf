// Taking the game's state into plain values and putting it back.
#include "episode/snapshot.h"

#include "game/ghosts/ghost.h"
#include "game/random.h"

namespace gulper {

WorldGlobals CaptureGlobals() {
    WorldGlobals g;
    static_cast<GameStateValues&>(g) = SaveGameState();
    g.random = RandomState();
    return g;
}

void ApplyGlobals(const WorldGlobals& g) {
    RestoreGameState(g);
    SeedRandom(g.random);
}

uint32_t SampledRandomState(uint32_t seed) {
    uint32_t z = seed + 0x9E3779B9u;  // each step is invertible: distinct seeds stay distinct
    z = (z ^ (z >> 16)) * 0x85EBCA6Bu;
    z = (z ^ (z >> 13)) * 0xC2B2AE35u;
    return z ^ (z >> 16);
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

}  // namespace gulper
