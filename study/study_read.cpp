// The strict reader of a study's JSON: the header, then each side's games, every row checked
// against the board and the limits the file's own settings text gives.
#include "study/study_read.h"

#include <algorithm>

#include "formats/input_file.h"
#include "formats/json_reader.h"
#include "formats/sha256.h"
#include "protocol/exec_player.h"
#include "protocol/protocol.h"
#include "study/exec_stats.h"
#include "study/game_rows.h"

namespace gulper {

namespace {

// The fewest bytes a game's row can take, without white space:
// {"seed":0,"result":"won","score":0,"food_left":0,"ticks":0,"decisions":0}
constexpr uint64_t MIN_ROW_BYTES = 73;
constexpr int64_t MAX_TICK_LIMIT = INT64_C(1) << 53;

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
