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

#include "game/settings.h"
#include "tools/options.h"
#include "tools/output_file.h"
#include "tools/sim/config_check.h"
#include "tools/sim/headless_game.h"
#include "tools/sim/report.h"
#include "tools/sim/stats.h"

namespace {

const std::string USAGE =
    "usage: gulper-sim [--games N] [--seed S] [--config FILE] [--max-ticks T] [--agent NAME]\n"
    "                  [--log FILE] [--csv FILE] [--json FILE] [--report DIR] [--replay S]\n"
    "       gulper-sim --agents | --check-config FILE\n"
    "  --games N      games to play (default 100); game i uses seed S + i\n"
    "  --seed S       first seed (default 1)\n"
    "  --config FILE  settings file (default " +
    std::string(SETTINGS_FILE) +
    "); the agent always steers\n"
    "  --max-ticks T  stop a game after T ticks and count it unfinished (default " +
    std::to_string(SimSettings{}.maxTicks) +
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
    "  --agents       list the agents, one a line, name first\n"
    "  --check-config FILE\n"
    "                 show how the game reads FILE: every setting's value, and a warning for\n"
    "                 each key not known, value clamped or skipped, and where reading stopped\n";

struct Options {
    int64_t games = 100;
    uint32_t seed = 1;
    GameOptions game;
    std::string logPath;
    std::string csvPath;
    std::optional<uint32_t> replay;
    std::string jsonPath;
    std::string reportDir;
};

[[noreturn]] void Fail(const std::string& message) {
    FailWithUsage("gulper-sim", USAGE, message);
}

Options ParseOptions(int argc, char** argv) {
    Options o;
    OptionReader in("gulper-sim", USAGE, argc, argv);
    while (in.Next()) {
        const std::string& arg = in.Arg();
        if (in.GameOption(o.game)) {
            continue;
        }
        if (arg == "--games") {
            o.games = in.NumberValue(1, 100000000);
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
        } else if (arg == "--check-config") {
            const int status = CheckConfig(in.Value(), std::cout);
            ExitAfterOutput("gulper-sim", status);
        } else if (arg == "--json") {
            o.jsonPath = in.Value();
        } else if (arg == "--report") {
            o.reportDir = in.Value();
        } else if (arg == "--replay") {
            o.replay = static_cast<uint32_t>(in.NumberValue(0, UINT32_MAX));
        } else {
            in.FailUnknown();
        }
    }
    in.ReadSettingsFile(o.game);
    return o;
}

// A bar on standard error, shown only once a run has taken more than a second.
class Progress {
  public:
    explicit Progress(int64_t total) : total(total), start(Clock::now()), lastDraw(start) {}
    void Update(int64_t done) {
        const auto now = Clock::now();
        if (now - start < std::chrono::seconds(1) ||
            now - lastDraw < std::chrono::milliseconds(100)) {
            return;
        }
        lastDraw = now;
        shown = true;
        const int width = 40;
        const int filled = static_cast<int>(width * done / total);
        // Time left at the pace so far.
        const double elapsed = std::chrono::duration<double>(now - start).count();
        const long long left =
            std::llround(elapsed / static_cast<double>(done) * static_cast<double>(total - done));
        std::fprintf(stderr, "\r[%s%s] %lld/%lld games, %lld:%02lld left ",
                     std::string(filled, '#').c_str(), std::string(width - filled, '.').c_str(),
                     static_cast<long long>(done), static_cast<long long>(total), left / 60,
                     left % 60);
        std::fflush(stderr);
    }
    void Finish() {
        if (shown) {
            std::fprintf(stderr, "\r%*s\r", 90, "");
        }
    }

  private:
    using Clock = std::chrono::steady_clock;
    int64_t total;
    Clock::time_point start;
    Clock::time_point lastDraw;
    bool shown = false;
};

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

int Run(const Options& options) {
    SimSettings settings;
    settings.configPath = options.game.configPath;
    settings.configText = options.game.configText;
    settings.maxTicks = options.game.maxTicks;
    settings.agent = options.game.agent;
    if (ConfigAsksForKeyboard(settings.configText)) {
        std::cerr
            << "gulper-sim: the settings choose keyboard steering; the agent steers instead\n";
    }

    std::string error;
    if (options.replay) {
        const GameResult r = PlayHeadlessGame(settings, *options.replay, &std::cout);
        if (!CloseStandardOutput(&error)) {
            return Failed(error + " (the log of seed " + std::to_string(r.seed) + ")");
        }
        std::cerr << "gulper-sim: seed " << r.seed << " " << OutcomeName(r.outcome) << ", score "
                  << r.score << ", food left " << r.foodLeft << ", " << r.ticks << " ticks, "
                  << r.decisions << " decisions\n";
        return 0;
    }

    OutputFile logFile, csv, json;
    OpenOutput(logFile, options.logPath);
    OpenOutput(csv, options.csvPath);
    OpenOutput(json, options.jsonPath);
    if (csv.IsOpen()) {
        csv.Stream() << "seed,result,score,food_left,ticks,decisions\n";
    }
    if (!options.reportDir.empty() && !PrepareReportDir(options.reportDir, &error)) {
        Fail(error);
    }

    std::vector<GameResult> results;
    results.reserve(static_cast<size_t>(options.games));
    Progress progress(options.games);
    const auto start = std::chrono::steady_clock::now();
    for (int64_t i = 0; i < options.games; ++i) {
        const uint32_t seed = options.seed + static_cast<uint32_t>(i);
        if (logFile.IsOpen()) {
            logFile.Stream() << "=== seed " << seed << " ===\n";
        }
        const GameResult r =
            PlayHeadlessGame(settings, seed, logFile.IsOpen() ? &logFile.Stream() : nullptr);
        if (csv.IsOpen()) {
            csv.Stream() << r.seed << "," << OutcomeName(r.outcome) << "," << r.score << ","
                         << r.foodLeft << "," << r.ticks << "," << r.decisions << "\n";
        }
        // A file that can no longer be written ends the run now, not after every game.
        for (OutputFile* file : {&logFile, &csv}) {
            if (file->IsOpen() && !file->Good(&error)) {
                progress.Finish();
                return Failed(error);
            }
        }
        results.push_back(r);
        progress.Update(i + 1);
    }
    progress.Finish();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    RunSummary summary = Summarise(results);
    summary.agent = settings.agent;
    summary.configPath = settings.configPath;
    summary.firstSeed = options.seed;
    summary.maxTicks = settings.maxTicks;
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
    // Speed changes from run to run, so it stays off the summary that runs are compared by.
    const double secs = std::max(seconds, 1e-9);
    std::fprintf(stderr, "speed:        %.0f decisions per second, %.1f games per second\n",
                 summary.decisions / secs, summary.games / secs);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return Run(ParseOptions(argc, argv));
}
