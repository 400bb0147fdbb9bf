// Shards of a study: the K/N option, and reading and joining the parts' JSON files.
#include "study/shards.h"

#include <fstream>
#include <set>

#include "formats/json_reader.h"
#include "game/game_state.h"
#include "study/exec_stats.h"

namespace gulper {

namespace {

constexpr uint64_t MAX_FILE = uint64_t(8) << 30;

GameResult ReadGame(JsonCursor& in) {
    GameResult r;
    in.BeginObject();
    std::string key;
    bool haveSeed = false, haveResult = false;
    while (in.NextKey(&key)) {
        if (key == "seed") {
            r.seed = static_cast<uint32_t>(in.Integer(0, UINT32_MAX));
            haveSeed = true;
        } else if (key == "result") {
            const std::string name = in.String();
            haveResult = true;
            if (!OutcomeNamed(name, &r.outcome)) {
                in.Fail("an unknown result \"" + name + "\"");
            }
        } else if (key == "score") {
            r.score = static_cast<int32_t>(in.Integer(INT32_MIN, INT32_MAX));
        } else if (key == "food_left") {
            r.foodLeft = static_cast<int32_t>(in.Integer(INT32_MIN, INT32_MAX));
        } else if (key == "ticks") {
            r.ticks = in.Integer(0, INT64_C(1) << 52);
        } else if (key == "decisions") {
            r.decisions = in.Integer(0, INT64_C(1) << 52);
        } else if (key == "caught_by") {
            const std::string name = in.String();
            r.caughtBy = -1;
            for (int c = 0; c < GHOST_COLOURS; ++c) {
                if (name == GhostColourName(c)) {
                    r.caughtBy = c;
                }
            }
        } else if (key == "caught_at") {
            in.BeginArray();
            int32_t xy[2] = {0, 0};
            for (int i = 0; in.More(); ++i) {
                if (i >= 2) {
                    in.Fail("caught_at has more than two figures");
                }
                xy[i] = static_cast<int32_t>(in.Integer(INT32_MIN, INT32_MAX));
            }
            r.caughtAt = GridPoint(xy[0], xy[1]);
        } else if (key == "state") {
            r.lastState = in.String();
        } else if (!ReadExecMember(in, key, &r)) {
            in.Skip();
        }
    }
    if (!haveSeed || !haveResult) {
        in.Fail("a game without its seed or result");
    }
    return r;
}

std::vector<GameResult> ReadGames(JsonCursor& in) {
    std::vector<GameResult> games;
    in.BeginArray();
    while (in.More()) {
        games.push_back(ReadGame(in));
    }
    return games;
}

ShardPart ReadShard(JsonCursor& in) {
    ShardPart s;
    in.BeginObject();
    std::string key;
    while (in.NextKey(&key)) {
        if (key == "part") {
            s.part = in.Integer(1, 100000);
        } else if (key == "parts") {
            s.parts = in.Integer(1, 100000);
        } else if (key == "games") {
            s.games = in.Integer(1, 100000000);
        } else {
            in.Skip();
        }
    }
    if (s.parts == 0 || s.part > s.parts) {
        in.Fail("a shard that is not K of N");
    }
    return s;
}

Side ReadSide(JsonCursor& in) {
    Side side;
    in.BeginObject();
    std::string key;
    while (in.NextKey(&key)) {
        if (key == "label") {
            side.label = in.String();
        } else if (key == "games") {
            side.games = ReadGames(in);
        } else {
            in.Skip();
        }
    }
    return side;
}

void ReadStudy(JsonCursor& in, StudyFile* s) {
    in.BeginObject();
    std::string key;
    std::vector<GameResult> games;
    bool haveGames = false;
    while (in.NextKey(&key)) {
        if (key == "compare") {
            s->comparison = true;
            const std::string by = in.String();
            if (by != "agents" && by != "configs") {
                in.Fail("an unknown comparison \"" + by + "\"");
            }
            s->by = by == "agents" ? CompareBy::AGENTS : CompareBy::CONFIGS;
        } else if (key == "agent") {
            s->agent = in.String();
        } else if (key == "config") {
            s->configPath = in.String();
        } else if (key == "first_seed") {
            s->firstSeed = static_cast<uint32_t>(in.Integer(0, UINT32_MAX));
        } else if (key == "max_ticks") {
            s->maxTicks = in.Integer(0, INT64_C(1) << 52);
        } else if (key == "shard") {
            s->shard = ReadShard(in);
        } else if (key == "sequential") {
            in.Fail("a study stopped by its sequential test cannot be a shard");
        } else if (key == "games") {
            games = ReadGames(in);
            haveGames = true;
        } else if (key == "sides") {
            in.BeginArray();
            while (in.More()) {
                s->sides.push_back(ReadSide(in));
            }
        } else {
            in.Skip();
        }
    }
    in.End();
    if (!s->comparison) {
        if (!haveGames) {
            in.Fail("no games");
        }
        s->sides = {Side{s->agent, std::move(games)}};
    }
    if (s->sides.empty()) {
        in.Fail("no sides");
    }
}

std::string Header(const StudyFile& s) {
    std::string labels;
    for (const Side& side : s.sides) {
        labels += "," + side.label;
    }
    return std::to_string(s.comparison) + std::to_string(static_cast<int>(s.by)) + "|" + s.agent +
           "|" + s.configPath + "|" + std::to_string(s.firstSeed) + "|" +
           std::to_string(s.maxTicks) + "|" + std::to_string(s.shard.parts) + "|" +
           std::to_string(s.shard.games) + "|" + labels;
}

}  // namespace

bool ParseShard(const std::string& text, ShardPart* shard, std::string* error) {
    const size_t slash = text.find('/');
    auto whole = [](const std::string& t, int64_t* v) {
        if (t.empty() || t.size() > 6 || t.find_first_not_of("0123456789") != std::string::npos) {
            return false;
        }
        *v = std::stoll(t);
        return true;
    };
    ShardPart s;
    if (slash == std::string::npos || !whole(text.substr(0, slash), &s.part) ||
        !whole(text.substr(slash + 1), &s.parts) || s.part < 1 || s.parts > 100000 ||
        s.part > s.parts) {
        *error =
            "--shard wants K/N, the K-th of N parts (1 <= K <= N <= 100000), not \"" + text + "\"";
        return false;
    }
    *shard = s;
    return true;
}

bool ReadStudyFile(const std::string& path, StudyFile* study, std::string* error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        *error = "cannot read " + path;
        return false;
    }
    std::string text;
    char chunk[1 << 16];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
        text.append(chunk, static_cast<size_t>(file.gcount()));
        if (text.size() > MAX_FILE) {
            *error = path + " is larger than any study gulper-sim writes";
            return false;
        }
    }
    if (file.bad()) {
        *error = "cannot read " + path;
        return false;
    }
    try {
        JsonCursor in(text);
        ReadStudy(in, study);
    } catch (const JsonError& e) {
        *error = path + " is not a gulper-sim JSON file: " + e.what();
        return false;
    }
    return true;
}

bool MergeShards(const std::vector<std::string>& paths, StudyFile* whole, std::string* error) {
    std::vector<StudyFile> parts(paths.size());
    std::set<int64_t> seen;
    for (size_t f = 0; f < paths.size(); ++f) {
        if (!ReadStudyFile(paths[f], &parts[f], error)) {
            return false;
        }
        const StudyFile& p = parts[f];
        if (p.shard.Whole()) {
            *error = paths[f] + " is a whole run, not a shard (--shard K/N)";
            return false;
        }
        if (Header(p) != Header(parts[0])) {
            *error = paths[f] + " is a part of another study than " + paths[0] +
                     " (agent, settings, seeds, game limit or parts differ)";
            return false;
        }
        if (!seen.insert(p.shard.part).second) {
            *error = "part " + std::to_string(p.shard.part) + " is given twice";
            return false;
        }
    }
    const int64_t n = parts[0].shard.parts;
    const int64_t games = parts[0].shard.games;
    if (static_cast<int64_t>(seen.size()) != n) {
        std::string missing;
        for (int64_t k = 1; k <= n && missing.size() < 200; ++k) {
            if (!seen.count(k)) {
                missing += (missing.empty() ? "" : ", ") + std::to_string(k);
            }
        }
        *error = "parts missing of " + std::to_string(n) + ": " + missing;
        return false;
    }
    *whole = parts[0];
    whole->shard = ShardPart{};
    for (Side& side : whole->sides) {
        side.games.assign(static_cast<size_t>(games), GameResult{});
    }
    for (size_t f = 0; f < parts.size(); ++f) {
        const StudyFile& p = parts[f];
        const int64_t expected = (games - p.shard.part + n) / n;
        for (size_t s = 0; s < p.sides.size(); ++s) {
            const std::vector<GameResult>& g = p.sides[s].games;
            if (static_cast<int64_t>(g.size()) != expected) {
                *error = paths[f] + " holds " + std::to_string(g.size()) +
                         " games of a side, not " + std::to_string(expected);
                return false;
            }
            for (size_t j = 0; j < g.size(); ++j) {
                const int64_t index = p.shard.part - 1 + static_cast<int64_t>(j) * n;
                if (g[j].seed != static_cast<uint32_t>(p.firstSeed + index)) {
                    *error = paths[f] + ": game " + std::to_string(j) + " has seed " +
                             std::to_string(g[j].seed) + ", not " +
                             std::to_string(static_cast<uint32_t>(p.firstSeed + index));
                    return false;
                }
                whole->sides[s].games[static_cast<size_t>(index)] = g[j];
            }
        }
    }
    return true;
}

}  // namespace gulper
