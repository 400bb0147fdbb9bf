// Outcome names and fault counts.
#include "episode/result.h"

namespace gulper {

const char* OutcomeName(GameOutcome outcome) {
    switch (outcome) {
        case GameOutcome::WON:
            return "won";
        case GameOutcome::LOST:
            return "lost";
        case GameOutcome::FORFEIT:
            return "forfeit";
        default:
            return "unfinished";
    }
}

bool OutcomeNamed(const std::string& name, GameOutcome* outcome) {
    for (GameOutcome o :
         {GameOutcome::WON, GameOutcome::LOST, GameOutcome::UNFINISHED, GameOutcome::FORFEIT}) {
        if (name == OutcomeName(o)) {
            *outcome = o;
            return true;
        }
    }
    return false;
}

int64_t FaultsOf(const GameResult& r, const std::string& kind) {
    int64_t n = 0;
    for (const AgentFault& f : r.faults) {
        n += f.kind == kind;
    }
    return n;
}

}  // namespace gulper
