// gulper-sim: plays whole headless games with the real rules, ghosts and agent, and says
// how well the agent did.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "episode/episode.h"
#include "episode/levels.h"
#include "formats/output_file.h"
#include "game/settings.h"
#include "outputs/report.h"
#include "protocol/exec_player.h"
#include "study/exec_stats.h"
#include "study/jobs.h"
#include "study/progress.h"
#include "study/replay_play.h"
#include "study/shards.h"
#include "study/summary.h"
#include "tools/options.h"
#include "tools/sim/config_check.h"
#include "tools/sim/study.h"

namespace gulper {

namespace {

const std::string USAGE =
    "usage: gulper-sim [--games N] [--seed S] [--config FILE | --level NAME] [--max-ticks T]\n"
    "                  [--agent NAME]\n"
    "                  [--log FILE] [--csv FILE] [--json FILE] [--report DIR] [--replay S]\n"
    "                  [--record DIR]\n"
    "                  [--jobs N] [--compare A,B,... | --compare-config F,G,...]\n"
    "                  [--until-decided] [--shard K/N]\n"
    "       gulper-sim --merge FILE... [--csv FILE] [--json FILE] [--report DIR]\n"
    "       gulper-sim --agents | --levels | --check-config FILE | --replay-file FILE\n"
    "  --games N      games to play (default 100); game i uses seed S + i\n"
    "  --seed S       first seed (default 1)\n"
    "  --config FILE  settings file (default " +
    std::string(SETTINGS_FILE) + "); the agent always steers\n" + LevelUsage() +
    "  --max-ticks T  stop a game after T ticks and count it unfinished (default " +
    std::to_string(DEFAULT_MAX_TICKS) +
    ")\n"
    "  --agent NAME   the agent that steers (default " +
    std::string(DEFAULT_AGENT) +
    "); --agents lists them\n"
    "  --log FILE     write the agent's log of every game to FILE, each game after a line\n"
    "                 \"=== seed S ===\"\n"
    "  --csv FILE     write one row per game to FILE\n"
    "  --json FILE    write the summary and one row per game to FILE as JSON\n"
    "  --report DIR   write DIR/index.html (one page, no network) and PNG pictures of the run\n"
    "  --replay S     play the one game of seed S with its log on standard output\n"
    "  --record DIR   save every game played as a replay file DIR/seed-S.json; a comparison's\n"
    "                 side K (from 1) in DIR/K-NAME/\n"
    "  --replay-file FILE\n"
    "                 play a replay file's actions again and say whether the game is the one\n"
    "                 recorded (status 0) or where it parts from it (status 1)\n"
    "  --agents       list the agents, one a line, name first\n"
    "  --levels       list the levels: \"set\" and the set's name, then a level a line, name\n"
    "                 first\n"
    "  --check-config FILE\n"
    "                 show how the game reads FILE: every setting's value, and a warning for\n"
    "                 each key not known, value clamped or skipped, and where reading stopped\n" +
    std::string(STUDY_USAGE) + EXEC_USAGE;

struct Options {
    int64_t games = 100;
    uint32_t seed = 1;
    GameOptions game;
    std::string logPath;
    std::string csvPath;
    std::optional<uint32_t> replay;
    std::string jsonPath;
    std::string reportDir;
    std::string recordDir;
    StudyOptions study;
};

[[noreturn]] void Fail(const std::string& message) {
    FailWithUsage("gulper-sim", USAGE, message);
}

// --replay-file: 0 when the file's actions play the game it recorded, 1 when they do not,
// 2 when it cannot be read.
int CheckReplayFile(const std::string& path) {
    ReplayFile replay;
    std::string error;
    if (!ReadReplayFile(path, &replay, &error)) {
        std::cerr << "gulper-sim: " << error << "\n";
        return 2;
    }
    const ReplayVerdict v = CheckReplay(replay);
    std::cout << path << ": " << v.how << "\n";
    return v.same ? 0 : 1;
}

StudyRun RunOf(const Options& o) {
    return StudyRun{o.game,    o.games,    o.seed,      o.logPath,
                    o.csvPath, o.jsonPath, o.reportDir, o.recordDir};
}

Options ParseOptions(int argc, char** argv) {
    Options o;
    bool gamesGiven = false;
    OptionReader in("gulper-sim", USAGE, argc, argv);
    while (in.Next()) {
        const std::string& arg = in.Arg();
        if (in.GameOption(o.game) || StudyOption(in, o.study)) {
            continue;
        }
        if (arg == "--games") {
            o.games = in.NumberValue(1, 100000000);
            gamesGiven = true;
        } else if (arg == "--seed") {
            o.seed = static_cast<uint32_t>(in.NumberValue(0, UINT32_MAX));
        } else if (arg == "--log") {
            o.logPath = in.Value();
        } else if (arg == "--csv") {
            o.csvPath = in.Value();
        } else if (arg == "--agents") {
            for (const AgentEntry* entry : RegisteredAgents()) {
                std::printf("%-14s %s\n", entry->name.c_str(), entry->summary.c_str());
            }
            ExitAfterOutput("gulper-sim", 0);
        } else if (arg == "--levels") {
            std::printf("set %s\n", LEVEL_SET);
            for (const Level& level : Levels()) {
                std::printf("%-14s %s\n", level.name, level.summary);
            }
            ExitAfterOutput("gulper-sim", 0);
        } else if (arg == "--check-config") {
            const int status = CheckConfig(in.Value(), std::cout);
            ExitAfterOutput("gulper-sim", status);
        } else if (arg == "--json") {
            o.jsonPath = in.Value();
        } else if (arg == "--report") {
            o.reportDir = in.Value();
        } else if (arg == "--replay") {
            o.replay = static_cast<uint32_t>(in.NumberValue(0, UINT32_MAX));
        } else if (arg == "--record") {
            o.recordDir = in.Value();
            if (o.recordDir.empty()) {
                in.Fail("--record wants a folder");
            }
        } else if (arg == "--replay-file") {
            if (argc != 3) {
                in.Fail("--replay-file FILE plays the file alone: it takes no other option");
            }
            ExitAfterOutput("gulper-sim", CheckReplayFile(in.Value()));
        } else {
            in.FailUnknown();
        }
    }
    if (!o.recordDir.empty() && o.study.merging) {
        in.Fail("--merge joins games already played: there are none to --record");
    }
    StudyRun run = RunOf(o);
    CheckStudyOptions(in, o.study, run, gamesGiven, o.replay.has_value());
    o.games = run.games;
    // Joined parts are not played, and compared settings files are read as they are named.
    if (!o.study.merging && o.study.sideConfigs.empty()) {
        in.ReadSettingsFile(o.game);
    }
    return o;
}

// Ends the run: "gulper-sim: MESSAGE" on standard error, status 1. Output files not yet
// committed are removed as they go out of scope, so none is left half-written.
int Failed(const std::string& message) {
    std::cerr << "gulper-sim: " << message << "\n";
    return 1;
}

// Opens an output the options asked for; an empty path asks for none.
void OpenOutput(OutputFile& file, const std::string& path) {
    std::string error;
    if (!path.empty() && !file.Open(path, &error)) {
        Fail(error);
    }
}

// The outputs of a run once its games are known: CSV, JSON, report, then the summary.
int WriteRun(const Options& options, const RunSummary& summary,
             const std::vector<GameResult>& results, OutputFile& logFile, OutputFile& csv,
             OutputFile& json) {
    std::string error;
    if (csv.IsOpen()) {
        const bool exec = summary.exec;
        csv.Stream() << "seed,result,score,food_left,ticks,decisions"
                     << (exec ? CsvExecHeader() : "") << "\n";
        for (const GameResult& r : results) {
            csv.Stream() << r.seed << "," << OutcomeName(r.outcome) << "," << r.score << ","
                         << r.foodLeft << "," << r.ticks << "," << r.decisions
                         << (exec ? CsvExecColumns(r) : "") << "\n";
        }
    }
    if (json.IsOpen()) {
        WriteJson(json.Stream(), summary, results);
    }
    for (OutputFile* file : {&logFile, &csv, &json}) {
        if (file->IsOpen() && !file->Commit(&error)) {
            return Failed(error);
        }
    }
    if (!options.reportDir.empty()) {
        if (!WriteReport(options.reportDir, summary, results, &error)) {
            return Failed(error);
        }
        std::cerr << "gulper-sim: report in " << options.reportDir << "/index.html\n";
    }
    PrintSummary(std::cout, summary);
    if (!CloseStandardOutput(&error)) {
        return Failed(error + " (the summary)");
    }
    return 0;
}

// Joins the parts of a study into what the whole run writes.
int RunMerge(const Options& options) {
    std::string error;
    OutputFile logFile, csv, json;
    OpenOutput(csv, options.csvPath);
    OpenOutput(json, options.jsonPath);
    if (!options.reportDir.empty() && !PrepareReportDir(options.reportDir, &error)) {
        Fail(error);
    }
    StudyFile whole;
    if (!MergeShards(options.study.mergeFiles, &whole, &error)) {
        return Failed(error);
    }
    if (whole.comparison) {
        Comparison c = Compare(whole.by, whole.sides);
        c.agent = whole.agent;
        c.configPath = whole.configPath;
        c.settingsText = whole.settingsText;
        for (size_t s = 0; s < c.sides.size(); ++s) {
            c.sides[s].settingsText = whole.pins[s].settingsText;
            c.sides[s].run.name = whole.pins[s].agentName;
        }
        c.firstSeed = whole.firstSeed;
        c.maxTicks = whole.maxTicks;
        return FinishComparison(std::move(c), whole.sides, RunOf(options), csv, json);
    }
    const std::vector<GameResult>& results = whole.sides.front().games;
    RunSummary summary = Summarise(results);
    summary.agent = whole.agent;
    summary.configPath = whole.configPath;
    summary.settingsText = whole.settingsText;
    summary.name = whole.pins.front().agentName;
    summary.firstSeed = whole.firstSeed;
    summary.maxTicks = whole.maxTicks;
    return WriteRun(options, summary, results, logFile, csv, json);
}

int Run(const Options& options) {
    if (options.study.merging) {
        return RunMerge(options);
    }
    const SimSettings settings(options.game, options.recordDir);
    if (options.study.sideConfigs.empty() && ConfigAsksForKeyboard(settings.configText)) {
        std::cerr
            << "gulper-sim: the settings choose keyboard steering; the agent steers instead\n";
    }

    std::string error;
    if (!options.recordDir.empty() && !PrepareRecordDir(options.recordDir, &error)) {
        Fail(error);
    }
    if (options.replay) {
        GameResult r;
        if (!PlayRecorded(settings, *options.replay, &std::cout, &r, &error)) {
            return Failed(error);
        }
        if (!CloseStandardOutput(&error)) {
            return Failed(error + " (the log of seed " + std::to_string(r.seed) + ")");
        }
        std::cerr << "gulper-sim: seed " << r.seed << " " << OutcomeName(r.outcome) << ", score "
                  << r.score << ", food left " << r.foodLeft << ", " << r.ticks << " ticks, "
                  << r.decisions << " decisions\n";
        return 0;
    }

    // Every output is opened before the first game, so that one that cannot be is found now.
    OutputFile logFile, csv, json;
    OpenOutput(logFile, options.logPath);
    OpenOutput(csv, options.csvPath);
    OpenOutput(json, options.jsonPath);
    if (!options.reportDir.empty() && !PrepareReportDir(options.reportDir, &error)) {
        Fail(error);
    }
    if (!options.study.sides.empty()) {
        return RunComparison(options.study, RunOf(options), logFile, csv, json);
    }

    const std::vector<GameTask> tasks =
        StudyTasks(options.games, options.seed, 1, options.study.shard);
    std::vector<GameResult> results;
    results.reserve(tasks.size());
    Progress progress(static_cast<int64_t>(tasks.size()));
    const auto start = std::chrono::steady_clock::now();
    const bool played = PlayGames(
        {settings}, tasks, options.study.jobs, logFile.IsOpen(),
        [&](size_t, PlayedGame& game, std::string* err) {
            if (logFile.IsOpen()) {
                logFile.Stream() << "=== seed " << game.result.seed << " ===\n" << game.log;
                // A file that can no longer be written ends the run now, not after every game.
                if (!logFile.Good(err)) {
                    return false;
                }
            }
            results.push_back(std::move(game.result));
            progress.Update(static_cast<int64_t>(results.size()));
            return true;
        },
        &error);
    progress.Finish();
    if (!played) {
        return Failed(error);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    RunSummary summary = Summarise(results);
    summary.agent = settings.agent;
    summary.configPath = settings.configPath;
    summary.settingsText = settings.configText;
    summary.firstSeed = options.seed;
    summary.maxTicks = settings.maxTicks;
    summary.shard = options.study.shard;
    const int status = WriteRun(options, summary, results, logFile, csv, json);
    if (status == 0) {
        // Speed changes from run to run, so it stays off the summary that runs are compared by.
        const double secs = std::max(seconds, 1e-9);
        std::fprintf(stderr, "speed:        %.0f decisions per second, %.1f games per second\n",
                     summary.decisions / secs, summary.games / secs);
    }
    return status;
}

}  // namespace

}  // namespace gulper

using namespace gulper;

int main(int argc, char** argv) {
    const int status = Run(ParseOptions(argc, argv));
    // Every exec agent's program ends with the run.
    StopAgents();
    return status;
}
