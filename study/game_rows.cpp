// A study's rows of games read back, each against the board and limits of its settings.
#include "study/game_rows.h"

#include <algorithm>
#include <map>

#include "formats/json_reader.h"
#include "formats/sha256.h"
#include "game/game_rules.h"
#include "study/exec_stats.h"

namespace gulper {

Board BoardOf(const std::string& settingsText) {
    GameRules rules;
    rules.LoadConfigText(settingsText);
    Board b;
    for (int32_t cell : INITIAL_MAZE) {
        b.food += cell == CELL_DOT || cell == CELL_PILL;
    }
    b.leastFoodValue = std::min(dot_value, powerpill_value);
    b.mostFoodValue = std::max(dot_value, powerpill_value);
    b.mostPerTick = int64_t(GHOST_COLOURS) * ghost_value + fruit_value;
    for (int c = 0; c < GHOST_COLOURS; ++c) {
        b.ghost[c] = rules.ghostEnabled[c];
    }
    return b;
}

namespace {

constexpr size_t MAX_STATE_WORD = 64;

int ReadGhost(JsonCursor& in, const Board& board) {
    const std::string name = in.String(32);
    for (int c = 0; c < GHOST_COLOURS; ++c) {
        if (name == GhostColourName(c)) {
            if (!board.ghost[c]) {
                in.Fail("caught by the " + name + " ghost, which the settings leave out");
            }
            return c;
        }
    }
    in.Fail("caught by \"" + name + "\", not a ghost's colour");
}

GridPoint ReadCell(JsonCursor& in) {
    in.BeginArray();
    int32_t xy[2] = {0, 0};
    const int most[2] = {BOARD_COLUMNS - 1, BOARD_ROWS - 1};
    for (int i = 0; i < 2; ++i) {
        if (!in.More()) {
            in.Fail("caught_at has two figures");
        }
        xy[i] = static_cast<int32_t>(in.Integer(0, most[i]));
    }
    if (in.More()) {
        in.Fail("caught_at has two figures");
    }
    return GridPoint(xy[0], xy[1]);
}

// Whether a lost game's members, and an exec agent's, are there exactly when they should be.
void CheckMembers(JsonCursor& in, const ObjectKeys& keys, const GameResult& r, bool exec) {
    keys.Require(in, {"seed", "result", "score", "food_left", "ticks", "decisions"});
    const bool lost = r.outcome == GameOutcome::LOST;
    for (const char* key : {"caught_by", "caught_at", "state"}) {
        if (keys.Has(key) != lost) {
            in.Fail(std::string(lost ? "a lost game gives no \"" : "a game not lost gives \"") +
                    key + "\"");
        }
    }
    for (const char* key : {"answer_us", "faults", "late_answers"}) {
        if (keys.Has(key) != exec) {
            in.Fail(std::string(exec ? "an exec agent's game gives no \""
                                     : "a built-in agent's game gives \"") +
                    key + "\"");
        }
    }
    const bool forfeit = r.outcome == GameOutcome::FORFEIT;
    if (forfeit && !exec) {
        in.Fail("a built-in agent's game cannot be forfeit");
    }
    if (keys.Has("forfeit_reason") != forfeit) {
        in.Fail(forfeit ? "a forfeit game gives no reason" : "a game not forfeit gives a reason");
    }
    if (keys.Has("fault_list") && r.faults.empty()) {
        in.Fail("an empty fault list is left out, not written");
    }
}

// The figures against each other and against what the board can give.
void CheckFigures(JsonCursor& in, const GameResult& r, const Rows& rows,
                  const std::map<std::string, int64_t>& faultCounts) {
    if (r.decisions > r.ticks) {
        in.Fail("more decisions than ticks");
    }
    const bool won = r.outcome == GameOutcome::WON;
    if (won != (r.foodLeft == 0) && r.outcome != GameOutcome::FORFEIT) {
        in.Fail(won ? "a won game with food left" : "a game not won with no food left");
    }
    const int64_t eaten = rows.board.food - r.foodLeft;
    if (r.score < eaten * rows.board.leastFoodValue ||
        r.score > eaten * rows.board.mostFoodValue + r.ticks * rows.board.mostPerTick) {
        in.Fail("a score of " + std::to_string(r.score) + " with " + std::to_string(eaten) +
                " of the food eaten in " + std::to_string(r.ticks) +
                " ticks, more or less than the board can give");
    }
    if (!r.exec) {
        return;
    }
    if (r.answers.count > r.decisions) {
        in.Fail("more answers than decisions");
    }
    for (const AgentFault& f : r.faults) {
        if (f.decision > r.decisions) {
            in.Fail("a fault at decision " + std::to_string(f.decision) + " of " +
                    std::to_string(r.decisions));
        }
    }
    for (const char* kind : FAULT_KINDS) {
        // Absent only when the reader allowed it: a kind shown once it occurred, none here.
        const auto it = faultCounts.find(kind);
        if ((it == faultCounts.end() ? 0 : it->second) != FaultsOf(r, kind)) {
            in.Fail(std::string("the count of ") + kind + " faults is not the list's");
        }
    }
}

GameResult ReadGame(JsonCursor& in, const Rows& rows) {
    GameResult r;
    ObjectKeys keys("a game", {"seed", "result", "score", "food_left", "ticks", "decisions",
                               "caught_by", "caught_at", "state", "answer_us", "faults",
                               "late_answers", "forfeit_reason", "fault_list"});
    std::map<std::string, int64_t> faultCounts;
    std::string key;
    in.BeginObject();
    while (in.NextKey(&key)) {
        keys.Take(in, key);
        if (key == "seed") {
            r.seed = static_cast<uint32_t>(in.Integer(0, UINT32_MAX));
        } else if (key == "result") {
            const std::string name = in.String(16);
            if (!OutcomeNamed(name, &r.outcome)) {
                in.Fail("an unknown result \"" + name + "\"");
            }
        } else if (key == "score") {
            r.score = static_cast<int32_t>(in.Integer(0, INT32_MAX));
        } else if (key == "food_left") {
            r.foodLeft = static_cast<int32_t>(in.Integer(0, rows.board.food));
        } else if (key == "ticks") {
            r.ticks = in.Integer(0, rows.maxTicks);
        } else if (key == "decisions") {
            r.decisions = in.Integer(0, rows.maxTicks);
        } else if (key == "caught_by") {
            r.caughtBy = ReadGhost(in, rows.board);
        } else if (key == "caught_at") {
            r.caughtAt = ReadCell(in);
        } else if (key == "state") {
            r.lastState = in.String(MAX_STATE_WORD);
        } else if (!rows.exec) {
            in.Fail("a built-in agent's game gives \"" + key + "\"");
        } else {
            ReadExecMember(in, key, &r, &faultCounts);
        }
    }
    r.exec = rows.exec;
    CheckMembers(in, keys, r, rows.exec);
    CheckFigures(in, r, rows, faultCounts);
    return r;
}

}  // namespace

// The games, and the SHA-256 of their rows' text as the file holds it.
std::vector<GameResult> ReadGames(JsonCursor& in, const std::string& text, const Rows& rows,
                                  std::string* digest) {
    std::vector<GameResult> games;
    Sha256 sha;
    in.BeginArray();
    while (in.More()) {
        const size_t from = in.ValueStart();
        games.push_back(ReadGame(in, rows));
        sha.Add(text.data() + from, in.Position() - from);
        sha.Add("\n", 1);
    }
    if (games.empty()) {
        in.Fail("no games");
    }
    *digest = sha.Hex();
    return games;
}

}  // namespace gulper
