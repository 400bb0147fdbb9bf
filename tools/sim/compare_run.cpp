// Running a comparison: every side on the same seeds on the worker processes, the stopping
// rule seed by seed, then the summary, CSV, JSON and report.
#include <iostream>

#include "episode/episode.h"

#include "formats/output_file.h"
#include "outputs/report.h"
#include "study/exec_stats.h"
#include "study/jobs.h"
#include "study/progress.h"
#include "study/replay_play.h"
#include "tools/sim/study.h"

namespace gulper {

namespace {

int Failed(const std::string& message) {
    std::cerr << "gulper-sim: " << message << "\n";
    return 1;
}

std::vector<SimSettings> SideSettings(const StudyOptions& o, const StudyRun& run) {
    std::vector<SimSettings> arms;
    for (size_t s = 0; s < o.sides.size(); ++s) {
        SimSettings settings(
            run.game, run.recordDir.empty() ? "" : SideRecordDir(run.recordDir, s, o.sides[s]));
        if (o.by == CompareBy::AGENTS) {
            settings.agent = o.sides[s];
        } else {
            settings.configPath = o.sides[s];
            settings.configText = o.sideConfigs[s];
            if (ConfigAsksForKeyboard(settings.configText)) {
                std::cerr << "gulper-sim: " << o.sides[s]
                          << " chooses keyboard steering; the agent steers instead\n";
            }
        }
        arms.push_back(settings);
    }
    return arms;
}

// Seeds played at a time under the stopping rule, at first: enough to keep every worker busy,
// then half as many again each time; the test reads them one by one, so where it stops does
// not depend on this.
int64_t SequentialBatch(int jobs) {
    return std::max<int64_t>(32, 16 * static_cast<int64_t>(jobs));
}

}  // namespace

int FinishComparison(Comparison c, const std::vector<Side>& sides, const StudyRun& run,
                     OutputFile& csv, OutputFile& json) {
    std::string error;
    if (csv.IsOpen()) {
        csv.Stream() << "side,seed,result,score,food_left,ticks,decisions\n";
        for (size_t i = 0; i < static_cast<size_t>(c.games); ++i) {
            for (const Side& side : sides) {
                const GameResult& r = side.games[i];
                csv.Stream() << CsvField(side.label) << "," << r.seed << ","
                             << OutcomeName(r.outcome) << "," << r.score << "," << r.foodLeft << ","
                             << r.ticks << "," << r.decisions << "\n";
            }
        }
    }
    if (json.IsOpen()) {
        WriteComparisonJson(json.Stream(), c, sides);
    }
    for (OutputFile* file : {&csv, &json}) {
        if (file->IsOpen() && !file->Commit(&error)) {
            return Failed(error);
        }
    }
    if (!run.reportDir.empty()) {
        if (!WriteComparisonReport(run.reportDir, c, sides, &error)) {
            return Failed(error);
        }
        std::cerr << "gulper-sim: report in " << run.reportDir << "/index.html\n";
    }
    PrintComparison(std::cout, c);
    if (!CloseStandardOutput(&error)) {
        return Failed(error + " (the summary)");
    }
    return 0;
}

int RunComparison(const StudyOptions& o, const StudyRun& run, OutputFile& log, OutputFile& csv,
                  OutputFile& json) {
    const std::vector<SimSettings> arms = SideSettings(o, run);
    std::string error;
    for (const SimSettings& arm : arms) {
        if (!arm.recordDir.empty() && !PrepareRecordDir(arm.recordDir, &error)) {
            return Failed(error);
        }
    }
    std::vector<Side> sides;
    for (const std::string& name : o.sides) {
        sides.push_back(Side{name, {}});
    }
    // A played game goes to its side, its log to the log file.
    auto keep = [&](const GameTask& task, PlayedGame& game, std::string* err) {
        if (log.IsOpen()) {
            log.Stream() << "=== " << sides[task.arm].label << " seed " << task.seed << " ===\n"
                         << game.log;
            if (!log.Good(err)) {
                return false;
            }
        }
        sides[task.arm].games.push_back(std::move(game.result));
        return true;
    };

    std::optional<SequentialResult> sequential;
    Progress progress(run.games * static_cast<int64_t>(arms.size()), o.untilDecided);
    int64_t played = 0;
    if (!o.untilDecided) {
        const std::vector<GameTask> tasks =
            StudyTasks(run.games, run.firstSeed, arms.size(), o.shard);
        const bool ok = PlayGames(
            arms, tasks, o.jobs, log.IsOpen(),
            [&](size_t t, PlayedGame& game, std::string* err) {
                progress.Update(++played);
                return keep(tasks[t], game, err);
            },
            &error);
        progress.Finish();
        if (!ok) {
            return Failed(error);
        }
    } else {
        SequentialTest test;
        bool decided = false;
        int64_t batch = SequentialBatch(o.jobs);
        for (int64_t first = 0; first < run.games && !decided; batch = batch * 3 / 2) {
            const int64_t count = std::min(std::min<int64_t>(batch, 4096), run.games - first);
            const std::vector<GameTask> tasks =
                StudyTasks(count, run.firstSeed + static_cast<uint32_t>(first), 2, ShardPart{});
            std::vector<PlayedGame> round(tasks.size());
            const bool ok = PlayGames(
                arms, tasks, o.jobs, log.IsOpen(),
                [&](size_t t, PlayedGame& game, std::string*) {
                    progress.Update(++played);
                    round[t] = std::move(game);
                    return true;
                },
                &error);
            if (!ok) {
                progress.Finish();
                return Failed(error);
            }
            // The test reads the seeds in order and the study ends at the one that decides.
            for (size_t t = 0; t + 1 < tasks.size() && !decided; t += 2) {
                decided = test.Add(round[t].result.outcome == GameOutcome::WON,
                                   round[t + 1].result.outcome == GameOutcome::WON);
                if (!keep(tasks[t], round[t], &error) ||
                    !keep(tasks[t + 1], round[t + 1], &error)) {
                    progress.Finish();
                    return Failed(error);
                }
            }
            first += count;
        }
        progress.Finish();
        sequential = test.Result();
        sequential->limitReached = !decided;
    }
    if (log.IsOpen() && !log.Commit(&error)) {
        return Failed(error);
    }

    Comparison c = Compare(o.by, sides);
    c.agent = run.game.agent;
    c.configPath = run.game.configPath;
    c.settingsText = run.game.configText;
    for (size_t s = 0; s < c.sides.size(); ++s) {
        c.sides[s].settingsText = arms[s].configText;
    }
    c.firstSeed = run.firstSeed;
    c.maxTicks = run.game.maxTicks;
    c.sequential = sequential;
    ShardPart shard = o.shard;
    for (SideStats& s : c.sides) {
        s.run.shard = shard;
    }
    return FinishComparison(std::move(c), sides, run, csv, json);
}

}  // namespace gulper
