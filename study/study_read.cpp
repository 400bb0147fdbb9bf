// The strict reader of a study's JSON: the header, then each side's games, every row checked
// against the board and the limits the file's own settings text gives.
#include "study/study_read.h"

#include <algorithm>
#include <map>

#include "formats/input_file.h"
#include "formats/json_reader.h"
#include "formats/sha256.h"
#include "game/game_rules.h"
#include "game/game_state.h"
#include "protocol/exec_player.h"
#include "protocol/protocol.h"
#include "study/exec_stats.h"

namespace gulper {

namespace {

// The fewest bytes a game's row takes: {"seed": 0, "result": "won", "score": 0, "food_left": 0,
// "ticks": 0, "decisions": 0} and its separator.
constexpr uint64_t MIN_ROW_BYTES = 80;
constexpr size_t MAX_STATE_WORD = 64;
constexpr int64_t MAX_TICK_LIMIT = INT64_C(1) << 53;

// What the board can give under one settings text.
struct Board {
    int32_t food = 0;
    int64_t leastFoodValue = 0;
    int64_t mostFoodValue = 0;
    // The most one tick can add besides food: every ghost eaten and the fruit.
    int64_t mostPerTick = 0;
    bool ghost[GHOST_COLOURS] = {};
};

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

// What a side's rows are read against.
struct Rows {
    Board board;
    int64_t maxTicks = 0;
    bool exec = false;
};

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
        const auto it = faultCounts.find(kind);
        if (it == faultCounts.end() || it->second != FaultsOf(r, kind)) {
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

ShardPart ReadShard(JsonCursor& in, uint64_t fileBytes) {
    ShardPart s;
    ObjectKeys keys("the shard", {"part", "parts", "games"});
    in.BeginObject();
    std::string key;
    while (in.NextKey(&key)) {
        keys.Take(in, key);
        if (key == "part") {
            s.part = in.Integer(1, 100000);
        } else if (key == "parts") {
            s.parts = in.Integer(1, 100000);
        } else {
            s.games = in.Integer(1, 100000000);
        }
    }
    keys.Require(in, {"part", "parts", "games"});
    if (s.part > s.parts || s.parts > s.games) {
        in.Fail("a shard that is not the K-th of N parts of at least N games");
    }
    // The games this part claims must fit in the file before anything is taken for them.
    const uint64_t rows = static_cast<uint64_t>((s.games - s.part + s.parts) / s.parts);
    if (rows * MIN_ROW_BYTES > fileBytes) {
        in.Fail("the shard claims " + std::to_string(rows) + " games, more than the file's " +
                std::to_string(fileBytes) + " bytes can hold");
    }
    return s;
}

// A settings text after its SHA-256, which must be its own.
void ReadSettings(JsonCursor& in, const std::string& key, std::string* sha, std::string* text) {
    if (key == "settings_sha256") {
        *sha = in.String(64);
    } else {
        *text = in.String(SETTINGS_MAX_BYTES);
        if (Sha256Hex(*text) != *sha) {
            in.Fail("the settings text is not the one its settings_sha256 names");
        }
    }
}

std::string ReadAgentName(JsonCursor& in) {
    const std::string name = in.String(MAX_AGENT_WORD);
    if (name.find_first_of(std::string("\x7f", 1)) != std::string::npos ||
        std::any_of(name.begin(), name.end(), [](char c) { return c < 0x20; })) {
        in.Fail("an agent's name is printable ASCII");
    }
    return name;
}

// Before a side's games: what they are read against must be known.
Rows RowsFor(JsonCursor& in, bool settingsRead, const std::string& text, int64_t maxTicks,
             bool exec) {
    if (!settingsRead) {
        in.Fail(
            "the games come before any settings text: a file of an older gulper-sim records "
            "none, and its games must be played again");
    }
    if (maxTicks == 0) {
        in.Fail("the games come before the tick limit");
    }
    return Rows{BoardOf(text), maxTicks, exec};
}

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

// A value read past, as the file gives it.
std::string SkipValue(JsonCursor& in, const std::string& text) {
    const size_t from = in.ValueStart();
    in.Skip();
    return text.substr(from, in.Position() - from);
}

// The summary given must be the one its games give.
void CheckSummary(JsonCursor& in, const std::string& written,
                  const std::vector<GameResult>& games) {
    if (written != JsonSummary(Summarise(games))) {
        in.Fail("the summary is not the one its games give");
    }
}

// The digest given after the games must be theirs.
void CheckDigest(JsonCursor& in, const ObjectKeys& keys, const std::string& digest) {
    if (!keys.Has("games")) {
        in.Fail("the games' digest comes before them");
    }
    if (in.String(64) != digest) {
        in.Fail("the games are not the ones their games_sha256 names: the file was changed");
    }
}

// The name an exec agent gave is there exactly when an exec agent played.
void CheckAgentName(JsonCursor& in, const ObjectKeys& keys, bool exec) {
    if (keys.Has("agent_name") != exec) {
        in.Fail(exec ? "an exec agent's games without the name it gave"
                     : "a built-in agent's games with an exec agent's name");
    }
}

// A compared side; `settingsRead` says whether the file's shared settings came before it.
void ReadSide(JsonCursor& in, const std::string& text, StudyFile* s, bool settingsRead) {
    Side side;
    SidePins pins;
    std::string sha, key, digest, summary;
    const bool configs = s->by == CompareBy::CONFIGS;
    ObjectKeys keys("a side",
                    {"label", "win_interval", "score_mean_interval", "score_iqm", "agent_name",
                     "settings_sha256", "settings_text", "summary", "games", "games_sha256"});
    in.BeginObject();
    while (in.NextKey(&key)) {
        keys.Take(in, key);
        if (key == "label") {
            side.label = in.String(4096);
        } else if (key == "agent_name") {
            pins.agentName = ReadAgentName(in);
        } else if (key == "settings_sha256" || key == "settings_text") {
            if (!configs) {
                in.Fail("a side of agents compared gives settings of its own");
            }
            ReadSettings(in, key, &sha, &pins.settingsText);
        } else if (key == "games") {
            if (!keys.Has("label")) {
                in.Fail("a side's games come before its label");
            }
            const Rows rows = configs ? RowsFor(in, keys.Has("settings_text"), pins.settingsText,
                                                s->maxTicks, IsExecName(s->agent))
                                      : RowsFor(in, settingsRead, s->settingsText, s->maxTicks,
                                                IsExecName(side.label));
            side.games = ReadGames(in, text, rows, &digest);
        } else if (key == "games_sha256") {
            CheckDigest(in, keys, digest);
        } else if (key == "summary") {
            summary = SkipValue(in, text);
        } else {
            in.Skip();  // figures worked out again from the games
        }
    }
    keys.Require(in, {"label", "summary", "games", "games_sha256"});
    CheckSummary(in, summary, side.games);
    CheckAgentName(in, keys, side.games.front().exec);
    s->sides.push_back(std::move(side));
    s->pins.push_back(std::move(pins));
}

const char* const SINGLE_KEYS[] = {
    "agent",      "config",          "first_seed",    "max_ticks", "shard", "program_version",
    "agent_name", "settings_sha256", "settings_text", "summary",   "games", "games_sha256"};

void ReadStudy(JsonCursor& in, const std::string& text, StudyFile* s) {
    in.BeginObject();
    std::string key, sha, digest, summary;
    // A comparison says so first; the keys of either kind of file.
    ObjectKeys keys("the study",
                    {"compare", "agent", "config", "first_seed", "max_ticks", "games_per_side",
                     "shard", "program_version", "agent_name", "settings_sha256", "settings_text",
                     "sequential", "summary", "games", "games_sha256", "sides", "pairs"});
    int64_t perSide = -1;
    while (in.NextKey(&key)) {
        keys.Take(in, key);
        const bool single =
            std::find(std::begin(SINGLE_KEYS), std::end(SINGLE_KEYS), key) != std::end(SINGLE_KEYS);
        if (key != "compare" && !single && !s->comparison) {
            in.Fail("a single run has no key \"" + key + "\"");
        }
        if (s->comparison && (key == "summary" || key == "games" || key == "agent_name")) {
            in.Fail("a comparison has no key \"" + key + "\"");
        }
        if (key == "compare") {
            if (keys.Has("agent")) {
                in.Fail("a comparison says so first");
            }
            s->comparison = true;
            const std::string by = in.String(16);
            if (by != "agents" && by != "configs") {
                in.Fail("an unknown comparison \"" + by + "\"");
            }
            s->by = by == "agents" ? CompareBy::AGENTS : CompareBy::CONFIGS;
        } else if (key == "agent") {
            s->agent = in.String(4096);
        } else if (key == "config") {
            s->configPath = in.String(4096);
        } else if (key == "first_seed") {
            s->firstSeed = static_cast<uint32_t>(in.Integer(0, UINT32_MAX));
        } else if (key == "max_ticks") {
            s->maxTicks = in.Integer(1, MAX_TICK_LIMIT);
        } else if (key == "games_per_side") {
            perSide = in.Integer(1, 100000000);
        } else if (key == "shard") {
            s->shard = ReadShard(in, text.size());
        } else if (key == "program_version") {
            s->version = in.String(64);
        } else if (key == "agent_name") {
            s->pins.assign(1, SidePins{ReadAgentName(in), ""});
        } else if (key == "settings_sha256" || key == "settings_text") {
            if (s->comparison && s->by == CompareBy::CONFIGS) {
                in.Fail("settings files compared give their settings side by side");
            }
            ReadSettings(in, key, &sha, &s->settingsText);
        } else if (key == "sequential") {
            in.Fail("a study stopped by its sequential test cannot be a shard");
        } else if (key == "games") {
            const Rows rows = RowsFor(in, keys.Has("settings_text"), s->settingsText, s->maxTicks,
                                      IsExecName(s->agent));
            s->sides.push_back(Side{s->agent, ReadGames(in, text, rows, &digest)});
        } else if (key == "games_sha256") {
            if (s->comparison) {
                in.Fail("a comparison gives each side's games_sha256 with its games");
            }
            CheckDigest(in, keys, digest);
        } else if (key == "summary") {
            summary = SkipValue(in, text);
        } else if (key == "sides") {
            in.BeginArray();
            while (in.More()) {
                ReadSide(in, text, s, keys.Has("settings_text"));
            }
        } else {
            in.Skip();  // figures worked out again from the games
        }
    }
    in.End();
    keys.Require(in, {"agent", "config", "first_seed", "max_ticks", "program_version"});
    if (!s->comparison) {
        keys.Require(in, {"summary", "games", "games_sha256"});
        CheckSummary(in, summary, s->sides.front().games);
        CheckAgentName(in, keys, s->sides.front().games.front().exec);
        s->pins.resize(1);
    } else {
        keys.Require(in, {"games_per_side", "sides"});
        if (s->by == CompareBy::AGENTS) {
            keys.Require(in, {"settings_text"});
        }
        if (s->sides.size() < 2) {
            in.Fail("a comparison of fewer than two sides");
        }
        for (const Side& side : s->sides) {
            if (static_cast<int64_t>(side.games.size()) != perSide) {
                in.Fail("a side holds " + std::to_string(side.games.size()) + " games, not the " +
                        std::to_string(perSide) + " each side played");
            }
        }
    }
}

}  // namespace

void ParseStudy(const std::string& text, StudyFile* study) {
    JsonCursor in(text);
    ReadStudy(in, text, study);
}

bool ReadStudyFile(const std::string& path, StudyFile* study, std::string* error) {
    StudyFile s;
    const bool read = ParseInputFile(
        path, "the study file", "a gulper-sim JSON file", MAX_STUDY_FILE, InputFrom::ORDINARY_FILE,
        [&s](const std::string& text) { ParseStudy(text, &s); }, error);
    if (read) {
        *study = std::move(s);
    }
    return read;
}

}  // namespace gulper
