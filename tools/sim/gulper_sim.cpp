// gulper-sim: plays whole headless games with the real rules, ghosts and agent, and says
// how well the agent did.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "game/settings.h"
#include "tools/options.h"
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
            std::exit(0);
        } else if (arg == "--check-config") {
            std::exit(CheckConfig(in.Value(), std::cout));
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
    in.CheckSettingsFile(o.game);
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

}  // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);

    SimSettings settings;
    settings.configPath = options.game.configPath;
    settings.maxTicks = options.game.maxTicks;
    settings.agent = options.game.agent;
    if (ConfigAsksForKeyboard(settings.configPath)) {
        std::cerr
            << "gulper-sim: the settings choose keyboard steering; the agent steers instead\n";
    }

    if (options.replay) {
        const GameResult r = PlayHeadlessGame(settings, *options.replay, &std::cout);
        std::cerr << "gulper-sim: seed " << r.seed << " " << OutcomeName(r.outcome) << ", score "
                  << r.score << ", food left " << r.foodLeft << ", " << r.ticks << " ticks, "
                  << r.decisions << " decisions\n";
        return 0;
    }

    std::ofstream logFile;
    if (!options.logPath.empty()) {
        logFile.open(options.logPath, std::ios::binary);
        if (!logFile) {
            Fail("cannot write the log file " + options.logPath);
        }
    }
    std::ofstream csv;
    if (!options.csvPath.empty()) {
        csv.open(options.csvPath, std::ios::binary);
        if (!csv) {
            Fail("cannot write the CSV file " + options.csvPath);
        }
        csv << "seed,result,score,food_left,ticks,decisions\n";
    }

    std::ofstream json;
    if (!options.jsonPath.empty()) {
        json.open(options.jsonPath, std::ios::binary);
        if (!json) {
            Fail("cannot write the JSON file " + options.jsonPath);
        }
    }
    if (!options.reportDir.empty()) {
        std::string error;
        if (!PrepareReportDir(options.reportDir, &error)) {
            Fail(error);
        }
    }

    std::vector<GameResult> results;
    results.reserve(static_cast<size_t>(options.games));
    Progress progress(options.games);
    const auto start = std::chrono::steady_clock::now();
    for (int64_t i = 0; i < options.games; ++i) {
        const uint32_t seed = options.seed + static_cast<uint32_t>(i);
        if (logFile.is_open()) {
            logFile << "=== seed " << seed << " ===\n";
        }
        const GameResult r =
            PlayHeadlessGame(settings, seed, logFile.is_open() ? &logFile : nullptr);
        if (csv.is_open()) {
            csv << r.seed << "," << OutcomeName(r.outcome) << "," << r.score << "," << r.foodLeft
                << "," << r.ticks << "," << r.decisions << "\n";
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
    if (json.is_open()) {
        WriteJson(json, summary, results);
    }
    if ((logFile.is_open() && !logFile.flush()) || (csv.is_open() && !csv.flush()) ||
        (json.is_open() && !json.flush())) {
        std::cerr << "gulper-sim: writing the output files failed\n";
        return 1;
    }
    if (!options.reportDir.empty()) {
        std::string error;
        if (!WriteReport(options.reportDir, summary, results, &error)) {
            std::cerr << "gulper-sim: " << error << "\n";
            return 1;
        }
        std::cerr << "gulper-sim: report in " << options.reportDir << "/index.html\n";
    }
    PrintSummary(std::cout, summary);
    // Speed changes from run to run, so it stays off the summary that runs are compared by.
    const double secs = std::max(seconds, 1e-9);
    std::fprintf(stderr, "speed:        %.0f decisions per second, %.1f games per second\n",
                 summary.decisions / secs, summary.games / secs);
    return 0;
}
