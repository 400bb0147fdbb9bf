#include "episode/lookahead.h"

#include "game/game_state.h"

namespace gulper {

void Lookahead::Take() {
    start = TakeSnapshot(rules, gulper);
}

void Lookahead::Sample(uint32_t dice) {
    WorldSnapshot future = start;
    future.globals.random = dice;
    PutSnapshot(future, rules, gulper);
}

bool Lookahead::Won() const {
    return gameWon;
}

bool Lookahead::Tick() {
    if (Won() || Caught()) {
        return false;
    }
    rules.Tick();
    return true;
}

void Lookahead::Restore() {
    PutSnapshot(start, rules, gulper);
}

}  // namespace gulper
