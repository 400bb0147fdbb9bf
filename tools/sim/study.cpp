// The study options: reading them and checking that they go together.
#include "tools/sim/study.h"

#include <set>

#include "game/settings.h"
#include "protocol/exec_player.h"
#include "study/jobs.h"
#include "study/shards.h"

namespace gulper {

const char* const STUDY_USAGE =
    "  --jobs N       play on N worker processes (default: every core); the outputs are the\n"
    "                 same whatever N\n"
    "  --compare A,B[,C...]\n"
    "                 play every named agent on the same seeds and compare them: win rates and\n"
    "                 mean scores with 95 % intervals, and each pair's differences and verdict;\n"
    "                 after exec:COMMAND a comma starts the next agent only before a\n"
    "                 listed name or exec:\n"
    "  --compare-config FILE,FILE[,...]\n"
    "                 the same for settings files, each played by --agent\n"
    "  --until-decided\n"
    "                 with two sides: play paired seeds until a sequential test decides which\n"
    "                 wins more often, or --games (default 20000) is reached, and say which\n"
    "  --shard K/N    play only the K-th of N interleaved parts (games K-1, K-1+N, ...); its\n"
    "                 --json file is for --merge\n"
    "  --merge FILE...\n"
    "                 join the --json files of all the parts of one study and write what the\n"
    "                 whole run would have (summary, --csv, --json, --report)\n";

namespace {

std::vector<std::string> SplitNames(const std::string& text) {
    std::vector<std::string> names;
    size_t from = 0;
    while (true) {
        const size_t comma = text.find(',', from);
        names.push_back(text.substr(from, comma - from));
        if (comma == std::string::npos) {
            return names;
        }
        from = comma + 1;
    }
}

// Agents by name: after an exec agent, a comma starts the next name only when what follows
// is exec:... or a registered name, so an exec agent's command may hold commas.
std::vector<std::string> SplitAgentNames(const std::string& text) {
    std::vector<std::string> names;
    for (const std::string& piece : SplitNames(text)) {
        const bool starts = names.empty() || !IsExecName(names.back()) || IsExecName(piece) ||
                            FindAgent(piece) != nullptr;
        if (starts) {
            names.push_back(piece);
        } else {
            names.back() += "," + piece;
        }
    }
    return names;
}

void ReadSides(OptionReader& in, StudyOptions& o, CompareBy by) {
    if (!o.sides.empty()) {
        in.Fail("give one of --compare and --compare-config, once");
    }
    o.by = by;
    o.sides = by == CompareBy::AGENTS ? SplitAgentNames(in.Value()) : SplitNames(in.Value());
    std::set<std::string> seen;
    for (const std::string& name : o.sides) {
        if (name.empty()) {
            in.Fail("an empty name in the list to compare");
        }
        if (!seen.insert(name).second) {
            in.Fail("\"" + name + "\" is named twice in the list to compare");
        }
        if (by == CompareBy::AGENTS && FindAgent(name) == nullptr) {
            in.Fail("no agent named \"" + name + "\"; the agents are " + AgentNames());
        }
        if (by == CompareBy::CONFIGS) {
            std::string text, why;
            if (!ReadNamedSettings(name, &text, &why)) {
                in.Fail("cannot read the settings file " + name + ": it " + why);
            }
            o.sideConfigs.push_back(text);
        }
    }
    if (o.sides.size() < 2) {
        in.Fail("name at least two to compare, separated by commas");
    }
}

}  // namespace

bool StudyOption(OptionReader& in, StudyOptions& o) {
    const std::string& arg = in.Arg();
    if (o.merging && !arg.empty() && arg[0] != '-') {
        o.mergeFiles.push_back(arg);
    } else if (arg == "--jobs") {
        o.jobs = static_cast<int>(in.NumberValue(1, 1024));
    } else if (arg == "--compare") {
        ReadSides(in, o, CompareBy::AGENTS);
    } else if (arg == "--compare-config") {
        ReadSides(in, o, CompareBy::CONFIGS);
    } else if (arg == "--until-decided") {
        o.untilDecided = true;
    } else if (arg == "--shard") {
        std::string error;
        if (!ParseShard(in.Value(), &o.shard, &error)) {
            in.Fail(error);
        }
    } else if (arg == "--merge") {
        o.merging = true;
    } else {
        return false;
    }
    return true;
}

void CheckStudyOptions(const OptionReader& in, StudyOptions& o, StudyRun& run, bool gamesGiven,
                       bool replay) {
    if (o.jobs == 0) {
        o.jobs = DefaultJobs();
    }
    const bool study = !o.sides.empty() || o.untilDecided || !o.shard.Whole() || o.merging;
    if (replay && study) {
        in.Fail("--replay plays one game; it takes none of the study options");
    }
    if (o.merging) {
        if (o.mergeFiles.empty()) {
            in.Fail("--merge wants the --json files of the parts");
        }
        if (!o.sides.empty() || o.untilDecided || !o.shard.Whole() || !run.logPath.empty()) {
            in.Fail(
                "--merge joins parts already played: it takes no --compare, "
                "--compare-config, --until-decided, --shard or --log");
        }
    }
    if (o.untilDecided) {
        if (o.sides.size() != 2) {
            in.Fail(
                "--until-decided compares two sides: give --compare A,B or "
                "--compare-config FILE,FILE");
        }
        if (!o.shard.Whole()) {
            in.Fail("--until-decided decides after each seed, so it cannot be split in shards");
        }
        if (!gamesGiven) {
            run.games = 20000;
        }
    }
    if (!o.shard.Whole()) {
        if (run.jsonPath.empty()) {
            in.Fail("--shard needs --json FILE: that file is the part --merge joins");
        }
        if (o.shard.parts > run.games) {
            in.Fail("--shard " + std::to_string(o.shard.part) + "/" +
                    std::to_string(o.shard.parts) + " splits " + std::to_string(run.games) +
                    " games into more parts than there are games");
        }
        o.shard.games = run.games;
    }
}

std::vector<GameTask> StudyTasks(int64_t games, uint32_t firstSeed, size_t sides,
                                 const ShardPart& shard) {
    std::vector<GameTask> tasks;
    for (int64_t i = 0; i < games; ++i) {
        if (shard.Holds(i)) {
            for (size_t s = 0; s < sides; ++s) {
                tasks.push_back({s, firstSeed + static_cast<uint32_t>(i)});
            }
        }
    }
    return tasks;
}

}  // namespace gulper
