// Recording a game's decisions and taking them again.
#include "episode/record.h"

#include "game/game_state.h"
#include "game/ghosts/ghost.h"
#include "game/maze.h"
#include "game/random.h"

namespace gulper {

namespace {

// FNV-1a over the bytes of each value, as 64 bits.
class Digest {
  public:
    void Add(int64_t v) {
        for (int i = 0; i < 8; ++i) {
            hash = (hash ^ static_cast<uint8_t>(v >> (8 * i))) * 16777619u;
        }
    }
    uint16_t Folded() const { return static_cast<uint16_t>(hash ^ (hash >> 16)); }

  private:
    uint32_t hash = 2166136261u;
};

void AddSprite(Digest& d, const Sprite& s) {
    d.Add(s.position.x);
    d.Add(s.position.y);
    d.Add(s.direction);
}

}  // namespace

uint16_t GameCheck(const PlayerSprite& player, int64_t ticks) {
    Digest d;
    d.Add(ticks);
    AddSprite(d, player);
    d.Add(player.Score());
    d.Add(foodLeft);
    d.Add(RandomState());
    for (GhostColour colour : TICK_ORDER) {
        const Ghost* ghost = GhostOf(colour);
        d.Add(ghost != nullptr);
        if (ghost != nullptr) {
            AddSprite(d, *ghost);
            d.Add(ghost->IsBlue());
            d.Add(ghost->IsReleased());
        }
    }
    return d.Folded();
}

void RecordDecision(GameRecord& record, const PlayerSprite& player, int64_t ticks) {
    record.actions += static_cast<char>('0' + ActionOfDirection(player.direction));
    record.checks.push_back(GameCheck(player, ticks));
    record.ticks.push_back(ticks);
}

void ReplayPlayer::Think() {
    if (taken < static_cast<int64_t>(actions.size())) {
        direction = DirectionOfAction(actions[static_cast<size_t>(taken)] - '0');
    }
    ++taken;
}

}  // namespace gulper
