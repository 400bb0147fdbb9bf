// Shards of a study: the K/N option, and reading and joining the parts' JSON files.
#include "study/shards.h"

#include <set>

#include "formats/sha256.h"

namespace gulper {

namespace {

std::string Short(const std::string& sha) {
    return sha.substr(0, 12) + "\u2026";
}

// The first way `p` is not of the study of `first`, in words; empty when it is of it.
std::string Difference(const StudyFile& p, const StudyFile& first) {
    const auto number = [](auto v) { return std::to_string(v); };
    const auto differ = [](const std::string& what, const std::string& a, const std::string& b) {
        return "its " + what + " differ (" + a + " vs " + b + ")";
    };
    if (p.version != first.version) {
        return "it was written by gulper-sim " + p.version + ", not " + first.version;
    }
    if (p.comparison != first.comparison || p.by != first.by) {
        return "it is another kind of study (a single run or a comparison)";
    }
    if (p.settingsText != first.settingsText) {
        return differ("settings", "sha256 " + Short(Sha256Hex(p.settingsText)),
                      Short(Sha256Hex(first.settingsText)));
    }
    if (p.agent != first.agent) {
        return differ("agents", p.agent, first.agent);
    }
    if (p.configPath != first.configPath) {
        return differ("settings files' names", p.configPath, first.configPath);
    }
    if (p.firstSeed != first.firstSeed) {
        return differ("first seeds", number(p.firstSeed), number(first.firstSeed));
    }
    if (p.maxTicks != first.maxTicks) {
        return differ("tick limits", number(p.maxTicks), number(first.maxTicks));
    }
    if (p.shard.parts != first.shard.parts || p.shard.games != first.shard.games) {
        return differ("parts", number(p.shard.parts) + " of " + number(p.shard.games) + " games",
                      number(first.shard.parts) + " of " + number(first.shard.games));
    }
    if (p.sides.size() != first.sides.size()) {
        return differ("sides", number(p.sides.size()), number(first.sides.size()));
    }
    for (size_t s = 0; s < p.sides.size(); ++s) {
        const std::string side = p.comparison ? "side " + number(s + 1) + "'s " : "";
        if (p.sides[s].label != first.sides[s].label) {
            return differ(side + "names", p.sides[s].label, first.sides[s].label);
        }
        if (p.pins[s].settingsText != first.pins[s].settingsText) {
            return differ(side + "settings", "sha256 " + Short(Sha256Hex(p.pins[s].settingsText)),
                          Short(Sha256Hex(first.pins[s].settingsText)));
        }
        // A part whose every game was given up before the hello was answered names no one.
        const std::string& a = p.pins[s].agentName;
        const std::string& b = first.pins[s].agentName;
        if (!a.empty() && !b.empty() && a != b) {
            return differ(side + "agents' names", a, b);
        }
    }
    return "";
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
        const std::string difference = Difference(p, parts[0]);
        if (!difference.empty()) {
            *error = paths[f] + " is not a part of the study of " + paths[0] + ": " + difference;
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
    // Every part holds the games it claims before room is made for the whole study's.
    for (size_t f = 0; f < parts.size(); ++f) {
        const int64_t expected = (games - parts[f].shard.part + n) / n;
        for (const Side& side : parts[f].sides) {
            if (static_cast<int64_t>(side.games.size()) != expected) {
                *error = paths[f] + " holds " + std::to_string(side.games.size()) +
                         " games of a side, not " + std::to_string(expected);
                return false;
            }
        }
    }
    *whole = parts[0];
    whole->shard = ShardPart{};
    for (size_t s = 0; s < whole->sides.size(); ++s) {
        whole->sides[s].games.assign(static_cast<size_t>(games), GameResult{});
        // The name the whole run gives: the first part's that has one.
        for (const StudyFile& p : parts) {
            if (whole->pins[s].agentName.empty()) {
                whole->pins[s].agentName = p.pins[s].agentName;
            }
        }
    }
    for (size_t f = 0; f < parts.size(); ++f) {
        const StudyFile& p = parts[f];
        for (size_t s = 0; s < p.sides.size(); ++s) {
            const std::vector<GameResult>& g = p.sides[s].games;
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
